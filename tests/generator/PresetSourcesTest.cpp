// The preset sources turn the presets of a project's two preset files into
// the firmware's tables: each case reads a preset document and checks the
// texts (whole files against golden texts, and the pieces a firmware relies
// on one by one), the log, and what the generation leaves in the file.

#include "GeneratorTestSupport.h"
#include "PresetSourceTestDocuments.h"

#include "generator/PresetSourceGenerator.h"
#include "generator/PresetSourceWriter.h"
#include "generator/PresetTableList.h"
#include "generator/UniqueIdentifiers.h"
#include "model/DesignLog.h"
#include "model/PresetTestHelpers.h"

#include <gtest/gtest.h>

#include <random>

using namespace presetsourcetest;

namespace
{
class PresetSourcesTest : public ::testing::Test
{
protected:
    void SetUp() override { clearLog(); }
    void TearDown() override { clearLog(); }

    juce::File writeFile (const juce::String& name, const juce::String& text)
    {
        const auto file = folder.getFile (name);
        EXPECT_TRUE (file.replaceWithText (text));
        return file;
    }

    std::optional<PresetSourceGenerator::Files> processFiles (const juce::String& document, bool biquads = false)
    {
        PresetSourceGenerator generator (design);
        return generator.makeProcessPresetFiles (writeFile ("Design.presets", document), biquads);
    }

    std::optional<PresetSourceGenerator::Files> globalFiles (const juce::String& document, bool biquads = false)
    {
        PresetSourceGenerator generator (design);
        return generator.makeGlobalPresetFiles (writeFile ("Design_global.presets", document), biquads);
    }

    // A document of one class and count group with these controls and lists.
    static juce::String oneClass (const juce::String& className, const juce::String& groupAttributes,
                                  const juce::String& controls, const juce::String& lists, bool global = false)
    {
        const auto cls = "<Class name=\"" + className + "\"><CountGroup " + groupAttributes + "><Preset><Controls " + controls +
                         "/><Lists>" + lists + "</Lists></Preset></CountGroup></Class>";
        return "<PRESETS Version=\"1.01\">" + (global ? "<PresetList>" + cls + "</PresetList>" : cls) + "</PRESETS>";
    }

    PresetTestHelpers::ScratchFolder folder;
    Design design;
};
} // namespace

TEST_F (PresetSourcesTest, ProcessPresetsGiveTheWholePairOfFiles)
{
    const auto files = processFiles (processDocument, true);
    ASSERT_TRUE (files.has_value());

    EXPECT_EQ (files->header, generatortest::goldenText ("presets/processPresets.h", files->header));
    EXPECT_EQ (files->source, generatortest::goldenText ("presets/processPresets.c", files->source));
    EXPECT_EQ (getLogErrorCount(), 0) << getLogText();
}

TEST_F (PresetSourcesTest, ControlTablesCountTheirControlsAndTheWordsOfARow)
{
    const auto files = processFiles (processDocument);
    ASSERT_TRUE (files.has_value());

    // Threshold (format 0), Ratio (format 1) and Attack (format 2, two words).
    EXPECT_TRUE (files->source.contains ("const WORD compressor_controls[5] = { 3, 4, 0x10, 0x4011, 0x8012 };"));
    // A format-0 value, the delay word and a format-3 value: four words.
    EXPECT_TRUE (files->source.contains ("const WORD shortdelay_controls[5] = { 3, 4, 0x30, 0xf00d, 0xc033 };"));
    // A biquad class marks its count for the biquad control.
    EXPECT_TRUE (files->source.contains ("const WORD biquad_c4_controls[5] = { 0x8003, 3, 0x20, 0x4021, 0x22 };"));
    EXPECT_TRUE (files->header.contains ("extern const WORD biquad_c4_controls[5];"));
    EXPECT_TRUE (files->header.contains ("// Biquad[4] preset structure."));
}

TEST_F (PresetSourcesTest, ValueTablesHoldOneRowPerListInControlOrder)
{
    const auto files = processFiles (processDocument);
    ASSERT_TRUE (files.has_value());

    EXPECT_TRUE (files->header.contains (
        "#define\tCOMPRESSOR_PRESET_NB\t2\nextern const PresetCompressor compressor_presets[COMPRESSOR_PRESET_NB];"));
    EXPECT_TRUE (files->source.contains ("const PresetCompressor compressor_presets[COMPRESSOR_PRESET_NB] =\n{\n"
                                         "\t/* Soft */ { 10, 3, 100000 },\n\t/* Hard */ { 20, 7, 5 }\n};\n"));
    // The delay's word holds its count, in its place in the row.
    EXPECT_TRUE (files->source.contains ("/* Echo */ { 5, 48, 70000 }"));
    EXPECT_TRUE (files->header.contains (
        "\tWORD parameter1; // Time\n\tWORD parameter2; // -/-delay-/-\n\tDWORD parameter3; // Feedback\n"));
}

TEST_F (PresetSourcesTest, TheLoaderPassesOverTheDelayWord)
{
    const auto files = PresetSourceGenerator::makeLoaderOnlyFiles (false);

    EXPECT_EQ (files.source, generatortest::goldenText ("presets/loaderOnly.c", files.source));
    EXPECT_EQ (files.header, generatortest::goldenText ("presets/loaderOnly.h", files.header));
    EXPECT_TRUE (files.source.contains ("\t\t\t// Delay preset extra data\n\t\t\tpresetArrayPointer++;\n\t\t\tcontinue;"));
    EXPECT_FALSE (files.source.contains ("biquadSetLoadingPreset"));
    EXPECT_TRUE (files.source.endsWith ("\t}\n}\n"));

    const auto withBiquads = PresetSourceGenerator::makeLoaderOnlyFiles (true);
    EXPECT_TRUE (withBiquads.source.contains ("// Include files needed for handling biquad functions\n#include <math.h>\n"
                                              "#include \"quellion.h\"\n#include \"BiquadCtrl.h\"\n\n"));
    EXPECT_TRUE (withBiquads.source.contains ("\tbiquadSetLoadingPreset( preset_count_biquad >> 15 );\n"));
    EXPECT_TRUE (withBiquads.source.endsWith ("\t}\n\tbiquadSetLoadingPreset( 0 );\n}\n"));
}

TEST_F (PresetSourcesTest, ALibraryBiquadIsMarkedLikeTheBiquadClasses)
{
    auto reader = generatortest::readLibrary (generatortest::sampleDescription());
    design.setLibrary (&reader->getLibrary());
    PresetSourceGenerator generator (design);

    EXPECT_TRUE (generator.isBiquadClass ("ParamEq8"));
    EXPECT_TRUE (generator.isBiquadClass ("Biquad"));
    EXPECT_TRUE (generator.isBiquadClass ("BiquadEx"));
    EXPECT_FALSE (generator.isBiquadClass ("Compressor"));

    const auto files = generator.makeProcessPresetFiles (
        writeFile ("Design.presets",
                   oneClass ("ParamEq8", "count=\"1\"", "Name1=\"Gain\" Nrpn1=\"16\"", "<List name=\"A\" Value1=\"1\"/>")),
        true);
    ASSERT_TRUE (files.has_value());
    EXPECT_TRUE (files->source.contains ("const WORD parameq8_controls[3] = { 0x8001, 1, 0x10 };"));
    design.setLibrary (nullptr);
}

TEST_F (PresetSourcesTest, NoPresetTableGivesNoFiles)
{
    // No file, a class without controls, a group without a list, no "Preset".
    PresetSourceGenerator generator (design);
    EXPECT_FALSE (generator.makeProcessPresetFiles (folder.getFile ("none.presets"), false).has_value());
    EXPECT_FALSE (processFiles (oneClass ("Empty", "count=\"1\"", "", "<List name=\"A\"/>")).has_value());
    EXPECT_FALSE (processFiles (oneClass ("NoList", "count=\"1\"", "Name1=\"x\" Nrpn1=\"1\"", "")).has_value());
    EXPECT_FALSE (processFiles ("<PRESETS><Class name=\"X\"><CountGroup count=\"1\"/></Class></PRESETS>").has_value());
    EXPECT_EQ (getLogErrorCount(), 0);

    // The stored stores of the global file are not process presets.
    EXPECT_FALSE (processFiles (oneClass ("Stored", "count=\"1\" TableId=\"0\"", "Name1=\"x\" Nrpn1=\"1\"",
                                          "<List name=\"A\" Value1=\"1\"/>", true))
                      .has_value());
}

TEST_F (PresetSourcesTest, ADamagedFileIsReportedAndGivesNoFiles)
{
    EXPECT_FALSE (processFiles ("<PRESETS><Class name=").has_value());
    EXPECT_EQ (getLogErrorCount(), 1);
    EXPECT_TRUE (getLogText().contains ("cannot be read"));
}

TEST_F (PresetSourcesTest, MissingAndBadValuesAreWrittenAsZeroAndReported)
{
    const auto files =
        processFiles (oneClass ("Gain", "count=\"1\"", "fixedName1=\"Level\" fixedNrpn1=\"17\" Name1=\"Mute\" Nrpn1=\"18\"",
                                "<List name=\"A\" fixedValue1=\"5\"/>"
                                "<List name=\"B\" fixedValue1=\"0x10\" Value1=\"1}; int x[] = {2\"/>"
                                "<List name=\"C\" fixedValue1=\"-1\" Value1=\"70000\"/>"));
    ASSERT_TRUE (files.has_value());

    // Sized from the lists that are there, whatever a count claims.
    EXPECT_TRUE (files->source.contains ("{\n\t/* A */ { 5, 0 },\n\t/* B */ { 0, 0 },\n\t/* C */ { 65535, 4464 }\n};"));
    EXPECT_FALSE (files->source.contains ("int x"));
    EXPECT_EQ (getLogErrorCount(), 2);
    EXPECT_TRUE (getLogText().contains ("\"Value1\" of \"A\", \"fixedValue1\" of \"B\", \"Value1\" of \"B\""));
    EXPECT_TRUE (getLogText().contains ("values wider than 16 bits cut to 16 bits: Level of \"C\", Mute of \"C\""));
}

// A damaged file may miss thousands of values: the log names twenty and
// counts the rest. A group of more controls than a process has is no
// table of ours: it is left out rather than written row by row.
TEST_F (PresetSourcesTest, ThousandsOfBadValuesAreCountedAndAGroupOfTooManyControlsLeftOut)
{
    juce::String lists;

    for (int i = 0; i < 30; ++i)
        lists << "<List name=\"P" << i << "\" fixedValue1=\"99999\"/>";

    auto files = processFiles (
        oneClass ("Gain", "count=\"1\"", "fixedName1=\"Level\" fixedNrpn1=\"17\" Name1=\"Mute\" Nrpn1=\"18\"", lists));
    ASSERT_TRUE (files.has_value());
    EXPECT_TRUE (getLogText().contains (": missing or not a number, taken as 0: \"Value1\" of \"P0\", \"Value1\" of \"P1\", "));
    EXPECT_TRUE (getLogText().contains ("\"Value1\" of \"P19\" and 10 more.\n")) << getLogText();
    EXPECT_TRUE (getLogText().contains ("cut to 16 bits: Level of \"P0\", ")) << getLogText();
    EXPECT_TRUE (getLogText().contains ("Level of \"P19\" and 10 more.\n")) << getLogText();

    juce::String controls;

    for (int i = 1; i <= 256; ++i)
        controls << "Name" << i << "=\"C" << i << "\" Nrpn" << i << "=\"" << i << "\" ";

    clearLog();
    EXPECT_FALSE (processFiles (oneClass ("Wide", "count=\"1\"", controls, "<List name=\"A\" Value1=\"1\"/>")).has_value());
    EXPECT_TRUE (getLogText().contains ("Preset table of \"Wide\" (count 1): it names 256 controls, more than the 255 of a "
                                        "process; the table is left out.\n"))
        << getLogText();
}

// A list that lacks its values is one problem of the log, and a table whose
// lists lack more values than they hold (beyond one row's worth) is left
// out: it would be a table of zeros growing with the file's lists.
TEST_F (PresetSourcesTest, ListsWithoutTheirValuesAreReportedOnceAndNeverMakeATableOfZeros)
{
    const auto controls = "fixedName1=\"Level\" fixedNrpn1=\"17\" Name1=\"Mute\" Nrpn1=\"18\"";
    const auto full = juce::String ("<List name=\"A\" fixedValue1=\"5\" Value1=\"1\"/>");
    const struct
    {
        juce::String lists, rows, log;
    } cases[] = {
        { full + "<List name=\"B\"/>", "/* A */ { 5, 1 },\n\t/* B */ { 0, 0 }\n", "taken as 0: every value of \"B\".\n" },
        { "<List name=\"B\"/>", "/* B */ { 0, 0 }\n", "taken as 0: every value of \"B\".\n" },
        { full + "<List name=\"B\" Value1=\"2\"/><List name=\"C\" fixedValue1=\"3\"/>", "/* B */ { 0, 2 },\n\t/* C */ { 3, 0 }\n",
          "taken as 0: \"fixedValue1\" of \"B\", \"Value1\" of \"C\".\n" },
        { full + "<List name=\"B\"/><List name=\"C\"/><List name=\"D\"/>",
          {},
          "Preset table of \"Gain\" (count 1): its 4 presets hold 2 of their 8 values; the table is left out.\n" },
        { "<List name=\"B\" Value1=\"2\"/><List name=\"C\"/>",
          {},
          "Preset table of \"Gain\" (count 1): its 2 presets hold 1 of their 4 values; the table is left out.\n" },
    };

    for (const auto& c : cases)
    {
        clearLog();
        const auto files = processFiles (oneClass ("Gain", "count=\"1\"", controls, c.lists));
        EXPECT_EQ (files.has_value(), c.rows.isNotEmpty()) << c.lists;
        EXPECT_TRUE (! files.has_value() || files->source.contains (c.rows)) << c.lists << "\n" << files->source;
        EXPECT_EQ (getLogErrorCount(), 1) << c.lists << "\n" << getLogText();
        EXPECT_TRUE (getLogText().contains (c.log)) << c.lists << "\n" << getLogText();
    }
}

TEST_F (PresetSourcesTest, NamesFromTheFileNeverBreakTheSource)
{
    const auto files = processFiles (oneClass ("3 Band*/EQ", "count=\"2\"", "Name1=\"a */ b\\\" Nrpn1=\"1\"",
                                               "<List name=\"x&#10;#define y */\" Value1=\"1\"/>"));
    ASSERT_TRUE (files.has_value());

    EXPECT_TRUE (files->header.contains ("typedef struct PresetClass3_Band__EQ_c2"));
    EXPECT_TRUE (files->header.contains ("// a * / b/\n"));
    EXPECT_TRUE (files->source.contains ("// 3 Band* /EQ[2] preset list."));
    EXPECT_TRUE (files->source.contains ("/* x #define y * / */ { 1 }"));
}

TEST_F (PresetSourcesTest, ClassNamesThatSanitiseAlikeGetNamesOfTheirOwn)
{
    const auto twoClasses = "<PRESETS>"
                            "<Class name=\"Mixer 4x2\"><CountGroup count=\"1\"><Preset><Controls Name1=\"a\" Nrpn1=\"1\"/>"
                            "<Lists><List name=\"A\" Value1=\"1\"/></Lists></Preset></CountGroup></Class>"
                            "<Class name=\"mixer_4X2\"><CountGroup count=\"1\"><Preset><Controls Name1=\"a\" Nrpn1=\"1\"/>"
                            "<Lists><List name=\"A\" Value1=\"1\"/></Lists></Preset></CountGroup></Class>"
                            "</PRESETS>";
    const auto files = processFiles (twoClasses);
    ASSERT_TRUE (files.has_value());

    EXPECT_TRUE (files->source.contains ("mixer_4x2_controls[3]"));
    EXPECT_TRUE (files->source.contains ("mixer_4x2_2_controls[3]"));
    EXPECT_TRUE (files->header.contains ("#define\tMIXER_4X2_PRESET_NB\t1"));
    EXPECT_TRUE (files->header.contains ("#define\tMIXER_4X2_2_PRESET_NB\t1"));
    EXPECT_TRUE (files->header.contains ("typedef struct PresetMixer_4x2\n"));
    EXPECT_TRUE (files->header.contains ("typedef struct PresetMixer_4X2_2\n"));
}

TEST (UniqueIdentifiersTest, EveryNameIsFreeInAnyCaseAndTakesTheLowestFreeNumber)
{
    // Names that collide in every way: alike, in another case, and with a
    // name that is some other's numbered form.
    const char* const bases[] = { "gain", "GAIN", "gain_2", "Gain_3", "gain_2_2", "eq" };
    std::mt19937 random (11);
    UniqueIdentifiers identifiers;
    juce::StringArray given;

    for (int i = 0; i < 400; ++i)
    {
        const juce::String base (bases[random() % std::size (bases)]);
        const auto name = identifiers.take (base);

        ASSERT_FALSE (given.contains (name, true)) << name;
        ASSERT_TRUE (name == base || name.startsWith (base + "_")) << name;

        // Every lower number was given out already.
        const auto number = name == base ? 1 : name.substring (base.length() + 1).getIntValue();
        ASSERT_TRUE (number == 1 || given.contains (base, true)) << name;

        for (int lower = 2; lower < number; ++lower)
            ASSERT_TRUE (given.contains (base + "_" + juce::String (lower), true)) << name;

        given.add (name);
    }
}

TEST_F (PresetSourcesTest, ADelayControlAnnouncedButUnnamedIsAddedToTheFileOnce)
{
    const auto document = oneClass ("LongDelay", "count=\"1\"", "fixedName1=\"Time\" fixedNrpn1=\"48\" delay=\"1\"",
                                    "<List name=\"A\" fixedValue1=\"5\" delayCount=\"96\"/>");
    const auto file =
        writeFile ("Design.presets", "<PRESETS Version=\"1.01\">" + document.fromFirstOccurrenceOf ("<Class", true, false));
    // A count element, whose counts follow the control added.
    auto root = juce::parseXML (file);
    root->getChildByName ("Class")
        ->getChildByName ("CountGroup")
        ->getChildByName ("Preset")
        ->prependChildElement (new juce::XmlElement ("Count"));
    root->getChildByName ("Class")
        ->getChildByName ("CountGroup")
        ->getChildByName ("Preset")
        ->getChildByName ("Count")
        ->setAttribute ("NumberOfFixedControls", 1);
    ASSERT_TRUE (root->writeTo (file));

    PresetSourceGenerator generator (design);
    const auto files = generator.makeProcessPresetFiles (file, false);
    ASSERT_TRUE (files.has_value());
    EXPECT_TRUE (files->source.contains ("const WORD longdelay_controls[4] = { 2, 2, 0x30, 0xf00d };"));
    EXPECT_TRUE (files->source.contains ("/* A */ { 5, 96 }"));

    const auto completed = juce::parseXML (file);
    auto* preset = completed->getChildByName ("Class")->getChildByName ("CountGroup")->getChildByName ("Preset");
    EXPECT_EQ (preset->getChildByName ("Controls")->getStringAttribute ("fixedName2"), "-/-delay-/-");
    EXPECT_EQ (preset->getChildByName ("Controls")->getStringAttribute ("fixedNrpn2"), "99282957");
    EXPECT_EQ (preset->getChildByName ("Count")->getIntAttribute ("NumberOfFixedControls"), 2);
    EXPECT_EQ (preset->getChildByName ("Count")->getIntAttribute ("NumberOfControls"), 1);

    // A file that needs nothing is left as it is.
    const auto before = file.loadFileAsString();
    ASSERT_TRUE (file.setLastModificationTime (juce::Time (2001, 0, 1, 0, 0)));
    EXPECT_TRUE (generator.makeProcessPresetFiles (file, false).has_value());
    EXPECT_EQ (file.loadFileAsString(), before);
    EXPECT_EQ (file.getLastModificationTime().getYear(), 2001);
}

//==============================================================================
TEST_F (PresetSourcesTest, GlobalPresetsOfEqualShapeGiveTheWholePairOfFiles)
{
    addGlobalPreset (design, "GlobalPresetA", { { 1, { key (2, 0, 0) } }, { 2, { key (1, 0, 2) } } });
    addGlobalPreset (design, "GlobalPresetB", { { 1, { key (2, 1, 0) } }, { 2, { key (1, 0, 2) } } });

    const auto files = globalFiles (globalDocument);
    ASSERT_TRUE (files.has_value());

    EXPECT_EQ (files->header, generatortest::goldenText ("presets/globalPresets.h", files->header));
    EXPECT_EQ (files->source, generatortest::goldenText ("presets/globalPresets.c", files->source));
    EXPECT_EQ (getLogErrorCount(), 0) << getLogText();

    EXPECT_TRUE (files->source.contains ("#define\tGLOBAL_NUMBER_OF_DSP\t2\n"));
    EXPECT_TRUE (
        files->source.contains ("const DWORD globalPreset[2][4] =\n{\n"
                                "\t/* GlobalPresetA */ { /* DSP#1 */ 0x10001, 0x2, /* DSP#2 */ 0x20001, 0x200001 },\n"
                                "\t/* GlobalPresetB */ { /* DSP#1 */ 0x10001, 0x102, /* DSP#2 */ 0x20001, 0x200001 }\n};"));
    EXPECT_TRUE (files->source.endsWith ("\t\t}\n\t}\n}\n"));
}

TEST_F (PresetSourcesTest, TheTablesOfTablesPutEachTableAtItsId)
{
    addGlobalPreset (design, "A", { { 1, { key (2, 0, 0) } } });
    const auto files = globalFiles (globalDocument);
    ASSERT_TRUE (files.has_value());

    EXPECT_TRUE (files->header.contains ("#define\tNUMBER_OF_PRESET_TABLE\t3\n"));
    EXPECT_TRUE (files->source.contains ("const WORD_FAR_P global_preset_table_address[NUMBER_OF_PRESET_TABLE] =\n{\n"
                                         "\tFARPTR((const WORD*)&global_compressor_presets),\n"
                                         "\tFARPTR((const WORD*)0), FARPTR((const WORD*)&global_gain_presets)\n};"));
    EXPECT_TRUE (files->source.contains ("global_preset_control_table_address[NUMBER_OF_PRESET_TABLE] =\n{\n"
                                         "\tFARPTR((const WORD*)&global_compressor_controls),\n"));
    // The root-level classes are the process presets' own.
    EXPECT_FALSE (files->source.contains ("ignored"));
}

TEST_F (PresetSourcesTest, SixTablesLieOneFourAndOnePerLine)
{
    juce::String classes;

    for (int id = 0; id < 6; ++id)
        classes << "<Class name=\"C" << id << "\"><CountGroup count=\"1\" TableId=\"" << id
                << "\"><Preset><Controls Name1=\"a\" Nrpn1=\"1\"/><Lists><List name=\"A\" "
                   "Value1=\"1\"/></Lists></Preset></CountGroup></Class>";

    addGlobalPreset (design, "A", { { 1, { key (1, 0, 5) } } });
    const auto files = globalFiles ("<PRESETS><PresetList>" + classes + "</PresetList></PRESETS>");
    ASSERT_TRUE (files.has_value());

    const auto start =
        files->source.fromFirstOccurrenceOf ("global_preset_table_address[NUMBER_OF_PRESET_TABLE] =\n{\n", false, false)
            .upToFirstOccurrenceOf ("\n};", false, false);
    const auto lines = juce::StringArray::fromLines (start);
    ASSERT_EQ (lines.size(), 3);
    EXPECT_EQ (lines[0], "\tFARPTR((const WORD*)&global_c0_presets),");
    EXPECT_EQ (lines[1].upToLastOccurrenceOf (",", false, false).length() > 0, true);
    EXPECT_EQ (juce::StringArray::fromTokens (lines[1], ",", "").size(), 5); // four entries and the line's end
    EXPECT_EQ (lines[2], "\tFARPTR((const WORD*)&global_c5_presets)");
}

TEST_F (PresetSourcesTest, RowsAreAsWideAsTheWidestGlobalPresetNeeds)
{
    // A second preset with fewer tables and keys, and a third with more keys
    // but one table: each row holds every DSP cell the loader reads.
    addGlobalPreset (design, "A", { { 1, { key (2, 0, 0) } }, { 2, { key (1, 0, 2) } } });
    addGlobalPreset (design, "Shorter", { { 1, {} } });
    addGlobalPreset (design, "Longer", { { 1, { key (2, 0, 0), key (3, 1, 0), key (4, 0, 2) } } });

    const auto files = globalFiles (globalDocument);
    ASSERT_TRUE (files.has_value());

    EXPECT_TRUE (files->source.contains ("#define\tGLOBAL_NUMBER_OF_DSP\t2\n"));
    EXPECT_TRUE (files->source.contains ("const DWORD globalPreset[3][5] =\n{\n"
                                         "\t/* A */ { /* DSP#1 */ 0x10001, 0x2, /* DSP#2 */ 0x20001, 0x200001, 0 },\n"
                                         "\t/* Shorter */ { /* DSP#1 */ 0x10000, 0, 0, 0, 0 },\n"
                                         "\t/* Longer */ { /* DSP#1 */ 0x10003, 0x2, 0x103, 0x200004, 0 }\n};"));
    EXPECT_TRUE (files->header.contains ("extern const DWORD globalPreset[3][5];"));
    EXPECT_EQ (getLogErrorCount(), 0) << getLogText();
}

TEST_F (PresetSourcesTest, KeysTheTablesCannotServeAreResolvedOrLeftOut)
{
    // The stored store of table 0 holds both presets; its current one is 1.
    ProcessPresetStore stored;
    stored.selectOrAddPreset ("P0", 0, true);
    stored.selectOrAddPreset ("P1", 0, true);
    stored.setTableId (0);
    ASSERT_TRUE (design.getPresetStores().addStoredStore ("Compressor", 1, std::make_unique<ProcessPresetStore> (stored)));

    addGlobalPreset (design, "A", { { 1, { key (2, 0xFFF, 0), key (3, 0, 1), key (4, 2, 0), key (5, 0, 9) } } });
    const auto files = globalFiles (globalDocument);
    ASSERT_TRUE (files.has_value());

    EXPECT_TRUE (files->source.contains ("/* A */ { /* DSP#1 */ 0x10001, 0x102 }"));
    EXPECT_EQ (getLogErrorCount(), 3);
    EXPECT_TRUE (getLogText().contains (
        "Global preset \"A\", process 3: its key names preset table 1, which holds no preset; left out in DSP#1"));
    EXPECT_TRUE (
        getLogText().contains ("process 4: its key names a preset that preset table 0 does not hold; left out in DSP#1"));
    EXPECT_TRUE (getLogText().contains ("process 5: its key names preset table 9"));
}

// A damaged global preset file may hold thousands of keys that name
// nothing, and one global preset far wider than the others: the log names
// twenty keys of a kind and counts the rest, and rows that would be mostly
// padding give no global preset rather than a table growing with the
// square of the file.
TEST_F (PresetSourcesTest, KeysThatNameNothingAreCountedAndRowsOfMostlyPaddingGiveNoGlobalPreset)
{
    auto& list = design.getGlobalPresets();
    auto& wide = list.appendNew ("Wide").appendNewTable (1);

    for (int i = 0; i < 2000; ++i)
        wide.appendRawKey (key (2, 0, 0));

    for (int i = 0; i < 25; ++i)
        list.appendNew ("Bad" + juce::String (i)).appendNewTable (1).appendRawKey (key (3, 0, 9));

    auto files = globalFiles (globalDocument);
    ASSERT_TRUE (files.has_value());
    EXPECT_TRUE (files->source.contains ("const DWORD globalPreset[26][2001] =")) << "padded, yet mostly keys";
    EXPECT_EQ (getLogErrorCount(), 21) << getLogText();
    EXPECT_TRUE (getLogText().contains ("Global preset \"Bad19\", process 3: its key names preset table 9"));
    EXPECT_FALSE (getLogText().contains ("Global preset \"Bad20\""));
    EXPECT_TRUE (
        getLogText().contains ("Global presets: 5 more keys that name a preset table which holds no preset are left out.\n"));

    for (int i = 0; i < 40; ++i)
        list.appendNew ("Empty" + juce::String (i)).appendNewTable (1);

    clearLog();
    EXPECT_FALSE (globalFiles (globalDocument).has_value());
    EXPECT_TRUE (getLogText().contains ("Global presets: rows as wide as the widest (2001 cells) would pad the 2066 cells "
                                        "they hold with 130000 zeros; no global preset is generated.\n"))
        << getLogText();
}

TEST_F (PresetSourcesTest, ZeroGlobalPresetsGiveNoGlobalFiles)
{
    EXPECT_FALSE (globalFiles (globalDocument).has_value());

    // Presets without a DSP table have no cell at all.
    addGlobalPreset (design, "Empty", {});
    EXPECT_FALSE (globalFiles (globalDocument).has_value());
    EXPECT_EQ (getLogErrorCount(), 0);
}

TEST_F (PresetSourcesTest, TableIdsNoKeyCanNameAreLeftOutOfTheGlobalTables)
{
    const auto stores = "<PRESETS><PresetList>"
                        "<Class name=\"A\"><CountGroup count=\"1\" TableId=\"0\"><Preset><Controls Name1=\"a\" Nrpn1=\"1\"/>"
                        "<Lists><List name=\"A\" Value1=\"1\"/></Lists></Preset></CountGroup></Class>"
                        "<Class name=\"B\"><CountGroup count=\"1\" TableId=\"0\"><Preset><Controls Name1=\"a\" Nrpn1=\"1\"/>"
                        "<Lists><List name=\"A\" Value1=\"2\"/></Lists></Preset></CountGroup></Class>"
                        "<Class name=\"C\"><CountGroup count=\"1\" TableId=\"4096\"><Preset><Controls Name1=\"a\" Nrpn1=\"1\"/>"
                        "<Lists><List name=\"A\" Value1=\"3\"/></Lists></Preset></CountGroup></Class>"
                        "</PresetList></PRESETS>";
    addGlobalPreset (design, "G", { { 1, { key (1, 0, 0) } } });
    const auto files = globalFiles (stores);
    ASSERT_TRUE (files.has_value());

    EXPECT_TRUE (files->header.contains ("#define\tNUMBER_OF_PRESET_TABLE\t1\n"));
    EXPECT_TRUE (files->source.contains ("global_a_presets"));
    EXPECT_FALSE (files->source.contains ("global_b_presets"));
    EXPECT_FALSE (files->source.contains ("global_c_presets"));
    EXPECT_EQ (getLogErrorCount(), 2);
}

TEST_F (PresetSourcesTest, TheGlobalFileRaisesTheTableCounterButNeverLowersIt)
{
    addGlobalPreset (design, "A", { { 1, { key (2, 0, 0) } } });
    ASSERT_TRUE (globalFiles (globalDocument).has_value());
    EXPECT_EQ (design.getPresetStores().getTableCounter(), 2);

    design.getPresetStores().setTableCounter (7);
    ASSERT_TRUE (globalFiles (globalDocument).has_value());
    EXPECT_EQ (design.getPresetStores().getTableCounter(), 7);
}

TEST_F (PresetSourcesTest, ProcessAndGlobalNamesNeverMeet)
{
    const auto processClass =
        oneClass ("global_Gain", "count=\"1\"", "Name1=\"a\" Nrpn1=\"1\"", "<List name=\"A\" Value1=\"1\"/>");
    const auto storedClass =
        oneClass ("Gain", "count=\"1\" TableId=\"0\"", "Name1=\"a\" Nrpn1=\"1\"", "<List name=\"A\" Value1=\"1\"/>", true);
    addGlobalPreset (design, "A", { { 1, { key (1, 0, 0) } } });

    PresetSourceGenerator generator (design);
    const auto process = generator.makeProcessPresetFiles (writeFile ("Design.presets", processClass), false);
    const auto global = generator.makeGlobalPresetFiles (writeFile ("Design_global.presets", storedClass), false);
    ASSERT_TRUE (process.has_value() && global.has_value());

    EXPECT_TRUE (process->source.contains ("global_gain_presets"));
    EXPECT_TRUE (global->source.contains ("global_gain_2_presets"));
}
