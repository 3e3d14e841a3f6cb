#include "ProjectTestDesigns.h"
#include "support/EarlierDelayPresets.h"

#include "model/DesignLog.h"
#include "model/ModuleLibrary.h"
#include "model/ProcessGraphEdits.h"
#include "model/ProjectCommandList.h"
#include "model/ProjectFile.h"
#include "model/ProjectFileReader.h"
#include "model/XmlFileAccess.h"
#include "model/XmlShapeCheck.h"

#include <gtest/gtest.h>

using projecttest::DesignBuilder;
using projecttest::LibraryAndDesign;

namespace
{
// A project folder of its own with a project file "demo.zqp" in it; the
// working directory (which the settings move) comes back afterwards.
class ProjectFileTest : public ::testing::Test
{
protected:
    ProjectFileTest()
    {
        clearLog();
        clearDesignFlags();
        folder.createDirectory();
        file.replaceWithText ({});
    }

    ~ProjectFileTest() override
    {
        workingDirectory.setAsCurrentWorkingDirectory();
        folder.deleteRecursively();
        clearLog();
    }

    // The design's project is demo.zqp in the folder, generating into "out".
    void placeInFolder (Design& design)
    {
        auto& settings = design.getSettings();
        settings.setProjectName ("demo");
        settings.setProjectFolder (folder.getFullPathName());
        settings.setProjectFile (file.getFullPathName());
        folder.getChildFile ("out").createDirectory();
        settings.setOutputDirectory (folder.getChildFile ("out").getFullPathName());
    }

    juce::String save (Design& design, const juce::File& target)
    {
        const auto result = ProjectFile::save (design, target, options);
        EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();
        return target.loadFileAsString();
    }

    // The text read and installed into the design as though opened from the file.
    ProjectFileContent open (const juce::String& text, Design& design)
    {
        auto loaded = ProjectFile::parse (text, *design.getLibrary());

        if (loaded.content == nullptr)
        {
            ADD_FAILURE() << "refused: " << loaded.result.getErrorMessage();
            return {};
        }

        ProjectFile::install (*loaded.content, file, design);
        return std::move (*loaded.content);
    }

    static juce::String project (const juce::String& inside, const juce::String& rootAttributes = "Version=\"1.01\"")
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<OSTRANE_QUELLION_Configuration " + rootAttributes + ">" + inside +
               "</OSTRANE_QUELLION_Configuration>";
    }

    juce::File workingDirectory = juce::File::getCurrentWorkingDirectory();
    juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getChildFile ("vx-project-" + juce::String::toHexString (juce::Random().nextInt64()));
    juce::File file = folder.getChildFile ("demo.zqp");
    ProjectFileWriter::Options options{ 1280, 800 };
};

const char* const eqProcess = "<Process PositionX=\"0.5\" PositionY=\"0.5\" Index=\"0\" Name=\"My EQ\" ProcessId=\"513\" "
                              "NCount=\"3221225474\" MemoryDelay=\"1\" nrpn=\"1\"/>";

juce::String dspWith (const juce::String& processes, const juce::String& attributes = "Index=\"1\" ModuleId=\"33\"")
{
    return "<DSPs><DSP " + attributes + " Name=\"DSP\" nrpn=\"1\"><Processes>" + processes + "</Processes></DSP></DSPs>";
}
} // namespace

TEST_F (ProjectFileTest, SavedDesignMatchesTheGoldenFileAndReopensByteIdentical)
{
    LibraryAndDesign built;
    projecttest::buildSampleDesign (built.design);
    placeInFolder (built.design);
    const auto first = save (built.design, file);

    EXPECT_EQ (first, projecttest::goldenText ("sample.zqp", first));

    LibraryAndDesign reopened;
    const auto content = open (first, reopened.design);
    EXPECT_TRUE (content.problems.isEmpty()) << content.problems.joinIntoString ("\n");
    EXPECT_TRUE (content.compatibilityIssues.isEmpty());
    EXPECT_EQ (projecttest::compareDesigns (built.design, reopened.design), juce::String());
    EXPECT_EQ (reopened.design.getSettings().getOutputDirectory(), folder.getChildFile ("out"));
    EXPECT_EQ (reopened.design.findDsp (1)->getGraph().getNode (0)->loadText, "26.02%") << "as the box computes it";

    const auto second = save (reopened.design, file);
    EXPECT_EQ (second, first);
}

// A design saved while the sample's equaliser had gain, frequency, Q and
// bypass sliders where its bands now stand: those commands name no function
// it has now, so its control numbers are built afresh, as a new box builds
// them, rather than taken over by other functions.
TEST_F (ProjectFileTest, AnEqualiserSavedWithItsEarlierFunctionsTakesFreshControlNumbers)
{
    LibraryAndDesign built;
    projecttest::buildSampleDesign (built.design);
    placeInFolder (built.design);
    auto text = save (built.design, file);
    const auto commands =
        text.fromFirstOccurrenceOf ("<Commands C_pdateCoeff", true, false).upToFirstOccurrenceOf ("/>", true, false);
    ASSERT_TRUE (commands.contains ("C_Eq8_Bypass=")) << "the equaliser is the design's first process";
    text = text.replace (commands, "<Commands C_pdateCoeff=\"00000000\" C_iquad_Flat=\"00000000\" C_q8_SetGain=\"00000100\" "
                                   "C_tFrequency=\"0000011F\" C_Eq8_SetQ=\"0000013E\" C__SetBypass=\"0000015D\"/>");

    LibraryAndDesign reopened;
    const auto content = open (text, reopened.design);
    EXPECT_TRUE (content.problems.isEmpty()) << content.problems.joinIntoString ("\n");
    const auto& eq = *reopened.design.findDsp (1)->getGraph().getNode (0);
    GraphNode fresh (eq.getId(), eq.nrpn, eq.getName(), true, eq.getProcessDefinition(), 0.5, 0.5);
    fresh.buildControlIds();
    EXPECT_EQ (eq.commandWords, fresh.commandWords);
}

TEST_F (ProjectFileTest, LargestDesignRoundTripsWhole)
{
    LibraryAndDesign built;
    projecttest::buildLargestDesign (built.design);
    placeInFolder (built.design);

    // Two stores of the most controls a store holds, fixed in one and
    // secondary in the other: the most attribute names a file of ours holds.
    for (auto* node : { built.design.findDsp (1)->getGraph().getNode (0), built.design.findDsp (1)->getGraph().getNode (1) })
    {
        auto& store = node->presetStore;
        const auto kind = node->getId() == 1 ? 0u : 0x80000000u;
        store.markBuilding();

        for (uint32_t c = 4; c < (uint32_t) ProcessPresetStore::maxControls; ++c)
            ASSERT_TRUE (store.addOrUpdateControl ((c + 1) | kind, "Control " + juce::String (c), true));

        store.markBuilt();
        store.padValuesToControlCount();
    }

    const auto first = ProjectFile::createXml (built.design, options)->toString();
    EXPECT_EQ (XmlShapeCheck::findProblem (first), juce::String());

    LibraryAndDesign reopened;
    const auto content = open (first, reopened.design);
    EXPECT_TRUE (content.problems.isEmpty()) << content.problems[0];
    EXPECT_EQ (content.getProcessCount(), 16 * 63);
    EXPECT_EQ (reopened.design.findDsp (16)->getGraph().getNumConnections(), 62);
    EXPECT_EQ (reopened.getLibrary().getDspCapacity(), 16);
    EXPECT_EQ (projecttest::compareDesigns (built.design, reopened.design), juce::String());
    EXPECT_EQ (ProjectFile::createXml (reopened.design, options)->toString(), first);
}

TEST_F (ProjectFileTest, RootAttributesFollowTheCommandViewAndTheCreatingVersion)
{
    LibraryAndDesign fresh;
    auto xml = ProjectFile::createXml (fresh.design, options);
    EXPECT_EQ (xml->getAttributeName (0), "Version");
    EXPECT_EQ (xml->getStringAttribute ("SoftwareVersion"), "1.3.3.6");
    EXPECT_EQ (xml->getStringAttribute ("CreatedWith"), "1.3.3.6") << "a project never opened is created by this version";
    EXPECT_FALSE (xml->hasAttribute ("cmd"));

    // "cmd" counts by its presence; "CreatedWith" stays what the file says.
    LibraryAndDesign opened;
    const auto content = open (project ("", "Version=\"1.01\" CreatedWith=\"1.2.0.9\" cmd=\"0\""), opened.design);
    EXPECT_TRUE (content.commandView);
    EXPECT_TRUE (opened.design.getSettings().isCommandViewOn());
    xml = ProjectFile::createXml (opened.design, options);
    EXPECT_EQ (xml->getStringAttribute ("CreatedWith"), "1.2.0.9");
    EXPECT_EQ (xml->getStringAttribute ("cmd"), "1");
}

TEST_F (ProjectFileTest, OlderFilesTakeProcessNamesFromTheDefinitions)
{
    struct Case
    {
        const char* version;
        const char* expectedName;
    };

    for (const auto& c : { Case{ "1.00", "ParamEq8" }, Case{ "1.01", "My EQ" }, Case{ nullptr, "ParamEq8" } })
    {
        LibraryAndDesign opened;
        const auto attributes = c.version != nullptr ? "Version=\"" + juce::String (c.version) + "\"" : juce::String();
        open (project (dspWith (eqProcess), attributes), opened.design);
        auto* node = opened.design.findDsp (1)->getGraph().getNode (0);
        ASSERT_NE (node, nullptr);
        EXPECT_EQ (node->getName(), c.expectedName) << (c.version != nullptr ? c.version : "no version");
    }
}

TEST_F (ProjectFileTest, AProcessMissingFromTheDefinitionsStaysAndKeepsItsConnections)
{
    // The middle process is unknown: it is logged, marked, kept, and written
    // again, so that the connections still join the same processes.
    const auto processes = juce::String (eqProcess) +
                           "<Process Index=\"1\" Name=\"Old\" ProcessId=\"999\" InNb=\"2\" OutNb=\"1\" NCount=\"1\" nrpn=\"2\"/>"
                           "<Process Index=\"2\" Name=\"Comp\" ProcessId=\"515\" NCount=\"3221225474\" nrpn=\"3\"/>";
    const auto connections = "<ProcessConnections>"
                             "<ProcessConnection SrcNodeId=\"1\" SrcChnIndex=\"0\" DstNodeId=\"2\" DstChnIndex=\"1\"/>"
                             "<ProcessConnection SrcNodeId=\"2\" SrcChnIndex=\"0\" DstNodeId=\"3\" DstChnIndex=\"0\"/>"
                             "</ProcessConnections>";
    const auto text = project ("<DSPs><DSP Index=\"1\" ModuleId=\"33\" Name=\"DSP\" nrpn=\"1\">" + juce::String (connections) +
                               "<Processes>" + processes + "</Processes></DSP></DSPs>");

    LibraryAndDesign opened;
    const auto content = open (text, opened.design);
    ASSERT_EQ (content.compatibilityIssues.size(), 1);
    EXPECT_EQ (content.compatibilityIssues[0], "Compatibility issue, [DSP#1 - process#999: Old] not found in modules definition "
                                               "file.\nPlease remove this process and select a new one in the process list.");
    EXPECT_TRUE (getLogText().contains ("Compatibility issue, [DSP#1 - process#999: Old]"));
    EXPECT_EQ (getLogErrorCount(), 1);

    auto& graph = opened.design.findDsp (1)->getGraph();
    EXPECT_EQ (graph.getNode (1)->getName(), "Old(Removed).");
    EXPECT_EQ (graph.getNode (1)->getProcessDefinition(), nullptr);

    const auto saved = ProjectFile::createXml (opened.design, options)->toString();
    LibraryAndDesign again;
    const auto reread = open (saved, again.design);
    auto& graph2 = again.design.findDsp (1)->getGraph();
    ASSERT_EQ (graph2.getNumNodes(), 3);
    EXPECT_EQ (graph2.getNode (1)->getName(), "Old(Removed).") << "marked once, however often it is opened";
    EXPECT_EQ (graph2.getNode (2)->getName(), "Comp");
    EXPECT_EQ (graph2.getNumConnections(), 2);
    EXPECT_EQ (projecttest::compareDesigns (opened.design, again.design), juce::String());
    EXPECT_EQ (again.design.getDspEntry (1)->getProcessInstance (1)->processId, 999u);
}

TEST_F (ProjectFileTest, AFileThatLeftAProcessOutIsReadByItsIndexes)
{
    // Written by a version that skipped an unknown process: positions 0, 1
    // and 3 remain, and the connection names the node ids of then (2 -> 4).
    const auto text = project ("<DSPs><DSP Index=\"2\" ModuleId=\"33\" Name=\"DSP\" nrpn=\"2\"><ProcessConnections>"
                               "<ProcessConnection SrcNodeId=\"2\" SrcChnIndex=\"0\" DstNodeId=\"4\" DstChnIndex=\"0\"/>"
                               "<ProcessConnection SrcNodeId=\"1\" SrcChnIndex=\"0\" DstNodeId=\"3\" DstChnIndex=\"0\"/>"
                               "</ProcessConnections><Processes>"
                               "<Process Index=\"0\" Name=\"A\" ProcessId=\"515\" NCount=\"3221225474\" nrpn=\"1\"/>"
                               "<Process Index=\"1\" Name=\"B\" ProcessId=\"517\" NCount=\"3221225474\" nrpn=\"2\"/>"
                               "<Process Index=\"3\" Name=\"D\" ProcessId=\"517\" NCount=\"3221225474\" nrpn=\"4\"/>"
                               "</Processes></DSP></DSPs>");
    LibraryAndDesign opened;
    const auto content = open (text, opened.design);
    auto& graph = opened.design.findDsp (2)->getGraph();
    ASSERT_EQ (graph.getNumConnections(), 1);
    EXPECT_EQ (graph.findNodeById (graph.getConnection (0)->sourceNode)->getName(), "B");
    EXPECT_EQ (graph.findNodeById (graph.getConnection (0)->destNode)->getName(), "D");
    EXPECT_EQ (content.problems.size(), 1) << "the connection to the lost process is reported";
}

TEST_F (ProjectFileTest, SettingsAndTheDspCapacityComeFromTheFile)
{
    struct Case
    {
        const char* settings;
        int chip, capacity, sampling, memory;
        int problems;
    };

    const Case cases[] = {
        { "Chip=\"2\" Sampling=\"3\" MemorySize=\"1024\"", 2, 8, 3, 5, 0 },
        { "Chip=\"6\" Sampling=\"0\" MemorySize=\"0\"", 5, 16, 0, 0, 1 },
        { "Chip=\"-1\" Sampling=\"9\" MemorySize=\"100\"", 5, 16, 1, 2, 3 },
        { "Chip=\"x\" Sampling=\"\" MemorySize=\"\"", 5, 16, 1, 2, 4 },
        { "", 0, 4, 0, 2, 0 },
    };

    for (auto& c : cases)
    {
        LibraryAndDesign opened;
        const auto content = open (project ("<ProjectSettings " + juce::String (c.settings) + "/>"), opened.design);
        const auto& settings = opened.design.getSettings();
        SCOPED_TRACE (c.settings);
        EXPECT_EQ (settings.getChipIndex(), c.chip);
        EXPECT_EQ (opened.getLibrary().getDspCapacity(), c.capacity);
        EXPECT_EQ (settings.getSamplingIndex(), c.sampling);
        EXPECT_EQ (settings.getMemorySizeIndex(), c.memory);
        EXPECT_EQ (settings.getExternalMemorySize(), settings.getChosenMemorySize());
        EXPECT_EQ (content.problems.size(), c.problems) << content.problems.joinIntoString ("\n");
    }

    // Without "ProjectSettings" the design keeps its settings and capacity.
    LibraryAndDesign opened;
    opened.design.getSettings().setChipIndex (4);
    open (project (""), opened.design);
    EXPECT_EQ (opened.design.getSettings().getChipIndex(), 4);
    EXPECT_EQ (opened.getLibrary().getDspCapacity(), 16) << "the sample library's own";
}

TEST_F (ProjectFileTest, DirectoryIsWrittenRelativeToTheProjectFolderAtASeparator)
{
    LibraryAndDesign d;
    auto& settings = d.design.getSettings();
    placeInFolder (d.design);
    EXPECT_EQ (ProjectFileWriter::makeDirectoryText (settings), "out");

    settings.setOutputDirectory (folder.getFullPathName());
    EXPECT_EQ (ProjectFileWriter::makeDirectoryText (settings), ".");

    const auto sibling = folder.getSiblingFile (folder.getFileName() + "2");
    sibling.getChildFile ("gen").createDirectory();
    settings.setOutputDirectory (sibling.getChildFile ("gen").getFullPathName());
    EXPECT_EQ (settings.getOutputDirectoryText(), "../" + sibling.getFileName() + "/gen");
    EXPECT_EQ (ProjectFileWriter::makeDirectoryText (settings), "../" + sibling.getFileName() + "/gen");

    sibling.deleteRecursively();

    // A folder whose path merely begins like the project's is not inside it:
    // "/tmp/vx-project-1a/out" does not lie in "/tmp/vx-project-1".
    settings.setOutputDirectory (folder.getChildFile ("out").getFullPathName());
    settings.setProjectFolder (folder.getFullPathName().dropLastCharacters (1));
    EXPECT_EQ (ProjectFileWriter::makeDirectoryText (settings), folder.getChildFile ("out").getFullPathName());
}

TEST_F (ProjectFileTest, DirectoryIsReadRelativeToTheProjectFolder)
{
    folder.getChildFile ("gen").createDirectory();
    folder.getSiblingFile (folder.getFileName() + "-x").createDirectory();

    struct Case
    {
        juce::String directory;
        juce::File expected;
        juce::String shown;
    };

    const Case cases[] = {
        { ".", folder, "." },
        { "gen", folder.getChildFile ("gen"), "gen" },
        { "..\\" + folder.getFileName() + "-x", folder.getSiblingFile (folder.getFileName() + "-x"),
          "../" + folder.getFileName() + "-x" },
        { "C:\\Users\\x\\out", folder, "." },
        { "", folder, "." },
        { "missing", folder.getChildFile ("missing"), "missing" },
    };

    for (auto& c : cases)
    {
        LibraryAndDesign opened;
        open (project ("<ProjectSettings Chip=\"1\" Directory=\"" + c.directory + "\"/>"), opened.design);
        EXPECT_EQ (opened.design.getSettings().getOutputDirectory(), c.expected) << c.directory;
        EXPECT_EQ (opened.design.getSettings().getOutputDirectoryText(), c.shown) << c.directory;
        EXPECT_EQ (ProjectFileWriter::makeDirectoryText (opened.design.getSettings()), c.shown) << "saved as shown";
    }

    folder.getSiblingFile (folder.getFileName() + "-x").deleteRecursively();
}

TEST_F (ProjectFileTest, CommandsEndingAlikeOrHoldingOddCharactersKeepTheirOwnValues)
{
    LibraryAndDesign d;
    DesignBuilder b (d.design);
    b.addDsp (1, projecttest::commandTest, 0.5, 0.5);
    auto& twins = b.addProcess (1, "Twins", 0.5, 0.5);
    DesignBuilder::setCommandWords (twins, 0x40);

    EXPECT_EQ (ProjectCommandList::makeAttributeNames (twins),
               juce::StringArray ({ "C_tLevelGain", "C_tLevelGain_2", "C_Set__Gain_" }));

    const auto text = ProjectFile::createXml (d.design, options)->toString();
    ASSERT_NE (XmlFileAccess::parse (text, ProjectFileFormat::rootTag).root, nullptr) << "every name is an XML name";

    LibraryAndDesign opened;
    open (text, opened.design);
    auto& node = *opened.design.findDsp (1)->getGraph().getNode (0);
    ASSERT_EQ (node.commandWordCount, 3);

    for (int k = 0; k < 3; ++k)
        EXPECT_EQ (ProjectCommandList::getSavedValue (node, k), ProjectCommandList::getSavedValue (twins, k)) << k;
}

TEST_F (ProjectFileTest, EveryControlNumberTypedComesBackFromTheFile)
{
    // The equaliser's coefficient functions come first and carry no control;
    // the control functions after them are as many as the words it built.
    LibraryAndDesign built;
    DesignBuilder b (built.design);
    b.addDsp (1, projecttest::studioCore8, 0.5, 0.5);
    auto& eq = b.addProcess (1, "ParamEq8", 0.5, 0.5);
    const auto functions = eq.getProcessDefinition()->getSecondFunctionCount();
    ASSERT_EQ ((int) eq.commandWords.size(), functions);

    for (auto& word : eq.commandWords)
        if (word != 0)
            word = (word & 0xFFFF0000u) | (0x01C0u + (uint32_t) (&word - eq.commandWords.data()));

    LibraryAndDesign opened;
    open (ProjectFile::createXml (built.design, options)->toString(), opened.design);
    auto& node = *opened.design.findDsp (1)->getGraph().getNode (0);
    ASSERT_EQ ((int) node.commandWords.size(), functions);

    for (int k = 0; k < functions; ++k)
        EXPECT_EQ (ProjectCommandList::getSavedValue (node, k), ProjectCommandList::getSavedValue (eq, k)) << k;
}

TEST_F (ProjectFileTest, CommandListsAndSavedControlsAreReadAgainOnceThePagesExist)
{
    LibraryAndDesign built;
    projecttest::buildSampleDesign (built.design);
    const auto xml = ProjectFile::createXml (built.design, options);

    LibraryAndDesign opened;
    open (xml->toString(), opened.design);
    auto& graph = opened.design.findDsp (1)->getGraph();
    auto& eq = *graph.getNode (0);

    // Words built afresh (a count change while the command view is off):
    // turning the view on gives back the saved control numbers and second
    // words, the rest of each word stays.
    DesignBuilder::setCommandWords (eq, 0x55);
    const auto rebuilt = eq.commandWords;
    ProjectFile::reloadCommandLists (*xml, opened.design);
    auto& original = *built.design.findDsp (1)->getGraph().getNode (0);

    for (int k = 0; k < eq.commandWordCount; ++k)
    {
        EXPECT_EQ (eq.commandWords[(size_t) k] & 0xFFFF, original.commandWords[(size_t) k] & 0xFFFF);
        EXPECT_EQ (eq.commandWords[(size_t) k] & 0xFFFF0000, rebuilt[(size_t) k] & 0xFFFF0000);
        EXPECT_EQ (eq.secondCommandWords[(size_t) k], original.secondCommandWords[(size_t) k]);
    }

    // The saved values are loaded again, under the controls each process
    // registers first, and sent, the delay control excepted.
    for (int i = 0; i < graph.getNumNodes(); ++i)
        graph.getNode (i)->presetStore.clear (true);

    std::vector<std::tuple<int, uint32_t, uint32_t>> sent;
    int panelsBuilt = 0;
    opened.design.setControlRegistrar (
        [&] (GraphNode&, uint32_t)
        {
            ++panelsBuilt;
            return true;
        });
    ProjectFile::sendSavedControls (*xml, opened.design,
                                    [&] (int dsp, uint32_t number, uint32_t value) { sent.emplace_back (dsp, number, value); });

    const auto eqNrpn = eq.nrpn << 8;
    const auto delayNrpn = graph.getNode (2)->nrpn << 8;
    const std::vector<std::tuple<int, uint32_t, uint32_t>> expected{
        { 0, eqNrpn | 1, 70 },    { 0, eqNrpn | 2, 1000 },
        { 0, eqNrpn | 3, 7 },     { 0, delayNrpn | 1, 250 },
        { 0, delayNrpn | 2, 20 }, { 2, (opened.design.findDsp (3)->getGraph().getNode (1)->nrpn << 8) | 1, 100 },
    };
    EXPECT_EQ (sent, expected);
    EXPECT_EQ (panelsBuilt, 3);
}

TEST_F (ProjectFileTest, ReloadedCommandsSkipANodeThatRunsAnotherProcessNow)
{
    LibraryAndDesign built;
    projecttest::buildSampleDesign (built.design);
    const auto xml = ProjectFile::createXml (built.design, options);

    LibraryAndDesign opened;
    open (xml->toString(), opened.design);
    auto& graph = opened.design.findDsp (1)->getGraph();
    const auto eqNrpn = graph.getNode (0)->nrpn;

    // The EQ went, and a compressor took its number.
    graph.removeNode (graph.getNode (0)->getId());
    graph.getNode (0)->nrpn = eqNrpn;
    DesignBuilder::setCommandWords (*graph.getNode (0), 0x66);
    const auto before = graph.getNode (0)->commandWords;
    ProjectFile::reloadCommandLists (*xml, opened.design);
    EXPECT_EQ (graph.getNode (0)->commandWords, before);
}

// A delay saved while its length counted as channels, in each form: it
// opens without a word, with its values and its length, and is written back
// with its own controls.
TEST_F (ProjectFileTest, ADelaySavedWithAControlPerMillisecondOpensAndIsWrittenAnew)
{
    for (const auto& form : earlierdelay::forms)
    {
        SCOPED_TRACE (form.name);
        clearLog();
        LibraryAndDesign opened;
        const auto text = project (dspWith (earlierdelay::makeProcess (form)));
        const auto content = open (text, opened.design);
        EXPECT_EQ (content.problems.joinIntoString ("\n"), juce::String());
        EXPECT_EQ (getLogText(), juce::String());
        auto& store = opened.design.findDsp (1)->getGraph().getNode (0)->presetStore;
        earlierdelay::expectTodaysValues (store, form);

        // And as read again once the boxes exist.
        ProjectFile::sendSavedControls (*juce::parseXML (text), opened.design, {});
        earlierdelay::expectTodaysValues (store, form);

        const auto saved = ProjectFile::createXml (opened.design, options)->toString();
        EXPECT_TRUE (saved.contains ("<Count NumberOfPresets=\"1\" NumberOfControls=\"3\" NumberOfFixedControls=\"1\"/>"))
            << saved;
        EXPECT_TRUE (saved.contains ("delayCount=\"" + juce::String (form.ms) + "\""));
        EXPECT_FALSE (saved.contains ("Time2"));
    }
}

TEST_F (ProjectFileTest, SaveIsWholeOrNothing)
{
    LibraryAndDesign d;
    projecttest::buildSampleDesign (d.design);
    const auto missingFolder = folder.getChildFile ("gone/demo.zqp");
    EXPECT_TRUE (ProjectFile::save (d.design, missingFolder, options).failed());
    EXPECT_FALSE (missingFolder.exists());

    file.replaceWithText ("previous");
    folder.getChildFile ("demo.zqp.tmp").createDirectory(); // the writer must find another name
    EXPECT_TRUE (ProjectFile::save (d.design, file, options).wasOk());
    EXPECT_TRUE (file.loadFileAsString().startsWith ("<?xml"));
    EXPECT_EQ (folder.findChildFiles (juce::File::findFiles, false).size(), 1) << "no temporary file stays";
}

TEST_F (ProjectFileTest, NamesWithoutExtensionGetTheProjectExtension)
{
    EXPECT_EQ (ProjectFile::withProjectExtension (folder.getChildFile ("demo")), folder.getChildFile ("demo.zqp"));
    EXPECT_EQ (ProjectFile::withProjectExtension (folder.getChildFile ("demo.ZQP")), folder.getChildFile ("demo.ZQP"));
    EXPECT_EQ (ProjectFile::withProjectExtension (folder.getChildFile ("demo.v2")), folder.getChildFile ("demo.v2"));
    EXPECT_EQ (ProjectFile::withProjectExtension ({}), juce::File());
}

TEST_F (ProjectFileTest, MissingOrForeignFilesAreRefused)
{
    LibraryAndDesign d;
    EXPECT_TRUE (ProjectFile::load (folder.getChildFile ("nothing.zqp"), d.getLibrary()).result.failed());
    EXPECT_TRUE (ProjectFile::load (folder, d.getLibrary()).result.failed());

    file.replaceWithText ("<PRESETS Version=\"1.01\"/>");
    const auto loaded = ProjectFile::load (file, d.getLibrary());
    EXPECT_TRUE (loaded.result.failed());
    EXPECT_EQ (loaded.content, nullptr);
}

TEST_F (ProjectFileTest, ProcessesOfAMissingModuleKeepTheirSavedStateUntilTheModuleIsBack)
{
    // Saved while a DSP's module is missing, then opened with the module
    // back: every process of the DSP has its own name, command words and
    // saved values again, and the file is the one first written.
    LibraryAndDesign built;
    projecttest::buildSampleDesign (built.design);
    placeInFolder (built.design);
    auto& lite = built.design.findDsp (3)->getGraph();
    DesignBuilder::setCommandWords (*lite.getNode (0), 0x40);
    const auto first = ProjectFile::createXml (built.design, options)->toString();
    const juce::String present ("ModuleId=\"" + juce::String (projecttest::studioCoreLite) + "\"");
    const juce::String missing ("ModuleId=\"999\"");
    ASSERT_TRUE (first.contains (present));

    LibraryAndDesign withoutModule;
    const auto content = open (first.replace (present, missing), withoutModule.design);
    EXPECT_EQ (content.compatibilityIssues.size(), 2);
    auto& graph = withoutModule.design.findDsp (3)->getGraph();
    ASSERT_EQ (graph.getNumNodes(), 2);
    EXPECT_EQ (graph.getNode (0)->getName(), "Mixer4x2(Removed).");
    const auto second = ProjectFile::createXml (withoutModule.design, options)->toString();
    EXPECT_EQ (second, first.replace (present, missing));

    // Opened again still without it: marked once, and written the same.
    LibraryAndDesign stillWithout;
    open (second, stillWithout.design);
    EXPECT_EQ (stillWithout.design.findDsp (3)->getGraph().getNode (0)->getName(), "Mixer4x2(Removed).");
    EXPECT_EQ (ProjectFile::createXml (stillWithout.design, options)->toString(), second);

    LibraryAndDesign moduleBack;
    const auto back = open (second.replace (missing, present), moduleBack.design);
    EXPECT_TRUE (back.compatibilityIssues.isEmpty());
    EXPECT_TRUE (back.problems.isEmpty()) << back.problems.joinIntoString ("\n");
    EXPECT_EQ (projecttest::compareDesigns (built.design, moduleBack.design), juce::String());
    EXPECT_EQ (ProjectFile::createXml (moduleBack.design, options)->toString(), first);
}

TEST_F (ProjectFileTest, EveryDspSavedWithoutItsModuleComesBackWhole)
{
    // Wires included: a process the definitions lack does not know its
    // pins, and a vector pin carries a wire per channel.
    LibraryAndDesign built;
    projecttest::buildSampleDesign (built.design);
    placeInFolder (built.design);
    const auto first = ProjectFile::createXml (built.design, options)->toString();

    for (auto moduleId : { projecttest::studioCore8, projecttest::studioCoreLite, projecttest::commandTest })
    {
        const juce::String present ("ModuleId=\"" + juce::String (moduleId) + "\"");
        const juce::String missing ("ModuleId=\"999\"");
        ASSERT_EQ (first.indexOf (present), first.lastIndexOf (present));

        LibraryAndDesign withoutModule;
        open (first.replace (present, missing), withoutModule.design);
        const auto saved = ProjectFile::createXml (withoutModule.design, options)->toString();
        EXPECT_EQ (saved, first.replace (present, missing)) << moduleId;

        LibraryAndDesign moduleBack;
        open (saved.replace (missing, present), moduleBack.design);
        EXPECT_EQ (projecttest::compareDesigns (built.design, moduleBack.design), juce::String()) << moduleId;
    }
}

TEST_F (ProjectFileTest, AMarkAnEarlierSaveLeftInTheNameGoesWhenTheProcessIsFound)
{
    const auto text = project (dspWith ("<Process Index=\"0\" Name=\"Comp A(Removed).\" ProcessId=\"515\" "
                                        "NCount=\"3221225474\" nrpn=\"1\"/>"));
    LibraryAndDesign opened;
    const auto content = open (text, opened.design);
    EXPECT_TRUE (content.compatibilityIssues.isEmpty());
    EXPECT_EQ (opened.design.findDsp (1)->getGraph().getNode (0)->getName(), "Comp A");
}

TEST_F (ProjectFileTest, DeletingAMissingProcessAndUndoingItKeepsItsSavedState)
{
    const auto text = project (dspWith ("<Process Index=\"0\" Name=\"Gain\" ProcessId=\"533\" NCount=\"1\" nrpn=\"1\">"
                                        "<CommandList><Commands C_n_SetLevel=\"00000100\"/></CommandList>"
                                        "<Class name=\"Gain\"><CountGroup count=\"1\"/></Class></Process>",
                                        "Index=\"1\" ModuleId=\"999\""));
    LibraryAndDesign opened;
    open (text, opened.design);
    auto& graph = opened.design.findDsp (1)->getGraph();
    ProcessGraphEdits::RemovedProcess removed;
    ASSERT_TRUE (ProcessGraphEdits::removeProcess (graph, opened.design.getDspEntry (1), 1, removed));
    ASSERT_TRUE (ProcessGraphEdits::restoreProcess (graph, opened.design.getDspEntry (1), removed));

    auto saved = ProjectFile::createXml (opened.design, options);
    auto* process =
        saved->getChildByName ("DSPs")->getChildByName ("DSP")->getChildByName ("Processes")->getChildByName ("Process");
    ASSERT_NE (process, nullptr);
    EXPECT_EQ (process->getStringAttribute ("Name"), "Gain");
    EXPECT_EQ (process->getChildByName ("CommandList")->getChildByName ("Commands")->getStringAttribute ("C_n_SetLevel"),
               "00000100");
    ASSERT_NE (process->getChildByName ("Class"), nullptr);
    EXPECT_EQ (process->getChildByName ("Class")->getStringAttribute ("name"), "Gain");
}
