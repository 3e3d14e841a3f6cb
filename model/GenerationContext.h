#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <cstdint>

class GraphNode;

// What the per-DSP generators need of the project besides the design's graphs
// and the module library: the sampling rate, the external memory size, the
// three memory regions whose address chains run across all DSPs of one
// generation, and the external-RAM-used flag that the memory map raises.
//
// The project settings are one (a generation resets their memory bases
// first); tests make their own.
// The node title stands for the node boxes, which the generator never needs:
// headless, a node's title is its name.
class GenerationContext
{
public:
    enum class Region
    {
        externalRam,
        internal16BitRam,
        internal24BitRam
    };

    // One region's chain: the symbol the next placement starts at, and the
    // size of the placement made last.
    struct MemoryRegion
    {
        juce::String baseSymbol;
        uint32_t pendingSize = 0;
    };

    GenerationContext();
    virtual ~GenerationContext() = default;

    // The project settings derive it from their chosen rate.
    virtual double getSamplingRateKhz() const { return samplingRateKhz; }
    void setSamplingRateKhz (double khz) noexcept { samplingRateKhz = khz; }

    int getExternalMemorySize() const noexcept { return externalMemorySize; }
    void setExternalMemorySize (int size) noexcept { externalMemorySize = size; }

    MemoryRegion& getMemoryRegion (Region region) noexcept { return regions[(size_t) region]; }
    const MemoryRegion& getMemoryRegion (Region region) const noexcept { return regions[(size_t) region]; }

    // Every region back to its start symbol with nothing pending, the
    // external-RAM-used flag cleared and nothing reserved: the start of a
    // generation.
    void resetMemoryBases();

    static juce::String getStartSymbol (Region region);

    bool isExternalRamUsed() const noexcept { return externalRamUsed; }
    void setExternalRamUsed (bool used) noexcept { externalRamUsed = used; }

    // The words the memory map has reserved in external RAM since the memory
    // bases were reset, across all DSPs. Counted as the map is written: a
    // function without mask entries reserves the size pending from the
    // placement before it in generation order, which the per-DSP estimate
    // can only follow within its DSP.
    int64_t getExternalRamReserved() const noexcept { return externalRamReserved; }
    void addExternalRamReserved (int64_t words) noexcept { externalRamReserved += words; }

    // The title the node's box shows, for messages.
    virtual juce::String getNodeTitle (const GraphNode& node) const;

private:
    double samplingRateKhz = 48.0;
    int externalMemorySize = 128;
    bool externalRamUsed = false;
    int64_t externalRamReserved = 0;
    std::array<MemoryRegion, 3> regions;
};
