#pragma once

#include "model/DesignLog.h"

#include <juce_core/juce_core.h>

// The problems of one kind that a table met, as the log lists them: the
// first few, each once, then how many more there were. A damaged file may
// hold millions; the text of one is only made while it is still listed.
class ProblemList
{
public:
    template <typename MakeText>
    void add (MakeText makeText)
    {
        if (listed.size() < maxListedProblemsOfAKind)
            listed.addIfNotAlreadyThere (makeText());
        else
            ++more;
    }

    bool isEmpty() const noexcept { return listed.isEmpty(); }

    // "a, b, c" or "a, b, c and 12 more".
    juce::String describe() const;

private:
    juce::StringArray listed;
    int more = 0;
};
