// How long the program takes to save and to open the largest design the
// limits allow: 16 DSPs of 63 processes each, wired in chains, every process
// with its stored values and command words. And the same with every process
// holding the most controls a process holds, under long names (the largest
// project file a user can make), of 4 and of 16 DSPs: the time must grow as
// the file does.

#include "model/ModuleLibrary.h"
#include "model/ProjectFile.h"

#include "model/ProjectTestDesigns.h"

#include <benchmark/benchmark.h>

namespace
{
struct Largest
{
    explicit Largest (uint32_t dspCount = 16, bool mostControls = false)
    {
        projecttest::buildLargestDesign (built.design, dspCount);

        if (mostControls)
            projecttest::giveEveryProcessTheMostControls (built.design);

        folder.createDirectory();
        ProjectFile::save (built.design, file, {});
    }

    ~Largest() { folder.deleteRecursively(); }

    projecttest::LibraryAndDesign built;
    juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getChildFile ("vx-bench-" + juce::String::toHexString (juce::Random().nextInt64()));
    juce::File file = folder.getChildFile ("largest.zqp");
};

void save (benchmark::State& state, Largest& largest)
{
    for (auto _ : state)
    {
        const auto result = ProjectFile::save (largest.built.design, largest.file, {});
        benchmark::DoNotOptimize (result.wasOk());
    }

    state.counters["MB"] = (double) largest.file.getSize() / (1024.0 * 1024.0);
}

void open (benchmark::State& state, Largest& largest)
{
    projecttest::LibraryAndDesign opened;

    for (auto _ : state)
    {
        auto loaded = ProjectFile::load (largest.file, opened.getLibrary());
        ProjectFile::install (*loaded.content, largest.file, opened.design);
        benchmark::DoNotOptimize (opened.design.getNumDsps());
    }

    state.counters["MB"] = (double) largest.file.getSize() / (1024.0 * 1024.0);
}

void saveLargestDesign (benchmark::State& state)
{
    Largest largest;
    save (state, largest);
}

void openLargestDesign (benchmark::State& state)
{
    Largest largest;
    open (state, largest);
}

// The argument is the number of DSPs.
void saveDesignOfMostControls (benchmark::State& state)
{
    Largest largest ((uint32_t) state.range (0), true);
    save (state, largest);
}

void openDesignOfMostControls (benchmark::State& state)
{
    Largest largest ((uint32_t) state.range (0), true);
    open (state, largest);
}
} // namespace

BENCHMARK (saveLargestDesign)->Unit (benchmark::kMillisecond);
BENCHMARK (openLargestDesign)->Unit (benchmark::kMillisecond);
BENCHMARK (saveDesignOfMostControls)->Unit (benchmark::kMillisecond)->Arg (4)->Arg (16);
BENCHMARK (openDesignOfMostControls)->Unit (benchmark::kMillisecond)->Arg (4)->Arg (16);
BENCHMARK_MAIN();
