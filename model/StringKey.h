#pragma once

#include <juce_core/juce_core.h>

#include <unordered_map>

// Hashing and comparing texts as keys of a hash map, with the result of
// juce::String's own comparison but faster: a file's control names are
// looked up hundreds of thousands of times as one opens. Equal texts are
// those JUCE finds equal, character by character.
struct StringKey
{
    struct Hash
    {
        size_t operator() (const juce::String& text) const;
    };

    struct Equal
    {
        bool operator() (const juce::String& a, const juce::String& b) const noexcept;
    };
};

template <typename Value>
using StringKeyMap = std::unordered_map<juce::String, Value, StringKey::Hash, StringKey::Equal>;
