#include "app/VersionInfoText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace
{
const juce::String key = "OstraneQuellion";
const juce::String running = "1.336";

struct Case
{
    const char* name;
    juce::String text;
    bool offered; // an entry found and newer than the running version
    juce::String version, address, notes;
};

juce::String entry (const juce::String& version, const juce::String& address, const juce::String& notes = "")
{
    return "VERSION|" + key + "|" + version + "|" + address + "\n" + notes;
}

const juce::String page = "https://download.example.org/index.php?racine=quellion";
} // namespace

TEST (VersionInfoText, FindsTheEntryAndComparesAsDecimals)
{
    const Case cases[] = {
        { "a newer version is offered", entry ("1.34", page, "New filters.\n"), true, "1.34", page, "New filters.\n" },
        { "the running version is not", entry ("1.336", page), false, "1.336", page, "" },
        { "an older one is not", entry ("1.2", page), false, "1.2", page, "" },
        { "another program's entry is ignored", "VERSION|OstraneOther|9.9|" + page + "\n", false, {}, {}, {} },
        { "ours after another's", "VERSION|OstraneOther|9.9|https://x.example.org\nOther notes\n" + entry ("2.0", page, "Ours\n"),
          true, "2.0", page, "Ours\n" },
        { "notes end at the next entry",
          entry ("1.4", page, "Line 1\nLine 2\n") + "VERSION|OstraneOther|1.0|http://y.example.org\n", true, "1.4", page,
          "Line 1\nLine 2\n" },
        { "the first of two entries counts", entry ("1.5", page) + entry ("3.0", page), true, "1.5", page, "" },
        { "CRLF line ends", "VERSION|OstraneQuellion|1.4| " + page + " \r\nNotes\r\n", true, "1.4", page, "Notes\r\n" },
        { "no line end after the address", "VERSION|OstraneQuellion|1.4|" + page, true, "1.4", page, "" },
        { "an empty text", "", false, {}, {}, {} },
        { "no bar after the version", "VERSION|OstraneQuellion|1.4", false, {}, {}, {} },
        { "a version that is no number", entry ("abc", page), false, {}, {}, {} },
        { "an empty version", entry ("", page), false, {}, {}, {} },
        // Unsafe texts from the server are refused before any use.
        { "a version climbing out of the folder", entry ("9/../../x", page), false, {}, {}, {} },
        { "a version with a blank", entry ("9 .1", page), false, {}, {}, {} },
        { "a version of two dots", entry ("9..1", page), false, {}, {}, {} },
        { "a version ending in a dot", entry ("9.", page), false, {}, {}, {} },
        { "a version too long for a file name", entry (juce::String::repeatedString ("9", 40), page), false, {}, {}, {} },
        { "a file address", entry ("9.0", "file:///etc/passwd"), false, {}, {}, {} },
        { "a program to run", entry ("9.0", "/usr/bin/xterm"), false, {}, {}, {} },
        { "an address with a blank inside", entry ("9.0", "https://a.example.org/x y"), false, {}, {}, {} },
        { "an address a shell would run", entry ("9.0", "http://127.0.0.1:9/$(touch${IFS}pwned)"), false, {}, {}, {} },
        { "an address with backticks", entry ("9.0", "http://a.example.org/`id`"), false, {}, {}, {} },
        { "no address", entry ("9.0", ""), false, {}, {}, {} },
        { "http alone", entry ("9.0", "http://"), false, {}, {}, {} },
        { "plain http", entry ("1.4", "http://a.example.org/q"), true, "1.4", "http://a.example.org/q", "" },
        { "a scheme in capitals", entry ("1.4", "HTTPS://A.example.org/q"), true, "1.4", "HTTPS://A.example.org/q", "" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto found = VersionInfoText::findEntry (c.text, key);
        const auto offered = found.has_value() && VersionInfoText::isNewer (found->version, running);
        EXPECT_EQ (offered, c.offered);

        if (c.version.isNotEmpty())
        {
            ASSERT_TRUE (found.has_value());
            EXPECT_EQ (found->version, c.version);
            EXPECT_EQ (found->address, c.address);
            EXPECT_EQ (found->notes, c.notes);
        }
        else
        {
            EXPECT_FALSE (found.has_value());
        }
    }
}

// The answer comes from the network: whatever its bytes, the text made of
// them holds whole characters, so that nothing reading it reads past its end.
TEST (VersionInfoText, TheAnswerIsReadAsWholeCharacters)
{
    const struct
    {
        std::string bytes;
        juce::String text;
    } answers[] = {
        { "VERSION|OstraneQuellion|1.34|\xc1", "VERSION|OstraneQuellion|1.34|" + juce::String::charToString (0xc1) },
        { entry ("1.4", page).toStdString() + "F\xc3\xbcr alle\n",
          entry ("1.4", page, juce::String::fromUTF8 ("F\xc3\xbcr alle\n")) },
        { "\xef\xbb\xbf", "" },
        { "", "" },
    };

    for (const auto& answer : answers)
        EXPECT_EQ (VersionInfoText::decode (juce::MemoryBlock (answer.bytes.data(), answer.bytes.size())), answer.text);

    EXPECT_FALSE (
        VersionInfoText::findEntry (VersionInfoText::decode (juce::MemoryBlock ("VERSION|OstraneQuellion|1.34|\xc1", 30)), key)
            .has_value());
}

TEST (VersionInfoText, NamesTheInstallerAndItsAddress)
{
    EXPECT_EQ (VersionInfoText::makeInstallerName (key, "1.34"), "OstraneQuellion_V1.34.zip");
    EXPECT_EQ (VersionInfoText::makeInstallerAddress (page, "OstraneQuellion_V1.34.zip"),
               "https://download.example.org/quellion/OstraneQuellion_V1.34.zip");
    EXPECT_EQ (VersionInfoText::makeInstallerAddress ("https://a.example.org/dl", "x.zip"), "https://a.example.org/dl/x.zip");
}

TEST (VersionInfoText, AnyTextFromTheServerGivesASafeEntryOrNone)
{
    // Random texts made of the entry's own pieces: whatever is found can be
    // used as a file name part and an address.
    std::mt19937 random (19);
    const auto pick = [&random] (int count) { return (int) (random() % (unsigned) count); };
    const juce::StringArray pieces{ "VERSION|",
                                    key,
                                    "|",
                                    "1",
                                    ".",
                                    "34",
                                    "/",
                                    "..",
                                    "\n",
                                    "\r",
                                    " ",
                                    "https://",
                                    "http://",
                                    "file:",
                                    "a.example.org",
                                    "index.php?racine=",
                                    "\\",
                                    "\"",
                                    "%2e",
                                    "$(",
                                    ")",
                                    "`",
                                    ";",
                                    "|",
                                    "'",
                                    "x" };

    for (int i = 0; i < 20000; ++i)
    {
        juce::String text;

        for (int n = pick (24); n > 0; --n)
            text += pieces[pick (pieces.size())];

        if (const auto found = VersionInfoText::findEntry (text, key))
        {
            ASSERT_TRUE (found->version.containsOnly ("0123456789.")) << text;
            ASSERT_FALSE (found->version.contains ("..")) << text;
            ASSERT_TRUE (found->address.startsWithIgnoreCase ("http://") || found->address.startsWithIgnoreCase ("https://"))
                << text;
            ASSERT_FALSE (found->address.containsAnyOf (" \t\r\n\\\"$()`;|'")) << text;
            ASSERT_EQ (juce::File ("/tmp/folder")
                           .getChildFile (VersionInfoText::makeInstallerName (key, found->version))
                           .getParentDirectory(),
                       juce::File ("/tmp/folder"))
                << text;
        }
    }
}
