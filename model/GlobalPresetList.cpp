#include "model/GlobalPresetList.h"

GlobalPresetList::GlobalPresetList (const GlobalPresetList& other) : currentIndex (other.currentIndex)
{
    for (const auto& preset : other.presets)
        presets.push_back (std::make_unique<GlobalPreset> (*preset));
}

int GlobalPresetList::findByName (const juce::String& presetName)
{
    for (int i = 0; i < getCount(); ++i)
    {
        if (presets[(size_t) i]->getName() == presetName)
        {
            currentIndex = i;
            return i;
        }
    }

    return -1;
}

GlobalPreset* GlobalPresetList::getPreset (int n) const noexcept
{
    return n >= 0 && n < getCount() ? presets[(size_t) n].get() : nullptr;
}

void GlobalPresetList::addIfMissing (const juce::String& presetName)
{
    if (findByName (presetName) < 0)
        appendNew (presetName);
}

GlobalPreset& GlobalPresetList::appendNew (const juce::String& presetName)
{
    presets.push_back (std::make_unique<GlobalPreset> (presetName));
    currentIndex = getCount() - 1;
    return *presets.back();
}

void GlobalPresetList::removeByName (const juce::String& presetName)
{
    for (int i = 0; i < getCount(); ++i)
    {
        if (presets[(size_t) i]->getName() == presetName)
        {
            removeAt (i);
            return;
        }
    }
}

void GlobalPresetList::removeFirst()
{
    if (! presets.empty())
        removeAt (0);
}

void GlobalPresetList::removeAt (int index)
{
    presets.erase (presets.begin() + index);

    // The current index keeps naming the same preset, or none once that one is gone.
    if (currentIndex == index)
        currentIndex = -1;
    else if (currentIndex > index)
        --currentIndex;
}

void GlobalPresetList::clear()
{
    presets.clear();
    currentIndex = -1;
}

int GlobalPresetList::firstPresetWordCount() const noexcept
{
    auto* first = getPreset (0);
    return first != nullptr ? first->getWordCount() : 0;
}

int GlobalPresetList::firstPresetTableCount() const noexcept
{
    auto* first = getPreset (0);
    return first != nullptr ? first->getTableCount() : 0;
}
