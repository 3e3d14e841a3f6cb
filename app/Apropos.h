#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The about box: the program's name and version, what it is for, the
// maker's line, a link to the download page and one to the software guide,
// on a dark panel with a small chip drawing.
class Apropos : public juce::Component, public juce::Button::Listener
{
public:
    // The guide among the help pages beside the program.
    static constexpr const char* guidePage = "/OstraneQuellionSoftwareGuide.pdf";

    Apropos();
    ~Apropos() override;

    // The maker's download page, set by the build; none leaves the link off.
    static juce::URL getDownloadPage();

    juce::Label& getTitleLabel() noexcept { return titleLabel; }
    juce::HyperlinkButton& getDownloadButton() noexcept { return downloadButton; }
    juce::HyperlinkButton& getGuideButton() noexcept { return guideButton; }

    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;

private:
    // A link that opens its page with the desktop's opener, the address
    // given as an argument (never through a shell), as every page the
    // program opens.
    class WebLink : public juce::HyperlinkButton
    {
    public:
        using juce::HyperlinkButton::HyperlinkButton;

    protected:
        void clicked() override;
    };

    void paintChip (juce::Graphics& g, juce::Rectangle<float> ground) const;

    juce::Label titleLabel, descriptionLabel, copyrightLabel, authorsLabel;
    WebLink downloadButton{ "Go to download...", getDownloadPage() };
    juce::HyperlinkButton guideButton{ "Software guide", {} };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Apropos)
};
