#include "app/VARENTIXApplication.h"

#include "app/ApplicationSettings.h"
#include "app/MainAppWindow.h"
#include "app/SoftwareUpdater.h"
#include "editors/Dialogs.h"

#include <cstdio>

VARENTIXApplication::VARENTIXApplication() = default;

VARENTIXApplication::~VARENTIXApplication() = default;

juce::File VARENTIXApplication::resolveStartFile (const juce::String& commandLine, const juce::File& workingDirectory)
{
    const auto path = commandLine.trimEnd().removeCharacters ("\"");

    if (path.isEmpty())
        return {};

    const auto file = workingDirectory.getChildFile (path);

    if (file.existsAsFile() || file.getFileExtension().equalsIgnoreCase (".zqp"))
        return file;

    return {};
}

juce::String VARENTIXApplication::makeComparableVersion (const juce::String& version)
{
    const auto firstDot = version.indexOfChar ('.');

    if (firstDot < 0)
        return version;

    return version.substring (0, firstDot + 1) + version.substring (firstDot + 1).removeCharacters (".");
}

void VARENTIXApplication::initialise (const juce::String& commandLine)
{
    if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() == nullptr)
    {
        std::fprintf (stderr, "OSTRANE Quellion needs a graphical display; none was found.\n");
        setApplicationReturnValue (1);
        quit();
        return;
    }

    lookAndFeel = std::make_unique<myLookAndFeel::Default>();

    auto* midiControl = midiControlLibrary.openInterface (MidiControlLibrary::getDefaultFile(), *this, Dialogs::getCurrent());

    const auto startFile = resolveStartFile (commandLine, juce::File::getCurrentWorkingDirectory());
    mainWindow = std::make_unique<MainAppWindow> (startFile, midiControl, ApplicationSettings::open(), this);

    triggerAsyncUpdate();
}

void VARENTIXApplication::handleAsyncUpdate()
{
    if (updater != nullptr)
        return;

    // The first thing the running program does. The server is asked in the
    // background: the window and a quit never wait for its answer, and the
    // offer of a newer version comes when the answer has.
    updater = std::make_unique<SoftwareUpdater>();
    updater->startUpdateCheck (updateCheckKey, makeComparableVersion (getApplicationVersion()));
}

void VARENTIXApplication::shutdown()
{
    cancelPendingUpdate();
    // A reading still going is cut off, not waited for.
    updater.reset();

    // The window hands every object of the library back before the library goes.
    mainWindow.reset();
    midiControlLibrary.close();
    lookAndFeel.reset();
}

void VARENTIXApplication::anotherInstanceStarted (const juce::String&) {}

void VARENTIXApplication::systemRequestedQuit()
{
    if (mainWindow != nullptr)
    {
        if (! mainWindow->prepareToQuit())
            return;

        // The window vanishes at once; it is deleted at shutdown.
        mainWindow->setVisible (false);
    }

    quit();
}
