#include "GlobalPresetFixture.h"
#include "ManyGlobalPresets.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace PresetTestHelpers;

namespace
{
juce::String twoHexDigits (int value)
{
    return juce::String::toHexString (value & 0xFF).toUpperCase().paddedLeft ('0', 2);
}

// One process of the design as the global-preset saving meets it: its node's
// store and the values its control panel shows.
struct Node
{
    int nrpn = 0;
    juce::String className;
    int count = 1;
    ProcessPresetStore store;
    std::vector<uint32_t> shown;
};

// Global presets saved, read back and called up as the program does it.
class GlobalPresetSavingTest : public GlobalPresetFixture
{
protected:
    // Collects one DSP's processes into the global preset (each through a
    // temporary preset stored in the collections), cleans, writes and reads
    // the file back, as after every save.
    juce::Result save (const juce::String& name, uint32_t dspId, std::vector<Node>& nodes)
    {
        globals.addIfMissing (name);
        auto& preset = *globals.getCurrent();
        preset.addTable (dspId);
        auto& table = *preset.findTableByDsp (dspId);
        table.clearKeys();

        for (auto& node : nodes)
        {
            stores.setLastTableId (-1);
            const auto temporaryName = name + "_DSP" + twoHexDigits ((int) dspId) + "-PCS" + twoHexDigits (node.nrpn);
            putPreset (node.store, temporaryName, node.shown);
            node.store.setSelectedPreset (node.store.getCurrentPreset());

            int index = -1;
            const auto written =
                document.writeProcessPresetDocument (file, node.className, node.count, node.store, { true, true, true }, &index);
            node.store.removePresetByName (temporaryName);

            if (written.failed())
                return written;

            if (index != -1 && stores.getLastTableId() != -1)
                table.addKey (node.nrpn, index, stores.getLastTableId());
        }

        if (auto written = document.writeGlobalPresetDocument (file, preset, table, true); written.failed())
            return written;

        if (auto cleaned = clean(); cleaned.failed())
            return cleaned;

        return document.readPresetsFile (file);
    }

    // The values that calling up the global preset gives the node, by its
    // controls; none when its key names no stored preset.
    std::vector<uint32_t> calledUp (const juce::String& name, uint32_t dspId, const Node& node)
    {
        if (globals.findByName (name) < 0)
            return {};

        auto* table = globals.getCurrent()->findTableByDsp (dspId);

        for (int k = 0; table != nullptr && k < table->getKeyCount(); ++k)
        {
            const auto key = table->getKey (k);

            if (GlobalPresetKey::getProcessId (key) != node.nrpn)
                continue;

            int count = 0;
            auto* stored = document.findPresetStoreForKey (key, count);

            if (stored == nullptr)
                return {};

            std::vector<uint32_t> values;

            for (int c = 0; c < node.store.getControlCount(); ++c)
                values.push_back (valueOf (*stored, stored->getCurrentPresetRecord()->name, node.store.getControl (c)->name));

            return values;
        }

        return {};
    }

    // The file's lists of the stored store with that table id, in order.
    juce::StringArray listNamesInFile (int tableId)
    {
        juce::StringArray names;
        auto root = juce::parseXML (file);

        for (auto* cls : root->getChildByName ("PresetList")->getChildIterator())
            for (auto* group : cls->getChildIterator())
                if (group->getIntAttribute ("TableId", -1) == tableId)
                    for (auto* list : group->getChildByName ("Preset")->getChildByName ("Lists")->getChildIterator())
                        names.add (list->getStringAttribute ("name"));

        return names;
    }

    static Node makeNode (int nrpn, const juce::String& className, int count)
    {
        Node node;
        node.nrpn = nrpn;
        node.className = className;
        node.count = count;
        node.store = makeBiquadStore();
        return node;
    }
};

const juce::String presetOfThree ("<Preset><Count NumberOfPresets=\"3\" NumberOfControls=\"1\" NumberOfFixedControls=\"1\"/>"
                                  "<Controls fixedName1=\"Gain\" fixedNrpn1=\"16\"/><Lists>"
                                  "<List name=\"P0\" fixedValue1=\"0\"/><List name=\"P1\" fixedValue1=\"1\"/>"
                                  "<List name=\"P2\" fixedValue1=\"2\"/></Lists></Preset>");
} // namespace

//==============================================================================
TEST_F (GlobalPresetSavingTest, ResavingAGlobalPresetLeavesTheStoredPresetOfAnotherAlone)
{
    std::vector<Node> nodes;
    nodes.push_back (makeNode (2, "Biquad", 2));

    nodes[0].shown = { 1, 2, 3 };
    ASSERT_TRUE (save ("G1", 1, nodes).wasOk());
    ASSERT_TRUE (save ("G3", 1, nodes).wasOk());
    EXPECT_EQ (stores.findStore ("Biquad", 2)->getPresetCount(), 1) << "equal values share one stored preset";

    nodes[0].shown = { 9, 9, 9 };
    ASSERT_TRUE (save ("G1", 1, nodes).wasOk());

    EXPECT_EQ (calledUp ("G1", 1, nodes[0]), (std::vector<uint32_t>{ 9, 9, 9 }));
    EXPECT_EQ (calledUp ("G3", 1, nodes[0]), (std::vector<uint32_t>{ 1, 2, 3 }));

    // Once nothing refers to the shared preset any more, the cleaning removes it.
    nodes[0].shown = { 5, 5, 5 };
    ASSERT_TRUE (save ("G3", 1, nodes).wasOk());
    EXPECT_EQ (stores.findStore ("Biquad", 2)->getPresetCount(), 2);
    EXPECT_EQ (calledUp ("G1", 1, nodes[0]), (std::vector<uint32_t>{ 9, 9, 9 }));
    EXPECT_EQ (calledUp ("G3", 1, nodes[0]), (std::vector<uint32_t>{ 5, 5, 5 }));
    EXPECT_TRUE (recorder.messages.empty());
}

TEST_F (GlobalPresetSavingTest, EveryGlobalPresetCallsUpWhatWasLastSavedForIt)
{
    // Random saves of a few global presets over processes that share stored
    // stores, with values from a small set so that equal values meet often.
    std::mt19937 random (20240917);
    std::vector<Node> nodes;
    nodes.push_back (makeNode (2, "Biquad", 2));
    nodes.push_back (makeNode (3, "Biquad", 2));
    nodes.push_back (makeNode (0x1F, "Biquad", 4));

    const juce::StringArray names{ "G1", "G2", "G3", "G4" };
    std::map<juce::String, std::vector<std::vector<uint32_t>>> lastSavedValues;

    for (int step = 0; step < 60; ++step)
    {
        const auto& name = names[(int) (random() % (unsigned) names.size())];

        for (auto& node : nodes)
            node.shown = { (uint32_t) (random() % 2), (uint32_t) (random() % 2), (uint32_t) (random() % 3) };

        ASSERT_TRUE (save (name, 1, nodes).wasOk()) << step;
        auto& saved = lastSavedValues[name];
        saved.clear();

        for (const auto& node : nodes)
            saved.push_back (node.shown);

        for (const auto& [savedName, values] : lastSavedValues)
            for (size_t n = 0; n < nodes.size(); ++n)
                ASSERT_EQ (calledUp (savedName, 1, nodes[n]), values[n]) << "step " << step << " " << savedName << " " << n;

        // Each stored store keeps exactly the presets that keys name.
        document.rebuildReferencedPresets();
        std::map<int, int> referencedPerTable;

        for (auto reference : document.getReferencedPresets())
            ++referencedPerTable[GlobalPresetKey::tableIdOfReference (reference)];

        for (const auto& [tableId, referenced] : referencedPerTable)
            EXPECT_EQ (stores.findEntryByTableId (tableId)->store->getPresetCount(), referenced) << step;
    }

    EXPECT_TRUE (recorder.messages.empty());
}

//==============================================================================
TEST_F (GlobalPresetSavingTest, ATableBeyondTheAnnouncedCountKeepsItsPresets)
{
    auto& stored = storeWithPresets ("Biquad", 2, 3);
    addGlobalPreset ("A", 1, { GlobalPresetKey::make (2, 0, 0) });
    addGlobalPreset ("A", 2, { GlobalPresetKey::make (5, 2, 0) });

    // The design now has one DSP, as the collection announces.
    globals.getCurrent()->setTableCount (1);

    ASSERT_TRUE (clean().wasOk());

    EXPECT_EQ (presetNames (stored), (std::vector<juce::String>{ "P0", "P2" }));
    EXPECT_EQ (keyOf ("A", 2, 0), GlobalPresetKey::make (5, 1, 0));

    ASSERT_TRUE (document.readPresetsFile (file).wasOk());
    EXPECT_EQ (presetNameOfKey (keyOf ("A", 1, 0)), "P0");
    EXPECT_EQ (presetNameOfKey (keyOf ("A", 2, 0)), "P2");
}

//==============================================================================
// A file whose stored stores are not the first groups of their class and
// count: the save edits each store's own group, found by its table id.
TEST_F (GlobalPresetSavingTest, TheSaveEditsTheGroupOfTheStoresTableId)
{
    const auto group = [] (const juce::String& count, int tableId, const juce::String& preset)
    { return "<CountGroup count=\"" + count + "\" TableId=\"" + juce::String (tableId) + "\">" + preset + "</CountGroup>"; };
    const auto badPreset = presetOfThree.replace ("fixedValue1=\"1\"", "fixedValue1=\"one\"");

    struct Case
    {
        const char* what;
        juce::String presetList;
        int messagesOnRead;
    };

    const std::vector<Case> cases{
        { "a bad group of the same class and count first",
          "<Class name=\"Biquad\">" + group ("4", 7, badPreset) + group ("4", 1, presetOfThree) + "</Class>", 1 },
        { "the class repeated",
          "<Class name=\"Biquad\">" + group ("2", 0, presetOfThree) + "</Class><Class name=\"Biquad\">" +
              group ("4", 1, presetOfThree) + "</Class>",
          0 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        recorder.messages.clear();
        ASSERT_TRUE (file.replaceWithText ("<PRESETS Version=\"1.01\" NumberOfTableId=\"8\"><PresetList>" + c.presetList +
                                           "</PresetList><GLOBAL_PRESETS NumberOfGlobalPreset=\"1\"><List name=\"A\" "
                                           "NumberOfDsp=\"1\"><DSPDefinition dspId=\"1\" numberOfProcess=\"1\" "
                                           "processPreset1=\"" +
                                           juce::String (GlobalPresetKey::make (3, 2, 1)) +
                                           "\"/></List></GLOBAL_PRESETS></PRESETS>"));
        ASSERT_TRUE (document.readPresetsFile (file).wasOk());
        EXPECT_EQ ((int) recorder.messages.size(), c.messagesOnRead);
        recorder.messages.clear();

        // A preset stored into the store of table id 1 is written to its group.
        auto node = makeStore ({ { "Gain", 0x10 } });
        putPreset (node, "New", { 42 });
        int index = -1;
        ASSERT_TRUE (document.writeProcessPresetDocument (file, "Biquad", 4, node, { true, true, true }, &index).wasOk());
        EXPECT_EQ (index, 3);
        EXPECT_EQ (listNamesInFile (1), juce::StringArray ({ "P0", "P1", "P2", "New" }));

        // The cleaning removes the presets no key names from that group.
        ASSERT_TRUE (clean().wasOk());
        EXPECT_EQ (listNamesInFile (1), juce::StringArray ({ "P2" }));

        ASSERT_TRUE (document.readPresetsFile (file).wasOk());
        EXPECT_EQ ((int) recorder.messages.size(), c.messagesOnRead) << "no group appears twice";
        EXPECT_EQ (presetNames (*stores.findStore ("Biquad", 4)), (std::vector<juce::String>{ "P2" }));
        EXPECT_EQ (presetNameOfKey (keyOf ("A", 1, 0)), "P2");
    }
}

//==============================================================================
// A repeated name counts once: the first list (or global preset, or DSP
// table) is read and the later ones ignored, and every write that replaces
// or removes a name takes all of them, so that what is read back after a
// save is what was saved.
TEST_F (GlobalPresetSavingTest, ARemovedPresetDoesNotComeBackAsItsTwin)
{
    const auto twins = presetOfThree.replace ("<List name=\"P2\"", "<List name=\"P0\" fixedValue1=\"7\"/><List name=\"P2\"");
    ASSERT_TRUE (file.replaceWithText ("<PRESETS Version=\"1.01\" NumberOfTableId=\"1\"><PresetList><Class name=\"Biquad\">"
                                       "<CountGroup count=\"2\" TableId=\"0\">" +
                                       twins + "</CountGroup></Class></PresetList></PRESETS>"));
    ASSERT_TRUE (document.readPresetsFile (file).wasOk());
    auto* stored = stores.findStore ("Biquad", 2);
    EXPECT_EQ (presetNames (*stored), (std::vector<juce::String>{ "P0", "P1", "P2" }));
    EXPECT_EQ (valueOf (*stored, "P0", "Gain"), 0u);

    addGlobalPreset ("A", 1, { GlobalPresetKey::make (2, 2, 0) });
    ASSERT_TRUE (clean().wasOk());
    ASSERT_TRUE (document.readPresetsFile (file).wasOk());

    EXPECT_EQ (presetNames (*stores.findStore ("Biquad", 2)), (std::vector<juce::String>{ "P2" }));
    EXPECT_EQ (presetNameOfKey (keyOf ("A", 1, 0)), "P2");
}

TEST_F (GlobalPresetSavingTest, ARepeatedGlobalPresetNameDoesNotMultiplyItsKeys)
{
    storeWithPresets ("Biquad", 2, 3);
    const auto text = file.loadFileAsString().replace (
        "</PRESETS>",
        "<GLOBAL_PRESETS NumberOfGlobalPreset=\"2\">"
        "<List name=\"A\" NumberOfDsp=\"1\"><DSPDefinition dspId=\"1\" numberOfProcess=\"1\" processPreset1=\"" +
            juce::String (GlobalPresetKey::make (2, 1, 0)) +
            "\"/><DSPDefinition dspId=\"1\" numberOfProcess=\"1\" processPreset1=\"" +
            juce::String (GlobalPresetKey::make (3, 0, 0)) +
            "\"/></List>"
            "<List name=\"A\" NumberOfDsp=\"1\"><DSPDefinition dspId=\"1\" numberOfProcess=\"1\" processPreset1=\"" +
            juce::String (GlobalPresetKey::make (2, 2, 0)) + "\"/></List></GLOBAL_PRESETS></PRESETS>");
    ASSERT_TRUE (file.replaceWithText (text));

    for (int round = 0; round < 3; ++round)
    {
        SCOPED_TRACE (round);
        recorder.messages.clear();
        ASSERT_TRUE (document.readPresetsFile (file).wasOk());

        ASSERT_EQ (globals.getCount(), 1);
        ASSERT_EQ (globals.getPreset (0)->getHeldTableCount(), 1);
        ASSERT_NE (keyOf ("A", 1, 0), GlobalPresetKey::noKey);
        EXPECT_EQ (globals.getPreset (0)->findTableByDsp (1)->getKeyCount(), 1);
        EXPECT_EQ (presetNameOfKey (keyOf ("A", 1, 0)), "P1") << "the first of each counts";

        // Twins are reported once, and gone after the first save.
        EXPECT_EQ (recorder.messages.size(), round == 0 ? 1u : 0u);

        ASSERT_TRUE (clean().wasOk());
        EXPECT_EQ (file.loadFileAsString().indexOf ("<List name=\"A\""),
                   file.loadFileAsString().lastIndexOf ("<List name=\"A\""));
    }
}

//==============================================================================
// Table ids and their count beyond what a key's 12 bits can name.
TEST_F (GlobalPresetSavingTest, TableIdsAndTheirCountAreBoundedToWhatAKeyHolds)
{
    const auto group = [] (const juce::String& tableId)
    { return "<CountGroup count=\"4\" TableId=\"" + tableId + "\">" + presetOfThree + "</CountGroup>"; };

    struct Case
    {
        juce::String count, badTableId;
        int tableCounter;
        const char* why;
    };

    const std::vector<Case> cases{
        { "-2147483648", {}, 0, "NumberOfTableId" },
        { "2147483647", {}, 0, "NumberOfTableId" },
        { "4097", {}, 0, "NumberOfTableId" },
        { "4096", {}, 4095, nullptr },
        { "1", "2147483647", 0, "TableId" },
        { "1", "4096", 0, "TableId" },
        { "1", "4095", 4095, nullptr },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.count + " " + c.badTableId);
        recorder.messages.clear();
        ASSERT_TRUE (file.replaceWithText (
            "<PRESETS NumberOfTableId=\"" + c.count +
            "\"><PresetList><Class name=\"Biquad\"><CountGroup count=\"2\" TableId=\"0\">" + presetOfThree + "</CountGroup>" +
            (c.badTableId.isEmpty() ? "" : group (c.badTableId)) + "</Class></PresetList></PRESETS>"));

        ASSERT_TRUE (document.readPresetsFile (file).wasOk());

        EXPECT_EQ (stores.getTableCounter(), c.tableCounter);
        EXPECT_EQ (stores.getLastTableId(), c.tableCounter + 1);
        EXPECT_NE (stores.findStore ("Biquad", 2), nullptr);
        EXPECT_EQ (stores.findStore ("Biquad", 4) != nullptr, c.badTableId == "4095");

        if (c.why == nullptr)
        {
            EXPECT_TRUE (recorder.messages.empty());
            continue;
        }

        ASSERT_EQ (recorder.messages.size(), 1u);
        EXPECT_TRUE (recorder.messages[0].text.contains (c.why)) << recorder.messages[0].text;

        // The next store counts on from a sound id.
        auto source = makeBiquadStore();
        putPreset (source, "N", { 1, 2, 3 });
        EXPECT_EQ (stores.createOrMergeStore (nullptr, "Mixer", 1, source, false)->getTableId(), c.tableCounter + 1);
    }
}

//==============================================================================
// JUCE's parser never returns from these; both preset readers refuse them
// with the file's message and keep what they hold.
TEST_F (GlobalPresetSavingTest, AFileWithAnInstructionInsideItsRootIsRefusedByBothReaders)
{
    for (const auto* text :
         { "<PRESETS><?x?>y</PRESETS>",
           "<?xml version=\"1.0\"?>\n<PRESETS Version=\"1.01\">\n  <Class name=\"Biquad\"><?pi data?>text</Class>\n"
           "</PRESETS>\n" })
    {
        SCOPED_TRACE (text);
        file.deleteFile();
        storeWithPresets ("Biquad", 2, 2);
        addGlobalPreset ("A", 1, { GlobalPresetKey::make (2, 1, 0) });
        ASSERT_TRUE (file.replaceWithText (text));
        const auto bytes = file.loadFileAsString();

        // The node box's loader leaves its store as it was.
        auto node = makeBiquadStore();
        putPreset (node, "Warm", { 1, 2, 3 });
        recorder.messages.clear();
        EXPECT_TRUE (document.loadProcessPresetsFromFile (file, "Biquad", 2, node).failed());
        EXPECT_EQ (presetNames (node), (std::vector<juce::String>{ "Warm" }));
        EXPECT_EQ (valueOf (node, "Warm", "Q"), 3u);
        ASSERT_EQ (recorder.messages.size(), 1u);
        EXPECT_EQ (recorder.messages[0].title, "Loading preset");
        EXPECT_TRUE (recorder.messages[0].text.contains (file.getFullPathName()));
        EXPECT_TRUE (recorder.messages[0].text.contains ("processing instruction")) << recorder.messages[0].text;

        // The project's reader takes the file as a missing one: nothing of it
        // is read, nothing of the project opened before stays behind.
        recorder.messages.clear();
        EXPECT_TRUE (document.readPresetsFile (file).failed());
        EXPECT_EQ (stores.getClassCount(), 0);
        EXPECT_EQ (globals.getCount(), 0);
        ASSERT_EQ (recorder.messages.size(), 1u);
        EXPECT_TRUE (recorder.messages[0].text.contains (file.getFullPathName()));
        EXPECT_TRUE (recorder.messages[0].text.contains ("processing instruction")) << recorder.messages[0].text;

        // And no writer writes over it.
        EXPECT_TRUE (document.writeProcessPresetDocument (file, "Biquad", 2, node, { true, true, true }).failed());
        EXPECT_TRUE (document.writePresetsFile (file, "Biquad", 2, {}, true).failed());
        EXPECT_EQ (file.loadFileAsString(), bytes);
    }
}

//==============================================================================
// Controls are found by walking those the file names, never by counting up
// to the highest number it gives one (which took well over ten seconds;
// preset_file_bench measures it).
TEST_F (GlobalPresetSavingTest, AControlOfAHugeNumberIsReadAtOnce)
{
    ASSERT_TRUE (file.replaceWithText (
        "<PRESETS NumberOfTableId=\"1\"><PresetList><Class name=\"Eq\"><CountGroup count=\"1\" TableId=\"0\"><Preset>"
        "<Count NumberOfPresets=\"1\" NumberOfControls=\"1000000000\" NumberOfFixedControls=\"999999999\"/>"
        "<Controls fixedName999999998=\"Gain\" fixedNrpn999999998=\"16\" Name1=\"Freq\" Nrpn1=\"17\" Name999999999=\"Far\" "
        "Nrpn999999999=\"18\"/>"
        "<Lists><List name=\"A\" fixedValue999999998=\"3\" Value1=\"4\" Value999999999=\"5\"/></Lists>"
        "</Preset></CountGroup></Class></PresetList></PRESETS>"));

    ASSERT_TRUE (document.readPresetsFile (file).wasOk());

    auto* stored = stores.findStore ("Eq", 1);
    ASSERT_NE (stored, nullptr);
    EXPECT_EQ (controlNames (*stored), (std::vector<juce::String>{ "Gain", "Freq" }))
        << "one secondary control is announced, so only the first is taken";
    EXPECT_EQ (valueOf (*stored, "A", "Gain"), 3u);
    EXPECT_EQ (valueOf (*stored, "A", "Freq"), 4u);
    EXPECT_TRUE (recorder.messages.empty());
}

// Work that follows the size of the file: a global preset or a table is
// never looked for among all those read before it (which took some fifteen
// seconds here; preset_file_bench measures it at four times the presets).
TEST_F (GlobalPresetSavingTest, ManyGlobalPresetsAreReadAndSavedAtOnce)
{
    constexpr int presetCount = 5000;
    storeWithPresets ("Biquad", 2, 2);
    ASSERT_TRUE (
        file.replaceWithText (file.loadFileAsString().replace ("</PRESETS>", manyGlobalPresets (presetCount) + "</PRESETS>")));

    ASSERT_TRUE (document.readPresetsFile (file).wasOk());
    ASSERT_TRUE (clean().wasOk());
    ASSERT_TRUE (document.readPresetsFile (file).wasOk());

    ASSERT_EQ (globals.getCount(), presetCount);
    EXPECT_EQ (presetNameOfKey (keyOf ("G4999", 4999, 0)), "P1");
    EXPECT_EQ (presetNameOfKey (keyOf ("G0", 0, 0)), "P0");
    EXPECT_TRUE (recorder.messages.empty());
}
