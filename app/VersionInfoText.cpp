#include "app/VersionInfoText.h"

#include "editors/DesktopOpener.h"
#include "model/RegularFileReader.h"

juce::String VersionInfoText::decode (const juce::MemoryBlock& answer)
{
    // Not juce::String::fromUTF8, which takes a character cut short into the
    // text, whose readers then read past its end.
    return RegularFileReader::asText (answer);
}

std::optional<VersionInfoText::Entry> VersionInfoText::findEntry (const juce::String& text, const juce::String& appKey)
{
    const auto key = "VERSION|" + appKey + "|";
    const auto start = text.indexOf (key);

    if (appKey.isEmpty() || start < 0)
        return std::nullopt;

    const auto afterKey = text.substring (start + key.length());
    const auto versionEnd = afterKey.indexOfChar ('|');

    if (versionEnd < 0)
        return std::nullopt;

    Entry entry;
    entry.version = afterKey.substring (0, versionEnd);

    const auto rest = afterKey.substring (versionEnd + 1);
    const auto lineEnd = rest.indexOfChar ('\n');
    entry.address = (lineEnd < 0 ? rest : rest.substring (0, lineEnd)).trim();
    entry.notes = lineEnd < 0 ? juce::String() : rest.substring (lineEnd + 1).upToFirstOccurrenceOf ("VERSION|", false, false);

    if (! isSafeVersion (entry.version) || ! DesktopOpener::isWebAddress (entry.address))
        return std::nullopt;

    return entry;
}

bool VersionInfoText::isSafeVersion (const juce::String& version)
{
    if (version.isEmpty() || version.length() > maxVersionLength || version.startsWithChar ('.') || version.endsWithChar ('.') ||
        version.contains (".."))
        return false;

    return version.containsOnly ("0123456789.");
}

bool VersionInfoText::isNewer (const juce::String& publishedVersion, const juce::String& runningVersion)
{
    return publishedVersion.getDoubleValue() > runningVersion.getDoubleValue();
}

juce::String VersionInfoText::makeInstallerName (const juce::String& appKey, const juce::String& version)
{
    return appKey + "_V" + version + ".zip";
}

juce::String VersionInfoText::makeInstallerAddress (const juce::String& pageAddress, const juce::String& installerName)
{
    return pageAddress.replace ("index.php?racine=", "") + "/" + installerName;
}
