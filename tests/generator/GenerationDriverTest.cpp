// A whole generation, as Ctrl+G runs it, into a temporary folder: the files
// it writes, the log it leaves, and what it keeps of the user's.

#include "GenerationTestProject.h"

#include "generator/SourceFiles.h"
#include "model/DesignLog.h"

#include <gtest/gtest.h>

using namespace generatortest;

namespace
{
juce::StringArray names (std::initializer_list<const char*> items)
{
    juce::StringArray list;

    for (auto* item : items)
        list.add (item);

    return list;
}

juce::String listing (std::initializer_list<const char*> items)
{
    return names (items).joinIntoString (" ");
}

const char* const successLine = ">>> All the files have been successfully generated from your design.";

juce::String oneDspLog (const char* controlSource, const char* controlHeader)
{
    return joinLines ({ "Files generated in directory : <out>", "MainAppConfig.h...generated", "quellion.h...generated",
                        "custom.h...generated", "memorymap.h...generated", "dspNrpnHandler...generated",
                        "dspInitAndRoute...generated", "dsp1.c...generated", "main.c...generated" }) +
           controlSource + "...generated\n" + controlHeader + "...generated\n" +
           joinLines ({ "mainbus.c...generated", "presets.c/.h...generated", "quellionWrappers.s...generated",
                        "Vantix-C project: MyDesign.vtc...generated", successLine });
}

const char* const mainAppConfig = "// This file can be modified by user and will not be overwritten by Ostrane Quellion.\n"
                                  "#ifndef __MAINAPPCONFIG_H__\n"
                                  "#define __MAINAPPCONFIG_H__\n"
                                  "//[!USER CODE]\n"
                                  "#define\tMEMADDR_EXTRAM_START 0x40000000\n"
                                  "#define\tMEMADDR_INT24RAM_START 0x08E00000\n"
                                  "#define\tMEMADDR_INT16RAM_START 0x08E10000\n"
                                  "//[USER CODE!]\n"
                                  "\n"
                                  "#endif //__MAINAPPCONFIG_H__";

const char* const hookBlockHead = "custom functions, uncomment the '#define' line where you want to add custom code, and "
                                  "implement the function below the '#define' in a separate C file\n";

juce::String customHeaderOf (const juce::String& blocks)
{
    return "// This file can be modified by user and will not be overwritten by Ostrane Quellion.\n"
           "#ifndef __CUSTOM_H__\n"
           "#define __CUSTOM_H__\n" +
           blocks + "\n#endif //__CUSTOM_H__";
}

juce::String nrpnHooksOf (int dsp)
{
    const juce::String n (dsp);
    return "//DSP#" + n + " " + hookBlockHead + "//#define _customPreInitFunction" + n + "\nWORD customPreInitFunction" + n +
           "( WORD dspId );\n//#define _customPostInitFunction" + n + "\nWORD customPostInitFunction" + n +
           "( WORD dspId );\n//#define _customPreNrpnFunction" + n + "\nWORD customPreNrpnFunction" + n +
           "( WORD dspId, WORD nrpn, DWORD *pval, WORD format );\n//#define _customPostNrpnFunction" + n +
           "\nWORD customPostNrpnFunction" + n + "( WORD dspId, WORD nrpn, WORD val8bit, WORD value, DWORD dvalue );\n\n";
}

const char* const mainBusHead = "/* This file contains all dsp routing and initialization */\n"
                                "#include <system.h>\n"
                                "#include \"quellion.h\"\n"
                                "\n"
                                "WORD OutBusOf( WORD DSPid, WORD out ){ return( 0x80+((DSPid-0x30)<<3)+out ); }\n"
                                "\n"
                                "WORD dsp[NBDSPINITIALIZED];\n"
                                "\n"
                                "\n";

// A user's edit of a file the generator hands over.
void editByUser (const juce::File& file)
{
    file.appendText ("\n// changed by the user\n", false, false, nullptr);
}

class DriverWithPresets : public GenerationDriver
{
public:
    DriverWithPresets (Design& designToUse, MainBusFile& mainBusFile, bool processPresets, bool globalPresets)
        : GenerationDriver (designToUse, mainBusFile), hasProcessPresets (processPresets), hasGlobalPresets (globalPresets)
    {
    }

    std::optional<PresetSourceGenerator::Files> makeProcessPresetFiles (bool) override
    {
        return hasProcessPresets ? std::optional (PresetSourceGenerator::Files{ "/* presets */\n", "/* presets */\n" })
                                 : std::nullopt;
    }

    std::optional<PresetSourceGenerator::Files> makeGlobalPresetFiles (bool) override
    {
        return hasGlobalPresets ? std::optional (PresetSourceGenerator::Files{ "/* global */\n", "/* global */\n" })
                                : std::nullopt;
    }

    const bool hasProcessPresets, hasGlobalPresets;
};
} // namespace

TEST (GenerationDriver, OneDspWritesEveryFileAndSaysSo)
{
    TestProject project;
    project.addDelayDsp (1);

    EXPECT_EQ (project.generate(), oneDspLog ("midictrl.c", "midictrl.h"));
    EXPECT_EQ (getLogErrorCount(), 0);
    EXPECT_EQ (project.listOutput().joinIntoString (" "),
               listing ({ "custom.h", "dsp1.c", "main.c", "MainAppConfig.h", "mainbus.c", "memorymap.h", "midictrl.c",
                          "midictrl.h", "presets.c", "presets.h", "quellion.h", "quellionWrappers.s" }));

    // The IDE project lies beside the project file, named after it without blanks.
    EXPECT_TRUE (project.folder.getChildFile ("MyDesign.vtc").existsAsFile());

    EXPECT_EQ (project.read ("MainAppConfig.h"), mainAppConfig);
    EXPECT_EQ (project.read ("custom.h"), customHeaderOf (nrpnHooksOf (1)));
    EXPECT_TRUE (project.read ("quellion.h")
                     .startsWith ("#ifndef __QUELLION_H__\n#define __QUELLION_H__\n"
                                  "#define NBDSPINITIALIZED 1\n\n#include <system.h>\n"));
    EXPECT_TRUE (
        project.read ("quellion.h")
            .endsWith ("WORD dsp1InitAndRoute(void);\nextern WORD dsp1pcs[2];\n"
                       "#define\tNUMBEROFPROCESS1\t0x0001\n#define\tNUMBEROFCOMMAND1\t0x0000\n"
                       "extern WORD dsp1NrpnHandler( WORD nrpn, WORD dspId, WORD processId, DWORD value, WORD format );\n\n"
                       "#endif //__QUELLION_H__"))
        << project.read ("quellion.h");
    EXPECT_TRUE (project.read ("memorymap.h")
                     .startsWith ("#ifndef __MEMORYMAP_H__\n#define __MEMORYMAP_H__\n"
                                  "#include \"MainAppConfig.h\"\n\n//Dsp#1 memory processes define\n"));
    EXPECT_TRUE (project.read ("mainbus.c")
                     .startsWith (mainBusHead + juce::String ("const WORD dspRouting_In[1][8] = \n{\n"
                                                              "\t{0,0,0,0,0,0,0,0}\n};\n\n"
                                                              "const WORD dspRouting_Out[1][8] = \n{\n"
                                                              "\t{-1,-1,-1,-1,-1,-1,-1,-1}\n};\n")));
    EXPECT_TRUE (project.read ("mainbus.c").contains ("\tWORD dspIndex = 0;\n\tdsp[0] = dsp1InitAndRoute();\n"));
    EXPECT_TRUE (project.read ("midictrl.c").contains ("WORD freeChannel = 0xfffe;"));
    EXPECT_TRUE (project.read ("main.c").contains ("\tquellion_InitNrpnFunction();\n"));
    EXPECT_TRUE (project.read ("dsp1.c").startsWith ("#include <system.h>\n"));
}

TEST (GenerationDriver, CommandVariantWritesTheCommandControlSources)
{
    TestProject project;
    project.addDelayDsp (1);

    EXPECT_EQ (project.generate (true), oneDspLog ("commandctrl.c", "commandctrl.h"));
    EXPECT_EQ (project.listOutput().joinIntoString (" "),
               listing ({ "commandctrl.c", "commandctrl.h", "custom.h", "dsp1.c", "main.c", "MainAppConfig.h", "mainbus.c",
                          "memorymap.h", "presets.c", "presets.h", "quellion.h", "quellionWrappers.s" }));

    const auto custom = project.read ("custom.h");
    EXPECT_TRUE (custom.contains ("WORD customPreNrpnFunction1( WORD dspId, WORD command, WORD index, WORD val8bit, WORD "
                                  "value, DWORD dvalue );\n//#define _customPostNrpnFunction1\nWORD customPostNrpnFunction1( "
                                  "WORD dspId, WORD command, WORD index, WORD val8bit, WORD value, DWORD dvalue );\n"));
    EXPECT_TRUE (project.read ("commandctrl.c").contains ("PTR32 commandFunctionPtrTable[NBDSPINITIALIZED];"));

    // The main program calls the command variant's entry points, so that it
    // links with the control source written beside it; the MIDI it receives
    // reaches the command handlers through the same MIDI input as in the
    // NRPN variant.
    const auto main = project.read ("main.c");
    EXPECT_TRUE (main.contains ("#include \"commandctrl.h\"\n"));
    EXPECT_TRUE (main.contains ("\tquellion_InitCommandFunction();\n"));
    EXPECT_FALSE (main.contains ("quellion_InitNrpnFunction"));
    EXPECT_TRUE (main.contains ("\t\t\tquellion_HandleMidiEvent( midiData );\n"));

    const auto control = project.read ("commandctrl.c");
    EXPECT_TRUE (control.contains ("\nvoid quellion_HandleMidiEvent( WORD data )\n{"));
    EXPECT_TRUE (control.contains ("\nWORD quellion_HandleNRPN( WORD channel, WORD nrpn, DWORD value, WORD format )\n{"));
    EXPECT_TRUE (project.read ("commandctrl.h").contains ("void quellion_HandleMidiEvent( WORD data );\n"));
}

TEST (GenerationDriver, AKeptMainOrIdeProjectOfTheOtherVariantIsReportedAndStaysAsItIs)
{
    const struct
    {
        const char* name;
        bool firstCommandVariant;
        juce::StringArray removed; // by the user between the runs
        const char* kept;          // what the error names; none for no error
    } cases[] = {
        { "NRPN, then command handlers", false, {}, "\"main.c\" and \"MyDesign.vtc\"" },
        { "command, then NRPN handlers", true, {}, "\"main.c\" and \"MyDesign.vtc\"" },
        { "main.c removed", false, { "out/main.c" }, "\"MyDesign.vtc\"" },
        { "IDE project removed", false, { "MyDesign.vtc" }, "\"main.c\"" },
        { "both removed: the other pair is only noted", false, { "out/main.c", "MyDesign.vtc" }, nullptr },
    };

    for (auto& c : cases)
    {
        TestProject project;
        project.addDelayDsp (1);
        project.generate (c.firstCommandVariant);

        for (auto& name : c.removed)
            project.folder.getChildFile (name).deleteFile();

        const auto otherSource = c.firstCommandVariant ? "commandctrl.c" : "midictrl.c";
        juce::StringArray keptFiles{ "out/main.c", "MyDesign.vtc", "out/custom.h", "out/MainAppConfig.h",
                                     juce::String ("out/") + otherSource };

        for (auto& name : c.removed)
            keptFiles.removeString (name);

        juce::StringArray keptTexts;

        for (auto& name : keptFiles)
            keptTexts.add (project.folder.getChildFile (name).loadFileAsString());

        const auto log = project.generate (! c.firstCommandVariant);

        for (int i = 0; i < keptFiles.size(); ++i)
            EXPECT_EQ (project.folder.getChildFile (keptFiles[i]).loadFileAsString(), keptTexts[i]) << c.name << keptFiles[i];

        if (c.kept == nullptr)
        {
            EXPECT_TRUE (log.contains ("Note: \"midictrl.c\" of the other control variant is left in the output folder")) << log;
            EXPECT_TRUE (log.contains ("Note: \"midictrl.h\" of the other control variant")) << log;
            EXPECT_TRUE (log.endsWith (juce::String (successLine) + "\n")) << log;
            EXPECT_EQ (project.findFilesMissingFromIdeProject().joinIntoString (" "), "");
            continue;
        }

        const juce::String used (c.firstCommandVariant ? "command handlers" : "NRPN handlers");
        const juce::String now (c.firstCommandVariant ? "NRPN handlers" : "command handlers");
        EXPECT_TRUE (log.contains (" !!! Error#1: The kept " + juce::String (c.kept) + " of a generation with " + used +
                                   " still build \"" + otherSource + "\", which does not build with the " + now +
                                   " generated now. Generate into another folder, or remove the kept \"main.c\" and "
                                   "\"MyDesign.vtc\" and generate again.\n"))
            << c.name << ":\n"
            << log;
        EXPECT_FALSE (log.contains ("Note: \"" + juce::String (otherSource))) << c.name;
        EXPECT_TRUE (log.endsWith (">>> Your design contains a total number of 1 error(s).\n")) << c.name;
    }
}

TEST (GenerationDriver, DspsOneAndThreeKeepTheirNumbers)
{
    TestProject project;
    project.addDelayDsp (1);
    project.addDelayDsp (3);

    const auto log = project.generate();
    EXPECT_TRUE (log.contains ("dspInitAndRoute...generated\ndsp1.c...generated\ndsp3.c...generated\nmain.c...generated\n"));
    EXPECT_TRUE (log.endsWith (juce::String (successLine) + "\n"));
    EXPECT_TRUE (project.listOutput().contains ("dsp3.c"));
    EXPECT_FALSE (project.listOutput().contains ("dsp2.c"));

    EXPECT_TRUE (project.read ("quellion.h").contains ("#define NBDSPINITIALIZED 3\n"));
    EXPECT_EQ (project.read ("custom.h"), customHeaderOf (nrpnHooksOf (1) + nrpnHooksOf (3)));

    const auto mainBus = project.read ("mainbus.c");
    EXPECT_TRUE (mainBus.contains ("const WORD dspRouting_In[2][8] = "));
    EXPECT_TRUE (mainBus.contains ("\tWORD dspIndex[2] = { 0,2 };\n\tdsp[0] = dsp1InitAndRoute();\n"
                                   "\tdsp[2] = dsp3InitAndRoute();\n\n\t// Start DSP\n\tfor (i = 0; i<2; i++)"));
    EXPECT_TRUE (mainBus.contains ("_StartDSP( dsp[dspIndex[i]] );"));

    // Each handler stands at its own DSP's place in the dispatch table.
    const auto control = project.read ("midictrl.c");
    EXPECT_TRUE (control.contains ("void quellion_InitNrpnFunction( void )\n{\n"
                                   "\tnrpnFunctionPtrTable[0] = _cptr32( dsp1NrpnHandler );\n"
                                   "\tnrpnFunctionPtrTable[2] = _cptr32( dsp3NrpnHandler );\n}\n"));
    EXPECT_TRUE (control.contains ("WORD freeChannel = 0xfffa;"));

    // The handler follows the DSP's source, its declarations the DSP's.
    EXPECT_TRUE (project.read ("dsp3.c").contains ("\treturn( dspId );\n}\n\n"
                                                   "\n#ifndef\t_SKIP_ZQV_NRPN_CTRL\n\n\n\n"
                                                   "WORD dsp3NrpnHandler( WORD nrpn, WORD dspId, WORD processId, DWORD value, "
                                                   "WORD format )\n{\n"));
    EXPECT_TRUE (project.read ("dsp3.c").endsWith ("\treturn 0;\n\n}\n#endif\t// _SKIP_ZQV_NRPN_CTRL\n"));
    EXPECT_TRUE (project.read ("quellion.h")
                     .contains ("extern WORD dsp3pcs[2];\n#define\tNUMBEROFPROCESS3\t0x0001\n"
                                "#define\tNUMBEROFCOMMAND3\t0x0000\nextern WORD dsp3NrpnHandler("));
}

TEST (GenerationDriver, SecondRunKeepsTheUserFiles)
{
    TestProject project;
    project.addDelayDsp (1);
    project.generate();

    const auto ideFile = project.folder.getChildFile ("MyDesign.vtc");
    juce::StringArray userFiles{ "MainAppConfig.h", "custom.h", "main.c" };

    for (auto& name : userFiles)
        editByUser (project.outputDirectory.getChildFile (name));

    editByUser (ideFile);
    const auto ideText = ideFile.loadFileAsString();
    juce::StringArray userTexts;

    for (auto& name : userFiles)
        userTexts.add (project.read (name));

    project.outputDirectory.getChildFile ("mainbus.c").replaceWithText ("stale");
    project.addDelayDsp (3);

    EXPECT_EQ (
        project.generate(),
        joinLines ({ "Files generated in directory : <out>", "MainAppConfig.h...already exist, not overwritten",
                     "quellion.h...generated", "custom.h...already exist, not overwritten", "memorymap.h...generated",
                     "dspNrpnHandler...generated", "dspInitAndRoute...generated", "dsp1.c...generated", "dsp3.c...generated",
                     "main.c...already exist, not overwritten", "midictrl.c...generated", "midictrl.h...generated",
                     "mainbus.c...generated", "presets.c/.h...generated", "quellionWrappers.s...generated",
                     "Vantix-C project: MyDesign.vtc...already exist, not overwritten", successLine }));

    for (int i = 0; i < userFiles.size(); ++i)
        EXPECT_EQ (project.read (userFiles[i]), userTexts[i]) << userFiles[i];

    EXPECT_EQ (ideFile.loadFileAsString(), ideText);

    // "custom.h" takes nothing for the DSP added since; "mainbus.c" is new.
    EXPECT_FALSE (project.read ("custom.h").contains ("DSP#3"));
    EXPECT_TRUE (project.read ("mainbus.c").contains ("dsp[2] = dsp3InitAndRoute();"));
}

TEST (GenerationDriver, AnUnwritableOutputFolderIsReported)
{
    TestProject project;
    project.addDelayDsp (1);
    const auto blocker = project.folder.getChildFile ("blocker");
    blocker.replaceWithText ("a file where the output folder should be");
    const auto output = blocker.getChildFile ("out");
    project.design.getSettings().setOutputDirectory (output.getFullPathName());

    clearLog();
    GenerationDriver driver (project.design, project.mainBus);
    driver.generateSourceFiles (false);

    EXPECT_EQ (getLogText(), "Files generated in directory : " + output.getFullPathName() + "\n" +
                                 " !!! Error#1: Unable to write into the output directory " + output.getFullPathName() +
                                 ": nothing was generated.\n" + ">>> Your design contains a total number of 1 error(s).\n");
    EXPECT_FALSE (project.folder.getChildFile ("MyDesign.vtc").exists());
}

TEST (GenerationDriver, AFileThatCannotBeWrittenIsCountedNotCalledGenerated)
{
    TestProject project;
    project.addDelayDsp (1);
    for (auto* name : { "mainbus.c", "dsp1.c", "custom.h" })
        project.outputDirectory.getChildFile (name).createDirectory();

    // A header written after the DSP sources is logged ahead of them, its
    // failure numbered where it stands.
    const auto log = project.generate();
    EXPECT_TRUE (log.contains ("quellion.h...generated\ncustom.h...not written\n !!! Error#1: Unable to write <out>/custom.h\n"
                               "memorymap.h...generated\ndspNrpnHandler...generated\ndspInitAndRoute...generated\n"
                               "dsp1.c...not written\n !!! Error#2: Unable to write <out>/dsp1.c\nmain.c...generated\n"))
        << log;
    EXPECT_TRUE (log.contains ("mainbus.c...not written\n !!! Error#3: Unable to write <out>/mainbus.c\n"));
    EXPECT_TRUE (log.endsWith (">>> Your design contains a total number of 3 error(s).\n"));
    EXPECT_EQ (getLogErrorCount(), 3);
    EXPECT_TRUE (project.read ("quellion.h").endsWith ("#endif //__QUELLION_H__"));
}

TEST (GenerationDriver, AFullDiskLeavesNoFileHalfWrittenAndCountsEachFailureOnce)
{
    // The disk is full from the start, or fills up once the first DSP source
    // is written; then space is freed and the user generates again.
    for (const bool fullFromTheStart : { true, false })
    {
        TestProject project;
        buildFeatureDesign (project);
        bool full = fullFromTheStart;
        const auto previous = setWriteFaultCheck (
            [&full] (const juce::File& file)
            {
                full = full || file.getFileName() == "dsp1.c";
                return full;
            });
        const auto log = project.generate();
        setWriteFaultCheck (previous);

        juce::StringArray failed;

        for (const auto& line : juce::StringArray::fromLines (log))
            if (line.contains ("Unable to write "))
            {
                failed.add (line.fromLastOccurrenceOf ("/", false, false));
                EXPECT_TRUE (line.startsWith (" !!! Error#")) << "an error inside an announcement: " << line;
            }

        auto distinct = failed;
        distinct.removeDuplicates (false);
        EXPECT_EQ (failed.joinIntoString (" "), distinct.joinIntoString (" ")) << log;
        EXPECT_EQ (getLogErrorCount(), failed.size()) << log;

        for (const auto& name : failed)
            EXPECT_FALSE (log.contains (name + "...generated")) << log;

        EXPECT_TRUE (failed.contains ("custom.h") && failed.contains ("memorymap.h")) << log;

        // No header is left without its end, so none is kept as the user's.
        const auto secondLog = project.generate();
        EXPECT_TRUE (secondLog.contains ("custom.h...generated")) << secondLog;

        for (const auto& name : project.listOutput())
        {
            if (name.endsWith (".h"))
            {
                EXPECT_TRUE (project.read (name).endsWith ("#endif //" + makeHeaderGuardName (juce::File ("/" + name)))) << name;
            }
        }
    }
}

TEST (GenerationDriver, ADspEmptiedOrGivenAnotherModuleSinceTheLastRunIsNoLongerStarted)
{
    for (const bool changeModule : { false, true })
    {
        TestProject project;
        project.addDelayDsp (1);
        auto& second = project.addDelayDsp (2);
        project.generate();
        ASSERT_TRUE (project.read ("mainbus.c").contains ("dsp2InitAndRoute"));

        if (changeModule)
        {
            project.design.setDspModule (2, pitchFxModule);
        }
        else
        {
            project.graph (2).removeNode (second.getId());
            project.library.findDsp (2)->clearProcessInstances();
        }

        const auto log = project.generate();
        EXPECT_TRUE (log.contains ("\"dsp2.c\" of an earlier generation is replaced by an empty one")) << log;
        EXPECT_FALSE (project.read ("dsp2.c").contains ("dsp2InitAndRoute")) << changeModule;
        EXPECT_TRUE (log.endsWith (juce::String (successLine) + "\n")) << log;

        const auto mainBus = project.read ("mainbus.c");
        EXPECT_FALSE (mainBus.contains ("dsp2InitAndRoute")) << changeModule;
        EXPECT_TRUE (mainBus.contains ("\tWORD dspIndex = 0;\n\tdsp[0] = dsp1InitAndRoute();\n")) << changeModule;
    }
}

TEST (GenerationDriver, ADspWithoutItsModuleIsLeftOutEverywhere)
{
    TestProject project;
    project.addDelayDsp (1);
    project.addDelayDsp (2);
    project.library.findDsp (2)->moduleId = 0x0999;

    const auto log = project.generate();
    EXPECT_TRUE (log.contains ("in DSP#2\n")) << log;
    EXPECT_FALSE (log.contains ("dsp2.c"));
    EXPECT_TRUE (log.endsWith (">>> Your design contains a total number of 1 error(s).\n")) << log;
    EXPECT_FALSE (project.listOutput().contains ("dsp2.c"));
    EXPECT_FALSE (project.read ("mainbus.c").contains ("dsp2InitAndRoute"));
    EXPECT_FALSE (project.read ("midictrl.c").contains ("dsp2NrpnHandler"));
    EXPECT_FALSE (project.read ("quellion.h").contains ("dsp2"));
    EXPECT_FALSE (project.read ("custom.h").contains ("DSP#2"));
}

TEST (GenerationDriver, ADspTheModelCannotAccountForIsLeftOut)
{
    const struct
    {
        const char* name;
        uint32_t dsp;
        std::function<void (TestProject&)> build;
        const char* error;
    } cases[] = {
        { "no processes in the registry", 2,
          [] (TestProject& p)
          {
              p.addDsp (2);
              p.graph (2).addNode ("Stray", true, nullptr, 0.5, 0.5);
          },
          " !!! Error#1: The module library holds no process of this DSP: no source generated in DSP#2\n" },
        { "not on the bus", 5,
          [] (TestProject& p)
          {
              p.addDelayDsp (5);
              p.design.getBusGraph().removeNode (5);
          },
          " !!! Error#1: The DSP is not on the bus: no source generated in DSP#5\n" },
    };

    for (auto& c : cases)
    {
        TestProject project;
        project.addDelayDsp (1);
        c.build (project);

        const auto log = project.generate();
        EXPECT_TRUE (log.contains ("dsp1.c...generated\n" + juce::String (c.error) + "main.c...generated\n")) << c.name << ":\n"
                                                                                                              << log;
        EXPECT_EQ (getLogErrorCount(), 1) << c.name;

        const auto dsp = juce::String (c.dsp);
        EXPECT_FALSE (project.listOutput().contains ("dsp" + dsp + ".c")) << c.name;
        EXPECT_FALSE (project.read ("mainbus.c").contains ("dsp" + dsp + "InitAndRoute")) << c.name;
        EXPECT_FALSE (project.read ("custom.h").contains ("DSP#" + dsp)) << c.name;
    }
}

TEST (GenerationDriver, ADesignWithoutDspSourcesSaysSoAndKeepsItsFilesValid)
{
    for (const bool withDsps : { true, false })
    {
        TestProject project;

        if (withDsps)
        {
            project.addDsp (1);
            project.addDsp (2);
        }

        const auto log = project.generate();
        EXPECT_TRUE (log.contains ("dspInitAndRoute...generated\n !!! Error#1: No DSP of the design has processes: no DSP "
                                   "source was generated.\nmain.c...generated\n"))
            << log;
        EXPECT_EQ (getLogErrorCount(), 1);
        EXPECT_FALSE (project.listOutput().contains ("dsp1.c"));

        const auto mainBus = project.read ("mainbus.c");
        EXPECT_FALSE (mainBus.contains ("dspRouting_In"));
        EXPECT_FALSE (mainBus.contains ("dspIndex"));
        EXPECT_TRUE (
            project.read ("quellion.h").contains (withDsps ? "#define NBDSPINITIALIZED 2\n" : "#define NBDSPINITIALIZED 1\n"));
    }
}

TEST (GenerationDriver, DesignChecksAreLoggedAndCountedAndTheRunGoesOn)
{
    struct Case
    {
        const char* name;
        std::function<void (TestProject&)> build;
        const char* expected;
    };

    const std::vector<Case> cases{
        { "rate",
          [] (TestProject& p)
          {
              p.design.getSettings().setSamplingIndex (3);
              p.addDsp (1, 0x0022);
              auto& gain = p.add (1, "Gain");
              p.dspInput (1, gain, 0, 0);
              p.dspOutput (1, gain, 0, 0);
          },
          " !!! Error#1: The current selected sampling rate is not handled by the module in DSP#1\ndsp1.c...generated\n" },
        { "external RAM",
          [] (TestProject& p)
          {
              p.design.getSettings().setMemorySizeIndex (0);
              p.addDelayDsp (1);
          },
          " !!! Error#1: A process is using External RAM, but external memory size is zero.\nmidictrl.c...generated\n" },
        { "external RAM overrun",
          [] (TestProject& p)
          {
              // 64 kwords; the module's block and a second of delay at 48 kHz, doubled in external RAM.
              p.design.getSettings().setMemorySizeIndex (1);
              p.design.getSettings().setSamplingIndex (1);
              p.addChainDsp (1, { "LongDelay" }, { 1000 });
          },
          " !!! Error#1: The memory map reserves 97024 words of External RAM, but external memory size is 65536 words.\n"
          "midictrl.c...generated\n" },
        { "overload",
          [] (TestProject& p)
          {
              p.design.getSettings().setSamplingIndex (5);
              juce::StringArray delays;

              for (int i = 0; i < 15; ++i)
                  delays.add ("ShortDelay");

              p.addChainDsp (1, delays);
          },
          " !!! Error#1: One or several DSP(s) is/are overloaded.\nmidictrl.c...generated\n" },
        { "wire from an empty DSP",
          [] (TestProject& p)
          {
              p.addDelayDsp (1);
              p.addDsp (2);
              p.busConnect (2, 0, 1, 1);
          },
          " !!! Error#1: Bus connection from DSP#2 output 0 to DSP#1 input 1 left out: no source was generated for "
          "DSP#2\nmainbus.c...generated\n" },
    };

    for (auto& c : cases)
    {
        TestProject project;
        c.build (project);
        const auto log = project.generate();
        EXPECT_TRUE (log.contains (c.expected)) << c.name << ":\n" << log;
        EXPECT_EQ (getLogErrorCount(), 1) << c.name << ":\n" << log;
        EXPECT_TRUE (log.endsWith (">>> Your design contains a total number of 1 error(s).\n")) << c.name;
        EXPECT_TRUE (project.listOutput().contains ("mainbus.c")) << c.name;
    }
}

TEST (GenerationDriver, PresetSourcesAreListedAsTheyAreWritten)
{
    struct Case
    {
        bool processPresets, globalPresets;
        juce::StringArray listed;
        const char* logged;
    };

    // The process-preset loader always exists: the global loader calls it,
    // and it replaces the tables of an earlier generation.
    const std::vector<Case> cases{
        { false, false, { "presets.c", "presets.h" }, "presets.c/.h...generated\n" },
        { true, false, { "presets.c", "presets.h" }, "presets.c/.h...generated\n" },
        { false,
          true,
          { "GlobalPresets.c", "GlobalPresets.h", "presets.c", "presets.h" },
          "GlobalPresets.c/.h...generated\npresets.c/.h...generated\n" },
        { true,
          true,
          { "presets.c", "presets.h", "GlobalPresets.c", "GlobalPresets.h" },
          "presets.c/.h...generated\nGlobalPresets.c/.h...generated\n" },
    };

    for (auto& c : cases)
    {
        TestProject project;
        project.addDelayDsp (1);
        DriverWithPresets driver (project.design, project.mainBus, c.processPresets, c.globalPresets);
        const auto log = project.generate (driver);

        auto expected = names ({ "mainbus.c" });
        expected.addArray (c.listed);
        expected.add ("quellionWrappers.s");
        const auto& list = driver.getFileList();
        EXPECT_EQ (juce::StringArray (list.begin() + list.indexOf ("mainbus.c"), list.size() - list.indexOf ("mainbus.c")),
                   expected);
        EXPECT_TRUE (log.contains ("mainbus.c...generated\n" + juce::String (c.logged) + "quellionWrappers.s...generated\n"))
            << log;
        EXPECT_EQ (project.read ("presets.c").contains ("quellion_LoadPreset"), ! c.processPresets);

        const auto ide = project.folder.getChildFile ("MyDesign.vtc").loadFileAsString();
        EXPECT_TRUE (ide.contains ("mainbus.c\r\n" + c.listed.joinIntoString ("\r\n") + "\r\nquellionWrappers.s\r\n[WINDOWS]"));
    }
}

TEST (GenerationDriver, FeaturesOfTheDspsChooseTheSharedSources)
{
    TestProject project;
    buildFeatureDesign (project);

    const auto log = project.generate();
    EXPECT_TRUE (log.contains ("midictrl.h...generated\nfbcHandler.c/.h...generated\nmainbus.c...generated\n")) << log;
    EXPECT_TRUE (log.endsWith (juce::String (successLine) + "\n")) << log;

    const auto listed = project.listOutput();

    for (auto* name : { "BiquadCtrl.c", "BiquadCtrl.h", "fbcHandler.c", "fbcHandler.h" })
        EXPECT_TRUE (listed.contains (name)) << name;

    EXPECT_TRUE (project.read ("custom.h")
                     .contains ("//#define _customFilterQ\nvoid customFilterQ( _FILTER_PARAM *iirFP, "
                                "BiquadParameters *biquadParam, WORD dspId, WORD procId, WORD band, "
                                "DWORD v );\n\n\n\n#endif //__CUSTOM_H__"));
    EXPECT_TRUE (project.read ("BiquadCtrl.c").contains ("case FILTER_HS2:"));
    EXPECT_TRUE (project.read ("fbcHandler.c").contains ("FBCStatus fbcStatus1;\n"));
    EXPECT_TRUE (project.read ("main.c").contains ("#include \"fbcHandler.h\"\n#include <libKTL7000.h>\n"));
    EXPECT_TRUE (
        project.read ("main.c").contains ("\t_Sys_ClockInit( 48000 / 4, _SYS_OSCSWITCH(changeSytemSamplingRate) );\n\n"));

    const auto ide = project.folder.getChildFile ("MyDesign.vtc").loadFileAsString();
    EXPECT_TRUE (ide.contains ("midictrl.h\r\nBiquadCtrl.c\r\nBiquadCtrl.h\r\nfbcHandler.c\r\nfbcHandler.h\r\nmainbus.c\r\n"));
    EXPECT_TRUE (ide.contains ("[USERVARS]\r\n_BOARD_USE_SPDIF\r\n[EMBED]"));
}

TEST (GenerationDriver, FeatureSourcesOfAnEarlierRunDoNotOutliveTheirFeatures)
{
    TestProject project;
    buildFeatureDesign (project);
    project.generate();

    // The biquads of DSP 1 and the canceller of DSP 2 go, DSP 3 is emptied;
    // the user files and the IDE project of the first run are kept.
    for (const uint32_t dsp : { 1u, 2u })
    {
        project.design.setDspModule (dsp, studioCoreModule);
        auto& delay = project.add (dsp, "ShortDelay");
        project.dspInput (dsp, delay, 0, 0);
        project.dspOutput (dsp, delay, 0, 0);
    }

    project.design.setDspModule (3, pitchFxModule);
    const auto log = project.generate();
    EXPECT_EQ (getLogErrorCount(), 0) << log;

    struct Stale
    {
        const char* file;
        const char* earlierContent;
        const char* note;
    };

    for (const auto& stale : { Stale{ "fbcHandler.c", "FBC_InitStatus", "no feedback canceller is generated: " },
                               Stale{ "BiquadCtrl.c", "FilterCoefficientsUpdate", "no biquad control is generated: " },
                               Stale{ "BiquadCtrl.h", "SetFilterGain", "no biquad control is generated: \"BiquadCtrl.c/.h\"" },
                               Stale{ "dsp3.c", "dsp3InitAndRoute", "no source is generated for DSP 3: " } })
    {
        EXPECT_FALSE (project.read (stale.file).contains (stale.earlierContent)) << stale.file;
        EXPECT_TRUE (log.contains (juce::String ("Note: ") + stale.note)) << log;
    }

    // What the kept IDE project lists is there, and the kept main.c, which
    // still starts the canceller, builds with the rest as one firmware.
    EXPECT_EQ (project.findFilesMissingFromIdeProject().joinIntoString (" "), "");
    ASSERT_TRUE (project.read ("main.c").contains ("FBC_BaseLevels();"));

    if (hasHostCompiler())
    {
        EXPECT_EQ (linkWithSdk (project.outputDirectory), "");
    }
}

TEST (GenerationDriver, WhatTheBusRoutingLeavesOutIsLoggedBeforeItsFile)
{
    TestProject project;
    project.addDelayDsp (1);
    project.addDelayDsp (2);
    project.busConnect (1, 0, 2, 9);
    project.chipPin (1, 0, true, "DAAD0L\";");

    EXPECT_TRUE (project.generate().contains (
        "midictrl.h...generated\n"
        " !!! Error#1: Bus connection from DSP#1 output 0 to DSP#2 input 9 left out: channels run from 0 to 7\n"
        " !!! Error#2: Chip pin \"DAAD0L\";\" on DSP#1 input 0 left out: no such chip pin\n"
        "mainbus.c...generated\n"));
    EXPECT_EQ (getLogErrorCount(), 2);
    EXPECT_TRUE (project.read ("mainbus.c").contains ("\t{0,0,0,0,0,0,0,0},\n\t{0,0,0,0,0,0,0,0}\n};"));
}

TEST (GenerationDriver, WithoutTheModuleLibraryNothingIsGenerated)
{
    TestProject project;
    project.addDelayDsp (1);
    project.design.setLibrary (nullptr);

    EXPECT_EQ (project.generate(), joinLines ({ "Files generated in directory : <out>",
                                                " !!! Error#1: The module library \"Modules.def\" was not read: nothing can be "
                                                "generated.",
                                                ">>> Your design contains a total number of 1 error(s)." }));
    EXPECT_TRUE (project.listOutput().isEmpty());
}
