#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The "Command Properties" page of a DSP page's tool tabs: a panel holding
// the section "Process properties", in which the process tool panel lists
// the selected process's command words.
class GraphCommandProperties : public juce::PropertyPanel
{
public:
    static constexpr juce::uint32 backgroundColour = 0xFFCCCCCC;
    static constexpr const char* sectionName = "Process properties";

    GraphCommandProperties();
    ~GraphCommandProperties() override;

    juce::PropertyPanel& getInnerPanel() noexcept { return inner; }

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    juce::PropertyPanel inner;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GraphCommandProperties)
};
