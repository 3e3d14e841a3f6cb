// The external RAM a DSP editor shows is what the generated memory map
// reserves for that DSP in external RAM: the sample library's bank, with each
// memory choice, as shipped and with its memory function fixing the regions
// by parameter type; and random designs of the shipped library, whose
// generation reports a map beyond the external memory size.

#include "GenerationTestProject.h"

#include "model/DesignLog.h"
#include "model/DspResourceEstimator.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

using generatortest::TestDsp;

namespace
{
int64_t externalReserved (const juce::String& memoryText, uint32_t dspId)
{
    const auto reserved = generatortest::findReservedMemory (memoryText, "MEMADDR_EXTRAM_START");
    const auto it = reserved.find (dspId);
    return it == reserved.end() ? 0 : it->second;
}

modulesdef::FunctionDescription& bankMemoryFunction (modulesdef::LibraryDescription& description)
{
    for (auto& module : description.modules)
        for (auto& process : module.processes)
            if (process.name == "SampleBank")
                return process.setupFunctions.at (1);

    throw std::runtime_error ("no SampleBank in the sample library");
}

// The module's start-up block, which follows the bank's memory choice.
constexpr int64_t startUpBlock = 0x400;
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

            const auto reserved = externalReserved (texts.memory, dsp.dspId);
            const auto shown = DspResourceEstimator (&dsp.graph, &library).addMemoryCosts (dsp.dspId, 64, 48.0).used;

            EXPECT_EQ (shown, reserved) << (regionsByType ? "regions by type" : "regions by choice") << ", choice " << choice
                                        << ":\n"
                                        << texts.memory;
            EXPECT_EQ (context.getExternalRamReserved(), reserved);

            // The bank's memory function as shipped: 0x1000 for its 24-bit
            // low half and 0x2000 for its whole address.
            const auto block = choice == GraphNode::memoryChoiceExternalRam ? startUpBlock : 0;

            if (! regionsByType && choice == GraphNode::memoryChoiceExternalRam)
            {
                EXPECT_EQ (reserved, 0x1000 + 0x2000 + block);
            }

            if (regionsByType)
            {
                EXPECT_EQ (reserved, 0x2000 + block);
            }
        }
    }
}

TEST (MemoryEstimateAgreementTest, OnRandomDesignsTheEstimateIsTheMapAndAnOverrunIsReported)
{
    std::mt19937 random (2906);
    auto pick = [&random] (int low, int high) { return std::uniform_int_distribution<int> (low, high) (random); };
    int overruns = 0;

    for (int round = 0; round < 40; ++round)
    {
        generatortest::TestProject project (generatortest::sampleDescription());
        auto& settings = project.design.getSettings();
        settings.setSamplingIndex (pick (0, 1));
        settings.setMemorySizeIndex (pick (0, 2));
        const auto& modules = project.library.getModules();
        const int dspCount = pick (1, 4);

        for (uint32_t dspId = 1; dspId <= (uint32_t) dspCount; ++dspId)
        {
            const auto& module = *modules[pick (0, modules.size() - 1)];
            project.addDsp (dspId, module.moduleId);

            for (int i = pick (1, 8); i > 0; --i)
            {
                const auto& definition = *module.getProcesses()[pick (0, module.getProcesses().size() - 1)];
                const bool delay = definition.isDelayType();
                const bool followsCount = (definition.defaultChannelWord & 0xC0000000u) != 0;
                auto& node = project.add (dspId, juce::String (definition.name),
                                          delay          ? (uint32_t) pick (1, 2000)
                                          : followsCount ? (uint32_t) pick (1, 8)
                                                         : 0);
                node.setMemoryWord ((uint32_t) pick (1, 3));
            }
        }

        const auto log = project.generate();
        const auto memoryMap = project.read ("memorymap.h");
        const double khz = settings.getSamplingRateKhz();
        const auto size = settings.getExternalMemorySize();
        int64_t total = 0;

        for (uint32_t dspId = 1; dspId <= (uint32_t) dspCount; ++dspId)
        {
            const auto shown =
                DspResourceEstimator (&project.graph (dspId), &project.library).addMemoryCosts (dspId, size, khz).used;
            EXPECT_EQ (shown, externalReserved (memoryMap, dspId)) << "round " << round << ", DSP " << dspId << "\n" << memoryMap;
            total += shown;
        }

        EXPECT_EQ (settings.getExternalRamReserved(), total) << "round " << round;

        // Beyond the external memory: reported, as a size of zero is.
        const bool overrun = total > (int64_t) size * 1024;
        const bool reported =
            log.contains ("words of External RAM, but external memory size is") || log.contains ("external memory size is zero");
        EXPECT_EQ (reported, overrun) << "round " << round << ": " << total << " of " << size << " kwords\n" << log;
        overruns += overrun ? 1 : 0;
    }

    clearLog();
    EXPECT_GT (overruns, 4);
    EXPECT_LT (overruns, 36);
}
