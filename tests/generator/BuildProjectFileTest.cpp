#include "GeneratorTestSupport.h"

#include "model/DesignLog.h"

#include <gtest/gtest.h>

using generatortest::TestDsp;

namespace
{
constexpr int dspIn0 = 0x40000000;
constexpr int notConnected = BuildProjectFile::notConnected;
constexpr int conflict = BuildProjectFile::conflictDetected;

int dspIn (int n)
{
    return dspIn0 | n;
}

int dspOut (int n)
{
    return (int) (BuildProjectFile::dspOutputBit | (uint32_t) n);
}

// Pin indexes of the processes used here.
enum
{
    delayIn = 0,
    delayOut = 1,
    addIn1 = 0,
    addIn2 = 1,
    addSum = 2,
    mixIn = 0,
    mixOut = 1
};

class BuildProjectFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clearLog();
        reader = generatortest::readLibrary (generatortest::generatorDescription());
        dsp = std::make_unique<TestDsp> (reader->getLibrary(), 1, 0x21, context);
    }

    void TearDown() override { clearLog(); }

    void route()
    {
        order.clear();
        dsp->generator.assignRoutingNodes (reader->getLibrary(), dsp->dspId, order);
    }

    int value (const GraphNode& node, int pin) const { return dsp->routing (node, pin); }

    std::vector<int> orderedIds() const
    {
        std::vector<int> ids;

        for (auto* process : order)
            ids.push_back (process->nodeNumber);

        return ids;
    }

    GenerationContext context;
    std::unique_ptr<ModulesDefReader> reader;
    std::unique_ptr<TestDsp> dsp;
    BuildProjectFile::ProcessOrder order;
};
} // namespace

TEST_F (BuildProjectFileTest, AChainGetsOneNodePerOutput)
{
    auto& c = dsp->add ("ShortDelay", 0, "C");
    auto& a = dsp->add ("ShortDelay", 0, "A");
    auto& b = dsp->add ("Add2", 0, "B");
    dsp->dspInput (a, 0, 0);
    dsp->connect (a, 0, b, addIn1);
    dsp->dspInput (b, addIn2, 1);
    dsp->connect (b, 0, c, 0);
    dsp->dspOutput (c, 0, 0);

    route();

    EXPECT_EQ (orderedIds(), (std::vector<int>{ (int) a.getId(), (int) b.getId(), (int) c.getId() }));
    EXPECT_EQ (value (a, delayIn), dspIn (0));
    EXPECT_EQ (value (a, delayOut), 0);
    EXPECT_EQ (value (b, addIn1), 0);
    EXPECT_EQ (value (b, addIn2), dspIn (1));
    EXPECT_EQ (value (b, addSum), 1);
    EXPECT_EQ (value (c, delayIn), 1);
    EXPECT_EQ (value (c, delayOut), dspOut (0));
    EXPECT_TRUE (getLogText().isEmpty());
}

TEST_F (BuildProjectFileTest, TheOrderIsACopyOfTheDspsProcessList)
{
    auto& second = dsp->add ("ShortDelay");
    auto& first = dsp->add ("ShortDelay");
    dsp->dspInput (first, 0, 0);
    dsp->connect (first, 0, second, 0);

    route();

    const auto* entry = reader->getLibrary().findDsp (1);
    EXPECT_EQ (entry->getProcessInstance (0)->nodeNumber, (int) second.getId());
    EXPECT_EQ (orderedIds(), (std::vector<int>{ (int) first.getId(), (int) second.getId() }));
}

TEST_F (BuildProjectFileTest, AnOutputFeedingSeveralInputsSharesOneNode)
{
    auto& a = dsp->add ("ShortDelay");
    auto& b = dsp->add ("Add2");
    auto& c = dsp->add ("Add2");
    auto& d = dsp->add ("ShortDelay");
    dsp->dspInput (a, 0, 0);
    dsp->connect (a, 0, b, addIn1);
    dsp->connect (a, 0, c, addIn2);
    dsp->connect (a, 0, d, 0);

    route();

    EXPECT_EQ (value (a, delayOut), 0);
    EXPECT_EQ (value (b, addIn1), 0);
    EXPECT_EQ (value (c, addIn2), 0);
    EXPECT_EQ (value (d, delayIn), 0);
    EXPECT_EQ (getLogErrorCount(), 0);
}

TEST_F (BuildProjectFileTest, AnOutputThatFeedsNothingStaysUnconnected)
{
    auto& a = dsp->add ("Add2");
    dsp->dspInput (a, addIn1, 0);
    dsp->dspInput (a, addIn2, 1);

    route();

    EXPECT_EQ (value (a, addSum), notConnected);
}

TEST_F (BuildProjectFileTest, OrdinaryOutputsWriteIntoAVectorInputsRun)
{
    auto& x = dsp->add ("Add2", 0, "X");
    auto& y = dsp->add ("Add2", 0, "Y");
    auto& mix = dsp->add ("MixN", 2);
    dsp->dspInput (x, addIn1, 0);
    dsp->dspInput (y, addIn1, 1);
    dsp->connect (y, 0, mix, 0);
    dsp->connect (x, 0, mix, 1);
    dsp->dspOutput (mix, 0, 0);

    route();

    const int run = value (mix, mixIn);
    EXPECT_EQ (run, 0);
    EXPECT_EQ (value (y, addSum), run);
    EXPECT_EQ (value (x, addSum), run + 1);
    EXPECT_EQ (value (mix, mixOut), dspOut (0));
    EXPECT_EQ (getLogErrorCount(), 0);
}

TEST_F (BuildProjectFileTest, AVectorOutputFeedingAVectorInputTakesItsRun)
{
    // The mixer has four vector inputs that make one run of four channels,
    // without following the channel count.
    auto& delay = dsp->add ("ShortDelay");
    auto& mixer = dsp->add ("VectorMixer");
    dsp->dspInput (delay, 0, 0);
    dsp->connect (delay, 0, mixer, 1);

    route();

    // Never "the mixer's unassigned run (-1) + 1": the run is made first.
    EXPECT_EQ (value (mixer, 0), 0);
    EXPECT_EQ (value (delay, delayOut), 1);

    // No conflict; the channels nothing feeds are reported as read unwritten.
    EXPECT_EQ (getLogText(), " !!! Error#1: no connected output writes channel 1 of In1 of VectorMixer #2 in DSP#1\n"
                             " !!! Error#2: no connected output writes channels 3 to 4 of In1 of VectorMixer #2 in DSP#1\n");
}

TEST_F (BuildProjectFileTest, AStereoInputBehindAMonoOutputReadsAnotherSignalAndSaysSo)
{
    // The delay's node goes first to the adder; the equaliser's run then
    // starts on it, and its second channel reads the node the adder writes.
    auto& delay = dsp->add ("ShortDelay");
    auto& sum = dsp->add ("Add2", 0, "Sum");
    auto& eq = dsp->add ("ParamEq8", 2, "Eq");
    auto& last = dsp->add ("ShortDelay");
    dsp->dspInput (delay, 0, 0);
    dsp->connect (delay, 0, sum, addIn1);
    dsp->connect (delay, 0, sum, addIn2);
    dsp->connect (delay, 0, eq, 0);
    dsp->connect (sum, 0, last, 0);
    dsp->dspOutput (last, 0, 0);
    dsp->dspOutput (eq, 0, 1);

    route();

    EXPECT_EQ (value (eq, 0), value (delay, delayOut));
    EXPECT_EQ (value (sum, addSum), value (eq, 0) + 1);
    EXPECT_EQ (getLogText(), " !!! Error#1: no connected output writes channel 2 of In of Eq #3 in DSP#1\n");
}

TEST_F (BuildProjectFileTest, VectorDspOutputsOnConsecutiveChannelsAreAccepted)
{
    auto& eq = dsp->add ("ParamEq8", 2);
    dsp->dspInput (eq, 0, 0);
    dsp->dspOutput (eq, 0, 2);
    dsp->dspOutput (eq, 1, 3);

    route();

    EXPECT_EQ (value (eq, 0), dspIn (0));
    EXPECT_EQ (value (eq, 1), dspOut (2));
    EXPECT_TRUE (getLogText().isEmpty());
}

TEST_F (BuildProjectFileTest, VectorDspOutputsThatSkipANumberGiveOneMessage)
{
    auto& eq = dsp->add ("ParamEq8", 3);
    dsp->dspInput (eq, 0, 0);
    dsp->dspOutput (eq, 0, 2);
    dsp->dspOutput (eq, 1, 4);
    dsp->dspOutput (eq, 2, 5);

    route();

    EXPECT_EQ (getLogErrorCount(), 1);
    EXPECT_EQ (getLogText(), " !!! Error#1: Vector DSP Out not consecutives in process ParamEq8 #1 in DSP#1\n");
}

TEST_F (BuildProjectFileTest, AChannelOneBusPinOfAVectorAssignsNothingByItself)
{
    auto& eq = dsp->add ("ParamEq8", 2);
    dsp->dspInput (eq, 1, 3);

    route();

    EXPECT_EQ (value (eq, 0), notConnected);
}

TEST_F (BuildProjectFileTest, BusPinNumbersComeFromTheirNamesAndAreChecked)
{
    auto& a = dsp->add ("Add2");
    dsp->graph.addBusPin (a.getId(), addIn1, 1, "dspin5");
    dsp->graph.addBusPin (a.getId(), addIn2, 1, "DSPIN9");
    dsp->graph.addBusPin (a.getId(), addSum, 0, "DSPIN2"); // an input's name on an output

    route();

    EXPECT_EQ (value (a, addIn1), dspIn (5));
    EXPECT_EQ (value (a, addIn2), notConnected);
    EXPECT_EQ (value (a, addSum), notConnected);
}

TEST_F (BuildProjectFileTest, APinOutsideTheProcessIsIgnored)
{
    auto& a = dsp->add ("Add2");
    auto& b = dsp->add ("Add2");
    dsp->dspInput (a, 7, 0);
    dsp->connect (a, 5, b, addIn1);
    dsp->connect (a, 0, b, 9);

    route();

    for (int p = 0; p < a.getPinCount(); ++p)
        EXPECT_EQ (value (a, p), notConnected);

    EXPECT_EQ (value (b, addIn1), notConnected);
}

TEST_F (BuildProjectFileTest, TwoSignalsIntoOneInputAreAConflict)
{
    auto& a = dsp->add ("ShortDelay", 0, "Left");
    auto& b = dsp->add ("ShortDelay", 0, "Right");
    auto& sum = dsp->add ("Add2", 0, "Sum");
    dsp->dspInput (a, 0, 0);
    dsp->dspInput (b, 0, 1);
    dsp->connect (a, 0, sum, addIn1);
    dsp->connect (b, 0, sum, addIn1);

    route();

    EXPECT_EQ (value (sum, addIn1), conflict);
    EXPECT_EQ (getLogErrorCount(), 1);
    EXPECT_EQ (getLogText(), " !!! Error#1: Connector node attribution conflict between Left #1 and Sum #3 in DSP#1\n");
}

TEST_F (BuildProjectFileTest, AConflictIntoMixNSuggestsAdd2)
{
    auto& x = dsp->add ("Add2", 0, "X");
    auto& mix = dsp->add ("MixN", 2);
    dsp->dspInput (x, addIn1, 0);
    dsp->connect (x, 0, mix, 0);
    dsp->connect (x, 0, mix, 1);

    route();

    EXPECT_EQ (value (mix, mixIn), conflict);
    EXPECT_EQ (getLogText(), " !!! Error#1: Connector node attribution conflict between X #1 and MixN #2. Try using Add2 process "
                             "for signal summing replacing MixN #2 in DSP#1\n");
}

TEST_F (BuildProjectFileTest, OnlyTheExactTitleMixNGetsTheHint)
{
    for (auto* title : { "mixn", "MyMixN", "MixN " })
    {
        clearLog();
        reader->getLibrary().clearDsps();
        dsp = std::make_unique<TestDsp> (reader->getLibrary(), 1, 0x21, context);

        auto& x = dsp->add ("Add2", 0, "X");
        auto& mix = dsp->add ("MixN", 2, title);
        dsp->connect (x, 0, mix, 0);
        dsp->connect (x, 0, mix, 1);

        route();

        EXPECT_EQ (getLogErrorCount(), 1) << title;
        EXPECT_FALSE (getLogText().contains ("Add2 process")) << title;
    }
}

TEST_F (BuildProjectFileTest, TwoOutputsIntoOneChannelOfAVectorInputAreAConflict)
{
    // Two limiters (vector outputs) or two adders (ordinary outputs) both
    // into channel 1 of a mixer: they must not silently share its node.
    for (auto* process : { "Limiter", "Add2" })
    {
        clearLog();
        reader->getLibrary().clearDsps();
        dsp = std::make_unique<TestDsp> (reader->getLibrary(), 1, 0x21, context);

        auto& left = dsp->add (process, 0, "Left");
        auto& right = dsp->add (process, 0, "Right");
        auto& mix = dsp->add ("MixN", 2);
        dsp->dspInput (left, 0, 0);
        dsp->dspInput (right, 0, 1);
        dsp->connect (left, 0, mix, 1);
        dsp->connect (right, 0, mix, 1);
        dsp->dspOutput (mix, 0, 0);

        route();

        EXPECT_EQ (value (mix, mixIn), conflict) << process;
        EXPECT_EQ (getLogErrorCount(), 1) << process;
        EXPECT_EQ (getLogText(), " !!! Error#1: Connector node attribution conflict between Left #1 and MixN #3. Try using "
                                 "Add2 process for signal summing replacing MixN #3 in DSP#1\n")
            << process;
        const int output = left.getPinCount() - 1;
        EXPECT_NE (value (left, output), value (right, output)) << process;
    }
}

TEST_F (BuildProjectFileTest, ADspInputAndAnOutputIntoOneInputAreAConflict)
{
    auto& a = dsp->add ("ShortDelay", 0, "A");
    auto& sum = dsp->add ("Add2", 0, "Sum");
    dsp->dspInput (a, 0, 0);
    dsp->dspInput (sum, addIn1, 1);
    dsp->connect (a, 0, sum, addIn1);
    dsp->dspInput (sum, addIn2, 2);

    route();

    EXPECT_EQ (value (sum, addIn1), conflict);
    EXPECT_EQ (value (sum, addIn2), dspIn (2));
    EXPECT_EQ (getLogText(), " !!! Error#1: Connector node attribution conflict between A #1 and Sum #2 in DSP#1\n");
}

TEST_F (BuildProjectFileTest, EveryChannelOfAVectorOutputWritesANodeOfItsOwn)
{
    // A two-channel equaliser: channel 0 into a compressor, channel 1 into
    // channel 1 of a second equaliser. Its channel 1 must not write the node
    // the compressor's output is given.
    auto& split = dsp->add ("ParamEq8", 2, "Split");
    auto& compressor = dsp->add ("Compressor", 1);
    auto& limiter = dsp->add ("Limiter", 1);
    auto& second = dsp->add ("ParamEq8", 2, "Second");
    dsp->dspInput (split, 0, 0);
    dsp->connect (split, 0, compressor, 0);
    dsp->connect (split, 1, second, 1);
    dsp->connect (compressor, 0, limiter, 0);
    dsp->dspOutput (limiter, 0, 0);
    dsp->dspOutput (second, 0, 1);

    route();

    EXPECT_EQ (getLogErrorCount(), 0) << getLogText();
    EXPECT_EQ (generatortest::findRoutingBreaches (dsp->graph).joinIntoString ("\n"), "");
    EXPECT_NE (value (compressor, 2), value (split, 1) + 1);
    EXPECT_EQ (value (compressor, 0), value (split, 1));
    EXPECT_EQ (value (second, 0), value (split, 1)); // its channel 1 reads the split's channel 1
}

TEST_F (BuildProjectFileTest, AVectorOutputFillsAVectorInputItFitsIn)
{
    // Channel by channel into a wider mixer run: the output writes the run.
    auto& eq = dsp->add ("ParamEq8", 2);
    auto& x = dsp->add ("Add2", 0, "X");
    auto& mix = dsp->add ("MixN", 3);
    dsp->dspInput (eq, 0, 0);
    dsp->dspInput (x, addIn1, 1);
    dsp->connect (eq, 0, mix, 1);
    dsp->connect (eq, 1, mix, 2);
    dsp->connect (x, 0, mix, 0);
    dsp->dspOutput (mix, 1, 0);

    route();

    EXPECT_EQ (getLogErrorCount(), 0) << getLogText();
    EXPECT_EQ (value (x, addSum), value (mix, mixIn));
    EXPECT_EQ (value (eq, 1), value (mix, mixIn) + 1);
    EXPECT_EQ (generatortest::findRoutingBreaches (dsp->graph).joinIntoString ("\n"), "");
}

TEST_F (BuildProjectFileTest, RoutingNodesThatRunOutAreReportedNeverReadAsDspPins)
{
    // Channel counts read from a file can be huge: node numbers must never
    // reach bit 30, where they would read as DSP inputs.
    std::vector<GraphNode*> chain;

    for (int i = 0; i < 6; ++i)
        chain.push_back (&dsp->add ("ParamEq8", GraphNode::channelCountMask));

    dsp->dspInput (*chain.front(), 0, 0);

    for (size_t i = 1; i < chain.size(); ++i)
        dsp->connect (*chain[i - 1], 0, *chain[i], 0);

    route();

    for (auto* node : chain)
        for (int p = 0; p < node->getPinCount(); ++p)
            EXPECT_TRUE (value (*node, p) < (int) BuildProjectFile::dspInputBit || value (*node, p) == dspIn (0)) << p;

    EXPECT_GE (getLogErrorCount(), 1);
    EXPECT_TRUE (getLogText().contains ("Connector node attribution conflict"));
}

TEST_F (BuildProjectFileTest, AFanOutIntoTwoVectorRunsSharesTheNode)
{
    // One output into channel 0 of two mixers: the second mixer's run moves
    // onto the node the first one gave the output.
    auto& x = dsp->add ("Add2", 0, "X");
    auto& first = dsp->add ("MixN", 2, "First");
    auto& second = dsp->add ("MixN", 2, "Second");
    dsp->dspInput (x, addIn1, 0);
    dsp->connect (x, 0, first, 0);
    dsp->connect (x, 0, second, 0);

    route();

    EXPECT_EQ (value (x, addSum), value (first, mixIn));
    EXPECT_EQ (value (second, mixIn), value (x, addSum));

    // No conflict; the mixers' second channels, which nothing feeds, are reported.
    EXPECT_EQ (getLogText(), " !!! Error#1: no connected output writes channel 2 of In of Second #3 in DSP#1\n"
                             " !!! Error#2: no connected output writes channel 2 of In of First #2 in DSP#1\n");
}

TEST_F (BuildProjectFileTest, VirtualConnectionsCarryNoSignal)
{
    auto lite = std::make_unique<TestDsp> (reader->getLibrary(), 2, 0x22, context);
    auto& send = lite->add ("BusSend");
    auto& gain = lite->add ("Gain");
    lite->dspInput (send, 0, 0);
    lite->connect (send, 1, gain, 0); // from the virtual "Send" output

    BuildProjectFile::ProcessOrder liteOrder;
    lite->generator.assignRoutingNodes (reader->getLibrary(), 2, liteOrder);

    EXPECT_EQ (lite->routing (send, 1), notConnected);
    EXPECT_EQ (lite->routing (gain, 0), notConnected);
    EXPECT_EQ (getLogErrorCount(), 0);
}

TEST_F (BuildProjectFileTest, ThePcsReferenceNamesTheProcessFeedingAVirtualPin)
{
    auto& meter = dsp->add ("LevelMeter");
    auto& compressor = dsp->add ("Compressor");
    dsp->connect (meter, 0, compressor, 1); // into the virtual "Key"

    route();

    EXPECT_EQ (dsp->generator.writePcsList (compressor, order, 1), "dsp1pcs[1]");
    EXPECT_TRUE (dsp->generator.writePcsList (meter, order, 1).isEmpty());
    EXPECT_TRUE (dsp->generator.writePcsList (compressor, {}, 1).isEmpty());
}

TEST_F (BuildProjectFileTest, ADspWithoutProcessesGetsNoRouting)
{
    route();
    EXPECT_TRUE (order.empty());
    EXPECT_TRUE (getLogText().isEmpty());
}

TEST_F (BuildProjectFileTest, RoutingValuesReadAsTheirSourceText)
{
    EXPECT_EQ (BuildProjectFile::getRoutingValueText (notConnected), "ROUTING_ERROR_NOT_CONNECTED");
    EXPECT_EQ (BuildProjectFile::getRoutingValueText (conflict), "ROUTING_ERROR_CONFLICT_DETECTED");
    EXPECT_EQ (BuildProjectFile::getRoutingValueText (dspIn (3)), "PCS_DSP_IN | 3");
    EXPECT_EQ (BuildProjectFile::getRoutingValueText (dspOut (7)), "PCS_DSP_OUT | 7");
    EXPECT_EQ (BuildProjectFile::getRoutingValueText (12), "PCS_NODE | 12");
}

TEST_F (BuildProjectFileTest, HandlerNamesStandAtTheirDspsPlace)
{
    juce::StringArray names;
    TestDsp third (reader->getLibrary(), 3, 0x21, context);
    third.add ("ShortDelay");
    dsp->add ("ShortDelay");

    dsp->generator.addHandlerName (1, names, true, true);
    third.generator.addHandlerName (3, names, true, true);

    EXPECT_EQ (names, juce::StringArray ({ "dsp1NrpnHandler", "", "dsp3NrpnHandler" }));
    EXPECT_EQ (third.generator.getNodeCount(), 1);

    juce::StringArray commands;
    third.generator.addHandlerName (3, commands, true, false);
    EXPECT_EQ (commands, juce::StringArray ({ "", "", "dsp3CommandHandler" }));

    TestDsp empty (reader->getLibrary(), 2, 0x21, context);
    empty.generator.addHandlerName (2, names, true, true);
    EXPECT_EQ (names.size(), 3);
    EXPECT_TRUE (names[1].isEmpty());
}
