#pragma once

#include "model/DspDefinitionEntry.h"
#include "model/ModuleDefinition.h"
#include "model/ModuleDictionary.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Everything the program knows of the firmware modules, read from
// "Modules.def": the modules with their processes and SDK functions, the
// dictionary of shared parameter lists and the bus masks. It also holds the
// live registry of the design's DSPs (at most 16, packed in slots 0 to
// count - 1) and of the processes placed on each.
class ModuleLibrary
{
public:
    static constexpr int maxModules = 256;
    static constexpr int maxDsps = 16;
    static constexpr int defaultDspCapacity = 4;

    using BusMaskEntry = std::array<uint8_t, 16>; // 8 bytes input mask, 8 bytes output mask

    ModuleLibrary() = default;
    ModuleLibrary (const ModuleLibrary&) = delete;
    ModuleLibrary& operator= (const ModuleLibrary&) = delete;

    int framePosition = 0;
    int frameWord = -1;
    int formatVersion = 0;

    //==============================================================================
    // Modules
    int getModuleCount() const noexcept { return modules.size(); }

    // Appends a module; none when 256 are held.
    ModuleDefinition* addModule (std::unique_ptr<ModuleDefinition> module);

    // The module at the index, or none out of range.
    ModuleDefinition* getModule (int index) const noexcept { return modules[index]; }
    ModuleDefinition* findModuleById (uint32_t id) const noexcept;
    ModuleDefinition* getLastModule() const noexcept { return modules.getLast(); }
    ModuleDefinition* getModuleOfDsp (uint32_t dspId) const noexcept;
    const BoundedList<ModuleDefinition>& getModules() const noexcept { return modules; }

    ModuleDictionary& getDictionary() noexcept { return dictionary; }
    const ModuleDictionary& getDictionary() const noexcept { return dictionary; }

    //==============================================================================
    // The design's DSPs
    int getDspCount() const noexcept { return dspCount; }

    // Stores a new entry in the next free slot; none when 16 are held.
    DspDefinitionEntry* addDsp (uint32_t dspId, uint32_t moduleId, uint32_t third);

    // Removes the entry and moves the ones after it down, so they stay packed.
    void removeDsp (uint32_t dspId);

    // Empties the entry's processes and gives it a new module; none when absent.
    DspDefinitionEntry* resetDsp (uint32_t dspId, uint32_t moduleId);

    DspDefinitionEntry* findDsp (uint32_t dspId) const noexcept;
    int findDspSlot (uint32_t dspId) const noexcept; // maxDsps when absent
    DspDefinitionEntry* getDsp (int slot) const noexcept;
    DspDefinitionEntry* getLastDsp() const noexcept; // none when the table is empty
    void clearDsps() noexcept;
    void clearAllProcessInstances() noexcept;

    //==============================================================================
    // DSP capacity and bus masks
    int getDspCapacity() const noexcept { return dspCapacity; }

    // The capacity as a number of DSPs the design may hold (never above the
    // table's 16 slots, whatever a file says).
    int getUsableDspCapacity() const noexcept;

    // Sets the capacity; the first call also makes the mask table with that many
    // entries, later calls change only the capacity.
    void allocateBusMasks (int n);
    bool areBusMasksMade() const noexcept { return busMasksMade; }
    int getBusMaskCount() const noexcept { return (int) busMasks.size(); }
    const BusMaskEntry* getBusMask (int index) const noexcept;

    // Copy 8 bytes into entry i; an index outside the table is ignored.
    void setBusInputMask (int index, const uint8_t* mask);
    void setBusOutputMask (int index, const uint8_t* mask);

    // Frees everything read and every DSP entry.
    void freeAll();

private:
    int dspCapacity = defaultDspCapacity;
    int dspCount = 0;
    bool busMasksMade = false;
    BoundedList<ModuleDefinition> modules{ maxModules };
    std::vector<BusMaskEntry> busMasks;
    std::array<std::unique_ptr<DspDefinitionEntry>, maxDsps> dsps;
    ModuleDictionary dictionary;
};
