#include "LibraryDescriber.h"

#include "model/ModuleLibrary.h"

namespace modulesdef
{
namespace
{
// The file's channel word for a widened one: bits 28-31 back to bits 12-15.
uint16_t unfoldChannelWord (uint32_t word)
{
    return (uint16_t) (((word >> 16) & 0xF000) | (word & 0x0FFF));
}

FunctionDescription describeFunction (const LibraryFunctionDefinition& f, int kind)
{
    FunctionDescription d;
    d.form = f.recordForm;
    d.name = f.name;
    d.returnValueCount = (uint8_t) f.returnValueCount;
    d.parameterCount = (uint8_t) f.parameterCount;
    d.entryMask = (uint16_t) f.entryMask;
    d.maskEntries = f.maskEntries;
    d.parameterFlagMask = (uint16_t) f.parameterFlagMask;

    if (kind == 3)
    {
        d.label = f.firstText;
        d.annotation = f.secondText;
    }

    d.words = f.parameterWords.words();
    return d;
}

std::vector<FunctionDescription> describeFunctions (const BoundedList<LibraryFunctionDefinition>& list, int kind)
{
    std::vector<FunctionDescription> result;

    for (auto& f : list)
        result.push_back (describeFunction (*f, kind));

    return result;
}

// The memory class and channel words that made the reader produce this process.
void describeChannelAndMemory (const ProcessDefinition& p, ProcessDescription& d)
{
    d.hasMemoryClass = p.hasMemoryClass;
    d.channelWord = unfoldChannelWord (p.defaultChannelWord);

    if (! p.hasMemoryClass)
        return;

    if ((p.memoryClassWord & 0x80000000u) != 0)
    {
        d.channelWord = (uint16_t) ((p.memoryClassWord & 0x7FFFFFFFu) + 10);
    }
    else if (p.memorySelector != 0)
    {
        d.channelWord = (uint16_t) p.memorySelector;
    }
    else if (p.memoryClass243)
    {
        d.channelWord = 243;
        d.memoryClassWord243 = (uint16_t) p.memoryClassWord;
        d.channelWord243 = unfoldChannelWord (p.defaultChannelWord);
    }
}

ProcessDescription describeProcess (const ProcessDefinition& p)
{
    ProcessDescription d;
    d.name = p.name;
    d.fromSps = p.fromSps;
    d.id = (uint16_t) p.processId;
    d.cyclesPerChannel = (uint16_t) p.cyclesPerChannel;
    d.baseCycles = (uint16_t) p.baseCycles;
    d.ramPerChannel = (uint16_t) p.ramPerChannel;
    d.baseRam = (uint16_t) p.baseRam;
    d.inputCount = (uint8_t) p.inputCount;
    d.outputCount = (uint8_t) p.outputCount;
    describeChannelAndMemory (p, d);

    if (! p.hasChannelWord)
        d.channelWord = 1;

    if (p.hasKind)
        d.kind = (uint16_t) p.processKind;

    d.setupFunctions = describeFunctions (p.firstFunctions, 1);
    d.controlFunctions = describeFunctions (p.secondFunctions, 3);
    d.helpPage = p.helpPage;

    for (auto& pin : p.pins)
        d.pins.push_back ({ pin->name, (uint8_t) (pin->direction == 1 ? 0 : 1), (uint8_t) pin->kind });

    return d;
}

ModuleDescription describeModule (const ModuleDefinition& m)
{
    ModuleDescription d;
    d.id = (uint16_t) m.moduleId;

    if (m.hasKindWord)
        d.kind = (uint16_t) m.kindWord;

    d.firstFigure = (uint16_t) m.firstFigure;
    d.dspInputCount = (uint8_t) m.dspInputCount;
    d.dspOutputCount = (uint8_t) m.dspOutputCount;
    d.thirdFigure = (uint16_t) m.thirdFigure;
    d.ownCycles = (uint16_t) m.ownCycles;
    d.dspRamBudget = (uint16_t) m.dspRamBudget;
    d.rateClassLimit = (uint16_t) m.rateClassLimit;
    d.name = m.name;
    d.functions = describeFunctions (m.moduleFunctions, 0);
    d.secondFunctions = describeFunctions (m.secondModuleFunctions, 5);

    for (auto& p : m.getProcesses())
        d.processes.push_back (describeProcess (*p));

    return d;
}
} // namespace

LibraryDescription describeLibrary (const ModuleLibrary& library)
{
    LibraryDescription d;
    d.dspCapacity = (uint16_t) library.getDspCapacity();

    if (library.formatVersion != 0)
        d.version = (uint16_t) library.formatVersion;
    else
        d.version.reset();

    for (int i = 0; i < library.getDictionary().size(); ++i)
        d.dictionary.push_back (library.getDictionary().getEntry (i)->words());

    for (auto& m : library.getModules())
        d.modules.push_back (describeModule (*m));

    for (int slot = 0; slot < library.getDspCount(); ++slot)
    {
        const auto* dsp = library.getDsp (slot);
        d.dsps.push_back ({ (uint16_t) dsp->dspId, false, (uint16_t) dsp->moduleId, (uint16_t) dsp->third });
    }

    if (library.getBusMaskCount() > 0)
    {
        std::vector<BusMask> masks;

        for (int i = 0; i < library.getBusMaskCount(); ++i)
            masks.push_back (*library.getBusMask (i));

        d.busMasks = masks;
    }

    return d;
}
} // namespace modulesdef
