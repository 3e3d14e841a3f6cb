#include "model/ProcessGraphEdits.h"

#include "model/NodeChannelRules.h"

#include "support/ProcessTestLibrary.h"

#include <random>

namespace
{
using Edits = ProcessGraphEdits;

// A chain of three processes with a side branch, DSP inputs and outputs,
// and a virtual wire: Plain(1) -> Plain(2) -> Plain(3), Keyed(4) -> Keyed(5).
struct Chain : vxtest::ProcessTestLibrary
{
    Chain()
    {
        for (auto* name : { "Plain", "Plain", "Plain", "Keyed", "Keyed" })
            place (name);

        graph.addConnection (1, 0, 2, 0);
        graph.addConnection (1, 1, 2, 1);
        graph.addConnection (2, 0, 3, 1);
        graph.addConnection (4, 1, 5, 1);
        graph.getLastAddedConnection()->flag = 1;
        graph.addBusPin (1, 0, 1, "DSPIN0");
        graph.addBusPin (2, 1, 0, "DSPOUT1");
        graph.addBusPin (2, 0, 1, "DSPIN4");
        graph.addBusPin (3, 0, 0, "DSPOUT0");
        node (2).memoryChoice = GraphNode::memoryChoiceInternal16BitRam;
        node (2).commandWords = { 0x40000101, 0x40010102 };
        node (2).commandWordCount = 2;
    }

    uint32_t nrpnOf (uint32_t id) { return node (id).nrpn; }
};
} // namespace

TEST (ProcessGraphEdits, RemovingTheMiddleProcessRenumbersAndPuttingItBackRestoresEverything)
{
    Chain chain;
    const auto before = chain.snapshot();
    const auto nrpn = chain.nrpnOf (2);
    Edits::RemovedProcess removed;

    ASSERT_TRUE (Edits::removeProcess (chain.graph, chain.entry, nrpn, removed));
    EXPECT_EQ (chain.graph.getNumNodes(), 4);
    EXPECT_EQ (chain.graph.findNodeByNrpn (nrpn), nullptr);
    EXPECT_EQ (chain.node (2).nrpn, 3u) << "the third process closed up to id 2";
    EXPECT_EQ (chain.entry->getProcessCount(), 4);
    EXPECT_EQ (removed.connections.size(), 3u);
    EXPECT_EQ (removed.busPins.size(), 2u);
    const auto after = chain.snapshot();

    ASSERT_TRUE (Edits::restoreProcess (chain.graph, chain.entry, removed));
    EXPECT_EQ (chain.snapshot(), before);
    EXPECT_EQ (chain.node (2).commandWords, (std::vector<uint32_t>{ 0x40000101, 0x40010102 }))
        << "the command words come back, not rebuilt";

    // Redone and undone again: the same states, the kept pins kept once.
    ASSERT_TRUE (Edits::removeProcess (chain.graph, chain.entry, nrpn, removed));
    EXPECT_EQ (chain.snapshot(), after);
    EXPECT_EQ (removed.busPins.size(), 2u);
    ASSERT_TRUE (Edits::restoreProcess (chain.graph, chain.entry, removed));
    EXPECT_EQ (chain.snapshot(), before);
}

TEST (ProcessGraphEdits, NothingIsRemovedOrRestoredThatCannotBe)
{
    Chain chain;
    const auto before = chain.snapshot();
    Edits::RemovedProcess removed;

    EXPECT_FALSE (Edits::removeProcess (chain.graph, chain.entry, 99, removed));
    EXPECT_EQ (chain.snapshot(), before);

    // A process that holds the NRPN number already: the old one cannot come back.
    ASSERT_TRUE (Edits::removeProcess (chain.graph, chain.entry, chain.nrpnOf (5), removed));
    chain.place ("Plain");
    const auto taken = chain.snapshot();
    EXPECT_FALSE (Edits::restoreProcess (chain.graph, chain.entry, removed));
    EXPECT_EQ (chain.snapshot(), taken);
}

TEST (ProcessGraphEdits, ConnectionsAreFoundByNrpnAcrossRenumbering)
{
    Chain chain;
    Edits::KeptConnection kept;
    ASSERT_TRUE (Edits::keepConnection (chain.graph, *chain.graph.getConnection (3), kept));
    EXPECT_EQ (kept.flag, 1);

    Edits::RemovedProcess removed;
    ASSERT_TRUE (Edits::removeProcess (chain.graph, chain.entry, chain.nrpnOf (1), removed));
    const auto withWire = chain.snapshot();

    ASSERT_TRUE (Edits::removeConnection (chain.graph, kept)) << "the virtual wire now runs from 3 to 4";
    EXPECT_FALSE (Edits::removeConnection (chain.graph, kept));
    ASSERT_TRUE (Edits::restoreConnection (chain.graph, kept));
    EXPECT_EQ (chain.snapshot(), withWire) << "with its flag";

    Edits::KeptConnection toNowhere = kept;
    toNowhere.destNrpn = 77;
    EXPECT_FALSE (Edits::restoreConnection (chain.graph, toNowhere));
}

TEST (ProcessGraphEdits, ShrinkingACountTakesThePinsWiresAndNamesAndGrowingBackRestoresThem)
{
    vxtest::ProcessTestLibrary design;
    const auto split = design.place ("SplitN");
    const auto mix = design.place ("MixN");
    const auto plain = design.place ("Plain");

    // Both grown to four pins on their counting side.
    design.node (split).channelWord = 0x80000004;
    design.node (split).outputCount = 4;
    design.node (mix).channelWord = 0x40000004;
    design.node (mix).inputCount = 4;

    for (uint32_t pin = 0; pin < 4; ++pin)
        design.graph.addConnection (split, pin, mix, pin);

    design.graph.addConnection (plain, 0, split, 0);
    design.graph.addBusPin (split, 2, 0, "DSPOUT2");
    design.graph.addBusPin (split, 3, 0, "DSPOUT3");
    design.graph.addBusPin (split, 1, 0, "DSPOUT1");
    design.graph.addBusPin (mix, 3, 1, "DSPIN3");

    const auto before = design.snapshot();
    auto& node = design.node (split);
    ASSERT_EQ (NodeChannelRules::getPinCounts (node).outputs, 4);

    Edits::CountChange change;
    change.nrpn = node.nrpn;
    change.oldWord = node.channelWord;
    change.newWord = NodeChannelRules::makeChannelWord (node.channelWord, 2);
    ASSERT_TRUE (Edits::applyCountChange (design.graph, change));

    EXPECT_EQ (node.channelWord, 0x80000002u);
    EXPECT_EQ (node.outputCount, 2u) << "the outputs follow the count";
    EXPECT_EQ (NodeChannelRules::getPinCounts (node).outputs, 2);
    EXPECT_EQ (design.graph.getNumConnections(), 3);
    EXPECT_EQ (change.removedConnections.size(), 2u);
    EXPECT_EQ (change.removedBusPins.size(), 2u);
    EXPECT_EQ (design.graph.getNumBusPins(), 2) << "DSPOUT1 and the mixer's DSPIN3 stay";

    ASSERT_TRUE (Edits::revertCountChange (design.graph, change));
    EXPECT_EQ (design.snapshot(), before) << "counts, wires and names as they were";

    // The mixer's inputs follow its count the same way.
    Edits::CountChange mixChange{ design.node (mix).nrpn, design.node (mix).channelWord, 0x40000003u };
    ASSERT_TRUE (Edits::applyCountChange (design.graph, mixChange));
    EXPECT_EQ (design.node (mix).inputCount, 3u);
    EXPECT_EQ (mixChange.removedConnections.size(), 1u);
    EXPECT_EQ (mixChange.removedBusPins.size(), 1u);
    ASSERT_TRUE (Edits::revertCountChange (design.graph, mixChange));
    EXPECT_EQ (design.snapshot(), before);

    Edits::CountChange gone{ 99, 1, 2 };
    EXPECT_FALSE (Edits::applyCountChange (design.graph, gone));
}

TEST (ProcessGraphEdits, MemoryTypeFollowsTheNrpn)
{
    Chain chain;
    ASSERT_TRUE (Edits::setMemoryType (chain.graph, chain.nrpnOf (3), 3, 3));
    EXPECT_EQ (chain.node (3).memoryWord, 3u);
    EXPECT_EQ (chain.node (3).memoryChoice, GraphNode::memoryChoiceInternal24BitRam);
    EXPECT_FALSE (Edits::setMemoryType (chain.graph, 99, 1, 1));
}

// Random removals undone in reverse order, as an undo history does: every
// undo gives back exactly the graph the removal was made on.
TEST (ProcessGraphEdits, RandomRemovalsUndoneInReverseRestoreEachState)
{
    std::mt19937 random (20240611);

    for (int round = 0; round < 40; ++round)
    {
        vxtest::ProcessTestLibrary design;
        const int count = 3 + (int) (random() % 8);

        for (int i = 0; i < count; ++i)
            design.place (random() % 2 == 0 ? "Plain" : "Keyed");

        for (int i = 0; i < count * 2; ++i)
        {
            const auto s = 1 + random() % (uint32_t) count, d = 1 + random() % (uint32_t) count;

            if (s != d)
                design.graph.addConnection (s, random() % 2, d, random() % 2);

            design.graph.addBusPin (s, random() % 2, (uint8_t) (random() % 2), "DSPIN" + juce::String ((int) (random() % 4)));
        }

        std::vector<std::pair<vxtest::ProcessTestLibrary::Snapshot, Edits::RemovedProcess>> history;

        while (design.graph.getNumNodes() > 0 && random() % 5 != 0)
        {
            const auto* node = design.graph.getNode ((int) (random() % (uint32_t) design.graph.getNumNodes()));
            history.emplace_back (design.snapshot(), Edits::RemovedProcess());
            ASSERT_TRUE (Edits::removeProcess (design.graph, design.entry, node->nrpn, history.back().second));
        }

        for (auto it = history.rbegin(); it != history.rend(); ++it)
        {
            ASSERT_TRUE (Edits::restoreProcess (design.graph, design.entry, it->second));
            ASSERT_EQ (design.snapshot(), it->first) << "round " << round;
        }
    }
}

//==============================================================================
TEST (NodeChannelRules, PinCountsSliderRangesAndLoads)
{
    vxtest::ProcessTestLibrary design;
    auto& vector = design.node (design.place ("Vector"));
    auto& mix = design.node (design.place ("MixN"));
    auto& split = design.node (design.place ("SplitN"));
    auto& plain = design.node (design.place ("Plain"));

    using Counts = NodeChannelRules::PinCounts;
    EXPECT_EQ (NodeChannelRules::getPinCounts (vector), (Counts{ 1, 1 })) << "both flags: one vector pin a side";
    EXPECT_EQ (NodeChannelRules::getPinCounts (mix), (Counts{ 2, 1 }));
    EXPECT_EQ (NodeChannelRules::getPinCounts (mix, 0x40000006), (Counts{ 6, 1 }));
    EXPECT_EQ (NodeChannelRules::getPinCounts (split, 0x80000003), (Counts{ 1, 3 }));
    EXPECT_EQ (NodeChannelRules::getPinCounts (plain, 7), (Counts{ 2, 2 })) << "no flags: the definition's counts";

    EXPECT_EQ (NodeChannelRules::makeChannelWord (0xC0000002, 5), 0xC0000005u);

    const auto range = [] (const GraphNode& node, double khz)
    {
        const auto r = NodeChannelRules::getSliderRange (node, khz);
        return std::make_pair (r.minimum, r.maximum);
    };
    EXPECT_EQ (range (mix, 48.0), std::make_pair (2, 8));
    EXPECT_EQ (range (plain, 48.0), std::make_pair (1, 8));

    auto* bank = design.define ("Bank", 0x207, 1, 1, 0x20000001, {}, 0x4001);
    auto* stages = design.define ("Stages", 0x208, 1, 1, 0x20000001, {}, 0x4003);
    auto* delay = design.define ("(s)Delay", 0x209, 1, 1, 0x10000001, {});
    auto* echo = design.define ("Echo", 0x20A, 1, 1, 0x10000001, {});
    const GraphNode bankNode (1, 1, "Bank", true, bank, 0, 0), stagesNode (1, 1, "Stages", true, stages, 0, 0),
        delayNode (1, 1, "(s)Delay", true, delay, 0, 0), echoNode (1, 1, "Echo", true, echo, 0, 0);
    EXPECT_EQ (range (bankNode, 48.0), std::make_pair (1, 31));
    EXPECT_EQ (range (stagesNode, 48.0), std::make_pair (1, 3));
    EXPECT_EQ (range (delayNode, 44.1), std::make_pair (23, 1486));
    EXPECT_EQ (range (delayNode, 192.0), std::make_pair (6, 341));
    EXPECT_EQ (range (delayNode, 0.0), std::make_pair (1, 50000)) << "no rate: no division by zero";
    EXPECT_EQ (range (echoNode, 48.0), std::make_pair (1, 50000));

    // Base 10, 20 a channel; the module keeps 48 of 2048 cycles for itself.
    EXPECT_EQ (NodeChannelRules::makeLoadText (design.module, plain.getProcessDefinition(), 3, 1), "3.50%");
    EXPECT_EQ (NodeChannelRules::makeLoadText (design.module, plain.getProcessDefinition(), 0x10000009, 1), "1.50%");
    auto* q0 = design.define ("HQDistortion_Q0", 0x20B, 1, 1, 1, {});
    auto* q1 = design.define ("HQDistortion_Q1", 0x20C, 1, 1, 1, {});
    EXPECT_EQ (NodeChannelRules::getProcessCycles (*q0, 2), 10 + 20 + 72);
    EXPECT_EQ (NodeChannelRules::getProcessCycles (*q0, 3), 10 + 20 + 140);
    EXPECT_EQ (NodeChannelRules::getProcessCycles (*q0, 4), 10);
    EXPECT_EQ (NodeChannelRules::getProcessCycles (*q1, 2), 10 + 20 + 288);
    EXPECT_EQ (NodeChannelRules::getProcessCycles (*q1, 1), 30);

    design.module->ownCycles = 4000;
    EXPECT_EQ (NodeChannelRules::makeLoadText (design.module, plain.getProcessDefinition(), 1, 0), "100.00%")
        << "a module that leaves no cycles: full, not infinite";
}

//==============================================================================
TEST (ProcessGraphEdits, PlacingKeepsRoomForTheStaticProcessesAndAStaticProcessOnce)
{
    vxtest::ProcessTestLibrary dsp;
    auto* meter = dsp.define ("Meter", 0x30, 1, 0, 1, { { "In", true, 1 } });
    auto* bank = dsp.define ("Bank", 0x31, 1, 1, 1, { { "In", true, 1 }, { "Out", false, 1 } });
    meter->fromSps = bank->fromSps = true;
    auto* plain = dsp.findDefinition ("Plain");

    EXPECT_FALSE (Edits::canPlaceProcess (dsp.graph, dsp.entry, nullptr, *plain)) << "no module chosen";
    EXPECT_TRUE (Edits::canPlaceProcess (dsp.graph, dsp.entry, dsp.module, *meter));
    dsp.place ("Meter");
    EXPECT_FALSE (Edits::canPlaceProcess (dsp.graph, dsp.entry, dsp.module, *meter)) << "a static process once";
    EXPECT_TRUE (Edits::canPlaceProcess (dsp.graph, dsp.entry, dsp.module, *bank));

    // 63 less the two static processes the module offers.
    for (int i = 0; i < Edits::maxProcesses - 2; ++i)
    {
        ASSERT_TRUE (Edits::canPlaceProcess (dsp.graph, dsp.entry, dsp.module, *plain)) << i;
        dsp.place ("Plain");
    }

    EXPECT_FALSE (Edits::canPlaceProcess (dsp.graph, dsp.entry, dsp.module, *plain));
    EXPECT_TRUE (Edits::canPlaceProcess (dsp.graph, dsp.entry, dsp.module, *bank)) << "its room was kept";
    dsp.place ("Bank");
    EXPECT_EQ (dsp.graph.getNumNodes(), Edits::maxProcesses);
    EXPECT_FALSE (Edits::canPlaceProcess (dsp.graph, dsp.entry, dsp.module, *bank));
}

TEST (ProcessGraphEdits, InsertingIntoAFullGraphChangesNothingAndAnEqualConnectionIsNotAdded)
{
    vxtest::ProcessTestLibrary dsp;

    for (int i = 0; i < GraphData::maxNodes; ++i)
        dsp.place ("Plain");

    const auto before = dsp.snapshot();
    Edits::NewProcess process;
    process.name = "Late";
    process.definition = dsp.findDefinition ("Plain");
    process.channelWord = 5;
    process.memoryWord = 3;
    process.linkFlag = true;
    process.linkId = 9;
    EXPECT_EQ (Edits::insertProcess (dsp.graph, dsp.entry, process), 0u);
    EXPECT_EQ (dsp.snapshot(), before) << "no other node takes the words";

    dsp.graph.addConnection (1, 0, 2, 0);
    const Edits::KeptConnection kept{ dsp.node (1).nrpn, 0, dsp.node (2).nrpn, 0, 1 };
    EXPECT_FALSE (Edits::addNewConnection (dsp.graph, kept));
    EXPECT_EQ (dsp.graph.getConnection (0)->flag, 0) << "the connection there keeps its flag";
    EXPECT_TRUE (Edits::addNewConnection (dsp.graph, { kept.sourceNrpn, 1, kept.destNrpn, 1, 1 }));
    EXPECT_EQ (dsp.graph.getLastAddedConnection()->flag, 1);
}
