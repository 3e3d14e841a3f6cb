#pragma once

#include "generator/templates/EqualiserListTexts.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <vector>

// The equaliser lists shared by the control-panel descriptions and the NRPN
// list file, so that a band offers the same choices in both.

// The crossover part of band `band`'s filter-type list (bands counted from
// 0) of an equaliser with `bandCount` bands: an entry spanning k bands is
// offered only while k bands remain from this one to the last.
juce::String getCrossoverTypeList (int band, int bandCount);

// The whole filter-type list of a band: the filter types, the two
// second-order shelves for the second biquad kind, then the crossovers.
juce::String getFilterTypeList (uint32_t processKind, int band, int bandCount);

// One crossover of the lists, as its text describes it: the code a band's
// type control sends for it, the slope (family and order) and direction it
// stands for, and the number of bands it takes.
struct CrossoverCode
{
    int code = 0;
    juce::String family; // "Butterworth", "Bessel" or "Linkwitz-Riley"
    bool highPass = false;
    int order = 0; // the slope in dB/Oct divided by 6
    int bands = 0;
    juce::String text; // the entry without its code
};

// Every crossover of the lists, in the order they are offered; the firmware's
// biquad control decodes exactly these codes.
std::vector<CrossoverCode> getCrossoverCodes();
