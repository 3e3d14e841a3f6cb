#include "model/PresetDocument.h"

#include "PresetTestHelpers.h"

#include <gtest/gtest.h>

using namespace PresetTestHelpers;

namespace
{
ProcessPresetStore makeBiquadStore()
{
    auto store = makeStore ({ { "Gain", 0x10 }, { "Freq", 0x11 | secondary }, { "Q", 0x12 | secondary } });
    putPreset (store, "Warm", { 5, 1000, 7 });
    putPreset (store, lastSaved, { 6, 2000, 8 });
    return store;
}

ProcessPresetStore makeDelayStore()
{
    auto store = makeStore ({ { "Mix", 0x20 }, { "Feedback", 0x21 | secondary } });
    store.setHasFixedDelayControl();
    putPreset (store, "Short", { 11, 12 });
    return store;
}

// A store as the node box's preset loader sees it: controls registered by
// the control panel, no presets.
ProcessPresetStore emptyBiquadStore()
{
    return makeStore ({ { "Gain", 0x10 }, { "Freq", 0x11 | secondary }, { "Q", 0x12 | secondary } });
}

class PresetFileTest : public ::testing::Test
{
protected:
    void SetUp() override { recorder.attachTo (document); }

    juce::Result writeAll (const juce::File& file, const juce::String& className, int count, ProcessPresetStore& store)
    {
        return document.writeProcessPresetDocument (file, className, count, store, {});
    }

    // The file as written, parsed.
    std::unique_ptr<juce::XmlElement> parse (const juce::File& file) { return juce::parseXML (file); }

    ScratchFolder folder;
    PresetDocument document;
    MessageRecorder recorder;
};
} // namespace

//==============================================================================
TEST_F (PresetFileTest, FileNamesSitBesideTheProject)
{
    const auto projectFolder = folder.getFolder();

    EXPECT_EQ (PresetDocument::getPresetFile (projectFolder, "Speaker").getFullPathName(),
               projectFolder.getFullPathName() + "/Speaker.presets");
    EXPECT_EQ (PresetDocument::getGlobalPresetFile (projectFolder, "Speaker").getFullPathName(),
               projectFolder.getFullPathName() + "/Speaker_global.presets");
}

TEST_F (PresetFileTest, GoldenProcessPresetFile)
{
    const auto file = folder.getFile ("Design.presets");
    auto biquad = makeBiquadStore();
    auto delay = makeDelayStore();

    ASSERT_TRUE (writeAll (file, "Biquad", 2, biquad).wasOk());
    ASSERT_TRUE (writeAll (file, "Delay", 3, delay).wasOk());

    const juce::String expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "\n"
                                  "<PRESETS Version=\"1.01\" NumberOfTableId=\"0\">\n"
                                  "  <Class name=\"Biquad\">\n"
                                  "    <CountGroup count=\"2\" TableId=\"-1\">\n"
                                  "      <Preset>\n"
                                  "        <Count NumberOfPresets=\"2\" NumberOfControls=\"3\" NumberOfFixedControls=\"1\"/>\n"
                                  "        <Controls fixedName1=\"Gain\" fixedNrpn1=\"16\" Name1=\"Freq\" Nrpn1=\"17\" "
                                  "Name2=\"Q\" Nrpn2=\"18\"/>\n"
                                  "        <Lists>\n"
                                  "          <List name=\"Warm\" fixedValue1=\"5\" Value1=\"1000\" Value2=\"7\"/>\n"
                                  "          <List name=\"(Last-Saved)\" fixedValue1=\"6\" Value1=\"2000\" Value2=\"8\"/>\n"
                                  "        </Lists>\n"
                                  "      </Preset>\n"
                                  "    </CountGroup>\n"
                                  "  </Class>\n"
                                  "  <Class name=\"Delay\">\n"
                                  "    <CountGroup count=\"1\" TableId=\"-1\">\n"
                                  "      <Preset>\n"
                                  "        <Count NumberOfPresets=\"1\" NumberOfControls=\"3\" NumberOfFixedControls=\"2\"/>\n"
                                  "        <Controls fixedName1=\"Mix\" fixedNrpn1=\"32\" fixedName2=\"-/-delay-/-\" "
                                  "fixedNrpn2=\"99282957\" Name1=\"Feedback\" Nrpn1=\"33\" delay=\"1\"/>\n"
                                  "        <Lists>\n"
                                  "          <List name=\"Short\" fixedValue1=\"11\" fixedValue2=\"3\" delayCount=\"3\" "
                                  "Value1=\"12\"/>\n"
                                  "        </Lists>\n"
                                  "      </Preset>\n"
                                  "    </CountGroup>\n"
                                  "  </Class>\n"
                                  "</PRESETS>\n";

    EXPECT_EQ (file.loadFileAsString(), expected);
    EXPECT_TRUE (recorder.messages.empty());
    EXPECT_EQ (delay.getName(), "Delay");
}

TEST_F (PresetFileTest, RoundTripThroughTheNodeBoxLoader)
{
    const auto file = folder.getFile ("Design.presets");
    auto written = makeBiquadStore();
    putPreset (written, "Loud", { 0xFFFFFFFF, 0x80000000, 0 });
    ASSERT_TRUE (writeAll (file, "Biquad", 2, written).wasOk());

    auto read = emptyBiquadStore();
    ASSERT_TRUE (document.loadProcessPresetsFromFile (file, "Biquad", 2, read).wasOk());

    EXPECT_EQ (presetNames (read), presetNames (written));

    for (const auto* preset : { "Warm", lastSaved, "Loud" })
        for (const auto* control : { "Gain", "Freq", "Q" })
            EXPECT_EQ (valueOf (read, preset, control), valueOf (written, preset, control)) << preset << " " << control;

    for (int i = 0; i < read.getPresetCount(); ++i)
        EXPECT_TRUE (read.getPresetRecord (i)->orderDone);
}

TEST_F (PresetFileTest, RoundTripIntoAStoreWithoutControls)
{
    const auto file = folder.getFile ("Design.presets");
    auto written = makeDelayStore();
    // A preset saved at another length keeps its own; one saved without
    // any (0) takes the store's.
    PresetDocument::prepareFixedDelayControl (written, 9);
    putPreset (written, "Old", { 31, 32, 0 });
    putPreset (written, "Long", { 21, 22 });
    ASSERT_TRUE (writeAll (file, "Delay", 5, written).wasOk());

    auto root = parse (file);
    auto* group = PresetDocument::findCountGroupElement (*PresetDocument::findPresetClassElement (*root, "Delay"), 1);
    ASSERT_NE (group, nullptr);

    ProcessPresetStore read;
    document.setStore (&read);
    ASSERT_TRUE (document.loadProcessPresets (*group, 1, nullptr));

    EXPECT_EQ (controlNames (read), (std::vector<juce::String>{ "Mix", delayName, "Feedback" }));
    EXPECT_EQ (read.getFixedControlCount(), 2);
    EXPECT_TRUE (read.hasFixedDelayControl());
    EXPECT_TRUE (read.isBuilt());
    EXPECT_EQ (read.getDelayCount(), 5u);
    ASSERT_TRUE (read.findControl (delayName));
    EXPECT_EQ (read.getCurrentControlNrpn(), ProcessPresetStore::fixedDelayControlNrpn);

    EXPECT_EQ (valueOf (read, "Short", "Mix"), 11u);
    EXPECT_EQ (valueOf (read, "Short", "Feedback"), 12u);
    EXPECT_EQ (valueOf (read, "Short", delayName), 9u);
    EXPECT_EQ (valueOf (read, "Long", delayName), 5u);
    EXPECT_EQ (valueOf (read, "Old", delayName), 5u);
    EXPECT_TRUE (recorder.messages.empty());
}

TEST_F (PresetFileTest, ValuesAreMatchedByControlNameWhenTheFileOrderDiffers)
{
    const auto file = folder.getFile ("Design.presets");
    file.replaceWithText ("<PRESETS Version=\"1.01\" NumberOfTableId=\"0\">"
                          "<Class name=\"Biquad\"><CountGroup count=\"2\" TableId=\"-1\"><Preset>"
                          "<Count NumberOfPresets=\"1\" NumberOfControls=\"3\" NumberOfFixedControls=\"1\"/>"
                          "<Controls Nrpn2=\"17\" Name2=\"Freq\" fixedName1=\"Gain\" fixedNrpn1=\"16\" Name1=\"Q\" "
                          "Nrpn1=\"18\"/>"
                          "<Lists><List name=\"Odd\" Value1=\"70\" fixedValue1=\"50\" Value2=\"9000\"/></Lists>"
                          "</Preset></CountGroup></Class></PRESETS>");

    auto read = emptyBiquadStore();
    ASSERT_TRUE (document.loadProcessPresetsFromFile (file, "Biquad", 2, read).wasOk());

    EXPECT_EQ (controlNames (read), (std::vector<juce::String>{ "Gain", "Freq", "Q" }));
    EXPECT_EQ (valueOf (read, "Odd", "Gain"), 50u);
    EXPECT_EQ (valueOf (read, "Odd", "Freq"), 9000u);
    EXPECT_EQ (valueOf (read, "Odd", "Q"), 70u);
}

TEST_F (PresetFileTest, ControlsRegisteredInterleavedGetTheirOwnValues)
{
    // The control panel registered a secondary control between two fixed
    // ones and the store is not normalised yet: the loaded values must stay
    // with their controls once the order is normalised.
    const auto file = folder.getFile ("Design.presets");
    auto written = makeBiquadStore();
    ASSERT_TRUE (writeAll (file, "Biquad", 2, written).wasOk());

    auto interleaved = makeStore ({ { "Freq", 0x11 | secondary }, { "Gain", 0x10 }, { "Q", 0x12 | secondary } });
    ASSERT_FALSE (interleaved.isOrderNormalised());
    ASSERT_TRUE (document.loadProcessPresetsFromFile (file, "Biquad", 2, interleaved).wasOk());

    interleaved.normaliseControlOrder();

    EXPECT_EQ (controlNames (interleaved), (std::vector<juce::String>{ "Gain", "Freq", "Q" }));
    EXPECT_EQ (valueOf (interleaved, "Warm", "Gain"), 5u);
    EXPECT_EQ (valueOf (interleaved, "Warm", "Freq"), 1000u);
    EXPECT_EQ (valueOf (interleaved, "Warm", "Q"), 7u);
    EXPECT_EQ (interleaved.getPresetRecord (0)->values, (std::vector<uint32_t>{ 5, 1000, 7 }));
}

TEST_F (PresetFileTest, ACountOfZeroIsReadAsOne)
{
    auto xml = juce::parseXML ("<Class name=\"Mixer\"><CountGroup count=\"0\" TableId=\"-1\"><Preset>"
                               "<Count NumberOfPresets=\"1\" NumberOfControls=\"1\" NumberOfFixedControls=\"1\"/>"
                               "<Controls fixedName1=\"Level\" fixedNrpn1=\"5\"/>"
                               "<Lists><List name=\"A\" fixedValue1=\"44\"/></Lists></Preset></CountGroup></Class>");

    EXPECT_EQ (PresetDocument::findCountGroupElement (*xml, 1), xml->getFirstChildElement());

    auto store = makeStore ({ { "Level", 5 } });
    document.setStore (&store);
    ASSERT_TRUE (document.loadProcessPresets (*xml->getFirstChildElement(), 1, &store));
    EXPECT_EQ (valueOf (store, "A", "Level"), 44u);
}

TEST_F (PresetFileTest, FewerChannelsTakeTheFirstChannelsSecondaryControls)
{
    auto xml = juce::parseXML (
        "<Class name=\"Eq\"><CountGroup count=\"4\" TableId=\"-1\"><Preset>"
        "<Count NumberOfPresets=\"1\" NumberOfControls=\"10\" NumberOfFixedControls=\"2\"/>"
        "<Controls fixedName1=\"F1\" fixedNrpn1=\"1\" fixedName2=\"F2\" fixedNrpn2=\"2\" Name1=\"S1\" Nrpn1=\"11\" "
        "Name2=\"S2\" Nrpn2=\"12\" Name3=\"S3\" Nrpn3=\"13\" Name4=\"S4\" Nrpn4=\"14\" Name5=\"S5\" Nrpn5=\"15\" "
        "Name6=\"S6\" Nrpn6=\"16\" Name7=\"S7\" Nrpn7=\"17\" Name8=\"S8\" Nrpn8=\"18\"/>"
        "<Lists><List name=\"A\" fixedValue1=\"1\" fixedValue2=\"2\" Value1=\"31\" Value2=\"32\" Value3=\"33\" "
        "Value4=\"34\" Value5=\"35\"/></Lists></Preset></CountGroup></Class>");

    ProcessPresetStore store;
    document.setStore (&store);
    ASSERT_TRUE (document.loadProcessPresets (*xml->getFirstChildElement(), 2, nullptr));

    EXPECT_EQ (controlNames (store), (std::vector<juce::String>{ "F1", "F2", "S1", "S2", "S3", "S4" }));
    EXPECT_EQ (store.getFixedControlCount(), 2);
    EXPECT_EQ (store.getSecondaryIndex().size(), 4u);
    EXPECT_EQ (valueOf (store, "A", "S4"), 34u);
}

TEST_F (PresetFileTest, OnlyLastSavedForAStoreWithoutItWritesNoList)
{
    auto store = emptyBiquadStore();
    putPreset (store, "Warm", { 1, 2, 3 });

    juce::XmlElement process ("Process");
    auto* preset = document.writeClassElement (process, "Biquad", 2, store, false);

    ASSERT_NE (preset, nullptr);
    EXPECT_EQ (preset->getChildByName ("Lists")->getNumChildElements(), 0);
    // The count follows the lists there are.
    EXPECT_EQ (preset->getChildByName ("Count")->getIntAttribute ("NumberOfPresets", -1), 0);
    EXPECT_EQ (process.getChildByName ("PresetList"), nullptr);
    EXPECT_EQ (process.getChildByName ("Class")->getStringAttribute ("name"), "Biquad");
}

TEST_F (PresetFileTest, OnlyLastSavedIsWrittenForTheProjectFile)
{
    auto store = makeBiquadStore();

    juce::XmlElement process ("Process");
    auto* preset = document.writeClassElement (process, "Biquad", 2, store, false);

    auto* lists = preset->getChildByName ("Lists");
    ASSERT_EQ (lists->getNumChildElements(), 1);
    EXPECT_EQ (lists->getFirstChildElement()->getStringAttribute ("name"), lastSaved);
    EXPECT_EQ (preset->getChildByName ("Count")->getIntAttribute ("NumberOfPresets"), 1);
}

TEST_F (PresetFileTest, ResavingAPresetReplacesItsListInPlace)
{
    const auto file = folder.getFile ("Design.presets");
    auto store = makeBiquadStore();
    putPreset (store, "Third", { 1, 1, 1 });
    ASSERT_TRUE (writeAll (file, "Biquad", 2, store).wasOk());

    putPreset (store, "Warm", { 55, 555, 77 });
    ASSERT_TRUE (writeAll (file, "Biquad", 2, store).wasOk());

    auto root = parse (file);
    auto* lists =
        root->getChildByName ("Class")->getChildByName ("CountGroup")->getChildByName ("Preset")->getChildByName ("Lists");

    ASSERT_EQ (lists->getNumChildElements(), 3);
    EXPECT_EQ (lists->getChildElement (0)->getStringAttribute ("name"), "Warm");
    EXPECT_EQ (lists->getChildElement (0)->getStringAttribute ("Value1"), "555");
    EXPECT_EQ (lists->getChildElement (2)->getStringAttribute ("name"), "Third");
}

TEST_F (PresetFileTest, ChangedControlsAreRewrittenAndOldListsRenumbered)
{
    const auto file = folder.getFile ("Design.presets");
    auto before = makeBiquadStore();
    ASSERT_TRUE (writeAll (file, "Biquad", 2, before).wasOk());

    // A module update: "Freq" is gone, "Shape" is new, and "Q" moves up.
    auto after = makeStore ({ { "Gain", 0x10 }, { "Q", 0x12 | secondary }, { "Shape", 0x13 | secondary } });
    putPreset (after, "New", { 9, 99, 999 });
    ASSERT_TRUE (writeAll (file, "Biquad", 2, after).wasOk());

    auto root = parse (file);
    auto* preset = root->getChildByName ("Class")->getChildByName ("CountGroup")->getChildByName ("Preset");
    EXPECT_EQ (preset->getChildByName ("Controls")->getStringAttribute ("Name1"), "Q");
    EXPECT_EQ (preset->getChildByName ("Controls")->getStringAttribute ("Name2"), "Shape");
    EXPECT_EQ (preset->getChildByName ("Count")->getIntAttribute ("NumberOfPresets"), 3);

    auto read = makeStore ({ { "Gain", 0x10 }, { "Q", 0x12 | secondary }, { "Shape", 0x13 | secondary } });
    ASSERT_TRUE (document.loadProcessPresetsFromFile (file, "Biquad", 2, read).wasOk());

    EXPECT_EQ (valueOf (read, "Warm", "Gain"), 5u);
    EXPECT_EQ (valueOf (read, "Warm", "Q"), 7u) << "the old list's Q, not its Freq";
    EXPECT_EQ (valueOf (read, "Warm", "Shape"), 0u);
    EXPECT_EQ (valueOf (read, "New", "Q"), 99u);
    EXPECT_EQ (valueOf (read, "New", "Shape"), 999u);
}

TEST_F (PresetFileTest, APresetWithFewerValuesThanControlsWritesZeros)
{
    auto store = emptyBiquadStore();
    store.addPreset();
    store.setCurrentPresetName ("Short");
    store.getCurrentPresetRecord()->values = { 4 };

    juce::XmlElement parent ("PRESETS");
    auto* preset = document.writeClassElement (parent, "Biquad", 2, store, true);
    auto* list = preset->getChildByName ("Lists")->getFirstChildElement();

    EXPECT_EQ (list->getStringAttribute ("fixedValue1"), "4");
    EXPECT_EQ (list->getStringAttribute ("Value1"), "0");
    EXPECT_EQ (list->getStringAttribute ("Value2"), "0");
}

TEST_F (PresetFileTest, ADelayStoreTakesItsDelayControlAndOnlyAFullOneIsAMismatch)
{
    // The store has the delay flag, but its controls were built without the
    // delay control and the file does not carry it either (cut short of it
    // when a delay's length counted as channels): the store takes it, with
    // the list's count. A store without room for it is a mismatch.
    auto xml = juce::parseXML ("<CountGroup count=\"1\" TableId=\"-1\"><Preset>"
                               "<Count NumberOfPresets=\"1\" NumberOfControls=\"1\" NumberOfFixedControls=\"1\"/>"
                               "<Controls fixedName1=\"Mix\" fixedNrpn1=\"32\"/>"
                               "<Lists><List name=\"A\" fixedValue1=\"3\" delayCount=\"8\"/></Lists>"
                               "</Preset></CountGroup>");

    for (const auto full : { false, true })
    {
        auto store = makeStore ({ { "Mix", 0x20 } });

        for (int i = 1; full && i < ProcessPresetStore::maxControls; ++i)
            store.addOrUpdateControl ((uint32_t) i, "Other" + juce::String (i), true);

        store.setHasFixedDelayControl();
        document.setStore (&store);
        recorder.messages.clear();

        ASSERT_TRUE (document.loadProcessPresets (*xml, 1, &store));
        EXPECT_EQ (valueOf (store, "A", "Mix"), 3u);

        if (! full)
        {
            EXPECT_TRUE (recorder.messages.empty());
            EXPECT_EQ (valueOf (store, "A", ProcessPresetStore::fixedDelayControlName), 8u);
            continue;
        }

        ASSERT_EQ (recorder.messages.size(), 1u);
        EXPECT_EQ (recorder.messages[0].title, "Loading preset");
        EXPECT_EQ (recorder.messages[0].text,
                   "Preset or Global preset parameter mismatch. please remove manually the preset file");
        EXPECT_EQ (recorder.messages[0].button, "Ok");
    }
}

// A file naming more controls than a process holds: the first 255 are
// read, and the rest said to be left out.
TEST_F (PresetFileTest, ControlsBeyondWhatAProcessHoldsAreReportedNotDroppedSilently)
{
    juce::String controls, values;

    for (int i = 1; i <= 300; ++i)
    {
        controls << " Name" << i << "=\"Level" << i << "\" Nrpn" << i << "=\"" << i << "\"";
        values << " Value" << i << "=\"" << i << "\"";
    }

    auto xml = juce::parseXML ("<CountGroup count=\"1\"><Preset><Count NumberOfPresets=\"1\" NumberOfControls=\"300\" "
                               "NumberOfFixedControls=\"0\"/><Controls" +
                               controls + "/><Lists><List name=\"A\"" + values + "/></Lists></Preset></CountGroup>");
    ProcessPresetStore store;
    document.setStore (&store);

    ASSERT_TRUE (document.loadProcessPresets (*xml, 1, nullptr));

    EXPECT_EQ (store.getControlCount(), 255);
    EXPECT_EQ (valueOf (store, "A", "Level255"), 255u);
    ASSERT_EQ (recorder.messages.size(), 1u);
    EXPECT_EQ (recorder.messages[0].text, "45 controls of the presets read found no room and were left out: a process holds "
                                          "at most 255 controls.");
}

//==============================================================================
TEST_F (PresetFileTest, WritePresetsFileRemovesListsInEachMode)
{
    const auto file = folder.getFile ("Design.presets");
    auto store = makeBiquadStore();
    putPreset (store, "Third", { 1, 1, 1 });
    putPreset (store, "Fourth", { 2, 2, 2 });
    ASSERT_TRUE (writeAll (file, "Biquad", 2, store).wasOk());

    auto listNames = [&]
    {
        juce::StringArray names;
        auto root = parse (file);
        auto* preset = root->getChildByName ("Class")->getChildByName ("CountGroup")->getChildByName ("Preset");

        for (auto* list : preset->getChildByName ("Lists")->getChildIterator())
            names.add (list->getStringAttribute ("name"));

        EXPECT_EQ (preset->getChildByName ("Count")->getIntAttribute ("NumberOfPresets"), names.size());
        return names.joinIntoString (",");
    };

    ASSERT_TRUE (document.writePresetsFile (file, "Biquad", 2, "Third", false).wasOk());
    EXPECT_EQ (listNames(), "Warm,(Last-Saved),Fourth");

    ASSERT_TRUE (document.writePresetsFile (file, "Biquad", 2, {}, false).wasOk());
    EXPECT_EQ (listNames(), "(Last-Saved),Fourth");

    ASSERT_TRUE (document.writePresetsFile (file, "Biquad", 2, "Missing", false).wasOk());
    EXPECT_EQ (listNames(), "(Last-Saved),Fourth");

    // The count is matched on its low 28 bits, as the node's count word holds flags above.
    ASSERT_TRUE (document.writePresetsFile (file, "Biquad", 2 | (1 << 30), {}, true).wasOk());
    EXPECT_EQ (listNames(), "");

    const auto missing = folder.getFile ("None.presets");
    EXPECT_TRUE (document.writePresetsFile (missing, "Biquad", 2, {}, true).wasOk());
    EXPECT_FALSE (missing.exists());
}

// The loader reads the first list of a name, from every group of the node's
// count; a removal takes every list of the name, so that none comes back.
TEST_F (PresetFileTest, ARemovedPresetDoesNotComeBackAsItsTwin)
{
    const auto file = folder.getFile ("Design.presets");
    const auto group = [] (const juce::String& lists)
    {
        return "<CountGroup count=\"2\"><Preset><Count NumberOfControls=\"1\" NumberOfFixedControls=\"1\"/>"
               "<Controls fixedName1=\"Gain\" fixedNrpn1=\"16\"/><Lists>" +
               lists + "</Lists></Preset></CountGroup>";
    };
    const auto list = [] (const char* name, int value)
    { return "<List name=\"" + juce::String (name) + "\" fixedValue1=\"" + juce::String (value) + "\"/>"; };

    struct Case
    {
        const char* what;
        juce::String groups;
        juce::String removed; // none: the first list
        std::vector<juce::String> left;
    };

    const std::vector<Case> cases{
        { "a twin in the group", group (list ("A", 1) + list ("B", 2) + list ("A", 3)), "A", { "B" } },
        { "a twin in a later group of the count",
          group (list ("A", 1) + list ("B", 2)) + group (list ("A", 3) + list ("C", 4)),
          "A",
          { "B", "C" } },
        { "the first list and its twin", group (list ("A", 1) + list ("B", 2) + list ("A", 3)), {}, { "B" } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        ASSERT_TRUE (file.replaceWithText ("<PRESETS Version=\"1.01\"><Class name=\"Eq\">" + c.groups + "</Class></PRESETS>"));

        auto store = makeStore ({ { "Gain", 0x10 } });
        ASSERT_TRUE (document.loadProcessPresetsFromFile (file, "Eq", 2, store).wasOk());
        EXPECT_EQ (valueOf (store, "A", "Gain"), 1u) << "the first of a name is read";

        ASSERT_TRUE (document.writePresetsFile (file, "Eq", 2, c.removed, false).wasOk());
        ASSERT_TRUE (document.loadProcessPresetsFromFile (file, "Eq", 2, store).wasOk());
        EXPECT_EQ (presetNames (store), c.left);
    }

    // A preset saved again replaces its list and drops the twin.
    ASSERT_TRUE (file.replaceWithText ("<PRESETS Version=\"1.01\"><Class name=\"Eq\">" +
                                       group (list ("A", 1) + list ("B", 2) + list ("A", 3)) + "</Class></PRESETS>"));
    auto store = makeStore ({ { "Gain", 0x10 } });
    putPreset (store, "A", { 9 });
    ASSERT_TRUE (writeAll (file, "Eq", 2, store).wasOk());
    EXPECT_EQ (file.loadFileAsString().indexOf ("name=\"A\""), file.loadFileAsString().lastIndexOf ("name=\"A\""));
    ASSERT_TRUE (document.writePresetsFile (file, "Eq", 2, "A", false).wasOk());
    ASSERT_TRUE (document.loadProcessPresetsFromFile (file, "Eq", 2, store).wasOk());
    EXPECT_EQ (presetNames (store), (std::vector<juce::String>{ "B" }));
    EXPECT_TRUE (recorder.messages.empty());
}

// Lists without a name are no presets a user made, but their values must
// not be traded for one another between a read and a write.
TEST_F (PresetFileTest, TwoUnnamedListsReadAndWriteAsTheFirst)
{
    const auto file = folder.getFile ("Design.presets");
    ASSERT_TRUE (file.replaceWithText (
        "<PRESETS Version=\"1.01\"><Class name=\"Eq\"><CountGroup count=\"2\"><Preset>"
        "<Count NumberOfControls=\"1\" NumberOfFixedControls=\"1\"/><Controls fixedName1=\"Gain\" fixedNrpn1=\"16\"/>"
        "<Lists><List fixedValue1=\"5\"/><List name=\"\" fixedValue1=\"7\"/><List name=\"B\" fixedValue1=\"2\"/></Lists>"
        "</Preset></CountGroup><CountGroup count=\"2\"><Preset><Count NumberOfControls=\"1\" NumberOfFixedControls=\"1\"/>"
        "<Controls fixedName1=\"Gain\" fixedNrpn1=\"16\"/><Lists><List fixedValue1=\"9\"/></Lists></Preset></CountGroup>"
        "</Class></PRESETS>"));

    for (int round = 0; round < 2; ++round)
    {
        auto store = makeStore ({ { "Gain", 0x10 } });
        ASSERT_TRUE (document.loadProcessPresetsFromFile (file, "Eq", 2, store).wasOk());
        EXPECT_EQ (presetNames (store), (std::vector<juce::String>{ "", "B" })) << "round " << round;
        ASSERT_EQ (store.getPresetCount(), 2);
        EXPECT_EQ (store.getPresetRecord (0)->values.at (0), 5u) << "round " << round;
        ASSERT_TRUE (writeAll (file, "Eq", 2, store).wasOk());
    }
}

//==============================================================================
TEST_F (PresetFileTest, ADamagedFileLeavesTheStoreAsItWas)
{
    const auto file = folder.getFile ("Design.presets");
    auto store = makeBiquadStore();

    // Nested so deep that the parser would run out of stack, and elements
    // made by an entity: not of our making.
    const juce::String damaged[] = {
        "<PRESETS Version=\"1.01\"><Class name=\"Biquad\">",
        "<SOMETHING/>",
        "",
        "<PRESETS><Class name=\"Biquad\"><CountGroup count=\"2\"><Preset>"
        "<Count NumberOfControls=\"1\" NumberOfFixedControls=\"1\"/>"
        "<Controls fixedName1=\"Gain\" fixedNrpn1=\"16\"/>"
        "<Lists><List name=\"Bad\" fixedValue1=\"12x\"/></Lists></Preset></CountGroup></Class>"
        "</PRESETS>",
        "<PRESETS>" + juce::String::repeatedString ("<Class name=\"Biquad\">", 2000) +
            juce::String::repeatedString ("</Class>", 2000) + "</PRESETS>",
        "<!DOCTYPE PRESETS [<!ENTITY c \"<Class name='Biquad'/>\">]><PRESETS>&c;</PRESETS>",
    };

    for (auto& text : damaged)
    {
        recorder.messages.clear();
        ASSERT_TRUE (file.replaceWithText (text));

        EXPECT_TRUE (document.loadProcessPresetsFromFile (file, "Biquad", 2, store).failed()) << text;

        EXPECT_EQ (presetNames (store), (std::vector<juce::String>{ "Warm", lastSaved })) << text;
        EXPECT_EQ (valueOf (store, "Warm", "Freq"), 1000u);
        ASSERT_EQ (recorder.messages.size(), 1u) << text;
        EXPECT_EQ (recorder.messages[0].title, "Loading preset");
        EXPECT_TRUE (recorder.messages[0].text.contains (file.getFullPathName())) << recorder.messages[0].text;
    }
}

TEST_F (PresetFileTest, ADamagedFileIsNotWrittenOver)
{
    const auto file = folder.getFile ("Design.presets");
    const juce::String damaged = "<PRESETS><Class name=\"Hand edited\"";
    ASSERT_TRUE (file.replaceWithText (damaged));

    auto store = makeBiquadStore();
    EXPECT_TRUE (writeAll (file, "Biquad", 2, store).failed());
    EXPECT_TRUE (document.writePresetsFile (file, "Biquad", 2, {}, true).failed());

    EXPECT_EQ (file.loadFileAsString(), damaged);
    ASSERT_EQ (recorder.messages.size(), 2u);
    EXPECT_EQ (recorder.messages[0].title, "Saving preset");
}

TEST_F (PresetFileTest, AWriteIntoAMissingFolderFailsAndIsReported)
{
    const auto file = folder.getFile ("no-such-folder").getChildFile ("Design.presets");
    auto store = makeBiquadStore();

    EXPECT_TRUE (writeAll (file, "Biquad", 2, store).failed());
    EXPECT_FALSE (file.exists());
    ASSERT_EQ (recorder.messages.size(), 1u);
    EXPECT_EQ (recorder.messages[0].title, "Saving preset");
    EXPECT_TRUE (recorder.messages[0].text.contains ("could not be written")) << recorder.messages[0].text;
}

TEST_F (PresetFileTest, AFailedReplaceLeavesTheOldFileAndNoTemporaryFile)
{
    // A folder stands where the file should go: the rename over it fails.
    const auto target = folder.getFile ("Design.presets");
    ASSERT_TRUE (target.createDirectory());
    ASSERT_TRUE (target.getChildFile ("keep.txt").replaceWithText ("kept"));

    auto store = makeBiquadStore();
    juce::XmlElement root ("PRESETS");
    document.writeClassElement (root, "Biquad", 2, store, true);

    EXPECT_TRUE (PresetFileAccess::save (root, target).failed());
    EXPECT_EQ (target.getChildFile ("keep.txt").loadFileAsString(), "kept");
    EXPECT_EQ (folder.getFolder().getNumberOfChildFiles (juce::File::findFiles), 0);

    EXPECT_TRUE (writeAll (target, "Biquad", 2, store).failed());
    EXPECT_FALSE (recorder.messages.empty());
}

TEST_F (PresetFileTest, ValuesAndNumbersAreUnsigned)
{
    const auto file = folder.getFile ("Design.presets");
    auto store = makeStore ({ { "Big", 0x7FFF } });
    putPreset (store, "A", { 0xFFFFFFF0 });
    ASSERT_TRUE (writeAll (file, "Wide", 1, store).wasOk());

    EXPECT_TRUE (file.loadFileAsString().contains ("fixedValue1=\"4294967280\""));

    // A file written with signed numbers reads back to the same bits.
    file.replaceWithText (file.loadFileAsString().replace ("4294967280", "-16"));
    auto read = makeStore ({ { "Big", 0x7FFF } });
    ASSERT_TRUE (document.loadProcessPresetsFromFile (file, "Wide", 1, read).wasOk());
    EXPECT_EQ (valueOf (read, "A", "Big"), 0xFFFFFFF0u);
}

TEST_F (PresetFileTest, PrepareFixedDelayControlReadiesADelayStoreForWriting)
{
    auto delay = makeDelayStore();
    ASSERT_TRUE (delay.isBuilt());

    EXPECT_EQ (PresetDocument::prepareFixedDelayControl (delay, 6), 1);

    EXPECT_EQ (controlNames (delay), (std::vector<juce::String>{ "Mix", "Feedback", delayName }));
    EXPECT_EQ (delay.getFixedIndex(), (std::vector<int>{ 0, 2 }));
    EXPECT_TRUE (delay.isBuilt());
    EXPECT_FALSE (delay.isBuilding());
    EXPECT_EQ (delay.getDelayCount(), 6u);
    EXPECT_EQ (valueOf (delay, "Short", delayName), 6u);
    EXPECT_EQ (valueOf (delay, "Short", "Feedback"), 12u);

    // Prepared again: the control is not added twice.
    EXPECT_EQ (PresetDocument::prepareFixedDelayControl (delay, 2), 1);
    EXPECT_EQ (delay.getControlCount(), 3);
    EXPECT_EQ (valueOf (delay, "Short", delayName), 2u);

    // The project file writes a "(Last-Saved)" under the count it gives.
    putPreset (delay, lastSaved, { 1, 2, 0 });
    const auto count = PresetDocument::prepareFixedDelayControl (delay, 3);
    juce::XmlElement process ("Process");
    document.writeClassElement (process, "Delay", count, delay, false);
    auto* group = PresetDocument::findCountGroupElement (*process.getChildByName ("Class"), 1);
    ASSERT_NE (group, nullptr);
    EXPECT_EQ (
        group->getChildByName ("Preset")->getChildByName ("Lists")->getFirstChildElement()->getStringAttribute ("delayCount"),
        "3");

    auto biquad = makeBiquadStore();
    EXPECT_EQ (PresetDocument::prepareFixedDelayControl (biquad, 4), 4);
    EXPECT_EQ (controlNames (biquad), (std::vector<juce::String>{ "Gain", "Freq", "Q" }));
    EXPECT_EQ (biquad.getDelayCount(), 0u);
}

TEST_F (PresetFileTest, TheLoaderLeavesAStoreThatTookNoControlsUnbuilt)
{
    const auto file = folder.getFile ("Design.presets");
    auto written = makeDelayStore();
    ASSERT_TRUE (writeAll (file, "Delay", 3, written).wasOk());

    // The node's store before its control panel registered anything.
    ProcessPresetStore empty;
    empty.setHasFixedDelayControl();
    ASSERT_TRUE (document.loadProcessPresetsFromFile (file, "Delay", 3, empty).wasOk());

    EXPECT_FALSE (empty.isBuilt());
    EXPECT_FALSE (empty.hasBuiltControls());
    EXPECT_EQ (controlNames (empty), (std::vector<juce::String>{ delayName }));
    EXPECT_EQ (presetNames (empty), (std::vector<juce::String>{ "Short" }));

    // A store built before stays built, and one given another store's
    // controls is built by them.
    auto built = makeStore ({ { "Mix", 0x20 }, { "Feedback", 0x21 | secondary } });
    built.setHasFixedDelayControl();
    ASSERT_TRUE (document.loadProcessPresetsFromFile (file, "Delay", 3, built).wasOk());
    EXPECT_TRUE (built.isBuilt());
    EXPECT_EQ (valueOf (built, "Short", "Feedback"), 12u);

    auto root = parse (file);
    auto* group = PresetDocument::findCountGroupElement (*PresetDocument::findPresetClassElement (*root, "Delay"), 1);
    ProcessPresetStore copied;
    document.setStore (&copied);
    ASSERT_TRUE (document.loadProcessPresets (*group, 1, &built));
    EXPECT_TRUE (copied.isBuilt());
    EXPECT_TRUE (copied.hasBuiltControls());

    ProcessPresetStore fromEmpty;
    const ProcessPresetStore noControls;
    document.setStore (&fromEmpty);
    ASSERT_TRUE (document.loadProcessPresets (*group, 1, &noControls));
    EXPECT_FALSE (fromEmpty.isBuilt());
}

TEST_F (PresetFileTest, AStoreOfMoreChannelsStartsFromTheSourcesValuesByName)
{
    // A group for one channel holds only "Gain"; the node of two channels
    // starts each preset from a source that lists its controls in another order.
    auto xml = juce::parseXML ("<CountGroup count=\"1\" TableId=\"-1\"><Preset>"
                               "<Count NumberOfPresets=\"1\" NumberOfControls=\"1\" NumberOfFixedControls=\"1\"/>"
                               "<Controls fixedName1=\"Gain\" fixedNrpn1=\"16\"/>"
                               "<Lists><List name=\"A\" fixedValue1=\"9\"/></Lists></Preset></CountGroup>");

    auto source = makeStore ({ { "Q", 0x12 | secondary }, { "Gain", 0x10 }, { "Freq", 0x11 | secondary } });
    source.setHasFixedDelayControl();
    putPreset (source, "A", { 30, 10, 20 });

    auto store = emptyBiquadStore();
    document.setStore (&store);
    ASSERT_TRUE (document.loadProcessPresets (*xml, 2, &source));

    EXPECT_EQ (valueOf (store, "A", "Gain"), 9u);
    EXPECT_EQ (valueOf (store, "A", "Freq"), 20u);
    EXPECT_EQ (valueOf (store, "A", "Q"), 30u);
}

TEST_F (PresetFileTest, TheDelayControlIsAddedWithoutMarkingAnUnbuiltStoreBuilt)
{
    const auto file = folder.getFile ("Design.presets");
    ProcessPresetStore store;
    store.setHasFixedDelayControl();

    ASSERT_TRUE (writeAll (file, "Delay", 4, store).wasOk());

    EXPECT_FALSE (store.isBuilt());
    ASSERT_TRUE (store.findControl (delayName));
    EXPECT_EQ (store.getDelayCount(), 4u);
    EXPECT_TRUE (PresetDocument::findCountGroupElement (*PresetDocument::findPresetClassElement (*parse (file), "Delay"), 1) !=
                 nullptr);
}

//==============================================================================
TEST_F (PresetFileTest, TheElementCursorBuildsAndOwnsItsElements)
{
    juce::XmlElement root ("PRESETS");

    auto* dropped = document.createElement ("Dropped");
    EXPECT_EQ (document.getCurrentElement(), dropped);

    auto* cls = document.createElement ("Class");
    document.setText ("name", "Biquad");
    document.setInt ("count", -2);
    document.setUnsigned ("key", 0x80000001u);
    document.addChild (root, cls);

    auto* preset = document.createPresetElement (*cls);

    EXPECT_EQ (root.getNumChildElements(), 1);
    EXPECT_EQ (root.getFirstChildElement(), cls);
    EXPECT_EQ (cls->getStringAttribute ("name"), "Biquad");
    EXPECT_EQ (cls->getStringAttribute ("count"), "-2");
    EXPECT_EQ (cls->getStringAttribute ("key"), "2147483649");
    EXPECT_EQ (document.getCurrentElement(), preset);
    EXPECT_EQ (document.getParentElement(), cls);
    EXPECT_TRUE (preset->hasTagName ("Preset"));
}
