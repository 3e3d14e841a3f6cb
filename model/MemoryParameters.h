#pragma once

#include "model/GenerationContext.h"

#include <cstdint>
#include <optional>
#include <vector>

class GraphData;
class GraphNode;
class LibraryFunctionDefinition;
class ModuleDefinition;
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
    bool sized = false;                              // its function has mask entries
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

// The size a flagged parameter reserves in its region: its mask entry, which
// becomes the region's pending size; when its function has no mask entries,
// the pending size as it is, the size of the region's last placement.
uint32_t takeSize (uint32_t& pendingSize, const Parameter& parameter) noexcept;

// The words the memory map reserves in external RAM for one call of the
// function: the sizes its flagged parameters placed there take, the pending
// size of external RAM carried from call to call.
int64_t reserveExternal (const LibraryFunctionDefinition& function, const std::vector<uint32_t>& maskEntries, int selection,
                         uint32_t& pendingSize);

// The memory selection of a process (its memory word's type), which chooses
// the region of the functions whose mask is usable.
int getSelection (const GraphNode& node) noexcept;

// The samples of a delay process's line: its count (the delay in ms) times
// the rate in kHz, truncated, held to what 32 bits count.
uint32_t delaySamples (const GraphNode& node, double samplingRateKhz);

// The memory words of a delay line: its samples, doubled in external and
// 16-bit RAM except for the single-memory delay.
uint32_t delayMemorySize (const GraphNode& node, double samplingRateKhz);

// The mask entries a process's set-up function (its index among them) is
// laid out with: its own, the first standing for the delay line's size for
// the first set-up function of a delay-count process.
std::vector<uint32_t> getSetUpMaskEntries (const LibraryFunctionDefinition& function, int functionIndex, const GraphNode& node,
                                           double samplingRateKhz);

// The process whose memory choice the module's own functions take: the
// module's first static process that the DSP's graph holds; none when there
// is none.
const GraphNode* findModuleMemoryNode (const ModuleDefinition& module, const GraphData& graph);
} // namespace MemoryParameters
