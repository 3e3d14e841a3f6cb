#pragma once

#include <juce_data_structures/juce_data_structures.h>

#include <cstdint>

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

    // Every edit is an undo step of its own: its actions go into a new
    // transaction, named after the DSP whose page the edit was made on, so
    // that undoing or redoing it can show that page first.
    void beginEdit (uint32_t dspId);

    // The DSP of the edit the next undo takes back, or the next redo makes
    // again; 0 when there is none (or it was made on no DSP's page).
    uint32_t getDspOfUndo() const;
    uint32_t getDspOfRedo() const;

    static juce::String makeEditName (uint32_t dspId);
    static uint32_t getDspOfEdit (const juce::String& transactionName);

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
