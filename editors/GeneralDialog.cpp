#include "editors/GeneralDialog.h"

GeneralDialog::GeneralDialog (const juce::String& initialName)
{
    group.setColour (juce::GroupComponent::outlineColourId, juce::Colour (0xFF404040));
    group.setColour (juce::GroupComponent::textColourId, juce::Colours::white);
    addAndMakeVisible (group);

    for (auto* button : { &createButton, &cancelButton })
    {
        button->setColour (juce::TextButton::buttonColourId, juce::Colour (0xFF808080));
        button->setColour (juce::TextButton::textColourOnId, juce::Colour (0xFF543B3B));
        button->setColour (juce::TextButton::textColourOffId, juce::Colour (0xFFFFFFF0));
        button->addListener (this);
        addAndMakeVisible (*button);
    }

    nameEditor.setText (initialName, juce::dontSendNotification);
    nameEditor.setExplicitFocusOrder (1);
    nameEditor.addListener (this);
    addAndMakeVisible (nameEditor);

    setSize (dialogWidth, dialogHeight);
}

GeneralDialog::~GeneralDialog()
{
    nameEditor.removeListener (this);
    createButton.removeListener (this);
    cancelButton.removeListener (this);
}

void GeneralDialog::focusNameEditor()
{
    nameEditor.grabKeyboardFocus();
    nameEditor.selectAll();
}

void GeneralDialog::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xFF383838));
    g.setColour (juce::Colour (0xFF212323));
    g.fillRoundedRectangle (6.0f, 4.0f, 245.0f, 98.0f, 10.0f);
}

void GeneralDialog::resized()
{
    group.setBounds (12, 8, 234, 90);
    nameEditor.setBounds (28, 35, 208, 20);
    createButton.setBounds (122, 66, 51, 20);
    cancelButton.setBounds (180, 66, 56, 20);
}

void GeneralDialog::buttonClicked (juce::Button* button)
{
    if (button == &createButton)
    {
        if (nameEditor.getText().isEmpty())
            closeWithResult (0);
        else
            accept();
    }
    else if (button == &cancelButton)
    {
        closeWithResult (0);
    }
}

void GeneralDialog::textEditorReturnKeyPressed (juce::TextEditor&)
{
    // Return takes the text as it stands, even an empty one; the callers
    // decide what an empty name means for them.
    accept();
}

void GeneralDialog::accept()
{
    enteredName = nameEditor.getText();
    closeWithResult (1);
}

void GeneralDialog::closeWithResult (int modalResult)
{
    result = modalResult;

    if (auto* window = findParentComponentOfClass<juce::DialogWindow>())
        window->exitModalState (modalResult);
    else if (isCurrentlyModal())
        exitModalState (modalResult);
}
