#pragma once

#include "generator/FirmwareFeatures.h"

#include <juce_core/juce_core.h>

#include <cstdint>

// The headers and sources that every DSP of the firmware shares: the user's
// configuration header "MainAppConfig.h", the shared declarations
// "quellion.h", the user's hook header "custom.h" and the biquad control
// pair "BiquadCtrl.c" / "BiquadCtrl.h". Each function returns its text; the
// generation driver puts the pieces together and stores each file whole.
class ProjectHeaders
{
public:
    // The first line of the two files that belong to the user once written.
    static constexpr const char* userFileComment =
        "// This file can be modified by user and will not be overwritten by Ostrane Quellion.\n";

    // The whole of "MainAppConfig.h" around the memory-base block.
    static juce::String makeMainAppConfig (const juce::String& memoryBaseBlock);

    // The guard of "quellion.h", the DSP count and the shared definitions.
    static juce::String makeSharedHeaderHead (uint32_t highestDspNumber);

    // The DSP count ("NBDSPINITIALIZED") and the shared definitions. The
    // count is the highest DSP number, and at least 1 so that the arrays it
    // sizes stay valid C in a design without DSPs.
    static juce::String writeSharedHeaderDefs (uint32_t highestDspNumber);

    // The user-file line and the guard that open "custom.h".
    static juce::String makeCustomHeaderHead();

    // The hook block of one DSP: the four hooks, each with its commented
    // "#define" and its prototype for the variant.
    static juce::String writeCustomHeader (uint32_t dspNumber, bool nrpnVariant);

    // Hook name + DSP number + suffix (the hook by index, 0 to 3).
    static juce::String writeCustomHookStub (int hookIndex, uint32_t dspNumber, const juce::String& suffix);

    // The hooks of the biquad control source.
    static juce::String writeBiquadCustomFunctions();

    // "BiquadCtrl.c": the second-order shelves and the extended-type set-up
    // only with the extended biquads; the sampling rate in its comment.
    static juce::String makeBiquadControlSource (const FirmwareFeatures& features, double samplingRateKhz);

    // "BiquadCtrl.h", guard included.
    static juce::String makeBiquadControlHeader (const FirmwareFeatures& features);

    // The pair that replaces an earlier generation's when the design has no
    // biquad control any more: nothing in it, guard included.
    static juce::String makeNoBiquadControlSource();
    static juce::String makeNoBiquadControlHeader();

    // The rate in Hz as a single-precision number with at most six
    // significant digits and no decimal point when whole: 44.1 gives "44100".
    static juce::String formatSamplingRateHz (double samplingRateKhz);
};
