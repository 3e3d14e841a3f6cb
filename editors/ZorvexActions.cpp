#include "editors/Zorvex.h"

#include "editors/ActionManager.h"
#include "editors/PasteTarget.h"
#include "editors/ProcessEditor.h"
#include "generator/PanelScriptWriter.h"
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
    return ActionManager::answerPerform (done, performed);
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
    return ActionManager::answerPerform (removed, performed);
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

Zorvex::ChangeNCountAction::ChangeNCountAction (GraphData& g, const ProcessGraphEdits::CountChange& countChange, uint32_t dsp,
                                                double rateKhz)
    : graph (g), change (countChange), dspId (dsp), samplingRateKhz (rateKhz)
{
}

bool Zorvex::ChangeNCountAction::perform()
{
    const bool done = ProcessGraphEdits::applyCountChange (graph, change);

    // The first time, the store follows the controls of the new count; a
    // redo gives it back as the undo found it.
    if (done && ! change.values.undone && samplingRateKhz > 0.0)
        if (auto* node = graph.findNodeByNrpn (change.nrpn))
            PanelScriptWriter::updateStoreControls (*node, dspId, samplingRateKhz);

    return ActionManager::answerPerform (done, performed);
}

bool Zorvex::ChangeNCountAction::undo()
{
    ProcessGraphEdits::revertCountChange (graph, change);
    return true;
}

//==============================================================================
Zorvex::ChangeMemDelayAction::ChangeMemDelayAction (GraphData& g, uint32_t nodeNrpn, int newType, uint32_t dsp, double rateKhz)
    : graph (g), nrpn (nodeNrpn), newWord ((uint32_t) newType), newChoice (newType), dspId (dsp), samplingRateKhz (rateKhz)
{
    if (auto* node = graph.findNodeByNrpn (nrpn))
    {
        oldWord = node->memoryWord;
        oldChoice = node->memoryChoice;
    }
}

bool Zorvex::ChangeMemDelayAction::perform()
{
    auto* node = graph.findNodeByNrpn (nrpn);

    if (node == nullptr)
        return ActionManager::answerPerform (false, performed);

    if (values.undone)
    {
        ProcessGraphEdits::setMemoryType (graph, nrpn, newWord, newChoice);
        values.redo (*node);
        return true;
    }

    values.keep (*node);
    const auto before =
        samplingRateKhz > 0.0 ? PanelScriptWriter::listControls (*node, dspId, samplingRateKhz) : ProcessControlList();
    const bool done = ProcessGraphEdits::setMemoryType (graph, nrpn, newWord, newChoice);

    // A delay's time keeps what it stands for, within the range the memory allows.
    if (done && samplingRateKhz > 0.0)
        PanelScriptWriter::updateStoreControls (*node, dspId, samplingRateKhz, &before);

    return ActionManager::answerPerform (done, performed);
}

bool Zorvex::ChangeMemDelayAction::undo()
{
    if (auto* node = graph.findNodeByNrpn (nrpn))
    {
        ProcessGraphEdits::setMemoryType (graph, nrpn, oldWord, oldChoice);
        values.undo (*node);
    }

    return true;
}

//==============================================================================
Zorvex::CopyAction::CopyAction (GraphData& g, uint32_t nodeNrpn, const ModuleLibrary* library, uint32_t dsp)
    : source (&g), sourceLibrary (library), dspId (dsp), nrpn (nodeNrpn)
{
}

juce::String Zorvex::CopyAction::makeNoModuleMessage (const juce::String& moduleName)
{
    return "No module was selected for this DSP, please select \"[ " + moduleName + " ]\" module.";
}

juce::String Zorvex::CopyAction::makeMismatchMessage (const juce::String& moduleName)
{
    return "Unable to paste: Module mismatch, \"[ " + moduleName + " ]\" module expected.";
}

bool Zorvex::CopyAction::perform()
{
    if (recorded)
        return true;

    auto* node = source != nullptr ? source->findNodeByNrpn (nrpn) : nullptr;
    auto* module = sourceLibrary != nullptr ? sourceLibrary->getModuleOfDsp (dspId) : nullptr;

    if (node == nullptr || node->getProcessDefinition() == nullptr || module == nullptr)
        return false;

    // The values it has go with the copy.
    copy.savedValues = ProcessGraphEdits::copySavedValues (node->presetStore);

    const auto position = node->getPosition();
    copy.name = node->getName();
    copy.loadText = node->loadText;
    copy.definition = node->getProcessDefinition();
    copy.x = juce::jmin (1.0, position.x + pasteOffset);
    copy.y = juce::jmin (1.0, position.y + pasteOffset);
    copy.channelWord = node->channelWord;
    copy.memoryWord = node->memoryWord;
    copy.commandWords = node->commandWords;
    copy.secondCommandWords = node->secondCommandWords;
    copy.commandWordCount = node->commandWordCount;
    copy.nrpn = node->nrpn;
    copy.moduleId = module->moduleId;
    copy.moduleName = juce::String (module->name);

    // Nothing of the source is read again.
    recorded = true;
    source = nullptr;
    sourceLibrary = nullptr;
    return true;
}

bool Zorvex::CopyAction::undo()
{
    auto* target = PasteTarget::getCurrent();
    auto* library = target != nullptr ? target->getPasteLibrary() : nullptr;
    auto* history = target != nullptr ? target->getPasteHistory() : nullptr;

    if (! recorded || library == nullptr || history == nullptr)
        return true;

    const auto targetDsp = target->getPasteDspId();
    auto* module = library->getModuleOfDsp (targetDsp);

    if (module == nullptr)
    {
        target->showPasteMessage (makeNoModuleMessage (copy.moduleName));
        return true;
    }

    // The definition must still be one of the module's own.
    if (module->moduleId != copy.moduleId || module->getProcesses().indexOf (copy.definition) < 0)
    {
        target->showPasteMessage (makeMismatchMessage (copy.moduleName));
        return true;
    }

    auto& graph = target->getPasteGraph();

    // A copy pasted before, and not shown yet, must not take the wires of
    // this one: only the newest copy answers to the source's number.
    while (auto* stale = graph.findNodeByLinkId (copy.nrpn))
        stale->linkFlag = false;

    if (! ProcessGraphEdits::canPlaceProcess (graph, library->findDsp (targetDsp), module, *copy.definition))
        return true;

    ProcessGraphEdits::NewProcess process;
    process.name = copy.name;
    process.loadText = copy.loadText;
    process.definition = copy.definition;
    process.x = copy.x;
    process.y = copy.y;
    process.channelWord = copy.channelWord;
    process.memoryWord = copy.memoryWord;
    process.commandWords = copy.commandWords;
    process.secondCommandWords = copy.secondCommandWords;
    process.commandWordCount = copy.commandWordCount;
    process.commandNrpn = copy.nrpn;
    process.savedValues = copy.savedValues;
    process.linkFlag = true;
    process.linkId = copy.nrpn;
    history->perform (new ProcessEditor::InsertAction (graph, library, targetDsp, process));
    return true;
}
