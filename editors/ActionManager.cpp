#include "editors/ActionManager.h"

#include "model/DesignLog.h"

#include <memory>

ActionManager::~ActionManager() = default;

bool ActionManager::perform (juce::UndoableAction* action, const juce::String& actionName)
{
    if (isDesignLocked())
    {
        std::unique_ptr<juce::UndoableAction> refused (action);
        return false;
    }

    return juce::UndoManager::perform (action, actionName);
}

bool ActionManager::undo()
{
    if (isDesignLocked())
        return false;

    return juce::UndoManager::undo();
}

bool ActionManager::redo()
{
    if (isDesignLocked())
        return false;

    return juce::UndoManager::redo();
}

void ActionManager::beginEdit (uint32_t dspId)
{
    beginNewTransaction (makeEditName (dspId));
}

uint32_t ActionManager::getDspOfUndo() const
{
    return canUndo() ? getDspOfEdit (getUndoDescription()) : 0;
}

uint32_t ActionManager::getDspOfRedo() const
{
    return canRedo() ? getDspOfEdit (getRedoDescription()) : 0;
}

juce::String ActionManager::makeEditName (uint32_t dspId)
{
    return "DSP#" + juce::String (dspId);
}

uint32_t ActionManager::getDspOfEdit (const juce::String& transactionName)
{
    const auto number = transactionName.fromFirstOccurrenceOf ("DSP#", false, false);

    if (! transactionName.startsWith ("DSP#") || number.isEmpty() || ! number.containsOnly ("0123456789") || number.length() > 2)
        return 0;

    return (uint32_t) number.getIntValue();
}
