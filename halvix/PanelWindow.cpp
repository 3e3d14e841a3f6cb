#include "PanelWindow.h"

#include "HalvixPanel.h"
#include "PanelComponent.h"
#include "hvif/HvIfNativeWindow.h"

PanelWindow::PanelWindow (HalvixPanel& panel, HalvixPanelWindow& windowHandle)
    : juce::DocumentWindow (panel.getTitle(), juce::Colour (0xFF2B2B2B), juce::DocumentWindow::closeButton, false),
      handle (windowHandle), place (panel.getWindowPlace())
{
    auto content = std::make_unique<PanelComponent> (panel);
    const auto wanted = content->getPreferredBounds();
    auto viewport = std::make_unique<juce::Viewport>();
    viewport->setViewedComponent (content.release(), true);
    viewport->setScrollBarsShown (true, true, false, false);

    // The screen's working area bounds the window; the rest scrolls.
    auto limit = juce::Rectangle<int> (0, 0, 1200, 900);

    if (const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
        limit = display->userArea;

    const auto width = juce::jmin (wanted.getWidth() + viewport->getScrollBarThickness(), limit.getWidth() - 40);
    const auto height = juce::jmin (wanted.getHeight() + viewport->getScrollBarThickness(), limit.getHeight() - 80);
    viewport->setSize (width, height);

    setUsingNativeTitleBar (false);
    setContentOwned (viewport.release(), true);
    setResizable (true, false);
    setResizeLimits (200, 120, 4000, 4000);

    // In front of the program's window as JUCE sees it, and as the window
    // manager stacks it: the window belongs to the parent the program named.
    setAlwaysOnTop (true);
    addToDesktop();

    // Where the panel's last window stood, with its size while the controls
    // ask for the same.
    wantedSize = { getWidth(), getHeight() };

    if (place.isKnown())
    {
        if (place.wantedWidth == getWidth() && place.wantedHeight == getHeight())
            setBounds (place.x, place.y, place.width, place.height);
        else
            setTopLeftPosition (place.x, place.y);
    }
    else
    {
        centreWithSize (getWidth(), getHeight());
    }

    setVisible (true);
    HvIfNativeWindow::keepAboveParent (getWindowHandle(), handle.getNativeParent());
    toFront (true);
}

PanelWindow::~PanelWindow()
{
    place = { getX(), getY(), getWidth(), getHeight(), wantedSize.x, wantedSize.y };
}

void PanelWindow::closeButtonPressed()
{
    setVisible (false);

    // The program may close the handle in answer, which deletes this window:
    // nothing of it is touched after the report.
    auto& windowHandle = handle;
    windowHandle.reportClosedByUser();
}

void PanelWindow::bringToFront()
{
    setMinimised (false);
    setVisible (true);
    toFront (true);
}

std::unique_ptr<HalvixPanelWindow::View> PanelWindow::create (HalvixPanel& panel, HalvixPanelWindow& handle)
{
    // Without a screen the window has no view; its handle works all the same.
    if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() == nullptr)
        return nullptr;

    return std::make_unique<PanelWindow> (panel, handle);
}
