#include "generator/RoutingNodeAttribution.h"

#include "generator/DspBusPin.h"
#include "generator/ProcessOrdering.h"
#include "generator/RoutingNodeNumbers.h"
#include "model/DesignLog.h"
#include "model/GenerationContext.h"
#include "model/GraphData.h"
#include "model/ModuleLibrary.h"

#include <optional>

namespace
{
bool isMarker (int value) noexcept
{
    return value == RoutingNodeAttribution::notConnected || value == RoutingNodeAttribution::conflictDetected;
}

// A signal buffer of the DSP, not a DSP input or output.
bool isRoutingNode (int value) noexcept
{
    return value >= 0 && ((uint32_t) value & RoutingNodeAttribution::dspInputBit) == 0;
}

// A routing value moved along a run of channels. The two markers stay what
// they are: a marker plus a channel would name a real buffer.
int offsetValue (int value, uint32_t channel) noexcept
{
    return isMarker (value) ? value : (int) ((uint32_t) value + channel);
}

bool isAssigned (const GraphPin& pin) noexcept
{
    return pin.secondByte != 0;
}

void assign (GraphPin& pin, int value) noexcept
{
    pin.bus = value;
    pin.secondByte = 1;
}

int firstOutputPinIndex (const GraphNode& node)
{
    for (int i = 0; i < node.getPinCount(); ++i)
        if (! node.getPin (i)->isInput())
            return i;

    return node.getPinCount();
}

// A vector process on a side: its first pin of that side is a vector pin.
bool hasVectorInput (const GraphNode& node)
{
    const auto* pin = node.getPin (0);
    return pin != nullptr && pin->isInput() && pin->isVectorPin();
}

bool hasVectorOutput (const GraphNode& node)
{
    const auto* pin = node.getPin (firstOutputPinIndex (node));
    return pin != nullptr && pin->isVectorPin();
}

// One side of a process as the routing nodes it reads or writes: per vector
// pin its run (first node, width), per ordinary pin one node.
struct NodeRun
{
    const GraphPin* pin;
    int first;      // the routing value of the run's first channel
    uint32_t width; // its channels
};

std::vector<NodeRun> getNodeRuns (const GraphNode& node, bool inputs)
{
    const int first = inputs ? 0 : firstOutputPinIndex (node);
    const auto* firstPin = node.getPin (first);

    if (firstPin != nullptr && firstPin->isInput() == inputs && firstPin->isVectorPin())
        return { { firstPin, firstPin->bus, RoutingNodeAttribution::getSideWidth (node, inputs) } };

    std::vector<NodeRun> runs;

    for (int p = first; p < node.getPinCount() && node.getPin (p)->isInput() == inputs; ++p)
        if (! node.getPin (p)->isVirtualPin())
            runs.push_back ({ node.getPin (p), node.getPin (p)->bus, 1u });

    return runs;
}

// An output's run of routing nodes, and the process writing it.
struct WrittenRun
{
    int64_t first, end;
    const GraphNode* writer;
};

// Consecutive nodes of a run read that are not written by exactly one output
// feeding the reader.
struct ChannelFault
{
    int64_t first, end;
    bool writtenSeveralTimes;
};

// The faults among the nodes first .. end - 1 that one input reads. They are
// compared as ranges: channel counts read from a file may be huge. Within
// each piece between the starts and ends of the written runs every node has
// the same writers; consecutive pieces with the same fault make one.
template <typename FeedsReader>
std::vector<ChannelFault> findChannelFaults (int64_t first, int64_t end, const std::vector<WrittenRun>& written,
                                             FeedsReader&& feedsReader)
{
    std::set<int64_t> cuts{ first, end };

    for (const auto& w : written)
        for (auto cut : { w.first, w.end })
            if (cut > first && cut < end)
                cuts.insert (cut);

    std::vector<ChannelFault> faults;

    for (auto piece = cuts.begin(); std::next (piece) != cuts.end(); ++piece)
    {
        std::vector<const GraphNode*> writers;

        for (const auto& w : written)
            if (w.first <= *piece && *piece < w.end)
                writers.push_back (w.writer);

        if (writers.size() == 1 && feedsReader (*writers.front()))
            continue;

        const bool several = writers.size() > 1;

        if (! faults.empty() && faults.back().end == *piece && faults.back().writtenSeveralTimes == several)
            faults.back().end = *std::next (piece);
        else
            faults.push_back ({ *piece, *std::next (piece), several });
    }

    return faults;
}
} // namespace

RoutingNodeAttribution::RoutingNodeAttribution (GraphData& dspGraph, const GenerationContext& generationContext)
    : graph (dspGraph), context (generationContext)
{
}

uint32_t RoutingNodeAttribution::getSideWidth (const GraphNode& node, bool inputs)
{
    if ((node.channelWord & (inputs ? GraphNode::inputsFollowCountFlag : GraphNode::outputsFollowCountFlag)) != 0)
        return juce::jmax (1u, node.getChannelCount());

    // The side's count counts its virtual pins too, which carry no signal.
    uint32_t virtualPins = 0;

    for (int p = inputs ? 0 : firstOutputPinIndex (node); p < node.getPinCount() && node.getPin (p)->isInput() == inputs; ++p)
        if (node.getPin (p)->isVirtualPin())
            ++virtualPins;

    const auto count = inputs ? node.inputCount : node.outputCount;
    return juce::jmax (1u, count - juce::jmin (count, virtualPins));
}

void RoutingNodeAttribution::assignRoutingNodes (const ModuleLibrary& library, uint32_t dspId, ProcessOrder& order)
{
    order.clear();
    const auto* entry = library.findDsp (dspId);

    if (entry == nullptr || entry->getProcessCount() == 0)
        return;

    for (int i = 0; i < entry->getProcessCount(); ++i)
        order.push_back (entry->getProcessInstance (i));

    {
        ProcessOrdering ordering (graph, order);
        ordering.build();
        ordering.sort();
    }

    std::vector<GraphNode*> ordered;

    for (auto* process : order)
        if (auto* node = graph.findNodeById ((uint32_t) process->nodeNumber))
            ordered.push_back (node);

    const auto* module = library.getModuleOfDsp (dspId);
    resetPins();
    assignDspInputsAndOutputs (module);

    RoutingNodeNumbers nodes;
    assignVectorInputRuns (ordered, nodes);
    assignOutputNodes (ordered, nodes);

    reportNodeConflict (dspId, module);
    checkVectorDspPins (dspId);
    checkChannelsRead (dspId, ordered);
}

void RoutingNodeAttribution::resetPins()
{
    for (int i = 0; i < graph.getNumNodes(); ++i)
    {
        auto* node = graph.getNode (i);

        for (int p = 0; p < node->getPinCount(); ++p)
        {
            auto* pin = node->getPin (p);
            pin->bus = notConnected;
            pin->secondByte = 0;
            pin->word = 0;
        }
    }
}

bool RoutingNodeAttribution::isTakenDspPin (const GraphBusPin& busPin, const ModuleDefinition* module) const
{
    const int number = getDspBusPinNumber (busPin);
    const bool isInput = isDspInputBusPin (busPin);

    // A number the module's DSP inputs or outputs do not reach would name a
    // pin the module lacks: it routes nowhere.
    return graph.findNodeById (busPin.nodeId) != nullptr && number >= 0 &&
           (module == nullptr || (uint32_t) number < (isInput ? module->dspInputCount : module->dspOutputCount));
}

void RoutingNodeAttribution::assignDspInputsAndOutputs (const ModuleDefinition* module)
{
    for (int i = 0; i < graph.getNumBusPins(); ++i)
    {
        const auto* busPin = graph.getBusPin (i);

        if (! isTakenDspPin (*busPin, module))
            continue;

        auto* node = graph.findNodeById (busPin->nodeId);
        const bool isInput = isDspInputBusPin (*busPin);
        const int first = isInput ? 0 : firstOutputPinIndex (*node);
        const auto index = (int64_t) busPin->pinIndex + first;

        if (index >= node->getPinCount())
            continue;

        // Only channel 0 of a vector pin carries the number; the run follows.
        if (node->getPin (first)->isVectorPin() && busPin->pinIndex != 0)
            continue;

        auto* pin = node->getPin ((int) index);

        if (pin->isInput() != isInput || pin->isVirtualPin())
            continue;

        const auto number = (uint32_t) getDspBusPinNumber (*busPin);
        assign (*pin, (int) (number | (isInput ? dspInputBit : dspOutputBit)));
    }
}

bool RoutingNodeAttribution::isSignalConnection (const GraphConnection& connection) const
{
    // A virtual connection hands a process reference over, not a signal.
    if (connection.flag != 0)
        return false;

    const auto* source = graph.findNodeById (connection.sourceNode);
    const auto* destination = graph.findNodeById (connection.destNode);

    if (source == nullptr || destination == nullptr)
        return false;

    const auto* sourcePin = source->getOutputPin ((int) connection.sourcePin);

    if (sourcePin == nullptr || sourcePin->isVirtualPin() || sourcePin->isInput())
        return false;

    if (hasVectorOutput (*source) && connection.sourcePin >= getSideWidth (*source, false))
        return false;

    if (hasVectorInput (*destination))
        return connection.destPin < getSideWidth (*destination, true);

    const auto* destinationPin = destination->getPin ((int) connection.destPin);
    return destinationPin != nullptr && destinationPin->isInput() && ! destinationPin->isVirtualPin();
}

bool RoutingNodeAttribution::hasSignalInto (const GraphNode& node, std::optional<uint32_t> pin, const GraphNode* source) const
{
    for (int i = 0; i < graph.getNumConnections(); ++i)
    {
        const auto* connection = graph.getConnection (i);

        if (connection->destNode == node.getId() && (! pin.has_value() || connection->destPin == *pin) &&
            (source == nullptr || connection->sourceNode == source->getId()) && isSignalConnection (*connection))
            return true;
    }

    return false;
}

void RoutingNodeAttribution::assignVectorInputRuns (const std::vector<GraphNode*>& ordered, RoutingNodeNumbers& nodes)
{
    // A vector input whose pins follow the channel count gets its run of
    // nodes first; the ordinary outputs feeding it write into that run, each
    // into its own channel's node.
    for (auto* process : ordered)
    {
        if ((process->channelWord & GraphNode::inputsFollowCountFlag) == 0)
            continue;

        if (! hasSignalInto (*process, 0))
            continue;

        GraphPin* firstFree = nullptr;

        for (int p = 0; p < process->getPinCount() && process->getPin (p)->isInput(); ++p)
        {
            if (! isAssigned (*process->getPin (p)))
            {
                firstFree = process->getPin (p);
                break;
            }
        }

        if (firstFree == nullptr || ! firstFree->isVectorPin())
            continue;

        const auto runStart = nodes.reserve (getSideWidth (*process, true));

        if (! runStart.has_value())
            continue;

        assign (*firstFree, *runStart);

        for (int i = 0; i < graph.getNumConnections(); ++i)
        {
            const auto* connection = graph.getConnection (i);

            if (connection->destNode != process->getId() || ! isSignalConnection (*connection))
                continue;

            auto* source = graph.findNodeById (connection->sourceNode);

            if (hasVectorOutput (*source))
                continue;

            auto* sourcePin = source->getPin (firstOutputPinIndex (*source) + (int) connection->sourcePin);
            const auto node = (int64_t) *runStart + connection->destPin;

            // A channel another output writes already stays that output's:
            // this one gets a node of its own, and the conflict shows.
            if (sourcePin != nullptr && ! isAssigned (*sourcePin) && ! sourcePin->isVectorPin() && nodes.claim (node, 1))
                assign (*sourcePin, (int) node);
        }
    }
}

void RoutingNodeAttribution::assignOutputNodes (const std::vector<GraphNode*>& ordered, RoutingNodeNumbers& nodes)
{
    for (auto* source : ordered)
    {
        for (int i = 0; i < graph.getNumConnections(); ++i)
        {
            const auto* connection = graph.getConnection (i);

            if (connection->sourceNode != source->getId() || ! isSignalConnection (*connection))
                continue;

            auto* destination = graph.findNodeById (connection->destNode);

            // A vector output is one pin for all its channels; an ordinary
            // output has a pin per channel.
            const int firstOutput = firstOutputPinIndex (*source);
            const bool vectorSource = source->getPin (firstOutput)->isVectorPin();
            auto* pin = source->getPin (vectorSource ? firstOutput : firstOutput + (int) connection->sourcePin);

            if (! isAssigned (*pin))
            {
                const auto sourceChannel = vectorSource ? connection->sourcePin : 0u;
                const auto width = vectorSource ? getSideWidth (*source, false) : 1u;
                assign (*pin, takeOutputNodes (*destination, connection->destPin, sourceChannel, width, nodes));
            }

            const int value = pin->bus;
            feedDestination (*destination, connection->destPin,
                             vectorSource ? offsetValue (value, connection->sourcePin) : value);
        }
    }
}

int RoutingNodeAttribution::takeOutputNodes (GraphNode& destination, uint32_t destinationChannel, uint32_t sourceChannel,
                                             uint32_t width, RoutingNodeNumbers& nodes)
{
    // Into a vector input, the output writes straight into the input's run
    // when all its channels fall inside the run and no other output writes
    // there. Otherwise every channel of it gets a node of its own: a channel
    // that spilled past the run would write nodes other outputs are given.
    const auto offset = (int64_t) destinationChannel - (int64_t) sourceChannel;

    if (hasVectorInput (destination) && offset >= 0 && offset + width <= getSideWidth (destination, true))
    {
        auto* first = destination.getPin (0);

        if (! isAssigned (*first))
            if (const auto run = nodes.reserve (getSideWidth (destination, true)))
                assign (*first, *run);

        if (isAssigned (*first) && isRoutingNode (first->bus) && nodes.claim (first->bus + offset, width))
            return (int) (first->bus + offset);
    }

    return nodes.claimFresh (width).value_or (conflictDetected);
}

void RoutingNodeAttribution::feedDestination (GraphNode& destination, uint32_t destinationChannel, int signal)
{
    if (hasVectorInput (destination))
    {
        // A run not made yet starts where this channel reads the signal:
        // channel c reads first + c, so first = signal - c, the value the
        // conflict check expects; a run that cannot is left to that check.
        auto* first = destination.getPin (0);

        if (! isAssigned (*first) && isRoutingNode (signal) && (uint32_t) signal >= destinationChannel)
            assign (*first, signal - (int) destinationChannel);

        return;
    }

    if (auto* pin = destination.getPin ((int) destinationChannel))
        if (pin->isInput() && ! pin->isVirtualPin())
            assign (*pin, signal);
}

int RoutingNodeAttribution::getSourceValue (const GraphConnection& connection) const
{
    const auto* source = graph.findNodeById (connection.sourceNode);

    if (hasVectorOutput (*source))
        return offsetValue (source->getPin (firstOutputPinIndex (*source))->bus, connection.sourcePin);

    return source->getOutputPin ((int) connection.sourcePin)->bus;
}

GraphPin* RoutingNodeAttribution::getDestinationPin (const GraphConnection& connection) const
{
    auto* destination = graph.findNodeById (connection.destNode);
    return destination->getPin (hasVectorInput (*destination) ? 0 : (int) connection.destPin);
}

int RoutingNodeAttribution::getDestinationValue (const GraphConnection& connection) const
{
    const auto* destination = graph.findNodeById (connection.destNode);
    const auto* pin = getDestinationPin (connection);
    return hasVectorInput (*destination) ? offsetValue (pin->bus, connection.destPin) : pin->bus;
}

bool RoutingNodeAttribution::reportNodeConflict (uint32_t dspId, const ModuleDefinition* module)
{
    const auto feeds = collectInputFeeds (module);

    for (int i = 0; i < graph.getNumConnections(); ++i)
    {
        const auto* connection = graph.getConnection (i);

        if (! isSignalConnection (*connection))
            continue;

        // An input channel reads one signal: a second source into it (another
        // output, or a DSP input) cannot be routed, whatever nodes they got.
        const bool fedTwice = feeds.at ({ connection->destNode, connection->destPin }).size() > 1;

        if (! fedTwice && getSourceValue (*connection) == getDestinationValue (*connection))
            continue;

        auto* pin = getDestinationPin (*connection);

        // One report per pin: the other connections into it add nothing.
        if (pin->bus == conflictDetected)
            continue;

        int value = conflictDetected;

        if (! fedTwice && ! assignRoutingNodesFrom (i, value))
        {
            assign (*pin, value);
            continue;
        }

        assign (*pin, conflictDetected);
        logConflict (*connection, dspId);
    }

    return true;
}

RoutingNodeAttribution::InputFeeds RoutingNodeAttribution::collectInputFeeds (const ModuleDefinition* module) const
{
    // Per input channel (node id, channel), its sources: output channels as
    // (node id, channel), DSP inputs as (-1, number).
    InputFeeds feeds;

    for (int i = 0; i < graph.getNumConnections(); ++i)
    {
        const auto* c = graph.getConnection (i);

        if (isSignalConnection (*c))
            feeds[{ c->destNode, c->destPin }].insert ({ (int64_t) c->sourceNode, (int64_t) c->sourcePin });
    }

    for (int i = 0; i < graph.getNumBusPins(); ++i)
    {
        const auto* busPin = graph.getBusPin (i);
        const auto channel = std::make_pair (busPin->nodeId, busPin->pinIndex);

        if (isDspInputBusPin (*busPin) && isTakenDspPin (*busPin, module) && feeds.count (channel) != 0)
            feeds[channel].insert ({ -1, (int64_t) getDspBusPinNumber (*busPin) });
    }

    return feeds;
}

bool RoutingNodeAttribution::assignRoutingNodesFrom (int connectionIndex, int& outValue) const
{
    outValue = conflictDetected;
    const auto* connection = graph.getConnection (connectionIndex);

    if (connection == nullptr || ! isSignalConnection (*connection))
        return true;

    const auto* destination = graph.findNodeById (connection->destNode);

    // An ordinary input reads one node: two different ones cannot both be it.
    if (! hasVectorInput (*destination))
        return true;

    // A vector input reads a run of consecutive nodes: every signal feeding
    // it must sit at its channel's place in one run. A DSP input on the
    // vector fixes the run already.
    std::optional<int> runStart;
    const int current = destination->getPin (0)->bus;

    if (! isMarker (current) && ((uint32_t) current & dspInputBit) != 0)
        runStart = current;

    for (int i = 0; i < graph.getNumConnections(); ++i)
    {
        const auto* feeding = graph.getConnection (i);

        if (feeding->destNode != destination->getId() || ! isSignalConnection (*feeding))
            continue;

        const int value = getSourceValue (*feeding);

        if (isMarker (value) || ((uint32_t) value & routingNumberMask) < feeding->destPin)
            return true;

        const int start = (int) ((uint32_t) value - feeding->destPin);

        if (runStart.has_value() && *runStart != start)
            return true;

        runStart = start;
    }

    if (! runStart.has_value())
        return true;

    outValue = *runStart;
    return false;
}

void RoutingNodeAttribution::logConflict (const GraphConnection& connection, uint32_t dspId) const
{
    const auto* source = graph.findNodeById (connection.sourceNode);
    const auto* destination = graph.findNodeById (connection.destNode);
    const auto destinationTitle = context.getNodeTitle (*destination);
    const auto destinationNrpn = juce::String (destination->nrpn);

    auto message = "Connector node attribution conflict between " + context.getNodeTitle (*source) + " #" +
                   juce::String (source->nrpn) + " and " + destinationTitle + " #" + destinationNrpn;

    if (destinationTitle == "MixN")
        message << ". Try using Add2 process for signal summing replacing MixN #" << destinationNrpn;

    logError (message, (int) dspId);
}

void RoutingNodeAttribution::checkVectorDspPins (uint32_t dspId)
{
    struct SidePin
    {
        const GraphBusPin* busPin;
        int offset; // DSP number - channel: equal on every channel of a consecutive run
    };

    // The DSP pins on vector pins, in bus-pin order, with their offsets.
    std::vector<SidePin> vectorPins;

    for (int i = 0; i < graph.getNumBusPins(); ++i)
    {
        const auto* busPin = graph.getBusPin (i);
        const auto* node = graph.findNodeById (busPin->nodeId);
        const int number = getDspBusPinNumber (*busPin);

        if (node == nullptr || number < 0)
            continue;

        const bool isInput = isDspInputBusPin (*busPin);

        if (! (isInput ? hasVectorInput (*node) : hasVectorOutput (*node)))
            continue;

        if (busPin->pinIndex >= getSideWidth (*node, isInput))
            continue;

        vectorPins.push_back ({ busPin, number - (int) busPin->pinIndex });
    }

    // One message per vector pin whose DSP pins do not run consecutively.
    std::set<std::pair<uint32_t, uint8_t>> reported;

    for (const auto& pin : vectorPins)
    {
        const auto side = std::make_pair (pin.busPin->nodeId, pin.busPin->direction);

        if (reported.count (side) != 0)
            continue;

        for (const auto& other : vectorPins)
        {
            if (std::make_pair (other.busPin->nodeId, other.busPin->direction) != side || other.offset == pin.offset)
                continue;

            const auto* node = graph.findNodeById (pin.busPin->nodeId);
            logError ("Vector DSP " + juce::String (isDspInputBusPin (*pin.busPin) ? "In" : "Out") +
                          " not consecutives in process " + context.getNodeTitle (*node) + " #" + juce::String (node->nrpn),
                      (int) dspId);
            reported.insert (side);
            break;
        }
    }
}

void RoutingNodeAttribution::checkChannelsRead (uint32_t dspId, const std::vector<GraphNode*>& ordered) const
{
    // A connection between sides of different widths leaves channels of the
    // wider input reading buffers that its source does not write: silence,
    // or another connection's signal. Every channel a routing call reads must
    // be written by exactly one output, of a process connected to it.
    std::vector<WrittenRun> written;

    for (auto* process : ordered)
        for (const auto& run : getNodeRuns (*process, false))
            if (isRoutingNode (run.first))
                written.push_back ({ run.first, (int64_t) run.first + run.width, process });

    for (auto* process : ordered)
        for (const auto& run : getNodeRuns (*process, true))
            if (isRoutingNode (run.first))
                for (const auto& fault :
                     findChannelFaults (run.first, (int64_t) run.first + run.width, written,
                                        [&] (const GraphNode& writer) { return hasSignalInto (*process, {}, &writer); }))
                    logUnwrittenChannels (*process, *run.pin, fault.first - run.first, fault.end - run.first,
                                          fault.writtenSeveralTimes, dspId);
}

void RoutingNodeAttribution::logUnwrittenChannels (const GraphNode& process, const GraphPin& pin, int64_t first, int64_t end,
                                                   bool writtenSeveralTimes, uint32_t dspId) const
{
    // Channels counted from 1, as the user counts them.
    const auto channels = end - first == 1 ? "channel " + juce::String (first + 1)
                                           : "channels " + juce::String (first + 1) + " to " + juce::String (end);

    logError (juce::String (writtenSeveralTimes ? "several outputs write " : "no connected output writes ") + channels + " of " +
                  pin.name + " of " + context.getNodeTitle (process) + " #" + juce::String (process.nrpn),
              (int) dspId);
}

juce::String RoutingNodeAttribution::writePcsList (const GraphNode& node, const ProcessOrder& order, uint32_t dspNumber) const
{
    juce::String text;

    for (int p = 0; p < node.getPinCount(); ++p)
    {
        const auto* pin = node.getPin (p);

        if (! pin->isInput())
            break;

        if (! pin->isVirtualPin())
            continue;

        for (int i = 0; i < graph.getNumConnections(); ++i)
        {
            const auto* connection = graph.getConnection (i);

            if (connection->destNode != node.getId() || connection->destPin != (uint32_t) p)
                continue;

            const auto* source = graph.findNodeById (connection->sourceNode);

            for (auto* process : order)
                if (source != nullptr && process != nullptr && (uint32_t) process->nodeNumber == source->getId())
                    text = "dsp" + juce::String (dspNumber) + "pcs[" + juce::String (source->nrpn) + "]";
        }
    }

    return text;
}
