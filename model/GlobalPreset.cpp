#include "model/GlobalPreset.h"

GlobalPreset::GlobalPreset (const juce::String& presetName) : name (presetName) {}

GlobalPreset::GlobalPreset (const GlobalPreset& other)
    : name (other.name), tableCount (other.tableCount), currentTable (other.currentTable)
{
    for (const auto& table : other.tables)
        tables.push_back (std::make_unique<GlobalPresetTable> (*table));
}

int GlobalPreset::findTableIndex (uint32_t dspId)
{
    for (int i = 0; i < getHeldTableCount(); ++i)
    {
        if (tables[(size_t) i]->getDspId() == dspId)
        {
            currentTable = i;
            return i;
        }
    }

    return -1;
}

void GlobalPreset::addTable (uint32_t dspId)
{
    if (findTableIndex (dspId) < 0)
        appendNewTable (dspId);
}

GlobalPresetTable& GlobalPreset::appendNewTable (uint32_t dspId)
{
    tables.push_back (std::make_unique<GlobalPresetTable> (dspId));
    currentTable = getHeldTableCount() - 1;
    tableCount = getHeldTableCount();
    return *tables.back();
}

GlobalPresetTable* GlobalPreset::findTableByDsp (uint32_t dspId)
{
    const auto index = findTableIndex (dspId);
    return index >= 0 ? tables[(size_t) index].get() : nullptr;
}

GlobalPresetTable* GlobalPreset::getTable (int n) const noexcept
{
    // Fetched by the tables held, as every walk over the tables goes: the
    // announced count (the design's DSPs) may be lower than the tables held,
    // and a table left out would lose its stored presets in the cleaning.
    if (n < 0 || n >= getHeldTableCount())
        return nullptr;

    return tables[(size_t) n].get();
}

int GlobalPreset::getWordCount() const noexcept
{
    if (tables.empty())
        return 0;

    auto words = tableCount;

    for (const auto& table : tables)
        words += table->getKeyCount();

    return words;
}

void GlobalPreset::clearTables() noexcept
{
    tables.clear();
    tableCount = 0;
    currentTable = -1;
}
