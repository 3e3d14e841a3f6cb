#include "model/ConnectionRules.h"

#include "model/DesignLog.h"
#include "model/ModuleDefinition.h"

namespace
{
constexpr int maxDspIoNumber = 7;

int signedStep (uint32_t sourcePin, uint32_t destPin) noexcept
{
    return (int) ((int64_t) destPin - (int64_t) sourcePin);
}
} // namespace

ConnectionRules::ConnectionRules (const GraphData& graphToCheck, const ModuleDefinition* dspModule) noexcept
    : graph (graphToCheck), module (dspModule)
{
}

//==============================================================================
int ConnectionRules::getDspIoNumber (const juce::String& name, bool input)
{
    const juce::String prefix (input ? "DSPIN" : "DSPOUT");

    if (! name.startsWithIgnoreCase (prefix))
        return -1;

    const auto digits = name.substring (prefix.length());

    if (digits.isEmpty() || digits.length() > 3 || ! digits.containsOnly ("0123456789"))
        return -1;

    return digits.getIntValue();
}

const GraphPin* ConnectionRules::getFirstPin (const GraphNode& node, bool inputs) noexcept
{
    if (! inputs)
        return node.getOutputPin (0);

    auto* pin = node.getPin (0);
    return pin != nullptr && pin->isInput() ? pin : nullptr;
}

bool ConnectionRules::isVectorProcess (const GraphNode& node, bool inputs) noexcept
{
    auto* pin = getFirstPin (node, inputs);
    return pin != nullptr && pin->isVectorPin();
}

const GraphPin* ConnectionRules::getSidePin (const GraphNode& node, bool input, uint32_t index) noexcept
{
    if (! input)
        return node.getOutputPin ((int) index);

    auto* pin = node.getPin ((int) index);
    return pin != nullptr && pin->isInput() ? pin : nullptr;
}

//==============================================================================
ConnectionRules::Verdict ConnectionRules::checkConnectionDrop (const DragStart& start, const Pin& dropped, Ends* ends) const
{
    if (isDesignLocked())
        return Verdict::refuse();

    Ends resolved;

    if (start.beganAtOutput())
    {
        if (! dropped.isInput)
            return Verdict::refuse (accumulateMessage);

        resolved = { start.sourceNode, start.sourcePin, dropped.nodeId, dropped.index };
    }
    else
    {
        // From an input onto an input: nothing to say.
        if (dropped.isInput)
            return Verdict::refuse();

        resolved = { dropped.nodeId, dropped.index, start.destNode, start.destPin };
    }

    if (ends != nullptr)
        *ends = resolved;

    return checkConnection (resolved);
}

ConnectionRules::Verdict ConnectionRules::checkConnection (const Ends& ends) const
{
    if (isDesignLocked() || ends.sourceNode == ends.destNode)
        return Verdict::refuse();

    auto* source = graph.findNodeById (ends.sourceNode);
    auto* dest = graph.findNodeById (ends.destNode);

    // A pin that is not there cannot be wired, whatever the drag said.
    auto* sourcePin = source != nullptr ? source->getOutputPin ((int) ends.sourcePin) : nullptr;

    if (dest == nullptr || sourcePin == nullptr)
        return Verdict::refuse();

    bool fed = false;
    graph.findConnection (0, 0, ends.destNode, ends.destPin, fed, GraphData::matchDestNode | GraphData::matchDestPin);

    const bool busPinsOnVectors = ! (hasNoVectorBusPins (ends.sourceNode, false) && hasNoVectorBusPins (ends.destNode, true));

    if (busPinsOnVectors && dest->outputCount != 0 && ! isVectorStepValid (ends.sourceNode, ends.destNode))
        return Verdict::refuse (vectorConflictMessage);

    if (fed)
        return Verdict::refuse (accumulateMessage);

    // A vector destination takes any input number on its one vector pin.
    const GraphPin* compared = isVectorProcess (*dest, true) ? sourcePin : dest->getPin ((int) ends.destPin);

    if (compared == nullptr)
        return Verdict::refuse();

    bool isVirtual = false;

    if (sourcePin->isVirtualPin() || compared->isVirtualPin())
    {
        // A virtual pin joins only another virtual pin.
        if (sourcePin->kind != compared->kind)
            return Verdict::refuse();

        isVirtual = true;
    }

    if (! isStepConsistent (ends))
        return Verdict::refuse (stepMismatchMessage);

    return Verdict::accept (isVirtual);
}

bool ConnectionRules::isStepConsistent (const Ends& ends) const
{
    bool found = false;
    const int index =
        graph.findConnection (ends.sourceNode, 0, ends.destNode, 0, found, GraphData::matchSourceNode | GraphData::matchDestNode);

    if (! found)
        return true;

    auto* source = graph.findNodeById (ends.sourceNode);
    auto* dest = graph.findNodeById (ends.destNode);

    if (! isVectorProcess (*dest, true) || ! isVectorProcess (*source, false))
        return true;

    auto* existing = graph.getConnection (index);
    return signedStep (ends.sourcePin, ends.destPin) == signedStep (existing->sourcePin, existing->destPin);
}

//==============================================================================
ConnectionRules::Verdict ConnectionRules::checkBusPinAssignment (const Pin& pin, const juce::String& name) const
{
    if (isDesignLocked())
        return Verdict::refuse();

    auto* node = graph.findNodeById (pin.nodeId);

    if (node == nullptr || getFirstPin (*node, pin.isInput) == nullptr || getDspIoNumber (name, pin.isInput) < 0)
        return Verdict::refuse();

    // The tool's choice may be older than the DSP's module.
    if (! isAvailableOnModule (name, pin.isInput))
        return Verdict::refuse (name + " is not available on this DSP's module.");

    bool exists = false;
    graph.findBusPin (pin.nodeId, pin.index, pin.isInput ? 1 : 0, exists, GraphData::matchAllBusPinFields, name);

    if (exists)
        return Verdict::refuse();

    if (isVectorProcess (*node, pin.isInput))
    {
        for (int i = 0; i < graph.getNumConnections(); ++i)
        {
            auto* c = graph.getConnection (i);

            if ((pin.isInput ? c->destNode : c->sourceNode) == pin.nodeId && ! isVectorStepValid (c->sourceNode, c->destNode))
                return Verdict::refuse (vectorConflictMessage);
        }
    }
    else
    {
        auto* target = getSidePin (*node, pin.isInput, pin.index);

        if (target == nullptr)
            return Verdict::refuse();

        if (target->isVirtualPin())
            return Verdict::refuse (virtualPinMessage);
    }

    if (! areProcessOutputsConsecutive (pin, name))
        return Verdict::refuse (notConsecutiveMessage);

    if (! isDspOutputFree (pin, name))
        return Verdict::refuse (outputUsedMessage);

    return Verdict::accept();
}

bool ConnectionRules::isAvailableOnModule (const juce::String& name, bool input) const
{
    if (module == nullptr)
        return false;

    const auto number = getDspIoNumber (name, input);
    const auto count = (int) (input ? module->dspInputCount : module->dspOutputCount);
    return number >= 0 && number <= maxDspIoNumber && number < count;
}

bool ConnectionRules::areProcessOutputsConsecutive (const Pin& pin, const juce::String& name) const
{
    auto* node = graph.findNodeById (pin.nodeId);

    if (node == nullptr || ! isVectorProcess (*node, pin.isInput))
        return true;

    const auto offset = (int64_t) getDspIoNumber (name, pin.isInput) - (int64_t) pin.index;

    if (offset < 0)
        return false;

    bool found = false;
    const int index = graph.findBusPin (pin.nodeId, 0, pin.isInput ? 1 : 0, found,
                                        GraphData::matchBusPinNode | GraphData::matchBusPinDirection);

    if (! found)
        return true;

    auto* first = graph.getBusPin (index);
    return (int64_t) getDspIoNumber (first->name, pin.isInput) - (int64_t) first->pinIndex == offset;
}

bool ConnectionRules::isDspOutputFree (const Pin& pin, const juce::String& name) const
{
    if (pin.isInput)
        return true;

    const bool shared = isSharedOutputProcess (pin.nodeId);

    for (int i = 0; i < graph.getNumBusPins(); ++i)
    {
        auto* busPin = graph.getBusPin (i);

        if (busPin->direction == 0 && busPin->name.equalsIgnoreCase (name) && ! shared &&
            ! isSharedOutputProcess (busPin->nodeId))
            return false;
    }

    return true;
}

bool ConnectionRules::isSharedOutputProcess (uint32_t nodeId) const
{
    // By the process's definition: the user may rename the node.
    auto* node = graph.findNodeById (nodeId);
    auto* definition = node != nullptr ? node->getProcessDefinition() : nullptr;
    return definition != nullptr && definition->name == sharedOutputProcessName;
}

//==============================================================================
bool ConnectionRules::isVectorStepValid (uint32_t sourceId, uint32_t destId) const
{
    auto* source = graph.findNodeById (sourceId);
    auto* dest = graph.findNodeById (destId);

    if (source == nullptr || dest == nullptr)
        return false;

    if (dest->getOutputPin (0) == nullptr)
        return true;

    if (! isVectorProcess (*source, false) || ! isVectorProcess (*dest, false))
        return false;

    const int s = getFirstOutputBusPinNumber (sourceId);
    const int d = getFirstOutputBusPinNumber (destId);

    return s >= 0 && d >= 0 && (int64_t) d >= (int64_t) s + (int64_t) source->outputCount;
}

int ConnectionRules::getFirstOutputBusPinNumber (uint32_t nodeId) const
{
    // Read from the record itself: its label may not exist yet.
    bool found = false;
    const int index = graph.findBusPin (
        nodeId, 0, 0, found, GraphData::matchBusPinNode | GraphData::matchBusPinIndex | GraphData::matchBusPinDirection);
    return found ? getDspIoNumber (graph.getBusPin (index)->name, false) : -1;
}

bool ConnectionRules::hasNoVectorBusPins (uint32_t nodeId, bool inputs) const
{
    auto* node = graph.findNodeById (nodeId);
    auto* first = node != nullptr ? getFirstPin (*node, inputs) : nullptr;

    if (first == nullptr)
        return false;

    if (! first->isVectorPin())
        return true;

    bool found = false;
    graph.findBusPin (nodeId, 0, inputs ? 1 : 0, found, GraphData::matchBusPinNode | GraphData::matchBusPinDirection);
    return ! found;
}
