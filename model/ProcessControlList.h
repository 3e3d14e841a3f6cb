#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <map>
#include <vector>

// The value controls of one process, as its control panel lists them, and
// the one keeper of the two rules that the panel, the process's preset
// store, the preset files and the board messages all rely on:
// - A name stands for one parameter. A parameter is known by the number a
//   control is registered under (its control index and message form, which
//   the board message carries): controls registered under one number send
//   the same message and are one parameter, with one stored value, kept
//   under the name it got first. A control that sends another message under
//   a name already given is given a name of its own, "<name> (2)" and so on.
// - A process holds at most 255 controls, the fixed delay control of a
//   delay-type process among them (a preset file and the generated tables
//   count them in a byte). A further control is refused, and named among
//   the refused ones for the caller to report.
class ProcessControlList
{
public:
    static constexpr int maxControls = 255;

    // What a control's value may be: its range, and the value's units where
    // they follow the node (a delay's time, counted in memory words per
    // millisecond): 0 where they do not.
    struct Range
    {
        uint32_t minimum = 0;
        uint32_t maximum = 0xFFFFFFFFu;
        double unitsPerQuantity = 0.0;
    };

    struct Control
    {
        juce::String name;   // the name its value is kept and read under
        uint32_t number = 0; // the number it is registered under
        uint32_t defaultValue = 0;
        Range range;
    };

    // What a line of the panel stands for: the control's index (-1 when it
    // was refused), whether it is new to the list, and the name the line must
    // give it, which differs from the one asked for when that stands for
    // another parameter.
    struct Entry
    {
        int index = -1;
        bool isNew = false;
        juce::String name;
    };

    // A delay-type process keeps a place for its fixed delay control.
    explicit ProcessControlList (bool keepsDelayControl = false);

    Entry add (const juce::String& name, uint32_t number, uint32_t defaultValue);
    Entry add (const juce::String& name, uint32_t number, uint32_t defaultValue, const Range& range);

    int size() const noexcept { return (int) controls.size(); }

    // The control a line of that name stands for (also a line whose number
    // made it one with another control); -1 for a name no line gave.
    int indexOf (const juce::String& name) const;

    int getCapacity() const noexcept { return capacity; }
    const Control& operator[] (int index) const { return controls[(size_t) index]; }

    // The names of the controls refused for want of room, in order.
    const juce::StringArray& getRefused() const noexcept { return refused; }

    // The text that tells the user which controls a process had no room for;
    // empty when none was refused.
    juce::String describeRefused (const juce::String& processName) const;

    // The name a control was given in place of this one, when it is such a
    // name: "Q1" for "Q1 (2)"; empty otherwise.
    static juce::String getNameItReplaces (const juce::String& name);

    // A name as it may stand in the panel's text: no line breaks and none of
    // the characters that end a name or a bracket.
    static juce::String makeSafeName (const juce::String& name);

private:
    juce::String makeFreeName (const juce::String& name) const;

    std::vector<Control> controls;
    std::map<juce::String, size_t> byName;
    std::map<uint32_t, size_t> byNumber;
    juce::StringArray refused;
    int capacity = maxControls;
};
