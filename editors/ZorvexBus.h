#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>

class Zorvex;
class GraphEditorView;
class GraphNode;

// One input or output pin of a node box: where connections start and end,
// and where DSP inputs and outputs (in a DSP's process editor) or chip pins
// (in the bus editor) are given to a node's pin. The pin keeps no state of
// the design: it hands every press, drag and release to the editor that
// holds its box.
class ZorvexBus : public juce::Component, public juce::SettableTooltipClient
{
public:
    static constexpr int size = 12;
    static constexpr juce::uint32 mustConnectColour = 0xF071E299;
    static constexpr juce::uint32 pinColour = 0xFFFFA500;

    static constexpr const char* noDspOutputsMessage =
        "No DSP Outputs available. Please re-order them consecutively or update your process output number.";

    ZorvexBus (uint32_t nodeId, uint32_t pinIndex, bool isInput, bool inProcessEditor, Zorvex& owner);
    ~ZorvexBus() override;

    uint32_t getNodeId() const noexcept { return nodeId; }
    uint32_t getPinIndex() const noexcept { return pinIndex; }
    bool isInput() const noexcept { return input; }
    bool isInProcessEditor() const noexcept { return inProcessEditor; }
    bool mustConnect() const noexcept { return mustConnectFlag; }
    bool isHovered() const noexcept { return hovered; }
    Zorvex& getBox() const noexcept { return box; }

    // The box's node follows the graph's renumbering.
    void setNodeId (uint32_t newId);
    void updateTooltip();

    // A pin that must be wired to another green pin (a virtual pin).
    void markMustConnect();

    // The mode of the editor's tool: 0 connector, 1 audio input, 2 audio
    // output, 3 internal bus.
    int getToolMode() const;

    // Whether the name the tool offers fits this pin: an internal bus fits
    // either side, an input or output name only a pin of that side.
    bool acceptsToolName() const;

    // The pin's menu; with the design locked there is none (empty).
    juce::PopupMenu buildMenu() const;
    void handleMenuResult (int itemId);

    // The chip pin name of an item of the bus editor's menu: 1 to 16 the
    // audio inputs ("DAAD0L" ... "DAAD7R") or outputs ("DABD0L" ...), 17 to
    // 32 the internal buses ("IBUS0" ... "IBUSF"); empty otherwise.
    static juce::String getChipPinName (int itemId, bool input);

    // The DSP inputs or outputs a process pin's menu lists: the module's
    // count, never more than the eight a DSP has.
    int getDspIoCount() const;

    void paint (juce::Graphics& g) override;
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    void showMenuOnRelease();
    GraphEditorView* getEditor() const;
    const GraphNode* getNode() const;

    uint32_t pinIndex;
    bool input;
    uint32_t nodeId;
    Zorvex& box;
    bool mustConnectFlag = false;
    bool hovered = false;
    bool inProcessEditor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZorvexBus)
};
