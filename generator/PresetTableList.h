#pragma once

#include <juce_core/juce_core.h>

class PresetControlsLayout;

#include <cstdint>
#include <vector>

// One preset table of a preset document, as the preset sources write it: a
// count group of a process class with the controls its presets hold and the
// values of each preset, read and checked.
struct PresetTableSource
{
    struct Control
    {
        juce::String name;
        uint32_t number = 0;
        bool fixed = false;
        bool delay = false; // the fixed delay control, which carries a delay's count
        int fileNumber = 0; // the number its attributes carry in the file

        // The control's word in a control table: the low 16 bits of its
        // number (the NRPN in bits 0-7, the value format in bits 14-15), or
        // 0xF00D for the delay control.
        uint32_t getWord() const noexcept;

        // A value of format 2 or 3 is 32 bits wide and takes two words of a
        // preset row; the delay control always takes one.
        bool isDoubleWord() const noexcept;
    };

    struct Preset
    {
        juce::String name;
        std::vector<uint32_t> values; // one per control, in control order
    };

    static constexpr uint32_t delayWord = 0xF00D;

    juce::String className;
    int count = 1;
    int tableId = -1;
    std::vector<Control> controls;
    std::vector<Preset> presets;

    // The size of one preset row in 16-bit words.
    int getRowWords() const noexcept;
};

// Reads the preset tables of a preset document: the process presets from
// the "Class" elements under the root, the global presets' stored stores
// from those under "PresetList". Each count group with a "Preset" element,
// at least one control and at least one preset makes a table, its size
// taken from the controls and "List" elements it really holds, never from
// the counts it claims. A value that is missing or not a number is taken as
// 0 and reported in the log.
class PresetTableList
{
public:
    static std::vector<PresetTableSource> read (const juce::XmlElement& root, bool global);

    // Names the fixed delay control in each "Controls" element that
    // announces it ("delay") without naming it, as the next fixed control:
    // its value is then each list's "delayCount". True when the document
    // changed.
    static bool addMissingDelayControls (juce::XmlElement& root, bool global);

    // The "Class" elements the tables come from.
    static juce::Array<juce::XmlElement*> getClassElements (const juce::XmlElement& root, bool global);

private:
    static void readCountGroup (const juce::String& className, const juce::XmlElement& group,
                                std::vector<PresetTableSource>& tables);
    static void readPresets (const juce::XmlElement& lists, const PresetControlsLayout& layout, PresetTableSource& table);
};
