#pragma once

#include <cstdint>

class HvIfCallback;
class HvIfStringInput;
class HvIfMessageOutput;

// The objects of the MIDI-control library as the program calls them. The
// library implements them; the program only holds pointers it was given and
// hands each back through its release or close operation, never deletes them.
// Texts crossing this boundary are UTF-8 unless a type says otherwise.

// One control of a loaded panel, as read for a named preset.
class HvIfControlItem
{
public:
    virtual ~HvIfControlItem() = default;

    // The item after this one, or none after the last.
    virtual HvIfControlItem* getNext() = 0;
    virtual const char* getName() = 0;

    // Bit 31 belongs to the library; callers clear it.
    virtual uint32_t getValue() = 0;
};

// A window showing a panel. It stays valid until the program closes it, and
// closing it again does nothing.
class HvIfPanelWindow
{
public:
    virtual ~HvIfPanelWindow() = default;

    virtual void close() = 0;

    // Shows the window in front of the program's other windows (a window
    // that went behind them). A library that cannot does nothing.
    virtual void bringToFront() {}
};

// The control panel a panel object yields after a load.
class HvIfPanel
{
public:
    virtual ~HvIfPanel() = default;

    // The window made inside the given native parent window, or none.
    virtual HvIfPanelWindow* createWindow (void* nativeParent) = 0;
    virtual void release() = 0;

    // The first control item with its value in the named preset, or none.
    virtual HvIfControlItem* getFirstControlItem (const char* presetName) = 0;
};

// One per process box: loads control-panel texts and yields their panels.
class HvIfPanelObject
{
public:
    virtual ~HvIfPanelObject() = default;

    virtual void release() = 0;

    // Reads a control-panel text to its end; problems are reported through the
    // message output. False when the text gave no panel.
    virtual bool loadPanelScript (HvIfStringInput& input, HvIfMessageOutput& messages) = 0;

    // Fills in the panel just loaded (none when there is none); false without one.
    virtual bool getPanel (HvIfPanel** panel) = 0;

    // A packed USB-MIDI event word for the panel, as the meter poll sends them.
    virtual void handleMidiEvent (uint32_t eventWord) = 0;
};

// The library itself, as returned by its "getInterface" entry.
class HvIfInterface
{
public:
    virtual ~HvIfInterface() = default;

    virtual void release() = 0;

    // A whole System Exclusive message (with F0 and F7) received from the
    // board; called on the MIDI-input thread.
    virtual void handleSysEx (const uint8_t* data, int length) = 0;

    virtual HvIfPanelObject* createPanelObject() = 0;
};

// The signature of the library's "getInterface" entry.
using HvIfGetInterfaceFunction = HvIfInterface* (*) (HvIfCallback* callback);

// The name under which the library exports it.
constexpr const char* hvIfGetInterfaceName = "getInterface";
