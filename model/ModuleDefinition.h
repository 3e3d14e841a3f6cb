#pragma once

#include "model/ProcessDefinition.h"

#include <cstdint>
#include <string>

// One firmware module: the processes it offers, its own SDK functions, and
// what a DSP running it has (audio inputs and outputs, cycle and RAM budget,
// the highest sampling-rate class).
class ModuleDefinition
{
public:
    static constexpr int maxProcesses = 256;

    uint32_t moduleId = 0;
    std::string name;
    uint32_t thirdFigure = 0;
    uint32_t ownCycles = 0;
    uint32_t dspRamBudget = 0;
    uint32_t dspInputCount = 0;
    uint32_t dspOutputCount = 0;
    uint32_t firstFigure = 0;
    uint32_t kindWord = 0;
    int countedFunctionTotal = 0;
    uint32_t rateClassLimit = 0;
    bool hasFlaggedProcess = false;
    bool hasKindWord = false;

    // The module's two function lists; their capacity is the declared count.
    BoundedList<LibraryFunctionDefinition> secondModuleFunctions;
    BoundedList<LibraryFunctionDefinition> moduleFunctions;

    int getProcessCount() const noexcept { return processes.size(); }
    int getModuleFunctionCount() const noexcept { return moduleFunctions.size(); }
    int getSecondModuleFunctionCount() const noexcept { return secondModuleFunctions.size(); }

    // Appends a process; none when 256 are held. A process from an "@SPS"
    // section marks the module.
    ProcessDefinition* addProcess (std::unique_ptr<ProcessDefinition> process, bool fromSps);

    // The process at the index, or none out of range.
    ProcessDefinition* getProcess (int index) const noexcept { return processes[index]; }
    const BoundedList<ProcessDefinition>& getProcesses() const noexcept { return processes; }

    // The process with that id; an id without bit 0x200 is tried again with
    // it, because a process that carries a channel word has the bit in its id.
    ProcessDefinition* findProcessById (uint32_t id) const noexcept;

    LibraryFunctionDefinition* addFunction (std::unique_ptr<LibraryFunctionDefinition> function);
    LibraryFunctionDefinition* addSecondFunction (std::unique_ptr<LibraryFunctionDefinition> function);

private:
    BoundedList<ProcessDefinition> processes{ maxProcesses };
};
