#pragma once

#include "model/BoundedList.h"

#include <array>
#include <cstdint>
#include <vector>

// One process placed on a DSP of the design, by the id of its node in the
// DSP's graph.
struct ProcessInstanceEntry
{
    int nodeNumber = 0;
    uint32_t processId = 0;
    std::array<int32_t, 11> presetWords{ 0, 1, -1, 0, 0, 0, 1, -1, 0, 0, 0 };
    std::vector<uint8_t> block; // empty until set

    void setBlock (const void* data, size_t length);
};

// One DSP of the design: the module it runs and the processes placed on it.
// The library's DSP table is the live registry that the editors and project
// loading keep up to date.
class DspDefinitionEntry
{
public:
    static constexpr int maxProcesses = 64;

    uint32_t dspId = 0;
    uint32_t moduleId = 0;
    uint32_t third = 0;

    int getProcessCount() const noexcept { return processes.size(); }
    ProcessInstanceEntry* getProcessInstance (int index) const noexcept { return processes[index]; }

    // Appends an entry; a 65th is ignored (none is returned).
    ProcessInstanceEntry* addProcessInstance (int nodeNumber, uint32_t processId);

    // The index of the entry with that node number, or -1.
    int findProcessInstanceIndex (int nodeNumber) const noexcept;

    // Removes the entry with that node number and lowers by one the node
    // number of every entry numbered above it, as the graph closes up its ids.
    void removeProcessInstance (int nodeNumber);

    // Puts an entry back at a position (an undone removal): first every entry
    // numbered at or above its node number goes up by one, as the graph
    // makes room for the node's id again. None when 64 are held.
    ProcessInstanceEntry* restoreProcessInstance (int index, const ProcessInstanceEntry& entry);

    void clearProcessInstances() noexcept { processes.clear(); }

private:
    BoundedList<ProcessInstanceEntry> processes{ maxProcesses };
};

// The index of the first entry whose node number equals the key, or -1.
int findInPointerArray (const std::vector<ProcessInstanceEntry*>& entries, int key) noexcept;

// Exchanges two words in place.
void swapWords (uint32_t& a, uint32_t& b) noexcept;
