#include "model/ModuleLibrary.h"

#include <algorithm>
#include <cstring>

ModuleDefinition* ModuleLibrary::addModule (std::unique_ptr<ModuleDefinition> module)
{
    return modules.add (std::move (module));
}

ModuleDefinition* ModuleLibrary::findModuleById (uint32_t id) const noexcept
{
    for (auto& m : modules)
        if (m->moduleId == id)
            return m.get();

    return nullptr;
}

ModuleDefinition* ModuleLibrary::getModuleOfDsp (uint32_t dspId) const noexcept
{
    if (auto* dsp = findDsp (dspId))
        return findModuleById (dsp->moduleId);

    return nullptr;
}

DspDefinitionEntry* ModuleLibrary::addDsp (uint32_t dspId, uint32_t moduleId, uint32_t third)
{
    if (dspCount >= maxDsps)
        return nullptr;

    auto entry = std::make_unique<DspDefinitionEntry>();
    entry->dspId = dspId;
    entry->moduleId = moduleId;
    entry->third = third;
    dsps[(size_t) dspCount] = std::move (entry);
    return dsps[(size_t) dspCount++].get();
}

void ModuleLibrary::removeDsp (uint32_t dspId)
{
    const int slot = findDspSlot (dspId);

    if (dspCount < 1 || slot >= maxDsps)
        return;

    // The table stays packed: later entries move down one slot, in order.
    std::move (dsps.begin() + slot + 1, dsps.begin() + dspCount, dsps.begin() + slot);
    dsps[(size_t) --dspCount].reset();
}

DspDefinitionEntry* ModuleLibrary::resetDsp (uint32_t dspId, uint32_t moduleId)
{
    auto* dsp = findDsp (dspId);

    if (dsp != nullptr)
    {
        dsp->clearProcessInstances();
        dsp->moduleId = moduleId;
        dsp->third = 0;
    }

    return dsp;
}

DspDefinitionEntry* ModuleLibrary::findDsp (uint32_t dspId) const noexcept
{
    for (auto& dsp : dsps)
        if (dsp != nullptr && dsp->dspId == dspId)
            return dsp.get();

    return nullptr;
}

int ModuleLibrary::findDspSlot (uint32_t dspId) const noexcept
{
    for (int slot = 0; slot < maxDsps; ++slot)
        if (dsps[(size_t) slot] != nullptr && dsps[(size_t) slot]->dspId == dspId)
            return slot;

    return maxDsps;
}

DspDefinitionEntry* ModuleLibrary::getDsp (int slot) const noexcept
{
    return slot >= 0 && slot < dspCount ? dsps[(size_t) slot].get() : nullptr;
}

DspDefinitionEntry* ModuleLibrary::getLastDsp() const noexcept
{
    return getDsp (dspCount - 1);
}

void ModuleLibrary::clearDsps() noexcept
{
    for (auto& dsp : dsps)
        dsp.reset();

    dspCount = 0;
}

void ModuleLibrary::clearAllProcessInstances() noexcept
{
    for (auto& dsp : dsps)
        if (dsp != nullptr)
            dsp->clearProcessInstances();
}

int ModuleLibrary::getUsableDspCapacity() const noexcept
{
    return std::clamp (dspCapacity, 0, maxDsps);
}

void ModuleLibrary::allocateBusMasks (int n)
{
    dspCapacity = n;

    if (! busMasksMade)
    {
        busMasks.assign ((size_t) std::max (n, 0), BusMaskEntry{});
        busMasksMade = true;
    }
}

const ModuleLibrary::BusMaskEntry* ModuleLibrary::getBusMask (int index) const noexcept
{
    return index >= 0 && index < getBusMaskCount() ? &busMasks[(size_t) index] : nullptr;
}

void ModuleLibrary::setBusInputMask (int index, const uint8_t* mask)
{
    if (index >= 0 && index < getBusMaskCount())
        std::memcpy (busMasks[(size_t) index].data(), mask, 8);
}

void ModuleLibrary::setBusOutputMask (int index, const uint8_t* mask)
{
    if (index >= 0 && index < getBusMaskCount())
        std::memcpy (busMasks[(size_t) index].data() + 8, mask, 8);
}

void ModuleLibrary::freeAll()
{
    modules.clear();
    clearDsps();
    dictionary.clear();
    busMasks.clear();
    busMasksMade = false;
}
