#include "app/ApplicationSettings.h"

#include "app/MainAppWindow.h"
#include "app/SettingsFileCheck.h"
#include "editors/Dialogs.h"
#include "model/FileReplacement.h"

namespace
{
void removeTemporaryFiles (const juce::File& file)
{
    // JUCE's save writes a temporary file of a new random name beside the
    // file each time, "<name>_temp<hex>.cfg", and renames it over the file:
    // a save cut short leaves it behind, and the next one a second. Only a
    // run that ends during a save leaves one, so each run removes them
    // before it saves anything.
    const auto pattern = file.getFileNameWithoutExtension() + "_temp*" + file.getFileExtension();

    for (const auto& left : file.getParentDirectory().findChildFiles (juce::File::findFiles, false, pattern))
        left.deleteFile();
}
} // namespace

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
    removeTemporaryFiles (file);

    const auto check = SettingsFileCheck::check (file, largestFile);

    if (check.result.wasOk())
        return std::make_unique<juce::PropertiesFile> (file, getOptions());

    const auto aside = FileReplacement::setAside (file, setAsideSuffix);
    const bool setAside = aside != juce::File();
    auto message =
        "The settings file \"" + file.getFullPathName() + "\" cannot be read: " + check.result.getErrorMessage() + ".\n";

    if (setAside)
        message << "It was set aside as \"" << aside.getFullPathName() << "\", and the program starts with its default settings.";
    else
        message << "It could not be set aside; the program starts with its default settings and keeps no settings of this run.";

    Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::WarningIcon, MainAppWindow::title, message);

    // No file at all when the damaged one still stands where JUCE would read it.
    return std::make_unique<juce::PropertiesFile> (setAside ? file : juce::File(), getOptions());
}
