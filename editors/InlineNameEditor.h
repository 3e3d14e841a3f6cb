#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A one-line field shown over a box for a name typed at once, given the
// keyboard focus as it is shown. It keeps the focus while it stays: when
// its window gets the focus back (after a menu, say), JUCE hands it to
// whatever had it when the window lost it, without telling the field, and
// the field takes it back. A click elsewhere moves the focus as usual.
class InlineNameEditor : public juce::TextEditor, private juce::FocusChangeListener
{
public:
    explicit InlineNameEditor (const juce::String& componentName);
    ~InlineNameEditor() override;

private:
    void globalFocusChanged (juce::Component* focusedComponent) override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InlineNameEditor)
};
