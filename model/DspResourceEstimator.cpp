#include "model/DspResourceEstimator.h"

#include "model/MemoryParameters.h"

namespace
{
DspResourceEstimator::CyclesAndRam& operator+= (DspResourceEstimator::CyclesAndRam& total,
                                                const DspResourceEstimator::CyclesAndRam& cost) noexcept
{
    total.cycles += cost.cycles;
    total.ram += cost.ram;
    return total;
}

// The two distortion qualities have their own price list for one to three
// channels; any other count costs nothing.
DspResourceEstimator::CyclesAndRam distortionCost (int64_t channels, int64_t cycles, int64_t ram, const int64_t (&extraCycles)[3],
                                                   const int64_t (&extraRam)[3]) noexcept
{
    if (channels < 1 || channels > 3)
        return {};

    return { cycles + extraCycles[channels - 1], ram + extraRam[channels - 1] };
}

DspResourceEstimator::CyclesAndRam processCost (const ProcessDefinition& definition, uint32_t channelWord) noexcept
{
    const int64_t channels = channelWord & GraphNode::channelCountMask;
    const int64_t cyclesPerChannel = definition.cyclesPerChannel;
    const int64_t baseCycles = definition.baseCycles;
    const int64_t ramPerChannel = definition.ramPerChannel;
    const int64_t baseRam = definition.baseRam;

    if (definition.name == "HQDistortion_Q0")
        return distortionCost (channels, cyclesPerChannel, ramPerChannel, { 0, 72, 140 }, { 0, 25, 50 });

    if (definition.name == "HQDistortion_Q1")
        return distortionCost (channels, cyclesPerChannel + baseCycles, ramPerChannel + baseRam, { 0, 288, 560 }, { 0, 25, 50 });

    if ((channelWord & GraphNode::delayCountFlag) != 0)
        return { cyclesPerChannel + baseCycles, ramPerChannel + baseRam };

    return { channels * cyclesPerChannel + baseCycles, channels * ramPerChannel + baseRam };
}

const GraphNode* findNodeOf (const GraphData& graph, const ProcessInstanceEntry& entry) noexcept
{
    return entry.nodeNumber > 0 ? graph.findNodeById ((uint32_t) entry.nodeNumber) : nullptr;
}
} // namespace

DspResourceEstimator::DspResourceEstimator (const GraphData* graphToRead, const ModuleLibrary* libraryToRead) noexcept
    : graph (graphToRead), library (libraryToRead)
{
}

DspResourceEstimator::CyclesAndRam DspResourceEstimator::addProcessCosts (uint32_t dspId) const
{
    CyclesAndRam total;
    auto* dsp = library != nullptr ? library->findDsp (dspId) : nullptr;
    auto* module = dsp != nullptr ? library->findModuleById (dsp->moduleId) : nullptr;

    if (module == nullptr || graph == nullptr)
        return total;

    for (int i = 0; i < dsp->getProcessCount(); ++i)
    {
        auto* entry = dsp->getProcessInstance (i);
        auto* node = findNodeOf (*graph, *entry);
        auto* definition = module->findProcessById (entry->processId);

        if (node != nullptr && definition != nullptr)
            total += processCost (*definition, node->channelWord);
    }

    return total;
}

DspResourceEstimator::CyclesAndRam DspResourceEstimator::getMemoryBudget (uint32_t dspId, int ratePosition) const
{
    auto* module = library != nullptr ? library->getModuleOfDsp (dspId) : nullptr;

    if (module == nullptr)
        return { 100, 1 };

    return { (int64_t) getCyclesPerSample (ratePosition) - (int64_t) module->ownCycles, (int64_t) module->dspRamBudget };
}

DspResourceEstimator::ExternalRam DspResourceEstimator::addMemoryCosts (uint32_t dspId, int externalMemorySize,
                                                                        double samplingRateKhz) const
{
    ExternalRam result;
    result.size = externalMemorySize > 0 ? (int64_t) externalMemorySize * 1024 : 0;

    auto* dsp = library != nullptr ? library->findDsp (dspId) : nullptr;
    auto* module = dsp != nullptr ? library->findModuleById (dsp->moduleId) : nullptr;

    // What the memory map reserves in external RAM for the DSP, laid out by
    // the same rules; a DSP without processes gets no source and no memory.
    if (module == nullptr || graph == nullptr || dsp->getProcessCount() == 0)
        return result;

    // The module's own functions, once per DSP, in the memory its first
    // static process chose.
    const auto* memoryNode = MemoryParameters::findModuleMemoryNode (*module, *graph);
    const int moduleSelection = memoryNode != nullptr ? MemoryParameters::getSelection (*memoryNode) : 0;

    // A function without mask entries takes the size of the last placement in
    // external RAM before it: the map's chain, here within the DSP and in the
    // order of its processes.
    uint32_t pendingSize = 0;

    for (auto& function : module->moduleFunctions)
        result.used += MemoryParameters::reserveExternal (*function, function->maskEntries, moduleSelection, pendingSize);

    // Every process's own set-up functions, each time.
    for (int i = 0; i < dsp->getProcessCount(); ++i)
    {
        auto* entry = dsp->getProcessInstance (i);
        auto* node = findNodeOf (*graph, *entry);
        auto* definition = module->findProcessById (entry->processId);

        if (node == nullptr || definition == nullptr)
            continue;

        int index = 0;

        for (auto& function : definition->firstFunctions)
            result.used += MemoryParameters::reserveExternal (
                *function, MemoryParameters::getSetUpMaskEntries (*function, index++, *node, samplingRateKhz),
                MemoryParameters::getSelection (*node), pendingSize);
    }

    return result;
}

DspResourceEstimator::LoadPercentages DspResourceEstimator::estimateLoad (uint32_t dspId, int ratePosition,
                                                                          int externalMemorySize, double samplingRateKhz) const
{
    return toPercentages (addProcessCosts (dspId), getMemoryBudget (dspId, ratePosition),
                          addMemoryCosts (dspId, externalMemorySize, samplingRateKhz));
}

double DspResourceEstimator::toPercent (int64_t used, int64_t budget) noexcept
{
    if (budget <= 0)
        return used > 0 ? 100.0 : 0.0;

    return 100.0 * (double) used / (double) budget;
}

DspResourceEstimator::LoadPercentages DspResourceEstimator::toPercentages (const CyclesAndRam& used, const CyclesAndRam& budget,
                                                                           const ExternalRam& external) noexcept
{
    return { toPercent (used.cycles, budget.cycles), toPercent (used.ram, budget.ram), toPercent (external.used, external.size) };
}

int DspResourceEstimator::getCyclesPerSample (int ratePosition) noexcept
{
    static constexpr int cyclesPerRateClass[] = { 2048, 1024, 512 };
    return cyclesPerRateClass[juce::jlimit (0, 5, ratePosition) / 2];
}

float computeMemoryPercent (const ModuleDefinition* module, const ProcessDefinition* definition, uint32_t channelWord,
                            int ratePosition)
{
    if (definition == nullptr)
        return 0.0f;

    const int64_t ownCycles = module != nullptr ? (int64_t) module->ownCycles : 0;
    const int64_t cycles =
        (int64_t) (channelWord & GraphNode::channelCountMask) * definition->cyclesPerChannel + definition->baseCycles;

    return (float) DspResourceEstimator::toPercent (cycles, DspResourceEstimator::getCyclesPerSample (ratePosition) - ownCycles);
}
