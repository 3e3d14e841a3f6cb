#pragma once

#include "generator/BuildProjectFile.h"
#include "model/GenerationContext.h"
#include "model/MemoryParameters.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <vector>

class GraphNode;
class LibraryFunctionDefinition;

// Lays out the memory parameters of one set-up function in the memory map.
// Each placement defines the parameter's address from its region's current
// base symbol and, when it reserves memory, a next-base symbol that the next
// placement in the region starts from: the firmware's preprocessor computes
// the addresses from the region start symbols.
class MemoryMapWriter
{
public:
    using Kind = MemoryParameters::Kind;

    struct Call
    {
        const LibraryFunctionDefinition* function = nullptr;
        const GraphNode* memoryNode = nullptr; // whose memory choice selects the region; none when unknown
        uint32_t dspId = 0;
        int pcsNumber = 0;
        int functionIndex = 0;
        bool dspInit = false;
        std::vector<uint32_t> maskEntries; // the function's, with any stand-in applied
    };

    explicit MemoryMapWriter (GenerationContext& context);

    // Places every memory parameter of the call's function; true when
    // anything was written to the memory text.
    bool write (const Call& call, BuildProjectFile::GeneratedTexts& texts, juce::String& memoryText);

    // "MEMADDR_" + "DSPINIT" or "DSP" + the DSP id, "_PCS" + the pcs number,
    // "F" + the function index for every set-up function after the first,
    // "PAR" + the parameter number: two lower-case hexadecimal digits each.
    static juce::String makeName (const Call& call, int parameter);

    static juce::String definitionLine (const juce::String& name, const juce::String& value, const juce::String& functionName);
    static juce::String nextBaseValue (const juce::String& base, uint32_t size);
    static juce::String nextBaseLine (const juce::String& name, const juce::String& base, uint32_t size);
    static juce::String lowHalf (const juce::String& x);
    static juce::String highHalf (const juce::String& x);

private:
    struct Placement
    {
        juce::String name;
        juce::String functionName;
        MemoryParameters::Parameter parameter;
        bool maskUsable = false;
        bool secondForm = false;
    };

    bool placeExternal (const Placement& placement, BuildProjectFile::GeneratedTexts& texts, juce::String& memoryText);
    bool placeExternalHighHalf (const Placement& placement, BuildProjectFile::GeneratedTexts& texts, juce::String& memoryText);
    bool placeInternal (GenerationContext::Region region, const Placement& placement, BuildProjectFile::GeneratedTexts& texts,
                        juce::String& memoryText);
    static void markUnplaced (BuildProjectFile::GeneratedTexts& texts);

    GenerationContext& context;
};
