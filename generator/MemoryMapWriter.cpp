#include "generator/MemoryMapWriter.h"

#include "model/GraphNode.h"
#include "model/LibraryFunctionDefinition.h"

namespace
{
using Region = GenerationContext::Region;
using Slot = BuildProjectFile::GeneratedTexts::Slot;

const char* const unplacedMemory = "MEMORY_INIT_ERROR";

// A high half read where a base is not on a 64 K-word boundary is raised to
// the next boundary, so the placement behind it grows by this much.
constexpr uint32_t highHalfBoundaryGrowth = 0x10000;

juce::String twoHexDigits (uint32_t value)
{
    return juce::String::toHexString (value).paddedLeft ('0', 2);
}

juce::String nextBaseName (const juce::String& name)
{
    return name + "_NEXTBASE";
}
} // namespace

MemoryMapWriter::MemoryMapWriter (GenerationContext& generationContext) : context (generationContext) {}

juce::String MemoryMapWriter::makeName (const Call& call, int parameter)
{
    juce::String name ("MEMADDR_");
    name << (call.dspInit ? "DSPINIT" : "DSP") << twoHexDigits (call.dspId & 0xFF) << "_PCS"
         << twoHexDigits ((uint32_t) call.pcsNumber & 0xFF);

    // Several set-up functions of one process share its pcs number.
    if (call.functionIndex > 0)
        name << "F" << twoHexDigits ((uint32_t) call.functionIndex);

    return name << "PAR" << twoHexDigits ((uint32_t) parameter);
}

juce::String MemoryMapWriter::definitionLine (const juce::String& name, const juce::String& value,
                                              const juce::String& functionName)
{
    return "#define\t" + name + "\t(" + value + ") // " + functionName + "\n";
}

juce::String MemoryMapWriter::nextBaseValue (const juce::String& base, uint32_t size)
{
    if (size == 0)
        return "(" + base + ")";

    return "(" + base + "+0x" + juce::String::toHexString (size).toUpperCase().paddedLeft ('0', 8) + ")";
}

juce::String MemoryMapWriter::nextBaseLine (const juce::String& name, const juce::String& base, uint32_t size)
{
    return "#define\t" + nextBaseName (name) + "\t(" + nextBaseValue (base, size) + ") // next base address\n";
}

juce::String MemoryMapWriter::lowHalf (const juce::String& x)
{
    return "((" + x + ")&0xFFFF)";
}

juce::String MemoryMapWriter::highHalf (const juce::String& x)
{
    return "((" + x + ")>>16)";
}

bool MemoryMapWriter::write (const Call& call, BuildProjectFile::GeneratedTexts& texts, juce::String& memoryText)
{
    const auto& function = *call.function;
    const int selection = call.memoryNode != nullptr ? MemoryParameters::getSelection (*call.memoryNode) : 0;
    bool wrote = false;

    for (const auto& parameter : MemoryParameters::place (function, call.maskEntries, selection))
    {
        Placement placement;
        placement.name = makeName (call, parameter.index);
        placement.functionName = juce::String (function.name);
        placement.parameter = parameter;
        placement.maskUsable = function.maskUsable;
        placement.secondForm = function.secondFormRecord;

        // A process that chose external RAM for its memory uses it.
        if (function.maskUsable && parameter.region == Region::externalRam)
            context.setExternalRamUsed (true);

        if (! parameter.region.has_value())
            markUnplaced (texts);
        else if (*parameter.region != Region::externalRam)
            wrote = placeInternal (*parameter.region, placement, texts, memoryText) || wrote;
        else if (parameter.kind == Kind::highHalf)
            wrote = placeExternalHighHalf (placement, texts, memoryText) || wrote;
        else
            wrote = placeExternal (placement, texts, memoryText) || wrote;
    }

    // True for every written definition, reserving or not: it decides whether
    // the DSP's source includes the memory map that defines the names its calls use.
    return wrote;
}

bool MemoryMapWriter::placeExternal (const Placement& placement, BuildProjectFile::GeneratedTexts& texts,
                                     juce::String& memoryText)
{
    auto& region = context.getMemoryRegion (Region::externalRam);
    const bool whole = placement.parameter.kind == Kind::wholeAddress;

    texts[whole ? Slot::wholeAddressSlot : Slot::lowHalfSlot] = placement.name;

    // Defined even when not flagged: the set-up call is handed the name, which
    // the firmware build would otherwise not know.
    memoryText << definitionLine (placement.name, whole ? region.baseSymbol : lowHalf (region.baseSymbol),
                                  placement.functionName);

    if (placement.parameter.flagged)
    {
        MemoryParameters::takeSize (region.pendingSize, placement.parameter);

        if (region.pendingSize != 0 || (! whole && placement.maskUsable))
        {
            memoryText << nextBaseLine (placement.name, region.baseSymbol, region.pendingSize);
            region.baseSymbol = nextBaseName (placement.name);
            context.addExternalRamReserved (region.pendingSize);
        }
    }

    return true;
}

bool MemoryMapWriter::placeExternalHighHalf (const Placement& placement, BuildProjectFile::GeneratedTexts& texts,
                                             juce::String& memoryText)
{
    auto& region = context.getMemoryRegion (Region::externalRam);
    texts[Slot::highHalfSlot] = placement.name;

    if (placement.parameter.flagged)
        MemoryParameters::takeSize (region.pendingSize, placement.parameter);

    const bool reserves = placement.parameter.flagged && (region.pendingSize != 0 || placement.maskUsable);
    const auto base = region.baseSymbol;

    if (placement.secondForm)
    {
        memoryText << "#if ((" << base << ")&0xFFFF)\n"
                   << definitionLine (placement.name, "((" + base + "+0x10000)>>16)", placement.functionName);

        if (reserves)
            memoryText << nextBaseLine (placement.name, base, region.pendingSize + highHalfBoundaryGrowth);

        memoryText << "#else\n";
    }

    memoryText << definitionLine (placement.name, highHalf (base), placement.functionName);

    if (reserves)
        memoryText << nextBaseLine (placement.name, base, region.pendingSize);

    if (placement.secondForm)
        memoryText << "#endif\n";

    // The plain alternative counts: the base's alignment is the firmware
    // build's to know.
    if (reserves)
    {
        region.baseSymbol = nextBaseName (placement.name);
        context.addExternalRamReserved (region.pendingSize);
    }

    return true;
}

bool MemoryMapWriter::placeInternal (Region regionId, const Placement& placement, BuildProjectFile::GeneratedTexts& texts,
                                     juce::String& memoryText)
{
    auto& region = context.getMemoryRegion (regionId);
    const bool is24Bit = regionId == Region::internal24BitRam;
    juce::String value;

    switch (placement.parameter.kind)
    {
        case Kind::highHalf:
            texts[Slot::highHalfSlot] = placement.name;
            texts[is24Bit ? Slot::int24HighHalfSlot : Slot::int16HighHalfSlot] = placement.name;
            value = highHalf (region.baseSymbol);
            break;

        case Kind::lowHalf:
            texts[Slot::lowHalfSlot] = placement.name;
            texts[is24Bit ? Slot::int24LowHalfSlot : Slot::int16LowHalfSlot] = placement.name;
            value = lowHalf (region.baseSymbol);
            break;

        case Kind::wholeAddress:
        case Kind::none:
            texts[Slot::wholeAddressSlot] = placement.name;
            value = region.baseSymbol;
            break;
    }

    if (! is24Bit)
        texts[Slot::wholeAddressSlot] = placement.name;

    memoryText << definitionLine (placement.name, value, placement.functionName);

    if (placement.parameter.flagged)
    {
        MemoryParameters::takeSize (region.pendingSize, placement.parameter);

        if (region.pendingSize != 0 || placement.maskUsable)
        {
            memoryText << nextBaseLine (placement.name, region.baseSymbol, region.pendingSize);
            region.baseSymbol = nextBaseName (placement.name);
        }
    }

    return true;
}

void MemoryMapWriter::markUnplaced (BuildProjectFile::GeneratedTexts& texts)
{
    for (auto slot : { Slot::wholeAddressSlot, Slot::errorSlot, Slot::highHalfSlot, Slot::lowHalfSlot, Slot::int24HighHalfSlot,
                       Slot::int24LowHalfSlot, Slot::int16HighHalfSlot, Slot::int16LowHalfSlot, Slot::spareErrorSlot14,
                       Slot::spareErrorSlot15 })
        texts[slot] = unplacedMemory;
}
