#include "model/BoardControlSender.h"

#include "model/ControlSysExMessage.h"
#include "model/Design.h"
#include "model/DspDefinitionEntry.h"
#include "model/PresetDocument.h"

namespace
{
const juce::String lastSaved (ProcessPresetStore::lastSavedPresetName);
}

BoardControlSender::BoardControlSender (Design& designToSend) : design (designToSend) {}

void BoardControlSender::sendControlSysEx (int dsp, uint32_t param, uint32_t value)
{
    if (! output)
        return;

    const auto message = ControlSysExMessage::encode (dsp, param, value);
    output (message.data(), (int) message.size());
}

bool BoardControlSender::isDelayControl (const ProcessPresetStore& store)
{
    return store.isFixedDelayControl() || store.getCurrentControlName() == ProcessPresetStore::fixedDelayControlName;
}

void BoardControlSender::sendProcessControls (int dsp, GraphNode& node)
{
    auto& store = node.presetStore;

    // Another preset's values are not what was last saved.
    if (! store.findPreset (lastSaved))
        return;

    // Every control, each one parameter of its own: the process's control
    // list gave every parameter a name of its own and kept their number within
    // what the store holds.
    for (int k = 0; k < store.getControlCount(); ++k)
    {
        store.setCurrentControl (k);

        if (! isDelayControl (store))
            sendControlSysEx (dsp, (node.nrpn << 8) | store.getCurrentControlNrpn(), store.getCurrentValue());
    }
}

void BoardControlSender::sendDspControls (uint32_t dspId)
{
    auto* slot = design.findDsp (dspId);
    auto* entry = design.getDspEntry (dspId);

    if (slot == nullptr || entry == nullptr)
        return;

    // The registry and the graph list the same processes; a node the graph
    // lacks is passed over rather than trusted.
    for (int i = 0; i < entry->getProcessCount(); ++i)
        if (auto* node = slot->getGraph().getNode (i))
            sendProcessControls ((int) dspId - 1, *node);
}

void BoardControlSender::sendAllControls()
{
    for (int i = 0; i < design.getNumDsps(); ++i)
        if (auto* slot = design.getDsp (i); slot != nullptr && ! slot->getGraph().isFresh())
            sendDspControls (slot->getDspId());
}

bool BoardControlSender::applyGlobalPreset (const juce::String& name)
{
    auto& list = design.getGlobalPresets();
    auto* preset = list.getPreset (list.findByName (name));

    if (preset == nullptr || preset->getHeldTableCount() == 0)
        return false;

    PresetDocument document;
    document.setPresetStores (&design.getPresetStores());

    for (int t = 0; t < preset->getHeldTableCount(); ++t)
    {
        auto* table = preset->getTable (t);

        if (table == nullptr)
            continue;

        const auto dspId = table->getDspId();
        auto* slot = design.findDsp (dspId);

        for (const auto key : table->getKeys())
        {
            int count = -1;
            auto* stored = document.findPresetStoreForKey (key, count);

            // A key whose table id names no stored store would otherwise
            // carry another store's values.
            if (stored == nullptr || count < 0)
                continue;

            const auto processId = (uint32_t) GlobalPresetKey::getProcessId (key);
            auto* node = slot != nullptr ? slot->getGraph().findNodeByNrpn (processId) : nullptr;

            applyStoredPreset (*stored, node, (int) dspId - 1, processId);

            if (node != nullptr)
            {
                ++node->valueReplacements;
                slot->getGraph().sendChangeMessage();
            }
        }
    }

    return true;
}

void BoardControlSender::applyStoredPreset (ProcessPresetStore& stored, GraphNode* node, int dsp, uint32_t processId)
{
    if (auto* preset = stored.getCurrentPresetRecord(); node != nullptr && preset != nullptr)
        node->presetStore.takeValuesAsLastSaved (stored, *preset);

    for (int c = 0; c < stored.getControlCount(); ++c)
    {
        stored.setCurrentControl (c);
        const auto value = stored.getCurrentValue();

        if (! isDelayControl (stored))
            sendControlSysEx (dsp, (processId << 8) | stored.getCurrentControlNrpn(), value);
    }
}
