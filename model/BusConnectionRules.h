#pragma once

#include "model/ConnectionRules.h"
#include "model/GraphData.h"

// The rules the bus graph sets on its wiring: whether a connection dragged
// between two DSP pins may be made, and whether a chip pin name ("DAAD0L" ...
// "DAAD7R" on DSP inputs, "DABD0L" ... "DABD7R" on DSP outputs, "IBUS0" ...
// "IBUSF" on either) may be given to a DSP pin. Like the process graph's
// rules they read the graph only and change nothing; the bus editor makes
// what they accept.
//
// Each DSP pin is one cell of the chip's routing table: an input is fed once,
// by a DSP output or by one chip name, and an output feeds at most one chip
// name; a chip output is fed by one DSP output. What would break that is
// refused here with a message, as the routing table could hold only one of
// the two and the other would be lost without a word.
class BusConnectionRules
{
public:
    using Verdict = ConnectionRules::Verdict;
    using Pin = ConnectionRules::Pin;
    using DragStart = ConnectionRules::DragStart;
    using Ends = ConnectionRules::Ends;

    static constexpr const char* inputFedMessage = "Connection conflict: use internal bus instead.";

    // The "Add DSP" limits a chip offers.
    static constexpr int smallChipCapacity = 4;
    static constexpr int mediumChipCapacity = 8;
    static constexpr int largeChipCapacity = 16;

    explicit BusConnectionRules (const GraphData& busGraph) noexcept;

    // A drag that began at `start` (an output gives the source, an input the
    // destination) ends on `dropped`. The resolved ends are written to
    // `ends` when the directions fit.
    Verdict checkConnectionDrop (const DragStart& start, const Pin& dropped, Ends* ends = nullptr) const;

    // The chip pin name `name` given to a DSP pin.
    Verdict checkChipPinName (const Pin& pin, const juce::String& name) const;

    // True for a chip pin name that fits that side of a DSP: audio inputs
    // on inputs, audio outputs on outputs, internal buses on both.
    static bool isChipPinNameFor (const juce::String& name, bool input);

    // The DSPs a chip holds: the number its name ends in ("7316" holds 16).
    static int getChipCapacity (const juce::String& chipText);

    // "DSP#2 Input0".
    static juce::String describePin (const Pin& pin);

private:
    // The first bus pin on that DSP pin, or none.
    const GraphBusPin* findNameOn (const Pin& pin) const;
    const GraphConnection* findFeed (uint32_t nodeId, uint32_t pin) const;

    const GraphData& graph;
};
