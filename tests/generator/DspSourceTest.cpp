#include "DspSourceTestDesigns.h"

#include "generator/SourceStream.h"
#include "generator/templates/DspSourceBlocks.h"
#include "model/DesignLog.h"
#include "model/ParameterDescriptor.h"

#include "modulesdef/ModulesDefText.h"

#include <gtest/gtest.h>

using namespace generatortest;

namespace
{
class DspSourceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clearLog();
        reader = readLibrary (generatorDescription());
        context.setSamplingRateKhz (48.0);
        dsp = std::make_unique<TestDsp> (library(), 1, 0x21, context);
    }

    void TearDown() override { clearLog(); }

    ModuleLibrary& library() { return reader->getLibrary(); }

    bool generate (bool commandVariant = false)
    {
        features = 0;
        return dsp->generator.writeDspSource (library(), dsp->dspId, texts, features, commandVariant);
    }

    // A chain from DSP input 0 through the named processes to DSP output 0.
    std::vector<GraphNode*> chain (const juce::StringArray& processes)
    {
        std::vector<GraphNode*> nodes;

        for (auto& name : processes)
            nodes.push_back (&dsp->add (name));

        dsp->dspInput (*nodes.front(), 0, 0);

        for (size_t i = 1; i < nodes.size(); ++i)
            dsp->connect (*nodes[i - 1], 0, *nodes[i], 0);

        dsp->dspOutput (*nodes.back(), 0, 0);
        return nodes;
    }

    static LibraryFunctionDefinition makeFunction (const char* name, int returns, int parameters,
                                                   const std::vector<uint16_t>& words)
    {
        LibraryFunctionDefinition function;
        function.name = name;
        function.returnValueCount = returns;
        function.parameterCount = parameters;
        function.parameterWords = ParameterWordList::fromWords (words);
        return function;
    }

    juce::String callLine (const LibraryFunctionDefinition& function, const GraphNode* node, bool isBiquad,
                           const BuildProjectFile::GeneratedTexts& generated)
    {
        DspSourceTexts record;
        dsp->generator.writeProcessInitCalls (function, 1, juce::String (function.name), record, node, isBiquad, generated);
        return record.body;
    }

    std::unique_ptr<ModulesDefReader> reader;
    GenerationContext context;
    std::unique_ptr<TestDsp> dsp;
    DspSourceTexts texts;
    uint8_t features = 0;
};
} // namespace

TEST (DspSourceGoldenTest, SmallDesignsGiveTheirExpectedSources)
{
    for (auto& design : getTestDesigns())
    {
        const auto actual = renderGeneration (generateDesign (design));
        const auto expected = goldenText (juce::String (design.name) + ".txt", actual);

        EXPECT_EQ (actual, expected) << "design " << design.name
                                     << " (set VX_UPDATE_GOLDEN=1 to rewrite tests/generator/golden/ after a deliberate change)";
    }
}

TEST (DspSourceGoldenTest, TheSameDesignGivesTheSameTextTwice)
{
    const auto& design = getTestDesigns().front();
    EXPECT_EQ (renderGeneration (generateDesign (design)), renderGeneration (generateDesign (design)));
}

TEST_F (DspSourceTest, ThePcsArrayCoversTheLargestNrpn)
{
    auto nodes = chain ({ "ShortDelay", "ShortDelay" });
    nodes[1]->nrpn = 4;

    ASSERT_TRUE (generate());
    EXPECT_TRUE (texts.body.contains ("WORD dsp1pcs[5];\n\nWORD dsp1InitAndRoute(void)\n{\n\tWORD dspId;\n"));
    EXPECT_EQ (texts.declarations, "\nWORD dsp1InitAndRoute(void);\nextern WORD dsp1pcs[5];\n");
}

TEST_F (DspSourceTest, TheCommandVariantLeavesOutTheNrpnControlHeader)
{
    chain ({ "ShortDelay" });

    ASSERT_TRUE (generate (false));
    EXPECT_TRUE (texts.body.startsWith (juce::String (DspSourceBlocks::includes) + DspSourceBlocks::nrpnControlInclude));

    ASSERT_TRUE (generate (true));
    EXPECT_TRUE (texts.body.startsWith (DspSourceBlocks::includes));
    EXPECT_FALSE (texts.body.contains ("midictrl.h"));
}

TEST_F (DspSourceTest, WithoutBiquadsThereIsNoBiquadBlock)
{
    chain ({ "ShortDelay", "Compressor" });

    ASSERT_TRUE (generate());
    EXPECT_FALSE (texts.body.contains ("BiquadCtrl.h"));
    EXPECT_FALSE (texts.body.contains ("BIQUAD_ITEMCOUNT"));
    EXPECT_FALSE (texts.hasBiquad);
}

TEST_F (DspSourceTest, ABiquadOfThreeBandsDefinesItsBandCount)
{
    auto& eq = dsp->add ("ParamEq8", 3);
    dsp->dspInput (eq, 0, 0);
    eq.nrpn = 7;

    ASSERT_TRUE (generate());
    EXPECT_TRUE (texts.body.contains ("#include \"BiquadCtrl.h\"\n"));
    EXPECT_TRUE (texts.body.contains ("#define BIQUAD_ITEMCOUNT 1\n"));
    EXPECT_TRUE (texts.body.contains ("#define\tBIQUAD7BANDCOUNT\t3\n"));
    EXPECT_TRUE (texts.body.contains ("_FILTER_PARAM biquad1Parameters7[BIQUAD7BANDCOUNT];\n"));
    EXPECT_TRUE (texts.body.contains ("BiquadParameters biquad1ParamAddr7 = { biquad1Parameters7, biquad1Type7, "
                                      "biquad1XoverType7, biquad1RawFrequency7, BIQUAD7BANDCOUNT };\n"));
    EXPECT_EQ (texts.biquadNrpns, juce::Array<uint32_t> ({ 7 }));
    EXPECT_TRUE (eq.biquadMark);
    EXPECT_EQ (features, BuildProjectFile::featureBiquadControl);
}

TEST_F (DspSourceTest, FeatureBitsComeFromTheProcessAndModuleKinds)
{
    chain ({ "ShelfEq2", "Compressor" });
    ASSERT_TRUE (generate());
    EXPECT_EQ (features, BuildProjectFile::featureBiquadControl | BuildProjectFile::featureExtendedBiquad |
                             BuildProjectFile::featureCompressor);
    EXPECT_TRUE (texts.body.contains ("\tinitBiquadExType( biquad1Type1, BIQUAD1BANDCOUNT );\n"));

    library().clearDsps();
    TestDsp pitch (library(), 2, 0x05, context);
    pitch.add ("Chorus");
    uint8_t pitchFeatures = 0;
    ASSERT_TRUE (pitch.generator.writeDspSource (library(), 2, texts, pitchFeatures, false));
    EXPECT_EQ (pitchFeatures, BuildProjectFile::featureSpdif | BuildProjectFile::featureCompressor);
}

TEST_F (DspSourceTest, AnUnconnectedInputIsARoutingErrorWithOneMessage)
{
    auto& delay = dsp->add ("ShortDelay");
    auto& sum = dsp->add ("Add2", 0, "Sum");
    dsp->dspInput (delay, 0, 0);
    dsp->connect (delay, 0, sum, 0);
    dsp->dspOutput (sum, 0, 0);

    ASSERT_TRUE (generate());
    EXPECT_TRUE (texts.body.contains ("\tSc8_SetInputRoute( dspId, In2|dsp1pcs[2], ROUTING_ERROR_NOT_CONNECTED );\n"));
    EXPECT_EQ (getLogErrorCount(), 1);
    EXPECT_EQ (getLogText(), " !!! Error#1: missing connection for In2 in DSP#1\n");
}

TEST_F (DspSourceTest, TwoOutputsIntoOneMixerChannelFailTheBuildAtTheMixer)
{
    auto& left = dsp->add ("ShortDelay", 0, "Left");
    auto& right = dsp->add ("ShortDelay", 0, "Right");
    auto& mix = dsp->add ("MixN", 2);
    dsp->dspInput (left, 0, 0);
    dsp->dspInput (right, 0, 1);
    dsp->connect (left, 0, mix, 1);
    dsp->connect (right, 0, mix, 1);
    dsp->dspOutput (mix, 0, 0);

    ASSERT_TRUE (generate());
    EXPECT_TRUE (texts.body.contains ("\tSc8_SetInputRoute( dspId, In|dsp1pcs[3], ROUTING_ERROR_CONFLICT_DETECTED );\n"))
        << texts.body;
    EXPECT_TRUE (getLogText().startsWith (" !!! Error#1: Connector node attribution conflict between Left #1 and MixN #3. Try "
                                          "using Add2 process for signal summing replacing MixN #3 in DSP#1\n"))
        << getLogText();
}

TEST_F (DspSourceTest, StaticProcessesAreRoutedBeforeTheirSetUp)
{
    chain ({ "LongDelay", "Compressor" });
    ASSERT_TRUE (generate());

    const auto& body = texts.body;
    const int staticRouting = body.indexOf ("\tSc8_SetInputRoute( dspId, LDelayIn, PCS_DSP_IN | 0 );");
    const int staticSetUp = body.indexOf ("\tdsp1pcs[1] = LDelay_AllocLine(");
    const int dynamicSetUp = body.indexOf ("\tdsp1pcs[2] = Comp_Init(");
    const int dynamicRouting = body.indexOf ("\tSc8_SetInputRoute( dspId, In|dsp1pcs[2], PCS_NODE | 0 );");

    ASSERT_GE (staticRouting, 0);
    ASSERT_GE (dynamicRouting, 0);
    EXPECT_LT (staticRouting, staticSetUp);
    EXPECT_LT (dynamicSetUp, dynamicRouting);
}

TEST_F (DspSourceTest, AnInputReadingADspOutputUsesTheOutputRouting)
{
    auto& a = dsp->add ("Add2");
    auto& b = dsp->add ("Add2");
    dsp->dspInput (a, 0, 0);
    dsp->dspInput (a, 1, 1);
    dsp->dspOutput (a, 0, 3);
    dsp->connect (a, 0, b, 0);
    dsp->dspInput (b, 1, 2);

    ASSERT_TRUE (generate());
    EXPECT_TRUE (texts.body.contains ("\tSc8_SetOutputRoute( dspId, In1|dsp1pcs[2], PCS_DSP_OUT | 3 );\n"));
}

TEST_F (DspSourceTest, TheMemoryMapIsIncludedOnlyWhenTheDspPlacedMemory)
{
    // The module's own set-up places its scratch memory once a static
    // process gives it a memory choice.
    chain ({ "Compressor" });
    ASSERT_TRUE (generate());
    EXPECT_FALSE (texts.body.contains ("memorymap.h"));
    EXPECT_TRUE (texts.memory.isEmpty());
    EXPECT_TRUE (texts.body.contains ("\tdspId = Sc8_InitDsp( MEMORY_INIT_ERROR );\n"));
    EXPECT_EQ (getLogText(),
               " !!! Error#1: Unable to guess memory settings. If no static process is needed, please use the MixPA module "
               "instead in DSP#1\n");

    clearLog();
    library().clearDsps();
    dsp = std::make_unique<TestDsp> (library(), 1, 0x21, context);
    chain ({ "ShortDelay" });
    context.resetMemoryBases();
    ASSERT_TRUE (generate());
    EXPECT_TRUE (texts.body.contains ("#include \"midictrl.h\"\n#endif\t// _SKIP_ZQV_NRPN_CTRL\n#include \"memorymap.h\"\n\n"));
    EXPECT_TRUE (texts.memory.startsWith ("\n//Dsp#1 memory processes define\n#define\tMEMADDR_DSPINIT01_PCS00PAR00\t"));
    EXPECT_TRUE (getLogText().isEmpty());
}

TEST_F (DspSourceTest, ThePitchShifterModuleRemovesItsShifterWhenUnused)
{
    library().clearDsps();
    TestDsp pitch (library(), 1, 0x05, context);
    auto& chorus = pitch.add ("Chorus");
    pitch.dspInput (chorus, 0, 0);

    ASSERT_TRUE (pitch.generator.writeDspSource (library(), 1, texts, features, false));

    const int hook = texts.body.indexOf ("customPreInitFunction1( dspId );");
    const int removal =
        texts.body.indexOf ("\n\t// Remove HQPitchShifter variables.\n\t_MultiFX_HQPitchShifter_Remove( dspId );\n\n"
                            "\t// Process #1: Chorus\n");
    ASSERT_GE (hook, 0);
    EXPECT_GT (removal, hook);
}

TEST_F (DspSourceTest, HookLinesStandInColumnZeroOfTheFunctionBody)
{
    chain ({ "ShortDelay" });
    ASSERT_TRUE (generate());

    EXPECT_TRUE (texts.body.contains ("\n#ifdef _customPreInitFunction1\n"
                                      "customPreInitFunction1( dspId );"
                                      "// Do all your custom pre initialization code into this function\n"
                                      "#endif\n"));
    EXPECT_TRUE (texts.body.contains ("\n#ifdef _customPostInitFunction1\n"
                                      "customPostInitFunction1( dspId );"
                                      "// Do all your custom post initialization code into this function\n"
                                      "#endif\n\treturn( dspId );\n}\n"));
}

TEST (DspSourceHookTest, ControlHooksOpenABlockThatReturns)
{
    SourceStream stream;
    BuildProjectFile::writeCustomHookCalls (stream, 2, 2, "a, b", "// c");

    EXPECT_EQ (stream.getText(), "#ifdef _customPreNrpnFunction2\n"
                                 "if ( customPreNrpnFunction2( a, b ) )// c\n{\n\treturn 1;\n}\n"
                                 "#endif\n");
}

TEST_F (DspSourceTest, UnknownTypesAreMarkedAndReportedAsInternalErrors)
{
    // A return value of the index type and a parameter of type 4/0/6.
    const auto function = makeFunction ("Odd_Init", 1, 2, { 4, 0, 10, 4, 2, 0, 4, 0, 6 });
    BuildProjectFile::GeneratedTexts generated;
    generated[0] = "dspId";

    EXPECT_EQ (callLine (function, nullptr, false, generated),
               "\tunknown_return_LIBVAR = Odd_Init( dspId, unknown_parameter_LIBVAR );\n");
    EXPECT_EQ (getLogErrorCount(), 2);
    EXPECT_EQ (getLogText(), " !!! Error#1: unknown_return_LIBVAR in DSP#1\n...please contact a OSTRANE developer\n"
                             " !!! Error#2: unknown_parameter_LIBVAR in DSP#1\n...please contact a OSTRANE developer\n");
}

TEST_F (DspSourceTest, ArgumentsFollowTheParameterTypes)
{
    auto& delay = dsp->add ("LongDelay", 10);
    BuildProjectFile::GeneratedTexts generated;
    generated[0] = "dspId";
    generated[1] = "dsp1pcs[1]";
    generated[3] = "WHOLE";
    generated[8] = "HIGH";
    generated[9] = "LOW";
    generated[11] = "LOW24";
    generated[13] = "LOW16";
    generated[17] = "BIQUAD1BANDCOUNT";

    // dspId, process id, 12/0/0, 4/0/1, 4/0/2, 4/0/22, 4/0/20, 4/0/4, a time in ms, class 21 "ab".
    const auto function = makeFunction ("All_Init", 1, 10, { 4, 2, 1, 4,  2, 0, 4,  2, 1, 12, 0, 0, 4, 0,  1,      4,     0,
                                                             2, 4, 0, 22, 4, 0, 20, 4, 0, 4,  4, 1, 3, 21, 0x6102, 0x0062 });

    EXPECT_EQ (callLine (function, &delay, false, generated),
               "\tdsp1pcs[1] = All_Init( dspId, dsp1pcs[1], WHOLE, HIGH, LOW, LOW24, LOW16, 0/*default*/, 0x000001E0, ab );\n");
    EXPECT_EQ (callLine (function, &delay, true, generated).fromFirstOccurrenceOf ("0/*default*/, ", false, false),
               "BIQUAD1BANDCOUNT, ab );\n");
    EXPECT_TRUE (getLogText().isEmpty());
}

TEST_F (DspSourceTest, AnEmptyMemorySlotFailsTheBuildAtTheArgument)
{
    const auto function = makeFunction ("Mem_Init", 0, 2, { 12, 0, 0, 4, 0, 22 });
    BuildProjectFile::GeneratedTexts generated;

    EXPECT_EQ (callLine (function, nullptr, false, generated), "\tMem_Init( MEMORY_INIT_ERROR, MEMORY_INIT_ERROR );\n");

    // A 24-bit low half that the process's memory choice placed elsewhere
    // takes the low half placed for it.
    generated[9] = "LOW";
    EXPECT_EQ (callLine (function, nullptr, false, generated), "\tMem_Init( MEMORY_INIT_ERROR, LOW );\n");
}

TEST_F (DspSourceTest, AMissingLevelDetectIsReported)
{
    BuildProjectFile::GeneratedTexts generated;
    const auto compressor = makeFunction ("Compressor_Init", 0, 1, { 4, 2, 5 });
    const auto wah = makeFunction ("Wah_Init", 0, 1, { 4, 2, 5 });

    EXPECT_EQ (callLine (compressor, nullptr, false, generated), "\tCompressor_Init( ROUTING_ERROR_NOT_CONNECTED );\n");
    callLine (wah, nullptr, false, generated);

    EXPECT_EQ (getLogText(),
               " !!! Error#1: please connect the Level detect green output pin to the Compressor green input pin in DSP#1\n"
               " !!! Error#2: please connect the Level detect green output pin to the Wah green input pin in DSP#1\n");

    generated[5] = "dsp1pcs[4]";
    EXPECT_EQ (callLine (compressor, nullptr, false, generated), "\tCompressor_Init( dsp1pcs[4] );\n");
    EXPECT_EQ (getLogErrorCount(), 2);
}

TEST_F (DspSourceTest, AnyOtherFunctionWithoutAVirtualSourceIsMarkedButNotReported)
{
    // A module's own set-up function has no pin anyone could connect: no
    // message, and a name in place of the empty argument or result.
    BuildProjectFile::GeneratedTexts generated;
    generated[0] = "dspId";
    const auto moduleFunction = makeFunction ("Mod_AttachSource", 0, 2, { 4, 2, 0, 4, 2, 5 });
    const auto returning = makeFunction ("Gate_Init", 1, 1, { 4, 2, 5, 4, 2, 0 });

    EXPECT_EQ (callLine (moduleFunction, nullptr, false, generated),
               "\tMod_AttachSource( dspId, ROUTING_ERROR_NOT_CONNECTED );\n");
    EXPECT_EQ (callLine (returning, nullptr, false, generated), "\tROUTING_ERROR_NOT_CONNECTED = Gate_Init( dspId );\n");
    EXPECT_TRUE (getLogText().isEmpty());

    generated[5] = "dsp1pcs[2]";
    EXPECT_EQ (callLine (returning, nullptr, false, generated), "\tdsp1pcs[2] = Gate_Init( dspId );\n");
}

TEST (DspSourceModuleTest, AModuleFunctionTakingAProcessReferenceReportsNothing)
{
    // Every DSP on this module used to report a pin to connect that no
    // design can have.
    const char* const moduleText = R"(
capacity 16
version 68
module "SourceCore"
    id 0x0060
    dsp-inputs 2
    dsp-outputs 2
    function "Src_InitDsp"
        form 0
        returns 0
        params 2
        words (4,2,0) (4,2,5)
    end
    second-function "Src_SetInputRoute"
        form 0
        returns 0
        params 3
        words (4,2,0) (4,0,1) (4,0,2)
    end
    second-function "Src_SetOutputRoute"
        form 0
        returns 0
        params 3
        words (4,2,0) (4,0,1) (4,0,2)
    end
    process "Thru" pcs
        id 0x0061
        inputs 1
        outputs 1
        cycles per-channel 1 base 1
        ram per-channel 1 base 1
        pin "In" in vector
        pin "Out" out vector
    end
end
)";
    auto description = generatorDescription();
    description.modules.push_back (modulesdef::ModulesDefText::parse (moduleText).modules[0]);
    auto reader = readLibrary (description);
    GenerationContext context;
    TestDsp dsp (reader->getLibrary(), 2, 0x60, context);
    auto& thru = dsp.add ("Thru");
    dsp.dspInput (thru, 0, 0);
    dsp.dspOutput (thru, 0, 1);

    clearLog();
    DspSourceTexts texts;
    uint8_t features = 0;
    EXPECT_TRUE (dsp.generator.writeDspSource (reader->getLibrary(), 2, texts, features, false));

    EXPECT_TRUE (texts.body.contains ("\tSrc_InitDsp( dspId, ROUTING_ERROR_NOT_CONNECTED );\n")) << texts.body;
    EXPECT_TRUE (getLogText().isEmpty()) << getLogText();
    clearLog();
}

TEST_F (DspSourceTest, MemoryOfOneProcessIsNeverHandedToTheNext)
{
    // The probe places a 24-bit low half; the sample bank's 24-bit low half
    // goes to external RAM by its memory choice and must get its own name.
    // The bank, which takes no signal, starts the flow beside the probe.
    chain ({ "MemoryProbe", "ShortDelay" });
    auto& bank = dsp->add ("SampleBank");
    juce::ignoreUnused (bank);

    ASSERT_TRUE (generate());
    EXPECT_TRUE (texts.body.contains ("\tBank_AttachMemory( dspId, dsp1pcs[3], MEMADDR_DSP01_PCS01F01PAR02, "
                                      "MEMADDR_DSP01_PCS01F01PAR03 );\n"))
        << texts.body;
    EXPECT_FALSE (texts.body.contains ("Bank_AttachMemory( dspId, dsp1pcs[3], MEMADDR_DSP01_PCS00PAR02"));
}

TEST_F (DspSourceTest, TheDelaySizeNeverChangesTheLibrary)
{
    auto nodes = chain ({ "LongDelay" });
    nodes[0]->channelWord = GraphNode::delayCountFlag | 10;
    const auto* definition = nodes[0]->getProcessDefinition();
    const auto entriesBefore = definition->firstFunctions[0]->maskEntries;

    ASSERT_TRUE (generate());
    EXPECT_EQ (definition->firstFunctions[0]->maskEntries, entriesBefore);
    EXPECT_TRUE (texts.memory.contains ("+0x000003C0")) << texts.memory;
}

TEST_F (DspSourceTest, ANodeNameCannotEndItsComment)
{
    auto nodes = chain ({ "ShortDelay" });
    nodes[0]->setName ("Two\nlines\\");

    ASSERT_TRUE (generate());
    EXPECT_TRUE (texts.body.contains ("\t// Process #1: Two lines/\n"));
}

TEST_F (DspSourceTest, ADspWithoutProcessesOrModuleWritesNothing)
{
    EXPECT_FALSE (generate());
    EXPECT_TRUE (texts.body.isEmpty());
    EXPECT_TRUE (getLogText().isEmpty());

    library().clearDsps();
    TestDsp orphan (library(), 1, 0x21, context);
    orphan.add ("ShortDelay");
    library().resetDsp (1, 0x99);
    library().findDsp (1)->addProcessInstance (1, 0x206);

    EXPECT_FALSE (orphan.generator.writeDspSource (library(), 1, texts, features, false));
    EXPECT_TRUE (texts.body.isEmpty());
    EXPECT_EQ (getLogErrorCount(), 1);
}
