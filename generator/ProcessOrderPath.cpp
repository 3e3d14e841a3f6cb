#include "generator/ProcessOrderPath.h"

#include <algorithm>

namespace
{
uint64_t bitOf (const ProcessOrderNode* node) noexcept
{
    return node->index >= 0 && node->index < 64 ? uint64_t (1) << node->index : 0;
}
} // namespace

bool ProcessOrderPath::add (ProcessOrderNode* node)
{
    if (node == nullptr || contains (node))
        return false;

    nodes.push_back (node);
    members |= bitOf (node);
    return true;
}

bool ProcessOrderPath::contains (const ProcessOrderNode* node) const noexcept
{
    if (node == nullptr)
        return false;

    if (const auto bit = bitOf (node))
        return (members & bit) != 0;

    return std::find (nodes.begin(), nodes.end(), node) != nodes.end();
}

void ProcessOrderPath::remove (const ProcessOrderNode* node)
{
    nodes.erase (std::remove (nodes.begin(), nodes.end(), node), nodes.end());
    members &= ~bitOf (node);
}

ProcessOrderPath ProcessOrderPath::concatenatedWith (const ProcessOrderPath& other) const
{
    auto result = *this;

    for (auto* node : other.nodes)
        result.add (node);

    result.isLoop = isLoop || other.isLoop;
    return result;
}
