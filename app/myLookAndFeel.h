#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The main window's look: JUCE's third look with title-bar buttons of our
// own drawing (a cross, a bar along the bottom and a square outline).
class myLookAndFeel : public juce::LookAndFeel_V3
{
public:
    static constexpr juce::uint32 buttonColour = 0xfffffff0;

    juce::Button* createDocumentWindowButton (int buttonType) override;
};
