#include "app/OutputLogWindow.h"

#include "app/ApplicationSettings.h"

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
    const auto state = settings.getValue (ApplicationSettings::logWindowStateKey);
    return state.isNotEmpty() && restoreWindowStateFromString (state);
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
