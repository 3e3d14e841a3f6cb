// The generated biquad control at work: "BiquadCtrl.c" is compiled by the
// host's C compiler with a harness that stands for the library (it reports
// every band whose coefficients are loaded), then run with the codes and
// values that the control panels and the NRPN list publish for the band
// controls. Each must mean on the board what the lists say it means.

#include "GeneratorTestSupport.h"

#include "generator/EqualiserLists.h"
#include "generator/FirmwareFeatures.h"
#include "generator/ProjectHeaders.h"
#include "generator/SourceFiles.h"

#include "halvix/PanelExpression.h"

#include <gtest/gtest.h>

using namespace generatortest;

namespace
{
// Reads its input file line by line: a setter ("type", "gain", "q", "freq"),
// a band (or 255 for the crossover band count) and a value. Prints the
// setter's result, every band loaded with its filter, then "end".
const char* const biquadHarnessSource = R"(#include <stdio.h>
#include <string.h>
#include "quellion.h"
#include "BiquadCtrl.h"

FLOAT _float( DWORD value ) { return (FLOAT)value; }
DWORD _Sys_GetSamplingRate( void ) { return 48000; }
void _IIR_ComputeCoefficients( _FILTER_PARAM *iirFP ) { (void) iirFP; }

void updateBiquadCallback( PTR32 function, WORD dspId, WORD procId, _FILTER_PARAM *iirFP, WORD band )
{
    printf( "band=%u type=%u f=%.9g g=%.9g q=%.9g\n", band, iirFP->type, iirFP->f, iirFP->g, iirFP->q );
}

#define BANDS 4

int main( int argc, char** argv )
{
    _FILTER_PARAM filters[BANDS];
    WORD types[BANDS], xoverTypes[BANDS];
    DWORD frequencies[BANDS];
    BiquadParameters biquad = { filters, types, xoverTypes, frequencies, BANDS, 0 };
    UpdateCoeffCallback callback = { 0, 0 };
    FILE* input = argc > 1 ? fopen( argv[1], "r" ) : 0;
    char setter[16];
    unsigned band, value;
    WORD i;

    if ( input == 0 )
        return 2;

    while ( fscanf( input, "%15s %u %u", setter, &band, &value ) == 3 )
    {
        WORD result = 0;

        /* Every line starts from flat bands at 1 kHz. */
        memset( filters, 0, sizeof filters );

        for ( i = 0; i < BANDS; i++ )
        {
            types[i] = BIQUAD_EX_FLAG;
            xoverTypes[i] = XOVER_FLAT;
            frequencies[i] = 1000 * 4096;
            filters[i].f = 1000.0f;
        }

        if ( strcmp( setter, "type" ) == 0 )
            result = SetFilterType( &biquad, 0, 1, (WORD)band, value, &callback );
        else if ( strcmp( setter, "gain" ) == 0 )
            result = SetFilterGain( &biquad, 0, 1, (WORD)band, value, &callback );
        else if ( strcmp( setter, "q" ) == 0 )
            result = SetFilterQ( &biquad, 0, 1, (WORD)band, value, &callback );
        else if ( strcmp( setter, "freq" ) == 0 )
            result = SetFilterFreq( &biquad, 0, 1, (WORD)band, value, &callback );

        printf( "result=%u\nend\n", result );
    }

    return 0;
}
)";

// One band loaded, as the harness reports it.
struct LoadedBand
{
    int band = -1, type = -1;
    double f = 0, g = 0, q = 0;
};

// What one input line did: the setter's result and the bands loaded.
struct Outcome
{
    int result = -1;
    std::vector<LoadedBand> bands;
};

// The value of "ValScale=" in an encoder's option text: the physical value
// the lists publish for a MIDI value.
juce::String getValueScale (const char* options)
{
    return juce::String (options).fromFirstOccurrenceOf ("ValScale=", false, true).upToFirstOccurrenceOf (",", false, false);
}

double publishedValue (const char* options, double x)
{
    double result = 0;
    EXPECT_TRUE (PanelExpression::evaluate (getValueScale (options), x, result)) << options;
    return result;
}

// The filter types of the lists, as (code, text) pairs.
std::vector<std::pair<int, juce::String>> getFilterTypeCodes()
{
    std::vector<std::pair<int, juce::String>> codes;
    const auto list = juce::String (EqualiserListTexts::filterTypes) + EqualiserListTexts::secondOrderShelfTypes;

    for (auto& item : juce::StringArray::fromTokens (list.substring (1), "|", ""))
        codes.emplace_back (item.fromLastOccurrenceOf ("=", false, false).getIntValue(), item);

    return codes;
}

class BiquadControlRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (! hasHostCompiler())
            GTEST_SKIP() << "no host C compiler (cc)";

        FirmwareFeatures features;
        features.biquadControl = features.extendedBiquad = true;
        const auto folder = scratch.getFile();
        ASSERT_TRUE (folder.createDirectory());

        auto store = [&folder] (const char* name, const juce::String& text)
        { ASSERT_TRUE (writeTextToFile (text, folder.getChildFile (name), false)); };

        store ("quellion.h", ProjectHeaders::makeSharedHeaderHead (1) + makeHeaderGuardClose (juce::File ("/quellion.h")));
        store ("custom.h", ProjectHeaders::makeCustomHeaderHead() + ProjectHeaders::writeBiquadCustomFunctions() +
                               makeHeaderGuardClose (juce::File ("/custom.h")));
        store ("BiquadCtrl.h", ProjectHeaders::makeBiquadControlHeader (features));
        store ("BiquadCtrl.c", ProjectHeaders::makeBiquadControlSource (features, 48.0));
        store ("harness.c", biquadHarnessSource);

        program = folder.getChildFile ("harness");
        const auto problem = buildHostProgram (
            program, { "-fsanitize=address,undefined", "-I", folder.getFullPathName(), "-I", getSdkFolder().getFullPathName() },
            { folder.getChildFile ("harness.c").getFullPathName(), folder.getChildFile ("BiquadCtrl.c").getFullPathName() });
        ASSERT_TRUE (problem.isEmpty()) << problem;
    }

    std::vector<Outcome> run (const juce::StringArray& inputs)
    {
        const auto input = scratch.getFile().getChildFile ("input.txt");
        EXPECT_TRUE (input.replaceWithText (inputs.joinIntoString ("\n") + "\n"));

        juce::String output;
        EXPECT_EQ (runTool ({ program.getFullPathName(), input.getFullPathName() }, &output), juce::String());

        std::vector<Outcome> outcomes (1);

        for (auto& line : juce::StringArray::fromLines (output.trimEnd()))
        {
            const auto value = [&line] (const char* key) {
                return line.fromFirstOccurrenceOf (juce::String (key) + "=", false, false)
                    .upToFirstOccurrenceOf (" ", false, false);
            };

            if (line == "end")
                outcomes.emplace_back();
            else if (line.startsWith ("result="))
                outcomes.back().result = value ("result").getIntValue();
            else
                outcomes.back().bands.push_back ({ value ("band").getIntValue(), value ("type").getIntValue(),
                                                   value ("f").getDoubleValue(), value ("g").getDoubleValue(),
                                                   value ("q").getDoubleValue() });
        }

        outcomes.pop_back();
        EXPECT_EQ (outcomes.size(), (size_t) inputs.size()) << output;
        return outcomes;
    }

    juce::TemporaryFile scratch;
    juce::File program;
};

// The filter types of the library stand-in, as the coefficient update reads them.
enum IirType
{
    flat = 0,
    highPass1 = 2,
    lowPass1 = 3,
    highPass2 = 4,
    lowPass2 = 5
};
} // namespace

TEST_F (BiquadControlRunTest, EveryFilterTypeCodeOfTheListsSetsThatFilter)
{
    const auto codes = getFilterTypeCodes();
    juce::StringArray inputs;

    for (auto& [code, text] : codes)
        inputs.add ("type 1 " + juce::String (code));

    const auto outcomes = run (inputs);
    ASSERT_EQ (outcomes.size(), codes.size());

    for (size_t i = 0; i < codes.size(); ++i)
    {
        ASSERT_EQ (outcomes[i].bands.size(), 1u) << codes[i].second;
        EXPECT_EQ (outcomes[i].bands[0].band, 1) << codes[i].second;
        EXPECT_EQ (outcomes[i].bands[0].type, codes[i].first) << codes[i].second;
    }
}

TEST_F (BiquadControlRunTest, EveryCrossoverCodeOfTheListsLaysOutItsSlope)
{
    const auto crossovers = getCrossoverCodes();
    ASSERT_EQ (crossovers.size(), 30u);
    juce::StringArray inputs;

    for (auto& crossover : crossovers)
        inputs.addArray ({ "type 255 " + juce::String (crossover.code), "type 0 " + juce::String (crossover.code) });

    const auto outcomes = run (inputs);
    ASSERT_EQ (outcomes.size(), 2 * crossovers.size());

    for (size_t i = 0; i < crossovers.size(); ++i)
    {
        const auto& crossover = crossovers[i];
        const auto& laidOut = outcomes[2 * i + 1];

        // The band count the list names, asked and taken.
        EXPECT_EQ (outcomes[2 * i].result, crossover.bands) << crossover.text;
        ASSERT_EQ (laidOut.bands.size(), (size_t) crossover.bands) << crossover.text;

        // An odd order begins with a first-order section; the rest are
        // second-order sections, all in the list's direction, at the band's
        // frequency or (Bessel) near it.
        for (int b = 0; b < crossover.bands; ++b)
        {
            const bool firstOrder = b == 0 && crossover.order % 2 == 1;
            const auto expected = crossover.highPass ? (firstOrder ? highPass1 : highPass2) : (firstOrder ? lowPass1 : lowPass2);
            EXPECT_EQ (laidOut.bands[(size_t) b].band, b) << crossover.text;
            EXPECT_EQ (laidOut.bands[(size_t) b].type, expected) << crossover.text << ", band " << b;
            const auto ratio = laidOut.bands[(size_t) b].f / 1000.0;
            EXPECT_TRUE (crossover.family == "Bessel" ? ratio > 0.4 && ratio < 2.5 : std::abs (ratio - 1.0) < 1e-6)
                << crossover.text << ", band " << b << ": " << laidOut.bands[(size_t) b].f;
        }
    }

    // A code the lists do not offer makes the band flat.
    const auto unknown = run ({ "type 0 64", "type 0 71", "type 0 125", "type 0 12", "type 255 64" });
    for (size_t i = 0; i + 1 < unknown.size(); ++i)
    {
        ASSERT_EQ (unknown[i].bands.size(), 1u) << i;
        EXPECT_EQ (unknown[i].bands[0].type, flat) << i;
    }

    EXPECT_EQ (unknown.back().result, 1);
}

TEST_F (BiquadControlRunTest, GainQAndFrequencyFollowTheScalesTheListsPublish)
{
    juce::StringArray inputs;
    std::vector<std::pair<const char*, int>> sent;

    for (int x = 0; x <= 127; ++x)
        sent.emplace_back (EqualiserListTexts::gainEncoderOptions, x);

    for (int x = 0; x <= 16383; x += 97)
        sent.emplace_back (EqualiserListTexts::qEncoderOptions, x);

    sent.emplace_back (EqualiserListTexts::qEncoderOptions, 16383);

    for (int x = 81920; x <= 88473600; x += 1048573)
        sent.emplace_back (EqualiserListTexts::frequencyEncoderOptions, x);

    for (auto& [options, x] : sent)
        inputs.add (juce::String (options == EqualiserListTexts::gainEncoderOptions ? "gain"
                                  : options == EqualiserListTexts::qEncoderOptions  ? "q"
                                                                                    : "freq") +
                    " 2 " + juce::String (x));

    const auto outcomes = run (inputs);
    ASSERT_EQ (outcomes.size(), sent.size());

    for (size_t i = 0; i < sent.size(); ++i)
    {
        const auto& [options, x] = sent[i];
        ASSERT_EQ (outcomes[i].bands.size(), 1u) << inputs[(int) i];
        const auto& band = outcomes[i].bands[0];
        const auto expected = publishedValue (options, x);
        const auto actual = options == EqualiserListTexts::gainEncoderOptions ? band.g
                            : options == EqualiserListTexts::qEncoderOptions  ? band.q
                                                                              : band.f;
        EXPECT_NEAR (actual, expected, 1e-5 * juce::jmax (1.0, std::abs (expected))) << inputs[(int) i];
    }
}
