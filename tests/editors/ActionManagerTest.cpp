#include "editors/ActionManager.h"
#include "model/DesignLog.h"

#include <gtest/gtest.h>

namespace
{
struct ActionCounts
{
    int performed = 0;
    int undone = 0;
    int destroyed = 0;
    int value = 0;
};

// Adds to a value and counts what the manager does with it.
class CountingAction : public juce::UndoableAction
{
public:
    CountingAction (ActionCounts& c, int amount = 1, bool succeeds = true, int sizeInUnits = 10)
        : counts (c), delta (amount), ok (succeeds), size (sizeInUnits)
    {
    }

    ~CountingAction() override { ++counts.destroyed; }

    int getSizeInUnits() override { return size; }

    bool perform() override
    {
        ++counts.performed;

        if (ok)
            counts.value += delta;

        return ok;
    }

    bool undo() override
    {
        ++counts.undone;
        counts.value -= delta;
        return true;
    }

private:
    ActionCounts& counts;
    int delta;
    bool ok;
    int size;
};

class ActionManagerTest : public ::testing::Test
{
protected:
    void SetUp() override { clearDesignFlags(); }
    void TearDown() override { clearDesignFlags(); }

    ActionCounts counts;
    ActionManager manager;
};
} // namespace

TEST_F (ActionManagerTest, PerformsUndoesAndRedoesWhileUnlocked)
{
    manager.beginNewTransaction();
    EXPECT_TRUE (manager.perform (new CountingAction (counts, 5), "add"));
    EXPECT_EQ (counts.value, 5);
    EXPECT_TRUE (manager.canUndo());
    EXPECT_EQ (manager.getUndoDescription(), "add");

    EXPECT_TRUE (manager.undo());
    EXPECT_EQ (counts.value, 0);
    EXPECT_TRUE (manager.canRedo());

    EXPECT_TRUE (manager.redo());
    EXPECT_EQ (counts.value, 5);
}

TEST_F (ActionManagerTest, ActionsOfOneTransactionAreUndoneTogether)
{
    manager.beginNewTransaction();
    manager.perform (new CountingAction (counts, 1));
    manager.perform (new CountingAction (counts, 10));
    manager.beginNewTransaction();
    manager.perform (new CountingAction (counts, 100));

    EXPECT_TRUE (manager.undo());
    EXPECT_EQ (counts.value, 11);
    EXPECT_TRUE (manager.undo());
    EXPECT_EQ (counts.value, 0);
    EXPECT_FALSE (manager.canUndo());
}

TEST_F (ActionManagerTest, ALockedDesignDestroysAnOfferedActionOnceWithoutPerformingIt)
{
    setDesignLocked (true);

    EXPECT_FALSE (manager.perform (new CountingAction (counts), "refused"));

    EXPECT_EQ (counts.performed, 0);
    EXPECT_EQ (counts.destroyed, 1);
    EXPECT_FALSE (manager.canUndo());
}

TEST_F (ActionManagerTest, ALockedDesignRefusesUndoAndRedoAndKeepsTheHistory)
{
    manager.beginNewTransaction();
    manager.perform (new CountingAction (counts, 3));
    manager.beginNewTransaction();
    manager.perform (new CountingAction (counts, 4));
    manager.undo();
    ASSERT_EQ (counts.value, 3);

    setDesignLocked (true);

    EXPECT_FALSE (manager.undo());
    EXPECT_FALSE (manager.redo());
    EXPECT_EQ (counts.value, 3);
    EXPECT_TRUE (manager.canUndo());
    EXPECT_TRUE (manager.canRedo());

    setDesignLocked (false);

    EXPECT_TRUE (manager.undo());
    EXPECT_EQ (counts.value, 0);
    EXPECT_TRUE (manager.redo());
    EXPECT_EQ (counts.value, 3);
}

TEST_F (ActionManagerTest, NoActionIsRefusedLockedOrNot)
{
    EXPECT_FALSE (manager.perform (nullptr));
    setDesignLocked (true);
    EXPECT_FALSE (manager.perform (nullptr, "nothing"));
}

TEST_F (ActionManagerTest, AnActionThatFailsIsNotStored)
{
    EXPECT_FALSE (manager.perform (new CountingAction (counts, 1, false)));

    EXPECT_EQ (counts.performed, 1);
    EXPECT_EQ (counts.destroyed, 1);
    EXPECT_FALSE (manager.canUndo());
}

TEST_F (ActionManagerTest, StoredActionsAreDestroyedWithTheHistory)
{
    manager.perform (new CountingAction (counts));
    manager.perform (new CountingAction (counts));
    EXPECT_EQ (counts.destroyed, 0);

    manager.clearUndoHistory();

    EXPECT_EQ (counts.destroyed, 2);
    EXPECT_FALSE (manager.canUndo());
}

TEST_F (ActionManagerTest, KeepsJucesDefaultLimits)
{
    // Far more than 30000 units in all: the oldest go, but 30 transactions stay.
    for (int i = 0; i < 40; ++i)
    {
        manager.beginNewTransaction();
        manager.perform (new CountingAction (counts, 1, true, 10000));
    }

    int undone = 0;

    while (manager.undo())
        ++undone;

    EXPECT_EQ (undone, 30);
    EXPECT_EQ (counts.value, 10);
}
