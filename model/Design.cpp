#include "model/Design.h"

#include "model/ModuleDefinition.h"
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
    if (dspId == 0 || dspId > (uint32_t) maxDsps || findDsp (dspId) != nullptr || (int) slots.size() >= maxDsps)
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

uint32_t Design::findFreeDspId (int* position) const noexcept
{
    uint32_t id = 1;
    size_t i = 0;

    // Slots are sorted: the first slot whose id is not the next one is the gap.
    while (i < slots.size() && slots[i]->dspId == id)
    {
        ++id;
        ++i;
    }

    if (position != nullptr)
        *position = (int) i;

    return id;
}

bool Design::removeDsp (uint32_t dspId)
{
    auto index = indexOfDsp (dspId);

    if (index < 0)
        return false;

    listeners.call ([this, index] (Listener& l) { l.dspAboutToBeRemoved (*slots[(size_t) index]); });
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

    fitBusGraphToModule (dspId, library != nullptr ? library->findModuleById (moduleId) : nullptr);
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

void Design::fitBusGraphToModule (uint32_t dspId, const ModuleDefinition* module)
{
    const uint32_t inputs = module != nullptr ? module->dspInputCount : 0;
    const uint32_t outputs = module != nullptr ? module->dspOutputCount : 0;

    for (int i = busGraph.getNumBusPins(); --i >= 0;)
    {
        auto* pin = busGraph.getBusPin (i);

        if (pin->nodeId == dspId && pin->pinIndex >= (pin->direction != 0 ? inputs : outputs))
            busGraph.removeBusPin (pin->nodeId, pin->pinIndex, pin->direction, GraphData::matchAllBusPinFields, pin->name);
    }

    for (int i = busGraph.getNumConnections(); --i >= 0;)
    {
        const auto c = *busGraph.getConnection (i);

        if ((c.sourceNode == dspId && c.sourcePin >= outputs) || (c.destNode == dspId && c.destPin >= inputs))
            busGraph.removeConnection (c.sourceNode, c.sourcePin, c.destNode, c.destPin, GraphData::matchAllConnectionFields,
                                       true);
    }

    if (auto* box = busGraph.findNodeById (dspId))
    {
        box->inputCount = inputs;
        box->outputCount = outputs;
    }
}

void Design::clearDsps()
{
    for (auto& slot : slots)
        listeners.call ([&slot] (Listener& l) { l.dspAboutToBeRemoved (*slot); });

    slots.clear();

    if (library != nullptr)
        library->clearDsps();

    sendChangeMessage();
}

DspResourceEstimator::LoadPercentages Design::estimateDspLoad (uint32_t dspId) const
{
    auto* slot = findDsp (dspId);

    if (slot == nullptr)
        return {};

    const int rate = settings.getSamplingIndex();
    const int memorySize = settings.getExternalMemorySize();
    // A delay's length is in ms: the rate in kHz gives its samples.
    const double khz = settings.getSamplingRateKhz();

    // The external RAM is the chip's: every DSP's share of it counts.
    const DspResourceEstimator own (&slot->graph, library);
    DspResourceEstimator::ExternalRam external;
    external.size = own.addMemoryCosts (dspId, memorySize, khz).size;

    for (auto& other : slots)
        external.used += DspResourceEstimator (&other->graph, library).addMemoryCosts (other->dspId, memorySize, khz).used;

    return DspResourceEstimator::toPercentages (own.addProcessCosts (dspId), own.getMemoryBudget (dspId, rate), external);
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

bool Design::registerControls (GraphNode& node, uint32_t dspId) const
{
    return controlRegistrar && node.getProcessDefinition() != nullptr && controlRegistrar (node, dspId);
}
