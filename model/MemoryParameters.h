#pragma once

#include "model/GenerationContext.h"

#include <cstdint>
#include <optional>
#include <vector>

class LibraryFunctionDefinition;
struct ParameterTypeCode;

// Where a set-up function's memory parameters go in the memory map: what part
// of an address each takes, by its type; which region it is placed in; which
// mask entry sizes what it reserves. The memory map lays the parameters out by
// these rules, and the resource estimate counts external memory by them, so
// that the two agree.
namespace MemoryParameters
{
enum class Kind
{
    none,
    wholeAddress,
    highHalf,
    lowHalf
};

// One memory parameter of a function, as the memory map places it.
struct Parameter
{
    int index = 0; // among the function's parameters
    Kind kind = Kind::none;
    std::optional<GenerationContext::Region> region; // none: nowhere to place it
    bool flagged = false;                            // it reserves memory
    uint32_t size = 0;                               // its mask entry; 0 past the last entry
};

// A parameter's kind by its type, and the region its type names.
Kind classify (const ParameterTypeCode& type, GenerationContext::Region& typeRegion);

// The type's own region when the function fixes the regions (bit 15 of its
// mask), else the one the process's memory selection names: 1 external, 2
// internal 16-bit, 3 internal 24-bit RAM; none for any other selection.
std::optional<GenerationContext::Region> chooseRegion (const LibraryFunctionDefinition& function,
                                                       GenerationContext::Region typeRegion, int selection);

// The function's memory parameters in order. The flagged parameters take
// the mask entries in order, one each, whether or not they are memory
// parameters.
std::vector<Parameter> place (const LibraryFunctionDefinition& function, const std::vector<uint32_t>& maskEntries, int selection);
} // namespace MemoryParameters
