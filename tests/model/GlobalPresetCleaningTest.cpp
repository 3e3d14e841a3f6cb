#include "GlobalPresetFixture.h"

#include <gtest/gtest.h>

using namespace PresetTestHelpers;

namespace
{
// The cleaning of the stored presets behind the global presets, and the
// global preset file.
class GlobalPresetCleaningTest : public GlobalPresetFixture
{
};
} // namespace

//==============================================================================
TEST_F (GlobalPresetCleaningTest, FindPresetStoreForKeySelectsTheKeysPreset)
{
    auto& stored = storeWithPresets ("Biquad", 2, 3);
    stored.setCurrentPreset (0);
    int count = 0;

    EXPECT_EQ (document.findPresetStoreForKey (GlobalPresetKey::make (4, 2, 0), count), &stored);
    EXPECT_EQ (count, 2);
    EXPECT_EQ (stored.getCurrentPreset(), 2);
    EXPECT_EQ (stored.getSelectedPreset(), 2);

    // The current-preset key selects the current preset and leaves it current.
    stored.setCurrentPreset (1);
    EXPECT_EQ (document.findPresetStoreForKey (GlobalPresetKey::make (4, 0xFFF, 0), count), &stored);
    EXPECT_EQ (stored.getCurrentPreset(), 1);
    EXPECT_EQ (stored.getSelectedPreset(), 1);
}

TEST_F (GlobalPresetCleaningTest, FindPresetStoreForKeyAnswersNoneWhenNothingFits)
{
    int count = 0;
    EXPECT_EQ (document.findPresetStoreForKey (0, count), nullptr);
    EXPECT_EQ (count, -1);

    auto& first = storeWithPresets ("Biquad", 2, 3);
    storeWithPresets ("Biquad", 4, 1);
    first.setCurrentPreset (1);

    count = 0;
    EXPECT_EQ (document.findPresetStoreForKey (GlobalPresetKey::make (1, 0, 9), count), nullptr) << "unknown table";
    EXPECT_EQ (count, -1);
    EXPECT_EQ (document.findPresetStoreForKey (GlobalPresetKey::make (1, 3, 0), count), nullptr) << "no preset 3";
    EXPECT_EQ (count, -1);
    EXPECT_EQ (first.getCurrentPreset(), 1);

    PresetDocument unattached;
    EXPECT_EQ (unattached.findPresetStoreForKey (0, count), nullptr);
}

TEST_F (GlobalPresetCleaningTest, ReferencedPresetsAreDistinctAndDescending)
{
    globals.addIfMissing ("A");
    globals.getCurrent()->addTable (1);
    auto* table = globals.getCurrent()->findTableByDsp (1);
    table->addKey (1, 4, 0);
    table->addKey (2, 1, 0);
    table->addKey (3, 0, 2);
    globals.addIfMissing ("B");
    globals.getCurrent()->addTable (2);
    globals.getCurrent()->findTableByDsp (2)->addKey (9, 4, 0);

    EXPECT_EQ (document.rebuildReferencedPresets(), 3);
    EXPECT_EQ (document.getReferencedPresets(), (std::vector<int>{ 0x2000, 0x0004, 0x0001 }));

    int lo = 0, hi = 0;
    document.getGroupBounds (0, lo, hi);
    EXPECT_EQ (lo, 0x2000);
    EXPECT_EQ (hi, 0);
    document.getGroupBounds (2, lo, hi);
    EXPECT_EQ (lo, 0);
    EXPECT_EQ (hi, -1);
    document.getGroupBounds (-1, lo, hi);
    EXPECT_EQ (lo, -1);
}

//==============================================================================
TEST_F (GlobalPresetCleaningTest, TwoGlobalPresetsOfOneStoreOfFivePresets)
{
    auto& stored = storeWithPresets ("Biquad", 2, 5);
    addGlobalPreset ("A", 1, { GlobalPresetKey::make (2, 4, 0) });
    addGlobalPreset ("B", 1, { GlobalPresetKey::make (2, 1, 0) });

    ASSERT_TRUE (clean().wasOk());

    EXPECT_EQ (presetNames (stored), (std::vector<juce::String>{ "P1", "P4" }));
    EXPECT_EQ (GlobalPresetKey::getPresetIndex (keyOf ("A", 1, 0)), 1);
    EXPECT_EQ (GlobalPresetKey::getPresetIndex (keyOf ("B", 1, 0)), 0);
    EXPECT_EQ (keyOf ("A", 1, 0), GlobalPresetKey::make (2, 1, 0));
    EXPECT_TRUE (document.getReferencedPresets().empty());
    EXPECT_TRUE (document.getNewIndex().empty());
}

TEST_F (GlobalPresetCleaningTest, ACurrentPresetInTheMiddleDoesNotSpoilTheCleaning)
{
    // Six presets, references 4 and 1, the store's current preset 2: exactly
    // presets 1 and 4 stay, and every key follows its own preset.
    auto& stored = storeWithPresets ("Biquad", 2, 6);
    stored.setCurrentPreset (2);
    stored.setSelectedPreset (2);
    addGlobalPreset ("A", 1, { GlobalPresetKey::make (2, 4, 0) });
    addGlobalPreset ("B", 1, { GlobalPresetKey::make (2, 1, 0) });

    ASSERT_TRUE (clean().wasOk());

    EXPECT_EQ (presetNames (stored), (std::vector<juce::String>{ "P1", "P4" }));
    EXPECT_EQ (presetNameOfKey (keyOf ("A", 1, 0)), "P4");
    EXPECT_EQ (presetNameOfKey (keyOf ("B", 1, 0)), "P1");

    // The file says the same once it is read back.
    ASSERT_TRUE (document.readPresetsFile (file).wasOk());
    EXPECT_EQ (presetNames (*stores.findStore ("Biquad", 2)), (std::vector<juce::String>{ "P1", "P4" }));
    EXPECT_EQ (presetNameOfKey (keyOf ("A", 1, 0)), "P4");
    EXPECT_EQ (presetNameOfKey (keyOf ("B", 1, 0)), "P1");
    EXPECT_TRUE (recorder.messages.empty());
}

TEST_F (GlobalPresetCleaningTest, TwoStoresAndSeveralTablesInOneCleaning)
{
    auto& biquad = storeWithPresets ("Biquad", 2, 4);
    auto& wide = storeWithPresets ("Biquad", 4, 3);

    addGlobalPreset ("A", 1, { GlobalPresetKey::make (2, 3, 0), GlobalPresetKey::make (3, 0, 1) });
    globals.getCurrent()->addTable (2);
    globals.getCurrent()->findTableByDsp (2)->appendRawKey (GlobalPresetKey::make (5, 2, 1));
    addGlobalPreset ("B", 1, { GlobalPresetKey::make (2, 3, 0), GlobalPresetKey::make (3, 2, 1) });

    ASSERT_TRUE (clean().wasOk());

    EXPECT_EQ (presetNames (biquad), (std::vector<juce::String>{ "P3" }));
    EXPECT_EQ (presetNames (wide), (std::vector<juce::String>{ "P0", "P2" }));

    EXPECT_EQ (keyOf ("A", 1, 0), GlobalPresetKey::make (2, 0, 0));
    EXPECT_EQ (keyOf ("A", 1, 1), GlobalPresetKey::make (3, 0, 1));
    EXPECT_EQ (keyOf ("A", 2, 0), GlobalPresetKey::make (5, 1, 1));
    EXPECT_EQ (keyOf ("B", 1, 0), GlobalPresetKey::make (2, 0, 0));
    EXPECT_EQ (keyOf ("B", 1, 1), GlobalPresetKey::make (3, 1, 1));

    ASSERT_TRUE (document.readPresetsFile (file).wasOk());
    EXPECT_EQ (presetNameOfKey (keyOf ("A", 2, 0)), "P2");
    EXPECT_EQ (presetNameOfKey (keyOf ("B", 1, 1)), "P2");
    EXPECT_EQ (presetNameOfKey (keyOf ("A", 1, 1)), "P0");
}

TEST_F (GlobalPresetCleaningTest, ACurrentPresetKeyLeavesItsStoreWhole)
{
    auto& stored = storeWithPresets ("Biquad", 2, 4);
    const auto currentKey = GlobalPresetKey::make (2, GlobalPresetKey::currentPresetIndex, 0);
    addGlobalPreset ("A", 1, { currentKey });
    addGlobalPreset ("B", 1, { GlobalPresetKey::make (2, 1, 0) });

    ASSERT_TRUE (clean().wasOk());

    EXPECT_EQ (stored.getPresetCount(), 4);
    EXPECT_EQ (keyOf ("A", 1, 0), currentKey);
    EXPECT_EQ (keyOf ("B", 1, 0), GlobalPresetKey::make (2, 1, 0));
}

TEST_F (GlobalPresetCleaningTest, KeysOfNoStoreOrOfMissingPresetsAreLeftAsTheyAre)
{
    auto& kept = storeWithPresets ("Biquad", 2, 3);
    auto& cleaned = storeWithPresets ("Biquad", 4, 3);

    const auto unknownTable = GlobalPresetKey::make (7, 0, 9);
    const auto missingPreset = GlobalPresetKey::make (2, 5, 0);
    addGlobalPreset ("A", 1, { unknownTable, missingPreset, GlobalPresetKey::make (3, 2, 1) });

    ASSERT_TRUE (clean().wasOk());

    EXPECT_EQ (kept.getPresetCount(), 3);
    EXPECT_EQ (presetNames (cleaned), (std::vector<juce::String>{ "P2" }));
    EXPECT_EQ (keyOf ("A", 1, 0), unknownTable);
    EXPECT_EQ (keyOf ("A", 1, 1), missingPreset);
    EXPECT_EQ (keyOf ("A", 1, 2), GlobalPresetKey::make (3, 0, 1));
}

TEST_F (GlobalPresetCleaningTest, AnUnreadableFileStopsTheCleaningBeforeItStarts)
{
    auto& stored = storeWithPresets ("Biquad", 2, 3);
    addGlobalPreset ("A", 1, { GlobalPresetKey::make (2, 2, 0) });
    const juce::String damaged = "<PRESETS><GLOBAL_PRESETS>";
    ASSERT_TRUE (file.replaceWithText (damaged));

    document.rebuildReferencedPresets();
    EXPECT_TRUE (document.removeUnreferencedPresets (file).failed());

    EXPECT_EQ (stored.getPresetCount(), 3);
    EXPECT_EQ (keyOf ("A", 1, 0), GlobalPresetKey::make (2, 2, 0));
    EXPECT_EQ (file.loadFileAsString(), damaged);
    EXPECT_EQ (recorder.messages.size(), 1u);
}

//==============================================================================
TEST_F (GlobalPresetCleaningTest, GoldenGlobalPresetFileOfASmallDesign)
{
    // As the global-preset saving does it: each process's temporary preset is
    // stored and written, its key collected, the table written, then cleaned.
    auto biquad = makeBiquadStore();
    putPreset (biquad, "Warm", { 5, 1000, 7 });
    putPreset (biquad, lastSaved, { 6, 2000, 8 });
    putPreset (biquad, "Live_DSP01-PCS02", { 6, 2000, 8 });

    auto mixer = makeStore ({ { "Level", 0x30 } });
    putPreset (mixer, "Live_DSP01-PCS1F", { 42 });

    const PresetDocument::WriteOptions storing{ true, true, true };
    int biquadIndex = -1, mixerIndex = -1;
    ASSERT_TRUE (document.writeProcessPresetDocument (file, "Biquad", 2, biquad, storing, &biquadIndex).wasOk());
    const auto biquadTable = stores.getLastTableId();
    ASSERT_TRUE (document.writeProcessPresetDocument (file, "Mixer", 1, mixer, storing, &mixerIndex).wasOk());
    const auto mixerTable = stores.getLastTableId();

    EXPECT_EQ (biquadIndex, 1);
    EXPECT_EQ (mixerIndex, 0);

    globals.addIfMissing ("Live");
    auto* live = globals.getCurrent();
    live->addTable (1);
    auto* table = live->findTableByDsp (1);
    ASSERT_TRUE (table->addKey (2, biquadIndex, biquadTable));
    ASSERT_TRUE (table->addKey (0x1F, mixerIndex, mixerTable));
    live->setTableCount (1);
    ASSERT_TRUE (document.writeGlobalPresetDocument (file, *live, *table, true).wasOk());

    ASSERT_TRUE (clean().wasOk());

    const juce::String expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "\n"
        "<PRESETS Version=\"1.01\" NumberOfTableId=\"2\">\n"
        "  <PresetList>\n"
        "    <Class name=\"Biquad\">\n"
        "      <CountGroup count=\"2\" TableId=\"0\">\n"
        "        <Preset>\n"
        "          <Count NumberOfPresets=\"1\" NumberOfControls=\"3\" NumberOfFixedControls=\"1\"/>\n"
        "          <Controls fixedName1=\"Gain\" fixedNrpn1=\"16\" Name1=\"Freq\" Nrpn1=\"17\" Name2=\"Q\" Nrpn2=\"18\"/>\n"
        "          <Lists>\n"
        "            <List name=\"Live_DSP01-PCS02\" fixedValue1=\"6\" Value1=\"2000\" Value2=\"8\"/>\n"
        "          </Lists>\n"
        "        </Preset>\n"
        "      </CountGroup>\n"
        "    </Class>\n"
        "    <Class name=\"Mixer\">\n"
        "      <CountGroup count=\"1\" TableId=\"1\">\n"
        "        <Preset>\n"
        "          <Count NumberOfPresets=\"1\" NumberOfControls=\"1\" NumberOfFixedControls=\"1\"/>\n"
        "          <Controls fixedName1=\"Level\" fixedNrpn1=\"48\"/>\n"
        "          <Lists>\n"
        "            <List name=\"Live_DSP01-PCS1F\" fixedValue1=\"42\"/>\n"
        "          </Lists>\n"
        "        </Preset>\n"
        "      </CountGroup>\n"
        "    </Class>\n"
        "  </PresetList>\n"
        "  <GLOBAL_PRESETS NumberOfGlobalPreset=\"1\">\n"
        "    <List name=\"Live\" NumberOfDsp=\"1\">\n"
        "      <DSPDefinition dspId=\"1\" numberOfProcess=\"2\" processPreset1=\"2\" processPreset2=\"1048607\"/>\n"
        "    </List>\n"
        "  </GLOBAL_PRESETS>\n"
        "</PRESETS>\n";

    EXPECT_EQ (file.loadFileAsString(), expected);
    EXPECT_TRUE (recorder.messages.empty());
}

TEST_F (GlobalPresetCleaningTest, ANewGlobalFileHasNoTableIdCountAndAReadOneGetsIt)
{
    globals.addIfMissing ("Live");
    auto* live = globals.getCurrent();
    live->addTable (3);
    live->findTableByDsp (3)->addKey (1, 0, 0);

    ASSERT_TRUE (document.writeGlobalPresetDocument (file, *live, *live->findTableByDsp (3), true).wasOk());
    EXPECT_FALSE (juce::parseXML (file)->hasAttribute ("NumberOfTableId"));

    stores.setTableCounter (4);
    ASSERT_TRUE (document.writeGlobalPresetDocument (file, *live, *live->findTableByDsp (3), false).wasOk());

    auto root = juce::parseXML (file);
    EXPECT_EQ (root->getIntAttribute ("NumberOfTableId"), 5);
    // The same DSP written again replaces its table.
    EXPECT_EQ (root->getChildByName ("GLOBAL_PRESETS")->getChildByName ("List")->getNumChildElements(), 1);
}

TEST_F (GlobalPresetCleaningTest, RemovingAGlobalPresetFromTheFile)
{
    addGlobalPreset ("A", 1, { 1 });
    addGlobalPreset ("B", 1, { 2 });

    globals.removeByName ("A");
    ASSERT_TRUE (document.writeGlobalPresetsFile (file, "A").wasOk());

    auto root = juce::parseXML (file);
    auto* globalsElement = root->getChildByName ("GLOBAL_PRESETS");
    EXPECT_EQ (globalsElement->getIntAttribute ("NumberOfGlobalPreset"), 1);
    EXPECT_EQ (globalsElement->getNumChildElements(), 1);
    EXPECT_EQ (globalsElement->getFirstChildElement()->getStringAttribute ("name"), "B");

    EXPECT_TRUE (document.writeGlobalPresetsFile (folder.getFile ("none.presets"), "B").wasOk());
    EXPECT_FALSE (folder.getFile ("none.presets").exists());
}

//==============================================================================
TEST_F (GlobalPresetCleaningTest, ReadingAMissingFileEmptiesTheCollections)
{
    storeWithPresets ("Biquad", 2, 2);
    addGlobalPreset ("A", 1, { 1 });

    ASSERT_TRUE (document.readPresetsFile (folder.getFile ("Other_global.presets")).wasOk());

    EXPECT_EQ (stores.getClassCount(), 0);
    EXPECT_EQ (stores.getTableCounter(), -1);
    EXPECT_EQ (globals.getCount(), 0);
}

TEST_F (GlobalPresetCleaningTest, ReadingRebuildsStoresWithTheirTableIdsAndKeysAsStored)
{
    file.replaceWithText ("<PRESETS Version=\"1.01\" NumberOfTableId=\"3\"><PresetList>"
                          "<Class name=\"Biquad\"><CountGroup count=\"2\" TableId=\"5\"><Preset>"
                          "<Count NumberOfPresets=\"2\" NumberOfControls=\"1\" NumberOfFixedControls=\"1\"/>"
                          "<Controls fixedName1=\"Gain\" fixedNrpn1=\"16\"/>"
                          "<Lists><List name=\"(Last-Saved)\" fixedValue1=\"1\"/><List name=\"B\" fixedValue1=\"2\"/></Lists>"
                          "</Preset></CountGroup></Class></PresetList>"
                          "<GLOBAL_PRESETS NumberOfGlobalPreset=\"1\"><List name=\"Live\" NumberOfDsp=\"2\">"
                          "<DSPDefinition dspId=\"1\" numberOfProcess=\"3\" processPreset1=\"4026531841\" processPreset3=\"-2\"/>"
                          "<DSPDefinition dspId=\"2\" numberOfProcess=\"2000000000\" processPreset1=\"1281\"/>"
                          "</List></GLOBAL_PRESETS></PRESETS>");

    ASSERT_TRUE (document.readPresetsFile (file).wasOk());

    auto* stored = stores.findStore ("Biquad", 2);
    ASSERT_NE (stored, nullptr);
    EXPECT_EQ (stored->getTableId(), 5);
    EXPECT_EQ (stored->getName(), "Biquad");
    EXPECT_EQ (presetNames (*stored), (std::vector<juce::String>{ lastSaved, "B" }))
        << "presets of the file keep their positions";
    EXPECT_EQ (stores.getTableCounter(), 5) << "above every id read, whatever the file's count";

    // A new store never takes an id that a key names.
    EXPECT_EQ (stores.createOrMergeStore (nullptr, "Mixer", 1, *stored, false)->getTableId(), 6);

    ASSERT_EQ (globals.getCount(), 1);
    auto* live = globals.getPreset (0);
    EXPECT_EQ (live->getTableCount(), 2);
    ASSERT_EQ (live->findTableByDsp (1)->getKeyCount(), 2) << "the missing second key is left out";
    EXPECT_EQ (live->findTableByDsp (1)->getKey (0), 4026531841u);
    EXPECT_EQ (live->findTableByDsp (1)->getKey (1), 0xFFFFFFFEu);
    EXPECT_EQ (live->findTableByDsp (2)->getKeyCount(), 1);
    EXPECT_EQ (presetNameOfKey (GlobalPresetKey::make (1, 1, 5)), "B");
}

TEST_F (GlobalPresetCleaningTest, TheTableIdCountOfTheFileIsKeptWhenHigher)
{
    file.replaceWithText ("<PRESETS Version=\"1.01\" NumberOfTableId=\"12\"/>");

    ASSERT_TRUE (document.readPresetsFile (file).wasOk());
    EXPECT_EQ (stores.getTableCounter(), 11);
    EXPECT_EQ (stores.getLastTableId(), 12);
}

TEST_F (GlobalPresetCleaningTest, AGlobalFileThatDoesNotParseIsReadAsMissingAndNotWrittenOver)
{
    for (const auto* text : { "<PRESETS><PresetList>", "<OTHER/>", "" })
    {
        // The collections of the project opened before.
        storeWithPresets ("Biquad", 2, 2);
        addGlobalPreset ("A", 1, { GlobalPresetKey::make (2, 1, 0) });
        recorder.messages.clear();
        ASSERT_TRUE (file.replaceWithText (text));

        EXPECT_TRUE (document.readPresetsFile (file).failed()) << text;

        EXPECT_EQ (stores.getClassCount(), 0) << text;
        EXPECT_EQ (stores.getTableCounter(), -1);
        EXPECT_EQ (globals.getCount(), 0);
        ASSERT_EQ (recorder.messages.size(), 1u) << text;
        EXPECT_EQ (recorder.messages[0].title, "Loading preset");
        EXPECT_TRUE (recorder.messages[0].text.contains (file.getFullPathName())) << recorder.messages[0].text;

        // What the file holds is left for the user to repair.
        auto node = makeBiquadStore();
        putPreset (node, "P", { 1, 2, 3 });
        EXPECT_TRUE (document.writeProcessPresetDocument (file, "Biquad", 2, node, { true, true, true }).failed());
        globals.addIfMissing ("B");
        globals.getCurrent()->addTable (1);
        EXPECT_TRUE (
            document.writeGlobalPresetDocument (file, *globals.getCurrent(), *globals.getCurrent()->findTableByDsp (1), true)
                .failed());
        EXPECT_EQ (file.loadFileAsString(), text);

        stores.clear();
        globals.clear();
        file.deleteFile();
    }
}

TEST_F (GlobalPresetCleaningTest, ABadGroupOrTableIsLeftOutAndTheRestIsRead)
{
    const auto preset = juce::String ("<Preset><Count NumberOfPresets=\"1\" NumberOfControls=\"1\" NumberOfFixedControls=\"1\"/>"
                                      "<Controls fixedName1=\"Gain\" fixedNrpn1=\"16\"/><Lists><List name=\"X\" "
                                      "fixedValue1=\"3\"/></Lists></Preset>");
    const auto goodGroup = "<CountGroup count=\"2\" TableId=\"0\">" + preset + "</CountGroup>";

    auto makeText = [&] (const juce::String& root, const juce::String& badGroup, const juce::String& badTable)
    {
        return root + "<PresetList><Class name=\"Biquad\">" + badGroup + goodGroup + "</Class></PresetList>" +
               "<GLOBAL_PRESETS><List name=\"Live\"><DSPDefinition dspId=\"1\" numberOfProcess=\"1\" processPreset1=\"2\"/>" +
               badTable + "</List></GLOBAL_PRESETS></PRESETS>";
    };

    const auto plainRoot = juce::String ("<PRESETS NumberOfTableId=\"1\">");
    const auto withPreset = [&] (const juce::String& attributes)
    { return "<CountGroup " + attributes + ">" + preset + "</CountGroup>"; };

    struct Case
    {
        juce::String text, why;
        int tableCounter = 0;
    };

    const std::vector<Case> cases{
        { makeText (plainRoot, withPreset ("count=\"4\""), {}), "TableId", 0 },
        { makeText (plainRoot, withPreset ("count=\"4\" TableId=\"-3\""), {}), "TableId", 0 },
        { makeText (plainRoot, withPreset ("count=\"4\" TableId=\"x\""), {}), "TableId", 0 },
        { makeText (plainRoot, withPreset ("count=\"four\" TableId=\"3\""), {}), "count", 3 },
        { makeText (plainRoot, withPreset ("count=\"4\" TableId=\"7\"").replace ("fixedValue1=\"3\"", "fixedValue1=\"3x\""), {}),
          "fixedValue1", 7 },
        // A group that repeats an id or a count comes after the good one, which is kept.
        { makeText (plainRoot, {}, {}).replace (goodGroup, goodGroup + withPreset ("count=\"4\" TableId=\"0\"")),
          "more than once", 0 },
        { makeText (plainRoot, {}, {}).replace (goodGroup, goodGroup + withPreset ("count=\"2\" TableId=\"5\"")),
          "more than once", 5 },
        { makeText (plainRoot, {}, "<DSPDefinition dspId=\"2\" numberOfProcess=\"1\" processPreset1=\"0x20\"/>"),
          "processPreset1", 0 },
        { makeText (plainRoot, {}, "<DSPDefinition dspId=\"two\" numberOfProcess=\"1\" processPreset1=\"2\"/>"), "dspId", 0 },
        { makeText ("<PRESETS NumberOfTableId=\"many\">", {}, {}), "NumberOfTableId", 0 },
        // Of thousands of parts left out, the first few are named.
        { makeText (plainRoot, {}, juce::String::repeatedString ("<DSPDefinition dspId=\"two\"/>", 30)),
          "is not a number: \"two\"; and 10 more parts.", 0 },
    };

    for (const auto& c : cases)
    {
        recorder.messages.clear();
        ASSERT_TRUE (file.replaceWithText (c.text));

        EXPECT_TRUE (document.readPresetsFile (file).wasOk()) << c.text;

        auto* stored = stores.findStore ("Biquad", 2);
        ASSERT_NE (stored, nullptr) << c.text;
        EXPECT_EQ (stored->getTableId(), 0);
        EXPECT_EQ (valueOf (*stored, "X", "Gain"), 3u);
        EXPECT_EQ (stores.findStore ("Biquad", 4), nullptr) << c.text;
        EXPECT_EQ (stores.getTableCounter(), c.tableCounter) << c.text << " (the id of a group left out is not given again)";

        ASSERT_EQ (globals.getCount(), 1) << c.text;
        EXPECT_EQ (keyOf ("Live", 1, 0), 2u);
        EXPECT_EQ (globals.getPreset (0)->getTableCount(), 1) << c.text;

        ASSERT_EQ (recorder.messages.size(), 1u) << c.text;
        EXPECT_EQ (recorder.messages[0].title, "Loading preset");
        EXPECT_TRUE (recorder.messages[0].text.contains (c.why)) << recorder.messages[0].text;
    }
}

TEST_F (GlobalPresetCleaningTest, TheProjectContextWritesNoGroupWithoutAStoredCopy)
{
    auto node = makeBiquadStore();
    putPreset (node, "P", { 1, 2, 3 });

    // Written without storing: there is no stored copy, so nothing is written.
    EXPECT_TRUE (document.writeProcessPresetDocument (file, "Biquad", 2, node, {}).failed());
    EXPECT_FALSE (file.exists());
    ASSERT_EQ (recorder.messages.size(), 1u);
    EXPECT_EQ (recorder.messages[0].title, "Saving preset");

    juce::XmlElement root ("PRESETS");
    EXPECT_EQ (document.writeClassElement (root, "Biquad", 2, node, true), nullptr);
    EXPECT_EQ (root.getNumChildElements(), 0);

    // Once stored, a write without storing writes the stored copy.
    storeWithPresets ("Biquad", 2, 1);
    EXPECT_TRUE (document.writeProcessPresetDocument (file, "Biquad", 2, node, {}).wasOk());
    addGlobalPreset ("A", 1, { GlobalPresetKey::make (2, 0, 0) });

    ProjectPresetStores readStores;
    GlobalPresetList readGlobals;
    PresetDocument reader;
    reader.setPresetStores (&readStores);
    reader.setGlobalPresets (&readGlobals);
    MessageRecorder readerMessages;
    readerMessages.attachTo (reader);

    ASSERT_TRUE (reader.readPresetsFile (file).wasOk());
    EXPECT_TRUE (readerMessages.messages.empty());
    ASSERT_NE (readStores.findStore ("Biquad", 2), nullptr);
    EXPECT_EQ (readStores.findStore ("Biquad", 2)->getTableId(), 0);
    EXPECT_EQ (readGlobals.getCount(), 1);
}

TEST_F (GlobalPresetCleaningTest, DelayValuesKeepTheirControlsThroughWriteReadAndMerge)
{
    // The node's store holds the delay control after its own controls; the
    // stored copy read back from the file holds it among the fixed ones.
    auto node = makeBiquadStore();
    node.setHasFixedDelayControl();
    node.normaliseControlOrder();
    putPreset (node, "One", { 1, 2, 3 });

    const PresetDocument::WriteOptions storing{ true, true, true };
    int index = -1;
    ASSERT_TRUE (document.writeProcessPresetDocument (file, "Delay", 5, node, storing, &index).wasOk());
    EXPECT_EQ (index, 0);

    ASSERT_TRUE (document.readPresetsFile (file).wasOk());
    ASSERT_NE (stores.findStore ("Delay", 1), nullptr);
    ASSERT_NE (controlNames (*stores.findStore ("Delay", 1)), controlNames (node)) << "the case needs two orders";

    // Equal values are found again, and new ones merged, by control name.
    ASSERT_TRUE (document.writeProcessPresetDocument (file, "Delay", 5, node, storing, &index).wasOk());
    EXPECT_EQ (index, 0) << "One is found again";
    putPreset (node, "Two", { 7, 8, 9 });
    ASSERT_TRUE (document.writeProcessPresetDocument (file, "Delay", 5, node, storing, &index).wasOk());
    EXPECT_EQ (index, 1);

    auto check = [] (ProcessPresetStore& store)
    {
        EXPECT_EQ (presetNames (store), (std::vector<juce::String>{ "One", "Two" }));

        const std::vector<std::pair<const char*, std::vector<uint32_t>>> expected{ { "One", { 1, 2, 3, 5 } },
                                                                                   { "Two", { 7, 8, 9, 5 } } };

        for (const auto& [preset, values] : expected)
        {
            int i = 0;

            for (const auto* control : { "Gain", "Freq", "Q", ProcessPresetStore::fixedDelayControlName })
                EXPECT_EQ (valueOf (store, preset, control), values[(size_t) i++]) << preset << " " << control;
        }
    };

    check (*stores.findStore ("Delay", 1));

    ASSERT_TRUE (document.readPresetsFile (file).wasOk());
    check (*stores.findStore ("Delay", 1));
    EXPECT_TRUE (recorder.messages.empty());
}

TEST_F (GlobalPresetCleaningTest, StoredCopiesRoundTripThroughTheGlobalFile)
{
    auto source = makeStore ({ { "Gain", 0x10 }, { "Freq", 0x11 | secondary }, { "-/-delay-/-", 0x5EAF00D } });
    putPreset (source, "One", { 1, 2, 3 });
    putPreset (source, "Two", { 4, 5, 6 });

    const PresetDocument::WriteOptions storing{ true, false, true };
    ASSERT_TRUE (document.writeProcessPresetDocument (file, "Eq", 2, source, storing).wasOk());
    auto* written = stores.findStore ("Eq", 2);
    ASSERT_NE (written, nullptr);
    const auto writtenNames = presetNames (*written);

    ProjectPresetStores readStores;
    GlobalPresetList readGlobals;
    PresetDocument reader;
    reader.setPresetStores (&readStores);
    reader.setGlobalPresets (&readGlobals);
    ASSERT_TRUE (reader.readPresetsFile (file).wasOk());

    auto* read = readStores.findStore ("Eq", 2);
    ASSERT_NE (read, nullptr);
    EXPECT_EQ (read->getTableId(), written->getTableId());
    EXPECT_EQ (presetNames (*read), writtenNames);
    EXPECT_EQ (controlNames (*read), (std::vector<juce::String>{ "Gain", "-/-delay-/-", "Freq" }));
    EXPECT_EQ (read->getFixedControlCount(), 2);

    for (const auto* preset : { "One", "Two" })
        for (const auto* control : { "Gain", "Freq", "-/-delay-/-" })
            EXPECT_EQ (valueOf (*read, preset, control), valueOf (*written, preset, control)) << preset << control;
}
