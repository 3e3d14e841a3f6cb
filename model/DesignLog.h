#pragma once

#include <juce_core/juce_core.h>

// The one log of the whole program: generation, project loading and the
// process ordering append their messages to one text and count their errors
// in one counter, which the log window and the generation summary read.
// The design flags live beside it: the design-locked flag, which makes every
// editor and the undo manager refuse edits, and the lock-warning-shown flag.

// A damaged file may hold the same fault many thousand times: readers list
// this many problems of one kind and say in one line how many more there were.
constexpr int maxListedProblemsOfAKind = 20;

void appendToLog (const juce::String& text, int errorIncrement);
void logError (const juce::String& message, int dspNumber);
void logInternalError (const juce::String& message, int dspNumber);

juce::String getLogText();
int getLogErrorCount();
// Empties the log text and the error counter (the log window's opener does
// this before a generation, and tests between cases).
void clearLog();

// Holds back what is logged while it holds, to let it through later: a run
// that writes its files before it can say what became of them logs those
// lines first and what it held back after them. Errors held back are
// numbered and counted when they are let through, so the numbers follow the
// log's order. Message thread only; holds do not nest.
class LogHold
{
public:
    LogHold();
    // Stops holding and lets through what was held, in its order.
    ~LogHold();

    LogHold (const LogHold&) = delete;
    LogHold& operator= (const LogHold&) = delete;

    // What is logged from now on goes to the log at once, ahead of what
    // was held.
    void stopHolding();
};

void setDesignLocked (bool locked);
bool isDesignLocked();
void setLockWarningShown (bool shown);
bool isLockWarningShown();
void clearDesignFlags();
