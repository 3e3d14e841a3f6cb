#include "editors/TooltipBar.h"

#include <gtest/gtest.h>

namespace
{
class TooltipBarTest : public ::testing::Test
{
protected:
    TooltipBarTest()
    {
        first.setTooltip ("first pin");
        second.setTooltip ("second pin");
    }

    void ticks (int count, juce::Component* underMouse = nullptr)
    {
        for (int i = 0; i < count; ++i)
            bar.tick (underMouse, false, false);
    }

    TooltipBar bar;
    juce::TextButton first, second;
    juce::Component plain;
};
} // namespace

TEST_F (TooltipBarTest, StartsEmptyWithAFullCountdown)
{
    EXPECT_EQ (bar.getName(), "TooltipBar");
    EXPECT_TRUE (bar.getText().isEmpty());
    EXPECT_FALSE (bar.isSticky());
    EXPECT_EQ (bar.getCountdown(), 60);
}

TEST_F (TooltipBarTest, ShowsTheTooltipOfWhatTheMouseIsOver)
{
    bar.tick (&first, false, false);
    EXPECT_EQ (bar.getText(), "first pin");
    EXPECT_EQ (bar.getCountdown(), 59);

    // The same component again does not restart the text.
    bar.tick (&first, false, false);
    EXPECT_EQ (bar.getCountdown(), 58);

    bar.tick (&second, false, false);
    EXPECT_EQ (bar.getText(), "second pin");
    EXPECT_EQ (bar.getCountdown(), 59);
}

TEST_F (TooltipBarTest, AComponentWithoutTooltipIsForgotten)
{
    bar.tick (&first, false, false);
    ticks (5, &plain);
    EXPECT_EQ (bar.getText(), "first pin");
    EXPECT_EQ (bar.getCountdown(), 54);

    bar.tick (&first, false, false);
    EXPECT_EQ (bar.getCountdown(), 59) << "the same component shows anew once it was left";
}

TEST_F (TooltipBarTest, ModalBlockAndPressedButtonKeepTheTooltipOut)
{
    bar.tick (&first, true, false);
    EXPECT_TRUE (bar.getText().isEmpty());

    bar.tick (&first, false, true);
    EXPECT_TRUE (bar.getText().isEmpty());
}

TEST_F (TooltipBarTest, AMessageStaysSixtyTicksAndIsClearedAtTheNext)
{
    bar.setText ("Connection refused", false);
    ticks (60);
    EXPECT_EQ (bar.getText(), "Connection refused");
    EXPECT_EQ (bar.getCountdown(), 0);

    ticks (1);
    EXPECT_TRUE (bar.getText().isEmpty());
    EXPECT_EQ (bar.getCountdown(), 60);
}

TEST_F (TooltipBarTest, AStickyMessageKeepsHoverTooltipsOutUntilCleared)
{
    bar.setText ("No DSP output", true);

    ticks (60, &first);
    EXPECT_EQ (bar.getText(), "No DSP output");
    EXPECT_TRUE (bar.isSticky());

    ticks (1, &second);
    EXPECT_TRUE (bar.getText().isEmpty());
    EXPECT_FALSE (bar.isSticky());

    ticks (1, &first);
    EXPECT_EQ (bar.getText(), "first pin");
}

TEST_F (TooltipBarTest, AnEmptyStickyTextClearsAtTheNextTick)
{
    bar.setText ("message", true);
    bar.setText ({}, true);
    EXPECT_EQ (bar.getCountdown(), 0);

    ticks (1, &first);
    EXPECT_FALSE (bar.isSticky());
    EXPECT_TRUE (bar.getText().isEmpty());

    ticks (1, &first);
    EXPECT_EQ (bar.getText(), "first pin");
}

TEST_F (TooltipBarTest, PaintsOrangeTextOnDarkGreyInABlackFrame)
{
    bar.setSize (300, 20);
    bar.setText ("WWWWWWWW", false);

    const auto image = bar.createComponentSnapshot (bar.getLocalBounds(), true, 1.0f);

    EXPECT_EQ (image.getPixelAt (0, 0).getARGB(), juce::Colours::black.getARGB());
    EXPECT_EQ (image.getPixelAt (299, 19).getARGB(), juce::Colours::black.getARGB());
    EXPECT_EQ (image.getPixelAt (250, 10).getARGB(), 0xFF383838u);

    bool orangeFound = false;

    for (int x = 9; x < 80 && ! orangeFound; ++x)
        for (int y = 2; y < 18 && ! orangeFound; ++y)
            orangeFound = image.getPixelAt (x, y).getARGB() == 0xFFFF8C00u;

    EXPECT_TRUE (orangeFound);
}
