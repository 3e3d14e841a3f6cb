#pragma once

#include <juce_core/juce_core.h>

#include <memory>

// One web request whose connection another thread may cut off at any time:
// the stream is made under a lock, so that a cut-off coming first means no
// connection is made at all, and one coming later cancels the connection at
// once, rather than at the server's pace. Redirects are followed a few times.
class CutOffConnection
{
public:
    CutOffConnection (juce::URL address, int timeoutMs);

    // On the connecting thread: connects and waits for the server's answer,
    // at most the timeout. False when cut off (before or meanwhile), or when
    // no server answered (a refused connection "connects" with no status).
    bool connect();

    // After a connect(): the answer's status, and whether it is a success
    // (2xx), the only answer whose body is what was asked for.
    int getStatusCode() const noexcept { return status; }
    bool isSuccess() const noexcept { return status >= 200 && status <= 299; }

    // The answer's stream; only after a connect() that returned true.
    juce::WebInputStream& getStream() { return *stream; }

    // From any thread: ends the connection, now or as soon as it is made.
    void cutOff();
    bool isCutOff() const;

private:
    const juce::URL address;
    const int timeoutMs;
    mutable juce::CriticalSection lock;
    std::unique_ptr<juce::WebInputStream> stream; // the connecting thread's; cancelled by others under the lock
    bool cutOffFlag = false;                      // under the lock
    int status = 0;                               // the connecting thread's

    JUCE_DECLARE_NON_COPYABLE (CutOffConnection)
};
