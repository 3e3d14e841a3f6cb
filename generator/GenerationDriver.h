#pragma once

#include "generator/BuildProjectFile.h"
#include "generator/DspSourceTexts.h"
#include "generator/FirmwareFeatures.h"
#include "generator/PresetSourceGenerator.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <memory>
#include <optional>

class Design;
class DspSlot;
class MainBusFile;
class ModuleLibrary;
class ProjectSettings;

// One generation: turns the open design into the complete set of firmware
// sources in the output directory, and the firmware IDE's project beside the
// project file, reporting every file and every problem in the log, then a
// summary with the number of errors. Design errors never stop the run: they
// are logged and counted, and every file is still written. A file that
// cannot be written is reported (and counted, once) in place of its
// "generated".
//
// Every file is composed in memory and written once, whole or not at all,
// so a user file that could not be written is not there to be kept. The
// headers that take a part from every DSP ("quellion.h", "custom.h",
// "memorymap.h") are written after the DSP sources, yet logged ahead of
// them, as the user knows the log: each line is logged once its file was
// written and says whether it was.
//
// It reads the design only: the settings (which are the generation context),
// the bus graph, the DSP slots and the module library. Each DSP's generator
// (BuildProjectFile) holds the state of one generation, so a new one is made
// for every DSP at every generation.
//
// "MainAppConfig.h", "custom.h", "main.c" and the IDE project belong to the
// user once written: they are written only when missing. Every other file is
// written anew on every run.
class GenerationDriver
{
public:
    // The main bus generator is the project object's; the driver links the
    // generated DSPs into it.
    GenerationDriver (Design& design, MainBusFile& mainBusFile);
    virtual ~GenerationDriver();

    GenerationDriver (const GenerationDriver&) = delete;
    GenerationDriver& operator= (const GenerationDriver&) = delete;

    // Runs the whole generation; the NRPN variant unless commandVariant.
    // The caller restarts the log first (the log window's heading).
    void generateSourceFiles (bool commandVariant);

    // Where the sources go: the output directory of the settings, else the
    // project file's folder, else the working directory.
    static juce::File findOutputDirectory (const ProjectSettings& settings);

    // The file list of the last run, as the IDE project lists it.
    const juce::StringArray& getFileList() const noexcept { return fileList; }
    const FirmwareFeatures& getFeatures() const noexcept { return features; }

protected:
    //==============================================================================
    // Seams for the writers of the handler and preset sources, each called at
    // its place in the run. The preset seams only make the texts: the driver
    // writes, lists and announces them.

    // After the DSP's source was written into texts: the variant's handler
    // writer registers the DSP's handler name in handlerNames (at index
    // N - 1, through the generator's addHandlerName) and replaces texts.body
    // with the handler and texts.declarations with its declarations, which
    // the driver then appends to "dsp" + N + ".c" and "quellion.h".
    virtual void writeHandlerSource (BuildProjectFile& generator, const ModuleLibrary& library, uint32_t dspNumber,
                                     DspSourceTexts& texts, juce::StringArray& handlerNames, bool commandVariant);

    // The process presets from the project's preset file: "presets.h" and
    // "presets.c" with the loader; none when the file holds no preset table.
    // biquadControl tells the loader whether biquads exist.
    virtual std::optional<PresetSourceGenerator::Files> makeProcessPresetFiles (bool biquadControl);

    // The global presets from the project's global preset file:
    // "GlobalPresets.h" and "GlobalPresets.c"; none without a global preset.
    virtual std::optional<PresetSourceGenerator::Files> makeGlobalPresetFiles (bool biquadControl);

    // Stores a whole file into the output directory; a failure is logged as
    // an error and reported false.
    bool storeFile (const juce::String& name, const juce::String& text);

    Design& getDesign() noexcept { return design; }
    const juce::File& getOutputDirectory() const noexcept { return outputDirectory; }

private:
    void linkGraphs();
    bool prepareOutputDirectory();
    void writeUserFileIfMissing (const juce::String& name, const juce::String& text);
    void composeSharedHeaders();
    void generateDsps (const ModuleLibrary& library);
    bool generateDsp (const ModuleLibrary& library, DspSlot& slot);
    void replaceEarlierDspSources();
    bool checkDsp (const ModuleLibrary& library, uint32_t dspNumber);
    void writeSharedHeaders();
    void runDesignChecks (const ModuleLibrary& library);
    void writeControlSources();
    // Reports a kept "main.c" or IDE project that builds the other
    // variant's control source.
    void checkKeptControlVariant();
    void writeFeatureSources();
    void writeMainBusSource();
    void writePresetSources();
    juce::File getIdeProjectFile() const;
    void writeIdeProject();
    void writeSummary();

    void announce (const juce::String& name);
    void reportResult (bool written);
    void storeAnnounced (const juce::String& name, const juce::String& text);
    void writeAnnounced (const juce::File& file, const juce::String& text);
    void reportWriteFailure (const juce::File& file);
    void addToFileList (std::initializer_list<const char*> names);
    bool isAnyDspFull (const ModuleLibrary& library) const;
    PresetSourceGenerator& getPresetSources();
    void storePair (const juce::String& announced, const char* sourceName, const juce::String& source, const char* headerName,
                    const juce::String& header);
    void storePresetPair (const char* sourceName, const char* headerName, const PresetSourceGenerator::Files& files);
    // Whether an earlier generation left one of these files in the output directory.
    bool hasEarlierFile (std::initializer_list<juce::String> names) const;

    Design& design;
    ProjectSettings& settings;
    MainBusFile& mainBus;
    bool commandVariant = false;

    // The state of one run.
    juce::File outputDirectory;
    juce::StringArray fileList;
    juce::StringArray handlerNames;
    FirmwareFeatures features;
    juce::Array<int> fbcDsps;
    bool customMissing = false;
    int generatedDspCount = 0;
    juce::String sharedHeader, customHeader, memoryMap;
    // Made for each run: the preset sources of a run never declare a name twice.
    std::unique_ptr<PresetSourceGenerator> presetSources;
};
