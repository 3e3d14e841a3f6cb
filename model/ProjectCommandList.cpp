#include "model/ProjectCommandList.h"

#include "model/PresetNumberReader.h"

#include <algorithm>

namespace
{
// Characters any XML parser takes in a name after its first character; "C_"
// always comes first. Anything else (blanks, punctuation, letters outside
// ASCII) is replaced rather than trusted to every reader.
bool isSafeNameCharacter (juce::juce_wchar c) noexcept
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
}

int getFunctionCount (const GraphNode& node) noexcept
{
    auto* definition = node.getProcessDefinition();
    return definition != nullptr ? definition->getSecondFunctionCount() : 0;
}

juce::String getFunctionName (const GraphNode& node, int k)
{
    auto* function = node.getProcessDefinition()->secondFunctions[k];
    return function != nullptr ? juce::String (function->name) : juce::String();
}

uint32_t wordAt (const std::vector<uint32_t>& words, int k) noexcept
{
    return juce::isPositiveAndBelow (k, (int) words.size()) ? words[(size_t) k] : 0;
}
} // namespace

juce::String ProjectCommandList::makeBaseName (const juce::String& functionName)
{
    auto name = functionName.getLastCharacters (nameLength);
    juce::String safe;

    for (auto c : name)
        safe += isSafeNameCharacter (c) ? c : (juce::juce_wchar) '_';

    return "C_" + safe;
}

int ProjectCommandList::countCommands (const GraphNode& node) noexcept
{
    // Word j is control function j's. The count of words built is no limit:
    // functions without a control (an equaliser's coefficient updates) may
    // stand before those with one, whose words follow.
    return std::min ((int) node.commandWords.size(), getFunctionCount (node));
}

juce::StringArray ProjectCommandList::makeAttributeNames (const GraphNode& node)
{
    return makeAttributeNames (node, countCommands (node));
}

juce::StringArray ProjectCommandList::makeAttributeNames (const GraphNode& node, int count)
{
    juce::StringArray names;
    count = juce::jlimit (0, getFunctionCount (node), count);

    for (int k = 0; k < count; ++k)
    {
        const auto base = makeBaseName (getFunctionName (node, k));
        auto name = base;

        for (int occurrence = 2; names.contains (name); ++occurrence)
            name = base + "_" + juce::String (occurrence);

        names.add (name);
    }

    return names;
}

uint32_t ProjectCommandList::getSavedValue (const GraphNode& node, int k) noexcept
{
    return (wordAt (node.commandWords, k) & 0xFFFF) | (wordAt (node.secondCommandWords, k) << 16);
}

juce::String ProjectCommandList::formatValue (uint32_t value)
{
    return juce::String::toHexString ((juce::int64) value).toUpperCase().paddedLeft ('0', 8);
}

bool ProjectCommandList::parseValue (const juce::String& text, uint32_t& value)
{
    const auto trimmed = text.trim();

    if (trimmed.isEmpty() || trimmed.length() > 8 || ! trimmed.containsOnly ("0123456789abcdefABCDEF"))
        return false;

    value = (uint32_t) trimmed.getHexValue64();
    return true;
}

void ProjectCommandList::write (const GraphNode& node, juce::XmlElement& commands)
{
    const auto names = makeAttributeNames (node);

    for (int k = 0; k < names.size(); ++k)
        commands.setAttribute (names[k], formatValue (getSavedValue (node, k)));
}

juce::StringArray ProjectCommandList::readIntoNewNode (const juce::XmlElement& commands, GraphNode& node)
{
    juce::StringArray badValues;
    const auto count = getFunctionCount (node);
    const auto names = makeAttributeNames (node, count);
    const auto values = PresetNumberReader::getValuesByName (commands);

    node.commandWords.assign ((size_t) count, 0);
    node.secondCommandWords.assign ((size_t) count, 0);
    node.commandWordCount = 0;

    for (int k = 0; k < count; ++k)
    {
        const auto found = values.find (names[k]);

        if (found == values.end())
            continue;

        uint32_t value = 0;

        if (! parseValue (found->second, value))
            badValues.add (names[k]);

        node.commandWords[(size_t) k] = value & 0xFFFF;
        node.secondCommandWords[(size_t) k] = value >> 16;
        node.commandWordCount = k + 1;
    }

    return badValues;
}

void ProjectCommandList::applyToBuiltWords (const juce::XmlElement& commands, GraphNode& node)
{
    const auto names = makeAttributeNames (node);
    const auto values = PresetNumberReader::getValuesByName (commands);

    for (int k = 0; k < names.size(); ++k)
    {
        const auto found = values.find (names[k]);
        uint32_t value = 0;

        if (found == values.end() || ! parseValue (found->second, value))
            value = 0;

        // Command k of the file is command k of the node: each name stands
        // for one command, also where two functions end alike.
        applySavedValue (node, k, value);
    }
}

void ProjectCommandList::applySavedValue (GraphNode& node, int k, uint32_t value) noexcept
{
    auto& word = node.commandWords[(size_t) k];

    if (word != 0xFFFFFFFFu)
        word = (word & 0xFFFF0000u) | (value & 0xFFFF);

    if (k < (int) node.secondCommandWords.size() && node.secondCommandWords[(size_t) k] != 0xFFFFFFFFu)
        node.secondCommandWords[(size_t) k] = value >> 16;
}
