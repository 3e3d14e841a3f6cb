#pragma once

#include "generator/templates/EqualiserListTexts.h"

#include <juce_core/juce_core.h>

#include <cstdint>

// The equaliser lists shared by the control-panel descriptions and the NRPN
// list file, so that a band offers the same choices in both.

// The crossover part of band `band`'s filter-type list (bands counted from
// 0) of an equaliser with `bandCount` bands: an entry spanning k bands is
// offered only while k bands remain from this one to the last.
juce::String getCrossoverTypeList (int band, int bandCount);

// The whole filter-type list of a band: the filter types, the two
// second-order shelves for the second biquad kind, then the crossovers.
juce::String getFilterTypeList (uint32_t processKind, int band, int bandCount);
