// The library the program ships must describe an SDK a firmware can be built
// on: for every module of the sample, a design that uses every process of the
// module, wired from the DSP's inputs to its outputs, generates without an
// error, assigns every handle before it is used, reads no buffer that nothing
// writes, gives every process code of its own, and links as one firmware.

#include "GenerationTestProject.h"

#include "model/DesignLog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

using namespace generatortest;

namespace
{
// A design as wires: "A > B > C" chains its items, each "DSPIN<n>",
// "DSPOUT<n>", a process name (its pin or channel 0) or "<process>:<k>" (its
// input pin k where it is fed, its output channel k where it feeds).
struct ModuleDesign
{
    const char* module;
    std::vector<const char*> wires;
};

const std::vector<ModuleDesign>& getModuleDesigns()
{
    static const std::vector<ModuleDesign> designs{
        { "StudioCore8",
          { "DSPIN0 > ParamEq8 > ShelfEq2 > Compressor > Compander > Limiter > ShortDelay > LongDelay > DSPOUT0",
            "Compressor > LevelMeter", "SampleBank:0 > DSPOUT2", "SampleBank:1 > DSPOUT3" } },
        { "StudioCoreLite",
          { "DSPIN0 > Mixer4x2 > BusSend > HQDistortion_Q0 > HQDistortion_Q1 > Gain > DSPOUT0", "DSPIN1 > Mixer4x2:1",
            "DSPIN2 > Mixer4x2:2", "DSPIN3 > Mixer4x2:3", "Mixer4x2:1 > DSPOUT1" } },
        { "MixPA",
          { "DSPIN0 > InputMixer > ZoneGain > ZoneLimiter > DSPOUT0", "DSPIN2 > InputMixer:1", "DSPIN3 > InputMixer:2",
            "DSPIN4 > InputMixer:3" } },
    };

    return designs;
}

const char* const errorMarkers[] = { "ROUTING_ERROR_NOT_CONNECTED", "ROUTING_ERROR_CONFLICT_DETECTED", "MEMORY_INIT_ERROR",
                                     "unknown_return_LIBVAR", "unknown_parameter_LIBVAR" };

constexpr uint32_t dspId = 1;

struct WireEnd
{
    GraphNode* node = nullptr; // none for a DSP input or output
    int number = 0;            // the DSP input or output, or the pin or channel
};

class SampleDesignBuilder
{
public:
    explicit SampleDesignBuilder (TestProject& p) : project (p) {}

    void addWire (const juce::String& wire)
    {
        auto items = juce::StringArray::fromTokens (wire, ">", "");
        items.trim();

        for (int i = 0; i + 1 < items.size(); ++i)
            join (find (items[i]), find (items[i + 1]));
    }

    std::set<juce::String> placed;

private:
    WireEnd find (const juce::String& item)
    {
        for (auto prefix : { "DSPIN", "DSPOUT" })
            if (item.startsWith (prefix) && item.substring ((int) strlen (prefix)).containsOnly ("0123456789"))
                return { nullptr, item.getTrailingIntValue() };

        const auto name = item.upToFirstOccurrenceOf (":", false, false);
        const int number = item.contains (":") ? item.fromFirstOccurrenceOf (":", false, false).getIntValue() : 0;

        if (nodes.count (name) == 0)
        {
            auto& node = project.add (dspId, name);
            node.buildControlIds();
            nodes[name] = &node;
            placed.insert (name);
        }

        return { nodes[name], number };
    }

    void join (const WireEnd& from, const WireEnd& to)
    {
        if (from.node == nullptr)
            project.dspInput (dspId, *to.node, (uint32_t) to.number, from.number);
        else if (to.node == nullptr)
            project.dspOutput (dspId, *from.node, (uint32_t) from.number, to.number);
        else
            project.connect (dspId, *from.node, (uint32_t) from.number, *to.node, (uint32_t) to.number);
    }

    TestProject& project;
    std::map<juce::String, GraphNode*> nodes;
};

// The text between the line that starts with start and the next empty line.
juce::StringArray linesOfSection (const juce::StringArray& lines, int start)
{
    juce::StringArray section;

    for (int i = start + 1; i < lines.size() && lines[i].isNotEmpty(); ++i)
        section.add (lines[i]);

    return section;
}

// What a generated DSP source breaks of the firmware's rules, one line each.
juce::StringArray findSourceFaults (const juce::String& source, const ModuleDefinition& module, const GraphData& graph)
{
    juce::StringArray faults;
    const auto function = source.fromFirstOccurrenceOf ("InitAndRoute(void)\n{", false, false);
    const auto dsp = "dsp" + juce::String (dspId);

    // A handle is assigned before anything reads it.
    const auto body = function.fromFirstOccurrenceOf ("WORD dspId;", false, false);
    juce::StringArray handles{ "dspId" };

    for (int n = 0; n < graph.getNumNodes(); ++n)
        handles.add (dsp + "pcs[" + juce::String (graph.getNode (n)->nrpn) + "]");

    for (auto& handle : handles)
        if (const int assignment = body.indexOf ("\t" + handle + " = ");
            assignment < 0 || body.indexOf (handle) != assignment + 1)
            faults.add (handle + " is not assigned before it is read");

    // Every buffer an input reads is written by an output; no pin is routed twice.
    const auto lines = juce::StringArray::fromLines (function);
    const juce::String inputRoute (module.secondModuleFunctions[0]->name), outputRoute (module.secondModuleFunctions[1]->name);
    std::set<juce::String> written, read, routedPins;

    for (auto& line : lines)
    {
        const bool isInput = line.startsWith ("\t" + inputRoute + "(");
        const bool isOutput = line.startsWith ("\t" + outputRoute + "(");

        if (! isInput && ! isOutput)
            continue;

        auto arguments = juce::StringArray::fromTokens (
            line.fromFirstOccurrenceOf ("(", false, false).upToLastOccurrenceOf (")", false, false), ",", "");
        arguments.trim();

        if (! routedPins.insert ((isInput ? "in " : "out ") + arguments[1]).second)
            faults.add ("pin " + arguments[1] + " is routed twice");

        if (arguments[2].startsWith ("PCS_NODE"))
            (isOutput ? written : read).insert (arguments[2]);
    }

    for (auto& buffer : read)
        if (written.count (buffer) == 0)
            faults.add (buffer + " is read but never written");

    // Every process has code of its own.
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith ("\t// Process #") && linesOfSection (lines, i).isEmpty())
            faults.add (lines[i].trim() + " holds no code");

    return faults;
}

class SampleLibraryFirmwareTest : public ::testing::TestWithParam<ModuleDesign>
{
protected:
    void TearDown() override { clearLog(); }
};

const ModuleDefinition* findModule (const ModuleLibrary& library, const juce::String& name)
{
    for (auto& module : library.getModules())
        if (juce::String (module->name) == name)
            return module.get();

    return nullptr;
}
} // namespace

TEST_P (SampleLibraryFirmwareTest, EveryProcessOfTheModuleGivesAFirmwareThatBuildsAndRoutes)
{
    const auto& design = GetParam();

    for (bool commandVariant : { false, true })
    {
        const auto variant = commandVariant ? "commands" : "NRPN";
        TestProject project (sampleDescription());
        const auto* module = findModule (project.library, design.module);
        ASSERT_NE (module, nullptr);
        project.addDsp (dspId, module->moduleId);
        SampleDesignBuilder builder (project);

        for (auto* wire : design.wires)
            builder.addWire (wire);

        for (auto& process : module->getProcesses())
            EXPECT_EQ (builder.placed.count (juce::String (process->name)), 1u) << "the design leaves out " << process->name;

        const auto log = project.generate (commandVariant);
        EXPECT_EQ (getLogErrorCount(), 0) << variant << "\n" << log;
        EXPECT_FALSE (log.contains ("!!!")) << variant << "\n" << log;

        for (const auto& entry : juce::RangedDirectoryIterator (project.outputDirectory, false, "*"))
            for (auto* marker : errorMarkers)
                EXPECT_FALSE (entry.getFile().loadFileAsString().contains (marker))
                    << variant << ": " << marker << " in " << entry.getFile().getFileName();

        const auto source = project.read ("dsp" + juce::String (dspId) + ".c");
        EXPECT_EQ (findSourceFaults (source, *module, project.graph (dspId)).joinIntoString ("\n"), "") << variant << "\n"
                                                                                                        << source;
        EXPECT_EQ (findRoutingBreaches (project.graph (dspId)).joinIntoString ("\n"), "") << variant;

        if (hasHostCompiler())
        {
            EXPECT_EQ (linkWithSdk (project.outputDirectory), "") << variant;
        }
    }
}

INSTANTIATE_TEST_SUITE_P (Sample, SampleLibraryFirmwareTest, ::testing::ValuesIn (getModuleDesigns()),
                          [] (const ::testing::TestParamInfo<ModuleDesign>& p) { return std::string (p.param.module); });

TEST (SampleLibraryFirmwareCoverage, EveryModuleOfTheSampleHasADesign)
{
    std::set<juce::String> covered;

    for (auto& design : getModuleDesigns())
        covered.insert (design.module);

    for (auto& module : sampleDescription().modules)
        EXPECT_EQ (covered.count (juce::String (module.name)), 1u) << module.name;
}
