#include "GlobalPresetDesign.h"

#include "model/GlobalPresetKey.h"

#include <gtest/gtest.h>

using PresetTestHelpers::presetNames;

namespace
{
class GlobalPresetCollectorTest : public ::testing::Test
{
protected:
    GlobalPresetDesign project;
    Design& design = project.design;
};

uint32_t globalPresetKey (uint32_t processId, uint32_t presetIndex, uint32_t tableId)
{
    return GlobalPresetKey::make (processId, presetIndex, tableId);
}
} // namespace

TEST_F (GlobalPresetCollectorTest, TemporaryPresetsAreNamedAfterTheDspAndTheProcess)
{
    EXPECT_EQ (GlobalPresetCollector::makeTemporaryPresetName ("GlobalPresetA", 1, 2), "GlobalPresetA_DSP01-PCS02");
    EXPECT_EQ (GlobalPresetCollector::makeTemporaryPresetName ("GlobalPresetA", 1, 31), "GlobalPresetA_DSP01-PCS1F");
    EXPECT_EQ (GlobalPresetCollector::makeTemporaryPresetName ("X", 16, 63), "X_DSP10-PCS3F");
}

TEST_F (GlobalPresetCollectorTest, EveryProcessIsStoredUnderItsTemporaryNameWhichItsNodeDropsAgain)
{
    auto& compressor = project.addProcess (1, "Compressor", 2, { 10, 20 });
    auto& gain = project.addProcess (1, "Gain", 31, { 30, 40 });

    ASSERT_TRUE (project.save ("GlobalPresetA").wasOk());

    auto& stores = design.getPresetStores();
    auto* storedCompressor = stores.findStore ("Compressor", 1);
    auto* storedGain = stores.findStore ("Gain", 1);
    ASSERT_NE (storedCompressor, nullptr);
    ASSERT_NE (storedGain, nullptr);
    EXPECT_EQ (presetNames (*storedCompressor), std::vector<juce::String>{ "GlobalPresetA_DSP01-PCS02" });
    EXPECT_EQ (presetNames (*storedGain), std::vector<juce::String>{ "GlobalPresetA_DSP01-PCS1F" });
    EXPECT_EQ (storedCompressor->getPresetRecord (0)->values, (std::vector<uint32_t>{ 10, 20 }));

    // The nodes keep what they had.
    EXPECT_EQ (presetNames (compressor.presetStore), std::vector<juce::String>{ "(Last-Saved)" });
    EXPECT_EQ (presetNames (gain.presetStore), std::vector<juce::String>{ "(Last-Saved)" });

    EXPECT_EQ (project.keysOf ("GlobalPresetA", 1),
               (std::vector<uint32_t>{ globalPresetKey (2, 0, (uint32_t) storedCompressor->getTableId()),
                                       globalPresetKey (31, 0, (uint32_t) storedGain->getTableId()) }));

    const auto root = juce::parseXML (project.file);
    ASSERT_NE (root, nullptr);
    auto* list = root->getChildByName ("GLOBAL_PRESETS")->getChildByName ("List");
    EXPECT_EQ (list->getStringAttribute ("name"), "GlobalPresetA");
    EXPECT_EQ (list->getChildByName ("DSPDefinition")->getIntAttribute ("numberOfProcess"), 2);
    EXPECT_TRUE (project.recorder.messages.empty());
}

TEST_F (GlobalPresetCollectorTest, EqualValuesNameTheStoredPresetAgain)
{
    auto& compressor = project.addProcess (1, "Compressor", 2, { 10, 20 });

    ASSERT_TRUE (project.save ("A").wasOk());
    ASSERT_TRUE (project.save ("B").wasOk());

    auto* stored = design.getPresetStores().findStore ("Compressor", 1);
    ASSERT_NE (stored, nullptr);
    EXPECT_EQ (stored->getPresetCount(), 1);
    EXPECT_EQ (project.keysOf ("A", 1), project.keysOf ("B", 1));

    // Other values make a preset of their own.
    compressor.presetStore.getCurrentPresetRecord()->values = { 11, 20 };
    ASSERT_TRUE (project.save ("C").wasOk());
    EXPECT_EQ (design.getPresetStores().findStore ("Compressor", 1)->getPresetCount(), 2);
    EXPECT_EQ (GlobalPresetKey::getPresetIndex (project.keysOf ("C", 1).at (0)), 1);
    EXPECT_EQ (GlobalPresetKey::getPresetIndex (project.keysOf ("A", 1).at (0)), 0);
}

TEST_F (GlobalPresetCollectorTest, ADesignWithoutDspsCollectsNothingButTheFileIsWritten)
{
    juce::XmlElement root ("PRESETS");
    GlobalPresetCollector collector (design, project.document, root);
    EXPECT_EQ (collector.collectGlobalPreset ("A"), nullptr);
    EXPECT_EQ (design.getGlobalPresets().getCount(), 0);

    GlobalPresetManager manager (design, project.document);
    auto saving = manager.makeSaving ("A", true);
    ASSERT_TRUE (saving->start().wasOk());
    EXPECT_EQ (saving->getDspCount(), 0);
    ASSERT_TRUE (saving->finish().wasOk());
    EXPECT_FALSE (saving->createdPreset());
    EXPECT_EQ (design.getGlobalPresets().getCount(), 0);
    EXPECT_TRUE (project.file.existsAsFile());
}

TEST_F (GlobalPresetCollectorTest, AProcessWithoutControlsTakesNoPart)
{
    project.addProcess (1, "Compressor", 2);
    project.addProcess (1, "Meter", 3);

    ASSERT_TRUE (project.save ("A").wasOk());
    const auto keys = project.keysOf ("A", 1);
    ASSERT_EQ (keys.size(), 1u);
    EXPECT_EQ (GlobalPresetKey::getProcessId (keys[0]), 2);
    EXPECT_EQ (design.getPresetStores().findStore ("Meter", 1), nullptr);
}

TEST_F (GlobalPresetCollectorTest, TablesFollowTheDspsThereAreNow)
{
    project.addProcess (1, "Compressor", 2);
    project.addProcess (3, "Gain", 1);

    // An earlier save knew a DSP 9, since removed.
    auto& list = design.getGlobalPresets();
    list.addIfMissing ("A");
    list.getCurrent()->addTable (9);
    list.getCurrent()->findTableByDsp (9)->appendRawKey (globalPresetKey (4, 0, 0));

    ASSERT_TRUE (project.save ("A").wasOk());
    auto* preset = list.getCurrent();
    EXPECT_EQ (preset->getHeldTableCount(), 2);
    EXPECT_EQ (preset->getTableCount(), 2);
    EXPECT_EQ (preset->findTableByDsp (9), nullptr);
    EXPECT_EQ (preset->getTable (0)->getDspId(), 1u);
    EXPECT_EQ (preset->getTable (1)->getDspId(), 3u);
    EXPECT_EQ (preset->getWordCount(), 4);

    // A later DSP alone finds no preset to add to.
    juce::XmlElement root ("PRESETS");
    GlobalPresetCollector collector (design, project.document, root);
    EXPECT_EQ (collector.collectDspGlobalPreset ("Unknown", 3, 2, false), nullptr);
}

TEST_F (GlobalPresetCollectorTest, ADspTheRegistryDoesNotKnowHasNoKeys)
{
    project.addProcess (1, "Compressor", 2);
    design.getDspEntry (1)->clearProcessInstances();
    design.getLibrary()->clearDsps();

    ASSERT_TRUE (project.save ("A").wasOk());
    EXPECT_TRUE (project.keysOf ("A", 1).empty());
}

TEST_F (GlobalPresetCollectorTest, WithoutAPanelTheCurrentPresetsValuesAreTaken)
{
    auto& gain = project.addProcess (1, "Gain", 5, { 7, 8 });
    PresetTestHelpers::putPreset (gain.presetStore, "Menu", { 9, 10 });

    ASSERT_TRUE (project.save ("A").wasOk());
    auto* stored = design.getPresetStores().findStore ("Gain", 1);
    ASSERT_NE (stored, nullptr);
    EXPECT_EQ (stored->getPresetRecord (0)->values, (std::vector<uint32_t>{ 9, 10 }));
    EXPECT_EQ (presetNames (gain.presetStore), (std::vector<juce::String>{ "(Last-Saved)", "Menu" }));
}
