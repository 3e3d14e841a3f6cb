#pragma once

#include "app/HelpWindow.h"
#include "app/MainContainer.h"
#include "app/OutputLogWindow.h"
#include "hvif/HalvixInterface.h"

#include <juce_data_structures/juce_data_structures.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The content of the main window: the tabbed main container under a strip
// for the application's controls, and the log window. The strip's controls
// (the "Project" menu, the about box, the status label, the MIDI devices
// and the global presets) take their places above the tabs.
class WindowContainer : public juce::Component, private juce::Button::Listener
{
public:
    static constexpr const char* logWindowTitle = "Ostrane Quellion - Log";

    // The settings file is shared with the main window and must outlive this.
    WindowContainer (juce::PropertiesFile& settings, HvIfInterface* midiControl);
    ~WindowContainer() override;

    MainContainer& getMainContainer() noexcept { return mainContainer; }

    // Empties the log, heads it with the time of this call, and shows the log
    // window afresh, where it was last left (or along the bottom of this
    // container the first time).
    void showLogWindow();
    // Closes the log window as its close button does, when there is one.
    void closeLogWindow();
    OutputLogWindow* getLogWindow() const noexcept { return logWindow.get(); }

    static juce::String makeLogHeader (juce::Time time);

    // The about box, made on first use and shown again by every "?".
    void showAboutWindow();
    HelpWindow* getAboutWindow() const noexcept { return aboutWindow.get(); }
    juce::TextButton& getAboutButton() noexcept { return aboutButton; }

    //==============================================================================
    // Global presets

    // The item of the global-preset choice that stands for a new preset.
    static constexpr const char* newGlobalPresetItem = "(New)";

    // What the global-preset group's "Save"/"Create" does for the choice it
    // shows: "(New)" asks for a name and creates that global preset, which
    // locks the design; the name of a global preset saves the design into
    // it; nothing chosen does nothing. The save runs behind its progress
    // window (SavePresetThread) and ends with a message. True when a global
    // preset was saved.
    bool saveGlobalPreset (const juce::String& choice);

    //==============================================================================
    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    void buttonClicked (juce::Button* button) override;

    juce::PropertiesFile& settings;
    MainContainer mainContainer;
    juce::TextButton aboutButton{ "?" };
    std::unique_ptr<OutputLogWindow> logWindow;
    std::unique_ptr<HelpWindow> aboutWindow;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WindowContainer)
};
