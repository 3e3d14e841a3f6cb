#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <vector>

class GraphData;
class GraphNode;
class LibraryFunctionDefinition;
class ModuleDefinition;
class ProcessDefinition;
class SourceStream;
struct ParameterDescriptor;

// Writes the control entry point of one DSP's firmware: the function that
// the firmware's control source calls with one received control (an NRPN in
// the NRPN variant, a command number in the command variant), finds the
// library function that serves it in a sorted list, turns the value into
// that function's arguments and calls it.
//
// It reads the DSP's process graph (the nodes' command words and biquad
// marks) and the DSP's module only; what it writes goes into two texts: the
// handler (appended to the DSP's source) and its declarations (appended to
// the project-wide header).
class ControlHandlerWriter
{
public:
    // The list forms: the command variant's rows carry the process, the
    // NRPN variant's do not (the caller names it).
    enum class Variant
    {
        command = 0,
        nrpn = 1
    };

    // The bits of a command word.
    static constexpr uint32_t controlNumberMask = 0xFFFF;
    static constexpr uint32_t biquadParameterBit = 0x80000000u;
    static constexpr uint32_t validFunctionBit = 0x4000; // in the function id

    // Set in a row's process field for a biquad parameter of a biquad node.
    static constexpr uint32_t biquadRowBit = 0x8000;

    // Stands in the generated text where no biquad update or flat function
    // could be found: the firmware build stops at the name.
    static constexpr const char* missingBiquadFunction = "unknown_biquad_function_LIBVAR";

    // One control of the DSP: a command word of a node, the node it belongs
    // to, and the comment naming its control function.
    struct CommandRow
    {
        uint32_t command = 0;
        uint32_t processField = 0; // the node's nrpn, with biquadRowBit for a biquad row
        juce::String comment;

        uint32_t getControlNumber() const noexcept { return command & controlNumberMask; }
        uint32_t getFunctionId() const noexcept { return (command >> 16) & 0x7FFF; }
        bool isBiquadRow() const noexcept { return (processField & biquadRowBit) != 0; }
    };

    struct Texts
    {
        juce::String handler;
        juce::String declarations;
    };

    // biquadProcesses: how many biquad processes the DSP's source set up; the
    // sampling rate sizes a delay's count argument.
    ControlHandlerWriter (const GraphData& dspGraph, const ModuleDefinition* dspModule, uint32_t dspNumber, int biquadProcesses,
                          double samplingRateKhz);

    Texts writeNrpnHandler();
    Texts writeCommandHandler();

    //==============================================================================
    // The pieces both handlers are made of.

    // The DSP's controls in node order, sorted by control number (controls of
    // one number keep their node order). count receives the rows the list
    // holds: all of them in the command variant, all but the biquad rows in
    // the NRPN variant.
    std::vector<CommandRow> collectCommandRows (Variant variant, int& count) const;

    // Writes the sorted list (none when it would be empty) and the biquad
    // table; count as above. Returns the number of biquad table rows.
    int writeCommandList (SourceStream& stream, const juce::String& baseName, Variant variant, int& count) const;

    // Writes the table of the rows that serve a biquad node's parameters, for
    // a DSP with a biquad process; returns its row count (0: none written).
    int writeBiquadCommandTable (SourceStream& stream, const std::vector<CommandRow>& rows, const juce::String& baseName,
                                 Variant variant) const;

    // The case lines of the control switch: one per control function with
    // parameters, each process definition once however many nodes use it.
    void writeFunctionCases (SourceStream& stream) const;

    // A read-back call, whose result the firmware answers with a System
    // Exclusive message carrying the request's value as its id.
    static juce::String writeSendSysExCall (const juce::String& call);

    // Upper case, at least four digits.
    static juce::String toHex (uint32_t value);

    // The argument a handler passes for the parameter. A class-22 literal
    // stands for two parameters (takesNext is then set).
    static juce::String getArgumentExpression (const LibraryFunctionDefinition& function, const ParameterDescriptor& parameter,
                                               const GraphNode& node, double samplingRateKhz, bool& takesNext);

    // The name of the library function that updates a biquad's coefficients
    // (part "Biquad_UpdateCoeff") or flattens it ("Biquad_Flat"), from the
    // module's biquad process; empty when the module has none.
    juce::String findBiquadFunctionName (const char* part) const;

private:
    const ProcessDefinition* getDefinitionOf (const GraphNode& node) const;
    juce::String makeCall (const LibraryFunctionDefinition& function, const GraphNode& node) const;
    juce::String getBiquadFunctionName (const char* part) const;
    void writeRangeSearch (SourceStream& stream, const juce::String& missTest, const juce::String& upperBoundTest,
                           const juce::String& lowerBoundTest, const juce::String& functionIdCell) const;
    void writeNrpnBiquadLookup (SourceStream& stream) const;
    void writeCommandBiquadLookup (SourceStream& stream) const;
    void writeSwitch (SourceStream& stream) const;
    // Writes what both handlers open with (the guard, the command list, the
    // handler's first line) and sets the declarations to the counts, the
    // list's and the handler's; count as writeCommandList gives it. Returns
    // whether the handler looks up biquad rows.
    bool writeHandlerStart (SourceStream& stream, juce::String& declarations, const juce::String& header, Variant variant,
                            int& count) const;
    void writeBiquadLocals (SourceStream& stream) const;

    const GraphData& graph;
    const ModuleDefinition* module;
    const uint32_t dspId;
    const juce::String dsp; // the DSP's number as names carry it
    const bool hasBiquadProcess;
    const double rateKhz;
};
