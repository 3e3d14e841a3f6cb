#pragma once

#include <cstdint>
#include <map>
#include <optional>

// The routing nodes of one DSP as they are handed out: runs of fresh nodes for
// a vector input to read or for an output to write, and the nodes that some
// output channel writes already, so that no two outputs ever write into the
// same node. Node numbers stay below bit 30, which marks a DSP input.
class RoutingNodeNumbers
{
public:
    static constexpr int64_t limit = 0x40000000;

    // count consecutive nodes that nobody has had yet; none when the numbers
    // run out.
    std::optional<int> reserve (uint32_t count);

    // Makes the nodes first .. first + count - 1 one output's own. False, with
    // nothing taken, when another output writes one of them already or they
    // lie outside the numbers.
    bool claim (int64_t first, uint32_t count);

    // Fresh nodes of an output's own.
    std::optional<int> claimFresh (uint32_t count);

private:
    bool isWritten (int64_t first, int64_t end) const;

    int64_t next = 0;
    std::map<int64_t, int64_t> written; // first node -> one past the last; never overlapping
};
