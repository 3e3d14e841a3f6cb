#include "model/DspDefinitionEntry.h"

#include <utility>

void ProcessInstanceEntry::setBlock (const void* data, size_t length)
{
    const auto* bytes = static_cast<const uint8_t*> (data);
    block.assign (bytes, bytes + (bytes != nullptr ? length : 0));
}

ProcessInstanceEntry* DspDefinitionEntry::addProcessInstance (int nodeNumber, uint32_t processId)
{
    auto entry = std::make_unique<ProcessInstanceEntry>();
    entry->nodeNumber = nodeNumber;
    entry->processId = processId;
    return processes.add (std::move (entry));
}

int DspDefinitionEntry::findProcessInstanceIndex (int nodeNumber) const noexcept
{
    for (int i = 0; i < processes.size(); ++i)
        if (processes[i]->nodeNumber == nodeNumber)
            return i;

    return -1;
}

void DspDefinitionEntry::removeProcessInstance (int nodeNumber)
{
    const int index = findProcessInstanceIndex (nodeNumber);

    if (index < 0)
        return;

    processes.remove (index);

    for (auto& entry : processes)
        if (entry->nodeNumber > nodeNumber)
            --entry->nodeNumber;
}

ProcessInstanceEntry* DspDefinitionEntry::restoreProcessInstance (int index, const ProcessInstanceEntry& entry)
{
    if (processes.isFull())
        return nullptr;

    for (auto& other : processes)
        if (other->nodeNumber >= entry.nodeNumber)
            ++other->nodeNumber;

    return processes.insert (index, std::make_unique<ProcessInstanceEntry> (entry));
}

int findInPointerArray (const std::vector<ProcessInstanceEntry*>& entries, int key) noexcept
{
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i] != nullptr && entries[i]->nodeNumber == key)
            return (int) i;

    return -1;
}

void swapWords (uint32_t& a, uint32_t& b) noexcept
{
    std::swap (a, b);
}
