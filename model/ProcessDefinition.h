#pragma once

#include "model/BoundedList.h"
#include "model/LibraryFunctionDefinition.h"

#include <cstdint>
#include <string>

namespace juce
{
class String;
}

// One entry of a process's pin table; graph nodes build their pins from it.
struct ProcessPinEntry
{
    static constexpr uint32_t vectorPin = 2;
    static constexpr uint32_t virtualPin = 3;

    std::string name;
    uint8_t direction = 0; // 1 an input pin, 0 an output pin
    int bus = -1;
    uint32_t word = 0;
    uint32_t kind = vectorPin;
};

// One process (DSP algorithm) that a module offers: its costs, pins, memory
// needs and the SDK functions that set it up (first list) and control it
// (second list). The lists take their capacity from the count the file
// declares before their entries.
class ProcessDefinition
{
public:
    static constexpr uint32_t channelWordPresentBit = 0x200;

    uint32_t processId = 0;
    uint32_t cyclesPerChannel = 0;
    uint32_t baseCycles = 0;
    uint32_t ramPerChannel = 0;
    uint32_t baseRam = 0;
    uint32_t inputCount = 0;
    uint32_t outputCount = 0;
    int invalidFunctionCount = 0;
    int coefficientFunctionCount = 0;
    uint32_t defaultChannelWord = 1;
    uint32_t memoryClassWord = 0;
    uint32_t memorySelector = 0;
    uint32_t processKind = 0;
    std::string name;
    bool hasKind = false;
    bool hasChannelWord = false;
    bool hasMemoryClass = false;
    bool memoryClass11to13 = false;
    uint32_t wordPresetToOne = 1;
    bool memoryClass243 = false;
    bool fromSps = false;
    bool casesWritten = false;
    std::string helpPage;

    BoundedList<ProcessPinEntry> pins;
    BoundedList<LibraryFunctionDefinition> firstFunctions;
    BoundedList<LibraryFunctionDefinition> secondFunctions;

    int getFirstFunctionCount() const noexcept { return firstFunctions.size(); }
    int getSecondFunctionCount() const noexcept { return secondFunctions.size(); }
    int getPinCount() const noexcept { return pins.size(); }

    // Appends to the first (list 0) or second (list 1) function list; none when full.
    LibraryFunctionDefinition* addFunction (int list, std::unique_ptr<LibraryFunctionDefinition> function);
    ProcessPinEntry* addPin (const std::string& pinName, uint8_t direction, uint32_t kind);

    // A level-meter process: its first control function reads a peak.
    bool hasGetPeakFunction() const;

    // A delay-type process: its count is a delay, which its presets carry as
    // the fixed delay control.
    bool isDelayType() const noexcept;

    // Whether a control of that name is one a delay-type process had while
    // its length counted as channels: a copy per ms of each control with an
    // index ("Time2" ... after "Time1"), which it no longer has.
    bool isCopyPerMillisecond (const juce::String& controlName) const;

    // The process's box offers a choice of memory (a count with a memory
    // class, or a delay-type count), which the node keeps.
    bool offersMemoryChoice() const noexcept;

    // The memory word ("MemoryDelay") a process starts with: its memory
    // class word, else 1 (external RAM).
    uint32_t getDefaultMemoryWord() const noexcept;
};

// Process kinds, tested on a process's kind word.
bool isBiquadProcessKind (uint32_t kind);
bool isSecondBiquadProcessKind (uint32_t kind);
bool isCompressorProcessKind (uint32_t kind);
bool isCompanderProcessKind (uint32_t kind);
bool isLimiterProcessKind (uint32_t kind);
