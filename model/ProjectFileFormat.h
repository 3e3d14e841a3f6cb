#pragma once

#include <juce_core/juce_core.h>

// The names and fixed values of the project file (".zqp"), shared by its
// reader and its writer. The names are the file's own, misspelling included
// ("ProjectWitdh"): files written by every earlier version use them.
struct ProjectFileFormat
{
    static constexpr const char* rootTag = "OSTRANE_QUELLION_Configuration";
    static constexpr const char* formatVersion = "1.01";
    static constexpr double formatVersionNumber = 1.01;
    static constexpr const char* softwareVersion = "1.3.3.6";

    static constexpr const char* fileExtension = ".zqp";
    // Choosers on some desktops match patterns case by case.
    static constexpr const char* filePatterns = "*.zqp;*.ZQP";

    // Far above the largest design (16 DSPs of 63 processes with their
    // saved values); anything larger is no project file.
    static constexpr juce::int64 largestFile = 64 * 1024 * 1024;

    // Ends the name of a process that the module definitions lack.
    static constexpr const char* removedSuffix = "(Removed).";

    static constexpr int maxProcessNrpn = 127; // a MIDI data byte: the high byte of the process's control numbers
    static constexpr int maxDspIndex = 16;
    static constexpr uint32_t maxDelayCount = 65535;
    static constexpr uint32_t maxUncheckedPins = 64; // a process the definitions lack
    static constexpr uint32_t dspPinsWithoutModule = 8;
};
