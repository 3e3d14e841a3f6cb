#include "app/ApplicationSettings.h"

juce::PropertiesFile::Options ApplicationSettings::getOptions()
{
    juce::PropertiesFile::Options options;
    options.applicationName = "OstraneQuellion";
    options.filenameSuffix = ".cfg";
    options.folderName = "Ostrane";
    // Written soon after a change, so that a crash loses little.
    options.millisecondsBeforeSaving = 100;
    return options;
}

juce::File ApplicationSettings::getDefaultFile()
{
    const auto options = getOptions();
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
        .getChildFile (options.folderName)
        .getChildFile (options.applicationName + options.filenameSuffix);
}

std::unique_ptr<juce::PropertiesFile> ApplicationSettings::open()
{
    return open (getDefaultFile());
}

std::unique_ptr<juce::PropertiesFile> ApplicationSettings::open (const juce::File& file)
{
    return std::make_unique<juce::PropertiesFile> (file, getOptions());
}
