#include "app/HelpWindow.h"

#include "app/Apropos.h"

HelpWindow::HelpWindow (const juce::String& title, juce::Colour background)
    : juce::DocumentWindow (title, background, juce::DocumentWindow::closeButton, true)
{
    setUsingNativeTitleBar (false);
    setContentOwned (new Apropos(), false);
    getContentComponent()->setTopLeftPosition (0, 0);
    getContentComponent()->toFront (false);
}

HelpWindow::~HelpWindow()
{
    clearContentComponent();
}

Apropos& HelpWindow::getApropos() noexcept
{
    return *static_cast<Apropos*> (getContentComponent());
}

void HelpWindow::closeButtonPressed()
{
    setVisible (false);
}
