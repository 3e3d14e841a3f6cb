// The library the program ships must describe an SDK a firmware can be built
// on: for every module of the sample, a design that uses every process of the
// module, wired from the DSP's inputs to its outputs, generates without an
// error, assigns every handle before it is used, reads no buffer that nothing
// writes, sets up every process after the processes feeding it, gives every
// process code of its own, reserves the external RAM its DSP's load shows,
// fits its memory in the default regions, and links as one firmware. Smaller
// designs show what a design of the sample may get wrong, and what the
// generation reports of it.

#include "GenerationTestProject.h"

#include "model/DesignLog.h"
#include "model/DspResourceEstimator.h"

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
// Processes are placed in the order the wires first name them.
struct ModuleDesign
{
    const char* name;
    const char* module;
    std::vector<const char*> wires;
    bool everyProcess = false;            // the design uses every process of the module
    std::vector<const char*> errors = {}; // what its generation reports, and nothing else
    uint32_t memoryWord = 0;              // every process's memory, when not 0
};

// Failures name the design, not its bytes.
void PrintTo (const ModuleDesign& design, std::ostream* out)
{
    *out << design.name;
}

const std::vector<const char*> studioCore8Wires{
    "DSPIN0 > ParamEq8 > ShelfEq2 > Compressor > Compander > Limiter > ShortDelay > LongDelay > DSPOUT0",
    "Compressor > LevelMeter", "SampleBank:0 > DSPOUT2", "SampleBank:1 > DSPOUT3"
};

const std::vector<ModuleDesign>& getModuleDesigns()
{
    static const std::vector<ModuleDesign> designs{
        { "StudioCore8", "StudioCore8", studioCore8Wires, true },
        { "StudioCoreLite",
          "StudioCoreLite",
          { "DSPIN0 > Mixer4x2 > BusSend > HQDistortion_Q0 > HQDistortion_Q1 > Gain > DSPOUT0", "DSPIN1 > Mixer4x2:1",
            "DSPIN2 > Mixer4x2:2", "DSPIN3 > Mixer4x2:3", "Mixer4x2:1 > DSPOUT1" },
          true },
        { "MixPA",
          "MixPA",
          { "DSPIN0 > InputMixer > ZoneGain > ZoneLimiter > DSPOUT0", "DSPIN2 > InputMixer:1", "DSPIN3 > InputMixer:2",
            "DSPIN4 > InputMixer:3" },
          true },
        { "StudioCore8In24BitRam", "StudioCore8", studioCore8Wires, true, {}, GraphNode::memoryChoiceInternal24BitRam },
        // A bank, which takes no signal, beside a chain placed from its end.
        { "SourceProcessInAChain",
          "StudioCore8",
          { "Limiter > DSPOUT0", "DSPIN0 > ParamEq8 > Limiter", "ShortDelay > DSPOUT2", "SampleBank:0 > ShortDelay",
            "SampleBank:1 > DSPOUT3" } },
        { "MonoOutputIntoStereoInput",
          "StudioCore8",
          { "DSPIN0 > ShortDelay > Limiter > DSPOUT0" },
          false,
          { "no connected output writes channel 2 of In of Limiter #2 in DSP#1" } },
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

    // Every process has code of its own, after the processes feeding it.
    std::map<uint32_t, int> processLine; // by nrpn

    for (int i = 0; i < lines.size(); ++i)
    {
        if (! lines[i].startsWith ("\t// Process #"))
            continue;

        processLine[(uint32_t) lines[i].fromFirstOccurrenceOf ("#", false, false).getIntValue()] = i;

        if (linesOfSection (lines, i).isEmpty())
            faults.add (lines[i].trim() + " holds no code");
    }

    for (int i = 0; i < graph.getNumConnections(); ++i)
    {
        const auto* c = graph.getConnection (i);
        const auto* source = graph.findNodeById (c->sourceNode);
        const auto* destination = graph.findNodeById (c->destNode);

        if (c->flag == 0 && processLine[source->nrpn] > processLine[destination->nrpn])
            faults.add ("process #" + juce::String (destination->nrpn) + " is set up before #" + juce::String (source->nrpn) +
                        ", which feeds it");
    }

    return faults;
}

// The address a "#define\t<name> <value>" line of the text gives.
int64_t findDefine (const juce::String& text, const juce::String& name)
{
    return text.fromFirstOccurrenceOf ("#define\t" + name + " ", false, false)
        .upToFirstOccurrenceOf ("\n", false, false)
        .getHexValue64();
}

int64_t reservedFor (const juce::String& memoryMap, const juce::String& startSymbol)
{
    const auto reserved = findReservedMemory (memoryMap, startSymbol);
    const auto it = reserved.find (dspId);
    return it == reserved.end() ? 0 : it->second;
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

TEST_P (SampleLibraryFirmwareTest, EachDesignGivesAFirmwareThatBuildsAndRoutesOrSaysWhyNot)
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
            EXPECT_TRUE (! design.everyProcess || builder.placed.count (juce::String (process->name)) == 1)
                << "the design leaves out " << process->name;

        auto& graph = project.graph (dspId);

        for (int i = 0; design.memoryWord != 0 && i < graph.getNumNodes(); ++i)
            graph.getNode (i)->setMemoryWord (design.memoryWord);

        const auto log = project.generate (commandVariant);
        EXPECT_EQ (getLogErrorCount(), (int) design.errors.size()) << variant << "\n" << log;

        for (auto* error : design.errors)
            EXPECT_TRUE (log.contains (error)) << variant << "\n" << log;

        // The external RAM the DSP's load shows is what its memory map
        // reserves; the 24-bit RAM it reserves ends before the 16-bit RAM starts.
        const auto memoryMap = project.read ("memorymap.h");
        const auto& settings = project.design.getSettings();
        EXPECT_EQ (DspResourceEstimator (&graph, &project.library)
                       .addMemoryCosts (dspId, settings.getExternalMemorySize(), settings.getSamplingRateKhz())
                       .used,
                   reservedFor (memoryMap, "MEMADDR_EXTRAM_START"))
            << memoryMap;

        const auto config = project.read ("MainAppConfig.h");
        EXPECT_LE (reservedFor (memoryMap, "MEMADDR_INT24RAM_START"),
                   findDefine (config, "MEMADDR_INT16RAM_START") - findDefine (config, "MEMADDR_INT24RAM_START"))
            << memoryMap;

        for (const auto& entry : juce::RangedDirectoryIterator (project.outputDirectory, false, "*"))
            for (auto* marker : errorMarkers)
                EXPECT_FALSE (entry.getFile().loadFileAsString().contains (marker))
                    << variant << ": " << marker << " in " << entry.getFile().getFileName();

        const auto source = project.read ("dsp" + juce::String (dspId) + ".c");
        EXPECT_EQ (findSourceFaults (source, *module, graph).joinIntoString ("\n"), "") << variant << "\n" << source;
        EXPECT_EQ (findRoutingBreaches (project.graph (dspId)).joinIntoString ("\n"), "") << variant;

        if (hasHostCompiler())
        {
            EXPECT_EQ (linkWithSdk (project.outputDirectory), "") << variant;
        }
    }
}

INSTANTIATE_TEST_SUITE_P (Sample, SampleLibraryFirmwareTest, ::testing::ValuesIn (getModuleDesigns()),
                          [] (const ::testing::TestParamInfo<ModuleDesign>& p) { return std::string (p.param.name); });

TEST (SampleLibraryFirmwareCoverage, EveryModuleOfTheSampleHasADesign)
{
    std::set<juce::String> covered;

    for (auto& design : getModuleDesigns())
        if (design.everyProcess)
            covered.insert (design.module);

    for (auto& module : sampleDescription().modules)
        EXPECT_EQ (covered.count (juce::String (module.name)), 1u) << module.name;
}
