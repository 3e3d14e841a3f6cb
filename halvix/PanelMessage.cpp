#include "PanelMessage.h"

#include "hvif/HvIfCallback.h"

namespace
{
bool isStatus (uint8_t byte) noexcept
{
    return (byte & 0x80) != 0;
}

} // namespace

bool PanelMessage::parseByte (const juce::String& word, uint8_t& byte)
{
    juce::String digits;
    auto hex = false;

    if (word.startsWithIgnoreCase ("0x"))
    {
        digits = word.substring (2);
        hex = true;
    }
    else if (word.endsWithIgnoreCase ("h"))
    {
        digits = word.dropLastCharacters (1);
        hex = true;
    }
    else
    {
        digits = word;
    }

    if (digits.isEmpty() || digits.length() > 3 || ! digits.containsOnly (hex ? "0123456789abcdefABCDEF" : "0123456789"))
        return false;

    const auto value = hex ? digits.getHexValue32() : digits.getIntValue();

    if (value < 0 || value > 0xFF)
        return false;

    byte = (uint8_t) value;
    return true;
}

bool PanelMessage::parse (const juce::String& text, juce::String& problem)
{
    tokens.clear();
    sysEx = false;
    const auto trimmed = text.trim();

    const auto parsed =
        trimmed.startsWithIgnoreCase ("NRPN[") ? parseNrpnBracket (trimmed, problem) : parseBytes (trimmed, problem);

    if (! parsed || ! check (problem))
    {
        tokens.clear();
        sysEx = false;
        return false;
    }

    return true;
}

bool PanelMessage::parseBytes (const juce::String& text, juce::String& problem)
{
    const auto words = juce::StringArray::fromTokens (text, " \t", "");

    for (const auto& word : words)
    {
        Item item;

        if (word == "xl" || word == "x")
            item.token = Token::lowBits;
        else if (word == "xh")
            item.token = Token::highBits;
        else if (word == "xh2")
            item.token = Token::bits14;
        else if (word == "xh3")
            item.token = Token::bits21;
        else if (! parseByte (word, item.byte))
            return (problem = "\"" + word + "\" is no byte of a message"), false;

        tokens.push_back (item);
    }

    sysEx = ! tokens.empty() && tokens.front().token == Token::byte && tokens.front().byte == HvIfCallback::sysExStart;
    return true;
}

bool PanelMessage::parseNrpnBracket (const juce::String& text, juce::String& problem)
{
    const auto close = text.lastIndexOfChar (']');
    const auto parts = juce::StringArray::fromTokens (text.substring (5, close < 0 ? text.length() : close), ",", "");

    if (close < 0 || parts.size() != 3)
        return (problem = "an NRPN message needs a number, a value and a channel: " + text), false;

    const auto number = parts[0].trim();
    const auto dot = number.indexOfChar ('.');
    uint8_t msb = 0, lsb = 0, channel = 0;

    if (dot < 0 || ! parseByte (number.substring (0, dot), msb) || ! parseByte ("0x" + number.substring (dot + 1), lsb) ||
        ! parseByte (parts[2].trim(), channel) || channel > 15)
        return (problem = "the NRPN message " + text + " names no number and channel"), false;

    const auto value = parts[1].trim();

    if (value != "x" && value != "xl")
        return (problem = "the NRPN message " + text + " takes x or xl as its value"), false;

    const auto status = (uint8_t) (0xB0 | channel);
    auto add = [this, status] (uint8_t controller, Item data)
    {
        tokens.push_back ({ Token::byte, status });
        tokens.push_back ({ Token::byte, controller });
        tokens.push_back (data);
    };

    add (0x63, { Token::byte, msb });
    add (0x62, { Token::byte, lsb });

    // A 7-bit value is the data entry alone; a 14-bit one sends its low half first.
    if (value == "xl")
    {
        add (0x06, { Token::lowBits, 0 });
    }
    else
    {
        add (0x26, { Token::lowBits, 0 });
        add (0x06, { Token::highBits, 0 });
    }

    return true;
}

bool PanelMessage::check (juce::String& problem) const
{
    if (tokens.empty())
        return true;

    if (sysEx)
    {
        const auto& last = tokens.back();

        if (tokens.size() < 2 || last.token != Token::byte || last.byte != HvIfCallback::sysExEnd)
            return (problem = "a System Exclusive message must end with 0xF7"), false;

        for (size_t i = 1; i + 1 < tokens.size(); ++i)
            if (tokens[i].token == Token::byte && isStatus (tokens[i].byte))
                return (problem = "a System Exclusive message carries data bytes only"), false;

        return true;
    }

    if (tokens.front().token != Token::byte || ! isStatus (tokens.front().byte) ||
        tokens.front().byte >= HvIfCallback::sysExStart)
        return (problem = "a message must start with a channel status byte"), false;

    // Every short message of the list: a status byte and at most two data bytes.
    int dataBytes = 0;

    for (const auto& item : tokens)
    {
        if (item.token == Token::byte && isStatus (item.byte))
        {
            if (item.byte >= HvIfCallback::sysExStart)
                return (problem = "only channel messages can be sent one after another"), false;

            dataBytes = 0;
        }
        else if (++dataBytes > 2)
        {
            return (problem = "a short message holds at most two data bytes"), false;
        }
    }

    return true;
}

uint8_t PanelMessage::resolve (const Item& item, uint32_t value) noexcept
{
    switch (item.token)
    {
        case Token::byte: return item.byte;
        case Token::lowBits: return (uint8_t) (value & 0x7F);
        case Token::highBits: return (uint8_t) ((value >> 7) & 0x7F);
        case Token::bits14: return (uint8_t) ((value >> 14) & 0x7F);
        case Token::bits21: return (uint8_t) ((value >> 21) & 0x7F);
    }

    return 0;
}

std::vector<PanelMessage::Filled> PanelMessage::fill (uint32_t value) const
{
    std::vector<Filled> messages;

    if (sysEx)
    {
        Filled whole;
        whole.isSysEx = true;

        for (const auto& item : tokens)
            whole.sysEx.push_back (resolve (item, value));

        messages.push_back (std::move (whole));
        return messages;
    }

    int shift = 16;

    for (const auto& item : tokens)
    {
        const auto byte = resolve (item, value);

        if (item.token == Token::byte && isStatus (byte))
        {
            messages.push_back ({});
            shift = 16;
        }

        messages.back().shortMessage |= (uint32_t) byte << shift;
        shift -= 8;
    }

    return messages;
}

void PanelMessage::send (uint32_t value, HvIfCallback& callback) const
{
    for (const auto& message : fill (value))
    {
        if (message.isSysEx)
            callback.sendSysEx (message.sysEx.data(), (int) message.sysEx.size());
        else
            callback.sendShortMessage (message.shortMessage);
    }
}

bool PanelMessage::operator== (const PanelMessage& other) const noexcept
{
    return sysEx == other.sysEx && tokens == other.tokens;
}
