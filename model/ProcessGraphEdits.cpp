#include "model/ProcessGraphEdits.h"

#include "model/ModuleDefinition.h"
#include "model/NodeChannelRules.h"

#include <algorithm>

bool ProcessGraphEdits::KeptConnection::operator== (const KeptConnection& other) const noexcept
{
    return sourceNrpn == other.sourceNrpn && sourcePin == other.sourcePin && destNrpn == other.destNrpn &&
           destPin == other.destPin && flag == other.flag;
}

//==============================================================================
bool ProcessGraphEdits::keepConnection (const GraphData& graph, const GraphConnection& connection, KeptConnection& kept)
{
    auto* source = graph.findNodeById (connection.sourceNode);
    auto* dest = graph.findNodeById (connection.destNode);

    if (source == nullptr || dest == nullptr)
        return false;

    kept = { source->nrpn, connection.sourcePin, dest->nrpn, connection.destPin, connection.flag };
    return true;
}

bool ProcessGraphEdits::removeConnection (GraphData& graph, const KeptConnection& kept)
{
    auto* source = graph.findNodeByNrpn (kept.sourceNrpn);
    auto* dest = graph.findNodeByNrpn (kept.destNrpn);

    return source != nullptr && dest != nullptr &&
           graph.removeConnection (source->getId(), kept.sourcePin, dest->getId(), kept.destPin,
                                   GraphData::matchAllConnectionFields, true);
}

bool ProcessGraphEdits::restoreConnection (GraphData& graph, const KeptConnection& kept)
{
    auto* source = graph.findNodeByNrpn (kept.sourceNrpn);
    auto* dest = graph.findNodeByNrpn (kept.destNrpn);

    if (source == nullptr || dest == nullptr)
        return false;

    graph.addConnection (source->getId(), kept.sourcePin, dest->getId(), kept.destPin);

    // The graph names the connection it holds with these ends, or none when full.
    auto* added = graph.getLastAddedConnection();

    if (added == nullptr || added->sourceNode != source->getId() || added->destNode != dest->getId())
        return false;

    added->flag = kept.flag;
    return true;
}

bool ProcessGraphEdits::addNewConnection (GraphData& graph, const KeptConnection& kept)
{
    auto* source = graph.findNodeByNrpn (kept.sourceNrpn);
    auto* dest = graph.findNodeByNrpn (kept.destNrpn);

    if (source == nullptr || dest == nullptr)
        return false;

    // An equal connection counts as the last added, but it is not ours.
    const int before = graph.getNumConnections();
    graph.addConnection (source->getId(), kept.sourcePin, dest->getId(), kept.destPin);

    if (graph.getNumConnections() == before)
        return false;

    if (auto* added = graph.getLastAddedConnection())
        added->flag = kept.flag;

    return true;
}

std::vector<ProcessGraphEdits::KeptConnection> ProcessGraphEdits::collectConnections (const GraphData& graph, uint32_t nodeId,
                                                                                      bool leaving, uint32_t firstPin)
{
    std::vector<KeptConnection> result;

    for (int i = 0; i < graph.getNumConnections(); ++i)
    {
        auto* c = graph.getConnection (i);
        const bool atNode = leaving ? c->sourceNode == nodeId : c->destNode == nodeId;
        const auto pin = leaving ? c->sourcePin : c->destPin;
        KeptConnection kept;

        if (atNode && pin >= firstPin && keepConnection (graph, *c, kept))
            result.push_back (kept);
    }

    return result;
}

//==============================================================================
std::vector<ProcessGraphEdits::KeptBusPin> ProcessGraphEdits::takeBusPins (GraphData& graph, uint32_t nodeId, bool inputs,
                                                                           uint32_t firstPin)
{
    std::vector<KeptBusPin> taken;
    const uint8_t direction = inputs ? 1 : 0;

    for (int i = graph.getNumBusPins(); --i >= 0;)
    {
        auto* busPin = graph.getBusPin (i);

        if (busPin->nodeId == nodeId && busPin->direction == direction && busPin->pinIndex >= firstPin)
        {
            const KeptBusPin kept{ busPin->pinIndex, busPin->direction, busPin->name };
            graph.removeBusPin (nodeId, kept.pinIndex, kept.direction, GraphData::matchAllBusPinFields, kept.name);
            taken.insert (taken.begin(), kept);
        }
    }

    return taken;
}

void ProcessGraphEdits::restoreBusPins (GraphData& graph, uint32_t nodeId, const std::vector<KeptBusPin>& busPins)
{
    for (auto& kept : busPins)
        graph.addBusPin (nodeId, kept.pinIndex, kept.direction, kept.name);
}

//==============================================================================
bool ProcessGraphEdits::isSameStaticProcess (const ProcessDefinition* placed, const ProcessDefinition* added) noexcept
{
    return placed != nullptr && added != nullptr && placed->fromSps && added->fromSps && placed->processId == added->processId;
}

bool ProcessGraphEdits::canPlaceProcess (const GraphData& graph, const DspDefinitionEntry* entry, const ModuleDefinition* module,
                                         const ProcessDefinition& definition)
{
    if (module == nullptr || graph.getNumNodes() >= maxProcesses ||
        (entry != nullptr && entry->getProcessCount() >= maxProcesses))
        return false;

    int notStatic = 0;

    for (int i = 0; i < graph.getNumNodes(); ++i)
    {
        auto* placed = graph.getNode (i)->getProcessDefinition();

        if (placed != nullptr && placed->fromSps)
        {
            if (isSameStaticProcess (placed, &definition))
                return false;
        }
        else
        {
            ++notStatic;
        }
    }

    if (definition.fromSps)
        return true;

    const auto& processes = module->getProcesses();
    const auto staticCount = std::count_if (processes.begin(), processes.end(), [] (const auto& p) { return p->fromSps; });
    return notStatic + (int) staticCount < maxProcesses;
}

uint32_t ProcessGraphEdits::insertProcess (GraphData& graph, DspDefinitionEntry* entry, const NewProcess& process)
{
    graph.addNode (process.name, true, process.definition, process.x, process.y);
    auto* node = graph.getLastAddedNode();

    if (node == nullptr)
        return 0;

    if (entry != nullptr && process.definition != nullptr)
        entry->addProcessInstance ((int) node->getId(), process.definition->processId);

    node->channelWord = process.channelWord;
    node->setMemoryWord (process.memoryWord);
    node->biquadMark = process.definition != nullptr && isBiquadProcessKind (process.definition->processKind);
    node->loadText = process.loadText;
    node->linkFlag = process.linkFlag;
    node->linkId = process.linkId;
    NodeChannelRules::followCount (*node, node->channelWord);

    if (process.commandWords.empty())
        node->buildControlIds();
    else
        node->takeCommandWords (process.commandWords, process.secondCommandWords, process.commandWordCount, process.commandNrpn);

    if (process.savedValues.hasBuiltControls())
        node->presetStore.copyFrom (process.savedValues);

    return node->nrpn;
}

//==============================================================================
bool ProcessGraphEdits::removeProcess (GraphData& graph, DspDefinitionEntry* entry, uint32_t nrpn, RemovedProcess& removed)
{
    auto* node = graph.findNodeByNrpn (nrpn);

    if (node == nullptr)
        return false;

    // Kept afresh on every removal: a redo must not keep the pins twice.
    removed = RemovedProcess();
    removed.id = node->getId();
    removed.nrpn = node->nrpn;
    removed.name = node->getName();
    removed.loadText = node->loadText;
    removed.definition = node->getProcessDefinition();
    removed.renumber = node->shouldRenumber();
    removed.position = node->getPosition();
    removed.channelWord = node->channelWord;
    removed.memoryWord = node->memoryWord;
    removed.inputCount = node->inputCount;
    removed.outputCount = node->outputCount;
    removed.memoryChoice = node->memoryChoice;
    removed.biquadMark = node->biquadMark;
    removed.commandWords = node->commandWords;
    removed.secondCommandWords = node->secondCommandWords;
    removed.commandWordCount = node->commandWordCount;
    removed.presetStore = node->presetStore;
    removed.keptCommands = node->keptCommands;
    removed.keptSavedValues = node->keptSavedValues;

    removed.connections = collectConnections (graph, removed.id, true);
    const auto entering = collectConnections (graph, removed.id, false);
    removed.connections.insert (removed.connections.end(), entering.begin(), entering.end());

    removed.busPins = takeBusPins (graph, removed.id, false, 0);
    const auto inputPins = takeBusPins (graph, removed.id, true, 0);
    removed.busPins.insert (removed.busPins.end(), inputPins.begin(), inputPins.end());

    if (entry != nullptr)
    {
        removed.instanceIndex = entry->findProcessInstanceIndex ((int) removed.id);

        if (removed.instanceIndex >= 0)
        {
            removed.instance = *entry->getProcessInstance (removed.instanceIndex);
            entry->removeProcessInstance ((int) removed.id);
        }
    }

    graph.removeNode (removed.id);
    return true;
}

bool ProcessGraphEdits::restoreProcess (GraphData& graph, DspDefinitionEntry* entry, const RemovedProcess& removed)
{
    auto* node = graph.restoreNode (removed.id, removed.nrpn, removed.name, removed.renumber, removed.definition,
                                    removed.position.x, removed.position.y);

    if (node == nullptr)
        return false;

    node->loadText = removed.loadText;
    node->channelWord = removed.channelWord;
    node->memoryWord = removed.memoryWord;
    node->inputCount = removed.inputCount;
    node->outputCount = removed.outputCount;
    node->memoryChoice = removed.memoryChoice;
    node->biquadMark = removed.biquadMark;
    node->commandWords = removed.commandWords;
    node->secondCommandWords = removed.secondCommandWords;
    node->commandWordCount = removed.commandWordCount;
    node->presetStore = removed.presetStore;
    node->keptCommands = removed.keptCommands;
    node->keptSavedValues = removed.keptSavedValues;

    if (entry != nullptr && removed.instanceIndex >= 0)
        entry->restoreProcessInstance (removed.instanceIndex, removed.instance);

    restoreBusPins (graph, removed.id, removed.busPins);

    for (auto& kept : removed.connections)
        restoreConnection (graph, kept);

    return true;
}

//==============================================================================
bool ProcessGraphEdits::applyCountChange (GraphData& graph, CountChange& change)
{
    auto* node = graph.findNodeByNrpn (change.nrpn);

    if (node == nullptr)
        return false;

    const auto before = NodeChannelRules::getPinCounts (*node, change.oldWord);
    const auto after = NodeChannelRules::getPinCounts (*node, change.newWord);
    const auto id = node->getId();

    change.oldInputCount = node->inputCount;
    change.oldOutputCount = node->outputCount;
    change.oldLoadText = node->loadText;

    if (! change.values.undone)
        change.values.keep (*node);

    change.removedConnections.clear();
    change.removedBusPins.clear();

    // The pins the new count drops lose their wires and DSP inputs and outputs.
    auto dropSide = [&] (bool inputs, int oldCount, int newCount)
    {
        if (newCount >= oldCount)
            return;

        for (auto& kept : collectConnections (graph, id, ! inputs, (uint32_t) newCount))
            if (removeConnection (graph, kept))
                change.removedConnections.push_back (kept);

        const auto pins = takeBusPins (graph, id, inputs, (uint32_t) newCount);
        change.removedBusPins.insert (change.removedBusPins.end(), pins.begin(), pins.end());
    };

    dropSide (true, before.inputs, after.inputs);
    dropSide (false, before.outputs, after.outputs);

    node->channelWord = change.newWord;
    NodeChannelRules::followCount (*node, change.newWord);
    node->loadText =
        NodeChannelRules::makeLoadText (change.module, node->getProcessDefinition(), change.newWord, change.ratePosition);

    if (change.values.undone)
        change.values.redo (*node);
    else if (change.rebuildCommandWords)
        node->followCountInCommandWords (change.oldWord);

    graph.setModified (true);
    graph.sendChangeMessage();
    return true;
}

bool ProcessGraphEdits::revertCountChange (GraphData& graph, CountChange& change)
{
    auto* node = graph.findNodeByNrpn (change.nrpn);

    if (node == nullptr)
        return false;

    change.values.undo (*node);
    node->channelWord = change.oldWord;
    node->inputCount = change.oldInputCount;
    node->outputCount = change.oldOutputCount;
    node->loadText = change.oldLoadText;

    restoreBusPins (graph, node->getId(), change.removedBusPins);

    for (auto& kept : change.removedConnections)
        restoreConnection (graph, kept);

    graph.setModified (true);
    graph.sendChangeMessage();
    return true;
}

ProcessGraphEdits::ProcessValues ProcessGraphEdits::ProcessValues::of (const GraphNode& node)
{
    return { node.commandWords, node.secondCommandWords, node.commandWordCount, node.presetStore };
}

void ProcessGraphEdits::ProcessValues::giveTo (GraphNode& node) const
{
    node.commandWords = commandWords;
    node.secondCommandWords = secondCommandWords;
    node.commandWordCount = commandWordCount;
    node.presetStore = store;
    ++node.valueReplacements;
}

void ProcessGraphEdits::KeptValues::undo (GraphNode& node)
{
    after = ProcessValues::of (node);
    undone = true;
    before.giveTo (node);
}

ProcessPresetStore ProcessGraphEdits::copySavedValues (const ProcessPresetStore& store)
{
    ProcessPresetStore copy (store);

    for (int i = copy.getPresetCount(); --i >= 0;)
        if (copy.getPresetName (i) != ProcessPresetStore::lastSavedPresetName)
            copy.removePreset (i);

    copy.findPreset (ProcessPresetStore::lastSavedPresetName);
    copy.setSelectedPreset (-1);
    copy.setTableId (-1);
    return copy;
}

bool ProcessGraphEdits::setMemoryType (GraphData& graph, uint32_t nrpn, uint32_t memoryWord, int memoryChoice)
{
    auto* node = graph.findNodeByNrpn (nrpn);

    if (node == nullptr)
        return false;

    node->memoryWord = memoryWord;
    node->memoryChoice = memoryChoice;
    graph.setModified (true);
    graph.sendChangeMessage();
    return true;
}
