#pragma once

#include "model/ClassPresetEntry.h"

#include <juce_core/juce_core.h>

#include <map>
#include <memory>
#include <vector>

// The stored preset stores of one process class (a process definition's
// name), one entry per channel count, in creation order.
class ClassPresetStores
{
public:
    explicit ClassPresetStores (const juce::String& name);

    // A copy of every entry and its store.
    ClassPresetStores (const ClassPresetStores& other);
    ClassPresetStores& operator= (const ClassPresetStores&) = delete;

    const juce::String& getName() const noexcept { return name; }

    int getEntryCount() const noexcept { return (int) entries.size(); }

    // None for n out of range.
    ClassPresetEntry* getEntry (int n) const noexcept;

    // The entry of that channel count, or none.
    ClassPresetEntry* findEntry (int count) const noexcept;

    // Appends an entry that owns the store; its table id is the store's.
    ClassPresetEntry& addEntry (int count, std::unique_ptr<ProcessPresetStore> store);

private:
    juce::String name;
    std::vector<std::unique_ptr<ClassPresetEntry>> entries;

    // The first entry of each count, so that a class of many counts is
    // searched in logarithmic time.
    std::map<int, ClassPresetEntry*> entryByCount;
};
