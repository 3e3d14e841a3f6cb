// How long a generation of the largest design takes (16 DSPs of 63 processes
// each), next to copying the tree of files it writes: the generation should
// stay within a few times the cost of merely putting its files on disk.

#include "generator/GenerationTestProject.h"

#include "model/DesignLog.h"

#include <benchmark/benchmark.h>

#include <filesystem>

using namespace generatortest;

namespace
{
// Each DSP a chain of 63 processes of four kinds, from its input 0 to its
// output 0, and each DSP's output 0 wired to the next DSP's input 1.
void buildLargestDesign (TestProject& project)
{
    const char* const kinds[] = { "ParamEq8", "ShortDelay", "Limiter", "LongDelay" };
    juce::StringArray processes;
    std::vector<uint32_t> channelCounts;

    for (int i = 0; i < GraphData::maxNodes; ++i)
    {
        processes.add (kinds[i % 4]);
        channelCounts.push_back (i % 4 == 0 ? 4 : 0);
    }

    for (uint32_t dsp = 1; dsp <= 16; ++dsp)
    {
        project.addChainDsp (dsp, processes, channelCounts);

        if (dsp > 1)
            project.busConnect (dsp - 1, 0, dsp, 1);
    }
}

void generateLargestDesign (benchmark::State& state)
{
    TestProject project;
    buildLargestDesign (project);

    for (auto _ : state)
    {
        clearLog();
        GenerationDriver driver (project.design, project.mainBus);
        driver.generateSourceFiles (false);
    }

    state.counters["files"] = (double) project.listOutput().size();
}

void copyGeneratedTree (benchmark::State& state)
{
    TestProject project;
    buildLargestDesign (project);
    project.generate();

    const auto source = std::filesystem::path (project.outputDirectory.getFullPathName().toStdString());
    const auto target = std::filesystem::path (project.root.getFile().getChildFile ("copy").getFullPathName().toStdString());

    for (auto _ : state)
        std::filesystem::copy (source, target,
                               std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);

    state.counters["files"] = (double) project.listOutput().size();
}
} // namespace

BENCHMARK (generateLargestDesign)->Unit (benchmark::kMillisecond);
BENCHMARK (copyGeneratedTree)->Unit (benchmark::kMillisecond);

BENCHMARK_MAIN();
