#pragma once

#include "model/ProcessPresetStore.h"

#include <algorithm>

// Compares what two preset stores hold, for the save-and-reread checks of the
// preset fuzz targets: the controls (by name, with their numbers and kind),
// the presets in order, and every value of every preset, matched by control
// name. The delay control's value is written as each list's delay count, the
// store's where a preset holds none, so the store's delay count is compared
// instead.
namespace PresetComparison
{
inline uint32_t valueAt (const PresetRecord& preset, int position)
{
    // A preset with fewer values than controls is written with zeros.
    return position >= 0 && (size_t) position < preset.values.size() ? preset.values[(size_t) position] : 0u;
}

inline int findControlByName (const ProcessPresetStore& store, const juce::String& name)
{
    for (int i = 0; i < store.getControlCount(); ++i)
        if (store.getControl (i)->name == name)
            return i;

    return -1;
}

inline bool isFixed (const ProcessPresetStore& store, int position)
{
    const auto& fixed = store.getFixedIndex();
    return std::find (fixed.begin(), fixed.end(), position) != fixed.end();
}

// Empty when `reread` holds everything `original` held, else what differs.
inline juce::String differences (const ProcessPresetStore& original, const ProcessPresetStore& reread)
{
    if (original.getControlCount() != reread.getControlCount())
        return "the control count went from " + juce::String (original.getControlCount()) + " to " +
               juce::String (reread.getControlCount());

    if (original.getPresetCount() != reread.getPresetCount())
        return "the preset count went from " + juce::String (original.getPresetCount()) + " to " +
               juce::String (reread.getPresetCount());

    if (original.hasFixedDelayControl() != reread.hasFixedDelayControl())
        return "the delay control came or went";

    // The delay count travels in the presets' lists: a store without presets has none to keep.
    if (original.hasFixedDelayControl() && original.getPresetCount() > 0 && original.getDelayCount() != reread.getDelayCount())
        return "the delay count went from " + juce::String (original.getDelayCount()) + " to " +
               juce::String (reread.getDelayCount());

    std::vector<int> positions;

    for (int c = 0; c < original.getControlCount(); ++c)
    {
        const auto& control = *original.getControl (c);
        const auto found = findControlByName (reread, control.name);

        if (found < 0)
            return "the control \"" + control.name + "\" was lost";

        if (reread.getControl (found)->nrpn != control.nrpn)
            return "the control \"" + control.name + "\" changed its number from " + juce::String (control.nrpn) + " to " +
                   juce::String (reread.getControl (found)->nrpn);

        if (isFixed (original, c) != isFixed (reread, found))
            return "the control \"" + control.name + "\" changed between fixed and secondary";

        positions.push_back (found);
    }

    for (int p = 0; p < original.getPresetCount(); ++p)
    {
        const auto& before = *original.getPresetRecord (p);
        const auto& after = *reread.getPresetRecord (p);

        if (before.name != after.name)
            return "preset " + juce::String (p) + " was \"" + before.name + "\" and is \"" + after.name + "\"";

        for (int c = 0; c < original.getControlCount(); ++c)
        {
            const auto& name = original.getControl (c)->name;

            if (name == ProcessPresetStore::fixedDelayControlName)
                continue;

            if (valueAt (before, c) != valueAt (after, positions[(size_t) c]))
                return "the value of \"" + name + "\" in the preset \"" + before.name + "\" went from " +
                       juce::String (valueAt (before, c)) + " to " + juce::String (valueAt (after, positions[(size_t) c]));
        }
    }

    return {};
}
} // namespace PresetComparison
