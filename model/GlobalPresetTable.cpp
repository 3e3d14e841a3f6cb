#include "model/GlobalPresetTable.h"

#include "model/DesignLog.h"

#include <juce_core/juce_core.h>

bool GlobalPresetTable::addKey (int processId, int presetIndex, int tableId)
{
    if (! GlobalPresetKey::fits (presetIndex, tableId))
    {
        logError ("Global preset: process " + juce::String (processId) + " left out, its preset " + juce::String (presetIndex) +
                      " of preset table " + juce::String (tableId) + " cannot be addressed (at most " +
                      juce::String (GlobalPresetKey::maxTableId + 1) + " preset tables)",
                  (int) dspId);
        return false;
    }

    appendRawKey (GlobalPresetKey::make ((uint32_t) processId, (uint32_t) presetIndex, (uint32_t) tableId));
    return true;
}

void GlobalPresetTable::appendRawKey (uint32_t key)
{
    keys.push_back (key);
    lastKeyIndex = getKeyCount() - 1;
}

uint32_t GlobalPresetTable::getKey (int n) const noexcept
{
    return n >= 0 && n < getKeyCount() ? keys[(size_t) n] : GlobalPresetKey::noKey;
}

uint32_t* GlobalPresetTable::getKeyPointer (int n) noexcept
{
    return n >= 0 && n < getKeyCount() ? &keys[(size_t) n] : nullptr;
}

void GlobalPresetTable::clearKeys() noexcept
{
    keys.clear();
    lastKeyIndex = -1;
}
