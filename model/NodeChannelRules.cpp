#include "model/NodeChannelRules.h"

#include "model/DspResourceEstimator.h"
#include "model/ModuleDefinition.h"

#include <cmath>

namespace
{
bool has (uint32_t word, uint32_t flag) noexcept
{
    return (word & flag) != 0;
}

int countOf (uint32_t word) noexcept
{
    return (int) juce::jmin<uint32_t> (word & GraphNode::channelCountMask, 0x7FFFFFFF);
}

constexpr uint32_t biquadKinds[] = { 0x4001, 0x4006 };
constexpr uint32_t threeStageKind = 0x4003;
} // namespace

uint32_t NodeChannelRules::getPinFlags (const GraphNode& node) noexcept
{
    auto* definition = node.getProcessDefinition();
    return definition != nullptr ? definition->defaultChannelWord : 1;
}

NodeChannelRules::PinCounts NodeChannelRules::getPinCounts (const GraphNode& node, uint32_t channelWord) noexcept
{
    auto* definition = node.getProcessDefinition();

    if (definition == nullptr)
        return { 1, 1 };

    const auto flags = definition->defaultChannelWord;
    const int perSide = has (flags, GraphNode::onePinPerSideFlag) ? 1 : countOf (channelWord);
    const bool inputsFollow = has (flags, GraphNode::inputsFollowCountFlag) || has (flags, GraphNode::onePinPerSideFlag);
    const bool outputsFollow = has (flags, GraphNode::outputsFollowCountFlag) || has (flags, GraphNode::onePinPerSideFlag);

    PinCounts counts;
    counts.inputs = has (flags, GraphNode::outputsFollowCountFlag) ? 1 : (inputsFollow ? perSide : (int) node.inputCount);
    counts.outputs = has (flags, GraphNode::inputsFollowCountFlag) ? 1 : (outputsFollow ? perSide : (int) node.outputCount);
    return counts;
}

uint32_t NodeChannelRules::makeChannelWord (uint32_t oldWord, int value) noexcept
{
    return (oldWord & flagMask) | ((uint32_t) juce::jmax (0, value) & GraphNode::channelCountMask);
}

void NodeChannelRules::followCount (GraphNode& node, uint32_t channelWord) noexcept
{
    const auto flags = getPinFlags (node);

    if (node.getProcessDefinition() == nullptr || has (flags, fixedPinCountMask))
        return;

    const auto count = channelWord & GraphNode::channelCountMask;

    if (has (flags, GraphNode::inputsFollowCountFlag))
        node.inputCount = count;

    if (has (flags, GraphNode::outputsFollowCountFlag))
        node.outputCount = count;
}

NodeChannelRules::Range NodeChannelRules::getSliderRange (const GraphNode& node, double samplingRateKhz) noexcept
{
    auto* definition = node.getProcessDefinition();

    if (definition == nullptr)
        return {};

    const auto flags = definition->defaultChannelWord;

    if (has (flags, GraphNode::delayCountFlag))
    {
        if (node.getName().contains ("(s)Delay") && samplingRateKhz > 0.0)
            return { (int) std::ceil (1000.0 / samplingRateKhz), (int) std::floor (65535.0 / samplingRateKhz) };

        return { 1, 50000 };
    }

    if (! has (flags, fixedPinCountMask))
    {
        if (has (flags, GraphNode::inputsFollowCountFlag) || has (flags, GraphNode::outputsFollowCountFlag))
            return { 2, 8 };
    }
    else if (has (flags, GraphNode::onePinPerSideFlag))
    {
        const auto kind = definition->processKind;

        if (kind == biquadKinds[0] || kind == biquadKinds[1])
            return { 1, 31 };

        if (kind == threeStageKind)
            return { 1, 3 };
    }

    return {};
}

int64_t NodeChannelRules::getProcessCycles (const ProcessDefinition& definition, uint32_t channelWord) noexcept
{
    const int64_t b = definition.baseCycles;
    const int64_t u = definition.cyclesPerChannel;
    const int64_t count = channelWord & GraphNode::channelCountMask;

    if (has (channelWord, GraphNode::delayCountFlag))
        return b + u;

    auto distortion = [b, u, count] (int64_t extra2, int64_t extra3)
    {
        switch (count)
        {
            case 1: return b + u;
            case 2: return b + u + extra2;
            case 3: return b + u + extra3;
            default: return b;
        }
    };

    if (definition.name == "HQDistortion_Q0")
        return distortion (72, 140);

    if (definition.name == "HQDistortion_Q1")
        return distortion (288, 560);

    return b + count * u;
}

juce::String NodeChannelRules::makeLoadText (const ModuleDefinition* module, const ProcessDefinition* definition,
                                             uint32_t channelWord, int ratePosition)
{
    const int64_t cost = definition != nullptr ? getProcessCycles (*definition, channelWord) : 0;
    const int64_t own = module != nullptr ? (int64_t) module->ownCycles : 0;
    const auto percent = DspResourceEstimator::toPercent (cost, DspResourceEstimator::getCyclesPerSample (ratePosition) - own);
    return juce::String (percent, 2) + "%";
}
