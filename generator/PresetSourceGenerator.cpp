#include "generator/PresetSourceGenerator.h"

#include "generator/GlobalPresetSourceWriter.h"
#include "generator/PresetSourceWriter.h"
#include "generator/SourceFiles.h"
#include "generator/SourceStream.h"
#include "generator/templates/PresetSourceTemplates.h"
#include "model/Design.h"
#include "model/DesignLog.h"
#include "model/GlobalPresetKey.h"
#include "model/ModuleLibrary.h"
#include "model/PresetFileAccess.h"

#include <map>

namespace
{
juce::String guardOpen (const char* headerName)
{
    return makeHeaderGuardOpen (headerFileNamed (headerName));
}

juce::String guardClose (const char* headerName)
{
    return makeHeaderGuardClose (headerFileNamed (headerName));
}

// What the process and the global preset files both open with: the tables'
// types and declarations in the header, their presets and controls in the
// source.
void writeTables (const PresetSourceWriter& writer, SourceStream& header, SourceStream& source, bool biquadControl)
{
    writer.writePresetHeader (header, false);
    writer.writePresetControlStructs (header);
    writer.writePresetListSource (source, header, biquadControl);
    writer.writePresetControlLists (source, header);
}
} // namespace

PresetSourceGenerator::PresetSourceGenerator (Design& designToRead, const juce::String& controlHeaderName)
    : design (designToRead), controlHeader (controlHeaderName)
{
}

PresetSourceGenerator::~PresetSourceGenerator() = default;

bool PresetSourceGenerator::isBiquadClass (const juce::String& className) const
{
    if (className == "Biquad" || className == "BiquadEx")
        return true;

    // Every table asks: the library's biquad processes are listed once.
    if (! biquadProcessNames.has_value())
    {
        biquadProcessNames.emplace();

        if (const auto* library = design.getLibrary())
            for (int m = 0; m < library->getModuleCount(); ++m)
                if (const auto* module = library->getModule (m))
                    for (int p = 0; p < module->getProcessCount(); ++p)
                        if (const auto* process = module->getProcess (p);
                            process != nullptr && isBiquadProcessKind (process->processKind))
                            biquadProcessNames->insert (juce::String (process->name));
    }

    return biquadProcessNames->count (className) != 0;
}

std::unique_ptr<juce::XmlElement> PresetSourceGenerator::loadDocument (const juce::File& file, bool global)
{
    if (file == juce::File() || ! file.existsAsFile())
        return {};

    auto loaded = PresetFileAccess::load (file);

    if (loaded.result.failed() || loaded.root == nullptr)
    {
        logError ("The preset file " + file.getFullPathName() + " cannot be read (" + loaded.result.getErrorMessage() +
                      "): its presets are not generated.\n",
                  -1);
        return {};
    }

    auto& root = *loaded.root;

    if (PresetTableList::addMissingDelayControls (root, global))
        if (const auto saved = PresetFileAccess::save (root, file); saved.failed())
            logError ("The preset file " + file.getFullPathName() + " could not be completed with its delay controls (" +
                          saved.getErrorMessage() + ").\n",
                      -1);

    // The file's table count, should it know of ids the collections do not:
    // an id is never given out twice.
    if (global && root.hasAttribute ("NumberOfTableId"))
    {
        const auto counter = root.getIntAttribute ("NumberOfTableId") - 1;
        auto& stores = design.getPresetStores();

        if (counter > stores.getTableCounter() && counter <= GlobalPresetKey::maxTableId)
            stores.setTableCounter (counter);
    }

    return std::move (loaded.root);
}

std::unique_ptr<PresetSourceWriter> PresetSourceGenerator::makeWriter (const juce::XmlElement& root, bool global)
{
    return std::make_unique<PresetSourceWriter> (
        PresetTableList::read (root, global), global, usedNames,
        [this] (const juce::String& name) { return isBiquadClass (name); }, controlHeader);
}

//==============================================================================
std::optional<PresetSourceGenerator::Files> PresetSourceGenerator::makeProcessPresetFiles (const juce::File& presetFile,
                                                                                           bool biquadControl)
{
    const auto root = loadDocument (presetFile, false);

    if (root == nullptr)
        return {};

    const auto writer = makeWriter (*root, false);

    if (! writer->hasTables())
        return {};

    SourceStream header, source;
    header.write (guardOpen (processHeaderName));
    writeTables (*writer, header, source, biquadControl);
    PresetSourceWriter::writePresetLoaderSource (source, false, biquadControl, controlHeader);
    header.write (guardClose (processHeaderName));

    return Files{ header.getText(), source.getText() };
}

std::optional<PresetSourceGenerator::Files> PresetSourceGenerator::makeGlobalPresetFiles (const juce::File& globalPresetFile,
                                                                                          bool biquadControl)
{
    if (design.getGlobalPresets().getCount() == 0)
        return {};

    const auto root = loadDocument (globalPresetFile, true);

    if (root == nullptr)
        return {};

    const auto writer = makeWriter (*root, true);
    std::map<int, int> presetCounts;

    for (const auto& table : writer->getTables())
        presetCounts[table.tableId] = (int) table.presets.size();

    auto& stores = design.getPresetStores();
    const GlobalPresetSourceWriter globalWriter (design.getGlobalPresets(), presetCounts,
                                                 [&stores] (int tableId)
                                                 {
                                                     auto* entry = stores.findEntryByTableId (tableId);
                                                     return entry != nullptr && entry->store != nullptr
                                                                ? entry->store->getCurrentPreset()
                                                                : -1;
                                                 });

    if (! writer->hasTables() || ! globalWriter.hasRows())
        return {};

    SourceStream header, source;
    header.write (guardOpen (globalHeaderName));
    writeTables (*writer, header, source, biquadControl);
    globalWriter.writeGlobalPresetSource (source, header);
    header.write (guardClose (globalHeaderName));

    return Files{ header.getText(), source.getText() };
}

PresetSourceGenerator::Files PresetSourceGenerator::makeLoaderOnlyFiles (bool biquadControl, const juce::String& controlHeader)
{
    UniqueIdentifiers noNames;
    const PresetSourceWriter noTables ({}, false, noNames, nullptr, controlHeader);

    SourceStream header, source;
    header.write (guardOpen (processHeaderName));
    noTables.writePresetHeader (header, true);
    header.write (guardClose (processHeaderName));

    PresetSourceWriter::writePresetLoaderSource (source, true, biquadControl, controlHeader);
    return Files{ header.getText(), source.getText() };
}

PresetSourceGenerator::Files PresetSourceGenerator::makeNoGlobalPresetFiles()
{
    return Files{ guardOpen (globalHeaderName) + PresetSourceTemplates::noGlobalPresetHeader + guardClose (globalHeaderName),
                  PresetSourceTemplates::noGlobalPresetSource };
}
