// libFuzzer target: any bytes as the settings file "OstraneQuellion.cfg".
// The program checks the file and hands one that passes to
// juce::PropertiesFile, which parses it again itself: that parse must read
// the very values the check read. A save of JUCE's (which parses every value
// again) gives a file that passes the check and is read the same way again.

#include "FuzzSupport.h"

#include "app/ApplicationSettings.h"
#include "app/SettingsFileCheck.h"

namespace
{
void expectSameValues (const juce::StringPairArray& checked, juce::PropertiesFile& read, const char* when)
{
    const auto& values = read.getAllProperties();

    if (values.size() != checked.size())
        FuzzSupport::fail (juce::String (when) + ": JUCE read " + juce::String (values.size()) + " values, the check " +
                           juce::String (checked.size()));

    for (int i = 0; i < checked.size(); ++i)
    {
        const auto& key = checked.getAllKeys()[i];

        if (! values.containsKey (key) || values[key] != checked.getAllValues()[i])
            FuzzSupport::fail (juce::String (when) + ": JUCE read the value \"" + key + "\" otherwise than the check");
    }
}

// Checks the file, then reads it as the program does; none when it was refused.
std::unique_ptr<juce::PropertiesFile> checkAndRead (const juce::File& file, const char* when)
{
    const auto checked = SettingsFileCheck::check (file, ApplicationSettings::largestFile);

    if (checked.root == nullptr)
        return {};

    // Saved only when asked below.
    juce::PropertiesFile::Options options;
    options.millisecondsBeforeSaving = -1;
    auto read = std::make_unique<juce::PropertiesFile> (file, options);

    if (! read->isValidFile())
        FuzzSupport::fail (juce::String (when) + ": JUCE could not read a file that passed the check");

    expectSameValues (SettingsFileCheck::readValues (*checked.root), *read, when);
    return read;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto file = FuzzSupport::writeScratchFile ("OstraneQuellion.cfg", data, size);
    auto settings = checkAndRead (file, "the file");

    if (settings == nullptr)
        return 0;

    settings->setValue ("checkForUpdate", 1);

    if (! settings->save())
        FuzzSupport::fail ("JUCE could not save the settings");

    settings.reset();

    if (checkAndRead (file, "the file saved by JUCE") == nullptr)
        FuzzSupport::fail ("the file JUCE saved is refused: " +
                           SettingsFileCheck::check (file, ApplicationSettings::largestFile).result.getErrorMessage());

    return 0;
}
