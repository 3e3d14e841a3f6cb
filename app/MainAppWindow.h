#pragma once

#include "app/myLookAndFeel.h"
#include "hvif/HalvixInterface.h"

#include <juce_data_structures/juce_data_structures.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class BoardMidiCallback;
class MainContainer;
class ProjectInterface;
class WindowContainer;

// The one top-level window, "OSTRANE Quellion": it owns the settings file
// that every part of the program shares, the look (the default of every
// window), the tooltip window and the window container with the tabs; it
// keeps its place under "WindowState" however the program ends, hands every
// key to the main container and opens a project file dropped on it.
class MainAppWindow : public juce::DocumentWindow, public juce::FileDragAndDropTarget
{
public:
    static constexpr const char* title = "OSTRANE Quellion";

    // The start file (none for none) is opened once the window stands. The
    // library's interface (none without the library) goes to the main
    // container, which releases it; the library's callback (none: the window
    // container keeps one of its own) sends on the MIDI output it opens.
    MainAppWindow (const juce::File& startFile, HvIfInterface* midiControl, std::unique_ptr<juce::PropertiesFile> settings,
                   BoardMidiCallback* boardCallback = nullptr);
    ~MainAppWindow() override;

    // Where the window goes when no stored place can be applied.
    static juce::Rectangle<int> getDefaultBounds (juce::Rectangle<int> displayArea);

    juce::PropertiesFile& getSettings() noexcept { return *settings; }
    WindowContainer& getWindowContainer() noexcept { return *windowContainer; }
    MainContainer& getMainContainer() noexcept;
    ProjectInterface& getProjectInterface() noexcept;

    void storeWindowState();

    // The first steps of quitting: closes the log window and offers to save a
    // modified design. False when the program should keep running.
    bool prepareToQuit();

    bool keyPressed (const juce::KeyPress& key) override;
    void closeButtonPressed() override;

    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void fileDragEnter (const juce::StringArray& files, int x, int y) override;
    void fileDragExit (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;

private:
    std::unique_ptr<juce::PropertiesFile> settings;
    myLookAndFeel::Default lookAndFeel;
    // Shows the tooltip of whatever the mouse rests on, in every window.
    juce::TooltipWindow tooltipWindow;
    WindowContainer* windowContainer = nullptr; // the content, owned by the window

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainAppWindow)
};
