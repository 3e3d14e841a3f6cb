#include "app/Apropos.h"

#include "app/ProgramVersion.h"
#include "editors/DesktopOpener.h"
#include "editors/Dialogs.h"
#include "editors/HelpViewer.h"

#ifndef VX_DOWNLOAD_PAGE
#define VX_DOWNLOAD_PAGE ""
#endif

namespace
{
const juce::Colour darkOrange (0xFFFF8C00);
const juce::Colour ivory (0xFFFFFFF0);
const juce::Colour background (0xFF383838);
const juce::Colour panel (0xFF232321);
const juce::Colour outline (0xFF404040);

void setUpLabel (juce::Label& label, const juce::String& text, float fontHeight, juce::Colour colour)
{
    label.setText (text, juce::dontSendNotification);
    label.setFont (juce::Font (fontHeight));
    label.setColour (juce::Label::textColourId, colour);
    label.setJustificationType (juce::Justification::centredLeft);
}
} // namespace

Apropos::Apropos()
{
    setUpLabel (titleLabel, juce::String ("OSTRANE Quellion v") + ProgramVersion::text + "(beta)", 16.0f, darkOrange);
    setUpLabel (descriptionLabel, "DSP, module and process configuration", 12.0f, ivory);
    setUpLabel (copyrightLabel, "(C) OSTRANE - GNU GPL version 3", 12.0f, ivory);
    setUpLabel (authorsLabel, "Authors:", 12.0f, ivory);

    for (auto* label : { &titleLabel, &descriptionLabel, &copyrightLabel, &authorsLabel })
        addAndMakeVisible (*label);

    downloadButton.setButtonText ("Download link");
    downloadButton.setEnabled (! getDownloadPage().isEmpty());

    for (auto* link : { static_cast<juce::HyperlinkButton*> (&downloadButton), &guideButton })
    {
        link->setColour (juce::HyperlinkButton::textColourId, ivory);
        link->setFont (juce::Font (14.0f, juce::Font::underlined), false, juce::Justification::centredLeft);
        addAndMakeVisible (*link);
    }

    guideButton.addListener (this);
}

Apropos::~Apropos()
{
    guideButton.removeListener (this);
}

juce::URL Apropos::getDownloadPage()
{
    return juce::URL (VX_DOWNLOAD_PAGE);
}

void Apropos::paint (juce::Graphics& g)
{
    g.fillAll (background);

    const juce::Rectangle<float> panelArea (10.0f, 14.0f, 256.0f, 93.0f);
    g.setColour (panel);
    g.fillRect (panelArea);
    g.setColour (outline);
    g.drawRect (panelArea, 1.0f);

    paintChip (g, { 232.0f, 72.0f, 28.0f, 28.0f });
}

void Apropos::paintChip (juce::Graphics& g, juce::Rectangle<float> ground) const
{
    g.setColour (juce::Colours::black);
    g.fillRect (ground);

    const auto body = ground.reduced (7.0f);
    g.setColour (darkOrange);

    // Three pins a side, then the body over their inner ends.
    for (int i = 1; i <= 3; ++i)
    {
        const auto along = body.getWidth() * (float) i / 4.0f;
        g.fillRect (body.getX() + along - 1.0f, body.getY() - 4.0f, 2.0f, body.getHeight() + 8.0f);
        g.fillRect (body.getX() - 4.0f, body.getY() + along - 1.0f, body.getWidth() + 8.0f, 2.0f);
    }

    g.fillRoundedRectangle (body, 2.0f);
    g.setColour (juce::Colours::black);
    g.fillEllipse (body.getX() + 2.0f, body.getY() + 2.0f, 3.0f, 3.0f);
}

void Apropos::resized()
{
    titleLabel.setBounds (20, 15, 215, 30);
    descriptionLabel.setBounds (20, 39, 500, 13);
    copyrightLabel.setBounds (20, 52, 200, 13);
    authorsLabel.setBounds (20, 66, 300, 13);
    // The two links share the line under the texts rather than covering them.
    downloadButton.setBounds (16, 81, 110, 18);
    guideButton.setBounds (126, 81, 100, 18);
}

void Apropos::WebLink::clicked()
{
    DesktopOpener::openWebPage (getURL().toString (true));
}

void Apropos::buttonClicked (juce::Button* button)
{
    // A guide that is not there opens nothing and says so; the box stays.
    if (button == &guideButton)
        HelpViewer::getCurrent().showPageOrSay (
            guidePage, [] (const juce::String& text)
            { Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::InfoIcon, "About", text); });
}
