#pragma once

#include <cstdint>

// One process's entry in a global preset: a 32-bit word that names a stored
// preset by the preset table id of its stored store and its index there.
// The same packing goes to the global preset file and to the generated
// global preset tables, so it must not change:
//   bits 0-7    process id of the node on its DSP
//   bits 8-19   preset index in the stored store (0xFFF: that store's current preset)
//   bits 20-31  preset table id of the stored store
struct GlobalPresetKey
{
    static constexpr uint32_t currentPresetIndex = 0xFFF;
    static constexpr int maxTableId = 0xFFF;
    static constexpr int maxPresetIndex = 0xFFF;

    // What a key lookup answers when there is no such key.
    static constexpr uint32_t noKey = 0xFFFFFFFFu;

    // Bits of the table id above 12 do not fit; callers check with fits().
    static constexpr uint32_t make (uint32_t processId, uint32_t presetIndex, uint32_t tableId) noexcept
    {
        return (((presetIndex & 0xFFFu) | (tableId << 12)) << 8) | (processId & 0xFFu);
    }

    static constexpr bool fits (int presetIndex, int tableId) noexcept
    {
        return presetIndex >= 0 && presetIndex <= maxPresetIndex && tableId >= 0 && tableId <= maxTableId;
    }

    static constexpr int getProcessId (uint32_t key) noexcept { return (int) (key & 0xFFu); }
    static constexpr int getPresetIndex (uint32_t key) noexcept { return (int) ((key >> 8) & 0xFFFu); }
    static constexpr int getTableId (uint32_t key) noexcept { return (int) (key >> 20); }

    // The table id and the preset index together (the key without its process
    // id), as the global-preset cleaning lists the referenced presets.
    static constexpr int getPresetReference (uint32_t key) noexcept { return (int) (key >> 8); }

    static constexpr int tableIdOfReference (int reference) noexcept { return (reference >> 12) & 0xFFF; }
    static constexpr int presetIndexOfReference (int reference) noexcept { return reference & 0xFFF; }
    static constexpr int tablePartOfReference (int reference) noexcept { return reference & 0xFFF000; }

    // The key with its preset index replaced, the process id and table id kept.
    static constexpr uint32_t withPresetIndex (uint32_t key, int presetIndex) noexcept
    {
        return (key & ~(0xFFFu << 8)) | (((uint32_t) presetIndex & 0xFFFu) << 8);
    }
};
