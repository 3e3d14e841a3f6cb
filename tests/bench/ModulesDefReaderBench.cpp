// How long the program takes to read the largest "Modules.def" the format
// allows: a frame of 65,535 words, filled with real modules.

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
} // namespace

BENCHMARK (readFromMemory)->Unit (benchmark::kMillisecond);
BENCHMARK (readFromFile)->Unit (benchmark::kMillisecond);
BENCHMARK_MAIN();
