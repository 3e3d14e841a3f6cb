#pragma once

#include "model/GenerationContext.h"

#include <juce_core/juce_core.h>

#include <optional>

// The settings of the open project as the generator and the project file read
// them: target chip, sampling rate, external memory size, output directory,
// the project's file, folder and name, and (as the generation context) the
// three memory base pairs that the memory map chains from one DSP to the
// next. It needs no window; the "Project settings" page shows and edits it.
//
// The output directory is also kept as the process's current working
// directory, because a generation writes there.
class ProjectSettings : public GenerationContext
{
public:
    // The texts of the page's choices, in item order.
    static const juce::StringArray& getChipNames();
    static const juce::StringArray& getSamplingRateNames();
    static const juce::StringArray& getMemorySizeNames();

    static constexpr int defaultChipIndex = 1;     // "7304"
    static constexpr int defaultSamplingIndex = 1; // "48"
    static constexpr int defaultMemoryIndex = 2;   // "128"

    // How many DSPs a chip holds: the number its name ends in (0 outside the list).
    static int getChipCapacity (int chipIndex);

    // The page's text for the output directory when there is none to show.
    static const char* const noOutputDirectoryText;

    // The window title for a project name ("OSTRANE Quellion" alone for none).
    static juce::String makeWindowTitle (const juce::String& projectName);

    // A path as typed or stored: relative ones are taken from the working
    // directory, and an empty one names no file.
    static juce::File fileFromPath (const juce::String& path);

    ProjectSettings();

    //==============================================================================
    int getChipIndex() const noexcept { return chipIndex; }
    // False, with nothing changed, for an index outside the list.
    bool setChipIndex (int newIndex);
    int getChipCapacity() const { return getChipCapacity (chipIndex); }

    int getSamplingIndex() const noexcept { return samplingIndex; }
    bool setSamplingIndex (int newIndex);
    double getSamplingRateKhz() const override;
    int getSamplingRateHz() const;

    int getMemorySizeIndex() const noexcept { return memorySizeIndex; }
    bool setMemorySizeIndex (int newIndex);
    // The chosen size in k 16-bit words.
    int getChosenMemorySize() const;

    // The external memory size the memory map works with (the generation
    // context's) follows the choice when it changes and at every reset.

    // Starts every chain again at its start symbol, and takes the memory size
    // from the choice.
    void resetMemoryBases();

    //==============================================================================
    const juce::File& getProjectFile() const noexcept { return projectFile; }
    // A directory (or an empty path) leaves the project without a file;
    // otherwise the file's folder becomes the working directory.
    void setProjectFile (const juce::String& path);

    const juce::String& getProjectName() const noexcept { return projectName; }
    void setProjectName (const juce::String& name) { projectName = name; }
    const juce::String& getProjectFolder() const noexcept { return projectFolder; }
    void setProjectFolder (const juce::String& folderPath) { projectFolder = folderPath; }

    const juce::File& getOutputDirectory() const noexcept { return outputDirectory; }
    // Takes the directory (or a file's folder), makes it the working directory
    // and returns the text the page shows for it: the path relative to the
    // project's folder, "." for that folder itself, or a request for one.
    juce::String setOutputDirectory (const juce::String& path);
    const juce::String& getOutputDirectoryText() const noexcept { return outputDirectoryText; }

    // Where the output directory goes when the project is saved into that
    // folder: one in the project's folder keeps its place in the new one (the
    // next generation makes it), one outside stays where it is, and none
    // becomes the new folder.
    juce::File getOutputDirectoryMovedTo (const juce::File& newFolder) const;

    // "<folder>/<name>.presets" and "<folder>/<name>_global.presets"; none
    // while the project has no folder.
    juce::File getPresetFile() const;
    juce::File getGlobalPresetFile() const;

    //==============================================================================
    // Whether the process boxes show their command lists; the project file
    // keeps it as "cmd".
    bool isCommandViewOn() const noexcept { return commandView; }
    void setCommandView (bool on) noexcept { commandView = on; }

    // The version of the program that created the project, as its file
    // says; none for a project never opened from a file, which the running
    // version creates.
    const std::optional<juce::String>& getCreatedWithVersion() const noexcept { return createdWithVersion; }
    void setCreatedWithVersion (std::optional<juce::String> version) { createdWithVersion = std::move (version); }

private:
    juce::File getProjectFolderFile() const;

    int chipIndex = defaultChipIndex;
    int samplingIndex = defaultSamplingIndex;
    int memorySizeIndex = defaultMemoryIndex;

    juce::File projectFile;
    juce::String projectName, projectFolder;
    juce::File outputDirectory;
    juce::String outputDirectoryText;
    bool commandView = false;
    std::optional<juce::String> createdWithVersion;
};
