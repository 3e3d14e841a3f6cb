#pragma once

#include "model/GlobalPreset.h"

#include <juce_core/juce_core.h>

#include <memory>
#include <vector>

// The design's global presets by name, in creation order. The project object
// owns one; its preset document reads, cleans and writes it.
class GlobalPresetList
{
public:
    GlobalPresetList() = default;
    // A copy of every global preset, to change without touching these.
    GlobalPresetList (const GlobalPresetList& other);
    GlobalPresetList (GlobalPresetList&&) noexcept = default;
    GlobalPresetList& operator= (GlobalPresetList&&) noexcept = default;

    int getCount() const noexcept { return (int) presets.size(); }
    int getCurrentIndex() const noexcept { return currentIndex; }

    // Index of the preset with exactly that name, made current; -1 when none.
    int findByName (const juce::String& name);

    // None for n out of range.
    GlobalPreset* getPreset (int n) const noexcept;
    GlobalPreset* getCurrent() const noexcept { return getPreset (currentIndex); }

    // Appends a preset of that name without tables unless one has it; the
    // preset of that name becomes current.
    void addIfMissing (const juce::String& name);

    // Appends a preset of that name and makes it current, without looking
    // for one of the name: for a caller that knows it is new (the file
    // reader, which would otherwise take the square of their number).
    GlobalPreset& appendNew (const juce::String& name);

    void removeByName (const juce::String& name);
    void removeFirst();
    void clear();

    // Array sizes of the generated global preset source: those of the first
    // preset, 0 without presets.
    int firstPresetWordCount() const noexcept;
    int firstPresetTableCount() const noexcept;

private:
    void removeAt (int index);

    int currentIndex = -1;
    std::vector<std::unique_ptr<GlobalPreset>> presets;
};
