#include "app/InstallerDownload.h"

#include "model/FileReplacement.h"

namespace
{
constexpr int bufferSize = 0x8000;
// Each read returns once this much has come: a line slower than this per
// deadline counts as stalled.
constexpr int readSize = 0x1000;
constexpr int watchIntervalMs = 100;
} // namespace

InstallerDownload::InstallerDownload (const juce::URL& installerAddress, const juce::File& target,
                                      juce::URL::DownloadTaskListener& downloadListener, int timeout)
    : juce::Thread ("Installer download"), timeoutMs (timeout), listener (downloadListener),
      connection (installerAddress, timeout)
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

    // The server's answer, through every redirect, and then each part of
    // the file come within the deadline, or the connection is cut off.
    lastArrival = juce::Time::getMillisecondCounter();
    startTimer (juce::jmin (watchIntervalMs, timeoutMs));
    startThread();
}

InstallerDownload::~InstallerDownload()
{
    stopTimer();
    signalThreadShouldExit();
    connection.cutOff();
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
    const auto answer = connect();
    start = answer;

    const auto complete = answer == Start::receiving && receive();
    output.reset();

    // The counters are read by others once the thread has ended.
    error = ! complete;
    finished = true;
    succeeded = complete;

    if (! threadShouldExit())
        listener.finished (this, complete);
}

InstallerDownload::Start InstallerDownload::connect()
{
    if (! connection.connect())
        return Start::unreachable;

    lastArrival = juce::Time::getMillisecondCounter();

    auto& input = connection.getStream();
    httpCode = connection.getStatusCode();
    contentLength = input.getTotalLength();
    // (JUCE's list of the headers misses the first line after the status;
    // servers send their name or the date there.)
    chunked = input.getResponseHeaders()["Transfer-Encoding"].containsIgnoreCase ("chunked");

    return connection.isSuccess() ? Start::receiving : Start::refused;
}

bool InstallerDownload::receive()
{
    auto& input = connection.getStream();
    juce::HeapBlock<char> buffer (readSize);

    for (;;)
    {
        listener.progress (this, downloaded, contentLength);

        const auto received = input.read (buffer.get(), readSize);

        if (received < 0 || threadShouldExit())
            return false;

        // Nothing more comes: the connection ended, whole or not (told below).
        if (received == 0)
            break;

        lastArrival = juce::Time::getMillisecondCounter();

        if (! output->write (buffer.get(), (size_t) received))
            return false;

        downloaded += received;
    }

    output->flush();
    return ! output->getStatus().failed() && arrivedWhole();
}

bool InstallerDownload::arrivedWhole()
{
    // A stall, a cut or any other failure of the connection ends it with an
    // error; a connection that simply closes is whole only when the answer
    // said how long it is, or marks its own end (chunks), and an answer of
    // no bytes is no installer.
    auto& input = connection.getStream();

    if (input.isError() || ! input.isExhausted() || downloaded <= 0)
        return false;

    return contentLength >= 0 ? downloaded == contentLength : chunked;
}

void InstallerDownload::timerCallback()
{
    // Read before the clock, so that a part arriving meanwhile is no wait.
    const juce::uint32 last = lastArrival;

    if (! isThreadRunning())
        stopTimer();
    else if (juce::Time::getMillisecondCounter() - last > (juce::uint32) timeoutMs)
        connection.cutOff();
}
