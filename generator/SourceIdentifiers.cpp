#include "generator/SourceIdentifiers.h"

#include <algorithm>

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

juce::String withoutLeadingUnderscores (const juce::String& name)
{
    int start = 0;

    while (start < name.length() && name[start] == '_')
        ++start;

    return name.substring (start);
}
} // namespace

juce::String sanitiseIdentifier (const juce::String& name)
{
    juce::String result;
    result.preallocateBytes (name.getNumBytesAsUTF8());

    for (auto p = name.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = *p;
        result += (isInSanitisingSet (c) || ! isIdentifierCharacter (c)) ? juce::juce_wchar ('_') : c;
    }

    return result;
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
    juce::String safe;

    for (auto p = name.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = *p;
        safe += (c < 0x20 || c == 0x7F) ? juce::juce_wchar (' ') : c == '\\' ? juce::juce_wchar ('/') : c;
    }

    // No comment may end or open early, and no trigraph ("??/" is a
    // backslash) may splice the next line into a line comment.
    while (safe.contains ("*/") || safe.contains ("/*") || safe.contains ("??"))
        safe = safe.replace ("*/", "* /").replace ("/*", "/ *").replace ("??", "? ?");

    return safe;
}
