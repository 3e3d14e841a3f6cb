#include "tools/modulesdef/ModulesDefText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using modulesdef::FunctionDescription;
using modulesdef::LibraryDescription;
using modulesdef::ModuleDescription;
using modulesdef::ModulesDefText;
using modulesdef::ProcessDescription;

namespace
{
std::string readRepositoryFile (const std::string& relativePath)
{
    std::ifstream stream (std::string (VX_SOURCE_DIR) + "/" + relativePath, std::ios::binary);
    std::stringstream content;
    content << stream.rdbuf();
    return content.str();
}

// The message parse() throws for a text, or "" when it parses.
std::string parseError (const std::string& text)
{
    try
    {
        ModulesDefText::parse (text);
    }
    catch (const std::runtime_error& e)
    {
        return e.what();
    }

    return {};
}

std::string allBytes()
{
    std::string bytes;

    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char> (b);

    return bytes;
}

// Random content of every field, names of any bytes and word lists of
// anything, with the words that make the item decoding branch (escapes,
// variable classes, lengths) drawn often.
class RandomDescriptions
{
public:
    explicit RandomDescriptions (uint32_t seed) : engine (seed) {}

    LibraryDescription library()
    {
        LibraryDescription d;
        d.dspCapacity = word();

        if (chance (4))
            d.version.reset();
        else
            d.version = word();

        for (int i = below (4); i > 0; --i)
            d.dictionary.push_back (words());

        for (int i = below (3); i > 0; --i)
            d.modules.push_back (module());

        for (int i = below (4); i > 0; --i)
        {
            modulesdef::DspDescription dsp;
            dsp.id = word();
            dsp.followedByCds = chance (2);
            dsp.moduleId = chance (2) ? 0 : word();
            dsp.third = chance (2) ? 0 : word();
            d.dsps.push_back (dsp);
        }

        if (chance (2))
        {
            d.busMasks.emplace();

            for (int i = below (4); i > 0; --i)
            {
                modulesdef::BusMask mask {};

                for (auto& b : mask)
                    b = byte();

                d.busMasks->push_back (mask);
            }
        }

        return d;
    }

    std::vector<uint16_t> words()
    {
        std::vector<uint16_t> list;
        const int count = below (14);

        for (int i = 0; i < count; ++i)
        {
            switch (below (8))
            {
                case 0: list.push_back (0xFFFF); break;
                case 1: list.push_back (21); break;
                case 2: list.push_back (22); break;
                case 3: list.push_back (15); break;
                case 4: list.push_back (static_cast<uint16_t> (below (6))); break;
                case 5: list.push_back (static_cast<uint16_t> (byte() | (byte() << 8))); break;
                default: list.push_back (static_cast<uint16_t> (below (300))); break;
            }
        }

        return list;
    }

private:
    std::mt19937 engine;

    int below (int n) { return static_cast<int> (engine() % static_cast<uint32_t> (n)); }
    bool chance (int oneIn) { return below (oneIn) == 0; }
    uint8_t byte() { return static_cast<uint8_t> (engine()); }
    uint16_t word() { return chance (3) ? static_cast<uint16_t> (below (10)) : static_cast<uint16_t> (engine()); }

    std::string name()
    {
        std::string text;

        for (int i = below (12); i > 0; --i)
            text += static_cast<char> (chance (2) ? 'a' + below (26) : byte());

        return text;
    }

    FunctionDescription function()
    {
        FunctionDescription f;
        f.form = chance (2) ? static_cast<uint16_t> (below (3)) : word();
        f.name = name();
        f.returnValueCount = byte();
        f.parameterCount = byte();
        f.entryMask = chance (2) ? 0 : word();

        for (int i = below (3); i > 0; --i)
            f.maskEntries.push_back (engine());

        f.parameterFlagMask = chance (2) ? 0 : word();
        f.label = chance (2) ? std::string() : name();
        f.annotation = chance (2) ? std::string() : name();
        f.words = words();
        return f;
    }

    ProcessDescription process()
    {
        ProcessDescription p;
        p.name = name();
        p.fromSps = chance (2);
        p.id = word();
        p.cyclesPerChannel = word();
        p.baseCycles = word();
        p.ramPerChannel = word();
        p.baseRam = word();
        p.inputCount = byte();
        p.outputCount = byte();
        p.channelWord = chance (2) ? 1 : word();

        if (chance (2))
            p.kind = word();

        p.hasMemoryClass = chance (2);
        p.memoryClassWord243 = chance (2) ? 0 : word();
        p.channelWord243 = chance (2) ? 0 : word();

        for (int i = below (3); i > 0; --i)
            p.setupFunctions.push_back (function());

        for (int i = below (3); i > 0; --i)
            p.controlFunctions.push_back (function());

        p.helpPage = name();

        for (int i = below (4); i > 0; --i)
        {
            modulesdef::PinDescription pin;
            pin.name = name();
            pin.direction = chance (2) ? static_cast<uint8_t> (below (2)) : byte();
            pin.kind = chance (2) ? static_cast<uint8_t> (2 + below (2)) : byte();
            p.pins.push_back (pin);
        }

        return p;
    }

    ModuleDescription module()
    {
        ModuleDescription m;
        m.id = word();

        if (chance (2))
            m.kind = word();

        m.firstFigure = word();
        m.dspInputCount = byte();
        m.dspOutputCount = byte();
        m.thirdFigure = word();
        m.ownCycles = word();
        m.dspRamBudget = word();
        m.rateClassLimit = word();
        m.name = name();

        for (int i = below (3); i > 0; --i)
            m.functions.push_back (function());

        for (int i = below (3); i > 0; --i)
            m.secondFunctions.push_back (function());

        for (int i = below (4); i > 0; --i)
            m.processes.push_back (process());

        return m;
    }
};
} // namespace

//==============================================================================
TEST (ModulesDefText, SampleLibraryParsesAndPrintsCanonically)
{
    const auto text = readRepositoryFile ("resources/SampleModules.txt");
    ASSERT_FALSE (text.empty());

    const auto library = ModulesDefText::parse (text);
    const auto printed = ModulesDefText::print (library);

    EXPECT_EQ (ModulesDefText::parse (printed), library);
    EXPECT_EQ (ModulesDefText::print (ModulesDefText::parse (printed)), printed);
}

TEST (ModulesDefText, SampleLibraryHoldsWhatTheProgramNeedsToShow)
{
    const auto library = ModulesDefText::parse (readRepositoryFile ("resources/SampleModules.txt"));

    EXPECT_EQ (library.version, std::optional<uint16_t> (68));
    EXPECT_EQ (library.dspCapacity, 16);
    ASSERT_TRUE (library.busMasks.has_value());
    EXPECT_EQ (library.busMasks->size(), 16u);
    ASSERT_GE (library.modules.size(), 2u);

    bool fullModule = false, slowModule = false;
    std::vector<uint16_t> kinds;
    std::vector<std::string> processNames;
    bool sps = false, pcs = false, memoryClass11 = false, memoryClass243WithDelayFlag = false;
    bool memorySelector = false, levelMeter = false, virtualPin = false, moduleMaskEntries = false;
    bool updateCoeff = false, flat = false, invalidControl = false;

    for (const auto& module : library.modules)
    {
        fullModule |= module.dspInputCount == 8 && module.dspOutputCount == 8 && module.rateClassLimit == 2;
        slowModule |= module.rateClassLimit == 0;

        for (const auto& f : module.functions)
            moduleMaskEntries |= ! f.maskEntries.empty();

        for (const auto& p : module.processes)
        {
            processNames.push_back (p.name);
            sps |= p.fromSps;
            pcs |= ! p.fromSps;

            if (p.kind.has_value())
                kinds.push_back (*p.kind);

            const bool hasChannelWord = (p.id & 0x200) != 0;

            if (p.hasMemoryClass && hasChannelWord)
            {
                memoryClass11 |= p.channelWord == 11;
                memoryClass243WithDelayFlag |= p.channelWord == 243 && p.channelWord243 == 0x1001;

                if (p.channelWord >= 101 && p.channelWord <= 241)
                {
                    const size_t selected = p.channelWord - 101u;
                    memorySelector |= selected < p.setupFunctions.size()
                                      && ! p.setupFunctions[selected].maskEntries.empty();
                }
            }

            levelMeter |= ! p.setupFunctions.empty() && p.setupFunctions[0].name.size() >= 7
                          && ! p.controlFunctions.empty()
                          && p.controlFunctions[0].name.find ("GetPeak") != std::string::npos;

            for (const auto& pin : p.pins)
                virtualPin |= pin.kind == 3;

            for (const auto& f : p.controlFunctions)
            {
                updateCoeff |= f.name.find ("Biquad_UpdateCoeff") != std::string::npos;
                flat |= f.name.find ("Biquad_Flat") != std::string::npos;
                invalidControl |= f.name == "Lim_ResetState";
            }
        }
    }

    EXPECT_TRUE (fullModule);
    EXPECT_TRUE (slowModule);
    EXPECT_TRUE (sps);
    EXPECT_TRUE (pcs);
    EXPECT_TRUE (memoryClass11);
    EXPECT_TRUE (memoryClass243WithDelayFlag);
    EXPECT_TRUE (memorySelector);
    EXPECT_TRUE (levelMeter);
    EXPECT_TRUE (virtualPin);
    EXPECT_TRUE (moduleMaskEntries);
    EXPECT_TRUE (updateCoeff);
    EXPECT_TRUE (flat);
    EXPECT_TRUE (invalidControl);

    for (const uint16_t kind : { 0x4001, 0x4006, 0x4002, 0x4005, 0x4007 })
        EXPECT_NE (std::find (kinds.begin(), kinds.end(), kind), kinds.end()) << "kind " << kind;

    for (const char* name : { "HQDistortion_Q0", "HQDistortion_Q1" })
        EXPECT_NE (std::find (processNames.begin(), processNames.end(), name), processNames.end()) << name;

    bool followedByCds = false, withModule = false;

    for (const auto& dsp : library.dsps)
    {
        followedByCds |= dsp.followedByCds;
        withModule |= ! dsp.followedByCds && dsp.moduleId != 0;
    }

    EXPECT_TRUE (followedByCds);
    EXPECT_TRUE (withModule);
}

TEST (ModulesDefText, EveryRandomDescriptionComesBackFieldForField)
{
    RandomDescriptions random (20240611);

    for (int i = 0; i < 300; ++i)
    {
        const auto library = random.library();
        const auto printed = ModulesDefText::print (library);
        LibraryDescription parsed;
        ASSERT_NO_THROW (parsed = ModulesDefText::parse (printed)) << printed;
        ASSERT_EQ (parsed, library) << printed;
        ASSERT_EQ (ModulesDefText::print (parsed), printed);
    }
}

TEST (ModulesDefText, NamesHoldAnyByte)
{
    LibraryDescription library;
    ModuleDescription module;
    module.name = allBytes();
    ProcessDescription process;
    process.name = std::string ("a\0b\"c\\d", 7);
    process.helpPage = "\xFF\xFE\n\t\r";
    FunctionDescription function;
    function.name = "\x01";
    function.label = "\"quoted\"";
    function.annotation = "back\\slash";
    process.controlFunctions.push_back (function);
    module.processes.push_back (process);
    library.modules.push_back (module);

    const auto printed = ModulesDefText::print (library);
    EXPECT_EQ (ModulesDefText::parse (printed), library);

    // Quoted names print on one line in plain ASCII.
    for (const char c : printed)
        EXPECT_TRUE (c == '\n' || (c >= 0x20 && c < 0x7F)) << static_cast<int> (static_cast<uint8_t> (c));

    EXPECT_EQ (ModulesDefText::quote (std::string ("a\0\"\\\x7F", 5)), "\"a\\x00\\\"\\\\\\x7F\"");
}

TEST (ModulesDefText, HandWrittenStringsAcceptEveryEscape)
{
    const auto library = ModulesDefText::parse ("module \"t\\tn\\nr\\rz\\0x\\x41\\xfe q\\\" b\\\\ \xC3\xA9\"\nend\n");
    ASSERT_EQ (library.modules.size(), 1u);
    EXPECT_EQ (library.modules[0].name, std::string ("t\tn\nr\rz\0xA\xFE q\" b\\ \xC3\xA9", 20));
}

TEST (ModulesDefText, WordListsPrintAsReadableItems)
{
    // (4,1,64), an escape to entry 3, "ABC" of class 21, "AB" of class 22 (one pad byte).
    const std::vector<uint16_t> words { 4, 1, 64, 0xFFFF, 3, 21, 0x4103, 0x4342, 22, 0x4102, 0x0042 };
    EXPECT_EQ (ModulesDefText::printWordList (words, false), "(4,1,64) dict 3 var21 \"ABC\" var22 \"AB\"");
    EXPECT_EQ (ModulesDefText::parseWordList ("(4,1,64) dict 3 var21 \"ABC\" var22 \"AB\"", false), words);

    // An empty variable item takes two words.
    EXPECT_EQ (ModulesDefText::parseWordList ("var22 \"\" (4,0,10)", false), (std::vector<uint16_t> { 22, 0, 4, 0, 10 }));

    // Large numbers of a fixed item print in hexadecimal.
    EXPECT_EQ (ModulesDefText::printWordList ({ 4, 0x1234, 255 }, false), "(4,0x1234,255)");
}

TEST (ModulesDefText, ClassFifteenIsVariableOnlyInsideTheDictionary)
{
    const std::vector<uint16_t> words { 15, 0x6102, 0x0062, 4, 0, 10 };

    EXPECT_EQ (ModulesDefText::printWordList (words, true), "var15 \"ab\" (4,0,10)");
    EXPECT_EQ (ModulesDefText::printWordList (words, false), "(15,0x6102,98) (4,0,10)");
    EXPECT_EQ (ModulesDefText::parseWordList ("var15 \"ab\" (4,0,10)", true), words);
    EXPECT_EQ (ModulesDefText::parseWordList ("(15,0x6102,98) (4,0,10)", false), words);

    LibraryDescription library;
    library.dictionary.push_back (words);
    FunctionDescription function;
    function.words = words;
    ModuleDescription module;
    module.functions.push_back (function);
    library.modules.push_back (module);

    EXPECT_EQ (ModulesDefText::parse (ModulesDefText::print (library)), library);
}

TEST (ModulesDefText, WordsThatDoNotDecodeFallBackToRawWords)
{
    // A variable item whose pad byte is not 0 cannot be written as a string.
    EXPECT_EQ (ModulesDefText::printWordList ({ 21, 0x4102, 0x9942, 4, 0, 10 }, false),
               "raw 0x0015 0x4102 0x9942 (4,0,10)");

    // Lists that end inside an item.
    EXPECT_EQ (ModulesDefText::printWordList ({ 4, 0 }, false), "raw 0x0004 0x0000");
    EXPECT_EQ (ModulesDefText::printWordList ({ 4, 0, 10, 0xFFFF }, false), "(4,0,10) raw 0xFFFF");
    EXPECT_EQ (ModulesDefText::printWordList ({ 22, 0x0009, 1 }, false), "raw 0x0016 0x0009 0x0001");
    EXPECT_EQ (ModulesDefText::printWordList ({ 22 }, false), "raw 0x0016");

    // Long raw runs are cut into pieces of eight words: here 20 bytes of class 21 whose pad byte is 0x99.
    std::vector<uint16_t> garbage { 21, 0x4114 };
    garbage.insert (garbage.end(), 9, 0x4141);
    garbage.push_back (0x9941);
    const auto printed = ModulesDefText::printWordList (garbage, false);
    EXPECT_EQ (printed, "raw 0x0015 0x4114 0x4141 0x4141 0x4141 0x4141 0x4141 0x4141 raw 0x4141 0x4141 0x4141 0x9941");
    EXPECT_EQ (ModulesDefText::parseWordList (printed, false), garbage);
}

TEST (ModulesDefText, EveryWordListComesBackWordForWord)
{
    RandomDescriptions random (77);

    for (int i = 0; i < 5000; ++i)
    {
        const auto words = random.words();

        for (const bool inDictionary : { false, true })
        {
            const auto printed = ModulesDefText::printWordList (words, inDictionary);
            std::vector<uint16_t> parsed;
            ASSERT_NO_THROW (parsed = ModulesDefText::parseWordList (printed, inDictionary)) << printed;
            ASSERT_EQ (parsed, words) << printed;
        }
    }
}

TEST (ModulesDefText, LongWordListsWrapOverSeveralLines)
{
    LibraryDescription library;
    FunctionDescription function;

    for (int i = 0; i < 40; ++i)
        function.words.insert (function.words.end(), { 4, 1, static_cast<uint16_t> (i) });

    ModuleDescription module;
    module.functions.push_back (function);
    library.modules.push_back (module);
    library.dictionary.push_back (function.words);

    const auto printed = ModulesDefText::print (library);
    std::istringstream lines (printed);
    std::string line;
    int wordsLines = 0;

    while (std::getline (lines, line))
    {
        EXPECT_LE (line.size(), 100u) << line;

        if (line.find ("words ") != std::string::npos)
            ++wordsLines;
    }

    EXPECT_GT (wordsLines, 2);
    EXPECT_EQ (ModulesDefText::parse (printed), library);
}

TEST (ModulesDefText, LeftOutFieldsKeepTheirDefaults)
{
    const auto library = ModulesDefText::parse ("module \"M\"\n"
                                                "    process \"P\"\n"
                                                "        control \"C\"\n"
                                                "        end\n"
                                                "    end\n"
                                                "end\n");
    LibraryDescription expected;
    ModuleDescription module;
    module.name = "M";
    ProcessDescription process;
    process.name = "P";
    FunctionDescription function;
    function.name = "C";
    process.controlFunctions.push_back (function);
    module.processes.push_back (process);
    expected.modules.push_back (module);

    EXPECT_EQ (library, expected);
    EXPECT_EQ (library.dspCapacity, 4);
    EXPECT_EQ (library.version, std::optional<uint16_t> (68));
    EXPECT_FALSE (library.busMasks.has_value());
}

TEST (ModulesDefText, HandWrittenFormsMeanWhatTheyShouldMean)
{
    const auto library = ModulesDefText::parse ("# a comment line\r\n"
                                                "capacity 0x10   # hexadecimal\r\n"
                                                "version none\r\n"
                                                "module \"M\"\r\n"
                                                "  id 33\r\n"
                                                "  kind 0X0001\r\n"
                                                "  dsp-inputs 8\r\n"
                                                "  process \"P\" sps\r\n"
                                                "    id 0x201\r\n"
                                                "    memory-class\r\n"
                                                "    channel-word 0x00F3\r\n"
                                                "    memory-class-word 7\r\n"
                                                "    channel-word-243 0x1001\r\n"
                                                "    cycles per-channel 10 base 2\r\n"
                                                "    ram per-channel 3 base 4\r\n"
                                                "    setup \"S\"\r\n"
                                                "      form 1\r\n"
                                                "      params 2\r\n"
                                                "      mask 5\r\n"
                                                "      mask-entry 1 2\r\n"
                                                "      mask-entry 0x0003 0x0004\r\n"
                                                "      words (4,2,0)\r\n"
                                                "      words ( 4 , 0 , 10 )\r\n"
                                                "    end\r\n"
                                                "    pin \"I\" in vector\r\n"
                                                "    pin \"V\" 7 virtual\r\n"
                                                "    pin \"O\" out 9\r\n"
                                                "  end\r\n"
                                                "end\r\n"
                                                "dsp 2 third 5 module 0x22\r\n"
                                                "dsp 3 cds\r\n"
                                                "bus\r\n"
                                                "end\r\n");

    EXPECT_EQ (library.dspCapacity, 16);
    EXPECT_FALSE (library.version.has_value());
    ASSERT_EQ (library.modules.size(), 1u);
    const auto& module = library.modules[0];
    EXPECT_EQ (module.id, 33);
    EXPECT_EQ (module.kind, std::optional<uint16_t> (1));
    EXPECT_EQ (module.dspInputCount, 8);
    ASSERT_EQ (module.processes.size(), 1u);
    const auto& process = module.processes[0];
    EXPECT_TRUE (process.fromSps);
    EXPECT_EQ (process.id, 0x201);
    EXPECT_TRUE (process.hasMemoryClass);
    EXPECT_EQ (process.channelWord, 0xF3);
    EXPECT_EQ (process.memoryClassWord243, 7);
    EXPECT_EQ (process.channelWord243, 0x1001);
    EXPECT_EQ (process.cyclesPerChannel, 10);
    EXPECT_EQ (process.baseCycles, 2);
    EXPECT_EQ (process.ramPerChannel, 3);
    EXPECT_EQ (process.baseRam, 4);
    ASSERT_EQ (process.setupFunctions.size(), 1u);
    const auto& setup = process.setupFunctions[0];
    EXPECT_EQ (setup.form, 1);
    EXPECT_EQ (setup.entryMask, 5);
    EXPECT_EQ (setup.maskEntries, (std::vector<uint32_t> { 0x00020001, 0x00040003 }));
    EXPECT_EQ (setup.words, (std::vector<uint16_t> { 4, 2, 0, 4, 0, 10 }));
    ASSERT_EQ (process.pins.size(), 3u);
    EXPECT_EQ (process.pins[0].direction, 0);
    EXPECT_EQ (process.pins[0].kind, 2);
    EXPECT_EQ (process.pins[1].direction, 7);
    EXPECT_EQ (process.pins[1].kind, 3);
    EXPECT_EQ (process.pins[2].direction, 1);
    EXPECT_EQ (process.pins[2].kind, 9);
    ASSERT_EQ (library.dsps.size(), 2u);
    EXPECT_EQ (library.dsps[0].id, 2);
    EXPECT_EQ (library.dsps[0].moduleId, 0x22);
    EXPECT_EQ (library.dsps[0].third, 5);
    EXPECT_FALSE (library.dsps[0].followedByCds);
    EXPECT_TRUE (library.dsps[1].followedByCds);
    ASSERT_TRUE (library.busMasks.has_value());
    EXPECT_TRUE (library.busMasks->empty());
}

TEST (ModulesDefText, MalformedTextIsRefusedWithItsLineNumber)
{
    struct Case
    {
        const char* text;
        const char* message;
    };

    const Case cases[] = {
        { "capacity 70000", "line 1: the DSP capacity 70000 is out of range (at most 65535)" },
        { "capacity 4\ncapacity 8", "line 2: 'capacity' is given twice" },
        { "\n\nproces \"P\"", "line 3: unknown keyword 'proces'" },
        { "end", "line 1: 'end' with no open block" },
        { "module \"M\"\n  id 1\n", "line 1: the 'module' block opened here is never closed" },
        { "module \"M\"\n  pin \"x\" in vector\nend", "line 2: 'pin' does not belong in a 'module' block" },
        { "module \"M\"\n  process \"P\"\n    control \"C\"\n  process \"Q\"\n",
          "line 4: 'process' does not belong in a 'control' block (is an 'end' missing?)" },
        { "module \"M\nend", "line 1: the string is not closed" },
        { "module \"a\\qb\"\nend", "line 1: unknown escape '\\q'" },
        { "module \"a\\x4\"\nend", "line 1: '\\x' in a string needs two hexadecimal digits" },
        { "module M\nend", "line 1: expected the module name (a quoted string), found 'M'" },
        { "version latest", "line 1: expected the format version (or 'none'), found 'latest'" },
        { "capacity 12ab", "line 1: '12ab' is not a number" },
        { "capacity 0x1FFFFFFFF", "line 1: the number 0x1FFFFFFFF is too large" },
        { "capacity 4 5", "line 1: unexpected number 5 after 'capacity'" },
        { "capacity 4 ;", "line 1: unexpected ';'" },
        { "dictionary\n  entry 1 (4,0,10)\nend", "line 2: this is dictionary entry 0, but it is numbered 1" },
        { "dictionary\n  words (4,0,10)\nend", "line 2: 'words' before the first 'entry' of the dictionary" },
        { "dictionary\n  entry 0 (15,0,0)\nend", "line 2: a fixed item of class 15 would read as a variable item in a dictionary entry" },
        { "module \"M\"\n function \"F\"\n  words (4,0,10) (21,0,0)\n end\nend",
          "line 3: a fixed item of class 21 would read as a variable item" },
        { "module \"M\"\n function \"F\"\n  words (0xFFFF,0,0)\n end\nend", "line 3: a fixed item cannot have class 0xFFFF" },
        { "module \"M\"\n function \"F\"\n  words var15 \"x\"\n end\nend",
          "line 3: var15 is a variable item only inside a dictionary entry" },
        { "module \"M\"\n function \"F\"\n  words raw\n end\nend", "line 3: 'raw' needs at least one word" },
        { "module \"M\"\n function \"F\"\n  words (4,0)\n end\nend", "line 3: expected ',', found ')'" },
        { "module \"M\"\n function \"F\"\n  words 4 0 10\n end\nend", "line 3: expected a word-list item" },
        { "module \"M\"\n function \"F\"\n  words dict\n end\nend", "line 3: expected the dictionary entry number at the end of the line" },
        { "module \"M\"\n function \"F\"\n  returns 256\n end\nend", "line 3: the return-value count 256 is out of range (at most 255)" },
        { "module \"M\"\n process \"P\" dsp\n end\nend", "line 2: expected 'pcs' or 'sps' after the process name, found 'dsp'" },
        { "module \"M\"\n process \"P\"\n  cycles 10 2\n end\nend", "line 3: expected 'per-channel', found number 10" },
        { "module \"M\"\n process \"P\"\n  pin \"I\" sideways vector\n end\nend",
          "line 3: expected the pin direction ('in', 'out' or a number) after the pin name" },
        { "dsp 1 module 2 module 3", "line 1: 'module' is given twice for one DSP" },
        { "dsp 1 slot 2", "line 1: expected 'module', 'third' or 'cds', found 'slot'" },
        { "bus\n  mask in 1 2 3 4 5 6 7 out 1 2 3 4 5 6 7 8\nend", "line 2: expected input mask byte 8 of 8, found 'out'" },
        { "bus\n  mask in 1 2 3 4 5 6 7 8 out 1 2 3 4 5 6 7 0x100\nend",
          "line 2: output mask byte 8 of 8 0x100 is out of range (at most 255)" },
    };

    for (const auto& c : cases)
    {
        const auto message = parseError (c.text);
        EXPECT_NE (message.find (c.message), std::string::npos)
            << "text:\n" << c.text << "\ngave: " << (message.empty() ? "(no error)" : message)
            << "\nexpected: " << c.message;
    }
}

TEST (ModulesDefText, WordListErrorsNameTheirLine)
{
    try
    {
        ModulesDefText::parseWordList ("(4,0,10)\n(4,0,10) var21 \"unterminated\n", false);
        FAIL() << "an unterminated string was accepted";
    }
    catch (const std::runtime_error& e)
    {
        EXPECT_STREQ (e.what(), "line 2: the string is not closed (a '\"' is missing)");
    }
}
