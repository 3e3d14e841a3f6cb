#include "model/GraphNode.h"

#include <cmath>
#include <utility>

GraphNode::GraphNode (uint32_t nodeId, uint32_t nodeNrpn, const juce::String& nodeName, bool renumberOnRemoval,
                      const ProcessDefinition* processDefinition, double x, double y)
    : nrpn (nodeNrpn), id (nodeId), renumber (renumberOnRemoval), name (nodeName), definition (processDefinition)
{
    setPosition (x, y);

    if (definition == nullptr)
        return;

    channelWord = definition->defaultChannelWord;

    memoryWord = definition->getDefaultMemoryWord();

    // A delay's values carry its length: its presets, saved values and
    // global presets hold the delay control, however the node was made.
    if (definition->isDelayType())
        presetStore.setHasFixedDelayControl();

    presetStore.setName (nodeName);
    presetStore.setExtraFlag (isBiquadProcessKind (definition->processKind) ? 1 : 0);

    inputCount = definition->inputCount;
    outputCount = definition->outputCount;

    pins.reserve ((size_t) definition->getPinCount());

    for (auto& entry : definition->pins)
    {
        GraphPin pin;
        pin.name = juce::String (entry->name);
        pin.direction = entry->direction;
        pin.bus = entry->bus;
        pin.word = entry->word;
        pin.kind = entry->kind;
        pins.push_back (pin);
    }
}

namespace
{
// A position read from a project file may be anything; what is not a number
// goes to the view's origin.
double limitToView (double fraction) noexcept
{
    return std::isnan (fraction) ? 0.0 : juce::jlimit (0.0, 1.0, fraction);
}
} // namespace

void GraphNode::setPosition (double x, double y) noexcept
{
    position.x = limitToView (x);
    position.y = limitToView (y);
}

int GraphNode::getInputPinCount() const noexcept
{
    int count = 0;

    for (auto& pin : pins)
        if (pin.isInput())
            ++count;

    return count;
}

GraphPin* GraphNode::getPin (int i) noexcept
{
    return i >= 0 && i < getPinCount() ? &pins[(size_t) i] : nullptr;
}

const GraphPin* GraphNode::getPin (int i) const noexcept
{
    return i >= 0 && i < getPinCount() ? &pins[(size_t) i] : nullptr;
}

const GraphPin* GraphNode::getOutputPin (int n) const noexcept
{
    if (n < 0)
        return nullptr;

    const int firstOutput = getInputPinCount();

    if (auto* pin = getPin (firstOutput + n))
        return pin;

    auto* first = getPin (firstOutput);
    return first != nullptr && first->isVectorPin() ? first : nullptr;
}

void GraphNode::setMemoryWord (uint32_t word) noexcept
{
    memoryWord = word;
    memoryChoice = definition != nullptr && definition->offersMemoryChoice() ? (int) (word & 3) : memoryChoiceNone;
}

void GraphNode::takeCommandWords (const std::vector<uint32_t>& words, const std::vector<uint32_t>& secondWords, int count,
                                  uint32_t sourceNrpn)
{
    commandWords = words;
    secondCommandWords = secondWords;
    commandWordCount = count;

    // A control number is the process's NRPN number and the control's
    // index. One that still names the source answers to this node instead:
    // two processes sharing a number would move each other's controls. A
    // number the user typed to name another stays as typed.
    const auto from = sourceNrpn & 0xFF;
    const auto to = nrpn & 0xFF;

    for (auto& word : commandWords)
        if (word != 0 && word != 0xFFFFFFFFu && ((word >> 8) & 0xFF) == from)
            word = (word & ~0xFF00u) | (to << 8);
}

void GraphNode::buildControlIds()
{
    commandWordCount = 0;

    if (! renumber || definition == nullptr || definition->getSecondFunctionCount() == 0)
        return;

    commandWords = makeControlIds (commandWordCount);
    secondCommandWords.assign (commandWords.size(), 0);
}

void GraphNode::followCountInCommandWords (uint32_t oldWord)
{
    if (! renumber || definition == nullptr || definition->getSecondFunctionCount() == 0)
        return;

    const auto newWord = std::exchange (channelWord, oldWord);
    int oldCount = 0;
    const auto before = makeControlIds (oldCount);
    channelWord = newWord;
    const auto after = makeControlIds (commandWordCount);

    if (commandWords.size() != after.size())
    {
        commandWords = after;
        secondCommandWords.assign (after.size(), 0);
        return;
    }

    for (size_t i = 0; i < after.size(); ++i)
        if (i >= before.size() || commandWords[i] == before[i])
            commandWords[i] = after[i];
}

std::vector<uint32_t> GraphNode::makeControlIds (int& wordCount) const
{
    wordCount = 0;

    if (definition == nullptr)
        return {};

    const auto count = (size_t) definition->getSecondFunctionCount();
    std::vector<uint32_t> words (count, 0);

    const auto kind = definition->processKind;
    const uint64_t indexRun = isBiquadProcessKind (kind) || kind == 0x4004 ? 31 : getControlChannelCount();
    uint64_t index = 0;

    for (size_t i = 0; i < count; ++i)
    {
        auto* function = definition->secondFunctions[(int) i];

        if (function == nullptr || function->functionNumber < 0)
            continue;

        const bool indexed = function->hasIndexParameter();
        const auto number = (uint32_t) function->functionNumber;

        if (index <= maxControlIndex && number <= maxFunctionNumber)
        {
            const auto functionId = number | (indexed ? indexedFunctionBit : 0u);
            auto word = ((functionId << 8 | (nrpn & 0xFF)) << 8) | (uint32_t) index;

            if (indexed && function->valid)
                word |= biquadParameterBit;

            words[i] = word;
            ++wordCount;
        }

        index += indexed ? indexRun : 1;
    }

    return words;
}

bool GraphNode::hasDelayCount() const noexcept
{
    return (channelWord & delayCountFlag) != 0 || (definition != nullptr && definition->isDelayType());
}
