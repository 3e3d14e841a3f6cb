#include "app/VARENTIXApplication.h"

#include "support/UiTestSupport.h"

#include <gtest/gtest.h>

namespace
{
class StartFileTest : public ::testing::Test
{
protected:
    vxtest::TemporaryFolder folder;

    juce::File resolve (const juce::String& commandLine) const
    {
        return VARENTIXApplication::resolveStartFile (commandLine, folder.get());
    }
};
} // namespace

TEST_F (StartFileTest, AQuotedMissingProjectIsKeptForItsExtension)
{
    EXPECT_EQ (resolve ("\"x.ZQP\""), folder.getChildFile ("x.ZQP"));
    EXPECT_EQ (resolve ("\"my designs/x.zqp\"  \t"), folder.getChildFile ("my designs/x.zqp"));
}

TEST_F (StartFileTest, AnExistingFileOfAnyKindIsKept)
{
    const auto text = folder.getChildFile ("notes.txt");
    ASSERT_TRUE (text.replaceWithText ("x"));

    EXPECT_EQ (resolve ("notes.txt"), text);
    EXPECT_EQ (resolve (text.getFullPathName() + " "), text);
}

TEST_F (StartFileTest, AMissingFileOfAnotherKindIsDropped)
{
    EXPECT_EQ (resolve ("notes.txt"), juce::File());
    EXPECT_EQ (resolve ("a.b/file"), juce::File()) << "a dot in a folder name is no extension";
    EXPECT_EQ (resolve ("project.zqp.bak"), juce::File());
}

TEST_F (StartFileTest, NoCommandLineNoStartFile)
{
    EXPECT_EQ (resolve ({}), juce::File());
    EXPECT_EQ (resolve ("   "), juce::File());
    EXPECT_EQ (resolve ("\"\""), juce::File());
}

TEST_F (StartFileTest, AnAbsolutePathIsTakenAsItIs)
{
    EXPECT_EQ (resolve ("/somewhere/else/demo.zqp"), juce::File ("/somewhere/else/demo.zqp"));
}

TEST (ComparableVersion, KeepsTheFirstDotAndDropsTheOthers)
{
    EXPECT_EQ (VARENTIXApplication::makeComparableVersion ("1.3.3.6"), "1.336");
    EXPECT_EQ (VARENTIXApplication::makeComparableVersion ("2.0"), "2.0");
    EXPECT_EQ (VARENTIXApplication::makeComparableVersion ("7"), "7");
    EXPECT_DOUBLE_EQ (VARENTIXApplication::makeComparableVersion ("1.3.3.6").getDoubleValue(), 1.336);
}
