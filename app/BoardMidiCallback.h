#pragma once

#include "hvif/HvIfCallback.h"
#include "app/MidiOutputPort.h"

#include <juce_core/juce_core.h>

#include <vector>

// Sends the MIDI-control library's messages on the open MIDI output. The
// library calls from its own threads while the message thread may change or
// close the output, so every send and every change of output holds one lock:
// once setOutput returns, the old output is no longer used.
class BoardMidiCallback : public HvIfCallback
{
public:
    BoardMidiCallback() = default;
    explicit BoardMidiCallback (MidiOutputPort* output) noexcept : outputPort (output) {}

    // None closes the way to the board; call it before the port is closed.
    void setOutput (MidiOutputPort* newOutput);
    MidiOutputPort* getOutput() const;

    // False, with nothing sent, for a status that is no short message or a
    // data byte with bit 7 set.
    bool sendShortMessage (uint32_t packedMessage) override;

    // False, with nothing sent, for data not framed by F0 ... F7 or carrying
    // a byte with bit 7 set between them.
    bool sendSysEx (const uint8_t* data, int length) override;

    // The bytes of a packed short message, as many as its status implies;
    // empty when it is no valid short message.
    static std::vector<uint8_t> unpackShortMessage (uint32_t packedMessage);

    // The number of bytes a message with this status byte has; 0 for a byte
    // that starts no short message.
    static int getShortMessageLength (uint8_t status) noexcept;

    // The payload between F0 and F7, or false for data that is no whole
    // System Exclusive message.
    static bool extractSysExPayload (const uint8_t* data, int length, std::vector<uint8_t>& payload);

private:
    bool sendToOutput (const std::vector<uint8_t>& message);

    juce::CriticalSection outputLock;
    MidiOutputPort* outputPort = nullptr;
};
