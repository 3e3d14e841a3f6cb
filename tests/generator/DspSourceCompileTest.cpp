// The generated DSP sources must be C that the firmware's compiler accepts:
// each design's files are checked by the host's C compiler against small
// headers of our own that declare the SDK names they use.

#include "DspSourceTestDesigns.h"

#include "generator/FirmwareFeatures.h"
#include "generator/MainBusFile.h"
#include "generator/ProjectHeaders.h"
#include "generator/SourceFiles.h"

#include <gtest/gtest.h>

using namespace generatortest;

namespace
{
struct CompileResult
{
    bool ran = false;
    int exitCode = -1;
    juce::String output;
};

class DspSourceCompileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (folder.getFile().createDirectory());

        if (! hasHostCompiler())
            GTEST_SKIP() << "no host C compiler (cc)";
    }

    void TearDown() override { folder.getFile().deleteRecursively(); }

    // The DSP source as the driver writes it, with the generated project
    // headers it includes; in "custom.h" every hook is taken, as a user
    // would take them.
    juce::File writeProject (const GeneratedDsp& generated, bool commandVariant)
    {
        const auto out = folder.getFile().getChildFile (generated.name);
        const auto source = out.getChildFile ("dsp" + juce::String (generated.dspId) + ".c");
        FirmwareFeatures features;
        features.add (generated.features);
        features.extendedBiquad = true;

        auto store = [&out] (const juce::String& name, const juce::String& text)
        { EXPECT_TRUE (writeTextToFile (text, out.getChildFile (name), false)); };

        store ("quellion.h", ProjectHeaders::makeSharedHeaderHead (generated.dspId) + generated.texts.declarations +
                                 makeHeaderGuardClose (juce::File ("/quellion.h")));
        store ("memorymap.h", makeGuardedHeader ("memorymap.h", "#include \"MainAppConfig.h\"\n" + generated.texts.memory));
        store ("MainAppConfig.h", ProjectHeaders::makeMainAppConfig (MainBusFile().getUserCode()));
        store ("custom.h",
               (ProjectHeaders::makeCustomHeaderHead() + ProjectHeaders::writeCustomHeader (generated.dspId, ! commandVariant) +
                ProjectHeaders::writeBiquadCustomFunctions() + makeHeaderGuardClose (juce::File ("/custom.h")))
                   .replace ("//#define _", "#define _"));
        store ("BiquadCtrl.h", ProjectHeaders::makeBiquadControlHeader (features));
        const auto controlHeader = MainBusFile::getControlHeaderName (! commandVariant);
        store (controlHeader, makeGuardedHeader (controlHeader, MainBusFile::getControlHeaderText (! commandVariant)));
        store (source.getFileName(), generated.texts.body);
        return source;
    }

    CompileResult compile (const juce::File& source) const
    {
        const auto sdk = getSdkFolder();
        juce::ChildProcess compiler;
        CompileResult result;

        result.ran =
            compiler.start (juce::StringArray{ "cc", "-std=c99", "-fsyntax-only", "-Werror=implicit-function-declaration",
                                               "-Werror=implicit-int", "-Werror=incompatible-pointer-types",
                                               "-Werror=int-conversion", "-I", sdk.getFullPathName(), source.getFullPathName() });

        if (result.ran)
        {
            result.output = compiler.readAllProcessOutput();
            compiler.waitForProcessToFinish (60000);
            result.exitCode = (int) compiler.getExitCode();
        }

        return result;
    }

    static bool hasErrorMarks (const GeneratedDsp& generated)
    {
        for (auto* mark : { "ROUTING_ERROR_", "MEMORY_INIT_ERROR", "unknown_return_LIBVAR", "unknown_parameter_LIBVAR" })
            if (generated.texts.body.contains (mark))
                return true;

        return false;
    }

    juce::TemporaryFile folder;
};
} // namespace

TEST_F (DspSourceCompileTest, CleanDesignsCompile)
{
    int compiled = 0;

    for (auto& design : getTestDesigns())
    {
        const auto generated = generateDesign (design);

        if (hasErrorMarks (generated))
            continue;

        const auto result = compile (writeProject (generated, design.commandVariant));
        ASSERT_TRUE (result.ran);
        EXPECT_EQ (result.exitCode, 0) << design.name << ":\n" << result.output;
        ++compiled;
    }

    EXPECT_GE (compiled, 4);
}

TEST_F (DspSourceCompileTest, DesignErrorsStopTheFirmwareBuildWhereTheyStand)
{
    int checked = 0;

    for (auto& design : getTestDesigns())
    {
        const auto generated = generateDesign (design);

        if (! hasErrorMarks (generated))
            continue;

        const auto result = compile (writeProject (generated, design.commandVariant));
        ASSERT_TRUE (result.ran);
        EXPECT_NE (result.exitCode, 0) << design.name;
        EXPECT_TRUE (result.output.contains ("ROUTING_ERROR_") || result.output.contains ("MEMORY_INIT_ERROR"))
            << design.name << ":\n"
            << result.output;
        EXPECT_FALSE (generated.log.isEmpty()) << design.name;
        ++checked;
    }

    EXPECT_GE (checked, 2);
}
