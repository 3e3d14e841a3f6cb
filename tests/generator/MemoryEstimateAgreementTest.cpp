// The external RAM a DSP editor shows for a memory-selector process is what
// the generated memory map reserves for it in external RAM: the sample
// library's bank, with each memory choice, as shipped and with its memory
// function fixing the regions by parameter type.

#include "GeneratorTestSupport.h"

#include "model/DesignLog.h"
#include "model/DspResourceEstimator.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

using generatortest::TestDsp;

namespace
{
// The sizes the memory text reserves in external RAM for the DSP's process
// calls (not its module functions): the next-base definitions chained from
// the region's start symbol. Of a pair of alternatives, the plain one counts.
int64_t externalReservedByProcesses (const juce::String& memoryText, uint32_t dspId)
{
    const juce::String processPrefix = "MEMADDR_DSP" + juce::String::toHexString (dspId).paddedLeft ('0', 2) + "_";
    std::set<juce::String> chain{ "MEMADDR_EXTRAM_START" };
    std::map<juce::String, int64_t> sizes;

    for (const auto& line : juce::StringArray::fromLines (memoryText))
    {
        if (! line.startsWith ("#define\t") || ! line.contains ("_NEXTBASE\t"))
            continue;

        const auto name =
            line.fromFirstOccurrenceOf ("#define\t", false, false).upToFirstOccurrenceOf ("_NEXTBASE", false, false);
        const auto value = line.fromFirstOccurrenceOf ("((", false, false).upToFirstOccurrenceOf ("))", false, false);
        const auto base = value.upToFirstOccurrenceOf ("+0x", false, false);

        if (chain.count (base) == 0)
            continue;

        chain.insert (name + "_NEXTBASE");
        sizes[name] = value.contains ("+0x") ? value.fromFirstOccurrenceOf ("+0x", false, false).getHexValue64() : 0;
    }

    int64_t total = 0;

    for (const auto& [name, size] : sizes)
        if (name.startsWith (processPrefix))
            total += size;

    return total;
}

modulesdef::FunctionDescription& bankMemoryFunction (modulesdef::LibraryDescription& description)
{
    for (auto& module : description.modules)
        for (auto& process : module.processes)
            if (process.name == "SampleBank")
                return process.setupFunctions.at (1);

    throw std::runtime_error ("no SampleBank in the sample library");
}
} // namespace

TEST (MemoryEstimateAgreementTest, TheEstimateShowsWhatTheMemoryMapReservesForAMemorySelector)
{
    for (const bool regionsByType : { false, true })
    {
        for (const int choice : { GraphNode::memoryChoiceExternalRam, GraphNode::memoryChoiceInternal16BitRam,
                                  GraphNode::memoryChoiceInternal24BitRam })
        {
            auto description = generatortest::generatorDescription();

            if (regionsByType)
                bankMemoryFunction (description).entryMask |= 0x8000;

            auto reader = generatortest::readLibrary (description);
            auto& library = reader->getLibrary();
            GenerationContext context;
            context.setSamplingRateKhz (48.0);
            context.resetMemoryBases();

            TestDsp dsp (library, 1, 0x21, context);
            auto& bank = dsp.add ("SampleBank");
            ASSERT_EQ (bank.getProcessDefinition()->memorySelector, 102u);
            bank.memoryWord = (uint32_t) choice;
            bank.memoryChoice = choice;

            DspSourceTexts texts;
            uint8_t features = 0;
            ASSERT_TRUE (dsp.generator.writeDspSource (library, dsp.dspId, texts, features, false));
            clearLog();

            const auto reserved = externalReservedByProcesses (texts.memory, dsp.dspId);
            const auto shown = DspResourceEstimator (&dsp.graph, &library).addMemoryCosts (dsp.dspId, 64, 0).used;

            EXPECT_EQ (shown, reserved) << (regionsByType ? "regions by type" : "regions by choice") << ", choice " << choice
                                        << ":\n"
                                        << texts.memory;

            // The bank's memory function as shipped: 0x10000 for its
            // 24-bit low half and 0x8000 for its whole address.
            if (! regionsByType && choice == GraphNode::memoryChoiceExternalRam)
            {
                EXPECT_EQ (reserved, 0x18000);
            }

            if (regionsByType)
            {
                EXPECT_EQ (reserved, 0x8000);
            }
        }
    }
}
