// libFuzzer target: any bytes as the answer of the update server, the
// version text "OstraneVersionInfo.txt". The text made of them holds whole
// characters, so that nothing reading it reads past its end; an entry found
// in it is one the program may use: a version of digits and single dots that
// names an installer inside the chosen folder, and a web address that the
// desktop opener may be given.

#include "FuzzSupport.h"

#include "app/VersionInfoText.h"
#include "editors/DesktopOpener.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto text = VersionInfoText::decode (juce::MemoryBlock (data, size));
    const auto* bytes = text.toRawUTF8();

    if (! juce::CharPointer_UTF8::isValidString (bytes, (int) std::strlen (bytes)))
        FuzzSupport::fail ("the text made of the answer holds a character cut short");

    // Each line as an address, as a page or installer address may stand.
    for (const auto& line : juce::StringArray::fromLines (text))
        DesktopOpener::isWebAddress (line.trim());

    const juce::File folder ("/tmp/installer folder");

    for (const auto* key : { "OstraneQuellion", "Ostrane" })
    {
        const auto found = VersionInfoText::findEntry (text, key);

        if (! found.has_value())
            continue;

        if (! VersionInfoText::isSafeVersion (found->version) || ! DesktopOpener::isWebAddress (found->address))
            FuzzSupport::fail ("an entry of an unsafe version or address was taken: \"" + found->version + "\", \"" +
                               found->address + "\"");

        const auto name = VersionInfoText::makeInstallerName (key, found->version);

        if (folder.getChildFile (name).getParentDirectory() != folder)
            FuzzSupport::fail ("the installer \"" + name + "\" would stand outside the chosen folder");

        VersionInfoText::isNewer (found->version, "1.336");
        VersionInfoText::makeInstallerAddress (found->address, name);
    }

    return 0;
}
