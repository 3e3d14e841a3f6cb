// The control handlers of the DSP sources: the sorted command list, the
// biquad table, the lookup and the switch over the library functions, in
// the NRPN and the command variant.

#include "HandlerTestDesigns.h"

#include "generator/ControlHandlerWriter.h"
#include "generator/SourceStream.h"
#include "generator/SourceWriter.h"
#include "model/DesignLog.h"
#include "model/ParameterDescriptor.h"

#include <gtest/gtest.h>

#include <random>

using namespace generatortest;

namespace
{
using Variant = ControlHandlerWriter::Variant;

class ControlHandlerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clearLog();
        reader = readLibrary (handlerDescription());
        context.setSamplingRateKhz (48.0);
        dsp = std::make_unique<TestDsp> (reader->getLibrary(), 1, fullCoreModule, context);
    }

    void TearDown() override { clearLog(); }

    ModuleLibrary& library() { return reader->getLibrary(); }

    ControlHandlerWriter makeWriter (int biquadProcesses = 0)
    {
        return ControlHandlerWriter (dsp->graph, library().findModuleById (fullCoreModule), 1, biquadProcesses, 48.0);
    }

    // A node whose command words are all empty but the given ones.
    GraphNode& addWithWords (const juce::String& process, const std::vector<uint32_t>& words)
    {
        auto& node = dsp->add (process);
        assignCommandWords (node);

        for (size_t j = 0; j < node.commandWords.size(); ++j)
            node.commandWords[j] = j < words.size() ? words[j] : (node.commandWords[j] | 0xFFFF);

        return node;
    }

    juce::String writeList (Variant variant, int& count, int biquadProcesses = 0)
    {
        SourceWriter writer;
        makeWriter (biquadProcesses).writeCommandList (writer.getStream(), "nrpn1", variant, count);
        return writer.getText();
    }

    std::unique_ptr<ModulesDefReader> reader;
    GenerationContext context;
    std::unique_ptr<TestDsp> dsp;
};

// The text of the first block that follows the header, up to its closing brace.
juce::String blockAfter (const juce::String& text, const juce::String& header)
{
    const auto start = text.indexOf (header);

    if (start < 0)
        return {};

    int depth = 0;

    for (int i = text.indexOfChar (start, '{'); i >= 0 && i < text.length(); ++i)
    {
        if (text[i] == '{')
            ++depth;
        else if (text[i] == '}' && --depth == 0)
            return text.substring (start, i + 1);
    }

    return {};
}

bool bracesBalance (const juce::String& text)
{
    int depth = 0;

    for (auto c : text)
    {
        depth += c == '{' ? 1 : (c == '}' ? -1 : 0);

        if (depth < 0)
            return false;
    }

    return depth == 0;
}

// Every number the generator wrote in hexadecimal (in the rows of the lists
// and in the defines) has at least four digits, none in lower case.
bool hexNumbersAreUpperCaseFourDigits (const juce::String& text)
{
    juce::String generated;

    for (auto& line : juce::StringArray::fromLines (text))
        if (line.startsWith ("\t{ 0x") || line.startsWith ("#define"))
            generated << line << "\n";

    for (int at = generated.indexOf ("0x"); at >= 0; at = generated.indexOf (at + 2, "0x"))
    {
        const auto digits = generated.substring (at + 2).initialSectionContainingOnly ("0123456789abcdefABCDEF");

        if (digits.length() < 4 || digits != digits.toUpperCase())
            return false;
    }

    return true;
}
} // namespace

TEST (ControlHandlerGoldenTest, HandlersMatchTheirGoldenTexts)
{
    for (auto& design : getHandlerDesigns())
    {
        for (bool command : { false, true })
        {
            const auto generated = generateHandler (design, command);
            const auto name = juce::String ("handlers/") + design.name + (command ? "Command" : "Nrpn") + ".txt";
            const auto text = renderHandler (generated);
            EXPECT_EQ (text, goldenText (name, text)) << name;
            EXPECT_TRUE (bracesBalance (generated.handler.body)) << name;
            EXPECT_TRUE (hexNumbersAreUpperCaseFourDigits (generated.handler.body + generated.handler.declarations)) << name;
        }
    }
}

TEST_F (ControlHandlerTest, ListIsSortedByControlNumberWithTheCommaRule)
{
    // The first word serves 0x0012 with function 0x4001, the second 0x0010
    // with 0x4002: the row of 0x0010 comes first, followed by a comma.
    addWithWords ("Compressor", { 0x40010012, 0x40020010 });
    int count = 0;

    EXPECT_EQ (writeList (Variant::nrpn, count), "const WORD nrpn1List[NUMBEROFCOMMAND1][2]=\n"
                                                 "{\n"
                                                 "\t{ 0x0010, 0x4002 }, // Comp_SetRatio\n"
                                                 "\t{ 0x0012, 0x4001 } // Comp_SetThreshold\n"
                                                 "\n"
                                                 "};\n");
    EXPECT_EQ (count, 2);

    EXPECT_EQ (writeList (Variant::command, count), "const WORD nrpn1List[NUMBEROFCOMMAND1][3]=\n"
                                                    "{\n"
                                                    "\t{ 0x0010, 0x0001, 0x4002 }, // Comp_SetRatio\n"
                                                    "\t{ 0x0012, 0x0001, 0x4001 } // Comp_SetThreshold\n"
                                                    "\n"
                                                    "};\n");
}

TEST_F (ControlHandlerTest, WordsWithoutAControlNumberGiveNoRow)
{
    auto& node = addWithWords ("Compressor", { 0x40010000, 0x4002FFFF, 0x40030020 });
    node.commandWords.push_back (0x40090021); // past the definition's functions
    int count = 0;

    const auto rows = makeWriter().collectCommandRows (Variant::command, count);

    ASSERT_EQ (rows.size(), 1u);
    EXPECT_EQ (rows[0].getControlNumber(), 0x0020u);
    EXPECT_EQ (count, 1);
}

TEST_F (ControlHandlerTest, CoefficientCallbacksGetNoRowAndNoCaseWhateverTheirWords)
{
    // A saved project or the command properties may give the words of the
    // functions without a number (the callbacks the biquad update is handed)
    // a control number; their function id is then 0.
    auto& eq = dsp->add ("ParamEq8");
    assignCommandWords (eq);
    eq.commandWords[0] = 0x00000110;
    eq.commandWords[1] = 0x00000111;

    for (auto variant : { Variant::nrpn, Variant::command })
    {
        int count = 0;
        const auto list = writeList (variant, count, 1);
        EXPECT_FALSE (list.contains ("0x0110") || list.contains ("0x0111")) << list;
        EXPECT_FALSE (list.contains ("_Biquad_")) << list;
    }

    SourceWriter writer;
    makeWriter (1).writeFunctionCases (writer.getStream());
    EXPECT_FALSE (writer.getText().contains ("_Biquad_")) << writer.getText();
    EXPECT_TRUE (writer.getText().contains ("Eq8_BandGain("));
    EXPECT_EQ (getLogText(), "");
}

TEST_F (ControlHandlerTest, RandomListsAreSortedStablyAndCountedByVariant)
{
    std::mt19937 random (20240515);
    const juce::StringArray processes{ "Compressor", "ParamEq8", "LongDelay", "Limiter" };

    for (int round = 0; round < 40; ++round)
    {
        SetUp();
        const int nodes = 1 + (int) (random() % 5);

        for (int n = 0; n < nodes; ++n)
        {
            auto& node = dsp->add (processes[(int) (random() % (uint32_t) processes.size())]);
            assignCommandWords (node);
            node.biquadMark = random() % 2 == 0;

            // Few distinct numbers, so that equal ones are common.
            for (auto& word : node.commandWords)
                word = (random() & 0xC0FF0000u) | (random() % 6 == 0 ? 0xFFFFu : 0x10u + random() % 4);
        }

        for (auto variant : { Variant::nrpn, Variant::command })
        {
            int count = 0;
            const auto rows = makeWriter (1).collectCommandRows (variant, count);
            int expectedCount = 0;
            std::vector<std::pair<uint32_t, uint32_t>> nodeOrder; // (control number, row in node order)

            for (int n = 0; n < dsp->graph.getNumNodes(); ++n)
            {
                const auto& node = *dsp->graph.getNode (n);

                for (size_t j = 0; j < node.commandWords.size(); ++j)
                {
                    const auto word = node.commandWords[j];

                    // A function without a number is no control.
                    if ((word & 0xFFFF) == 0xFFFF || node.getProcessDefinition()->secondFunctions[(int) j]->functionNumber < 0)
                        continue;

                    const bool biquad = (word & 0x80000000u) != 0 && node.biquadMark;
                    expectedCount += variant == Variant::command || ! biquad ? 1 : 0;
                    nodeOrder.emplace_back (word & 0xFFFF, word);
                }
            }

            std::stable_sort (nodeOrder.begin(), nodeOrder.end(), [] (auto& a, auto& b) { return a.first < b.first; });
            ASSERT_EQ (rows.size(), nodeOrder.size());
            EXPECT_EQ (count, expectedCount);

            for (size_t r = 0; r < rows.size(); ++r)
                EXPECT_EQ (rows[r].command, nodeOrder[r].second) << "round " << round << " row " << r;

            // The comma follows every written row but the last of the sorted
            // list, which in the NRPN variant may be a biquad row not written.
            const auto text = writeList (variant, count, 1);
            juce::StringArray lines;

            for (auto& line : juce::StringArray::fromLines (blockAfter (text, "List[")))
                if (line.startsWith ("\t{ 0x"))
                    lines.add (line);

            const int written = lines.size();
            const bool lastWritten = ! rows.empty() && (variant == Variant::command || ! rows.back().isBiquadRow());

            for (int l = 0; l < written; ++l)
                EXPECT_EQ (lines[l].contains ("}, //"), ! (lastWritten && l == written - 1)) << lines[l];

            EXPECT_EQ (written, count);
            EXPECT_TRUE (hexNumbersAreUpperCaseFourDigits (text));
        }
    }
}

TEST_F (ControlHandlerTest, ADefinitionUsedByThreeNodesGetsItsCasesOnce)
{
    for (int i = 0; i < 3; ++i)
        assignCommandWords (dsp->add ("Compressor"));

    SourceWriter writer;
    makeWriter().writeFunctionCases (writer.getStream());
    const auto cases = writer.getText();

    EXPECT_EQ (cases.indexOf ("//Compressor"), cases.lastIndexOf ("//Compressor"));
    EXPECT_EQ (juce::StringArray::fromLines (cases.trim()).size(), 7) << cases;
    EXPECT_TRUE (cases.contains ("case 0x400E: Comp_SetThreshold( dspId, processId, index, value ); return 1;\n"));
}

TEST_F (ControlHandlerTest, ANodeWithoutCommandWordsLeavesTheCasesToTheNextNodeOfItsDefinition)
{
    dsp->add ("Compressor");
    assignCommandWords (dsp->add ("Compressor"));

    SourceWriter writer;
    makeWriter().writeFunctionCases (writer.getStream());

    EXPECT_TRUE (writer.getText().contains ("case 0x400F: Comp_SetRatio("));
}

TEST_F (ControlHandlerTest, AFunctionWithoutParametersGetsNoCase)
{
    assignCommandWords (dsp->add ("PitchShift"));
    int count = 0;
    makeWriter().collectCommandRows (Variant::nrpn, count);

    SourceWriter writer;
    makeWriter().writeFunctionCases (writer.getStream());

    EXPECT_EQ (count, 3);                                      // Pitch_Freeze has its row ...
    EXPECT_FALSE (writer.getText().contains ("Pitch_Freeze")); // ... and no case
}

TEST_F (ControlHandlerTest, TwoControlFunctionsGivenOneFunctionIdGetOneCaseAndAnError)
{
    addWithWords ("Compressor", { 0x40060010, 0x40060011 });

    SourceWriter writer;
    makeWriter().writeFunctionCases (writer.getStream());

    EXPECT_EQ (writer.getText().indexOf ("case 0x4006:"), writer.getText().lastIndexOf ("case 0x4006:"));
    EXPECT_TRUE (writer.getText().contains ("Comp_SetThreshold"));
    EXPECT_EQ (getLogErrorCount(), 1);
    EXPECT_TRUE (getLogText().contains ("0x4006 of Comp_SetRatio")) << getLogText();
}

TEST_F (ControlHandlerTest, ABiquadParameterStandsInTheTableAndOnlyTheCommandListCountsIt)
{
    auto& eq = dsp->add ("ParamEq8", 2);
    assignCommandWords (eq);
    eq.biquadMark = true;

    for (auto variant : { Variant::nrpn, Variant::command })
    {
        int count = 0;
        SourceWriter writer;
        const auto tableRows = makeWriter (1).writeCommandList (writer.getStream(), "nrpn1", variant, count);
        const auto text = writer.getText();

        // The band functions are biquad rows; the three controls of the
        // whole process are not.
        EXPECT_EQ (tableRows, 4);
        EXPECT_EQ (count, variant == Variant::nrpn ? 3 : 7);
        EXPECT_TRUE (text.contains ("\n#define NB_BIQUAD_COMMAND 4\n"));
        EXPECT_TRUE (text.contains (variant == Variant::nrpn ? "{ 0x0122, 0x4004, &biquad1ParamAddr1 }"
                                                             : "{ 0x0122, &biquad1ParamAddr1 }"))
            << text;
    }
}

TEST_F (ControlHandlerTest, ABiquadParameterOfANodeWithoutTheBiquadMarkIsAnOrdinaryRow)
{
    assignCommandWords (dsp->add ("ParamEq8", 2));
    int count = 0;
    SourceWriter writer;

    EXPECT_EQ (makeWriter (1).writeCommandList (writer.getStream(), "nrpn1", Variant::nrpn, count), 0);
    EXPECT_EQ (count, 7);
    EXPECT_FALSE (writer.getText().contains ("BiquadTable"));
}

TEST_F (ControlHandlerTest, DspsWithoutControlsGetAHandlerWithoutListLookupOrSwitch)
{
    for (bool command : { false, true })
    {
        const auto generated = generateHandler (getHandlerDesign ("noControls"), command);
        const auto& text = generated.handler.body;

        EXPECT_FALSE (text.contains ("List")) << text;
        EXPECT_FALSE (text.contains ("dichotomicSearch"));
        EXPECT_FALSE (text.contains ("switch"));
        EXPECT_TRUE (bracesBalance (text));
        EXPECT_TRUE (generated.handler.declarations.contains ("#define\tNUMBEROFCOMMAND1\t0x0000\n"));
        EXPECT_FALSE (generated.handler.declarations.contains ("List"));
    }
}

TEST_F (ControlHandlerTest, ADspWhoseControlsAreAllBiquadParametersKeepsTheBiquadLookup)
{
    const auto generated = generateHandler (getHandlerDesign ("biquadOnly"), false);
    const auto& text = generated.handler.body;

    EXPECT_FALSE (text.contains ("nrpn1List"));
    EXPECT_TRUE (text.contains ("\ti = dichotomicSearch( _cptr32(nrpn1BiquadTable), 3, 0, NB_BIQUAD_COMMAND, nrpn );\n"));
    EXPECT_TRUE (text.contains ("switch (functionId)"));
    EXPECT_TRUE (text.contains ("case 0x4004: Eq8_BandQ( dspId, processId, index, value ); return 1;"));
    EXPECT_TRUE (bracesBalance (text));
}

TEST_F (ControlHandlerTest, AnEmptyBiquadTableGivesTheBiquadDeclarationsButNoBiquadBranch)
{
    for (bool command : { false, true })
    {
        const auto generated = generateHandler (getHandlerDesign ("emptyBiquadTable"), command);
        const auto& text = generated.handler.body;

        EXPECT_TRUE (text.contains ("\tBiquadParameters *theBiquad;\n\tUpdateCoeffCallback updateCoeffFunc;\n"));
        EXPECT_FALSE (text.contains ("BiquadTable")) << text;
        EXPECT_FALSE (text.contains ("NB_BIQUAD_COMMAND"));
        EXPECT_TRUE (text.contains (command ? "\tprocessId = dsp1pcs[processId&0xFF];\n" : "\telse\n\t\treturn 0;\n"));
    }
}

TEST_F (ControlHandlerTest, TheBiquadFunctionsComeFromTheProcessNamedAfterTheBiquads)
{
    EXPECT_EQ (makeWriter().findBiquadFunctionName ("Biquad_UpdateCoeff"), "Beq_Biquad_UpdateCoeff");
    EXPECT_EQ (makeWriter().findBiquadFunctionName ("Biquad_Flat"), "Beq_Biquad_Flat");

    // Without such a process, the module's first biquad process serves.
    const auto generated = generateHandler (getHandlerDesign ("biquadOnly"), true, 1, generatorDescription());
    EXPECT_TRUE (generated.handler.body.contains ("_cptr32( &Eq8_Biquad_UpdateCoeff );\n"));
    EXPECT_TRUE (generated.handler.body.contains ("_cptr32( &Eq8_Biquad_Flat );\n"));
    EXPECT_EQ (generated.log, "");
}

TEST_F (ControlHandlerTest, AMissingBiquadFunctionIsAnInternalErrorAndAMarkInTheText)
{
    auto description = generatorDescription();

    for (auto& module : description.modules)
        for (auto& process : module.processes)
            for (auto& function : process.controlFunctions)
                if (function.name.find ("Biquad_Flat") != std::string::npos)
                    function.name = "Eq_Flatten";

    for (bool command : { false, true })
    {
        const auto generated = generateHandler (getHandlerDesign ("biquadOnly"), command, 1, description);

        EXPECT_TRUE (generated.handler.body.contains ("_cptr32( &Eq8_Biquad_UpdateCoeff );"));
        EXPECT_TRUE (generated.handler.body.contains ("updateCoeffFunc.BIQUAD_FlatFuncPtr = _cptr32( &" +
                                                      juce::String (ControlHandlerWriter::missingBiquadFunction) + " );"));
        EXPECT_EQ (generated.log, " !!! Error#1: No biquad function Biquad_Flat in the module of this DSP in DSP#1\n"
                                  "...please contact a OSTRANE developer\n");
    }
}

TEST_F (ControlHandlerTest, ArgumentExpressionsFollowTheParameterTypes)
{
    struct Case
    {
        const char* functionName;
        std::vector<uint16_t> words;
        const char* expression;
        bool takesNext;
    };

    const std::vector<Case> cases{
        { "F", { 4, 2, 0 }, "dspId", false },
        { "Pitch_ShiftAmount", { 4, 0, 5 }, "val8bit-0x40", false },
        { "F", { 4, 2, 1 }, "processId", false },
        { "F", { 21, 0x4103 /* 3, "A" */, 0x4342 /* "BC" */ }, "ABC", false },
        { "F", { 4, 0, 13 }, "3", false },
        { "F", { 4, 0, 15 }, "3", false },
        { "F", { 4, 0, 4 }, "val8bit", false },
        { "F", { 4, 0, 16 }, "val8bit", false },
        { "F", { 4, 0, 18 }, "val8bit", false },
        { "F", { 4, 0, 25 }, "val8bit", false },
        { "F", { 4, 0, 5 }, "value", false },
        { "F", { 4, 1, 128 }, "value", false },
        { "F", { 4, 1, 64 }, "value", false },
        { "F", { 12, 1, 64 }, "dvalue", false },
        { "F", { 12, 1, 130 }, "dvalue", false },
        { "F", { 4, 1, 129 }, "value", false },
        { "F", { 4, 1, 131 }, "value", false },
        { "F", { 4, 0, 6 }, "value", false },
        { "F", { 4, 1, 3 }, "value", false },
        { "F", { 12, 1, 0 }, "dvalue", false },
        { "F", { 12, 0, 7 }, "dvalue", false },
        { "F", { 4, 0, 10 }, "index", false },
        { "F", { 4, 2, 6 }, "&updateCoeffFunc", false },
        { "F", { 4, 2, 7 }, "theBiquad", false },
        { "F", { 22, 0x5802 /* 2, "X" */, 0x0059 /* "Y" */ }, "XY", true },
    };

    auto& node = dsp->add ("Compressor", 3);

    for (auto& c : cases)
    {
        LibraryFunctionDefinition function;
        function.name = c.functionName;
        function.parameterCount = 1;
        function.parameterWords = ParameterWordList::fromWords (c.words);
        ParameterDescriptor parameter;
        getFunctionParameter (function, ParameterNumbering::parametersOnly, 0, parameter);
        bool takesNext = false;

        EXPECT_EQ (ControlHandlerWriter::getArgumentExpression (function, parameter, node, 48.0, takesNext), c.expression)
            << c.words[0] << "/" << c.words[1] << "/" << c.words[2];
        EXPECT_EQ (takesNext, c.takesNext);
    }

    EXPECT_EQ (getLogErrorCount(), 0);
}

// A delay's count is its length in ms, by which nothing in the firmware is
// sized: its control calls take the size its set-up call gave it, in samples.
TEST_F (ControlHandlerTest, ADelaysCountArgumentIsTheSizeItsSetUpCallGaveIt)
{
    const HandlerDesign design{ "tapDelay", fullCoreModule,
                                [] (DspPlace& place) { assignCommandWords (place.add ("TapDelay", 250)); } };

    for (bool command : { false, true })
    {
        // 250 ms at 48 kHz.
        const auto generated = generateHandler (design, command);
        EXPECT_TRUE (generated.source.body.contains ("Tap_Init( dspId, 0x00002EE0 )")) << generated.source.body;
        EXPECT_TRUE (generated.handler.body.contains ("Tap_SetTime( dspId, processId, index, 0x00002EE0, value );"))
            << generated.handler.body;
    }
}

TEST_F (ControlHandlerTest, AnUnknownParameterTypeIsAnInternalError)
{
    LibraryFunctionDefinition function;
    function.name = "F";
    function.parameterCount = 1;
    function.parameterWords = ParameterWordList::fromWords ({ 4, 0, 28 });
    ParameterDescriptor parameter;
    getFunctionParameter (function, ParameterNumbering::parametersOnly, 0, parameter);
    bool takesNext = false;

    EXPECT_EQ (ControlHandlerWriter::getArgumentExpression (function, parameter, dsp->add ("Compressor"), 48.0, takesNext),
               "unknown_parameter_LIBVAR");
    EXPECT_EQ (getLogText(), " !!! Error#1: unknown_parameter_LIBVAR...please contact a OSTRANE developer\n");
}

TEST_F (ControlHandlerTest, ReadBackFunctionsAnswerWithASystemExclusiveMessage)
{
    EXPECT_EQ (ControlHandlerWriter::writeSendSysExCall ("Meter_GetPeak( dspId )"),
               " sendSysExMessage( value, Meter_GetPeak( dspId ) );");

    auto& meter = dsp->add ("LevelMeter");
    assignCommandWords (meter);
    SourceWriter writer;
    makeWriter().writeFunctionCases (writer.getStream());

    EXPECT_TRUE (writer.getText().contains (
        "case 0x4020:  sendSysExMessage( value, Meter_GetPeak( dspId, processId, index ) ); return 1;\n"))
        << writer.getText();
    EXPECT_TRUE (writer.getText().contains ("case 0x4021: Meter_SetDecay( dspId, processId, index, value ); return 1;\n"));
}

TEST_F (ControlHandlerTest, HexNumbersAreUpperCaseWithAtLeastFourDigits)
{
    EXPECT_EQ (ControlHandlerWriter::toHex (1), "0001");
    EXPECT_EQ (ControlHandlerWriter::toHex (0x4A2), "04A2");
    EXPECT_EQ (ControlHandlerWriter::toHex (0xBEEF), "BEEF");
    EXPECT_EQ (ControlHandlerWriter::toHex (0x1ABCDE), "1ABCDE");
}

TEST_F (ControlHandlerTest, ADspWithoutProcessesGetsNoHandlerAndNoName)
{
    DspSourceTexts texts;
    texts.body = "kept";
    texts.declarations = "kept too";
    juce::StringArray names;

    dsp->generator.writeNrpnHandler (library(), 1, texts, names);
    dsp->generator.writeCommandHandler (library(), 1, texts, names);

    EXPECT_EQ (texts.body, "kept");
    EXPECT_EQ (texts.declarations, "kept too");
    EXPECT_TRUE (names.isEmpty());
}

TEST_F (ControlHandlerTest, EachVariantRegistersItsOwnHandlerName)
{
    const auto& design = getHandlerDesign ("liteControls");

    EXPECT_EQ (generateHandler (design, false, 3).handlerNames, juce::StringArray ({ "", "", "dsp3NrpnHandler" }));
    EXPECT_EQ (generateHandler (design, true, 3).handlerNames, juce::StringArray ({ "", "", "dsp3CommandHandler" }));
}

TEST_F (ControlHandlerTest, TheVariantsDifferOnlyInTheirListsLookupsAndHookArguments)
{
    for (auto& design : getHandlerDesigns())
    {
        const auto nrpn = generateHandler (design, false).handler;
        const auto command = generateHandler (design, true).handler;

        // The same cases in both.
        EXPECT_EQ (blockAfter (nrpn.body, "switch (functionId)"), blockAfter (command.body, "switch (functionId)"))
            << design.name;

        // The same processes, the same controls; the command list also holds
        // the biquad rows.
        EXPECT_EQ (nrpn.declarations.upToFirstOccurrenceOf ("\n", true, false),
                   command.declarations.upToFirstOccurrenceOf ("\n", true, false));

        for (auto& line : juce::StringArray::fromLines (blockAfter (nrpn.body, "nrpn1List[")))
        {
            if (line.startsWith ("\t{ 0x"))
            {
                EXPECT_TRUE (command.body.contains (line.substring (0, 10))) << line;
            }
        }

        // The same guard and the same hooks, with each variant's arguments.
        for (auto* text : { &nrpn.body, &command.body })
        {
            EXPECT_TRUE (text->startsWith ("\n#ifndef\t_SKIP_ZQV_NRPN_CTRL\n\n"));
            EXPECT_TRUE (text->endsWith ("}\n#endif\t// _SKIP_ZQV_NRPN_CTRL\n"));
        }

        EXPECT_TRUE (nrpn.body.contains ("customPostNrpnFunction1( dspId, nrpn, val8bit, value, dvalue )"));
        EXPECT_TRUE (command.body.contains ("customPostNrpnFunction1( dspId, command, index, val8bit, value, dvalue )"));
    }
}
