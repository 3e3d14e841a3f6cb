#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <functional>

class Design;
class GraphNode;
class ProcessPresetStore;

// Sends process control values to the development board, one control per
// System Exclusive message (ControlSysExMessage), with no window: for one
// process, one DSP, every DSP, and for a global preset as it is applied.
// The messages go to the output given; without one nothing is sent.
//
// A process's DSP is named on the wire by its DSP id - 1, the channel its
// control panel uses as well.
//
// The values are those of the nodes' stores, which hold what the control
// panels show. Everything runs on the message thread.
class BoardControlSender
{
public:
    // One whole message, F0 ... F7, for the open MIDI output.
    using MessageOutput = std::function<void (const uint8_t* message, int size)>;

    explicit BoardControlSender (Design& design);

    void setOutput (MessageOutput newOutput) { output = std::move (newOutput); }

    // One control: dsp is the DSP id - 1, param (process NRPN << 8) | control NRPN.
    void sendControlSysEx (int dsp, uint32_t param, uint32_t value);

    // The process's "(Last-Saved)" values, every control but the fixed delay
    // control: what its control panel shows, whose every change the store
    // takes at once. A store without "(Last-Saved)" sends nothing.
    void sendProcessControls (int dsp, GraphNode& node);

    // Every process placed on the DSP.
    void sendDspControls (uint32_t dspId);

    // Every DSP that has processes.
    void sendAllControls();

    // Applies the global preset of that name: for each of its keys the
    // stored preset it names becomes the process's "(Last-Saved)" values
    // (control by control, by name) and is sent, and the process's panel is
    // told to show them. A key that names no stored preset is left out.
    // False, with nothing done, when there is no such global preset or it
    // has no table.
    bool applyGlobalPreset (const juce::String& name);

private:
    void applyStoredPreset (ProcessPresetStore& stored, GraphNode* node, int dsp, uint32_t processId);
    static bool isDelayControl (const ProcessPresetStore& store);

    Design& design;
    MessageOutput output;
};
