#pragma once

#include "editors/BusPanelTool.h"
#include "editors/GraphBusEditor.h"
#include "editors/TooltipBar.h"

#include <juce_gui_basics/juce_gui_basics.h>

class BusEditor;
class Design;
class DspEditorHost;

// The "Bus editor" tab: the scrolling bus editor, its tool panel at the
// right and the bar of messages at the foot.
class BusContainer : public juce::Component
{
public:
    static constexpr juce::uint32 scrollThumbColour = 0xFFE7E3DA;

    BusContainer (Design& design, DspEditorHost& host);
    ~BusContainer() override;

    GraphBusEditor& getGraphBusEditor() noexcept { return graphBusEditor; }
    BusEditor& getBusEditor() const noexcept { return graphBusEditor.getBusEditor(); }
    BusPanelTool& getPanelTool() noexcept { return panelTool; }
    TooltipBar& getTooltipBar() noexcept { return tooltipBar; }
    juce::Viewport& getViewport() noexcept { return viewport; }

    void resized() override;

private:
    BusPanelTool panelTool;
    TooltipBar tooltipBar;
    juce::Viewport viewport;
    GraphBusEditor graphBusEditor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BusContainer)
};
