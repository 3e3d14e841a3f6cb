#pragma once

#include <juce_data_structures/juce_data_structures.h>

// The undo history of the design editors: JUCE's undo manager, except that
// while the design is locked it records nothing, undoes nothing and redoes
// nothing. perform, undo and redo are not virtual in JUCE, so these hide
// them: every editor holds an ActionManager, never a plain UndoManager, and
// the lock cannot be bypassed.
class ActionManager : public juce::UndoManager
{
public:
    ActionManager() = default;
    ~ActionManager() override;

    // The action belongs to the manager from here on: while the design is
    // locked it is deleted at once, never performed, and false is returned.
    bool perform (juce::UndoableAction* action, const juce::String& actionName = {});

    bool undo();
    bool redo();

    // What an action's perform answers when it did (or did not do) its
    // work: only the first perform may refuse, since a refused redo would
    // empty the history. Marks the action performed.
    static bool answerPerform (bool done, bool& performed) noexcept
    {
        const bool result = done || performed;
        performed = true;
        return result;
    }

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ActionManager)
};
