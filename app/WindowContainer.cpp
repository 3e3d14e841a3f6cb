#include "app/WindowContainer.h"

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
