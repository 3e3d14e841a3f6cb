#include "model/GraphData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <random>
#include <string>
#include <tuple>
#include <utility>

namespace
{
class ChangeCounter : public juce::ChangeListener
{
public:
    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++count; }
    int count = 0;
};

// Stands in for the editors: records what the graph asks of its components.
class RecordingViewHook : public GraphData::ViewHook
{
public:
    void deleteComponent (juce::Component& component) override { deleted.push_back (&component); }
    void nodeIdChanged (juce::Component& box, uint32_t newId) override { renamed.emplace_back (&box, newId); }

    std::vector<juce::Component*> deleted;
    std::vector<std::pair<juce::Component*, uint32_t>> renamed;
};

// Distinct addresses that stand for components: the model only passes them on.
struct ComponentTokens
{
    juce::Component* operator[] (size_t i) { return reinterpret_cast<juce::Component*> (&storage[i]); }
    std::array<std::max_align_t, 16> storage{};
};

class GraphDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        juce::MessageManager::getInstance();
        graph.addChangeListener (&counter);
    }

    void TearDown() override
    {
        graph.removeChangeListener (&counter);
        juce::MessageManager::deleteInstance();
    }

    // The change messages delivered since the last call (the broadcaster
    // folds the messages of one step into one).
    int takeChangeMessages()
    {
        graph.dispatchPendingMessages();
        return std::exchange (counter.count, 0);
    }

    void addNodes (int count, bool renumber)
    {
        for (int i = 0; i < count; ++i)
            graph.addNode ("P", renumber, nullptr, 0.5, 0.5);
    }

    std::vector<uint32_t> ids() const
    {
        std::vector<uint32_t> result;

        for (int i = 0; i < graph.getNumNodes(); ++i)
            result.push_back (graph.getNodeId (i));

        return result;
    }

    std::vector<std::array<uint32_t, 4>> connectionList() const
    {
        std::vector<std::array<uint32_t, 4>> result;

        for (int i = 0; i < graph.getNumConnections(); ++i)
        {
            auto* c = graph.getConnection (i);
            result.push_back ({ c->sourceNode, c->sourcePin, c->destNode, c->destPin });
        }

        return result;
    }

    ChangeCounter counter;
    GraphData graph;
};

using Ids = std::vector<uint32_t>;
using Connections = std::vector<std::array<uint32_t, 4>>;
} // namespace

//==============================================================================
TEST_F (GraphDataTest, NodesTakeTheLowestFreeIdAndNrpnUpToSixtyThree)
{
    EXPECT_TRUE (graph.isFresh());
    EXPECT_EQ (graph.addNode ("Gain", true, nullptr, 0.25, 0.75), 1);

    auto* first = graph.getLastAddedNode();
    EXPECT_EQ (first->getId(), 1u);
    EXPECT_EQ (first->nrpn, 1u);
    EXPECT_EQ (first->channelWord, 1u);
    EXPECT_EQ (first->memoryWord, 1u);
    EXPECT_FALSE (graph.isFresh());
    EXPECT_TRUE (graph.isModified());
    EXPECT_EQ (takeChangeMessages(), 1);

    addNodes (GraphData::maxNodes - 1, true);
    graph.setModified (false);
    takeChangeMessages();

    // The 64th is refused: the counter comes back unchanged, and nothing counts as added.
    EXPECT_EQ (graph.addNode ("P", true, nullptr, 0.0, 0.0), 64);
    EXPECT_EQ (graph.getNumNodes(), 63);
    EXPECT_EQ (graph.getLastAddedNode(), nullptr);
    EXPECT_FALSE (graph.isModified());
    EXPECT_EQ (takeChangeMessages(), 0);
}

TEST_F (GraphDataTest, FreeIdAndNrpnFillTheFirstGap)
{
    addNodes (4, false);
    graph.removeNode (3);

    int position = -1;
    EXPECT_EQ (graph.findFreeNodeId (&position), 3u);
    EXPECT_EQ (position, 2);

    graph.removeNode (1);
    EXPECT_EQ (graph.findFreeNodeId (&position), 1u);
    EXPECT_EQ (position, 0);

    // Nodes 2 and 4 hold the numbers 2 and 4 (a node without one holds none).
    EXPECT_EQ (graph.findFreeNrpn(), 1u);
    graph.getNode (0)->nrpn = 1;
    EXPECT_EQ (graph.findFreeNrpn(), 2u);
    graph.getNode (1)->nrpn = 0;
    EXPECT_EQ (graph.findFreeNrpn(), 2u);
    EXPECT_EQ (graph.collectNrpns(), (Ids{ 0, 1 }));
}

TEST_F (GraphDataTest, RemovalWithRenumberFlagClosesTheIdsAndMovesConnectionsAndBusPins)
{
    addNodes (4, true);
    graph.addConnection (3, 0, 4, 1);
    graph.addBusPin (4, 0, 1, "DSPOUT0");

    ASSERT_TRUE (graph.removeNode (2));
    EXPECT_EQ (ids(), (Ids{ 1, 2, 3 }));
    EXPECT_EQ (connectionList(), (Connections{ { 2, 0, 3, 1 } }));
    EXPECT_EQ (graph.getBusPin (0)->nodeId, 3u);

    // The numbers stay with their nodes, so the next node takes the freed one.
    EXPECT_EQ (graph.collectNrpns(), (Ids{ 1, 3, 4 }));
    graph.addNode ("P", true, nullptr, 0.0, 0.0);
    EXPECT_EQ (graph.getLastAddedNode()->getId(), 4u);
    EXPECT_EQ (graph.getLastAddedNode()->nrpn, 2u);
}

TEST_F (GraphDataTest, RemovalWithoutRenumberFlagLeavesAGap)
{
    addNodes (4, false);
    graph.addConnection (3, 0, 4, 1);

    graph.removeNode (2);
    EXPECT_EQ (ids(), (Ids{ 1, 3, 4 }));
    EXPECT_EQ (connectionList(), (Connections{ { 3, 0, 4, 1 } }));

    graph.addNode ("P", false, nullptr, 0.0, 0.0);
    EXPECT_EQ (graph.getLastAddedNode(), graph.getNode (1));
    EXPECT_EQ (graph.getLastAddedNode()->getId(), 2u);
}

TEST_F (GraphDataTest, OnlyTheNodeMovingIntoTheGapDecidesOnRenumbering)
{
    graph.addNode ("DSP", false, nullptr, 0.0, 0.0);
    graph.addNode ("DSP", false, nullptr, 0.0, 0.0);
    graph.addNode ("P", true, nullptr, 0.0, 0.0);
    graph.addNode ("DSP", false, nullptr, 0.0, 0.0);

    graph.removeNode (1);
    EXPECT_EQ (ids(), (Ids{ 2, 3, 4 }));
    graph.removeNode (2);
    EXPECT_EQ (ids(), (Ids{ 2, 3 }));
}

TEST_F (GraphDataTest, IdZeroAndAbsentIdsAreNeitherFoundNorRemoved)
{
    addNodes (2, true);
    graph.setModified (false);
    takeChangeMessages();

    EXPECT_EQ (graph.findNodeIndex (0), 2);
    EXPECT_EQ (graph.findNodeIndex (7), 2);
    EXPECT_EQ (graph.findNodeById (0), nullptr);
    EXPECT_FALSE (graph.removeNode (0));
    EXPECT_FALSE (graph.removeNode (7));
    EXPECT_EQ (ids(), (Ids{ 1, 2 }));
    EXPECT_FALSE (graph.isModified());
    EXPECT_EQ (takeChangeMessages(), 0);
}

TEST_F (GraphDataTest, RemovedNodeTakesItsConnectionsAndComponentsWithIt)
{
    RecordingViewHook hook;
    ComponentTokens tokens;
    graph.setViewHook (&hook);
    addNodes (3, true);

    for (uint32_t id = 1; id <= 3; ++id)
        graph.setNodeBox (id, tokens[id]);

    graph.addConnection (1, 0, 2, 0);
    graph.getLastAddedConnection()->connector = tokens[4];
    graph.addConnection (2, 1, 3, 0);
    graph.addBusPin (1, 0, 1, "DSPIN0");
    ASSERT_TRUE (graph.setBusPinValue (*graph.getBusPin (0), tokens[5]));

    graph.removeNode (1);

    // Left in place, 1->2 would now name the former node 3 as its destination.
    EXPECT_EQ (connectionList(), (Connections{ { 1, 1, 2, 0 } }));
    EXPECT_EQ (hook.deleted, (std::vector<juce::Component*>{ tokens[5], tokens[4], tokens[1] }));
    EXPECT_EQ (hook.renamed, (std::vector<std::pair<juce::Component*, uint32_t>>{ { tokens[2], 1 }, { tokens[3], 2 } }));
    EXPECT_EQ (graph.getNodeBox (1), tokens[2]);

    // A connector the caller keeps is left alone.
    graph.getConnection (0)->connector = tokens[6];
    graph.removeConnection (1, 1, 2, 0, GraphData::matchAllConnectionFields, false);
    EXPECT_EQ (hook.deleted.size(), 3u);
    graph.setViewHook (nullptr);
}

TEST_F (GraphDataTest, ConnectionsAreStoredOnceAndNoMoreThanOneHundredTwentyEight)
{
    EXPECT_EQ (graph.addConnection (1, 0, 2, 0), 0);
    auto* first = graph.getLastAddedConnection();
    takeChangeMessages();

    EXPECT_EQ (graph.addConnection (1, 0, 2, 0), 1);
    EXPECT_EQ (graph.getNumConnections(), 1);
    EXPECT_EQ (graph.getLastAddedConnection(), first);
    EXPECT_EQ (takeChangeMessages(), 0);

    for (uint32_t i = 1; i < GraphData::maxConnections; ++i)
        graph.addConnection (1 + i / 16, i % 16, 9, 0);

    EXPECT_EQ (graph.addConnection (1, 0, 9, 5), 128);
    EXPECT_EQ (graph.getNumConnections(), 128);
    EXPECT_EQ (graph.getLastAddedConnection(), nullptr);
}

TEST_F (GraphDataTest, ConnectionSearchesHonourEveryMask)
{
    graph.addConnection (4, 2, 3, 1);
    graph.addConnection (2, 0, 3, 1);
    graph.addConnection (1, 1, 3, 0);
    graph.addConnection (1, 0, 2, 0);
    ASSERT_EQ (connectionList(), (Connections{ { 1, 0, 2, 0 }, { 1, 1, 3, 0 }, { 2, 0, 3, 1 }, { 4, 2, 3, 1 } }));

    bool found = false;
    EXPECT_EQ (graph.findConnection (2, 0, 0, 0, found, GraphData::matchSourceNode), 2);
    EXPECT_EQ (graph.findConnection (0, 1, 0, 0, found, GraphData::matchSourcePin), 1);
    EXPECT_EQ (graph.findConnection (0, 0, 3, 0, found, GraphData::matchDestNode), 1);
    EXPECT_EQ (graph.findConnection (0, 0, 0, 1, found, GraphData::matchDestPin), 2);
    EXPECT_EQ (graph.findConnection (0, 0, 3, 1, found, GraphData::matchDestNode | GraphData::matchDestPin), 2);
    EXPECT_TRUE (found);

    // From a start index, within the source's run when the source is in the mask.
    EXPECT_EQ (graph.searchConnections (0, 0, 3, 0, 3, found, GraphData::matchDestNode), 3);
    EXPECT_EQ (graph.searchConnections (1, 0, 0, 0, 1, found, GraphData::matchSourceNode), 1);
    graph.searchConnections (1, 0, 0, 0, 2, found, GraphData::matchSourceNode);
    EXPECT_FALSE (found);
    graph.searchConnections (0, 0, 2, 0, 99, found, GraphData::matchDestNode);
    EXPECT_FALSE (found);
    EXPECT_EQ (graph.searchConnections (0, 0, 2, 0, -5, found, GraphData::matchDestNode), 0);

    // No match: the sorted place of the record.
    EXPECT_EQ (graph.findConnection (1, 0, 2, 5, found, 15), 1);
    EXPECT_FALSE (found);
    EXPECT_EQ (graph.findConnection (3, 0, 0, 0, found, 15), 3);
    EXPECT_EQ (graph.findConnection (9, 0, 0, 0, found, 15), 4);
}

TEST_F (GraphDataTest, ReplacedConnectionNodeMovesToItsSortedPlace)
{
    graph.addConnection (1, 0, 5, 0);
    graph.addConnection (2, 0, 5, 0);
    graph.addConnection (3, 0, 5, 0);
    takeChangeMessages();

    EXPECT_TRUE (graph.replaceConnectionNode (1, 4, GraphData::matchSourceNode));
    EXPECT_EQ (connectionList(), (Connections{ { 2, 0, 5, 0 }, { 3, 0, 5, 0 }, { 4, 0, 5, 0 } }));
    EXPECT_TRUE (graph.replaceConnectionNode (5, 1, GraphData::matchDestNode));
    EXPECT_EQ (connectionList(), (Connections{ { 2, 0, 1, 0 }, { 3, 0, 5, 0 }, { 4, 0, 5, 0 } }));
    EXPECT_EQ (takeChangeMessages(), 1);

    bool found = false;
    EXPECT_EQ (graph.findConnection (4, 0, 5, 0, found, 15), 2);
    EXPECT_TRUE (found);
    EXPECT_FALSE (graph.replaceConnectionNode (9, 1, GraphData::matchSourceNode));
    EXPECT_FALSE (graph.replaceConnectionNode (2, 1, GraphData::matchSourcePin));
}

TEST_F (GraphDataTest, BusPinsAreListedPerNodeAndDirectionAndLimitedToFiveHundredTwelve)
{
    graph.addBusPin (2, 0, 1, "DSPOUT0");
    graph.addBusPin (1, 1, 0, "DSPIN1");
    graph.addBusPin (1, 0, 0, "DSPIN0");
    graph.addBusPin (1, 0, 1, "DSPOUT3");
    graph.addBusPin (1, 0, 0, "DSPIN0");
    EXPECT_EQ (graph.getNumBusPins(), 4);

    // The generators list one node's pins of one direction this way.
    const int mask = GraphData::matchBusPinNode | GraphData::matchBusPinDirection;
    std::vector<std::string> inputsOfNode1;
    bool found = true;

    for (int i = graph.findBusPin (1, 0, 0, found, mask); found; i = graph.findBusPinFrom (1, 0, 0, i + 1, found, mask))
        inputsOfNode1.push_back (graph.getBusPin (i)->name.toStdString());

    EXPECT_EQ (inputsOfNode1, (std::vector<std::string>{ "DSPIN0", "DSPIN1" }));
    EXPECT_EQ (graph.findBusPin (0, 0, 0, found, GraphData::matchBusPinName, "DSPOUT0"), 3);
    EXPECT_TRUE (graph.removeBusPin (1, 0, 0, GraphData::matchAllBusPinFields, "DSPIN0"));
    EXPECT_FALSE (graph.removeBusPin (1, 0, 0, GraphData::matchAllBusPinFields, "DSPIN0"));

    for (uint32_t i = 3; i < GraphData::maxBusPins; ++i)
        graph.addBusPin (3 + i / 64, i % 64, 0, "IBUS0");

    takeChangeMessages();
    EXPECT_EQ (graph.addBusPin (20, 0, 0, "IBUS1"), 512);
    EXPECT_EQ (graph.getNumBusPins(), 512);
    EXPECT_EQ (takeChangeMessages(), 0);
}

TEST_F (GraphDataTest, PositionsAreKeptWithinTheView)
{
    graph.addNode ("P", true, nullptr, 2.0, -1.0);
    EXPECT_EQ (graph.getNodePosition (1).x, 1.0);
    EXPECT_EQ (graph.getNodePosition (1).y, 0.0);

    graph.setNodePosition (1, 1.5, -0.2);
    EXPECT_EQ (graph.getNodePositionAt (0).x, 1.0);
    EXPECT_EQ (graph.getNodePositionAt (0).y, 0.0);

    // Moving a box is no change to resynchronise on.
    takeChangeMessages();
    graph.setNodePosition (1, 0.3, std::nan (""));
    EXPECT_EQ (takeChangeMessages(), 0);
    graph.setNodePosition (0, 0.9, 0.9);
    EXPECT_EQ (graph.getNodePosition (1).x, 0.3);
    EXPECT_EQ (graph.getNodePosition (1).y, 0.0);
    EXPECT_EQ (graph.getNodePosition (0u).x, 0.0);
}

TEST_F (GraphDataTest, NodeTakesItsDefinitionsWordsAndPinsAndOneVectorPinServesEveryOutput)
{
    ProcessDefinition send;
    send.processId = 0x206;
    send.defaultChannelWord = 0x10000002;
    send.memoryClassWord = 0x80000001;
    send.inputCount = 1;
    send.outputCount = 2;
    send.pins.setCapacity (3);
    send.addPin ("In", 1, ProcessPinEntry::vectorPin);
    send.addPin ("Bus", 0, ProcessPinEntry::virtualPin);
    send.addPin ("Out", 0, ProcessPinEntry::vectorPin);

    ProcessDefinition mixer;
    mixer.pins.setCapacity (2);
    mixer.addPin ("In", 1, ProcessPinEntry::vectorPin);
    mixer.addPin ("Out", 0, ProcessPinEntry::vectorPin);

    graph.addNode ("Send", true, &send, 0.0, 0.0);
    graph.addNode ("Mixer", true, &mixer, 0.0, 0.0);
    auto* s = graph.getNode (0);
    auto* m = graph.getNode (1);

    EXPECT_EQ (s->channelWord, 0x10000002u);
    EXPECT_EQ (s->getChannelCount(), 2u);
    EXPECT_EQ (s->memoryWord, 0x80000001u);
    EXPECT_EQ (s->outputCount, 2u);
    EXPECT_EQ (s->getPin (2)->name, "Out");
    EXPECT_EQ (s->getPin (3), nullptr);
    EXPECT_EQ (m->memoryWord, 1u);
    EXPECT_EQ (graph.findNodeByProcessId (0x206), s);

    EXPECT_EQ (m->getOutputPin (5), m->getPin (1));
    EXPECT_EQ (m->getOutputPin (-1), nullptr);
    EXPECT_EQ (s->getOutputPin (2), nullptr); // its first output is virtual
    EXPECT_TRUE (graph.isVirtualOutput (1, 0));
    EXPECT_FALSE (graph.isVirtualOutput (1, 1));
    EXPECT_FALSE (graph.isVirtualOutput (2, 3));
}

TEST_F (GraphDataTest, LinkIdAnswersOnlyWhileTheLinkFlagIsSet)
{
    addNodes (2, true);
    auto* pasted = graph.getNode (1);
    pasted->linkId = 7;
    EXPECT_EQ (graph.findNodeByLinkId (7), nullptr);
    EXPECT_EQ (graph.getNodeLinkId (1), 0u);

    pasted->linkFlag = true;
    EXPECT_EQ (graph.findNodeByLinkId (7), pasted);
    EXPECT_EQ (graph.getNodeLinkId (1), 7u);
    EXPECT_EQ (graph.findNodeByLinkId (0), nullptr);
}

TEST_F (GraphDataTest, NodeIdSetWhileBuildingKeepsTheOrder)
{
    addNodes (3, false);
    EXPECT_TRUE (graph.setNodeId (1, 9));
    EXPECT_EQ (ids(), (Ids{ 2, 3, 9 }));
    EXPECT_FALSE (graph.setNodeId (2, 3));
    EXPECT_FALSE (graph.setNodeId (2, 0));
    EXPECT_FALSE (graph.setNodeId (4, 5));
}

TEST_F (GraphDataTest, ClearingOrEmptyingTheGraphMakesItFreshAgain)
{
    addNodes (2, true);
    graph.removeNode (2);
    EXPECT_EQ (graph.getLastAddedNode(), nullptr);
    graph.removeNode (1);
    EXPECT_TRUE (graph.isFresh());

    addNodes (3, true);
    graph.addConnection (1, 0, 2, 0);
    graph.addBusPin (1, 0, 0, "DSPIN0");
    takeChangeMessages();

    graph.clear();
    EXPECT_TRUE (graph.isFresh());
    EXPECT_EQ (graph.getNumNodes() + graph.getNumConnections() + graph.getNumBusPins(), 0);
    EXPECT_EQ (takeChangeMessages(), 1);
    EXPECT_EQ (graph.addNode ("P", true, nullptr, 0.0, 0.0), 1);
}

//==============================================================================
// Random edits checked after every step against a plain model of the rules.
namespace
{
using BusPinFields = std::tuple<uint32_t, uint32_t, uint32_t, std::string>;

struct ReferenceGraph
{
    std::vector<std::array<uint32_t, 3>> nodes; // id, nrpn, renumber flag; sorted by id
    Connections connections;                    // sorted
    std::vector<BusPinFields> busPins;          // sorted

    static uint32_t lowestFree (size_t field, const std::vector<std::array<uint32_t, 3>>& taken)
    {
        uint32_t value = 1;

        while (std::any_of (taken.begin(), taken.end(), [&] (auto& n) { return n[field] == value; }))
            ++value;

        return value;
    }

    void addNode (bool renumber)
    {
        if (nodes.size() < 63)
            nodes.push_back ({ lowestFree (0, nodes), lowestFree (1, nodes), renumber ? 1u : 0u });

        std::sort (nodes.begin(), nodes.end());
    }

    void removeNode (uint32_t id)
    {
        auto it = std::find_if (nodes.begin(), nodes.end(), [id] (auto& n) { return n[0] == id; });

        if (it == nodes.end())
            return;

        auto named = [id] (uint32_t nodeId) { return nodeId == id; };
        busPins.erase (std::remove_if (busPins.begin(), busPins.end(), [&] (auto& p) { return named (std::get<0> (p)); }),
                       busPins.end());
        connections.erase (
            std::remove_if (connections.begin(), connections.end(), [&] (auto& c) { return named (c[0]) || named (c[2]); }),
            connections.end());

        it = nodes.erase (it);

        for (bool renumber = it != nodes.end() && (*it)[2] != 0; renumber && it != nodes.end(); ++it)
        {
            const auto oldId = (*it)[0]--;

            for (auto& c : connections)
                for (size_t field : { 0, 2 })
                    if (c[field] == oldId)
                        c[field] = oldId - 1;

            for (auto& p : busPins)
                if (std::get<0> (p) == oldId)
                    std::get<0> (p) = oldId - 1;
        }

        std::sort (connections.begin(), connections.end());
        std::sort (busPins.begin(), busPins.end());
    }

    void addConnection (const std::array<uint32_t, 4>& c)
    {
        if (std::find (connections.begin(), connections.end(), c) == connections.end() && connections.size() < 128)
            connections.insert (std::upper_bound (connections.begin(), connections.end(), c), c);
    }

    void removeConnection (const std::array<uint32_t, 4>& key, int mask)
    {
        auto matches = [&] (auto& c)
        {
            for (size_t f = 0; f < 4; ++f)
                if ((mask & (1 << f)) != 0 && c[f] != key[f])
                    return false;

            return true;
        };

        auto it = std::find_if (connections.begin(), connections.end(), matches);

        if (it != connections.end())
            connections.erase (it);
    }

    void addBusPin (const BusPinFields& p)
    {
        if (std::find (busPins.begin(), busPins.end(), p) == busPins.end() && busPins.size() < 512)
            busPins.insert (std::upper_bound (busPins.begin(), busPins.end(), p), p);
    }

    void removeFirstBusPinOf (uint32_t id)
    {
        auto it = std::find_if (busPins.begin(), busPins.end(), [id] (auto& p) { return std::get<0> (p) == id; });

        if (it != busPins.end())
            busPins.erase (it);
    }
};

// The graph in the reference's terms; every record must also be found again
// by the searches the editors and generators use (an equal one, the first of
// its run, should renumbering have made two records equal).
ReferenceGraph describe (const GraphData& graph, bool& everyRecordFound)
{
    ReferenceGraph d;
    everyRecordFound = true;
    bool found = false;

    for (int i = 0; i < graph.getNumNodes(); ++i)
    {
        auto* n = graph.getNode (i);
        d.nodes.push_back ({ n->getId(), n->nrpn, n->shouldRenumber() ? 1u : 0u });
        everyRecordFound = everyRecordFound && graph.findNodeIndex (n->getId()) == i && graph.findNodeByNrpn (n->nrpn) == n;
    }

    for (int i = 0; i < graph.getNumConnections(); ++i)
    {
        auto* c = graph.getConnection (i);
        d.connections.push_back ({ c->sourceNode, c->sourcePin, c->destNode, c->destPin });
        const int index = graph.findConnection (c->sourceNode, c->sourcePin, c->destNode, c->destPin, found, 15);
        everyRecordFound = everyRecordFound && found && index <= i && d.connections[(size_t) index] == d.connections.back();
    }

    for (int i = 0; i < graph.getNumBusPins(); ++i)
    {
        auto* p = graph.getBusPin (i);
        d.busPins.emplace_back (p->nodeId, p->pinIndex, p->direction, p->name.toStdString());
        const int index = graph.findBusPin (p->nodeId, p->pinIndex, p->direction, found, 15, p->name);
        everyRecordFound = everyRecordFound && found && index <= i && d.busPins[(size_t) index] == d.busPins.back();
    }

    return d;
}
} // namespace

TEST_F (GraphDataTest, RandomEditsKeepIdsNumbersOrderAndConnectionsAsTheRulesSay)
{
    std::mt19937 random (20240611);
    auto pick = [&random] (int low, int high) { return (uint32_t) std::uniform_int_distribution<int> (low, high) (random); };
    const char* names[] = { "DSPIN0", "DSPIN1", "DSPOUT0", "DSPOUT1" };

    ReferenceGraph reference;
    bool reachedNodeLimit = false, reachedConnectionLimit = false;

    for (int step = 0; step < 4000; ++step)
    {
        const int maxId = (int) graph.getMaxNodeId() + 2;
        const auto operation = pick (0, 99);

        // Phases in which the graph fills up to its limits alternate with
        // phases that thin it out again.
        const bool filling = (step / 1000) % 2 == 0;

        if (operation < 30)
        {
            // Mostly process-like graphs, now and then a node that does not renumber.
            const bool renumber = pick (0, 9) != 0;
            reachedNodeLimit = reachedNodeLimit || graph.getNumNodes() == GraphData::maxNodes;
            graph.addNode ("P", renumber, nullptr, 0.5, 0.5);
            reference.addNode (renumber);
        }
        else if (operation < (filling ? 32u : 45u))
        {
            const auto id = pick (0, maxId);
            graph.removeNode (id);
            reference.removeNode (id);
        }
        else if (operation < 75)
        {
            const std::array<uint32_t, 4> c{ pick (1, maxId), pick (0, 2), pick (1, maxId), pick (0, 2) };
            graph.addConnection (c[0], c[1], c[2], c[3]);
            reference.addConnection (c);
        }
        else if (operation < 85)
        {
            const std::array<uint32_t, 4> key{ pick (1, maxId), pick (0, 2), pick (1, maxId), pick (0, 2) };
            const auto mask = (int) pick (1, 15);
            graph.removeConnection (key[0], key[1], key[2], key[3], mask, true);
            reference.removeConnection (key, mask);
        }
        else if (operation < 95)
        {
            const BusPinFields p{ pick (1, maxId), pick (0, 3), pick (0, 1), names[pick (0, 3)] };
            graph.addBusPin (std::get<0> (p), std::get<1> (p), (uint8_t) std::get<2> (p), std::get<3> (p));
            reference.addBusPin (p);
        }
        else
        {
            const auto id = pick (1, maxId);
            graph.removeBusPin (id, 0, 0, GraphData::matchBusPinNode);
            reference.removeFirstBusPinOf (id);
        }

        reachedConnectionLimit = reachedConnectionLimit || graph.getNumConnections() == GraphData::maxConnections;

        bool everyRecordFound = false;
        const auto actual = describe (graph, everyRecordFound);
        ASSERT_TRUE (everyRecordFound) << "after step " << step;
        ASSERT_EQ (actual.nodes, reference.nodes) << "after step " << step;
        ASSERT_EQ (actual.connections, reference.connections) << "after step " << step;
        ASSERT_EQ (actual.busPins, reference.busPins) << "after step " << step;
        ASSERT_EQ (graph.isFresh(), reference.nodes.empty());
    }

    // The walk reached the limits it is meant to test.
    EXPECT_TRUE (reachedNodeLimit);
    EXPECT_TRUE (reachedConnectionLimit);
}
