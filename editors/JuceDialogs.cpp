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

namespace
{
// An alert box whose text may scroll in a field of its own below its message.
class ButtonBox : public juce::AlertWindow
{
public:
    ButtonBox (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
               const juce::StringArray& buttons)
        : juce::AlertWindow (title, message, icon)
    {
        for (int i = 0; i < buttons.size(); ++i)
            addButton (buttons[i], i + 1,
                       i == buttons.size() - 1 ? juce::KeyPress (juce::KeyPress::escapeKey) : juce::KeyPress());
    }

    // The box gets at most this much of the screen's height (JUCE's rule).
    int getRoom() const { return getParentHeight() - 50; }

    // JUCE lets a message taller than the room run over the buttons.
    bool isTooTall() const { return getHeight() >= getRoom(); }

    // JUCE cuts a message this long.
    static constexpr int maxMessageLength = 2048;

    // The text scrolls in a field below the message, as tall as the room
    // allows with the field clear of the buttons.
    void addScrollingText (const juce::String& text)
    {
        field.setMultiLine (true, true);
        field.setReadOnly (true);
        field.setCaretVisible (false);
        field.setScrollbarsShown (true);
        field.setFont (getLookAndFeel().getAlertWindowMessageFont());
        field.setColour (juce::TextEditor::backgroundColourId, juce::Colours::transparentBlack);
        field.setColour (juce::TextEditor::textColourId, findColour (juce::AlertWindow::textColourId));
        field.setColour (juce::TextEditor::outlineColourId, findColour (juce::AlertWindow::outlineColourId));
        field.setSize (juce::jmin (fieldWidth, (int) (getParentWidth() * 0.5f)), 100);
        field.setText (text, false);

        const auto wanted = field.getTextHeight() + 2 * field.getTopIndent();
        field.setSize (field.getWidth(), juce::jmax (minFieldHeight, juce::jmin (wanted, getRoom() - getHeight() - 10)));
        addCustomComponent (&field);

        // JUCE puts the buttons at a fixed share of the box's height: a
        // field that shrinks takes them up with it, at a twentieth less.
        for (int i = 0; i < 16 && field.getHeight() > minFieldHeight; ++i)
        {
            const auto overlap = field.getBottom() + gap - getButtonsTop();

            if (overlap <= 0)
                break;

            const auto shrink = juce::jmax (1, getHeight() < getRoom() ? overlap * 20 : overlap);
            field.setSize (field.getWidth(), juce::jmax (minFieldHeight, field.getHeight() - shrink));
            lookAndFeelChanged();
        }
    }

private:
    static constexpr int fieldWidth = 560;
    static constexpr int minFieldHeight = 60;
    static constexpr int gap = 6;

    int getButtonsTop() const
    {
        auto top = getHeight();

        for (auto* child : getChildren())
            if (dynamic_cast<juce::Button*> (child) != nullptr)
                top = juce::jmin (top, child->getY());

        return top;
    }

    juce::TextEditor field;
};

// A first line this long is no heading: all of the text scrolls.
constexpr int maxHeadingLength = 300;
} // namespace

std::unique_ptr<juce::AlertWindow> JuceDialogs::makeButtonBox (juce::MessageBoxIconType icon, const juce::String& title,
                                                               const juce::String& message, const juce::StringArray& buttons)
{
    if (message.length() <= ButtonBox::maxMessageLength)
        if (auto box = std::make_unique<ButtonBox> (icon, title, message, buttons); ! box->isTooTall())
            return box;

    auto heading = message.upToFirstOccurrenceOf ("\n", false, false);
    auto rest = message.fromFirstOccurrenceOf ("\n", false, false);

    if (heading.length() > maxHeadingLength || ! message.containsChar ('\n'))
    {
        heading = {};
        rest = message;
    }

    auto box = std::make_unique<ButtonBox> (icon, title, heading, buttons);
    box->addScrollingText (rest);
    return box;
}

int JuceDialogs::askWithButtons (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                                 const juce::StringArray& buttons)
{
    // Results count from 1; 0 is a box closed some other way.
    return makeButtonBox (icon, title, message, buttons)->runModalLoop() - 1;
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
