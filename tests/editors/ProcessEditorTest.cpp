#include "DspPagesFixture.h"

#include "editors/SelectorComponent.h"

using vxtest::DspPagesFixture;
using vxtest::makeMouseEvent;

namespace
{
class ProcessEditorTest : public DspPagesFixture
{
protected:
    ProcessEditorTest() { addDsp (1, core8); }

    ProcessEditor& e() { return editor (1); }

    std::vector<bool> selection()
    {
        std::vector<bool> result;

        for (int i = 0; i < graph (1).getNumNodes(); ++i)
            result.push_back (e().findBoxByNodeId (graph (1).getNode (i)->getId())->isSelected());

        return result;
    }

    const juce::PopupMenu::Item* findItem (const juce::PopupMenu& menu, int id)
    {
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            if (it.getItem().itemID == id)
                return &it.getItem();

        return nullptr;
    }
};

constexpr int ctrlKeys = juce::ModifierKeys::ctrlModifier;
constexpr int ctrlShiftKeys = juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier;
} // namespace

TEST_F (ProcessEditorTest, ADroppedProcessStandsWhereItWasDroppedWithItsModuleFigures)
{
    juce::Component list ("ProcessList");
    const auto index = processIndex (core8, "ParamEq8");
    const juce::DragAndDropTarget::SourceDetails drop (index, &list, { 500, 396 });
    EXPECT_TRUE (e().isInterestedInDragSource (drop));

    juce::Component other ("Elsewhere");
    EXPECT_FALSE (e().isInterestedInDragSource ({ index, &other, { 0, 0 } }));
    EXPECT_FALSE (e().isInterestedInDragSource ({ "text", &list, { 0, 0 } }));

    e().itemDropped (drop);
    deliver();

    ASSERT_EQ (graph (1).getNumNodes(), 1);
    auto& node = *graph (1).getNode (0);
    EXPECT_EQ (node.getName(), "ParamEq8");
    EXPECT_DOUBLE_EQ (node.getPosition().x, 500.0 / e().getWidth());
    EXPECT_DOUBLE_EQ (node.getPosition().y, 396.0 / e().getHeight());
    EXPECT_TRUE (node.loadText.endsWith ("%"));
    EXPECT_TRUE (node.biquadMark) << "a biquad bank is marked when its box is made";
    EXPECT_GT (node.commandWordCount, 0) << "its command words are built";
    EXPECT_EQ (design.getDspEntry (1)->getProcessCount(), 1);
    EXPECT_EQ (e().findBoxByNodeId (1)->getBounds().getCentre(), juce::Point<int> (500, 396));
    EXPECT_EQ (host.createdBoxes, 1);
    EXPECT_GT (host.sendRequests, 0) << "the project may now send what it loaded";
    EXPECT_EQ (container->findDspById (1)->getLoadText (DspEditor::cyclesLoad).trim().endsWith ("% cycles"), true);
}

TEST_F (ProcessEditorTest, AStaticProcessGoesOnceAndALockedDesignTakesNothing)
{
    EXPECT_NE (place (1, "LevelMeter"), 0u);
    EXPECT_EQ (place (1, "LevelMeter"), 0u);
    EXPECT_NE (place (1, "Limiter"), 0u);
    EXPECT_NE (place (1, "Limiter"), 0u);

    setDesignLocked (true);
    EXPECT_EQ (place (1, "Compressor"), 0u);
    EXPECT_EQ (names (1), (std::vector<juce::String>{ "LevelMeter", "Limiter", "Limiter" }));
}

TEST_F (ProcessEditorTest, ADropOnADspTheBusGraphLacksAddsItsBoxInIdOrder)
{
    addDsp (3, core8);
    addDsp (2, core8);
    auto& bus = design.getBusGraph();
    bus.removeNode (2);
    ASSERT_EQ (bus.findNodeById (2), nullptr);

    EXPECT_NE (place (2, "Limiter"), 0u);
    ASSERT_EQ (bus.getNumNodes(), 3);
    EXPECT_EQ (bus.getNodeId (0), 1u);
    EXPECT_EQ (bus.getNodeId (1), 2u);
    EXPECT_EQ (bus.getNodeId (2), 3u);
    EXPECT_EQ (bus.findNodeById (2)->getName(), "DSP");
    EXPECT_NEAR (bus.findNodeById (2)->getPosition().x, 0.2, 1e-6);
    EXPECT_EQ (bus.findNodeById (2)->outputCount, 8u);

    EXPECT_NE (place (2, "Limiter"), 0u);
    EXPECT_EQ (bus.getNumNodes(), 3) << "added only when absent";
}

TEST_F (ProcessEditorTest, TheInsertActionsRefuseWhatTheyCannotDoAndUndoWithoutBoxes)
{
    const auto limiter = place (1, "Limiter");
    const auto other = place (1, "Limiter");
    connect (1, limiter, 0, other, 0);
    host.history.clearUndoHistory();

    // A connection already there is not added again, and its undo leaves it.
    host.history.beginNewTransaction();
    EXPECT_FALSE (host.history.perform (new ProcessEditor::InsertConnectionAction (graph (1), { limiter, 0, other, 0 }, true)));
    EXPECT_EQ (graph (1).getConnection (0)->flag, 0);
    EXPECT_FALSE (host.history.canUndo());

    // Inserted and undone at once, before any box was made for it.
    ProcessGraphEdits::NewProcess process;
    process.name = "Fresh";
    process.definition = library().findModuleById (core8)->findProcessById (0x203);
    process.x = process.y = 0.5;
    host.history.beginNewTransaction();
    ASSERT_TRUE (host.history.perform (new ProcessEditor::InsertAction (graph (1), &library(), 1, process)));
    const auto nrpn = graph (1).getLastAddedNode()->nrpn;
    EXPECT_TRUE (host.history.undo());
    EXPECT_EQ (graph (1).getNumNodes(), 2);
    EXPECT_TRUE (host.history.redo());
    EXPECT_EQ (graph (1).findNodeById (3)->nrpn, nrpn);
    deliver();
    EXPECT_EQ (e().getBoxes().size(), 3);

    // A full graph refuses the 64th without touching another node.
    for (int i = graph (1).getNumNodes(); i < GraphData::maxNodes; ++i)
        graph (1).addNode ("Filler", true, nullptr, 0.5, 0.5);

    const auto words = graph (1).getNode (62)->channelWord;
    process.channelWord = 7;
    EXPECT_FALSE (host.history.perform (new ProcessEditor::InsertAction (graph (1), &library(), 1, process)));
    EXPECT_EQ (graph (1).getNode (62)->channelWord, words);
}

TEST_F (ProcessEditorTest, RemovingASelectionTakesTheRightProcessesInOneStepEach)
{
    for (auto* name : { "Compressor", "Limiter", "Compander", "ShelfEq2" })
        place (1, name);

    connect (1, 1, 0, 2, 0);
    connect (1, 3, 0, 4, 0);
    host.history.clearUndoHistory();

    e().findBoxByNodeId (1)->setSelected (true);
    e().findBoxByNodeId (3)->setSelected (true);
    EXPECT_TRUE (e().keyPressed (juce::KeyPress (juce::KeyPress::deleteKey)));
    deliver();
    EXPECT_EQ (names (1), (std::vector<juce::String>{ "Limiter", "ShelfEq2" }));
    EXPECT_EQ (graph (1).getNumConnections(), 0);

    EXPECT_TRUE (host.history.undo());
    deliver();
    EXPECT_EQ (names (1), (std::vector<juce::String>{ "Limiter", "Compander", "ShelfEq2" }));
    EXPECT_TRUE (host.history.undo());
    deliver();
    EXPECT_EQ (names (1), (std::vector<juce::String>{ "Compressor", "Limiter", "Compander", "ShelfEq2" }));
    EXPECT_EQ (graph (1).getNumConnections(), 2);
}

TEST_F (ProcessEditorTest, TheKeysActInTheirOrderAndUndoOnlyWhereTheUserLooks)
{
    place (1, "Compressor");
    place (1, "Limiter");

    EXPECT_TRUE (e().keyPressed (juce::KeyPress ('a', ctrlKeys, 0)));
    EXPECT_EQ (selection(), (std::vector<bool>{ true, true }));
    EXPECT_TRUE (e().keyPressed (juce::KeyPress ('a', ctrlShiftKeys, 0)));
    EXPECT_EQ (selection(), (std::vector<bool>{ false, false }));
    e().selectAll (true);
    EXPECT_TRUE (e().keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_EQ (selection(), (std::vector<bool>{ false, false }));

    // Copy and paste into the same DSP: Ctrl+V unselects first.
    e().findBoxByNodeId (1)->setSelected (true);
    EXPECT_TRUE (e().keyPressed (juce::KeyPress ('c', ctrlKeys, 0)));
    EXPECT_TRUE (e().keyPressed (juce::KeyPress ('v', ctrlKeys, 0)));
    deliver();
    EXPECT_EQ (selection(), (std::vector<bool>{ false, false, true }));

    // On another tab undo and redo only say where they work.
    host.shown = false;
    EXPECT_TRUE (e().keyPressed (juce::KeyPress ('z', ctrlKeys, 0)));
    EXPECT_TRUE (e().keyPressed (juce::KeyPress ('y', ctrlKeys, 0)));
    deliver();
    EXPECT_EQ (graph (1).getNumNodes(), 3);
    EXPECT_EQ (host.busMessages,
               juce::StringArray ({ ProcessEditor::undoElsewhereMessage, ProcessEditor::undoElsewhereMessage }));

    host.shown = true;
    EXPECT_TRUE (e().keyPressed (juce::KeyPress ('z', ctrlKeys, 0)));
    deliver();
    EXPECT_EQ (graph (1).getNumNodes(), 2);
    EXPECT_TRUE (e().keyPressed (juce::KeyPress ('z', ctrlShiftKeys, 0)));
    deliver();
    EXPECT_EQ (graph (1).getNumNodes(), 3);
    EXPECT_TRUE (e().keyPressed (juce::KeyPress ('z', ctrlKeys, 0)));
    EXPECT_TRUE (e().keyPressed (juce::KeyPress ('y', ctrlKeys, 0)));
    deliver();
    EXPECT_EQ (graph (1).getNumNodes(), 3);

    EXPECT_FALSE (e().keyPressed (juce::KeyPress ('s', ctrlKeys, 0))) << "the project's keys go on to the window";
}

TEST_F (ProcessEditorTest, TheBackgroundMenuFollowsTheSelectionHistoriesAndLock)
{
    auto enabled = [this] (int id)
    {
        const auto menu = e().buildMenu();
        auto* item = findItem (menu, id);
        EXPECT_NE (item, nullptr) << id;
        return item != nullptr && item->isEnabled;
    };

    using M = ProcessEditor::MenuItem;
    EXPECT_FALSE (enabled (M::copyItem));
    EXPECT_FALSE (enabled (M::pasteItem));
    EXPECT_FALSE (enabled (M::selectAllItem));

    place (1, "Compressor");
    EXPECT_TRUE (enabled (M::undoItem));
    EXPECT_FALSE (enabled (M::redoItem));
    EXPECT_TRUE (enabled (M::selectAllItem));

    dialogs.menuChoices = { M::selectAllItem, M::copyItem };
    vxtest::rightClick (dialogs, e(), { 10, 10 });
    EXPECT_EQ (selection(), (std::vector<bool>{ true }));
    EXPECT_EQ (dialogs.menuItemHeights.back(), 18);
    vxtest::rightClick (dialogs, e(), { 10, 10 });
    EXPECT_TRUE (enabled (M::pasteItem));
    EXPECT_TRUE (enabled (M::removeItem));

    e().handleMenuResult (M::undoItem);
    deliver();
    EXPECT_EQ (graph (1).getNumNodes(), 0);
    EXPECT_TRUE (enabled (M::redoItem));

    setDesignLocked (true);
    const auto locked = e().buildMenu();
    juce::PopupMenu::MenuItemIterator it (locked);
    ASSERT_TRUE (it.next());
    EXPECT_EQ (it.getItem().text, "Design locked");
    EXPECT_FALSE (it.getItem().isEnabled);
    EXPECT_FALSE (it.next());
}

TEST_F (ProcessEditorTest, TheLassoSelectsWhatItCoversAndWithCtrlAddsToTheSelection)
{
    const auto left = place (1, "Compressor", { 200, 200 });
    const auto right = place (1, "Limiter", { 700, 200 });
    const auto below = place (1, "Compander", { 200, 700 });
    connect (1, left, 0, right, 0);

    // A drag around the left box alone.
    e().mouseDown (makeMouseEvent (e(), { 50, 50 }));
    e().mouseDrag (makeMouseEvent (e(), { 300, 300 }, {}, 1, true, { 50, 50 }));
    EXPECT_EQ (selection(), (std::vector<bool>{ true, false, false }));
    ASSERT_NE (e().getLasso(), nullptr);
    EXPECT_EQ (e().getLasso()->getArea(), juce::Rectangle<float> (50, 50, 250, 250));
    e().mouseUp (makeMouseEvent (e(), { 300, 300 }, {}, 1, true, { 50, 50 }));
    EXPECT_EQ (e().getLasso(), nullptr);
    EXPECT_EQ (graph (1).getSelectionCount(), 1);

    // With Ctrl, a second lasso around the box below adds it.
    const juce::ModifierKeys withCtrl (juce::ModifierKeys::ctrlModifier);
    e().mouseDown (makeMouseEvent (e(), { 100, 600 }, withCtrl));
    e().mouseDrag (makeMouseEvent (e(), { 300, 800 }, withCtrl, 1, true, { 100, 600 }));
    e().mouseUp (makeMouseEvent (e(), { 300, 800 }, withCtrl, 1, true, { 100, 600 }));
    EXPECT_EQ (selection(), (std::vector<bool>{ true, false, true }));

    // Without it, a press on the background starts afresh.
    e().mouseDown (makeMouseEvent (e(), { 1500, 1500 }));
    EXPECT_EQ (selection(), (std::vector<bool>{ false, false, false }));
    e().mouseUp (makeMouseEvent (e(), { 1500, 1500 }));
    juce::ignoreUnused (below);
}

TEST_F (ProcessEditorTest, SynchroniseMakesBoxesOnceAndSetsUpTheirMemory)
{
    const auto delay = place (1, "ShortDelay");
    const auto bank = place (1, "SampleBank");
    const auto created = e().getCreatedBoxCount();

    auto& delayNode = *graph (1).findNodeById (delay);
    auto* definition = delayNode.getProcessDefinition();
    ASSERT_NE (definition->memoryClassWord, 0u);
    EXPECT_EQ (delayNode.memoryWord, definition->memoryClassWord) << "its memory class is its memory";
    EXPECT_EQ (delayNode.memoryChoice, (int) (delayNode.memoryWord & 3));

    if (auto* combo = e().findBoxByNodeId (delay)->getMemoryCombo())
    {
        EXPECT_FALSE (combo->isEnabled()) << "a fixed memory cannot be chosen";
        EXPECT_EQ (combo->getSelectedId(), delayNode.memoryChoice);
    }

    e().synchronise();
    e().synchronise();
    EXPECT_EQ (e().getCreatedBoxCount(), created);
    EXPECT_EQ (e().getBoxes().size(), 2);
    juce::ignoreUnused (bank);
}

TEST_F (ProcessEditorTest, ARefreshRequestIsHandledOnceWithTheNextChange)
{
    addDsp (2, core8);
    place (2, "Compressor");
    auto& other = *container->findDspById (2);
    const auto before = other.getLoadText (DspEditor::cyclesLoad);

    // A faster rate leaves fewer cycles: the other page shows it only once refreshed.
    design.getSettings().setSamplingIndex (4);
    graph (1).setRefreshRequest (1);
    place (1, "Limiter");
    EXPECT_EQ (graph (1).getRefreshRequest(), 0);
    EXPECT_TRUE (graph (1).isRefreshHandled());
    EXPECT_NE (other.getLoadText (DspEditor::cyclesLoad), before);
    EXPECT_EQ (other.getLoadText (DspEditor::cyclesLoad),
               juce::String::formatted (" %03.2f%% cycles", design.estimateDspLoad (2).cycles));

    place (1, "Compander");
    EXPECT_FALSE (graph (1).isRefreshHandled()) << "an ordinary change clears the marker";
}
