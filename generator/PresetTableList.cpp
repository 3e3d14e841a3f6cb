#include "generator/PresetTableList.h"

#include "generator/ProblemList.h"

#include "model/DesignLog.h"
#include "model/PresetControlsLayout.h"
#include "model/PresetNumberReader.h"
#include "model/ProcessPresetStore.h"

#include <algorithm>

namespace
{
bool isDelayControl (const juce::String& name, uint32_t number)
{
    return name == ProcessPresetStore::fixedDelayControlName || number == ProcessPresetStore::fixedDelayControlNrpn;
}

juce::String describeGroup (const PresetTableSource& table)
{
    return "Preset table of \"" + table.className + "\" (count " + juce::String (table.count) + ")";
}

// The value texts one "List" element holds for the controls of its table.
struct FileValueRow
{
    juce::String name;
    std::vector<std::pair<size_t, juce::String>> values; // (control, text), each control once
    std::vector<size_t> delayCountControls;              // delay controls without a value of their own
};

// The values of a table's lists, control by control: a table's controls
// are the slots of its layout, each given by its value attribute, a delay
// control by "delayCount" when its own is missing. The first attribute of
// a name counts.
class FileValueIndex
{
public:
    FileValueIndex (const PresetTableSource& tableToRead, const PresetControlsLayout& layoutOfTable)
        : table (tableToRead), layout (layoutOfTable), lastRowOf (table.controls.size(), -1)
    {
        for (size_t c = 0; c < table.controls.size(); ++c)
            if (table.controls[c].delay)
                delayControls.push_back (c);
    }

    FileValueRow read (const juce::XmlElement& list, size_t rowNumber)
    {
        FileValueRow row{ list.getStringAttribute ("name"), {}, {} };
        const juce::String* delayCount = nullptr;
        const auto attributes = PresetNumberReader::getAttributes (list);

        for (const auto& attribute : attributes)
        {
            if (attribute.name == PresetControlsLayout::delayCountAttribute)
            {
                if (delayCount == nullptr)
                    delayCount = &attribute.value;

                continue;
            }

            const auto control = layout.findValueSlot (attribute.name);

            if (control >= 0 && lastRowOf[(size_t) control] != (int64_t) rowNumber)
            {
                lastRowOf[(size_t) control] = (int64_t) rowNumber;
                row.values.emplace_back ((size_t) control, attribute.value);
            }
        }

        for (const auto control : delayControls)
        {
            if (lastRowOf[control] == (int64_t) rowNumber)
                continue;

            row.delayCountControls.push_back (control);

            if (delayCount != nullptr)
                row.values.emplace_back (control, *delayCount);
        }

        return row;
    }

    // The row's values in control order, 0 for those missing or no number,
    // each of which is noted; a list of no values at all is noted once.
    PresetTableSource::Preset makePreset (const FileValueRow& row, ProblemList& bad) const
    {
        PresetTableSource::Preset preset{ row.name, std::vector<uint32_t> (table.controls.size(), 0u) };
        std::vector<const juce::String*> texts (table.controls.size(), nullptr);

        for (const auto& [control, text] : row.values)
            texts[control] = &text;

        if (row.values.empty())
            bad.add ([&] { return "every value of \"" + row.name + "\""; });

        for (size_t c = 0; c < table.controls.size(); ++c)
        {
            if (texts[c] != nullptr && PresetNumberReader::parseUnsigned (*texts[c], preset.values[c]))
                continue;

            preset.values[c] = 0;

            if (! row.values.empty())
                bad.add ([&] { return "\"" + attributeOf (c, row) + "\" of \"" + row.name + "\""; });
        }

        return preset;
    }

private:
    juce::String attributeOf (size_t control, const FileValueRow& row) const
    {
        const auto& delays = row.delayCountControls;

        if (std::find (delays.begin(), delays.end(), control) != delays.end())
            return PresetControlsLayout::delayCountAttribute;

        return PresetControlsLayout::valueAttribute (table.controls[control].fixed, table.controls[control].fileNumber)
            .toString();
    }

    const PresetTableSource& table;
    const PresetControlsLayout& layout;
    std::vector<size_t> delayControls;
    // The last row that gave each control a value: a name met twice in a
    // list counts once, without clearing a mark per control for each list.
    std::vector<int64_t> lastRowOf;
};
} // namespace

uint32_t PresetTableSource::Control::getWord() const noexcept
{
    return delay ? delayWord : (number & 0xFFFFu);
}

bool PresetTableSource::Control::isDoubleWord() const noexcept
{
    return ! delay && ((number & 0xFFFFu) >> 14) > 1;
}

int PresetTableSource::getRowWords() const noexcept
{
    int words = 0;

    for (const auto& control : controls)
        words += control.isDoubleWord() ? 2 : 1;

    return words;
}

//==============================================================================
juce::Array<juce::XmlElement*> PresetTableList::getClassElements (const juce::XmlElement& root, bool global)
{
    const auto* parent = global ? root.getChildByName ("PresetList") : &root;
    juce::Array<juce::XmlElement*> classes;

    if (parent != nullptr)
        for (auto* element : parent->getChildWithTagNameIterator ("Class"))
            classes.add (element);

    return classes;
}

std::vector<PresetTableSource> PresetTableList::read (const juce::XmlElement& root, bool global)
{
    std::vector<PresetTableSource> tables;

    for (auto* cls : getClassElements (root, global))
        for (auto* group : cls->getChildWithTagNameIterator ("CountGroup"))
            readCountGroup (cls->getStringAttribute ("name"), *group, tables);

    return tables;
}

void PresetTableList::readCountGroup (const juce::String& className, const juce::XmlElement& group,
                                      std::vector<PresetTableSource>& tables)
{
    auto* preset = group.getChildByName ("Preset");
    auto* controls = preset != nullptr ? preset->getChildByName ("Controls") : nullptr;

    if (controls == nullptr)
        return;

    PresetTableSource table;
    table.className = className;

    PresetNumberReader reader;
    table.count = juce::jmax (1, reader.getInt (group, "count", 1));
    table.tableId = reader.getInt (group, "TableId", -1);

    const auto layout = PresetControlsLayout::fromElement (*controls, reader);

    // A store holds no more controls, nor does a file of ours: each preset
    // of such a group would be a row of thousands of values.
    if (layout.getSlots().size() > (size_t) ProcessPresetStore::maxControls)
    {
        logError (describeGroup (table) + ": it names " + juce::String ((int) layout.getSlots().size()) +
                      " controls, more than the " + juce::String (ProcessPresetStore::maxControls) +
                      " of a process; the table is left out.\n",
                  -1);
        return;
    }

    for (const auto& slot : layout.getSlots())
        table.controls.push_back ({ slot.name, slot.nrpn, slot.fixed, isDelayControl (slot.name, slot.nrpn), slot.number });

    if (reader.hasFailed())
        logError (describeGroup (table) + ": " + reader.getError() + ", taken as 0.\n", -1);

    if (table.controls.empty())
        return;

    if (auto* lists = preset->getChildByName ("Lists"))
        readPresets (*lists, layout, table);

    if (! table.presets.empty())
        tables.push_back (std::move (table));
}

void PresetTableList::readPresets (const juce::XmlElement& lists, const PresetControlsLayout& layout, PresetTableSource& table)
{
    // Each list is read in one walk over what it holds: a damaged file may
    // hold millions of lists of no values, or lists of millions of values.
    FileValueIndex index (table, layout);
    std::vector<FileValueRow> rows;
    size_t held = 0;

    for (auto* list : lists.getChildWithTagNameIterator ("List"))
    {
        rows.push_back (index.read (*list, rows.size()));
        held += rows.back().values.size();
    }

    // Values a list lacks are written as 0. A table made mostly of such zeros
    // would grow with the file's lists rather than with the values they
    // hold: beyond one row's worth, it is left out.
    const auto cells = rows.size() * table.controls.size();

    if (cells - held > std::max (held, table.controls.size()))
    {
        logError (describeGroup (table) + ": its " + juce::String ((int) rows.size()) + " presets hold " +
                      juce::String ((juce::int64) held) + " of their " + juce::String ((juce::int64) cells) +
                      " values; the table is left out.\n",
                  -1);
        return;
    }

    ProblemList bad;

    for (auto& row : rows)
        table.presets.push_back (index.makePreset (row, bad));

    if (! bad.isEmpty())
        logError (describeGroup (table) + ": missing or not a number, taken as 0: " + bad.describe() + ".\n", -1);
}

//==============================================================================
bool PresetTableList::addMissingDelayControls (juce::XmlElement& root, bool global)
{
    bool changed = false;

    for (auto* cls : getClassElements (root, global))
    {
        for (auto* group : cls->getChildWithTagNameIterator ("CountGroup"))
        {
            auto* preset = group->getChildByName ("Preset");
            auto* controls = preset != nullptr ? preset->getChildByName ("Controls") : nullptr;

            if (controls == nullptr || ! controls->hasAttribute (PresetControlsLayout::delayAttribute))
                continue;

            PresetNumberReader reader;
            const auto layout = PresetControlsLayout::fromElement (*controls, reader);

            if (layout.findByName (ProcessPresetStore::fixedDelayControlName) != nullptr)
                continue;

            const auto number = layout.getFixedNumberCount() + 1;
            controls->setAttribute (PresetControlsLayout::nameAttribute (true, number),
                                    ProcessPresetStore::fixedDelayControlName);
            controls->setAttribute (PresetControlsLayout::nrpnAttribute (true, number),
                                    juce::String (ProcessPresetStore::fixedDelayControlNrpn));

            // The delay control is one more fixed control, and one more control.
            if (auto* counts = preset->getChildByName ("Count"))
                for (auto* attribute : { "NumberOfFixedControls", "NumberOfControls" })
                    counts->setAttribute (attribute, counts->getIntAttribute (attribute) + 1);

            changed = true;
        }
    }

    return changed;
}
