#pragma once

#include "model/GlobalPresetKey.h"
#include "model/PresetDocument.h"

#include "PresetTestHelpers.h"

#include <gtest/gtest.h>

#include <initializer_list>

// The project's side of the global presets: collections, global presets and
// the project's document pointed at them, with a global preset file in a
// folder of its own.
class GlobalPresetFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        document.setPresetStores (&stores);
        document.setGlobalPresets (&globals);
        document.setUsePresetList();
        recorder.attachTo (document);
    }

    static ProcessPresetStore makeBiquadStore()
    {
        using PresetTestHelpers::secondary;
        return PresetTestHelpers::makeStore ({ { "Gain", 0x10 }, { "Freq", 0x11 | secondary }, { "Q", 0x12 | secondary } });
    }

    // A stored store of that class and count holding presets P0, P1 ...,
    // written to the global preset file as the global-preset saving does.
    ProcessPresetStore& storeWithPresets (const juce::String& className, int count, int presetCount)
    {
        auto source = makeBiquadStore();

        for (uint32_t i = 0; i < (uint32_t) presetCount; ++i)
            PresetTestHelpers::putPreset (source, "P" + juce::String (i), { i, 100 + i, 200 + i });

        auto* stored = stores.createOrMergeStore (nullptr, className, count, source, false);
        EXPECT_TRUE (document.writeProcessPresetDocument (file, className, count, source, {}).wasOk());
        return *stored;
    }

    // A global preset whose table for the DSP holds these keys, written to the file.
    void addGlobalPreset (const juce::String& name, uint32_t dspId, std::initializer_list<uint32_t> keys)
    {
        globals.addIfMissing (name);
        auto* preset = globals.getCurrent();
        preset->addTable (dspId);

        for (auto key : keys)
            preset->findTableByDsp (dspId)->appendRawKey (key);

        EXPECT_TRUE (document.writeGlobalPresetDocument (file, *preset, *preset->findTableByDsp (dspId), true).wasOk());
    }

    uint32_t keyOf (const juce::String& globalName, uint32_t dspId, int n)
    {
        globals.findByName (globalName);
        return globals.getCurrent()->findTableByDsp (dspId)->getKey (n);
    }

    // The name of the stored preset that a key names.
    juce::String presetNameOfKey (uint32_t key)
    {
        int count = 0;
        auto* stored = document.findPresetStoreForKey (key, count);
        return stored != nullptr ? stored->getCurrentPresetRecord()->name : juce::String ("(none)");
    }

    juce::Result clean()
    {
        document.rebuildReferencedPresets();

        if (auto result = document.removeUnreferencedPresets (file); result.failed())
            return result;

        return document.renumberAndSave (file);
    }

    PresetTestHelpers::ScratchFolder folder;
    juce::File file = folder.getFile ("Design_global.presets");
    ProjectPresetStores stores;
    GlobalPresetList globals;
    PresetDocument document;
    PresetTestHelpers::MessageRecorder recorder;
};
