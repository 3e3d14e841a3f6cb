#include "ProjectTestDesigns.h"

#include "model/GraphData.h"
#include "model/ModulesDefReader.h"

#include <gtest/gtest.h>

#include <optional>

namespace
{
struct Expected
{
    uint32_t index;
    bool indexed;
};

// A command word split into its fields.
struct Word
{
    uint32_t index, nrpn, functionNumber;
    bool indexed, biquad;

    explicit Word (uint32_t w)
        : index (w & 0xFF), nrpn ((w >> 8) & 0xFF), functionNumber ((w >> 16) & 0x3FFF), indexed ((w & 0x40000000u) != 0),
          biquad ((w & 0x80000000u) != 0)
    {
    }
};
} // namespace

// Each case: a process of the sample, its channel count and the running
// index each control function gets (none for the functions without a number).
TEST (CommandWordsTest, EachControlFunctionGetsItsRunOfIndexes)
{
    const auto reader = projecttest::readSampleLibrary();
    const auto* core = reader->getLibrary().findModuleById (0x21);
    ASSERT_NE (core, nullptr);

    struct Case
    {
        uint32_t processId;
        uint32_t channels;
        std::vector<std::optional<Expected>> words;
    };

    const Case cases[] = {
        // A biquad bank: the coefficient functions have no number, the three
        // controls of the whole process one index each, and each band
        // function 31 indexes whatever the count: its bands' type, Q,
        // frequency and gain at 3, 34, 65 and 96, where the panel and the
        // NRPN list find them.
        { 0x201,
          2,
          { std::nullopt, std::nullopt, Expected{ 0, false }, Expected{ 1, false }, Expected{ 2, false }, Expected{ 3, true },
            Expected{ 34, true }, Expected{ 65, true }, Expected{ 96, true } } },
        // A compressor: one index per channel.
        { 0x203,
          3,
          { Expected{ 0, true }, Expected{ 3, true }, Expected{ 6, true }, Expected{ 9, true }, Expected{ 12, true },
            Expected{ 15, true } } },
        // A limiter whose last function has no index: it takes one.
        { 0x205, 2, { Expected{ 0, true }, Expected{ 2, true }, Expected{ 4, false } } },
        // A delay's count is its length in ms: its controls have one channel.
        { 0x207, 300, { Expected{ 0, true }, Expected{ 1, true } } },
        // Past 255 a function gets no control rather than another's number.
        { 0x203,
          60,
          { Expected{ 0, true }, Expected{ 60, true }, Expected{ 120, true }, Expected{ 180, true }, Expected{ 240, true },
            std::nullopt } },
    };

    for (auto& c : cases)
    {
        auto* definition = core->findProcessById (c.processId);
        ASSERT_NE (definition, nullptr);
        ASSERT_EQ ((size_t) definition->getSecondFunctionCount(), c.words.size()) << definition->name;

        GraphData graph;
        graph.addNode (juce::String (definition->name), true, definition, 0.5, 0.5);
        auto* node = graph.getLastAddedNode();
        node->nrpn = 7;
        node->channelWord = (node->channelWord & ~GraphNode::channelCountMask) | c.channels;
        node->buildControlIds();

        ASSERT_EQ (node->commandWords.size(), c.words.size());
        EXPECT_EQ (node->secondCommandWords, std::vector<uint32_t> (c.words.size(), 0u));
        int counted = 0;

        for (size_t i = 0; i < c.words.size(); ++i)
        {
            const Word word (node->commandWords[i]);
            auto* function = definition->secondFunctions[(int) i];
            SCOPED_TRACE (definition->name + " " + function->name);

            if (! c.words[i].has_value())
            {
                EXPECT_EQ (node->commandWords[i], 0u);
                continue;
            }

            ++counted;
            EXPECT_EQ (word.index, c.words[i]->index);
            EXPECT_EQ (word.indexed, c.words[i]->indexed);
            EXPECT_EQ (word.biquad, c.words[i]->indexed) << "an indexed function marks its parameter";
            EXPECT_EQ (word.nrpn, 7u);
            EXPECT_EQ (word.functionNumber, (uint32_t) function->functionNumber);
        }

        EXPECT_EQ (node->commandWordCount, counted);
    }
}

TEST (CommandWordsTest, NodesWithoutControlsCountNone)
{
    const auto reader = projecttest::readSampleLibrary();
    GraphData graph;
    graph.addNode ("DSP", false, nullptr, 0.2, 0.2);
    auto* dsp = graph.getLastAddedNode();
    dsp->commandWordCount = 3;
    dsp->buildControlIds();
    EXPECT_EQ (dsp->commandWordCount, 0);

    // A process built again after a count change starts afresh.
    auto* compressor = reader->getLibrary().findModuleById (0x21)->findProcessById (0x203);
    graph.addNode ("Compressor", true, compressor, 0.5, 0.5);
    auto* node = graph.getLastAddedNode();
    node->buildControlIds();
    const auto first = node->commandWords;
    node->channelWord = (node->channelWord & ~GraphNode::channelCountMask) | 4;
    node->buildControlIds();
    EXPECT_EQ (Word (node->commandWords[1]).index, 4u);
    EXPECT_NE (node->commandWords, first);
    EXPECT_EQ (node->commandWordCount, 6);
}
