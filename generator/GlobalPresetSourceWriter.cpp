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
                if (checkKey (key, row.name, part.dspId, presetCounts, currentPresetOf))
                    part.keys.push_back (key);

            keys += (int) part.keys.size();
            row.dsps.push_back (std::move (part));
        }

        dspCount = juce::jmax (dspCount, (int) row.dsps.size());
        keyCount = juce::jmax (keyCount, keys);
        rows.push_back (std::move (row));
    }
}

bool GlobalPresetSourceWriter::checkKey (uint32_t& key, const juce::String& presetName, uint32_t dspId,
                                         const std::map<int, int>& presetCounts, const std::function<int (int)>& currentPresetOf)
{
    const auto tableId = GlobalPresetKey::getTableId (key);
    auto presetIndex = GlobalPresetKey::getPresetIndex (key);
    const auto where = "Global preset \"" + presetName + "\", process " + juce::String (GlobalPresetKey::getProcessId (key));
    const auto table = presetCounts.find (tableId);

    if (table == presetCounts.end())
    {
        logError (where + ": its key names preset table " + juce::String (tableId) + ", which holds no preset; left out",
                  (int) dspId);
        return false;
    }

    if (presetIndex == (int) GlobalPresetKey::currentPresetIndex && currentPresetOf != nullptr)
        presetIndex = currentPresetOf (tableId);

    if (presetIndex < 0 || presetIndex >= table->second)
    {
        logError (where + ": its key names a preset that preset table " + juce::String (tableId) + " does not hold; left out",
                  (int) dspId);
        return false;
    }

    key = GlobalPresetKey::withPresetIndex (key, presetIndex);
    return true;
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
