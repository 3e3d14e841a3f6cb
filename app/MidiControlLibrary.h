#pragma once

#include "hvif/HalvixInterface.h"

#include <juce_core/juce_core.h>

class Dialogs;

// The MIDI-control library "Halvix.dll", loaded at run time from the
// executable's folder by its full path, and its "getInterface" entry.
class MidiControlLibrary
{
public:
    static constexpr const char* fileName = "Halvix.dll";
    static constexpr const char* missingMessage = "Halvix.dll is missing, MIDI control not available";

    MidiControlLibrary() = default;
    ~MidiControlLibrary();

    // The library beside the executable.
    static juce::File getDefaultFile();

    // Opens the library and looks up its entry; false when either fails.
    bool open (const juce::File& file);

    // Opens the library and asks it for its interface for the callback. When
    // the library, its entry or the interface is missing, says so in a box
    // titled "OSTRANE Quellion" and returns none: the program goes on
    // without MIDI control.
    HvIfInterface* openInterface (const juce::File& file, HvIfCallback& callback, Dialogs& dialogs);

    bool isAvailable() const noexcept { return getInterfaceEntry != nullptr; }

    // The library's interface for the given callback, or none without the
    // library (or when it gives none).
    HvIfInterface* createInterface (HvIfCallback& callback) const;

    // Call only once every object of the library has been released.
    void close();

private:
    juce::DynamicLibrary library;
    HvIfGetInterfaceFunction getInterfaceEntry = nullptr;

    JUCE_DECLARE_NON_COPYABLE (MidiControlLibrary)
};
