#pragma once

#include "model/GraphData.h"

#include <cstdint>

class ModuleDefinition;

// The rules a DSP's process graph sets on its wiring: whether a connection
// dropped on a pin may be made (rule A), whether a DSP input or output
// ("DSPIN0" ... "DSPOUT7") may be given to a process pin (rule B), and the
// vector-step test both use (rule C). They read the graph and the DSP's
// module only and change nothing: the process editor, its pins, the tool
// panels and the tests all ask here, and the caller performs the edit as an
// undoable action when the answer is yes.
class ConnectionRules
{
public:
    static constexpr const char* accumulateMessage =
        "Connection conflict: Use Add2, MixN or BusSendN to accumulate audio signals.";
    static constexpr const char* vectorConflictMessage =
        "Vector connection conflict: can not use DSP IN/OUT alongside connectors.";
    static constexpr const char* stepMismatchMessage = "Connection conflict: Vector Step mismatch!";
    static constexpr const char* virtualPinMessage = "Can't put a DSP I/O on a virtual pin.";
    static constexpr const char* notConsecutiveMessage = "Output bus conflict: Process outputs must be consecutives.";
    static constexpr const char* outputUsedMessage = "Output bus conflict: DSP Output is already used.";

    // The process whose outputs may share a DSP output with another.
    static constexpr const char* sharedOutputProcessName = "BusSendN";

    // The answer to one request. A refusal may carry no message: the editor
    // then shows nothing.
    struct Verdict
    {
        bool accepted = false;
        bool isVirtual = false; // an accepted connection between two virtual pins
        juce::String message;

        static Verdict accept (bool isVirtual = false) { return { true, isVirtual, {} }; }
        static Verdict refuse (const juce::String& text = {}) { return { false, false, text }; }
    };

    // One pin of a process box: its node, its index among the inputs or
    // among the outputs, and its side.
    struct Pin
    {
        uint32_t nodeId = 0;
        uint32_t index = 0;
        bool isInput = false;
    };

    // Where a connection drag began: an output pin gives the source (the
    // destination node is 0), an input pin the destination (source node 0).
    struct DragStart
    {
        uint32_t sourceNode = 0;
        uint32_t sourcePin = 0;
        uint32_t destNode = 0;
        uint32_t destPin = 0;

        bool beganAtOutput() const noexcept { return sourceNode != 0; }
    };

    // The resolved ends of a connection.
    struct Ends
    {
        uint32_t sourceNode = 0;
        uint32_t sourcePin = 0;
        uint32_t destNode = 0;
        uint32_t destPin = 0;
    };

    // The module may be none (no module chosen yet): no DSP input or output
    // can then be given.
    ConnectionRules (const GraphData& graph, const ModuleDefinition* dspModule) noexcept;

    //==============================================================================
    // Rule A: a connection drag that began at `start` ends on `dropped`. The
    // resolved ends are written to `ends` when the directions fit.
    Verdict checkConnectionDrop (const DragStart& start, const Pin& dropped, Ends* ends = nullptr) const;

    // Rule A from its fifth step on, for two resolved ends.
    Verdict checkConnection (const Ends& ends) const;

    // Rule B: the DSP input or output `name` given to `pin`.
    Verdict checkBusPinAssignment (const Pin& pin, const juce::String& name) const;

    // Rule C: the DSP outputs of two vector processes leave room for the
    // source's outputs.
    bool isVectorStepValid (uint32_t sourceId, uint32_t destId) const;

    // The node's first pin on that side is no vector pin, or it is one and no
    // DSP input or output is given to that side. False when the side has no pin.
    bool hasNoVectorBusPins (uint32_t nodeId, bool inputs) const;

    // The DSP inputs or outputs of a vector process follow its pins with one
    // common offset.
    bool areProcessOutputsConsecutive (const Pin& pin, const juce::String& name) const;

    // Each DSP output feeds from one process output, unless a "BusSendN"
    // shares it.
    bool isDspOutputFree (const Pin& pin, const juce::String& name) const;

    //==============================================================================
    // The number after "DSPIN" (inputs) or "DSPOUT" (outputs), the prefix in
    // any case, or -1 when the name is not one of that side.
    static int getDspIoNumber (const juce::String& name, bool input);

    // The first pin of a node's side: pin 0 for the inputs (when it is an
    // input), output pin 0 for the outputs; none when that side has no pin.
    static const GraphPin* getFirstPin (const GraphNode& node, bool inputs) noexcept;

    // A process whose first pin on that side is a vector pin.
    static bool isVectorProcess (const GraphNode& node, bool inputs) noexcept;

    // The pin of that side and index (inputs: the pin table's entry; outputs:
    // GraphNode::getOutputPin); none when absent.
    static const GraphPin* getSidePin (const GraphNode& node, bool input, uint32_t index) noexcept;

private:
    bool isStepConsistent (const Ends& ends) const;
    bool isSharedOutputProcess (uint32_t nodeId) const;
    int getFirstOutputBusPinNumber (uint32_t nodeId) const;
    bool isAvailableOnModule (const juce::String& name, bool input) const;

    const GraphData& graph;
    const ModuleDefinition* module;
};
