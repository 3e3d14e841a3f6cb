#include "generator/GenerationDriver.h"

#include "generator/IdeProjectFile.h"
#include "generator/MainBusFile.h"
#include "generator/PresetSourceGenerator.h"
#include "generator/ProjectHeaders.h"
#include "generator/SourceFiles.h"
#include "model/Design.h"
#include "model/DesignLog.h"
#include "model/DspResourceEstimator.h"
#include "model/ModuleLibrary.h"

namespace
{
const char* const generatedText = "...generated\n";
const char* const keptText = "...already exist, not overwritten\n";
const char* const notWrittenText = "...not written\n";

juce::File headerNamed (const char* name)
{
    return juce::File ("/" + juce::String (name));
}
} // namespace

GenerationDriver::GenerationDriver (Design& designToUse, MainBusFile& mainBusFile)
    : design (designToUse), settings (designToUse.getSettings()), mainBus (mainBusFile)
{
}

GenerationDriver::~GenerationDriver() = default;

juce::File GenerationDriver::findOutputDirectory (const ProjectSettings& projectSettings)
{
    if (projectSettings.getOutputDirectory() != juce::File())
        return projectSettings.getOutputDirectory();

    if (projectSettings.getProjectFile() != juce::File())
        return projectSettings.getProjectFile().getParentDirectory();

    return juce::File::getCurrentWorkingDirectory();
}

//==============================================================================
void GenerationDriver::generateSourceFiles (bool commandHandlers)
{
    commandVariant = commandHandlers;
    outputDirectory = findOutputDirectory (settings);
    fileList.clear();
    handlerNames.clear();
    features = {};
    fbcDsps.clear();
    generatedDspCount = 0;
    presetSources.reset();

    const auto* library = design.getLibrary();

    linkGraphs();
    appendToLog ("Files generated in directory : " + outputDirectory.getFullPathName() + "\n", 0);

    if (library == nullptr)
        logError ("The module library \"Modules.def\" was not read: nothing can be generated.\n", -1);
    else if (prepareOutputDirectory())
    {
        writeUserFileIfMissing ("MainAppConfig.h", ProjectHeaders::makeMainAppConfig (mainBus.getDefaultMemoryMapUserCode()));
        addToFileList ({ "main.c", "custom.h", "MainAppConfig.h", "memorymap.h", "quellion.h" });
        openSharedHeaders();
        generateDsps (*library);
        closeSharedHeaders();
        writeUserFileIfMissing ("main.c", mainBus.makeMainSource (features, settings.getSamplingRateHz(), ! commandVariant));
        runDesignChecks (*library);
        writeControlSources();
        writeFeatureSources();
        writeMainBusSource();
        writePresetSources();
        fileList.add ("quellionWrappers.s");
        storeAnnounced ("quellionWrappers.s", MainBusFile::getWrappersText());
        writeIdeProject();
    }

    writeSummary();
}

void GenerationDriver::linkGraphs()
{
    // Links of an earlier run go first: a DSP emptied since, or given another
    // module, must not be started by "mainbus.c".
    mainBus.setBusGraph (&design.getBusGraph());

    for (int i = 0; i < design.getNumDsps(); ++i)
        if (auto* slot = design.getDsp (i); ! slot->getGraph().isFresh())
            mainBus.linkDsp (slot->getDspId());
}

bool GenerationDriver::prepareOutputDirectory()
{
    if (outputDirectory.createDirectory().wasOk() && outputDirectory.isDirectory() && outputDirectory.hasWriteAccess())
        return true;

    logError ("Unable to write into the output directory " + outputDirectory.getFullPathName() + ": nothing was generated.\n",
              -1);
    return false;
}

//==============================================================================
void GenerationDriver::announce (const juce::String& name)
{
    appendToLog (name, 0);
}

void GenerationDriver::reportResult (bool written)
{
    appendToLog (written ? generatedText : notWrittenText, 0);
}

void GenerationDriver::reportWriteFailure (const juce::File& file)
{
    logError ("Unable to write " + file.getFullPathName() + "\n", -1);
}

bool GenerationDriver::storeFile (const juce::String& name, const juce::String& text)
{
    const auto file = outputDirectory.getChildFile (name);
    const bool written = writeTextToFile (text, file, false);

    if (! written)
        reportWriteFailure (file);

    return written;
}

void GenerationDriver::writeAnnounced (const juce::File& file, const juce::String& text)
{
    const bool written = writeTextToFile (text, file, false);
    reportResult (written);

    if (! written)
        reportWriteFailure (file);
}

void GenerationDriver::storeAnnounced (const juce::String& name, const juce::String& text)
{
    announce (name);
    writeAnnounced (outputDirectory.getChildFile (name), text);
}

void GenerationDriver::writeUserFileIfMissing (const juce::String& name, const juce::String& text)
{
    if (outputDirectory.getChildFile (name).existsAsFile())
    {
        announce (name);
        appendToLog (keptText, 0);
        return;
    }

    storeAnnounced (name, text);
}

void GenerationDriver::addToFileList (std::initializer_list<const char*> names)
{
    for (auto* name : names)
        fileList.add (name);
}

//==============================================================================
void GenerationDriver::openSharedHeaders()
{
    // Each header is stored whole now, so that a failure shows where it is
    // announced, and again whole once every DSP added its part.
    sharedHeader = ProjectHeaders::makeSharedHeaderHead (mainBus.getHighestDspNumber());
    storeAnnounced ("quellion.h", sharedHeader);

    customMissing = ! outputDirectory.getChildFile ("custom.h").existsAsFile();
    customHeader = ProjectHeaders::makeCustomHeaderHead();

    if (customMissing)
        storeAnnounced ("custom.h", customHeader);
    else
        appendToLog (juce::String ("custom.h") + keptText, 0);

    settings.resetMemoryBases();
    settings.setExternalRamUsed (false);
    memoryMap = makeHeaderGuardOpen (headerNamed ("memorymap.h")) + "#include \"MainAppConfig.h\"\n";
    storeAnnounced ("memorymap.h", memoryMap);
    appendToLog ("dspNrpnHandler...generated\n", 0);
    appendToLog ("dspInitAndRoute...generated\n", 0);
}

void GenerationDriver::generateDsps (const ModuleLibrary& library)
{
    for (int i = 0; i < design.getNumDsps(); ++i)
    {
        auto& slot = *design.getDsp (i);

        if (slot.getGraph().isFresh())
            continue;

        if (generateDsp (library, slot))
            ++generatedDspCount;
        else
            mainBus.unlinkDsp (slot.getDspId());
    }

    if (generatedDspCount == 0)
        logError ("No DSP of the design has processes: no DSP source was generated.\n", -1);
}

bool GenerationDriver::checkDsp (const ModuleLibrary& library, uint32_t dspNumber)
{
    if (dspNumber < 1 || dspNumber > (uint32_t) MainBusFile::maxDsps)
    {
        logError ("DSP numbers run from 1 to 16: no source generated", (int) dspNumber);
        return false;
    }

    if (! mainBus.isLinked (dspNumber))
    {
        logError ("The DSP is not on the bus: no source generated", (int) dspNumber);
        return false;
    }

    const auto* module = library.getModuleOfDsp (dspNumber);

    if (module != nullptr && settings.getSamplingIndex() / 2 > (int) module->rateClassLimit)
        logError ("The current selected sampling rate is not handled by the module", (int) dspNumber);

    const auto* entry = library.findDsp (dspNumber);

    if (entry == nullptr || entry->getProcessCount() == 0)
    {
        logError ("The module library holds no process of this DSP: no source generated", (int) dspNumber);
        return false;
    }

    return true;
}

bool GenerationDriver::generateDsp (const ModuleLibrary& library, DspSlot& slot)
{
    const auto dspNumber = slot.getDspId();

    if (! checkDsp (library, dspNumber))
        return false;

    // The generator's state is one generation's: a new one for every run.
    BuildProjectFile generator (slot.getGraph(), settings);
    DspSourceTexts texts;
    uint8_t featureByte = 0;

    // A DSP whose source cannot be written (its module is missing) is left
    // out everywhere: no file, no handler, no call from "mainbus.c".
    if (! generator.writeDspSource (library, dspNumber, texts, featureByte, commandVariant))
        return false;

    sharedHeader << texts.declarations;

    const auto name = "dsp" + juce::String (dspNumber) + ".c";
    fileList.add (name);
    announce (name);
    auto source = texts.body;

    writeHandlerSource (generator, library, dspNumber, texts, handlerNames, commandVariant);

    if (customMissing)
        customHeader << ProjectHeaders::writeCustomHeader (dspNumber, ! commandVariant);

    source << texts.body;
    sharedHeader << texts.declarations;
    memoryMap << texts.memory;
    texts.body.clear();

    features.add (featureByte);

    if ((featureByte & BuildProjectFile::featureFbc) != 0)
        fbcDsps.add ((int) dspNumber - 1);

    writeAnnounced (outputDirectory.getChildFile (name), source);
    return true;
}

void GenerationDriver::closeSharedHeaders()
{
    sharedHeader << makeHeaderGuardClose (headerNamed ("quellion.h"));
    memoryMap << makeHeaderGuardClose (headerNamed ("memorymap.h"));
    storeFile ("quellion.h", sharedHeader);
    storeFile ("memorymap.h", memoryMap);

    if (! customMissing)
        return;

    if (features.biquadControl)
        customHeader << ProjectHeaders::writeBiquadCustomFunctions();

    customHeader << makeHeaderGuardClose (headerNamed ("custom.h"));
    storeFile ("custom.h", customHeader);
}

void GenerationDriver::runDesignChecks (const ModuleLibrary& library)
{
    if (settings.getExternalMemorySize() == 0 && settings.isExternalRamUsed())
        logError ("A process is using External RAM, but external memory size is zero.\n", -1);

    if (isAnyDspFull (library))
        logError ("One or several DSP(s) is/are overloaded.\n", -1);
}

bool GenerationDriver::isAnyDspFull (const ModuleLibrary& library) const
{
    for (int i = 0; i < design.getNumDsps(); ++i)
    {
        const auto& slot = *design.getDsp (i);
        const DspResourceEstimator estimator (&slot.getGraph(), &library);
        const auto used = estimator.addProcessCosts (slot.getDspId());
        const auto budget = estimator.getMemoryBudget (slot.getDspId(), settings.getSamplingIndex());

        if (DspResourceEstimator::toPercent (used.cycles, budget.cycles) >= 100.0 ||
            DspResourceEstimator::toPercent (used.ram, budget.ram) >= 100.0)
            return true;
    }

    return false;
}

//==============================================================================
void GenerationDriver::writeControlSources()
{
    const bool nrpnVariant = ! commandVariant;
    const auto sourceName = MainBusFile::getControlSourceName (nrpnVariant);
    const auto headerName = MainBusFile::getControlHeaderName (nrpnVariant);
    fileList.add (sourceName);
    fileList.add (headerName);
    storeAnnounced (sourceName, mainBus.makeMidiControlSource (handlerNames, nrpnVariant));

    if (features.biquadControl)
    {
        addToFileList ({ "BiquadCtrl.c", "BiquadCtrl.h" });
        storeFile ("BiquadCtrl.c", ProjectHeaders::makeBiquadControlSource (features, settings.getSamplingRateKhz()));
        storeFile ("BiquadCtrl.h", ProjectHeaders::makeBiquadControlHeader (features));
    }

    storeAnnounced (headerName, makeGuardedHeader (headerName, MainBusFile::getControlHeaderText (nrpnVariant)));

    // The other variant's pair, from an earlier generation into this folder,
    // is not the user's to lose, but building it beside this one would link
    // two control dispatchers: say so.
    for (const auto& stale :
         { MainBusFile::getControlSourceName (! nrpnVariant), MainBusFile::getControlHeaderName (! nrpnVariant) })
        if (outputDirectory.getChildFile (stale).existsAsFile())
            appendToLog ("Note: \"" + stale +
                             "\" of the other control variant is left in the output folder and is not part of "
                             "this generation\n",
                         0);
}

void GenerationDriver::writeFeatureSources()
{
    if (! features.fbc)
        return;

    addToFileList ({ "fbcHandler.c", "fbcHandler.h" });
    announce ("fbcHandler.c/.h");
    const bool sourceWritten = storeFile ("fbcHandler.c", mainBus.makeFbcHandlerSource (fbcDsps));
    const bool headerWritten = storeFile ("fbcHandler.h", mainBus.makeFbcHandlerHeader (fbcDsps));
    reportResult (sourceWritten && headerWritten);
}

void GenerationDriver::writeMainBusSource()
{
    // What the bus lists leave out is logged before the file's own line.
    const auto text = mainBus.makeInitAndRouteSource();
    fileList.add ("mainbus.c");
    storeAnnounced ("mainbus.c", text);
}

void GenerationDriver::writePresetSources()
{
    const bool biquads = features.biquadControl || features.extendedBiquad;
    const bool processPresets = writeProcessPresetSources (biquads);

    if (processPresets)
    {
        addToFileList ({ "presets.c", "presets.h" });
        appendToLog ("presets.c/.h...generated\n", 0);
    }

    if (! writeGlobalPresetSources (biquads))
        return;

    addToFileList ({ "GlobalPresets.c", "GlobalPresets.h" });
    appendToLog ("GlobalPresets.c/.h...generated\n", 0);

    // The global loader calls the process-preset loader, which must exist.
    if (! processPresets)
    {
        writeLoaderOnlyPresetSources (biquads);
        addToFileList ({ "presets.c", "presets.h" });
    }
}

void GenerationDriver::writeIdeProject()
{
    auto projectFile = settings.getProjectFile();

    if (projectFile == juce::File())
        projectFile = outputDirectory.getChildFile ("project.zqp");

    const auto ideFile = IdeProjectFile::getIdeProjectFileName (projectFile);
    appendToLog ("Vantix-C project: " + ideFile.getFileName(), 0);

    if (ideFile.existsAsFile())
    {
        appendToLog (keptText, 0);
        return;
    }

    juce::StringArray userVariables;

    if (features.spdif)
        userVariables.add ("_BOARD_USE_SPDIF");

    const auto chipText = ProjectSettings::getChipNames()[settings.getChipIndex()];
    writeAnnounced (ideFile, IdeProjectFile::makeText (ideFile, fileList, chipText, userVariables));
}

void GenerationDriver::writeSummary()
{
    const auto errors = getLogErrorCount();

    if (errors == 0)
        appendToLog (">>> All the files have been successfully generated from your design.\n", 0);
    else
        appendToLog (">>> Your design contains a total number of " + juce::String (errors) + " error(s).\n", 0);
}

//==============================================================================
// Seams

void GenerationDriver::writeHandlerSource (BuildProjectFile& generator, const ModuleLibrary& library, uint32_t dspNumber,
                                           DspSourceTexts& texts, juce::StringArray& names, bool commandHandlers)
{
    // What the DSP's source left in the texts is already written: the
    // handler takes its place, or nothing when the DSP has no process.
    texts.body.clear();
    texts.declarations.clear();

    if (commandHandlers)
        generator.writeCommandHandler (library, dspNumber, texts, names);
    else
        generator.writeNrpnHandler (library, dspNumber, texts, names);
}

PresetSourceGenerator& GenerationDriver::getPresetSources()
{
    if (presetSources == nullptr)
        presetSources = std::make_unique<PresetSourceGenerator> (design, MainBusFile::getControlHeaderName (! commandVariant));

    return *presetSources;
}

bool GenerationDriver::storePair (const char* headerName, const char* sourceName, const juce::String& header,
                                  const juce::String& source)
{
    const bool headerWritten = storeFile (headerName, header);
    const bool sourceWritten = storeFile (sourceName, source);
    return headerWritten && sourceWritten;
}

bool GenerationDriver::writeProcessPresetSources (bool biquadControl)
{
    const auto files = getPresetSources().makeProcessPresetFiles (settings.getPresetFile(), biquadControl);

    return files.has_value() && storePair (PresetSourceGenerator::processHeaderName, PresetSourceGenerator::processSourceName,
                                           files->header, files->source);
}

bool GenerationDriver::writeGlobalPresetSources (bool biquadControl)
{
    const auto files = getPresetSources().makeGlobalPresetFiles (settings.getGlobalPresetFile(), biquadControl);

    return files.has_value() && storePair (PresetSourceGenerator::globalHeaderName, PresetSourceGenerator::globalSourceName,
                                           files->header, files->source);
}

void GenerationDriver::writeLoaderOnlyPresetSources (bool biquadControl)
{
    const auto files =
        PresetSourceGenerator::makeLoaderOnlyFiles (biquadControl, MainBusFile::getControlHeaderName (! commandVariant));
    storePair (PresetSourceGenerator::processHeaderName, PresetSourceGenerator::processSourceName, files.header, files.source);
}
