// How long the program takes to save and to open the largest design the
// limits allow: 16 DSPs of 63 processes each, wired in chains, every process
// with its stored values and command words.

#include "model/ModuleLibrary.h"
#include "model/ProjectFile.h"

#include "model/ProjectTestDesigns.h"

#include <benchmark/benchmark.h>

namespace
{
struct Largest
{
    Largest()
    {
        projecttest::buildLargestDesign (built.design);
        folder.createDirectory();
        ProjectFile::save (built.design, file, {});
    }

    ~Largest() { folder.deleteRecursively(); }

    projecttest::LibraryAndDesign built;
    juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getChildFile ("vx-bench-" + juce::String::toHexString (juce::Random().nextInt64()));
    juce::File file = folder.getChildFile ("largest.zqp");
};

void saveLargestDesign (benchmark::State& state)
{
    Largest largest;

    for (auto _ : state)
    {
        const auto result = ProjectFile::save (largest.built.design, largest.file, {});
        benchmark::DoNotOptimize (result.wasOk());
    }

    state.counters["bytes"] = (double) largest.file.getSize();
}

void openLargestDesign (benchmark::State& state)
{
    Largest largest;
    projecttest::LibraryAndDesign opened;

    for (auto _ : state)
    {
        auto loaded = ProjectFile::load (largest.file, opened.getLibrary());
        ProjectFile::install (*loaded.content, largest.file, opened.design);
        benchmark::DoNotOptimize (opened.design.getNumDsps());
    }

    state.counters["processes"] = 16 * 63;
}
} // namespace

BENCHMARK (saveLargestDesign)->Unit (benchmark::kMillisecond);
BENCHMARK (openLargestDesign)->Unit (benchmark::kMillisecond);
BENCHMARK_MAIN();
