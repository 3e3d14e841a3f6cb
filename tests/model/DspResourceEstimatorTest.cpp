#include "ProjectTestDesigns.h"

#include "model/DspResourceEstimator.h"
#include "model/ModulesDefReader.h"

#include <gtest/gtest.h>

namespace
{
constexpr uint32_t estimatedModuleId = 0x21;
constexpr uint32_t estimatedDspId = 1;

struct Costs
{
    uint32_t cyclesPerChannel, baseCycles, ramPerChannel, baseRam;
};

std::unique_ptr<LibraryFunctionDefinition> makeFunction (int parameterCount, uint32_t entryMask, std::vector<uint32_t> entries,
                                                         const std::vector<uint16_t>& words = {})
{
    auto f = std::make_unique<LibraryFunctionDefinition>();
    f->parameterCount = parameterCount;
    f->entryMask = entryMask;
    f->maskEntryCount = (int) entries.size();
    f->maskEntries = std::move (entries);
    f->parameterWords = ParameterWordList::fromWords (words);
    return f;
}

// A library with one module and one DSP running it, and that DSP's graph:
// each process placed goes into the graph and into the DSP's registry entry,
// as the process editor keeps them.
class DspResourceEstimatorTest : public ::testing::Test
{
protected:
    DspResourceEstimatorTest()
    {
        auto m = std::make_unique<ModuleDefinition>();
        m->moduleId = estimatedModuleId;
        m->ownCycles = 48;
        m->dspRamBudget = 1000;
        module = library.addModule (std::move (m));
        dsp = library.addDsp (estimatedDspId, estimatedModuleId, 0);
    }

    ProcessDefinition* defineProcess (const std::string& name, uint32_t id, Costs costs, uint32_t defaultChannelWord = 1)
    {
        auto p = std::make_unique<ProcessDefinition>();
        p->name = name;
        p->processId = id;
        p->cyclesPerChannel = costs.cyclesPerChannel;
        p->baseCycles = costs.baseCycles;
        p->ramPerChannel = costs.ramPerChannel;
        p->baseRam = costs.baseRam;
        p->defaultChannelWord = defaultChannelWord;
        p->firstFunctions.setCapacity (8);
        return module->addProcess (std::move (p), false);
    }

    GraphNode* place (const ProcessDefinition* definition, uint32_t channelWord, int memoryChoice = GraphNode::memoryChoiceNone)
    {
        graph.addNode (juce::String (definition->name), true, definition, 0.5, 0.5);
        auto* node = graph.getLastAddedNode();
        node->channelWord = channelWord;
        node->memoryChoice = memoryChoice;
        dsp->addProcessInstance ((int) node->getId(), definition->processId);
        return node;
    }

    // Module functions without mask entries: at each of their positions the
    // process's own set-up function of that number counts instead.
    void addPlainModuleFunctions (int count)
    {
        module->moduleFunctions.setCapacity (count);

        for (int i = 0; i < count; ++i)
            module->addFunction (makeFunction (1, 0x0, {}));
    }

    DspResourceEstimator::CyclesAndRam processCosts() const { return estimator.addProcessCosts (estimatedDspId); }
    int64_t externalUsed (int perChannelCost = 0) const
    {
        return estimator.addMemoryCosts (estimatedDspId, 64, perChannelCost).used;
    }

    ModuleLibrary library;
    ModuleDefinition* module = nullptr;
    DspDefinitionEntry* dsp = nullptr;
    GraphData graph;
    DspResourceEstimator estimator{ &graph, &library };
};
} // namespace

//==============================================================================
TEST_F (DspResourceEstimatorTest, SmallDesignGivesTheFiguresWorkedOutByHand)
{
    const Costs costs{ 10, 5, 3, 1 };
    place (defineProcess ("Gain", 0x201, costs), 4);                   // 4 x 10 + 5 = 45 cycles, 4 x 3 + 1 = 13 RAM
    place (defineProcess ("HQDistortion_Q1", 0x14, costs), 2);         // 10 + 288 + 5 = 303, 3 + 25 + 1 = 29
    place (defineProcess ("Echo", 0x205, { 14, 6, 2, 4 }, 0x10000001), // counted once: 20, 6
           0x10000003, GraphNode::memoryChoiceExternalRam);

    const auto used = estimator.addProcessCosts (estimatedDspId);
    EXPECT_EQ (used.cycles, 368);
    EXPECT_EQ (used.ram, 48);

    const auto budget = estimator.getMemoryBudget (estimatedDspId, 1);
    EXPECT_EQ (budget.cycles, 2000);
    EXPECT_EQ (budget.ram, 1000);

    // The delay line: 3 channels at 1000 words each, in 4 kwords.
    const auto external = estimator.addMemoryCosts (estimatedDspId, 4, 1000);
    EXPECT_EQ (external.used, 3000);
    EXPECT_EQ (external.size, 4096);

    const auto load = estimator.estimateLoad (estimatedDspId, 1, 4, 1000);
    EXPECT_DOUBLE_EQ (load.cycles, 18.4);
    EXPECT_DOUBLE_EQ (load.dspRam, 4.8);
    EXPECT_DOUBLE_EQ (load.externalRam, 73.2421875);
}

TEST_F (DspResourceEstimatorTest, CycleBudgetAtNinetySixKilohertzLeavesWhatTheModuleDoesNotUse)
{
    module->ownCycles = 24;
    EXPECT_EQ (estimator.getMemoryBudget (estimatedDspId, 3).cycles, 1000);
    EXPECT_EQ (estimator.getMemoryBudget (estimatedDspId, 0).cycles, 2024);
    EXPECT_EQ (estimator.getMemoryBudget (estimatedDspId, 5).cycles, 488);

    // Positions outside the table count as the nearest one.
    EXPECT_EQ (estimator.getMemoryBudget (estimatedDspId, -3).cycles, 2024);
    EXPECT_EQ (estimator.getMemoryBudget (estimatedDspId, 6).cycles, 488);
}

TEST_F (DspResourceEstimatorTest, DspWithoutEntryShowsNothingUsedOfAHundred)
{
    const auto used = estimator.addProcessCosts (9);
    const auto budget = estimator.getMemoryBudget (9, 0);

    EXPECT_EQ (used.cycles, 0);
    EXPECT_EQ (used.ram, 0);
    EXPECT_EQ (budget.cycles, 100);
    EXPECT_EQ (budget.ram, 1);
    EXPECT_EQ (estimator.estimateLoad (9, 0, 16, 0).cycles, 0.0);

    // The memory-size setting is in kwords; none is none.
    EXPECT_EQ (estimator.addMemoryCosts (9, 2, 0).size, 2048);
    EXPECT_EQ (estimator.addMemoryCosts (9, -4, 0).size, 0);
}

TEST_F (DspResourceEstimatorTest, DspWhoseModuleIsMissingUsesNothingAndHasTheDefaultBudget)
{
    const auto* gain = defineProcess ("Gain", 0x201, { 10, 5, 3, 1 });
    place (gain, 2, GraphNode::memoryChoiceExternalRam);
    library.resetDsp (estimatedDspId, 0x99);
    dsp->addProcessInstance (1, gain->processId);

    EXPECT_EQ (processCosts().cycles, 0);
    EXPECT_EQ (estimator.getMemoryBudget (estimatedDspId, 0).cycles, 100);
    EXPECT_EQ (estimator.getMemoryBudget (estimatedDspId, 0).ram, 1);

    const auto external = estimator.addMemoryCosts (estimatedDspId, 2, 5);
    EXPECT_EQ (external.used, 0);
    EXPECT_EQ (external.size, 2048);
}

TEST_F (DspResourceEstimatorTest, DistortionQualitiesHaveTheirOwnPriceForOneToThreeChannels)
{
    auto* q1 = place (defineProcess ("HQDistortion_Q1", 0x14, { 10, 5, 3, 1 }), 2);
    EXPECT_EQ (processCosts().cycles, 303);
    EXPECT_EQ (processCosts().ram, 29);
    q1->channelWord = 0; // a count outside 1 to 3 costs nothing

    auto* q0 = defineProcess ("HQDistortion_Q0", 0x13, { 180, 7, 40, 9 });
    auto* node = place (q0, 1);

    const std::vector<std::pair<int64_t, int64_t>> expected{ { 180, 40 }, { 252, 65 }, { 320, 90 }, { 0, 0 } };

    for (uint32_t channels = 1; channels <= 4; ++channels)
    {
        // The flag bits take no part: only the count does.
        node->channelWord = channels | GraphNode::delayCountFlag;
        EXPECT_EQ (processCosts().cycles, expected[channels - 1].first) << channels;
        EXPECT_EQ (processCosts().ram, expected[channels - 1].second) << channels;
    }
}

TEST_F (DspResourceEstimatorTest, DelayTypeCountIsCountedOnce)
{
    auto* node = place (defineProcess ("Echo", 0x205, { 14, 6, 2, 4 }), 0x10000004);
    EXPECT_EQ (processCosts().cycles, 20);
    EXPECT_EQ (processCosts().ram, 6);

    // The largest count a channel word holds does not overflow the sums.
    node->channelWord = GraphNode::channelCountMask;
    EXPECT_EQ (processCosts().cycles, (int64_t) 0x0FFFFFFF * 14 + 6);
}

TEST_F (DspResourceEstimatorTest, EntriesWithoutNodeOrDefinitionAreSkipped)
{
    place (defineProcess ("Gain", 0x201, { 10, 5, 3, 1 }), 1);
    dsp->addProcessInstance (7, 0x201);  // no node 7
    dsp->addProcessInstance (1, 0x777);  // no such process
    dsp->addProcessInstance (-1, 0x201); // a number no node can have

    EXPECT_EQ (processCosts().cycles, 15);
    EXPECT_EQ (processCosts().ram, 4);
}

//==============================================================================
TEST_F (DspResourceEstimatorTest, BudgetOfZeroOrLessShowsFullWhenUsedAndEmptyWhenNot)
{
    EXPECT_DOUBLE_EQ (DspResourceEstimator::toPercent (50, 200), 25.0);
    EXPECT_EQ (DspResourceEstimator::toPercent (1, 0), 100.0);
    EXPECT_EQ (DspResourceEstimator::toPercent (0, 0), 0.0);
    EXPECT_EQ (DspResourceEstimator::toPercent (5, -88), 100.0);
    EXPECT_EQ (DspResourceEstimator::toPercent (0, -88), 0.0);

    // A module that needs more than 176.4 kHz leaves.
    module->ownCycles = 600;
    module->dspRamBudget = 0;
    EXPECT_EQ (estimator.getMemoryBudget (estimatedDspId, 4).cycles, -88);
    EXPECT_EQ (estimator.estimateLoad (estimatedDspId, 4, 0, 0).cycles, 0.0);

    place (defineProcess ("Gain", 0x201, { 10, 5, 3, 1 }), 1);
    const auto load = estimator.estimateLoad (estimatedDspId, 4, 0, 0);
    EXPECT_EQ (load.cycles, 100.0);
    EXPECT_EQ (load.dspRam, 100.0);
    EXPECT_EQ (load.externalRam, 0.0);
}

TEST_F (DspResourceEstimatorTest, OneProcessLoadForTheProcessEditor)
{
    const auto* eq = defineProcess ("ParamEq8", 0x201, { 96, 12, 40, 8 }, 0x10000002);
    module->ownCycles = 240;

    // (2 x 96 + 12) / (2048 - 240) x 100, flag bits ignored.
    EXPECT_FLOAT_EQ (computeMemoryPercent (module, eq, 0x10000002, 0), 204.0f / 1808.0f * 100.0f);
    EXPECT_FLOAT_EQ (computeMemoryPercent (nullptr, eq, 2, 4), 204.0f / 512.0f * 100.0f);
    EXPECT_EQ (computeMemoryPercent (module, nullptr, 2, 0), 0.0f);

    module->ownCycles = 2048;
    EXPECT_EQ (computeMemoryPercent (module, eq, 2, 0), 100.0f);
    EXPECT_EQ (computeMemoryPercent (module, eq, 0, 0), 100.0f); // the base cycles remain
}

//==============================================================================
TEST_F (DspResourceEstimatorTest, DelayLinesCostPerChannelOnlyInExternalRam)
{
    auto* echo = defineProcess ("Echo", 0x205, { 14, 6, 2, 4 }, 0x10000001);
    place (echo, 0x10000003, GraphNode::memoryChoiceExternalRam);
    auto* internal = place (echo, 0x10000005, GraphNode::memoryChoiceInternal16BitRam);
    place (echo, 0x10000007, GraphNode::memoryChoiceNone);

    EXPECT_EQ (externalUsed (100), 300);

    internal->memoryChoice = GraphNode::memoryChoiceExternalRam;
    EXPECT_EQ (externalUsed (100), 800);
    EXPECT_EQ (externalUsed (0), 0);
}

TEST_F (DspResourceEstimatorTest, MemoryClassElevenToThirteenCountsOnlyItsMemoryParameters)
{
    auto* delay = defineProcess ("ShortDelay", 0x206, { 14, 6, 2, 4 });
    delay->hasMemoryClass = true;
    delay->memoryClass11to13 = true;

    // The flagged parameters take the entries from the last backwards:
    // (12,0,0) entry 2, (4,0,7) entry 1 (no memory parameter), (4,0,1) entry 0;
    // the first parameter, (4,2,0), is not flagged.
    addPlainModuleFunctions (1);
    delay->addFunction (0, makeFunction (4, 0x7, { 0x100, 0x20, 0x3 }, { 4, 2, 0, 4, 0, 1, 4, 0, 7, 12, 0, 0 }));

    auto* node = place (delay, 1, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 0x3 + 0x100);

    node->memoryChoice = GraphNode::memoryChoiceInternal24BitRam;
    EXPECT_EQ (externalUsed(), 0);
}

TEST_F (DspResourceEstimatorTest, OtherMemoryClassesCountEveryFlaggedEntry)
{
    auto* bank = defineProcess ("Bank", 0x208, { 22, 16, 4, 12 });
    bank->hasMemoryClass = true;
    bank->addFunction (0, makeFunction (3, 0x5, { 0x10000, 0x8000 }));
    place (bank, 1, GraphNode::memoryChoiceExternalRam);

    // The walk goes over the module's function positions: with none, the
    // process's set-up function is never reached.
    EXPECT_EQ (externalUsed(), 0);

    addPlainModuleFunctions (1);
    EXPECT_EQ (externalUsed(), 0x18000);

    // Without a memory class nothing counts.
    bank->hasMemoryClass = false;
    EXPECT_EQ (externalUsed(), 0);
}

TEST_F (DspResourceEstimatorTest, MemorySelectorNamesTheSetUpFunctionCountedOnce)
{
    // Three set-up functions of one flagged whole address (12,0,0) each; the
    // selector names the second.
    auto* bank = defineProcess ("Bank", 0x208, { 22, 16, 4, 12 });
    bank->hasMemoryClass = true;
    bank->memorySelector = 102;

    for (uint32_t entry : { 0x7u, 0x400u, 0x9u })
    {
        auto function = makeFunction (2, 0x1, { entry }, { 4, 2, 0, 12, 0, 0 });
        function->parameterFlagMask = 0x1;
        bank->addFunction (0, std::move (function));
    }

    auto* node = place (bank, 1, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 0x400);

    // Its memory goes where the process's memory choice says.
    node->memoryChoice = GraphNode::memoryChoiceInternal24BitRam;
    EXPECT_EQ (externalUsed(), 0);

    // A selector past the process's set-up list names nothing.
    node->memoryChoice = GraphNode::memoryChoiceExternalRam;
    bank->memorySelector = 104;
    EXPECT_EQ (externalUsed(), 0);
    bank->memorySelector = 241;
    EXPECT_EQ (externalUsed(), 0);
}

TEST_F (DspResourceEstimatorTest, TheSelectedFunctionCountsWhatTheMemoryMapPutsInExternalRam)
{
    // Flagged: a non-memory parameter (4,0,7), a 24-bit low half (4,0,22) and
    // a whole address (12,0,0), taking the entries in order.
    auto* bank = defineProcess ("Bank", 0x208, { 22, 16, 4, 12 });
    bank->hasMemoryClass = true;
    bank->memorySelector = 101;
    auto function = makeFunction (4, 0x7, { 0x100, 0x20, 0x3 }, { 4, 2, 0, 4, 0, 7, 4, 0, 22, 12, 0, 0 });
    function->parameterFlagMask = 0x7;
    auto* selected = bank->addFunction (0, std::move (function));

    // The process's choice decides the region: the low half and the whole
    // address go to external RAM, the non-memory parameter nowhere.
    auto* node = place (bank, 1, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 0x20 + 0x3);

    // A function that fixes its regions (bit 15 of its mask) puts each
    // parameter in its type's region, whatever the choice.
    selected->maskUsable = false;
    EXPECT_EQ (externalUsed(), 0x3);
    node->memoryChoice = GraphNode::memoryChoiceInternal16BitRam;
    EXPECT_EQ (externalUsed(), 0x3);
}

TEST_F (DspResourceEstimatorTest, ModuleFunctionsCountOncePerDsp)
{
    module->moduleFunctions.setCapacity (2);
    module->addFunction (makeFunction (2, 0x1, { 0x400 }));
    module->addFunction (makeFunction (1, 0x0, {}));

    auto* a = defineProcess ("A", 0x208, { 1, 1, 1, 1 });
    a->hasMemoryClass = true;
    a->addFunction (0, makeFunction (2, 0x1, { 0x10 }));
    a->addFunction (0, makeFunction (2, 0x1, { 0x20 }));

    // Position 0 takes the module's function (it has entries), position 1
    // the process's own second set-up function instead of the empty one.
    place (a, 1, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 0x400 + 0x20);

    // Once the module's function was counted, later processes add nothing.
    place (a, 1, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 0x400 + 0x20);

    // A process that chose internal RAM counts nothing, so does not use up the module's share.
    graph.getNode (0)->memoryChoice = GraphNode::memoryChoiceInternal16BitRam;
    EXPECT_EQ (externalUsed(), 0x400 + 0x20);
}

TEST_F (DspResourceEstimatorTest, SetUpFunctionsPastTheProcessListAreSkipped)
{
    addPlainModuleFunctions (3);

    // Without a memory class the walk runs over the module's three functions,
    // and the process has only one of its own to stand in for them.
    auto* p = defineProcess ("P", 0x209, { 1, 1, 1, 1 });
    p->addFunction (0, makeFunction (1, 0x1, { 0x55 }));
    place (p, 1, GraphNode::memoryChoiceExternalRam);

    EXPECT_EQ (externalUsed(), 0);

    p->hasMemoryClass = true;
    EXPECT_EQ (externalUsed(), 0x55);
}

TEST_F (DspResourceEstimatorTest, MaskWithMoreFlaggedParametersThanEntriesTakesWhatThereIs)
{
    auto* p = defineProcess ("P", 0x209, { 1, 1, 1, 1 });
    p->hasMemoryClass = true;
    addPlainModuleFunctions (1);

    // Bit 15 brings no entry; so the flagged parameters outnumber the entries.
    p->addFunction (0, makeFunction (16, 0x8001, { 0x30 }));
    place (p, 1, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 0x30);

    // More parameters than the mask has bits: those beyond bit 31 are not flagged.
    p->firstFunctions.clear();
    p->addFunction (0, makeFunction (40, 0x80000001, { 0x1, 0x2 }));
    EXPECT_EQ (externalUsed(), 0x3);

    // Entries are added as full 32-bit values.
    p->firstFunctions.clear();
    p->addFunction (0, makeFunction (2, 0x3, { 0xFFFFFFFF, 0xFFFFFFFF }));
    EXPECT_EQ (externalUsed(), 2 * (int64_t) 0xFFFFFFFF);
}

//==============================================================================
// The sample library as the reader reads it: a bank with memory selector 102
// and a delay of memory class 11 on the full core.
TEST (DspResourceEstimatorSampleTest, SampleBankAndShortDelayTakeTheirExternalMemory)
{
    const auto reader = projecttest::readSampleLibrary();
    auto& library = reader->getLibrary();
    auto* core = library.findModuleById (0x21);
    ASSERT_NE (core, nullptr);
    auto* bank = core->findProcessById (0x208);
    auto* delay = core->findProcessById (0x206);
    ASSERT_NE (bank, nullptr);
    ASSERT_NE (delay, nullptr);
    ASSERT_EQ (bank->memorySelector, 102u);
    ASSERT_TRUE (delay->memoryClass11to13);

    library.clearDsps();
    auto* dsp = library.addDsp (5, 0x21, 0);
    GraphData graph;

    for (auto* definition : { bank, delay })
    {
        graph.addNode (juce::String (definition->name), true, definition, 0.0, 0.0);
        graph.getLastAddedNode()->memoryChoice = GraphNode::memoryChoiceExternalRam;
        dsp->addProcessInstance ((int) graph.getLastAddedNode()->getId(), definition->processId);
    }

    // The bank: its second set-up function's two entries, 0x8000 and 0x10000.
    // The delay: the module's start-up function comes first and carries the
    // entry of its (12,0,0) parameter, 0x400.
    DspResourceEstimator estimator (&graph, &library);
    const auto external = estimator.addMemoryCosts (5, 128, 0);
    EXPECT_EQ (external.used, 0x8000 + 0x10000 + 0x400);
    EXPECT_EQ (external.size, 128 * 1024);
}
