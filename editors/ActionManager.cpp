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
