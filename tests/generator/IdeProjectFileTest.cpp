#include "GenerationTestProject.h"

#include "generator/IdeProjectFile.h"

#include <gtest/gtest.h>

using namespace generatortest;

namespace
{
juce::String expectedIdeProject (const char* userVariable)
{
    return joinLines ({ "[CURRENTCONFIG]",
                        "<default>",
                        "[NAME]",
                        "MyDesign",
                        "[FILES]",
                        "main.c",
                        "custom.h",
                        "MainAppConfig.h",
                        "memorymap.h",
                        "quellion.h",
                        "dsp1.c",
                        "midictrl.c",
                        "midictrl.h",
                        "mainbus.c",
                        "presets.c",
                        "presets.h",
                        "quellionWrappers.s",
                        "[WINDOWS]",
                        "main.c;4306;4306;1184",
                        "[BREAKPOINTS]",
                        "[WATCH]",
                        "[CONFIG]",
                        "<default>",
                        "[TARGETDIR]",
                        "build\\",
                        "[TARGET]",
                        "TRX7304 INTRAM",
                        "TRX7304 INTRAM",
                        "[OS]",
                        "\"\"",
                        "[IGNORED]",
                        "[MAP]",
                        "FFFFFFFF",
                        "8E80000",
                        "8E80800",
                        "0",
                        "1",
                        "400",
                        "9000",
                        "34",
                        "8E80400",
                        "[HEX]",
                        "MyDesign.hex",
                        "[PATH]",
                        "$(LibDir)",
                        "$(IncDir)",
                        "[LIBRARIES]",
                        "libUSB.a",
                        "libKTL7000.a",
                        "libOstraneBoards.a",
                        "libmidi.a",
                        "[OPTIMIZE]",
                        "0;2;0;0",
                        "[USERVARS]",
                        userVariable,
                        "[EMBED]",
                        "1;-1;-1;1;3",
                        "[TRACE]",
                        "0",
                        "[CREATELIB]",
                        "0",
                        "Lib.a",
                        "1000",
                        "[BINARY]",
                        "MyDesign.bin",
                        "17490;1;0;0;1;65535;0;65535",
                        "",
                        "[CONFIGEND]",
                        "[END]",
                        "" },
                      "\r\n");
}
} // namespace

TEST (IdeProjectFile, AGenerationWritesTheWholeFileBesideTheProject)
{
    TestProject project;
    project.addDelayDsp (1);
    project.generate();

    const auto text = project.folder.getChildFile ("MyDesign.vtc").loadFileAsString();
    EXPECT_EQ (text, expectedIdeProject (""));

    // Every line ends in CR LF, the empty ones too.
    const auto lines = juce::StringArray::fromTokens (text, "\n", {});
    ASSERT_EQ (lines.size(), 71);
    EXPECT_TRUE (lines[lines.size() - 1].isEmpty());

    for (int i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE (lines[i].endsWith ("\r")) << i;
}

TEST (IdeProjectFile, TheSpdifFeatureSetsItsUserVariable)
{
    const auto file = juce::File ("/projects/MyDesign.vtc");
    const juce::StringArray list{
        "main.c",     "custom.h",   "MainAppConfig.h", "memorymap.h", "quellion.h", "dsp1.c",
        "midictrl.c", "midictrl.h", "mainbus.c",       "presets.c",   "presets.h",  "quellionWrappers.s"
    };

    EXPECT_EQ (IdeProjectFile::makeText (file, list, "7304", { "_BOARD_USE_SPDIF" }), expectedIdeProject ("_BOARD_USE_SPDIF"));
    EXPECT_TRUE (
        IdeProjectFile::makeText (file, list, "7516", {}).contains ("[TARGET]\r\nTRX7516 INTRAM\r\nTRX7516 INTRAM\r\n[OS]"));
}

TEST (IdeProjectFile, TheNameIsTheProjectsWithoutBlanksInTheProjectsOwnFolder)
{
    const struct
    {
        const char* project;
        const char* ideFile;
    } cases[] = {
        { "/work/My Design.zqp", "/work/MyDesign.vtc" },
        { "/work/Proj #2/a b.zqp", "/work/Proj #2/ab.vtc" }, // the folder is taken as it is
        { "/work/we#ird:na?me.zqp", "/work/weirdname.vtc" },
        { "/work/v1.2 final.zqp", "/work/v1.2final.vtc" },
        { "/work/   .zqp", "/work/project.vtc" }, // never a hidden file or none
        { "/work/...zqp", "/work/project.vtc" },
    };

    for (auto& c : cases)
        EXPECT_EQ (IdeProjectFile::getIdeProjectFileName (juce::File (c.project)).getFullPathName(), c.ideFile) << c.project;
}

TEST (IdeProjectFile, AProjectInAFolderWithUnusualCharactersWritesThereAndNowhereElse)
{
    TestProject project;
    const auto folder = project.root.getFile().getChildFile ("Proj #2");
    folder.createDirectory();
    const auto projectFile = folder.getChildFile ("Stage Rack.zqp");
    projectFile.create();
    project.design.getSettings().setProjectFile (projectFile.getFullPathName());
    project.addDelayDsp (1);

    const auto log = project.generate();
    EXPECT_TRUE (log.contains ("Vantix-C project: StageRack.vtc...generated\n"));
    EXPECT_TRUE (folder.getChildFile ("StageRack.vtc").existsAsFile());
    EXPECT_FALSE (project.root.getFile().getChildFile ("Proj 2").exists());
}
