#pragma once

#include "model/GlobalPresetTable.h"

#include <juce_core/juce_core.h>

#include <memory>
#include <vector>

// One named global preset: a table of keys per DSP of the design.
class GlobalPreset
{
public:
    explicit GlobalPreset (const juce::String& name);

    GlobalPreset (const GlobalPreset& other);
    GlobalPreset& operator= (const GlobalPreset&) = delete;

    const juce::String& getName() const noexcept { return name; }

    // The number of tables as the preset announces it: the number of tables
    // added, or the number of DSPs that the global-preset collection sets.
    int getTableCount() const noexcept { return tableCount; }
    void setTableCount (int count) noexcept { tableCount = count; }

    // The number of tables held.
    int getHeldTableCount() const noexcept { return (int) tables.size(); }

    int getCurrentTable() const noexcept { return currentTable; }

    // Index of the table of that DSP, made current; -1 when none.
    int findTableIndex (uint32_t dspId);

    // Appends an empty table for that DSP unless one exists; either way that
    // table becomes current.
    void addTable (uint32_t dspId);

    // Appends an empty table for that DSP and makes it current, without
    // looking for one: for a caller that knows there is none (the file reader).
    GlobalPresetTable& appendNewTable (uint32_t dspId);

    // The table of that DSP, made current; none when there is none.
    GlobalPresetTable* findTableByDsp (uint32_t dspId);

    // None when n is not the index of a table held.
    GlobalPresetTable* getTable (int n) const noexcept;

    // The announced table count plus every key of every table; 0 without
    // tables (the size of the generated global preset array).
    int getWordCount() const noexcept;

    void clearTables() noexcept;

private:
    juce::String name;
    int tableCount = 0;
    int currentTable = -1;
    std::vector<std::unique_ptr<GlobalPresetTable>> tables;
};
