#pragma once

#include "generator/ProcessOrderNode.h"
#include "generator/ProcessOrderPath.h"

#include <map>
#include <memory>
#include <set>
#include <vector>

class GraphData;
struct ProcessInstanceEntry;

// Puts a DSP's processes into signal-flow order, so that a process is set up
// and routed after the processes that feed it. It reorders the array it is
// given (the generator's own copy of the DSP's process list, never the
// library's): the walks from the DSP inputs, and from the processes that take
// no signal (which start the flow as a DSP input does), are interleaved by
// depth, moved so that every process follows the ones feeding it, and
// feedback loops are put after the process that enters them.
//
// Processes no walk reaches come after the ordered ones, in their original
// order. Graphs with too many distinct walks to enumerate in reasonable time
// are ordered by a plain depth-first walk from the DSP inputs instead.
class ProcessOrdering
{
public:
    // Beyond these the walks are abandoned for the depth-first order.
    static constexpr int maxWalkSteps = 200000;
    static constexpr int maxPaths = 4096;

    // At most this many reinsertion passes over one order.
    static constexpr int maxReinsertionPasses = 13;

    ProcessOrdering (const GraphData& graph, std::vector<const ProcessInstanceEntry*>& processes);

    // One node per process, the connections and DSP pins attached to them.
    void build();

    // Orders the process array (build first). A graph that is not sortable
    // (see isSortable) is left in its order, silently.
    void sort();

    // At least one node, every node fed by another or by a DSP input or taking
    // no signal at all, at least one source and one sink.
    bool isSortable() const;

    const std::vector<ProcessOrderPath>& getPaths() const noexcept { return paths; }
    bool wasEnumerationCut() const noexcept { return enumerationCut; }
    ProcessOrderNode* findNode (uint32_t id) const;

private:
    struct ReinsertionState
    {
        int passes = 0;
        bool changed = false;
    };

    using Order = std::vector<ProcessOrderNode*>;

    void enumeratePaths();
    void walk (ProcessOrderNode* start, const ProcessOrderPath& prefix);
    void keepPath (const ProcessOrderPath& path);
    static bool branches (const ProcessOrderNode& node) noexcept;

    Order mergePaths();
    const ProcessOrderPath* longestPathFirst (const std::vector<const ProcessOrderPath*>& candidates) const;
    Order interleave (const std::vector<const ProcessOrderPath*>& mainPaths) const;
    static int getEntryPosition (const Order& order, const Order& loop);
    Order reinsert (Order order, ReinsertionState& state) const;
    Order reinsertOnce (const Order& order, ReinsertionState& state) const;
    Order depthFirstOrder() const;
    void apply (const Order& order);

    const GraphData& graph;
    std::vector<const ProcessInstanceEntry*>& processes;
    std::vector<std::unique_ptr<ProcessOrderNode>> nodes;
    std::map<uint32_t, ProcessOrderNode*> nodesById;
    std::vector<ProcessOrderPath> paths;
    std::set<std::vector<int>> keptPathKeys;
    int walkSteps = 0;
    bool enumerationCut = false;
};
