#pragma once

#include "app/CutOffConnection.h"

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include <atomic>
#include <functional>
#include <memory>

// Reads the version text from the update server on a thread of its own, so
// that no window and no quit waits for the server. The whole answer must
// come within one deadline, connection included, and within a size limit;
// otherwise there is none. A server that sends slowly, or stops sending,
// changes nothing but that: the reading is cut off at the deadline.
class VersionInfoReader : private juce::Thread, private juce::Timer, private juce::AsyncUpdater
{
public:
    VersionInfoReader (juce::URL address, int deadlineMs, int maxBytes);

    // Cuts the reading off: the thread ends as soon as the connection
    // notices (well within a second), never at the server's pace.
    ~VersionInfoReader() override;

    // Starts reading and returns at once. `done` is called once, on the
    // message thread, with the text, or with nothing when none came whole in
    // time (not at all when this is deleted first).
    void start (std::function<void (const juce::String&)> done);

    // Reads while the caller waits, at most until the deadline.
    juce::String readNow();

    // Still reading or not yet reported.
    bool isReading() const noexcept { return ! reported; }

private:
    void run() override;
    juce::String receive();
    juce::String getText() const;
    void report (const juce::String& result);

    void timerCallback() override;
    void handleAsyncUpdate() override;

    const int deadlineMs, maxBytes;
    CutOffConnection connection;

    // Taken only while the connection is not cut off, under the lock: once
    // it is, the text stays as it is.
    mutable juce::CriticalSection lock;
    juce::String text; // under the lock

    std::function<void (const juce::String&)> onDone;
    std::atomic<bool> reported{ true };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VersionInfoReader)
};
