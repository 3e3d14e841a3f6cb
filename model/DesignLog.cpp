#include "model/DesignLog.h"

#include <atomic>
#include <string>
#include <utility>
#include <vector>

namespace
{
// A line or an error held back by a LogHold.
struct HeldEntry
{
    juce::String text;
    int errorIncrement = 0;
    bool isError = false;
    int dspNumber = -1;
};

// The log is written on the message thread, but the global-preset worker may
// read the flags and append while the message thread waits on it, so the
// text is guarded and the flags are atomic.
//
// The text grows by appends, many thousands of them for a damaged file: it
// is kept in a buffer that appends in amortised constant time (a JUCE string
// copies, or at least measures, the whole text at every append), and made a
// string again only when it is read after a change.
struct LogState
{
    juce::CriticalSection lock;
    std::string utf8;
    juce::String text;
    bool textIsCurrent = true;
    int errorCount = 0;
    // What is logged while a LogHold holds it back.
    bool holding = false;
    std::vector<HeldEntry> held;
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

    if (state.holding)
    {
        state.held.push_back ({ text, errorIncrement, false, -1 });
        return;
    }

    state.utf8.append (text.toRawUTF8(), text.getNumBytesAsUTF8());
    state.textIsCurrent = false;
    state.errorCount += errorIncrement;
}

void logError (const juce::String& message, int dspNumber)
{
    {
        auto& state = logState();
        const juce::ScopedLock sl (state.lock);

        // Held back whole: its number is the one it has when it is let through.
        if (state.holding)
        {
            state.held.push_back ({ message, 0, true, dspNumber });
            return;
        }
    }

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

    if (! state.textIsCurrent)
    {
        state.text = juce::String::fromUTF8 (state.utf8.data(), (int) state.utf8.size());
        state.textIsCurrent = true;
    }

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
    state.utf8.clear();
    state.text.clear();
    state.textIsCurrent = true;
    state.errorCount = 0;
}

LogHold::LogHold()
{
    auto& state = logState();
    const juce::ScopedLock sl (state.lock);
    jassert (! state.holding && state.held.empty());
    state.holding = true;
}

LogHold::~LogHold()
{
    auto& state = logState();
    std::vector<HeldEntry> entries;

    {
        const juce::ScopedLock sl (state.lock);
        state.holding = false;
        entries = std::exchange (state.held, {});
    }

    for (const auto& entry : entries)
    {
        if (entry.isError)
            logError (entry.text, entry.dspNumber);
        else
            appendToLog (entry.text, entry.errorIncrement);
    }
}

void LogHold::stopHolding()
{
    auto& state = logState();
    const juce::ScopedLock sl (state.lock);
    state.holding = false;
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
