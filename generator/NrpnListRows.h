#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>

class GenerationContext;
class GraphData;
class GraphNode;
class LibraryFunctionDefinition;
class ProcessDefinition;

// The rows one DSP contributes to the NRPN list file: one row per control
// (per channel, or per band, for a control with an index), with its process,
// MIDI channel, NRPN number, value range, default, data width and the
// formulas between MIDI values and physical values, each cell followed by
// ";" and the row by a line end.
//
// It reads the DSP's process graph, the module library's definitions and the
// sampling rate of the project only.
class NrpnListRows
{
public:
    NrpnListRows (const GraphData& dspGraph, const GenerationContext& generationContext, uint32_t dspNumber);

    // Appends the rows of every process node, in NRPN order.
    void write (juce::MemoryOutputStream& rows) const;

    //==============================================================================
    // The value of a key ("min=", "valunit=" ...) in a text of key=value
    // items: blanks and tabs do not count, letter case does not matter, and
    // the value ends at ",", "]" or a line end. The text is read as if it
    // began with "valscale=", so that a bare formula at its start is its
    // scale; an empty key means "valscale=". Empty when the key is absent.
    static juce::String getKeyValue (const juce::String& text, const juce::String& key);

    // The same in a control-panel option text ("Options[Name] = items"): only
    // what follows its first "]" counts.
    static juce::String getOptionValue (const juce::String& optionText, const juce::String& key);

    // The value of the key for a control function: from the annotation of
    // its last parameter's type, else from the function's own annotation
    // text. "DataLength=" of a type that stands for 1, 2 or 3 values is "7",
    // "14" or "28".
    static juce::String getAnnotationValue (const LibraryFunctionDefinition& function, const juce::String& key);

    // The bits a MIDI value up to max needs: 7, 14 or 28.
    static juce::String getDataLength (juce::int64 max);

    // Which band parameter a biquad's control number serves (control indexes
    // 3, 34, 65 and 96: 0 type, 1 Q, 2 frequency, 3 gain), or -1.
    static int getFilterParameter (uint32_t controlNumber) noexcept;

    // A cell's text as a spreadsheet should read it: on the row's line, in
    // its own cell, and never taken as a formula.
    static juce::String makeCell (const juce::String& text);

private:
    void writeNodeRows (const GraphNode& node, const ProcessDefinition& definition, juce::MemoryOutputStream& rows) const;
    juce::StringArray getControlCells (const LibraryFunctionDefinition& function, const GraphNode& node) const;
    static juce::StringArray getFilterCells (int parameter, int band, int bandCount, uint32_t processKind);
    static void addRow (const juce::StringArray& cells, juce::MemoryOutputStream& rows);

    const GraphData& graph;
    const GenerationContext& context;
    const uint32_t dspId;
};
