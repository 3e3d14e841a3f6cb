#pragma once

#include <juce_core/juce_core.h>

// An open MIDI input. Its messages go, on the device's own thread, to the
// callback it was opened with, between start and stop.
class MidiInputPort
{
public:
    virtual ~MidiInputPort() = default;

    // The device's identifier, by which it is opened again.
    virtual juce::String getIdentifier() const = 0;

    virtual void start() = 0;
    virtual void stop() = 0;
};
