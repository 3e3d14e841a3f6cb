#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <cstdint>

// The open MIDI output as the window-free code sees it: complete messages as
// raw bytes. The shell backs it with a real device; tests record the sends.
class MidiOutputPort
{
public:
    virtual ~MidiOutputPort() = default;

    virtual bool isOpen() const = 0;

    // The device's identifier, by which it is opened again.
    virtual juce::String getIdentifier() const = 0;

    // Sends one complete message at once.
    virtual void sendBytes (const uint8_t* data, size_t size) = 0;
};
