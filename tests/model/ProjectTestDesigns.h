#pragma once

#include "model/Design.h"
#include "model/ModulesDefReader.h"

#include <juce_core/juce_core.h>

#include <memory>

// Designs built in code on the sample "Modules.def", for the project file's
// tests and benchmark.
namespace projecttest
{
constexpr uint32_t studioCore8 = 0x0021;
constexpr uint32_t studioCoreLite = 0x0022;
// A module of ours whose process has control functions that end in the same
// ten characters, or hold characters that XML names cannot.
constexpr uint32_t commandTest = 0x0077;

// The sample library as the program reads it, its DSP registry as read.
std::unique_ptr<ModulesDefReader> readSampleLibrary();

// The sample library with the command test module, read by the program's own
// reader; its DSP registry is empty.
std::unique_ptr<ModulesDefReader> readLibrary();

// A design over a library of its own.
struct LibraryAndDesign
{
    LibraryAndDesign() : reader (readLibrary()) { design.setLibrary (&reader->getLibrary()); }

    ModuleLibrary& getLibrary() { return reader->getLibrary(); }

    std::unique_ptr<ModulesDefReader> reader;
    Design design;
};

// Empty when two designs hold everything the project file keeps alike,
// else the first line of their descriptions where they part.
juce::String compareDesigns (const Design& expected, const Design& actual);

// The expected text of a file in tests/model/golden/; with the environment
// variable VX_UPDATE_GOLDEN set, the file is written from the actual text.
juce::String goldenText (const juce::String& name, const juce::String& actual);

// Adds DSPs and processes to a design as the editors do: a box in the bus
// graph, a slot with its registry entry, process nodes with their instances.
class DesignBuilder
{
public:
    explicit DesignBuilder (Design& target) : design (target) {}

    void addDsp (uint32_t id, uint32_t moduleId, double x, double y, const juce::String& name = "DSP");

    // A process of the DSP's module, found by name, with a channel count
    // when not 0 (a side that follows the count follows it).
    GraphNode& addProcess (uint32_t dspId, const juce::String& processName, double x, double y, uint32_t channelCount = 0);

    void connect (uint32_t dspId, const GraphNode& source, uint32_t sourcePin, const GraphNode& destination,
                  uint32_t destinationPin);

    // Gives a process's store these controls and its "(Last-Saved)" these values.
    static void setLastSaved (GraphNode& node, std::initializer_list<std::pair<const char*, uint32_t>> controls);

    // One command word per control function, as the process editor builds
    // them, with a second word.
    static void setCommandWords (GraphNode& node, uint32_t seed);

private:
    Design& design;
};

// Two DSPs of two modules with connections, DSP pins and chip pins, stored
// values, command words, a delay process and the settings.
void buildSampleDesign (Design& design);

// The largest design the limits allow: 16 DSPs of 63 processes, each DSP a
// chain with its stored values and command words. Fewer DSPs make a part of it.
void buildLargestDesign (Design& design, uint32_t dspCount = 16);

// Gives every process of the design the most controls a process holds, with
// names as long as a library's longest, each with its stored value: with
// the largest design, the largest project file a user can make.
void giveEveryProcessTheMostControls (Design& design);
} // namespace projecttest
