#include "generator/PresetSourceWriter.h"

#include "generator/ArrayTable.h"
#include "generator/ProblemList.h"
#include "generator/SourceIdentifiers.h"
#include "generator/SourceStream.h"
#include "generator/SourceWriter.h"
#include "generator/StructTypedef.h"
#include "generator/templates/PresetSourceTemplates.h"
#include "model/DesignLog.h"
#include "model/GlobalPresetKey.h"

#include <set>

namespace
{
constexpr uint32_t biquadTableFlag = 0x8000;

juce::String identifierOf (const juce::String& base, bool capitalised)
{
    auto name = base;

    if (capitalised)
        capitaliseIdentifier (name);
    else
        uncapitaliseIdentifier (name);

    return name;
}

void openTable (SourceStream& source)
{
    source.write (" =");
    source.getWriter().openBlock (0, true);
}

void closeTable (SourceStream& source)
{
    source.getWriter().closeBlock (0, true, true, true);
}
} // namespace

//==============================================================================
PresetSourceWriter::TableNames::TableNames (juce::String uniqueBase, juce::String tableLabel)
    : base (std::move (uniqueBase)), label (std::move (tableLabel))
{
    const auto lower = identifierOf (base, false);
    const auto capitalised = identifierOf (base, true);
    controlTable = lower + "_controls";
    presetType = "Preset" + capitalised;
    controlType = "Control" + capitalised;
    valueTable = lower + "_presets";
    presetCount = lower.toUpperCase() + "_PRESET_NB";
}

//==============================================================================
PresetSourceWriter::PresetSourceWriter (std::vector<PresetTableSource> tableSources, bool globalForm,
                                        UniqueIdentifiers& usedNames, std::function<bool (const juce::String&)> biquadClass,
                                        juce::String controlHeaderName)
    : global (globalForm), isBiquadClass (std::move (biquadClass)), controlHeader (std::move (controlHeaderName))
{
    std::set<int> tableIds;

    for (auto& table : tableSources)
    {
        // The global loader finds a table by its id: one that no key can name,
        // or that another table holds already, would load the wrong table.
        if (global &&
            (table.tableId < 0 || table.tableId > GlobalPresetKey::maxTableId || ! tableIds.insert (table.tableId).second))
        {
            logError ("Preset table of \"" + table.className + "\" (count " + juce::String (table.count) + "): table id " +
                          juce::String (table.tableId) + " is not a free id from 0 to 4095; the table is left out.\n",
                      -1);
            continue;
        }

        names.push_back (makeNames (table, global, usedNames));
        tables.push_back (std::move (table));
    }
}

PresetSourceWriter::TableNames PresetSourceWriter::makeNames (const PresetTableSource& table, bool global,
                                                              UniqueIdentifiers& usedNames)
{
    auto base = sanitiseIdentifier (table.className);

    while (base.startsWithChar ('_'))
        base = base.substring (1);

    // An identifier may not start with a digit.
    if (base.isEmpty() || juce::CharacterFunctions::isDigit (base[0]))
        base = "Class" + base;

    if (table.count >= 2)
        base << "_c" << table.count;

    if (global)
        base = "global_" + base;

    // Class names that sanitise alike, or differ only in case, give the same
    // identifiers: a later one gets a number of its own.
    const auto unique = usedNames.take (base);

    auto label = table.className;

    if (table.count >= 2)
        label << "[" << table.count << "]";

    return TableNames (unique, makeCommentText (label));
}

int PresetSourceWriter::getTableIdCount() const noexcept
{
    int count = 0;

    for (const auto& table : tables)
        count = juce::jmax (count, table.tableId + 1);

    return count;
}

void PresetSourceWriter::writeDefine (SourceStream& stream, const juce::String& name, int value)
{
    stream.write ("#define\t" + name + "\t" + juce::String (value) + "\n");
}

//==============================================================================
void PresetSourceWriter::writeLoaderPrototype (SourceStream& header)
{
    header.write (PresetSourceTemplates::loaderComment);
    header.write (juce::String (PresetSourceTemplates::loaderPrototype) + ";\n");
}

bool PresetSourceWriter::writePresetHeader (SourceStream& header, bool loaderOnly) const
{
    header.write ("#include <system.h>\n");

    if (global)
    {
        header.write ("\n/* Global preset header file */\n#include \"presets.h\"\n");
        header.write ("void quellion_LoadGlobalPreset( PTR32 global_preset_table );\n");
    }
    else
    {
        header.write ("\n/* Preset header file */\n");
        writeLoaderPrototype (header);
    }

    if (loaderOnly)
        return false;

    for (size_t i = 0; i < tables.size(); ++i)
    {
        StructTypedef record (names[i].getPresetType(), names[i].getPresetType());

        for (const auto& control : tables[i].controls)
            record.addMember ({}, control.isDoubleWord() ? 2 : 1, makeCommentText (control.name));

        header.write ("\n// " + names[i].label + " preset structure.\n");
        record.write (header);
    }

    return hasTables();
}

bool PresetSourceWriter::writePresetControlStructs (SourceStream& header) const
{
    for (size_t i = 0; i < tables.size(); ++i)
    {
        StructTypedef record (names[i].getControlType(), names[i].getControlType());
        record.addMember ("numberOfControls", 1, "number of controls");
        record.addMember ("sizeOfStruct", 1, "size of this Structure");
        record.addMember ("control[" + juce::String ((int) tables[i].controls.size()) + "]", 1, "controls array");

        header.write ("\n// " + names[i].label + " preset control structure.\n");
        record.write (header);
    }

    return hasTables();
}

//==============================================================================
bool PresetSourceWriter::writePresetListSource (SourceStream& source, SourceStream& header, bool hasBiquad) const
{
    source.write (global ? "#include \"GlobalPresets.h\"\n" : "#include \"presets.h\"\n");

    if (hasBiquad)
        source.write ("#include \"BiquadCtrl.h\"\n");

    source.write ("#include \"" + controlHeader + "\"\n");

    if (hasTables())
        header.newLine();

    for (size_t i = 0; i < tables.size(); ++i)
        writeValueTable (source, header, i);

    if (global && hasTables())
        writeTableOfTables (source, header, "global_preset_table_address",
                            [] (const TableNames& n) { return n.getValueTable(); });

    return hasTables();
}

void PresetSourceWriter::writeValueTable (SourceStream& source, SourceStream& header, size_t index) const
{
    const auto& table = tables[index];
    const auto& tableNames = names[index];

    ArrayTable values ("const " + tableNames.getPresetType(), tableNames.getValueTable());
    values.setRecordRows();
    values.addNumber ((int) table.presets.size());
    values.addNumber ((int) table.controls.size());

    ProblemList cut;

    for (const auto& preset : table.presets)
    {
        values.addText ("/* " + makeCommentText (preset.name) + " */ ");

        for (size_t c = 0; c < table.controls.size(); ++c)
        {
            auto value = c < preset.values.size() ? preset.values[c] : 0u;

            // A 16-bit member holds no more than 16 bits.
            if (! table.controls[c].isDoubleWord() && value > 0xFFFFu)
            {
                cut.add ([&] { return table.controls[c].name + " of \"" + preset.name + "\""; });
                value &= 0xFFFFu;
            }

            values.addText (juce::String (value));
        }

        values.endRow();
    }

    if (! cut.isEmpty())
        logError ("Preset table " + tableNames.getValueTable() + ": values wider than 16 bits cut to 16 bits: " + cut.describe() +
                      ".\n",
                  -1);

    writeDefine (header, tableNames.getPresetCount(), values.getRowCount());
    header.write ("extern ");
    values.writeDeclaration (header, true, { tableNames.getPresetCount() });
    header.write (";\n");

    // Process presets written by a node box's menu have no table id.
    const auto tableId = table.tableId >= 0 ? " Table ID: 0x" + juce::String::toHexString (table.tableId) : juce::String();
    source.write ("\n// " + tableNames.label + " preset list." + tableId + "\n");
    values.writeDeclaration (source, true, { tableNames.getPresetCount() });
    openTable (source);
    values.writeBody (source, true);
    closeTable (source);
}

void PresetSourceWriter::writeTableOfTables (SourceStream& source, SourceStream& header, const juce::String& name,
                                             const std::function<juce::String (const TableNames&)>& tableName) const
{
    // Entry k is the table whose id is k, as the loader indexes it; an id
    // that no table holds gets a null entry, which no key names.
    const auto count = getTableIdCount();
    juce::StringArray entries;

    for (int k = 0; k < count; ++k)
        entries.add ("FARPTR((const WORD*)0)");

    for (size_t i = 0; i < tables.size(); ++i)
        entries.set (tables[i].tableId, "FARPTR((const WORD*)&" + tableName (names[i]) + ")");

    const auto declaration = "const WORD_FAR_P " + name + "[NUMBER_OF_PRESET_TABLE]";

    if (name == "global_preset_table_address")
        writeDefine (header, "NUMBER_OF_PRESET_TABLE", count);

    header.write ("extern " + declaration + ";\n");

    source.write ("\n" + declaration);
    openTable (source);

    // One entry on the first line, then four on each line.
    for (int k = 0; k < count; ++k)
        source.write (entries[k] + (k + 1 == count ? "" : (k % 4 == 0 ? ",\n" : ", ")));

    closeTable (source);
}

//==============================================================================
bool PresetSourceWriter::writePresetControlLists (SourceStream& source, SourceStream& header) const
{
    for (size_t i = 0; i < tables.size(); ++i)
        writeControlTable (source, header, i);

    if (global && hasTables())
        writeTableOfTables (source, header, "global_preset_control_table_address",
                            [] (const TableNames& n) { return n.getControlTable(); });

    return hasTables();
}

void PresetSourceWriter::writeControlTable (SourceStream& source, SourceStream& header, size_t index) const
{
    const auto& table = tables[index];
    const auto& tableNames = names[index];
    const auto controlCount = (uint32_t) table.controls.size();

    ArrayTable controls ("const WORD", tableNames.getControlTable());
    controls.addNumber ((int) controlCount + 2);

    // The loader hands bit 15 of the count to the biquad control.
    if (isBiquadClass != nullptr && isBiquadClass (table.className))
        controls.addHex (controlCount | biquadTableFlag);
    else
        controls.addText (juce::String (controlCount));

    controls.addText (juce::String (table.getRowWords()));

    for (const auto& control : table.controls)
        controls.addHex (control.getWord());

    header.write ("extern ");
    controls.writeDeclaration (header, false);
    header.write (";\n");

    source.write ("\n// " + tableNames.label + " preset control list.\n");
    controls.writeDeclaration (source, false);
    source.write (" = { ");
    controls.writeBody (source, false);
    source.write (" };\n");
}

//==============================================================================
void PresetSourceWriter::writePresetLoaderSource (SourceStream& source, bool withIncludes, bool hasBiquad,
                                                  const juce::String& controlHeader)
{
    // Appended, the loader follows the tables after an empty line.
    source.write (withIncludes ? "#include <system.h>\n#include \"" + controlHeader + "\"\n" : juce::String ("\n"));

    if (hasBiquad)
        source.write (PresetSourceTemplates::biquadIncludes);

    source.write (PresetSourceTemplates::rescaleFunction);
    source.write (PresetSourceTemplates::loaderComment);
    source.write (PresetSourceTemplates::loaderPrototype);
    source.write (PresetSourceTemplates::loaderHead);

    if (hasBiquad)
        source.write (PresetSourceTemplates::biquadLoadingStart);

    source.write (PresetSourceTemplates::loaderLoop);
    source.write (hasBiquad ? PresetSourceTemplates::loaderEndWithBiquad : PresetSourceTemplates::loaderEnd);
}
