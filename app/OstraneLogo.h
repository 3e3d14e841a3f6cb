#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The logo under the widgets of the "Project settings" page: the picture
// kept in the program, centred in its area and shrunk when the area is
// smaller, never enlarged. Clicks pass through it to the page.
class OstraneLogo : public juce::Component
{
public:
    OstraneLogo();
    ~OstraneLogo() override;

    // Where the picture goes within the logo.
    static juce::Rectangle<int> getPictureArea() { return { 28, 2, 465, 256 }; }

    const juce::Image& getImage() const noexcept { return image; }

    void paint (juce::Graphics& g) override;

private:
    juce::Image image;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OstraneLogo)
};
