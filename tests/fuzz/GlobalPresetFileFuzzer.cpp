// libFuzzer target: any bytes as a global preset file
// ("<name>_global.presets"), read as a project opening reads it: the stored
// preset stores under "PresetList" and the global presets. A damaged file
// leaves nothing behind; what was read, saved into a new file (the stores as
// their class elements, the global presets through the global-preset saving)
// and read again, must come back whole: every store with its table id, every
// preset and value, every global preset, table and key. The class "Delay"
// is read as a delay's, in the forms of earlier files too.

#include "FuzzSupport.h"
#include "PresetComparison.h"

#include "model/PresetDocument.h"

namespace
{
struct Project
{
    ProjectPresetStores stores;
    GlobalPresetList globals;
    PresetDocument document;

    Project()
    {
        document.setUsePresetList();
        document.setPresetStores (&stores);
        document.setGlobalPresets (&globals);
        document.setMessageHandler ([] (const juce::String&, const juce::String&, const juce::String&) {});

        // The class "Delay" is read as a delay-type process's, whose
        // "Feedback2" ... are copies per ms that files of earlier forms hold.
        document.setClassRule (
            [] (const juce::String& className)
            {
                if (className != "Delay")
                    return PresetDocument::ClassReading();

                return PresetDocument::ClassReading{ [] (const juce::String& name)
                                                     { return PresetNumberReader::numberAfterPrefix (name, "Feedback") < 2; } };
            });
    }
};

juce::String describe (const ClassPresetStores& cls, const ClassPresetEntry& entry)
{
    return "the stored presets of \"" + cls.getName() + "\" for " + juce::String (entry.count) + " channels";
}

juce::String storeDifferences (const ProjectPresetStores& original, const ProjectPresetStores& reread)
{
    if (original.getTableCounter() != reread.getTableCounter())
        return "the table counter went from " + juce::String (original.getTableCounter()) + " to " +
               juce::String (reread.getTableCounter());

    if (original.getClassCount() != reread.getClassCount())
        return "the class count went from " + juce::String (original.getClassCount()) + " to " +
               juce::String (reread.getClassCount());

    for (int c = 0; c < original.getClassCount(); ++c)
    {
        const auto& before = *original.getClass (c);
        const auto& after = *reread.getClass (c);

        if (before.getName() != after.getName() || before.getEntryCount() != after.getEntryCount())
            return "the class \"" + before.getName() + "\" came back as \"" + after.getName() + "\" with " +
                   juce::String (after.getEntryCount()) + " of its " + juce::String (before.getEntryCount()) + " count groups";

        for (int e = 0; e < before.getEntryCount(); ++e)
        {
            const auto& entry = *before.getEntry (e);
            const auto& rereadEntry = *after.getEntry (e);

            if (entry.count != rereadEntry.count || entry.tableId != rereadEntry.tableId ||
                entry.store->getTableId() != rereadEntry.store->getTableId())
                return describe (before, entry) + " came back for " + juce::String (rereadEntry.count) + " channels, table id " +
                       juce::String (rereadEntry.tableId) + " instead of " + juce::String (entry.tableId);

            const auto lost = PresetComparison::differences (*entry.store, *rereadEntry.store);

            if (lost.isNotEmpty())
                return describe (before, entry) + ": " + lost;
        }
    }

    return {};
}

juce::String globalDifferences (const GlobalPresetList& original, const GlobalPresetList& reread)
{
    if (original.getCount() != reread.getCount())
        return "the global preset count went from " + juce::String (original.getCount()) + " to " +
               juce::String (reread.getCount());

    for (int p = 0; p < original.getCount(); ++p)
    {
        const auto& before = *original.getPreset (p);
        const auto& after = *reread.getPreset (p);

        if (before.getName() != after.getName() || before.getHeldTableCount() != after.getHeldTableCount())
            return "the global preset \"" + before.getName() + "\" came back as \"" + after.getName() + "\" with " +
                   juce::String (after.getHeldTableCount()) + " of its " + juce::String (before.getHeldTableCount()) +
                   " DSP tables";

        for (int t = 0; t < before.getHeldTableCount(); ++t)
        {
            const auto* table = before.getTable (t);
            const auto* rereadTable = after.getTable (t);

            if (table == nullptr || rereadTable == nullptr)
                return "a DSP table of the global preset \"" + before.getName() + "\" cannot be reached";

            if (table->getDspId() != rereadTable->getDspId() || table->getKeys() != rereadTable->getKeys())
                return "the table of the DSP " + juce::String (table->getDspId()) + " in the global preset \"" +
                       before.getName() + "\" lost or changed keys";
        }
    }

    return {};
}

// Everything the project holds, written into a new global preset file.
void save (Project& project, const juce::File& file)
{
    juce::XmlElement root (PresetFileAccess::rootTag);
    root.setAttribute ("Version", PresetDocument::formatVersion);

    for (int c = 0; c < project.stores.getClassCount(); ++c)
    {
        const auto& cls = *project.stores.getClass (c);

        for (int e = 0; e < cls.getEntryCount(); ++e)
            project.document.writeClassElement (root, cls.getName(), cls.getEntry (e)->count, *cls.getEntry (e)->store, true);
    }

    if (const auto result = PresetFileAccess::save (root, file); result.failed())
        FuzzSupport::fail ("the stored presets could not be saved: " + result.getErrorMessage());

    // The global-preset saving with nothing to clean: it writes every global
    // preset's tables into the file and the table-id count into its root.
    if (const auto result = project.document.renumberAndSave (file); result.failed())
        FuzzSupport::fail ("the global presets could not be saved: " + result.getErrorMessage());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto input = FuzzSupport::writeScratchFile ("input_global.presets", data, size);

    Project project;

    if (project.document.readPresetsFile (input).failed())
    {
        if (project.stores.getClassCount() != 0 || project.globals.getCount() != 0)
            FuzzSupport::fail ("a global preset file that could not be read left presets behind");

        return 0;
    }

    const auto output = FuzzSupport::scratchFolder().getChildFile ("saved_global.presets");
    output.deleteFile();
    save (project, output);

    Project reread;

    if (const auto result = reread.document.readPresetsFile (output); result.failed())
        FuzzSupport::fail ("the saved global preset file could not be read again: " + result.getErrorMessage());

    auto lost = storeDifferences (project.stores, reread.stores);

    if (lost.isEmpty())
        lost = globalDifferences (project.globals, reread.globals);

    if (lost.isNotEmpty())
        FuzzSupport::fail ("after saving and reading again " + lost);

    return 0;
}
