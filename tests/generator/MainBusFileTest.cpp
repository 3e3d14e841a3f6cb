#include "generator/MainBusFile.h"

#include "generator/ProjectHeaders.h"

#include "model/BusConnectionRules.h"
#include "model/DesignLog.h"
#include "model/GraphData.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <set>

namespace
{
// A bus graph with DSP nodes of the given numbers, all of them generated.
class BusFixture
{
public:
    explicit BusFixture (std::initializer_list<uint32_t> dsps) : BusFixture (std::vector<uint32_t> (dsps)) {}

    explicit BusFixture (const std::vector<uint32_t>& dsps)
    {
        for (auto dsp : dsps)
        {
            bus.addNode ("DSP", false, nullptr, 0.1, 0.1);
            bus.setNodeId (bus.getLastAddedNode()->getId(), dsp);
        }

        mainBus.setBusGraph (&bus);

        for (auto dsp : dsps)
            mainBus.linkDsp (dsp);

        clearLog();
    }

    // The rows of the two routing tables as one text.
    juce::String tables()
    {
        const auto text = mainBus.makeInitAndRouteSource();
        return text.fromFirstOccurrenceOf ("const WORD dspRouting_In", true, false)
            .upToFirstOccurrenceOf ("\n// A routing cell", false, false);
    }

    GraphData bus;
    MainBusFile mainBus;
};
} // namespace

TEST (MainBusFile, RoutingTablesHoldConnectionsChipPinsAndUnconnectedCells)
{
    BusFixture f{ 1, 3 };
    f.bus.addConnection (3, 2, 1, 1);
    f.bus.addBusPin (1, 0, 1, "DAAD0L");
    f.bus.addBusPin (3, 7, 0, "DABD7R");
    f.bus.addBusPin (1, 4, 0, "IBUS5");
    f.bus.addBusPin (3, 5, 1, "IBUS5");

    EXPECT_EQ (f.tables(), "const WORD dspRouting_In[2][8] = \n{\n"
                           "\t{DAAD0L,32802,0,0,0,0,0,0},\n"
                           "\t{0,0,0,0,0,IBUS5IN,0,0}\n};\n\n"
                           "const WORD dspRouting_Out[2][8] = \n{\n"
                           "\t{-1,-1,-1,-1,IBUS5OUT,-1,-1,-1},\n"
                           "\t{-1,-1,-1,-1,-1,-1,-1,DABD7R}\n};\n");
    EXPECT_EQ (getLogErrorCount(), 0);
}

TEST (MainBusFile, OnlyLinkedDspsAreRoutedAndStarted)
{
    BusFixture f{ 1, 2, 3 };
    f.mainBus.unlinkDsp (2);
    EXPECT_TRUE (f.mainBus.linkDsp (2));
    f.mainBus.unlinkDsp (1);

    EXPECT_FALSE (f.mainBus.linkDsp (4));  // not on the bus
    EXPECT_FALSE (f.mainBus.linkDsp (17)); // not a DSP number
    EXPECT_EQ (f.mainBus.getGeneratedDsps(), (std::vector<uint32_t>{ 2, 3 }));

    const auto text = f.mainBus.makeInitAndRouteSource();
    EXPECT_TRUE (
        text.contains ("\tWORD dspIndex[2] = { 1,2 };\n\tdsp[1] = dsp2InitAndRoute();\n\tdsp[2] = dsp3InitAndRoute();\n"));
    EXPECT_FALSE (text.contains ("dsp1InitAndRoute"));

    // A new bus graph drops every link.
    f.mainBus.setBusGraph (&f.bus);
    EXPECT_TRUE (f.mainBus.getGeneratedDsps().empty());
}

TEST (MainBusFile, WhatNamesNoDspChannelOrChipPinIsLoggedAndLeftOut)
{
    BusFixture f{ 1, 2 };
    f.bus.addConnection (1, 9, 2, 0);
    f.bus.addConnection (1, 0, 2, 8);
    f.bus.addConnection (1, 0, 20, 0);
    f.bus.addBusPin (2, 1, 1, "DAAD9X");
    f.bus.addBusPin (2, 2, 1, "x;y");
    f.bus.addBusPin (2, 12, 0, "DABD0L");
    f.bus.addBusPin (2, 4, 1, "DABD1L");
    f.bus.addBusPin (1, 5, 0, "DAAD1L");

    EXPECT_EQ (f.tables(), "const WORD dspRouting_In[2][8] = \n{\n\t{0,0,0,0,0,0,0,0},\n\t{0,0,0,0,0,0,0,0}\n};\n\n"
                           "const WORD dspRouting_Out[2][8] = \n{\n\t{-1,-1,-1,-1,-1,-1,-1,-1},\n"
                           "\t{-1,-1,-1,-1,-1,-1,-1,-1}\n};\n");
    EXPECT_EQ (getLogText(),
               " !!! Error#1: Bus connection from DSP#1 output 0 to DSP#2 input 8 left out: channels run from 0 to 7\n"
               " !!! Error#2: Bus connection from DSP#1 output 0 to DSP#20 input 0 left out: DSP numbers run from 1 to 16\n"
               " !!! Error#3: Bus connection from DSP#1 output 9 to DSP#2 input 0 left out: channels run from 0 to 7\n"
               " !!! Error#4: Chip pin \"DAAD1L\" on DSP#1 output 5 left out: a DSP output cannot drive a chip input\n"
               " !!! Error#5: Chip pin \"DAAD9X\" on DSP#2 input 1 left out: no such chip pin\n"
               " !!! Error#6: Chip pin \"x;y\" on DSP#2 input 2 left out: no such chip pin\n"
               " !!! Error#7: Chip pin \"DABD1L\" on DSP#2 input 4 left out: a chip output cannot feed a DSP input\n"
               " !!! Error#8: Chip pin \"DABD0L\" on DSP#2 output 12 left out: no such DSP pin\n");
}

TEST (MainBusFile, AWireFromADspWithoutSourcesIsLoggedAndLeftOut)
{
    // DSP 2 is on the bus but was not generated: nothing starts it, so no
    // DSP may read its outputs. A wire into it is harmless: nothing routes it.
    BusFixture f{ 1, 2, 3 };
    f.mainBus.unlinkDsp (2);
    f.bus.addConnection (2, 1, 1, 0);
    f.bus.addConnection (3, 0, 1, 1);
    f.bus.addConnection (1, 0, 2, 0);

    EXPECT_EQ (f.tables(), "const WORD dspRouting_In[2][8] = \n{\n\t{0,32800,0,0,0,0,0,0},\n\t{0,0,0,0,0,0,0,0}\n};\n\n"
                           "const WORD dspRouting_Out[2][8] = \n{\n\t{-1,-1,-1,-1,-1,-1,-1,-1},\n"
                           "\t{-1,-1,-1,-1,-1,-1,-1,-1}\n};\n");
    EXPECT_EQ (getLogText(), " !!! Error#1: Bus connection from DSP#2 output 1 to DSP#1 input 0 left out: no source was "
                             "generated for DSP#2\n");
}

TEST (MainBusFile, TwoFeedsOfOnePinAreLoggedAndTheFirstKept)
{
    // What the editors refuse can still come from a file edited by hand: the
    // table must not route a chip output twice nor let a wire replace another.
    BusFixture f{ 1, 2 };
    f.bus.addConnection (1, 0, 2, 3);
    f.bus.addConnection (1, 1, 2, 3);
    f.bus.addBusPin (1, 0, 0, "DABD0L");
    f.bus.addBusPin (1, 2, 0, "DABD0L");
    f.bus.addBusPin (2, 3, 1, "DAAD1L");
    f.bus.addBusPin (1, 0, 0, "IBUS2");

    const auto tables = f.tables();
    EXPECT_EQ (tables.indexOf ("DABD0L"), tables.lastIndexOf ("DABD0L")) << tables;
    EXPECT_FALSE (tables.contains ("DAAD1L"));
    EXPECT_FALSE (tables.contains ("IBUS2"));
    EXPECT_EQ (getLogText(),
               " !!! Error#1: Bus connection from DSP#1 output 1 to DSP#2 input 3 left out: DSP#2 input 3 is already fed by "
               "DSP#1 output 0\n"
               " !!! Error#2: Chip pin \"IBUS2\" on DSP#1 output 0 left out: DSP#1 output 0 already feeds DABD0L\n"
               " !!! Error#3: Chip pin \"DABD0L\" on DSP#1 output 2 left out: DABD0L is already fed by DSP#1 output 0\n"
               " !!! Error#4: Chip pin \"DAAD1L\" on DSP#2 input 3 left out: DSP#2 input 3 is already fed by DSP#1 output 0\n");
}

TEST (MainBusFile, ChipPinNamesAreTheChipsOwn)
{
    for (auto* name : { "DAAD0L", "DAAD7R", "DABD3L", "IBUS0", "IBUS9", "IBUSF" })
        EXPECT_TRUE (MainBusFile::isChipPinName (name)) << name;

    for (auto* name : { "", "DAAD8L", "DAAD0X", "daad0l", "DABD0LL", "IBUSG", "IBUS", "IBUS10", "DSPIN0", "DAAD0L;" })
        EXPECT_FALSE (MainBusFile::isChipPinName (name)) << name;
}

TEST (MainBusFile, TheClockFollowsTheRateOrTheSpdifOutput)
{
    FirmwareFeatures plain, spdif;
    spdif.spdif = true;

    const struct
    {
        int hz;
        const char* line;
    } cases[] = {
        { 44100, "\n" },
        { 48000, "\n" },
        { 88200, "\t_Sys_SwitchPll7xxx( 0xD10C, 0 ); // 88.2kHz - 96kHz clock format selection.\n" },
        { 96000, "\t_Sys_SwitchPll7xxx( 0xD10C, 0 ); // 88.2kHz - 96kHz clock format selection.\n" },
        { 176400, "\t_Sys_SwitchPll7xxx( 0xC914, 0 ); // 176.4kHz - 192kHz clock format selection.\n" },
        { 192000, "\t_Sys_SwitchPll7xxx( 0xC914, 0 ); // 176.4kHz - 192kHz clock format selection.\n" },
    };

    for (auto& c : cases)
    {
        EXPECT_EQ (MainBusFile::writeClockBlock (plain, c.hz), c.line) << c.hz;
        EXPECT_EQ (MainBusFile::writeClockBlock (spdif, c.hz),
                   "\t_Sys_ClockInit( " + juce::String (c.hz) + " / 4, _SYS_OSCSWITCH(changeSytemSamplingRate) );\n\n");
    }

    MainBusFile mainBus;
    const auto main = mainBus.makeMainSource (plain, 176400, true);
    EXPECT_TRUE (main.contains ("#endif\n\n\t_Sys_SwitchPll7xxx( 0xC914, 0 ); // 176.4kHz - 192kHz clock format selection.\n"
                                "#ifdef _USE_SERIAL_MIDI"));
    EXPECT_FALSE (mainBus.makeMainSource (plain, 48000, true).contains ("_Sys_SwitchPll7xxx"));
    EXPECT_TRUE (main.contains ("\n\twhile (1) \n\t{\n\n#ifdef _USE_SERIAL_MIDI"));
}

TEST (MainBusFile, TheFeedbackCancellerHasOneRecordPerDsp)
{
    MainBusFile mainBus;
    const juce::Array<int> dsps{ 0, 2 };
    const auto source = mainBus.makeFbcHandlerSource (dsps);

    EXPECT_TRUE (source.startsWith ("#include \"fbcHandler.h\"\n"));
    EXPECT_TRUE (source.contains ("#define _FBCancel_UpdateFBCFilters(a, b, c)"));
    EXPECT_TRUE (source.contains ("\nFBCStatus fbcStatus0, fbcStatus2;\n"));
    EXPECT_TRUE (
        source.contains ("const WORD fbcQTable[16] = { 57, 54, 51, 48, 45, 42, 39, 36, 33, 30, 27, 24, 21, 18, 14, 7 };"));
    EXPECT_TRUE (source.contains ("#define FBCATTENUATION_ITEMNB\t14"));
    EXPECT_TRUE (source.endsWith ("void FBCStatus_Init( void )\n{\n"
                                  "\tFBC_InitStatus( &fbcStatus0, dsp[0], 0, 0 );\n"
                                  "\tFBC_InitStatus( &fbcStatus2, dsp[2], 0, 0 );\n}\n\n"
                                  "void FBC_BaseLevels( void )\n{\n"
                                  "\tFBC_BaseLevel( &fbcStatus0 );\n"
                                  "\tFBC_BaseLevel( &fbcStatus2 );\n}\n"));
    EXPECT_TRUE (
        mainBus.makeFbcHandlerHeader (dsps).endsWith ("extern FBCStatus fbcStatus0, fbcStatus2;\n\n#endif //__FBCHANDLER_H__"));
}

TEST (MainBusFile, TheFreeChannelsAreTheChannelsWithoutADsp)
{
    const struct
    {
        std::vector<uint32_t> dsps;
        const char* word;
    } cases[] = {
        { {}, "0xffff" },
        { { 1 }, "0xfffe" },
        { { 1, 3 }, "0xfffa" },
        { { 16 }, "0x7fff" },
        { { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 }, "0x0000" },
    };

    for (auto& c : cases)
    {
        BusFixture f (c.dsps);
        EXPECT_TRUE (f.mainBus.makeMidiControlSource ({}, true).contains ("WORD freeChannel = " + juce::String (c.word) + ";"))
            << c.word;
    }
}

TEST (MainBusFile, EveryHandlerFillsItsOwnDspsSlot)
{
    BusFixture f{ 1, 3, 4 };
    const juce::StringArray names{ "dsp1CommandHandler", "", "dsp3CommandHandler" };

    EXPECT_EQ (f.mainBus.writeHandlerTables (names, false),
               "#include <system.h>\n#include \"quellion.h\"\n#include \"commandctrl.h\"\n"
               "\nextern void Send( WORD data ); // provided by the application firmware (main.c)\n"
               "\nPTR32 commandFunctionPtrTable[NBDSPINITIALIZED];\n"
               "\nvoid quellion_InitCommandFunction( void )\n{\n"
               "\tcommandFunctionPtrTable[0] = _cptr32( dsp1CommandHandler );\n"
               "\tcommandFunctionPtrTable[2] = _cptr32( dsp3CommandHandler );\n}\n");
}

// Over random bus graphs, with DSP numbers, channels and names both valid
// and not: every cell written is a number or a chip bus, every table has a
// row per generated DSP, and every item left out is logged once.
TEST (MainBusFile, RandomBusGraphsGiveOnlyValidCells)
{
    std::mt19937 random (20240613);
    const juce::StringArray names{ "DAAD0L", "DAAD7R", "DABD2L", "IBUS3", "IBUSF", "DSPIN0", "IBUSG", "x\"y", "" };
    const std::regex cell ("-1|[0-9]+|DAAD[0-7][LR]|DABD[0-7][LR]|IBUS[0-9A-F](IN|OUT)");
    const std::regex row ("\\{([^{}]*)\\}");

    for (int round = 0; round < 200; ++round)
    {
        std::vector<uint32_t> dsps;

        for (uint32_t dsp = 1; dsp <= 20; ++dsp)
            if (random() % 3 == 0)
                dsps.push_back (dsp);

        BusFixture f (dsps);
        int invalid = 0;
        // Two feeds of one pin are logged too (another test): the graphs here
        // have none, so that every error is an invalid item.
        std::set<std::pair<uint32_t, uint32_t>> fedInputs, usedOutputs;
        std::set<juce::String> drivenNames;

        for (int i = 0; i < (int) (random() % 12); ++i)
        {
            const auto source = (uint32_t) (random() % 20 + 1), destination = (uint32_t) (random() % 20 + 1);
            const auto sourceChannel = (uint32_t) (random() % 10), destinationChannel = (uint32_t) (random() % 10);

            if (! fedInputs.insert ({ destination, destinationChannel }).second)
                continue;

            const int before = f.bus.getNumConnections();
            f.bus.addConnection (source, sourceChannel, destination, destinationChannel);

            if (f.bus.getNumConnections() > before &&
                (source > 16 || destination > 16 || sourceChannel > 7 || destinationChannel > 7 || ! f.mainBus.isLinked (source)))
                ++invalid;
        }

        for (int i = 0; i < (int) (random() % 12); ++i)
        {
            const auto dsp = (uint32_t) (random() % 20 + 1), channel = (uint32_t) (random() % 10);
            const auto& name = names[(int) (random() % (uint32_t) names.size())];
            const auto direction = (uint8_t) (random() % 2);

            if (direction != 0 ? ! fedInputs.insert ({ dsp, channel }).second
                               : (! usedOutputs.insert ({ dsp, channel }).second || ! drivenNames.insert (name).second))
                continue;

            const int before = f.bus.getNumBusPins();
            f.bus.addBusPin (dsp, channel, direction, name);

            if (f.bus.getNumBusPins() > before &&
                (dsp > 16 || channel > 7 || ! BusConnectionRules::isChipPinNameFor (name, direction != 0)))
                ++invalid;
        }

        const auto generated = f.mainBus.getGeneratedDsps().size();
        const auto tables = f.tables().toStdString();
        size_t rows = 0;

        for (std::sregex_iterator it (tables.begin(), tables.end(), row), end; it != end; ++it, ++rows)
        {
            const auto cells = juce::StringArray::fromTokens (juce::String ((*it)[1].str()), ",", {});
            ASSERT_EQ (cells.size(), 8) << round;

            for (auto& c : cells)
                EXPECT_TRUE (std::regex_match (c.toStdString(), cell)) << round << ": " << c;
        }

        EXPECT_EQ (rows, 2 * generated) << round;
        EXPECT_EQ (getLogErrorCount(), generated > 0 ? invalid : 0) << round;
    }
}

// Each routine of the assembly wrappers reads exactly its parameter words,
// passes its callee the words after the far pointer, and returns with its
// parameter size; its prototype comment is the C prototype of the generated
// headers.
TEST (MainBusFile, EveryWrapperReturnsWithTheParameterWordsItReads)
{
    const auto lines = juce::StringArray::fromLines (MainBusFile::getWrappersText());
    const auto declarations = ProjectHeaders::makeSharedHeaderHead (1) + ProjectHeaders::makeBiquadControlHeader ({}) +
                              MainBusFile::getControlHeaderText (true);
    const std::regex prototype (R"(; (\w+) (\w+)\( (.*) \))");
    const std::regex frameRead (R"(\[fp-(\d+)\])");
    int routines = 0;

    for (int i = 0; i < lines.size(); ++i)
    {
        std::smatch match;
        const auto line = lines[i].toStdString();

        if (! std::regex_match (line, match, prototype))
            continue;

        const juce::String name (match[2].str());
        const auto parameters = juce::StringArray::fromTokens (juce::String (match[3].str()), ",", "");
        int words = 0;

        for (auto& parameter : parameters)
            words += parameter.trim().startsWith ("DWORD") || parameter.trim().startsWith ("PTR32") ? 2 : 1;

        ASSERT_EQ (lines[i + 1], "_" + name + ":");
        EXPECT_TRUE (declarations.contains (juce::String (match[0].str()).substring (2) + ";")) << name;

        std::set<int> read;
        int pushes = 0, returned = -1;
        bool callsFar = false;

        for (int j = i + 2; j < lines.size() && returned < 0; ++j)
        {
            const auto body = lines[j].upToFirstOccurrenceOf (";", false, false).toStdString();

            for (std::sregex_iterator it (body.begin(), body.end(), frameRead), end; it != end; ++it)
                read.insert (std::stoi ((*it)[1].str()));

            const auto instruction = lines[j].trim().upToFirstOccurrenceOf (" ", false, false);
            pushes += instruction == "push" && lines[j].contains ("[fp-") ? 1 : 0;
            callsFar = callsFar || instruction == "callf";
            EXPECT_NE (instruction, "add") << name << ": the callee removes its own parameters";

            if (instruction == "ret")
                returned = lines[j].fromFirstOccurrenceOf ("ret", false, false).getIntValue();
        }

        std::set<int> expected;

        for (int w = 0; w < words; ++w)
            expected.insert (2 + w);

        EXPECT_EQ (read, expected) << name;
        EXPECT_EQ (returned, words) << name;

        if (callsFar)
        {
            EXPECT_EQ (pushes, words - 2) << name << ": every word after the far pointer goes to the callee";
        }

        ++routines;
    }

    EXPECT_EQ (routines, 3);
}
