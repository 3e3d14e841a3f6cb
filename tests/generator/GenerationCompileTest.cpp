// Every C source and header of a generation must be C that the firmware's
// compiler accepts: each design's output is checked by the host's C compiler
// against small headers of our own that declare the SDK names it uses, and
// every header is included twice in one unit to check its guard.

#include "GenerationTestProject.h"
#include "HandlerTestDesigns.h"

#include <gtest/gtest.h>

#include <functional>

using namespace generatortest;

namespace
{
struct CompileDesign
{
    const char* name;
    bool commandVariant;
    std::function<void (TestProject&)> build;
};

void oneDelay (TestProject& project)
{
    project.addDelayDsp (1);
}

void dspsOneAndThree (TestProject& project)
{
    project.addDelayDsp (1);
    project.addDelayDsp (3);
    project.busConnect (1, 0, 3, 0);
    project.chipPin (3, 0, false, "DABD0L");
}

void emptyDsps (TestProject& project)
{
    project.addDsp (1);
    project.addDsp (2);
}

void atRate (TestProject& project, int samplingIndex)
{
    project.design.getSettings().setSamplingIndex (samplingIndex);
    oneDelay (project);
}

const std::vector<CompileDesign>& getCompileDesigns()
{
    static const std::vector<CompileDesign> designs{
        { "oneDelay", false, oneDelay },
        { "oneDelayCommand", true, oneDelay },
        { "dspsOneAndThree", false, dspsOneAndThree },
        { "dspsOneAndThreeCommand", true, dspsOneAndThree },
        { "features", false, buildFeatureDesign },
        { "featuresCommand", true, buildFeatureDesign },
        { "emptyDsps", false, emptyDsps },
        { "noDsp", false, [] (TestProject&) {} },
        { "at96kHz", false, [] (TestProject& p) { atRate (p, 3); } },
        { "at176kHz", false, [] (TestProject& p) { atRate (p, 4); } },
        { "controls", false, buildControlProject },
        { "controlsCommand", true, buildControlProject },
    };

    return designs;
}

class GenerationCompileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (! hasHostCompiler())
            GTEST_SKIP() << "no host C compiler (cc)";
    }

    // A unit that includes the header twice, after what it expects before it.
    static juce::File makeGuardUnit (const juce::File& header, const juce::File& folder)
    {
        const auto unit = folder.getChildFile ("twice_" + header.getFileNameWithoutExtension() + ".c");
        const auto include = "#include \"" + header.getFileName() + "\"\n";
        const auto prerequisites = header.getFileName() == "custom.h" ? "#include <system.h>\n#include \"quellion.h\"\n" : "";
        unit.replaceWithText (prerequisites + include + include);
        return unit;
    }
};
} // namespace

TEST_F (GenerationCompileTest, EverySourceAndHeaderCompiles)
{
    for (auto& design : getCompileDesigns())
    {
        TestProject project;
        design.build (project);
        project.generate (design.commandVariant);

        const auto units = project.root.getFile().getChildFile ("units");
        units.createDirectory();
        int sources = 0, headers = 0;

        for (const auto& entry : juce::RangedDirectoryIterator (project.outputDirectory, false, "*.c;*.h"))
        {
            const auto file = entry.getFile();
            const bool isHeader = file.hasFileExtension ("h");
            const auto unit = isHeader ? makeGuardUnit (file, units) : file;
            EXPECT_EQ (compileWithSdk (unit, project.outputDirectory), "") << design.name << ": " << file.getFileName();
            ++(isHeader ? headers : sources);
        }

        EXPECT_GE (sources, 3) << design.name;
        EXPECT_GE (headers, 5) << design.name;
    }
}

TEST_F (GenerationCompileTest, EveryDesignLinksAsOneFirmware)
{
    // Every name a generated source uses is defined by another one, or is the
    // SDK's or the assembly wrappers': the main program, the control source
    // and the DSP sources of either variant belong together.
    for (auto& design : getCompileDesigns())
    {
        TestProject project;
        design.build (project);
        project.generate (design.commandVariant);
        EXPECT_EQ (linkWithSdk (project.outputDirectory), "") << design.name;
    }
}

TEST_F (GenerationCompileTest, WithoutTheNrpnControlTheSourcesStillCompile)
{
    // A firmware built with _SKIP_ZQV_NRPN_CTRL leaves out the biquad
    // control's variables; nothing outside the guard may use them.
    for (auto& design : getCompileDesigns())
    {
        TestProject project;
        design.build (project);
        project.generate (design.commandVariant);

        for (const auto& entry : juce::RangedDirectoryIterator (project.outputDirectory, false, "*.c"))
            EXPECT_EQ (compileWithSdk (entry.getFile(), project.outputDirectory, { "-D_SKIP_ZQV_NRPN_CTRL" }), "")
                << design.name << ": " << entry.getFile().getFileName();
    }
}
