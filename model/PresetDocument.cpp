#include "model/PresetDocument.h"

#include "model/DesignLog.h"
#include "model/GlobalPresetKey.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

namespace
{
// The store never finds a preset by the empty name, so its lists are told
// apart here: the first unnamed list read is the one that counts.
bool holdsUnnamedPreset (const ProcessPresetStore& store)
{
    for (int i = 0; i < store.getPresetCount(); ++i)
        if (store.getPresetName (i).isEmpty())
            return true;

    return false;
}

constexpr const char* presetListTag = "PresetList";
constexpr const char* classTag = "Class";
constexpr const char* countGroupTag = "CountGroup";
constexpr const char* presetTag = "Preset";
constexpr const char* countTag = "Count";
constexpr const char* controlsTag = "Controls";
constexpr const char* listsTag = "Lists";
constexpr const char* listTag = "List";
constexpr const char* globalPresetsTag = "GLOBAL_PRESETS";
constexpr const char* dspDefinitionTag = "DSPDefinition";

constexpr uint32_t channelCountMask = 0x0FFFFFFF;

// A count group's channel count: the low 28 bits of the node's count word,
// with 0 read as 1.
int toGroupCount (uint32_t count)
{
    const auto masked = (int) (count & channelCountMask);
    return masked == 0 ? 1 : masked;
}

// The count of a group when looking one up; -1 when its text is no number.
int countOfGroup (const juce::XmlElement& group)
{
    uint32_t count = 0;

    if (! PresetNumberReader::parseUnsigned (group.getStringAttribute ("count", "0"), count))
        return -1;

    return toGroupCount (count);
}

juce::XmlElement& findOrCreateChild (juce::XmlElement& parent, const char* tag)
{
    if (auto* child = parent.getChildByName (tag))
        return *child;

    return *parent.createNewChildElement (tag);
}

int indexOfChild (const juce::XmlElement& parent, const juce::XmlElement& child)
{
    for (int i = 0; i < parent.getNumChildElements(); ++i)
        if (parent.getChildElement (i) == &child)
            return i;

    return -1;
}

int countChildren (const juce::XmlElement& parent, const char* tag)
{
    int count = 0;

    for (auto* child = parent.getChildByName (tag); child != nullptr; child = child->getNextElementWithTagName (tag))
        ++count;

    return count;
}

const PresetRecord* findPresetRecord (const ProcessPresetStore& store, const juce::String& name)
{
    for (int i = 0; i < store.getPresetCount(); ++i)
        if (store.getPresetName (i) == name)
            return store.getPresetRecord (i);

    return nullptr;
}

// The class of that name directly under the root, under "PresetList" or
// under the root's first child.
juce::XmlElement* findClassAnywhere (const juce::XmlElement& root, const juce::String& className)
{
    if (auto* cls = PresetDocument::findPresetClassElement (root, className))
        return cls;

    if (auto* presetList = root.getChildByName (presetListTag))
        if (auto* cls = PresetDocument::findPresetClassElement (*presetList, className))
            return cls;

    if (auto* first = root.getFirstChildElement())
        return PresetDocument::findPresetClassElement (*first, className);

    return nullptr;
}

// The table id of a group of the preset list; -1 when it holds none that a
// global preset key could name.
int tableIdOfGroup (const juce::XmlElement& group)
{
    auto tableId = -1;

    if (! PresetNumberReader::parseInt (group.getStringAttribute ("TableId"), tableId) || tableId < 0 ||
        tableId > GlobalPresetKey::maxTableId)
        return -1;

    return tableId;
}

// The group of the preset list that holds the stored store of that table
// id, in a class of that name. Found by its id, not by its count: the first
// group of a class and count may be one the reader left out, and a class
// may stand twice.
juce::XmlElement* findStoredGroup (const juce::XmlElement& presetList, const juce::String& className, int tableId)
{
    if (tableId < 0)
        return nullptr;

    for (auto* cls = presetList.getChildByName (classTag); cls != nullptr; cls = cls->getNextElementWithTagName (classTag))
        if (cls->getStringAttribute ("name") == className)
            for (auto* group = cls->getChildByName (countGroupTag); group != nullptr;
                 group = group->getNextElementWithTagName (countGroupTag))
                if (tableIdOfGroup (*group) == tableId)
                    return group;

    return nullptr;
}

// The "Preset" elements of every count group of that count in the class:
// the node box's loader reads them all.
std::vector<juce::XmlElement*> findPresetsOfCount (const juce::XmlElement& root, const juce::String& className, int count)
{
    std::vector<juce::XmlElement*> presets;

    if (auto* cls = findClassAnywhere (root, className))
        for (auto* group = cls->getChildByName (countGroupTag); group != nullptr;
             group = group->getNextElementWithTagName (countGroupTag))
            if (countOfGroup (*group) == toGroupCount ((uint32_t) count))
                if (auto* preset = group->getChildByName (presetTag))
                    presets.push_back (preset);

    return presets;
}

// A name counts once: the readers take the first list of a name and ignore
// the rest, so a list replaced or removed takes its twins with it, or one
// of them would be read in its place. Removes every list of that name but
// the one kept; true when any was removed.
bool removeListsNamed (juce::XmlElement& lists, const juce::String& name, const juce::XmlElement* kept = nullptr)
{
    auto removed = false;

    for (auto* list = lists.getChildByName (listTag); list != nullptr;)
    {
        auto* next = list->getNextElementWithTagName (listTag);

        if (list != kept && list->getStringAttribute ("name") == name)
        {
            lists.removeChildElement (list, true);
            removed = true;
        }

        list = next;
    }

    return removed;
}

// "NumberOfPresets" follows the lists the group really holds.
void updatePresetCount (juce::XmlElement& preset)
{
    auto* lists = preset.getChildByName (listsTag);
    findOrCreateChild (preset, countTag).setAttribute ("NumberOfPresets", lists != nullptr ? countChildren (*lists, listTag) : 0);
}

// Removes every global preset list of that name from every
// "GLOBAL_PRESETS" element, whose counts follow; true when any was.
bool removeGlobalLists (juce::XmlElement& root, const juce::String& name)
{
    auto removed = false;

    for (auto* globals = root.getChildByName (globalPresetsTag); globals != nullptr;
         globals = globals->getNextElementWithTagName (globalPresetsTag))
    {
        if (removeListsNamed (*globals, name))
        {
            globals->setAttribute ("NumberOfGlobalPreset", countChildren (*globals, listTag));
            removed = true;
        }
    }

    return removed;
}

// The global preset lists of a file by name: the first of each name, which
// the reader takes. Every later twin is removed, as it would be read in
// place of its first once that one is gone; the counts follow.
std::map<juce::String, juce::XmlElement*> indexGlobalLists (juce::XmlElement& root)
{
    std::map<juce::String, juce::XmlElement*> lists;

    for (auto* globals = root.getChildByName (globalPresetsTag); globals != nullptr;
         globals = globals->getNextElementWithTagName (globalPresetsTag))
    {
        for (auto* list = globals->getChildByName (listTag); list != nullptr;)
        {
            auto* next = list->getNextElementWithTagName (listTag);

            if (! lists.emplace (list->getStringAttribute ("name"), list).second)
                globals->removeChildElement (list, true);

            list = next;
        }

        globals->setAttribute ("NumberOfGlobalPreset", countChildren (*globals, listTag));
    }

    return lists;
}

// A new list for the global preset in the first "GLOBAL_PRESETS" element.
juce::XmlElement& createGlobalList (juce::XmlElement& root, const GlobalPreset& globalPreset)
{
    auto* globals = root.getChildByName (globalPresetsTag);

    if (globals == nullptr)
        globals = root.createNewChildElement (globalPresetsTag);

    auto* list = globals->createNewChildElement (listTag);
    list->setAttribute ("name", globalPreset.getName());
    list->setAttribute ("NumberOfDsp", globalPreset.getTableCount());
    globals->setAttribute ("NumberOfGlobalPreset", countChildren (*globals, listTag));
    return *list;
}

juce::XmlElement& findOrCreateGlobalList (juce::XmlElement& root, const GlobalPreset& globalPreset)
{
    const auto lists = indexGlobalLists (root);
    const auto found = lists.find (globalPreset.getName());
    return found != lists.end() ? *found->second : createGlobalList (root, globalPreset);
}

void appendDspDefinition (juce::XmlElement& list, const GlobalPresetTable& table)
{
    auto* definition = list.createNewChildElement (dspDefinitionTag);
    definition->setAttribute ("dspId", juce::String (table.getDspId()));
    definition->setAttribute ("numberOfProcess", table.getKeyCount());

    for (int k = 0; k < table.getKeyCount(); ++k)
        definition->setAttribute ("processPreset" + juce::String (k + 1), juce::String (table.getKey (k)));
}

void writeDspDefinition (juce::XmlElement& list, const GlobalPresetTable& table)
{
    // A table written again for the same DSP replaces the old one, and any
    // twin of it, which the reader would ignore until the old one is gone.
    for (auto* old = list.getChildByName (dspDefinitionTag); old != nullptr;)
    {
        auto* next = old->getNextElementWithTagName (dspDefinitionTag);
        uint32_t dspId = 0;

        if (PresetNumberReader::parseUnsigned (old->getStringAttribute ("dspId"), dspId) && dspId == table.getDspId())
            list.removeChildElement (old, true);

        old = next;
    }

    appendDspDefinition (list, table);
}

// The keys "processPreset1" ... of a DSP table, in number order, counted by
// the attributes there are whatever number the element claims. The
// attributes are walked once, so the work follows the size of the element.
// A missing key is left out rather than read as 0, which would name preset 0
// of table 0.
std::vector<uint32_t> readKeys (const juce::XmlElement& definition, PresetNumberReader& reader)
{
    const auto keyCount = std::max (0, reader.getInt (definition, "numberOfProcess"));
    const auto attributes = PresetNumberReader::getAttributes (definition);
    std::map<int, size_t> keyAt;

    for (size_t i = 0; i < attributes.size(); ++i)
        if (const auto k = PresetNumberReader::numberAfterPrefix (attributes[i].name, "processPreset"); k > 0 && k <= keyCount)
            keyAt.emplace (k, i);

    std::vector<uint32_t> keys;

    for (const auto& [k, index] : keyAt)
        keys.push_back (reader.getUnsigned (definition, attributes[index]));

    return keys;
}

bool accepts (const PresetDocument::ControlFilter& filter, const juce::String& name)
{
    return ! filter || filter (name);
}

// Returns the number of controls the store had no room for.
int registerFileControls (ProcessPresetStore& target, const PresetControlsLayout& layout, bool fixed, int howMany,
                          const PresetDocument::ControlFilter& filter)
{
    int leftOut = 0;

    // The controls the file names, numbered 1 to howMany: walked as they
    // stand (in number order), never counted up to a number the file gives.
    for (const auto& slot : layout.getSlots())
    {
        // A control without a name could never be found again.
        if (slot.fixed != fixed || slot.number > howMany || slot.name.isEmpty() || ! accepts (filter, slot.name) ||
            target.findControl (slot.name))
            continue;

        // The delay control is known by its name; a file that gives it
        // another number would make it a second, ordinary control.
        const auto nrpn =
            slot.name == ProcessPresetStore::fixedDelayControlName ? ProcessPresetStore::fixedDelayControlNrpn : slot.nrpn;

        // The store refuses a control past its most.
        if (! target.addOrUpdateControlOfKind (nrpn, slot.name, fixed))
            ++leftOut;
    }

    return leftOut;
}

// Registers the file's controls in a store that has none built yet: without
// a source those the file names (fixed ones, then the channels' worth of
// secondary ones), with another store as source that store's controls. A
// file that carries the delay control, or a store of a delay-type process,
// adds it. Returns the number of the file's controls the store had no room
// for.
int takeControls (ProcessPresetStore& target, const PresetControlsLayout& layout, const ProcessPresetStore* source,
                  int fixedCount, int secondaryCount, const PresetDocument::ControlFilter& filter)
{
    int leftOut = 0;

    if (! target.hasBuiltControls())
    {
        const auto wasBuilt = target.isBuilt();
        auto tookControls = false;

        if (source == nullptr)
        {
            const auto before = target.getControlCount();
            leftOut += registerFileControls (target, layout, true, fixedCount, filter);
            leftOut += registerFileControls (target, layout, false, secondaryCount, filter);
            tookControls = target.getControlCount() > before;
        }
        else if (source != &target)
        {
            target.copyControlsFrom (*source);
            tookControls = source->getControlCount() > 0;
        }

        // A built store is one whose control panel registers nothing more, so
        // a store that took no controls here stays open for its panel.
        if (wasBuilt || tookControls)
        {
            target.markBuilding();
            target.markBuilt();
        }
    }

    // A store of a delay-type process holds the control also where the file
    // left it out: files saved while a delay's length counted as channels
    // had no room left for it after a control per ms.
    if ((layout.hasDelay() || target.hasFixedDelayControl()) && accepts (filter, ProcessPresetStore::fixedDelayControlName))
    {
        if (! target.findControl (ProcessPresetStore::fixedDelayControlName))
            target.addOrUpdateControl (ProcessPresetStore::fixedDelayControlNrpn, ProcessPresetStore::fixedDelayControlName,
                                       true);

        target.padValuesToControlCount();
        target.setHasFixedDelayControl();
    }

    return leftOut;
}

// The source's values go to the target's controls of the same names: the
// two stores may list their controls in different orders.
void startFromSourcePreset (ProcessPresetStore& target, const ProcessPresetStore& source, const juce::String& name)
{
    auto& record = *target.getCurrentPresetRecord();
    auto* sourcePreset = findPresetRecord (source, name);

    if (sourcePreset == nullptr || sourcePreset == &record)
        return;

    target.padValuesToControlCount();
    const auto positions = ProjectPresetStores::mapValuePositions (source, target, sourcePreset->values.size());

    for (size_t i = 0; i < positions.size(); ++i)
    {
        const auto position = positions[i];

        if (position < 0)
            continue;

        if ((size_t) position >= record.values.size())
            record.values.resize ((size_t) position + 1, 0);

        record.values[(size_t) position] = sourcePreset->values[i];
    }
}

// Whether the store holds a control that was given a name of its own in
// place of this name, registered under that number.
bool hasRenamedTwin (const ProcessPresetStore& store, const juce::String& name, uint32_t number)
{
    for (int i = 0; i < store.getControlCount(); ++i)
        if (store.getControl (i)->nrpn == number && ProcessControlList::getNameItReplaces (store.getControl (i)->name) == name)
            return true;

    return false;
}

// The file's control that holds a store control's value: the one of its
// name. Files written while two controls of a process could share a name
// hold one value under it, that of the control whose number it carries: a
// control since given a name of its own ("Q1 (2)") finds it by that number,
// and the other control of the name does not take it.
const PresetControlsLayout::Slot* findSlotOf (const ProcessPresetStore& store, const ControlRecord& control,
                                              const PresetControlsLayout& layout)
{
    if (auto* slot = layout.findByName (control.name))
        return slot->nrpn == control.nrpn || ! hasRenamedTwin (store, control.name, slot->nrpn) ? slot : nullptr;

    const auto replaced = ProcessControlList::getNameItReplaces (control.name);
    auto* slot = replaced.isNotEmpty() ? layout.findByName (replaced) : nullptr;
    return slot != nullptr && slot->nrpn == control.nrpn ? slot : nullptr;
}

// The list's values into the current preset, each control's by its name;
// a value the list does not hold is left as it is.
void readListValues (ProcessPresetStore& target, const juce::XmlElement& list, const PresetControlsLayout& layout,
                     PresetNumberReader& reader)
{
    // Read in one walk, keeping only the values of the file's controls: a
    // damaged list may hold millions of attributes.
    const auto attributes = PresetNumberReader::getAttributes (list);
    std::unordered_map<int, const PresetNumberReader::Attribute*> valueOfSlot;

    for (const auto& attribute : attributes)
        if (const auto slot = layout.findValueSlot (attribute.name); slot >= 0)
            valueOfSlot.emplace (slot, &attribute);

    for (int i = 0; i < target.getControlCount(); ++i)
    {
        target.setCurrentControl (i);

        if (target.isFixedDelayControl())
            continue;

        auto* slot = findSlotOf (target, *target.getControl (i), layout);

        if (slot == nullptr)
            continue;

        const auto value = valueOfSlot.find ((int) (slot - layout.getSlots().data()));

        if (value == valueOfSlot.end())
            continue;

        target.setCurrentValue (reader.getUnsigned (list, *value->second));
        target.markCurrentPresetOrderDone();
    }
}

// The list's delay count into the delay control and the store; false when
// the store's presets have no place for it.
bool readDelayCount (ProcessPresetStore& target, const juce::XmlElement& list, PresetNumberReader& reader)
{
    if (! target.findControl (ProcessPresetStore::fixedDelayControlName) || ! target.isCurrentControlInPreset())
        return false;

    if (list.hasAttribute (PresetControlsLayout::delayCountAttribute))
    {
        const auto delayCount = reader.getUnsigned (list, PresetControlsLayout::delayCountAttribute);
        target.setCurrentValue (delayCount);
        target.setDelayCount (delayCount);
    }

    return true;
}
} // namespace

//==============================================================================
juce::File PresetDocument::getPresetFile (const juce::File& projectFolder, const juce::String& projectName)
{
    return projectFolder.getChildFile (projectName + presetFileSuffix);
}

juce::File PresetDocument::getGlobalPresetFile (const juce::File& projectFolder, const juce::String& projectName)
{
    return projectFolder.getChildFile (projectName + globalPresetFileSuffix);
}

PresetDocument::PresetDocument() = default;
PresetDocument::~PresetDocument() = default;

void PresetDocument::ClassReading::markStore (ProcessPresetStore& target) const
{
    if (isDelay())
        target.setHasFixedDelayControl();
}

void PresetDocument::setStore (ProcessPresetStore& target, const ClassReading& reading)
{
    store = &target;
    controlFilter = reading.controls;
    reading.markStore (target);
}

//==============================================================================
juce::XmlElement* PresetDocument::createPresetElement (juce::XmlElement& parent)
{
    currentElement = parent.createNewChildElement (presetTag);
    parentElement = &parent;
    return currentElement;
}

juce::XmlElement* PresetDocument::createElement (const juce::String& tag)
{
    pendingElement = std::make_unique<juce::XmlElement> (tag);
    currentElement = pendingElement.get();
    return currentElement;
}

void PresetDocument::setText (const juce::String& attributeName, const juce::String& text)
{
    if (currentElement != nullptr)
        currentElement->setAttribute (attributeName, text);
}

void PresetDocument::setInt (const juce::String& attributeName, int value)
{
    if (currentElement != nullptr)
        currentElement->setAttribute (attributeName, value);
}

void PresetDocument::setUnsigned (const juce::String& attributeName, uint32_t value)
{
    if (currentElement != nullptr)
        currentElement->setAttribute (attributeName, juce::String (value));
}

void PresetDocument::addChild (juce::XmlElement& parent, juce::XmlElement* child)
{
    // Only the element the context holds can be handed over; anything else
    // has an owner already.
    jassert (child == nullptr || child == pendingElement.get());

    if (child != nullptr && child == pendingElement.get())
        parent.addChildElement (pendingElement.release());
}

//==============================================================================
juce::XmlElement* PresetDocument::findPresetClassElement (const juce::XmlElement& parent, const juce::String& name)
{
    for (auto* cls = parent.getChildByName (classTag); cls != nullptr; cls = cls->getNextElementWithTagName (classTag))
        if (cls->getStringAttribute ("name") == name)
            return cls;

    return nullptr;
}

juce::XmlElement* PresetDocument::findListElement (const juce::XmlElement& parent, const juce::String& name)
{
    for (auto* list = parent.getChildByName (listTag); list != nullptr; list = list->getNextElementWithTagName (listTag))
        if (list->getStringAttribute ("name") == name)
            return list;

    return nullptr;
}

juce::XmlElement* PresetDocument::findCountGroupElement (const juce::XmlElement& parent, int count)
{
    const auto wanted = toGroupCount ((uint32_t) count);

    for (auto* group = parent.getChildByName (countGroupTag); group != nullptr;
         group = group->getNextElementWithTagName (countGroupTag))
        if (countOfGroup (*group) == wanted)
            return group;

    return nullptr;
}

//==============================================================================
juce::Result PresetDocument::writeProcessPresetDocument (const juce::File& file, const juce::String& className, int count,
                                                         ProcessPresetStore& presetStore, const WriteOptions& options,
                                                         int* storedPresetIndex)
{
    if (storedPresetIndex != nullptr)
        *storedPresetIndex = -1;

    auto loaded = loadForUpdate (file);

    if (loaded.result.failed())
        return loaded.result;

    auto root = loaded.root != nullptr ? std::move (loaded.root) : makeRoot();
    auto index = -1;

    if (auto written = writeProcessPresetInto (*root, className, count, presetStore, options, &index); written.failed())
    {
        report (savingTitle,
                "Nothing was written to the preset file \"" + file.getFullPathName() + "\": " + written.getErrorMessage() + ".");
        return written;
    }

    const auto result = save (*root, file);

    if (result.wasOk() && storedPresetIndex != nullptr)
        *storedPresetIndex = index;

    return result;
}

juce::Result PresetDocument::writeProcessPresetInto (juce::XmlElement& root, const juce::String& className, int count,
                                                     ProcessPresetStore& presetStore, const WriteOptions& options,
                                                     int* storedPresetIndex)
{
    if (storedPresetIndex != nullptr)
        *storedPresetIndex = -1;

    count = prepareFixedDelayControl (presetStore, count);

    if (presetStore.getName().isEmpty())
        presetStore.setName (className);

    auto index = -1;

    if (options.storeInCollections && presetStores != nullptr)
        index = presetStores->storeOrFindPreset (className, count, presetStore, true, options.matchExisting, false);

    setTableIdCount (root);

    const ProcessPresetStore* written = &presetStore;

    if (usePresetList)
    {
        written = presetStores != nullptr ? presetStores->findStore (className, count) : nullptr;

        // Only a stored copy has the table id that global preset keys name; a
        // group without one could never be addressed and only spoils the file.
        if (written == nullptr || written->getTableId() < 0)
            return juce::Result::fail ("the presets of \"" + className + "\" have no stored copy to write");
    }

    writeClassElement (root, className, count, *written, options.allPresets);

    if (storedPresetIndex != nullptr)
        *storedPresetIndex = index;

    return juce::Result::ok();
}

int PresetDocument::prepareFixedDelayControl (ProcessPresetStore& presetStore, int count)
{
    if (! presetStore.hasFixedDelayControl())
        return count;

    // Marking the store built here would stop its control panel from
    // registering the other controls later; only a built store stays built.
    const auto wasBuilt = presetStore.isBuilt();

    if (wasBuilt)
        presetStore.markBuilding();

    presetStore.addOrUpdateControl (ProcessPresetStore::fixedDelayControlNrpn, ProcessPresetStore::fixedDelayControlName, true);

    if (wasBuilt)
        presetStore.markBuilt();

    presetStore.padValuesToControlCount();
    presetStore.setDelayCount ((uint32_t) count);

    if (presetStore.findControl (ProcessPresetStore::fixedDelayControlName))
        presetStore.setCurrentValue ((uint32_t) count);

    // The delay count travels in the presets, so every channel count shares
    // one count group.
    return 1;
}

juce::XmlElement* PresetDocument::writeClassElement (juce::XmlElement& parent, const juce::String& className, int count,
                                                     const ProcessPresetStore& presetStore, bool allPresets)
{
    // The reader skips a group of the preset list without a table id.
    if (usePresetList && presetStore.getTableId() < 0)
        return nullptr;

    auto* container = usePresetList ? &findOrCreateChild (parent, presetListTag) : &parent;

    // A stored store's group is the one of its table id, which the global
    // preset keys use.
    auto* group = usePresetList ? findStoredGroup (*container, className, presetStore.getTableId()) : nullptr;

    if (group == nullptr)
    {
        auto* cls = findPresetClassElement (*container, className);

        if (cls == nullptr)
        {
            cls = createElement (classTag);
            setText ("name", className);
            addChild (*container, cls);
        }

        group = usePresetList ? nullptr : findCountGroupElement (*cls, count);

        if (group == nullptr)
        {
            group = createElement (countGroupTag);
            setInt ("count", count);
            addChild (*cls, group);
        }

        group->setAttribute ("TableId", presetStore.getTableId());
    }

    const auto layout = PresetControlsLayout::fromStore (presetStore);
    auto* preset = group->getChildByName (presetTag);

    if (preset == nullptr)
    {
        preset = createPresetElement (*group);
        preset->createNewChildElement (countTag)->setAttribute ("NumberOfPresets", 0);
        preset->createNewChildElement (controlsTag);
        preset->createNewChildElement (listsTag);
    }

    updatePresetControls (*preset, layout);

    auto& lists = findOrCreateChild (*preset, listsTag);

    for (int i = 0; i < presetStore.getPresetCount(); ++i)
    {
        auto* record = presetStore.getPresetRecord (i);

        if (! allPresets && record->name != ProcessPresetStore::lastSavedPresetName)
            continue;

        auto list = layout.makeList (*record);
        auto* written = list.get();

        if (auto* existing = findListElement (lists, record->name))
            lists.replaceChildElement (existing, list.release());
        else
            lists.addChildElement (list.release());

        removeListsNamed (lists, record->name, written);
    }

    updatePresetCount (*preset);
    currentElement = preset;
    return preset;
}

void PresetDocument::updatePresetControls (juce::XmlElement& preset, const PresetControlsLayout& layout)
{
    auto fresh = std::make_unique<juce::XmlElement> (controlsTag);
    layout.writeControls (*fresh);

    auto* countElement = preset.getChildByName (countTag);

    if (countElement == nullptr)
    {
        countElement = new juce::XmlElement (countTag);
        countElement->setAttribute ("NumberOfPresets", 0);
        preset.prependChildElement (countElement);
    }

    auto& count = *countElement;
    count.setAttribute ("NumberOfControls", layout.getControlNumberCount());
    count.setAttribute ("NumberOfFixedControls", layout.getFixedNumberCount());

    auto* controls = preset.getChildByName (controlsTag);

    if (controls != nullptr && controls->isEquivalentTo (fresh.get(), false))
        return;

    // The lists already in the file are numbered by the old controls: they
    // are renumbered by control name, or they would be read against the new
    // numbering and give their values to the wrong controls.
    PresetNumberReader ignored;
    const auto oldLayout = controls != nullptr ? PresetControlsLayout::fromElement (*controls, ignored) : PresetControlsLayout();

    if (auto* lists = preset.getChildByName (listsTag))
    {
        for (auto* list = lists->getChildByName (listTag); list != nullptr;)
        {
            auto* next = list->getNextElementWithTagName (listTag);
            lists->replaceChildElement (list, layout.renumberList (*list, oldLayout).release());
            list = next;
        }
    }

    if (controls != nullptr)
        preset.replaceChildElement (controls, fresh.release());
    else
        preset.insertChildElement (fresh.release(), indexOfChild (preset, count) + 1);
}

juce::Result PresetDocument::writePresetsFile (const juce::File& file, const juce::String& className, int count,
                                               const juce::String& presetName, bool removeAll)
{
    auto loaded = loadForUpdate (file);

    if (loaded.result.failed() || loaded.root == nullptr)
        return loaded.result;

    auto removed = false;
    auto name = presetName;
    auto named = presetName.isNotEmpty();

    for (auto* preset : findPresetsOfCount (*loaded.root, className, count))
    {
        auto* lists = preset->getChildByName (listsTag);

        if (lists == nullptr)
            continue;

        if (removeAll)
        {
            removed = removed || lists->getChildByName (listTag) != nullptr;
            lists->deleteAllChildElementsWithTagName (listTag);
        }
        else
        {
            // Without a name, the first list the loader reads goes.
            if (! named)
            {
                if (auto* first = lists->getChildByName (listTag))
                {
                    name = first->getStringAttribute ("name");
                    named = true;
                }
            }

            if (! removeListsNamed (*lists, name))
                continue;

            removed = true;
        }

        updatePresetCount (*preset);
    }

    if (! removed)
        return juce::Result::ok();

    return save (*loaded.root, file);
}

juce::Result PresetDocument::loadProcessPresetsFromFile (const juce::File& file, const juce::String& className, int count,
                                                         ProcessPresetStore& presetStore)
{
    auto loaded = PresetFileAccess::load (file);

    if (loaded.result.failed())
    {
        reportUnreadable (file, loaded.result.getErrorMessage(), false);
        return loaded.result;
    }

    if (loaded.root == nullptr)
        return juce::Result::ok();

    // A store with the fixed delay control is written under the count 1.
    const auto groupCount = presetStore.hasFixedDelayControl() ? 1 : count;
    auto* cls = findPresetClassElement (*loaded.root, className);
    auto* group = cls != nullptr ? findCountGroupElement (*cls, groupCount) : nullptr;

    if (group == nullptr)
        return juce::Result::ok();

    ProcessPresetStore work (presetStore);
    const auto flag = work.getExtraFlag();
    controlsLeftOut = 0;
    work.clear (false);
    work.setExtraFlag (flag);

    PresetNumberReader reader;
    auto mismatch = false;
    loadCountGroups (work, *group, groupCount, &work, reader, mismatch);

    if (reader.hasFailed())
    {
        reportUnreadable (file, reader.getError(), false);
        return juce::Result::fail (reader.getError());
    }

    presetStore = std::move (work);

    reportLoadProblems (mismatch);

    return juce::Result::ok();
}

bool PresetDocument::loadProcessPresets (const juce::XmlElement& countGroup, int count, const ProcessPresetStore* source)
{
    if (store == nullptr)
        return false;

    ProcessPresetStore work (*store);
    PresetNumberReader reader;
    auto mismatch = false;
    controlsLeftOut = 0;

    loadCountGroups (work, countGroup, count, source == store ? &work : source, reader, mismatch);

    if (reader.hasFailed())
    {
        report (loadingTitle, "The presets cannot be read: " + reader.getError() + ". They were left as they were.");
        return false;
    }

    *store = std::move (work);

    reportLoadProblems (mismatch);

    return true;
}

void PresetDocument::loadCountGroups (ProcessPresetStore& target, const juce::XmlElement& firstGroup, int count,
                                      const ProcessPresetStore* source, PresetNumberReader& reader, bool& mismatch)
{
    for (auto* group = &firstGroup; group != nullptr; group = group->getNextElementWithTagName (countGroupTag))
    {
        const auto groupCount = toGroupCount (reader.getUnsigned (*group, "count"));

        if (group->getChildByName (presetTag) == nullptr)
            continue;

        if (groupCount != count && source != nullptr && ! source->hasFixedDelayControl())
            continue;

        loadCountGroup (target, *group, groupCount, count, source, reader, mismatch, controlFilter);
    }
}

void PresetDocument::loadCountGroup (ProcessPresetStore& target, const juce::XmlElement& group, int groupCount, int count,
                                     const ProcessPresetStore* source, PresetNumberReader& reader, bool& mismatch,
                                     const ControlFilter& filter)
{
    const auto& preset = *group.getChildByName (presetTag);
    auto* countElement = preset.getChildByName (countTag);
    auto* controls = preset.getChildByName (controlsTag);

    auto controlCount = countElement != nullptr ? std::max (0, reader.getInt (*countElement, "NumberOfControls")) : 0;
    const auto fixedCount = countElement != nullptr ? std::max (0, reader.getInt (*countElement, "NumberOfFixedControls")) : 0;
    controlCount = std::max (controlCount, fixedCount);

    // The secondary controls are per channel: a node of fewer channels takes
    // the first channels' worth.
    if (count < groupCount)
        controlCount = ((controlCount - fixedCount) / groupCount) * count + fixedCount;

    const auto layout = controls != nullptr ? PresetControlsLayout::fromElement (*controls, reader) : PresetControlsLayout();

    if (controls != nullptr && (controlCount != 0 || fixedCount != 0))
        controlsLeftOut += takeControls (target, layout, source, fixedCount, controlCount - fixedCount, filter);

    // Values are written at the controls' final positions and marked as in
    // order, so the store is normalised first: normalising later would not
    // move values already marked. An empty store is left for its control
    // panel, which registers and normalises its controls itself.
    if (target.getControlCount() > 0)
        target.normaliseControlOrder();

    auto* lists = preset.getChildByName (listsTag);

    for (auto* list = lists != nullptr ? lists->getChildByName (listTag) : nullptr; list != nullptr;
         list = list->getNextElementWithTagName (listTag))
    {
        const auto name = list->getStringAttribute ("name");

        // A name met twice keeps its first list, the empty name too (a store
        // never finds a preset by it, but the writer matches lists by it); a
        // full store takes no more.
        if ((name.isEmpty() && holdsUnnamedPreset (target)) || ! target.selectOrAddPreset (name, 0, false))
            continue;

        // A node of more channels than the file's starts from its own values.
        if (source != nullptr && groupCount < count)
            startFromSourcePreset (target, *source, name);

        readListValues (target, *list, layout, reader);

        if (target.hasFixedDelayControl() && ! readDelayCount (target, *list, reader))
            mismatch = true;
    }
}

//==============================================================================
juce::Result PresetDocument::readPresetsFile (const juce::File& file)
{
    if (presetStores == nullptr || globalPresets == nullptr)
    {
        jassertfalse;
        return juce::Result::fail ("no preset collections to read into");
    }

    auto loaded = PresetFileAccess::load (file);

    // A file that does not parse is read as a missing one: the presets of the
    // project opened before must not stay behind. The writers still refuse
    // to write over it, so what it holds can be repaired.
    if (loaded.result.failed() || loaded.root == nullptr)
    {
        presetStores->clear();
        globalPresets->clear();

        if (loaded.result.failed())
            report (loadingTitle, "The preset file \"" + file.getFullPathName() +
                                      "\" cannot be read: " + loaded.result.getErrorMessage() +
                                      ". The project has no stored presets and no global presets until it is repaired or "
                                      "removed; nothing is written to it meanwhile.");

        return loaded.result;
    }

    ProjectPresetStores stores;
    GlobalPresetList list;
    juce::StringArray skipped;
    auto mismatch = false;
    controlsLeftOut = 0;

    PresetNumberReader rootReader;
    auto tableIdCount = rootReader.getInt (*loaded.root, "NumberOfTableId");

    // The ids a key can name, 0 to maxTableId, are all a file can count.
    if (! rootReader.hasFailed() && (tableIdCount < 0 || tableIdCount > GlobalPresetKey::maxTableId + 1))
    {
        rootReader.fail ("\"NumberOfTableId\" " + juce::String (tableIdCount) + " is not a count of preset tables (0 to " +
                         juce::String (GlobalPresetKey::maxTableId + 1) + ")");
        tableIdCount = 0;
    }

    if (rootReader.hasFailed())
        skipped.add (rootReader.getError());

    readStoredStores (*loaded.root, stores, skipped, mismatch);
    readGlobalPresets (*loaded.root, list, skipped);

    // Ids go on from the higher of the file's count and the ids it holds, so
    // that a new store never takes an id that a key already names.
    stores.setTableCounter (std::max (stores.getTableCounter(), tableIdCount - 1));
    stores.setLastTableId (stores.getTableCounter() + 1);

    *presetStores = std::move (stores);
    *globalPresets = std::move (list);

    if (! skipped.isEmpty())
    {
        // A damaged file may leave out thousands of parts: the first few are named.
        const auto named = juce::jmin (skipped.size(), maxListedProblemsOfAKind);
        auto text = skipped.joinIntoString ("; ", 0, named);

        if (skipped.size() > named)
            text << "; and " << (skipped.size() - named) << " more parts";

        report (loadingTitle,
                "Parts of the preset file \"" + file.getFullPathName() + "\" cannot be read and were left out: " + text + ".");
    }

    reportLoadProblems (mismatch);

    return juce::Result::ok();
}

void PresetDocument::readStoredStores (const juce::XmlElement& root, ProjectPresetStores& stores, juce::StringArray& skipped,
                                       bool& mismatch)
{
    auto* presetList = root.getChildByName (presetListTag);

    if (presetList == nullptr)
        return;

    for (auto* cls = presetList->getChildByName (classTag); cls != nullptr; cls = cls->getNextElementWithTagName (classTag))
    {
        const auto className = cls->getStringAttribute ("name");
        const auto reading = classRule ? classRule (className) : ClassReading();

        for (auto* group = cls->getChildByName (countGroupTag); group != nullptr;
             group = group->getNextElementWithTagName (countGroupTag))
        {
            if (group->getChildByName (presetTag) == nullptr)
                continue;

            // Each group is read on its own, so that a bad one costs only its
            // own presets.
            PresetNumberReader reader;
            const auto count = toGroupCount (reader.getUnsigned (*group, "count"));
            const auto tableId = reader.getInt (*group, "TableId", -1);
            const auto where = "the presets of \"" + className + "\" for " + juce::String (count) + " channels";

            if (tableId < 0)
                reader.fail ("\"TableId\" is missing or not valid");
            else if (tableId > GlobalPresetKey::maxTableId)
                reader.fail ("\"TableId\" " + juce::String (tableId) + " is beyond " +
                             juce::String (GlobalPresetKey::maxTableId) + ", the highest a global preset key can name");

            auto stored = std::make_unique<ProcessPresetStore>();
            auto groupMismatch = false;

            reading.markStore (*stored);

            if (! reader.hasFailed())
                loadCountGroup (*stored, *group, count, count, nullptr, reader, groupMismatch, reading.controls);

            if (! reader.hasFailed())
            {
                stored->setTableId (tableId);
                stored->setName (className);

                if (! stores.addStoredStore (className, count, std::move (stored)))
                    reader.fail ("they, or the \"TableId\" " + juce::String (tableId) + ", appear more than once");
            }

            if (reader.hasFailed())
            {
                skipped.add (where + ": " + reader.getError());

                // Keys may name the id of a group left out: no new store takes it.
                if (tableId <= GlobalPresetKey::maxTableId)
                    stores.setTableCounter (std::max (stores.getTableCounter(), tableId));

                continue;
            }

            mismatch = mismatch || groupMismatch;
        }
    }
}

void PresetDocument::readGlobalPresets (const juce::XmlElement& root, GlobalPresetList& list, juce::StringArray& skipped)
{
    // A name counts once, as for the lists of a preset: the first global
    // preset of a name is read, and the first table of a DSP in it; a later
    // one is left out and reported (the next save removes it from the file).
    std::set<juce::String> namesRead;

    for (auto* globals = root.getChildByName (globalPresetsTag); globals != nullptr;
         globals = globals->getNextElementWithTagName (globalPresetsTag))
    {
        for (auto* element = globals->getChildByName (listTag); element != nullptr;
             element = element->getNextElementWithTagName (listTag))
        {
            const auto name = element->getStringAttribute ("name");

            if (! namesRead.insert (name).second)
            {
                skipped.add ("a second global preset \"" + name + "\"");
                continue;
            }

            auto& globalPreset = list.appendNew (name);
            std::set<uint32_t> dspsRead;

            for (auto* definition = element->getChildByName (dspDefinitionTag); definition != nullptr;
                 definition = definition->getNextElementWithTagName (dspDefinitionTag))
            {
                // A table with a bad number is left out whole: a key read in
                // part could name the wrong preset.
                PresetNumberReader reader;
                const auto dspId = reader.getUnsigned (*definition, "dspId");
                const auto keys = readKeys (*definition, reader);
                const auto where = "the table of the DSP \"" + definition->getStringAttribute ("dspId") +
                                   "\" in the global preset \"" + name + "\"";

                if (reader.hasFailed())
                {
                    skipped.add (where + ": " + reader.getError());
                    continue;
                }

                if (! dspsRead.insert (dspId).second)
                {
                    skipped.add ("a second " + where);
                    continue;
                }

                auto& table = globalPreset.appendNewTable (dspId);

                for (auto key : keys)
                    table.appendRawKey (key);
            }
        }
    }
}

//==============================================================================
juce::Result PresetDocument::writeGlobalPresetsFile (const juce::File& file, const juce::String& presetName)
{
    auto loaded = loadForUpdate (file);

    if (loaded.result.failed() || loaded.root == nullptr)
        return loaded.result;

    if (! removeGlobalLists (*loaded.root, presetName))
        return juce::Result::ok();

    return save (*loaded.root, file);
}

juce::Result PresetDocument::writeGlobalPresetDocument (const juce::File& file, const GlobalPreset& globalPreset,
                                                        const GlobalPresetTable& table, bool replace)
{
    auto loaded = loadForUpdate (file);

    if (loaded.result.failed())
        return loaded.result;

    auto root = takeGlobalRoot (loaded);
    writeGlobalPresetInto (*root, globalPreset, table, replace);
    return save (*root, file);
}

void PresetDocument::writeGlobalPresetInto (juce::XmlElement& root, const GlobalPreset& globalPreset,
                                            const GlobalPresetTable& table, bool replace)
{
    auto& list = findOrCreateGlobalList (root, globalPreset);

    if (replace)
        list.deleteAllChildElementsWithTagName (dspDefinitionTag);

    writeDspDefinition (list, table);
}

juce::Result PresetDocument::readGlobalRoot (const juce::File& file, std::unique_ptr<juce::XmlElement>& root)
{
    auto loaded = loadForUpdate (file);

    if (loaded.result.wasOk())
        root = takeGlobalRoot (loaded);

    return loaded.result;
}

//==============================================================================
ProcessPresetStore* PresetDocument::findPresetStoreForKey (uint32_t key, int& count)
{
    count = -1;

    if (presetStores == nullptr)
        return nullptr;

    const auto tableId = GlobalPresetKey::getTableId (key);
    const auto presetIndex = GlobalPresetKey::getPresetIndex (key);

    for (int c = 0; c < presetStores->getClassCount(); ++c)
    {
        auto* cls = presetStores->getClass (c);

        for (int e = 0; e < cls->getEntryCount(); ++e)
        {
            auto* entry = cls->getEntry (e);
            auto& stored = *entry->store;

            if (stored.getTableId() != tableId)
                continue;

            if (presetIndex < stored.getPresetCount())
            {
                stored.setCurrentPreset (presetIndex);
                stored.setSelectedPreset (presetIndex);
            }
            else if ((uint32_t) presetIndex == GlobalPresetKey::currentPresetIndex)
            {
                stored.setSelectedPreset (stored.getCurrentPreset());
            }
            else
            {
                continue;
            }

            count = entry->count;
            return &stored;
        }
    }

    return nullptr;
}

int PresetDocument::rebuildReferencedPresets()
{
    referencedPresets.clear();

    if (globalPresets == nullptr)
        return 0;

    std::set<int> references;

    for (int p = 0; p < globalPresets->getCount(); ++p)
    {
        auto* globalPreset = globalPresets->getPreset (p);

        for (int t = 0; t < globalPreset->getHeldTableCount(); ++t)
        {
            auto* table = globalPreset->getTable (t);

            if (table == nullptr)
                continue;

            for (auto key : table->getKeys())
                references.insert (GlobalPresetKey::getPresetReference (key));
        }
    }

    referencedPresets.assign (references.rbegin(), references.rend());
    return (int) referencedPresets.size();
}

void PresetDocument::getGroupBounds (int n, int& lo, int& hi) const noexcept
{
    auto tablePartAt = [this] (int i)
    {
        return i >= 0 && i < (int) referencedPresets.size()
                   ? GlobalPresetKey::tablePartOfReference (referencedPresets[(size_t) i])
                   : -1;
    };

    lo = tablePartAt (n);
    hi = tablePartAt (n + 1);
}

juce::Result PresetDocument::removeUnreferencedPresets (const juce::File& file)
{
    newIndex.clear();
    pendingRemovals.clear();

    // The file is changed by renumberAndSave; a file that cannot be read
    // would make it fail after the stores were cleaned, so nothing starts.
    auto loaded = loadForUpdate (file);

    if (loaded.result.failed())
        return loaded.result;

    removeUnreferencedPresets();
    return juce::Result::ok();
}

void PresetDocument::removeUnreferencedPresets()
{
    newIndex.clear();
    pendingRemovals.clear();

    // Each reference keeps its index unless its store is cleaned.
    for (auto reference : referencedPresets)
        newIndex.push_back (GlobalPresetKey::presetIndexOfReference (reference));

    // The list is in descending order, so the references of one table id
    // stand together.
    for (size_t first = 0; first < referencedPresets.size();)
    {
        auto end = first + 1;
        const auto tablePart = GlobalPresetKey::tablePartOfReference (referencedPresets[first]);

        while (end < referencedPresets.size() && GlobalPresetKey::tablePartOfReference (referencedPresets[end]) == tablePart)
            ++end;

        cleanStore (first, end);
        first = end;
    }
}

void PresetDocument::cleanStore (size_t first, size_t end)
{
    ClassPresetStores* cls = nullptr;
    auto* entry = presetStores != nullptr
                      ? presetStores->findEntryByTableId (GlobalPresetKey::tableIdOfReference (referencedPresets[first]), &cls)
                      : nullptr;

    if (entry == nullptr)
        return;

    auto& stored = *entry->store;
    std::vector<bool> referenced ((size_t) stored.getPresetCount(), false);

    // A key for the store's current preset, or for a preset the store does
    // not hold, cannot be renumbered: that store keeps every preset.
    for (auto i = first; i < end; ++i)
    {
        const auto index = GlobalPresetKey::presetIndexOfReference (referencedPresets[i]);

        if (index >= stored.getPresetCount())
            return;

        referenced[(size_t) index] = true;
    }

    PendingRemoval removal{ cls->getName(), entry->tableId, {} };

    for (auto index = stored.getPresetCount(); --index >= 0;)
    {
        if (! referenced[(size_t) index])
        {
            removal.presetNames.add (stored.getPresetName (index));
            stored.removePreset (index);
        }
    }

    // A kept preset's new index is the number of kept presets before it.
    for (auto i = first; i < end; ++i)
    {
        const auto oldIndex = GlobalPresetKey::presetIndexOfReference (referencedPresets[i]);
        newIndex[i] = (int) std::count (referenced.begin(), referenced.begin() + oldIndex, true);
    }

    if (! removal.presetNames.isEmpty())
        pendingRemovals.push_back (std::move (removal));
}

juce::Result PresetDocument::renumberAndSave (const juce::File& file)
{
    std::unique_ptr<juce::XmlElement> root;
    auto result = readGlobalRoot (file, root);

    // Renumbered keys would name presets of stores that the file still
    // holds whole: nothing is renumbered when the file cannot be written.
    if (result.wasOk())
    {
        renumberInto (*root);
        result = save (*root, file);
    }

    referencedPresets.clear();
    newIndex.clear();
    pendingRemovals.clear();
    return result;
}

void PresetDocument::renumberInto (juce::XmlElement& root)
{
    renumberKeys();

    for (const auto& removal : pendingRemovals)
    {
        auto* presetList = root.getChildByName (presetListTag);
        auto* group = presetList != nullptr ? findStoredGroup (*presetList, removal.className, removal.tableId) : nullptr;
        auto* preset = group != nullptr ? group->getChildByName (presetTag) : nullptr;
        auto* lists = preset != nullptr ? preset->getChildByName (listsTag) : nullptr;

        if (lists == nullptr)
            continue;

        for (const auto& name : removal.presetNames)
            removeListsNamed (*lists, name);

        updatePresetCount (*preset);
    }

    const auto lists = indexGlobalLists (root);

    for (int p = 0; globalPresets != nullptr && p < globalPresets->getCount(); ++p)
    {
        auto* globalPreset = globalPresets->getPreset (p);
        const auto found = lists.find (globalPreset->getName());
        auto& list = found != lists.end() ? *found->second : createGlobalList (root, *globalPreset);
        list.deleteAllChildElementsWithTagName (dspDefinitionTag);

        for (int t = 0; t < globalPreset->getHeldTableCount(); ++t)
            if (auto* table = globalPreset->getTable (t))
                appendDspDefinition (list, *table);
    }

    referencedPresets.clear();
    newIndex.clear();
    pendingRemovals.clear();
}

void PresetDocument::renumberKeys()
{
    std::map<int, int> newIndexOf;

    for (size_t j = 0; j < referencedPresets.size() && j < newIndex.size(); ++j)
        newIndexOf.emplace (referencedPresets[j], newIndex[j]);

    for (int p = 0; globalPresets != nullptr && p < globalPresets->getCount(); ++p)
    {
        auto* globalPreset = globalPresets->getPreset (p);

        for (int t = 0; t < globalPreset->getHeldTableCount(); ++t)
        {
            auto* table = globalPreset->getTable (t);

            for (int k = 0; table != nullptr && k < table->getKeyCount(); ++k)
            {
                auto* key = table->getKeyPointer (k);

                if (const auto found = newIndexOf.find (GlobalPresetKey::getPresetReference (*key)); found != newIndexOf.end())
                    *key = GlobalPresetKey::withPresetIndex (*key, found->second);
            }
        }
    }
}

//==============================================================================
std::unique_ptr<juce::XmlElement> PresetDocument::makeRoot() const
{
    auto root = std::make_unique<juce::XmlElement> (PresetFileAccess::rootTag);
    root->setAttribute ("Version", formatVersion);
    root->setAttribute ("NumberOfTableId", 0);
    return root;
}

std::unique_ptr<juce::XmlElement> PresetDocument::takeGlobalRoot (PresetFileAccess::Loaded& loaded) const
{
    if (loaded.root == nullptr)
    {
        // A global file started afresh counts no table ids until a store is written.
        auto root = makeRoot();
        root->removeAttribute ("NumberOfTableId");
        return root;
    }

    setTableIdCount (*loaded.root);
    return std::move (loaded.root);
}

void PresetDocument::setTableIdCount (juce::XmlElement& root) const
{
    // A context without the project's collections does not know the count
    // and leaves the file's own.
    if (presetStores != nullptr)
        root.setAttribute ("NumberOfTableId", presetStores->getTableCounter() + 1);
}

PresetFileAccess::Loaded PresetDocument::loadForUpdate (const juce::File& file)
{
    auto loaded = PresetFileAccess::load (file);

    // Writing over a file that cannot be read would lose what it holds.
    if (loaded.result.failed())
        reportUnreadable (file, loaded.result.getErrorMessage(), true);

    return loaded;
}

juce::Result PresetDocument::save (const juce::XmlElement& root, const juce::File& file)
{
    const auto result = PresetFileAccess::save (root, file);

    if (result.failed())
        report (savingTitle, "The preset file \"" + file.getFullPathName() +
                                 "\" could not be written: " + result.getErrorMessage() + ". The file was left as it was.");

    return result;
}

void PresetDocument::reportLoadProblems (bool mismatch) const
{
    if (controlsLeftOut > 0)
        report (loadingTitle, juce::String (controlsLeftOut) + " control" + (controlsLeftOut == 1 ? "" : "s") +
                                  " of the presets read found no room and were left out: a process holds at most " +
                                  juce::String (ProcessPresetStore::maxControls) + " controls.");

    if (mismatch)
        report (loadingTitle, mismatchText);
}

void PresetDocument::report (const juce::String& title, const juce::String& text) const
{
    if (messageHandler)
        messageHandler (title, text, okButton);
    else
        appendToLog (title + ": " + text + "\n", 0);
}

void PresetDocument::reportUnreadable (const juce::File& file, const juce::String& reason, bool writing) const
{
    report (writing ? savingTitle : loadingTitle,
            "The preset file \"" + file.getFullPathName() + "\" cannot be read: " + reason +
                (writing ? ". It was left as it is and nothing was written to it; repair or remove it."
                         : ". The presets were left as they were."));
}
