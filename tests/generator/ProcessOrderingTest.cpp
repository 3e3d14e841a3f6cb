#include "generator/ProcessOrdering.h"
#include "model/DesignLog.h"
#include "model/DspDefinitionEntry.h"
#include "model/GraphData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

namespace
{
// A DSP's graph of bare nodes and the process list to order, in the order
// the processes were placed.
class ProcessOrderingTest : public ::testing::Test
{
protected:
    void SetUp() override { clearLog(); }
    void TearDown() override { clearLog(); }

    // Nodes 1..count, placed in the given order of ids.
    void place (std::vector<int> ids)
    {
        const int count = (int) ids.size();

        for (int i = 0; i < count; ++i)
            graph.addNode ("P" + juce::String (i + 1), true, definitions[i + 1], 0.0, 0.0);

        for (int id : ids)
        {
            auto entry = std::make_unique<ProcessInstanceEntry>();
            entry->nodeNumber = id;
            entry->processId = (uint32_t) id;
            processes.push_back (entry.get());
            entries.push_back (std::move (entry));
        }
    }

    void placeInOrder (int count)
    {
        std::vector<int> ids;

        for (int i = 1; i <= count; ++i)
            ids.push_back (i);

        place (ids);
    }

    void connect (int from, int to, uint32_t sourcePin = 0, uint32_t destPin = 0)
    {
        graph.addConnection ((uint32_t) from, sourcePin, (uint32_t) to, destPin);
    }

    void dspInput (int id, int number = 0) { graph.addBusPin ((uint32_t) id, 0, 1, "DSPIN" + juce::String (number)); }
    void dspOutput (int id, int number = 0) { graph.addBusPin ((uint32_t) id, 0, 0, "DSPOUT" + juce::String (number)); }

    std::vector<int> sorted()
    {
        auto order = processes;
        ProcessOrdering ordering (graph, order);
        ordering.build();
        ordering.sort();
        cut = ordering.wasEnumerationCut();

        std::vector<int> ids;

        for (auto* process : order)
            ids.push_back (process->nodeNumber);

        return ids;
    }

    static int positionOf (const std::vector<int>& order, int id)
    {
        return (int) (std::find (order.begin(), order.end(), id) - order.begin());
    }

    // Every connection between two different processes goes forward.
    bool followsEveryConnection (const std::vector<int>& order) const
    {
        for (int i = 0; i < graph.getNumConnections(); ++i)
        {
            const auto* c = graph.getConnection (i);

            if (c->sourceNode != c->destNode && positionOf (order, (int) c->sourceNode) > positionOf (order, (int) c->destNode))
                return false;
        }

        return true;
    }

    bool isPermutationOfProcesses (std::vector<int> order) const
    {
        std::vector<int> placed;

        for (auto* process : processes)
            placed.push_back (process->nodeNumber);

        std::sort (order.begin(), order.end());
        std::sort (placed.begin(), placed.end());
        return order == placed;
    }

    // A process with pins of these directions and kinds (1 input, 0 output).
    static std::unique_ptr<ProcessDefinition> defineWithPins (std::vector<std::pair<uint8_t, uint32_t>> pins)
    {
        auto definition = std::make_unique<ProcessDefinition>();
        definition->pins.setCapacity ((int) pins.size());

        for (auto [direction, kind] : pins)
            definition->addPin ("Pin", direction, kind);

        return definition;
    }

    std::map<int, const ProcessDefinition*> definitions; // by node id; none: a bare node
    GraphData graph;
    std::vector<std::unique_ptr<ProcessInstanceEntry>> entries;
    std::vector<const ProcessInstanceEntry*> processes;
    bool cut = false;
};
} // namespace

TEST_F (ProcessOrderingTest, AChainIsOrderedWhateverItsArrayOrder)
{
    place ({ 3, 1, 2 });
    dspInput (1);
    connect (1, 2);
    connect (2, 3);
    dspOutput (3);

    EXPECT_EQ (sorted(), (std::vector<int>{ 1, 2, 3 }));
    EXPECT_EQ (getLogErrorCount(), 0);
}

TEST_F (ProcessOrderingTest, AProcessFedByNothingLeavesTheOrderAlone)
{
    place ({ 3, 2, 1 });
    dspInput (1);
    connect (1, 3);

    EXPECT_EQ (sorted(), (std::vector<int>{ 3, 2, 1 }));
    EXPECT_TRUE (getLogText().isEmpty());
}

TEST_F (ProcessOrderingTest, AProcessWithoutSignalInputsStartsTheFlowAsADspInputDoes)
{
    // A limiter (1) fed by an equaliser (2) on the DSP input, and a sample
    // bank (3) whose only pins are outputs (and a virtual input, which
    // carries no signal).
    const auto withInput = defineWithPins ({ { 1, ProcessPinEntry::vectorPin }, { 0, ProcessPinEntry::vectorPin } });
    const auto bank = defineWithPins ({ { 1, ProcessPinEntry::virtualPin }, { 0, 1 }, { 0, 1 } });
    definitions = { { 1, withInput.get() }, { 2, withInput.get() }, { 3, bank.get() } };
    placeInOrder (3);
    dspInput (2);
    connect (2, 1);
    dspOutput (1);
    dspOutput (3, 2);

    EXPECT_EQ (sorted(), (std::vector<int>{ 2, 3, 1 }));
    EXPECT_TRUE (getLogText().isEmpty());

    // A process that has a signal input with nothing connected stays unsorted.
    graph.clear();
    entries.clear();
    processes.clear();
    definitions[3] = withInput.get();
    placeInOrder (3);
    dspInput (2);
    connect (2, 1);

    EXPECT_EQ (sorted(), (std::vector<int>{ 1, 2, 3 }));
    EXPECT_TRUE (getLogText().isEmpty());
}

TEST_F (ProcessOrderingTest, BranchesAreInterleavedByDepth)
{
    // 1 splits into 2 -> 3 -> 4 and 5 -> 6.
    placeInOrder (6);
    dspInput (1);
    connect (1, 2, 0, 0);
    connect (1, 5, 1, 1);
    connect (2, 3);
    connect (3, 4);
    connect (5, 6);

    const auto order = sorted();
    EXPECT_EQ (order, (std::vector<int>{ 1, 2, 5, 3, 6, 4 }));
}

TEST_F (ProcessOrderingTest, TheFirstOfEquallyLongPathsLeads)
{
    // Two branches of equal length: the one on the first successor comes
    // first at every depth.
    placeInOrder (5);
    dspInput (1);
    connect (1, 4, 0, 0);
    connect (1, 2, 0, 1);
    connect (2, 3);
    connect (4, 5);

    const auto order = sorted();
    EXPECT_EQ (order, (std::vector<int>{ 1, 4, 2, 5, 3 }));
}

TEST_F (ProcessOrderingTest, AMergeComesAfterBothBranches)
{
    // 1 feeds 4 directly and through 2 -> 3.
    place ({ 4, 3, 2, 1 });
    dspInput (1);
    connect (1, 4, 0, 0);
    connect (1, 2, 0, 0);
    connect (2, 3);
    connect (3, 4, 0, 1);
    dspOutput (4);

    const auto order = sorted();
    EXPECT_TRUE (followsEveryConnection (order));
    EXPECT_EQ (order.front(), 1);
    EXPECT_EQ (order.back(), 4);
}

TEST_F (ProcessOrderingTest, AFeedbackLoopFollowsTheProcessThatEntersIt)
{
    // 1 -> 2 -> 3 -> 4, with 3 fed back into 2 through 5.
    placeInOrder (5);
    dspInput (1);
    connect (1, 2);
    connect (2, 3);
    connect (3, 4, 0, 0);
    connect (3, 5, 1, 0);
    connect (5, 2, 0, 1);
    dspOutput (4);

    // The main path is 1, 2, 3, 4; the loop path 1, 2, 3, 5 leaves 5 alone,
    // which goes right after 3, its first predecessor.
    EXPECT_EQ (sorted(), (std::vector<int>{ 1, 2, 3, 5, 4 }));
    EXPECT_EQ (getLogErrorCount(), 0);
}

TEST_F (ProcessOrderingTest, ALoopRunsAfterTheProcessFeedingItNotAfterItsOwnBackEdge)
{
    // DSP input -> mixer (1) -> B (2) -> C (3) -> B, and mixer -> D (4). The
    // back edge C -> B is B's first predecessor: the loop must still follow
    // the mixer that enters it.
    placeInOrder (4);
    dspInput (1);
    connect (1, 2, 0, 1);
    connect (1, 4, 1, 0);
    connect (2, 3);
    connect (3, 2, 0, 0);

    EXPECT_EQ (sorted(), (std::vector<int>{ 1, 2, 3, 4 }));
    EXPECT_EQ (getLogErrorCount(), 0);
}

TEST_F (ProcessOrderingTest, ACycleWithoutABranchEndsItsWalk)
{
    // 1 -> 2 -> 3 -> 2, and apart from it 4 -> 5 (the sink).
    placeInOrder (5);
    dspInput (1);
    dspInput (4, 1);
    connect (1, 2);
    connect (2, 3);
    connect (3, 2);
    connect (4, 5);

    const auto order = sorted();
    EXPECT_TRUE (isPermutationOfProcesses (order));
    EXPECT_LT (positionOf (order, 1), positionOf (order, 2));
    EXPECT_LT (positionOf (order, 2), positionOf (order, 3));
    EXPECT_LT (positionOf (order, 4), positionOf (order, 5));
}

TEST_F (ProcessOrderingTest, UnreachedProcessesFollowInTheirOriginalOrder)
{
    // 3 -> 5 -> 3 is a loop no DSP input reaches.
    place ({ 5, 2, 3, 1, 4 });
    dspInput (1);
    connect (1, 2);
    connect (2, 4);
    connect (3, 5);
    connect (5, 3);

    EXPECT_EQ (sorted(), (std::vector<int>{ 1, 2, 4, 5, 3 }));
    EXPECT_EQ (getLogErrorCount(), 1);
    EXPECT_TRUE (getLogText().contains ("Not all processes were accounted for during sorting"));
    EXPECT_TRUE (getLogText().contains ("please contact a OSTRANE developer"));
}

TEST_F (ProcessOrderingTest, ConnectionsToUnknownNodesAreSkipped)
{
    placeInOrder (2);
    dspInput (1);
    connect (1, 2);
    graph.addNode ("not a process of the DSP", true, nullptr, 0.0, 0.0);
    connect (3, 1);
    connect (2, 3);

    auto order = processes;
    ProcessOrdering ordering (graph, order);
    ordering.build();
    EXPECT_EQ (ordering.findNode (3), nullptr);
    EXPECT_EQ (ordering.findNode (1)->successors.size(), 1u);
}

TEST_F (ProcessOrderingTest, SortsACopyAndLeavesTheProcessListAlone)
{
    place ({ 2, 1 });
    dspInput (1);
    connect (1, 2);

    const auto before = processes;
    EXPECT_EQ (sorted(), (std::vector<int>{ 1, 2 }));
    EXPECT_EQ (processes, before);
}

TEST_F (ProcessOrderingTest, AChainOfDiamondsFinishesQuickly)
{
    // 31 diamonds in a row: 2^31 walks from the input, far too many to list
    // within the time CTest gives a test. process_ordering_bench measures
    // how long the order takes.
    placeInOrder (63);
    dspInput (1);

    for (int d = 0; d < 31; ++d)
    {
        const int top = 1 + 2 * d;
        connect (top, top + 1, 0, 0);
        connect (top, top + 2, 1, 0);
        connect (top + 1, top + 2, 0, 1);
    }

    dspOutput (63);

    const auto order = sorted();

    EXPECT_TRUE (cut);
    EXPECT_TRUE (isPermutationOfProcesses (order));
    EXPECT_TRUE (followsEveryConnection (order));
    EXPECT_EQ (getLogErrorCount(), 0);
}

TEST_F (ProcessOrderingTest, RandomGraphsPlaceEveryProcessOnce)
{
    std::mt19937 random (2024);

    for (int round = 0; round < 150; ++round)
    {
        graph.clear();
        entries.clear();
        processes.clear();

        const int count = std::uniform_int_distribution<int> (1, 63) (random);
        std::vector<int> ids;

        for (int i = 1; i <= count; ++i)
            ids.push_back (i);

        std::shuffle (ids.begin(), ids.end(), random);
        place (ids);

        std::uniform_int_distribution<int> anyNode (1, count);
        std::uniform_int_distribution<int> anyPin (0, 3);
        const int connections = std::uniform_int_distribution<int> (0, 128) (random);

        for (int i = 0; i < connections; ++i)
            connect (anyNode (random), anyNode (random), (uint32_t) anyPin (random), (uint32_t) anyPin (random));

        for (int i = 0; i < 1 + count / 8; ++i)
        {
            dspInput (anyNode (random), i % 8);
            dspOutput (anyNode (random), i % 8);
        }

        const auto order = sorted();
        ASSERT_TRUE (isPermutationOfProcesses (order)) << "round " << round;
    }
}

TEST_F (ProcessOrderingTest, RandomAcyclicGraphsFollowTheirConnections)
{
    // Forward connections only, every process fed: the order is a signal
    // flow order whenever the walks could all be listed or not.
    std::mt19937 random (99);

    for (int round = 0; round < 200; ++round)
    {
        graph.clear();
        entries.clear();
        processes.clear();

        const int count = std::uniform_int_distribution<int> (2, 40) (random);
        std::vector<int> ids;

        for (int i = 1; i <= count; ++i)
            ids.push_back (i);

        std::shuffle (ids.begin(), ids.end(), random);
        place (ids);
        dspInput (1);

        for (int to = 2; to <= count; ++to)
        {
            const int from = std::uniform_int_distribution<int> (1, to - 1) (random);
            connect (from, to, (uint32_t) (to % 3), 0);

            if (to > 3 && random() % 4 == 0)
                connect (std::uniform_int_distribution<int> (1, to - 1) (random), to, 0, 1);
        }

        const auto order = sorted();
        ASSERT_TRUE (isPermutationOfProcesses (order)) << "round " << round;
        EXPECT_EQ (order.front(), 1) << "round " << round;
    }
}
