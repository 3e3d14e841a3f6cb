#include "model/Design.h"
#include "model/ModuleLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <tuple>

namespace
{
std::vector<uint32_t> slotIds (const Design& design)
{
    std::vector<uint32_t> ids;

    for (int i = 0; i < design.getNumDsps(); ++i)
        ids.push_back (design.getDsp (i)->getDspId());

    return ids;
}

std::vector<uint32_t> registryIds (const ModuleLibrary& library)
{
    std::vector<uint32_t> ids;

    for (int i = 0; i < library.getDspCount(); ++i)
        ids.push_back (library.getDsp (i)->dspId);

    std::sort (ids.begin(), ids.end());
    return ids;
}
} // namespace

TEST (DesignTest, SlotsStaySortedAndInStepWithTheRegistryThroughRandomEdits)
{
    ModuleLibrary library;
    Design design;
    design.setLibrary (&library);
    std::mt19937 random (7);
    std::set<uint32_t> expected;

    for (int step = 0; step < 2000; ++step)
    {
        auto id = (uint32_t) (random() % 20);

        if (random() % 3 != 0)
        {
            const bool accepted = design.addDsp (id, 100 + id) != nullptr;
            EXPECT_EQ (accepted, id != 0 && id <= 16 && expected.count (id) == 0 && expected.size() < 16) << "step " << step;

            if (accepted)
                expected.insert (id);
        }
        else
        {
            EXPECT_EQ (design.removeDsp (id), expected.erase (id) == 1) << "step " << step;
        }

        const std::vector<uint32_t> ids (expected.begin(), expected.end());
        ASSERT_EQ (slotIds (design), ids) << "step " << step;
        ASSERT_EQ (registryIds (library), ids) << "step " << step;
    }
}

TEST (DesignTest, ModuleChangeEmptiesTheDspAndFindsTheModule)
{
    ModuleLibrary library;
    auto module = std::make_unique<ModuleDefinition>();
    module->moduleId = 7;
    library.addModule (std::move (module));

    Design design;
    design.setLibrary (&library);
    auto* slot = design.addDsp (3, 5);
    ASSERT_NE (slot, nullptr);
    EXPECT_EQ (design.getDspModule (3), nullptr); // module 5 is not in the library

    slot->getGraph().addNode ("Gain", false, nullptr, 0.5, 0.5);
    design.getDspEntry (3)->addProcessInstance (1, 0x30);
    design.setModified (false);

    EXPECT_TRUE (design.setDspModule (3, 7));
    EXPECT_EQ (design.getDspModule (3)->moduleId, 7u);
    EXPECT_EQ (design.getDspEntry (3)->getProcessCount(), 0);
    EXPECT_EQ (slot->getGraph().getNumNodes(), 0);
    EXPECT_TRUE (design.isModified());
    EXPECT_FALSE (design.setDspModule (4, 7));

    design.setModified (false);
    EXPECT_FALSE (design.isModified());
    design.clearDsps();
    EXPECT_EQ (design.getNumDsps(), 0);
    EXPECT_EQ (library.getDspCount(), 0);
}

TEST (DesignTest, WorksWithoutALibrary)
{
    Design design;
    ASSERT_NE (design.addDsp (2, 1), nullptr);
    EXPECT_EQ (design.getDspEntry (2), nullptr);
    EXPECT_EQ (design.getDspModule (2), nullptr);
    EXPECT_TRUE (design.removeDsp (2));
    EXPECT_EQ (design.findDsp (2), nullptr);
}

//==============================================================================
namespace
{
Design& withDsps (Design& design, std::initializer_list<uint32_t> ids)
{
    for (auto id : ids)
        EXPECT_NE (design.addDsp (id, 0), nullptr) << id;

    return design;
}
} // namespace

TEST (DesignTest, TheFreeDspIdIsTheFirstGapAndItsSlotKeepsTheOrder)
{
    struct Case
    {
        std::vector<uint32_t> held;
        uint32_t id;
        int position;
    };

    const Case cases[] = {
        { {}, 1, 0 },
        { { 2, 3 }, 1, 0 },
        { { 1, 2, 4 }, 3, 2 },
        { { 1, 2, 3 }, 4, 3 },
        { { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 }, 17, 16 },
    };

    for (auto& c : cases)
    {
        Design design;

        for (auto id : c.held)
            design.addDsp (id, 0);

        int position = -1;
        EXPECT_EQ (design.findFreeDspId (&position), c.id);
        EXPECT_EQ (position, c.position);

        // What is free can be added, at that position; a 17th never.
        const bool added = design.addDsp (c.id, 0) != nullptr;
        EXPECT_EQ (added, c.id <= 16);

        if (added)
        {
            EXPECT_EQ (design.indexOfDsp (c.id), c.position);
        }
    }
}

TEST (DesignTest, AnExplicitIdTakesItsOwnSlotAndAHeldOrLargeIdIsRefused)
{
    Design design;
    withDsps (design, { 1, 3 });

    EXPECT_EQ (design.addDsp (3, 0), nullptr) << "held";
    EXPECT_EQ (design.addDsp (17, 0), nullptr) << "above 16";
    EXPECT_EQ (design.addDsp (0, 0), nullptr);
    ASSERT_NE (design.addDsp (4, 0), nullptr);
    ASSERT_NE (design.addDsp (2, 0), nullptr);
    EXPECT_EQ (slotIds (design), (std::vector<uint32_t>{ 1, 2, 3, 4 }));
}

TEST (DesignTest, ListenersHearOfEveryRemovalWhileTheSlotStillStands)
{
    struct Recorder : Design::Listener
    {
        void dspAboutToBeRemoved (DspSlot& slot) override
        {
            heard.push_back (slot.getDspId());
            EXPECT_EQ (design->findDsp (slot.getDspId()), &slot) << "the slot is still in the design";
            slot.getGraph().addNode ("Still", true, nullptr, 0.5, 0.5);
        }

        Design* design = nullptr;
        std::vector<uint32_t> heard;
    };

    Design design;
    Recorder recorder;
    recorder.design = &design;
    design.addListener (&recorder);
    withDsps (design, { 1, 2, 5 });

    design.removeDsp (2);
    design.removeDsp (9);
    design.clearDsps();
    EXPECT_EQ (recorder.heard, (std::vector<uint32_t>{ 2, 1, 5 }));
    design.removeListener (&recorder);
}

TEST (DesignTest, AModuleChangeLeavesTheBusGraphOnlyWhatTheNewModuleHas)
{
    ModuleLibrary library;

    for (auto [id, inputs, outputs] : { std::tuple<uint32_t, uint32_t, uint32_t>{ 1, 8, 6 }, { 2, 3, 2 } })
    {
        auto module = std::make_unique<ModuleDefinition>();
        module->moduleId = id;
        module->dspInputCount = inputs;
        module->dspOutputCount = outputs;
        library.addModule (std::move (module));
    }

    Design design;
    design.setLibrary (&library);
    design.addDsp (1, 1);
    design.addDsp (2, 1);

    auto& bus = design.getBusGraph();
    bus.addNode ("DSP", false, nullptr, 0.2, 0.2);
    bus.addNode ("DSP", false, nullptr, 0.6, 0.2);

    // DSP 1 feeds DSP 2 on outputs 1 and 5, and takes DSP 2's output 4 on its input 7.
    bus.addConnection (1, 1, 2, 0);
    bus.addConnection (1, 5, 2, 2);
    bus.addConnection (2, 4, 1, 7);
    bus.addConnection (2, 0, 1, 2);
    bus.addBusPin (1, 0, 1, "DAAD0L");
    bus.addBusPin (1, 3, 1, "DAAD1R");
    bus.addBusPin (1, 1, 0, "DABD0R");
    bus.addBusPin (1, 2, 0, "DABD1L");
    bus.addBusPin (2, 5, 0, "IBUS3");

    ASSERT_TRUE (design.setDspModule (1, 2));

    std::set<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>> connections;

    for (int i = 0; i < bus.getNumConnections(); ++i)
    {
        auto* c = bus.getConnection (i);
        connections.insert ({ c->sourceNode, c->sourcePin, c->destNode, c->destPin });
    }

    EXPECT_EQ (connections, (std::set<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>>{ { 1, 1, 2, 0 }, { 2, 0, 1, 2 } }));

    std::set<juce::String> pins;

    for (int i = 0; i < bus.getNumBusPins(); ++i)
        pins.insert (bus.getBusPin (i)->name);

    EXPECT_EQ (pins, (std::set<juce::String>{ "DAAD0L", "DABD0R", "IBUS3" })) << "DSP 2 keeps its own";
    EXPECT_EQ (bus.findNodeById (1)->inputCount, 3u);
    EXPECT_EQ (bus.findNodeById (1)->outputCount, 2u);
}

TEST (DesignTest, LoadsFollowOneRuleForEmptyBudgetsAndShareTheExternalMemory)
{
    ModuleLibrary library;
    auto module = std::make_unique<ModuleDefinition>();
    module->moduleId = 4;
    module->ownCycles = 2048 - 30; // what the process below costs, at 44.1 kHz
    module->dspRamBudget = 0;
    auto* core = library.addModule (std::move (module));

    auto process = std::make_unique<ProcessDefinition>();
    process->processId = 0x10;
    process->baseCycles = 10;
    process->cyclesPerChannel = 20;
    process->baseRam = 5;
    process->defaultChannelWord = 1;
    auto* gain = core->addProcess (std::move (process), false);

    Design design;
    design.setLibrary (&library);
    design.getSettings().setSamplingIndex (0);
    design.getSettings().setExternalMemorySize (0);

    auto* slot = design.addDsp (1, 4);
    design.addDsp (2, 4);

    auto empty = design.estimateDspLoad (1);
    EXPECT_EQ (empty.cycles, 0.0);
    EXPECT_EQ (empty.dspRam, 0.0) << "nothing used of nothing";
    EXPECT_EQ (empty.externalRam, 0.0);

    slot->getGraph().addNode ("Gain", true, gain, 0.5, 0.5);
    design.getDspEntry (1)->addProcessInstance (1, gain->processId);

    const auto full = design.estimateDspLoad (1);
    EXPECT_EQ (full.cycles, 100.0) << "exactly the budget";
    EXPECT_EQ (full.dspRam, 100.0) << "some used of nothing is full, never infinite";
    EXPECT_FALSE (std::isnan (full.externalRam) || std::isinf (full.externalRam));
    EXPECT_EQ (design.estimateDspLoad (9).cycles, 0.0) << "an absent DSP";
}
