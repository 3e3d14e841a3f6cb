#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A "Modules.def" as plain data: exactly the fields the file carries, in the
// units the file carries them, with nothing derived. The builder writes it as
// bytes, the text form reads and prints it, and a library read back by the
// program's own reader can be described in it again, so a file can be built,
// read back and compared.
namespace modulesdef
{
// One SDK function record (kinds 0, 1, 3 and 5 share the layout).
struct FunctionDescription
{
    uint16_t form = 0;                 // 1 or 2 carry an entry mask; 2 is the second form
    std::string name;
    uint8_t returnValueCount = 0;
    uint8_t parameterCount = 0;
    uint16_t entryMask = 0;            // form 1 or 2 only
    std::vector<uint32_t> maskEntries; // form 1 or 2: one per set bit 0-14 of the mask, a | b << 16
    uint16_t parameterFlagMask = 0;    // form 1 or 2 only
    std::string label;                 // control functions (kind 3) only
    std::string annotation;            // control functions (kind 3) only
    std::vector<uint16_t> words;       // the word list; written when return values + parameters != 0
};

struct PinDescription
{
    std::string name;
    uint8_t direction = 0; // 0 an input pin, anything else an output pin
    uint8_t kind = 2;      // 2 vector pin, 3 virtual pin
};

struct ProcessDescription
{
    std::string name;
    bool fromSps = false;               // in an "@SPS" section rather than "@PCS"
    uint16_t id = 0;                    // the process id; bit 0x200 set means a channel word follows
    uint16_t cyclesPerChannel = 0;
    uint16_t baseCycles = 0;
    uint16_t ramPerChannel = 0;
    uint16_t baseRam = 0;
    uint8_t inputCount = 0;
    uint8_t outputCount = 0;
    uint16_t channelWord = 1;           // written only when id has bit 0x200
    std::optional<uint16_t> kind;       // written (with flag 0x4000) when present
    bool hasMemoryClass = false;        // flag 0x8000: the channel word is the memory class
    uint16_t memoryClassWord243 = 0;    // memory class 243 only: the two extra words
    uint16_t channelWord243 = 0;
    std::vector<FunctionDescription> setupFunctions;   // kind 1
    std::vector<FunctionDescription> controlFunctions; // kind 3
    std::string helpPage;
    std::vector<PinDescription> pins;
};

struct ModuleDescription
{
    uint16_t id = 0;                  // without the kind flag 0x4000
    std::optional<uint16_t> kind;     // written (with flag 0x4000) when present
    uint16_t firstFigure = 0;         // w1
    uint8_t dspInputCount = 0;        // w2 low byte
    uint8_t dspOutputCount = 0;       // w2 high byte
    uint16_t thirdFigure = 0;         // w3
    uint16_t ownCycles = 0;           // w4
    uint16_t dspRamBudget = 0;        // w5
    uint16_t rateClassLimit = 0;      // w6
    std::string name;
    std::vector<FunctionDescription> functions;       // kind 0
    std::vector<FunctionDescription> secondFunctions; // kind 5
    std::vector<ProcessDescription> processes;        // runs of equal fromSps make one section each
};

struct DspDescription
{
    uint16_t id = 0;
    bool followedByCds = false; // the id is followed directly by "@CDS": no entry is made
    uint16_t moduleId = 0;
    uint16_t third = 0;
};

using BusMask = std::array<uint8_t, 16>; // 8 bytes input mask, 8 bytes output mask

struct LibraryDescription
{
    uint16_t dspCapacity = 4;
    std::optional<uint16_t> version = 68; // no "@VER" section when absent
    std::vector<std::vector<uint16_t>> dictionary; // "@DIC" written when not empty
    std::vector<ModuleDescription> modules;
    std::vector<DspDescription> dsps;
    std::optional<std::vector<BusMask>> busMasks; // "@BUS" written when present
};

// Field-for-field equality, so that a description read back (from its text
// form or from a built file) can be compared with the one it came from.
inline bool operator== (const FunctionDescription& a, const FunctionDescription& b)
{
    return a.form == b.form && a.name == b.name && a.returnValueCount == b.returnValueCount
        && a.parameterCount == b.parameterCount && a.entryMask == b.entryMask
        && a.maskEntries == b.maskEntries && a.parameterFlagMask == b.parameterFlagMask
        && a.label == b.label && a.annotation == b.annotation && a.words == b.words;
}

inline bool operator== (const PinDescription& a, const PinDescription& b)
{
    return a.name == b.name && a.direction == b.direction && a.kind == b.kind;
}

inline bool operator== (const ProcessDescription& a, const ProcessDescription& b)
{
    return a.name == b.name && a.fromSps == b.fromSps && a.id == b.id
        && a.cyclesPerChannel == b.cyclesPerChannel && a.baseCycles == b.baseCycles
        && a.ramPerChannel == b.ramPerChannel && a.baseRam == b.baseRam
        && a.inputCount == b.inputCount && a.outputCount == b.outputCount
        && a.channelWord == b.channelWord && a.kind == b.kind
        && a.hasMemoryClass == b.hasMemoryClass && a.memoryClassWord243 == b.memoryClassWord243
        && a.channelWord243 == b.channelWord243 && a.setupFunctions == b.setupFunctions
        && a.controlFunctions == b.controlFunctions && a.helpPage == b.helpPage && a.pins == b.pins;
}

inline bool operator== (const ModuleDescription& a, const ModuleDescription& b)
{
    return a.id == b.id && a.kind == b.kind && a.firstFigure == b.firstFigure
        && a.dspInputCount == b.dspInputCount && a.dspOutputCount == b.dspOutputCount
        && a.thirdFigure == b.thirdFigure && a.ownCycles == b.ownCycles
        && a.dspRamBudget == b.dspRamBudget && a.rateClassLimit == b.rateClassLimit
        && a.name == b.name && a.functions == b.functions && a.secondFunctions == b.secondFunctions
        && a.processes == b.processes;
}

inline bool operator== (const DspDescription& a, const DspDescription& b)
{
    return a.id == b.id && a.followedByCds == b.followedByCds && a.moduleId == b.moduleId
        && a.third == b.third;
}

inline bool operator== (const LibraryDescription& a, const LibraryDescription& b)
{
    return a.dspCapacity == b.dspCapacity && a.version == b.version && a.dictionary == b.dictionary
        && a.modules == b.modules && a.dsps == b.dsps && a.busMasks == b.busMasks;
}

inline bool operator!= (const FunctionDescription& a, const FunctionDescription& b) { return ! (a == b); }
inline bool operator!= (const PinDescription& a, const PinDescription& b) { return ! (a == b); }
inline bool operator!= (const ProcessDescription& a, const ProcessDescription& b) { return ! (a == b); }
inline bool operator!= (const ModuleDescription& a, const ModuleDescription& b) { return ! (a == b); }
inline bool operator!= (const DspDescription& a, const DspDescription& b) { return ! (a == b); }
inline bool operator!= (const LibraryDescription& a, const LibraryDescription& b) { return ! (a == b); }
} // namespace modulesdef
