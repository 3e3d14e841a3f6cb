#pragma once

#include "model/ClassPresetStores.h"

#include <juce_core/juce_core.h>

#include <map>
#include <memory>
#include <vector>

// The project's stored preset stores, grouped by process class and, within a
// class, by channel count. Every stored store gets a preset table id, counted
// 0, 1, 2 ... in creation order across all classes; global preset keys and
// the generated preset tables address presets through these ids, so an id
// is never given twice.
//
// The collections are rebuilt from the global preset file whenever a project
// is opened or saved (PresetDocument::readPresetsFile).
class ProjectPresetStores
{
public:
    ProjectPresetStores() = default;
    ~ProjectPresetStores() = default;
    // A copy of every class and stored store, to change without touching these.
    ProjectPresetStores (const ProjectPresetStores& other);
    ProjectPresetStores (ProjectPresetStores&&) noexcept = default;
    ProjectPresetStores& operator= (ProjectPresetStores&&) noexcept = default;

    void clear();

    // The last table id given out, -1 when none.
    int getTableCounter() const noexcept { return tableCounter; }
    void setTableCounter (int counter) noexcept { tableCounter = counter; }

    // The table id of the entry last found by findMatchingPreset or stored by
    // storeOrFindPreset, -1 when none.
    int getLastTableId() const noexcept { return lastTableId; }
    void setLastTableId (int id) noexcept { lastTableId = id; }

    int getClassCount() const noexcept { return (int) classes.size(); }

    // None for n out of range.
    ClassPresetStores* getClass (int n) const noexcept;

    // The class of exactly that name, or none.
    ClassPresetStores* findClass (const juce::String& name) const noexcept;

    ProcessPresetStore* findStore (const juce::String& className, int count) const noexcept;

    // The entry whose store has that table id, and the class holding it.
    ClassPresetEntry* findEntryByTableId (int tableId, ClassPresetStores** owner = nullptr) const noexcept;

    // Stores the source's current preset into the entry of that class and
    // count (replacing a preset of the same name), or makes a new entry that
    // copies the whole source without "(Last-Saved)". Into an entry, values
    // go by control name (see mapValuePositions), and a control of the source
    // that the entry lacks is added to it. A new entry gets the next table id
    // unless keepTableId is set and the source carries a free one that a key
    // can name. cls is the class
    // of that name when the caller has found it already.
    ProcessPresetStore* createOrMergeStore (ClassPresetStores* cls, const juce::String& className, int count,
                                            const ProcessPresetStore& source, bool keepTableId);

    // Index of the first stored preset whose values equal those of the
    // source's current preset, compared control by control by name; -1 when
    // there is no entry, no current preset or no match. Sets the last table
    // id when the entry exists.
    int findMatchingPreset (const ClassPresetStores* cls, int count, const ProcessPresetStore& source);

    // Nothing and -1 unless enabled. Otherwise stores the source's current
    // preset and returns -1. With matchExisting (the global-preset saving)
    // it returns the index in the stored store of the first stored preset of
    // equal values, else of the source's preset added there: under a name of
    // its own when one of its name is stored already, since global presets
    // that name that one must keep calling up its values. -1 when no preset
    // of the source was stored.
    int storeOrFindPreset (const juce::String& className, int count, const ProcessPresetStore& source, bool enabled,
                           bool matchExisting, bool keepTableId);

    // Adds a stored store exactly as read from a preset file, with its own
    // table id: no preset is dropped, as global preset keys name its presets
    // by position. False, and nothing added, when that class and count or
    // that table id is held already, or the id is not one a global preset
    // key can name (0 to 4095).
    bool addStoredStore (const juce::String& className, int count, std::unique_ptr<ProcessPresetStore> store);

    // Where each of the first valueCount values of a preset of the source
    // belongs in the target: the position of the target's control of the
    // same name, -1 when the target has none or the value lies beyond the
    // source's controls. Two stores of one process may list their controls
    // in different orders (a stored copy read back from the file holds the
    // delay control among its fixed controls, the node's store after them),
    // so values are never carried across by position; only a source without
    // controls, which has no names to go by, keeps its values' positions.
    static std::vector<int> mapValuePositions (const ProcessPresetStore& source, const ProcessPresetStore& target,
                                               size_t valueCount);

private:
    int addBesideStoredPresets (ClassPresetEntry& entry, const ProcessPresetStore& source);
    ClassPresetStores& findOrAddClass (ClassPresetStores* cls, const juce::String& className);
    ClassPresetEntry& addEntry (ClassPresetStores& cls, int count, std::unique_ptr<ProcessPresetStore> store);
    void noteTableId (int id) noexcept;

    int tableCounter = -1;
    int lastTableId = -1;
    std::vector<std::unique_ptr<ClassPresetStores>> classes;

    // The class of each name, and the first entry of each table id with its
    // class: a file of thousands of stores is read in n log n time.
    std::map<juce::String, ClassPresetStores*> classByName;
    std::map<int, std::pair<ClassPresetStores*, ClassPresetEntry*>> entryByTableId;
};
