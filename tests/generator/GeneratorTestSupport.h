#pragma once

#include "generator/BuildProjectFile.h"
#include "model/GenerationContext.h"
#include "model/GraphData.h"
#include "model/ModulesDefReader.h"

#include "modulesdef/ModulesDefDescription.h"

#include <juce_core/juce_core.h>

#include <map>
#include <memory>

// Libraries and small designs for the generator's tests, built in code on
// the sample "Modules.def" description.
namespace generatortest
{
// resources/SampleModules.txt as a description.
modulesdef::LibraryDescription sampleDescription();

// The sample, with the processes the generator's tests need added to its
// module "StudioCore8" (ordinary pins, a vector mixer, a run of vector inputs
// of a fixed width, memory of every kind, the single-memory delay) and a
// pitch-shifter module (id 5).
modulesdef::LibraryDescription generatorDescription();

// A description built into "Modules.def" bytes and read back by the
// program's own reader, as the program reads its library. The library's DSP
// registry starts empty.
std::unique_ptr<ModulesDefReader> readLibrary (const modulesdef::LibraryDescription& description);

// Places a process of the module (found by name) in the graph and in the
// DSP's registry entry, with a channel count when not 0 (the side that
// follows the count follows it too) and a title other than the process name
// when given.
GraphNode& placeProcess (ModuleLibrary& library, uint32_t dspId, uint32_t moduleId, GraphData& graph,
                         const juce::String& processName, uint32_t channelCount = 0, const juce::String& title = {});

// A DSP's process graph and its entry in the library's registry, where a
// design is built: a DSP on its own or one DSP of a whole project.
struct DspPlace
{
    ModuleLibrary& library;
    uint32_t dspId;
    uint32_t moduleId;
    GraphData& graph;

    // Places a process of the DSP's module (found by name), with a channel
    // count when not 0 (the side that follows the count follows it too), and
    // a title other than the process name when given.
    GraphNode& add (const juce::String& processName, uint32_t channelCount = 0, const juce::String& title = {});

    void connect (const GraphNode& source, uint32_t sourcePin, const GraphNode& destination, uint32_t destinationPin);
    void dspInput (const GraphNode& node, uint32_t pin, int number);
    void dspOutput (const GraphNode& node, uint32_t pin, int number);
};

// Holds a TestDsp's graph, so that it exists before the place that names it.
struct OwnedGraph
{
    GraphData ownGraph;
};

// One DSP of a design on its own: its graph, its entry in the library's
// registry and its generator.
class TestDsp : private OwnedGraph, public DspPlace
{
public:
    TestDsp (ModuleLibrary& library, uint32_t dspId, uint32_t moduleId, GenerationContext& context);

    // The pin's routing value after a generation.
    int routing (const GraphNode& node, int pin) const;

    BuildProjectFile generator;
};

// A side of a node as routing reads it: where its output pins start, whether
// its first pin is a vector pin standing for a run of channels, and how many
// channels it offers (a vector pin's run, or one per pin).
int firstOutputIndex (const GraphNode& node);
bool isVectorSide (const GraphNode& node, bool inputs);
uint32_t channelsOf (const GraphNode& node, bool inputs);

// What routing promises unless it reports a conflict: both ends of every
// signal connection read the same node, and no two output channels write
// the same routing node. One line per breach; none when the promise holds.
juce::StringArray findRoutingBreaches (const GraphData& graph);

// The input pins with a channel that reads a routing node no output channel
// writes, each as "of <pin> of <process name> #<nrpn>".
juce::StringArray findUnwrittenReads (const GraphData& graph);

// The words a memory map text reserves in one region, per DSP id: the
// next-base definitions chained from the region's start symbol (of a pair of
// alternatives, the plain one), by the DSP their names carry.
std::map<uint32_t, int64_t> findReservedMemory (const juce::String& memoryText, const juce::String& startSymbol);

// The expected text of a golden file in tests/generator/golden/. With the
// environment variable VX_UPDATE_GOLDEN set, the file is (re)written from
// the actual text instead, so that a deliberate change is one run away.
juce::String goldenText (const juce::String& name, const juce::String& actual);

juce::File getSourceDirectory();

// The items, each ended by the line ending.
juce::String joinLines (std::initializer_list<const char*> items, const char* ending = "\n");

// Whether the host has a C compiler ("cc") for the syntax checks.
bool hasHostCompiler();

// Our small SDK headers (tests/generator/sdk).
juce::File getSdkFolder();

// Runs a tool to its end: empty when it succeeds, else its name and what it
// printed. output, when given, receives what it printed either way.
juce::String runTool (const juce::StringArray& arguments, juce::String* output = nullptr);

// Builds a program for the host from C sources (C with GNU extensions, an
// undeclared function an error, a sanitizer's finding fatal), with the
// arguments given (sanitizers, defines, include folders): empty when it
// builds, else the compiler's messages.
juce::String buildHostProgram (const juce::File& program, const juce::StringArray& arguments, const juce::StringArray& sources);

// Checks a generated C file with the host's C compiler against our small SDK
// headers (tests/generator/sdk), the include folder's headers first, with
// the extra arguments (defines) given: empty when the compiler accepts it,
// else its messages.
juce::String compileWithSdk (const juce::File& source, const juce::File& includeFolder,
                             const juce::StringArray& extraArguments = {});

// Compiles every C source of the folder as compileWithSdk checks it and links
// the objects into one: empty when every name they use is defined by one of
// them, declared by our SDK headers (the SDK's libraries) or a routine of the
// generated assembly wrappers; else the messages, or the names missing.
juce::String linkWithSdk (const juce::File& folder, const juce::StringArray& extraArguments = {});
} // namespace generatortest
