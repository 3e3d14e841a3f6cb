#pragma once

#include "generator/PresetTableList.h"
#include "generator/UniqueIdentifiers.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <vector>

class SourceStream;

// The preset sources of one preset document: the record types, control
// tables and value tables of its preset tables, and the loader that sends a
// preset's values to a DSP. The process presets go to "presets.h" and
// "presets.c"; with `global` set, the stored stores behind the global
// presets go to "GlobalPresets.h" and "GlobalPresets.c", with the tables of
// tables through which the global loader finds a table by its id.
//
// Each writer appends to the texts it is given; each returns whether it
// wrote a table.
class PresetSourceWriter
{
public:
    // The identifiers and comment text of one table, each made once: every
    // one is written several times.
    struct TableNames
    {
        TableNames (juce::String uniqueBase, juce::String tableLabel);

        juce::String base;  // unique within a generation, whatever the case
        juce::String label; // the class name, with "[count]" for two channels or more

        const juce::String& getControlTable() const noexcept { return controlTable; }
        const juce::String& getPresetType() const noexcept { return presetType; }
        const juce::String& getControlType() const noexcept { return controlType; }
        const juce::String& getValueTable() const noexcept { return valueTable; }
        const juce::String& getPresetCount() const noexcept { return presetCount; }

    private:
        juce::String controlTable, presetType, controlType, valueTable, presetCount;
    };

    // `usedNames` holds the identifier bases given out in this generation,
    // so that the process and the global sources, which the
    // firmware compiles together, never declare one name twice.
    // `isBiquadClass` tells the classes whose control table marks them for
    // the biquad control. `controlHeader` declares what the loaders call:
    // the control header of the generation's variant.
    PresetSourceWriter (std::vector<PresetTableSource> tables, bool global, UniqueIdentifiers& usedNames,
                        std::function<bool (const juce::String& className)> isBiquadClass, juce::String controlHeader);

    bool hasTables() const noexcept { return ! tables.empty(); }
    const std::vector<PresetTableSource>& getTables() const noexcept { return tables; }
    const TableNames& getNames (size_t table) const { return names[table]; }

    // The number of entries of the tables of tables: the largest table id + 1.
    int getTableIdCount() const noexcept;

    // The includes and the loader's prototype (or the global loader's), then,
    // unless loaderOnly, one preset record type per table.
    bool writePresetHeader (SourceStream& header, bool loaderOnly) const;

    // One control record type per table.
    bool writePresetControlStructs (SourceStream& header) const;

    // The includes of the source, then per table its preset count and the
    // declaration into the header and its value table into the source; in
    // the global form also the table of value tables.
    bool writePresetListSource (SourceStream& source, SourceStream& header, bool hasBiquad) const;

    // Per table its control table; in the global form also the table of
    // control tables.
    bool writePresetControlLists (SourceStream& source, SourceStream& header) const;

    // The loader of process presets, with the includes it needs when it
    // starts a file.
    static void writePresetLoaderSource (SourceStream& source, bool withIncludes, bool hasBiquad,
                                         const juce::String& controlHeader);

    // The loader's prototype with its comment.
    static void writeLoaderPrototype (SourceStream& header);

private:
    static TableNames makeNames (const PresetTableSource& table, bool global, UniqueIdentifiers& usedNames);
    void writeValueTable (SourceStream& source, SourceStream& header, size_t table) const;
    void writeControlTable (SourceStream& source, SourceStream& header, size_t table) const;
    void writeTableOfTables (SourceStream& source, SourceStream& header, const juce::String& name,
                             const std::function<juce::String (const TableNames&)>& tableName) const;
    static void writeDefine (SourceStream& stream, const juce::String& name, int value);

    std::vector<PresetTableSource> tables;
    std::vector<TableNames> names;
    bool global;
    std::function<bool (const juce::String&)> isBiquadClass;
    juce::String controlHeader;
};
