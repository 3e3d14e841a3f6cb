#include "model/MemoryParameters.h"

#include "model/LibraryFunctionDefinition.h"
#include "model/ParameterDescriptor.h"

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
                                    entry < maskEntries.size() ? maskEntries[entry] : 0u });

        // Every flagged parameter owns one mask entry, placed or not.
        if (flagged)
            ++entry;
    }

    return parameters;
}
} // namespace MemoryParameters
