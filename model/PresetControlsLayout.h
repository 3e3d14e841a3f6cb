#pragma once

#include "model/PresetNumberReader.h"
#include "model/ProcessPresetStore.h"
#include "model/StringKey.h"

#include <juce_core/juce_core.h>

#include <map>
#include <memory>
#include <vector>

// How the controls of one preset store are numbered in a preset file: the
// "Controls" element names them ("fixedName1", "fixedNrpn1" ... for the
// fixed controls, "Name1", "Nrpn1" ... for the secondary ones) and each
// "List" gives their values under the same numbers ("fixedValue1" ...,
// "Value1" ...). Values are matched to controls by name through this layout,
// never by position, so a file whose control order differs still reads right.
class PresetControlsLayout
{
public:
    static constexpr const char* delayAttribute = "delay";
    static constexpr const char* delayCountAttribute = "delayCount";

    struct Slot
    {
        juce::String name;
        uint32_t nrpn = 0;
        bool fixed = false;
        int number = 0;    // appended to the attribute names, counted from 1
        int position = -1; // the control's position in its store; -1 for a file's control
    };

    PresetControlsLayout() = default;

    // The fixed controls in their registration order, then the secondary
    // ones; a registered position that holds no control keeps its number
    // unused. Controls in neither list follow as secondary controls, so that
    // no value is lost.
    static PresetControlsLayout fromStore (const ProcessPresetStore& store);

    // Every named control of a file's "Controls" element.
    static PresetControlsLayout fromElement (const juce::XmlElement& controls, PresetNumberReader& reader);

    const std::vector<Slot>& getSlots() const noexcept { return slots; }

    // The first control of that name, or none.
    const Slot* findByName (const juce::String& name) const;

    // The index of the slot whose value a "List" attribute of that name
    // gives ("fixedValue" or "Value" and the slot's number), or -1.
    int findValueSlot (const juce::String& attributeName) const;

    // The highest number in use among the fixed controls, and that plus the
    // highest among the secondary ones ("NumberOfFixedControls" and
    // "NumberOfControls", the counts when no number is left unused).
    int getFixedNumberCount() const noexcept { return fixedNumbers; }
    int getControlNumberCount() const noexcept { return fixedNumbers + secondaryNumbers; }

    bool hasDelay() const noexcept { return delay; }

    // Sets the attributes of a "Controls" element for this layout.
    void writeControls (juce::XmlElement& controls) const;

    // A "List" element holding the preset's values; a control that the
    // preset has no value for is written as 0. Its "delayCount" is the
    // preset's value of the delay control, or without one (0) the store's
    // delay count.
    std::unique_ptr<juce::XmlElement> makeList (const PresetRecord& preset) const;

    // The same list numbered for this layout: each value is taken from the
    // old list under the number its control had in the old layout; a control
    // the old list did not hold is left out (it reads as 0).
    std::unique_ptr<juce::XmlElement> renumberList (const juce::XmlElement& list, const PresetControlsLayout& oldLayout) const;

    // The names of a control's attributes. Those of the numbers a store can
    // hold are made once: JUCE finds every name it is given in one pool of
    // all the names it knows, and a save gives it hundreds of thousands.
    static juce::Identifier nameAttribute (bool fixed, int number);
    static juce::Identifier nrpnAttribute (bool fixed, int number);
    static juce::Identifier valueAttribute (bool fixed, int number);

private:
    void addSlot (Slot slot);

    std::vector<Slot> slots;
    StringKeyMap<size_t> slotByName;
    std::map<std::pair<bool, int>, size_t> slotByNumber; // (fixed, number)
    int fixedNumbers = 0;
    int secondaryNumbers = 0;
    bool delay = false;
    uint32_t delayCount = 0;
};
