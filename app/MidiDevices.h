#pragma once

#include "app/MidiInputPort.h"
#include "app/MidiOutputPort.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <memory>

// The system's MIDI devices: listed in the system's order, opened by their
// identifier (a name can repeat, and a position changes as devices come and
// go). The program uses JUCE's devices (JuceMidiDevices); tests install a
// fake with setCurrent. A machine without sound devices lists none.
class MidiDevices
{
public:
    virtual ~MidiDevices() = default;

    virtual juce::Array<juce::MidiDeviceInfo> getInputs() = 0;
    virtual juce::Array<juce::MidiDeviceInfo> getOutputs() = 0;

    // None when the device cannot be opened. The input is not started yet.
    virtual std::unique_ptr<MidiInputPort> openInput (const juce::String& identifier, juce::MidiInputCallback& callback) = 0;
    virtual std::unique_ptr<MidiOutputPort> openOutput (const juce::String& identifier) = 0;

    // The devices in use: the installed ones, or JUCE's.
    static MidiDevices& getCurrent();
    // None goes back to JUCE's. The installed object is not owned.
    static void setCurrent (MidiDevices* devices) noexcept;
};
