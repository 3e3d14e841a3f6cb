#pragma once

#include "editors/Dialogs.h"

// The dialogs as the program shows them: JUCE's alert windows, file
// choosers, popup menus and the name dialog, each run modally.
class JuceDialogs : public Dialogs
{
public:
    void showMessage (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                      const juce::String& buttonText = {}) override;
    Answer askYesNoCancel (const juce::String& title, const juce::String& question) override;
    int askWithButtons (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                        const juce::StringArray& buttons) override;
    juce::File chooseFileToOpen (const juce::String& title, const juce::File& start, const juce::String& patterns) override;
    juce::File chooseFileToSave (const juce::String& title, const juce::File& start, const juce::String& patterns) override;
    juce::File chooseDirectory (const juce::String& title, const juce::File& start) override;
    bool askForName (const juce::String& title, const juce::String& initialName, juce::String& name) override;
    int showMenu (const juce::PopupMenu& menu, int standardItemHeight = 0) override;

    // The box askWithButtons shows, made but not shown; each button's result
    // is its index + 1. A text too tall for the screen keeps its first line
    // as the box's message and the rest scrolls in a read-only field beneath
    // it, so that the whole box fits the screen and no text runs over the
    // buttons.
    static std::unique_ptr<juce::AlertWindow> makeButtonBox (juce::MessageBoxIconType icon, const juce::String& title,
                                                             const juce::String& message, const juce::StringArray& buttons);
};
