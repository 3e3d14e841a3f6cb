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

// Entry mask and flags as the reader reads them, one after the other: bit 15
// of the mask fixes each memory parameter's region by its type; the flags
// (bit n counted from the last parameter) say which parameters reserve memory.
std::unique_ptr<LibraryFunctionDefinition> makeFunction (int parameterCount, uint32_t entryMask, uint32_t flags,
                                                         std::vector<uint32_t> entries, const std::vector<uint16_t>& words = {})
{
    auto f = std::make_unique<LibraryFunctionDefinition>();
    f->parameterCount = parameterCount;
    f->entryMask = entryMask;
    f->parameterFlagMask = flags;
    f->maskUsable = (entryMask & ~0x7FFFu) == 0;
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

    ProcessDefinition* defineProcess (const std::string& name, uint32_t id, Costs costs, uint32_t defaultChannelWord = 1,
                                      bool fromSps = false)
    {
        auto p = std::make_unique<ProcessDefinition>();
        p->name = name;
        p->processId = id;
        p->cyclesPerChannel = costs.cyclesPerChannel;
        p->baseCycles = costs.baseCycles;
        p->ramPerChannel = costs.ramPerChannel;
        p->baseRam = costs.baseRam;
        p->defaultChannelWord = defaultChannelWord;
        p->fromSps = fromSps;
        p->firstFunctions.setCapacity (8);
        return module->addProcess (std::move (p), fromSps);
    }

    GraphNode* place (const ProcessDefinition* definition, uint32_t channelWord, int memoryChoice = GraphNode::memoryChoiceNone)
    {
        graph.addNode (juce::String (definition->name), true, definition, 0.5, 0.5);
        auto* node = graph.getLastAddedNode();
        node->channelWord = channelWord;
        setMemory (*node, memoryChoice);
        dsp->addProcessInstance ((int) node->getId(), definition->processId);
        return node;
    }

    // Module functions without mask entries: at each of their positions the
    // process's own set-up function of that number counts instead.
    void addPlainModuleFunctions (int count)
    {
        module->moduleFunctions.setCapacity (count);

        for (int i = 0; i < count; ++i)
            module->addFunction (makeFunction (1, 0x0, 0x0, {}));
    }

    // The memory choice and the word the memory map reads it from.
    static void setMemory (GraphNode& node, int memoryChoice)
    {
        node.memoryChoice = memoryChoice;
        node.memoryWord = (uint32_t) memoryChoice;
    }

    DspResourceEstimator::CyclesAndRam processCosts() const { return estimator.addProcessCosts (estimatedDspId); }
    int64_t externalUsed (double samplingRateKhz = 48.0) const
    {
        return estimator.addMemoryCosts (estimatedDspId, 64, samplingRateKhz).used;
    }

    // A delay line's set-up: its handle, and the line's whole address, sized
    // by the delay at the rate.
    void giveDelayLine (ProcessDefinition& delay)
    {
        delay.addFunction (0, makeFunction (2, 0x1, 0x1, { 0x7 }, { 4, 2, 0, 12, 0, 0 }));
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
    place (defineProcess ("Gain", 0x201, costs), 4);                         // 4 x 10 + 5 = 45 cycles, 4 x 3 + 1 = 13 RAM
    place (defineProcess ("HQDistortion_Q1", 0x14, costs), 2);               // 10 + 288 + 5 = 303, 3 + 25 + 1 = 29
    auto* echo = defineProcess ("Echo", 0x205, { 14, 6, 2, 4 }, 0x10000001); // counted once: 20, 6
    giveDelayLine (*echo);
    place (echo, 0x10000003, GraphNode::memoryChoiceExternalRam);

    const auto used = estimator.addProcessCosts (estimatedDspId);
    EXPECT_EQ (used.cycles, 368);
    EXPECT_EQ (used.ram, 48);

    const auto budget = estimator.getMemoryBudget (estimatedDspId, 1);
    EXPECT_EQ (budget.cycles, 2000);
    EXPECT_EQ (budget.ram, 1000);

    // The delay line: 3 ms at 48 kHz, doubled in external RAM, in 1 kword.
    const auto external = estimator.addMemoryCosts (estimatedDspId, 1, 48.0);
    EXPECT_EQ (external.used, 288);
    EXPECT_EQ (external.size, 1024);

    const auto load = estimator.estimateLoad (estimatedDspId, 1, 1, 48.0);
    EXPECT_DOUBLE_EQ (load.cycles, 18.4);
    EXPECT_DOUBLE_EQ (load.dspRam, 4.8);
    EXPECT_DOUBLE_EQ (load.externalRam, 28.125);
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
TEST_F (DspResourceEstimatorTest, DelayLinesTakeTheirLengthAtTheRateInExternalRam)
{
    auto* echo = defineProcess ("Echo", 0x205, { 14, 6, 2, 4 }, 0x10000001);
    giveDelayLine (*echo);
    place (echo, 0x10000003, GraphNode::memoryChoiceExternalRam);
    auto* internal = place (echo, 0x10000005, GraphNode::memoryChoiceInternal16BitRam);
    place (echo, 0x10000007, GraphNode::memoryChoiceNone);

    // 3 ms at 48 kHz, doubled; the others lie elsewhere or nowhere.
    EXPECT_EQ (externalUsed(), 288);

    setMemory (*internal, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 288 + 480);

    // The samples of a delay at 44.1 kHz are truncated before doubling.
    EXPECT_EQ (externalUsed (44.1), 2 * 132 + 2 * 220);

    // The single-memory delay is never doubled.
    auto* single = defineProcess ("(s)Delay", 0x206, { 14, 6, 2, 4 }, 0x10000001);
    giveDelayLine (*single);
    place (single, 0x10000002, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 288 + 480 + 96);
}

TEST_F (DspResourceEstimatorTest, OnlyMemoryParametersReserveMemory)
{
    auto* delay = defineProcess ("ShortDelay", 0x206, { 14, 6, 2, 4 });

    // The flagged parameters take the entries in order: (4,0,1) entry 0,
    // (4,0,7) entry 1 (no memory parameter), (12,0,0) entry 2; the first
    // parameter, (4,2,0), is not flagged.
    addPlainModuleFunctions (1);
    delay->addFunction (0, makeFunction (4, 0x7, 0x7, { 0x100, 0x20, 0x3 }, { 4, 2, 0, 4, 0, 1, 4, 0, 7, 12, 0, 0 }));

    auto* node = place (delay, 1, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 0x3 + 0x100);

    setMemory (*node, GraphNode::memoryChoiceInternal24BitRam);
    EXPECT_EQ (externalUsed(), 0);
}

TEST_F (DspResourceEstimatorTest, AnyProcessReservesWhatItsMemoryParametersTake)
{
    // Flagged: a non-memory parameter (4,0,7) and a whole address (12,0,0);
    // with a memory class or without, and whatever the module's functions.
    auto* bank = defineProcess ("Bank", 0x208, { 22, 16, 4, 12 });
    bank->addFunction (0, makeFunction (3, 0x5, 0x5, { 0x10000, 0x8000 }, { 4, 0, 7, 4, 2, 0, 12, 0, 0 }));
    place (bank, 1, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 0x8000);

    bank->hasMemoryClass = true;
    addPlainModuleFunctions (1);
    EXPECT_EQ (externalUsed(), 0x8000);
}

TEST_F (DspResourceEstimatorTest, EverySetUpFunctionCountsWhatItReserves)
{
    // Three set-up functions of one flagged whole address (12,0,0) each: the
    // memory map lays out each of them.
    auto* bank = defineProcess ("Bank", 0x208, { 22, 16, 4, 12 });

    for (uint32_t entry : { 0x7u, 0x400u, 0x9u })
        bank->addFunction (0, makeFunction (2, 0x1, 0x1, { entry }, { 4, 2, 0, 12, 0, 0 }));

    // One without mask entries reserves again the size the last one took.
    bank->addFunction (0, makeFunction (2, 0x0, 0x1, {}, { 4, 2, 0, 12, 0, 0 }));

    auto* node = place (bank, 1, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 0x7 + 0x400 + 0x9 + 0x9);

    // Their memory goes where the process's memory choice says.
    setMemory (*node, GraphNode::memoryChoiceInternal24BitRam);
    EXPECT_EQ (externalUsed(), 0);
}

TEST_F (DspResourceEstimatorTest, TheSelectedFunctionCountsWhatTheMemoryMapPutsInExternalRam)
{
    // Flagged: a non-memory parameter (4,0,7), a 24-bit low half (4,0,22) and
    // a whole address (12,0,0), taking the entries in order.
    auto* bank = defineProcess ("Bank", 0x208, { 22, 16, 4, 12 });
    auto* selected =
        bank->addFunction (0, makeFunction (4, 0x7, 0x7, { 0x100, 0x20, 0x3 }, { 4, 2, 0, 4, 0, 7, 4, 0, 22, 12, 0, 0 }));

    // The process's choice decides the region: the low half and the whole
    // address go to external RAM, the non-memory parameter nowhere.
    auto* node = place (bank, 1, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 0x20 + 0x3);

    // A function that fixes its regions (bit 15 of its mask) puts each
    // parameter in its type's region, whatever the choice.
    selected->maskUsable = false;
    EXPECT_EQ (externalUsed(), 0x3);
    setMemory (*node, GraphNode::memoryChoiceInternal16BitRam);
    EXPECT_EQ (externalUsed(), 0x3);
}

TEST_F (DspResourceEstimatorTest, ModuleFunctionsCountOncePerDspAndEveryProcessEveryTime)
{
    // The module's start-up function reserves 0x400 in the memory its first
    // static process chose; it has no other.
    module->moduleFunctions.setCapacity (2);
    module->addFunction (makeFunction (2, 0x1, 0x1, { 0x400 }, { 4, 2, 0, 12, 0, 0 }));
    module->addFunction (makeFunction (1, 0x0, 0x0, {}));

    auto* a = defineProcess ("A", 0x208, { 1, 1, 1, 1 }, 1, true);
    a->addFunction (0, makeFunction (2, 0x1, 0x1, { 0x10 }, { 4, 2, 1, 12, 0, 0 }));
    a->addFunction (0, makeFunction (2, 0x1, 0x1, { 0x20 }, { 4, 2, 1, 12, 0, 0 }));

    auto* first = place (a, 1, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 0x400 + 0x10 + 0x20);

    // A second process adds its own memory; the module's counts once.
    place (a, 1, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 0x400 + 2 * (0x10 + 0x20));

    // The first static process chose internal RAM: the module's block and
    // its own memory go there.
    setMemory (*first, GraphNode::memoryChoiceInternal16BitRam);
    EXPECT_EQ (externalUsed(), 0x10 + 0x20);
}

TEST_F (DspResourceEstimatorTest, ADspWithoutProcessesReservesNothing)
{
    // The memory map writes nothing for a DSP whose source is not written,
    // not even the module's own block.
    module->moduleFunctions.setCapacity (1);
    module->addFunction (makeFunction (2, 0x1, 0x1, { 0x400 }, { 4, 2, 0, 12, 0, 0 }));
    EXPECT_EQ (externalUsed(), 0);

    place (defineProcess ("P", 0x209, { 1, 1, 1, 1 }, 1, true), 1, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 0x400);
}

TEST_F (DspResourceEstimatorTest, MaskWithMoreFlaggedParametersThanEntriesTakesWhatThereIs)
{
    auto* p = defineProcess ("P", 0x209, { 1, 1, 1, 1 });

    // Two flagged whole addresses and one entry: the second reserves nothing.
    auto* function = p->addFunction (0, makeFunction (3, 0x3, 0x3, { 0x30 }, { 4, 2, 1, 12, 0, 0, 12, 0, 0 }));
    place (p, 1, GraphNode::memoryChoiceExternalRam);
    EXPECT_EQ (externalUsed(), 0x30);

    // Entries are added as full 32-bit values.
    function->maskEntries = { 0xFFFFFFFF, 0xFFFFFFFF };
    EXPECT_EQ (externalUsed(), 2 * (int64_t) 0xFFFFFFFF);
}

//==============================================================================
// The sample library as the reader reads it: its bank and its short delay on
// the full core.
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

    library.clearDsps();
    auto* dsp = library.addDsp (5, 0x21, 0);
    GraphData graph;

    for (auto* definition : { bank, delay })
    {
        graph.addNode (juce::String (definition->name), true, definition, 0.0, 0.0);
        graph.getLastAddedNode()->setMemoryWord (GraphNode::memoryChoiceExternalRam);
        dsp->addProcessInstance ((int) graph.getLastAddedNode()->getId(), definition->processId);
    }

    // The bank: its second set-up function's two entries, 0x1000 and 0x2000.
    // The delay: its line, 0x2000. The module's start-up block, 0x400, in
    // the memory of the delay, its first static process.
    DspResourceEstimator estimator (&graph, &library);
    const auto external = estimator.addMemoryCosts (5, 128, 48.0);
    EXPECT_EQ (external.used, 0x1000 + 0x2000 + 0x2000 + 0x400);
    EXPECT_EQ (external.size, 128 * 1024);
}
