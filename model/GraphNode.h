#pragma once

#include "model/ProcessDefinition.h"
#include "model/ProcessPresetStore.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace juce
{
class Component;
}

// One pin of a graph node: a copy of an entry of its process definition's pin
// table. The input pins come first.
struct GraphPin
{
    juce::String name;
    uint8_t direction = 0; // set for an input pin
    uint8_t secondByte = 0;
    int bus = -1;
    uint32_t word = 0;
    uint32_t kind = ProcessPinEntry::vectorPin;

    bool isInput() const noexcept { return direction != 0; }
    bool isVectorPin() const noexcept { return kind == ProcessPinEntry::vectorPin; }
    bool isVirtualPin() const noexcept { return kind == ProcessPinEntry::virtualPin; }
};

// A node's place in its editor's view, as fractions of the view's size.
struct NodePosition
{
    double x = 0.0;
    double y = 0.0;
};

// One node of a GraphData: a DSP in the bus graph, or a process placed on a
// DSP. It holds everything about the node that the project file, the
// generators and the resource estimate read, so that they work with no
// editor open; the node's box only shows and edits it.
//
// The id, the box and the position belong to the graph, which keeps its nodes
// sorted by id and deletes boxes through its view hook: change them through
// GraphData.
class GraphNode
{
public:
    // The channel word ("NCount"): bits 0-27 the channel count, then flags.
    static constexpr uint32_t channelCountMask = 0x0FFFFFFF;
    static constexpr uint32_t delayCountFlag = 1u << 28;    // a delay-type count, shown in ms
    static constexpr uint32_t onePinPerSideFlag = 1u << 29; // one pin per side whatever the count
    static constexpr uint32_t inputsFollowCountFlag = 1u << 30;
    static constexpr uint32_t outputsFollowCountFlag = 1u << 31;

    // The memory choice: the id the box's memory combo shows, kept here by
    // the editor (the combo starts with nothing chosen) so that the resource
    // estimate can read it with no box alive.
    static constexpr int memoryChoiceNone = 0;
    static constexpr int memoryChoiceExternalRam = 1;
    static constexpr int memoryChoiceInternal16BitRam = 2;
    static constexpr int memoryChoiceInternal24BitRam = 3;

    // Takes the channel word, memory word, pin counts and pins from the
    // definition when there is one.
    GraphNode (uint32_t id, uint32_t nrpn, const juce::String& name, bool renumber, const ProcessDefinition* definition, double x,
               double y);

    GraphNode (const GraphNode&) = delete;
    GraphNode& operator= (const GraphNode&) = delete;

    uint32_t getId() const noexcept { return id; }
    NodePosition getPosition() const noexcept { return position; }

    // Each coordinate is kept within 0.0 to 1.0.
    void setPosition (double x, double y) noexcept;

    juce::Component* getBox() const noexcept { return box; }

    // Whether removing a node before this one lowers this one's id, so that
    // process ids stay 1, 2, 3 ... without gaps.
    bool shouldRenumber() const noexcept { return renumber; }

    // None for a DSP node.
    const ProcessDefinition* getProcessDefinition() const noexcept { return definition; }

    const juce::String& getName() const noexcept { return name; }
    void setName (const juce::String& newName) { name = newName; }

    int getPinCount() const noexcept { return (int) pins.size(); }
    int getInputPinCount() const noexcept;

    // None when i is outside the pin table.
    GraphPin* getPin (int i) noexcept;
    const GraphPin* getPin (int i) const noexcept;

    // Output pin n (counted after the input pins). Past the last pin the first
    // output pin answers when it is a vector pin, as one vector pin serves
    // every output number; else none.
    const GraphPin* getOutputPin (int n) const noexcept;

    // A delay-type count (bit 28, the process's or the word's) is a length
    // in ms, not a number of channels: such a process has one channel.
    bool hasDelayCount() const noexcept;

    // The channels a multi-channel control has (one line, one registered
    // control, one NRPN list row per channel): the count, or 1 for a delay.
    uint32_t getControlChannelCount() const noexcept { return hasDelayCount() ? 1u : getChannelCount(); }

    uint32_t getChannelCount() const noexcept { return channelWord & channelCountMask; }

    // Sets the memory word and the memory choice it gives: the word's memory
    // type for a process whose box offers the choice, none for any other.
    void setMemoryWord (uint32_t word) noexcept;

    //==============================================================================
    // Plain data that editors, actions and project loading set directly.
    uint32_t nrpn = 0;
    bool biquadMark = false;
    bool linkFlag = false;
    uint32_t linkId = 0;
    juce::String loadText;
    uint32_t channelWord = 1; // "NCount"
    uint32_t memoryWord = 1;  // "MemoryDelay"
    int memoryChoice = memoryChoiceNone;
    uint32_t inputCount = 0;  // "InNb"
    uint32_t outputCount = 0; // "OutNb"

    // One command word per control function, empty until the process editor
    // builds them; the count is the number of entries in use.
    std::vector<uint32_t> commandWords;
    std::vector<uint32_t> secondCommandWords;
    int commandWordCount = 0;

    // Command word layout: bits 0-7 the control's index, bits 8-15 the
    // node's NRPN number (together the control number), bits 16-29 the
    // function number, bit 30 a function with an index parameter, bit 31 a
    // parameter served through the biquad table.
    static constexpr uint32_t indexedFunctionBit = 0x4000;
    static constexpr uint32_t biquadParameterBit = 0x80000000u;
    static constexpr uint32_t maxControlIndex = 0xFF;
    static constexpr uint32_t maxFunctionNumber = 0x3FFF;

    // The words buildControlIds gives the node (below), and their count,
    // leaving the node's own as they are.
    std::vector<uint32_t> makeControlIds (int& wordCount) const;

    // Fills the first command-word table, one word per control function of
    // the definition, and zeroes the second. A function with no number (a
    // set-up or coefficient function) keeps 0. An index parameter takes a
    // run of indexes (31 for a biquad bank, else one per channel); a
    // function whose first index or number no longer fits its bits gets no
    // control (0) rather than a number that would belong to another control.
    // Nothing but a count of 0 for a node that is no process or has no
    // control function.
    void buildControlIds();

    // The channel word changed from oldWord: every command word that is the
    // one the old count gave takes the one the new count gives, while a word
    // the user typed (one the old count would not give) stays as typed, as
    // does the second table.
    void followCountInCommandWords (uint32_t oldWord);

    // The command words of another process of the same definition (the
    // source of a copy, numbered sourceNrpn), each control number that named
    // the source naming this node.
    void takeCommandWords (const std::vector<uint32_t>& words, const std::vector<uint32_t>& secondWords, int count,
                           uint32_t sourceNrpn);

    // The process's controls and values: the one home of what its control
    // panel shows, which the box, the panel, the saves, the presets and the
    // board messages all read and write.
    ProcessPresetStore presetStore;

    // Raised whenever the values are given from elsewhere than the process's
    // control panel (an undo, a global preset applied, the saved values read
    // again), so that a panel built shows them: its box compares the count
    // with the one it last showed.
    uint32_t valueReplacements = 0;

    // What the project file held for a process the module definitions lack:
    // its "Commands" element and its "Class" of saved values. Nothing can
    // read them without the definition, so they are written back as they
    // were read, and the process comes back whole once its module is there.
    std::shared_ptr<const juce::XmlElement> keptCommands, keptSavedValues;

private:
    friend class GraphData;

    uint32_t id = 0;
    NodePosition position;
    juce::Component* box = nullptr; // not owned
    bool renumber = false;
    juce::String name;
    std::vector<GraphPin> pins;
    const ProcessDefinition* definition = nullptr;
};
