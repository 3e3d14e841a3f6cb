#include "editors/ActionManager.h"
#include "editors/ConnectorComponent.h"
#include "editors/GraphEditorView.h"
#include "editors/SelectorComponent.h"
#include "editors/Zorvex.h"
#include "editors/ZorvexBus.h"
#include "model/DesignLog.h"

#include "support/ProcessTestLibrary.h"
#include "support/UiTestSupport.h"
#include "support/XSession.h"

#include <set>

using vxtest::makeMouseEvent;

namespace
{
std::vector<std::pair<int, juce::String>> topLevelItems (const juce::PopupMenu& menu)
{
    std::vector<std::pair<int, juce::String>> items;

    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        items.emplace_back (it.getItem().itemID, it.getItem().isSeparator ? juce::String ("--") : it.getItem().text);

    return items;
}

const juce::PopupMenu::Item* findItem (const juce::PopupMenu& menu, int id)
{
    for (juce::PopupMenu::MenuItemIterator it (menu, true); it.next();)
        if (it.getItem().itemID == id)
            return &it.getItem();

    return nullptr;
}

// A DSP's process graph shown on a plain surface, with an edit history.
class NodeBoxTest : public ::testing::Test
{
protected:
    NodeBoxTest()
    {
        view.setEditHistory (&history);
        view.setLibrary (&design.library, vxtest::ProcessTestLibrary::dspId);
        view.setBounds (0, 0, 1000, 800);
        view.setVisible (true);
    }

    ~NodeBoxTest() override { clearDesignFlags(); }

    // Change messages are delivered later, as in the program.
    void deliver()
    {
        design.graph.dispatchPendingMessages();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    }

    uint32_t place (const char* name, double x, double y)
    {
        const auto id = design.place (name, x, y);
        deliver();
        return id;
    }

    Zorvex& box (uint32_t id)
    {
        auto* b = view.findBoxByNodeId (id);
        EXPECT_NE (b, nullptr) << "no box for node " << id;
        return *b;
    }

    juce::Colour pixelAt (juce::Component& c, int x, int y)
    {
        const auto image = c.createComponentSnapshot (c.getLocalBounds(), false, 1.0f);
        return image.getPixelAt (x, y);
    }

    vxtest::ScriptedDialogs dialogs;
    vxtest::ProcessTestLibrary design;
    ActionManager history;
    GraphEditorView view{ design.graph, true };
};
} // namespace

TEST_F (NodeBoxTest, SynchroniseMakesOneBoxPerNodeWhereTheNodeSaysAndNothingMoreTheSecondTime)
{
    const auto plain = place ("Plain", 0.25, 0.5);
    const auto mix = place ("MixN", 0.75, 0.5);
    design.graph.addConnection (plain, 0, mix, 1);
    deliver();

    ASSERT_EQ (view.getBoxes().size(), 2);
    ASSERT_EQ (view.getConnectors().size(), 1);
    EXPECT_EQ (box (plain).getBounds().getCentre(), juce::Point<int> (250, 400));
    EXPECT_EQ (box (plain).getMode(), Zorvex::processMode);
    EXPECT_EQ (design.node (plain).getBox(), &box (plain));
    EXPECT_EQ (design.graph.getConnection (0)->connector, view.getConnectors()[0]);

    const auto* firstBox = view.getBoxes()[0];
    const auto* firstConnector = view.getConnectors()[0];
    view.synchronise();
    view.synchronise();
    EXPECT_EQ (view.getBoxes().size(), 2);
    EXPECT_EQ (view.getBoxes()[0], firstBox);
    EXPECT_EQ (view.getConnectors()[0], firstConnector);
    EXPECT_EQ (view.getNumChildComponents(), 3);
}

TEST_F (NodeBoxTest, BoxSizesFollowTheSizeRuleAndPinsSitAtEvenFractions)
{
    const auto plain = place ("Plain", 0.2, 0.2);
    const auto mix = place ("MixN", 0.6, 0.6);

    EXPECT_EQ (box (plain).getWidth(), Zorvex::width);
    EXPECT_EQ (box (plain).getHeight(), Zorvex::smallHeight) << "no count flags: the box keeps 83";
    EXPECT_EQ (box (mix).getHeight(), Zorvex::smallHeight) << "a count of 2";
    EXPECT_EQ (box (mix).getNumPins (true), 2);
    EXPECT_EQ (box (mix).getNumPins (false), 1);

    // Grown to 4 the mixer is 162 high with four input pins at fifths.
    history.perform (new Zorvex::ChangeNCountAction (design.graph, design.node (mix).nrpn, 0x40000004, 0x40000002));
    deliver();
    auto& b = box (mix);
    ASSERT_EQ (b.getHeight(), 162);
    ASSERT_EQ (b.getNumPins (true), 4);

    for (uint32_t i = 0; i < 4; ++i)
    {
        auto* pin = b.findPin (mix, i, true);
        ASSERT_NE (pin, nullptr);
        EXPECT_EQ (pin->getX(), 0);
        EXPECT_EQ (pin->getBounds().getCentreY(), juce::roundToInt ((float) (i + 1) / 5.0f * 162.0f));
    }

    EXPECT_EQ (b.findPin (mix, 0, false)->getRight(), Zorvex::width);
    EXPECT_EQ (b.getPinCentre (2, true), b.findPin (mix, 2, true)->getBounds().toFloat().getCentre() + b.getPosition().toFloat());

    // A shrink to 2 goes back to 83; a growth from 1 to 2 would give 156.
    history.perform (new Zorvex::ChangeNCountAction (design.graph, design.node (mix).nrpn, 0x40000002, 0x40000004));
    deliver();
    EXPECT_EQ (b.getHeight(), Zorvex::smallHeight);
    EXPECT_EQ (Zorvex::computeHeight (0x40000002, 0x40000002, 0x40000001, 83, true), 156);
    EXPECT_EQ (Zorvex::computeHeight (0x20000002, 0x20000009, 0x20000002, 150, true), 83) << "one pin per side";
    EXPECT_EQ (Zorvex::computeHeight (0x10000001, 0x10000400, 1, 150, true), 83) << "a delay keeps the small box";
    EXPECT_EQ (Zorvex::computeHeight (1, 7, 1, 120, true), 120) << "no count flags: the size stays";
}

TEST_F (NodeBoxTest, MenusHoldTheirItemsInOrderAndLockDisablesTheEdits)
{
    const auto plain = place ("Plain", 0.2, 0.2);
    auto* staticDefinition = design.define ("Static", 0x30, 1, 1, 1, {});
    staticDefinition->fromSps = true;
    design.graph.addNode ("Static", true, staticDefinition, 0.5, 0.5);
    const auto staticId = design.graph.getLastAddedNode()->getId();
    deliver();

    const auto menu = box (plain).buildMenu();
    const std::vector<std::pair<int, juce::String>> expected{ { 1, "Remove selected <DEL>" },
                                                              { 2, "Copy selected <CTRL+C>" },
                                                              { 0, "--" },
                                                              { 3, "Set name" },
                                                              { 4, "Set legacy name" },
                                                              { 0, "--" },
                                                              { 0, "Save preset" },
                                                              { 0, "Load preset" },
                                                              { 0, "Remove Preset" },
                                                              { 0, "--" } };
    EXPECT_EQ (topLevelItems (menu), expected);
    ASSERT_NE (findItem (menu, Zorvex::createPresetItem), nullptr);
    EXPECT_EQ (findItem (menu, Zorvex::createPresetItem)->text, "Create new from current settings");
    EXPECT_NE (findItem (menu, Zorvex::removeAllPresetsItem), nullptr);

    const auto staticMenu = box (staticId).buildMenu();
    ASSERT_NE (findItem (staticMenu, 2), nullptr);
    EXPECT_EQ (findItem (staticMenu, 2)->text, "Static process not copyable");
    EXPECT_FALSE (findItem (staticMenu, 2)->isEnabled);

    setDesignLocked (true);
    const auto locked = box (plain).buildMenu();
    EXPECT_FALSE (findItem (locked, 1)->isEnabled);
    EXPECT_FALSE (findItem (locked, 2)->isEnabled);
    EXPECT_FALSE (findItem (locked, 3)->isEnabled);
    EXPECT_FALSE (findItem (locked, 4)->isEnabled);

    // A DSP box on the bus editor.
    clearDesignFlags();
    GraphData bus;
    GraphEditorView busView (bus, false);
    bus.addNode ("DSP", false, nullptr, 0.5, 0.5);
    busView.setBounds (0, 0, 400, 400);
    auto* dspBox = busView.findBoxByNodeId (1);
    ASSERT_NE (dspBox, nullptr);
    EXPECT_EQ (dspBox->getMode(), Zorvex::dspMode);
    const std::vector<std::pair<int, juce::String>> dspItems{
        { 1, "Remove DSP" }, { 3, "Set name" }, { 4, "Set legacy name" }, { 0, "--" }, { 20, "Help" }
    };
    EXPECT_EQ (topLevelItems (dspBox->buildMenu()), dspItems);

    // Every edit of a DSP box is offered disabled while the design is locked.
    setDesignLocked (true);
    const auto lockedDsp = dspBox->buildMenu();

    for (int id : { 1, 3, 4 })
        EXPECT_FALSE (findItem (lockedDsp, id)->isEnabled) << id;

    EXPECT_TRUE (findItem (lockedDsp, 20)->isEnabled) << "help";
    dspBox->handleMenuResult (Zorvex::setNameItem);
    EXPECT_EQ (dspBox->getNameEditor(), nullptr);
    clearDesignFlags();

    // Its pins come from the DSP's module; fewer remove the ones past the count.
    dspBox->createPins (3, 2);
    EXPECT_EQ (dspBox->getNumPins (true), 3);
    EXPECT_EQ (dspBox->findPin (1, 1, false)->getTooltip(), "DSP#1 Output1");
    EXPECT_EQ (topLevelItems (dspBox->findPin (1, 0, true)->buildMenu()).size(), 2u) << "Audio Input, Internal Bus";
    dspBox->createPins (1, 2);
    EXPECT_EQ (dspBox->getNumPins (true), 1);
    EXPECT_EQ (dspBox->findPin (1, 2, true), nullptr);

    // A plain click leaves a DSP box unselected; Ctrl selects it.
    dspBox->mouseUp (makeMouseEvent (*dspBox, { 60, 40 }));
    EXPECT_FALSE (dspBox->isSelected());
    dspBox->mouseUp (makeMouseEvent (*dspBox, { 60, 40 }, juce::ModifierKeys::ctrlModifier));
    EXPECT_TRUE (dspBox->isSelected());

    // "Remove DSP" asks first ("Yes" or "No") and cannot be undone: the history empties.
    history.perform (new Zorvex::ChangeMemDelayAction (design.graph, design.node (plain).nrpn, 2));
    busView.setEditHistory (&history);
    dialogs.buttonChoices.push_back (1);
    dspBox->handleMenuResult (Zorvex::removeItem);
    EXPECT_TRUE (history.canUndo());
    dialogs.buttonChoices.push_back (0);
    dspBox->handleMenuResult (Zorvex::removeItem);
    EXPECT_FALSE (history.canUndo());
    EXPECT_TRUE (dialogs.questions.empty()) << "no Cancel";
    ASSERT_EQ (dialogs.buttonQuestions.size(), 2u);
    EXPECT_EQ (dialogs.buttonQuestions[0].title, "Delete DSP");
    EXPECT_EQ (dialogs.buttonQuestions[0].text, "Do you really want to delete this DSP?\nPrevious changes will be irreversible.");
    EXPECT_EQ (dialogs.buttonQuestions[0].buttonText, "Yes|No");
}

TEST_F (NodeBoxTest, PinMenusTooltipsAndChipNames)
{
    const auto keyed = place ("Keyed", 0.3, 0.3);
    const auto vector = place ("Vector", 0.6, 0.3);
    auto* key = box (keyed).findPin (keyed, 1, true);
    ASSERT_NE (key, nullptr);
    EXPECT_TRUE (key->mustConnect()) << "a virtual pin is drawn green";
    EXPECT_EQ (key->getTooltip(), "Process#1 Input1 - [Warning! Must be connected to another GREEN pin]");
    EXPECT_EQ (box (vector).findPin (vector, 0, false)->getTooltip(),
               "Process#2 Output0 - [Warning! 1st output index MUST be even]");

    // The DSP's module has 8 inputs and 6 outputs: a DSP input on the virtual pin is refused.
    const auto keyMenu = key->buildMenu();
    EXPECT_EQ (topLevelItems (keyMenu).size(), 8u);
    EXPECT_FALSE (findItem (keyMenu, 1)->isEnabled);
    const auto outMenu = box (keyed).findPin (keyed, 0, false)->buildMenu();
    EXPECT_EQ (topLevelItems (outMenu).size(), 6u);
    EXPECT_EQ (findItem (outMenu, 6)->text, "DSPOUT5");
    EXPECT_TRUE (findItem (outMenu, 6)->isEnabled);

    EXPECT_EQ (ZorvexBus::getChipPinName (1, true), "DAAD0L");
    EXPECT_EQ (ZorvexBus::getChipPinName (16, false), "DABD7R");
    EXPECT_EQ (ZorvexBus::getChipPinName (20, true), "IBUS3");
    EXPECT_EQ (ZorvexBus::getChipPinName (32, true), "IBUSF");
    EXPECT_EQ (ZorvexBus::getChipPinName (33, true), "");
}

TEST_F (NodeBoxTest, AConnectorIsHitAlongItsCurveButNotBesideItOrNearItsEnds)
{
    const auto a = place ("Plain", 0.2, 0.3);
    const auto b = place ("Plain", 0.6, 0.6);
    design.graph.addConnection (a, 0, b, 1);
    deliver();

    auto* connector = view.getConnectors()[0];
    const auto start = box (a).getPinCentre (0, false), end = box (b).getPinCentre (1, true);
    EXPECT_EQ (connector->getStartPoint(), start);
    EXPECT_EQ (connector->getEndPoint(), end);
    EXPECT_EQ (connector->getBounds(), ConnectorComponent::boundsFor (start, end));

    // On the curve: its midpoint and the points at a quarter and three quarters.
    auto curvePoint = [start, end] (float t)
    {
        const juce::Point<float> c1 (start.x + (end.x - start.x) / 3.0f, start.y),
            c2 (start.x + 2.0f * (end.x - start.x) / 3.0f, end.y);
        const float u = 1.0f - t;
        return start * (u * u * u) + c1 * (3.0f * u * u * t) + c2 * (3.0f * u * t * t) + end * (t * t * t);
    };

    for (float t : { 0.25f, 0.5f, 0.75f })
    {
        const auto p = (curvePoint (t) - connector->getPosition().toFloat()).roundToInt();
        EXPECT_TRUE (connector->hitTest (p.x, p.y)) << "t = " << t;
        EXPECT_FALSE (connector->hitTest (p.x, p.y - 15)) << "beside the curve at t = " << t;
    }

    const auto nearStart = (start - connector->getPosition().toFloat()).roundToInt() + juce::Point<int> (4, 0);
    EXPECT_FALSE (connector->hitTest (nearStart.x, nearStart.y)) << "near an end the pin is pressed";
    EXPECT_EQ (view.getComponentAt (box (a).getPinCentre (0, false).roundToInt()), box (a).findPin (a, 0, false));

    // Vertical: at least 8 wide; the arrow points along the line.
    EXPECT_EQ (ConnectorComponent::boundsFor ({ 10, 10 }, { 10, 90 }).getWidth(), 8);
    EXPECT_NEAR (ConnectorComponent::arrowAngle ({ 0, 0 }, { 10, 0 }), 0.0f, 1e-6f);
    EXPECT_NEAR (ConnectorComponent::arrowAngle ({ 0, 0 }, { 0, 10 }), juce::MathConstants<float>::halfPi, 1e-6f);

    EXPECT_EQ (connector->getTooltip(), "Plain#1-Output[0] - to - Plain#2-Input[1]");
}

TEST_F (NodeBoxTest, TheLassoSelectsExactlyTheBoxesItIntersects)
{
    const std::vector<uint32_t> ids{ place ("Plain", 0.1, 0.1), place ("Plain", 0.3, 0.1), place ("Plain", 0.1, 0.5),
                                     place ("Plain", 0.8, 0.8) };
    SelectorComponent lasso;
    view.addAndMakeVisible (lasso);
    lasso.begin (20, 20);
    lasso.moveTo (260, 120);

    std::set<uint32_t> inside;

    for (auto id : ids)
        if (lasso.intersects (box (id)))
            inside.insert (id);

    EXPECT_EQ (inside, (std::set<uint32_t>{ ids[0], ids[1] }));
    EXPECT_EQ (lasso.getBounds(), juce::Rectangle<int> (16, 16, 248, 108));
}

TEST_F (NodeBoxTest, SelectionAndMustConnectAreDrawnInTheirColours)
{
    const auto keyed = place ("Keyed", 0.3, 0.3);
    const auto other = place ("Keyed", 0.7, 0.3);
    design.graph.addConnection (keyed, 1, other, 1);
    deliver();
    auto& b = box (keyed);

    // The outline on the top edge of the black body, half-way across.
    const int x = b.getWidth() / 2, y = 18;
    EXPECT_EQ (pixelAt (b, x, y).getRed(), 0xFF);
    EXPECT_LT (pixelAt (b, x, y).getBlue(), 0x40) << "orange";
    b.setSelected (true);
    EXPECT_EQ (pixelAt (b, x, y), juce::Colour (Zorvex::selectedColour)) << "yellow";

    auto* key = b.findPin (keyed, 1, true);
    const auto green = pixelAt (*key, 6, 6), expected = juce::Colour (ZorvexBus::mustConnectColour);
    EXPECT_NEAR (green.getRed(), expected.getRed(), 3);
    EXPECT_NEAR (green.getGreen(), expected.getGreen(), 3);
    EXPECT_NEAR (green.getBlue(), expected.getBlue(), 3);
    EXPECT_TRUE (view.getConnectors()[0]->mustConnect());
    view.getConnectors()[0]->setSelected (true);
    EXPECT_EQ (view.getConnectors()[0]->getDrawnColour(), juce::Colour (ConnectorComponent::selectedColour));
}

TEST_F (NodeBoxTest, ClicksSelectAndDragsMoveTheNodeAndTheSelectedGroup)
{
    const auto a = place ("Plain", 0.2, 0.2);
    const auto b = place ("Plain", 0.5, 0.2);
    const auto c = place ("Plain", 0.5, 0.6);

    box (a).mouseUp (makeMouseEvent (box (a), { 60, 40 }));
    EXPECT_TRUE (box (a).isSelected());
    box (b).mouseUp (makeMouseEvent (box (b), { 60, 40 }, juce::ModifierKeys::ctrlModifier));
    EXPECT_TRUE (box (a).isSelected());
    EXPECT_TRUE (box (b).isSelected()) << "Ctrl adds";
    EXPECT_EQ (design.graph.getSelectionCount(), 2);

    // Dragging a selected box moves the other selected one with it.
    const auto bStart = box (b).getPosition();
    box (a).mouseDown (makeMouseEvent (box (a), { 60, 40 }));
    box (a).mouseDrag (makeMouseEvent (box (a), { 160, 120 }, {}, 1, true, { 60, 40 }));
    box (a).mouseUp (makeMouseEvent (box (a), { 160, 120 }, {}, 1, true, { 60, 40 }));
    EXPECT_EQ (box (b).getPosition(), bStart + juce::Point<int> (100, 80));
    EXPECT_NEAR (design.node (a).getPosition().x, 0.3, 1e-3);
    EXPECT_NEAR (design.node (a).getPosition().y, 0.3, 1e-3);
    EXPECT_NEAR (design.node (b).getPosition().x, 0.6, 1e-3);
    EXPECT_NEAR (design.node (c).getPosition().x, 0.5, 1e-3) << "not selected, not moved";

    // A plain click on an unselected box selects it alone.
    box (c).mouseUp (makeMouseEvent (box (c), { 60, 40 }));
    EXPECT_FALSE (box (a).isSelected());
    EXPECT_TRUE (box (c).isSelected());
}

TEST_F (NodeBoxTest, RemovingAProcessWithWiresAndDspPinsIsOneUndoStepThatComesBackExactly)
{
    const auto a = place ("Plain", 0.1, 0.5);
    const auto b = place ("Plain", 0.4, 0.5);
    const auto c = place ("Plain", 0.7, 0.5);
    design.graph.addConnection (a, 0, b, 0);
    design.graph.addConnection (b, 1, c, 1);
    design.graph.addBusPin (b, 0, 0, "DSPOUT2");
    design.graph.addBusPin (c, 0, 1, "DSPIN1");
    deliver();
    const auto before = design.snapshot();

    box (b).mouseUp (makeMouseEvent (box (b), { 60, 40 }));
    ASSERT_TRUE (box (b).isSelected());
    dialogs.menuChoices.push_back (Zorvex::removeItem);
    box (b).mouseDown (makeMouseEvent (box (b), { 60, 40 }, juce::ModifierKeys::rightButtonModifier));
    box (b).mouseUp (makeMouseEvent (box (b), { 60, 40 }, juce::ModifierKeys::rightButtonModifier));
    deliver();
    const auto removed = design.snapshot();
    ASSERT_EQ (design.graph.getNumNodes(), 2);
    EXPECT_EQ (design.graph.getNumConnections(), 0);
    EXPECT_EQ (view.getBoxes().size(), 2);
    EXPECT_EQ (view.getConnectors().size(), 0);

    // The third process closed up to id 2: its box and pins follow.
    auto& moved = box (2);
    EXPECT_EQ (moved.getNode()->nrpn, 3u);
    EXPECT_EQ (moved.findPin (2, 0, true)->getNodeId(), 2u);
    EXPECT_EQ (moved.findPin (2, 0, true)->getTooltip(), "Process#3 Input0");

    ASSERT_TRUE (history.undo());
    deliver();
    EXPECT_EQ (design.snapshot(), before);
    EXPECT_EQ (view.getBoxes().size(), 3);
    EXPECT_EQ (view.getConnectors().size(), 2);

    ASSERT_TRUE (history.redo());
    deliver();
    EXPECT_EQ (design.snapshot(), removed);
    ASSERT_TRUE (history.undo());
    deliver();
    EXPECT_EQ (design.snapshot(), before);
    EXPECT_FALSE (history.canUndo());
}

TEST_F (NodeBoxTest, TheMenuOpensAtTheReleaseAndRemovesTheSelectionAsItStoodBeforeIt)
{
    const auto a = place ("Plain", 0.2, 0.5);
    const auto b = place ("Plain", 0.6, 0.5);
    box (a).mouseUp (makeMouseEvent (box (a), { 60, 40 }));
    ASSERT_TRUE (box (a).isSelected());
    const auto nrpnOfB = design.node (b).nrpn;

    // The press opens nothing: its release cannot choose an item.
    box (b).mouseDown (makeMouseEvent (box (b), { 60, 40 }, juce::ModifierKeys::rightButtonModifier));
    EXPECT_TRUE (dialogs.shownMenus.empty());
    EXPECT_EQ (design.graph.getNumNodes(), 2);

    // The release opens the menu; "Remove selected" removes what was
    // selected, the other box, and the release then selects this one.
    dialogs.menuChoices.push_back (Zorvex::removeItem);
    box (b).mouseUp (makeMouseEvent (box (b), { 60, 40 }, juce::ModifierKeys::rightButtonModifier, 1, false, { 60, 40 }));
    deliver();
    ASSERT_EQ (dialogs.shownMenus.size(), 1u);
    ASSERT_EQ (design.graph.getNumNodes(), 1);
    EXPECT_EQ (design.graph.getNode (0)->nrpn, nrpnOfB);
    auto* left = view.findBoxByNodeId (1);
    ASSERT_NE (left, nullptr);
    EXPECT_TRUE (left->isSelected());
    EXPECT_EQ (design.graph.getSelectionCount(), 1);

    // The pins' menus open at the release too.
    auto* pin = left->findPin (1, 0, false);
    ASSERT_NE (pin, nullptr);
    vxtest::rightClick (dialogs, *pin, { 6, 6 });

    // With nothing selected the item removes nothing; a plain right click
    // still selects the box it was on, as a left one does, even one held
    // long while the menu was awaited.
    const auto right = juce::ModifierKeys (juce::ModifierKeys::rightButtonModifier);
    left->setSelected (false);
    design.graph.setSelectionCount (0);
    dialogs.menuChoices.push_back (Zorvex::removeItem);
    left->mouseUp (makeMouseEvent (*left, { 60, 40 }, right, 1, true, { 60, 40 }));
    deliver();
    EXPECT_EQ (design.graph.getNumNodes(), 1);
    EXPECT_TRUE (left->isSelected());

    // A right button moved away before its release selects nothing.
    left->setSelected (false);
    design.graph.setSelectionCount (0);
    left->mouseUp (makeMouseEvent (*left, { 90, 40 }, right, 1, true, { 60, 40 }));
    EXPECT_FALSE (left->isSelected());
}

TEST_F (NodeBoxTest, ADspBoxsHelpOpensTheHelpAtItsFirstPage)
{
    vxtest::TemporaryFolder help;
    vxtest::RecordingHelpViewer viewer (help.get());
    GraphData bus;
    GraphEditorView busView (bus, false);
    bus.addNode ("DSP", false, nullptr, 0.5, 0.5);
    busView.setBounds (0, 0, 400, 400);
    auto* dspBox = busView.findBoxByNodeId (1);
    ASSERT_NE (dspBox, nullptr);

    // Without the help nothing opens, and the editor's bar says why.
    {
        vxtest::RecordingHelpViewer missing (help.getChildFile ("OstraneQuellionHelp"));
        dspBox->handleMenuResult (Zorvex::helpItem);
        EXPECT_TRUE (missing.opened.empty());
        EXPECT_EQ (busView.getLastMessage(), "No help: the folder \"OstraneQuellionHelp\" is not beside the program.");
    }

    HelpViewer::setCurrent (&viewer);

    // Without a first page the help folder itself is opened.
    dspBox->handleMenuResult (Zorvex::helpItem);
    ASSERT_EQ (viewer.opened.size(), 1u);
    EXPECT_EQ (viewer.opened[0], help.get());

    ASSERT_TRUE (help.getChildFile ("index.html").replaceWithText ("<html></html>"));
    dspBox->handleMenuResult (Zorvex::helpItem);
    ASSERT_EQ (viewer.opened.size(), 2u);
    EXPECT_EQ (viewer.opened[1], help.getChildFile ("index.html"));
}

TEST_F (NodeBoxTest, TwoSelectedProcessesAreTwoUndoSteps)
{
    const auto a = place ("Plain", 0.1, 0.5);
    place ("Plain", 0.4, 0.5);
    const auto c = place ("Plain", 0.7, 0.5);
    design.graph.addConnection (a, 0, c, 0);
    deliver();
    const auto before = design.snapshot();

    box (a).setSelected (true);
    box (c).setSelected (true);
    view.removeSelection();
    deliver();
    ASSERT_EQ (design.graph.getNumNodes(), 1);
    EXPECT_EQ (design.node (1).getName(), "Plain");
    EXPECT_EQ (design.node (1).nrpn, 2u) << "the middle one stays";
    const auto removed = design.snapshot();

    ASSERT_TRUE (history.undo());
    ASSERT_TRUE (history.canUndo()) << "one step each";
    ASSERT_TRUE (history.undo());
    deliver();
    EXPECT_EQ (design.snapshot(), before);

    ASSERT_TRUE (history.redo());
    ASSERT_TRUE (history.redo());
    EXPECT_FALSE (history.canRedo());
    deliver();
    EXPECT_EQ (design.snapshot(), removed);
}

TEST_F (NodeBoxTest, CountAndMemoryChangesAreUndoableAndTheBoxFollows)
{
    const auto split = place ("SplitN", 0.3, 0.5);
    const auto mix = place ("MixN", 0.7, 0.5);
    auto* slider = box (split).getCountSlider();
    ASSERT_NE (slider, nullptr);
    EXPECT_EQ (slider->getMinimum(), 2.0);
    EXPECT_EQ (slider->getMaximum(), 8.0);

    slider->setValue (4.0, juce::sendNotificationSync);
    deliver();
    EXPECT_EQ (design.node (split).channelWord, 0x80000004u);
    EXPECT_EQ (box (split).getNumPins (false), 4);
    design.graph.addConnection (split, 3, mix, 1);
    design.graph.addBusPin (split, 2, 0, "DSPOUT2");
    deliver();
    const auto grown = design.snapshot();

    // Count changes join the open transaction; another edit opened one.
    history.beginNewTransaction();
    slider->setValue (2.0, juce::sendNotificationSync);
    deliver();
    EXPECT_EQ (box (split).getNumPins (false), 2);
    EXPECT_EQ (design.graph.getNumConnections(), 0);
    EXPECT_EQ (design.graph.getNumBusPins(), 0);
    EXPECT_EQ (view.getConnectors().size(), 0);

    ASSERT_TRUE (history.undo());
    deliver();
    EXPECT_EQ (design.snapshot(), grown);
    EXPECT_EQ (box (split).getNumPins (false), 4);
    EXPECT_EQ (slider->getValue(), 4.0) << "the slider follows without a new step";
    EXPECT_EQ (view.getConnectors().size(), 1);

    // Following the node sets the slider without making an edit.
    const int steps = history.getNumActionsInCurrentTransaction();
    box (split).synchroniseFromNode();
    EXPECT_EQ (history.getNumActionsInCurrentTransaction(), steps);

    // The memory type, on a process that has a memory choice.
    auto* delay = design.define ("Echo", 0x20A, 1, 1, 0x10000010, { { "In", true, 1 }, { "Out", false, 1 } });
    design.graph.addNode ("Echo", true, delay, 0.5, 0.2);
    const auto echo = design.graph.getLastAddedNode()->getId();
    deliver();
    auto* combo = box (echo).getMemoryCombo();
    ASSERT_NE (combo, nullptr);
    EXPECT_EQ (combo->getSelectedId(), 0) << "nothing chosen until the node says";
    combo->setSelectedId (GraphNode::memoryChoiceInternal16BitRam, juce::sendNotificationSync);
    ASSERT_EQ (dialogs.messages.size(), 1u);
    EXPECT_EQ (dialogs.messages[0].title, "Internal RAM Selected");
    EXPECT_EQ (design.node (echo).memoryWord, 2u);
    EXPECT_EQ (design.node (echo).memoryChoice, GraphNode::memoryChoiceInternal16BitRam);
    ASSERT_TRUE (history.undo());
    deliver();
    EXPECT_EQ (design.node (echo).memoryChoice, GraphNode::memoryChoiceNone);
    EXPECT_EQ (combo->getSelectedId(), 0);
}

TEST_F (NodeBoxTest, ConnectionDragsFollowTheRulesAndDeletedConnectorsComeBackOnUndo)
{
    const auto a = place ("Plain", 0.2, 0.3);
    const auto b = place ("Plain", 0.6, 0.3);
    auto* out = box (a).findPin (a, 0, false);
    const auto inCentre = box (b).getPinCentre (1, true);

    // Drawn from an output onto an input.
    out->mouseDown (makeMouseEvent (*out, { 6, 6 }));
    ASSERT_TRUE (view.isDraggingConnection());
    out->mouseDrag (makeMouseEvent (view, inCentre + juce::Point<float> (2, 1), {}, 1, true));
    EXPECT_EQ (view.getRubberBand()->getEndPoint(), inCentre) << "the loose end snaps to the pin";
    out->mouseUp (makeMouseEvent (view, inCentre, {}, 1, true));
    deliver();
    ASSERT_EQ (design.graph.getNumConnections(), 1);
    EXPECT_FALSE (view.isDraggingConnection());

    // From an output onto another output: refused with its message.
    auto* otherOut = box (b).findPin (b, 0, false);
    out->mouseDown (makeMouseEvent (*out, { 6, 6 }));
    out->mouseUp (makeMouseEvent (view, box (b).getPinCentre (0, false), juce::ModifierKeys::rightButtonModifier, 1, true));
    EXPECT_EQ (view.getLastMessage(), ConnectionRules::accumulateMessage);
    EXPECT_FALSE (view.isDraggingConnection()) << "any release ends the drag";
    EXPECT_EQ (design.graph.getNumConnections(), 1);
    juce::ignoreUnused (otherOut);

    // "Delete connector", from its menu (which opens at the release): gone,
    // and back with one undo.
    auto* connector = view.getConnectors()[0];
    dialogs.menuChoices.push_back (1);
    vxtest::rightClick (dialogs, *connector, connector->getLocalBounds().getCentre().toFloat());
    EXPECT_EQ (design.graph.getNumConnections(), 0);
    EXPECT_FALSE (connector->isVisible()) << "off the screen at once, deleted after the event";
    deliver();
    ASSERT_TRUE (history.undo());
    deliver();
    ASSERT_EQ (design.graph.getNumConnections(), 1);
    ASSERT_EQ (view.getConnectors().size(), 1);

    // Re-routing the end of a connector to another input.
    connector = view.getConnectors()[0];
    const auto endLocal = inCentre - connector->getPosition().toFloat() + juce::Point<float> (-20, 0);
    connector->mouseDown (makeMouseEvent (*connector, endLocal));
    connector->mouseDrag (makeMouseEvent (*connector, endLocal + juce::Point<float> (0, 5), {}, 1, true, endLocal));
    EXPECT_TRUE (view.isDraggingConnection());
    EXPECT_EQ (design.graph.getNumConnections(), 0);
    const auto newTarget = box (b).getPinCentre (0, true);
    connector->mouseUp (makeMouseEvent (view, newTarget, {}, 1, true));
    deliver();
    ASSERT_EQ (design.graph.getNumConnections(), 1);
    EXPECT_EQ (design.graph.getConnection (0)->destPin, 0u);
    EXPECT_EQ (design.graph.getConnection (0)->sourceNode, a);
}

TEST_F (NodeBoxTest, RenamingThroughTheInlineEditor)
{
    const auto a = place ("Plain", 0.2, 0.3);
    box (a).handleMenuResult (Zorvex::setNameItem);
    auto* editor = box (a).getNameEditor();
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (editor->getText(), "Plain");
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (20, 20, 98, 25));
    editor->setText ("Main EQ");
    box (a).textEditorReturnKeyPressed (*editor);
    deliver();
    EXPECT_EQ (design.node (a).getName(), "Main EQ");
    EXPECT_EQ (box (a).getTitle(), "Main EQ");
    EXPECT_EQ (box (a).getNameEditor(), nullptr);

    box (a).handleMenuResult (Zorvex::setNameItem);
    box (a).getNameEditor()->setText ("dropped");
    box (a).textEditorEscapeKeyPressed (*box (a).getNameEditor());
    EXPECT_EQ (design.node (a).getName(), "Main EQ") << "Escape changes nothing";

    box (a).handleMenuResult (Zorvex::setLegacyNameItem);
    EXPECT_EQ (design.node (a).getName(), "Plain");
    deliver();
}

// A DSP box on the bus editor in a window of its own, beside a field that
// had the focus when the box's menu opened. The menu takes the window's
// focus; the window gets it back only once "Set name" has opened the name
// field, and JUCE then hands it to the field that had it.
TEST (KeyboardFocus, ABoxsNameFieldKeepsTheFocusWhenItsWindowGetsItBack)
{
    VX_REQUIRE_OWN_DISPLAY();
    clearDesignFlags();
    GraphData bus;
    GraphEditorView busView (bus, false);
    bus.addNode ("DSP", false, nullptr, 0.5, 0.5);
    juce::TextEditor elsewhere ("Elsewhere");
    elsewhere.setBounds (10, 10, 100, 24);
    busView.addAndMakeVisible (elsewhere);
    busView.setBounds (100, 100, 400, 400);
    busView.addToDesktop (juce::ComponentPeer::windowAppearsOnTaskbar);
    busView.setVisible (true);
    auto* box = busView.findBoxByNodeId (1);
    ASSERT_NE (box, nullptr);
    ASSERT_TRUE (vxtest::waitFor (
        [&]
        {
            elsewhere.grabKeyboardFocus();
            return elsewhere.hasKeyboardFocus (false);
        }));

    busView.getPeer()->handleFocusLoss();
    box->handleMenuResult (Zorvex::setNameItem);
    ASSERT_NE (box->getNameEditor(), nullptr);
    EXPECT_TRUE (box->getNameEditor()->hasKeyboardFocus (false)) << "at once";

    busView.getPeer()->handleFocusGain();
    vxtest::pump (100);
    ASSERT_NE (box->getNameEditor(), nullptr);
    EXPECT_TRUE (box->getNameEditor()->hasKeyboardFocus (false)) << "kept when the window got the focus back";

    // A click elsewhere takes the focus for good: the field goes.
    elsewhere.grabKeyboardFocus();
    vxtest::pump (100);
    EXPECT_EQ (box->getNameEditor(), nullptr);
    EXPECT_TRUE (elsewhere.hasKeyboardFocus (false));
}

TEST_F (NodeBoxTest, ActionsWhoseNodeIsGoneRefuseOnlyAtTheirFirstPerform)
{
    EXPECT_FALSE (history.perform (new Zorvex::RemoveAction (design.graph, &design.library, 1, 42)));
    EXPECT_FALSE (history.perform (new Zorvex::ChangeNCountAction (design.graph, 42, 2, 1)));
    EXPECT_FALSE (history.perform (new Zorvex::ChangeMemDelayAction (design.graph, 42, 2)));
    EXPECT_FALSE (history.canUndo());

    // A removed process whose later edits are undone and redone around it
    // keeps the history whole.
    const auto a = place ("SplitN", 0.2, 0.3);
    const auto nrpn = design.node (a).nrpn;
    history.beginNewTransaction();
    ASSERT_TRUE (history.perform (new Zorvex::ChangeNCountAction (design.graph, nrpn, 0x80000003, 0x80000002)));
    history.beginNewTransaction();
    ASSERT_TRUE (history.perform (new Zorvex::RemoveAction (design.graph, &design.library, 1, nrpn)));
    ASSERT_TRUE (history.undo());
    ASSERT_TRUE (history.undo());
    ASSERT_TRUE (history.redo());
    ASSERT_TRUE (history.redo());
    EXPECT_EQ (design.graph.getNumNodes(), 0);
    ASSERT_TRUE (history.undo());
    EXPECT_EQ (design.node (a).channelWord, 0x80000003u);
    deliver();

    // Locked: nothing is recorded.
    setDesignLocked (true);
    EXPECT_FALSE (history.perform (new Zorvex::ChangeMemDelayAction (design.graph, nrpn, 2)));
    EXPECT_EQ (design.node (a).memoryChoice, GraphNode::memoryChoiceNone);
}

// Renders a small design to a picture, for a look at how boxes, pins and
// connectors are drawn (written beside the test program).
TEST_F (NodeBoxTest, RendersADesignToAPicture)
{
    view.setBounds (0, 0, 760, 420);
    const auto a = place ("Plain", 0.15, 0.3);
    const auto b = place ("Keyed", 0.45, 0.3);
    const auto c = place ("MixN", 0.78, 0.45);
    const auto d = place ("Keyed", 0.45, 0.75);
    design.node (b).setName ("Compressor");
    design.graph.addConnection (a, 0, b, 0);
    design.graph.addConnection (a, 1, c, 1);
    design.graph.addConnection (b, 0, c, 0);
    design.graph.addConnection (d, 1, b, 1);
    design.graph.addBusPin (a, 0, 1, "DSPIN0");
    design.node (a).loadText = "3.50%";
    deliver();
    box (c).getCountSlider()->setValue (3.0, juce::sendNotificationSync);
    deliver();
    box (b).setSelected (true);

    const auto image = view.createComponentSnapshot (view.getLocalBounds(), true, 2.0f);
    const auto file = juce::File::getSpecialLocation (juce::File::currentExecutableFile).getSiblingFile ("node-boxes.png");
    file.deleteFile();
    juce::FileOutputStream stream (file);
    ASSERT_TRUE (stream.openedOk());
    juce::PNGImageFormat png;
    ASSERT_TRUE (png.writeImageToStream (image, stream));

    // The background, and a selected box's yellow outline, at twice the scale.
    EXPECT_EQ (image.getPixelAt (4, 4), juce::Colour (GraphEditorView::backgroundColour));
}
