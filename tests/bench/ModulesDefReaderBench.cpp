// How long the program takes to read the largest "Modules.def" the format
// allows: a frame of 65,535 words, filled with real modules; and the slowest
// such files we know of for the walk of the parameter lists, whose dictionary
// entries every function refers to.

#include "model/ModulesDefReader.h"

#include "modulesdef/ModulesDefBuilder.h"
#include "modulesdef/ModulesDefText.h"

#include <benchmark/benchmark.h>

using modulesdef::ModulesDefBuilder;

namespace
{
constexpr size_t largestFrame = 65535 * 2;

std::vector<uint8_t> largestFile()
{
    const auto text = juce::File (VX_SOURCE_DIR).getChildFile ("resources/SampleModules.txt").loadFileAsString();
    const auto sample = modulesdef::ModulesDefText::parse (text.toStdString());

    // Copies of the sample's modules, as many as fit, then filler between
    // sections up to the last byte the frame word can count.
    auto description = sample;
    description.modules.clear();
    std::vector<uint8_t> sections;

    for (uint16_t copy = 0; description.modules.size() < 256; ++copy)
    {
        auto grown = description;
        auto m = sample.modules[copy % sample.modules.size()];
        m.id = copy;
        grown.modules.push_back (m);
        auto bytes = ModulesDefBuilder::buildSections (grown);

        if (bytes.size() + 16 > largestFrame)
            break;

        description = grown;
        sections = bytes;
    }

    sections.resize (largestFrame - 14, 0x01);
    return ModulesDefBuilder::wrapFile (ModulesDefBuilder::wrapFrame (description.dspCapacity, sections));
}

void readFromMemory (benchmark::State& state)
{
    const auto file = largestFile();

    for (auto _ : state)
    {
        ModulesDefReader reader;
        reader.open (std::make_unique<juce::MemoryInputStream> (file.data(), file.size(), false));
        const int result = reader.parse();

        if (result != 65535)
            state.SkipWithError ("the largest file was not read");

        benchmark::DoNotOptimize (result);
    }

    state.SetBytesProcessed ((int64_t) state.iterations() * (int64_t) file.size());
}

void readFromFile (benchmark::State& state)
{
    const auto bytes = largestFile();
    juce::TemporaryFile temp ("Modules.def");
    temp.getFile().replaceWithData (bytes.data(), bytes.size());

    for (auto _ : state)
    {
        ModulesDefReader reader;
        reader.open (temp.getFile());
        const int result = reader.parse();

        if (result != 65535)
            state.SkipWithError ("the largest file was not read");

        benchmark::DoNotOptimize (result);
    }

    state.SetBytesProcessed ((int64_t) state.iterations() * (int64_t) bytes.size());
}

// A file of the largest size whose functions all refer to one dictionary
// entry: `escapes` escapes (to itself, or to an empty entry) before 255
// items, and as many control functions of 255 parameters as fit. Reading it
// walks every parameter of every function to find the index parameters.
std::vector<uint8_t> sharedEntryFile (bool toItself, int escapes)
{
    modulesdef::LibraryDescription d;
    d.dictionary.resize (2);

    for (int i = 0; i < escapes; ++i)
        d.dictionary[0].insert (d.dictionary[0].end(), { 0xFFFF, (uint16_t) (toItself ? 0 : 1) });

    for (int i = 0; i < 255; ++i)
        d.dictionary[0].insert (d.dictionary[0].end(), { 4, 0, 11 });

    modulesdef::FunctionDescription f;
    f.name = "F";
    f.parameterCount = 255;
    f.words = { 0xFFFF, 0 };

    modulesdef::ProcessDescription p;
    p.name = "P";
    d.modules.resize (1);
    d.modules[0].name = "M";

    // About 16 bytes a function.
    const auto used = ModulesDefBuilder::buildSections (d).size() + 64;
    p.controlFunctions.assign ((largestFrame - used) / 16, f);
    d.modules[0].processes = { p };
    return ModulesDefBuilder::build (d);
}

void readSharedEntry (benchmark::State& state)
{
    const auto file = sharedEntryFile (state.range (0) != 0, (int) state.range (1));

    for (auto _ : state)
    {
        ModulesDefReader reader;
        reader.open (std::make_unique<juce::MemoryInputStream> (file.data(), file.size(), false));
        const int result = reader.parse();

        if (result <= 0)
            state.SkipWithError ("the file was not read");

        benchmark::DoNotOptimize (result);
    }
}
} // namespace

BENCHMARK (readFromMemory)->Unit (benchmark::kMillisecond);
BENCHMARK (readFromFile)->Unit (benchmark::kMillisecond);
BENCHMARK (readSharedEntry)
    ->Unit (benchmark::kMillisecond)
    ->Args ({ 1, 40 })
    ->Args ({ 1, 4000 })
    ->Args ({ 0, 4000 })
    ->Args ({ 0, 16000 });
BENCHMARK_MAIN();
