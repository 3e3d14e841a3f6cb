#include "app/SoftwareUpdater.h"

#include "app/MainContainer.h"
#include "app/VersionInfoText.h"
#include "editors/DesktopOpener.h"
#include "editors/Dialogs.h"

#include <cstdlib>
#include <utility>

#ifndef VX_UPDATE_SERVER
#define VX_UPDATE_SERVER ""
#endif

namespace
{
constexpr const char* boxTitle = "Software update";
constexpr int cancelResult = 0;
constexpr int finishedResult = 1;

juce::String joinAddress (const juce::String& folder, const juce::String& name)
{
    return folder.endsWithChar ('/') ? folder + name : folder + "/" + name;
}
} // namespace

// The box the download runs under. It waits for the user as a modal box
// does, yet the program's quit shortcut still quits: the download is given
// up rather than waited for.
class SoftwareUpdater::ProgressWindow : public juce::AlertWindow
{
public:
    explicit ProgressWindow (std::function<void()> quit)
        : juce::AlertWindow (boxTitle, "Installer is downloading", juce::MessageBoxIconType::NoIcon), onQuit (std::move (quit))
    {
    }

    bool keyPressed (const juce::KeyPress& key) override
    {
        if (MainContainer::findShortcut (key) != MainContainer::Shortcut::quit)
            return juce::AlertWindow::keyPressed (key);

        if (onQuit != nullptr)
            onQuit();

        return true;
    }

private:
    std::function<void()> onQuit;
};

SoftwareUpdater::SoftwareUpdater()
    : openInBrowser ([] (const juce::String& address) { return DesktopOpener::openWebPage (address); }),
      onQuitRequested (
          []
          {
              if (auto* application = juce::JUCEApplicationBase::getInstance())
                  application->systemRequestedQuit();
          }),
      serverAddress (getDefaultServerAddress())
{
}

SoftwareUpdater::~SoftwareUpdater()
{
    // The reading and the download's thread end before what they report to.
    reader.reset();
    download.reset();
    cancelPendingUpdate();
}

juce::String SoftwareUpdater::getDefaultServerAddress()
{
    if (const char* fromEnvironment = std::getenv (serverVariable))
        return juce::String::fromUTF8 (fromEnvironment).trim();

    return VX_UPDATE_SERVER;
}

std::unique_ptr<VersionInfoReader> SoftwareUpdater::makeReader() const
{
    if (! DesktopOpener::isWebAddress (serverAddress))
        return nullptr;

    return std::make_unique<VersionInfoReader> (juce::URL (joinAddress (serverAddress, VersionInfoText::fileName)), timeoutMs,
                                                maxVersionInfoBytes);
}

juce::String SoftwareUpdater::readVersionInfo() const
{
    auto versionReader = makeReader();
    return versionReader != nullptr ? versionReader->readNow() : juce::String();
}

juce::File SoftwareUpdater::runUpdateCheck (const juce::String& appKey, const juce::String& runningVersion)
{
    return offerUpdate (appKey, runningVersion, readVersionInfo());
}

void SoftwareUpdater::startUpdateCheck (const juce::String& appKey, const juce::String& runningVersion)
{
    reader = makeReader();

    if (reader != nullptr)
        reader->start ([this, appKey, runningVersion] (const juce::String& text) { offerUpdate (appKey, runningVersion, text); });
}

juce::File SoftwareUpdater::offerUpdate (const juce::String& appKey, const juce::String& runningVersion,
                                         const juce::String& versionInfo)
{
    const auto entry = VersionInfoText::findEntry (versionInfo, appKey);

    if (! entry.has_value() || ! VersionInfoText::isNewer (entry->version, runningVersion))
        return {};

    const auto choice = Dialogs::getCurrent().askWithButtons (
        juce::MessageBoxIconType::WarningIcon, "Update notification",
        "A software update is available: " + appKey + " V" + entry->version + "\n" + entry->notes,
        { "Download automatically now", "Go to download page", "Remind me later" });

    if (choice == 1)
        openInBrowser (entry->address);

    if (choice != 0)
        return {};

    return downloadInstaller (appKey, entry->version, entry->address);
}

juce::File SoftwareUpdater::downloadInstaller (const juce::String& appKey, const juce::String& version,
                                               const juce::String& pageAddress)
{
    const auto folder = Dialogs::getCurrent().chooseDirectory (
        "Save installer to...", juce::File::getSpecialLocation (juce::File::userDocumentsDirectory));

    // No folder, no download: there is nowhere the user asked for it to go.
    if (folder == juce::File())
        return {};

    const auto fileName = VersionInfoText::makeInstallerName (appKey, version);
    const auto target = folder.getChildFile (fileName);

    downloadFinished = false;
    downloadSucceeded = false;
    reportedProgress = 0.0;
    progressValue = 0.0;
    download = std::make_unique<InstallerDownload> (juce::URL (VersionInfoText::makeInstallerAddress (pageAddress, fileName)),
                                                    target, *this, timeoutMs);

    // The download connects on its own thread, within the deadline, while
    // the window goes on; a quit meanwhile ends the wait and the download.
    if (! waitWhileConnecting())
    {
        download.reset();
        return {};
    }

    const auto start = download->getStart();
    const auto status = download->statusCode();

    if (start != InstallerDownload::Start::receiving)
    {
        download.reset();

        if (start == InstallerDownload::Start::refused && status == 404)
            showError ("Error: " + fileName + " not found");
        else if (start == InstallerDownload::Start::refused)
            showError ("Error: " + fileName + " could not be downloaded: the server answered " + juce::String (status) + ".");
        else if (start == InstallerDownload::Start::unwritable)
            showError ("Error: " + fileName + " could not be written into " + folder.getFullPathName() + ".");
        else
            showError ("Error: " + fileName + " could not be downloaded: the server does not answer.");

        return {};
    }

    const auto completed = runProgressWindow();
    const auto kept = completed && downloadSucceeded && download->keep();
    download.reset();

    if (completed && ! kept)
        showError ("Error: " + fileName + " could not be downloaded completely into " + folder.getFullPathName() + ".");

    return kept ? target : juce::File();
}

bool SoftwareUpdater::waitWhileConnecting()
{
    while (download->getStart() == InstallerDownload::Start::connecting)
        if (! juce::MessageManager::getInstance()->runDispatchLoopUntil (20))
            return false;

    return true;
}

bool SoftwareUpdater::runProgressWindow()
{
    progressWindow = std::make_unique<ProgressWindow> (onQuitRequested);
    progressWindow->addProgressBarComponent (progressValue);
    progressWindow->addButton ("Cancel", cancelResult, juce::KeyPress (juce::KeyPress::escapeKey),
                               juce::KeyPress (juce::KeyPress::returnKey));
    progressWindow->setAlwaysOnTop (true);

    // A download that ended before the window was up is noticed in the loop.
    progressWindow->enterModalState (true);
    progressWindow->toFront (true);
    triggerAsyncUpdate();

    const auto result = progressWindow->runModalLoop();
    progressWindow.reset();
    return result == finishedResult;
}

void SoftwareUpdater::showError (const juce::String& text)
{
    Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::WarningIcon, boxTitle, text, "Cancel");
}

void SoftwareUpdater::progress (juce::URL::DownloadTask*, juce::int64 bytesDownloaded, juce::int64 totalLength)
{
    // An unknown length shows as a bar that is busy rather than filling.
    reportedProgress = totalLength > 0 ? (double) bytesDownloaded / (double) totalLength : -1.0;
    triggerAsyncUpdate();
}

void SoftwareUpdater::finished (juce::URL::DownloadTask*, bool success)
{
    downloadSucceeded = success;
    downloadFinished = true;
    triggerAsyncUpdate();
}

void SoftwareUpdater::handleAsyncUpdate()
{
    progressValue = reportedProgress;

    // The box may wait beneath another, such as the quit's question whether
    // to save: it ends all the same, and returns once that one is answered.
    if (downloadFinished && progressWindow != nullptr && progressWindow->isCurrentlyModal (false))
        progressWindow->exitModalState (finishedResult);
}
