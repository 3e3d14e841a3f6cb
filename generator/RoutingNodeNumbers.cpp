#include "generator/RoutingNodeNumbers.h"

#include <algorithm>
#include <iterator>

std::optional<int> RoutingNodeNumbers::reserve (uint32_t count)
{
    if (next + (int64_t) count > limit)
        return std::nullopt;

    const auto first = next;
    next += count;
    return (int) first;
}

bool RoutingNodeNumbers::claim (int64_t first, uint32_t count)
{
    const int64_t end = first + (int64_t) count;

    if (first < 0 || end > limit || isWritten (first, end))
        return false;

    if (count > 0)
        written.emplace (first, end);

    // Nodes past the ones handed out so far are taken from the fresh ones.
    next = std::max (next, end);
    return true;
}

std::optional<int> RoutingNodeNumbers::claimFresh (uint32_t count)
{
    const auto first = reserve (count);

    if (first.has_value())
        claim (*first, count);

    return first;
}

bool RoutingNodeNumbers::isWritten (int64_t first, int64_t end) const
{
    auto after = written.upper_bound (first);

    if (after != written.end() && after->first < end)
        return true;

    return after != written.begin() && std::prev (after)->second > first;
}
