#include "generator/EqualiserLists.h"

#include "model/ProcessDefinition.h"

juce::String getCrossoverTypeList (int band, int bandCount)
{
    const auto remainingBands = bandCount - band;
    juce::String list;

    for (const auto& entry : EqualiserListTexts::crossoverEntries)
        if (remainingBands >= entry.bands)
            list << entry.text;

    return list;
}

juce::String getFilterTypeList (uint32_t processKind, int band, int bandCount)
{
    juce::String list (EqualiserListTexts::filterTypes);

    if (isSecondBiquadProcessKind (processKind))
        list << EqualiserListTexts::secondOrderShelfTypes;

    return list + getCrossoverTypeList (band, bandCount);
}
