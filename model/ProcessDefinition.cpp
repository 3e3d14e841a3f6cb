#include "model/ProcessDefinition.h"

#include "model/GraphNode.h"
#include "model/PresetNumberReader.h"
#include "model/ProcessControlList.h"

LibraryFunctionDefinition* ProcessDefinition::addFunction (int list, std::unique_ptr<LibraryFunctionDefinition> function)
{
    return (list == 0 ? firstFunctions : secondFunctions).add (std::move (function));
}

ProcessPinEntry* ProcessDefinition::addPin (const std::string& pinName, uint8_t direction, uint32_t kind)
{
    auto pin = std::make_unique<ProcessPinEntry>();
    pin->name = pinName;
    pin->direction = direction;
    pin->kind = kind;
    return pins.add (std::move (pin));
}

bool ProcessDefinition::hasGetPeakFunction() const
{
    if (firstFunctions.isEmpty() || secondFunctions.isEmpty())
        return false;

    return firstFunctions[0]->name.size() >= 7 && secondFunctions[0]->name.find ("GetPeak") != std::string::npos;
}

bool isBiquadProcessKind (uint32_t kind)
{
    return kind == 0x4001 || kind == 0x4006;
}
bool isSecondBiquadProcessKind (uint32_t kind)
{
    return kind == 0x4006;
}
bool isCompressorProcessKind (uint32_t kind)
{
    return kind == 0x4002;
}
bool isCompanderProcessKind (uint32_t kind)
{
    return kind == 0x4005;
}
bool isLimiterProcessKind (uint32_t kind)
{
    return kind == 0x4007;
}

bool ProcessDefinition::isDelayType() const noexcept
{
    return (defaultChannelWord & GraphNode::delayCountFlag) != 0;
}

bool ProcessDefinition::isCopyPerMillisecond (const juce::String& controlName) const
{
    for (int i = 0; i < getSecondFunctionCount(); ++i)
    {
        const auto& function = *secondFunctions[i];

        if (! function.hasIndexParameter())
            continue;

        const auto label = ProcessControlList::makeSafeName (juce::String::fromUTF8 (function.firstText.c_str()));

        if (label.isNotEmpty() && PresetNumberReader::numberAfterPrefix (controlName, label.toRawUTF8()) >= 2)
            return true;
    }

    return false;
}

bool ProcessDefinition::offersMemoryChoice() const noexcept
{
    return hasChannelWord && (hasMemoryClass || isDelayType());
}

uint32_t ProcessDefinition::getDefaultMemoryWord() const noexcept
{
    return memoryClassWord != 0 ? memoryClassWord : 1u;
}
