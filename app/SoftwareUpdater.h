#pragma once

#include "app/InstallerDownload.h"

#include <juce_events/juce_events.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <functional>
#include <memory>

// The update check of one start: reads the version text from the maker's
// web server and, when a newer version of the program is published, offers
// to open its download page or to download its installer at once, under a
// box with a progress bar and "Cancel". It runs on the message thread and
// waits for the server, at most a bounded time; the download's own thread
// only reports back. Made by the caller for one check.
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
    // How long the server may keep the program waiting before an answer
    // (and between two parts of one).
    void setTimeoutMs (int milliseconds) noexcept { timeoutMs = milliseconds; }

    // Opens a web page with the desktop's browser; tests record instead.
    std::function<bool (const juce::URL&)> openInBrowser;

    // The whole check for the program of the given key, running the given
    // version ("1.336"): the downloaded installer, or none when nothing was
    // downloaded.
    juce::File runUpdateCheck (const juce::String& appKey, const juce::String& runningVersion);

    // The version text as the server gives it; empty when the server is off,
    // unreachable, answers with an error, or sends more than a version text
    // can hold.
    juce::String readVersionInfo() const;

    // What the progress bar shows: 0 to 1, or -1 while the length is unknown.
    double getProgress() const noexcept { return progressValue; }

    void finished (juce::URL::DownloadTask* task, bool success) override;
    void progress (juce::URL::DownloadTask* task, juce::int64 bytesDownloaded, juce::int64 totalLength) override;

private:
    juce::File downloadInstaller (const juce::String& appKey, const juce::String& version, const juce::String& pageAddress);
    bool runProgressWindow();
    static void showError (const juce::String& text);
    void handleAsyncUpdate() override;

    juce::String serverAddress;
    int timeoutMs = defaultTimeoutMs;

    std::unique_ptr<InstallerDownload> download;
    std::unique_ptr<juce::AlertWindow> progressWindow;
    double progressValue = 0.0; // read by the progress bar, on the message thread
    std::atomic<double> reportedProgress{ 0.0 };
    std::atomic<bool> downloadFinished{ false }, downloadSucceeded{ false };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SoftwareUpdater)
};
