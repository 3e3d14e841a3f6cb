#pragma once

#include <cstdint>

class HvIfPanel;
class HvIfPanelWindow;

// The program's side of the MIDI-control library: the library reports a
// closed panel window through it and has its MIDI messages sent. The library
// may call from any thread.
class HvIfCallback
{
public:
    virtual ~HvIfCallback();

    virtual bool onPanelClosed (HvIfPanelWindow* window);

    // The user changed a control's value on the panel (its message has been
    // sent). The panel is valid only during the call.
    virtual bool onValueChanged (HvIfPanel* panel);

    // Status in bits 16-23, first data byte in bits 8-15, second in bits 0-7.
    virtual bool sendShortMessage (uint32_t packedMessage);

    // A whole System Exclusive message, F0 to F7.
    virtual bool sendSysEx (const uint8_t* data, int length);

    // The first and the last byte of a System Exclusive message.
    static constexpr uint8_t sysExStart = 0xF0;
    static constexpr uint8_t sysExEnd = 0xF7;
};
