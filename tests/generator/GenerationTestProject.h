#pragma once

#include "GeneratorTestSupport.h"

#include "generator/GenerationDriver.h"
#include "generator/MainBusFile.h"
#include "model/Design.h"

#include <juce_core/juce_core.h>

#include <memory>
#include <vector>

// Whole designs for the generation driver's tests: a design in the model, with
// its project file and output directory in a folder of their own.
namespace generatortest
{
constexpr uint32_t studioCoreModule = 0x0021;
constexpr uint32_t pitchFxModule = 0x0005;    // kind 0x8005: S/PDIF
constexpr uint32_t feedbackFxModule = 0x0071; // kind 0x8003: feedback canceller

// The generator's test library with the control processes of the handler
// tests and a feedback-canceller module added.
modulesdef::LibraryDescription projectDescription();

class TestProject
{
public:
    // "<folder>/My Design.zqp", the sources going to "<folder>/out", on the
    // library given (else on projectDescription()).
    TestProject();
    explicit TestProject (const modulesdef::LibraryDescription& description);
    ~TestProject();

    // A DSP box on the bus and its slot.
    DspSlot& addDsp (uint32_t dspId, uint32_t moduleId = studioCoreModule);
    GraphData& graph (uint32_t dspId);

    GraphNode& add (uint32_t dspId, const juce::String& processName, uint32_t channelCount = 0);
    void connect (uint32_t dspId, const GraphNode& source, uint32_t sourcePin, const GraphNode& destination,
                  uint32_t destinationPin);
    void dspInput (uint32_t dspId, const GraphNode& node, uint32_t pin, int number);
    void dspOutput (uint32_t dspId, const GraphNode& node, uint32_t pin, int number);

    // A DSP whose input 0 runs through the processes in turn to its output 0,
    // each with its channel count from channelCounts (none or 0: its own).
    // Returns the last process.
    GraphNode& addChainDsp (uint32_t dspId, const juce::StringArray& processNames,
                            const std::vector<uint32_t>& channelCounts = {});

    // A DSP whose input 0 runs through one delay to its output 0.
    GraphNode& addDelayDsp (uint32_t dspId);

    // A wire on the bus from an output of one DSP to an input of another.
    void busConnect (uint32_t sourceDsp, uint32_t sourceChannel, uint32_t destinationDsp, uint32_t destinationChannel);
    // A chip pin name on a DSP pin.
    void chipPin (uint32_t dspId, uint32_t channel, bool input, const juce::String& name);

    // A generation from an empty log; returns the log.
    juce::String generate (bool commandVariant = false);
    juce::String generate (GenerationDriver& driver, bool commandVariant = false);

    // The names of the files in the output directory, sorted.
    juce::StringArray listOutput() const;
    juce::String read (const juce::String& name) const;
    // The files the IDE project beside the project file lists that are not in
    // the output directory.
    juce::StringArray findFilesMissingFromIdeProject() const;

    juce::TemporaryFile root;
    juce::File folder, outputDirectory, projectFile;
    std::unique_ptr<ModulesDefReader> reader;
    ModuleLibrary& library;
    Design design;
    MainBusFile mainBus;
};

// Three DSPs with every feature: biquads of both kinds on DSP 1, a feedback
// canceller on DSP 2 and S/PDIF on DSP 3, wired on the bus and to chip pins.
void buildFeatureDesign (TestProject& project);

// The log of a generation with the output directory's path replaced by "<out>".
juce::String withPlaceholder (const juce::String& log, const juce::File& outputDirectory);
} // namespace generatortest
