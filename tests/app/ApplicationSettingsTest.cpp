#include "ShellTestFixture.h"

#include "support/KilledSaves.h"
#include "support/Watchdog.h"

namespace
{
class ApplicationSettingsTest : public ShellTestFixture
{
protected:
    // Opens the file as the program does at start, on a thread of its own:
    // none when that did not end in time.
    std::unique_ptr<juce::PropertiesFile> openInTime (const juce::File& file)
    {
        auto opened = std::make_shared<std::unique_ptr<juce::PropertiesFile>>();

        if (! Watchdog::finishesWithin (std::chrono::seconds (5), [file, opened] { *opened = ApplicationSettings::open (file); }))
            return {};

        return std::move (*opened);
    }
};
} // namespace

// A settings file that would hang or crash every start, or that JUCE's
// reader would drop silently or read otherwise than the check, is set aside
// with a message; the program starts with its defaults and saves its
// settings anew.
TEST_F (ApplicationSettingsTest, ADamagedFileIsSetAsideAndTheDefaultsTaken)
{
    const auto file = folder.getChildFile ("Damaged.cfg");
    const auto aside = folder.getChildFile ("Damaged.cfg.damaged");
    const auto repeated = [] (const char* piece, int times) { return juce::String::repeatedString (piece, times).toStdString(); };
    // JUCE's reader takes a byte that starts a longer UTF-8 character
    // together with the bytes after it, whatever they are.
    const auto hidden = std::string ("<!--\xf1"
                                     "abc\xc3"
                                     "d-->");
    const std::string damaged[] = {
        "<PROPERTIES><?x?>y</PROPERTIES>",
        "<PROPERTIES>" + repeated ("<V>", 2000) + repeated ("</V>", 2000) + "</PROPERTIES>",
        "<PROPERTIES><VALUE name=\"WindowState\" val=\"&#x",
        "not a settings file",
        "",
        // A comment for the check, elements nested 300,000 deep for JUCE.
        "<PROPERTIES>\xf1<!--" + repeated ("<a>", 300000) + "--></PROPERTIES>",
        // An end tag JUCE's reader reads past the end of the file.
        "<PROPERTIES><a></" + repeated ("\xff", 100) + "></PROPERTIES>",
        // A document type and a value of an entity that only JUCE's reader sees.
        hidden + "<!--<!DOCTYPE PROPERTIES SYSTEM \"outside.dtd\"--><PROPERTIES>" + hidden +
            "<!--<VALUE name=\"a\" val=\"&e;\"/>--></PROPERTIES>",
        // A root that the first reading of a longer file stops inside.
        "<PROPERTIES a=\"" + repeated ("\xc3\xa9", 5000) + "\"/>",
        // Values that the writer parses at every save.
        "<PROPERTIES><VALUE name=\"a\" val=\"" + repeated ("&lt;V&gt;", 2000) + "\"/></PROPERTIES>",
        "<PROPERTIES><VALUE name=\"a\" val=\"&lt;V&gt;&lt;?x?&gt;y&lt;/V&gt;\"/></PROPERTIES>",
        // A value of references that JUCE's parser reads in quadratic time.
        "<PROPERTIES><VALUE name=\"a\" val=\"" + repeated ("&amp;", 200000) + "\"/></PROPERTIES>",
        "<PROPERTIES><value name=\"a\" val=\"1\"/></PROPERTIES>",
    };

    for (auto& bytes : damaged)
    {
        SCOPED_TRACE (bytes.substr (0, 40));
        dialogs.messages.clear();
        // JUCE deletes the file when it is replaced with nothing.
        ASSERT_TRUE (bytes.empty() ? file.create().wasOk() : file.replaceWithData (bytes.data(), bytes.size()));

        auto settingsRead = openInTime (file);
        ASSERT_NE (settingsRead, nullptr) << "the open did not end";
        EXPECT_EQ (settingsRead->getAllProperties().size(), 0);
        EXPECT_FALSE (file.exists());
        juce::MemoryBlock setAside;
        EXPECT_TRUE (aside.loadFileAsData (setAside));
        EXPECT_EQ (std::string (static_cast<const char*> (setAside.getData()), setAside.getSize()), bytes);
        ASSERT_EQ (dialogs.messages.size(), 1u);
        EXPECT_EQ (dialogs.messages[0].title, "OSTRANE Quellion");
        EXPECT_TRUE (dialogs.messages[0].text.contains (aside.getFullPathName())) << dialogs.messages[0].text;

        settingsRead->setValue (ApplicationSettings::checkForUpdateKey, "1");
        ASSERT_TRUE (settingsRead->saveIfNeeded());
        EXPECT_EQ (ApplicationSettings::open (file)->getValue (ApplicationSettings::checkForUpdateKey), "1");
        EXPECT_EQ (dialogs.messages.size(), 1u);
        ASSERT_TRUE (file.deleteFile() && aside.deleteFile());
    }

    // A pipe under the name would wait for a writer for ever. A file set aside before stays.
    dialogs.messages.clear();
    ASSERT_TRUE (Watchdog::makePipe (file) && aside.replaceWithText ("earlier"));
    EXPECT_NE (openInTime (file), nullptr);
    EXPECT_FALSE (file.exists());
    EXPECT_EQ (aside.getSize(), 7);
    ASSERT_EQ (dialogs.messages.size(), 1u);
    EXPECT_TRUE (dialogs.messages[0].text.contains ("pipe")) << dialogs.messages[0].text;
}

// Run by the test below in a process of its own, which it kills.
TEST_F (ApplicationSettingsTest, DISABLED_SavesUntilKilled)
{
    const auto file = KilledSaves::getTarget();

    if (file == juce::File())
        GTEST_SKIP();

    auto saved = ApplicationSettings::open (file);

    for (int i = 0;; ++i)
    {
        saved->setValue (ApplicationSettings::windowStateKey, juce::String (i) + juce::String::repeatedString (" 0", 100000));
        saved->saveIfNeeded();
    }
}

// Runs killed while they save their settings, as many times as the user
// likes, leave one temporary file at most beside the settings file, which
// the next run removes.
TEST_F (ApplicationSettingsTest, KilledSavesLeaveOneTemporaryFileAtMost)
{
    const auto target = folder.getChildFile ("Saved/OstraneQuellion.cfg");
    ASSERT_TRUE (target.getParentDirectory().createDirectory());
    auto filesBeside = [&] { return target.getParentDirectory().getNumberOfChildFiles (juce::File::findFiles); };

    ASSERT_TRUE (KilledSaves::killSavers ("ApplicationSettingsTest.DISABLED_SavesUntilKilled", target, 8));
    ASSERT_TRUE (target.existsAsFile());
    EXPECT_LE (filesBeside(), 2);

    auto reopened = ApplicationSettings::open (target);
    EXPECT_EQ (filesBeside(), 1);
    reopened->setValue (ApplicationSettings::checkForUpdateKey, "0");
    ASSERT_TRUE (reopened->saveIfNeeded());
    EXPECT_EQ (filesBeside(), 1);
    EXPECT_TRUE (dialogs.messages.empty());
}
