#pragma once

#include "model/Design.h"
#include "model/DspDefinitionEntry.h"
#include "model/GlobalPreset.h"
#include "model/GlobalPresetTable.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <vector>

// A design as text, one line per record, so that two designs compare whole
// and the first line where they part says readably what differs: the
// settings, the bus graph, every DSP with its module and process list, each
// process with its place (as the project file writes it), count, memory,
// command words and stored values, the connections and the DSP inputs and
// outputs, the project's stored presets and its global presets.
namespace designdescription
{
struct Options
{
    // A process's store as the project file keeps it: its controls and its
    // "(Last-Saved)" values. Its named presets belong to its class and are
    // kept in the preset file, whatever store a box last copied them into.
    bool savedValuesOnly = false;

    // The value each control starts from, which its process's panel gives
    // it: a store read from a preset file alone does not know it.
    bool withDefaults = true;
};

// A position as the project file writes it.
inline juce::String formatPosition (NodePosition position)
{
    return juce::var (position.x).toString() + "," + juce::var (position.y).toString();
}

// The positions of a store's controls in the order a preset file lists
// them: the fixed controls, then the secondary ones, each as registered
// (any other after them).
inline std::vector<int> getFileOrder (const ProcessPresetStore& store)
{
    std::vector<int> order;

    for (const auto* list : { &store.getFixedIndex(), &store.getSecondaryIndex() })
        for (auto position : *list)
            if (position >= 0 && position < store.getControlCount() &&
                std::find (order.begin(), order.end(), position) == order.end())
                order.push_back (position);

    for (int i = 0; i < store.getControlCount(); ++i)
        if (std::find (order.begin(), order.end(), i) == order.end())
            order.push_back (i);

    return order;
}

inline juce::String describeStore (const ProcessPresetStore& store, const Options& options)
{
    juce::String text (" controls");
    const auto order = getFileOrder (store);

    for (auto i : order)
    {
        auto* control = store.getControl (i);
        text << " " << control->name << "=" << juce::String::toHexString (control->nrpn);

        if (options.withDefaults)
            text << "(" << juce::String (control->defaultValue) << ")";
    }

    text << " fixed " << store.getFixedControlCount();

    for (int p = 0; p < store.getPresetCount(); ++p)
    {
        const auto name = store.getPresetName (p);

        if (options.savedValuesOnly && name != ProcessPresetStore::lastSavedPresetName)
            continue;

        const auto& values = store.getPresetRecord (p)->values;
        text << " | " << name << ":";

        for (auto i : order)
            text << " " << (i < (int) values.size() ? juce::String (values[(size_t) i]) : juce::String ("-"));

        for (auto i = order.size(); i < values.size(); ++i)
            text << " +" << juce::String (values[i]);
    }

    if (store.hasFixedDelayControl())
        text << " | delay " << juce::String (store.getDelayCount());

    return text;
}

inline juce::String describeCommandWords (const GraphNode& n)
{
    juce::String text (" commands");

    for (int k = 0; k < n.commandWordCount && k < (int) n.commandWords.size(); ++k)
    {
        const auto second = k < (int) n.secondCommandWords.size() ? n.secondCommandWords[(size_t) k] : 0u;
        text << " " << juce::String::toHexString ((int) n.commandWords[(size_t) k]) << "/"
             << juce::String::toHexString ((int) second);
    }

    return text;
}

inline juce::String describeNode (const GraphNode& n, const Options& options)
{
    auto* definition = n.getProcessDefinition();
    juce::String text;
    text << "  node " << juce::String (n.getId()) << " \"" << n.getName() << "\" nrpn " << juce::String (n.nrpn) << " at "
         << formatPosition (n.getPosition()) << " process " << juce::String (definition != nullptr ? definition->processId : 0u)
         << " word " << juce::String::toHexString (n.channelWord) << " memory " << juce::String::toHexString (n.memoryWord)
         << " choice " << n.memoryChoice << " in " << juce::String (n.inputCount) << " out " << juce::String (n.outputCount)
         << "\n   " << describeCommandWords (n) << "\n   " << describeStore (n.presetStore, options) << "\n";
    return text;
}

inline juce::String describeGraph (const GraphData& graph, const Options& options)
{
    juce::String text;

    for (int i = 0; i < graph.getNumNodes(); ++i)
        text << describeNode (*graph.getNode (i), options);

    for (int i = 0; i < graph.getNumConnections(); ++i)
    {
        auto& c = *graph.getConnection (i);
        text << "  connection " << juce::String (c.sourceNode) << "." << juce::String (c.sourcePin) << " -> "
             << juce::String (c.destNode) << "." << juce::String (c.destPin) << " flag " << (int) c.flag << "\n";
    }

    for (int i = 0; i < graph.getNumBusPins(); ++i)
    {
        auto& p = *graph.getBusPin (i);
        text << "  pin " << p.name << " on " << juce::String (p.nodeId) << "." << juce::String (p.pinIndex) << " io "
             << juce::String (p.direction) << "\n";
    }

    return text;
}

// The project's stored presets (by class, count and table id) and its
// global presets with their keys.
inline juce::String describePresets (const Design& design)
{
    juce::String text;
    auto& stores = design.getPresetStores();
    text << "stored presets, counter " << stores.getTableCounter() << "\n";

    for (int c = 0; c < stores.getClassCount(); ++c)
    {
        auto* cls = stores.getClass (c);

        for (int e = 0; e < cls->getEntryCount(); ++e)
        {
            auto* entry = cls->getEntry (e);
            text << "  class " << cls->getName() << " count " << entry->count << " table " << entry->tableId
                 << describeStore (*entry->store, { false, false }) << "\n";
        }
    }

    auto& globals = design.getGlobalPresets();

    for (int g = 0; g < globals.getCount(); ++g)
    {
        auto* preset = globals.getPreset (g);
        text << "global preset \"" << preset->getName() << "\" tables " << preset->getTableCount() << "\n";

        for (int t = 0; t < preset->getHeldTableCount(); ++t)
        {
            auto* table = preset->getTable (t);
            text << "  DSP " << juce::String (table->getDspId()) << ":";

            for (auto key : table->getKeys())
                text << " " << juce::String::toHexString ((int) key);

            text << "\n";
        }
    }

    return text;
}

inline juce::String describe (const Design& design, const Options& options = {})
{
    const auto& s = design.getSettings();
    juce::String text;
    text << "chip " << s.getChipIndex() << " sampling " << s.getSamplingIndex() << " memory " << s.getMemorySizeIndex()
         << " command view " << (int) s.isCommandViewOn() << "\nbus\n"
         << describeGraph (design.getBusGraph(), options);

    for (int i = 0; i < design.getNumDsps(); ++i)
    {
        auto* slot = design.getDsp (i);
        auto* entry = design.getDspEntry (slot->getDspId());
        text << "DSP " << juce::String (slot->getDspId()) << " module " << juce::String (entry->moduleId) << " instances";

        for (int p = 0; p < entry->getProcessCount(); ++p)
            text << " " << entry->getProcessInstance (p)->nodeNumber << ":"
                 << juce::String (entry->getProcessInstance (p)->processId);

        text << "\n" << describeGraph (slot->getGraph(), options);
    }

    return text + describePresets (design);
}

// The first line at which two texts part, with the line of each; empty when
// they are equal.
inline juce::String findFirstDifference (const juce::String& expected, const juce::String& actual)
{
    if (expected == actual)
        return {};

    const auto a = juce::StringArray::fromLines (expected);
    const auto b = juce::StringArray::fromLines (actual);
    int line = 0;

    while (line < a.size() && line < b.size() && a[line] == b[line])
        ++line;

    return "line " + juce::String (line + 1) + ":\n  expected: " + (line < a.size() ? a[line] : "(end)") +
           "\n  actual:   " + (line < b.size() ? b[line] : "(end)");
}
} // namespace designdescription
