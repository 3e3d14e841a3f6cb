#include "model/DspResourceEstimator.h"

#include "model/MemoryParameters.h"
#include "model/ParameterDescriptor.h"

#include <algorithm>

namespace
{
constexpr uint32_t firstMemorySelector = 101;
constexpr uint32_t lastMemorySelector = 241;

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

bool isExternalMemoryParameter (const LibraryFunctionDefinition& function, int p)
{
    ParameterDescriptor d;
    getFunctionParameter (function, ParameterNumbering::parametersOnly, p, d);

    return d.reached && (isParamTypeCode_4_0_1 (d.type) || isParamTypeCode_4_0_2 (d.type) || isParamTypeCode_12_0_0 (d.type));
}

const GraphNode* findNodeOf (const GraphData& graph, const ProcessInstanceEntry& entry) noexcept
{
    return entry.nodeNumber > 0 ? graph.findNodeById ((uint32_t) entry.nodeNumber) : nullptr;
}

// Walks the set-up functions of one process and adds the external RAM their
// mask entries ask for. An addition made while the process drew on the
// module's own functions marks those as counted for the DSP.
struct MemoryWalk
{
    const ProcessDefinition& definition;
    int memoryChoice;
    bool moduleSourced = false;
    bool moduleCounted = false;
    int64_t added = 0;

    bool isExternalChosen() const noexcept { return memoryChoice == GraphNode::memoryChoiceExternalRam; }

    // The memory selector names the one set-up function that takes the
    // memory. Otherwise the walk goes over the module's function positions:
    // one with mask entries counts itself, an empty one lets the process's
    // own set-up function of that number count instead.
    void addProcess (const ModuleDefinition& module)
    {
        const int setUpCount = definition.getFirstFunctionCount();
        const int moduleFunctionCount = module.getModuleFunctionCount();
        const auto selector = definition.memorySelector;

        if (definition.hasMemoryClass && selector >= firstMemorySelector && selector <= lastMemorySelector)
        {
            if (auto* function = definition.firstFunctions[(int) (selector - firstMemorySelector)])
                addSelectedFunction (*function);

            return;
        }

        const int length = definition.hasMemoryClass && setUpCount != 0 ? setUpCount : moduleFunctionCount;

        for (int f = 0; f < std::min (length, moduleFunctionCount); ++f)
        {
            const LibraryFunctionDefinition* function = module.moduleFunctions[f];

            if (! function->maskEntries.empty())
                moduleSourced = true;
            else if (setUpCount > 0)
                function = definition.firstFunctions[f]; // none past the process's own list

            if (function != nullptr)
                addFunction (*function);
        }
    }

    // The memory map lays the selected function out once, whatever the
    // number of set-up functions: it counts once, with exactly what the map
    // reserves in external RAM for it.
    void addSelectedFunction (const LibraryFunctionDefinition& function)
    {
        for (const auto& parameter : MemoryParameters::place (function, function.maskEntries, memoryChoice))
            if (parameter.flagged && parameter.region == GenerationContext::Region::externalRam)
                added += parameter.size;
    }

    void addFunction (const LibraryFunctionDefinition& function)
    {
        // The flagged parameters, last first, take the mask entries last
        // first; a mask can flag more parameters than there are entries.
        int entry = (int) function.maskEntries.size() - 1;

        for (int p = function.parameterCount - 1; p >= 0 && entry >= 0; --p)
        {
            const int bit = function.parameterCount - 1 - p;

            if (bit >= 32 || ((function.entryMask >> bit) & 1u) == 0)
                continue;

            const uint32_t value = function.maskEntries[(size_t) entry--];

            if (isExternalChosen() && countsAsExternal (function, p))
            {
                added += value;
                moduleCounted = moduleCounted || moduleSourced;
            }
        }
    }

    bool countsAsExternal (const LibraryFunctionDefinition& function, int p) const
    {
        if (definition.memoryClass11to13)
            return isExternalMemoryParameter (function, p);

        return definition.hasMemoryClass;
    }
};
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
                                                                        int perChannelExternalCost) const
{
    ExternalRam result;
    result.size = externalMemorySize > 0 ? (int64_t) externalMemorySize * 1024 : 0;

    auto* dsp = library != nullptr ? library->findDsp (dspId) : nullptr;
    auto* module = dsp != nullptr ? library->findModuleById (dsp->moduleId) : nullptr;

    if (module == nullptr || graph == nullptr)
        return result;

    int64_t channelSum = 0;
    int64_t added = 0;
    bool moduleCounted = false;

    for (int i = 0; i < dsp->getProcessCount(); ++i)
    {
        auto* node = findNodeOf (*graph, *dsp->getProcessInstance (i));
        auto* definition = node != nullptr ? node->getProcessDefinition() : nullptr;

        if (definition == nullptr)
            continue;

        // A delay line costs so much per channel, wherever its set-up says.
        if (definition->isDelayType())
        {
            if (node->memoryChoice == GraphNode::memoryChoiceExternalRam)
                channelSum += node->getChannelCount();

            continue;
        }

        // The module's own functions count once per DSP.
        if (moduleCounted)
            continue;

        MemoryWalk walk{ *definition, node->memoryChoice };
        walk.addProcess (*module);
        added += walk.added;
        moduleCounted = walk.moduleCounted;
    }

    result.used = channelSum * perChannelExternalCost + added;
    return result;
}

DspResourceEstimator::LoadPercentages
DspResourceEstimator::estimateLoad (uint32_t dspId, int ratePosition, int externalMemorySize, int perChannelExternalCost) const
{
    return toPercentages (addProcessCosts (dspId), getMemoryBudget (dspId, ratePosition),
                          addMemoryCosts (dspId, externalMemorySize, perChannelExternalCost));
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
