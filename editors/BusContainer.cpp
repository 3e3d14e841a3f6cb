#include "editors/BusContainer.h"

#include "editors/BusEditor.h"

BusContainer::BusContainer (Design& design, DspEditorHost& host) : graphBusEditor (design, host, &panelTool)
{
    setName ("BusContainer");
    setOpaque (false);

    addAndMakeVisible (panelTool);
    addAndMakeVisible (tooltipBar);

    viewport.getVerticalScrollBar().setColour (juce::ScrollBar::thumbColourId, juce::Colour (scrollThumbColour));
    viewport.getHorizontalScrollBar().setColour (juce::ScrollBar::thumbColourId, juce::Colour (scrollThumbColour));
    viewport.setViewedComponent (&graphBusEditor, false);
    addAndMakeVisible (viewport);

    graphBusEditor.getBusEditor().setTooltipBar (&tooltipBar);
}

BusContainer::~BusContainer()
{
    viewport.setViewedComponent (nullptr, false);
}

void BusContainer::resized()
{
    const int w = getWidth();
    const int h = getHeight();

    viewport.setBounds (9, 9, juce::jmax (0, w - 280), juce::jmax (0, h - 38));
    graphBusEditor.setSize ((int) (1.5 * w), (int) (1.5 * h));
    panelTool.setBounds (w - 271, 9, BusPanelTool::panelWidth, juce::jmax (0, h - 38));
    tooltipBar.setBounds (0, h - 20, w, 20);
}
