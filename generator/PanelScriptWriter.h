#pragma once

#include "model/ProcessControlList.h"

#include <juce_core/juce_core.h>

#include <cstdint>

class GraphNode;
class LibraryFunctionDefinition;
class ProcessDefinition;
class ProcessPresetStore;
class VuMeterIdPool;
struct ParameterTypeCode;

// Writes the control-panel description of one process, the text the
// MIDI-control library turns into a panel: a title, a line per control
// (per channel for multi-channel controls) carrying the MIDI message the
// control sends, meters, and for equalisers, compressors, limiters and
// companders their graphic controls. It needs no window: everything comes
// from the process definition, the node, the DSP id, the sampling rate and
// the box's count slider.
//
// Every message line also registers its control in the given preset store
// (unless the store's control list is already built), under the very name the
// library reports it by, so that presets and the board messages find it. The
// process's control list decides that name and whether the control has
// room; a line it refuses is left out of the text and named among the
// problems, which the caller shows. The text is built in time linear in its
// length.
class PanelScriptWriter
{
public:
    // How an NRPN message is written: the bracket form with a 14-bit value,
    // the bracket form with a 7-bit value, or the raw controller bytes.
    enum class NrpnForm
    {
        bracket = 0,
        bracket7Bit = 1,
        raw = 2
    };

    // Registration flags of the number a control is registered under.
    static constexpr uint32_t rawNrpnFlag = 0x4000;
    static constexpr uint32_t sysExFlag = 0x8000;
    static constexpr uint32_t indexedFlag = 0x80000000u;

    PanelScriptWriter (const ProcessDefinition& definition, const GraphNode& node, uint32_t dspId, double samplingRateKhz,
                       double countSliderValue);

    // The whole description; empty for a process without control functions.
    // With `replacement` set each control's "def=" shows its value in the
    // store's current preset. A meter takes an id from the pool when
    // `meterId` holds none; the box keeps it.
    juce::String write (ProcessPresetStore& store, bool replacement, int& meterId, VuMeterIdPool& meterIds);

    //==============================================================================
    // The controls the panel of the node lists (for its count), as a text
    // written aside would give them: no store registers anything and no
    // meter id is taken.
    static ProcessControlList listControls (const GraphNode& node, uint32_t dspId, double samplingRateKhz);

    // Registers the controls the node's panel lists in its store when the
    // store has none built yet, as a panel built would; true when it did.
    static bool registerStoreControls (GraphNode& node, uint32_t dspId, double samplingRateKhz);

    // Brings the node's store in line with the controls its panel lists now.
    // A store without controls registers them; a built one follows them
    // (each control that stays keeps its values, a new one takes its
    // default) and takes their numbers. Then, when the controls the panel
    // listed before a change are given (the node's memory changed, say), a
    // value whose units changed with it is converted to stand for the same
    // quantity; and every value is kept within its control's range. True
    // when the store changed.
    static bool updateStoreControls (GraphNode& node, uint32_t dspId, double samplingRateKhz,
                                     const ProcessControlList* before = nullptr);

    // Whether the last text written holds a meter (the box then polls it).
    bool hasMeter() const noexcept { return meterWritten; }

    // The controls of the last text written, and what was left out of it,
    // for the user (empty when nothing was).
    const ProcessControlList& getControls() const noexcept { return controls; }
    juce::String getProblem() const;

    //==============================================================================
    // The message a control sends for control number `number` (the process's
    // nrpn in the high byte, the control's index in the low byte) on MIDI
    // channel `channel`, with its line end.
    static juce::String makeNrpnMessage (uint32_t number, int channel, NrpnForm form);
    static juce::String makeSysExMessage (uint32_t number, int channel);

    // "[" name "  { " definition name " }  DSP" id " - #" nrpn "]" and a line end.
    static juce::String makeTitleLine (const juce::String& nodeName, const juce::String& definitionName, uint32_t dspId,
                                       uint32_t nrpn);

    // The receive buffer, the answer's pattern and the tick table of a meter.
    static juce::String makeMeterDefinitions (int meterId, uint32_t processKind);

    // A number as the description writes it: the shortest decimal, no ".0".
    static juce::String formatNumber (double value);

    // Every "def=" of a control's attribute text set to the value, or one
    // appended when it has none.
    static juce::String withDefault (const juce::String& attributes, uint32_t value);

    // The value the library starts a control with: its last "def=" (or
    // else its "min="), kept within its "min=" and "max=", each counted only
    // when it is a whole number; 0 without.
    static uint32_t findDefault (const juce::String& attributes);

    // The values the library lets a control take: from its "min=" (up to the
    // next whole number) to its "max=" (down to the last one), each counted
    // only when it is a plain number; without either, no limit at that end.
    static ProcessControlList::Range findRange (const juce::String& attributes);

    // The attribute text with the control named by its "Name=", replaced or
    // appended.
    static juce::String withName (const juce::String& attributes, const juce::String& name);

    // A name as it may stand in a bracket: no line breaks and none of the
    // characters that end a name or a bracket.
    static juce::String makeNameSafe (const juce::String& name);

private:
    struct Message
    {
        enum class Form
        {
            nrpn,
            sysEx
        };

        Form form = Form::nrpn;
        NrpnForm nrpnForm = NrpnForm::raw;
        uint32_t number = 0;
    };

    void writeKindHeader();
    void writeEqualiserBlock();
    void writeFunction (int index, const LibraryFunctionDefinition& function);
    void writeControlLine (const LibraryFunctionDefinition& function, const ParameterTypeCode& type, const juce::String& name,
                           const juce::String& annotation, uint32_t number, bool isLastChannel);
    bool writeSliderLine (const LibraryFunctionDefinition& function, const ParameterTypeCode& type, const juce::String& name,
                          const juce::String& annotation, uint32_t number);
    void writeMeterLine (const juce::String& name, bool kindTicks);
    // The control is registered under `name`; the bracket starts with
    // `firstWord` when one is given (a line whose "Name=" names it), else
    // with the name.
    // A value whose units follow the node gives how many stand for one unit
    // of what it shows (`unitsPerQuantity`).
    void writeControl (const char* kind, const juce::String& name, const juce::String& attributes, const char* separator,
                       const Message& message, bool indexed, const juce::String& firstWord = {}, double unitsPerQuantity = 0.0);

    juce::String makeMessageText (const Message& message) const;
    // ",Ref=" of a compressor's, limiter's or compander's threshold or ratio
    // slider; empty for other names and kinds.
    juce::String getCompressorReference (const juce::String& name, const char* word, const char* compander,
                                         const char* compressor) const;
    juce::String getTimeDelayScale() const;
    uint32_t getControlNumber (int functionIndex) const;
    // The first control number among the command words: the process's nrpn
    // and the first index.
    uint32_t getFirstControlNumber() const;
    bool isDelayType() const;
    bool isCompressorLike() const;
    juce::String getRateText() const { return formatNumber (samplingRateKhz); }

    // The node's description written for no panel (no meter id taken), its
    // lines registered in the store as the store allows; the controls listed.
    static ProcessControlList writeAside (const GraphNode& node, uint32_t dspId, double samplingRateKhz,
                                          ProcessPresetStore& store);

    const ProcessDefinition& definition;
    const GraphNode& node;
    const uint32_t dspId;
    const double samplingRateKhz;
    const double countSliderValue;
    std::vector<uint32_t> commandWords; // the node's, or those it would be given

    ProcessPresetStore* store = nullptr;
    bool replacement = false;
    int* meterId = nullptr;
    VuMeterIdPool* meterIds = nullptr;
    bool meterWritten = false;
    juce::MemoryOutputStream body;
    ProcessControlList controls;
};
