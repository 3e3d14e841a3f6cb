#include "generator/ProcessOrdering.h"

#include "generator/DspBusPin.h"
#include "model/DesignLog.h"
#include "model/DspDefinitionEntry.h"
#include "model/GraphData.h"

#include <algorithm>

namespace
{
using Order = std::vector<ProcessOrderNode*>;

// Inserts at the position, or appends when the position is past the end.
void insertAt (Order& list, uint32_t position, ProcessOrderNode* node)
{
    if (position >= list.size())
        list.push_back (node);
    else
        list.insert (list.begin() + (std::ptrdiff_t) position, node);
}

int positionOf (const Order& order, const ProcessOrderNode* node)
{
    const auto it = std::find (order.begin(), order.end(), node);
    return it == order.end() ? -1 : (int) (it - order.begin());
}

bool contains (const Order& order, const ProcessOrderNode* node)
{
    return positionOf (order, node) >= 0;
}

void appendUnique (Order& order, ProcessOrderNode* node)
{
    if (! contains (order, node))
        order.push_back (node);
}

// A process whose definition has no input that carries a signal (a sample
// player, a generator) feeds the flow from nothing. A node without a
// definition may have any inputs, so it is not taken for one.
bool hasNoSignalInput (const GraphNode* node)
{
    const auto* definition = node != nullptr ? node->getProcessDefinition() : nullptr;

    if (definition == nullptr)
        return false;

    for (auto& pin : definition->pins)
        if (pin->direction != 0 && pin->kind != ProcessPinEntry::virtualPin)
            return false;

    return true;
}
} // namespace

ProcessOrdering::ProcessOrdering (const GraphData& graphToOrder, std::vector<const ProcessInstanceEntry*>& processesToOrder)
    : graph (graphToOrder), processes (processesToOrder)
{
}

ProcessOrderNode* ProcessOrdering::findNode (uint32_t id) const
{
    const auto it = nodesById.find (id);
    return it == nodesById.end() ? nullptr : it->second;
}

void ProcessOrdering::build()
{
    nodes.clear();
    nodesById.clear();

    for (size_t i = 0; i < processes.size(); ++i)
    {
        auto node = std::make_unique<ProcessOrderNode>();
        node->index = (int) i;
        node->id = processes[i] != nullptr ? (uint32_t) processes[i]->nodeNumber : 0;
        nodesById.emplace (node->id, node.get()); // the first process of an id answers for it
        nodes.push_back (std::move (node));
    }

    // Neighbours are found by id: a connection naming a node that is not one
    // of the DSP's processes is skipped.
    for (int i = 0; i < graph.getNumConnections(); ++i)
    {
        const auto* connection = graph.getConnection (i);
        auto* source = findNode (connection->sourceNode);
        auto* destination = findNode (connection->destNode);

        if (source == nullptr || destination == nullptr)
            continue;

        insertAt (source->successors, connection->destPin, destination);
        insertAt (destination->predecessors, connection->sourcePin, source);
    }

    for (int i = 0; i < graph.getNumBusPins(); ++i)
    {
        const auto* busPin = graph.getBusPin (i);

        if (auto* node = findNode (busPin->nodeId))
        {
            auto& pins = isDspInputBusPin (*busPin) ? node->inputPins : node->outputPins;
            pins.push_back (getDspBusPinNumber (*busPin));
        }
    }

    for (auto& node : nodes)
    {
        node->startsFlow = ! node->inputPins.empty() || hasNoSignalInput (graph.findNodeById (node->id));
        node->isSource = ! node->inputPins.empty() || node->predecessors.empty();
        node->isSink = node->successors.empty();
    }
}

bool ProcessOrdering::isSortable() const
{
    if (nodes.empty())
        return false;

    bool anySource = false;
    bool anySink = false;

    for (auto& node : nodes)
    {
        // Nothing reaches a process with inputs that nothing feeds: its
        // place in the flow is unknown (its routing reports the missing
        // connection).
        if (node->predecessors.empty() && ! node->startsFlow)
            return false;

        anySource = anySource || node->isSource;
        anySink = anySink || node->isSink;
    }

    return anySource && anySink;
}

void ProcessOrdering::sort()
{
    if (! isSortable())
        return;

    enumeratePaths();
    const auto order = enumerationCut ? depthFirstOrder() : mergePaths();

    if (order.size() != nodes.size())
        logInternalError ("Not all processes were accounted for during sorting", -1);

    apply (order);
}

//==============================================================================
bool ProcessOrdering::branches (const ProcessOrderNode& node) noexcept
{
    return node.successors.size() > 1 || (node.successors.size() == 1 && ! node.outputPins.empty());
}

void ProcessOrdering::enumeratePaths()
{
    paths.clear();
    keptPathKeys.clear();
    walkSteps = 0;
    enumerationCut = false;

    // Every node with a DSP input or without a signal input starts a walk (a
    // node with several inputs would only repeat the same paths).
    for (auto& node : nodes)
        if (node->startsFlow && ! enumerationCut)
            walk (node.get(), {});
}

void ProcessOrdering::walk (ProcessOrderNode* start, const ProcessOrderPath& prefix)
{
    ProcessOrderPath path;
    auto* current = start;

    for (;;)
    {
        if (++walkSteps > maxWalkSteps || (int) paths.size() > maxPaths)
        {
            enumerationCut = true;
            return;
        }

        // Back at a node of the walk that led here, or of this very path (a
        // cycle without a branch): a feedback loop, which ends the path.
        if (prefix.contains (current) || ! path.add (current))
        {
            path.isLoop = true;
            break;
        }

        if (current->isSink)
            break;

        if (! branches (*current))
        {
            current = current->successors.front();
            continue;
        }

        const auto branchPrefix = prefix.concatenatedWith (path);

        for (auto* successor : current->successors)
        {
            walk (successor, branchPrefix);

            if (enumerationCut)
                return;
        }

        break;
    }

    keepPath (prefix.concatenatedWith (path));
}

void ProcessOrdering::keepPath (const ProcessOrderPath& path)
{
    if (path.isEmpty() || ! path.getFirst()->isSource)
        return;

    if (! path.isLoop && ! path.getLast()->isSink)
        return;

    std::vector<int> key;

    for (auto* node : path.getNodes())
        key.push_back (node->index);

    if (keptPathKeys.insert (key).second)
        paths.push_back (path);
}

//==============================================================================
const ProcessOrderPath* ProcessOrdering::longestPathFirst (const std::vector<const ProcessOrderPath*>& candidates) const
{
    const ProcessOrderPath* longest = nullptr;

    for (auto* path : candidates)
        if (longest == nullptr || path->size() > longest->size())
            longest = path;

    return longest;
}

ProcessOrdering::Order ProcessOrdering::interleave (const std::vector<const ProcessOrderPath*>& mainPaths) const
{
    Order order;
    const auto* longest = longestPathFirst (mainPaths);

    if (longest == nullptr)
        return order;

    for (int depth = 0; depth < longest->size(); ++depth)
        for (auto* path : mainPaths)
            if (path->size() > depth)
                appendUnique (order, (*path)[depth]);

    return order;
}

ProcessOrdering::Order ProcessOrdering::mergePaths()
{
    std::vector<const ProcessOrderPath*> mainPaths;
    std::vector<const ProcessOrderPath*> loopPaths;

    for (auto& path : paths)
        (path.isLoop ? loopPaths : mainPaths).push_back (&path);

    auto mainOrder = interleave (mainPaths);
    ReinsertionState state;

    if (loopPaths.empty())
        return reinsert (mainOrder, state);

    // Each loop keeps only its nodes outside the main order; those are
    // marked so that reinsertion leaves them where the loop puts them.
    std::vector<ProcessOrderPath> cutLoops;

    for (auto* loop : loopPaths)
    {
        ProcessOrderPath cut;
        cut.isLoop = true;

        for (auto* node : loop->getNodes())
        {
            node->offOrder = ! contains (mainOrder, node);

            if (node->offOrder)
                cut.add (node);
        }

        if (std::find (cutLoops.begin(), cutLoops.end(), cut) == cutLoops.end())
            cutLoops.push_back (cut);
    }

    auto order = reinsert (mainOrder, state);

    for (auto& cut : cutLoops)
    {
        ReinsertionState loopState;
        const auto loopOrder = reinsert (cut.getNodes(), loopState);

        int position = loopOrder.empty() ? 0 : getEntryPosition (order, loopOrder);

        for (auto* node : loopOrder)
        {
            if (contains (order, node))
                continue;

            order.insert (order.begin() + position, node);
            ++position;
        }
    }

    return order;
}

int ProcessOrdering::getEntryPosition (const Order& order, const Order& loop)
{
    // The loop runs right after the process that enters it: the first one
    // feeding the loop's first node from outside the loop. Its own back edge
    // comes from inside and would put the loop before what feeds it.
    for (auto* predecessor : loop.front()->predecessors)
    {
        if (contains (loop, predecessor))
            continue;

        const int position = positionOf (order, predecessor);

        if (position >= 0)
            return position + 1;
    }

    return 0;
}

ProcessOrdering::Order ProcessOrdering::reinsert (Order order, ReinsertionState& state) const
{
    state.passes = 0;

    do
    {
        if (state.passes >= maxReinsertionPasses)
            break;

        state.changed = false;
        order = reinsertOnce (order, state);
    } while (state.changed);

    state.passes = 0;
    return order;
}

ProcessOrdering::Order ProcessOrdering::reinsertOnce (const Order& order, ReinsertionState& state) const
{
    // A successor that stands before the node feeding it moves to just after it.
    auto result = order;

    for (size_t i = 0; i < order.size(); ++i)
    {
        const auto& successors = order[i]->successors;

        for (auto it = successors.rbegin(); it != successors.rend(); ++it)
        {
            auto* successor = *it;
            const int position = positionOf (order, successor);

            if (position < 0 || position >= (int) i)
                continue;

            state.changed = true;

            if (successor->offOrder)
                continue;

            result.erase (std::find (result.begin(), result.end(), successor));
            insertAt (result, (uint32_t) i + 1, successor);
        }
    }

    ++state.passes;
    return result;
}

ProcessOrdering::Order ProcessOrdering::depthFirstOrder() const
{
    // Reverse post-order of a depth-first walk from the nodes that start the
    // flow: every node after the nodes feeding it, feedback edges aside.
    Order postOrder;
    std::vector<bool> visited (nodes.size(), false);

    struct Frame
    {
        ProcessOrderNode* node;
        size_t next;
    };

    for (auto& start : nodes)
    {
        if (! start->startsFlow || visited[(size_t) start->index])
            continue;

        std::vector<Frame> stack{ { start.get(), 0 } };
        visited[(size_t) start->index] = true;

        while (! stack.empty())
        {
            auto& frame = stack.back();

            if (frame.next < frame.node->successors.size())
            {
                auto* successor = frame.node->successors[frame.next++];

                if (! visited[(size_t) successor->index])
                {
                    visited[(size_t) successor->index] = true;
                    stack.push_back ({ successor, 0 });
                }

                continue;
            }

            postOrder.push_back (frame.node);
            stack.pop_back();
        }
    }

    return { postOrder.rbegin(), postOrder.rend() };
}

void ProcessOrdering::apply (const Order& order)
{
    // The ordered processes first, in the order's sequence; the others after
    // them in the order they stood in.
    std::vector<const ProcessInstanceEntry*> result;
    std::vector<bool> placed (processes.size(), false);

    for (auto* node : order)
    {
        const auto index = (size_t) node->index;

        if (index < processes.size() && ! placed[index])
        {
            result.push_back (processes[index]);
            placed[index] = true;
        }
    }

    for (size_t i = 0; i < processes.size(); ++i)
        if (! placed[i])
            result.push_back (processes[i]);

    processes = std::move (result);
}
