#pragma once

#include <juce_core/juce_core.h>

#include <optional>

// The version-information text "OstraneVersionInfo.txt" that the maker's web
// server publishes, with entries for several programs. One entry is
// "VERSION|" + application key + "|" + version + "|" + the download page's
// address up to the line end, then free notes up to the next "VERSION|".
// The text comes from the network: nothing in it is trusted.
class VersionInfoText
{
public:
    static constexpr const char* fileName = "OstraneVersionInfo.txt";
    static constexpr int maxVersionLength = 32;

    struct Entry
    {
        juce::String version, address, notes;
    };

    // The server's answer as text: UTF-8, or when it is not (a character cut
    // short at its end, say) each byte a character of the Windows code page.
    static juce::String decode (const juce::MemoryBlock& answer);

    // The first entry of the application. None when there is none, when it
    // is malformed, or when it is unsafe to use: a version of anything but
    // digits and dots (it becomes part of a file name and an address) or an
    // address of another kind than http or https (it is opened and fetched).
    static std::optional<Entry> findEntry (const juce::String& text, const juce::String& appKey);

    // Digits in groups separated by single dots: "1", "1.34", "1.3.3".
    static bool isSafeVersion (const juce::String& version);

    // Both read as decimal numbers, as the server publishes them: "1.34" is
    // newer than the running "1.336".
    static bool isNewer (const juce::String& publishedVersion, const juce::String& runningVersion);

    // "OstraneQuellion_V1.34.zip".
    static juce::String makeInstallerName (const juce::String& appKey, const juce::String& version);
    // The page's address without "index.php?racine=", then "/" and the name.
    static juce::String makeInstallerAddress (const juce::String& pageAddress, const juce::String& installerName);

private:
    VersionInfoText() = delete;
};
