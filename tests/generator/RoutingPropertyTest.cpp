// Routing over thousands of random process graphs on the sample library:
// whatever the wiring, either a conflict is reported for the DSP, or both
// ends of every signal connection read the same node and no two output
// channels write the same node; and every input channel that reads a node no
// output writes is reported.

#include "GeneratorTestSupport.h"

#include "model/DesignLog.h"

#include <gtest/gtest.h>

#include <random>

using generatortest::channelsOf;
using generatortest::isVectorSide;
using generatortest::TestDsp;

namespace
{
constexpr int graphCount = 4000;

// One random design on one DSP, wired as the editor's connection rules would
// wire it, except that an input may be fed twice (as a project file can say).
class RandomDesign
{
public:
    RandomDesign (std::mt19937& randomToUse, TestDsp& dspToBuild) : random (randomToUse), dsp (dspToBuild) {}

    void build()
    {
        const auto& processes = dsp.library.findModuleById (dsp.moduleId)->getProcesses();
        const int processCount = pick (2, 7);

        for (int i = 0; i < processCount; ++i)
        {
            const auto& definition = *processes[pick (0, processes.size() - 1)];
            const bool followsCount = (definition.defaultChannelWord & 0xC0000000u) != 0;
            nodes.push_back (
                &dsp.add (juce::String (definition.name), followsCount ? (uint32_t) pick (1, 4) : 0, "P" + juce::String (i + 1)));
        }

        const bool fanIn = chance (50);
        const int connectionCount = pick (1, 2 * processCount);

        for (int i = 0; i < connectionCount; ++i)
            connectRandomly (fanIn);

        addDspPins (true);
        addDspPins (false);
    }

    juce::String describe() const
    {
        juce::String text;

        for (auto* node : nodes)
            text << node->getName() << " = " << node->getProcessDefinition()->name << " x" << (int) node->getChannelCount()
                 << "\n";

        for (int i = 0; i < dsp.graph.getNumConnections(); ++i)
        {
            const auto* c = dsp.graph.getConnection (i);
            text << "P" << (int) c->sourceNode << ":" << (int) c->sourcePin << " -> P" << (int) c->destNode << ":"
                 << (int) c->destPin << (c->flag != 0 ? " (virtual)" : "") << "\n";
        }

        for (int i = 0; i < dsp.graph.getNumBusPins(); ++i)
        {
            const auto* b = dsp.graph.getBusPin (i);
            text << b->name << " on P" << (int) b->nodeId << ":" << (int) b->pinIndex << "\n";
        }

        return text;
    }

private:
    int pick (int low, int high) { return std::uniform_int_distribution<int> (low, high) (random); }
    bool chance (int percent) { return pick (1, 100) <= percent; }

    void connectRandomly (bool fanIn)
    {
        auto& source = *nodes[(size_t) pick (0, (int) nodes.size() - 1)];
        auto& destination = *nodes[(size_t) pick (0, (int) nodes.size() - 1)];
        const auto outputs = channelsOf (source, false);
        const auto inputs = channelsOf (destination, true);

        if (&source == &destination || outputs == 0 || inputs == 0)
            return;

        // Now and then a channel past the side, which routing must ignore.
        const auto sourcePin = (uint32_t) pick (0, (int) outputs - (chance (95) ? 1 : 0));
        const auto destinationPin = (uint32_t) pick (0, (int) inputs - (chance (95) ? 1 : 0));

        if (! fanIn && isFed (destination, destinationPin))
            return;

        // The virtual-pin rule: into a vector process the source pin is
        // compared with itself, elsewhere with the destination's pin.
        const auto* sourceKindPin = source.getOutputPin ((int) sourcePin);
        const auto* comparedPin = isVectorSide (destination, true) ? sourceKindPin : destination.getPin ((int) destinationPin);

        if (sourceKindPin == nullptr || comparedPin == nullptr)
            return;

        const bool sourceVirtual = sourceKindPin->isVirtualPin();
        const bool comparedVirtual = comparedPin->isVirtualPin();

        if (sourceVirtual != comparedVirtual)
            return;

        dsp.connect (source, sourcePin, destination, destinationPin);

        if (sourceVirtual)
            dsp.graph.getConnection (dsp.graph.getNumConnections() - 1)->flag = 1;
    }

    bool isFed (const GraphNode& node, uint32_t pin) const
    {
        for (int i = 0; i < dsp.graph.getNumConnections(); ++i)
        {
            const auto* c = dsp.graph.getConnection (i);

            if (c->destNode == node.getId() && c->destPin == pin)
                return true;
        }

        return false;
    }

    // Each DSP input or output number on one pin at most; a vector side takes
    // a run of them (mostly consecutive), another side single ones.
    void addDspPins (bool inputs)
    {
        std::vector<int> numbers{ 0, 1, 2, 3, 4, 5, 6, 7 };
        std::shuffle (numbers.begin(), numbers.end(), random);

        for (auto* node : nodes)
        {
            const auto channels = channelsOf (*node, inputs);

            if (channels == 0 || ! chance (35) || numbers.empty())
                continue;

            const int first = numbers.back();
            const auto run = (uint32_t) pick (1, (int) juce::jmin (channels, 3u));

            for (uint32_t c = 0; c < run && ! numbers.empty(); ++c)
            {
                const int number = chance (85) ? first + (int) c : numbers.front();
                const auto unused = std::find (numbers.begin(), numbers.end(), number);

                if (unused == numbers.end())
                    break;

                numbers.erase (unused);

                if (inputs)
                    dsp.dspInput (*node, c, number);
                else
                    dsp.dspOutput (*node, c, number);
            }
        }
    }

    std::mt19937& random;
    TestDsp& dsp;
    std::vector<GraphNode*> nodes;
};

bool hasWideVectorSignal (const GraphData& graph)
{
    for (int i = 0; i < graph.getNumConnections(); ++i)
    {
        const auto* c = graph.getConnection (i);
        const auto* source = graph.findNodeById (c->sourceNode);
        const auto* destination = graph.findNodeById (c->destNode);

        if (c->flag == 0 && isVectorSide (*source, false) && isVectorSide (*destination, true) &&
            channelsOf (*source, false) > 1 && c->sourcePin < channelsOf (*source, false) &&
            c->destPin < channelsOf (*destination, true))
            return true;
    }

    return false;
}
} // namespace

TEST (RoutingPropertyTest, EveryRandomGraphIsRoutedOrReportsAConflict)
{
    auto reader = generatortest::readLibrary (generatortest::generatorDescription());
    auto& library = reader->getLibrary();
    GenerationContext context;
    std::mt19937 random (20240609);

    int conflicts = 0;
    int clean = 0;
    int cleanWideVectors = 0;
    int unwrittenReads = 0;

    for (int g = 0; g < graphCount; ++g)
    {
        library.clearDsps();
        TestDsp dsp (library, 1, g % 3 == 2 ? 0x22 : 0x21, context);
        RandomDesign design (random, dsp);
        design.build();

        clearLog();
        BuildProjectFile::ProcessOrder order;
        dsp.generator.assignRoutingNodes (library, dsp.dspId, order);

        for (const auto& read : generatortest::findUnwrittenReads (dsp.graph))
        {
            ASSERT_TRUE (getLogText().contains (read + " in DSP#1")) << "graph " << g << ": " << read << "\n"
                                                                     << design.describe() << getLogText();
            ++unwrittenReads;
        }

        if (getLogText().contains ("Connector node attribution conflict"))
        {
            ++conflicts;
            continue;
        }

        const auto breaches = generatortest::findRoutingBreaches (dsp.graph);
        ASSERT_TRUE (breaches.isEmpty()) << "graph " << g << ":\n"
                                         << design.describe() << "breaches:\n"
                                         << breaches.joinIntoString ("\n");
        ++clean;
        cleanWideVectors += hasWideVectorSignal (dsp.graph) ? 1 : 0;
    }

    clearLog();

    // Both outcomes occur often, so the promise is tested where it matters.
    EXPECT_GT (clean, graphCount / 4);
    EXPECT_GT (conflicts, graphCount / 20);
    EXPECT_GT (cleanWideVectors, graphCount / 20);
    EXPECT_GT (unwrittenReads, graphCount / 20);
}
