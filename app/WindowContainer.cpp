#include "app/WindowContainer.h"

#include "model/DesignLog.h"

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

void WindowContainer::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour (0xff282828));
    g.fillRect (0, 0, getWidth(), 300);
}

void WindowContainer::resized()
{
    mainContainer.setBounds (0, 40, getWidth(), getHeight() - 40);
}
