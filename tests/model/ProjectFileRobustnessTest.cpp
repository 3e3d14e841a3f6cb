#include "ProjectTestDesigns.h"

#include "model/DesignLog.h"
#include "model/ModuleLibrary.h"
#include "model/ProjectFile.h"
#include "model/ProjectFileReader.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>

// Project files are the user's and anyone's: damaged, hand-edited, truncated
// or written by another program. Each is refused whole or opened into a
// sound design, and what the program writes back always reads again
// unchanged.
namespace
{
class ProjectFileRobustnessTest : public ::testing::Test
{
protected:
    ProjectFileRobustnessTest()
    {
        clearLog();
        folder.createDirectory();
        file.replaceWithText ({});
        first.design.setLibrary (&library());
        second.design.setLibrary (&library());
    }

    ~ProjectFileRobustnessTest() override
    {
        workingDirectory.setAsCurrentWorkingDirectory();
        folder.deleteRecursively();
        clearLog();
    }

    ModuleLibrary& library() { return reader->getLibrary(); }

    // Opens the text into the first design; none when it was refused.
    const ProjectFileContent* open (const juce::String& text)
    {
        loaded = ProjectFile::parse (text, library());

        if (loaded.content != nullptr)
            ProjectFile::install (*loaded.content, file, first.design);

        return loaded.content.get();
    }

    // What a design opened from any file must be: its slots, boxes and
    // registry in step, numbers in range and distinct, every connection and
    // label naming a node there; and written out, it reads back with nothing
    // to report and writes out the same again.
    void expectSound (const juce::String& context)
    {
        SCOPED_TRACE (context.substring (0, 200));
        auto& design = first.design;
        auto& bus = design.getBusGraph();
        ASSERT_EQ (bus.getNumNodes(), design.getNumDsps());
        expectGraphSound (bus, ProjectFileFormat::maxDspIndex);

        for (int i = 0; i < design.getNumDsps(); ++i)
        {
            auto* slot = design.getDsp (i);
            auto& graph = slot->getGraph();
            auto* entry = design.getDspEntry (slot->getDspId());
            ASSERT_NE (bus.findNodeById (slot->getDspId()), nullptr);
            ASSERT_NE (entry, nullptr);
            ASSERT_EQ (entry->getProcessCount(), graph.getNumNodes());
            expectGraphSound (graph, ProjectFileFormat::maxProcessNrpn);

            for (int p = 0; p < entry->getProcessCount(); ++p)
                EXPECT_NE (graph.findNodeById ((uint32_t) entry->getProcessInstance (p)->nodeNumber), nullptr);
        }

        const auto written = ProjectFile::createXml (design, options)->toString();
        auto reread = ProjectFile::parse (written, library());
        ASSERT_NE (reread.content, nullptr) << reread.result.getErrorMessage();
        EXPECT_TRUE (reread.content->problems.isEmpty()) << reread.content->problems.joinIntoString ("\n");
        ProjectFile::install (*reread.content, file, second.design);
        EXPECT_EQ (ProjectFile::createXml (second.design, options)->toString(), written);
    }

    static void expectGraphSound (const GraphData& graph, uint32_t largestNrpn)
    {
        std::set<uint32_t> nrpns;

        for (int i = 0; i < graph.getNumNodes(); ++i)
        {
            auto& node = *graph.getNode (i);
            EXPECT_TRUE (node.nrpn >= 1 && node.nrpn <= largestNrpn) << node.nrpn;
            EXPECT_TRUE (nrpns.insert (node.nrpn).second) << "NRPN " << node.nrpn << " twice";
            EXPECT_LE (node.getChannelCount(), ProjectFileFormat::maxDelayCount);
            EXPECT_GE (node.getPosition().x, 0.0);
            EXPECT_LE (node.getPosition().y, 1.0);
        }

        for (int i = 0; i < graph.getNumConnections(); ++i)
        {
            EXPECT_NE (graph.findNodeById (graph.getConnection (i)->sourceNode), nullptr);
            EXPECT_NE (graph.findNodeById (graph.getConnection (i)->destNode), nullptr);
        }

        for (int i = 0; i < graph.getNumBusPins(); ++i)
            EXPECT_NE (graph.findNodeById (graph.getBusPin (i)->nodeId), nullptr);
    }

    static juce::String project (const juce::String& inside)
    {
        return "<OSTRANE_QUELLION_Configuration Version=\"1.01\">" + inside + "</OSTRANE_QUELLION_Configuration>";
    }

    juce::String sampleText()
    {
        projecttest::LibraryAndDesign built;
        projecttest::buildSampleDesign (built.design);
        return ProjectFile::createXml (built.design, options)->toString();
    }

    juce::File workingDirectory = juce::File::getCurrentWorkingDirectory();
    juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getChildFile ("vx-robust-" + juce::String::toHexString (juce::Random().nextInt64()));
    juce::File file = folder.getChildFile ("damaged.zqp");
    std::unique_ptr<ModulesDefReader> reader = projecttest::readLibrary();
    struct
    {
        Design design;
    } first, second;
    ProjectFile::Loaded loaded;
    ProjectFileWriter::Options options{ 800, 600 };
};

constexpr uint32_t limiterFlags = 0xC0000000; // both sides follow the count

// Limiters of that channel count.
juce::String processes (int count, int channels = 2)
{
    juce::String text;

    for (int i = 0; i < count; ++i)
        text << "<Process Name=\"P" << i << "\" ProcessId=\"517\" NCount=\"" << juce::String (limiterFlags | (uint32_t) channels)
             << "\" nrpn=\"" << (i + 1) << "\"/>";

    return text;
}

juce::String dsp (const juce::String& inside, const juce::String& attributes = "Index=\"1\" ModuleId=\"33\" nrpn=\"1\"")
{
    return "<DSP " + attributes + ">" + inside + "</DSP>";
}

juce::String dspOf (const juce::String& processElements,
                    const juce::String& attributes = "Index=\"1\" ModuleId=\"33\" nrpn=\"1\"")
{
    return dsp ("<Processes>" + processElements + "</Processes>", attributes);
}

juce::String connection (const char* tag, int source, int sourcePin, int destination, int destinationPin)
{
    return "<" + juce::String (tag) + " SrcNodeId=\"" + juce::String (source) + "\" SrcChnIndex=\"" + juce::String (sourcePin) +
           "\" DstNodeId=\"" + juce::String (destination) + "\" DstChnIndex=\"" + juce::String (destinationPin) + "\"/>";
}
} // namespace

TEST_F (ProjectFileRobustnessTest, HostileFilesAreRefusedOrOpenedSoundly)
{
    const auto sample = sampleText();
    juce::String manyDsps, manyConnections;

    for (int i = 1; i <= 20; ++i)
        manyDsps << dsp ({}, "Index=\"" + juce::String (i) + "\" ModuleId=\"33\"");

    for (int i = 0; i < 200; ++i)
        manyConnections << connection ("ProcessConnection", 1 + i % 8, 0, 2 + i % 8, i / 8 % 2);

    juce::String manyNames;

    for (int i = 0; i < 10000; ++i)
        manyNames << "a" << i << "=\"1\" ";

    const auto foreignDelay =
        project ("<DSPs>" +
                 dspOf ("<Process ProcessId=\"517\" NCount=\"3221225474\" nrpn=\"1\"><Class name=\"Limiter\"><CountGroup "
                        "count=\"2\"><Preset><Count NumberOfPresets=\"1\" NumberOfControls=\"2\" NumberOfFixedControls=\"2\"/>"
                        "<Controls fixedName1=\"A\" fixedNrpn1=\"1\" fixedName2=\"-/-delay-/-\" fixedNrpn2=\"99282957\" "
                        "delay=\"1\"/><Lists><List name=\"(Last-Saved)\" fixedValue1=\"7\" fixedValue2=\"250\" "
                        "delayCount=\"250\"/></Lists></Preset></CountGroup></Class></Process>") +
                 "</DSPs>");

    struct Case
    {
        const char* name;
        juce::String text;
        bool refused;
        int problems; // at least this many
        std::function<void (Design&)> check;
    };

    const Case cases[] = {
        { "empty", "", true, 0, {} },
        { "not XML", "project", true, 0, {} },
        { "truncated", sample.substring (0, sample.length() / 2), true, 0, {} },
        { "another root", "<PRESETS Version=\"1.01\"/>", true, 0, {} },
        { "the root named in another case", "<OSTRANE_QUELLION_CONFIGURATION/>", true, 0, {} },
        { "elements named in another case (names are case-sensitive)",
          project ("<DSPs>" + dsp ("<processes>" + processes (2) + "</processes>") + "</DSPs>"), false, 0,
          [] (Design& d)
          {
              ASSERT_EQ (d.getNumDsps(), 1);
              EXPECT_EQ (d.getDsp (0)->getGraph().getNumNodes(), 0);
          } },
        { "instruction inside the root", project ("<?x y?><DSPs/>"), true, 0, {} },
        { "elements nested 2000 deep",
          project (juce::String::repeatedString ("<DSPs>", 2000) + juce::String::repeatedString ("</DSPs>", 2000)),
          true,
          0,
          {} },
        { "ten thousand attribute names", project ("<DSPs " + manyNames + "/>"), true, 0, {} },
        { "a character reference cut short", project ("<DSPs>&#x"), true, 0, {} },
        { "nothing in it", project (""), false, 0, [] (Design& d) { EXPECT_EQ (d.getNumDsps(), 0); } },
        { "DSP without attributes", project ("<DSPs><DSP/></DSPs>"), false, 1,
          [] (Design& d) { EXPECT_EQ (d.getNumDsps(), 0); } },
        { "DSP index no number", project ("<DSPs>" + dsp ({}, "Index=\"two\"") + "</DSPs>"), false, 1,
          [] (Design& d) { EXPECT_EQ (d.getNumDsps(), 0); } },
        { "DSP index negative, huge, 17",
          project ("<DSPs>" + dsp ({}, "Index=\"-3\"") + dsp ({}, "Index=\"99999999999\"") + dsp ({}, "Index=\"17\"") +
                   "</DSPs>"),
          false, 3, [] (Design& d) { EXPECT_EQ (d.getNumDsps(), 0); } },
        { "DSP index twice", project ("<DSPs>" + dspOf (processes (2)) + dspOf (processes (3)) + "</DSPs>"), false, 1,
          [] (Design& d)
          {
              ASSERT_EQ (d.getNumDsps(), 1);
              EXPECT_EQ (d.getDsp (0)->getGraph().getNumNodes(), 2) << "the first one stays";
          } },
        { "twenty DSPs", project ("<DSPs>" + manyDsps + "</DSPs>"), false, 1,
          [] (Design& d) { EXPECT_EQ (d.getNumDsps(), 16); } },
        { "module the library lacks", project ("<DSPs>" + dspOf (processes (2), "Index=\"4\" ModuleId=\"4242\"") + "</DSPs>"),
          false, 0,
          [] (Design& d)
          {
              auto& graph = d.findDsp (4)->getGraph();
              ASSERT_EQ (graph.getNumNodes(), 2);
              EXPECT_EQ (graph.getNode (0)->getName(), "P0(Removed).");
              EXPECT_EQ (d.getDspEntry (4)->moduleId, 4242u);
          } },
        { "channel count huge", project ("<DSPs>" + dspOf ("<Process ProcessId=\"517\" NCount=\"268435455\"/>") + "</DSPs>"),
          false, 1,
          [] (Design& d) { EXPECT_EQ (d.getDsp (0)->getGraph().getNode (0)->getChannelCount(), 8u) << "the slider's largest"; } },
        { "channel count negative",
          project ("<DSPs>" + dspOf ("<Process ProcessId=\"517\" NCount=\"-5\"/>") + "</DSPs>"),
          false,
          1,
          {} },
        { "channel count no number", project ("<DSPs>" + dspOf ("<Process ProcessId=\"517\" NCount=\"lots\"/>") + "</DSPs>"),
          false, 1, [] (Design& d) { EXPECT_EQ (d.getDsp (0)->getGraph().getNode (0)->getChannelCount(), 2u); } },
        { "NRPN numbers twice and out of range",
          project ("<DSPs>" +
                   dspOf ("<Process ProcessId=\"517\" nrpn=\"5\"/><Process ProcessId=\"517\" nrpn=\"5\"/>"
                          "<Process ProcessId=\"517\" nrpn=\"4294967295\"/><Process ProcessId=\"517\" nrpn=\"0\"/>",
                          "Index=\"2\" ModuleId=\"33\" nrpn=\"99\"") +
                   "</DSPs>"),
          false, 3,
          [] (Design& d)
          {
              EXPECT_EQ (d.getBusGraph().getNode (0)->nrpn, 1u);
              EXPECT_EQ (d.getDsp (0)->getGraph().collectNrpns(), (std::vector<uint32_t>{ 1, 2, 3, 5 }));
          } },
        { "positions not numbers or outside the view",
          project ("<DSPs>" +
                   dspOf ("<Process ProcessId=\"517\" PositionX=\"nan\" PositionY=\"1e309\"/>",
                          "Index=\"1\" ModuleId=\"33\" PositionX=\"-4\" PositionY=\"7.5\"") +
                   "</DSPs>"),
          false, 4,
          [] (Design& d)
          {
              EXPECT_EQ (d.getBusGraph().getNode (0)->getPosition().x, 0.0);
              EXPECT_EQ (d.getBusGraph().getNode (0)->getPosition().y, 1.0);
          } },
        { "seventy processes", project ("<DSPs>" + dsp ("<Processes>" + processes (70) + "</Processes>") + "</DSPs>"), false, 1,
          [] (Design& d) { EXPECT_EQ (d.getDsp (0)->getGraph().getNumNodes(), 63); } },
        { "connections dangling, out of range, no numbers",
          project ("<DSPs>" +
                   dsp ("<ProcessConnections>" + connection ("ProcessConnection", 1, 0, 9, 0) +
                        connection ("ProcessConnection", 1, 5, 2, 0) + connection ("ProcessConnection", 1, 0, 2, 0) +
                        "<ProcessConnection SrcNodeId=\"x\"/></ProcessConnections><Processes>" + processes (2) + "</Processes>") +
                   "</DSPs>"),
          false, 3, [] (Design& d) { EXPECT_EQ (d.getDsp (0)->getGraph().getNumConnections(), 1); } },
        { "two hundred connections",
          project ("<DSPs>" +
                   dsp ("<ProcessConnections>" + manyConnections + "</ProcessConnections><Processes>" + processes (9, 2) +
                        "</Processes>") +
                   "</DSPs>"),
          false, 0, [] (Design& d) { EXPECT_LE (d.getDsp (0)->getGraph().getNumConnections(), 128); } },
        { "pin labels of no pin or no node",
          project ("<DSPs>" +
                   dsp ("<Processes>" + processes (1) +
                        "</Processes><ProcessPinLabels>"
                        "<ProcessPinLabel Name=\"DSPIN0\" IO=\"1\" Channel=\"0\" Node=\"1\"/>"
                        "<ProcessPinLabel Name=\"DSPIN9\" IO=\"1\" Channel=\"0\" Node=\"1\"/>"
                        "<ProcessPinLabel Name=\"); exit(1); //\" IO=\"1\" Channel=\"0\" Node=\"1\"/>"
                        "<ProcessPinLabel Name=\"DSPOUT1\" IO=\"0\" Channel=\"7\" Node=\"1\"/>"
                        "<ProcessPinLabel Name=\"DSPOUT1\" IO=\"0\" Channel=\"0\" Node=\"3\"/></ProcessPinLabels>") +
                   "</DSPs><PinLabels><PinLabel Name=\"DAAD0L\" IO=\"1\" Channel=\"0\" Node=\"1\"/>"
                   "<PinLabel Name=\"DAAD0L\" IO=\"1\" Channel=\"8\" Node=\"1\"/>"
                   "<PinLabel Name=\"IBUSG\" IO=\"1\" Channel=\"0\" Node=\"1\"/></PinLabels>"),
          false, 6,
          [] (Design& d)
          {
              EXPECT_EQ (d.getDsp (0)->getGraph().getNumBusPins(), 1);
              EXPECT_EQ (d.getBusGraph().getNumBusPins(), 1);
          } },
        { "bus connections to DSPs not there",
          project ("<DSPs>" + dsp ({}) + dsp ({}, "Index=\"2\" ModuleId=\"34\"") + "</DSPs><DSPConnections>" +
                   connection ("DSPConnection", 1, 0, 2, 3) + connection ("DSPConnection", 1, 0, 2, 4) +
                   connection ("DSPConnection", 1, 0, 3, 0) + "</DSPConnections>"),
          false, 2, [] (Design& d) { EXPECT_EQ (d.getBusGraph().getNumConnections(), 1); } },
        { "commands no hexadecimal numbers",
          project ("<DSPs>" +
                   dspOf ("<Process ProcessId=\"517\" nrpn=\"1\"><CommandList><Commands C_SetCeiling=\"G123\" "
                          "C_SetRelease=\"123456789\"/></CommandList></Process>") +
                   "</DSPs>"),
          false,
          2,
          {} },
        { "a command given twice: the first counts, the second is no number",
          project ("<DSPs>" +
                   dspOf ("<Process ProcessId=\"517\" nrpn=\"1\"><CommandList><Commands C_SetCeiling=\"00000007\" "
                          "C_SetCeiling=\"G\"/></CommandList></Process>") +
                   "</DSPs>"),
          false,
          0,
          {} },
        { "saved values no numbers",
          project ("<DSPs>" +
                   dspOf ("<Process ProcessId=\"517\" NCount=\"1\"><Class name=\"Limiter\"><CountGroup count=\"1\"><Preset>"
                          "<Count NumberOfPresets=\"1\" NumberOfControls=\"99999999\" NumberOfFixedControls=\"1\"/>"
                          "<Controls fixedName1=\"A\" fixedNrpn1=\"1\"/><Lists><List name=\"(Last-Saved)\" fixedValue1=\"ten\"/>"
                          "</Lists></Preset></CountGroup></Class></Process>") +
                   "</DSPs>"),
          false, 1, [] (Design& d) { EXPECT_EQ (d.getDsp (0)->getGraph().getNode (0)->presetStore.getPresetCount(), 0); } },
        { "delay control in a process that has none", foreignDelay, false, 1,
          [&foreignDelay] (Design& d)
          {
              auto& store = d.getDsp (0)->getGraph().getNode (0)->presetStore;
              ASSERT_TRUE (store.findPreset (ProcessPresetStore::lastSavedPresetName));
              EXPECT_EQ (store.getCurrentPresetRecord()->values.at (0), 7u);
              // Nor is it taken when the values are read again once the boxes exist.
              ProjectFile::sendSavedControls (*juce::parseXML (foreignDelay), d, {});
              EXPECT_FALSE (store.hasFixedDelayControl());
          } },
        { "delay control without a number in a process that has none",
          project ("<DSPs>" +
                   dspOf ("<Process ProcessId=\"513\" NCount=\"3221225474\"><Class name=\"ParamEq8\"><CountGroup count=\"2\">"
                          "<Preset><Count NumberOfPresets=\"1\" NumberOfControls=\"2\" NumberOfFixedControls=\"2\"/>"
                          "<Controls fixedName1=\"Gain\" fixedNrpn1=\"1\" fixedName2=\"-/-delay-/-\" fixedNrpn0=\"99282957\" "
                          "delay=\"1\"/><Lists><List name=\"(Last-Saved)\" fixedValue1=\"70\" fixedValue2=\"7\"/>"
                          "</Lists></Preset></CountGroup></Class></Process>") +
                   "</DSPs>"),
          false, 1, [] (Design& d) { EXPECT_EQ (d.getDsp (0)->getGraph().getNode (0)->presetStore.getControlCount(), 1); } },
        { "delay control under another number",
          project ("<DSPs>" +
                   dspOf ("<Process ProcessId=\"519\" NCount=\"268435706\"><Class name=\"LongDelay\"><CountGroup count=\"1\">"
                          "<Preset><Count NumberOfPresets=\"1\" NumberOfControls=\"2\" NumberOfFixedControls=\"2\"/>"
                          "<Controls fixedName1=\"Time\" fixedNrpn1=\"1\" fixedName2=\"-/-delay-/-\" fixedNrpn2=\"0\" "
                          "delay=\"1\"/><Lists><List name=\"(Last-Saved)\" fixedValue1=\"70\" fixedValue2=\"7\" "
                          "delayCount=\"0\"/></Lists></Preset></CountGroup></Class></Process>") +
                   "</DSPs>"),
          false,
          0,
          {} },
        { "memory words: a delay's own choice, none, and another than its class fixes",
          project ("<DSPs>" +
                   dspOf ("<Process ProcessId=\"519\" NCount=\"268435706\" MemoryDelay=\"3\" nrpn=\"1\"/>"
                          "<Process ProcessId=\"518\" NCount=\"1\" MemoryDelay=\"3\" nrpn=\"3\"/>") +
                   dspOf ("<Process ProcessId=\"519\" NCount=\"268435706\" MemoryDelay=\"0\" nrpn=\"2\"/>",
                          "Index=\"2\" ModuleId=\"33\" nrpn=\"2\"") +
                   "</DSPs>"),
          false, 2,
          [] (Design& d)
          {
              const std::vector<std::pair<uint32_t, int>> expected{ { 3u, 3 }, { 0x80000001u, 1 }, { 1u, 1 } };

              for (int i = 0; i < 3; ++i)
              {
                  auto& node = *d.getDsp (i / 2)->getGraph().getNode (i % 2);
                  EXPECT_EQ (std::pair (node.memoryWord, node.memoryChoice), expected[(size_t) i]) << i;
              }
          } },
        { "a static process twice in one DSP: the first stays, wires to the second go with it",
          project ("<DSPs>" +
                   dsp ("<ProcessConnections>" + connection ("ProcessConnection", 1, 0, 3, 0) +
                        connection ("ProcessConnection", 2, 0, 3, 0) +
                        "</ProcessConnections><Processes>"
                        "<Process Index=\"0\" ProcessId=\"518\" NCount=\"1\" MemoryDelay=\"1\" nrpn=\"1\"/>"
                        "<Process Index=\"1\" ProcessId=\"518\" NCount=\"1\" MemoryDelay=\"1\" nrpn=\"2\"/>" +
                        processes (1) + "</Processes>") +
                   "</DSPs>"),
          false, 2,
          [] (Design& d)
          {
              auto& graph = d.getDsp (0)->getGraph();
              ASSERT_EQ (graph.getNumNodes(), 2);
              EXPECT_EQ (graph.getNode (0)->nrpn, 1u);
              EXPECT_EQ (graph.getNode (1)->getName(), "P0");
              ASSERT_EQ (graph.getNumConnections(), 1);
              EXPECT_EQ (graph.getConnection (0)->sourceNode, graph.getNode (0)->getId());
          } },
        { "removed process with huge pin counts",
          project ("<DSPs>" + dspOf ("<Process ProcessId=\"4000\" InNb=\"4000000000\" OutNb=\"-1\"/>") + "</DSPs>"), false, 2,
          [] (Design& d) { EXPECT_EQ (d.getDsp (0)->getGraph().getNode (0)->inputCount, 64u); } },
        { "unknown elements and attributes",
          project ("<Extra a=\"1\"><DSPs/></Extra><DSPs><Junk/>" +
                   dsp ("<Processes><Other/></Processes>", "Index=\"3\" x=\"1\"") + "</DSPs>"),
          false, 0, [] (Design& d) { EXPECT_EQ (d.getNumDsps(), 1); } },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        auto* content = open (c.text);

        if (c.refused)
        {
            EXPECT_EQ (content, nullptr);
            EXPECT_TRUE (loaded.result.failed());
            continue;
        }

        ASSERT_NE (content, nullptr) << loaded.result.getErrorMessage();
        EXPECT_GE (content->problems.size(), c.problems) << content->problems.joinIntoString ("\n");

        if (c.problems == 0)
        {
            EXPECT_TRUE (content->problems.isEmpty()) << content->problems.joinIntoString ("\n");
        }

        if (c.check)
            c.check (first.design);

        expectSound (c.name);
    }
}

// Randomly damaged copies of a valid project, with a fixed seed: cut short,
// scribbled over, or with values, elements and whole branches replaced,
// removed or repeated. None may crash, hang or leave a design that does not
// write back as it reads.
TEST_F (ProjectFileRobustnessTest, RandomlyDamagedProjectsOpenSoundlyOrAreRefused)
{
    const auto sample = sampleText();
    const auto tree = juce::parseXML (sample);
    ASSERT_NE (tree, nullptr);

    const juce::StringArray hostileValues{ "",           "-1",          "0",           "1",           "2",          "3",
                                           "16",         "17",          "63",          "64",          "127",        "128",
                                           "255",        "65535",       "65536",       "2147483647",  "2147483648", "4294967295",
                                           "4294967296", "-2147483648", "-2147483649", "99999999999", "abc",        "1e309",
                                           "nan",        "-0.5",        "1.5",         "0x10",        " 7 ",        "DSPIN9",
                                           "IBUSG",      "C:\\x",       "..",          "/",           "(Removed).", "FFFFFFFF" };
    std::mt19937 random (20240611);
    auto pick = [&random] (int n) { return (int) (random() % (uint32_t) n); };
    int opened = 0;
    const int rounds = 1200;

    for (int round = 0; round < rounds; ++round)
    {
        juce::String text;
        const auto kind = pick (10);

        if (kind < 2)
        {
            text = sample.substring (0, pick (sample.length()));
        }
        else if (kind < 4)
        {
            text = sample;
            const juce::String scribble ("<>\"/=_ 0123456789abcDSPIN-.");

            for (int n = 1 + pick (8); --n >= 0;)
            {
                const auto at = pick (text.length());
                text = text.substring (0, at) + juce::String::charToString (scribble[pick (scribble.length())]) +
                       text.substring (at + 1);
            }
        }
        else
        {
            auto copy = std::make_unique<juce::XmlElement> (*tree);

            for (int n = 1 + pick (3); --n >= 0;)
            {
                std::vector<juce::XmlElement*> elements;
                std::function<void (juce::XmlElement&)> collect = [&] (juce::XmlElement& e)
                {
                    elements.push_back (&e);
                    for (auto* child : e.getChildIterator())
                        collect (*child);
                };
                collect (*copy);

                auto* target = elements[(size_t) pick ((int) elements.size())];
                auto* parent = target != copy.get() ? copy->findParentElementOf (target) : nullptr;
                const auto operation = pick (10);

                if (operation < 7 && target->getNumAttributes() > 0)
                {
                    const auto value = pick (4) == 0 ? juce::String ((int) random()) : hostileValues[pick (hostileValues.size())];
                    target->setAttribute (target->getAttributeName (pick (target->getNumAttributes())), value);
                }
                else if (operation < 9 && parent != nullptr)
                {
                    parent->removeChildElement (target, true);
                }
                else if (parent != nullptr)
                {
                    parent->insertChildElement (new juce::XmlElement (*target), pick (parent->getNumChildElements() + 1));
                }
            }

            text = copy->toString();
        }

        if (open (text) == nullptr)
            continue;

        ++opened;
        expectSound ("round " + juce::String (round));

        if (HasFailure())
            break;
    }

    // Most damage leaves a readable file: the test must have opened many.
    EXPECT_GT (opened, rounds / 2);
}

// A damaged file may name nothing in every one of a hundred thousand
// connections: the log lists the first few of a kind and counts the rest in
// one line, and the design opens with the connections that are sound.
TEST_F (ProjectFileRobustnessTest, ProblemsOfOneKindAreListedFirstAndTheRestCounted)
{
    juce::String connections;

    for (int i = 0; i < 1000; ++i)
        connections << connection ("DSPConnection", 40 + i, 0, 1, 0);

    connections << connection ("DSPConnection", 1, 0, 1, 9999);
    auto* content = open (project ("<DSPs>" + dsp ({}) + "</DSPs><DSPConnections>" + connections + "</DSPConnections>"));
    ASSERT_NE (content, nullptr);

    const auto limit = ProjectFileReader::maxProblemsOfAKind;
    const juce::String more = "Project file: " + juce::String (1000 - limit) + " more problems of the kind above are not listed";
    ASSERT_EQ (content->problems.size(), limit + 2) << content->problems.joinIntoString ("\n");
    EXPECT_TRUE (
        content->problems[0].contains ("the connection 1 (node 40 pin 0 to node 1 pin 0) names a node that is not there"));
    EXPECT_EQ (content->problems[limit], more);
    EXPECT_TRUE (content->problems[limit + 1].contains ("names a pin that is not there"));

    const auto log = getLogText();
    EXPECT_EQ (getLogErrorCount(), limit + 2);
    EXPECT_TRUE (log.contains (" !!! Error#" + juce::String (limit + 1) + ": " + more + "\n")) << log;
    expectSound ("many connections naming nothing");
}
