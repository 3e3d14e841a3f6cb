#pragma once

#include "model/DspDefinitionEntry.h"
#include "model/GraphData.h"

class ModuleDefinition;

#include <cstdint>
#include <vector>

// The edits of a DSP's process graph that the node box's undoable actions
// make, as plain operations on the graph and the DSP's entry in the module
// library's registry, with what each needs kept to undo it exactly.
//
// Node ids close up when a process is removed, so everything kept names its
// nodes by NRPN number, which stays with a process. An operation that finds
// nothing to act on changes nothing and says so; none of them needs a
// window.
class ProcessGraphEdits
{
public:
    // The most processes one DSP holds. The module records carry no limit of
    // their own, so the graph's limit serves.
    static constexpr int maxProcesses = GraphData::maxNodes;

    // A connection named by the NRPN numbers of its two nodes.
    struct KeptConnection
    {
        uint32_t sourceNrpn = 0;
        uint32_t sourcePin = 0;
        uint32_t destNrpn = 0;
        uint32_t destPin = 0;
        uint8_t flag = 0;

        bool operator== (const KeptConnection& other) const noexcept;
    };

    // A DSP input or output given to a pin of the node it is kept with.
    struct KeptBusPin
    {
        uint32_t pinIndex = 0;
        uint8_t direction = 0;
        juce::String name;
    };

    // Everything a removed process was, so that putting it back gives the
    // graph and the registry exactly as they were.
    struct RemovedProcess
    {
        uint32_t id = 0;
        uint32_t nrpn = 0;
        juce::String name, loadText;
        const ProcessDefinition* definition = nullptr;
        bool renumber = true;
        NodePosition position;
        uint32_t channelWord = 1, memoryWord = 1, inputCount = 0, outputCount = 0;
        int memoryChoice = GraphNode::memoryChoiceNone;
        bool biquadMark = false;
        std::vector<uint32_t> commandWords, secondCommandWords;
        int commandWordCount = 0;
        ProcessPresetStore presetStore;
        std::shared_ptr<const juce::XmlElement> keptCommands, keptSavedValues;
        std::vector<KeptBusPin> busPins;
        std::vector<KeptConnection> connections;
        int instanceIndex = -1; // -1: the registry had no entry for it
        ProcessInstanceEntry instance;
    };

    // A process to place on a DSP, as a drop or a paste makes it. A drop
    // gives the definition's own words; a paste gives the copy's, with its
    // command words made for the process numbered commandNrpn (none: the
    // words are built from the definition), and its values.
    struct NewProcess
    {
        juce::String name, loadText;
        const ProcessDefinition* definition = nullptr;
        double x = 0.0, y = 0.0;
        uint32_t channelWord = 1, memoryWord = 1;
        bool linkFlag = false;
        uint32_t linkId = 0;
        std::vector<uint32_t> commandWords, secondCommandWords;
        int commandWordCount = 0;
        uint32_t commandNrpn = 0;
        // Its controls and "(Last-Saved)" values; none for a drop.
        ProcessPresetStore savedValues;
    };

    // What an edit may change of a process besides its place in the graph:
    // its command words and the controls and values of its store.
    struct ProcessValues
    {
        std::vector<uint32_t> commandWords, secondCommandWords;
        int commandWordCount = 0;
        ProcessPresetStore store;

        static ProcessValues of (const GraphNode& node);

        // The node takes them, and a panel built shows them.
        void giveTo (GraphNode& node) const;
    };

    // A process's values across one edit: as they were before it and, once
    // it was undone, as the undo found them, which a redo gives back (what
    // was set since the edit stays).
    struct KeptValues
    {
        ProcessValues before, after;
        bool undone = false;

        void keep (const GraphNode& node) { before = ProcessValues::of (node); }
        void undo (GraphNode& node);
        void redo (GraphNode& node) const { after.giveTo (node); }
    };

    // A count change with what it took away. The process's load text
    // follows the count (for the module and rate position given), and so do
    // its command words when asked, but for those the user typed.
    struct CountChange
    {
        uint32_t nrpn = 0;
        uint32_t oldWord = 0, newWord = 0;
        const ModuleDefinition* module = nullptr;
        int ratePosition = 1;
        bool rebuildCommandWords = false;

        uint32_t oldInputCount = 0, oldOutputCount = 0;
        juce::String oldLoadText;
        std::vector<KeptBusPin> removedBusPins;
        std::vector<KeptConnection> removedConnections;
        // The controls and command words depend on the count. The store keeps
        // its own until the controls of the new count are known.
        KeptValues values;
    };

    //==============================================================================
    // The connection kept by NRPN numbers; false when a node is gone.
    static bool keepConnection (const GraphData& graph, const GraphConnection& connection, KeptConnection& kept);

    // Removes the kept connection (all four ends); false when it is not there.
    static bool removeConnection (GraphData& graph, const KeptConnection& kept);

    // Adds the kept connection with its flag; false when a node is gone or
    // the graph refused it.
    static bool restoreConnection (GraphData& graph, const KeptConnection& kept);

    // Every connection leaving (outputs) or entering (inputs) the node, in
    // graph order; only those on pins at or past `firstPin`.
    static std::vector<KeptConnection> collectConnections (const GraphData& graph, uint32_t nodeId, bool leaving,
                                                           uint32_t firstPin = 0);

    // Adds the kept connection with its flag only when no equal one is there;
    // false when one was, a node is gone or the graph is full.
    static bool addNewConnection (GraphData& graph, const KeptConnection& kept);

    //==============================================================================
    // Whether another process of that definition may go on the DSP: never
    // past maxProcesses in the graph or in the registry entry, never without
    // the DSP's module; a static process (from an "@SPS" section) at most
    // once; any other only while the processes that are not static plus the
    // static processes the module offers stay below maxProcesses, so that
    // room is kept for the static ones.
    static bool canPlaceProcess (const GraphData& graph, const DspDefinitionEntry* entry, const ModuleDefinition* module,
                                 const ProcessDefinition& definition);

    // A DSP runs one instance of each static process: true when the process
    // placed and the one to add are the same static process.
    static bool isSameStaticProcess (const ProcessDefinition* placed, const ProcessDefinition* added) noexcept;

    // Adds the process node with its words, load text, command words and
    // link, and its registry instance (none: only the graph). Returns the new
    // node's NRPN number, or 0 with nothing changed when the graph is full.
    static uint32_t insertProcess (GraphData& graph, DspDefinitionEntry* entry, const NewProcess& process);

    //==============================================================================
    // Takes the process with that NRPN number out of the graph and out of
    // the registry entry (none: only the graph), keeping what it was. False,
    // with nothing changed, when no node has that number.
    static bool removeProcess (GraphData& graph, DspDefinitionEntry* entry, uint32_t nrpn, RemovedProcess& removed);

    // Puts a removed process back under its id and NRPN number with its
    // connections, bus pins and registry entry. False, with nothing changed,
    // when the graph cannot take it (full, or its NRPN number is held).
    static bool restoreProcess (GraphData& graph, DspDefinitionEntry* entry, const RemovedProcess& removed);

    //==============================================================================
    // Gives the node with change.nrpn the new channel word: its input or
    // output count, its load text and (when asked) its command words follow,
    // and the pins the new count no longer shows lose their connections and
    // bus pins, which are kept in the change. Its store keeps its controls
    // and values, for the controls of the new count to follow (the editor
    // knows them); the store as it was is kept in the change. False, with
    // nothing changed, when the node is gone.
    static bool applyCountChange (GraphData& graph, CountChange& change);

    // The old word, counts, load text, store and command words, with the
    // connections and bus pins taken away; what the node held under the new
    // count is kept in the change for a redo.
    static bool revertCountChange (GraphData& graph, CountChange& change);

    // What a pasted process takes of its source's store: its controls and
    // "(Last-Saved)" values. The named presets
    // stay with the process's class in the preset file, which every process
    // of the class and count offers.
    static ProcessPresetStore copySavedValues (const ProcessPresetStore& store);

    // The memory type (MemoryDelay word and the choice shown). False when
    // the node is gone.
    static bool setMemoryType (GraphData& graph, uint32_t nrpn, uint32_t memoryWord, int memoryChoice);

private:
    static std::vector<KeptBusPin> takeBusPins (GraphData& graph, uint32_t nodeId, bool inputs, uint32_t firstPin);
    static void restoreBusPins (GraphData& graph, uint32_t nodeId, const std::vector<KeptBusPin>& busPins);
};
