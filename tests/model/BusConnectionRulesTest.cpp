#include "model/BusConnectionRules.h"
#include "model/DesignLog.h"
#include "model/ProjectSettings.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace
{
using Pin = BusConnectionRules::Pin;
using DragStart = BusConnectionRules::DragStart;

// A bus graph of DSPs 1 to 4, as the bus editor makes them.
class BusConnectionRulesTest : public ::testing::Test
{
protected:
    BusConnectionRulesTest()
    {
        clearDesignFlags();

        for (uint32_t id = 1; id <= 4; ++id)
            bus.restoreNode (id, id, "DSP", false, nullptr, 0.1 * id, 0.2);
    }

    ~BusConnectionRulesTest() override { clearDesignFlags(); }

    static DragStart fromOutput (uint32_t node, uint32_t pin) { return { node, pin, 0, pin }; }
    static DragStart fromInput (uint32_t node, uint32_t pin) { return { 0, pin, node, pin }; }
    static Pin input (uint32_t node, uint32_t pin) { return { node, pin, true }; }
    static Pin output (uint32_t node, uint32_t pin) { return { node, pin, false }; }

    BusConnectionRules::Verdict drop (const DragStart& start, const Pin& pin, BusConnectionRules::Ends* ends = nullptr)
    {
        return BusConnectionRules (bus).checkConnectionDrop (start, pin, ends);
    }

    BusConnectionRules::Verdict name (const Pin& pin, const juce::String& text)
    {
        return BusConnectionRules (bus).checkChipPinName (pin, text);
    }

    GraphData bus;
};

TEST (BusChipCapacity, EveryChipOfTheSettingsPageHoldsTheNumberItsNameEndsIn)
{
    const std::map<juce::String, int> expected{ { "7104", 4 },  { "7304", 4 }, { "7308", 8 },
                                                { "7316", 16 }, { "7408", 8 }, { "7516", 16 } };
    const auto& chips = ProjectSettings::getChipNames();
    ASSERT_EQ (chips.size(), (int) expected.size());

    for (auto& chip : chips)
        EXPECT_EQ (BusConnectionRules::getChipCapacity (chip), expected.at (chip)) << chip;

    EXPECT_EQ (BusConnectionRules::getChipCapacity (""), 0);
    EXPECT_EQ (BusConnectionRules::getChipCapacity ("73x"), 0);
    EXPECT_EQ (BusConnectionRules::getChipCapacity ("7"), 7);
}

TEST (BusChipPinNames, EachNameFitsItsSide)
{
    struct Case
    {
        const char* name;
        bool onInput, onOutput;
    };

    const Case cases[] = { { "DAAD0L", true, false },  { "DAAD7R", true, false },  { "DABD0L", false, true },
                           { "DABD7R", false, true },  { "IBUS0", true, true },    { "IBUSF", true, true },
                           { "IBUSG", false, false },  { "DAAD8L", false, false }, { "DAAD0X", false, false },
                           { "daad0l", false, false }, { "DSPIN0", false, false }, { "", false, false } };

    for (auto& c : cases)
    {
        EXPECT_EQ (BusConnectionRules::isChipPinNameFor (c.name, true), c.onInput) << c.name;
        EXPECT_EQ (BusConnectionRules::isChipPinNameFor (c.name, false), c.onOutput) << c.name;
    }
}

TEST_F (BusConnectionRulesTest, AConnectionRunsFromAnOutputToAnInputOfAnotherDsp)
{
    BusConnectionRules::Ends ends;
    EXPECT_TRUE (drop (fromOutput (1, 2), input (2, 3), &ends).accepted);
    EXPECT_EQ (ends.sourceNode, 1u);
    EXPECT_EQ (ends.sourcePin, 2u);
    EXPECT_EQ (ends.destNode, 2u);
    EXPECT_EQ (ends.destPin, 3u);

    // Begun at the input: the output found is the source.
    EXPECT_TRUE (drop (fromInput (2, 3), output (1, 2), &ends).accepted);
    EXPECT_EQ (ends.sourceNode, 1u);
    EXPECT_EQ (ends.destNode, 2u);

    // Same side, or back onto the same DSP: refused, nothing said.
    for (auto verdict : { drop (fromOutput (1, 0), output (2, 0)), drop (fromInput (1, 0), input (2, 0)),
                          drop (fromOutput (1, 0), input (1, 1)), drop (fromInput (3, 0), output (3, 4)) })
    {
        EXPECT_FALSE (verdict.accepted);
        EXPECT_TRUE (verdict.message.isEmpty()) << verdict.message;
    }
}

TEST_F (BusConnectionRulesTest, AnInputIsFedOnceByADspOrByAChipName)
{
    bus.addConnection (1, 0, 2, 0);

    const auto second = drop (fromOutput (3, 0), input (2, 0));
    EXPECT_FALSE (second.accepted);
    EXPECT_EQ (second.message, BusConnectionRules::inputFedMessage);
    EXPECT_TRUE (drop (fromOutput (3, 0), input (2, 1)).accepted) << "another input of that DSP is free";

    bus.addBusPin (4, 1, 1, "DAAD2L");
    const auto named = drop (fromOutput (1, 0), input (4, 1));
    EXPECT_FALSE (named.accepted);
    EXPECT_EQ (named.message, "Connection conflict: DSP#4 Input1 is already fed by DAAD2L.");

    const auto fed = name (input (2, 0), "DAAD0L");
    EXPECT_FALSE (fed.accepted);
    EXPECT_EQ (fed.message, "Connection conflict: DSP#2 Input0 is already fed by DSP#1 Output0.");

    const auto twice = name (input (4, 1), "IBUS3");
    EXPECT_FALSE (twice.accepted);
    EXPECT_EQ (twice.message, "Connection conflict: DSP#4 Input1 is already fed by DAAD2L.");
    EXPECT_FALSE (name (input (4, 1), "DAAD2L").accepted) << "the same name again";
    EXPECT_TRUE (name (input (4, 1), "DAAD2L").message.isEmpty());
}

TEST_F (BusConnectionRulesTest, AChipOutputIsFedByOneDspOutputAndAnOutputFeedsOneName)
{
    EXPECT_TRUE (name (output (1, 0), "DABD0L").accepted);
    bus.addBusPin (1, 0, 0, "DABD0L");

    const auto other = name (output (2, 3), "DABD0L");
    EXPECT_FALSE (other.accepted);
    EXPECT_EQ (other.message, "Connection conflict: DABD0L is already fed by DSP#1 Output0.");
    EXPECT_TRUE (name (output (2, 3), "DABD0R").accepted);

    const auto more = name (output (1, 0), "DABD1L");
    EXPECT_FALSE (more.accepted);
    EXPECT_EQ (more.message, "Connection conflict: DSP#1 Output0 already feeds DABD0L.");

    // An output may feed another DSP and a chip pin at once.
    EXPECT_TRUE (drop (fromOutput (1, 0), input (2, 0)).accepted);

    // An internal bus is read by any number of inputs.
    bus.addBusPin (3, 0, 0, "IBUS5");
    EXPECT_TRUE (name (input (1, 0), "IBUS5").accepted);
    EXPECT_TRUE (name (input (2, 0), "IBUS5").accepted);
    EXPECT_FALSE (name (output (4, 0), "IBUS5").accepted);
}

TEST_F (BusConnectionRulesTest, NamesOfTheWrongSideMissingDspsAndTheLockAreRefusedSilently)
{
    for (auto verdict : { name (input (1, 0), "DABD0L"), name (output (1, 0), "DAAD0L"), name (input (9, 0), "DAAD0L"),
                          name (output (1, 0), "DSPOUT0") })
    {
        EXPECT_FALSE (verdict.accepted);
        EXPECT_TRUE (verdict.message.isEmpty());
    }

    setDesignLocked (true);
    EXPECT_FALSE (name (input (1, 0), "DAAD0L").accepted);
    EXPECT_FALSE (drop (fromOutput (1, 0), input (2, 0)).accepted);
}

// Whatever is tried, in any order, what the rules accept keeps every DSP pin
// a single cell of the routing table.
TEST_F (BusConnectionRulesTest, RandomEditsKeepEveryPinASingleCell)
{
    std::mt19937 random (16);
    const juce::StringArray inputNames{ "DAAD0L", "DAAD0R", "DAAD3L", "IBUS0", "IBUS7" };
    const juce::StringArray outputNames{ "DABD0L", "DABD0R", "DABD5R", "IBUS0", "IBUS7" };
    auto pick = [&random] (int n) { return (uint32_t) std::uniform_int_distribution<int> (0, n - 1) (random); };

    for (int step = 0; step < 2000; ++step)
    {
        const auto a = 1 + pick (4), b = 1 + pick (4), pa = pick (3), pb = pick (3);

        if (pick (2) == 0)
        {
            BusConnectionRules::Ends ends;
            const bool fromOut = pick (2) == 0;

            if (drop (fromOut ? fromOutput (a, pa) : fromInput (a, pa), { b, pb, fromOut }, &ends).accepted)
                bus.addConnection (ends.sourceNode, ends.sourcePin, ends.destNode, ends.destPin);
        }
        else
        {
            const bool onInput = pick (2) == 0;
            const auto text = (onInput ? inputNames : outputNames)[(int) pick (5)];

            if (name ({ a, pa, onInput }, text).accepted)
                bus.addBusPin (a, pa, onInput ? 1 : 0, text);
        }
    }

    std::map<std::pair<uint32_t, uint32_t>, int> feeds, outputNamesOnPin;
    std::map<juce::String, int> writers;

    for (int i = 0; i < bus.getNumConnections(); ++i)
    {
        auto* c = bus.getConnection (i);
        EXPECT_NE (c->sourceNode, c->destNode);
        ++feeds[{ c->destNode, c->destPin }];
    }

    for (int i = 0; i < bus.getNumBusPins(); ++i)
    {
        auto* p = bus.getBusPin (i);

        if (p->direction != 0)
            ++feeds[{ p->nodeId, p->pinIndex }];
        else
        {
            ++outputNamesOnPin[{ p->nodeId, p->pinIndex }];
            ++writers[p->name];
        }
    }

    for (auto& [pin, count] : feeds)
        EXPECT_EQ (count, 1) << "DSP " << pin.first << " input " << pin.second;

    for (auto& [pin, count] : outputNamesOnPin)
        EXPECT_EQ (count, 1) << "DSP " << pin.first << " output " << pin.second;

    for (auto& [chipPin, count] : writers)
        EXPECT_EQ (count, 1) << chipPin;

    EXPECT_GT (bus.getNumConnections(), 3);
    EXPECT_GT (bus.getNumBusPins(), 3);
}
} // namespace
