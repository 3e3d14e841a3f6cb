#include "app/BoardMidiCallback.h"

namespace
{
bool isDataByte (uint8_t byte) noexcept
{
    return (byte & 0x80) == 0;
}
} // namespace

void BoardMidiCallback::setOutput (MidiOutputPort* newOutput)
{
    const juce::ScopedLock sl (outputLock);
    outputPort = newOutput;
}

MidiOutputPort* BoardMidiCallback::getOutput() const
{
    const juce::ScopedLock sl (outputLock);
    return outputPort;
}

int BoardMidiCallback::getShortMessageLength (uint8_t status) noexcept
{
    if (isDataByte (status))
        return 0;

    if (status < 0xF0)
    {
        const auto kind = status & 0xF0;
        return kind == 0xC0 || kind == 0xD0 ? 2 : 3;
    }

    switch (status)
    {
        case HvIfCallback::sysExStart:
        case HvIfCallback::sysExEnd: return 0; // belong to System Exclusive messages, which have no fixed length
        case 0xF1:
        case 0xF3: return 2;
        case 0xF2: return 3;
        default: return 1;
    }
}

std::vector<uint8_t> BoardMidiCallback::unpackShortMessage (uint32_t packedMessage)
{
    const uint8_t bytes[] = { (uint8_t) (packedMessage >> 16), (uint8_t) (packedMessage >> 8), (uint8_t) packedMessage };
    const auto length = getShortMessageLength (bytes[0]);

    for (int i = 1; i < length; ++i)
        if (! isDataByte (bytes[i]))
            return {};

    return std::vector<uint8_t> (bytes, bytes + length);
}

bool BoardMidiCallback::extractSysExPayload (const uint8_t* data, int length, std::vector<uint8_t>& payload)
{
    payload.clear();

    if (data == nullptr || length < 2 || data[0] != HvIfCallback::sysExStart || data[length - 1] != HvIfCallback::sysExEnd)
        return false;

    for (int i = 1; i < length - 1; ++i)
        if (! isDataByte (data[i]))
            return false;

    payload.assign (data + 1, data + length - 1);
    return true;
}

bool BoardMidiCallback::sendShortMessage (uint32_t packedMessage)
{
    const auto message = unpackShortMessage (packedMessage);

    if (message.empty())
        return false;

    sendToOutput (message);
    return true;
}

bool BoardMidiCallback::sendSysEx (const uint8_t* data, int length)
{
    std::vector<uint8_t> payload;

    if (! extractSysExPayload (data, length, payload))
        return false;

    // A message with nothing between its frame bytes carries nothing for the board.
    if (! payload.empty())
    {
        payload.insert (payload.begin(), HvIfCallback::sysExStart);
        payload.push_back (HvIfCallback::sysExEnd);
        sendToOutput (payload);
    }

    return true;
}

bool BoardMidiCallback::sendToOutput (const std::vector<uint8_t>& message)
{
    const juce::ScopedLock sl (outputLock);

    if (outputPort == nullptr || ! outputPort->isOpen())
        return false;

    outputPort->sendBytes (message.data(), message.size());
    return true;
}
