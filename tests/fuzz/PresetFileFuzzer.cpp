// libFuzzer target: any bytes as a process preset file ("<name>.presets"),
// read through the node box's loader for every class and count group at the
// file's root, into an empty store and into a store of a delay process. A
// damaged file leaves the store as it was; what was read, saved into a new
// file and read again, must come back whole: every control, preset and value.

#include "FuzzSupport.h"
#include "PresetComparison.h"

#include "model/PresetDocument.h"

namespace
{
constexpr int maxClasses = 3;
constexpr int maxGroups = 3;

void silence (PresetDocument& document)
{
    document.setMessageHandler ([] (const juce::String&, const juce::String&, const juce::String&) {});
}

void readSaveAndReread (const juce::File& input, const juce::String& className, int count, bool delayProcess)
{
    ProcessPresetStore store;

    if (delayProcess)
        store.setHasFixedDelayControl();

    const ProcessPresetStore before (store);

    PresetDocument reader;
    silence (reader);

    if (reader.loadProcessPresetsFromFile (input, className, count, store).failed())
    {
        if (store.getPresetCount() != before.getPresetCount() || store.getControlCount() != before.getControlCount())
            FuzzSupport::fail ("a preset file that could not be read changed the store");

        return;
    }

    const auto output = FuzzSupport::scratchFolder().getChildFile ("saved.presets");
    output.deleteFile();

    PresetDocument writer;
    silence (writer);

    if (const auto written = writer.writeProcessPresetDocument (output, className, count, store, {}); written.failed())
        FuzzSupport::fail ("the presets read could not be saved: " + written.getErrorMessage());

    // The node reads its presets back into its own store, which a file's
    // delay control may have made a delay process's.
    ProcessPresetStore reread;

    if (store.hasFixedDelayControl())
        reread.setHasFixedDelayControl();

    PresetDocument rereader;
    silence (rereader);

    if (const auto result = rereader.loadProcessPresetsFromFile (output, className, count, reread); result.failed())
        FuzzSupport::fail ("the saved presets could not be read again: " + result.getErrorMessage());

    const auto lost = PresetComparison::differences (store, reread);

    if (lost.isNotEmpty())
        FuzzSupport::fail ("class \"" + className + "\", count " + juce::String (count) +
                           (delayProcess ? ", delay process" : "") + ": after saving and reading again " + lost);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto input = FuzzSupport::writeScratchFile ("input.presets", data, size);
    const auto loaded = PresetFileAccess::load (input);

    if (loaded.root == nullptr)
    {
        // Refused or empty: the loader must say so and change nothing.
        readSaveAndReread (input, "Biquad", 1, false);
        return 0;
    }

    int classes = 0;

    for (auto* cls = loaded.root->getChildByName ("Class"); cls != nullptr && classes < maxClasses;
         cls = cls->getNextElementWithTagName ("Class"), ++classes)
    {
        int groups = 0;

        for (auto* group = cls->getChildByName ("CountGroup"); group != nullptr && groups < maxGroups;
             group = group->getNextElementWithTagName ("CountGroup"), ++groups)
        {
            const auto count = group->getIntAttribute ("count");
            readSaveAndReread (input, cls->getStringAttribute ("name"), count, false);
            readSaveAndReread (input, cls->getStringAttribute ("name"), count, true);
        }
    }

    return 0;
}
