#include "model/ProjectSettings.h"
#include "generator/GenerationDriver.h"
#include "model/ProjectFileWriter.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
// Each test works in a folder of its own and gets its working directory back.
class ProjectSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        savedWorkingDirectory = juce::File::getCurrentWorkingDirectory();
        // Plain and sanitized tests run at once: a name of this run's own.
        folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                     .getChildFile ("vx-settings-" + juce::String ((int) getpid()) + "-" +
                                    juce::String::toHexString (juce::Random::getSystemRandom().nextInt64()));
        ASSERT_TRUE (folder.createDirectory().wasOk());
    }

    void TearDown() override
    {
        savedWorkingDirectory.setAsCurrentWorkingDirectory();
        folder.deleteRecursively();
    }

    // A project saved as <folder>/project/demo.zqp.
    juce::File makeSavedProject (ProjectSettings& settings)
    {
        const auto projectFolder = folder.getChildFile ("project");
        EXPECT_TRUE (projectFolder.createDirectory().wasOk());
        const auto file = projectFolder.getChildFile ("demo.zqp");
        EXPECT_TRUE (file.replaceWithText ("<x/>"));

        settings.setProjectFile (file.getFullPathName());
        settings.setProjectFolder (projectFolder.getFullPathName());
        settings.setProjectName ("demo");
        return projectFolder;
    }

    juce::File savedWorkingDirectory, folder;
};
} // namespace

TEST (ProjectSettingsChoices, ChipCapacityIsTheNumberTheNameEndsIn)
{
    EXPECT_EQ (ProjectSettings::getChipNames(), juce::StringArray ({ "7104", "7304", "7308", "7316", "7408", "7516" }));

    const int expected[] = { 4, 4, 8, 16, 8, 16 };

    for (int i = 0; i < 6; ++i)
        EXPECT_EQ (ProjectSettings::getChipCapacity (i), expected[i]) << ProjectSettings::getChipNames()[i];

    EXPECT_EQ (ProjectSettings::getChipCapacity (-1), 0);
    EXPECT_EQ (ProjectSettings::getChipCapacity (6), 0);
}

TEST (ProjectSettingsChoices, StartWith7304At48kHzAnd128kWords)
{
    ProjectSettings settings;

    EXPECT_EQ (ProjectSettings::getChipNames()[settings.getChipIndex()], "7304");
    EXPECT_EQ (settings.getChipCapacity(), 4);
    EXPECT_DOUBLE_EQ (settings.getSamplingRateKhz(), 48.0);
    EXPECT_EQ (settings.getSamplingRateHz(), 48000);
    EXPECT_EQ (settings.getChosenMemorySize(), 128);
    EXPECT_EQ (settings.getExternalMemorySize(), 128);
    EXPECT_FALSE (settings.isCommandViewOn());
}

TEST (ProjectSettingsChoices, SamplingRatesInHertzAreRoundedNotTruncated)
{
    ProjectSettings settings;
    const int expected[] = { 44100, 48000, 88200, 96000, 176400, 192000 };

    for (int i = 0; i < 6; ++i)
    {
        ASSERT_TRUE (settings.setSamplingIndex (i));
        EXPECT_EQ (settings.getSamplingRateHz(), expected[i]);
    }
}

TEST (ProjectSettingsChoices, IndexesOutsideTheListsAreRefused)
{
    ProjectSettings settings;

    EXPECT_FALSE (settings.setChipIndex (6));
    EXPECT_FALSE (settings.setChipIndex (-1));
    EXPECT_FALSE (settings.setSamplingIndex (6));
    EXPECT_FALSE (settings.setMemorySizeIndex (11));
    EXPECT_EQ (settings.getChipIndex(), ProjectSettings::defaultChipIndex);
    EXPECT_EQ (settings.getSamplingIndex(), ProjectSettings::defaultSamplingIndex);
    EXPECT_EQ (settings.getMemorySizeIndex(), ProjectSettings::defaultMemoryIndex);

    EXPECT_TRUE (settings.setChipIndex (5));
    EXPECT_EQ (settings.getChipCapacity(), 16);
    EXPECT_TRUE (settings.setMemorySizeIndex (10));
    EXPECT_EQ (settings.getChosenMemorySize(), 32768);
}

TEST (ProjectSettingsMemory, ResettingStartsEveryChainAgainAndTakesTheChosenSize)
{
    using Region = GenerationContext::Region;
    ProjectSettings settings;
    settings.getMemoryRegion (Region::externalRam) = { "DSP1_EXTRAM_END", 0x400 };
    settings.getMemoryRegion (Region::internal24BitRam) = { "DSP1_INT24_END", 12 };
    settings.getMemoryRegion (Region::internal16BitRam) = { "DSP1_INT16_END", 0 };
    settings.setExternalRamUsed (true);
    settings.setMemorySizeIndex (5);

    EXPECT_EQ (settings.getMemoryRegion (Region::externalRam).baseSymbol, "DSP1_EXTRAM_END");
    EXPECT_EQ (settings.getExternalMemorySize(), 128) << "the size follows the choice only at a reset";

    settings.resetMemoryBases();

    EXPECT_EQ (settings.getMemoryRegion (Region::externalRam).baseSymbol, "MEMADDR_EXTRAM_START");
    EXPECT_EQ (settings.getMemoryRegion (Region::externalRam).pendingSize, 0u);
    EXPECT_EQ (settings.getMemoryRegion (Region::internal16BitRam).baseSymbol, "MEMADDR_INT16RAM_START");
    EXPECT_EQ (settings.getMemoryRegion (Region::internal24BitRam).baseSymbol, "MEMADDR_INT24RAM_START");
    EXPECT_EQ (settings.getMemoryRegion (Region::internal24BitRam).pendingSize, 0u);
    EXPECT_FALSE (settings.isExternalRamUsed());
    EXPECT_EQ (settings.getExternalMemorySize(), 1024);
}

TEST (ProjectSettingsMemory, TheGenerationReadsTheChosenRateThroughTheContext)
{
    ProjectSettings settings;
    const GenerationContext& context = settings;

    ASSERT_TRUE (settings.setSamplingIndex (3));
    EXPECT_DOUBLE_EQ (context.getSamplingRateKhz(), 96.0);
}

TEST (ProjectSettingsTitle, NamesTheProjectBeforeTheProduct)
{
    EXPECT_EQ (ProjectSettings::makeWindowTitle ({}), "OSTRANE Quellion");
    EXPECT_EQ (ProjectSettings::makeWindowTitle ("demo"), "demo - OSTRANE Quellion");
    EXPECT_EQ (ProjectSettings::makeWindowTitle ("demo - (locked)"), "demo - (locked) - OSTRANE Quellion");
}

TEST_F (ProjectSettingsTest, ADirectoryOrNoPathLeavesTheProjectWithoutFile)
{
    ProjectSettings settings;

    settings.setProjectFile ({});
    EXPECT_EQ (settings.getProjectFile(), juce::File());

    settings.setProjectFile (folder.getFullPathName());
    EXPECT_EQ (settings.getProjectFile(), juce::File());
}

TEST_F (ProjectSettingsTest, AProjectFileMakesItsFolderTheWorkingDirectory)
{
    ProjectSettings settings;
    const auto file = folder.getChildFile ("a.zqp");

    settings.setProjectFile (file.getFullPathName());

    EXPECT_EQ (settings.getProjectFile(), file);
    EXPECT_EQ (juce::File::getCurrentWorkingDirectory(), folder);
}

TEST_F (ProjectSettingsTest, RelativePathsAreTakenFromTheWorkingDirectory)
{
    folder.setAsCurrentWorkingDirectory();

    EXPECT_EQ (ProjectSettings::fileFromPath ("x/y.zqp"), folder.getChildFile ("x/y.zqp"));
    EXPECT_EQ (ProjectSettings::fileFromPath ("/abs/z"), juce::File ("/abs/z"));
    EXPECT_EQ (ProjectSettings::fileFromPath ({}), juce::File());
}

TEST_F (ProjectSettingsTest, WithoutProjectTheDirectoryIsAskedFor)
{
    ProjectSettings settings;

    EXPECT_EQ (settings.getOutputDirectoryText(), "Please specify a directory ->");
    EXPECT_EQ (settings.setOutputDirectory ({}), "Please specify a directory ->");
    EXPECT_EQ (settings.setOutputDirectory (folder.getChildFile ("missing").getFullPathName()), "Please specify a directory ->");
}

TEST_F (ProjectSettingsTest, TheProjectsOwnFolderShowsAsDot)
{
    ProjectSettings settings;
    const auto projectFolder = makeSavedProject (settings);

    EXPECT_EQ (settings.setOutputDirectory (projectFolder.getFullPathName()), ".");
    EXPECT_EQ (settings.getOutputDirectory(), projectFolder);
    EXPECT_EQ (juce::File::getCurrentWorkingDirectory(), projectFolder);

    // With a project folder, a directory that cannot be used still shows it.
    EXPECT_EQ (settings.setOutputDirectory ({}), ".");
}

TEST_F (ProjectSettingsTest, ADirectoryNotMadeYetIsShownWrittenAndSavedAsOne)
{
    ProjectSettings settings;
    const auto projectFolder = makeSavedProject (settings);
    const auto outside = folder.getChildFile ("elsewhere/gen");

    // A project copied without its output folder, or given one outside it.
    const std::pair<juce::File, juce::String> cases[] = { { projectFolder.getChildFile ("out"), "out" },
                                                          { projectFolder.getChildFile ("a/b"), "a/b" },
                                                          { outside, outside.getFullPathName() } };

    for (const auto& [directory, shown] : cases)
    {
        EXPECT_EQ (settings.setOutputDirectory (directory.getFullPathName()), shown);
        EXPECT_EQ (settings.getOutputDirectory(), directory) << shown;
        EXPECT_EQ (GenerationDriver::findOutputDirectory (settings), directory) << shown;
        EXPECT_EQ (ProjectFileWriter::makeDirectoryText (settings), shown) << shown;
        EXPECT_FALSE (directory.exists()) << "made by the generation, not by the choice";
    }

    // None: the project's own folder, in all three.
    EXPECT_EQ (settings.setOutputDirectory ({}), ".");
    EXPECT_EQ (settings.getOutputDirectory(), projectFolder);
    EXPECT_EQ (GenerationDriver::findOutputDirectory (settings), projectFolder);
    EXPECT_EQ (juce::File::getCurrentWorkingDirectory(), projectFolder);
    EXPECT_EQ (ProjectFileWriter::makeDirectoryText (settings), ".");
}

TEST_F (ProjectSettingsTest, ASubfolderShowsRelativeToTheProject)
{
    ProjectSettings settings;
    const auto projectFolder = makeSavedProject (settings);
    const auto out = projectFolder.getChildFile ("out");
    ASSERT_TRUE (out.createDirectory().wasOk());

    EXPECT_EQ (settings.setOutputDirectory (out.getFullPathName()), "out");
    EXPECT_EQ (settings.getOutputDirectoryText(), "out");
    EXPECT_EQ (settings.getOutputDirectory(), out);
    EXPECT_EQ (juce::File::getCurrentWorkingDirectory(), out) << "a generation writes into the working directory";

    const auto sibling = folder.getChildFile ("elsewhere");
    ASSERT_TRUE (sibling.createDirectory().wasOk());
    EXPECT_EQ (settings.setOutputDirectory (sibling.getFullPathName()), "../elsewhere");
}

TEST_F (ProjectSettingsTest, AFileStandsForItsFolder)
{
    ProjectSettings settings;
    const auto projectFolder = makeSavedProject (settings);
    const auto out = projectFolder.getChildFile ("out");
    ASSERT_TRUE (out.createDirectory().wasOk());
    const auto fileInOut = out.getChildFile ("main.c");
    ASSERT_TRUE (fileInOut.replaceWithText ("int x;"));

    EXPECT_EQ (settings.setOutputDirectory (fileInOut.getFullPathName()), "out");
    EXPECT_EQ (settings.getOutputDirectory(), out);
}

TEST_F (ProjectSettingsTest, WithoutSavedProjectAChosenDirectoryShowsAsDot)
{
    ProjectSettings settings;

    EXPECT_EQ (settings.setOutputDirectory (folder.getFullPathName()), ".");
    EXPECT_EQ (juce::File::getCurrentWorkingDirectory(), folder);
}

TEST_F (ProjectSettingsTest, PresetFilesStandBesideTheProject)
{
    ProjectSettings settings;
    EXPECT_EQ (settings.getPresetFile(), juce::File());
    EXPECT_EQ (settings.getGlobalPresetFile(), juce::File());

    const auto projectFolder = makeSavedProject (settings);

    EXPECT_EQ (settings.getPresetFile(), projectFolder.getChildFile ("demo.presets"));
    EXPECT_EQ (settings.getGlobalPresetFile(), projectFolder.getChildFile ("demo_global.presets"));
}
