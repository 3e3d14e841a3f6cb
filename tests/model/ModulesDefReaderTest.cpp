#include "model/ModulesDefReader.h"
#include "model/ParameterDescriptor.h"

#include "modulesdef/ModulesDefBuilder.h"

#include <gtest/gtest.h>

using modulesdef::FunctionDescription;
using modulesdef::LibraryDescription;
using modulesdef::ModuleDescription;
using modulesdef::ModulesDefBuilder;
using modulesdef::ProcessDescription;

namespace
{
int parseBytes (ModulesDefReader& reader, const std::vector<uint8_t>& bytes)
{
    reader.open (std::make_unique<juce::MemoryInputStream> (bytes.data(), bytes.size(), true));
    return reader.parse();
}

FunctionDescription controlFunction (const std::string& name, std::vector<uint16_t> parameterWords)
{
    FunctionDescription f;
    f.name = name;
    f.parameterCount = (uint8_t) (parameterWords.size() / 3);
    f.words = std::move (parameterWords);
    f.label = name + " label";
    f.annotation = "unit=dB";
    return f;
}

ProcessDescription process (const std::string& name, uint16_t id)
{
    ProcessDescription p;
    p.name = name;
    p.id = id;
    p.inputCount = 1;
    p.outputCount = 1;
    p.helpPage = name + ".htm";
    p.pins = { { "IN", 0, 2 }, { "OUT", 1, 2 } };
    return p;
}

ModuleDescription module (uint16_t id, const std::string& name)
{
    ModuleDescription m;
    m.id = id;
    m.name = name;
    m.dspInputCount = 8;
    m.dspOutputCount = 4;
    return m;
}

LibraryDescription libraryWith (std::vector<ProcessDescription> processes)
{
    LibraryDescription d;
    d.modules.push_back (module (1, "Main"));
    d.modules.back().processes = std::move (processes);
    return d;
}

const ProcessDefinition& onlyProcess (const ModulesDefReader& reader)
{
    return *reader.getLibrary().getModule (0)->getProcess (0);
}
} // namespace

TEST (ModulesDefReaderTest, ReadsTheFrameAndReturnsItsWordCount)
{
    LibraryDescription d;
    d.dspCapacity = 8;
    const auto frame = ModulesDefBuilder::buildFrame (d);
    ModulesDefBuilder::FileOptions options;
    options.preamble = { 'x', 'y', 'z' };
    options.trailer = { 1, 2, 3, 4, 5 };

    ModulesDefReader reader;
    EXPECT_EQ (parseBytes (reader, ModulesDefBuilder::wrapFile (frame, options)), (int) frame.size() / 2);
    EXPECT_EQ (reader.getLibrary().frameWord, (int) frame.size() / 2);
    EXPECT_EQ (reader.getLibrary().getDspCapacity(), 8);
    EXPECT_EQ (reader.getLibrary().getBusMaskCount(), 8);
    EXPECT_EQ (reader.getLibrary().formatVersion, 68);
    EXPECT_EQ (reader.getLibrary().framePosition, -(int) (frame.size() + 2 + options.trailer.size()));
}

TEST (ModulesDefReaderTest, RefusesFramesThatDoNotStandWhereTheFrameWordSays)
{
    const auto frame = ModulesDefBuilder::buildFrame (LibraryDescription());
    const auto n = (uint16_t) (frame.size() / 2);

    for (uint16_t wrong : { (uint16_t) (n - 1), (uint16_t) (n + 1), (uint16_t) 0, (uint16_t) 0xFFFF })
    {
        ModulesDefBuilder::FileOptions options;
        options.preamble = std::vector<uint8_t> (4, 0);
        options.frameWord = wrong;

        ModulesDefReader reader;
        EXPECT_EQ (parseBytes (reader, ModulesDefBuilder::wrapFile (frame, options)), -1) << wrong;
        EXPECT_EQ (reader.getLibrary().frameWord, -1);
    }
}

TEST (ModulesDefReaderTest, FailsWithoutAFileAClosingMarkerOrAFrameWord)
{
    ModulesDefReader missing;
    EXPECT_FALSE (
        missing.open (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("no-such-dir/Modules.def")));
    EXPECT_EQ (missing.parse(), -1);
    EXPECT_EQ (missing.getLibrary().frameWord, -1);
    EXPECT_EQ (missing.getLibrary().getDspCapacity(), 4);
    EXPECT_FALSE (missing.getLibrary().areBusMasksMade());

    ModulesDefReader noMarker;
    EXPECT_EQ (parseBytes (noMarker, { '$', 'Z', 'O', 'V', 'O', 'Z', 4, 0 }), -1);
    EXPECT_EQ (noMarker.getLibrary().getDspCapacity(), 4);

    auto frame = ModulesDefBuilder::buildFrame (LibraryDescription());
    ModulesDefReader noFrameWord;
    EXPECT_EQ (parseBytes (noFrameWord, frame), -1);

    ModulesDefReader empty;
    EXPECT_EQ (parseBytes (empty, {}), -1);
}

TEST (ModulesDefReaderTest, TheLastClosingMarkerIsTheOneThatCounts)
{
    const auto frame = ModulesDefBuilder::buildFrame (LibraryDescription());
    auto bytes = ModulesDefBuilder::wrapFile (frame);

    // A second valid-looking frame word after a later marker points elsewhere.
    for (char c : std::string ("ZOVOZ$"))
        bytes.push_back ((uint8_t) c);
    bytes.push_back (3);
    bytes.push_back (0);

    ModulesDefReader reader;
    EXPECT_EQ (parseBytes (reader, bytes), -1);
}

TEST (ModulesDefReaderTest, VersionBelowSixtyEightFailsAfterReadingEverything)
{
    auto d = libraryWith ({ process ("Gain", 0x10) });
    d.version = 67;
    ModulesDefReader old;
    EXPECT_EQ (parseBytes (old, ModulesDefBuilder::build (d)), -1);
    EXPECT_EQ (old.getLibrary().formatVersion, 67);
    EXPECT_EQ (old.getLibrary().getModule (0)->getProcessCount(), 1);

    d.version = 68;
    ModulesDefReader current;
    EXPECT_GT (parseBytes (current, ModulesDefBuilder::build (d)), 0);

    d.version.reset();
    ModulesDefReader none;
    EXPECT_EQ (parseBytes (none, ModulesDefBuilder::build (d)), -1);
    EXPECT_EQ (none.getLibrary().formatVersion, 0);

    EXPECT_EQ (ModulesDefReader::getFailureMessage (67),
               "Modules.def missing or version mismatch please update.\n  - Expected version: 68\n  - Found: version 67");
}

TEST (ModulesDefReaderTest, ChannelWordsAndMemoryClasses)
{
    auto classEleven = process ("Delay", 0x201);
    classEleven.hasMemoryClass = true;
    classEleven.channelWord = 12;

    auto selector = process ("Reverb", 0x202);
    selector.hasMemoryClass = true;
    selector.channelWord = 150;

    auto flags = process ("Mixer", 0x203);
    flags.channelWord = 0x1005;
    flags.kind = 0x4002;

    auto class243 = process ("Echo", 0x204);
    class243.hasMemoryClass = true;
    class243.channelWord = 243;
    class243.memoryClassWord243 = 0x77;
    class243.channelWord243 = 0x2003;

    auto unknownClass = process ("Odd", 0x205);
    unknownClass.hasMemoryClass = true;
    unknownClass.channelWord = 50;

    ModulesDefReader reader;
    ASSERT_GT (
        parseBytes (reader, ModulesDefBuilder::build (libraryWith ({ classEleven, selector, flags, class243, unknownClass }))),
        0);
    auto* m = reader.getLibrary().getModule (0);

    EXPECT_EQ (m->getProcess (0)->memoryClassWord, 0x80000002u);
    EXPECT_EQ (m->getProcess (0)->defaultChannelWord, 1u);
    EXPECT_TRUE (m->getProcess (0)->memoryClass11to13);
    EXPECT_TRUE (m->getProcess (0)->hasMemoryClass);

    EXPECT_EQ (m->getProcess (1)->memorySelector, 150u);
    EXPECT_EQ (m->getProcess (1)->defaultChannelWord, 1u);

    EXPECT_EQ (m->getProcess (2)->defaultChannelWord, 0x10000005u);
    EXPECT_FALSE (m->getProcess (2)->hasMemoryClass);
    EXPECT_EQ (m->getProcess (2)->processKind, 0x4002u);
    EXPECT_TRUE (m->getProcess (2)->hasKind);
    EXPECT_EQ (m->getProcess (2)->processId, 0x203u);

    EXPECT_TRUE (m->getProcess (3)->memoryClass243);
    EXPECT_EQ (m->getProcess (3)->memoryClassWord, 0x77u);
    EXPECT_EQ (m->getProcess (3)->defaultChannelWord, 0x20000003u);

    EXPECT_EQ (m->getProcess (4)->defaultChannelWord, 50u);
    EXPECT_EQ (m->getProcess (4)->memoryClassWord, 0u);
    EXPECT_EQ (m->getProcess (4)->memorySelector, 0u);
}

TEST (ModulesDefReaderTest, ControlFunctionsAreNumberedAcrossTheModule)
{
    auto eq = process ("Eq", 0x11);
    eq.kind = 0x4001;
    eq.controlFunctions = { controlFunction ("Eq_SetGain", { 4, 0, 10, 4, 1, 128 }),
                            controlFunction ("Eq_Biquad_UpdateCoeffs", { 4, 2, 6 }),
                            controlFunction ("Eq_Biquad_Flat", { 4, 2, 7 }),
                            controlFunction ("Eq_SetFreq", { 4, 0, 10, 4, 1, 64 }) };

    auto comp = process ("Comp", 0x12);
    comp.controlFunctions = { controlFunction ("Comp_SetRatio", { 4, 0, 10, 4, 1, 131 }),
                              controlFunction ("Comp_Bypass", { 4, 0, 18 }) };

    ModulesDefReader reader;
    ASSERT_GT (parseBytes (reader, ModulesDefBuilder::build (libraryWith ({ eq, comp }))), 0);
    auto* m = reader.getLibrary().getModule (0);
    auto* first = m->getProcess (0);
    auto* second = m->getProcess (1);

    EXPECT_EQ (first->secondFunctions[0]->functionNumber, 0);
    EXPECT_EQ (first->secondFunctions[1]->functionNumber, -1);
    EXPECT_EQ (first->secondFunctions[2]->functionNumber, -1);
    EXPECT_EQ (first->secondFunctions[3]->functionNumber, 1);
    EXPECT_EQ (first->coefficientFunctionCount, 2);
    EXPECT_EQ (first->invalidFunctionCount, 3); // a biquad always counts three

    EXPECT_EQ (second->secondFunctions[0]->functionNumber, 2);
    EXPECT_EQ (second->secondFunctions[1]->functionNumber, 3);
    EXPECT_TRUE (second->secondFunctions[0]->valid);
    EXPECT_FALSE (second->secondFunctions[1]->valid);
    EXPECT_EQ (second->invalidFunctionCount, 1);
    EXPECT_EQ (m->countedFunctionTotal, 4);
    EXPECT_EQ (second->secondFunctions[0]->firstText, "Comp_SetRatio label");
    EXPECT_EQ (second->secondFunctions[0]->secondText, "unit=dB");
}

TEST (ModulesDefReaderTest, FunctionRecordsWithMasksAndForms)
{
    FunctionDescription setup;
    setup.form = 2;
    setup.name = "Delay_Init";
    setup.returnValueCount = 1;
    setup.parameterCount = 2;
    setup.entryMask = 0x8005; // bits 0 and 2 bring entries; bit 15 marks memory
    setup.maskEntries = { 0x00020001, 0x00040003 };
    setup.parameterFlagMask = 0x2;
    setup.words = { 4, 0, 0, 4, 2, 0, 4, 2, 1 };

    auto delay = process ("Delay", 0x21);
    delay.setupFunctions = { setup };

    auto d = libraryWith ({ delay });
    d.modules[0].kind = 0x1234;
    d.modules[0].rateClassLimit = 2;
    d.modules[0].ownCycles = 1000;
    d.modules[0].dspRamBudget = 2000;

    FunctionDescription moduleFunction;
    moduleFunction.form = 1;
    moduleFunction.name = "Module_Start";
    moduleFunction.entryMask = 0x0001;
    moduleFunction.maskEntries = { 0x00000009 };
    d.modules[0].functions = { moduleFunction };

    ModulesDefReader reader;
    ASSERT_GT (parseBytes (reader, ModulesDefBuilder::build (d)), 0);
    auto* m = reader.getLibrary().getModule (0);
    EXPECT_EQ (m->moduleId, 1u);
    EXPECT_EQ (m->kindWord, 0x1234u);
    EXPECT_TRUE (m->hasKindWord);
    EXPECT_EQ (m->dspInputCount, 8u);
    EXPECT_EQ (m->dspOutputCount, 4u);
    EXPECT_EQ (m->rateClassLimit, 2u);
    EXPECT_EQ (m->ownCycles, 1000u);
    EXPECT_EQ (m->dspRamBudget, 2000u);
    ASSERT_EQ (m->getModuleFunctionCount(), 1);
    EXPECT_EQ (m->moduleFunctions[0]->maskEntries, std::vector<uint32_t>{ 9 });
    EXPECT_EQ (m->moduleFunctions[0]->functionNumber, 0);

    auto* f = m->getProcess (0)->firstFunctions[0];
    EXPECT_EQ (f->functionNumber, -1);
    EXPECT_TRUE (f->secondFormRecord);
    EXPECT_FALSE (f->maskUsable);
    EXPECT_EQ (f->maskEntryCount, 2);
    EXPECT_EQ (f->maskEntries, (std::vector<uint32_t>{ 0x00020001, 0x00040003 }));
    EXPECT_TRUE (isFunctionParameterFlagged (*f, 0));
    EXPECT_TRUE (m->getProcess (0)->memoryClass11to13);

    ParameterDescriptor p;
    getFunctionParameter (*f, ParameterNumbering::parametersOnly, 1, p);
    EXPECT_TRUE (isProcessIdArgType (p.type));
}

TEST (ModulesDefReaderTest, PinsDspsAndBusMasks)
{
    auto p = process ("Split", 0x31);
    p.pins = { { "IN", 0, 2 }, { "OUTA", 1, 2 }, { "OUTB", 7, 3 } };

    auto d = libraryWith ({ p });
    d.dspCapacity = 2;
    d.dsps = { { 1, false, 1, 0 }, { 2, true, 0, 0 }, { 3, false, 1, 5 } };
    modulesdef::BusMask mask{};
    mask[0] = 0x11;
    mask[15] = 0xFF;
    d.busMasks = std::vector<modulesdef::BusMask>{ mask, mask };

    ModulesDefReader reader;
    ASSERT_GT (parseBytes (reader, ModulesDefBuilder::build (d)), 0);
    const auto& library = reader.getLibrary();

    const auto& pins = onlyProcess (reader).pins;
    ASSERT_EQ (pins.size(), 3);
    EXPECT_EQ (pins[0]->direction, 1); // input
    EXPECT_EQ (pins[1]->direction, 0); // output
    EXPECT_EQ (pins[2]->kind, 3u);
    EXPECT_EQ (pins[2]->bus, -1);

    // The DSP id followed by "@CDS" names no module and makes no entry.
    ASSERT_EQ (library.getDspCount(), 2);
    EXPECT_EQ (library.getDsp (0)->dspId, 1u);
    EXPECT_EQ (library.getDsp (1)->dspId, 3u);
    EXPECT_EQ (library.getDsp (1)->third, 5u);
    EXPECT_EQ (library.getModuleOfDsp (3)->name, "Main");

    EXPECT_EQ ((*library.getBusMask (1))[0], 0x11);
    EXPECT_EQ ((*library.getBusMask (1))[15], 0xFF);
}

TEST (ModulesDefReaderTest, KeywordBytesAreDataInsideFieldsAndSectionsBetween)
{
    auto p = process ("Name@PCS@MOD", 0x41);
    auto d = libraryWith ({ p });
    d.modules[0].name = "Mod@VER";

    auto sections = ModulesDefBuilder::buildSections (d);
    // Bytes between sections are skipped, keywords among them are taken.
    const std::string junk = "junk\x01\x02";
    sections.insert (sections.begin(), junk.begin(), junk.end());

    ModulesDefReader reader;
    ASSERT_GT (parseBytes (reader, ModulesDefBuilder::wrapFile (ModulesDefBuilder::wrapFrame (4, sections))), 0);
    EXPECT_EQ (reader.getLibrary().getModule (0)->name, "Mod@VER");
    EXPECT_EQ (onlyProcess (reader).name, "Name@PCS@MOD");
    EXPECT_EQ (reader.getLibrary().getModuleCount(), 1);
}

TEST (ModulesDefReaderTest, ProcessSectionsBeforeAnyModuleAreDropped)
{
    LibraryDescription d;
    auto sections = ModulesDefBuilder::buildSections (d);
    const auto orphan = ModulesDefBuilder::buildProcessSection (true, { process ("Orphan", 1) });
    sections.insert (sections.end(), orphan.begin(), orphan.end());

    ModulesDefReader reader;
    EXPECT_GT (parseBytes (reader, ModulesDefBuilder::wrapFile (ModulesDefBuilder::wrapFrame (4, sections))), 0);
    EXPECT_EQ (reader.getLibrary().getModuleCount(), 0);
}

TEST (ModulesDefReaderTest, FullTablesDropRecordsButStayInStep)
{
    LibraryDescription d;

    for (int i = 0; i < 257; ++i)
        d.modules.push_back (module ((uint16_t) i, "M" + std::to_string (i)));

    // The 257th module's processes are read and dropped with it.
    d.modules.back().processes = { process ("Lost", 9) };

    for (uint16_t i = 1; i <= 17; ++i)
        d.dsps.push_back ({ i, false, 3, 0 });

    ModulesDefReader reader;
    ASSERT_GT (parseBytes (reader, ModulesDefBuilder::build (d)), 0);
    EXPECT_EQ (reader.getLibrary().getModuleCount(), 256);
    EXPECT_EQ (reader.getLibrary().getLastModule()->getProcessCount(), 0);
    EXPECT_EQ (reader.getLibrary().getDspCount(), 16);
    EXPECT_EQ (reader.getLibrary().getLastDsp()->dspId, 16u);
}

TEST (ModulesDefReaderTest, DictionaryEscapesResolveThroughTheLibrarysDictionary)
{
    auto p = process ("Eq", 0x51);
    p.controlFunctions = { controlFunction ("Eq_SetFreq", {}) };
    p.controlFunctions[0].parameterCount = 2;
    p.controlFunctions[0].words = { 0xFFFF, 1 };

    auto d = libraryWith ({ p });
    d.dictionary = { { 4, 1, 128 }, { 4, 0, 10, 4, 1, 64 } };

    ModulesDefReader reader;
    ASSERT_GT (parseBytes (reader, ModulesDefBuilder::build (d)), 0);
    const auto* f = onlyProcess (reader).secondFunctions[0];
    EXPECT_TRUE (f->valid);
    EXPECT_STREQ (getLastParameterAnnotation (*f).text, ",valUnit=Hz,valprec=1");
}

TEST (ModulesDefReaderTest, AnEntryFullOfEscapesToItselfIsReadAtOnce)
{
    // Each control function's validity is decided while reading, by walking
    // its parameters; an entry of k escapes to itself once made that walk
    // take about k^8 steps (seconds for 12 escapes, hours for 40, far beyond
    // the time CTest gives a test). modulesdef_bench measures the reading.
    LibraryDescription d = libraryWith ({ process ("Loop", 1) });
    d.dictionary.emplace_back();

    for (int i = 0; i < 40; ++i)
        d.dictionary[0].insert (d.dictionary[0].end(), { 0xFFFF, 0 });

    auto looping = controlFunction ("Loop_Set", { 0xFFFF, 0, 4, 0, 10 });
    looping.parameterCount = 255;
    d.modules[0].processes[0].controlFunctions = { looping, looping };

    ModulesDefReader reader;
    EXPECT_GT (parseBytes (reader, ModulesDefBuilder::build (d)), 0);

    const auto& loop = onlyProcess (reader);
    ASSERT_EQ (loop.getSecondFunctionCount(), 2);
    EXPECT_TRUE (loop.secondFunctions[0]->valid); // the index item after the escape
    EXPECT_EQ (loop.invalidFunctionCount, 0);
}

TEST (ModulesDefReaderTest, PrimitiveReadsReportTheEndOfData)
{
    ModulesDefReader reader;
    uint16_t w = 0;
    uint8_t b = 0;
    std::string s;
    EXPECT_FALSE (reader.readWord (w));
    EXPECT_FALSE (reader.readByte (b));
    EXPECT_FALSE (reader.readName (s));

    for (int i = 0; i < 21; ++i)
        EXPECT_TRUE (reader.addKeyword ("@K" + std::to_string (i)));

    EXPECT_FALSE (reader.addKeyword ("@ONE_TOO_MANY"));
    EXPECT_EQ (reader.getLongestKeywordLength(), 7);
}
