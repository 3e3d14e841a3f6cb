#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The tool tabs of a DSP page, at the left: "Edit" shows the process tool
// panel; "Command Properties" shows the command properties of the selected
// process while the project's command view is on. Neither page is owned.
class CommandPanelTab : public juce::TabbedComponent
{
public:
    static constexpr juce::uint32 tabColour = 0xFF383838;
    static constexpr int tabBarDepth = 16;
    // The process tool strip is drawn this wide, its frame included.
    static constexpr int toolStripWidth = 229;
    static constexpr const char* editTabName = "Edit";
    static constexpr const char* commandPropertiesTabName = "Command Properties";

    CommandPanelTab (juce::Component& toolPanel, juce::Component& commandProperties);
    ~CommandPanelTab() override;

    // The second tab comes and goes with the command view.
    void addCommandPropertiesTab();
    void removeCommandPropertiesTab();
    bool hasCommandPropertiesTab() const { return getNumTabs() > 1; }

private:
    juce::Component& commandProperties;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CommandPanelTab)
};
