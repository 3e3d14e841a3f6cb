#pragma once

#include "model/GraphNode.h"

#include <cstdint>

class ModuleDefinition;

// What a process node's channel word ("NCount") means for its pins, its
// count slider and its load figure. The word and the pin flags of its
// definition share one layout: bits 0-27 the count, bit 28 a delay length
// shown in ms, bit 29 one pin per side whatever the count, bit 30 the inputs
// follow the count, bit 31 the outputs follow it. A definition whose flag
// word has any of the bits in fixedPinCountMask keeps its pin counts.
//
// The node box, its count action and the tests share these, so that the
// pins shown, the pins removed with their wires and the counts the
// generator reads always agree.
class NodeChannelRules
{
public:
    static constexpr uint32_t fixedPinCountMask = 0x1D;
    static constexpr uint32_t flagMask = 0xF0000000u;

    struct PinCounts
    {
        int inputs = 0;
        int outputs = 0;

        bool operator== (const PinCounts& other) const noexcept { return inputs == other.inputs && outputs == other.outputs; }
    };

    struct Range
    {
        int minimum = 1;
        int maximum = 8;
    };

    // The definition's flag word (1 without a definition).
    static uint32_t getPinFlags (const GraphNode& node) noexcept;

    // The pins a process box shows for the node with that channel word.
    static PinCounts getPinCounts (const GraphNode& node, uint32_t channelWord) noexcept;
    static PinCounts getPinCounts (const GraphNode& node) noexcept { return getPinCounts (node, node.channelWord); }

    // The word the count slider makes of a value: the node's flags kept.
    static uint32_t makeChannelWord (uint32_t oldWord, int value) noexcept;

    // The input count (inputs follow) or output count (outputs follow) takes
    // the count of the word, unless the definition keeps its pin counts.
    static void followCount (GraphNode& node, uint32_t channelWord) noexcept;

    // The slider's range for the node's process; a delay in whole seconds
    // ("(s)Delay") depends on the sampling rate in kHz, and a rate of 0 or
    // less gives the plain delay range.
    static Range getSliderRange (const GraphNode& node, double samplingRateKhz) noexcept;

    // The cycles the process costs per sample with that channel word.
    static int64_t getProcessCycles (const ProcessDefinition& definition, uint32_t channelWord) noexcept;

    // The load of the process in percent of what the module leaves at the
    // rate position, with two decimals and "%". A module that leaves nothing
    // reads as full (or as 0 when the process costs nothing).
    static juce::String makeLoadText (const ModuleDefinition* module, const ProcessDefinition* definition, uint32_t channelWord,
                                      int ratePosition);
};
