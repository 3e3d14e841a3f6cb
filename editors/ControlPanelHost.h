#pragma once

class HvIfInterface;
class Zorvex;

// What the program lends the process boxes for their control panels: the
// MIDI-control library's interface (each box's ProcessControlPanel builds
// and shows its panel with it) and the sending of a process's controls to
// the board. Without a host, or with the default one, there is no library:
// the boxes still write their descriptions (which registers the process's
// controls) and nothing is sent, as when the library is missing.
class ControlPanelHost
{
public:
    virtual ~ControlPanelHost() = default;

    // None without the library.
    virtual HvIfInterface* getLibraryInterface();

    // "Send controls to BOARD": the process's "(Last-Saved)" controls.
    virtual void sendControlsToBoard (Zorvex& box);

    // The host that has no library and sends nothing.
    static ControlPanelHost& getNone();
};
