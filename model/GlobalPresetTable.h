#pragma once

#include "model/GlobalPresetKey.h"

#include <cstdint>
#include <vector>

// The keys of one DSP inside a global preset: one GlobalPresetKey per process
// of that DSP that takes part in the preset.
class GlobalPresetTable
{
public:
    explicit GlobalPresetTable (uint32_t tableDspId = 0) noexcept : dspId (tableDspId) {}

    uint32_t getDspId() const noexcept { return dspId; }

    // Index of the last appended key, -1 when none.
    int getLastKeyIndex() const noexcept { return lastKeyIndex; }

    // Appends the packed key. A table id or preset index that does not fit its
    // field would make the key name another store's preset, so such a key is
    // refused and logged instead (false).
    bool addKey (int processId, int presetIndex, int tableId);

    // Appends a key as it was stored (the file reader).
    void appendRawKey (uint32_t key);

    // GlobalPresetKey::noKey, or none, when n is not the index of a key.
    uint32_t getKey (int n) const noexcept;
    uint32_t* getKeyPointer (int n) noexcept;

    int getKeyCount() const noexcept { return (int) keys.size(); }
    const std::vector<uint32_t>& getKeys() const noexcept { return keys; }

    // Empties the keys (their storage is kept for the next collection).
    void clearKeys() noexcept;

private:
    uint32_t dspId = 0;
    int lastKeyIndex = -1;
    std::vector<uint32_t> keys;
};
