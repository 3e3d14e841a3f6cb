#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A title-bar button of the main window (close, minimise, maximise): its
// shape filled twice, a dark shade and then the button's colour over it.
class LookAndFeel_V3_DocumentWindowButton : public juce::Button
{
public:
    LookAndFeel_V3_DocumentWindowButton (const juce::String& name, juce::Colour colour, const juce::Path& normalShape,
                                         const juce::Path& toggledShape) noexcept;

    void paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    juce::Colour getColour() const noexcept { return colour; }

private:
    juce::Colour colour;
    juce::Path normalShape, toggledShape;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LookAndFeel_V3_DocumentWindowButton)
};
