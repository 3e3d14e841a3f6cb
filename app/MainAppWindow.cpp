#include "app/MainAppWindow.h"

#include "app/ApplicationSettings.h"
#include "app/MainContainer.h"
#include "app/ProjectInterface.h"
#include "app/WindowContainer.h"
#include "app/WindowPlacement.h"

MainAppWindow::MainAppWindow (const juce::File& startFile, HvIfInterface* midiControl,
                              std::unique_ptr<juce::PropertiesFile> settingsFile, BoardMidiCallback* boardCallback)
    : juce::DocumentWindow (title, juce::Colour (0xff232321), juce::DocumentWindow::allButtons, true),
      settings (std::move (settingsFile))
{
    jassert (settings != nullptr);

    setLookAndFeel (&lookAndFeel.get());
    setUsingNativeTitleBar (false);
    setResizable (true, false);
    setResizeLimits (800, 600, 10000, 10000);

    const auto state = settings->getValue (ApplicationSettings::windowStateKey);

    if (! WindowPlacement::restore (*this, state))
    {
        if (auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
            setBounds (getDefaultBounds (display->userArea));
        else
            setBounds (getDefaultBounds ({ 0, 0, 1280, 1024 }));
    }

    windowContainer = new WindowContainer (*settings, midiControl, boardCallback);
    setContentOwned (windowContainer, false);
    setVisible (true);

    getMainContainer().setMidiControl (midiControl, midiControl != nullptr ? midiControl->createPanelObject() : nullptr);
    getMainContainer().setMainWindow (this);

    if (startFile != juce::File())
        getProjectInterface().openProject (startFile);
}

MainAppWindow::~MainAppWindow()
{
    // Every way out passes here (the close button, Ctrl+Q, the File menu, a
    // request of the system), so the place is kept whichever was taken.
    storeWindowState();

    // The content goes first, while the look it uses still stands; the
    // settings file goes last, once every owner has written its keys.
    clearContentComponent();
    windowContainer = nullptr;
    setLookAndFeel (nullptr);
}

juce::Rectangle<int> MainAppWindow::getDefaultBounds (juce::Rectangle<int> displayArea)
{
    const auto w = displayArea.getWidth();
    const auto h = displayArea.getHeight();

    return { displayArea.getX() + (int) (0.1 * w), displayArea.getY() + (int) (0.1 * h), juce::jmax (800, (int) (0.5 * w)),
             juce::jmax (600, (int) (0.7 * h)) };
}

MainContainer& MainAppWindow::getMainContainer() noexcept
{
    return windowContainer->getMainContainer();
}

ProjectInterface& MainAppWindow::getProjectInterface() noexcept
{
    return getMainContainer().getProjectInterface();
}

void MainAppWindow::storeWindowState()
{
    settings->setValue (ApplicationSettings::windowStateKey, getWindowStateAsString());
}

bool MainAppWindow::prepareToQuit()
{
    windowContainer->closeLogWindow();
    return getProjectInterface().askToSaveChanges ("Do you want to save?");
}

bool MainAppWindow::keyPressed (const juce::KeyPress& key)
{
    getMainContainer().keyPressed (key);
    return true;
}

void MainAppWindow::closeButtonPressed()
{
    storeWindowState();

    if (auto* application = juce::JUCEApplicationBase::getInstance())
        application->systemRequestedQuit();
}

bool MainAppWindow::isInterestedInFileDrag (const juce::StringArray&)
{
    return true;
}

void MainAppWindow::fileDragEnter (const juce::StringArray&, int, int)
{
    repaint();
}

void MainAppWindow::fileDragExit (const juce::StringArray&)
{
    repaint();
}

void MainAppWindow::filesDropped (const juce::StringArray& files, int, int)
{
    if (! files.isEmpty())
        getProjectInterface().openProject (juce::File (files[0]));

    repaint();
}
