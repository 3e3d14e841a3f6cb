#include "tools/modulesdef/ModulesDefBuilder.h"
#include "tools/modulesdef/ModulesDefText.h"

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <vector>

using modulesdef::DspDescription;
using modulesdef::FunctionDescription;
using modulesdef::LibraryDescription;
using modulesdef::ModuleDescription;
using modulesdef::ModulesDefBuilder;
using modulesdef::ModulesDefText;
using modulesdef::PinDescription;
using modulesdef::ProcessDescription;

namespace
{
using Bytes = std::vector<uint8_t>;

// Bytes written as a mix of ASCII strings and numbers, for expected layouts.
class ExpectedBytes
{
public:
    ExpectedBytes& text (const std::string& ascii)
    {
        bytes.insert (bytes.end(), ascii.begin(), ascii.end());
        return *this;
    }

    ExpectedBytes& b (std::initializer_list<int> values)
    {
        for (const int v : values)
            bytes.push_back (static_cast<uint8_t> (v));

        return *this;
    }

    Bytes bytes;
};

std::string hexDump (const Bytes& bytes)
{
    std::string dump;

    for (size_t i = 0; i < bytes.size(); ++i)
    {
        char cell[8];
        std::snprintf (cell, sizeof (cell), "%02X%s", bytes[i], (i % 16 == 15) ? "\n" : " ");
        dump += cell;
    }

    return dump;
}

std::string readSourceFile (const std::string& relativePath)
{
    std::ifstream stream (std::string (VX_SOURCE_DIR) + "/" + relativePath, std::ios::binary);
    std::stringstream content;
    content << stream.rdbuf();
    return content.str();
}

std::string builderError (const LibraryDescription& library)
{
    try
    {
        ModulesDefBuilder::build (library);
    }
    catch (const std::runtime_error& e)
    {
        return e.what();
    }

    return {};
}

size_t countOccurrences (const Bytes& bytes, const std::string& pattern, std::vector<size_t>& positions)
{
    positions.clear();

    for (size_t i = 0; i + pattern.size() <= bytes.size(); ++i)
        if (std::equal (pattern.begin(), pattern.end(), bytes.begin() + static_cast<std::ptrdiff_t> (i),
                        [] (char p, uint8_t c) { return static_cast<uint8_t> (p) == c; }))
            positions.push_back (i);

    return positions.size();
}

ProcessDescription simpleProcess (const std::string& name, bool fromSps)
{
    ProcessDescription process;
    process.name = name;
    process.fromSps = fromSps;
    return process;
}
} // namespace

//==============================================================================
TEST (ModulesDefBuilder, SmallestFileHoldsTheFrameAndItsWordCount)
{
    LibraryDescription library;
    library.dspCapacity = 4;
    library.version = 68;

    const auto expected = ExpectedBytes()
                              .text ("$ZOVOZ")
                              .b ({ 4, 0 })
                              .text ("@VER")
                              .b ({ 68, 0 })
                              .text ("ZOVOZ$")
                              .b ({ 10, 0 }) // 20 bytes of frame: 10 words
                              .bytes;

    EXPECT_EQ (ModulesDefBuilder::build (library), expected) << hexDump (ModulesDefBuilder::build (library));
}

TEST (ModulesDefBuilder, ModuleRecordLayoutAndPadding)
{
    LibraryDescription library;
    library.dspCapacity = 8;
    library.version.reset();

    ModuleDescription module;
    module.id = 5;
    module.firstFigure = 1;
    module.dspInputCount = 2;
    module.dspOutputCount = 3;
    module.thirdFigure = 0x0102;
    module.ownCycles = 100;
    module.dspRamBudget = 2000;
    module.rateClassLimit = 1;
    module.name = "Ab";
    library.modules.push_back (module);

    // 27 bytes of "@MOD" section: the frame needs one pad byte before "ZOVOZ$",
    // which makes 6 + 2 + 27 + 1 + 6 = 42 bytes, 21 words.
    const auto expected = ExpectedBytes()
                              .text ("$ZOVOZ")
                              .b ({ 8, 0 })
                              .text ("@MOD")
                              .b ({ 0, 0, 5, 0 })
                              .b ({ 1, 0, 2, 3, 0x02, 0x01, 100, 0, 0xD0, 0x07, 1, 0 })
                              .b ({ 2 })
                              .text ("Ab")
                              .b ({ 0, 0, 0, 0 })
                              .b ({ 0 }) // pad
                              .text ("ZOVOZ$")
                              .b ({ 21, 0 })
                              .bytes;

    EXPECT_EQ (ModulesDefBuilder::build (library), expected) << hexDump (ModulesDefBuilder::build (library));

    // With a kind the id carries flag 0x4000 and the kind word follows it.
    library.modules[0].kind = 0x0203;
    const auto withKind = ModulesDefBuilder::buildModuleSection (library.modules[0]);
    const auto expectedStart = ExpectedBytes().text ("@MOD").b ({ 0, 0, 5, 0x40, 0x03, 0x02, 1, 0 }).bytes;
    ASSERT_GE (withKind.size(), expectedStart.size());
    EXPECT_EQ (Bytes (withKind.begin(), withKind.begin() + static_cast<std::ptrdiff_t> (expectedStart.size())), expectedStart);
    EXPECT_EQ (withKind.size(), 29u);
}

TEST (ModulesDefBuilder, ProcessRecordLayout)
{
    ProcessDescription process;
    process.name = "P";
    process.id = 0x0200;
    process.kind = 0x4005;
    process.hasMemoryClass = true;
    process.channelWord = 243;
    process.memoryClassWord243 = 0x1234;
    process.channelWord243 = 0x1001;
    process.cyclesPerChannel = 1;
    process.baseCycles = 2;
    process.ramPerChannel = 3;
    process.baseRam = 4;
    process.inputCount = 1;
    process.outputCount = 2;
    process.helpPage = "h";
    process.pins.push_back (PinDescription{ "I", 0, 2 });
    process.pins.push_back (PinDescription{ "O", 1, 3 });

    const auto expected = ExpectedBytes()
                              .b ({ 1 })
                              .text ("P")
                              .b ({ 0x00, 0xC2 })             // 0x200 | 0x4000 kind | 0x8000 memory class
                              .b ({ 1, 0, 2, 0, 3, 0, 4, 0 }) // cycles and RAM
                              .b ({ 1, 2 })                   // inputs, outputs
                              .b ({ 0xF3, 0 })                // channel word: memory class 243
                              .b ({ 0x05, 0x40 })             // kind
                              .b ({ 0x34, 0x12, 0x01, 0x10 }) // the two words of class 243
                              .b ({ 0, 0, 0, 0 })             // no set-up or control functions
                              .b ({ 1 })
                              .text ("h")
                              .b ({ 2, 0 })
                              .b ({ 1 })
                              .text ("I")
                              .b ({ 0, 2 })
                              .b ({ 1 })
                              .text ("O")
                              .b ({ 1, 3 })
                              .bytes;

    EXPECT_EQ (ModulesDefBuilder::buildProcessRecord (process), expected)
        << hexDump (ModulesDefBuilder::buildProcessRecord (process));

    // Another memory class: no extra words.
    process.channelWord = 11;
    EXPECT_EQ (ModulesDefBuilder::buildProcessRecord (process).size(), expected.size() - 4);

    // Without bit 0x200 there is no channel word, and the class is 1.
    process.id = 0x0007;
    process.channelWord = 243;
    const auto withoutChannelWord = ModulesDefBuilder::buildProcessRecord (process);
    EXPECT_EQ (withoutChannelWord.size(), expected.size() - 6);
    EXPECT_EQ (withoutChannelWord[2], 0x07);
    EXPECT_EQ (withoutChannelWord[3], 0xC0);
    EXPECT_EQ (ModulesDefBuilder::memoryClassOf (process), 1u);

    EXPECT_EQ (ModulesDefBuilder::foldChannelWord (0x1001), 0x10000001u);
    EXPECT_EQ (ModulesDefBuilder::foldChannelWord (0xF123), 0xF0000123u);
}

TEST (ModulesDefBuilder, FunctionRecordLayout)
{
    FunctionDescription function;
    function.form = 1;
    function.name = "F";
    function.returnValueCount = 1;
    function.parameterCount = 2;
    function.entryMask = 0x8005; // bits 0 and 2 bring entries; bit 15 does not
    function.maskEntries = { 0x00020001, 0x00040003 };
    function.parameterFlagMask = 0x0003;
    function.label = "L";
    function.words = { 4, 0, 10 };

    const auto control = ExpectedBytes()
                             .b ({ 1, 0 })
                             .b ({ 1 })
                             .text ("F")
                             .b ({ 1, 2 })
                             .b ({ 0x05, 0x80 })
                             .b ({ 1, 0, 2, 0, 3, 0, 4, 0 })
                             .b ({ 3, 0 })
                             .b ({ 1 })
                             .text ("L")
                             .b ({ 0 })
                             .b ({ 3, 0, 4, 0, 0, 0, 10, 0 })
                             .bytes;

    EXPECT_EQ (ModulesDefBuilder::buildFunctionRecord (function, 3), control)
        << hexDump (ModulesDefBuilder::buildFunctionRecord (function, 3));

    // Kinds other than 3 carry no label and annotation.
    EXPECT_EQ (ModulesDefBuilder::buildFunctionRecord (function, 1).size(), control.size() - 3);
    EXPECT_EQ (ModulesDefBuilder::buildFunctionRecord (function, 0), ModulesDefBuilder::buildFunctionRecord (function, 5));

    // Form 0: no mask, no mask entries, no flag mask, whatever the fields hold.
    function.form = 0;
    EXPECT_EQ (ModulesDefBuilder::buildFunctionRecord (function, 1).size(), control.size() - 3 - 12);

    // Without return values and parameters the word list is not written.
    function.returnValueCount = 0;
    function.parameterCount = 0;
    const auto noList = ExpectedBytes().b ({ 0, 0, 1 }).text ("F").b ({ 0, 0 }).bytes;
    EXPECT_EQ (ModulesDefBuilder::buildFunctionRecord (function, 1), noList);
}

TEST (ModulesDefBuilder, DspAndBusSections)
{
    LibraryDescription library;
    library.version.reset();
    library.dspCapacity = 1;
    library.dsps.push_back (DspDescription{ 2, false, 0x21, 7 });
    library.dsps.push_back (DspDescription{ 3, true, 0, 0 });

    modulesdef::BusMask mask{};

    for (size_t i = 0; i < mask.size(); ++i)
        mask[i] = static_cast<uint8_t> (0xA0 + i);

    library.busMasks = std::vector<modulesdef::BusMask>{ mask };

    auto expected = ExpectedBytes()
                        .text ("$ZOVOZ")
                        .b ({ 1, 0 })
                        .text ("@DSP")
                        .b ({ 0, 0, 2, 0, 0x21, 0, 7, 0 })
                        .text ("@DSP")
                        .b ({ 0, 0, 3, 0 })
                        .text ("@CDS")
                        .b ({ 0, 0 })
                        .text ("@BUS")
                        .b ({ 0, 0 });

    for (const auto byte : mask)
        expected.b ({ byte });

    expected.text ("ZOVOZ$").b ({ 31, 0 }); // 62 bytes of frame

    EXPECT_EQ (ModulesDefBuilder::build (library), expected.bytes) << hexDump (ModulesDefBuilder::build (library));
}

TEST (ModulesDefBuilder, SectionsFollowTheirFixedOrder)
{
    LibraryDescription library;
    library.dictionary.push_back ({ 4, 0, 10 });

    ModuleDescription first;
    first.name = "First";
    first.processes.push_back (simpleProcess ("a", false));
    first.processes.push_back (simpleProcess ("b", false));
    first.processes.push_back (simpleProcess ("c", true));
    first.processes.push_back (simpleProcess ("d", false));
    library.modules.push_back (first);

    ModuleDescription second;
    second.name = "Second";
    library.modules.push_back (second);

    library.dsps.push_back (DspDescription{ 0, false, 1, 0 });
    library.dsps.push_back (DspDescription{ 1, true, 0, 0 });
    library.busMasks = std::vector<modulesdef::BusMask> (4);

    std::vector<ModulesDefBuilder::SectionMark> marks;
    const auto frame = ModulesDefBuilder::buildFrame (library, &marks);

    std::vector<std::string> keywords;

    for (const auto& mark : marks)
    {
        keywords.push_back (mark.keyword);
        ASSERT_LE (mark.offset + mark.keyword.size(), frame.size());
        EXPECT_EQ (std::string (frame.begin() + static_cast<std::ptrdiff_t> (mark.offset),
                                frame.begin() + static_cast<std::ptrdiff_t> (mark.offset + mark.keyword.size())),
                   mark.keyword);
    }

    EXPECT_EQ (keywords, (std::vector<std::string>{ "@VER", "@DIC", "@MOD", "@PCS", "@SPS", "@PCS", "@MOD", "@DSP", "@DSP",
                                                    "@CDS", "@BUS" }));

    // The first "@PCS" section holds the first two processes.
    EXPECT_EQ (frame[marks[3].offset + 4], 2);
    EXPECT_EQ (frame[marks[3].offset + 5], 0);

    // The dictionary: an unused word, the entry count, then each list.
    const auto dictionary = Bytes (frame.begin() + static_cast<std::ptrdiff_t> (marks[1].offset),
                                   frame.begin() + static_cast<std::ptrdiff_t> (marks[2].offset));
    EXPECT_EQ (dictionary, ExpectedBytes().text ("@DIC").b ({ 0, 0, 1, 0, 3, 0, 4, 0, 0, 0, 10, 0 }).bytes);

    // The same sections without the frame.
    const auto sections = ModulesDefBuilder::buildSections (library);
    EXPECT_EQ (ModulesDefBuilder::wrapFrame (library.dspCapacity, sections), frame);
}

TEST (ModulesDefBuilder, FileOptionsSurroundTheFrame)
{
    LibraryDescription library;
    const auto frame = ModulesDefBuilder::buildFrame (library);

    ModulesDefBuilder::FileOptions options;
    options.preamble = { 'x', 'y', 'z' };
    options.trailer = { 0xEE, 0xEE };
    options.frameWord = 0x1234;

    const auto file = ModulesDefBuilder::build (library, options);
    ASSERT_EQ (file.size(), 3 + frame.size() + 2 + 2);
    EXPECT_EQ (Bytes (file.begin(), file.begin() + 3), options.preamble);
    EXPECT_EQ (Bytes (file.begin() + 3, file.begin() + 3 + static_cast<std::ptrdiff_t> (frame.size())), frame);
    EXPECT_EQ (file[3 + frame.size()], 0x34);
    EXPECT_EQ (file[4 + frame.size()], 0x12);
    EXPECT_EQ (file[5 + frame.size()], 0xEE);

    // Arbitrary section bytes in a frame of their own.
    const Bytes odd{ '@', 'P', 'X' };
    const auto wrapped = ModulesDefBuilder::wrapFrame (16, odd);
    EXPECT_EQ (wrapped, ExpectedBytes().text ("$ZOVOZ").b ({ 16, 0 }).text ("@PX").b ({ 0 }).text ("ZOVOZ$").bytes);
    EXPECT_EQ (ModulesDefBuilder::wrapFile (wrapped).back(), 0);
    EXPECT_EQ (static_cast<size_t> (ModulesDefBuilder::wrapFile (wrapped)[wrapped.size()]), wrapped.size() / 2);
}

TEST (ModulesDefBuilder, RefusesWhatCannotBeWritten)
{
    LibraryDescription library;
    ModuleDescription module;
    module.name = "Core";
    ProcessDescription process;
    process.name = "Eq";
    FunctionDescription function;
    function.name = "Eq_Set";
    function.form = 2;
    function.entryMask = 0x0007;
    function.maskEntries = { 1, 2 };
    process.controlFunctions.push_back (function);
    module.processes.push_back (process);
    library.modules.push_back (module);

    EXPECT_EQ (builderError (library), "module \"Core\": process \"Eq\": control function \"Eq_Set\": "
                                       "2 mask entries given, but the entry mask 0x0007 has 3 bits set among bits 0-14");

    library.modules[0].processes[0].controlFunctions[0].maskEntries.push_back (3);
    EXPECT_EQ (builderError (library), "");

    // Texts hold at most 255 bytes.
    library.modules[0].processes[0].helpPage = std::string (255, 'h');
    EXPECT_EQ (builderError (library), "");
    library.modules[0].processes[0].helpPage = std::string (256, 'h');
    EXPECT_NE (builderError (library).find ("module \"Core\": process \"Eq\": the text"), std::string::npos)
        << builderError (library);
    EXPECT_NE (builderError (library).find ("is 256 bytes long; a text holds at most 255"), std::string::npos);
    library.modules[0].processes[0].helpPage.clear();

    // A word list holds at most 65535 words.
    library.dictionary.push_back (std::vector<uint16_t> (65536, 4));
    EXPECT_EQ (builderError (library), "dictionary: entry 0: too many words in a word list (65536, at most 65535)");
    library.dictionary.clear();

    // The frame word counts at most 65535 words.
    EXPECT_NO_THROW (ModulesDefBuilder::wrapFile (ModulesDefBuilder::wrapFrame (0, Bytes (131070 - 14))));
    EXPECT_THROW (ModulesDefBuilder::wrapFile (ModulesDefBuilder::wrapFrame (0, Bytes (131072 - 14))), std::runtime_error);
    EXPECT_THROW (ModulesDefBuilder::wrapFile (Bytes (3)), std::runtime_error);

    for (int i = 0; i < 500; ++i)
    {
        ModuleDescription filler;
        filler.name = std::string (255, 'm');
        library.modules.push_back (filler);
    }

    EXPECT_NE (builderError (library).find ("the frame word can count at most 65535 words"), std::string::npos);
}

TEST (ModulesDefBuilder, SampleLibraryHasKeywordsOnlyWhereSectionsStart)
{
    const auto library = ModulesDefText::parse (readSourceFile ("resources/SampleModules.txt"));
    std::vector<ModulesDefBuilder::SectionMark> marks;
    const auto frame = ModulesDefBuilder::buildFrame (library, &marks);

    // Every keyword the reader looks for stands only where the builder put a
    // section (or the markers), so a reader that scans between sections
    // meets no false keyword.
    for (const std::string keyword : { "@VER", "@SPS", "@PCS", "@MOD", "@DSP", "@DIC", "@CDS", "@BUS" })
    {
        std::vector<size_t> found;
        countOccurrences (frame, keyword, found);
        std::vector<size_t> expected;

        for (const auto& mark : marks)
            if (mark.keyword == keyword)
                expected.push_back (mark.offset);

        EXPECT_EQ (found, expected) << keyword;
    }

    std::vector<size_t> found;
    std::vector<size_t> pcs;
    countOccurrences (frame, "@PCS", pcs);
    EXPECT_EQ (countOccurrences (frame, "@P", found), pcs.size());
    EXPECT_EQ (countOccurrences (frame, "$ZOVOZ", found), 1u);
    EXPECT_EQ (countOccurrences (frame, "ZOVOZ$", found), 1u);

    // No DSP's module and third word read as "@CDS".
    for (const auto& dsp : library.dsps)
        EXPECT_FALSE (! dsp.followedByCds && dsp.moduleId == 0x4340 && dsp.third == 0x5344);

    const auto file = ModulesDefBuilder::build (library);
    EXPECT_EQ (file.size(), frame.size() + 2);
    EXPECT_EQ (file[frame.size()] | (file[frame.size() + 1] << 8), static_cast<int> (frame.size() / 2));
}

//==============================================================================
// The command-line tool, run as the build and the tests use it.
namespace
{
struct ToolRun
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

class ModulesDefTool : public ::testing::Test
{
protected:
    juce::File folder;

    void SetUp() override
    {
        // Unique per run: ctest runs the plain and the sanitized tests at once.
        folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                     .getChildFile ("modulesdef_tool_test_" + juce::Uuid().toString());
        ASSERT_TRUE (folder.createDirectory().wasOk());
    }

    void TearDown() override { folder.deleteRecursively(); }

    static std::string quoted (const std::string& argument)
    {
        std::string result = "'";

        for (const char c : argument)
            result += c == '\'' ? std::string ("'\\''") : std::string (1, c);

        return result + "'";
    }

    ToolRun run (const std::vector<std::string>& arguments)
    {
        const auto outFile = folder.getChildFile ("stdout.txt");
        const auto errFile = folder.getChildFile ("stderr.txt");
        std::string command = quoted (VX_MODULESDEF_TOOL);

        for (const auto& argument : arguments)
            command += " " + quoted (argument);

        command +=
            " > " + quoted (outFile.getFullPathName().toStdString()) + " 2> " + quoted (errFile.getFullPathName().toStdString());

        ToolRun result;
        const int status = std::system (command.c_str());
        result.exitCode = WIFEXITED (status) ? WEXITSTATUS (status) : -1;
        result.out = outFile.loadFileAsString().toStdString();
        result.err = errFile.loadFileAsString().toStdString();
        return result;
    }

    std::string path (const char* name) const { return folder.getChildFile (name).getFullPathName().toStdString(); }

    Bytes readBytes (const char* name) const
    {
        juce::MemoryBlock block;
        folder.getChildFile (name).loadFileAsData (block);
        const auto* data = static_cast<const uint8_t*> (block.getData());
        return Bytes (data, data + block.getSize());
    }

    static std::string samplePath() { return std::string (VX_SOURCE_DIR) + "/resources/SampleModules.txt"; }
};
} // namespace

TEST_F (ModulesDefTool, BuildWritesTheSampleLibrary)
{
    const auto result = run ({ "build", samplePath(), path ("Modules.def") });
    ASSERT_EQ (result.exitCode, 0) << result.err;

    const auto expected = ModulesDefBuilder::build (ModulesDefText::parse (readSourceFile ("resources/SampleModules.txt")));
    EXPECT_EQ (readBytes ("Modules.def"), expected);

    // Nothing is left beside it.
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 3); // Modules.def, stdout.txt, stderr.txt
}

TEST_F (ModulesDefTool, BuildLeavesTheTargetAloneOnError)
{
    folder.getChildFile ("bad.txt").replaceWithText ("capacity 4\nmodule \"M\"\n  pin \"x\" in vector\nend\n");
    folder.getChildFile ("Modules.def").replaceWithText ("old content");

    const auto result = run ({ "build", path ("bad.txt"), path ("Modules.def") });
    EXPECT_EQ (result.exitCode, 1);
    EXPECT_NE (result.err.find ("line 3: 'pin' does not belong in a 'module' block"), std::string::npos) << result.err;
    EXPECT_EQ (folder.getChildFile ("Modules.def").loadFileAsString(), "old content");

    // A description the builder refuses leaves it alone too.
    folder.getChildFile ("long.txt").replaceWithText ("module \"" + juce::String::repeatedString ("n", 300) + "\"\nend\n");
    const auto refused = run ({ "build", path ("long.txt"), path ("Modules.def") });
    EXPECT_EQ (refused.exitCode, 1);
    EXPECT_NE (refused.err.find ("a text holds at most 255"), std::string::npos) << refused.err;
    EXPECT_EQ (folder.getChildFile ("Modules.def").loadFileAsString(), "old content");
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 5);

    EXPECT_EQ (run ({ "build", path ("missing.txt"), path ("Modules.def") }).exitCode, 1);
    EXPECT_EQ (run ({ "build", samplePath() }).exitCode, 1);
    EXPECT_EQ (run ({ "frobnicate" }).exitCode, 1);
}

TEST_F (ModulesDefTool, DescribePrintsTheCanonicalForm)
{
    const auto text = readSourceFile ("resources/SampleModules.txt");
    const auto result = run ({ "describe", samplePath() });
    ASSERT_EQ (result.exitCode, 0) << result.err;
    EXPECT_EQ (result.out, ModulesDefText::print (ModulesDefText::parse (text)));
}

TEST_F (ModulesDefTool, PrintShowsWhatTheReaderReads)
{
    ASSERT_EQ (run ({ "build", samplePath(), path ("Modules.def") }).exitCode, 0);

    const auto result = run ({ "print", path ("Modules.def") });
    ASSERT_EQ (result.exitCode, 0) << result.err;

    // A DSP id followed by "@CDS" makes no entry; the rest reads back whole.
    auto expected = ModulesDefText::parse (readSourceFile ("resources/SampleModules.txt"));
    std::vector<DspDescription> kept;

    for (const auto& dsp : expected.dsps)
        if (! dsp.followedByCds)
            kept.push_back (dsp);

    expected.dsps = kept;
    EXPECT_EQ (ModulesDefText::parse (result.out), expected) << result.out;
}

TEST_F (ModulesDefTool, PrintReportsARefusedFileButShowsWhatWasRead)
{
    LibraryDescription library;
    library.version = 67;
    ModuleDescription module;
    module.name = "Old";
    library.modules.push_back (module);

    const auto bytes = ModulesDefBuilder::build (library);
    ASSERT_TRUE (folder.getChildFile ("Modules.def").replaceWithData (bytes.data(), bytes.size()));

    const auto result = run ({ "print", path ("Modules.def") });
    EXPECT_EQ (result.exitCode, 2);
    EXPECT_NE (result.out.find ("module \"Old\""), std::string::npos) << result.out;
    EXPECT_NE (result.err.find ("Found: version 67"), std::string::npos) << result.err;

    EXPECT_EQ (run ({ "print", path ("absent.def") }).exitCode, 1);
}
