#include "generator/ProjectHeaders.h"

#include <gtest/gtest.h>

TEST (ProjectHeaders, TheSamplingRateIsWrittenInHzWithoutDecimals)
{
    const struct
    {
        double khz;
        const char* hz;
    } cases[] = { { 44.1, "44100" }, { 48.0, "48000" },   { 88.2, "88200" },
                  { 96.0, "96000" }, { 176.4, "176400" }, { 192.0, "192000" } };

    for (auto& c : cases)
    {
        EXPECT_EQ (ProjectHeaders::formatSamplingRateHz (c.khz), c.hz);
        EXPECT_TRUE (ProjectHeaders::makeBiquadControlSource ({}, c.khz).contains (
            "\tiirFP->fs = (FLOAT)_float(_Sys_GetSamplingRate()); // default sampling rate at " + juce::String (c.hz) +
            "Hz (floating point value)\n\n"))
            << c.hz;
    }
}

TEST (ProjectHeaders, ExtendedBiquadsAddTheirShelvesAndTypeSetUp)
{
    FirmwareFeatures plain;
    plain.biquadControl = true;
    auto extended = plain;
    extended.extendedBiquad = true;

    const auto plainSource = ProjectHeaders::makeBiquadControlSource (plain, 48.0);
    const auto extendedSource = ProjectHeaders::makeBiquadControlSource (extended, 48.0);

    for (auto* text : { "case FILTER_HS2:", "case FILTER_LS2:", "void initBiquadExType( WORD *biquadType, WORD count )" })
    {
        EXPECT_FALSE (plainSource.contains (text)) << text;
        EXPECT_TRUE (extendedSource.contains (text)) << text;
    }

    // The switch runs through the cases in their order either way.
    EXPECT_LT (extendedSource.indexOf ("case FILTER_LS1:"), extendedSource.indexOf ("case FILTER_HS2:"));
    EXPECT_LT (extendedSource.indexOf ("case FILTER_LS2:"), extendedSource.indexOf ("case FILTER_AP1:"));
    EXPECT_TRUE (plainSource.startsWith ("#include <system.h>\n#include <libktl7000.h>\n#include \"quellion.h\"\n"
                                         "#include \"BiquadCtrl.h\"\n#include \"custom.h\"\n"));

    const auto prototype = "void initBiquadExType( WORD *biquadType, WORD count );\n\n#endif //__BIQUADCTRL_H__";
    EXPECT_TRUE (ProjectHeaders::makeBiquadControlHeader (extended).endsWith (prototype));
    EXPECT_FALSE (ProjectHeaders::makeBiquadControlHeader (plain).contains ("initBiquadExType"));
    EXPECT_TRUE (ProjectHeaders::makeBiquadControlHeader (plain).startsWith (
        "#ifndef __BIQUADCTRL_H__\n#define __BIQUADCTRL_H__\n// Biquad filter type defines & Biquad control function "
        "prototypes\n"));
}

TEST (ProjectHeaders, HookBlocksFollowTheVariant)
{
    EXPECT_EQ (ProjectHeaders::writeCustomHeader (3, false),
               "//DSP#3 custom functions, uncomment the '#define' line where you want to add custom code, and implement the "
               "function below the '#define' in a separate C file\n"
               "//#define _customPreInitFunction3\nWORD customPreInitFunction3( WORD dspId );\n"
               "//#define _customPostInitFunction3\nWORD customPostInitFunction3( WORD dspId );\n"
               "//#define _customPreNrpnFunction3\nWORD customPreNrpnFunction3( WORD dspId, WORD command, WORD index, WORD "
               "val8bit, WORD value, DWORD dvalue );\n"
               "//#define _customPostNrpnFunction3\nWORD customPostNrpnFunction3( WORD dspId, WORD command, WORD index, WORD "
               "val8bit, WORD value, DWORD dvalue );\n\n");

    EXPECT_EQ (ProjectHeaders::writeCustomHookStub (1, 12, "();"), "customPostInitFunction12();");
    EXPECT_EQ (ProjectHeaders::writeCustomHookStub (4, 12, "();"), "");

    EXPECT_EQ (ProjectHeaders::writeBiquadCustomFunctions(),
               "// BiquadCtrl.c custom functions, uncomment the '#define' line where you want to add custom code, and "
               "implement the function below the '#define' in a separate C file\n"
               "//#define _customFilterFreq\nvoid customFilterFreq( _FILTER_PARAM *iirFP, BiquadParameters *biquadParam, "
               "WORD dspId, WORD procId, WORD band, DWORD v );\n\n"
               "//#define _customFilterGain\nvoid customFilterGain( _FILTER_PARAM *iirFP, BiquadParameters *biquadParam, "
               "WORD dspId, WORD procId, WORD band, DWORD v );\n\n"
               "//#define _customFilterQ\nvoid customFilterQ( _FILTER_PARAM *iirFP, BiquadParameters *biquadParam, "
               "WORD dspId, WORD procId, WORD band, DWORD v );\n\n\n");
}

TEST (ProjectHeaders, TheDspCountIsTheHighestDspNumber)
{
    EXPECT_TRUE (ProjectHeaders::writeSharedHeaderDefs (3).startsWith ("#define NBDSPINITIALIZED 3\n\n"));
    EXPECT_TRUE (ProjectHeaders::writeSharedHeaderDefs (16).startsWith ("#define NBDSPINITIALIZED 16\n\n"));

    // Without any DSP the arrays it sizes still have one element.
    EXPECT_TRUE (ProjectHeaders::writeSharedHeaderDefs (0).startsWith ("#define NBDSPINITIALIZED 1\n\n"));

    const auto shared = ProjectHeaders::writeSharedHeaderDefs (2);

    for (auto* text : { "WORD dichotomicSearch( PTR32 table, WORD rowSize, WORD itemIndex, WORD tableLen, WORD valueToSearch );",
                        "extern WORD dsp[NBDSPINITIALIZED];", "} BiquadParameters;", "} BiquadParamsTable;",
                        "} BiquadCommandParamsTable;", "} UpdateCoeffCallback;", "DWORD *frequency; // 20.12 fixedpoint format" })
        EXPECT_TRUE (shared.contains (text)) << text;
}
