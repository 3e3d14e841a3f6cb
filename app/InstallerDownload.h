#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <memory>

// One download of an installer into a file, told to a DownloadTask listener
// as JUCE's own downloads are (progress and finished, on the download's
// thread). It differs from JUCE's in what a careful download needs: the
// connection waits at most a given time, only a successful answer (status
// 2xx) is received at all, and the bytes go to a temporary file beside the
// target, which becomes the target only when kept after a complete
// download. A cancelled or failed download leaves nothing behind, and an
// earlier file of the target's name stays as it was.
class InstallerDownload : public juce::URL::DownloadTask, private juce::Thread
{
public:
    enum class Start
    {
        receiving,   // connected, the bytes are coming
        unwritable,  // no file could be made beside the target
        unreachable, // no answer from the server
        refused      // the server answered with another status than 2xx
    };

    // Makes the temporary file, connects and, on a 2xx answer, starts
    // receiving on a thread of its own. The listener must outlive this.
    InstallerDownload (const juce::URL& address, const juce::File& target, juce::URL::DownloadTaskListener& listener,
                       int timeoutMs);
    // Stops a download still running; the temporary file goes unless kept.
    ~InstallerDownload() override;

    Start getStart() const noexcept { return start; }

    // After a successful download: the temporary file becomes the target.
    // False when it cannot be moved there (nothing is left behind then).
    bool keep();

private:
    void run() override;
    bool receive();

    juce::URL::DownloadTaskListener& listener;
    std::unique_ptr<juce::TemporaryFile> temporary;
    std::unique_ptr<juce::FileOutputStream> output;
    std::unique_ptr<juce::WebInputStream> input;
    Start start = Start::unreachable;
    std::atomic<bool> succeeded{ false };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InstallerDownload)
};
