// How long a DSP's processes take to put into signal-flow order, as the graph
// grows. A chain of d diamonds has 2^d walks from its input: beyond a bounded
// number of steps the walks are given up for a depth-first order, so 28
// diamonds should cost no more than a bounded multiple of 7, not 2^21 times
// as much. Random graphs of four times the processes and connections should
// likewise stay within a bounded factor.

#include "generator/ProcessOrdering.h"
#include "model/DspDefinitionEntry.h"
#include "model/GraphData.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace
{
// A DSP's graph of bare processes 1..count, in the order placed.
struct Dsp
{
    explicit Dsp (int count)
    {
        for (int id = 1; id <= count; ++id)
        {
            graph.addNode ("P" + juce::String (id), true, nullptr, 0.0, 0.0);
            auto entry = std::make_unique<ProcessInstanceEntry>();
            entry->nodeNumber = id;
            entry->processId = (uint32_t) id;
            processes.push_back (entry.get());
            entries.push_back (std::move (entry));
        }
    }

    void dspInput (int id, int number) { graph.addBusPin ((uint32_t) id, 0, 1, "DSPIN" + juce::String (number)); }
    void dspOutput (int id, int number) { graph.addBusPin ((uint32_t) id, 0, 0, "DSPOUT" + juce::String (number)); }

    // As the generator does it, on a copy of the process list.
    bool sort() const
    {
        auto order = processes;
        ProcessOrdering ordering (graph, order);
        ordering.build();
        ordering.sort();
        return order.size() == processes.size();
    }

    GraphData graph;
    std::vector<std::unique_ptr<ProcessInstanceEntry>> entries;
    std::vector<const ProcessInstanceEntry*> processes;
};

void sortChainOfDiamonds (benchmark::State& state)
{
    const auto diamonds = (int) state.range (0);
    Dsp dsp (2 * diamonds + 1);
    dsp.dspInput (1, 0);

    for (int d = 0; d < diamonds; ++d)
    {
        const auto top = (uint32_t) (1 + 2 * d);
        dsp.graph.addConnection (top, 0, top + 1, 0);
        dsp.graph.addConnection (top, 1, top + 2, 0);
        dsp.graph.addConnection (top + 1, 0, top + 2, 1);
    }

    dsp.dspOutput (2 * diamonds + 1, 0);

    for (auto _ : state)
        if (! dsp.sort())
            state.SkipWithError ("the processes were not ordered");
}

// Sixteen graphs of a fixed seed, each of `count` processes with twice as
// many connections between any pins, some processes fed by DSP inputs and
// some feeding DSP outputs.
void sortRandomGraphs (benchmark::State& state)
{
    const auto count = (int) state.range (0);
    std::mt19937 random (2024);
    std::uniform_int_distribution<uint32_t> anyNode (1, (uint32_t) count);
    std::uniform_int_distribution<uint32_t> anyPin (0, 3);
    std::vector<std::unique_ptr<Dsp>> dsps;

    for (int g = 0; g < 16; ++g)
    {
        auto& dsp = *dsps.emplace_back (std::make_unique<Dsp> (count));

        for (int c = 0; c < 2 * count; ++c)
            dsp.graph.addConnection (anyNode (random), anyPin (random), anyNode (random), anyPin (random));

        for (int i = 0; i < 1 + count / 8; ++i)
        {
            dsp.dspInput ((int) anyNode (random), i % 8);
            dsp.dspOutput ((int) anyNode (random), i % 8);
        }
    }

    for (auto _ : state)
        for (const auto& dsp : dsps)
            if (! dsp->sort())
                state.SkipWithError ("the processes were not ordered");

    state.SetItemsProcessed (state.iterations() * (int64_t) dsps.size());
}
} // namespace

BENCHMARK (sortChainOfDiamonds)->Unit (benchmark::kMillisecond)->Arg (7)->Arg (28)->Arg (31);
BENCHMARK (sortRandomGraphs)->Unit (benchmark::kMillisecond)->Arg (15)->Arg (60);
BENCHMARK_MAIN();
