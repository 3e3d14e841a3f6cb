#include "GeneratorTestSupport.h"

#include "generator/MemoryMapWriter.h"
#include "model/DesignLog.h"

#include <gtest/gtest.h>

using generatortest::TestDsp;
using Slot = BuildProjectFile::GeneratedTexts::Slot;

namespace
{
class MemoryMapTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clearLog();
        reader = generatortest::readLibrary (generatortest::generatorDescription());
        context.setSamplingRateKhz (48.0);
        context.resetMemoryBases();
        dsp = std::make_unique<TestDsp> (library(), 1, 0x21, context);
    }

    void TearDown() override { clearLog(); }

    ModuleLibrary& library() { return reader->getLibrary(); }

    // A set-up function of our own: its word list, its flagged parameters
    // (bit n counted from the last parameter) and its mask entries.
    static LibraryFunctionDefinition makeFunction (const char* name, int parameters, const std::vector<uint16_t>& words,
                                                   uint32_t flags, std::vector<uint32_t> entries, bool maskUsable,
                                                   bool secondForm = false)
    {
        LibraryFunctionDefinition function;
        function.name = name;
        function.parameterCount = parameters;
        function.parameterWords = ParameterWordList::fromWords (words);
        function.parameterFlagMask = flags;
        function.maskEntries = std::move (entries);
        function.maskEntryCount = (int) function.maskEntries.size();
        function.maskUsable = maskUsable;
        function.secondFormRecord = secondForm;
        return function;
    }

    bool place (const LibraryFunctionDefinition& function, const GraphNode* node, int pcsNumber = 0, bool dspInit = false,
                int functionIndex = 0)
    {
        return dsp->generator.writeMemoryMap (pcsNumber, library(), function, function.maskEntries, node, dsp->dspId, texts,
                                              memory, dspInit, functionIndex);
    }

    std::unique_ptr<ModulesDefReader> reader;
    GenerationContext context;
    std::unique_ptr<TestDsp> dsp;
    BuildProjectFile::GeneratedTexts texts;
    juce::String memory;
};
} // namespace

TEST_F (MemoryMapTest, NamesCarryTheDspTheProcessAndTheParameter)
{
    MemoryMapWriter::Call call;
    call.dspId = 0x30;
    call.pcsNumber = 2;
    EXPECT_EQ (MemoryMapWriter::makeName (call, 1), "MEMADDR_DSP30_PCS02PAR01");

    call.dspInit = true;
    call.dspId = 0x1AB;
    call.pcsNumber = 0x10;
    EXPECT_EQ (MemoryMapWriter::makeName (call, 12), "MEMADDR_DSPINITab_PCS10PAR0c");

    call.dspInit = false;
    call.functionIndex = 1;
    EXPECT_EQ (MemoryMapWriter::makeName (call, 2), "MEMADDR_DSPab_PCS10F01PAR02");
}

TEST_F (MemoryMapTest, LineBuilders)
{
    EXPECT_EQ (MemoryMapWriter::definitionLine ("A", "B", "F"), "#define\tA\t(B) // F\n");
    EXPECT_EQ (MemoryMapWriter::nextBaseValue ("B", 0), "(B)");
    EXPECT_EQ (MemoryMapWriter::nextBaseValue ("B", 0xabc), "(B+0x00000ABC)");
    EXPECT_EQ (MemoryMapWriter::nextBaseLine ("A", "B", 16), "#define\tA_NEXTBASE\t((B+0x00000010)) // next base address\n");
    EXPECT_EQ (MemoryMapWriter::lowHalf ("X"), "((X)&0xFFFF)");
    EXPECT_EQ (MemoryMapWriter::highHalf ("X"), "((X)>>16)");
}

TEST_F (MemoryMapTest, PlacementsInOneRegionChainTheirAddresses)
{
    auto& process = dsp->add ("LongDelay");
    process.memoryWord = GraphNode::memoryChoiceInternal24BitRam;
    const auto function = makeFunction ("Twin_Init", 2, { 12, 0, 0, 12, 0, 0 }, 0x3, { 0x100, 0x40 }, true);

    EXPECT_TRUE (place (function, &process, 2));
    EXPECT_EQ (memory, "#define\tMEMADDR_DSP01_PCS02PAR00\t(MEMADDR_INT24RAM_START) // Twin_Init\n"
                       "#define\tMEMADDR_DSP01_PCS02PAR00_NEXTBASE\t((MEMADDR_INT24RAM_START+0x00000100)) // next base address\n"
                       "#define\tMEMADDR_DSP01_PCS02PAR01\t(MEMADDR_DSP01_PCS02PAR00_NEXTBASE) // Twin_Init\n"
                       "#define\tMEMADDR_DSP01_PCS02PAR01_NEXTBASE\t((MEMADDR_DSP01_PCS02PAR00_NEXTBASE+0x00000040)) // next "
                       "base address\n");
    EXPECT_EQ (texts[Slot::wholeAddressSlot], "MEMADDR_DSP01_PCS02PAR01");
    EXPECT_EQ (context.getMemoryRegion (GenerationContext::Region::internal24BitRam).baseSymbol,
               "MEMADDR_DSP01_PCS02PAR01_NEXTBASE");
    EXPECT_EQ (context.getMemoryRegion (GenerationContext::Region::externalRam).baseSymbol, "MEMADDR_EXTRAM_START");
}

TEST_F (MemoryMapTest, ASecondFormHighHalfMovesToTheNext64KBoundary)
{
    auto& process = dsp->add ("LongDelay");
    const auto function = makeFunction ("Split_Init", 2, { 4, 0, 1, 4, 0, 2 }, 0x2, { 0x300 }, false, true);

    EXPECT_TRUE (place (function, &process, 0));
    EXPECT_EQ (memory, "#if ((MEMADDR_EXTRAM_START)&0xFFFF)\n"
                       "#define\tMEMADDR_DSP01_PCS00PAR00\t(((MEMADDR_EXTRAM_START+0x10000)>>16)) // Split_Init\n"
                       "#define\tMEMADDR_DSP01_PCS00PAR00_NEXTBASE\t((MEMADDR_EXTRAM_START+0x00010300)) // next base address\n"
                       "#else\n"
                       "#define\tMEMADDR_DSP01_PCS00PAR00\t(((MEMADDR_EXTRAM_START)>>16)) // Split_Init\n"
                       "#define\tMEMADDR_DSP01_PCS00PAR00_NEXTBASE\t((MEMADDR_EXTRAM_START+0x00000300)) // next base address\n"
                       "#endif\n"
                       "#define\tMEMADDR_DSP01_PCS00PAR01\t(((MEMADDR_DSP01_PCS00PAR00_NEXTBASE)&0xFFFF)) // Split_Init\n");
    EXPECT_EQ (texts[Slot::highHalfSlot], "MEMADDR_DSP01_PCS00PAR00");
    EXPECT_EQ (texts[Slot::lowHalfSlot], "MEMADDR_DSP01_PCS00PAR01");
}

TEST_F (MemoryMapTest, TheMemoryChoiceDecidesOnlyForMaskUsableFunctions)
{
    auto& process = dsp->add ("LongDelay");
    process.memoryWord = GraphNode::memoryChoiceInternal24BitRam;

    const auto usable = makeFunction ("Usable_Init", 1, { 12, 0, 0 }, 0x1, { 0x20 }, true);
    place (usable, &process);
    EXPECT_TRUE (memory.startsWith ("#define\tMEMADDR_DSP01_PCS00PAR00\t(MEMADDR_INT24RAM_START) // Usable_Init\n"));

    memory.clear();
    const auto fixed = makeFunction ("Fixed_Init", 1, { 12, 0, 0 }, 0x1, { 0x20 }, false);
    place (fixed, &process, 1);
    EXPECT_TRUE (memory.startsWith ("#define\tMEMADDR_DSP01_PCS01PAR00\t(MEMADDR_EXTRAM_START) // Fixed_Init\n"));
    EXPECT_FALSE (context.isExternalRamUsed());
}

TEST_F (MemoryMapTest, MemoryClassesElevenToThirteenSelectByTheirLowBits)
{
    // Classes 11 to 13 carry bit 31 in the memory word.
    auto& delay = dsp->add ("ShortDelay");
    ASSERT_EQ (delay.memoryWord, 0x80000001u);

    const auto* attach = delay.getProcessDefinition()->firstFunctions[0];
    EXPECT_TRUE (place (*attach, &delay));
    EXPECT_EQ (texts[Slot::highHalfSlot], "MEMADDR_DSP01_PCS00PAR01");
    EXPECT_EQ (texts[Slot::lowHalfSlot], "MEMADDR_DSP01_PCS00PAR02");
    EXPECT_TRUE (context.isExternalRamUsed());
    EXPECT_FALSE (memory.contains ("MEMORY_INIT_ERROR"));

    delay.memoryWord = 0x80000003;
    texts = {};
    memory.clear();
    EXPECT_TRUE (place (*attach, &delay, 1));
    EXPECT_EQ (texts[Slot::int24LowHalfSlot], "MEMADDR_DSP01_PCS01PAR02");
}

TEST_F (MemoryMapTest, WithoutARegionTheSlotsMarkTheErrorAndNothingIsWritten)
{
    auto& process = dsp->add ("LongDelay");
    process.memoryWord = 0x80000000;
    const auto function = makeFunction ("Lost_Init", 1, { 12, 0, 0 }, 0x1, { 0x20 }, true);

    EXPECT_FALSE (place (function, &process));
    EXPECT_TRUE (memory.isEmpty());

    for (int slot : { 3, 7, 8, 9, 10, 11, 12, 13, 14, 15 })
        EXPECT_EQ (texts[slot], "MEMORY_INIT_ERROR") << slot;

    EXPECT_TRUE (texts[Slot::processIdSlot].isEmpty());
    EXPECT_TRUE (getLogText().isEmpty());
}

TEST_F (MemoryMapTest, EveryFlaggedParameterOwnsAMaskEntry)
{
    // A flagged parameter that is no memory still takes its entry.
    auto& process = dsp->add ("LongDelay");
    const auto function = makeFunction ("Skip_Init", 2, { 4, 0, 6, 12, 0, 0 }, 0x3, { 0x11, 0x22 }, true);

    place (function, &process);
    EXPECT_TRUE (memory.contains ("+0x00000022"));
    EXPECT_FALSE (memory.contains ("+0x00000011"));
}

TEST_F (MemoryMapTest, WithoutMaskEntriesThePendingSizeStays)
{
    auto& process = dsp->add ("LongDelay");
    const auto sized = makeFunction ("Sized_Init", 1, { 12, 0, 0 }, 0x1, { 0x80 }, true);
    const auto unsized = makeFunction ("Unsized_Init", 1, { 12, 0, 0 }, 0x1, {}, true);

    place (sized, &process, 0);
    place (unsized, &process, 1);

    EXPECT_TRUE (
        memory.contains ("#define\tMEMADDR_DSP01_PCS01PAR00_NEXTBASE\t((MEMADDR_DSP01_PCS00PAR00_NEXTBASE+0x00000080))"));
}

TEST_F (MemoryMapTest, AnAddressThatReservesNothingIsStillDefined)
{
    auto& process = dsp->add ("LongDelay");
    const auto function = makeFunction ("Peek_Init", 1, { 12, 0, 0 }, 0x0, {}, false);

    EXPECT_TRUE (place (function, &process));
    EXPECT_EQ (memory, "#define\tMEMADDR_DSP01_PCS00PAR00\t(MEMADDR_EXTRAM_START) // Peek_Init\n");
    EXPECT_EQ (context.getMemoryRegion (GenerationContext::Region::externalRam).baseSymbol, "MEMADDR_EXTRAM_START");
}

TEST_F (MemoryMapTest, InternalSixteenBitRamAlsoFillsTheWholeAddressSlot)
{
    auto& process = dsp->add ("LongDelay");
    const auto function = makeFunction ("Small_Init", 1, { 4, 0, 20 }, 0x1, { 0x8 }, false);

    place (function, &process);
    EXPECT_EQ (texts[Slot::int16LowHalfSlot], "MEMADDR_DSP01_PCS00PAR00");
    EXPECT_EQ (texts[Slot::lowHalfSlot], "MEMADDR_DSP01_PCS00PAR00");
    EXPECT_EQ (texts[Slot::wholeAddressSlot], "MEMADDR_DSP01_PCS00PAR00");
    EXPECT_TRUE (memory.startsWith ("#define\tMEMADDR_DSP01_PCS00PAR00\t(((MEMADDR_INT16RAM_START)&0xFFFF)) // Small_Init\n"));
}

TEST_F (MemoryMapTest, TheChainContinuesFromOneDspIntoTheNext)
{
    auto& first = dsp->add ("LongDelay");
    TestDsp second (library(), 2, 0x21, context);
    auto& other = second.add ("LongDelay");
    const auto* allocate = first.getProcessDefinition()->firstFunctions[0];

    place (*allocate, &first);
    juce::String secondMemory;
    second.generator.writeMemoryMap (0, library(), *allocate, allocate->maskEntries, &other, 2, texts, secondMemory, false);

    EXPECT_TRUE (
        secondMemory.startsWith ("#define\tMEMADDR_DSP02_PCS00PAR01\t(MEMADDR_DSP01_PCS00PAR01_NEXTBASE) // LDelay_AllocLine\n"));

    context.resetMemoryBases();
    EXPECT_EQ (context.getMemoryRegion (GenerationContext::Region::externalRam).baseSymbol, "MEMADDR_EXTRAM_START");
    EXPECT_EQ (context.getMemoryRegion (GenerationContext::Region::externalRam).pendingSize, 0u);
}

TEST_F (MemoryMapTest, ModuleFunctionsTakeTheMemoryChoiceOfTheFirstStaticProcess)
{
    auto& bank = dsp->add ("SampleBank");
    auto& delay = dsp->add ("ShortDelay");
    bank.memoryWord = GraphNode::memoryChoiceInternal16BitRam;
    juce::ignoreUnused (delay);

    const auto* initDsp = library().findModuleById (0x21)->moduleFunctions[0];
    EXPECT_TRUE (place (*initDsp, nullptr, 0, true));

    // ShortDelay comes first among the module's static processes.
    EXPECT_EQ (memory, "#define\tMEMADDR_DSPINIT01_PCS00PAR00\t(MEMADDR_EXTRAM_START) // Sc8_InitDsp\n"
                       "#define\tMEMADDR_DSPINIT01_PCS00PAR00_NEXTBASE\t((MEMADDR_EXTRAM_START+0x00000400)) // next base "
                       "address\n");
    EXPECT_TRUE (getLogText().isEmpty());
}

TEST_F (MemoryMapTest, AModuleWithoutItsStaticProcessCannotGuessItsMemory)
{
    dsp->add ("Compressor");
    const auto* initDsp = library().findModuleById (0x21)->moduleFunctions[0];

    EXPECT_FALSE (place (*initDsp, nullptr, 0, true));
    EXPECT_EQ (texts[Slot::wholeAddressSlot], "MEMORY_INIT_ERROR");
    EXPECT_EQ (getLogErrorCount(), 1);
    EXPECT_TRUE (getLogText().contains ("Unable to guess memory settings. If no static process is needed, please use the "
                                        "MixPA module instead in DSP#1\n"));
}

TEST_F (MemoryMapTest, SeveralSetUpFunctionsOfOneProcessGetDistinctNames)
{
    auto& probe = dsp->add ("MemoryProbe");
    const auto& functions = probe.getProcessDefinition()->firstFunctions;
    juce::StringArray names;

    for (int j = 0; j < functions.size(); ++j)
    {
        place (*functions[j], &probe, 0, false, j);

        for (auto& line : juce::StringArray::fromLines (memory))
        {
            const auto name = line.fromFirstOccurrenceOf ("#define\t", false, false).upToFirstOccurrenceOf ("\t", false, false);

            if (name.isNotEmpty() && ! name.endsWith ("_NEXTBASE"))
                names.addIfNotAlreadyThere (name);
        }
    }

    EXPECT_EQ (names.joinIntoString (" "), "MEMADDR_DSP01_PCS00PAR02 MEMADDR_DSP01_PCS00F01PAR02 MEMADDR_DSP01_PCS00F02PAR02 "
                                           "MEMADDR_DSP01_PCS00F03PAR02 MEMADDR_DSP01_PCS00F03PAR03");
}

TEST_F (MemoryMapTest, DelaysReserveTheirTimeInWords)
{
    auto& delay = dsp->add ("LongDelay", 10);
    auto& single = dsp->add ("(s)Delay", 10);

    using MemoryParameters::delayMemorySize;
    EXPECT_EQ (delayMemorySize (delay, 48.0), 960u);
    EXPECT_EQ (delayMemorySize (single, 48.0), 480u);

    // Renaming a node changes nothing: the process decides.
    delay.setName ("(s)Delay");
    single.setName ("Delay");
    EXPECT_EQ (delayMemorySize (delay, 48.0), 960u);
    EXPECT_EQ (delayMemorySize (single, 48.0), 480u);

    delay.memoryWord = GraphNode::memoryChoiceInternal24BitRam;
    EXPECT_EQ (delayMemorySize (delay, 48.0), 480u);
    EXPECT_EQ (delayMemorySize (single, 44.1), 441u);

    delay.channelWord = GraphNode::delayCountFlag | GraphNode::channelCountMask;
    EXPECT_EQ (delayMemorySize (delay, 48.0), 0xFFFFFFFFu);
}
