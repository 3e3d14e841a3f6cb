#pragma once

#include "model/Design.h"
#include "model/GlobalPresetManager.h"
#include "model/ModuleLibrary.h"
#include "model/PresetDocument.h"

#include "PresetTestHelpers.h"

#include <vector>

// A design as the global-preset saving meets it, with no window: DSPs of a
// small module whose processes carry controls in their node's stores, the
// project's preset document pointed at the design's collections, and a
// global preset file in a folder of its own.
class GlobalPresetDesign
{
public:
    static constexpr uint32_t moduleId = 0x21;

    GlobalPresetDesign()
    {
        auto m = std::make_unique<ModuleDefinition>();
        m->moduleId = moduleId;
        m->name = "TestCore";
        module = library.addModule (std::move (m));

        for (const auto& [name, id] :
             { std::pair<const char*, uint32_t>{ "Compressor", 0x10 }, { "Gain", 0x11 }, { "Meter", 0x12 } })
        {
            auto process = std::make_unique<ProcessDefinition>();
            process->name = name;
            process->processId = id;
            module->addProcess (std::move (process), false);
        }

        design.setLibrary (&library);
        design.getSettings().setProjectFolder (folder.getFolder().getFullPathName());
        design.getSettings().setProjectName ("Design");
        document.setPresetStores (&design.getPresetStores());
        document.setGlobalPresets (&design.getGlobalPresets());
        document.setUsePresetList();
        recorder.attachTo (document);
    }

    ~GlobalPresetDesign() { design.clearDsps(); }

    // A process of that class on the DSP (added when missing) with that NRPN
    // and, unless it is the meter, the controls Level and Mode whose
    // "(Last-Saved)" values are given.
    GraphNode& addProcess (uint32_t dspId, const juce::String& className, uint32_t nrpn, std::vector<uint32_t> values = { 1, 2 })
    {
        if (design.findDsp (dspId) == nullptr)
            design.addDsp (dspId, moduleId);

        const ProcessDefinition* definition = nullptr;

        for (auto& p : module->getProcesses())
            if (p->name == className.toStdString())
                definition = p.get();

        auto& graph = design.findDsp (dspId)->getGraph();
        graph.addNode (className, true, definition, 0.5, 0.5);
        auto& node = *graph.getLastAddedNode();
        node.nrpn = nrpn;
        design.getDspEntry (dspId)->addProcessInstance ((int) node.getId(), definition->processId);

        if (className != "Meter")
        {
            node.presetStore =
                PresetTestHelpers::makeStore ({ { "Level", 0x10 }, { "Mode", 0x4011 | PresetTestHelpers::secondary } });
            PresetTestHelpers::putPreset (node.presetStore, ProcessPresetStore::lastSavedPresetName, std::move (values));
        }

        return node;
    }

    // Every stage of a save, as the saving thread runs them: into the global
    // preset of that name, created when the design does not hold it.
    juce::Result save (const juce::String& name)
    {
        return GlobalPresetManager (design, document).save (name, design.getGlobalPresets().findByName (name) < 0);
    }

    std::vector<uint32_t> keysOf (const juce::String& name, uint32_t dspId)
    {
        if (design.getGlobalPresets().findByName (name) < 0)
            return {};

        auto* table = design.getGlobalPresets().getCurrent()->findTableByDsp (dspId);
        return table != nullptr ? table->getKeys() : std::vector<uint32_t>{};
    }

    ModuleLibrary library;
    ModuleDefinition* module = nullptr;
    Design design;
    PresetDocument document;
    PresetTestHelpers::MessageRecorder recorder;
    PresetTestHelpers::ScratchFolder folder;
    juce::File file = folder.getFile ("Design_global.presets");
};
