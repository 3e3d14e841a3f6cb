#include "model/ProjectSettings.h"

namespace
{
const char* const productTitle = "OSTRANE Quellion";

bool isValidIndex (const juce::StringArray& items, int index) noexcept
{
    return index >= 0 && index < items.size();
}
} // namespace

const char* const ProjectSettings::noOutputDirectoryText = "Please specify a directory ->";

const juce::StringArray& ProjectSettings::getChipNames()
{
    static const juce::StringArray names{ "7104", "7304", "7308", "7316", "7408", "7516" };
    return names;
}

const juce::StringArray& ProjectSettings::getSamplingRateNames()
{
    static const juce::StringArray names{ "44.1", "48", "88.2", "96", "176.4", "192" };
    return names;
}

const juce::StringArray& ProjectSettings::getMemorySizeNames()
{
    static const juce::StringArray names{ "0", "64", "128", "256", "512", "1024", "2048", "4096", "8192", "16384", "32768" };
    return names;
}

int ProjectSettings::getChipCapacity (int chipIndex)
{
    const auto& names = getChipNames();

    if (! isValidIndex (names, chipIndex))
        return 0;

    return names[chipIndex].getLastCharacters (2).getIntValue();
}

juce::String ProjectSettings::makeWindowTitle (const juce::String& projectName)
{
    if (projectName.isEmpty())
        return productTitle;

    return projectName + " - " + productTitle;
}

juce::File ProjectSettings::fileFromPath (const juce::String& path)
{
    if (path.isEmpty())
        return {};

    // JUCE takes only absolute paths directly; anything else is relative to
    // where the program works.
    return juce::File::getCurrentWorkingDirectory().getChildFile (path);
}

ProjectSettings::ProjectSettings()
{
    resetMemoryBases();
    outputDirectoryText = noOutputDirectoryText;
}

bool ProjectSettings::setChipIndex (int newIndex)
{
    if (! isValidIndex (getChipNames(), newIndex))
        return false;

    chipIndex = newIndex;
    return true;
}

bool ProjectSettings::setSamplingIndex (int newIndex)
{
    if (! isValidIndex (getSamplingRateNames(), newIndex))
        return false;

    samplingIndex = newIndex;
    return true;
}

double ProjectSettings::getSamplingRateKhz() const
{
    return getSamplingRateNames()[samplingIndex].getDoubleValue();
}

int ProjectSettings::getSamplingRateHz() const
{
    // 44.1 and 88.2 are not exact in binary: round, never truncate.
    return juce::roundToInt (getSamplingRateKhz() * 1000.0);
}

bool ProjectSettings::setMemorySizeIndex (int newIndex)
{
    if (! isValidIndex (getMemorySizeNames(), newIndex))
        return false;

    memorySizeIndex = newIndex;
    return true;
}

int ProjectSettings::getChosenMemorySize() const
{
    return getMemorySizeNames()[memorySizeIndex].getIntValue();
}

void ProjectSettings::resetMemoryBases()
{
    GenerationContext::resetMemoryBases();
    setExternalMemorySize (getChosenMemorySize());
}

void ProjectSettings::setProjectFile (const juce::String& path)
{
    const auto file = fileFromPath (path);

    if (path.isEmpty() || file.isDirectory())
    {
        projectFile = juce::File();
        return;
    }

    projectFile = file;
    projectFile.getParentDirectory().setAsCurrentWorkingDirectory();
}

juce::File ProjectSettings::getProjectFolderFile() const
{
    return fileFromPath (projectFolder);
}

juce::String ProjectSettings::setOutputDirectory (const juce::String& path)
{
    outputDirectory = fileFromPath (path);

    if (outputDirectory.existsAsFile())
        outputDirectory = outputDirectory.getParentDirectory();

    const auto folder = getProjectFolderFile();

    // No directory (or one not made yet, of no project): the project's own
    // folder, where there is one.
    if (path.isEmpty() || (! outputDirectory.isDirectory() && ! folder.isDirectory()))
    {
        outputDirectory = folder.isDirectory() ? folder : juce::File();
        outputDirectoryText = folder.isDirectory() ? "." : noOutputDirectoryText;

        if (folder.isDirectory())
            folder.setAsCurrentWorkingDirectory();

        return outputDirectoryText;
    }

    // A directory not made yet (a project copied without its output) is kept
    // as it is: the page shows it, the generation makes it and writes into it
    // and the project is saved with it.
    if (! outputDirectory.isDirectory())
    {
        outputDirectoryText = outputDirectory.isAChildOf (folder) ? outputDirectory.getRelativePathFrom (folder)
                                                                  : outputDirectory.getFullPathName();
        return outputDirectoryText;
    }

    outputDirectory.setAsCurrentWorkingDirectory();

    // A project being saved into a new file has that file before it is
    // written: its output directory is shown, and saved, from its folder.
    if (projectFile == juce::File() || outputDirectory == folder)
    {
        outputDirectoryText = ".";
        return outputDirectoryText;
    }

    const auto relativePath = outputDirectory.getRelativePathFrom (folder);

    if (relativePath != outputDirectory.getFullPathName())
    {
        outputDirectoryText = relativePath;
        return outputDirectoryText;
    }

    // No relative way leads there: the project gets a folder of that name of
    // its own. When it cannot be made, everything stays where it is.
    const auto name = outputDirectory.getFileName();
    const auto inProject = folder.getChildFile (name);

    if (inProject.createDirectory().wasOk())
    {
        outputDirectory = inProject;
        outputDirectory.setAsCurrentWorkingDirectory();
        outputDirectoryText = name;
    }
    else
    {
        outputDirectoryText = relativePath;
    }

    return outputDirectoryText;
}

juce::File ProjectSettings::getOutputDirectoryMovedTo (const juce::File& newFolder) const
{
    if (outputDirectory == juce::File())
        return newFolder;

    const auto folder = getProjectFolderFile();

    if (folder != juce::File() && (outputDirectory == folder || outputDirectory.isAChildOf (folder)))
        return newFolder.getChildFile (outputDirectory.getRelativePathFrom (folder));

    return outputDirectory;
}

juce::File ProjectSettings::getPresetFile() const
{
    const auto folder = getProjectFolderFile();

    if (folder == juce::File())
        return {};

    return folder.getChildFile (projectName + ".presets");
}

juce::File ProjectSettings::getGlobalPresetFile() const
{
    const auto folder = getProjectFolderFile();

    if (folder == juce::File())
        return {};

    return folder.getChildFile (projectName + "_global.presets");
}
