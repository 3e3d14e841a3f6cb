#include "generator/SourceIdentifiers.h"

#include <algorithm>
#include <vector>

namespace
{
bool isIdentifierCharacter (juce::juce_wchar c) noexcept
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isInSanitisingSet (juce::juce_wchar c) noexcept
{
    return std::find (identifierSanitisingSet.begin(), identifierSanitisingSet.end(), c) != identifierSanitisingSet.end();
}

// "*/", "/*" and "??".
bool splitsComment (juce::juce_wchar previous, juce::juce_wchar c) noexcept
{
    return (previous == '*' && c == '/') || (previous == '/' && c == '*') || (previous == '?' && c == '?');
}

// Texts are built as characters, then made a String once: appending to a
// String one character at a time copies it each time.
juce::String fromCharacters (std::vector<juce::juce_wchar>& characters)
{
    characters.push_back (0);
    return juce::String (juce::CharPointer_UTF32 (characters.data()));
}

juce::String withoutLeadingUnderscores (const juce::String& name)
{
    auto p = name.getCharPointer();

    while (*p == '_')
        ++p;

    return juce::String (p);
}
} // namespace

bool isDirectionControl (juce::juce_wchar c) noexcept
{
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

juce::String withoutDirectionControls (const juce::String& text)
{
    auto p = text.getCharPointer();

    while (! p.isEmpty() && ! isDirectionControl (*p))
        ++p;

    if (p.isEmpty())
        return text;

    std::vector<juce::juce_wchar> kept;
    kept.reserve (text.getNumBytesAsUTF8() + 1);

    for (auto q = text.getCharPointer(); ! q.isEmpty(); ++q)
        if (! isDirectionControl (*q))
            kept.push_back (*q);

    return fromCharacters (kept);
}

juce::String sanitiseIdentifier (const juce::String& name)
{
    std::vector<juce::juce_wchar> result;
    result.reserve (name.getNumBytesAsUTF8() + 1);

    for (auto p = name.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = *p;
        result.push_back ((isInSanitisingSet (c) || ! isIdentifierCharacter (c)) ? juce::juce_wchar ('_') : c);
    }

    return fromCharacters (result);
}

void capitaliseIdentifier (juce::String& name)
{
    name = withoutLeadingUnderscores (name);
    name = name.substring (0, 1).toUpperCase() + name.substring (1);
}

void uncapitaliseIdentifier (juce::String& name)
{
    name = withoutLeadingUnderscores (name).toLowerCase();
}

juce::String makeCommentText (const juce::String& name)
{
    std::vector<juce::juce_wchar> safe;
    safe.reserve (name.getNumBytesAsUTF8() * 2 + 1);

    for (auto p = name.getCharPointer(); ! p.isEmpty(); ++p)
    {
        auto c = *p;

        // A direction control would make the comment read otherwise than
        // the code around it compiles (compilers warn of them).
        if (isDirectionControl (c))
            continue;

        c = (c < 0x20 || c == 0x7F) ? juce::juce_wchar (' ') : c == '\\' ? juce::juce_wchar ('/') : c;

        // No comment may end or open early, and no trigraph ("??/" is a
        // backslash) may splice the next line into a line comment: a blank
        // goes between the two characters of such a pair.
        if (! safe.empty() && splitsComment (safe.back(), c))
            safe.push_back (' ');

        safe.push_back (c);
    }

    return fromCharacters (safe);
}
