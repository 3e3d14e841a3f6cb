#pragma once

#include "app/MidiDevices.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <string>
#include <vector>

namespace vxtest
{
// An open MIDI output that keeps every message sent through it.
class RecordingPort : public MidiOutputPort
{
public:
    bool isOpen() const override { return true; }
    juce::String getIdentifier() const override { return "recording"; }
    void sendBytes (const uint8_t* data, size_t size) override { sent.emplace_back (data, data + size); }

    std::vector<std::vector<uint8_t>> sent;
};

// MIDI devices for tests, installed while it lives: lists given by the test,
// devices that refuse to open, and a record of every open, start, stop and
// message sent (by device identifier), which outlives the devices.
class FakeMidiDevices : public MidiDevices
{
public:
    struct Sent
    {
        juce::String device;
        std::vector<uint8_t> bytes;
    };

    FakeMidiDevices() { MidiDevices::setCurrent (this); }
    ~FakeMidiDevices() override { MidiDevices::setCurrent (nullptr); }

    static juce::MidiDeviceInfo device (const juce::String& name, const juce::String& identifier) { return { name, identifier }; }

    juce::Array<juce::MidiDeviceInfo> getInputs() override { return inputs; }
    juce::Array<juce::MidiDeviceInfo> getOutputs() override { return outputs; }

    std::unique_ptr<MidiInputPort> openInput (const juce::String& identifier, juce::MidiInputCallback& callback) override
    {
        events.push_back ("open in " + identifier.toStdString());

        if (failing.contains (identifier))
            return {};

        inputCallback = &callback;
        return std::make_unique<Input> (*this, identifier);
    }

    std::unique_ptr<MidiOutputPort> openOutput (const juce::String& identifier) override
    {
        events.push_back ("open out " + identifier.toStdString());

        if (failing.contains (identifier))
            return {};

        return std::make_unique<Output> (*this, identifier);
    }

    // How often the device was opened (successfully or not).
    int countOpens (const std::string& what) const
    {
        int count = 0;

        for (const auto& event : events)
            count += event == "open " + what ? 1 : 0;

        return count;
    }

    juce::Array<juce::MidiDeviceInfo> inputs, outputs;
    juce::StringArray failing;
    std::vector<std::string> events;
    std::vector<Sent> sent;
    juce::MidiInputCallback* inputCallback = nullptr;

private:
    class Input : public MidiInputPort
    {
    public:
        Input (FakeMidiDevices& d, juce::String id) : devices (d), identifier (std::move (id)) {}
        juce::String getIdentifier() const override { return identifier; }
        void start() override { devices.events.push_back ("start " + identifier.toStdString()); }
        void stop() override { devices.events.push_back ("stop " + identifier.toStdString()); }

    private:
        FakeMidiDevices& devices;
        juce::String identifier;
    };

    class Output : public MidiOutputPort
    {
    public:
        Output (FakeMidiDevices& d, juce::String id) : devices (d), identifier (std::move (id)) {}
        ~Output() override { devices.events.push_back ("close out " + identifier.toStdString()); }
        bool isOpen() const override { return true; }
        juce::String getIdentifier() const override { return identifier; }
        void sendBytes (const uint8_t* data, size_t size) override
        {
            devices.sent.push_back ({ identifier, { data, data + size } });
        }

    private:
        FakeMidiDevices& devices;
        juce::String identifier;
    };
};
} // namespace vxtest
