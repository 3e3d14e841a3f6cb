#pragma once

#include "app/InstallerDownload.h"
#include "app/VersionInfoReader.h"

#include <juce_events/juce_events.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <functional>
#include <memory>

// The update check of one start: reads the version text from the maker's
// web server and, when a newer version of the program is published, offers
// to open its download page or to download its installer at once, under a
// box with a progress bar and "Cancel". The version text is read on a thread
// of its own, within one deadline for the whole answer, so that neither the
// window nor a quit waits for the server; the offer is made on the message
// thread once the text is there. The download connects and receives on a
// thread of its own, which only reports back; the program stays live while
// it runs, and quitting gives it up. Made by the caller for one check.
class SoftwareUpdater : public juce::URL::DownloadTask::Listener, private juce::AsyncUpdater
{
public:
    static constexpr const char* serverVariable = "OSTRANE_UPDATE_SERVER";
    static constexpr int defaultTimeoutMs = 5000;
    static constexpr int maxVersionInfoBytes = 64 * 1024;

    SoftwareUpdater();
    ~SoftwareUpdater() override;

    // The folder of the web server that holds the version text: the
    // environment's OSTRANE_UPDATE_SERVER when it is set, else the build's
    // setting. Empty turns the check off.
    static juce::String getDefaultServerAddress();
    void setServerAddress (const juce::String& address) { serverAddress = address; }
    // How long the server may take for its whole answer (for a download:
    // for its answer, redirects included, and how long it may stall).
    void setTimeoutMs (int milliseconds) noexcept { timeoutMs = milliseconds; }

    // Opens a web page with the desktop's browser; tests record instead.
    std::function<bool (const juce::String&)> openInBrowser;

    // The quit shortcut pressed while the download's box waits: the
    // application's quit request (tests listen here instead). A quit that
    // happens ends the box like its "Cancel".
    std::function<void()> onQuitRequested;

    // The whole check for the program of the given key, running the given
    // version ("1.336"), while the caller waits: the downloaded installer,
    // or none when nothing was downloaded.
    juce::File runUpdateCheck (const juce::String& appKey, const juce::String& runningVersion);

    // The same check without waiting: the version text is read in the
    // background and the offer follows on the message thread when it has
    // come. Deleting the updater cuts the reading off.
    void startUpdateCheck (const juce::String& appKey, const juce::String& runningVersion);
    bool isReadingVersionInfo() const noexcept { return reader != nullptr && reader->isReading(); }

    // What follows the reading: the offer of a newer version the text
    // publishes, and the download; the installer, or none.
    juce::File offerUpdate (const juce::String& appKey, const juce::String& runningVersion, const juce::String& versionInfo);

    // The version text as the server gives it, while the caller waits at
    // most the timeout; empty when the server is off, unreachable, answers
    // with an error, sends more than a version text can hold, or does not
    // finish its answer in time.
    juce::String readVersionInfo() const;

    // What the progress bar shows: 0 to 1, or -1 while the length is unknown.
    double getProgress() const noexcept { return progressValue; }

    void finished (juce::URL::DownloadTask* task, bool success) override;
    void progress (juce::URL::DownloadTask* task, juce::int64 bytesDownloaded, juce::int64 totalLength) override;

private:
    std::unique_ptr<VersionInfoReader> makeReader() const;
    juce::File downloadInstaller (const juce::String& appKey, const juce::String& version, const juce::String& pageAddress);
    class ProgressWindow;

    // False when the program quits while the download still connects.
    bool waitWhileConnecting();
    bool runProgressWindow();
    static void showError (const juce::String& text);
    void handleAsyncUpdate() override;

    juce::String serverAddress;
    int timeoutMs = defaultTimeoutMs;

    std::unique_ptr<VersionInfoReader> reader;
    std::unique_ptr<InstallerDownload> download;
    std::unique_ptr<ProgressWindow> progressWindow;
    double progressValue = 0.0; // read by the progress bar, on the message thread
    std::atomic<double> reportedProgress{ 0.0 };
    std::atomic<bool> downloadFinished{ false }, downloadSucceeded{ false };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SoftwareUpdater)
};
