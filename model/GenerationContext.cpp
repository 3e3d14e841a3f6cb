#include "model/GenerationContext.h"

#include "model/GraphNode.h"

GenerationContext::GenerationContext()
{
    resetMemoryBases();
}

void GenerationContext::resetMemoryBases()
{
    for (auto region : { Region::externalRam, Region::internal16BitRam, Region::internal24BitRam })
        getMemoryRegion (region) = { getStartSymbol (region), 0 };

    externalRamUsed = false;
    externalRamReserved = 0;
}

juce::String GenerationContext::getStartSymbol (Region region)
{
    switch (region)
    {
        case Region::externalRam: return "MEMADDR_EXTRAM_START";
        case Region::internal16BitRam: return "MEMADDR_INT16RAM_START";
        case Region::internal24BitRam: return "MEMADDR_INT24RAM_START";
    }

    return {};
}

juce::String GenerationContext::getNodeTitle (const GraphNode& node) const
{
    return node.getName();
}
