#pragma once

#include "model/GraphData.h"

#include <cstdint>

// One DSP of the design as the model holds it: its id (also the id of its
// box's node in the bus graph) and the graph of its processes. The module it
// runs and the processes placed on it are kept in the module library's DSP
// registry under the same id; the DSP's editor page shows the slot.
class DspSlot
{
public:
    explicit DspSlot (uint32_t id) : dspId (id) {}

    DspSlot (const DspSlot&) = delete;
    DspSlot& operator= (const DspSlot&) = delete;

    uint32_t getDspId() const noexcept { return dspId; }
    GraphData& getGraph() noexcept { return graph; }
    const GraphData& getGraph() const noexcept { return graph; }

private:
    friend class Design;

    uint32_t dspId;
    GraphData graph;
};
