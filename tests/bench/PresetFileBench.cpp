// How long the global preset file takes to read, and to clean and save, as
// it grows: the work should follow the size of the file. Four times the
// global presets should take about four times as long (a global preset or
// a table looked up among all those read before it made it sixteen), and a
// control numbered a billion no longer than one numbered a quarter of that
// (counting up to the numbers once took many seconds).

#include "model/PresetDocument.h"

#include "model/ManyGlobalPresets.h"

#include <benchmark/benchmark.h>

namespace
{
// A global preset file in a folder of its own, read by a document pointed at
// the project's collections and global presets.
class PresetFile
{
public:
    PresetFile()
    {
        folder.createDirectory();
        document.setPresetStores (&stores);
        document.setGlobalPresets (&globals);
        document.setUsePresetList();
        document.setMessageHandler ([this] (const juce::String&, const juce::String& text, const juce::String&)
                                    { message = text; });
    }

    ~PresetFile() { folder.deleteRecursively(); }

    PresetFile (const PresetFile&) = delete;
    PresetFile& operator= (const PresetFile&) = delete;

    // One stored store of two presets, then `count` global presets, each
    // naming one of them for a DSP of its own.
    void writeGlobalPresets (int count)
    {
        ProcessPresetStore source;
        source.markBuilding();
        source.addOrUpdateControl (0x10, "Gain", true);
        source.addOrUpdateControl (0x11 | ProcessPresetStore::secondaryControlFlag, "Freq", true);
        source.markBuilt();

        for (uint32_t i = 0; i < 2; ++i)
        {
            source.selectOrAddPreset ("P" + juce::String (i), 0, true);
            source.getCurrentPresetRecord()->values = { i, 100 + i };
        }

        stores.createOrMergeStore (nullptr, "Biquad", 2, source, false);
        document.writeProcessPresetDocument (file, "Biquad", 2, source, {});
        file.replaceWithText (file.loadFileAsString().replace ("</PRESETS>", manyGlobalPresets (count) + "</PRESETS>"));
    }

    // As the global-preset saving does after collecting.
    bool cleanAndSave()
    {
        document.rebuildReferencedPresets();
        return document.removeUnreferencedPresets (file).wasOk() && document.renumberAndSave (file).wasOk();
    }

    bool read() { return document.readPresetsFile (file).wasOk() && message.isEmpty(); }

    juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getChildFile ("vx-bench-" + juce::String::toHexString (juce::Random().nextInt64()));
    juce::File file = folder.getChildFile ("Design_global.presets");
    ProjectPresetStores stores;
    GlobalPresetList globals;
    PresetDocument document;
    juce::String message;
};

void readGlobalPresets (benchmark::State& state)
{
    PresetFile presets;
    presets.writeGlobalPresets ((int) state.range (0));

    for (auto _ : state)
        if (! presets.read() || presets.globals.getCount() != state.range (0))
            state.SkipWithError ("the global presets were not read");

    state.SetItemsProcessed (state.iterations() * state.range (0));
}

void cleanAndSaveGlobalPresets (benchmark::State& state)
{
    PresetFile presets;
    presets.writeGlobalPresets ((int) state.range (0));

    // Once, so that every round cleans an already clean file.
    if (! presets.read() || ! presets.cleanAndSave())
        state.SkipWithError ("the global presets were not read and saved");

    for (auto _ : state)
        if (! presets.cleanAndSave())
            state.SkipWithError ("the global presets were not saved");

    state.SetItemsProcessed (state.iterations() * state.range (0));
}

// A stored store whose controls carry the numbers near `count`: the one
// fixed control and the one secondary control the file announces.
void readControlOfHugeNumber (benchmark::State& state)
{
    const auto count = (int) state.range (0);
    PresetFile presets;
    presets.file.replaceWithText (
        "<PRESETS NumberOfTableId=\"1\"><PresetList><Class name=\"Eq\"><CountGroup count=\"1\" TableId=\"0\"><Preset>"
        "<Count NumberOfPresets=\"1\" NumberOfControls=\"" +
        juce::String (count) + "\" NumberOfFixedControls=\"" + juce::String (count - 1) + "\"/><Controls fixedName" +
        juce::String (count - 2) + "=\"Gain\" fixedNrpn" + juce::String (count - 2) +
        "=\"16\" Name1=\"Freq\" Nrpn1=\"17\"/><Lists><List name=\"A\" fixedValue" + juce::String (count - 2) +
        "=\"3\" Value1=\"4\"/></Lists></Preset></CountGroup></Class></PresetList></PRESETS>");

    for (auto _ : state)
    {
        const auto* stored = presets.read() ? presets.stores.findStore ("Eq", 1) : nullptr;

        if (stored == nullptr || stored->getControlCount() != 2)
            state.SkipWithError ("the controls were not read");
    }
}
} // namespace

BENCHMARK (readGlobalPresets)->Unit (benchmark::kMillisecond)->Arg (5000)->Arg (20000);
BENCHMARK (cleanAndSaveGlobalPresets)->Unit (benchmark::kMillisecond)->Arg (5000)->Arg (20000);
BENCHMARK (readControlOfHugeNumber)->Unit (benchmark::kMicrosecond)->Arg (250000000)->Arg (1000000000);
BENCHMARK_MAIN();
