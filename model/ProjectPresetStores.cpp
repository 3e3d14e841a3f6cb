#include "model/ProjectPresetStores.h"

namespace
{
// A stored preset must hold at least the source's values; a shorter one
// lacks some of them and so is not the same preset. An empty source has
// nothing to compare and only matches an empty stored preset.
bool holdsSameValues (const PresetRecord& stored, const PresetRecord& source)
{
    if (source.values.empty())
        return stored.values.empty();

    return stored.values.size() >= source.values.size() &&
           std::equal (source.values.begin(), source.values.end(), stored.values.begin());
}

// Removes every "(Last-Saved)" preset, keeping the current and selected
// presets on the presets they named (none when that was a removed one).
void dropLastSavedPresets (ProcessPresetStore& store, int current)
{
    auto selected = store.getSelectedPreset();

    for (int i = store.getPresetCount(); --i >= 0;)
    {
        if (store.getPresetName (i) != ProcessPresetStore::lastSavedPresetName)
            continue;

        store.removePreset (i);

        current = i < current ? current - 1 : (i == current ? -1 : current);
        selected = i < selected ? selected - 1 : (i == selected ? -1 : selected);
    }

    store.setCurrentPreset (current);
    store.setSelectedPreset (selected);
}
} // namespace

void ProjectPresetStores::clear()
{
    classes.clear();
    tableCounter = -1;
    lastTableId = -1;
}

ClassPresetStores* ProjectPresetStores::getClass (int n) const noexcept
{
    return n >= 0 && n < getClassCount() ? classes[(size_t) n].get() : nullptr;
}

ClassPresetStores* ProjectPresetStores::findClass (const juce::String& className) const noexcept
{
    for (const auto& cls : classes)
        if (cls->getName() == className)
            return cls.get();

    return nullptr;
}

ProcessPresetStore* ProjectPresetStores::findStore (const juce::String& className, int count) const noexcept
{
    if (auto* cls = findClass (className))
        if (auto* entry = cls->findEntry (count))
            return entry->store.get();

    return nullptr;
}

ClassPresetEntry* ProjectPresetStores::findEntryByTableId (int tableId, ClassPresetStores** owner) const noexcept
{
    for (const auto& cls : classes)
    {
        for (int i = 0; i < cls->getEntryCount(); ++i)
        {
            auto* entry = cls->getEntry (i);

            if (entry->tableId == tableId)
            {
                if (owner != nullptr)
                    *owner = cls.get();

                return entry;
            }
        }
    }

    return nullptr;
}

ProcessPresetStore* ProjectPresetStores::createOrMergeStore (ClassPresetStores* cls, const juce::String& className, int count,
                                                             const ProcessPresetStore& source, bool keepTableId)
{
    if (cls == nullptr)
        cls = findClass (className);

    if (cls != nullptr)
    {
        if (auto* entry = cls->findEntry (count))
        {
            entry->store->copyPresetFrom (source.getCurrentPresetRecord(), true);
            return entry->store.get();
        }
    }

    auto store = std::make_unique<ProcessPresetStore>();
    store->copyFrom (source);

    // A stored copy outlives the node box whose control panel the source may show.
    store->setPanel (nullptr);

    dropLastSavedPresets (*store, source.getCurrentPresetRecord() != nullptr ? source.getCurrentPreset() : -1);

    const auto sourceId = store->getTableId();

    if (keepTableId && sourceId >= 0 && findEntryByTableId (sourceId) == nullptr)
    {
        noteTableId (sourceId);
    }
    else
    {
        ++tableCounter;
        store->setTableId (tableCounter);
    }

    auto& entry = findOrAddClass (cls, className).addEntry (count, std::move (store));
    return entry.store.get();
}

int ProjectPresetStores::findMatchingPreset (const ClassPresetStores* cls, int count, const ProcessPresetStore& source)
{
    auto* entry = cls != nullptr ? cls->findEntry (count) : nullptr;

    if (entry == nullptr)
        return -1;

    lastTableId = entry->tableId;

    auto* current = source.getCurrentPresetRecord();

    if (current == nullptr)
        return -1;

    for (int i = 0; i < entry->store->getPresetCount(); ++i)
        if (holdsSameValues (*entry->store->getPresetRecord (i), *current))
            return i;

    return -1;
}

int ProjectPresetStores::storeOrFindPreset (const juce::String& className, int count, const ProcessPresetStore& source,
                                            bool enabled, bool matchExisting, bool keepTableId)
{
    if (! enabled)
        return -1;

    auto* cls = findClass (className);

    if (matchExisting)
        if (const auto found = findMatchingPreset (cls, count, source); found >= 0)
            return found;

    auto* stored = createOrMergeStore (cls, className, count, source, keepTableId);
    lastTableId = stored->getTableId();

    if (! matchExisting)
        return -1;

    // The stored store's current preset is the source's only when it was
    // stored: a full store or a dropped "(Last-Saved)" stores nothing.
    auto* current = source.getCurrentPresetRecord();
    auto* storedCurrent = stored->getCurrentPresetRecord();

    if (current == nullptr || storedCurrent == nullptr || storedCurrent->name != current->name)
        return -1;

    return stored->getCurrentPreset();
}

bool ProjectPresetStores::addStoredStore (const juce::String& className, int count, std::unique_ptr<ProcessPresetStore> store)
{
    if (store == nullptr)
        return false;

    const auto id = store->getTableId();

    if (id < 0 || findStore (className, count) != nullptr || findEntryByTableId (id) != nullptr)
        return false;

    noteTableId (id);
    findOrAddClass (nullptr, className).addEntry (count, std::move (store));
    return true;
}

ClassPresetStores& ProjectPresetStores::findOrAddClass (ClassPresetStores* cls, const juce::String& className)
{
    if (cls == nullptr)
        cls = findClass (className);

    if (cls != nullptr)
        return *cls;

    classes.push_back (std::make_unique<ClassPresetStores> (className));
    return *classes.back();
}

void ProjectPresetStores::noteTableId (int id) noexcept
{
    // Later stores count on from the highest id held, so that none collides.
    tableCounter = std::max (tableCounter, id);
}
