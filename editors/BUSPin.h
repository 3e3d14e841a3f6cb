#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>

class GraphEditorView;
struct GraphBusPin;

// The label of one bus pin: a chip pin name on a DSP pin in the bus editor,
// or a DSP input or output on a process pin in a DSP editor, drawn beside
// the pin (left of an input, right of an output). Its editor makes, moves
// and deletes it in its synchronisation, and sets it up again from its
// record there, so that it follows the graph's renumbering; the label only
// hands its menu and its release to that editor.
class BUSPin : public juce::Component, public juce::SettableTooltipClient
{
public:
    static constexpr int width = 48;
    static constexpr int height = 16;
    static constexpr juce::uint32 fillColour = 0xFFFFFFF0;

    enum MenuItem
    {
        deleteItem = 1
    };

    explicit BUSPin (GraphEditorView& editor);
    ~BUSPin() override;

    // Stores the four fields of the record it shows, derives the number and
    // places the label.
    void setup (uint32_t nodeId, uint32_t pinIndex, uint8_t direction, const juce::String& name);
    bool shows (const GraphBusPin& busPin) const noexcept;

    uint32_t getNodeId() const noexcept { return nodeId; }
    uint32_t getPinIndex() const noexcept { return pinIndex; }
    bool isInput() const noexcept { return direction != 0; }
    uint8_t getDirection() const noexcept { return direction; }
    const juce::String& getPinName() const noexcept { return name; }
    uint32_t getNumber() const noexcept { return number; }
    bool isInProcessEditor() const noexcept;

    // The hexadecimal value after "DSPIN", "DSPOUT" or "IBUS" (in any case;
    // other characters skipped), or of the whole name without such a prefix.
    static uint32_t parseNumber (const juce::String& name);

    // The label's top left for an anchor (the pin's centre): wholly left of
    // an input pin, right of an output pin.
    static juce::Point<int> placeFor (juce::Point<float> anchor, bool input);

    // Takes the anchor from the box of its node again; lays out and
    // repaints when it moved.
    void updatePosition();
    juce::Point<float> getAnchor() const;

    // "Delete BusPin"; none (empty) while the design is locked.
    juce::PopupMenu buildMenu() const;
    void handleMenuResult (int itemId);

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    void showMenu();

    GraphEditorView& editor;
    uint32_t nodeId = 0, pinIndex = 0;
    juce::String name;
    uint8_t direction = 0;
    uint32_t number = 0;
    juce::Point<float> defaultAnchor, lastAnchor;
    juce::Font font{ 10.0f, juce::Font::bold };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BUSPin)
};
