#pragma once

#include "GeneratorTestSupport.h"

#include <functional>
#include <memory>

// The small designs whose generated sources are kept as golden texts and
// compiled against our stand-in SDK headers.
namespace generatortest
{
struct GeneratedDsp
{
    juce::String name;
    uint32_t dspId = 1;
    DspSourceTexts texts;
    uint8_t features = 0;
    bool written = false;
    juce::String log;
};

struct TestDesign
{
    const char* name;
    uint32_t moduleId;
    bool commandVariant;
    std::function<void (TestDsp&)> build;
};

// chain, splitMerge, conflict, unconnectedInput, memoryClasses, pitchShifterModule, vectorSplit
const std::vector<TestDesign>& getTestDesigns();

// Builds the design on a fresh library and context and writes its DSP source;
// the log holds what the generation logged.
GeneratedDsp generateDesign (const TestDesign& design);

// The golden form of a generation: its source, memory map part,
// declarations and log, each under a heading.
juce::String renderGeneration (const GeneratedDsp& generated);
} // namespace generatortest
