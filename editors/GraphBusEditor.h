#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class BusEditor;
class BusPanelTool;
class Design;
class DspEditorHost;

// The surface the bus page scrolls over: it holds the bus editor of the
// design's bus graph, leaving a strip of 20 pixels at its foot. The bus
// graph itself is the design's, which outlives every page.
class GraphBusEditor : public juce::Component
{
public:
    static constexpr int footHeight = 20;

    GraphBusEditor (Design& design, DspEditorHost& host, BusPanelTool* panelTool);
    ~GraphBusEditor() override;

    BusEditor& getBusEditor() const noexcept { return *busEditor; }

    void resized() override;

private:
    std::unique_ptr<BusEditor> busEditor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GraphBusEditor)
};
