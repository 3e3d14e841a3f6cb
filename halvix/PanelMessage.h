#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <vector>

class HvIfCallback;

// The MIDI message a control sends, read from the text after its bracket,
// filled with the control's value on every change. Three forms are read:
// - raw bytes, short messages one after another, each starting with its
//   status byte: " 0xB0 0x63 0x05 0xB0 0x62 0x03 0xB0 0x26 xl 0xB0 0x6 xh";
// - the NRPN bracket "NRPN[0x05.03,xl,0]" (a 7-bit value) or
//   "NRPN[0x05.03,x,0]" (a 14-bit value) on MIDI channel 0;
// - a System Exclusive message "0xF0 ... xh3 xh2 xh xl 0xF7".
// Bytes are decimal or "0x" hexadecimal; xl, xh, xh2 and xh3 stand for bits
// 0-6, 7-13, 14-20 and 21-27 of the value, x for bits 0-6.
class PanelMessage
{
public:
    // One filled message: a short message packed as status << 16 | data1 << 8
    // | data2, or a whole System Exclusive message.
    struct Filled
    {
        bool isSysEx = false;
        uint32_t shortMessage = 0;
        std::vector<uint8_t> sysEx;
    };

    // Reads a message text; false, with the reason, for one that is none of
    // the forms above (then the message is empty and sends nothing).
    bool parse (const juce::String& text, juce::String& problem);

    bool isEmpty() const noexcept { return tokens.empty(); }

    // The same bytes and placeholders: two controls that send one message.
    bool operator== (const PanelMessage& other) const noexcept;
    bool isSysEx() const noexcept { return sysEx; }

    // The messages for a value, in the order they are sent.
    std::vector<Filled> fill (uint32_t value) const;

    // Sends the messages for a value through the library's callback.
    void send (uint32_t value, HvIfCallback& callback) const;

    // A byte written as "0x1F", "1Fh" or "31"; false for anything else or above 0xFF.
    static bool parseByte (const juce::String& word, uint8_t& byte);

private:
    enum class Token
    {
        byte,
        lowBits,  // xl and x
        highBits, // xh
        bits14,   // xh2
        bits21    // xh3
    };

    struct Item
    {
        Token token = Token::byte;
        uint8_t byte = 0;

        bool operator== (const Item& other) const noexcept { return token == other.token && byte == other.byte; }
    };

    bool parseBytes (const juce::String& text, juce::String& problem);
    bool parseNrpnBracket (const juce::String& text, juce::String& problem);
    bool check (juce::String& problem) const;
    static uint8_t resolve (const Item& item, uint32_t value) noexcept;

    std::vector<Item> tokens;
    bool sysEx = false;
};
