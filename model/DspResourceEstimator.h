#pragma once

#include "model/GraphData.h"
#include "model/ModuleLibrary.h"

#include <cstdint>

// What one DSP of the design uses and offers: cycles, DSP RAM and external
// RAM, from the DSP's process graph and the module records. The DSP editor
// shows the three loads under its graph after every change of the graph, of
// the DSP's module and of the project settings.
//
// Figures are signed and 64 bits wide: a budget may come out at 0 or below
// (a module whose own cycles exceed what the rate offers), and channel counts
// and mask entries read from files may be large.
class DspResourceEstimator
{
public:
    struct CyclesAndRam
    {
        int64_t cycles = 0;
        int64_t ram = 0;
    };

    struct ExternalRam
    {
        int64_t used = 0;
        int64_t size = 0;
    };

    // The three loads in percent, as the DSP editor shows them
    // (" %03.2f%% cycles", " %03.2f%% DSP RAM", " %03.2f%% EXTRAM").
    struct LoadPercentages
    {
        double cycles = 0.0;
        double dspRam = 0.0;
        double externalRam = 0.0;
    };

    // Neither is owned; without them every figure is the one for a DSP that
    // the library does not know.
    DspResourceEstimator (const GraphData* graph, const ModuleLibrary* library) noexcept;

    // The cycles and DSP RAM the DSP's processes use.
    CyclesAndRam addProcessCosts (uint32_t dspId) const;

    // The cycles and DSP RAM the DSP offers at a sampling-rate position
    // (0 to 5: 44.1, 48, 88.2, 96, 176.4 and 192 kHz); 100 and 1 when the
    // DSP or its module is unknown.
    CyclesAndRam getMemoryBudget (uint32_t dspId, int ratePosition) const;

    // The external RAM the memory map reserves for the DSP, and the size
    // there is (the memory-size setting in kwords). The module's own
    // functions count once, every process's set-up functions every time, a
    // delay line by its length at the sampling rate (kHz).
    ExternalRam addMemoryCosts (uint32_t dspId, int externalMemorySize, double samplingRateKhz) const;

    // All three figures, divided.
    LoadPercentages estimateLoad (uint32_t dspId, int ratePosition, int externalMemorySize, double samplingRateKhz) const;

    // 100 x used / budget; a budget of 0 or less gives 100 when anything is
    // used and 0 when nothing is.
    static double toPercent (int64_t used, int64_t budget) noexcept;

    static LoadPercentages toPercentages (const CyclesAndRam& used, const CyclesAndRam& budget,
                                          const ExternalRam& external) noexcept;

    // 2048, 1024 or 512; a position outside 0 to 5 counts as the nearest one.
    static int getCyclesPerSample (int ratePosition) noexcept;

private:
    const GraphData* graph;
    const ModuleLibrary* library;
};

// The cycle load of one process with that channel word, in percent of what
// its DSP offers at the rate position; 0 without a definition. Neither the
// counted-once flag nor the special processes apply here.
float computeMemoryPercent (const ModuleDefinition* module, const ProcessDefinition* definition, uint32_t channelWord,
                            int ratePosition);
