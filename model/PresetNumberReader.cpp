#include "model/PresetNumberReader.h"

namespace
{
// The value of a text of decimal digits with an optional leading minus, or
// false for anything else (empty, other characters, more than 10 digits).
bool parseDecimal (const juce::String& text, int64_t& value)
{
    const auto trimmed = text.trim();
    const auto negative = trimmed.startsWithChar ('-');
    const auto digits = negative ? trimmed.substring (1) : trimmed;

    if (digits.isEmpty() || digits.length() > 10 || ! digits.containsOnly ("0123456789"))
        return false;

    value = digits.getLargeIntValue();

    if (negative)
        value = -value;

    return true;
}
} // namespace

int PresetNumberReader::numberAfterPrefix (const juce::String& attributeName, const char* prefix)
{
    // Byte by byte: the prefix and the digits are ASCII, and a byte of a
    // longer character never equals one of them.
    const auto* p = attributeName.toRawUTF8();

    for (; *prefix != 0; ++p, ++prefix)
        if (*p != *prefix)
            return 0;

    if (*p < '1' || *p > '9')
        return 0;

    int number = 0;

    for (int digits = 0; *p != 0; ++p, ++digits)
    {
        if (*p < '0' || *p > '9' || digits == 9)
            return 0;

        number = number * 10 + (*p - '0');
    }

    return number;
}

bool PresetNumberReader::parseUnsigned (const juce::String& text, uint32_t& value)
{
    int64_t parsed = 0;

    if (! parseDecimal (text, parsed) || parsed < (int64_t) INT32_MIN || parsed > (int64_t) UINT32_MAX)
        return false;

    value = parsed < 0 ? (uint32_t) (int32_t) parsed : (uint32_t) parsed;
    return true;
}

bool PresetNumberReader::parseInt (const juce::String& text, int& value)
{
    int64_t parsed = 0;

    if (! parseDecimal (text, parsed) || parsed < (int64_t) INT32_MIN || parsed > (int64_t) INT32_MAX)
        return false;

    value = (int) parsed;
    return true;
}

template <typename Number>
Number PresetNumberReader::getNumber (const juce::XmlElement& element, const juce::String& attribute, Number fallback,
                                      bool (*parse) (const juce::String&, Number&))
{
    if (! element.hasAttribute (attribute))
        return fallback;

    Number value{};

    if (parse (element.getStringAttribute (attribute), value))
        return value;

    noteBadNumber (element, attribute, element.getStringAttribute (attribute));
    return fallback;
}

std::vector<PresetNumberReader::Attribute> PresetNumberReader::getAttributes (const juce::XmlElement& element)
{
    // JUCE walks an element's attributes in one pass only when it sets a
    // NamedValueSet from them, which takes each name as it is pooled already.
    // That set decodes a name that begins "base64:", which no file of ours
    // holds: an element with one is read the slower way, as written.
    juce::NamedValueSet set;
    set.setFromXmlAttributes (element);
    std::vector<Attribute> attributes;
    attributes.reserve ((size_t) set.size());

    for (const auto& attribute : set)
    {
        if (attribute.value.isBinaryData())
            return getAttributesOneByOne (element);

        attributes.push_back ({ attribute.name.toString(), attribute.value.toString() });
    }

    return attributes;
}

std::vector<PresetNumberReader::Attribute> PresetNumberReader::getAttributesOneByOne (const juce::XmlElement& element)
{
    // The first attribute is reached at once: a copy gives up its first
    // attribute until none is left.
    juce::XmlElement copy (element);
    const auto count = copy.getNumAttributes();
    std::vector<Attribute> attributes;
    attributes.reserve ((size_t) count);

    for (int i = 0; i < count; ++i)
    {
        attributes.push_back ({ copy.getAttributeName (0), copy.getAttributeValue (0) });
        copy.removeAttribute (juce::Identifier (attributes.back().name));
    }

    return attributes;
}

StringKeyMap<juce::String> PresetNumberReader::getValuesByName (const juce::XmlElement& element)
{
    StringKeyMap<juce::String> values;

    for (auto& attribute : getAttributes (element))
        values.emplace (std::move (attribute.name), std::move (attribute.value));

    return values;
}

uint32_t PresetNumberReader::getUnsigned (const juce::XmlElement& element, const Attribute& attribute)
{
    uint32_t value = 0;

    if (parseUnsigned (attribute.value, value))
        return value;

    noteBadNumber (element, attribute.name, attribute.value);
    return 0;
}

uint32_t PresetNumberReader::getUnsigned (const juce::XmlElement& element, const juce::String& attribute, uint32_t fallback)
{
    return getNumber (element, attribute, fallback, parseUnsigned);
}

int PresetNumberReader::getInt (const juce::XmlElement& element, const juce::String& attribute, int fallback)
{
    return getNumber (element, attribute, fallback, parseInt);
}

void PresetNumberReader::fail (const juce::String& reason)
{
    if (! failed)
        error = reason;

    failed = true;
}

void PresetNumberReader::noteBadNumber (const juce::XmlElement& element, const juce::String& attribute, const juce::String& text)
{
    fail ("\"" + attribute + "\" of \"" + element.getTagName() + "\" is not a number: \"" + text + "\"");
}
