#pragma once

#include "model/GlobalPresetKey.h"

#include <juce_core/juce_core.h>

// A "GLOBAL_PRESETS" element of `count` global presets "G0", "G1" ...: G<i>
// has a table for DSP i whose one key gives process 2 preset i % 2 of the
// stored store of table id 0. A large file for the readers and the cleaning.
inline juce::String manyGlobalPresets (int count)
{
    juce::MemoryOutputStream text;
    text << "<GLOBAL_PRESETS>";

    for (int i = 0; i < count; ++i)
        text << "<List name=\"G" << i << "\"><DSPDefinition dspId=\"" << i << "\" numberOfProcess=\"1\" processPreset1=\""
             << (int) GlobalPresetKey::make (2, (uint32_t) i % 2, 0) << "\"/></List>";

    text << "</GLOBAL_PRESETS>";
    return text.toString();
}
