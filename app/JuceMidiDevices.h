#pragma once

#include "app/MidiDevices.h"

// The system's MIDI devices through JUCE (ALSA on Linux).
class JuceMidiDevices : public MidiDevices
{
public:
    juce::Array<juce::MidiDeviceInfo> getInputs() override;
    juce::Array<juce::MidiDeviceInfo> getOutputs() override;

    std::unique_ptr<MidiInputPort> openInput (const juce::String& identifier, juce::MidiInputCallback& callback) override;
    std::unique_ptr<MidiOutputPort> openOutput (const juce::String& identifier) override;

private:
    class Input;
    class Output;
};
