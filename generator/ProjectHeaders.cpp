#include "generator/ProjectHeaders.h"

#include "generator/EqualiserLists.h"
#include "generator/SourceFiles.h"
#include "generator/templates/DspSourceBlocks.h"
#include "generator/templates/ProjectHeaderTemplates.h"

#include <cstdio>
#include <iterator>

namespace
{
// The parameter lists of the four hooks, NRPN variant then command variant.
const char* const hookParameters[2][4] = {
    { "( WORD dspId );\n", "( WORD dspId );\n", "( WORD dspId, WORD nrpn, DWORD *pval, WORD format );\n",
      "( WORD dspId, WORD nrpn, WORD val8bit, WORD value, DWORD dvalue );\n" },
    { "( WORD dspId );\n", "( WORD dspId );\n",
      "( WORD dspId, WORD command, WORD index, WORD val8bit, WORD value, DWORD dvalue );\n",
      "( WORD dspId, WORD command, WORD index, WORD val8bit, WORD value, DWORD dvalue );\n" }
};

const char* const biquadHookNames[] = { "customFilterFreq", "customFilterGain", "customFilterQ" };

// The slope enumerator of BiquadCtrl.h for a crossover of the lists.
juce::String getSlopeName (const CrossoverCode& crossover)
{
    const char* const orders[] = { "", "1ST", "2ND", "3RD", "4TH", "", "6TH", "", "8TH" };
    const auto family = crossover.family == "Butterworth" ? "BUTTERWORTH_"
                        : crossover.family == "Bessel"    ? "BESSEL_"
                                                          : "LINKRILEY_";
    return family +
           juce::String (juce::isPositiveAndBelow (crossover.order, (int) std::size (orders)) ? orders[crossover.order] : "");
}

// The crossover codes of the band type lists, so that the firmware decodes
// exactly what the control panels and the NRPN list offer.
juce::String makeCrossoverDecoder()
{
    juce::String text ("// The crossover a code of the band type lists stands for; XOVER_FLAT for\n"
                       "// any other code.\n"
                       "WORD getCrossoverType( WORD code )\n{\n\tswitch ( code )\n\t{\n");

    for (const auto& crossover : getCrossoverCodes())
        text << "\t\tcase " << crossover.code << ": return XOVER_TYPE( " << (crossover.highPass ? "XOVER_HP" : "XOVER_LP") << ", "
             << getSlopeName (crossover) << " ); // " << crossover.text << "\n";

    return text + "\t\tdefault: return XOVER_FLAT;\n\t}\n}\n\n";
}
} // namespace

juce::String ProjectHeaders::makeMainAppConfig (const juce::String& memoryBaseBlock)
{
    return userFileComment + makeGuardedHeader ("MainAppConfig.h", memoryBaseBlock);
}

juce::String ProjectHeaders::makeSharedHeaderHead (uint32_t highestDspNumber)
{
    return makeHeaderGuardOpen (headerFileNamed ("quellion.h")) + writeSharedHeaderDefs (highestDspNumber);
}

juce::String ProjectHeaders::writeSharedHeaderDefs (uint32_t highestDspNumber)
{
    return "#define NBDSPINITIALIZED " + juce::String (juce::jmax (1u, highestDspNumber)) +
           ProjectHeaderTemplates::quellionSharedDefinitions;
}

juce::String ProjectHeaders::makeCustomHeaderHead()
{
    return userFileComment + makeHeaderGuardOpen (headerFileNamed ("custom.h"));
}

juce::String ProjectHeaders::writeCustomHeader (uint32_t dspNumber, bool nrpnVariant)
{
    juce::String text ("//DSP#" + juce::String (dspNumber) +
                       " custom functions, uncomment the '#define' line where you want to add custom code, and "
                       "implement the function below the '#define' in a separate C file\n");

    for (int hook = 0; hook < (int) std::size (DspSourceBlocks::hookNames); ++hook)
        text << "//#define _" << writeCustomHookStub (hook, dspNumber, {}) << "\nWORD "
             << writeCustomHookStub (hook, dspNumber, hookParameters[nrpnVariant ? 0 : 1][hook]);

    return text + "\n";
}

juce::String ProjectHeaders::writeCustomHookStub (int hookIndex, uint32_t dspNumber, const juce::String& suffix)
{
    if (! juce::isPositiveAndBelow (hookIndex, (int) std::size (DspSourceBlocks::hookNames)))
        return {};

    return DspSourceBlocks::hookNames[hookIndex] + juce::String (dspNumber) + suffix;
}

juce::String ProjectHeaders::writeBiquadCustomFunctions()
{
    juce::String text ("// BiquadCtrl.c custom functions, uncomment the '#define' line where you want to add custom code, "
                       "and implement the function below the '#define' in a separate C file\n");

    for (auto* name : biquadHookNames)
        text << "//#define _" << name << "\nvoid " << name
             << "( _FILTER_PARAM *iirFP, BiquadParameters *biquadParam, WORD dspId, WORD procId, WORD band, DWORD v );\n"
             << "\n";

    return text + "\n";
}

juce::String ProjectHeaders::makeBiquadControlSource (const FirmwareFeatures& features, double samplingRateKhz)
{
    juce::String text (ProjectHeaderTemplates::biquadControlBody);
    text << makeCrossoverDecoder() << ProjectHeaderTemplates::biquadSwitchHead;

    if (features.extendedBiquad)
        text << ProjectHeaderTemplates::biquadExtendedCases;

    text << ProjectHeaderTemplates::biquadSwitchEnd
         << "\tiirFP->fs = (FLOAT)_float(_Sys_GetSamplingRate()); // default sampling rate at "
         << formatSamplingRateHz (samplingRateKhz) << "Hz (floating point value)\n\n"
         << ProjectHeaderTemplates::biquadControlRest;

    if (features.extendedBiquad)
        text << ProjectHeaderTemplates::biquadExtendedTypeInit;

    return text;
}

juce::String ProjectHeaders::makeBiquadControlHeader (const FirmwareFeatures& features)
{
    juce::String text (ProjectHeaderTemplates::biquadControlHeader);

    if (features.extendedBiquad)
        text << "void initBiquadExType( WORD *biquadType, WORD count );\n";

    return makeGuardedHeader ("BiquadCtrl.h", text);
}

juce::String ProjectHeaders::makeNoBiquadControlSource()
{
    return ProjectHeaderTemplates::noBiquadControlSource;
}

juce::String ProjectHeaders::makeNoBiquadControlHeader()
{
    return makeGuardedHeader ("BiquadCtrl.h", ProjectHeaderTemplates::noBiquadControlHeader);
}

juce::String ProjectHeaders::formatSamplingRateHz (double samplingRateKhz)
{
    char text[32];
    std::snprintf (text, sizeof (text), "%g", (double) (float) (samplingRateKhz * 1000.0));
    return text;
}
