#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>

// The texts one DSP's generation produces, owned by the generation driver and
// handed to the DSP's generator: the DSP source itself, the declarations for
// the project-wide header, the DSP's part of the memory map, and what the
// biquad processes of the DSP need in the source and in the handlers.
struct DspSourceTexts
{
    juce::String includes;     // the head of the DSP source
    juce::String declarations; // appended to the project-wide header
    juce::String body;         // the whole DSP source once written
    juce::String memory;       // the DSP's section of the memory map

    juce::StringArray biquadDefines;        // "#define\tBIQUADnBANDCOUNT\tcount"
    juce::StringArray biquadParameters;     // the parameter arrays with their band count
    juce::StringArray biquadTypes;          // the type arrays
    juce::StringArray biquadXoverTypes;     // the crossover-type arrays
    juce::StringArray biquadRawFrequencies; // the raw-frequency arrays
    juce::Array<uint32_t> biquadNrpns;      // the NRPN numbers of the biquad processes, in order
    int biquadCount = 0;
    bool hasBiquad = false;

    // Everything back to empty, before the next DSP.
    void clear();
};
