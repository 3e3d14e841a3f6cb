#pragma once

#include "model/GlobalPresetList.h"
#include "model/PresetControlsLayout.h"
#include "model/PresetFileAccess.h"
#include "model/PresetNumberReader.h"
#include "model/ProcessPresetStore.h"
#include "model/ProjectPresetStores.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <memory>
#include <vector>

// The context through which preset files are read and written, presets are
// stored into the project's collections and global presets are cleaned and
// saved. The project object owns one for the whole project (pointed at its
// ProjectPresetStores and GlobalPresetList, with the preset list in use);
// each node box owns one for its preset menu; the project save and the
// source generation make a temporary one.
//
// A project keeps two preset files beside its project file:
// - "<name>.presets": the presets that the node boxes' preset menus write,
//   one "Class" element per process class directly under the root;
// - "<name>_global.presets": the project's stored preset stores under
//   "PresetList" (each count group with its "TableId") and the global
//   presets under "GLOBAL_PRESETS". readPresetsFile reads this one.
//
// Every file is parsed into new objects; a damaged one changes nothing,
// except that the project's collections are rebuilt from the global preset
// file as if a damaged one were missing. Every write replaces the whole file
// or leaves it as it was, and no file that does not parse is written over.
// Failures are reported through the message handler (the program shows them
// in a message box) and returned as a juce::Result.
//
// The global-preset saving runs these operations on its worker thread while
// the message thread waits in its progress window, so the message handler
// may be called from that thread.
class PresetDocument
{
public:
    using MessageHandler =
        std::function<void (const juce::String& title, const juce::String& text, const juce::String& buttonText)>;

    // What writeProcessPresetDocument does besides writing the file.
    struct WriteOptions
    {
        // Store the store's current preset into the project's collections.
        bool storeInCollections = false;
        // When storing, first look for a stored preset with equal values.
        bool matchExisting = false;
        // Write every preset, or only "(Last-Saved)".
        bool allPresets = true;
    };

    static constexpr const char* formatVersion = "1.01";
    static constexpr const char* presetFileSuffix = ".presets";
    static constexpr const char* globalPresetFileSuffix = "_global.presets";
    static constexpr const char* loadingTitle = "Loading preset";
    static constexpr const char* savingTitle = "Saving preset";
    static constexpr const char* mismatchText =
        "Preset or Global preset parameter mismatch. please remove manually the preset file";
    static constexpr const char* okButton = "Ok";

    // The project's folder, "/", the project name and ".presets" (or "_global.presets").
    static juce::File getPresetFile (const juce::File& projectFolder, const juce::String& projectName);
    static juce::File getGlobalPresetFile (const juce::File& projectFolder, const juce::String& projectName);

    PresetDocument();
    ~PresetDocument();

    PresetDocument (const PresetDocument&) = delete;
    PresetDocument& operator= (const PresetDocument&) = delete;

    //==============================================================================
    // The context

    // Process classes are then written under one "PresetList" element.
    void setUsePresetList() noexcept { usePresetList = true; }
    bool usesPresetList() const noexcept { return usePresetList; }

    // The store that loadProcessPresets fills; not owned.
    void setStore (ProcessPresetStore* target) noexcept { store = target; }
    ProcessPresetStore* getStore() const noexcept { return store; }

    // The project's collections and global presets; not owned.
    void setPresetStores (ProjectPresetStores* stores) noexcept { presetStores = stores; }
    ProjectPresetStores* getPresetStores() const noexcept { return presetStores; }
    void setGlobalPresets (GlobalPresetList* list) noexcept { globalPresets = list; }
    GlobalPresetList* getGlobalPresets() const noexcept { return globalPresets; }

    // Where failures and the preset mismatch go; without one they are logged.
    void setMessageHandler (MessageHandler handler) { messageHandler = std::move (handler); }
    const MessageHandler& getMessageHandler() const noexcept { return messageHandler; }

    // Which of the controls a file names a load registers (and whether it
    // takes the file's fixed delay control): those the filter accepts; all
    // without one.
    using ControlFilter = std::function<bool (const juce::String& controlName)>;
    void setControlFilter (ControlFilter filter) { controlFilter = std::move (filter); }

    // How the stores of a process class are read: a delay-type process's
    // has the fixed delay control (also where a file left it out) and takes
    // only the controls the filter accepts; any other class has no filter
    // and takes the controls as the file gives them.
    struct ClassReading
    {
        ControlFilter controls;

        bool isDelay() const noexcept { return controls != nullptr; }
        void markStore (ProcessPresetStore& target) const;
    };

    // The store that loadProcessPresets fills, read as one of that class.
    void setStore (ProcessPresetStore& target, const ClassReading& reading);

    // How the stored stores of a process class are read from the global
    // preset file. Without a rule every class is read as the file gives it.

    using ClassRule = std::function<ClassReading (const juce::String& className)>;
    void setClassRule (ClassRule rule) { classRule = std::move (rule); }

    //==============================================================================
    // The element cursor for building preset XML

    // A new "Preset" element added to the parent; it becomes the current
    // element and the parent the parent element.
    juce::XmlElement* createPresetElement (juce::XmlElement& parent);

    // A new element that becomes the current one. The context holds it until
    // addChild adds it somewhere; the next createElement drops it otherwise.
    juce::XmlElement* createElement (const juce::String& tag);

    // Attributes of the current element (numbers in decimal).
    void setText (const juce::String& attributeName, const juce::String& text);
    void setInt (const juce::String& attributeName, int value);
    void setUnsigned (const juce::String& attributeName, uint32_t value);

    // Adds the element last made by createElement to the parent.
    void addChild (juce::XmlElement& parent, juce::XmlElement* child);

    juce::XmlElement* getCurrentElement() const noexcept { return currentElement; }
    juce::XmlElement* getParentElement() const noexcept { return parentElement; }

    //==============================================================================
    // Process preset files

    // Writes one process's presets into the preset file, under the count
    // that prepareFixedDelayControl gives. With the options, the store's
    // current preset is first stored in the project's collections; its index
    // there goes to storedPresetIndex (-1 when none). With the preset list in
    // use the stored copy is what is written; without one (nothing stored
    // for that class and count) nothing is written and the write fails.
    juce::Result writeProcessPresetDocument (const juce::File& file, const juce::String& className, int count,
                                             ProcessPresetStore& presetStore, const WriteOptions& options,
                                             int* storedPresetIndex = nullptr);

    // The same into a document in memory (the global preset saving writes
    // its file once, at the end); fails, with the reason, only when the
    // preset list is in use and nothing is stored for that class and count.
    juce::Result writeProcessPresetInto (juce::XmlElement& root, const juce::String& className, int count,
                                         ProcessPresetStore& presetStore, const WriteOptions& options,
                                         int* storedPresetIndex = nullptr);

    // Readies a store with the fixed delay control for writing: registers
    // the control "-/-delay-/-" when missing (an unbuilt store stays
    // unbuilt), makes `count` the store's delay count and the control's value
    // in the current preset, and returns 1, the count such a store is written
    // under. A store without that control is left alone and `count` returned.
    static int prepareFixedDelayControl (ProcessPresetStore& presetStore, int count);

    // Finds or creates "PresetList" (with the preset list in use), the class
    // and its count group under the parent and writes the store's "Preset"
    // element: its controls and either every preset or only "(Last-Saved)".
    // In the preset list a stored store's group is the one of its table id,
    // else the group of the class and count. A list whose name is there
    // already is replaced in place (its twins removed). When the
    // store's controls differ from those of the element, the element's
    // controls are rewritten and its lists renumbered to match. Returns the
    // "Preset" element; with the preset list in use, a store without a table
    // id (no stored copy) writes nothing and gives none.
    juce::XmlElement* writeClassElement (juce::XmlElement& parent, const juce::String& className, int count,
                                         const ProcessPresetStore& presetStore, bool allPresets);

    // Removes lists from the count groups of that count in a class of an
    // existing file (the groups the node box's loader reads): every list
    // with removeAll, else every list of the name, or of the first list's
    // name when none is given. Nothing happens when the file or the group
    // does not exist.
    juce::Result writePresetsFile (const juce::File& file, const juce::String& className, int count,
                                   const juce::String& presetName, bool removeAll);

    // Reads the count group of that class and count from the root-level
    // classes of the file into the store, in place of its presets (its
    // controls are kept). Nothing happens when the file, the class or the
    // group does not exist.
    juce::Result loadProcessPresetsFromFile (const juce::File& file, const juce::String& className, int count,
                                             ProcessPresetStore& presetStore);

    // Fills the context's store from the count group and each following
    // count group that applies: those of the same count, or all of them
    // without a source or with a source that has the fixed delay control.
    // The store changes only when every number read was valid (false otherwise).
    bool loadProcessPresets (const juce::XmlElement& countGroup, int count, const ProcessPresetStore* source);

    // Rebuilds the project's collections and global presets from the global
    // preset file: empty when the file does not exist, and empty too when it
    // does not parse (reported, and a failure). A count group or DSP table
    // with a bad number, a group without a "TableId" that a key can name
    // (0 to 4095), a repeated group or table id, and a global preset or DSP
    // table repeated under its name or DSP are left out and reported; the
    // rest is read. "NumberOfTableId" counts at most 4096 ids.
    //
    // A name counts once in every preset file: the readers take the first
    // list of a name (of a group, or of the groups of one count) and ignore
    // the rest; every write that replaces or removes a name takes its twins
    // with it, so that what is read after a save is what was saved.
    juce::Result readPresetsFile (const juce::File& file);

    static juce::XmlElement* findPresetClassElement (const juce::XmlElement& parent, const juce::String& name);
    static juce::XmlElement* findListElement (const juce::XmlElement& parent, const juce::String& name);
    static juce::XmlElement* findCountGroupElement (const juce::XmlElement& parent, int count);

    //==============================================================================
    // Global preset file

    // Removes the named global preset's lists from the file.
    juce::Result writeGlobalPresetsFile (const juce::File& file, const juce::String& presetName);

    // Writes one table of a global preset into the file: the preset's list
    // is found or created; with replace its old DSP tables are removed first.
    juce::Result writeGlobalPresetDocument (const juce::File& file, const GlobalPreset& globalPreset,
                                            const GlobalPresetTable& table, bool replace);
    void writeGlobalPresetInto (juce::XmlElement& root, const GlobalPreset& globalPreset, const GlobalPresetTable& table,
                                bool replace);

    // The global preset file's document to change: a new one when there is
    // no file, none and the (reported) failure when it cannot be read.
    juce::Result readGlobalRoot (const juce::File& file, std::unique_ptr<juce::XmlElement>& root);

    //==============================================================================
    // Cleaning the stored presets behind the global presets. The saving runs
    // rebuildReferencedPresets, removeUnreferencedPresets and renumberAndSave
    // in that order; the file is changed only by the last one, in one write.

    // The stored store that the key's table id names, with the key's preset
    // made current and selected (a key for the current preset selects the
    // current one), and the entry's channel count; none, with count -1, when
    // no stored store fits the key.
    ProcessPresetStore* findPresetStoreForKey (uint32_t key, int& count);

    // Lists every distinct table id and preset index that a key of a global
    // preset names, in descending order. Returns the number listed.
    int rebuildReferencedPresets();

    // The table id part of entries n and n + 1 of that list; -1 beyond it.
    void getGroupBounds (int n, int& lo, int& hi) const noexcept;

    // Removes from every referenced stored store the presets that no key
    // names, keeping the referenced ones in their order, and notes each
    // reference's new index. A store that a key names by its current preset
    // or by an index it does not hold is left whole, as is a table id of no
    // store. Fails, changing nothing, when the file cannot be read.
    juce::Result removeUnreferencedPresets (const juce::File& file);
    // The same without looking at the file.
    void removeUnreferencedPresets();

    // Rewrites every key to its preset's new index and writes the file: the
    // removed presets' lists taken out of "PresetList" and every global
    // preset's tables. Both lists are emptied afterwards.
    // Fails, renumbering nothing, when the file cannot be read or written.
    juce::Result renumberAndSave (const juce::File& file);
    // The same into the global preset file's document in memory.
    void renumberInto (juce::XmlElement& root);

    const std::vector<int>& getReferencedPresets() const noexcept { return referencedPresets; }
    const std::vector<int>& getNewIndex() const noexcept { return newIndex; }

private:
    struct PendingRemoval
    {
        juce::String className;
        int tableId = -1;
        juce::StringArray presetNames;
    };

    void loadCountGroups (ProcessPresetStore& target, const juce::XmlElement& firstGroup, int count,
                          const ProcessPresetStore* source, PresetNumberReader& reader, bool& mismatch);
    void loadCountGroup (ProcessPresetStore& target, const juce::XmlElement& group, int groupCount, int count,
                         const ProcessPresetStore* source, PresetNumberReader& reader, bool& mismatch,
                         const ControlFilter& filter);
    void readStoredStores (const juce::XmlElement& root, ProjectPresetStores& stores, juce::StringArray& skipped, bool& mismatch);
    void readGlobalPresets (const juce::XmlElement& root, GlobalPresetList& list, juce::StringArray& skipped);

    void updatePresetControls (juce::XmlElement& preset, const PresetControlsLayout& layout);
    std::unique_ptr<juce::XmlElement> makeRoot() const;
    void setTableIdCount (juce::XmlElement& root) const;
    // The loaded global file's root with its table-id count brought up to
    // date, or a fresh root when there was no file.
    std::unique_ptr<juce::XmlElement> takeGlobalRoot (PresetFileAccess::Loaded& loaded) const;
    void cleanStore (size_t first, size_t end);
    void renumberKeys();

    // A parsed file to change, or a reported failure when it is damaged.
    PresetFileAccess::Loaded loadForUpdate (const juce::File& file);
    juce::Result save (const juce::XmlElement& root, const juce::File& file);
    void report (const juce::String& title, const juce::String& text) const;
    // The controls a load had no room for, and a preset mismatch.
    void reportLoadProblems (bool mismatch) const;
    void reportUnreadable (const juce::File& file, const juce::String& reason, bool writing) const;

    ProcessPresetStore* store = nullptr;
    bool usePresetList = false;
    ProjectPresetStores* presetStores = nullptr;
    GlobalPresetList* globalPresets = nullptr;
    juce::XmlElement* currentElement = nullptr;
    juce::XmlElement* parentElement = nullptr;
    std::unique_ptr<juce::XmlElement> pendingElement;
    std::vector<int> referencedPresets;
    std::vector<int> newIndex;
    std::vector<PendingRemoval> pendingRemovals;
    MessageHandler messageHandler;
    ControlFilter controlFilter;
    ClassRule classRule;
    int controlsLeftOut = 0; // by the current load
};
