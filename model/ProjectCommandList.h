#pragma once

#include "model/GraphNode.h"

#include <juce_core/juce_core.h>

#include <cstdint>

// The command words of one process as the project file keeps them: the
// "Commands" element carries one attribute per command, named "C_" and the
// last ten characters of the name of the command's control function, whose
// value holds the command's control number in its low 16 bits and its second
// word in its high 16 bits, as eight upper-case hexadecimal digits.
//
// Two control functions may end in the same ten characters, and a name may
// hold characters that an XML name cannot: such characters become "_", and a
// name met again within one process gets "_2", "_3" ..., so that every
// command keeps a value of its own and the file always parses.
class ProjectCommandList
{
public:
    static constexpr int nameLength = 10;

    // The attribute of every command of the node, in command order: as many
    // as the node counts (and its definition names).
    static juce::StringArray makeAttributeNames (const GraphNode& node);

    // The same for the first `count` control functions of the node's definition.
    static juce::StringArray makeAttributeNames (const GraphNode& node, int count);

    // The value command k is kept with.
    static uint32_t getSavedValue (const GraphNode& node, int k) noexcept;

    static void write (const GraphNode& node, juce::XmlElement& commands);

    // Fills a node just read from a file, which has no command words yet:
    // one word per control function, each holding the saved control number
    // in its low 16 bits, its second word the saved high 16 bits; the count
    // reaches to the last command the file holds. Returns the names of the
    // attributes whose values are no hexadecimal numbers (taken as 0).
    static juce::StringArray readIntoNewNode (const juce::XmlElement& commands, GraphNode& node);

    // Gives command words already built the control numbers and second words
    // of the file, as switching the command view on does; a command the file
    // lacks gets 0, and a word of 0xFFFFFFFF is never changed.
    static void applyToBuiltWords (const juce::XmlElement& commands, GraphNode& node);

    // Gives built command word k (which the node must hold) a saved value:
    // its low 16 bits become the word's control number, its high 16 bits the
    // second word; a word of 0xFFFFFFFF is never changed.
    static void applySavedValue (GraphNode& node, int k, uint32_t value) noexcept;

    // A value as the file writes it ("" for none).
    static bool parseValue (const juce::String& text, uint32_t& value);
    static juce::String formatValue (uint32_t value);

private:
    static juce::String makeBaseName (const juce::String& functionName);
    static int countCommands (const GraphNode& node) noexcept;
};
