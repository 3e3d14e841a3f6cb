#include "app/WindowContainer.h"

#include "app/ProjectInterface.h"
#include "app/SavePresetThread.h"
#include "editors/Dialogs.h"
#include "model/DesignLog.h"

WindowContainer::WindowContainer (juce::PropertiesFile& settingsFile, HvIfInterface* midiControl)
    : settings (settingsFile), mainContainer (settingsFile)
{
    mainContainer.setMidiControl (midiControl, nullptr);
    addAndMakeVisible (mainContainer);

    aboutButton.setColour (juce::TextButton::textColourOffId, juce::Colours::white);
    aboutButton.setColour (juce::TextButton::textColourOnId, juce::Colours::white);
    aboutButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff484848));
    aboutButton.addListener (this);
    addAndMakeVisible (aboutButton);
}

WindowContainer::~WindowContainer()
{
    aboutButton.removeListener (this);
    aboutWindow.reset();
    logWindow.reset();
}

void WindowContainer::buttonClicked (juce::Button* button)
{
    if (button == &aboutButton)
        showAboutWindow();
}

void WindowContainer::showAboutWindow()
{
    if (aboutWindow == nullptr)
    {
        const auto width = getWidth();
        const auto height = getHeight();

        // Over the right part of the main window, wherever that stands.
        aboutWindow = std::make_unique<HelpWindow> ("About", juce::Colour (0xff383838));
        aboutWindow->setBounds (getScreenX() + (int) (0.6 * width), getScreenY() + (int) (0.3 * height),
                                juce::jmax (300, (int) (0.2 * width)), juce::jmax (200, (int) (0.3 * height)));
        aboutWindow->setResizable (false, false);
        aboutWindow->setResizeLimits (300, 180, 800, 2000);
    }

    aboutWindow->setVisible (true);
    aboutWindow->toFront (true);
}

juce::String WindowContainer::makeLogHeader (juce::Time time)
{
    return "Compilation result on " + time.formatted ("%d/%m/%Y") + " at " + time.formatted ("%H:%M:%S") + "\n";
}

void WindowContainer::showLogWindow()
{
    clearLog();
    appendToLog (makeLogHeader (juce::Time::getCurrentTime()), 0);

    if (logWindow != nullptr && logWindow->isVisible())
    {
        // Closing stores where it stood, so the new window opens there.
        logWindow->closeButtonPressed();
        showLogWindow();
        return;
    }

    logWindow.reset();
    logWindow = std::make_unique<OutputLogWindow> (logWindowTitle, juce::Colour (0xff232321), settings);
    logWindow->setVisible (true);
    logWindow->setAlwaysOnTop (true);

    if (! logWindow->restoreStoredState())
    {
        const auto width = getWidth();
        const auto height = getHeight();

        if (width > 0 && height > 0)
            logWindow->setBounds (0, (int) (0.6 * height), width, (int) (0.4 * height));
    }

    logWindow->toFront (true);
}

void WindowContainer::closeLogWindow()
{
    if (logWindow != nullptr)
        logWindow->closeButtonPressed();
}

bool WindowContainer::saveGlobalPreset (const juce::String& choice)
{
    if (choice.isEmpty())
        return false;

    auto& globalPresets = mainContainer.getGlobalPresets();
    auto name = choice;
    const auto creating = choice == newGlobalPresetItem;

    if (creating)
    {
        if (! Dialogs::getCurrent().askForName ("New Global preset", "GlobalPresetA", name))
            return false;

        if (globalPresets.findByName (name) >= 0)
        {
            Dialogs::getCurrent().showMessage (
                juce::MessageBoxIconType::WarningIcon, "Create new global preset",
                "\"" + name + "\" global preset name already used, please choose another preset name", "Ok");
            return false;
        }
    }
    else if (globalPresets.findByName (name) < 0)
    {
        return false;
    }

    SavePresetThread saving (*this, name);
    saving.runThread();

    // A design with global presets is locked.
    if (creating && globalPresets.findByName (name) >= 0)
    {
        auto& project = mainContainer.getProjectInterface();
        setDesignLocked (true);

        if (! isLockWarningShown())
        {
            project.updateWindowTitle (project.getProjectSettings().getProjectName() + " - (locked)");
            project.warnDesignLocked();
        }

        project.refreshAllEditors();
    }

    return saving.wasSaved();
}

void WindowContainer::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour (0xff282828));
    g.fillRect (0, 0, getWidth(), 300);
}

void WindowContainer::resized()
{
    mainContainer.setBounds (0, 40, getWidth(), getHeight() - 40);
    aboutButton.setBounds (getWidth() - 27, 12, 24, 22);
}
