#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// Every question the program puts to the user goes through here: alerts,
// Yes/No/Cancel questions, file and folder choosers, the name dialog and
// popup menus. Each call waits for the answer, as the program's operations
// expect. The program uses JUCE's windows (JuceDialogs); tests install a
// scripted stand-in with setCurrent.
class Dialogs
{
public:
    enum class Answer
    {
        yes,
        no,
        cancel
    };

    virtual ~Dialogs() = default;

    // An alert with one button (JUCE's own text for it when none is given).
    virtual void showMessage (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                              const juce::String& buttonText = {}) = 0;

    // Asks with the buttons "Yes", "No" and "Cancel"; closing the box cancels.
    virtual Answer askYesNoCancel (const juce::String& title, const juce::String& question) = 0;

    // Asks with buttons of the given texts, in that order: the index of the
    // one pressed, or -1 when the box was closed. Escape presses the last.
    virtual int askWithButtons (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                                const juce::StringArray& buttons) = 0;

    // Asks with the buttons "Yes" and "No": true for "Yes"; closing the box
    // answers "No".
    bool askYesNo (const juce::String& title, const juce::String& question);

    // The chosen file or folder, or none when the chooser was cancelled.
    virtual juce::File chooseFileToOpen (const juce::String& title, const juce::File& start, const juce::String& patterns) = 0;
    virtual juce::File chooseFileToSave (const juce::String& title, const juce::File& start, const juce::String& patterns) = 0;
    virtual juce::File chooseDirectory (const juce::String& title, const juce::File& start) = 0;

    // The name dialog (GeneralDialog) under the given title: true, with the
    // entered name, when a name was accepted. An empty or blank name counts
    // as none.
    virtual bool askForName (const juce::String& title, const juce::String& initialName, juce::String& name) = 0;

    // Shows a popup menu at the mouse (items of JUCE's standard height for
    // 0); the chosen item's id, or 0.
    virtual int showMenu (const juce::PopupMenu& menu, int standardItemHeight = 0) = 0;

    // The item height of the graph editors' menus.
    static constexpr int editorMenuItemHeight = 18;

    // A file chosen to save under a name typed without extension gets the
    // extension of the first pattern ("*.zqp;*.ZQP" gives ".zqp").
    static juce::File withPatternExtension (const juce::File& file, const juce::String& patterns);

    // A report handler (as a preset document takes) that shows each report
    // in a warning box of the dialogs in use at the time.
    using ReportHandler =
        std::function<void (const juce::String& title, const juce::String& text, const juce::String& buttonText)>;
    static ReportHandler makeWarningHandler();

    // The dialogs in use: the installed ones, or JUCE's.
    static Dialogs& getCurrent();
    // None goes back to JUCE's. The installed object is not owned.
    static void setCurrent (Dialogs* dialogs) noexcept;
};
