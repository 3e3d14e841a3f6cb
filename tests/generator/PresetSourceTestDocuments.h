#pragma once

#include "model/Design.h"
#include "model/GlobalPresetKey.h"

#include <juce_core/juce_core.h>

#include <initializer_list>

// Preset documents and global presets for the tests of the preset sources,
// written as a project's two preset files hold them.
namespace presetsourcetest
{
// Compressor (a 16-bit, a 15-bit and a 32-bit control), a delay with the
// fixed delay control and a 32-bit control, and a four-channel biquad.
extern const char* const processDocument;

// The stored stores behind global presets: table ids 0 and 2 (1 is free).
extern const char* const globalDocument;

// Adds a global preset whose tables hold these keys, per DSP in order.
void addGlobalPreset (Design& design, const juce::String& name,
                      std::initializer_list<std::pair<uint32_t, std::initializer_list<uint32_t>>> tables);

// GlobalPresetKey::make with the process id first.
inline uint32_t key (uint32_t processId, uint32_t presetIndex, uint32_t tableId)
{
    return GlobalPresetKey::make (processId, presetIndex, tableId);
}
} // namespace presetsourcetest
