#include "generator/UniqueIdentifiers.h"

std::string UniqueIdentifiers::keyOf (const juce::String& name)
{
    return name.toUpperCase().toStdString();
}

juce::String UniqueIdentifiers::take (const juce::String& base)
{
    const auto baseKey = keyOf (base);
    auto unique = base;

    // Names are never given back, so the numbers below the one a base
    // reached last time are still taken: the search goes on from there.
    if (given.count (baseKey) != 0)
    {
        auto& number = nextNumbers.try_emplace (baseKey, 2).first->second;

        for (;; ++number)
        {
            unique = base + "_" + juce::String (number);

            if (given.count (keyOf (unique)) == 0)
                break;
        }

        ++number;
    }

    given.insert (keyOf (unique));
    return unique;
}
