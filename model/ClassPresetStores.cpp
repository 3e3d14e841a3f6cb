#include "model/ClassPresetStores.h"

ClassPresetStores::ClassPresetStores (const juce::String& className) : name (className) {}

ClassPresetStores::ClassPresetStores (const ClassPresetStores& other) : name (other.name)
{
    for (const auto& entry : other.entries)
    {
        entries.push_back (std::make_unique<ClassPresetEntry> (
            ClassPresetEntry{ entry->count, entry->tableId, std::make_unique<ProcessPresetStore> (*entry->store) }));
        entryByCount.emplace (entry->count, entries.back().get());
    }
}

ClassPresetEntry* ClassPresetStores::getEntry (int n) const noexcept
{
    return n >= 0 && n < getEntryCount() ? entries[(size_t) n].get() : nullptr;
}

ClassPresetEntry* ClassPresetStores::findEntry (int count) const noexcept
{
    const auto found = entryByCount.find (count);
    return found != entryByCount.end() ? found->second : nullptr;
}

ClassPresetEntry& ClassPresetStores::addEntry (int count, std::unique_ptr<ProcessPresetStore> store)
{
    auto entry = std::make_unique<ClassPresetEntry>();
    entry->count = count;
    entry->tableId = store->getTableId();
    entry->store = std::move (store);
    entries.push_back (std::move (entry));
    entryByCount.emplace (count, entries.back().get());
    return *entries.back();
}
