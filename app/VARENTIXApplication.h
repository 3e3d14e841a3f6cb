#pragma once

#include "app/ControlPanelCallback.h"
#include "app/MidiControlLibrary.h"
#include "app/ProgramVersion.h"
#include "app/myLookAndFeel.h"

#include <juce_events/juce_events.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class MainAppWindow;
class SoftwareUpdater;

// The application JUCE runs: loads the MIDI-control library, takes a project
// file from the command line, creates the main window, asks to save before
// quitting and tears everything down in order. It is also the callback
// through which the library reports closed panels and changed values and has
// its MIDI messages sent on the open output.
class VARENTIXApplication : public juce::JUCEApplication, public ControlPanelCallback, private juce::AsyncUpdater
{
public:
    static constexpr const char* updateCheckKey = "OstraneQuellion";

    VARENTIXApplication();
    ~VARENTIXApplication() override;

    const juce::String getApplicationName() override { return "VARENTIX"; }
    const juce::String getApplicationVersion() override { return ProgramVersion::text; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted (const juce::String& commandLine) override;
    void systemRequestedQuit() override;

    // The project file named on the command line (trailing blanks and every
    // double quote dropped, taken from the working directory), kept when it
    // exists as a file or ends in ".zqp"; none otherwise.
    static juce::File resolveStartFile (const juce::String& commandLine, const juce::File& workingDirectory);

    // "1.3.3.6" as the update check compares versions: "1.336".
    static juce::String makeComparableVersion (const juce::String& version);

    MainAppWindow* getMainWindow() const noexcept { return mainWindow.get(); }

private:
    void handleAsyncUpdate() override;

    // Our look for every window of the run, the first message box included.
    std::unique_ptr<myLookAndFeel::Default> lookAndFeel;
    MidiControlLibrary midiControlLibrary;
    std::unique_ptr<MainAppWindow> mainWindow;
    std::unique_ptr<SoftwareUpdater> updater;
};
