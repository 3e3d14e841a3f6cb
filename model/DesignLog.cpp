#include "model/DesignLog.h"

#include <atomic>

namespace
{
// The log is written on the message thread, but the global-preset worker may
// read the flags and append while the message thread waits on it, so the
// text is guarded and the flags are atomic.
struct LogState
{
    juce::CriticalSection lock;
    juce::String text;
    int errorCount = 0;
};

LogState& logState()
{
    static LogState state;
    return state;
}

std::atomic<bool> designLocked{ false };
std::atomic<bool> lockWarningShown{ false };
} // namespace

void appendToLog (const juce::String& text, int errorIncrement)
{
    auto& state = logState();
    const juce::ScopedLock sl (state.lock);
    state.text += text;
    state.errorCount += errorIncrement;
}

void logError (const juce::String& message, int dspNumber)
{
    appendToLog (" !!! Error#" + juce::String (getLogErrorCount() + 1) + ": ", 1);
    appendToLog (message, 0);

    if (dspNumber != -1)
        appendToLog (" in DSP#" + juce::String (dspNumber) + "\n", 0);
}

void logInternalError (const juce::String& message, int dspNumber)
{
    logError (message, dspNumber);
    appendToLog ("...please contact a OSTRANE developer\n", 0);
}

juce::String getLogText()
{
    auto& state = logState();
    const juce::ScopedLock sl (state.lock);
    return state.text;
}

int getLogErrorCount()
{
    auto& state = logState();
    const juce::ScopedLock sl (state.lock);
    return state.errorCount;
}

void clearLog()
{
    auto& state = logState();
    const juce::ScopedLock sl (state.lock);
    state.text.clear();
    state.errorCount = 0;
}

void setDesignLocked (bool locked)
{
    designLocked = locked;
}
bool isDesignLocked()
{
    return designLocked;
}
void setLockWarningShown (bool shown)
{
    lockWarningShown = shown;
}
bool isLockWarningShown()
{
    return lockWarningShown;
}

void clearDesignFlags()
{
    designLocked = false;
    lockWarningShown = false;
}
