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
// reader would drop silently, is set aside with a message; the program starts
// with its defaults and saves its settings anew.
TEST_F (ApplicationSettingsTest, ADamagedFileIsSetAsideAndTheDefaultsTaken)
{
    const auto file = folder.getChildFile ("Damaged.cfg");
    const auto aside = ApplicationSettings::getSetAsideFile (file);
    const juce::String damaged[] = {
        "<PROPERTIES><?x?>y</PROPERTIES>",
        "<PROPERTIES>" + juce::String::repeatedString ("<V>", 2000) + juce::String::repeatedString ("</V>", 2000) +
            "</PROPERTIES>",
        "<PROPERTIES><VALUE name=\"WindowState\" val=\"&#x",
        "not a settings file",
        "",
    };

    for (auto& text : damaged)
    {
        SCOPED_TRACE (text.substring (0, 40));
        dialogs.messages.clear();
        ASSERT_TRUE (file.replaceWithText (text));

        auto settingsRead = openInTime (file);
        ASSERT_NE (settingsRead, nullptr) << "the open did not end";
        EXPECT_EQ (settingsRead->getAllProperties().size(), 0);
        EXPECT_FALSE (file.exists());
        EXPECT_EQ (aside.loadFileAsString(), text);
        ASSERT_EQ (dialogs.messages.size(), 1u);
        EXPECT_EQ (dialogs.messages[0].title, "OSTRANE Quellion");
        EXPECT_TRUE (dialogs.messages[0].text.contains (aside.getFullPathName())) << dialogs.messages[0].text;

        settingsRead->setValue (ApplicationSettings::checkForUpdateKey, "1");
        ASSERT_TRUE (settingsRead->saveIfNeeded());
        EXPECT_EQ (ApplicationSettings::open (file)->getValue (ApplicationSettings::checkForUpdateKey), "1");
        EXPECT_EQ (dialogs.messages.size(), 1u);
        ASSERT_TRUE (file.deleteFile());
    }

    // A pipe under the name would wait for a writer for ever.
    dialogs.messages.clear();
    ASSERT_TRUE (Watchdog::makePipe (file));
    EXPECT_NE (openInTime (file), nullptr);
    EXPECT_FALSE (file.exists());
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
