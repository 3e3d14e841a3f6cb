#include "DspSourceTestDesigns.h"

#include "model/DesignLog.h"

namespace generatortest
{
namespace
{
// Pin indexes of the processes used here.
constexpr uint32_t addIn1 = 0;
constexpr uint32_t addIn2 = 1;

void buildChain (TestDsp& dsp)
{
    // Placed in another order than the signal runs.
    auto& delay = dsp.add ("ShortDelay");
    auto& eq = dsp.add ("ParamEq8", 1);
    auto& compressor = dsp.add ("Compressor", 1);
    dsp.dspInput (eq, 0, 0);
    dsp.connect (eq, 0, compressor, 0);
    dsp.connect (compressor, 0, delay, 0);
    dsp.dspOutput (delay, 0, 0);
}

void buildSplitMerge (TestDsp& dsp)
{
    auto& split = dsp.add ("ShortDelay", 0, "Split");
    auto& longDelay = dsp.add ("LongDelay", 10, "Long");
    auto& merge = dsp.add ("Add2", 0, "Merge");
    dsp.dspInput (split, 0, 0);
    dsp.connect (split, 0, merge, addIn1);
    dsp.connect (split, 0, longDelay, 0);
    dsp.connect (longDelay, 0, merge, addIn2);
    dsp.dspOutput (merge, 0, 0);
}

void buildConflict (TestDsp& dsp)
{
    auto& x = dsp.add ("Add2", 0, "X");
    auto& mix = dsp.add ("MixN", 2);
    dsp.dspInput (x, addIn1, 0);
    dsp.dspInput (x, addIn2, 1);
    dsp.connect (x, 0, mix, 0);
    dsp.connect (x, 0, mix, 1);
    dsp.dspOutput (mix, 0, 0);
}

void buildUnconnectedInput (TestDsp& dsp)
{
    auto& delay = dsp.add ("ShortDelay");
    auto& sum = dsp.add ("Add2");
    dsp.dspInput (delay, 0, 0);
    dsp.connect (delay, 0, sum, addIn1);
    dsp.dspOutput (sum, 0, 0);
}

void buildMemoryClasses (TestDsp& dsp)
{
    auto& probe = dsp.add ("MemoryProbe");
    auto& shortDelay = dsp.add ("ShortDelay");
    auto& longDelay = dsp.add ("LongDelay", 10);
    auto& singleDelay = dsp.add ("(s)Delay", 10);
    dsp.dspInput (probe, 0, 0);
    dsp.connect (probe, 0, shortDelay, 0);
    dsp.connect (shortDelay, 0, longDelay, 0);
    dsp.connect (longDelay, 0, singleDelay, 0);
    dsp.dspOutput (singleDelay, 0, 0);
}

void buildVectorSplit (TestDsp& dsp)
{
    // A two-channel equaliser split channel by channel: channel 0 through a
    // compressor and a delay, channel 1 into channel 1 of a second
    // equaliser. Every output channel writes a node of its own.
    auto& split = dsp.add ("ParamEq8", 2, "Split");
    auto& compressor = dsp.add ("Compressor", 1);
    auto& delay = dsp.add ("ShortDelay");
    auto& second = dsp.add ("ParamEq8", 2, "Second");
    dsp.dspInput (split, 0, 0);
    dsp.connect (split, 0, compressor, 0);
    dsp.connect (split, 1, second, 1);
    dsp.connect (compressor, 0, delay, 0);
    dsp.dspOutput (delay, 0, 0);
    dsp.dspOutput (second, 0, 1);
}

void buildPitchShifterModule (TestDsp& dsp)
{
    auto& chorus = dsp.add ("Chorus");
    dsp.dspInput (chorus, 0, 0);
    dsp.dspOutput (chorus, 0, 1);
}
} // namespace

const std::vector<TestDesign>& getTestDesigns()
{
    static const std::vector<TestDesign> designs{
        { "chain", 0x21, false, buildChain },
        { "splitMerge", 0x21, false, buildSplitMerge },
        { "conflict", 0x21, false, buildConflict },
        { "unconnectedInput", 0x21, false, buildUnconnectedInput },
        { "memoryClasses", 0x21, false, buildMemoryClasses },
        { "pitchShifterModule", 0x05, true, buildPitchShifterModule },
        { "vectorSplit", 0x21, false, buildVectorSplit },
    };

    return designs;
}

GeneratedDsp generateDesign (const TestDesign& design)
{
    auto reader = readLibrary (generatorDescription());
    GenerationContext context;
    context.setSamplingRateKhz (48.0);
    context.resetMemoryBases();

    TestDsp dsp (reader->getLibrary(), 1, design.moduleId, context);
    design.build (dsp);

    clearLog();
    GeneratedDsp generated;
    generated.name = design.name;
    generated.dspId = dsp.dspId;
    generated.written = dsp.generator.writeDspSource (reader->getLibrary(), dsp.dspId, generated.texts, generated.features,
                                                      design.commandVariant);
    generated.log = getLogText();
    clearLog();
    return generated;
}

juce::String renderGeneration (const GeneratedDsp& generated)
{
    juce::String text;
    text << "==== dsp" << juce::String (generated.dspId) << ".c\n"
         << generated.texts.body << "==== memorymap.h part\n"
         << generated.texts.memory << "==== quellion.h part\n"
         << generated.texts.declarations << "==== log\n"
         << generated.log;
    return text;
}
} // namespace generatortest
