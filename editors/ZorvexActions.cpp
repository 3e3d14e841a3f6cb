#include "editors/Zorvex.h"

#include "model/ModuleLibrary.h"

// The node-box actions. Each keeps NRPN numbers and plain values, never a
// component; the graph's change message then brings the boxes in step.

Zorvex::RemoveAction::RemoveAction (GraphData& g, ModuleLibrary* moduleLibrary, uint32_t dsp, uint32_t nodeNrpn)
    : graph (g), library (moduleLibrary), dspId (dsp), nrpn (nodeNrpn)
{
}

bool Zorvex::RemoveAction::perform()
{
    auto* entry = library != nullptr ? library->findDsp (dspId) : nullptr;
    const bool done = ProcessGraphEdits::removeProcess (graph, entry, nrpn, removed);

    // Only a first perform may refuse: a refused redo would empty the history.
    const bool result = done || performed;
    performed = true;
    return result;
}

bool Zorvex::RemoveAction::undo()
{
    auto* entry = library != nullptr ? library->findDsp (dspId) : nullptr;
    ProcessGraphEdits::restoreProcess (graph, entry, removed);
    return true;
}

//==============================================================================
Zorvex::RemoveConnectionAction::RemoveConnectionAction (GraphData& g, const GraphConnection& connection) : graph (g)
{
    valid = ProcessGraphEdits::keepConnection (graph, connection, kept);
}

bool Zorvex::RemoveConnectionAction::perform()
{
    removed = valid && ProcessGraphEdits::removeConnection (graph, kept);
    const bool result = removed || performed;
    performed = true;
    return result;
}

bool Zorvex::RemoveConnectionAction::undo()
{
    // Put back only what this action took away.
    if (removed)
        ProcessGraphEdits::restoreConnection (graph, kept);

    return true;
}

//==============================================================================
Zorvex::ChangeNCountAction::ChangeNCountAction (GraphData& g, uint32_t nrpn, uint32_t newWord, uint32_t oldWord) : graph (g)
{
    change.nrpn = nrpn;
    change.newWord = newWord;
    change.oldWord = oldWord;
}

bool Zorvex::ChangeNCountAction::perform()
{
    const bool done = ProcessGraphEdits::applyCountChange (graph, change);
    const bool result = done || performed;
    performed = true;
    return result;
}

bool Zorvex::ChangeNCountAction::undo()
{
    ProcessGraphEdits::revertCountChange (graph, change);
    return true;
}

//==============================================================================
Zorvex::ChangeMemDelayAction::ChangeMemDelayAction (GraphData& g, uint32_t nodeNrpn, int newType)
    : graph (g), nrpn (nodeNrpn), newWord ((uint32_t) newType), newChoice (newType)
{
    if (auto* node = graph.findNodeByNrpn (nrpn))
    {
        oldWord = node->memoryWord;
        oldChoice = node->memoryChoice;
    }
}

bool Zorvex::ChangeMemDelayAction::perform()
{
    const bool done = ProcessGraphEdits::setMemoryType (graph, nrpn, newWord, newChoice);
    const bool result = done || performed;
    performed = true;
    return result;
}

bool Zorvex::ChangeMemDelayAction::undo()
{
    ProcessGraphEdits::setMemoryType (graph, nrpn, oldWord, oldChoice);
    return true;
}
