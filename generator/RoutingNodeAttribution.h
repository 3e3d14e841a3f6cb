#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

class GenerationContext;
class GraphData;
class GraphNode;
class ModuleDefinition;
class ModuleLibrary;
class RoutingNodeNumbers;
struct GraphBusPin;
struct GraphConnection;
struct GraphPin;
struct ProcessInstanceEntry;

// Gives every pin of one DSP's processes its routing value: the signal buffer
// (routing node) an output writes and its inputs read, or the DSP input or
// output a pin is attached to. The values are kept in the pins of the DSP's
// graph (the pin's bus word, its second byte as the assigned flag) until the
// next generation resets them.
//
// The rule, step by step:
//   1. put the processes in signal-flow order;
//   2. reset every pin to "not connected";
//   3. give the pins attached to a DSP input or output that number;
//   4. number the nodes: first the runs of the vector inputs that follow the
//      channel count (with the outputs feeding them writing into the run),
//      then every output in process order, its destinations reading it;
//   5. check every connection: both ends must read one node, else a vector
//      input may take the run its sources agree on, and the rest is logged
//      as a conflict (with the Add2 hint for a "MixN" destination);
//   6. check that the DSP pins on a vector pin run consecutively;
//   7. check, channel by channel, that every routing node an input reads is
//      written by exactly one output, of a process connected to it (a mono
//      output into a stereo input leaves the second channel unwritten).
// Where it departs from the steps, and why:
//   - a DSP pin's number is read from its name, and a number beyond the
//     module's DSP inputs or outputs routes nowhere (it names no real pin);
//   - a marker ("not connected", "conflict") never has a channel added to
//     it: marker plus channel would name a real buffer and let two outputs
//     silently share it;
//   - only signal connections count: a virtual connection hands over a
//     process reference, not a buffer;
//   - node numbers are handed out so that no two output channels ever write
//     one node, and never reach the DSP-input bit;
//   - step 5's distance walk is replaced by what it means to check: an input
//     channel fed by two sources is a conflict, and a vector input's sources
//     must each sit at their channel's place in one run;
//   - steps 5 and 6 report once per input pin and once per vector side,
//     not once per member of a disagreeing pair.
class RoutingNodeAttribution
{
public:
    // The routing value of a process pin.
    static constexpr int notConnected = -1;
    static constexpr int conflictDetected = -2;
    static constexpr uint32_t dspInputBit = 0x40000000;
    static constexpr uint32_t dspOutputBit = 0x80000000;
    static constexpr uint32_t routingNumberMask = 0x3FFFFFFF;

    using ProcessOrder = std::vector<const ProcessInstanceEntry*>;

    // The context names the boxes in the messages.
    RoutingNodeAttribution (GraphData& dspGraph, const GenerationContext& generationContext);

    // Fills order with the DSP's processes in signal-flow order and gives
    // every pin of every process its routing value; conflicts, non-consecutive
    // vector DSP pins and input channels that no connected output writes are
    // logged against the DSP. Nothing happens for a DSP without processes.
    void assignRoutingNodes (const ModuleLibrary& library, uint32_t dspId, ProcessOrder& order);

    // Checks that every input channel is fed by one source and that both ends
    // of every signal connection read the same routing node, mending a vector
    // input's run where its sources agree, and logs the rest as conflicts.
    // The module tells which DSP inputs exist. Returns true.
    bool reportNodeConflict (uint32_t dspId, const ModuleDefinition* module);

    // For the connection at the index, whose ends disagree: the run start its
    // destination's vector input should take (false), or a conflict (true;
    // outValue is then conflictDetected).
    bool assignRoutingNodesFrom (int connectionIndex, int& outValue) const;

    // The channels a vector side (inputs or outputs) carries: the node's
    // count when the side follows it, else the side's count less its virtual
    // pins, which carry no signal; at least 1.
    static uint32_t getSideWidth (const GraphNode& node, bool inputs);

    // "dsp" + N + "pcs[" + nrpn + "]" of the process feeding one of the
    // node's virtual input pins (the last such pin); empty when none does.
    juce::String writePcsList (const GraphNode& node, const ProcessOrder& order, uint32_t dspNumber) const;

private:
    void resetPins();
    void assignDspInputsAndOutputs (const ModuleDefinition* module);
    bool isTakenDspPin (const GraphBusPin& busPin, const ModuleDefinition* module) const;
    void assignVectorInputRuns (const std::vector<GraphNode*>& ordered, RoutingNodeNumbers& nodes);
    void assignOutputNodes (const std::vector<GraphNode*>& ordered, RoutingNodeNumbers& nodes);
    int takeOutputNodes (GraphNode& destination, uint32_t destinationChannel, uint32_t sourceChannel, uint32_t width,
                         RoutingNodeNumbers& nodes);
    using InputFeeds = std::map<std::pair<uint32_t, uint32_t>, std::set<std::pair<int64_t, int64_t>>>;
    InputFeeds collectInputFeeds (const ModuleDefinition* module) const;
    void feedDestination (GraphNode& destination, uint32_t destinationChannel, int signal);
    void checkVectorDspPins (uint32_t dspId);
    void logConflict (const GraphConnection& connection, uint32_t dspId) const;
    void checkChannelsRead (uint32_t dspId, const std::vector<GraphNode*>& ordered) const;
    void logUnwrittenChannels (const GraphNode& process, const GraphPin& pin, int64_t first, int64_t end,
                               bool writtenSeveralTimes, uint32_t dspId) const;

    bool isSignalConnection (const GraphConnection& connection) const;
    // A signal connection into the node: into that channel, from that source,
    // when they are given.
    bool hasSignalInto (const GraphNode& node, std::optional<uint32_t> pin, const GraphNode* source = nullptr) const;
    int getSourceValue (const GraphConnection& connection) const;
    int getDestinationValue (const GraphConnection& connection) const;
    GraphPin* getDestinationPin (const GraphConnection& connection) const;

    GraphData& graph;
    const GenerationContext& context;
};
