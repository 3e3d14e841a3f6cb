#pragma once

#include "PanelMessage.h"
#include "hvif/HalvixInterface.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

class HvIfCallback;

// One item of a panel, in the order of the text: a value control (slider,
// slim fader, encoder, check box, drop-down list), a meter, or a placeholder
// for a graphic control this library does not draw. The value controls are
// also the control items the program reads a preset from.
class PanelControl : public HvIfControlItem
{
public:
    enum class Kind
    {
        slider,
        slimFader,
        encoder,
        checkBox,
        dropDown,
        meter,
        graphic
    };

    struct Option
    {
        juce::String text;
        uint32_t value = 0;
    };

    struct Tick
    {
        int position = 0;
        juce::String label;
    };

    PanelControl (Kind kind, const juce::String& keyword, const juce::String& name);

    HvIfControlItem* getNext() override { return next; }
    const char* getName() override { return utf8Name.c_str(); }
    uint32_t getValue() override { return value.load(); }

    Kind getKind() const noexcept { return kind; }
    bool hasValue() const noexcept { return kind != Kind::meter && kind != Kind::graphic; }
    const juce::String& getKeyword() const noexcept { return keyword; }
    const juce::String& getControlName() const noexcept { return name; }

    //==============================================================================
    // Attributes, keys in lower case; a later one replaces an earlier one.
    void setAttribute (const juce::String& key, const juce::String& text);
    juce::String getAttribute (const juce::String& key) const;
    bool hasAttribute (const juce::String& key) const;

    // A numeric attribute (which may be a formula), or the fallback.
    double getNumber (const juce::String& key, double fallback) const;

    // A numeric attribute as a whole number held to the range: the text may
    // ask for any number, one too large for an integer included.
    int getWholeNumber (const juce::String& key, int fallback, int lowest, int highest) const;

    // A number as a raw value: rounded and held to 0 ... 0xFFFFFFFF; what is
    // no number gives 0.
    static uint32_t toRawValue (double value) noexcept;

    // The value shown for a raw value: the "valscale=" formula with
    // "valprec=" decimals and the "valunit=" unit.
    juce::String getValueText (uint32_t rawValue) const;

    //==============================================================================
    // The raw range the control moves in, and its start value.
    uint32_t getMinimum() const noexcept { return minimum; }
    uint32_t getMaximum() const noexcept { return maximum; }
    uint32_t getDefault() const noexcept { return defaultValue; }

    // Takes the range and start value from the attributes; the options of a
    // drop-down list set its range.
    void settle();

    // Clamps a value into the control's range.
    uint32_t limit (uint32_t newValue) const noexcept;

    std::vector<Option>& getOptions() noexcept { return options; }
    const std::vector<Option>& getOptions() const noexcept { return options; }
    int indexOfOption (uint32_t optionValue) const;

    const std::vector<Tick>& getTicks() const noexcept { return ticks; }

    PanelMessage& getMessage() noexcept { return message; }
    const PanelMessage& getMessage() const noexcept { return message; }

    // Stores a value (clamped) without sending; the panel sends.
    void storeValue (uint32_t newValue) noexcept { value = limit (newValue); }

    // The meter's source, "buffer.field" of its "SysEx=" attribute.
    juce::String getMeterBuffer() const;
    juce::String getMeterField() const;

    // "Enable=Type1(PIOWXYZ)": the drop-down list whose chosen filter letter
    // enables this control, and the letters; empty when always enabled.
    juce::String getEnableSource() const;
    juce::String getEnableLetters() const;

    void setNext (PanelControl* item) noexcept { next = item; }

private:
    Kind kind;
    juce::String keyword, name;
    std::string utf8Name;
    std::map<juce::String, juce::String> attributes;
    std::vector<Option> options;
    std::vector<Tick> ticks;
    PanelMessage message;
    uint32_t minimum = 0, maximum = 127, defaultValue = 0;
    std::atomic<uint32_t> value{ 0 };
    PanelControl* next = nullptr;
};

//==============================================================================
// A group of items under a title, laid out in columns.
struct PanelBox
{
    juce::String title;
    int width = 0; // as the text asks; 0 for none
    std::vector<std::vector<PanelControl*>> columns{ 1 };
};

// A buffer the board's System Exclusive answers are stored in: named fields,
// each one byte of the answer (the last takes the rest, 7 bits a byte).
// Written on the MIDI-input thread, read on the message thread.
class PanelBuffer
{
public:
    PanelBuffer (const juce::String& name, const juce::StringArray& fieldNames, const std::vector<int>& initialValues);

    const juce::String& getName() const noexcept { return name; }
    int indexOfField (const juce::String& field) const;
    int getField (int index) const;
    void store (const uint8_t* data, int length);

private:
    juce::String name;
    juce::StringArray fields;
    std::vector<std::unique_ptr<std::atomic<int>>> values;
};

// "SYSEX[name] = F0h 00h 3Ah 7Eh ah BLOCK[VuValue] F7h": a System Exclusive
// message the panel takes from the board, its block stored in a buffer.
class PanelReceivePattern
{
public:
    bool parse (const juce::String& text, juce::String& problem);

    // The buffer of the block, when the message matches.
    bool match (const uint8_t* data, int length, const uint8_t*& block, int& blockLength) const;

    const juce::String& getBufferName() const noexcept { return bufferName; }

private:
    std::vector<uint8_t> head, tail;
    juce::String bufferName;
};

//==============================================================================
// A loaded panel description: its title, its items in text order, its boxes,
// buffers and receive patterns. Made by PanelScriptParser.
class PanelModel
{
public:
    static constexpr int maxItems = 2048;

    const juce::String& getTitle() const noexcept { return title; }
    void setTitle (const juce::String& newTitle) { title = newTitle; }

    std::vector<std::unique_ptr<PanelControl>>& getItems() noexcept { return items; }
    const std::vector<std::unique_ptr<PanelControl>>& getItems() const noexcept { return items; }

    std::vector<PanelBox>& getBoxes() noexcept { return boxes; }
    const std::vector<PanelBox>& getBoxes() const noexcept { return boxes; }

    // The first value control (none in a panel without one).
    PanelControl* getFirstValueControl() const noexcept;

    // The value control of that name (as the program registered it), or none.
    PanelControl* findControl (const juce::String& controlName) const;

    // Links the value controls in text order and settles every item.
    void finish();

    // Sets a control's value (clamped), and the value of every control that
    // sends the same message, and sends the message through the callback.
    void changeValue (PanelControl& control, uint32_t newValue, HvIfCallback* callback);

    // Whether the other control takes the value of the changed one: another
    // value control that sends the same message.
    static bool sharesValue (const PanelControl& changed, const PanelControl& other);

    //==============================================================================
    void addBuffer (std::unique_ptr<PanelBuffer> buffer);
    PanelBuffer* findBuffer (const juce::String& bufferName) const;
    void addReceivePattern (const PanelReceivePattern& pattern) { patterns.push_back (pattern); }

    // Stores the block of every pattern the message matches; false when none does.
    bool receiveSysEx (const uint8_t* data, int length);

private:
    juce::String title;
    std::vector<std::unique_ptr<PanelControl>> items;
    std::vector<PanelBox> boxes;
    std::vector<std::unique_ptr<PanelBuffer>> buffers;
    std::vector<PanelReceivePattern> patterns;
};
