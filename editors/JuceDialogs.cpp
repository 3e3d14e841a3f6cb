#include "editors/JuceDialogs.h"

#include "editors/GeneralDialog.h"

void JuceDialogs::showMessage (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                               const juce::String& buttonText)
{
    juce::AlertWindow::showMessageBox (icon, title, message, buttonText);
}

Dialogs::Answer JuceDialogs::askYesNoCancel (const juce::String& title, const juce::String& question)
{
    switch (
        juce::AlertWindow::showYesNoCancelBox (juce::MessageBoxIconType::QuestionIcon, title, question, "Yes", "No", "Cancel"))
    {
        case 1: return Answer::yes;
        case 2: return Answer::no;
        default: return Answer::cancel;
    }
}

bool JuceDialogs::askYesNo (const juce::String& title, const juce::String& question)
{
    return juce::AlertWindow::showOkCancelBox (juce::MessageBoxIconType::QuestionIcon, title, question, "Yes", "No");
}

juce::File JuceDialogs::chooseFileToOpen (const juce::String& title, const juce::File& start, const juce::String& patterns)
{
    juce::FileChooser chooser (title, start, patterns);
    return chooser.browseForFileToOpen() ? chooser.getResult() : juce::File();
}

juce::File JuceDialogs::chooseFileToSave (const juce::String& title, const juce::File& start, const juce::String& patterns)
{
    juce::FileChooser chooser (title, start, patterns);
    return chooser.browseForFileToSave (true) ? chooser.getResult() : juce::File();
}

juce::File JuceDialogs::chooseDirectory (const juce::String& title, const juce::File& start)
{
    juce::FileChooser chooser (title, start);
    return chooser.browseForDirectory() ? chooser.getResult() : juce::File();
}

bool JuceDialogs::askForName (const juce::String& title, const juce::String& initialName, juce::String& name)
{
    GeneralDialog dialog (initialName);

    juce::DialogWindow::LaunchOptions options;
    options.content.setNonOwned (&dialog);
    options.dialogTitle = title;
    options.dialogBackgroundColour = juce::Colour (0xFF383838);
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = false;
    options.resizable = false;

    if (options.runModal() != 1 || ! dialog.hasUsableName())
        return false;

    name = dialog.getEnteredName();
    return true;
}

int JuceDialogs::showMenu (const juce::PopupMenu& menu, int standardItemHeight)
{
    // Showing needs a menu of its own to run.
    auto shown = menu;
    return shown.show (0, 0, 0, standardItemHeight);
}
