#include "app/JuceMidiDevices.h"

class JuceMidiDevices::Input : public MidiInputPort
{
public:
    explicit Input (std::unique_ptr<juce::MidiInput> openDevice) : device (std::move (openDevice)) {}

    juce::String getIdentifier() const override { return device->getIdentifier(); }
    void start() override { device->start(); }
    void stop() override { device->stop(); }

private:
    std::unique_ptr<juce::MidiInput> device;
};

class JuceMidiDevices::Output : public MidiOutputPort
{
public:
    explicit Output (std::unique_ptr<juce::MidiOutput> openDevice) : device (std::move (openDevice)) {}

    bool isOpen() const override { return true; }
    juce::String getIdentifier() const override { return device->getIdentifier(); }

    void sendBytes (const uint8_t* data, size_t size) override
    {
        if (data != nullptr && size > 0)
            device->sendMessageNow (juce::MidiMessage (data, (int) size));
    }

private:
    std::unique_ptr<juce::MidiOutput> device;
};

juce::Array<juce::MidiDeviceInfo> JuceMidiDevices::getInputs()
{
    return juce::MidiInput::getAvailableDevices();
}

juce::Array<juce::MidiDeviceInfo> JuceMidiDevices::getOutputs()
{
    return juce::MidiOutput::getAvailableDevices();
}

std::unique_ptr<MidiInputPort> JuceMidiDevices::openInput (const juce::String& identifier, juce::MidiInputCallback& callback)
{
    if (auto device = juce::MidiInput::openDevice (identifier, &callback))
        return std::make_unique<Input> (std::move (device));

    return {};
}

std::unique_ptr<MidiOutputPort> JuceMidiDevices::openOutput (const juce::String& identifier)
{
    if (auto device = juce::MidiOutput::openDevice (identifier))
        return std::make_unique<Output> (std::move (device));

    return {};
}
