#include "generator/SourceFiles.h"
#include "generator/SourceIdentifiers.h"
#include "support/KilledSaves.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <vector>

namespace
{
class SourceFilesTest : public ::testing::Test
{
protected:
    juce::TemporaryFile folder;

    void SetUp() override { ASSERT_TRUE (folder.getFile().createDirectory()); }
    void TearDown() override { folder.getFile().deleteRecursively(); }

    juce::File file (const juce::String& name) const { return folder.getFile().getChildFile (name); }

    juce::MemoryBlock bytesOf (const juce::File& f) const
    {
        juce::MemoryBlock data;
        f.loadFileAsData (data);
        return data;
    }

    int filesInFolder() const { return folder.getFile().getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"); }
};
} // namespace

TEST_F (SourceFilesTest, ReplacesAnExistingFile)
{
    const auto target = file ("a.c");
    ASSERT_TRUE (writeTextToFile ("old text that is longer\n", target, false));
    ASSERT_TRUE (writeTextToFile ("new\n", target, false));

    EXPECT_EQ (target.loadFileAsString(), "new\n");
    EXPECT_EQ (filesInFolder(), 1);
}

TEST_F (SourceFilesTest, NoTextLeavesAnEmptyFile)
{
    const auto target = file ("empty.h");
    ASSERT_TRUE (writeTextToFile ("something", target, false));
    ASSERT_TRUE (writeTextToFile ({}, target, false));

    EXPECT_TRUE (target.existsAsFile());
    EXPECT_EQ (target.getSize(), 0);
}

TEST_F (SourceFilesTest, AppendsAfterWhatTheFileHolds)
{
    const auto target = file ("quellion.h");
    ASSERT_TRUE (writeTextToFile ("#ifndef X\n", target, false));
    ASSERT_TRUE (writeTextToFile ("int a;\n", target, true));
    ASSERT_TRUE (writeTextToFile ({}, target, true));

    EXPECT_EQ (target.loadFileAsString(), "#ifndef X\nint a;\n");
}

TEST_F (SourceFilesTest, AppendingToAMissingFileCreatesIt)
{
    const auto target = file ("new.c");
    ASSERT_TRUE (writeTextToFile ("x\n", target, true));
    EXPECT_EQ (target.loadFileAsString(), "x\n");
}

TEST_F (SourceFilesTest, CreatesMissingFolders)
{
    const auto target = file ("out/deeper/dsp1.c");
    ASSERT_TRUE (writeTextToFile ("x", target, false));
    EXPECT_EQ (target.loadFileAsString(), "x");
}

TEST_F (SourceFilesTest, WritesLineEndsAndCharactersAsGiven)
{
    const auto target = file ("lines.c");
    const auto text = "a\nb\r\n" + juce::String::fromUTF8 ("// \xc3\xa9\n");
    ASSERT_TRUE (writeTextToFile (text, target, false));

    const auto data = bytesOf (target);
    const juce::MemoryBlock expected (text.toRawUTF8(), text.getNumBytesAsUTF8());
    EXPECT_EQ (data, expected);
}

TEST_F (SourceFilesTest, ReportsAFileThatCannotBeWritten)
{
    const auto blocker = file ("blocker");
    ASSERT_TRUE (writeTextToFile ("a file, not a folder", blocker, false));

    EXPECT_FALSE (writeTextToFile ("x", blocker.getChildFile ("dsp1.c"), false));
    EXPECT_FALSE (writeTextToFile ("x", folder.getFile(), false));
    EXPECT_FALSE (writeTextToFile ("x", juce::File(), false));
    EXPECT_EQ (blocker.loadFileAsString(), "a file, not a folder");
    EXPECT_EQ (filesInFolder(), 1);
}

TEST_F (SourceFilesTest, AWriteTheDiskTakesOnlyInPartLeavesTheFileAsItWas)
{
    // A disk that fills up during a write takes part of it and reports no
    // error; a limit on the file size does the same. Neither a replaced nor
    // an appended file may be left cut short, to be kept later as the user's.
    for (const bool append : { false, true })
    {
        const auto target = file ("custom.h");
        ASSERT_TRUE (writeTextToFile ("// kept\n", target, false));

        rlimit unlimited{};
        ASSERT_EQ (getrlimit (RLIMIT_FSIZE, &unlimited), 0);
        auto limited = unlimited;
        limited.rlim_cur = 100;
        const auto previousHandler = std::signal (SIGXFSZ, SIG_IGN);
        ASSERT_EQ (setrlimit (RLIMIT_FSIZE, &limited), 0);
        const bool written = writeTextToFile (juce::String::repeatedString ("int x;\n", 100), target, append);
        setrlimit (RLIMIT_FSIZE, &unlimited);
        std::signal (SIGXFSZ, previousHandler);

        EXPECT_FALSE (written) << append;
        EXPECT_EQ (target.loadFileAsString(), "// kept\n") << append;
        EXPECT_EQ (filesInFolder(), 1) << append;
    }
}

// Run by the test below in a process of its own, which it kills.
TEST_F (SourceFilesTest, DISABLED_WritesUntilKilled)
{
    const auto file = KilledSaves::getTarget();

    if (file == juce::File())
        GTEST_SKIP();

    const auto text = juce::String::repeatedString ("int x;\n", 40000);

    for (;;)
        writeTextToFile (text, file, false);
}

// Generations killed at any moment leave one temporary file at most beside
// each file, which the next generation replaces.
TEST_F (SourceFilesTest, KilledWritesLeaveOneTemporaryFileAtMost)
{
    const auto target = file ("dsp1.c");

    ASSERT_TRUE (KilledSaves::killSavers ("SourceFilesTest.DISABLED_WritesUntilKilled", target, 12));
    ASSERT_TRUE (target.existsAsFile());
    EXPECT_LE (filesInFolder(), 2);

    ASSERT_TRUE (writeTextToFile ("int y;\n", target, false));
    EXPECT_EQ (filesInFolder(), 1);
    EXPECT_EQ (target.loadFileAsString(), "int y;\n");
}

TEST_F (SourceFilesTest, HeaderGuardsOpenAndClose)
{
    const auto header = file ("presets.h");
    ASSERT_TRUE (writeHeaderGuardOpen (false, header));
    ASSERT_TRUE (writeTextToFile ("int x;\n", header, true));
    ASSERT_TRUE (writeHeaderGuardClose (true, header));

    EXPECT_EQ (header.loadFileAsString(), "#ifndef __PRESETS_H__\n#define __PRESETS_H__\nint x;\n\n#endif //__PRESETS_H__");
}

TEST (SourceGuardTest, GuardNamesAreUpperCaseIdentifiers)
{
    EXPECT_EQ (makeHeaderGuardName (juce::File ("/tmp/presets.h")), "__PRESETS_H__");
    EXPECT_EQ (makeHeaderGuardName (juce::File ("/tmp/MainAppConfig.h")), "__MAINAPPCONFIG_H__");

    const auto guard = makeHeaderGuardName (juce::File ("/tmp/my file-(2) [x].h"));
    EXPECT_EQ (guard, "__MY_FILE__2___X__H__");
    EXPECT_TRUE (guard.containsOnly ("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_"));
}

TEST (SourceIdentifiersTest, TheSetHoldsItsFortyOneCharactersInOrder)
{
    // Written out as code points so that no source encoding can change them.
    const std::vector<juce::juce_wchar> expected{
        0x20, 0x28, 0x29, 0x5B, 0x5D, 0x2F, 0x5C, 0x7B, 0x7D, 0x3C, 0x3E, 0x2E, 0x3F, 0x2C,
        0x3B, 0x21, 0xA7, 0xA4, 0xF9, 0x25, 0x2A, 0xB5, 0x24, 0xA3, 0x5E, 0xA8, 0x3D, 0x2B,
        0x40, 0xE0, 0xE7, 0x60, 0x2D, 0x7C, 0x27, 0x23, 0x22, 0xE9, 0x7E, 0x26, 0x09,
    };

    ASSERT_EQ (expected.size(), 41u);
    EXPECT_EQ (std::vector<juce::juce_wchar> (identifierSanitisingSet.begin(), identifierSanitisingSet.end()), expected);
}

TEST (SourceIdentifiersTest, ReplacesEveryCharacterOfTheSetOneForOne)
{
    for (auto c : identifierSanitisingSet)
    {
        const auto name = "a" + juce::String::charToString (c) + "b";
        EXPECT_EQ (sanitiseIdentifier (name), "a_b") << (int) c;
    }
}

TEST (SourceIdentifiersTest, ReplacesWhatCannotStandInAnIdentifier)
{
    EXPECT_EQ (sanitiseIdentifier ("Eq:Main\n"), "Eq_Main_");
    EXPECT_EQ (sanitiseIdentifier (juce::String::fromUTF8 ("D\xc3\xa9lai\xc3\xb6")), "D_lai_");
    EXPECT_EQ (sanitiseIdentifier ("Keep_This09"), "Keep_This09");
}

TEST (SourceIdentifiersTest, CaseRoutinesDropLeadingUnderscores)
{
    juce::String lower ("__ParamEq");
    uncapitaliseIdentifier (lower);
    EXPECT_EQ (lower, "parameq");

    juce::String upper ("_delay_line");
    capitaliseIdentifier (upper);
    EXPECT_EQ (upper, "Delay_line");
}

TEST (SourceIdentifiersTest, CaseRoutinesAcceptEmptyNames)
{
    juce::String empty;
    capitaliseIdentifier (empty);
    EXPECT_TRUE (empty.isEmpty());

    juce::String underscores ("___");
    capitaliseIdentifier (underscores);
    EXPECT_TRUE (underscores.isEmpty());

    juce::String more ("__");
    uncapitaliseIdentifier (more);
    EXPECT_TRUE (more.isEmpty());
}

TEST (SourceIdentifiersTest, CommentTextCannotEndOrSpliceItsComment)
{
    // Names come from user files and stand in "//" and "/* */" comments of
    // the firmware: "??/" is a backslash to a C99 compiler, which would join
    // the next generated line to a line comment, and a text-direction
    // control would show the comment otherwise than it compiles.
    EXPECT_EQ (makeCommentText ("Gain ?\?/"), "Gain ? ?/");
    EXPECT_EQ (makeCommentText ("a */ b /* c\\"), "a * / b / * c/");

    const juce::juce_wchar directionControls[] = { 0x202A, 0x202B, 0x202C, 0x202D, 0x202E, 0x2066, 0x2067, 0x2068, 0x2069, 0 };
    const juce::String bidi{ juce::CharPointer_UTF32 (directionControls) };
    EXPECT_EQ (makeCommentText ("Main" + bidi + " EQ"), "Main EQ");

    std::mt19937 random (7);
    const auto alphabet = juce::String ("?/*\\\r\n\t\x7f a") + bidi;

    for (int round = 0; round < 2000; ++round)
    {
        juce::String name;

        for (int i = (int) (random() % 12); --i >= 0;)
            name += alphabet[(int) (random() % (uint32_t) alphabet.length())];

        const auto text = makeCommentText (name);

        for (auto* bad : { "??", "*/", "/*", "\\", "\n", "\r", "\t", "\x7f" })
            ASSERT_FALSE (text.contains (bad)) << name.toStdString() << " -> " << text.toStdString();

        ASSERT_FALSE (text.containsAnyOf (bidi)) << name.toStdString();
    }
}
