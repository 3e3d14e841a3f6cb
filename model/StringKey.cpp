#include "model/StringKey.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace
{
bool isAsciiKeyText (std::string_view bytes) noexcept
{
    // Eight bytes at a time: the names are long.
    uint64_t any = 0;
    size_t i = 0;

    for (; i + 8 <= bytes.size(); i += 8)
    {
        uint64_t word;
        std::memcpy (&word, bytes.data() + i, 8);
        any |= word;
    }

    for (; i < bytes.size(); ++i)
        any |= (unsigned char) bytes[i];

    return (any & 0x8080808080808080ull) == 0;
}

// A text with bytes beyond ASCII is hashed by the characters JUCE reads in
// it: where they are all ASCII (a character spelt in more bytes than
// needed), as the plain text of them is, so that texts JUCE finds equal
// hash alike.
size_t hashKeyCharacters (const juce::String& text)
{
    std::string ascii;
    size_t hash = 14695981039346656037ull;
    bool onlyAscii = true;

    for (auto p = text.getCharPointer(); ! p.isEmpty();)
    {
        const auto c = p.getAndAdvance();
        onlyAscii = onlyAscii && c < 0x80;

        if (onlyAscii)
            ascii += (char) c;

        hash = (hash ^ (size_t) c) * 1099511628211ull;
    }

    return onlyAscii ? std::hash<std::string_view>() (ascii) : hash;
}
} // namespace

size_t StringKey::Hash::operator() (const juce::String& text) const
{
    const std::string_view bytes (text.toRawUTF8());

    if (isAsciiKeyText (bytes))
        return std::hash<std::string_view>() (bytes);

    return hashKeyCharacters (text);
}

bool StringKey::Equal::operator() (const juce::String& a, const juce::String& b) const noexcept
{
    // The same bytes are the same characters; different bytes may still read
    // as the same characters where a file spells one in more bytes than needed.
    return std::strcmp (a.toRawUTF8(), b.toRawUTF8()) == 0 || a == b;
}
