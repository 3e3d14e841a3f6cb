#include "generator/PresetTableList.h"

#include "generator/ProblemList.h"

#include "model/DesignLog.h"
#include "model/PresetControlsLayout.h"
#include "model/PresetNumberReader.h"
#include "model/ProcessPresetStore.h"

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
        readPresets (*lists, table);

    if (! table.presets.empty())
        tables.push_back (std::move (table));
}

void PresetTableList::readPresets (const juce::XmlElement& lists, PresetTableSource& table)
{
    // Each list gives a control's value under the number the control has in
    // the "Controls" element.
    std::vector<juce::String> attributes;

    for (const auto& control : table.controls)
        attributes.push_back (PresetControlsLayout::valueAttribute (control.fixed, control.fileNumber).toString());

    ProblemList bad;

    for (auto* list : lists.getChildWithTagNameIterator ("List"))
    {
        // Read in one walk: a damaged list may hold millions of attributes.
        const auto values = PresetNumberReader::getValuesByName (*list);
        PresetTableSource::Preset preset{ list->getStringAttribute ("name"), {} };

        for (size_t i = 0; i < table.controls.size(); ++i)
        {
            auto attribute = attributes[i];

            if (table.controls[i].delay && values.count (attribute) == 0)
                attribute = PresetControlsLayout::delayCountAttribute;

            const auto found = values.find (attribute);
            uint32_t value = 0;

            if (found == values.end() || ! PresetNumberReader::parseUnsigned (found->second, value))
                bad.add ([&] { return "\"" + attribute + "\" of \"" + preset.name + "\""; });

            preset.values.push_back (value);
        }

        table.presets.push_back (std::move (preset));
    }

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
