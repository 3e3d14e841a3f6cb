#pragma once

#include "model/GlobalPresetCollector.h"
#include "model/GlobalPresetList.h"
#include "model/PresetDocument.h"
#include "model/ProjectPresetStores.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class Design;

// The global presets of a project as the user creates, saves and removes
// them (the window container's global-preset group offers them), with no
// window needed.
//
// A save is all or nothing. It collects, compares and cleans in copies of
// the project's collections and global presets and writes the global preset
// file once, at the end; only when that write succeeded do the copies take
// the place of the project's. A file that cannot be read or written, or a
// process whose values cannot be stored, leaves the design and the file as
// they were: a new global preset is not listed, one saved again keeps what
// it named before.
//
// A removal takes the global preset out of the file first, and out of the
// design only when that succeeded.
class GlobalPresetManager
{
public:
    // The project's document reaches the global preset file and shows the
    // failures it meets; the design's settings name the file.
    GlobalPresetManager (Design& design, PresetDocument& projectDocument);

    // Ok when a new global preset may take the name, else the reason as the
    // user is told it: a blank name, or one in use.
    juce::Result checkNewName (const juce::String& name) const;

    // One save, stage by stage (the saving's progress window shows them).
    // A stage after a failure does nothing.
    class Saving
    {
    public:
        Saving (GlobalPresetManager& owner, const juce::String& name, bool create);

        // Checks the name, reads the global preset file and makes the copies.
        juce::Result start();

        // The DSPs of the design when the save started, by position.
        int getDspCount() const noexcept { return (int) dspIds.size(); }
        void collectDsp (int position);

        // Lists the stored presets that the global presets name.
        void compare();
        // Removes the stored presets that no global preset names.
        void clean();
        // Writes the file and, when it was written, gives the design the copies.
        juce::Result finish();

        const juce::Result& getResult() const noexcept { return result; }

        // The save made a global preset that the design did not hold before.
        bool createdPreset() const noexcept { return created; }

    private:
        void note (const juce::Result& outcome);

        GlobalPresetManager& owner;
        juce::String name;
        bool create = false;
        bool created = false;
        juce::File file;
        juce::Result result = juce::Result::ok();
        std::vector<uint32_t> dspIds;

        std::unique_ptr<juce::XmlElement> root;
        std::optional<ProjectPresetStores> stores;
        std::optional<GlobalPresetList> globalPresets;
        PresetDocument document;
        std::unique_ptr<GlobalPresetCollector> collector;
    };

    // Saves the design into the global preset of that name, made new with
    // create (refused for a name in use), else one the design holds. This
    // manager outlives the saving.
    std::unique_ptr<Saving> makeSaving (const juce::String& name, bool create);

    // Every stage at once.
    juce::Result save (const juce::String& name, bool create);

    juce::Result remove (const juce::String& name);

private:
    juce::File getGlobalPresetFile() const;
    bool holds (const juce::String& name) const;

    Design& design;
    PresetDocument& projectDocument;
};
