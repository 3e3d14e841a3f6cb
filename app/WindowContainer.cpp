#include "app/WindowContainer.h"

#include "app/ProjectInterface.h"
#include "app/SavePresetThread.h"
#include "editors/Dialogs.h"
#include "model/DesignLog.h"
#include "model/ProjectSettings.h"

WindowContainer::WindowContainer (juce::PropertiesFile& settingsFile, HvIfInterface* midiControl)
    : settings (settingsFile), mainContainer (settingsFile)
{
    mainContainer.setMidiControl (midiControl, nullptr);
    addAndMakeVisible (mainContainer);
}

WindowContainer::~WindowContainer()
{
    logWindow.reset();
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
            if (auto* window = mainContainer.getMainWindow())
                window->setName (ProjectSettings::makeWindowTitle (project.getTitleText()) + " - (locked)");

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
}
