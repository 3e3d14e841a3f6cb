#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

class GlobalPresetList;
class SourceStream;

// The global preset table "globalPreset" of "GlobalPresets.c" and the
// loader that walks one of its rows: one row per global preset, holding per
// DSP a cell with the DSP id and its number of keys, then the keys.
//
// Every key is checked against the preset tables written beside it: a key
// for "the current preset" is given the index of its store's current
// preset; a key that names no table, or a preset its table does not hold,
// would make the firmware read outside its tables, so it is left out and
// reported. Rows are as wide as the widest global preset needs and padded
// with 0 (a DSP cell of 0 processes), so a row never runs into the next;
// rows that would be mostly padding (a damaged file) are no table at all.
class GlobalPresetSourceWriter
{
public:
    // The number of presets of each written preset table, by table id, and
    // the current preset of the stored store with a table id (-1 unknown).
    GlobalPresetSourceWriter (const GlobalPresetList& globalPresets, const std::map<int, int>& presetCounts,
                              const std::function<int (int tableId)>& currentPresetOf);

    // False when there is no global preset, or none holds a DSP table: the
    // table would have no cell.
    bool hasRows() const noexcept { return ! rows.empty() && getRowWidth() > 0; }

    int getDspCount() const noexcept { return dspCount; }
    int getRowWidth() const noexcept { return dspCount + keyCount; }

    // The table, its declaration into the header and the loader into the source.
    void writeGlobalPresetSource (SourceStream& source, SourceStream& header) const;

private:
    struct DspPart
    {
        uint32_t dspId = 0;
        std::vector<uint32_t> keys;
    };

    struct Row
    {
        juce::String name;
        std::vector<DspPart> dsps;
    };

    // The keys left out, by kind: the log names the first twenty of a kind
    // and then how many more there were.
    struct LeftOutKeys
    {
        int namingNoTable = 0;
        int namingNoPreset = 0;

        void logUnlisted() const;
    };

    // The padding a table may hold beyond as many cells as its rows hold.
    static constexpr size_t maxPaddingCells = 65536;

    static bool checkKey (uint32_t& key, const juce::String& presetName, uint32_t dspId, const std::map<int, int>& presetCounts,
                          const std::function<int (int)>& currentPresetOf, LeftOutKeys& leftOut);
    void leaveOutMostlyPadding (size_t heldCells);

    std::vector<Row> rows;
    int dspCount = 0;
    int keyCount = 0;
};
