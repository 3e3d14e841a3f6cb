#pragma once

#include "generator/UniqueIdentifiers.h"

#include <juce_core/juce_core.h>

#include <optional>
#include <set>

class Design;
class PresetSourceWriter;

// The preset sources of a generation, as whole file texts: "presets.h" and
// "presets.c" from the project's preset file, "GlobalPresets.h" and
// "GlobalPresets.c" from its global preset file and global presets, the
// loader-only "presets" pair of a design without process presets (the
// global loader calls it), and the global pair without presets that
// replaces an earlier generation's. A pair is made whole or not at all, so the files
// on disk always belong together; a file that cannot be read is reported
// in the log and gives no pair.
//
// Reading a preset file may complete it: a count group that announces the
// fixed delay control without naming it gets it named. The file is then
// written back, whole, and only then.
class PresetSourceGenerator
{
public:
    struct Files
    {
        juce::String header, source;
    };

    static constexpr const char* processHeaderName = "presets.h";
    static constexpr const char* processSourceName = "presets.c";
    static constexpr const char* globalHeaderName = "GlobalPresets.h";
    static constexpr const char* globalSourceName = "GlobalPresets.c";

    // The loaders send through the control source of the generation's
    // variant, declared by its header: "midictrl.h" or "commandctrl.h".
    static constexpr const char* nrpnControlHeader = "midictrl.h";

    // Reads the design's library (which classes are biquads), its stored
    // presets (current presets, table counter) and its global presets.
    explicit PresetSourceGenerator (Design& design, const juce::String& controlHeader = nrpnControlHeader);
    ~PresetSourceGenerator();

    // None when the file holds no preset table.
    std::optional<Files> makeProcessPresetFiles (const juce::File& presetFile, bool biquadControl);

    // None when there is no global preset, or no preset table for one.
    std::optional<Files> makeGlobalPresetFiles (const juce::File& globalPresetFile, bool biquadControl);

    static Files makeLoaderOnlyFiles (bool biquadControl, const juce::String& controlHeader = nrpnControlHeader);

    // "GlobalPresets.h" and "GlobalPresets.c" without a global preset: their
    // header stops a firmware build that asks for one (_USE_GLOBAL_PRESET).
    static Files makeNoGlobalPresetFiles();

    // A class whose control table marks it for the biquad control: "Biquad",
    // "BiquadEx", or a process of the library of biquad kind.
    bool isBiquadClass (const juce::String& className) const;

private:
    std::unique_ptr<juce::XmlElement> loadDocument (const juce::File& file, bool global);
    std::unique_ptr<PresetSourceWriter> makeWriter (const juce::XmlElement& root, bool global);

    Design& design;
    const juce::String controlHeader;
    UniqueIdentifiers usedNames;
    mutable std::optional<std::set<juce::String>> biquadProcessNames;
};
