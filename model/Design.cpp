#include "model/Design.h"

#include "model/ModuleLibrary.h"

#include <algorithm>

DspSlot* Design::getDsp (int index) const noexcept
{
    return juce::isPositiveAndBelow (index, (int) slots.size()) ? slots[(size_t) index].get() : nullptr;
}

int Design::indexOfDsp (uint32_t dspId) const noexcept
{
    for (size_t i = 0; i < slots.size(); ++i)
        if (slots[i]->dspId == dspId)
            return (int) i;

    return -1;
}

DspSlot* Design::findDsp (uint32_t dspId) const noexcept
{
    return getDsp (indexOfDsp (dspId));
}

DspSlot* Design::addDsp (uint32_t dspId, uint32_t moduleId)
{
    if (dspId == 0 || findDsp (dspId) != nullptr || (int) slots.size() >= maxDsps)
        return nullptr;

    // The registry may still hold an entry from before the slot existed
    // (a library shared with a design that was dropped): start it afresh.
    if (library != nullptr)
    {
        if (library->findDsp (dspId) != nullptr)
            library->resetDsp (dspId, moduleId);
        else if (library->addDsp (dspId, moduleId, 0) == nullptr)
            return nullptr;
    }

    auto position = std::find_if (slots.begin(), slots.end(), [dspId] (const auto& s) { return s->dspId > dspId; });
    auto* slot = slots.insert (position, std::make_unique<DspSlot> (dspId))->get();
    sendChangeMessage();
    return slot;
}

bool Design::removeDsp (uint32_t dspId)
{
    auto index = indexOfDsp (dspId);

    if (index < 0)
        return false;

    slots.erase (slots.begin() + index);

    if (library != nullptr)
        library->removeDsp (dspId);

    sendChangeMessage();
    return true;
}

bool Design::setDspModule (uint32_t dspId, uint32_t moduleId)
{
    auto* slot = findDsp (dspId);

    if (slot == nullptr)
        return false;

    if (library != nullptr && library->resetDsp (dspId, moduleId) == nullptr)
        library->addDsp (dspId, moduleId, 0);

    slot->graph.clear();
    slot->graph.setModified (true);
    sendChangeMessage();
    return true;
}

DspDefinitionEntry* Design::getDspEntry (uint32_t dspId) const noexcept
{
    return library != nullptr && findDsp (dspId) != nullptr ? library->findDsp (dspId) : nullptr;
}

ModuleDefinition* Design::getDspModule (uint32_t dspId) const noexcept
{
    auto* entry = getDspEntry (dspId);
    return entry != nullptr ? library->findModuleById (entry->moduleId) : nullptr;
}

void Design::clearDsps()
{
    slots.clear();

    if (library != nullptr)
        library->clearDsps();

    sendChangeMessage();
}

bool Design::isModified() const noexcept
{
    return busGraph.isModified() ||
           std::any_of (slots.begin(), slots.end(), [] (const auto& s) { return s->graph.isModified(); });
}

void Design::setModified (bool modified) noexcept
{
    busGraph.setModified (modified);

    if (! modified)
        for (auto& s : slots)
            s->graph.setModified (false);
}
