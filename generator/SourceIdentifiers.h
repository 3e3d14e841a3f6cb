#pragma once

#include <juce_core/juce_core.h>

#include <array>

// The characters that design names bring in and that generated identifiers
// (header guards, preset table names) must not carry, in the order in which
// they are replaced by "_".
constexpr std::array<juce::juce_wchar, 41> identifierSanitisingSet{ ' ', '(',  ')', '[',  ']',  '/',  '\\', '{',  '}',  '<', '>',
                                                                    '.', '?',  ',', ';',  '!',  0xA7, 0xA4, 0xF9, '%',  '*', 0xB5,
                                                                    '$', 0xA3, '^', 0xA8, '=',  '+',  '@',  0xE0, 0xE7, '`', '-',
                                                                    '|', '\'', '#', '"',  0xE9, '~',  '&',  '\t' };

// Every character of the set, and every other character that cannot stand in
// a C identifier (anything but ASCII letters, digits and "_"), becomes "_",
// one for one.
juce::String sanitiseIdentifier (const juce::String& name);

// Drops the leading "_" characters, then makes the first character upper case.
void capitaliseIdentifier (juce::String& name);

// Drops the leading "_" characters, then makes the whole name lower case.
void uncapitaliseIdentifier (juce::String& name);

// The explicit embeddings, overrides and isolates of Unicode text direction
// (U+202A-U+202E, U+2066-U+2069): in a name they would make the text around
// it show otherwise than it reads (a comment otherwise than the code around
// it compiles, a list row otherwise than its cells are).
bool isDirectionControl (juce::juce_wchar c) noexcept;
juce::String withoutDirectionControls (const juce::String& text);

// A name from a design or preset file as it may stand in a comment of
// generated C, of either kind: no control character, no comment end or
// start, no backslash or trigraph that could join the next line, and no
// Unicode text-direction control (U+202A-U+202E, U+2066-U+2069).
juce::String makeCommentText (const juce::String& name);
