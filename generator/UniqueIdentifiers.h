#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <unordered_map>
#include <unordered_set>

// The identifiers given out in one generation, whatever their letter case:
// a name already given gets a number of its own ("_2", "_3" ...), the lowest
// free one. Each name costs the same whatever was given before it, so
// thousands of names that sanitise alike take no longer than as many others.
class UniqueIdentifiers
{
public:
    // The base itself when nobody has it yet, else base + "_" + the lowest
    // number from 2 on that makes it free; it is given out from then on.
    juce::String take (const juce::String& base);

private:
    static std::string keyOf (const juce::String& name);

    std::unordered_set<std::string> given;            // upper case
    std::unordered_map<std::string, int> nextNumbers; // by upper-case base: every number below is given
};
