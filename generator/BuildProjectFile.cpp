#include "generator/BuildProjectFile.h"

#include "generator/ControlHandlerWriter.h"
#include "generator/DspBusPin.h"
#include "generator/MemoryMapWriter.h"
#include "generator/NrpnListRows.h"
#include "generator/ProcessOrdering.h"
#include "generator/RoutingNodeNumbers.h"
#include "generator/SourceIdentifiers.h"
#include "generator/SourceStream.h"
#include "generator/SourceWriter.h"
#include "generator/templates/DspSourceBlocks.h"
#include "model/DesignLog.h"
#include "model/GenerationContext.h"
#include "model/GraphData.h"
#include "model/ModuleLibrary.h"
#include "model/ParameterDescriptor.h"

#include <cmath>
#include <limits>
#include <set>
#include <utility>

namespace
{
using Slot = BuildProjectFile::GeneratedTexts::Slot;

// The process id of the pitch shifter that module 5 sets up by itself.
constexpr uint32_t pitchShifterModuleId = 5;
constexpr uint32_t pitchShifterProcessId = 0x211;

// The delay process whose memory is never doubled.
const char* const singleMemoryDelayName = "(s)Delay";

// Stands where a call expects the process feeding a virtual pin and none
// does: the C stays parseable, and the firmware build stops at the name.
const char* const missingVirtualSource = "ROUTING_ERROR_NOT_CONNECTED";

juce::String orMissingVirtualSource (const juce::String& feeding)
{
    return feeding.isEmpty() ? juce::String (missingVirtualSource) : feeding;
}

bool isMarker (int value) noexcept
{
    return value == BuildProjectFile::notConnected || value == BuildProjectFile::conflictDetected;
}

// A signal buffer of the DSP, not a DSP input or output.
bool isRoutingNode (int value) noexcept
{
    return value >= 0 && ((uint32_t) value & BuildProjectFile::dspInputBit) == 0;
}

bool isDspOutputValue (int value) noexcept
{
    return ! isMarker (value) && ((uint32_t) value & BuildProjectFile::dspOutputBit) != 0;
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

// The channels of a side: the node's count when that side follows it.
uint32_t getInputWidth (const GraphNode& node)
{
    const bool followsCount = (node.channelWord & GraphNode::inputsFollowCountFlag) != 0;
    return juce::jmax (1u, followsCount ? node.getChannelCount() : node.inputCount);
}

uint32_t getOutputWidth (const GraphNode& node)
{
    const bool followsCount = (node.channelWord & GraphNode::outputsFollowCountFlag) != 0;
    return juce::jmax (1u, followsCount ? node.getChannelCount() : node.outputCount);
}

uint32_t toMemoryWords (double words)
{
    return words >= (double) std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                                  : (uint32_t) juce::jmax (0.0, words);
}

juce::String eightHexDigits (uint32_t value)
{
    return juce::String::toHexString (value).toUpperCase().paddedLeft ('0', 8);
}

juce::String getPinName (const GraphNode& node, int index)
{
    if (const auto* definition = node.getProcessDefinition())
        if (const auto* entry = definition->pins[index])
            return juce::String (entry->name);

    return node.getPin (index)->name;
}
} // namespace

void BuildProjectFile::GeneratedTexts::clearMemorySlots()
{
    for (auto slot : { wholeAddressSlot, errorSlot, highHalfSlot, lowHalfSlot, int24HighHalfSlot, int24LowHalfSlot,
                       int16HighHalfSlot, int16LowHalfSlot, spareErrorSlot14, spareErrorSlot15 })
        slots[(size_t) slot].clear();
}

BuildProjectFile::BuildProjectFile (GraphData& dspGraph, GenerationContext& generationContext)
    : graph (dspGraph), context (generationContext)
{
}

//==============================================================================
// Routing nodes

void BuildProjectFile::assignRoutingNodes (const ModuleLibrary& library, uint32_t dspId, ProcessOrder& order)
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
}

void BuildProjectFile::resetPins()
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

bool BuildProjectFile::isTakenDspPin (const GraphBusPin& busPin, const ModuleDefinition* module) const
{
    const int number = getDspBusPinNumber (busPin);
    const bool isInput = isDspInputBusPin (busPin);

    // A number the module's DSP inputs or outputs do not reach would name a
    // pin the module lacks: it routes nowhere.
    return graph.findNodeById (busPin.nodeId) != nullptr && number >= 0 &&
           (module == nullptr || (uint32_t) number < (isInput ? module->dspInputCount : module->dspOutputCount));
}

void BuildProjectFile::assignDspInputsAndOutputs (const ModuleDefinition* module)
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

bool BuildProjectFile::isSignalConnection (const GraphConnection& connection) const
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

    if (hasVectorOutput (*source) && connection.sourcePin >= getOutputWidth (*source))
        return false;

    if (hasVectorInput (*destination))
        return connection.destPin < getInputWidth (*destination);

    const auto* destinationPin = destination->getPin ((int) connection.destPin);
    return destinationPin != nullptr && destinationPin->isInput() && ! destinationPin->isVirtualPin();
}

bool BuildProjectFile::hasSignalInto (const GraphNode& node, uint32_t pin) const
{
    for (int i = 0; i < graph.getNumConnections(); ++i)
    {
        const auto* connection = graph.getConnection (i);

        if (connection->destNode == node.getId() && connection->destPin == pin && isSignalConnection (*connection))
            return true;
    }

    return false;
}

void BuildProjectFile::assignVectorInputRuns (const std::vector<GraphNode*>& ordered, RoutingNodeNumbers& nodes)
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

        const auto runStart = nodes.reserve (getInputWidth (*process));

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

void BuildProjectFile::assignOutputNodes (const std::vector<GraphNode*>& ordered, RoutingNodeNumbers& nodes)
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
                const auto width = vectorSource ? getOutputWidth (*source) : 1u;
                assign (*pin, takeOutputNodes (*destination, connection->destPin, sourceChannel, width, nodes));
            }

            const int value = pin->bus;
            feedDestination (*destination, connection->destPin,
                             vectorSource ? offsetValue (value, connection->sourcePin) : value);
        }
    }
}

int BuildProjectFile::takeOutputNodes (GraphNode& destination, uint32_t destinationChannel, uint32_t sourceChannel,
                                       uint32_t width, RoutingNodeNumbers& nodes)
{
    // Into a vector input, the output writes straight into the input's run
    // when all its channels fall inside the run and no other output writes
    // there. Otherwise every channel of it gets a node of its own: a channel
    // that spilled past the run would write nodes other outputs are given.
    const auto offset = (int64_t) destinationChannel - (int64_t) sourceChannel;

    if (hasVectorInput (destination) && offset >= 0 && offset + width <= getInputWidth (destination))
    {
        auto* first = destination.getPin (0);

        if (! isAssigned (*first))
            if (const auto run = nodes.reserve (getInputWidth (destination)))
                assign (*first, *run);

        if (isAssigned (*first) && isRoutingNode (first->bus) && nodes.claim (first->bus + offset, width))
            return (int) (first->bus + offset);
    }

    return nodes.claimFresh (width).value_or (conflictDetected);
}

void BuildProjectFile::feedDestination (GraphNode& destination, uint32_t destinationChannel, int signal)
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

int BuildProjectFile::getSourceValue (const GraphConnection& connection) const
{
    const auto* source = graph.findNodeById (connection.sourceNode);

    if (hasVectorOutput (*source))
        return offsetValue (source->getPin (firstOutputPinIndex (*source))->bus, connection.sourcePin);

    return source->getOutputPin ((int) connection.sourcePin)->bus;
}

GraphPin* BuildProjectFile::getDestinationPin (const GraphConnection& connection) const
{
    auto* destination = graph.findNodeById (connection.destNode);
    return destination->getPin (hasVectorInput (*destination) ? 0 : (int) connection.destPin);
}

int BuildProjectFile::getDestinationValue (const GraphConnection& connection) const
{
    const auto* destination = graph.findNodeById (connection.destNode);
    const auto* pin = getDestinationPin (connection);
    return hasVectorInput (*destination) ? offsetValue (pin->bus, connection.destPin) : pin->bus;
}

bool BuildProjectFile::reportNodeConflict (uint32_t dspId, const ModuleDefinition* module)
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

BuildProjectFile::InputFeeds BuildProjectFile::collectInputFeeds (const ModuleDefinition* module) const
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

bool BuildProjectFile::assignRoutingNodesFrom (int connectionIndex, int& outValue) const
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

void BuildProjectFile::logConflict (const GraphConnection& connection, uint32_t dspId) const
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

void BuildProjectFile::checkVectorDspPins (uint32_t dspId)
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

        if (busPin->pinIndex >= (isInput ? getInputWidth (*node) : getOutputWidth (*node)))
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

juce::String BuildProjectFile::writePcsList (const GraphNode& node, const ProcessOrder& order, uint32_t dspNumber) const
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

//==============================================================================
// Memory map

bool BuildProjectFile::writeMemoryMap (int pcsNumber, const ModuleLibrary& library, const LibraryFunctionDefinition& function,
                                       const GraphNode* node, uint32_t dspId, GeneratedTexts& texts, juce::String& memoryText,
                                       bool dspInit, int functionIndex, std::optional<uint32_t> firstMaskEntry)
{
    MemoryMapWriter::Call call;
    call.function = &function;
    call.memoryNode = node;
    call.dspId = dspId;
    call.pcsNumber = pcsNumber;
    call.functionIndex = functionIndex;
    call.dspInit = dspInit;
    call.maskEntries = function.maskEntries;

    if (firstMaskEntry.has_value())
    {
        if (call.maskEntries.empty())
            call.maskEntries.push_back (*firstMaskEntry);
        else
            call.maskEntries.front() = *firstMaskEntry;
    }

    if (call.memoryNode == nullptr)
    {
        // A module function takes the memory choice of the DSP's first
        // static ("@SPS") process.
        const auto* module = library.getModuleOfDsp (dspId);

        if (module != nullptr)
        {
            for (auto& process : module->getProcesses())
            {
                if (! process->fromSps)
                    continue;

                if ((call.memoryNode = graph.findNodeByProcessId (process->processId)) != nullptr)
                    break;
            }

            const auto* firstFunction = module->moduleFunctions[0];

            if (call.memoryNode == nullptr && module->hasFlaggedProcess && firstFunction != nullptr &&
                firstFunction->parameterCount > 0 && ! memoryGuessReported)
            {
                logError ("Unable to guess memory settings. If no static process is needed, please use the MixPA module instead",
                          (int) dspId);
                memoryGuessReported = true;
            }
        }
    }

    MemoryMapWriter writer (context);
    return writer.write (call, texts, memoryText);
}

uint32_t BuildProjectFile::getDelayMemorySize (const GraphNode& node) const
{
    double words = (double) node.getChannelCount() * context.getSamplingRateKhz();
    const auto selection = (int) (node.memoryWord & 3);
    const auto* definition = node.getProcessDefinition();
    const bool singleMemory = definition != nullptr && definition->name == singleMemoryDelayName;

    if ((selection == GraphNode::memoryChoiceExternalRam || selection == GraphNode::memoryChoiceInternal16BitRam) &&
        ! singleMemory)
        words = std::floor (words) * 2.0;

    return toMemoryWords (words);
}

//==============================================================================
// DSP source

bool BuildProjectFile::writeDspSource (const ModuleLibrary& library, uint32_t dspId, DspSourceTexts& texts, uint8_t& features,
                                       bool commandVariant)
{
    texts.clear();
    memoryHeaderWritten = false;
    memoryGuessReported = false;

    const auto* entry = library.findDsp (dspId);
    const auto* module = entry != nullptr ? library.getModuleOfDsp (dspId) : nullptr;

    if (module != nullptr && module->hasKindWord)
    {
        switch (module->kindWord)
        {
            case 0x8003: features |= featureFbc; break;
            case 0x8004: features |= featureModuleKind8004; break;
            case 0x8005: features |= featureSpdif; break;
            case 0x8006: features |= featureModuleKind8006; break;
            default: break;
        }
    }

    if (entry == nullptr || entry->getProcessCount() == 0)
        return false;

    if (module == nullptr)
    {
        logError ("The module of this DSP is not in Modules.def: no source generated", (int) dspId);
        return false;
    }

    const juce::String dspNumber (dspId);
    GeneratedTexts generated;
    generated[Slot::dspIdSlot] = "dspId";
    generated[Slot::processIdSlot] = "dsp" + dspNumber + "pcs";
    const auto& dspIdVariable = generated[Slot::dspIdSlot];

    texts.includes = DspSourceBlocks::includes;

    if (! commandVariant)
        texts.includes << DspSourceBlocks::nrpnControlInclude;

    const auto pcsDeclaration = "WORD " + generated[Slot::processIdSlot] + "[" + juce::String (graph.getMaxNrpn() + 1) + "];\n";
    const auto initFunction = "WORD dsp" + dspNumber + "InitAndRoute(void)";
    texts.body = pcsDeclaration + "\n" + initFunction;
    texts.declarations = "\n" + initFunction + ";\n" + "extern " + pcsDeclaration;
    texts.body << "\n"
               << "{\n"
               << "\tWORD " << dspIdVariable << ";\n"
               << "\n";

    writeModuleFunctions (library, *module, dspId, texts, generated);
    texts.body << "\n\tif ( " << dspIdVariable << " == -1 ) return 0;\n"
               << "\n";
    texts.body << writeHook (dspId, 0, dspIdVariable, DspSourceBlocks::preInitHookComment) << "\n";

    ProcessOrder order;
    assignRoutingNodes (library, dspId, order);

    if (module->moduleId == pitchShifterModuleId)
    {
        bool hasPitchShifter = false;

        for (auto* process : order)
            if (const auto* definition = module->findProcessById (process->processId))
                hasPitchShifter = hasPitchShifter || definition->processId == pitchShifterProcessId;

        if (! hasPitchShifter)
            texts.body << DspSourceBlocks::pitchShifterRemovalStart << dspIdVariable << DspSourceBlocks::pitchShifterRemovalEnd;
    }

    for (size_t position = 0; position < order.size(); ++position)
        writeProcess (library, *module, dspId, (int) position, *order[position], order, texts, generated, features);

    texts.body << writeHook (dspId, 1, dspIdVariable, DspSourceBlocks::postInitHookComment);
    texts.body << "\treturn( " << dspIdVariable << " );\n"
               << "}\n"
               << "\n";

    texts.body = (texts.hasBiquad ? makeBiquadBlock (dspId, texts) : juce::String ("\n")) + texts.body;
    texts.body = texts.includes + (memoryHeaderWritten ? DspSourceBlocks::memoryMapInclude : "\n") + texts.body;
    return true;
}

void BuildProjectFile::writeMemoryMapOf (int pcsNumber, const ModuleLibrary& library, const LibraryFunctionDefinition& function,
                                         const GraphNode* node, uint32_t dspId, GeneratedTexts& generated, DspSourceTexts& texts,
                                         bool dspInit, int functionIndex, std::optional<uint32_t> firstMaskEntry)
{
    // Every call starts from empty memory slots: a parameter this call does
    // not place must not take the memory of an earlier call.
    generated.clearMemorySlots();

    if (writeMemoryMap (pcsNumber, library, function, node, dspId, generated, texts.memory, dspInit, functionIndex,
                        firstMaskEntry) &&
        ! memoryHeaderWritten)
    {
        texts.memory =
            DspSourceBlocks::memoryHeaderStart + juce::String (dspId) + DspSourceBlocks::memoryHeaderEnd + texts.memory;
        memoryHeaderWritten = true;
    }
}

void BuildProjectFile::writeModuleFunctions (const ModuleLibrary& library, const ModuleDefinition& module, uint32_t dspId,
                                             DspSourceTexts& texts, GeneratedTexts& generated)
{
    int index = 0;

    for (auto& function : module.moduleFunctions)
    {
        writeMemoryMapOf (index++, library, *function, nullptr, dspId, generated, texts, true, 0, {});
        writeProcessInitCalls (*function, dspId, juce::String (function->name), texts, nullptr, false, generated);
    }
}

void BuildProjectFile::writeProcess (const ModuleLibrary& library, const ModuleDefinition& module, uint32_t dspId, int position,
                                     const ProcessInstanceEntry& entry, const ProcessOrder& order, DspSourceTexts& texts,
                                     GeneratedTexts& generated, uint8_t& features)
{
    auto* node = graph.findNodeById ((uint32_t) entry.nodeNumber);
    const auto* definition = module.findProcessById (entry.processId);

    if (node == nullptr || definition == nullptr)
    {
        logInternalError ("Process node #" + juce::String (entry.nodeNumber) + " not found in the DSP's graph or module",
                          (int) dspId);
        return;
    }

    const juce::String nrpn (node->nrpn);
    generated[Slot::processIdSlot] = "dsp" + juce::String (dspId) + "pcs[" + nrpn + "]";
    texts.body << "\t// Process #" << nrpn << ": " << makeCommentText (node->getName()) << "\n";

    context.prepareProcessPanel (*node);

    const auto kind = definition->hasKind ? definition->processKind : 0u;

    if (kind == 0x4001)
        features |= featureBiquadControl;
    else if (kind == 0x4002)
        features |= featureCompressor;
    else if (kind == 0x4006)
        features |= featureExtendedBiquad | featureBiquadControl;

    if (isBiquadProcessKind (kind))
        addBiquadProcess (dspId, *node, texts, generated);

    if (definition->fromSps)
        writeRoutingCalls (module, *node, dspId, generated, texts);

    int functionIndex = 0;

    for (auto& function : definition->firstFunctions)
    {
        const bool isFirst = functionIndex == 0;
        std::optional<uint32_t> delayMemory;

        if (isFirst)
        {
            generated[Slot::virtualSourceSlot] = writePcsList (*node, order, dspId);

            if ((node->channelWord & GraphNode::delayCountFlag) != 0 && function->maskUsable)
                delayMemory = getDelayMemorySize (*node);
        }

        writeMemoryMapOf (position, library, *function, node, dspId, generated, texts, false, functionIndex, delayMemory);
        writeProcessInitCalls (*function, dspId, juce::String (function->name), texts, node, node->biquadMark, generated);

        if (isSecondBiquadProcessKind (kind))
            writeBiquadInitCalls (dspId, generated, texts, *node);

        if (isFirst && ! definition->fromSps)
            writeRoutingCalls (module, *node, dspId, generated, texts);

        ++functionIndex;
    }

    texts.body << "\n";
}

void BuildProjectFile::addBiquadProcess (uint32_t dspId, GraphNode& node, DspSourceTexts& texts, GeneratedTexts& generated) const
{
    texts.hasBiquad = true;
    node.biquadMark = true;

    if (++texts.biquadCount == 1)
        texts.includes << DspSourceBlocks::biquadControlInclude;

    const juce::String nrpn (node.nrpn);
    const auto arrayName = "biquad" + juce::String (dspId);
    const auto& bandCount = generated[Slot::bandCountSlot] = "BIQUAD" + nrpn + "BANDCOUNT";
    const auto bands = "[" + bandCount + "]";

    texts.biquadDefines.add ("#define\t" + bandCount + "\t" + juce::String (node.getChannelCount()));
    texts.biquadParameters.add (arrayName + "Parameters" + nrpn + bands);
    texts.biquadTypes.add (arrayName + "Type" + nrpn + bands);
    texts.biquadXoverTypes.add (arrayName + "XoverType" + nrpn + bands);
    texts.biquadRawFrequencies.add (arrayName + "RawFrequency" + nrpn + bands);
    texts.biquadNrpns.add (node.nrpn);
}

juce::String BuildProjectFile::makeBiquadBlock (uint32_t dspId, const DspSourceTexts& texts) const
{
    juce::String block (DspSourceBlocks::biquadBlockTitle);
    block << DspSourceBlocks::biquadItemCountDefine << texts.biquadCount << "\n\n"
          << DspSourceBlocks::biquadExtraFunctionDefine << texts.biquadDefines.joinIntoString ("\n")
          << DspSourceBlocks::biquadVariablesStart << texts.biquadParameters.joinIntoString (", ") << ";\nWORD "
          << texts.biquadTypes.joinIntoString (", ") << ";\nWORD " << texts.biquadXoverTypes.joinIntoString (", ") << ";\nDWORD "
          << texts.biquadRawFrequencies.joinIntoString (", ") << ";\n\n";

    const auto arrayName = "biquad" + juce::String (dspId);

    for (auto nrpnNumber : texts.biquadNrpns)
    {
        const juce::String nrpn (nrpnNumber);
        block << "BiquadParameters " << arrayName << "ParamAddr" << nrpn << " = { " << arrayName << "Parameters" << nrpn << ", "
              << arrayName << "Type" << nrpn << ", " << arrayName << "XoverType" << nrpn << ", " << arrayName << "RawFrequency"
              << nrpn << ", "
              << "BIQUAD" << nrpn << "BANDCOUNT"
              << " };\n";
    }

    return block << DspSourceBlocks::biquadVariablesEnd;
}

void BuildProjectFile::writeProcessInitCalls (const LibraryFunctionDefinition& function, uint32_t dspId,
                                              const juce::String& functionName, DspSourceTexts& texts, const GraphNode* node,
                                              bool isBiquad, GeneratedTexts generated) const
{
    juce::String line ("\t");

    if (function.returnValueCount == 1)
    {
        ParameterDescriptor result;
        getFunctionParameter (function, ParameterNumbering::returnValuesFirst, 0, result);

        if (isDspIdArgType (result.type))
            line << generated[Slot::dspIdSlot] << " = ";
        else if (isProcessIdArgType (result.type))
            line << generated[Slot::processIdSlot] << " = ";
        else if (isParamTypeCode_4_2_5 (result.type))
            line << orMissingVirtualSource (generated[Slot::virtualSourceSlot]) << " = ";
        else
        {
            line << "unknown_return_LIBVAR = ";
            logInternalError ("unknown_return_LIBVAR", (int) dspId);
        }
    }

    line << functionName << "(";

    for (int i = 0; i < function.parameterCount; ++i)
    {
        line << " " << getParameterValue (function, i, dspId, functionName, node, isBiquad, generated);
        line << (i + 1 < function.parameterCount ? "," : " ");
    }

    texts.body << line << ");\n";
}

juce::String BuildProjectFile::getParameterValue (const LibraryFunctionDefinition& function, int parameter, uint32_t dspId,
                                                  const juce::String& functionName, const GraphNode* node, bool isBiquad,
                                                  const GeneratedTexts& generated) const
{
    ParameterDescriptor descriptor;
    getFunctionParameter (function, ParameterNumbering::parametersOnly, parameter, descriptor);
    const auto& type = descriptor.type;

    // A memory argument whose placement wrote nothing for it fails the
    // firmware build here rather than take another process's memory.
    auto memorySymbol = [&generated] (Slot slot)
    { return generated[slot].isEmpty() ? juce::String ("MEMORY_INIT_ERROR") : generated[slot]; };

    if (isDspIdArgType (type))
        return generated[Slot::dspIdSlot];

    if (isProcessIdArgType (type))
        return generated[Slot::processIdSlot];

    if (isParamTypeCode_4_2_5 (type))
    {
        const auto& feeding = generated[Slot::virtualSourceSlot];

        // Only these two set-up functions are known to need their level
        // detector; a module's own function has no pin to connect at all.
        if (feeding.isEmpty())
        {
            if (functionName.contains ("Compressor"))
                logError ("please connect the Level detect green output pin to the Compressor green input pin", (int) dspId);
            else if (functionName.contains ("Wah"))
                logError ("please connect the Level detect green output pin to the Wah green input pin", (int) dspId);
        }

        return orMissingVirtualSource (feeding);
    }

    if (isParamTypeCode_12_0_0 (type))
        return memorySymbol (Slot::wholeAddressSlot);

    // A low half placed in another region than its type's, by the
    // process's memory choice, is the low half placed for this call.
    if (isParamTypeCode_4_0_22 (type))
        return memorySymbol (generated[Slot::int24LowHalfSlot].isEmpty() ? Slot::lowHalfSlot : Slot::int24LowHalfSlot);

    if (isParamTypeCode_4_0_1 (type))
        return memorySymbol (Slot::highHalfSlot);

    if (isParamTypeCode_4_0_2 (type))
        return memorySymbol (Slot::lowHalfSlot);

    if (isParamTypeCode_4_0_20 (type))
        return memorySymbol (generated[Slot::int16LowHalfSlot].isEmpty() ? Slot::lowHalfSlot : Slot::int16LowHalfSlot);

    if (isParamClass21 (type))
        return getLiteralText (descriptor);

    if (isParamTypeCode_4_0_13to15 (type) || isTimeMsParamType (type))
    {
        if (isBiquad)
            return generated[Slot::bandCountSlot];

        const uint32_t count = node != nullptr ? node->getChannelCount() : 1;

        if (node != nullptr && (node->channelWord & GraphNode::delayCountFlag) != 0)
            return "0x" + eightHexDigits (toMemoryWords ((double) count * context.getSamplingRateKhz()));

        return juce::String (count);
    }

    if (isParamTypeCode_4_0_4 (type))
        return "0/*default*/";

    logInternalError ("unknown_parameter_LIBVAR", (int) dspId);
    return "unknown_parameter_LIBVAR";
}

void BuildProjectFile::writeRoutingCalls (const ModuleDefinition& module, const GraphNode& node, uint32_t dspId,
                                          GeneratedTexts generated, DspSourceTexts& texts) const
{
    if (module.secondModuleFunctions.isEmpty())
        return;

    const auto* definition = node.getProcessDefinition();
    const bool fromSps = definition != nullptr && definition->fromSps;

    for (int p = 0; p < node.getPinCount(); ++p)
    {
        const auto* pin = node.getPin (p);

        if (pin->isVirtualPin())
            continue;

        const int value = pin->bus;
        const auto pinName = getPinName (node, p);

        if (isMarker (value))
            logError ("missing connection for " + pinName, (int) dspId);

        // An input that reads a DSP output is routed by the output function.
        const bool routedAsOutput = ! pin->isInput() || isDspOutputValue (value);
        const auto* function = module.secondModuleFunctions[routedAsOutput ? 1 : 0];

        if (function == nullptr)
        {
            logInternalError ("no routing function for " + pinName, (int) dspId);
            continue;
        }

        texts.body << "\t" << juce::String (function->name) << "( " << generated[Slot::dspIdSlot] << ", " << pinName;

        if (fromSps)
            texts.body << ", ";
        else
            texts.body << "|" << generated[Slot::processIdSlot] << ", ";

        texts.body << getRoutingValueText (value) << " );\n";
    }
}

juce::String BuildProjectFile::getRoutingValueText (int value)
{
    if (value == notConnected)
        return "ROUTING_ERROR_NOT_CONNECTED";

    if (value == conflictDetected)
        return "ROUTING_ERROR_CONFLICT_DETECTED";

    const auto bits = (uint32_t) value;

    if ((bits & dspInputBit) != 0)
        return "PCS_DSP_IN | " + juce::String (bits & routingNumberMask);

    if ((bits & dspOutputBit) != 0)
        return "PCS_DSP_OUT | " + juce::String (bits & routingNumberMask);

    return "PCS_NODE | " + juce::String (value);
}

void BuildProjectFile::writeBiquadInitCalls (uint32_t dspId, GeneratedTexts generated, DspSourceTexts& texts,
                                             const GraphNode& node) const
{
    // The type array belongs to the biquad control, which a firmware built
    // without the NRPN control leaves out: the call goes with it.
    texts.body << DspSourceBlocks::nrpnControlGuardOpen << "\tinitBiquadExType( "
               << "biquad" << juce::String (dspId) << "Type" << juce::String (node.nrpn) << ", " << generated[Slot::bandCountSlot]
               << " );\n"
               << DspSourceBlocks::nrpnControlGuardClose;
}

void BuildProjectFile::writeCustomHookCalls (SourceStream& stream, uint32_t dspId, int hookIndex, const juce::String& arguments,
                                             const juce::String& comment)
{
    if (hookIndex < 0 || hookIndex >= (int) std::size (DspSourceBlocks::hookNames))
        return;

    const auto hook = DspSourceBlocks::hookNames[hookIndex] + juce::String (dspId);
    stream.writeLine ("#ifdef _" + hook);

    if (hookIndex < 2)
    {
        stream.writeLine (hook + "( " + arguments + " )" + ";" + comment);
    }
    else
    {
        stream.writeAndOpenBlock ("if ( " + hook + "( " + arguments + " )" + " )" + comment, true);
        stream.write ("return 1;");
        stream.closeBlock (true);
    }

    stream.writeLine ("#endif");
}

juce::String BuildProjectFile::writeHook (uint32_t dspId, int hookIndex, const juce::String& arguments,
                                          const juce::String& comment) const
{
    // The function body is composed at level 0 with the tabs written into
    // each line, so the hook's lines follow that level and stand in column 0.
    SourceWriter writer;
    writeCustomHookCalls (writer.getStream(), dspId, hookIndex, arguments, comment);
    return writer.getText();
}

juce::StringArray& BuildProjectFile::addHandlerName (uint32_t dspNumber, juce::StringArray& handlerNames, bool flag,
                                                     bool nrpnVariant)
{
    nodeCount = graph.getNumNodes();

    if (nodeCount == 0 || ! flag || dspNumber == 0)
        return handlerNames;

    // The dispatch table is indexed by DSP number - 1: missing DSPs leave
    // empty entries, so that every handler stands at its own DSP's place.
    const int index = (int) dspNumber - 1;

    while (handlerNames.size() < index)
        handlerNames.add ({});

    const auto name = "dsp" + juce::String (dspNumber) + (nrpnVariant ? "NrpnHandler" : "CommandHandler");

    if (handlerNames.size() == index)
        handlerNames.add (name);
    else
        handlerNames.set (index, name);

    return handlerNames;
}

juce::String BuildProjectFile::getLiteralText (const ParameterDescriptor& descriptor)
{
    juce::String literal;

    for (int i = 0; i < descriptor.length && descriptor.data != nullptr; ++i)
        literal += juce::String::charToString ((juce::juce_wchar) descriptor.data[i]);

    return literal;
}

//==============================================================================
// Control handlers and the NRPN list

void BuildProjectFile::writeNrpnHandler (const ModuleLibrary& library, uint32_t dspId, DspSourceTexts& texts,
                                         juce::StringArray& handlerNames)
{
    writeHandler (library, dspId, texts, handlerNames, true);
}

void BuildProjectFile::writeCommandHandler (const ModuleLibrary& library, uint32_t dspId, DspSourceTexts& texts,
                                            juce::StringArray& handlerNames)
{
    writeHandler (library, dspId, texts, handlerNames, false);
}

void BuildProjectFile::writeHandler (const ModuleLibrary& library, uint32_t dspId, DspSourceTexts& texts,
                                     juce::StringArray& handlerNames, bool nrpnVariant)
{
    addHandlerName (dspId, handlerNames, true, nrpnVariant);

    if (nodeCount == 0)
        return;

    ControlHandlerWriter writer (graph, library.getModuleOfDsp (dspId), dspId, texts.biquadCount);
    const auto handler = nrpnVariant ? writer.writeNrpnHandler() : writer.writeCommandHandler();
    texts.body = handler.handler;
    texts.declarations = handler.declarations;
}

void BuildProjectFile::writeNrpnListRows (const ModuleLibrary& library, uint32_t dspId, juce::String& rows)
{
    if (library.findDsp (dspId) == nullptr)
        return;

    NrpnListRows (graph, context, dspId).write (rows);
}
