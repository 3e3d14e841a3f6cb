// How long a generation of the largest design takes (16 DSPs of 63 processes
// each), next to copying the tree of files it writes: the generation should
// stay within a few times the cost of merely putting its files on disk.
// And the texts that grow with what a user can type or load, each of which
// must take time in proportion to its size (under 100 ms each here): the
// NRPN list of the largest design, the preset sources of a 1 MB preset file
// whose 4,000 class names all sanitise to one identifier, and a generation
// whose process is named with 1,000,000 characters.

#include "generator/GenerationTestProject.h"
#include "generator/HandlerTestDesigns.h"

#include "generator/NrpnListFile.h"
#include "generator/PresetSourceGenerator.h"
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

void nrpnListOfLargestDesign (benchmark::State& state)
{
    TestProject project;
    buildLargestDesign (project);

    for (int d = 0; d < project.design.getNumDsps(); ++d)
        for (int i = 0; i < project.design.getDsp (d)->getGraph().getNumNodes(); ++i)
            assignCommandWords (*project.design.getDsp (d)->getGraph().getNode (i));

    size_t bytes = 0;

    for (auto _ : state)
        bytes = NrpnListFile::makeText (project.design).getNumBytesAsUTF8();

    state.counters["bytes"] = (double) bytes;
}

// Classes named "Gain" and six of " .-(" in some order: one identifier once
// sanitised, so each but the first is numbered. 4,000 of them make a 1 MB file.
juce::String collidingClassesDocument (int classCount)
{
    juce::MemoryOutputStream document;
    document << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PRESETS Version=\"1.01\" NumberOfTableId=\"0\">\n";

    for (int i = 0; i < classCount; ++i)
    {
        juce::String name ("Gain");

        for (int digit = 0, rest = i; digit < 6; ++digit, rest /= 4)
            name += juce::String (" .-(").substring (rest % 4, rest % 4 + 1);

        document << "<Class name=\"" << name << "\"><CountGroup count=\"1\" TableId=\"-1\"><Preset>\n"
                 << "<Count NumberOfPresets=\"2\" NumberOfControls=\"1\" NumberOfFixedControls=\"0\"/>\n"
                 << "<Controls Name1=\"Level\" Nrpn1=\"16\"/><Lists>\n<List name=\"Soft\" Value1=\"10\"/>\n"
                 << "<List name=\"Loud\" Value1=\"90\"/></Lists></Preset></CountGroup></Class>\n";
    }

    document << "</PRESETS>\n";
    return document.toUTF8();
}

void presetSourcesOfCollidingClasses (benchmark::State& state)
{
    TestProject project;
    const auto file = project.folder.getChildFile ("Colliding.presets");
    file.replaceWithText (collidingClassesDocument ((int) state.range (0)));

    size_t bytes = 0;

    for (auto _ : state)
    {
        PresetSourceGenerator generator (project.design);
        const auto files = generator.makeProcessPresetFiles (file, false);
        bytes = files.has_value() ? files->source.getNumBytesAsUTF8() : 0;
    }

    state.counters["presetFileBytes"] = (double) file.getSize();
    state.counters["sourceBytes"] = (double) bytes;
}

void generationWithAMegabyteProcessName (benchmark::State& state)
{
    TestProject project;
    auto& node = project.addDelayDsp (1);
    juce::MemoryOutputStream name;

    for (int i = 0; i < 100000; ++i)
        name << "Delay*/??\\";

    node.setName (name.toUTF8());

    for (auto _ : state)
        project.generate();

    state.counters["nameCharacters"] = (double) node.getName().length();
}
} // namespace

BENCHMARK (generateLargestDesign)->Unit (benchmark::kMillisecond);
BENCHMARK (copyGeneratedTree)->Unit (benchmark::kMillisecond);
BENCHMARK (nrpnListOfLargestDesign)->Unit (benchmark::kMillisecond);
BENCHMARK (presetSourcesOfCollidingClasses)->Unit (benchmark::kMillisecond)->Arg (1000)->Arg (4000);
BENCHMARK (generationWithAMegabyteProcessName)->Unit (benchmark::kMillisecond);

BENCHMARK_MAIN();
