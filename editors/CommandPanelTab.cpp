#include "editors/CommandPanelTab.h"

CommandPanelTab::CommandPanelTab (juce::Component& toolPanel, juce::Component& propertiesPage)
    : juce::TabbedComponent (juce::TabbedButtonBar::TabsAtLeft), commandProperties (propertiesPage)
{
    setName ("CommandPanelTab");

    // Narrow tabs and no outline leave the process tool strip the width it
    // is drawn for, within the page's 245 pixels.
    setTabBarDepth (tabBarDepth);
    setOutline (0);
    clearTabs();
    addTab (editTabName, juce::Colour (tabColour), &toolPanel, false);
}

CommandPanelTab::~CommandPanelTab()
{
    clearTabs();
}

void CommandPanelTab::addCommandPropertiesTab()
{
    if (! hasCommandPropertiesTab())
        addTab (commandPropertiesTabName, juce::Colour (tabColour), &commandProperties, false, 1);
}

void CommandPanelTab::removeCommandPropertiesTab()
{
    if (! hasCommandPropertiesTab())
        return;

    removeTab (1);
    setCurrentTabIndex (0);
}
