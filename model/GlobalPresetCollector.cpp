#include "model/GlobalPresetCollector.h"

#include "model/Design.h"
#include "model/PresetDocument.h"

GlobalPresetCollector::GlobalPresetCollector (Design& designToUse, PresetDocument& documentToUse, juce::XmlElement& rootToUse)
    : design (designToUse), document (documentToUse), root (rootToUse)
{
    jassert (document.getPresetStores() != nullptr && document.getGlobalPresets() != nullptr);
}

juce::String GlobalPresetCollector::makeTemporaryPresetName (const juce::String& name, uint32_t dspId, uint32_t nrpn)
{
    auto twoDigits = [] (uint32_t value)
    { return juce::String::toHexString ((int) (value & 0xFF)).toUpperCase().paddedLeft ('0', 2); };
    return name + "_DSP" + twoDigits (dspId) + "-PCS" + twoDigits (nrpn);
}

void GlobalPresetCollector::note (const juce::Result& outcome)
{
    if (outcome.failed() && result.wasOk())
        result = outcome;
}

//==============================================================================
GlobalPreset* GlobalPresetCollector::collectGlobalPreset (const juce::String& name)
{
    GlobalPreset* preset = nullptr;

    for (int i = 0; i < design.getNumDsps(); ++i)
        preset = collectDspGlobalPreset (name, design.getDsp (i)->getDspId(), design.getNumDsps(), i == 0);

    return preset;
}

GlobalPreset* GlobalPresetCollector::collectDspGlobalPreset (const juce::String& name, uint32_t dspId, int dspCount, bool first)
{
    // The count of DSPs is what the tables held tell: announcing more tables
    // than there are would send readers past them.
    juce::ignoreUnused (dspCount);

    auto& list = *document.getGlobalPresets();

    if (list.findByName (name) < 0)
    {
        if (! first)
            return nullptr;

        list.addIfMissing (name);
    }

    auto* preset = list.getCurrent();

    if (first)
        preset->clearTables();

    preset->addTable (dspId);
    auto* table = preset->findTableByDsp (dspId);
    table->clearKeys();

    auto& stores = *document.getPresetStores();
    auto* slot = design.findDsp (dspId);

    // A DSP the registry does not know has no processes to collect.
    if (slot != nullptr && design.getDspEntry (dspId) != nullptr)
    {
        auto& graph = slot->getGraph();

        for (int i = 0; i < graph.getNumNodes(); ++i)
        {
            auto* node = graph.getNode (i);

            if (node == nullptr || node->getProcessDefinition() == nullptr)
                continue;

            stores.setLastTableId (-1);
            design.registerControls (*node, dspId);
            const auto index = writeTemporaryPreset (*node, name, dspId);

            // A key that cannot name the stored preset would leave the
            // process out of the global preset without a word.
            if (index != -1 && stores.getLastTableId() != -1 &&
                ! table->addKey ((int) node->nrpn, index, stores.getLastTableId()))
                note (juce::Result::fail ("the values of \"" + node->getName() + "\" cannot be named by a global preset key"));
        }
    }

    document.writeGlobalPresetInto (root, *preset, *table, first);
    return preset;
}

int GlobalPresetCollector::writeTemporaryPreset (GraphNode& node, const juce::String& name, uint32_t dspId)
{
    document.getPresetStores()->setLastTableId (-1);

    const auto* definition = node.getProcessDefinition();
    auto& store = node.presetStore;

    if (definition == nullptr || ! store.hasBuiltControls())
        return -1;

    // The values shown: the current preset's. The store is the process's,
    // so the preset shown and the one chosen stay as they were.
    PresetRecord shown;
    const auto shownPreset = store.getCurrentPreset();
    const auto chosenPreset = store.getSelectedPreset();

    if (const auto* current = store.getCurrentPresetRecord())
        shown = *current;

    const auto temporaryName = makeTemporaryPresetName (name, dspId, node.nrpn);

    const auto notStored = juce::Result::fail ("the values of \"" + node.getName() +
                                               "\" could not be stored: "
                                               "it or its class holds as many presets as it can");

    if (! store.selectOrAddPreset (temporaryName, 0, true))
    {
        note (notStored);
        return -1;
    }

    if (! shown.values.empty())
    {
        auto* temporary = store.getCurrentPresetRecord();
        temporary->values = shown.values;
        temporary->orderDone = shown.orderDone;
        store.padValuesToControlCount();
    }

    store.normaliseControlOrder();
    store.setSelectedPreset (store.getCurrentPreset());

    int index = -1;
    const auto written = document.writeProcessPresetInto (root, juce::String (definition->name), (int) node.getChannelCount(),
                                                          store, { true, true, true }, &index);
    store.removePresetByName (temporaryName);
    store.setCurrentPreset (shownPreset < store.getPresetCount() ? shownPreset : -1);
    store.setSelectedPreset (chosenPreset < store.getPresetCount() ? chosenPreset : -1);
    note (written.wasOk() && index < 0 ? notStored : written);

    return written.wasOk() ? index : -1;
}
