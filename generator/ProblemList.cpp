#include "generator/ProblemList.h"

juce::String ProblemList::describe() const
{
    return listed.joinIntoString (", ") + (more > 0 ? " and " + juce::String (more) + " more" : juce::String());
}
