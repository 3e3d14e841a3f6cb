#include "app/InstallerDownload.h"

#include "model/FileReplacement.h"

namespace
{
constexpr int bufferSize = 0x8000;
constexpr int maxRedirects = 5;
} // namespace

InstallerDownload::InstallerDownload (const juce::URL& address, const juce::File& target,
                                      juce::URL::DownloadTaskListener& downloadListener, int timeoutMs)
    : juce::Thread ("Installer download"), listener (downloadListener)
{
    targetLocation = target;

    // The temporary file of the target, as every file the program writes
    // has: a download cut short leaves this one file, which the next
    // download to the same place replaces.
    if (FileReplacement::clearTemporaryFile (target))
    {
        temporary = std::make_unique<juce::TemporaryFile> (target, FileReplacement::getTemporaryFile (target));
        output = std::make_unique<juce::FileOutputStream> (temporary->getFile(), bufferSize);
    }

    if (output == nullptr || ! output->openedOk())
    {
        output.reset();
        start = Start::unwritable;
        return;
    }

    input = std::make_unique<juce::WebInputStream> (address, false);
    input->withConnectionTimeout (timeoutMs).withNumRedirectsToFollow (maxRedirects);

    // A refused connection still "connects", with no status at all.
    if (! input->connect (nullptr) || input->getStatusCode() <= 0)
    {
        start = Start::unreachable;
        return;
    }

    httpCode = input->getStatusCode();
    contentLength = input->getTotalLength();

    if (httpCode < 200 || httpCode > 299)
    {
        start = Start::refused;
        return;
    }

    start = Start::receiving;
    startThread();
}

InstallerDownload::~InstallerDownload()
{
    signalThreadShouldExit();

    if (input != nullptr)
        input->cancel();

    stopThread (-1);
    output.reset();
}

bool InstallerDownload::keep()
{
    if (! succeeded || isThreadRunning() || temporary == nullptr)
        return false;

    return temporary->overwriteTargetFileWithTemporary();
}

void InstallerDownload::run()
{
    const auto complete = receive();
    output.reset();

    // The counters are read by others once the thread has ended.
    error = ! complete;
    finished = true;
    succeeded = complete;

    if (! threadShouldExit())
        listener.finished (this, complete);
}

bool InstallerDownload::receive()
{
    juce::HeapBlock<char> buffer (bufferSize);

    for (;;)
    {
        if (threadShouldExit())
            return false;

        listener.progress (this, downloaded, contentLength);

        if (input->isExhausted())
            break;

        const auto received = input->read (buffer.get(), bufferSize);

        if (received < 0 || input->isError() || threadShouldExit())
            return false;

        // Nothing more comes: the length check below tells a whole file
        // from a connection that ended early.
        if (received == 0)
            break;

        if (! output->write (buffer.get(), (size_t) received))
            return false;

        downloaded += received;
    }

    output->flush();

    return ! output->getStatus().failed() && (contentLength < 0 || downloaded == contentLength);
}
