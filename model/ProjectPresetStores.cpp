#include "model/ProjectPresetStores.h"

#include "model/GlobalPresetKey.h"

#include <algorithm>

namespace
{
// A stored preset must hold every value of the source's preset, each at the
// stored control of the same name; a control the stored store lacks holds,
// in every stored preset, the value the control starts from, which it gets
// there once it is added. A value beyond the source's controls names no
// control and is never written to a file, so it is not compared. An empty
// source has nothing to compare and only matches an empty stored preset.
bool holdsSameValues (const PresetRecord& stored, const PresetRecord& source, const std::vector<int>& positions,
                      const ProcessPresetStore& sourceStore)
{
    if (source.values.empty())
        return stored.values.empty();

    for (size_t i = 0; i < source.values.size(); ++i)
    {
        const auto position = positions[i];

        if (position < 0)
        {
            if (auto* control = sourceStore.getControl ((int) i); control != nullptr && source.values[i] != control->defaultValue)
                return false;

            continue;
        }

        if ((size_t) position >= stored.values.size() || stored.values[(size_t) position] != source.values[i])
            return false;
    }

    return true;
}

// Gives the stored store the source's controls it does not have yet, fixed
// or secondary as in the source, so that no value of the source is lost.
void addMissingControls (ProcessPresetStore& stored, const ProcessPresetStore& source)
{
    for (int i = 0; i < source.getControlCount(); ++i)
    {
        const auto& control = *source.getControl (i);

        if (stored.indexOfControl (control.name) >= 0)
            continue;

        if (! stored.addOrUpdateControlOfKind (control.nrpn, control.name, source.isFixedControl (i), control.defaultValue))
            return;
    }
}

// Every preset holds a value for every control: the preset file writes them
// all, and a preset stored before a control was added takes its default.
void padEveryPreset (ProcessPresetStore& stored)
{
    const auto current = stored.getCurrentPreset();

    for (int p = 0; p < stored.getPresetCount(); ++p)
    {
        stored.setCurrentPreset (p);
        stored.padValuesToControlCount();
    }

    stored.setCurrentPreset (current);
}

// Stores the source's preset into the stored store under its name (replacing
// the values of a preset of that name, else appending one), each value at the
// stored control of the same name. A stored control the source does not have
// keeps its value (its default in a new preset).
void mergePreset (ProcessPresetStore& stored, const ProcessPresetStore& source, const PresetRecord& preset)
{
    // A full store takes no new preset, and then no new controls either.
    if (! stored.selectOrAddPreset (preset.name, 0, true))
        return;

    addMissingControls (stored, source);
    padEveryPreset (stored);

    const auto& values = preset.values;
    const auto positions = ProjectPresetStores::mapValuePositions (source, stored, values.size());
    auto& storedValues = stored.getCurrentPresetRecord()->values;

    for (size_t i = 0; i < values.size(); ++i)
    {
        const auto position = positions[i];

        if (position < 0)
            continue;

        if ((size_t) position >= storedValues.size())
            storedValues.resize ((size_t) position + 1, 0);

        storedValues[(size_t) position] = values[i];
    }
}

// The name itself when the store holds no preset of it, else the name with
// the first free " (2)", " (3)" ... appended.
juce::String freePresetName (const ProcessPresetStore& store, const juce::String& name)
{
    auto candidate = name;

    for (int n = 2; store.indexOfPreset (candidate) >= 0; ++n)
        candidate = name + " (" + juce::String (n) + ")";

    return candidate;
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

ProjectPresetStores::ProjectPresetStores (const ProjectPresetStores& other)
    : tableCounter (other.tableCounter), lastTableId (other.lastTableId)
{
    for (const auto& cls : other.classes)
    {
        auto& copy = *classes.emplace_back (std::make_unique<ClassPresetStores> (*cls));
        classByName.emplace (copy.getName(), &copy);

        for (int i = 0; i < copy.getEntryCount(); ++i)
            entryByTableId.emplace (copy.getEntry (i)->tableId, std::make_pair (&copy, copy.getEntry (i)));
    }
}

void ProjectPresetStores::clear()
{
    entryByTableId.clear();
    classByName.clear();
    classes.clear();
    tableCounter = -1;
    lastTableId = -1;
}

std::vector<int> ProjectPresetStores::mapValuePositions (const ProcessPresetStore& source, const ProcessPresetStore& target,
                                                         size_t valueCount)
{
    std::vector<int> positions (valueCount, -1);
    const auto sourceControls = source.getControlCount();

    for (size_t i = 0; i < valueCount; ++i)
    {
        if (sourceControls == 0)
            positions[i] = (int) i;
        else if ((int) i < sourceControls)
            positions[i] = target.indexOfControl (source.getControl ((int) i)->name);
    }

    return positions;
}

ClassPresetStores* ProjectPresetStores::getClass (int n) const noexcept
{
    return n >= 0 && n < getClassCount() ? classes[(size_t) n].get() : nullptr;
}

ClassPresetStores* ProjectPresetStores::findClass (const juce::String& className) const noexcept
{
    const auto found = classByName.find (className);
    return found != classByName.end() ? found->second : nullptr;
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
    const auto found = entryByTableId.find (tableId);

    if (found == entryByTableId.end())
        return nullptr;

    if (owner != nullptr)
        *owner = found->second.first;

    return found->second.second;
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
            if (auto* current = source.getCurrentPresetRecord(); current != nullptr && &source != entry->store.get())
                mergePreset (*entry->store, source, *current);

            return entry->store.get();
        }
    }

    auto store = std::make_unique<ProcessPresetStore>();
    store->copyFrom (source);

    dropLastSavedPresets (*store, source.getCurrentPresetRecord() != nullptr ? source.getCurrentPreset() : -1);

    const auto sourceId = store->getTableId();

    if (keepTableId && sourceId >= 0 && sourceId <= GlobalPresetKey::maxTableId && findEntryByTableId (sourceId) == nullptr)
    {
        noteTableId (sourceId);
    }
    else
    {
        ++tableCounter;
        store->setTableId (tableCounter);
    }

    return addEntry (findOrAddClass (cls, className), count, std::move (store)).store.get();
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

    const auto& stored = *entry->store;
    const auto positions = mapValuePositions (source, stored, current->values.size());

    for (int i = 0; i < stored.getPresetCount(); ++i)
        if (holdsSameValues (*stored.getPresetRecord (i), *current, positions, source))
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
    {
        if (const auto found = findMatchingPreset (cls, count, source); found >= 0)
            return found;

        if (auto* entry = cls != nullptr ? cls->findEntry (count) : nullptr)
            return addBesideStoredPresets (*entry, source);
    }

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

    // A new store takes the source's other presets as well: an equal one of
    // them is named rather than the copy, as any later save would name it.
    return findMatchingPreset (findClass (className), count, source);
}

int ProjectPresetStores::addBesideStoredPresets (ClassPresetEntry& entry, const ProcessPresetStore& source)
{
    auto& stored = *entry.store;
    auto* current = source.getCurrentPresetRecord();
    lastTableId = entry.tableId;

    if (current == nullptr || &source == &stored)
        return -1;

    // Global presets name a stored preset by its index and may share it: one
    // of the same name is never written over, as another global preset may
    // still call it up. The cleaning removes it once no key names it.
    auto added = *current;
    added.name = freePresetName (stored, current->name);
    mergePreset (stored, source, added);

    auto* storedCurrent = stored.getCurrentPresetRecord();
    return storedCurrent != nullptr && storedCurrent->name == added.name ? stored.getCurrentPreset() : -1;
}

bool ProjectPresetStores::addStoredStore (const juce::String& className, int count, std::unique_ptr<ProcessPresetStore> store)
{
    if (store == nullptr)
        return false;

    const auto id = store->getTableId();

    if (id < 0 || id > GlobalPresetKey::maxTableId || findStore (className, count) != nullptr ||
        findEntryByTableId (id) != nullptr)
        return false;

    noteTableId (id);
    addEntry (findOrAddClass (nullptr, className), count, std::move (store));
    return true;
}

ClassPresetStores& ProjectPresetStores::findOrAddClass (ClassPresetStores* cls, const juce::String& className)
{
    if (cls == nullptr)
        cls = findClass (className);

    if (cls != nullptr)
        return *cls;

    auto& added = *classes.emplace_back (std::make_unique<ClassPresetStores> (className));
    classByName.emplace (className, &added);
    return added;
}

ClassPresetEntry& ProjectPresetStores::addEntry (ClassPresetStores& cls, int count, std::unique_ptr<ProcessPresetStore> store)
{
    auto& entry = cls.addEntry (count, std::move (store));
    entryByTableId.emplace (entry.tableId, std::make_pair (&cls, &entry));
    return entry;
}

void ProjectPresetStores::noteTableId (int id) noexcept
{
    // Later stores count on from the highest id held, so that none collides.
    tableCounter = std::max (tableCounter, id);
}
