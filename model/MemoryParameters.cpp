#include "model/MemoryParameters.h"

#include "model/GraphData.h"
#include "model/LibraryFunctionDefinition.h"
#include "model/ModuleDefinition.h"
#include "model/ParameterDescriptor.h"

#include <limits>

namespace
{
// The delay process whose memory is never doubled.
const char* const singleMemoryDelayName = "(s)Delay";

uint32_t toMemoryWords (double words)
{
    return words >= (double) std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                                  : (uint32_t) juce::jmax (0.0, words);
}
} // namespace

namespace MemoryParameters
{
using Region = GenerationContext::Region;

Kind classify (const ParameterTypeCode& type, Region& typeRegion)
{
    if (isParamTypeCode_4_0_22 (type))
    {
        typeRegion = Region::internal24BitRam;
        return Kind::lowHalf;
    }

    if (isParamTypeCode_4_0_20 (type))
    {
        typeRegion = Region::internal16BitRam;
        return Kind::lowHalf;
    }

    typeRegion = Region::externalRam;

    if (isParamTypeCode_4_0_2 (type))
        return Kind::lowHalf;

    if (isParamTypeCode_4_0_1 (type))
        return Kind::highHalf;

    if (isParamTypeCode_12_0_0 (type))
        return Kind::wholeAddress;

    return Kind::none;
}

std::optional<Region> chooseRegion (const LibraryFunctionDefinition& function, Region typeRegion, int selection)
{
    if (! function.maskUsable)
        return typeRegion;

    switch (selection)
    {
        case 1: return Region::externalRam;
        case 2: return Region::internal16BitRam;
        case 3: return Region::internal24BitRam;
        default: return std::nullopt;
    }
}

std::vector<Parameter> place (const LibraryFunctionDefinition& function, const std::vector<uint32_t>& maskEntries, int selection)
{
    std::vector<Parameter> parameters;
    size_t entry = 0;

    for (int i = 0; i < function.parameterCount; ++i)
    {
        ParameterDescriptor descriptor;
        getFunctionParameter (function, ParameterNumbering::parametersOnly, i, descriptor);
        const bool flagged = isFunctionParameterFlagged (function, i);

        Region typeRegion = Region::externalRam;
        const auto kind = classify (descriptor.type, typeRegion);

        if (kind != Kind::none)
            parameters.push_back ({ i, kind, chooseRegion (function, typeRegion, selection), flagged,
                                    entry < maskEntries.size() ? maskEntries[entry] : 0u, ! maskEntries.empty() });

        // Every flagged parameter owns one mask entry, placed or not.
        if (flagged)
            ++entry;
    }

    return parameters;
}

uint32_t takeSize (uint32_t& pendingSize, const Parameter& parameter) noexcept
{
    if (parameter.sized)
        pendingSize = parameter.size;

    return pendingSize;
}

int64_t reserveExternal (const LibraryFunctionDefinition& function, const std::vector<uint32_t>& maskEntries, int selection,
                         uint32_t& pendingSize)
{
    int64_t words = 0;

    for (const auto& parameter : place (function, maskEntries, selection))
        if (parameter.flagged && parameter.region == Region::externalRam)
            words += takeSize (pendingSize, parameter);

    return words;
}

int getSelection (const GraphNode& node) noexcept
{
    return (int) (node.memoryWord & 3);
}

uint32_t delaySamples (const GraphNode& node, double samplingRateKhz)
{
    return toMemoryWords ((double) node.getChannelCount() * samplingRateKhz);
}

uint32_t delayMemorySize (const GraphNode& node, double samplingRateKhz)
{
    const auto samples = delaySamples (node, samplingRateKhz);
    const auto selection = getSelection (node);
    const auto* definition = node.getProcessDefinition();
    const bool singleMemory = definition != nullptr && definition->name == singleMemoryDelayName;

    if ((selection == GraphNode::memoryChoiceExternalRam || selection == GraphNode::memoryChoiceInternal16BitRam) &&
        ! singleMemory)
        return toMemoryWords ((double) samples * 2.0);

    return samples;
}

std::vector<uint32_t> getSetUpMaskEntries (const LibraryFunctionDefinition& function, int functionIndex, const GraphNode& node,
                                           double samplingRateKhz)
{
    auto entries = function.maskEntries;

    if (functionIndex == 0 && (node.channelWord & GraphNode::delayCountFlag) != 0 && function.maskUsable)
    {
        const auto size = delayMemorySize (node, samplingRateKhz);

        if (entries.empty())
            entries.push_back (size);
        else
            entries.front() = size;
    }

    return entries;
}

const GraphNode* findModuleMemoryNode (const ModuleDefinition& module, const GraphData& graph)
{
    for (auto& process : module.getProcesses())
        if (process->fromSps)
            if (const auto* node = graph.findNodeByProcessId (process->processId))
                return node;

    return nullptr;
}
} // namespace MemoryParameters
