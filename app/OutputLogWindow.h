#pragma once

#include "app/OutputLog.h"

#include <juce_data_structures/juce_data_structures.h>
#include <juce_gui_basics/juce_gui_basics.h>

// The log window: shows the program's log, keeps its place and size under
// "LogWindowState" in the shared settings file, and only hides when closed
// (the next generation shows the same window again).
class OutputLogWindow : public juce::DocumentWindow
{
public:
    // The settings file must outlive the window.
    OutputLogWindow (const juce::String& title, juce::Colour background, juce::PropertiesFile& settings);
    ~OutputLogWindow() override;

    // Restores the stored place and size; false when there is none to apply.
    bool restoreStoredState();

    void closeButtonPressed() override;
    bool keyPressed (const juce::KeyPress& key) override;

    OutputLog& getOutputLog() noexcept { return outputLog; }

private:
    juce::PropertiesFile& settings;
    OutputLog outputLog;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OutputLogWindow)
};
