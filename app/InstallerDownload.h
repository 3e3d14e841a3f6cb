#pragma once

#include "app/CutOffConnection.h"

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include <atomic>
#include <memory>

// One download of an installer into a file, told to a DownloadTask listener
// as JUCE's own downloads are (progress and finished, on the download's
// thread). It differs from JUCE's in what a careful download needs: it
// connects on its own thread, and the connection (redirects included) must
// give the server's answer within one deadline or is cut off, so the
// message thread never waits for a server, and a server that then stalls
// for as long is cut off too; only a successful answer (status 2xx) is
// received at all; and the bytes go to a temporary file beside the
// target, which becomes the target only when kept after a download that
// arrived whole. A cancelled, stalled, cut or failed download leaves nothing
// behind, and an earlier file of the target's name stays as it was.
class InstallerDownload : public juce::URL::DownloadTask, private juce::Thread, private juce::Timer
{
public:
    enum class Start
    {
        connecting,  // waiting for the server's answer
        receiving,   // connected, the bytes are coming
        unwritable,  // no file could be made beside the target
        unreachable, // no answer from the server in time
        refused      // the server answered with another status than 2xx
    };

    // Makes the temporary file and starts connecting; returns at once. The
    // listener must outlive this. Made on the message thread, which runs the
    // deadline.
    InstallerDownload (const juce::URL& address, const juce::File& target, juce::URL::DownloadTaskListener& listener,
                       int timeoutMs);
    // Stops a download still running, at once; the temporary file goes unless kept.
    ~InstallerDownload() override;

    Start getStart() const noexcept { return start; }

    // After a download that arrived whole: the temporary file becomes the
    // target. False when it cannot be moved there (nothing is left behind then).
    bool keep();

private:
    void run() override;
    Start connect();
    bool receive();
    bool arrivedWhole();
    // The deadline, watched on the message thread.
    void timerCallback() override;

    const int timeoutMs;
    juce::URL::DownloadTaskListener& listener;
    CutOffConnection connection;
    std::unique_ptr<juce::TemporaryFile> temporary;
    std::unique_ptr<juce::FileOutputStream> output;
    bool chunked = false; // the answer marks its own end
    std::atomic<juce::uint32> lastArrival{ 0 };
    std::atomic<Start> start{ Start::connecting };
    std::atomic<bool> succeeded{ false };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InstallerDownload)
};
