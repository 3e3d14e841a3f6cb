#include "editors/ProcessEditor.h"

#include "editors/ActionManager.h"
#include "model/ModuleLibrary.h"

// The process editor's own actions. Each keeps NRPN numbers and plain
// values, never a component: the graph's change message brings the boxes
// and connectors in step.

ProcessEditor::InsertAction::InsertAction (GraphData& g, ModuleLibrary* moduleLibrary, uint32_t dsp,
                                           const ProcessGraphEdits::NewProcess& newProcess)
    : graph (g), library (moduleLibrary), dspId (dsp), process (newProcess)
{
}

DspDefinitionEntry* ProcessEditor::InsertAction::findEntry() const
{
    return library != nullptr ? library->findDsp (dspId) : nullptr;
}

bool ProcessEditor::InsertAction::perform()
{
    if (! performed)
    {
        performed = true;
        nrpn = ProcessGraphEdits::insertProcess (graph, findEntry(), process);
        inGraph = nrpn != 0;
        return inGraph;
    }

    // A redo puts back exactly what the undo took away.
    if (! inGraph)
        inGraph = ProcessGraphEdits::restoreProcess (graph, findEntry(), removed);

    return true;
}

bool ProcessEditor::InsertAction::undo()
{
    if (inGraph && ProcessGraphEdits::removeProcess (graph, findEntry(), nrpn, removed))
        inGraph = false;

    return true;
}

//==============================================================================
ProcessEditor::InsertConnectionAction::InsertConnectionAction (GraphData& g, const ConnectionRules::Ends& connectionEnds,
                                                               bool isVirtual)
    : graph (g), ends (connectionEnds), flag (isVirtual ? 1 : 0)
{
}

bool ProcessEditor::InsertConnectionAction::perform()
{
    if (! performed)
    {
        // From here on the ends are the nodes' NRPN numbers: ids close up.
        auto* source = graph.findNodeById (ends.sourceNode);
        auto* dest = graph.findNodeById (ends.destNode);
        valid = source != nullptr && dest != nullptr;

        if (valid)
            kept = { source->nrpn, ends.sourcePin, dest->nrpn, ends.destPin, flag };
    }

    added = valid && ProcessGraphEdits::addNewConnection (graph, kept);
    return ActionManager::answerPerform (added, performed);
}

bool ProcessEditor::InsertConnectionAction::undo()
{
    if (added)
        ProcessGraphEdits::removeConnection (graph, kept);

    added = false;
    return true;
}

//==============================================================================
ProcessEditor::BusPinAction::BusPinAction (GraphData& g, uint32_t nodeId, uint32_t pin, uint8_t pinDirection,
                                           const juce::String& pinName)
    : graph (g), pinIndex (pin), direction (pinDirection), name (pinName)
{
    if (auto* node = graph.findNodeById (nodeId))
        nrpn = node->nrpn;
}

bool ProcessEditor::BusPinAction::add()
{
    auto* node = graph.findNodeByNrpn (nrpn);

    if (node == nullptr)
        return false;

    const int before = graph.getNumBusPins();
    graph.addBusPin (node->getId(), pinIndex, direction, name);
    return graph.getNumBusPins() > before;
}

bool ProcessEditor::BusPinAction::remove()
{
    auto* node = graph.findNodeByNrpn (nrpn);
    return node != nullptr && graph.removeBusPin (node->getId(), pinIndex, direction, GraphData::matchAllBusPinFields, name);
}

bool ProcessEditor::AddBusPinAction::perform()
{
    added = add();
    return ActionManager::answerPerform (added, performed);
}

bool ProcessEditor::AddBusPinAction::undo()
{
    if (added)
        remove();

    added = false;
    return true;
}

bool ProcessEditor::RemoveBusPinAction::perform()
{
    removed = remove();
    return ActionManager::answerPerform (removed, performed);
}

bool ProcessEditor::RemoveBusPinAction::undo()
{
    if (removed)
        add();

    removed = false;
    return true;
}
