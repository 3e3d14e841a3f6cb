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

int JuceDialogs::askWithButtons (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                                 const juce::StringArray& buttons)
{
    juce::AlertWindow box (title, message, icon);

    for (int i = 0; i < buttons.size(); ++i)
        box.addButton (buttons[i], i + 1,
                       i == buttons.size() - 1 ? juce::KeyPress (juce::KeyPress::escapeKey) : juce::KeyPress());

    // Results count from 1; 0 is a box closed some other way.
    return box.runModalLoop() - 1;
}

juce::File JuceDialogs::chooseFileToOpen (const juce::String& title, const juce::File& start, const juce::String& patterns)
{
    juce::FileChooser chooser (title, start, patterns);
    return chooser.browseForFileToOpen() ? chooser.getResult() : juce::File();
}

juce::File JuceDialogs::chooseFileToSave (const juce::String& title, const juce::File& start, const juce::String& patterns)
{
    auto from = start;

    for (;;)
    {
        juce::FileChooser chooser (title, from, patterns);

        // A name typed without extension gets one first: the question
        // whether to replace a file is asked of the file really written.
        if (! chooser.browseForFileToSave (false))
            return {};

        const auto file = withPatternExtension (chooser.getResult(), patterns);

        if (! file.exists() ||
            juce::AlertWindow::showOkCancelBox (juce::MessageBoxIconType::WarningIcon, title,
                                                file.getFullPathName() + "\nexists already. Replace it?", "Replace", "Cancel"))
            return file;

        from = file;
    }
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

    // The name field takes the keyboard focus as the dialog opens. Under a
    // window manager the window gets the focus only once it is mapped, some
    // time later, and then hands it on: the window takes none itself, so
    // it goes to its first field, the name.
    std::unique_ptr<juce::DialogWindow> window (options.create());
    window->setWantsKeyboardFocus (false);
    window->enterModalState (true);
    dialog.focusNameEditor();

    if (window->runModalLoop() != 1 || ! dialog.hasUsableName())
        return false;

    name = dialog.getEnteredName();
    return true;
}

int JuceDialogs::showMenu (const juce::PopupMenu& menu, int standardItemHeight)
{
    // The menu hangs from the pixel under the mouse rather than round it: the
    // mouse stands beside its first item, not on it, so a button released
    // there (the one that asked for the menu) chooses nothing; a click on an
    // item does.
    const auto mouse = juce::Desktop::getMousePosition();
    const auto options =
        juce::PopupMenu::Options().withTargetScreenArea ({ mouse.x, mouse.y, 1, 1 }).withStandardItemHeight (standardItemHeight);

    // Showing needs a menu of its own to run.
    auto shown = menu;
    return shown.showMenu (options);
}
