#pragma once

#include "model/StringKey.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <vector>

// Reads the numeric attributes of a preset file. A missing attribute gives
// the caller's fallback, as the files have always been read; a text that is
// not a whole decimal number in range is not guessed at: it is noted, and
// the reader's first note tells the user which attribute of which element
// spoilt the file.
class PresetNumberReader
{
public:
    // Unsigned 32-bit values; a negative text within the signed 32-bit range
    // is taken as the same bits, as files written with signed numbers hold.
    uint32_t getUnsigned (const juce::XmlElement& element, const juce::String& attribute, uint32_t fallback = 0);

    int getInt (const juce::XmlElement& element, const juce::String& attribute, int fallback = 0);

    struct Attribute
    {
        juce::String name, value;
    };

    // Every attribute of the element, in order. JUCE finds an attribute by
    // its index or its name by walking to it, so reading each of many in
    // turn costs the square of their number; this costs their number.
    static std::vector<Attribute> getAttributes (const juce::XmlElement& element);

    // The value of each attribute name, the first of a name as JUCE finds it,
    // for an element whose attributes are looked up by name many times.
    static StringKeyMap<juce::String> getValuesByName (const juce::XmlElement& element);

    // The value of one of those attributes of the element.
    uint32_t getUnsigned (const juce::XmlElement& element, const Attribute& attribute);

    // Notes a fault found by the caller; only the first is kept.
    void fail (const juce::String& reason);

    bool hasFailed() const noexcept { return failed; }
    const juce::String& getError() const noexcept { return error; }

    // The number n of an attribute named exactly the prefix followed by n
    // (decimal, from 1, no leading zero, at most 9 digits); 0 for any other.
    static int numberAfterPrefix (const juce::String& attributeName, const char* prefix);

    static bool parseUnsigned (const juce::String& text, uint32_t& value);
    static bool parseInt (const juce::String& text, int& value);

private:
    template <typename Number>
    Number getNumber (const juce::XmlElement& element, const juce::String& attribute, Number fallback,
                      bool (*parse) (const juce::String&, Number&));

    static std::vector<Attribute> getAttributesOneByOne (const juce::XmlElement& element);

    void noteBadNumber (const juce::XmlElement& element, const juce::String& attribute, const juce::String& text);

    bool failed = false;
    juce::String error;
};
