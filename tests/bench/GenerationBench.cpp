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

    for (uint32_t dsp = 1; dsp <= 16; ++dsp)
    {
        project.addDsp (dsp);
        GraphNode* previous = nullptr;

        for (int i = 0; i < GraphData::maxNodes; ++i)
        {
            auto& node = project.add (dsp, kinds[i % 4], i % 4 == 0 ? 4 : 0);

            if (previous == nullptr)
                project.dspInput (dsp, node, 0, 0);
            else
                project.connect (dsp, *previous, 0, node, 0);

            previous = &node;
        }

        project.dspOutput (dsp, *previous, 0, 0);

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
