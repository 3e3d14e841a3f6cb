#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <functional>

class Design;
class GlobalPreset;
class GraphNode;
class PresetDocument;

// The first stage of saving a global preset: every process of every DSP
// stores its current values as a preset of its class and channel count in
// the collections (an equal stored preset is found instead of adding a new
// one), and the global preset gets, per DSP, one key per process naming that
// stored preset. The stored stores and the global preset's tables are
// written into the global preset file's document as it goes.
//
// The collections and global presets are those the document points at: the
// saving (GlobalPresetManager) collects into copies of the project's, which
// take their place only once the file is written.
//
// A process's values are its node's store's, which holds what its control
// panel shows; its controls are brought in line with the process first (the
// design's control updater).
class GlobalPresetCollector
{
public:
    // The document is pointed at the collections and global presets to
    // collect into, with the preset list in use; the root is the global
    // preset file's document.
    GlobalPresetCollector (Design& design, PresetDocument& document, juce::XmlElement& root);

    // Every DSP in slot order; the global preset, or none without a DSP.
    GlobalPreset* collectGlobalPreset (const juce::String& name);

    // One DSP's table of the global preset. The first DSP of a collection
    // creates the preset when it is new and starts its tables afresh (a DSP
    // removed since keeps no table); a later DSP finds it, or gives none.
    // The table count is the number of tables held.
    GlobalPreset* collectDspGlobalPreset (const juce::String& name, uint32_t dspId, int dspCount, bool first);

    // The process's values in its node's store, stored as described above
    // and taken out of the node's store again. The values are those of the
    // store's current preset, which its control panel shows. -1 for a node
    // without controls or process definition.
    int writeTemporaryPreset (GraphNode& node, const juce::String& name, uint32_t dspId);

    // name + "_DSP" + the DSP id + "-PCS" + the NRPN, each in two upper-case
    // hexadecimal digits.
    static juce::String makeTemporaryPresetName (const juce::String& name, uint32_t dspId, uint32_t nrpn);

    // Ok unless a process's values could not be stored or named by a key;
    // the first failure.
    const juce::Result& getResult() const noexcept { return result; }

private:
    void note (const juce::Result& outcome);

    Design& design;
    PresetDocument& document;
    juce::XmlElement& root;
    juce::Result result = juce::Result::ok();
};
