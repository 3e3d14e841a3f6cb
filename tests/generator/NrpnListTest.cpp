// The NRPN list file: its header, the rows of every DSP's controls (per
// channel and per band, with the equaliser's filter rows), and the values
// read from the annotations of the library's control functions.

#include "GenerationTestProject.h"
#include "HandlerTestDesigns.h"

#include "generator/EqualiserLists.h"
#include "generator/NrpnListFile.h"
#include "generator/NrpnListRows.h"
#include "model/DesignLog.h"
#include "model/ParameterDescriptor.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

using namespace generatortest;

namespace
{
// The rows of the text whose NRPN cell is the given one.
juce::StringArray rowsOf (const juce::String& text, const juce::String& nrpn)
{
    juce::StringArray rows;

    for (auto& row : juce::StringArray::fromLines (text))
        if (row.contains (";" + nrpn + ";"))
            rows.add (row);

    return rows;
}

juce::StringArray cellsOf (const juce::String& row)
{
    return juce::StringArray::fromTokens (row, ";", "");
}
} // namespace

TEST (NrpnListFile, ADesignOfEveryKindOfControlMatchesItsGoldenFile)
{
    TestProject project;
    buildControlProject (project);

    const auto text = NrpnListFile::makeText (project.design);

    EXPECT_EQ (text, goldenText ("nrpnList/controlProject.csv", text));
    EXPECT_TRUE (text.startsWith (NrpnListFile::header));
}

TEST (NrpnListFile, TheBandsOfAFourBandEqualiserGiveTheirFilterRows)
{
    TestProject project;
    buildControlProject (project);
    const auto text = NrpnListFile::makeText (project.design);

    // Type, Q, frequency and gain of each of the four bands.
    int filterRows = 0;

    for (auto& row : juce::StringArray::fromLines (text))
        filterRows += row.startsWith (";;1;0x02") && row.contains (";Band#") ? 1 : 0;

    EXPECT_EQ (filterRows, 16);
    EXPECT_EQ (rowsOf (text, "0x0242")[0], ";;1;0x0242;Band#2;Frequency2;81920;88473600;81932;28;x/4096.0;x*4096.0;Hz");

    // The first band offers every crossover, the last only those of one band.
    const auto firstType = cellsOf (rowsOf (text, "0x0203")[0])[10];
    const auto lastType = cellsOf (rowsOf (text, "0x0206")[0])[10];
    EXPECT_EQ (firstType, getFilterTypeList (0x4001, 0, 4));
    EXPECT_TRUE (firstType.contains ("|Butterworth Lowpass 48dB/Oct 4-band(L)=70"));
    EXPECT_TRUE (lastType.endsWith (EqualiserListTexts::filterTypes + getCrossoverTypeList (3, 4)));
    EXPECT_FALSE (lastType.contains ("2-band"));
}

TEST (NrpnListFile, ControlNumberZeroIsListedAndNoControlIsNot)
{
    TestProject project;
    project.addDsp (1);
    auto& compressor = project.add (1, "Compressor", 1);
    assignCommandWords (compressor);
    compressor.commandWords[0] &= 0xFFFF0000u;
    compressor.commandWords[1] |= 0xFFFF;

    const auto text = NrpnListFile::makeText (project.design);

    EXPECT_EQ (rowsOf (text, "0x0000").size(), 1) << text;
    EXPECT_TRUE (rowsOf (text, "0x0101").isEmpty());
    EXPECT_EQ (juce::StringArray::fromLines (text.trim()).size(), 1 + 5);
}

// The equaliser's coefficient callbacks come first among its functions and
// are no controls: no row, and the process's name stands on its first row.
TEST (NrpnListFile, ACoefficientCallbackHasNoRow)
{
    TestProject project;
    project.addDsp (1);
    assignCommandWords (project.add (1, "ParamEq8", 2));

    const auto rows = juce::StringArray::fromLines (NrpnListFile::makeText (project.design).trim());

    ASSERT_GT (rows.size(), 1);
    EXPECT_TRUE (rows[1].startsWith ("ParamEq8;ParamEq8;1;0x01")) << rows[1];

    for (auto& row : rows)
        EXPECT_NE (cellsOf (row)[3], "0x0000") << row;
}

TEST (NrpnListFile, AMultiChannelControlTakesOneNrpnPerChannel)
{
    TestProject project;
    project.addDsp (2, liteCoreModule);
    auto& mixer = project.add (2, "Mixer4x2", 8);
    assignCommandWords (mixer);
    mixer.commandWords[0] = (mixer.commandWords[0] & 0xFFFF0000u) | 0x0020;

    const auto text = NrpnListFile::makeText (project.design);

    for (int i = 0; i < 8; ++i)
    {
        const auto rows = rowsOf (text, "0x002" + juce::String (i));
        ASSERT_EQ (rows.size(), 1) << i;
        EXPECT_EQ (cellsOf (rows[0])[4], "Index#" + juce::String (i + 1));
        EXPECT_EQ (cellsOf (rows[0])[5], "Input" + juce::String (i + 1));
        EXPECT_EQ (cellsOf (rows[0])[2], "2");
    }

    EXPECT_TRUE (rowsOf (text, "0x0028").isEmpty());
    EXPECT_TRUE (rowsOf (text, "0x0020")[0].startsWith ("Mixer4x2;Mixer4x2;2;0x0020;Index#1;"));
}

TEST (NrpnListFile, ADelaysTimeRunsToItsLengthInSamples)
{
    // 30 ms at 44.1 kHz: 1323 samples, two words each in external RAM (also
    // when the memory class fixes it there). Only the time's formulas say
    // so, each for its whole value; the feedback keeps its own.
    for (auto [memory, max, scale, descale, timeText] :
         { std::make_tuple (1u, "2646", "x/1000/2", "x*1000*2", ""), std::make_tuple (2u, "1323", "x/1000", "x*1000", ""),
           std::make_tuple (0x80000001u, "2646", "x/1000/2", "x*1000*2", ""),
           std::make_tuple (1u, "2646", "(x-64)/2/2", "(2*x+64)*2", "(x-64)/2,descale=2*x+64"),
           std::make_tuple (2u, "1323", "(x-64)/2", "2*x+64", "(x-64)/2,descale=2*x+64") })
    {
        TestProject project;
        project.design.getSettings().setSamplingIndex (0); // 44.1 kHz
        project.addDsp (1);
        auto& delay = project.add (1, "LongDelay", 30);
        delay.memoryWord = memory;
        assignCommandWords (delay);

        auto& functions = delay.getProcessDefinition()->secondFunctions;

        for (int i = 0; i < functions.size() && *timeText != 0; ++i)
            if (functions[i]->firstText == "Time")
                functions[i]->secondText = timeText;

        const auto text = NrpnListFile::makeText (project.design);
        const auto cells = cellsOf (rowsOf (text, "0x0100")[0]);

        EXPECT_EQ (cells[7], max) << memory;
        EXPECT_EQ (juce::StringArray::fromLines (text.trim()).size(), 1 + 2) << "a row per control, not per ms";
        EXPECT_EQ (cells[9], "14");
        EXPECT_EQ (cells[10], scale);
        EXPECT_EQ (cells[11], descale);

        const auto feedback = cellsOf (juce::StringArray::fromLines (text.trim())[2]);
        EXPECT_EQ (feedback[5], "Feedback1");
        EXPECT_EQ (feedback[7], "64");
        EXPECT_EQ (feedback[10], "(x-64)/2") << memory;
        EXPECT_EQ (feedback[11], "2*x+64") << memory;
    }
}

TEST (NrpnListFile, ALineBreakOrSeparatorInATitleStaysInItsCell)
{
    TestProject project;
    project.addDsp (1);
    auto& limiter = project.add (1, "Limiter");
    limiter.setName ("Text dropped:\r\nmain L;R limiter");
    assignCommandWords (limiter);

    const auto lines = juce::StringArray::fromLines (NrpnListFile::makeText (project.design).trim());

    ASSERT_EQ (lines.size(), 6); // two channels of two controls, and the reset
    EXPECT_TRUE (lines[1].startsWith ("Text dropped:  main L,R limiter;Limiter;1;0x0100;Index#1;Ceiling1;")) << lines[1];

    for (auto& line : lines)
        EXPECT_EQ (cellsOf (line).size(), 13) << line;
}

TEST (NrpnListFile, ASpreadsheetReadsEveryRowAndNameAsText)
{
    // The process names as a user typed or dropped them, and the name cell
    // a spreadsheet shows for each.
    const struct
    {
        const char* name;
        const char* shown;
    } cases[] = {
        { "\"Main EQ", "\"Main EQ" },
        { "=HYPERLINK(\"http://x.invalid\";\"y\")", "'=HYPERLINK(\"http://x.invalid\",\"y\")" },
        { "+1+2", "'+1+2" },
        { "-A1", "'-A1" },
        { "@SUM(A1)", "'@SUM(A1)" },
        { "-12.5", "-12.5" },
        { "Say \"hi\"", "Say \"hi\"" },
        // Text-direction controls (U+202E, U+2066, U+2069) would show the row
        // otherwise than it reads.
        { "Main\xe2\x80\xae EQ\xe2\x81\xa6L\xe2\x81\xa9", "Main EQL" },
    };

    TestProject project;
    project.addDsp (1);

    for (auto& c : cases)
    {
        auto& limiter = project.add (1, "Limiter");
        limiter.setName (juce::CharPointer_UTF8 (c.name));
        assignCommandWords (limiter);
    }

    // Read as a spreadsheet reads ";"-separated text: a cell that starts with
    // a double quote runs to the next lone one, over separators and lines.
    const auto text = NrpnListFile::makeText (project.design);
    std::vector<juce::StringArray> rows (1);
    juce::String cell;
    bool quoted = false;

    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto ch = *p;

        if (quoted && ch == '"' && p[1] == '"')
        {
            cell += ch;
            ++p;
        }
        else if (ch == '"' && (quoted || cell.isEmpty()))
            quoted = ! quoted;
        else if (! quoted && (ch == ';' || ch == '\n'))
        {
            rows.back().add (std::exchange (cell, {}));

            if (ch == '\n')
                rows.emplace_back();
        }
        else
            cell += ch;
    }

    rows.pop_back();
    ASSERT_EQ ((int) rows.size(), juce::StringArray::fromLines (text.trim()).size());
    ASSERT_EQ (rows.size(), 1 + std::size (cases) * 5u); // each limiter: two channels of two controls, and the reset

    for (size_t i = 0; i < rows.size(); ++i)
    {
        EXPECT_EQ (rows[i].size(), 13) << i;

        if (i > 0 && (i - 1) % 5 == 0)
        {
            EXPECT_EQ (rows[i][0], juce::CharPointer_UTF8 (cases[(i - 1) / 5].shown)) << i;
        }
    }
}

TEST (NrpnListFile, DspsOutsideTheLibraryAndEmptyDesignsGiveTheHeaderOnly)
{
    TestProject project;
    EXPECT_EQ (NrpnListFile::makeText (project.design), NrpnListFile::header);

    project.addDsp (1);
    assignCommandWords (project.add (1, "Limiter"));
    project.library.removeDsp (1);
    EXPECT_EQ (NrpnListFile::makeText (project.design), NrpnListFile::header);

    Design withoutLibrary;
    EXPECT_EQ (NrpnListFile::makeText (withoutLibrary), NrpnListFile::header);
}

TEST (NrpnListFile, TheFileIsWrittenWholeAndAFailureIsReported)
{
    TestProject project;
    buildControlProject (project);
    const auto file = project.folder.getChildFile ("list");

    ASSERT_TRUE (NrpnListFile::write (project.design, file));
    EXPECT_EQ (file.loadFileAsString(), NrpnListFile::makeText (project.design));
    EXPECT_FALSE (file.withFileExtension ("csv").exists()); // the name is taken as chosen

    // Written again, the file is replaced, not appended to.
    ASSERT_TRUE (NrpnListFile::write (project.design, file));
    EXPECT_EQ (file.loadFileAsString(), NrpnListFile::makeText (project.design));

    // A folder that cannot exist: a file stands in its place.
    const auto impossible = file.getChildFile ("list.csv");
    EXPECT_FALSE (NrpnListFile::write (project.design, impossible));
    EXPECT_FALSE (impossible.exists());
}

TEST (NrpnListRows, KeyValuesIgnoreBlanksAndLetterCaseAndTakeABareFormulaAsTheScale)
{
    const struct
    {
        const char* text;
        const char* key;
        const char* value;
    } cases[] = {
        { "(x-64)/2,min=16,max=94", "valscale=", "(x-64)/2" },
        { "(x-64)/2,min=16,max=94", "", "(x-64)/2" },
        { "(x-64)/2,min=16,max=94", "MAX=", "94" },
        { " x / 2 , Min = 3 ]", "min=", "3" },
        { "min=1]max=9", "max=", "9" },
        { "max=1]9", "max=", "1" },
        { "min=1\nmax=9", "max=", "9" },
        { "min=1\rdef=5,x", "def=", "5" },
        { ",valUnit=dB,valprec=1", "valunit=", "dB" },
        { ",valUnit=dB,valprec=1", "valscale=", "" },
        { "x", "descale=", "" },
        { "", "valscale=", "" },
    };

    for (auto& c : cases)
        EXPECT_EQ (NrpnListRows::getKeyValue (c.text, c.key), c.value) << c.text << " / " << c.key;

    // In an option text only what follows the first "]" counts.
    EXPECT_EQ (NrpnListRows::getOptionValue (EqualiserListTexts::qEncoderOptions, "valscale="), "0.3+((x/16383.0)^2*119.7)");
    EXPECT_EQ (NrpnListRows::getOptionValue (EqualiserListTexts::frequencyEncoderOptions, "VALUNIT="), "Hz");
    EXPECT_EQ (NrpnListRows::getOptionValue ("Options[min=5] = max=7", "min="), "");
    EXPECT_EQ (NrpnListRows::getOptionValue ("Options[min=5] = max=7", "max="), "7");
}

TEST (NrpnListRows, DataLengthFollowsTheMaximumOrTheAnnotation)
{
    EXPECT_EQ (NrpnListRows::getDataLength (0), "7");
    EXPECT_EQ (NrpnListRows::getDataLength (127), "7");
    EXPECT_EQ (NrpnListRows::getDataLength (128), "14");
    EXPECT_EQ (NrpnListRows::getDataLength (16383), "14");
    EXPECT_EQ (NrpnListRows::getDataLength (16384), "28");

    // With max=0 the annotation's count tells: an on/off switch stands for one value.
    TestProject project;
    project.addDsp (1);
    auto& limiter = project.add (1, "Limiter");
    assignCommandWords (limiter);
    auto* function = const_cast<LibraryFunctionDefinition*> (limiter.getProcessDefinition()->secondFunctions[0]);
    function->secondText = "x,max=0";
    function->parameterWords = ParameterWordList::fromWords ({ 4, 2, 0, 4, 2, 1, 4, 0, 10, 4, 0, 18 });

    EXPECT_EQ (cellsOf (rowsOf (NrpnListFile::makeText (project.design), "0x0100")[0])[9], "7");
    EXPECT_EQ (NrpnListRows::getAnnotationValue (*function, "DataLength="), "7");

    // A level in dB stands for two values, a time for ten (read from the text).
    function->parameterWords = ParameterWordList::fromWords ({ 4, 1, 130 });
    function->parameterCount = 1;
    EXPECT_EQ (NrpnListRows::getAnnotationValue (*function, "DataLength="), "14");
    function->parameterWords = ParameterWordList::fromWords ({ 4, 1, 0 });
    function->secondText = "x,DataLength=21";
    EXPECT_EQ (NrpnListRows::getAnnotationValue (*function, "datalength="), "21");
}

TEST (NrpnListRows, OnlyTheFourBandParametersOfABiquadAreFilterRows)
{
    EXPECT_EQ (NrpnListRows::getFilterParameter (0x0203), 0);
    EXPECT_EQ (NrpnListRows::getFilterParameter (0x0722), 1);
    EXPECT_EQ (NrpnListRows::getFilterParameter (0x0141), 2);
    EXPECT_EQ (NrpnListRows::getFilterParameter (0x0160), 3);

    for (uint32_t other : { 0x0200u, 0x0204u, 0x017Fu, 0x0102u, 0x0000u, 0xFFFFu })
        EXPECT_EQ (NrpnListRows::getFilterParameter (other), -1) << other;
}
