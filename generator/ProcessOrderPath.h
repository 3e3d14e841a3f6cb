#pragma once

#include "generator/ProcessOrderNode.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A walk through the process graph: its nodes in order, each at most once,
// and whether it ended by running into a node already on it (a feedback loop).
class ProcessOrderPath
{
public:
    // Appends the node unless the path holds it already (then false).
    bool add (ProcessOrderNode* node);

    bool contains (const ProcessOrderNode* node) const noexcept;
    void remove (const ProcessOrderNode* node);

    // This path's nodes, then those of the other that it lacks; a loop when
    // either was one.
    ProcessOrderPath concatenatedWith (const ProcessOrderPath& other) const;

    int size() const noexcept { return (int) nodes.size(); }
    bool isEmpty() const noexcept { return nodes.empty(); }
    ProcessOrderNode* operator[] (int i) const noexcept { return nodes[(std::size_t) i]; }
    ProcessOrderNode* getFirst() const noexcept { return nodes.empty() ? nullptr : nodes.front(); }
    ProcessOrderNode* getLast() const noexcept { return nodes.empty() ? nullptr : nodes.back(); }
    const std::vector<ProcessOrderNode*>& getNodes() const noexcept { return nodes; }

    // Same nodes in the same order; the loop flag takes no part.
    bool operator== (const ProcessOrderPath& other) const noexcept { return nodes == other.nodes; }
    bool operator!= (const ProcessOrderPath& other) const noexcept { return ! (*this == other); }

    bool isLoop = false;

private:
    std::vector<ProcessOrderNode*> nodes;
    uint64_t members = 0; // bit n: the node of index n is on the path (at most 64 processes)
};
