#include "editors/InlineNameEditor.h"

InlineNameEditor::InlineNameEditor (const juce::String& componentName) : juce::TextEditor (componentName)
{
    juce::Desktop::getInstance().addFocusChangeListener (this);
}

InlineNameEditor::~InlineNameEditor()
{
    juce::Desktop::getInstance().removeFocusChangeListener (this);
}

void InlineNameEditor::globalFocusChanged (juce::Component* focusedComponent)
{
    // Only what JUCE gave to another part of the same window without the
    // field losing it: a field that lost the focus is closed by its owner,
    // and one whose window lost it to another program leaves it there.
    if (focusedComponent == nullptr || focusedComponent == this || ! isShowing() || hasKeyboardFocus (false) ||
        focusedComponent->getTopLevelComponent() != getTopLevelComponent())
        return;

    grabKeyboardFocus();
}
