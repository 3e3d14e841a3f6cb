#pragma once

#include "generator/DspSourceTexts.h"
#include "generator/RoutingNodeAttribution.h"

#include <juce_core/juce_core.h>

#include <array>
#include <cstdint>
#include <vector>

class GenerationContext;
class GraphData;
class GraphNode;
class LibraryFunctionDefinition;
class ModuleDefinition;
class ModuleLibrary;
class ProcessDefinition;
class SourceStream;
struct ParameterDescriptor;
struct ProcessInstanceEntry;

// The firmware source generator of one DSP, owned by the DSP's slot beside
// the DSP's process graph. It numbers the routing nodes (the signal buffers)
// of the DSP's processes, lays out their memory in the memory map, and writes
// the DSP's initialisation-and-routing source, "dsp" + N + ".c".
//
// It reads the model only: the DSP's graph, the module library and the
// project's generation context. The routing values it gives the pins stay in
// the graph's pins until the next generation.
class BuildProjectFile
{
public:
    // The routing value of a process pin.
    static constexpr int notConnected = RoutingNodeAttribution::notConnected;
    static constexpr int conflictDetected = RoutingNodeAttribution::conflictDetected;
    static constexpr uint32_t dspInputBit = RoutingNodeAttribution::dspInputBit;
    static constexpr uint32_t dspOutputBit = RoutingNodeAttribution::dspOutputBit;
    static constexpr uint32_t routingNumberMask = RoutingNodeAttribution::routingNumberMask;

    // The feature bits the DSP source reports to the generation driver.
    static constexpr uint8_t featureBiquadControl = 1 << 0;  // a biquad process of either kind
    static constexpr uint8_t featureFbc = 1 << 1;            // module kind 0x8003
    static constexpr uint8_t featureModuleKind8004 = 1 << 2; // module kind 0x8004
    static constexpr uint8_t featureCompressor = 1 << 3;     // a compressor process
    static constexpr uint8_t featureModuleKind8006 = 1 << 4; // module kind 0x8006
    static constexpr uint8_t featureSpdif = 1 << 5;          // module kind 0x8005
    static constexpr uint8_t featureExtendedBiquad = 1 << 6; // a biquad process of the second kind

    // The per-call text record: the names handed from the memory map and the
    // routing to the calls of one function.
    struct GeneratedTexts
    {
        enum Slot
        {
            dspIdSlot = 0,         // the result variable of the module set-up
            processIdSlot = 1,     // the process's own "pcs" entry
            wholeAddressSlot = 3,  // a whole memory address
            virtualSourceSlot = 5, // the "pcs" entry of the process feeding a virtual pin
            errorSlot = 7,
            highHalfSlot = 8,
            lowHalfSlot = 9,
            int24HighHalfSlot = 10,
            int24LowHalfSlot = 11,
            int16HighHalfSlot = 12,
            int16LowHalfSlot = 13,
            spareErrorSlot14 = 14,
            spareErrorSlot15 = 15,
            bandCountSlot = 17 // "BIQUAD" + nrpn + "BANDCOUNT"
        };

        static constexpr int slotCount = 18;

        juce::String& operator[] (int slot) { return slots[(size_t) slot]; }
        const juce::String& operator[] (int slot) const { return slots[(size_t) slot]; }

        // Empties the slots the memory map writes, before each of its calls.
        void clearMemorySlots();

        std::array<juce::String, slotCount> slots;
    };

    using ProcessOrder = RoutingNodeAttribution::ProcessOrder;

    BuildProjectFile (GraphData& dspGraph, GenerationContext& generationContext);

    GraphData& getGraph() noexcept { return graph; }

    //==============================================================================
    // Routing nodes: the DSP's graph numbered by a RoutingNodeAttribution,
    // whose members of the same names these call.

    void assignRoutingNodes (const ModuleLibrary& library, uint32_t dspId, ProcessOrder& order);
    bool reportNodeConflict (uint32_t dspId, const ModuleDefinition* module);
    bool assignRoutingNodesFrom (int connectionIndex, int& outValue) const;
    juce::String writePcsList (const GraphNode& node, const ProcessOrder& order, uint32_t dspNumber) const;

    //==============================================================================
    // Memory map

    // Writes the address definitions of the function's memory parameters to
    // the memory text and their names to the slots, sized by the mask
    // entries (a process's set-up function is laid out with those
    // MemoryParameters gives it). pcsNumber is the module function's index
    // (dspInit) or the process's position in the order; functionIndex tells
    // a process's set-up functions apart. Returns true when anything was
    // written to the memory text.
    bool writeMemoryMap (int pcsNumber, const ModuleLibrary& library, const LibraryFunctionDefinition& function,
                         const std::vector<uint32_t>& maskEntries, const GraphNode* node, uint32_t dspId, GeneratedTexts& texts,
                         juce::String& memoryText, bool dspInit, int functionIndex = 0);

    //==============================================================================
    // DSP source

    // Writes the DSP's source into texts and ORs its feature bits into
    // features. False, with an empty body, when the DSP has no processes or
    // its module is not in the library (logged against the DSP).
    bool writeDspSource (const ModuleLibrary& library, uint32_t dspId, DspSourceTexts& texts, uint8_t& features,
                         bool commandVariant);

    // Appends one set-up call of the function to the body.
    void writeProcessInitCalls (const LibraryFunctionDefinition& function, uint32_t dspId, const juce::String& functionName,
                                DspSourceTexts& texts, const GraphNode* node, bool isBiquad, GeneratedTexts generated) const;

    // Appends one routing call per signal pin of the node.
    void writeRoutingCalls (const ModuleDefinition& module, const GraphNode& node, uint32_t dspId, GeneratedTexts generated,
                            DspSourceTexts& texts) const;

    void writeBiquadInitCalls (uint32_t dspId, GeneratedTexts generated, DspSourceTexts& texts, const GraphNode& node) const;

    // The user's hook, guarded by its #ifdef: hook 0 and 1 (pre and post
    // initialisation) as a call, hook 2 and 3 (pre and post control) as a
    // test that returns 1 when the hook handled the call.
    static void writeCustomHookCalls (SourceStream& stream, uint32_t dspId, int hookIndex, const juce::String& arguments,
                                      const juce::String& comment);

    // Remembers the DSP graph's node count and, when there is a node and the
    // flag is set, puts the DSP's handler name at index N - 1 of the list
    // (empty entries fill the gaps of missing DSPs).
    juce::StringArray& addHandlerName (uint32_t dspNumber, juce::StringArray& handlerNames, bool flag, bool nrpnVariant);

    int getNodeCount() const noexcept { return nodeCount; }

    //==============================================================================
    // Control handlers and the NRPN list

    // Registers the DSP's handler name at index N - 1 of handlerNames, then
    // replaces the texts' body with the DSP's NRPN handler (its command list,
    // biquad table and function) and their declarations with what the
    // project-wide header needs of it. The texts are those the DSP's source
    // was written into: their biquad count tells whether the DSP has biquad
    // processes. Nothing is written for a DSP without processes.
    void writeNrpnHandler (const ModuleLibrary& library, uint32_t dspId, DspSourceTexts& texts, juce::StringArray& handlerNames);

    // The same in the command variant: a command handler, whose controls
    // are found by exact command number.
    void writeCommandHandler (const ModuleLibrary& library, uint32_t dspId, DspSourceTexts& texts,
                              juce::StringArray& handlerNames);

    // Appends the NRPN list's rows of the DSP's controls to rows; none when
    // the library has no DSP entry with that id.
    void writeNrpnListRows (const ModuleLibrary& library, uint32_t dspId, juce::MemoryOutputStream& rows);

    // The text of a literal parameter (classes 21 and 22), as its bytes give it.
    static juce::String getLiteralText (const ParameterDescriptor& descriptor);

    // What a count parameter (4/0/13 to 4/0/15) of a node's call is given: the
    // node's count in decimal (1 without a node), but for a delay (bit 28)
    // the size its length gives it, in samples ("0x" and eight hexadecimal
    // digits), in its set-up call and in its control calls alike.
    static juce::String getCountArgument (const GraphNode* node, double samplingRateKhz);

    // The text of a routing value in a routing call.
    static juce::String getRoutingValueText (int value);

private:
    void writeModuleFunctions (const ModuleLibrary& library, const ModuleDefinition& module, uint32_t dspId,
                               DspSourceTexts& texts, GeneratedTexts& generated);
    void writeProcess (const ModuleLibrary& library, const ModuleDefinition& module, uint32_t dspId, int position,
                       const ProcessInstanceEntry& entry, const ProcessOrder& order, DspSourceTexts& texts,
                       GeneratedTexts& generated, uint8_t& features);
    void addBiquadProcess (uint32_t dspId, GraphNode& node, DspSourceTexts& texts, GeneratedTexts& generated) const;
    void writeMemoryMapOf (int pcsNumber, const ModuleLibrary& library, const LibraryFunctionDefinition& function,
                           const std::vector<uint32_t>& maskEntries, const GraphNode* node, uint32_t dspId,
                           GeneratedTexts& generated, DspSourceTexts& texts, bool dspInit, int functionIndex);
    void writeHandler (const ModuleLibrary& library, uint32_t dspId, DspSourceTexts& texts, juce::StringArray& handlerNames,
                       bool nrpnVariant);
    juce::String writeHook (uint32_t dspId, int hookIndex, const juce::String& arguments, const juce::String& comment) const;
    juce::String makeBiquadBlock (uint32_t dspId, const DspSourceTexts& texts) const;
    juce::String getParameterValue (const LibraryFunctionDefinition& function, int parameter, uint32_t dspId,
                                    const juce::String& functionName, const GraphNode* node, bool isBiquad,
                                    const GeneratedTexts& generated) const;

    GraphData& graph;
    GenerationContext& context;
    int nodeCount = 0;
    bool memoryHeaderWritten = false;
    bool memoryGuessReported = false;
};
