#pragma once

#include "HalvixPanelWindow.h"

#include <juce_gui_basics/juce_gui_basics.h>

class HalvixPanel;

// A panel on screen: a window titled with the panel's title that shows its
// controls, scrolling when they need more room than the screen has. It
// stays in front of the window the program named as its parent, and opens
// where the last window of its panel object stood. Closing it hides it and
// tells the program, which then closes the window's handle.
class PanelWindow : public juce::DocumentWindow, public HalvixPanelWindow::View
{
public:
    PanelWindow (HalvixPanel& panel, HalvixPanelWindow& handle);
    ~PanelWindow() override;

    void closeButtonPressed() override;
    void bringToFront() override;

    // Made by the panel for each new window on the message thread.
    static std::unique_ptr<HalvixPanelWindow::View> create (HalvixPanel& panel, HalvixPanelWindow& handle);

private:
    HalvixPanelWindow& handle;
    HalvixWindowPlace& place; // the panel's, which outlives its windows
    juce::Point<int> wantedSize;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PanelWindow)
};
