#include "DspPagesFixture.h"

#include "editors/SelectorComponent.h"
#include "editors/TextPropertyComponentWithFocus.h"

#include <map>
#include <set>
#include <tuple>

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
    EXPECT_TRUE (node.biquadMark) << "a biquad bank is marked when it is placed";
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

namespace
{
// What a process holds, as the user set it, in a form two processes of the
// same definition compare by: each control number's NRPN byte is the
// process's own and is left out.
struct Held
{
    uint32_t channelWord = 0, memoryWord = 0;
    int memoryChoice = 0;
    std::vector<uint32_t> words, secondWords;

    static Held of (const GraphNode& node)
    {
        Held held{ node.channelWord, node.memoryWord, node.memoryChoice, {}, node.secondCommandWords };

        for (auto word : node.commandWords)
        {
            EXPECT_TRUE (word == 0 || ((word >> 8) & 0xFF) == (node.nrpn & 0xFF)) << node.getName() << " " << word;
            held.words.push_back (word & 0xFFFF00FFu);
        }

        return held;
    }

    bool operator== (const Held& o) const
    {
        return std::tie (channelWord, memoryWord, memoryChoice, words, secondWords) ==
               std::tie (o.channelWord, o.memoryWord, o.memoryChoice, o.words, o.secondWords);
    }
};
} // namespace

// The memory type and the control numbers the user set stay with a process
// whichever way its box is made again: its removal undone, its insertion
// redone, a count change undone, pasted (into this DSP or another; the
// delay is static and stays), the project reopened; and the reopened
// project saves as it was saved.
TEST_F (ProcessEditorTest, ABoxMadeAgainShowsWhatItsProcessHolds)
{
    addDsp (2, core8);
    const auto eq = place (1, "ParamEq8");
    const auto delay = place (1, "LongDelay");
    connect (1, eq, 0, delay, 0);

    auto* combo = e().findBoxByNodeId (delay)->getMemoryCombo();
    ASSERT_NE (combo, nullptr);
    combo->setSelectedId (GraphNode::memoryChoiceInternal24BitRam, juce::sendNotificationSync);
    TextPropertyComponentWithFocus::applyText (*graph (1).findNodeById (eq), 1, "01C7");
    deliver();

    std::map<juce::String, Held> set;

    for (auto id : { eq, delay })
        set[graph (1).findNodeById (id)->getName()] = Held::of (*graph (1).findNodeById (id));

    ASSERT_EQ (set["LongDelay"].memoryWord, 3u);
    ASSERT_EQ (set["ParamEq8"].words[1] & 0xFF, 0xC7u);

    auto expectHeld = [&] (const char* when, uint32_t dsp)
    {
        for (int i = 0; i < graph (dsp).getNumNodes(); ++i)
        {
            auto& node = *graph (dsp).getNode (i);
            EXPECT_EQ (Held::of (node), set[node.getName()]) << when << ": " << node.getName();

            if (auto* memory = editor (dsp).findBoxByNodeId (node.getId())->getMemoryCombo())
            {
                EXPECT_EQ (memory->getSelectedId(), node.memoryChoice) << when;
            }
        }
    };

    while (host.history.undo())
        deliver();

    ASSERT_EQ (graph (1).getNumNodes(), 0);

    while (host.history.redo())
    {
    }

    deliver();
    expectHeld ("every step redone", 1);

    e().selectAll (true);
    e().removeSelection();
    deliver();
    EXPECT_TRUE (host.history.undo());
    EXPECT_TRUE (host.history.undo());
    deliver();
    expectHeld ("removal undone", 1);

    // A count change builds the words the count gives afresh, whether the
    // command view is on or off, and keeps those the user typed.
    e().findBoxByNodeId (eq)->getCountSlider()->setValue (4.0, juce::sendNotificationSync);
    deliver();
    EXPECT_EQ (graph (1).findNodeById (eq)->commandWords[1] & 0xFF, 0xC7u);
    EXPECT_TRUE (host.history.undo());
    deliver();
    expectHeld ("count change undone", 1);

    e().selectAll (true);
    e().copySelection();

    for (auto dsp : { 2u, 2u, 1u })
        editor (dsp).pasteSelection();

    deliver();
    expectHeld ("pasted", 1);
    expectHeld ("pasted", 2);

    const auto saved = saveAndReopen();
    expectHeld ("reopened", 1);
    expectHeld ("reopened", 2);
    EXPECT_EQ (saveText(), saved);
}

// Removing a process closes up the ids of those after it: every connector
// goes on showing its own connection, with its selection, at once and after
// the view synchronises, so that a copy takes the connection the user chose;
// undoing the removal renumbers them back.
TEST_F (ProcessEditorTest, ConnectorsFollowTheirConnectionsWhenProcessesAreRenumbered)
{
    const auto first = place (1, "ParamEq8", { 150, 300 });
    const auto second = place (1, "ParamEq8", { 400, 300 });
    const auto shelf = place (1, "ShelfEq2", { 650, 300 });
    const auto delay = place (1, "ShortDelay", { 900, 300 });
    connect (1, first, 0, second, 0);
    connect (1, second, 0, shelf, 0);
    connect (1, shelf, 0, delay, 0);

    // Each connector as the user sees it: the numbers of its ends and its selection.
    using Shown = std::set<std::tuple<uint32_t, uint32_t, bool>>;
    auto shown = [this]
    {
        Shown result;

        for (auto* c : e().getConnectors())
        {
            auto* source = graph (1).findNodeById (c->getSourceNode());
            auto* dest = graph (1).findNodeById (c->getDestNode());
            result.insert ({ source != nullptr ? source->nrpn : 0, dest != nullptr ? dest->nrpn : 0, c->isSelected() });
            EXPECT_TRUE (c->getTooltip().contains (source != nullptr ? source->getName() : "?")) << c->getTooltip();
        }

        return result;
    };

    e().findBoxByNodeId (first)->setSelected (true);
    bool found = false;
    auto* chosen = e().findConnectorFor (*graph (1).getConnection (graph (1).findConnection (second, 0, shelf, 0, found, 15)));
    ASSERT_TRUE (found);
    const juce::ModifierKeys withCtrl (juce::ModifierKeys::ctrlModifier);
    chosen->mouseDown (makeMouseEvent (*chosen, { 4, 4 }, withCtrl));
    chosen->mouseUp (makeMouseEvent (*chosen, { 4, 4 }, withCtrl, 1, false, { 4, 4 }));
    ASSERT_TRUE (chosen->isSelected());

    EXPECT_TRUE (e().keyPressed (juce::KeyPress (juce::KeyPress::deleteKey)));
    EXPECT_EQ (shown(), (Shown{ { 2, 3, true }, { 3, 4, false } })) << "at once";
    deliver();
    EXPECT_EQ (shown(), (Shown{ { 2, 3, true }, { 3, 4, false } })) << "synchronised";

    // The three processes left, with the one connection chosen, copied and
    // pasted (the delay is static: it stays).
    for (auto* box : e().getBoxes())
        box->setSelected (true);

    EXPECT_TRUE (e().keyPressed (juce::KeyPress ('c', juce::ModifierKeys::ctrlModifier, 0)));
    e().handleMenuResult (ProcessEditor::pasteItem);
    deliver();
    ASSERT_EQ (graph (1).getNumNodes(), 5);
    ASSERT_EQ (graph (1).getNumConnections(), 3);
    auto* pasted = graph (1).getConnection (2);
    EXPECT_EQ (graph (1).findNodeById (pasted->sourceNode)->getName(), "ParamEq8");
    EXPECT_EQ (graph (1).findNodeById (pasted->destNode)->getName(), "ShelfEq2");
    EXPECT_GT (pasted->sourceNode, 3u);

    EXPECT_TRUE (host.history.undo());
    EXPECT_TRUE (host.history.undo());
    deliver();
    EXPECT_EQ (shown(), (Shown{ { 1, 2, false }, { 2, 3, true }, { 3, 4, false } }));
}
