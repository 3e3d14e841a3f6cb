#include "generator/GlobalPresetSourceWriter.h"

#include "generator/ArrayTable.h"
#include "generator/PresetSourceWriter.h"
#include "generator/SourceIdentifiers.h"
#include "generator/SourceStream.h"
#include "generator/SourceWriter.h"
#include "generator/templates/PresetSourceTemplates.h"
#include "model/DesignLog.h"
#include "model/GlobalPresetKey.h"
#include "model/GlobalPresetList.h"

GlobalPresetSourceWriter::GlobalPresetSourceWriter (const GlobalPresetList& globalPresets, const std::map<int, int>& presetCounts,
                                                    const std::function<int (int)>& currentPresetOf)
{
    LeftOutKeys leftOut;
    size_t heldCells = 0;

    for (int p = 0; p < globalPresets.getCount(); ++p)
    {
        const auto* preset = globalPresets.getPreset (p);
        Row row{ preset->getName(), {} };
        int keys = 0;

        for (int t = 0; t < preset->getHeldTableCount(); ++t)
        {
            const auto* table = preset->getTable (t);

            if (table == nullptr)
                continue;

            DspPart part{ table->getDspId(), {} };

            for (auto key : table->getKeys())
                if (checkKey (key, row.name, part.dspId, presetCounts, currentPresetOf, leftOut))
                    part.keys.push_back (key);

            keys += (int) part.keys.size();
            heldCells += 1 + part.keys.size();
            row.dsps.push_back (std::move (part));
        }

        dspCount = juce::jmax (dspCount, (int) row.dsps.size());
        keyCount = juce::jmax (keyCount, keys);
        rows.push_back (std::move (row));
    }

    leftOut.logUnlisted();
    leaveOutMostlyPadding (heldCells);
}

void GlobalPresetSourceWriter::leaveOutMostlyPadding (size_t heldCells)
{
    // Every row is as wide as the widest: rows of a design share one shape,
    // and a few of another shape are padded. A file whose rows would be
    // mostly padding would give a table that grows with the square of the
    // file: beyond a little, it is left out.
    const auto padding = rows.size() * (size_t) getRowWidth() - heldCells;

    if (padding <= std::max (heldCells, (size_t) maxPaddingCells))
        return;

    logError ("Global presets: rows as wide as the widest (" + juce::String (getRowWidth()) + " cells) would pad the " +
                  juce::String ((juce::int64) heldCells) + " cells they hold with " + juce::String ((juce::int64) padding) +
                  " zeros; no global preset is generated.\n",
              -1);
    rows.clear();
    dspCount = 0;
    keyCount = 0;
}

bool GlobalPresetSourceWriter::checkKey (uint32_t& key, const juce::String& presetName, uint32_t dspId,
                                         const std::map<int, int>& presetCounts, const std::function<int (int)>& currentPresetOf,
                                         LeftOutKeys& leftOut)
{
    const auto tableId = GlobalPresetKey::getTableId (key);
    auto presetIndex = GlobalPresetKey::getPresetIndex (key);
    const auto table = presetCounts.find (tableId);
    const auto where = [&]
    { return "Global preset \"" + presetName + "\", process " + juce::String (GlobalPresetKey::getProcessId (key)); };

    if (table == presetCounts.end())
    {
        if (++leftOut.namingNoTable <= maxListedProblemsOfAKind)
            logError (where() + ": its key names preset table " + juce::String (tableId) + ", which holds no preset; left out",
                      (int) dspId);

        return false;
    }

    if (presetIndex == (int) GlobalPresetKey::currentPresetIndex && currentPresetOf != nullptr)
        presetIndex = currentPresetOf (tableId);

    if (presetIndex < 0 || presetIndex >= table->second)
    {
        if (++leftOut.namingNoPreset <= maxListedProblemsOfAKind)
            logError (where() + ": its key names a preset that preset table " + juce::String (tableId) +
                          " does not hold; left out",
                      (int) dspId);

        return false;
    }

    key = GlobalPresetKey::withPresetIndex (key, presetIndex);
    return true;
}

void GlobalPresetSourceWriter::LeftOutKeys::logUnlisted() const
{
    for (const auto& [count, kind] : { std::pair (namingNoTable, "name a preset table which holds no preset"),
                                       std::pair (namingNoPreset, "name a preset that their preset table does not hold") })
        if (count > maxListedProblemsOfAKind)
            logError ("Global presets: " + juce::String (count - maxListedProblemsOfAKind) + " more keys that " + kind +
                          " are left out.\n",
                      -1);
}

void GlobalPresetSourceWriter::writeGlobalPresetSource (SourceStream& source, SourceStream& header) const
{
    ArrayTable table ("const DWORD", "globalPreset");
    table.addNumber ((int) rows.size());
    table.addNumber (getRowWidth());

    for (const auto& row : rows)
    {
        table.addText ("/* " + makeCommentText (row.name) + " */ ");
        int cells = 0;

        for (const auto& part : row.dsps)
        {
            const auto dspCell = ((uint32_t) part.keys.size() & 0xFFFFu) | (part.dspId << 16);
            table.addText ("/* DSP#" + juce::String (part.dspId) + " */ 0x" + juce::String::toHexString ((juce::int64) dspCell));

            for (auto key : part.keys)
                table.addHex (key);

            cells += 1 + (int) part.keys.size();
        }

        for (; cells < getRowWidth(); ++cells)
            table.addText ("0");

        table.endRow();
    }

    source.write ("\n#define\tGLOBAL_NUMBER_OF_DSP\t" + juce::String (dspCount) + "\n");

    header.write ("extern ");
    table.writeDeclaration (header, false);
    header.write (";\n");

    source.write ("\n// Global presets: per DSP the DSP id and number of processes, then each process's preset key.\n");
    table.writeDeclaration (source, false);
    source.write (" =");
    source.getWriter().openBlock (0, true);
    table.writeBody (source, true);
    source.getWriter().closeBlock (0, true, true, true);

    source.write (PresetSourceTemplates::globalLoader);
}
