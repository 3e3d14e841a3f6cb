#include "app/WindowContainer.h"
#include "app/ProjectInterface.h"

#include "ShellTestFixture.h"

namespace
{
class WindowContainerTest : public ShellTestFixture
{
protected:
    WindowContainerTest() { container.setBounds (0, 0, 1000, 800); }

    WindowContainer container{ *settings, nullptr };
};
} // namespace

TEST (WindowContainerLogHeader, NamesTheDateAndTime)
{
    const juce::Time time (2024, 2, 9, 14, 5, 7);
    EXPECT_EQ (WindowContainer::makeLogHeader (time), "Compilation result on 09/03/2024 at 14:05:07\n");
}

TEST_F (WindowContainerTest, HoldsTheMainContainerUnderItsStrip)
{
    EXPECT_EQ (container.getMainContainer().getBounds(), juce::Rectangle<int> (0, 40, 1000, 760));
    EXPECT_EQ (container.getMainContainer().getParentComponent(), &container);
    EXPECT_EQ (container.getLogWindow(), nullptr);
}

TEST_F (WindowContainerTest, ShowsTheLogWindowAlongTheBottomTheFirstTime)
{
    VX_REQUIRE_DISPLAY();
    appendToLog ("old text", 3);

    container.showLogWindow();

    auto* window = container.getLogWindow();
    ASSERT_NE (window, nullptr);
    EXPECT_TRUE (window->isVisible());
    EXPECT_TRUE (window->isAlwaysOnTop());
    EXPECT_EQ (window->getName(), "Ostrane Quellion - Log");
    EXPECT_EQ (window->getBounds(), juce::Rectangle<int> (0, 480, 1000, 320));
    EXPECT_TRUE (getLogText().startsWith ("Compilation result on "));
    EXPECT_TRUE (getLogText().contains (" at "));
    EXPECT_FALSE (getLogText().contains ("old text"));
    EXPECT_EQ (getLogErrorCount(), 0);
}

TEST_F (WindowContainerTest, ShowingTwiceKeepsOneHeaderAndTheWindowsPlace)
{
    VX_REQUIRE_DISPLAY();

    container.showLogWindow();
    container.getLogWindow()->setBounds (30, 40, 500, 200);
    container.showLogWindow();

    EXPECT_EQ (getLogText().indexOf ("Compilation result on "), 0);
    EXPECT_EQ (getLogText().lastIndexOf ("Compilation result on "), 0);
    EXPECT_EQ (container.getLogWindow()->getBounds(), juce::Rectangle<int> (30, 40, 500, 200));
    EXPECT_TRUE (settings->getValue ("LogWindowState").isNotEmpty());
}

TEST_F (WindowContainerTest, ClosingStoresTheLogWindowsPlace)
{
    VX_REQUIRE_DISPLAY();

    container.closeLogWindow();
    EXPECT_TRUE (settings->getValue ("LogWindowState").isEmpty()) << "no window, nothing to close";

    container.showLogWindow();
    container.getLogWindow()->setBounds (60, 70, 640, 240);
    container.closeLogWindow();

    EXPECT_FALSE (container.getLogWindow()->isVisible());
    EXPECT_EQ (settings->getValue ("LogWindowState"), container.getLogWindow()->getWindowStateAsString());

    container.showLogWindow();
    EXPECT_EQ (container.getLogWindow()->getBounds(), juce::Rectangle<int> (60, 70, 640, 240));
}

TEST_F (WindowContainerTest, GeneratingAnUnsavedProjectShowsOnlyTheAbortLine)
{
    VX_REQUIRE_DISPLAY();

    container.getMainContainer().keyPressed (juce::KeyPress ('g', juce::ModifierKeys::ctrlModifier, 0));

    ASSERT_NE (container.getLogWindow(), nullptr);
    EXPECT_TRUE (container.getLogWindow()->isVisible());
    EXPECT_TRUE (getLogText().startsWith ("Compilation result on "));
    EXPECT_TRUE (getLogText().endsWith ("\nNo files were generated! Aborted when saving project."));
    EXPECT_EQ (getLogErrorCount(), 0);

    container.getLogWindow()->getOutputLog().timerCallback();
    EXPECT_EQ (container.getLogWindow()->getOutputLog().getTextEditor().getText(), getLogText());
}
