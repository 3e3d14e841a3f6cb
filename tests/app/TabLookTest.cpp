#include "app/myLookAndFeel.h"
#include "editors/CommandPanelTab.h"
#include "editors/ProcessContainer.h"

#include <gtest/gtest.h>

// The tabs as the program draws them: the DSP pages' tabs (dark, along the
// bottom) and the tool tabs of a DSP page (narrow, along the left side).
namespace
{
bool isOrange (juce::Colour c)
{
    return c.getRed() > 200 && c.getGreen() > 90 && c.getGreen() < 180 && c.getBlue() < 80;
}

bool isLight (juce::Colour c)
{
    return c.getBrightness() > 0.6f && c.getSaturation() < 0.2f;
}

// The pixels of the tab's picture that pass the test, and the box around them.
struct Pixels
{
    int count = 0;
    juce::Rectangle<int> bounds;
};

Pixels findPixels (juce::TabBarButton& tab, const std::function<bool (juce::Colour)>& test)
{
    const auto shot = tab.createComponentSnapshot (tab.getLocalBounds(), true, 1.0f);
    Pixels found;

    for (int y = 0; y < shot.getHeight(); ++y)
        for (int x = 0; x < shot.getWidth(); ++x)
            if (test (shot.getPixelAt (x, y)))
            {
                found.bounds = found.count++ == 0 ? juce::Rectangle<int> (x, y, 1, 1) : found.bounds.getUnion ({ x, y, 1, 1 });
            }

    return found;
}
} // namespace

TEST (TabLook, TheSelectedDspTabStandsOut)
{
    myLookAndFeel::Default look;
    juce::TabbedComponent pages (juce::TabbedButtonBar::TabsAtBottom);
    juce::Component page[3];

    for (int i = 0; i < 3; ++i)
        pages.addTab ("DSP#" + juce::String (i + 1), juce::Colour (ProcessContainer::tabColour), &page[i], false);

    pages.setBounds (0, 0, 600, 300);
    pages.setCurrentTabIndex (1);

    for (int i = 0; i < 3; ++i)
    {
        const auto orange = findPixels (*pages.getTabbedButtonBar().getTabButton (i), isOrange).count;

        if (i == 1)
            EXPECT_GT (orange, 60) << "the selected tab is marked in orange";
        else
            EXPECT_EQ (orange, 0) << "tab " << i;
    }
}

TEST (TabLook, TheNarrowToolTabsHaveReadableLabels)
{
    myLookAndFeel::Default look;
    juce::Component tools, properties;
    CommandPanelTab tabs (tools, properties);
    tabs.addCommandPropertiesTab();
    tabs.setBounds (0, 0, 245, 220);

    // The label of the tab not shown, drawn light along the tab: as high
    // across the bar as a 12-pixel font's letters, and whole on one line.
    auto& tab = *tabs.getTabbedButtonBar().getTabButton (1);
    const auto label = findPixels (tab, isLight);
    ASSERT_GT (label.count, 0);
    EXPECT_GE (label.bounds.getWidth(), 9) << "letters " << label.bounds.getWidth() << " pixels high";
    EXPECT_LE (label.bounds.getWidth(), CommandPanelTab::tabBarDepth) << "one line";
    EXPECT_LT (label.bounds.getHeight(), tab.getHeight() - 4) << "the whole label fits its tab";
}
