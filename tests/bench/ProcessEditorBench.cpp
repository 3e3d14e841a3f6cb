// How long a DSP page takes to follow its graph: a DSP full of processes (63
// boxes, each wired to the next) synchronised after an edit, made from
// nothing (a project opened), and laid out again at another size. An edit
// must never keep the user waiting: well under one frame (16 ms).

#include "editors/ActionManager.h"
#include "editors/DspEditor.h"
#include "editors/DspEditorHost.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessEditor.h"
#include "model/Design.h"
#include "model/ModulesDefReader.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
class Host : public DspEditorHost
{
public:
    ActionManager& getEditHistory() override { return history; }
    ActionManager& getClipboard() override { return clipboard; }

    ActionManager history, clipboard;
};

// The sample library and one DSP of its first module with 63 processes in a chain.
class FullDsp
{
public:
    FullDsp()
    {
        reader.open (juce::File::getSpecialLocation (juce::File::currentExecutableFile).getSiblingFile ("Modules.def"));
        reader.parse();
        reader.getLibrary().clearDsps();
        design.setLibrary (&reader.getLibrary());
        design.addDsp (1, 0x21);

        auto* module = reader.getLibrary().findModuleById (0x21);
        auto& graph = getGraph();
        auto* entry = design.getDspEntry (1);

        for (int i = 0; i < GraphData::maxNodes; ++i)
        {
            auto* definition = module->getProcess (2 + i % 3); // compressor, compander, limiter
            graph.addNode (juce::String (definition->name), true, definition, 0.05 + 0.9 * (i % 9) / 8.0,
                           0.05 + 0.9 * (i / 9) / 6.0);
            entry->addProcessInstance ((int) graph.getLastAddedNode()->getId(), definition->processId);
        }

        for (uint32_t id = 1; id < (uint32_t) GraphData::maxNodes; ++id)
            graph.addConnection (id, 0, id + 1, 0);
    }

    GraphData& getGraph() { return design.findDsp (1)->getGraph(); }

    ModulesDefReader reader;
    Design design;
    Host host;
};

// A change message for a graph that changed in one place: a wire moved.
void SynchroniseAfterAnEdit (benchmark::State& state)
{
    FullDsp dsp;
    ProcessContainer pages (dsp.design, dsp.host);
    pages.setBounds (0, 0, 1400, 900);
    auto& editor = pages.findDspById (1)->getProcessEditor();
    auto& graph = dsp.getGraph();
    editor.synchronise();

    for (auto _ : state)
    {
        graph.removeConnection (1, 0, 2, 0, GraphData::matchAllConnectionFields, true);
        graph.addConnection (1, 1, 2, 1);
        editor.changeListenerCallback (&graph);
        graph.removeConnection (1, 1, 2, 1, GraphData::matchAllConnectionFields, true);
        graph.addConnection (1, 0, 2, 0);
        editor.changeListenerCallback (&graph);
    }

    state.SetItemsProcessed (state.iterations() * 2);
    state.counters["boxes"] = editor.getBoxes().size();
    state.counters["wires"] = editor.getConnectors().size();
}

// Every box and wire made, as after a project open.
void SynchroniseFromNothing (benchmark::State& state)
{
    FullDsp dsp;

    for (auto _ : state)
    {
        ProcessEditor editor (dsp.getGraph(), dsp.design, dsp.host, 1);
        editor.setBounds (0, 0, 2000, 1980);
        benchmark::DoNotOptimize (editor.getBoxes().size());
    }
}

// The editor resized: every box moves to its place, every wire follows.
void FullRelayout (benchmark::State& state)
{
    FullDsp dsp;
    ProcessEditor editor (dsp.getGraph(), dsp.design, dsp.host, 1);
    editor.setBounds (0, 0, 2000, 1980);
    bool wide = false;

    for (auto _ : state)
    {
        wide = ! wide;
        editor.setBounds (0, 0, wide ? 2400 : 2000, wide ? 2200 : 1980);
    }
}
} // namespace

BENCHMARK (SynchroniseAfterAnEdit)->Unit (benchmark::kMicrosecond);
BENCHMARK (SynchroniseFromNothing)->Unit (benchmark::kMillisecond);
BENCHMARK (FullRelayout)->Unit (benchmark::kMicrosecond);

// JUCE stands for the whole run and goes before the program's statics do.
int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI gui;
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
