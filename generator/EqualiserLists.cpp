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

namespace
{
// "Butterworth Lowpass 18dB/Oct 2-band(L)" read into the entry.
bool readCrossoverText (const juce::String& text, CrossoverCode& entry)
{
    const auto words = juce::StringArray::fromTokens (text, " ", "");

    if (words.size() < 4 || ! words[2].endsWith ("dB/Oct"))
        return false;

    entry.text = text;
    entry.family = words[0];
    entry.highPass = words[1] == "Highpass";
    entry.order = words[2].getIntValue() / 6;
    entry.bands = words[3].getIntValue();
    return (entry.highPass || words[1] == "Lowpass") && entry.order > 0 && entry.bands > 0;
}
} // namespace

std::vector<CrossoverCode> getCrossoverCodes()
{
    std::vector<CrossoverCode> codes;

    for (const auto& entry : EqualiserListTexts::crossoverEntries)
    {
        for (const auto& item : juce::StringArray::fromTokens (juce::String (entry.text).substring (1), "|", ""))
        {
            CrossoverCode code;
            code.code = item.fromLastOccurrenceOf ("=", false, false).getIntValue();

            // The lists are our own fixed texts: an entry that does not read
            // is a fault of this program.
            if (readCrossoverText (item.upToLastOccurrenceOf ("=", false, false), code) && code.code > 0)
                codes.push_back (code);
            else
                jassertfalse;
        }
    }

    return codes;
}
