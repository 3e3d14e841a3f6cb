#include "model/ProjectFileContent.h"

#include "model/Design.h"
#include "model/DesignLog.h"
#include "model/ModuleLibrary.h"
#include "model/NodeChannelRules.h"
#include "model/ProjectCommandList.h"

int ProjectFileContent::getProcessCount() const noexcept
{
    int count = 0;

    for (auto& dsp : dsps)
        count += (int) dsp.processes.size();

    return count;
}

void ProjectFileContent::logMessages() const
{
    for (auto& issue : compatibilityIssues)
        logError (issue + "\n", -1);

    for (auto& problem : problems)
        logError (problem + "\n", -1);
}

void ProjectFileContent::installInto (Design& design) const
{
    auto& bus = design.getBusGraph();
    bus.clear();
    design.clearDsps();

    if (settings.has_value())
    {
        auto& projectSettings = design.getSettings();

        if (auto* library = design.getLibrary())
            library->allocateBusMasks (settings->dspCapacity);

        projectSettings.setChipIndex (settings->chipIndex);

        if (settings->samplingIndex.has_value())
            projectSettings.setSamplingIndex (*settings->samplingIndex);

        if (settings->memorySizeIndex.has_value())
        {
            projectSettings.setMemorySizeIndex (*settings->memorySizeIndex);
            projectSettings.setExternalMemorySize (projectSettings.getChosenMemorySize());
        }
    }

    design.getSettings().setCommandView (commandView);

    for (auto& dsp : dsps)
        installDsp (design, dsp);

    for (auto& c : busConnections)
        bus.addConnection (c.sourceNode, c.sourcePin, c.destNode, c.destPin);

    for (auto& p : busPinLabels)
        bus.addBusPin (p.nodeId, p.channel, p.direction, p.name);
}

// The file keeps each command's control number (and second word); the
// function ids come from the process's definition. The words are whole here,
// with no window: the process's box only shows them.
void ProjectFileContent::takeSavedCommandWords (GraphNode& node, const Process& process)
{
    node.buildControlIds();

    const auto saved = std::min ({ process.commandWordCount, (int) process.commandWords.size(), (int) node.commandWords.size() });

    for (int k = 0; k < saved; ++k)
    {
        // The reader fills both lists of words to the same length.
        const auto second = k < (int) process.secondCommandWords.size() ? process.secondCommandWords[(size_t) k] : 0u;
        ProjectCommandList::applySavedValue (node, k, (process.commandWords[(size_t) k] & 0xFFFF) | (second << 16));
    }
}

void ProjectFileContent::installDsp (Design& design, const Dsp& dsp) const
{
    auto& bus = design.getBusGraph();
    bus.addNode (dsp.name, false, nullptr, dsp.x, dsp.y);
    auto* box = bus.getLastAddedNode();
    jassert (box != nullptr);
    bus.setNodeId (box->getId(), dsp.id);
    box->nrpn = dsp.nrpn;

    if (dsp.module != nullptr)
    {
        box->inputCount = dsp.module->dspInputCount;
        box->outputCount = dsp.module->dspOutputCount;
    }

    auto* slot = design.addDsp (dsp.id, dsp.moduleId);
    auto* entry = design.getDspEntry (dsp.id);
    jassert (slot != nullptr);

    auto& graph = slot->getGraph();
    const auto ratePosition = design.getSettings().getSamplingIndex();

    for (auto& process : dsp.processes)
    {
        graph.addNode (process.name, true, process.definition, process.x, process.y);
        auto* node = graph.getLastAddedNode();
        jassert (node != nullptr);

        node->channelWord = process.channelWord;
        node->setMemoryWord (process.memoryWord);
        node->nrpn = process.nrpn;
        node->commandWords = process.commandWords;
        node->secondCommandWords = process.secondCommandWords;
        node->commandWordCount = process.commandWordCount;
        node->presetStore = process.store;

        if (process.definition == nullptr)
        {
            node->inputCount = process.inputCount;
            node->outputCount = process.outputCount;
            node->keptCommands = process.keptCommands;
            node->keptSavedValues = process.keptSavedValues;
        }
        else
        {
            NodeChannelRules::followCount (*node, process.channelWord);
            node->biquadMark = isBiquadProcessKind (process.definition->processKind);
            takeSavedCommandWords (*node, process);
        }

        // As the process's box shows it, so that it reads the same before
        // and after the count is next changed.
        node->loadText = NodeChannelRules::makeLoadText (dsp.module, process.definition, process.channelWord, ratePosition);

        if (entry != nullptr)
            entry->addProcessInstance ((int) node->getId(), process.processId);
    }

    for (auto& c : dsp.connections)
    {
        graph.addConnection (c.sourceNode, c.sourcePin, c.destNode, c.destPin);

        // The file keeps no mark of a connection between virtual pins, which
        // hands a process over rather than a signal: its pins tell it, as
        // they did when it was drawn.
        if (auto* added = graph.getLastAddedConnection();
            added != nullptr && graph.isVirtualOutput (c.sourceNode, (int) c.sourcePin))
            added->flag = 1;
    }

    for (auto& p : dsp.pinLabels)
        graph.addBusPin (p.nodeId, p.channel, p.direction, p.name);
}
