#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class Apropos;

// The window of the about box: a close button only, and closing hides it,
// so that the next "?" shows the same window again.
class HelpWindow : public juce::DocumentWindow
{
public:
    HelpWindow (const juce::String& title, juce::Colour background);
    ~HelpWindow() override;

    Apropos& getApropos() noexcept;

    void closeButtonPressed() override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HelpWindow)
};
