#pragma once

class Zorvex;

// What a process box asks of the MIDI-control library's panels: build its
// control panel (which also registers the process's controls in its preset
// store), open it, rebuild it after a reset, send its controls to the board,
// poll a meter, and let it go. The box calls only these; the program
// installs the implementation that drives the library, and without one
// nothing happens, as when the library is missing.
class ControlPanelHost
{
public:
    virtual ~ControlPanelHost() = default;

    // Builds the box's panel from its description; with show set it is
    // opened too, with replace set the old one is released first.
    virtual void buildControlPanel (Zorvex& box, bool show, bool replace);

    // The box's current store holds a built panel with controls.
    virtual bool hasControlPanel (const Zorvex& box) const;

    // Closes the box's panel windows and releases its panel.
    virtual void releaseControlPanels (Zorvex& box);

    // Closes the box's panel windows; with keep set they stay open (the
    // program is closing and the library closes them itself).
    virtual void clearPanels (Zorvex& box, bool keep);

    // "Send controls to BOARD".
    virtual void sendControlsToBoard (Zorvex& box);

    // One tick of the meter poll of a box whose panel holds a meter.
    virtual void pollMeter (Zorvex& box);

    // The host that does nothing.
    static ControlPanelHost& getNone();
};
