// Every generated preset source must be C that the firmware's compiler
// accepts, in either variant: each pair of files is checked by the host's C
// compiler against the project headers generated beside them and small
// headers of our own that declare the SDK names they use, and every header
// is included twice in one unit to check its guard.

#include "GeneratorTestSupport.h"
#include "PresetSourceTestDocuments.h"

#include "generator/FirmwareFeatures.h"
#include "generator/MainBusFile.h"
#include "generator/PresetSourceGenerator.h"
#include "generator/ProjectHeaders.h"
#include "generator/SourceFiles.h"
#include "model/DesignLog.h"
#include "model/PresetTestHelpers.h"

#include <gtest/gtest.h>

using namespace presetsourcetest;

namespace
{
struct PresetCase
{
    const char* name;
    bool processPresets;
    bool globalPresets;
    bool biquads;
    bool commandVariant = false;
};

class PresetSourceCompileTest : public ::testing::TestWithParam<PresetCase>
{
protected:
    void SetUp() override
    {
        clearLog();

        if (! generatortest::hasHostCompiler())
            GTEST_SKIP() << "no host C compiler (cc)";
    }

    void TearDown() override { clearLog(); }

    void store (const juce::String& name, const juce::String& text)
    {
        EXPECT_TRUE (writeTextToFile (text, folder.getFile (name), false));
    }

    // The project headers the preset sources include, as a generation
    // writes them beside them.
    void writeProjectHeaders (const juce::String& controlHeader, bool nrpnVariant)
    {
        FirmwareFeatures features;
        features.extendedBiquad = true;
        store ("quellion.h", ProjectHeaders::makeSharedHeaderHead (1) + makeHeaderGuardClose (juce::File ("/quellion.h")));
        store ("BiquadCtrl.h", ProjectHeaders::makeBiquadControlHeader (features));
        store (controlHeader, makeGuardedHeader (controlHeader, MainBusFile::getControlHeaderText (nrpnVariant)));
    }

    juce::String compile (const juce::String& name) const
    {
        return generatortest::compileWithSdk (folder.getFile (name), folder.getFolder());
    }

    PresetTestHelpers::ScratchFolder folder;
    Design design;
};

const PresetCase presetCases[] = {
    { "processOnly", true, false, false },
    { "processOnlyBiquads", true, false, true },
    { "globalOnly", false, true, false },
    { "globalOnlyBiquads", false, true, true },
    { "both", true, true, true },
    { "neither", false, false, false },
    { "bothCommand", true, true, true, true },
    { "globalOnlyCommand", false, true, false, true },
    { "neitherCommand", false, false, false, true },
};
} // namespace

TEST_P (PresetSourceCompileTest, EveryPresetSourceCompiles)
{
    const auto& presetCase = GetParam();
    const auto controlHeader = MainBusFile::getControlHeaderName (! presetCase.commandVariant);
    PresetSourceGenerator generator (design, controlHeader);

    addGlobalPreset (design, "GlobalPresetA", { { 1, { key (2, 0, 0) } }, { 2, { key (1, 0, 2) } } });
    addGlobalPreset (design, "GlobalPresetB", { { 1, { key (2, 1, 0), key (3, 0, 2) } } });

    std::optional<PresetSourceGenerator::Files> processFiles;

    if (presetCase.processPresets)
    {
        ASSERT_TRUE (folder.getFile ("Design.presets").replaceWithText (processDocument));
        processFiles = generator.makeProcessPresetFiles (folder.getFile ("Design.presets"), presetCase.biquads);
        ASSERT_TRUE (processFiles.has_value());
    }

    std::optional<PresetSourceGenerator::Files> globalFiles;

    if (presetCase.globalPresets)
    {
        ASSERT_TRUE (folder.getFile ("Design_global.presets").replaceWithText (globalDocument));
        globalFiles = generator.makeGlobalPresetFiles (folder.getFile ("Design_global.presets"), presetCase.biquads);
        ASSERT_TRUE (globalFiles.has_value());
    }

    const auto presets = processFiles.value_or (PresetSourceGenerator::makeLoaderOnlyFiles (presetCase.biquads, controlHeader));
    store ("presets.h", presets.header);
    store ("presets.c", presets.source);
    writeProjectHeaders (controlHeader, ! presetCase.commandVariant);
    juce::String unit = "#include \"presets.h\"\n#include \"presets.h\"\n";

    EXPECT_EQ (compile ("presets.c"), "");

    if (globalFiles.has_value())
    {
        store ("GlobalPresets.h", globalFiles->header);
        store ("GlobalPresets.c", globalFiles->source);
        EXPECT_EQ (compile ("GlobalPresets.c"), "");
        unit << "#include \"GlobalPresets.h\"\n#include \"GlobalPresets.h\"\n";
    }

    store ("guards.c", unit);
    EXPECT_EQ (compile ("guards.c"), "");
    EXPECT_EQ (getLogErrorCount(), 0) << getLogText();
}

INSTANTIATE_TEST_SUITE_P (PresetCases, PresetSourceCompileTest, ::testing::ValuesIn (presetCases),
                          [] (const ::testing::TestParamInfo<PresetCase>& caseInfo)
                          { return std::string (caseInfo.param.name); });
