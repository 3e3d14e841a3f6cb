#pragma once

#include "generator/BuildProjectFile.h"

#include <cstdint>

// What the DSPs of one generation need of the project-wide sources: each
// flag is the OR, over every DSP generated, of one bit of the feature byte
// that the DSP's source writer reports.
struct FirmwareFeatures
{
    bool biquadControl = false;  // a biquad process: "BiquadCtrl.c" and the biquad hooks
    bool fbc = false;            // a feedback-canceller module: "fbcHandler.c"
    bool spdif = false;          // an S/PDIF module: the S/PDIF clock and output
    bool extendedBiquad = false; // a biquad of the extended kind: the second-order shelves

    void add (uint8_t featureByte) noexcept
    {
        biquadControl = biquadControl || (featureByte & BuildProjectFile::featureBiquadControl) != 0;
        fbc = fbc || (featureByte & BuildProjectFile::featureFbc) != 0;
        spdif = spdif || (featureByte & BuildProjectFile::featureSpdif) != 0;
        extendedBiquad = extendedBiquad || (featureByte & BuildProjectFile::featureExtendedBiquad) != 0;
    }
};
