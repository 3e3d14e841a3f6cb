#pragma once

#include "model/ProcessPresetStore.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class Design;
class GraphNode;
class ModuleDefinition;
class ProcessDefinition;

// A project file as read and checked, before anything of the open design is
// touched: every value is in range, every reference names a record that is
// there, every count is within the design's limits. Installing it into a
// design therefore cannot fail halfway, so a file is either refused whole or
// taken whole.
//
// Process node ids are positions from 1 in the order the processes are kept,
// which is the order in which they are added to the DSP's graph; connections
// and pin labels already name them so.
class ProjectFileContent
{
public:
    struct Connection
    {
        uint32_t sourceNode = 0;
        uint32_t sourcePin = 0;
        uint32_t destNode = 0;
        uint32_t destPin = 0;
    };

    struct PinLabel
    {
        uint32_t nodeId = 0;
        uint32_t channel = 0;
        uint8_t direction = 0;
        juce::String name;
    };

    struct Process
    {
        double x = 0.0, y = 0.0;
        juce::String name;
        uint32_t processId = 0;
        // None for a process the module definitions lack: it stays in the
        // design, named "... (Removed).", until the user replaces it.
        const ProcessDefinition* definition = nullptr;
        uint32_t channelWord = 1;
        uint32_t memoryWord = 1;
        uint32_t nrpn = 0;
        // Kept for a process without definition, so that it is written back
        // as it was read.
        uint32_t inputCount = 0, outputCount = 0;
        // The pins its box shows on each side, which connections and pin
        // labels must name.
        uint32_t inputPins = 1, outputPins = 1;
        std::vector<uint32_t> commandWords, secondCommandWords;
        int commandWordCount = 0;
        // The "(Last-Saved)" controls and values.
        ProcessPresetStore store;
        // A process without definition: the file's own elements.
        std::shared_ptr<const juce::XmlElement> keptCommands, keptSavedValues;
    };

    struct Dsp
    {
        uint32_t id = 0;
        double x = 0.0, y = 0.0;
        uint32_t moduleId = 0;
        const ModuleDefinition* module = nullptr; // none when the library lacks it
        juce::String name;
        uint32_t nrpn = 0;
        std::vector<Process> processes;
        std::vector<Connection> connections;
        std::vector<PinLabel> pinLabels;
    };

    // "ProjectSettings"; a value the file lacks or holds out of range is
    // absent, and the design keeps its own.
    struct Settings
    {
        int chipIndex = -1;
        int dspCapacity = 16;
        std::optional<int> samplingIndex;
        std::optional<int> memorySizeIndex;
        // Relative to the project's folder, or a full path; "/" separators.
        std::optional<juce::String> directory;
    };

    double fileVersion = 0.0;
    juce::String createdWith;
    bool commandView = false;
    std::optional<Settings> settings;
    std::vector<Dsp> dsps;
    std::vector<Connection> busConnections;
    std::vector<PinLabel> busPinLabels;

    // "Compatibility issue, ..." for every process the module definitions
    // lack, as the log shows them.
    juce::StringArray compatibilityIssues;
    // Every value that was out of range, dropped or replaced, and why.
    juce::StringArray problems;

    int getProcessCount() const noexcept;
    bool hasMessages() const noexcept { return ! compatibilityIssues.isEmpty() || ! problems.isEmpty(); }

    // Writes the compatibility issues and the problems into the log.
    void logMessages() const;

    // Replaces the design's DSPs, bus graph, processes and registry entries
    // with this content, and takes its chip, sampling rate and memory size;
    // the design's library must be the one the content was checked against.
    // Every graph and the design send their change messages; the modified
    // marks are the caller's to clear.
    void installInto (Design& design) const;

private:
    void installDsp (Design& design, const Dsp& dsp) const;
    static void takeSavedCommandWords (GraphNode& node, const Process& process);
};
