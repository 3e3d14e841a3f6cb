#pragma once

#include <juce_data_structures/juce_data_structures.h>

#include <memory>

// The program's settings file, "OstraneQuellion.cfg" in the folder "Ostrane"
// of the user's configuration folder. One object is opened per run and every
// owner (main window, project page, log window) shares it: each writing a
// copy of its own would overwrite the others' keys.
//
// The file is checked as every XML file the program reads before JUCE reads
// it, and as JUCE will read it (SettingsFileCheck): a damaged one (or
// something that is no file) would hang or crash every start. Such a file is
// set aside under the name + ".damaged" (an earlier one there stays), with a
// message, and the program starts with its default settings. What saves of
// an earlier run cut short left beside the file is removed.
class ApplicationSettings
{
public:
    static constexpr const char* windowStateKey = "WindowState";
    static constexpr const char* logWindowStateKey = "LogWindowState";
    static constexpr const char* recentFileListKey = "RecentFileList";
    static constexpr const char* checkForUpdateKey = "checkForUpdate";

    static juce::PropertiesFile::Options getOptions();

    // Where the file lives: $XDG_CONFIG_HOME (or ~/.config) + "/Ostrane".
    static juce::File getDefaultFile();

    // A settings file holds a few short values.
    static constexpr juce::int64 largestFile = 1024 * 1024;

    static std::unique_ptr<juce::PropertiesFile> open();
    static std::unique_ptr<juce::PropertiesFile> open (const juce::File& file);

    // A damaged file is set aside under its name and this ("-2" and so on
    // after it while an earlier one is there).
    static constexpr const char* setAsideSuffix = ".damaged";

private:
    ApplicationSettings() = delete;
};
