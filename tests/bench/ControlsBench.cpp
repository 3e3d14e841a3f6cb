// How long a process's controls take: writing the control-panel text of a
// delay at the longest length its slider allows and of the process of the
// shipped library whose text is longest at its largest count, and reading a
// project whose one "Controls" element holds many attributes (N and 4N: the
// time must grow about as the file does).

#include "model/ModuleLibrary.h"
#include "model/NodeChannelRules.h"
#include "model/ProjectFileFormat.h"
#include "model/ProjectFileReader.h"
#include "model/XmlFileAccess.h"

#include "generator/PanelScriptWriter.h"
#include "generator/VuMeterIdPool.h"
#include "model/ProjectTestDesigns.h"

#include <benchmark/benchmark.h>

namespace
{
constexpr double rateKhz = 48.0;

const ModuleLibrary& getLibrary()
{
    static const auto reader = projecttest::readSampleLibrary();
    return reader->getLibrary();
}

// A node of the process at the largest count its slider allows, with its
// command words as its box builds them.
std::unique_ptr<GraphNode> makeLargestNode (const ProcessDefinition& definition)
{
    auto node = std::make_unique<GraphNode> (1, 1, juce::String (definition.name), true, &definition, 0.5, 0.5);
    const auto range = NodeChannelRules::getSliderRange (*node, rateKhz);
    node->channelWord = NodeChannelRules::makeChannelWord (node->channelWord, range.maximum);
    node->buildControlIds();
    return node;
}

juce::String writeText (const GraphNode& node)
{
    ProcessPresetStore store;
    VuMeterIdPool meterIds;
    int meterId = VuMeterIdPool::noId;
    store.markBuilding();
    return PanelScriptWriter (*node.getProcessDefinition(), node, 1, rateKhz, (double) node.getChannelCount())
        .write (store, false, meterId, meterIds);
}

void benchmarkText (benchmark::State& state, const GraphNode& node)
{
    size_t length = 0;

    for (auto _ : state)
    {
        const auto text = writeText (node);
        length = text.getNumBytesAsUTF8();
        benchmark::DoNotOptimize (length);
    }

    state.counters["count"] = (double) node.getChannelCount();
    state.counters["bytes"] = (double) length;
    state.SetLabel (node.getName().toStdString());
}

const ProcessDefinition& findProcess (const char* name)
{
    for (auto& module : getLibrary().getModules())
        for (auto& process : module->getProcesses())
            if (juce::String (process->name) == name)
                return *process;

    throw std::runtime_error (std::string ("no process ") + name);
}

void panelTextOfLongestDelay (benchmark::State& state)
{
    const auto node = makeLargestNode (findProcess ("LongDelay"));
    benchmarkText (state, *node);
}

void panelTextOfLargestMultiChannelProcess (benchmark::State& state)
{
    std::unique_ptr<GraphNode> largest;
    int largestLength = -1;

    for (auto& module : getLibrary().getModules())
    {
        for (auto& process : module->getProcesses())
        {
            auto node = makeLargestNode (*process);

            if (node->hasDelayCount() || node->getChannelCount() < 2)
                continue;

            if (const auto length = writeText (*node).length(); length > largestLength)
            {
                largestLength = length;
                largest = std::move (node);
            }
        }
    }

    benchmarkText (state, *largest);
}

// A project of one compressor whose saved values name `count` controls.
juce::String makeProjectWithManyControls (int count)
{
    juce::String controls, values;
    controls.preallocateBytes ((size_t) count * 40);
    values.preallocateBytes ((size_t) count * 24);

    for (int i = 1; i <= count; ++i)
    {
        controls << " Name" << i << "=\"Control" << i << "\" Nrpn" << i << "=\"" << (i & 0x7F) << "\"";
        values << " Value" << i << "=\"" << i << "\"";
    }

    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<OSTRANE_QUELLION_Configuration Version=\"1.01\"><DSPs>"
           "<DSP Index=\"1\" ModuleId=\"33\" Name=\"DSP\" nrpn=\"1\"><Processes><Process Name=\"Compressor\" "
           "ProcessId=\"515\" NCount=\"3221225474\" MemoryDelay=\"1\" nrpn=\"1\"><Class name=\"Compressor\">"
           "<CountGroup count=\"2\"><Preset><Count NumberOfPresets=\"1\" NumberOfControls=\"" +
           juce::String (count) + "\" NumberOfFixedControls=\"0\"/><Controls" + controls +
           "/><Lists><List name=\"(Last-Saved)\"" + values +
           "/></Lists></Preset></CountGroup></Class></Process></Processes></DSP></DSPs>"
           "</OSTRANE_QUELLION_Configuration>";
}

// The reading of the parsed file only: JUCE's parser keeps every distinct
// attribute name in one pool, which is a cost of its own.
void readProjectWithManyControls (benchmark::State& state)
{
    const auto text = makeProjectWithManyControls ((int) state.range (0));
    const auto parsed = XmlFileAccess::parse (text, ProjectFileFormat::rootTag);
    auto library = projecttest::readLibrary();

    for (auto _ : state)
    {
        const auto content = ProjectFileReader (library->getLibrary()).read (*parsed.root);
        benchmark::DoNotOptimize (content.dsps.size());
    }

    state.counters["bytes"] = (double) text.getNumBytesAsUTF8();
}
} // namespace

BENCHMARK (panelTextOfLongestDelay)->Unit (benchmark::kMillisecond);
BENCHMARK (panelTextOfLargestMultiChannelProcess)->Unit (benchmark::kMillisecond);
BENCHMARK (readProjectWithManyControls)->Arg (10000)->Arg (40000)->Unit (benchmark::kMillisecond);
BENCHMARK_MAIN();
