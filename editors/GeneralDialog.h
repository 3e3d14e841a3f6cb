#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The small modal dialog that asks for a name: a "Name" group with an editor
// and the buttons "Create" and "Cancel". Its modal result is 1 when a name
// was accepted (then read it with getEnteredName) and 0 otherwise.
class GeneralDialog : public juce::Component, private juce::TextEditor::Listener, private juce::Button::Listener
{
public:
    static constexpr int dialogWidth = 255;
    static constexpr int dialogHeight = 106;

    // The editor starts with the given name.
    explicit GeneralDialog (const juce::String& initialName = "Preset1");
    ~GeneralDialog() override;

    // Empty until a name was accepted.
    const juce::String& getEnteredName() const noexcept { return enteredName; }

    // True when the dialog closed with a name that is more than blanks: Return
    // accepts an empty text, which no caller can use as a name.
    bool hasUsableName() const { return result == 1 && enteredName.trim().isNotEmpty(); }

    // The result the dialog closed with, or -1 while it is open.
    int getResult() const noexcept { return result; }

    // Once the dialog is on the screen: typing goes to the name, replacing
    // the proposed one, and Return accepts it, with no click first.
    void focusNameEditor();

    juce::TextEditor& getNameEditor() noexcept { return nameEditor; }
    juce::TextButton& getCreateButton() noexcept { return createButton; }
    juce::TextButton& getCancelButton() noexcept { return cancelButton; }

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    void buttonClicked (juce::Button* button) override;
    void textEditorReturnKeyPressed (juce::TextEditor& editor) override;

    void accept();
    void closeWithResult (int modalResult);

    juce::String enteredName;
    int result = -1;

    juce::TextButton createButton{ "Create" };
    juce::TextButton cancelButton{ "Cancel" };
    juce::GroupComponent group{ {}, "Name" };
    juce::TextEditor nameEditor{ "Preset" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GeneralDialog)
};
