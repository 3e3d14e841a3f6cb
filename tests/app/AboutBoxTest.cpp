#include "app/Apropos.h"
#include "app/HelpWindow.h"
#include "app/MainContainer.h"
#include "app/OstraneLogo.h"
#include "app/ProjectInterface.h"
#include "app/WindowContainer.h"

#include "ShellTestFixture.h"

namespace
{
const juce::Colour darkOrange (0xFFFF8C00);

// How many pixels of the image, within the area, have about this colour.
int countPixels (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour)
{
    int count = 0;

    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const auto pixel = image.getPixelAt (x, y);

            if (std::abs (pixel.getRed() - colour.getRed()) < 40 && std::abs (pixel.getGreen() - colour.getGreen()) < 40 &&
                std::abs (pixel.getBlue() - colour.getBlue()) < 40)
                ++count;
        }

    return count;
}

class AboutBoxTest : public ShellTestFixture
{
protected:
    AboutBoxTest() { container.setBounds (0, 0, 1000, 700); }

    WindowContainer container{ *settings, nullptr };
};
} // namespace

TEST (Apropos, ShowsTheProgramAndItsLinks)
{
    Apropos box;
    box.setSize (300, 200);

    EXPECT_EQ (box.getTitleLabel().getText(), "OSTRANE Quellion v1.3.3.6(beta)");
    EXPECT_EQ (box.getTitleLabel().getBounds(), juce::Rectangle<int> (20, 15, 215, 30));
    EXPECT_EQ (box.getTitleLabel().findColour (juce::Label::textColourId), darkOrange);
    EXPECT_EQ (box.getDownloadButton().getButtonText(), "Download link");
    EXPECT_EQ (box.getGuideButton().getButtonText(), "Software guide");
    EXPECT_EQ (box.getDownloadButton().isEnabled(), ! Apropos::getDownloadPage().isEmpty())
        << "a build without a download page has no link to follow";

    juce::StringArray texts;

    for (auto* child : box.getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
            texts.add (label->getText());

    EXPECT_TRUE (texts.contains ("DSP, module and process configuration"));
    EXPECT_TRUE (texts.contains ("Authors:"));

    // The links stand clear of the texts above them.
    for (auto* child : box.getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
        {
            EXPECT_FALSE (label->getBounds().intersects (box.getGuideButton().getBounds())) << label->getText();
            EXPECT_FALSE (label->getBounds().intersects (box.getDownloadButton().getBounds())) << label->getText();
        }
}

TEST_F (AboutBoxTest, TheSoftwareGuideOpensWhenItIsThere)
{
    vxtest::RecordingHelpViewer viewer (folder.getChildFile ("help"));
    Apropos box;

    // Without the guide nothing opens, and the user is told why.
    ASSERT_TRUE (folder.getChildFile ("help").createDirectory().wasOk());
    box.getGuideButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_TRUE (viewer.opened.empty());
    ASSERT_EQ (dialogs.messages.size(), 1u);
    EXPECT_EQ (dialogs.messages[0].text, "No help page \"OstraneQuellionSoftwareGuide.pdf\" in the folder \"help\".");

    const auto guide = folder.getChildFile ("help/OstraneQuellionSoftwareGuide.pdf");
    ASSERT_TRUE (guide.create().wasOk());
    box.getGuideButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_EQ (viewer.opened, std::vector<juce::File>{ guide });
}

TEST_F (AboutBoxTest, TheQuestionMarkShowsOneAboutWindow)
{
    VX_REQUIRE_DISPLAY();
    vxtest::RecordingHelpViewer viewer (folder.getChildFile ("help"));
    auto& button = container.getAboutButton();

    EXPECT_EQ (button.getButtonText(), "?");
    EXPECT_EQ (button.getBounds(), juce::Rectangle<int> (973, 12, 24, 22));
    EXPECT_EQ (container.getAboutWindow(), nullptr) << "made on first use";

    button.triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);

    auto* window = container.getAboutWindow();
    ASSERT_NE (window, nullptr);
    EXPECT_TRUE (window->isVisible());
    EXPECT_EQ (window->getName(), "About");
    EXPECT_EQ (window->getBackgroundColour(), juce::Colour (0xff383838));
    // Over the container, which stands at (4, 30) on the screen here.
    EXPECT_EQ (window->getBounds(), juce::Rectangle<int> (604, 240, 300, 210));
    EXPECT_FALSE (window->isResizable());
    EXPECT_EQ (window->getCloseButton() != nullptr, true);
    EXPECT_EQ (window->getMinimiseButton(), nullptr);
    EXPECT_EQ (dynamic_cast<Apropos*> (window->getContentComponent()), &window->getApropos());

    // Its picture, kept beside the build for a look.
    auto& box = window->getApropos();
    const auto shot = box.createComponentSnapshot (box.getLocalBounds(), true, 1.0f);
    juce::PNGImageFormat png;
    juce::FileOutputStream out (juce::File (VX_BINARY_DIR).getChildFile ("about-box.png"));
    out.setPosition (0);
    out.truncate();
    EXPECT_TRUE (png.writeImageToStream (shot, out));

    EXPECT_GT (countPixels (shot, { 12, 90, 4, 15 }, juce::Colour (0xFF232321)), 50) << "the dark panel";
    EXPECT_GT (countPixels (shot, { 20, 15, 215, 30 }, darkOrange), 30) << "the orange title";
    EXPECT_GT (countPixels (shot, { 232, 72, 28, 28 }, darkOrange), 30) << "the chip";
    EXPECT_GT (countPixels (shot, { 232, 72, 28, 28 }, juce::Colours::black), 100) << "the chip's ground";
    EXPECT_GT (countPixels (shot, { 0, 0, 300, 10 }, juce::Colour (0xFF383838)), 2500) << "the box's ground";

    // Closing hides it; "?" shows the same window again.
    window->closeButtonPressed();
    EXPECT_FALSE (window->isVisible());

    button.triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    EXPECT_EQ (container.getAboutWindow(), window);
    EXPECT_TRUE (window->isVisible());
}

TEST_F (AboutBoxTest, TheLogoLiesUnderTheSettingsPage)
{
    auto& page = container.getMainContainer().getProjectInterface();
    page.setBounds (0, 0, 900, 600);
    auto& logo = page.getLogo();

    EXPECT_EQ (page.getChildComponent (0), &logo) << "under every other widget";
    EXPECT_EQ (logo.getBounds(), juce::Rectangle<int> (420, 344, 900, 600));
    ASSERT_TRUE (logo.getImage().isValid());
    EXPECT_LE (logo.getImage().getWidth(), 465);
    EXPECT_LE (logo.getImage().getHeight(), 256);

    // The page still takes the clicks on it (its help menu).
    EXPECT_EQ (page.getComponentAt (700, 450), &page);

    const auto shot = page.createComponentSnapshot (page.getLocalBounds(), true, 1.0f);
    EXPECT_GT (countPixels (shot, { 448, 346, 465, 254 }, darkOrange), 500) << "the logo shows";
}

TEST (OstraneLogo, IsShrunkToItsAreaButNeverEnlarged)
{
    OstraneLogo logo;
    EXPECT_EQ (logo.getWidth(), 600);
    EXPECT_EQ (logo.getHeight(), 400);

    const auto painted = [&logo]
    {
        const auto shot = logo.createComponentSnapshot (logo.getLocalBounds(), true, 1.0f);
        juce::Rectangle<int> area;

        for (int y = 0; y < shot.getHeight(); ++y)
            for (int x = 0; x < shot.getWidth(); ++x)
                if (shot.getPixelAt (x, y).getAlpha() > 0)
                    area = area.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1) : area.getUnion ({ x, y, 1, 1 });

        return area;
    };

    // Within its area at its own size, centred there.
    const auto full = painted();
    const auto pictureArea = OstraneLogo::getPictureArea();
    EXPECT_TRUE (pictureArea.contains (full));
    EXPECT_LE (full.getWidth(), logo.getImage().getWidth());
    EXPECT_NEAR (full.getCentreX(), pictureArea.getCentreX(), logo.getImage().getWidth() / 4);
}
