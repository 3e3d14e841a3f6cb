#include "app/OutputLogWindow.h"

#include "app/ApplicationSettings.h"
#include "app/WindowPlacement.h"

OutputLogWindow::OutputLogWindow (const juce::String& title, juce::Colour background, juce::PropertiesFile& settingsFile)
    : juce::DocumentWindow (title, background, juce::DocumentWindow::closeButton), settings (settingsFile)
{
    setUsingNativeTitleBar (false);
    setContentNonOwned (&outputLog, true);
    setResizable (true, false);
}

OutputLogWindow::~OutputLogWindow()
{
    clearContentComponent();
}

bool OutputLogWindow::restoreStoredState()
{
    return WindowPlacement::restore (*this, settings.getValue (ApplicationSettings::logWindowStateKey));
}

void OutputLogWindow::closeButtonPressed()
{
    settings.setValue (ApplicationSettings::logWindowStateKey, getWindowStateAsString());
    setVisible (false);
}

bool OutputLogWindow::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress ('w', juce::ModifierKeys::ctrlModifier, 0))
        closeButtonPressed();

    // The log window keeps every key from the main window.
    return true;
}
