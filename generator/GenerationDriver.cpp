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

// The initialisation-and-routing source of a DSP.
juce::String getDspSourceName (uint32_t dspNumber)
{
    return "dsp" + juce::String (dspNumber) + ".c";
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
        composeSharedHeaders();
        {
            // The headers take a part from every DSP, so they are written
            // after the DSP sources; their lines still come first, each
            // saying what became of its file, and what the DSPs logged
            // follows them.
            LogHold dspLines;
            generateDsps (*library);
            dspLines.stopHolding();
            writeSharedHeaders();
        }
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
void GenerationDriver::composeSharedHeaders()
{
    // The headers take a part from every DSP: each is composed here and
    // written once, whole, when the last DSP added its part.
    sharedHeader = ProjectHeaders::makeSharedHeaderHead (mainBus.getHighestDspNumber());
    customMissing = ! outputDirectory.getChildFile ("custom.h").existsAsFile();
    customHeader = ProjectHeaders::makeCustomHeaderHead();

    settings.resetMemoryBases();
    settings.setExternalRamUsed (false);
    memoryMap = makeHeaderGuardOpen (headerFileNamed ("memorymap.h")) + "#include \"MainAppConfig.h\"\n";
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

    replaceEarlierDspSources();

    if (generatedDspCount == 0)
        logError ("No DSP of the design has processes: no DSP source was generated.\n", -1);
}

void GenerationDriver::replaceEarlierDspSources()
{
    // The source of a DSP gone since an earlier generation is not started by
    // "mainbus.c", but a kept IDE project still builds it, with its calls
    // into sources that may no longer hold what it needs: it is emptied.
    for (int dspNumber = 1; dspNumber <= MainBusFile::maxDsps; ++dspNumber)
    {
        const auto name = getDspSourceName ((uint32_t) dspNumber);

        if (fileList.contains (name) || ! hasEarlierFile ({ name }))
            continue;

        appendToLog ("Note: no source is generated for DSP " + juce::String (dspNumber) + ": \"" + name +
                         "\" of an earlier generation is replaced by an empty one\n",
                     0);
        fileList.add (name);
        storeAnnounced (name, "/* No source is generated for this DSP. */\n#include <system.h>\n");
    }
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

    const auto name = getDspSourceName (dspNumber);
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

void GenerationDriver::writeSharedHeaders()
{
    // Each is announced as it is written, so that the log never calls a
    // header generated that did not reach the disk.
    storeAnnounced ("quellion.h", sharedHeader + makeHeaderGuardClose (headerFileNamed ("quellion.h")));

    if (customMissing)
    {
        if (features.biquadControl)
            customHeader << ProjectHeaders::writeBiquadCustomFunctions();

        storeAnnounced ("custom.h", customHeader + makeHeaderGuardClose (headerFileNamed ("custom.h")));
    }
    else
    {
        appendToLog (juce::String ("custom.h") + keptText, 0);
    }

    storeAnnounced ("memorymap.h", memoryMap + makeHeaderGuardClose (headerFileNamed ("memorymap.h")));
    appendToLog ("dspNrpnHandler...generated\n", 0);
    appendToLog ("dspInitAndRoute...generated\n", 0);
}

void GenerationDriver::runDesignChecks (const ModuleLibrary& library)
{
    const bool zeroSizeReported = settings.getExternalMemorySize() == 0 && settings.isExternalRamUsed();

    if (zeroSizeReported)
        logError ("A process is using External RAM, but external memory size is zero.\n", -1);

    // The firmware would address external memory that is not there.
    const auto externalWords = (int64_t) juce::jmax (0, settings.getExternalMemorySize()) * 1024;

    if (settings.getExternalRamReserved() > externalWords && ! zeroSizeReported)
        logError ("The memory map reserves " + juce::String (settings.getExternalRamReserved()) +
                      " words of External RAM, but external memory size is " + juce::String (externalWords) + " words.\n",
                  -1);

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
    else if (hasEarlierFile ({ "BiquadCtrl.c", "BiquadCtrl.h" }))
    {
        // A kept IDE project still lists the pair: it stays, empty.
        appendToLog ("Note: no biquad control is generated: \"BiquadCtrl.c/.h\" of an earlier generation are replaced "
                     "by an empty pair\n",
                     0);
        addToFileList ({ "BiquadCtrl.c", "BiquadCtrl.h" });
        storeFile ("BiquadCtrl.c", ProjectHeaders::makeNoBiquadControlSource());
        storeFile ("BiquadCtrl.h", ProjectHeaders::makeNoBiquadControlHeader());
    }

    storeAnnounced (headerName, makeGuardedHeader (headerName, MainBusFile::getControlHeaderText (nrpnVariant)));
    checkKeptControlVariant();
}

void GenerationDriver::checkKeptControlVariant()
{
    const bool nrpnVariant = ! commandVariant;
    const auto otherSource = MainBusFile::getControlSourceName (! nrpnVariant);
    const auto otherHeader = MainBusFile::getControlHeaderName (! nrpnVariant);
    const auto ideFile = getIdeProjectFile();

    // "main.c" and the IDE project are the user's once written and stay as
    // they are. Kept from a generation of the other variant, they still build
    // its control source, which calls handlers this run no longer writes: the
    // firmware does not build.
    juce::StringArray keptFiles;

    if (outputDirectory.getChildFile ("main.c").loadFileAsString().contains ("\"" + otherHeader + "\""))
        keptFiles.add ("\"main.c\"");

    if (IdeProjectFile::readListedFiles (ideFile.loadFileAsString()).contains (otherSource))
        keptFiles.add ("\"" + ideFile.getFileName() + "\"");

    const auto variantName = [] (bool nrpn) { return juce::String (nrpn ? "NRPN handlers" : "command handlers"); };

    if (! keptFiles.isEmpty())
    {
        logError ("The kept " + keptFiles.joinIntoString (" and ") + " of a generation with " + variantName (! nrpnVariant) +
                      " still build \"" + otherSource + "\", which does not build with the " + variantName (nrpnVariant) +
                      " generated now. Generate into another folder, or remove the kept \"main.c\" and \"" +
                      ideFile.getFileName() + "\" and generate again.\n",
                  -1);
        return;
    }

    // Left in the folder, the other variant's pair is not the user's to lose;
    // neither "main.c" nor the IDE project builds it.
    for (const auto& stale : { otherSource, otherHeader })
        if (outputDirectory.getChildFile (stale).existsAsFile())
            appendToLog ("Note: \"" + stale +
                             "\" of the other control variant is left in the output folder and is not part of "
                             "this generation\n",
                         0);
}

void GenerationDriver::writeFeatureSources()
{
    if (features.fbc)
    {
        addToFileList ({ "fbcHandler.c", "fbcHandler.h" });
        storePair ("fbcHandler.c/.h", "fbcHandler.c", mainBus.makeFbcHandlerSource (fbcDsps), "fbcHandler.h",
                   mainBus.makeFbcHandlerHeader (fbcDsps));
    }
    else if (hasEarlierFile ({ "fbcHandler.c", "fbcHandler.h" }))
    {
        // A kept "main.c" would still run an earlier generation's cancellers,
        // on DSPs that may no longer have one: the pair stays, doing nothing.
        appendToLog ("Note: no feedback canceller is generated: \"fbcHandler.c/.h\" of an earlier generation are "
                     "replaced by a pair that starts none\n",
                     0);
        addToFileList ({ "fbcHandler.c", "fbcHandler.h" });
        storePair ("fbcHandler.c/.h", "fbcHandler.c", MainBusFile::makeNoFbcHandlerSource(), "fbcHandler.h",
                   MainBusFile::makeNoFbcHandlerHeader());
    }
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
    using Sources = PresetSourceGenerator;
    const bool biquads = features.biquadControl || features.extendedBiquad;
    const auto processFiles = makeProcessPresetFiles (biquads);

    if (processFiles.has_value())
        storePresetPair (Sources::processSourceName, Sources::processHeaderName, *processFiles);

    if (const auto globalFiles = makeGlobalPresetFiles (biquads))
    {
        storePresetPair (Sources::globalSourceName, Sources::globalHeaderName, *globalFiles);
    }
    else if (hasEarlierFile ({ Sources::globalSourceName, Sources::globalHeaderName }))
    {
        // An earlier generation's global presets would still be loaded at
        // start, and a kept IDE project still lists the pair: it stays, empty.
        // (The design may still list global presets whose file is gone.)
        appendToLog ("Note: no global preset is generated: \"GlobalPresets.c/.h\" of an earlier generation are "
                     "replaced by a pair without presets, which stops a firmware built with _USE_GLOBAL_PRESET\n",
                     0);
        storePresetPair (Sources::globalSourceName, Sources::globalHeaderName, Sources::makeNoGlobalPresetFiles());
    }

    // The loader always exists: the global loader calls it, a kept IDE
    // project may list it, and an earlier generation's tables must not stay.
    if (! processFiles.has_value())
        storePresetPair (Sources::processSourceName, Sources::processHeaderName,
                         Sources::makeLoaderOnlyFiles (biquads, MainBusFile::getControlHeaderName (! commandVariant)));
}

bool GenerationDriver::hasEarlierFile (std::initializer_list<juce::String> names) const
{
    for (const auto& name : names)
        if (outputDirectory.getChildFile (name).exists())
            return true;

    return false;
}

juce::File GenerationDriver::getIdeProjectFile() const
{
    auto projectFile = settings.getProjectFile();

    if (projectFile == juce::File())
        projectFile = outputDirectory.getChildFile ("project.zqp");

    return IdeProjectFile::getIdeProjectFileName (projectFile);
}

void GenerationDriver::writeIdeProject()
{
    const auto ideFile = getIdeProjectFile();
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

void GenerationDriver::storePair (const juce::String& announced, const char* sourceName, const juce::String& source,
                                  const char* headerName, const juce::String& header)
{
    // Both are written before the line is announced, so that a failure's
    // report follows it.
    const auto sourceFile = outputDirectory.getChildFile (sourceName);
    const auto headerFile = outputDirectory.getChildFile (headerName);
    const bool sourceWritten = writeTextToFile (source, sourceFile, false);
    const bool headerWritten = writeTextToFile (header, headerFile, false);
    announce (announced);
    reportResult (sourceWritten && headerWritten);

    if (! sourceWritten)
        reportWriteFailure (sourceFile);

    if (! headerWritten)
        reportWriteFailure (headerFile);
}

void GenerationDriver::storePresetPair (const char* sourceName, const char* headerName, const PresetSourceGenerator::Files& files)
{
    fileList.add (sourceName);
    fileList.add (headerName);
    storePair (juce::String (sourceName).upToLastOccurrenceOf (".", false, false) + ".c/.h", sourceName, files.source, headerName,
               files.header);
}

std::optional<PresetSourceGenerator::Files> GenerationDriver::makeProcessPresetFiles (bool biquadControl)
{
    return getPresetSources().makeProcessPresetFiles (settings.getPresetFile(), biquadControl);
}

std::optional<PresetSourceGenerator::Files> GenerationDriver::makeGlobalPresetFiles (bool biquadControl)
{
    return getPresetSources().makeGlobalPresetFiles (settings.getGlobalPresetFile(), biquadControl);
}
