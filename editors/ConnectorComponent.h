#pragma once

#include "model/ProcessGraphEdits.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>

class GraphData;
class GraphEditorView;

// One connection of a graph drawn as a curve from an output pin to an input
// pin, with an arrowhead at its middle; also the rubber band with one loose
// end while a connection is being drawn. Its ends are node ids and pin
// numbers, looked up in the editor's boxes whenever it is laid out, so it
// needs nothing but the graph and its editor.
class ConnectorComponent : public juce::Component, public juce::SettableTooltipClient
{
public:
    static constexpr juce::uint32 defaultColour = 0xFFFFA500;
    static constexpr juce::uint32 selectedColour = 0xFFFFFF00;
    static constexpr juce::uint32 mustConnectColour = 0xF071E299;
    static constexpr float endClearance = 7.0f;

    ConnectorComponent (GraphData& graph, GraphEditorView& editor);
    ~ConnectorComponent() override;

    uint32_t getSourceNode() const noexcept { return sourceNode; }
    uint32_t getSourcePin() const noexcept { return sourcePin; }
    uint32_t getDestNode() const noexcept { return destNode; }
    uint32_t getDestPin() const noexcept { return destPin; }

    // Store an end and, when it changed, lay the curve out again.
    void setSource (uint32_t nodeId, uint32_t pin);
    void setDestination (uint32_t nodeId, uint32_t pin);

    // The loose end while dragging, in editor coordinates.
    void setStartPoint (float x, float y);
    void setEndPoint (float x, float y);
    juce::Point<float> getStartPoint() const noexcept { return startPoint; }
    juce::Point<float> getEndPoint() const noexcept { return endPoint; }

    // Both ends from the boxes' pins; nothing changes when no box moved.
    void updateGeometry();
    void updateDescription();

    void setInProcessEditor (bool isIn) noexcept { inProcessEditor = isIn; }
    bool isInProcessEditor() const noexcept { return inProcessEditor; }
    void setMustConnect (bool must);
    bool mustConnect() const noexcept { return mustConnectFlag; }
    void setSelected (bool shouldBeSelected);
    bool isSelected() const noexcept { return selected; }
    bool isDragging() const noexcept { return dragging; }

    // The colour the curve is filled with.
    juce::Colour getDrawnColour() const noexcept;

    // The bounds of a curve between two points: the rectangle they span,
    // grown by 4 on each side.
    static juce::Rectangle<int> boundsFor (juce::Point<float> a, juce::Point<float> b) noexcept;

    // The direction the arrowhead points, in radians.
    static float arrowAngle (juce::Point<float> from, juce::Point<float> to) noexcept;

    juce::PopupMenu buildMenu() const;
    void handleMenuResult (int itemId);

    void paint (juce::Graphics& g) override;
    void resized() override;
    bool hitTest (int x, int y) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

    // The copy of one connection on the clipboard, recorded at its first
    // perform by the NRPN numbers of its two processes. Its undo connects
    // the copies that the same paste made of those processes (found by their
    // link ids) in the paste target, as an insertion on its edit history;
    // without both copies it connects nothing, and returns true all the same.
    class CopyAction : public juce::UndoableAction
    {
    public:
        CopyAction (GraphData& graph, const GraphConnection& connection);
        bool perform() override;
        bool undo() override;

        bool hasCopy() const noexcept { return recorded; }
        const ProcessGraphEdits::KeptConnection& getCopy() const noexcept { return kept; }

    private:
        GraphData* source;
        uint32_t sourceNode, sourcePin, destNode, destPin;
        uint8_t flag;
        bool recorded = false;
        ProcessGraphEdits::KeptConnection kept;
    };

private:
    void updateBounds();
    void buildPaths();

    uint32_t sourceNode = 0, destNode = 0, sourcePin = 0, destPin = 0;
    juce::Point<float> startPoint, endPoint;
    juce::Path linePath, hitPath;
    bool dragging = false;
    GraphData& graph;
    GraphEditorView& editor;
    juce::Colour colour{ defaultColour };
    bool inProcessEditor = false;
    bool mustConnectFlag = false;
    bool selected = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ConnectorComponent)
};
