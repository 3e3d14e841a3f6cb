#include "app/VersionInfoReader.h"

#include "app/VersionInfoText.h"

VersionInfoReader::VersionInfoReader (juce::URL serverAddress, int deadline, int maximumBytes)
    : juce::Thread ("Version text"), deadlineMs (deadline), maxBytes (maximumBytes),
      connection (std::move (serverAddress), deadline)
{
}

VersionInfoReader::~VersionInfoReader()
{
    stopTimer();
    connection.cutOff();
    waitForThreadToExit (-1);
    cancelPendingUpdate();
}

void VersionInfoReader::start (std::function<void (const juce::String&)> done)
{
    onDone = std::move (done);
    reported = false;
    startTimer (deadlineMs);
    startThread();
}

juce::String VersionInfoReader::readNow()
{
    startThread();

    if (! waitForThreadToExit (deadlineMs))
    {
        connection.cutOff();
        waitForThreadToExit (-1);
    }

    reported = true;
    return getText();
}

void VersionInfoReader::run()
{
    const auto result = receive();

    {
        const juce::ScopedLock sl (lock);

        // What comes after the deadline is not taken.
        if (! connection.isCutOff())
            text = result;
    }

    triggerAsyncUpdate();
}

juce::String VersionInfoReader::receive()
{
    if (! connection.connect() || ! connection.isSuccess())
        return {};

    auto& input = connection.getStream();
    juce::MemoryBlock received;
    char buffer[4096];

    while (! threadShouldExit())
    {
        const auto count = input.read (buffer, (int) sizeof (buffer));

        if (count <= 0)
            break;

        received.append (buffer, (size_t) count);

        // More than a version text holds is no version text.
        if ((int) received.getSize() > maxBytes)
            return {};
    }

    // A cut-off read ends like a finished one: only a whole answer counts.
    if (input.isError() || ! input.isExhausted())
        return {};

    return VersionInfoText::decode (received);
}

juce::String VersionInfoReader::getText() const
{
    const juce::ScopedLock sl (lock);
    return text;
}

void VersionInfoReader::report (const juce::String& result)
{
    stopTimer();

    if (reported.exchange (true))
        return;

    // The callback may delete this: nothing of it is touched afterwards.
    if (auto done = std::move (onDone))
        done (result);
}

void VersionInfoReader::timerCallback()
{
    // The deadline: what has come whole counts, the rest is cut off.
    connection.cutOff();
    report (getText());
}

void VersionInfoReader::handleAsyncUpdate()
{
    report (getText());
}
