#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The content of the log window: the program's one log text, which the
// writers (generation, NRPN list, project loading) only append to. It polls
// the text every 100 ms and shows it whole, scrolled to its newest lines.
class OutputLog : public juce::Component, public juce::Timer
{
public:
    static constexpr int pollIntervalMs = 100;

    OutputLog();
    ~OutputLog() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

    const juce::TextEditor& getTextEditor() const noexcept { return textEditor; }
    juce::TextEditor& getTextEditor() noexcept { return textEditor; }

private:
    juce::TextEditor textEditor;
    juce::String shownText;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OutputLog)
};
