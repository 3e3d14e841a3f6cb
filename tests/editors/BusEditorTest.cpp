#include "editors/BusEditor.h"
#include "editors/BUSPin.h"
#include "editors/BusContainer.h"
#include "editors/TooltipBar.h"
#include "editors/ZorvexBus.h"
#include "model/BusConnectionRules.h"
#include "model/ModuleDefinition.h"
#include "model/ProjectFile.h"
#include "model/XmlFileAccess.h"

#include "DspPagesFixture.h"

#include <optional>

using namespace vxtest;

namespace
{
struct MenuItem
{
    juce::String text;
    int itemID = 0;
    bool isEnabled = false;
};

// The menu's first item (none when it is empty).
std::optional<MenuItem> firstItem (const juce::PopupMenu& menu)
{
    juce::PopupMenu::MenuItemIterator it (menu);

    if (! it.next())
        return {};

    return MenuItem{ it.getItem().text, it.getItem().itemID, it.getItem().isEnabled };
}

// The bus page over a design whose DSP pages follow it, as in the program.
class BusEditorTest : public DspPagesFixture
{
protected:
    BusEditorTest()
    {
        page = std::make_unique<BusContainer> (design, host);
        page->setBounds (0, 0, 1000, 700);
        bus().setProcessContainer (container.get());
        deliverAll();
    }

    ~BusEditorTest() override { page.reset(); }

    BusEditor& bus() const { return page->getBusEditor(); }
    GraphData& busGraph() { return design.getBusGraph(); }
    BusPanelTool& tool() { return page->getPanelTool(); }

    void deliverAll()
    {
        busGraph().dispatchPendingMessages();
        deliver();
    }

    // A DSP running a module, its box at the fractions given, with a pin per
    // input and output of the module.
    void addBusDsp (uint32_t id, uint32_t moduleId, double x, double y)
    {
        addDsp (id, moduleId);
        busGraph().setNodePosition (id, x, y);
        design.fitBusGraphToModule (id, design.getDspModule (id));
        deliverAll();
        bus().synchronise();
    }

    ZorvexBus& pin (uint32_t dsp, uint32_t index, bool input)
    {
        auto* box = bus().findBoxByNodeId (dsp);
        auto* found = box != nullptr ? box->findPin (dsp, index, input) : nullptr;

        if (found == nullptr)
            throw std::runtime_error ("no such pin");

        return *found;
    }

    juce::Point<float> centreOf (uint32_t dsp, uint32_t index, bool input)
    {
        return bus().findBoxByNodeId (dsp)->getPinCentre ((int) index, input);
    }

    // A connection dragged from an output pin and released at a point of the
    // editor, with the given button.
    void dragFrom (uint32_t dsp, uint32_t index, juce::Point<float> release,
                   juce::ModifierKeys button = juce::ModifierKeys::leftButtonModifier)
    {
        auto& from = pin (dsp, index, false);
        from.mouseDown (makeMouseEvent (from, { 6, 6 }, button));
        from.mouseDrag (makeMouseEvent (bus(), release, button, 1, true));
        from.mouseUp (makeMouseEvent (bus(), release, button, 1, true));
        deliverAll();
    }

    void click (juce::Button& button)
    {
        button.triggerClick();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }

    int childrenOfType (const std::function<bool (juce::Component*)>& isType) const
    {
        int count = 0;

        for (auto* child : bus().getChildren())
            if (child->isVisible() && isType (child))
                ++count;

        return count;
    }

    std::unique_ptr<BusContainer> page;
};

TEST_F (BusEditorTest, TheMenuOffersAsManyDspsAsTheChipHolds)
{
    const juce::StringArray expected{ "Add DSP (4 max.)",  "Add DSP (4 max.)", "Add DSP (8 max.)",
                                      "Add DSP (16 max.)", "Add DSP (8 max.)", "Add DSP (16 max.)" };

    for (int chip = 0; chip < expected.size(); ++chip)
    {
        design.getSettings().setChipIndex (chip);
        auto item = firstItem (bus().buildMenu());
        ASSERT_TRUE (item.has_value());
        EXPECT_EQ (item->text, expected[chip]);
        EXPECT_EQ (item->itemID, (int) BusEditor::addDspItem);
        EXPECT_TRUE (item->isEnabled);
    }

    // "7316" filled with 16 DSPs, all added through the menu's item.
    design.getSettings().setChipIndex (3);

    for (int i = 0; i < 16; ++i)
        bus().handleMenuResult (BusEditor::addDspItem, { 40 * i + 20, 300 });

    deliverAll();
    EXPECT_EQ (busGraph().getNumNodes(), 16);
    EXPECT_EQ (container->getNumDsps(), 16);
    EXPECT_FALSE (firstItem (bus().buildMenu())->isEnabled);
    EXPECT_FALSE (bus().addDspAt ({ 10, 10 }));

    // "7104" with three DSPs has room for a fourth.
    for (uint32_t id = 16; id > 3; --id)
        bus().removeDsp (id);

    design.getSettings().setChipIndex (0);
    EXPECT_TRUE (firstItem (bus().buildMenu())->isEnabled);

    setDesignLocked (true);
    auto locked = firstItem (bus().buildMenu());
    ASSERT_TRUE (locked.has_value());
    EXPECT_EQ (locked->text, BusEditor::designLockedText);
    EXPECT_FALSE (locked->isEnabled);
    EXPECT_FALSE (bus().addDspAt ({ 10, 10 }));
}

TEST_F (BusEditorTest, AnAddedDspTakesOneIdForItsBoxAndItsPage)
{
    addBusDsp (1, core8, 0.1, 0.1);
    addBusDsp (3, core8, 0.3, 0.1);

    // The menu, opened at the lower right corner.
    const juce::Point<int> corner (bus().getWidth() - 1, bus().getHeight() - 1);
    dialogs.menuChoices.push_back (BusEditor::addDspItem);
    rightClick (dialogs, bus(), corner.toFloat());
    deliverAll();
    EXPECT_EQ (dialogs.menuItemHeights.back(), 18);

    ASSERT_NE (busGraph().findNodeById (2), nullptr);
    ASSERT_NE (design.findDsp (2), nullptr);
    EXPECT_EQ (container->getTabNames(), juce::StringArray ({ "DSP#1", "DSP#2", "DSP#3" }));
    const auto position = busGraph().getNodePosition (2u);
    EXPECT_NEAR (position.x, 1.0, 0.002);
    EXPECT_NEAR (position.y, 1.0, 0.002);
    ASSERT_NE (bus().findBoxByNodeId (2), nullptr);
    EXPECT_EQ (bus().findBoxByNodeId (2)->getTooltip(), "DSP#2");

    // A box left without a page (an older design) keeps its id to itself.
    busGraph().restoreNode (4, 4, "DSP", false, nullptr, 0.5, 0.5);
    design.getSettings().setChipIndex (3);
    ASSERT_TRUE (bus().addDspAt ({ 100, 100 }));
    EXPECT_EQ (design.findDsp (4), nullptr);
    EXPECT_NE (design.findDsp (5), nullptr);
    EXPECT_NE (busGraph().findNodeById (5), nullptr);
}

TEST_F (BusEditorTest, ADoubleClickOnTheBackgroundOpensTheMenuAndAPressClearsTheSelection)
{
    addBusDsp (1, core8, 0.2, 0.2);
    auto& box = *bus().findBoxByNodeId (1);
    box.setSelected (true);

    bus().mouseDown (makeMouseEvent (bus(), { 600, 600 }, juce::ModifierKeys::leftButtonModifier));
    EXPECT_FALSE (box.isSelected());

    dialogs.menuChoices.push_back (BusEditor::addDspItem);
    bus().mouseUp (makeMouseEvent (bus(), { 600, 600 }, juce::ModifierKeys::leftButtonModifier, 2));
    deliverAll();
    EXPECT_EQ (busGraph().getNumNodes(), 2);
    EXPECT_EQ (dialogs.shownMenus.size(), 1u);

    bus().mouseUp (makeMouseEvent (bus(), { 600, 600 }, juce::ModifierKeys::leftButtonModifier, 1));
    EXPECT_EQ (dialogs.shownMenus.size(), 1u) << "a single click opens nothing";
}

TEST_F (BusEditorTest, TheBackgroundIsPaintedInsetOnEverySide)
{
    // The process editor keeps its margin at the right and bottom only.
    EXPECT_EQ (bus().getBackgroundArea(), juce::Rectangle<int> (10, 10, bus().getWidth() - 20, bus().getHeight() - 20));
    addDsp (1, core8);
    EXPECT_EQ (editor (1).getBackgroundArea(),
               juce::Rectangle<int> (0, 0, editor (1).getWidth() - 10, editor (1).getHeight() - 10));

    const auto shot = bus().createComponentSnapshot (bus().getLocalBounds(), false, 1.0f);
    const juce::Colour background (GraphEditorView::backgroundColour);
    EXPECT_NE (shot.getPixelAt (5, 5), background) << "margin at the top left";
    EXPECT_EQ (shot.getPixelAt (15, 15), background);
    EXPECT_EQ (shot.getPixelAt (bus().getWidth() - 15, bus().getHeight() - 15), background);
    EXPECT_NE (shot.getPixelAt (bus().getWidth() - 5, bus().getHeight() - 5), background);

    bus().setSize (15, 15);
    EXPECT_TRUE (bus().getBackgroundArea().isEmpty()) << "never a negative size";
}

TEST_F (BusEditorTest, DspsAreWiredByDraggingUnderTheBusRules)
{
    addBusDsp (1, core8, 0.1, 0.2);
    addBusDsp (2, core8, 0.4, 0.2);
    addBusDsp (3, core8, 0.1, 0.6);

    dragFrom (1, 0, centreOf (2, 0, true));
    ASSERT_EQ (busGraph().getNumConnections(), 1);
    EXPECT_EQ (bus().getConnectors().size(), 1);
    EXPECT_FALSE (bus().isDraggingConnection());

    // Into the input already fed: refused, with the message in the page's bar.
    dragFrom (3, 2, centreOf (2, 0, true));
    EXPECT_EQ (busGraph().getNumConnections(), 1);
    EXPECT_EQ (page->getTooltipBar().getText(), BusConnectionRules::inputFedMessage);

    // Back into its own input, or onto an output: nothing, and nothing said.
    page->getTooltipBar().setText ({}, false);
    dragFrom (1, 1, centreOf (1, 1, true));
    dragFrom (1, 1, centreOf (3, 0, false));
    EXPECT_EQ (busGraph().getNumConnections(), 1);
    EXPECT_TRUE (page->getTooltipBar().getText().isEmpty());

    // Begun with the middle button: the release ends the drag all the same,
    // and no line is left behind.
    dragFrom (3, 4, { 900, 900 }, juce::ModifierKeys::middleButtonModifier);
    EXPECT_FALSE (bus().isDraggingConnection());
    dragFrom (3, 4, centreOf (2, 5, true), juce::ModifierKeys::middleButtonModifier);
    EXPECT_EQ (busGraph().getNumConnections(), 2);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_EQ (childrenOfType ([] (juce::Component* c) { return dynamic_cast<ConnectorComponent*> (c) != nullptr; }), 2);

    // Nothing while the design is locked.
    setDesignLocked (true);
    dragFrom (1, 6, centreOf (3, 6, true));
    EXPECT_EQ (busGraph().getNumConnections(), 2);
}

TEST_F (BusEditorTest, TheToolsModesRelabelAndEnableItsGrid)
{
    EXPECT_EQ (tool().getMode(), BusPanelTool::connector);
    EXPECT_TRUE (tool().getModeButton (0).getToggleState());
    EXPECT_EQ (tool().getGridButton (0).getButtonText(), "DABD0L");
    EXPECT_FALSE (tool().getGridButton (0).isEnabled());

    click (tool().getModeButton (BusPanelTool::internalBus));
    EXPECT_EQ (tool().getMode(), BusPanelTool::internalBus);
    EXPECT_EQ (tool().getSelectedName(), "IBUS0");

    for (int i = 0; i < BusPanelTool::numNames; ++i)
    {
        EXPECT_EQ (tool().getGridButton (i).getButtonText(), BusPanelTool::internalBusNames[i]);
        EXPECT_TRUE (tool().getGridButton (i).isEnabled());
    }

    EXPECT_EQ (tool().getGridButton (15).getButtonText(), "IBUSF");
    click (tool().getGridButton (11));
    EXPECT_EQ (tool().getSelectedName(), "IBUSB");

    click (tool().getModeButton (BusPanelTool::connector));
    EXPECT_FALSE (tool().getGridButton (3).isEnabled());
    EXPECT_EQ (tool().getSelectedName(), "IBUS0") << "the grid's first name stays chosen";

    click (tool().getModeButton (BusPanelTool::audioInput));
    EXPECT_EQ (tool().getDirection(), 1);
    EXPECT_EQ (tool().getSelectedName(), "DAAD0L");
    EXPECT_EQ (tool().getGridButton (15).getButtonText(), "DAAD7R");

    click (tool().getModeButton (BusPanelTool::audioOutput));
    EXPECT_EQ (tool().getDirection(), 0);
    EXPECT_EQ (tool().getSelectedName(), "DABD0L");
}

TEST_F (BusEditorTest, TheToolNamesPinsOfItsSideAndThePinMenuAnyPin)
{
    addBusDsp (1, core8, 0.2, 0.2);
    auto& in = pin (1, 0, true);
    auto& out = pin (1, 0, false);

    click (tool().getModeButton (BusPanelTool::audioOutput));
    in.mouseEnter (makeMouseEvent (in, { 6, 6 }));
    EXPECT_FALSE (in.isHovered());
    click (tool().getModeButton (BusPanelTool::internalBus));
    in.mouseEnter (makeMouseEvent (in, { 6, 6 }));
    EXPECT_TRUE (in.isHovered());

    // "Audio Input": a release on an input names it, one on an output does not.
    click (tool().getModeButton (BusPanelTool::audioInput));
    in.mouseUp (makeMouseEvent (bus(), centreOf (1, 0, true), juce::ModifierKeys::leftButtonModifier));
    out.mouseUp (makeMouseEvent (bus(), centreOf (1, 0, false), juce::ModifierKeys::leftButtonModifier));
    deliverAll();
    ASSERT_EQ (busGraph().getNumBusPins(), 1);
    EXPECT_EQ (busGraph().getBusPin (0)->name, "DAAD0L");
    EXPECT_EQ (busGraph().getBusPin (0)->direction, 1);

    // The label stands wholly left of the input pin.
    ASSERT_EQ (bus().getLabels().size(), 1);
    auto* label = bus().getLabels()[0];
    EXPECT_EQ (label->getPinName(), "DAAD0L");
    const auto pinOnEditor = bus().getLocalArea (&in, in.getLocalBounds());
    EXPECT_LE (label->getRight(), pinOnEditor.getX());
    EXPECT_EQ (label->getBounds().getCentreY(), pinOnEditor.getCentreY());

    // The pin's own menu: item 20 of an output is "IBUS3", put right of it.
    dialogs.menuChoices.push_back (20);
    rightClick (dialogs, out, { 6, 6 });
    deliverAll();
    ASSERT_EQ (bus().getLabels().size(), 2);
    bool found = false;
    const int index = busGraph().findBusPin (1, 0, 0, found, GraphData::matchAllBusPinFields, "IBUS3");
    ASSERT_TRUE (found);
    auto* ibus = bus().findBusPinComponent (*busGraph().getBusPin (index));
    ASSERT_NE (ibus, nullptr);
    EXPECT_NE (ibus, label);
    EXPECT_EQ (ibus->getPinName(), "IBUS3");
    EXPECT_EQ (ibus->getNumber(), 3u);
    EXPECT_GE (ibus->getX(), bus().getLocalArea (&out, out.getLocalBounds()).getRight());

    // A second name on a named input is refused, with the reason.
    in.mouseUp (makeMouseEvent (bus(), centreOf (1, 0, true), juce::ModifierKeys::leftButtonModifier));
    dialogs.menuChoices.push_back (17);
    rightClick (dialogs, in, { 6, 6 });
    deliverAll();
    EXPECT_EQ (busGraph().getNumBusPins(), 2);
    EXPECT_EQ (page->getTooltipBar().getText(), "Connection conflict: DSP#1 Input0 is already fed by DAAD0L.");
}

TEST_F (BusEditorTest, ALabelIsDeletedAtOnceAndFollowsItsBox)
{
    addBusDsp (1, core8, 0.2, 0.2);
    busGraph().addBusPin (1, 2, 0, "DABD1R");
    deliverAll();
    ASSERT_EQ (bus().getLabels().size(), 1);
    auto* label = bus().getLabels()[0];
    EXPECT_EQ (label->getTooltip(), "DABD1R");

    // Moving the box takes the label along.
    auto& box = *bus().findBoxByNodeId (1);
    const auto offset = label->getPosition() - box.getPosition();
    box.mouseDown (makeMouseEvent (box, { 60, 40 }));
    box.mouseDrag (makeMouseEvent (box, { 160, 140 }, juce::ModifierKeys::leftButtonModifier, 1, true, { 60, 40 }));
    EXPECT_EQ (label->getPosition() - box.getPosition(), offset);

    auto menuItem = firstItem (label->buildMenu());
    ASSERT_TRUE (menuItem.has_value());
    EXPECT_EQ (menuItem->text, "Delete BusPin");

    // Chosen from the label's own menu: the label goes after its handler.
    dialogs.menuChoices.push_back (BUSPin::deleteItem);
    rightClick (dialogs, *label, { 5, 5 });
    EXPECT_EQ (busGraph().getNumBusPins(), 0);
    EXPECT_FALSE (host.history.canUndo()) << "the bus editor's edits are no undo steps";
    deliverAll();
    EXPECT_TRUE (bus().getLabels().isEmpty());

    setDesignLocked (true);
    busGraph().addBusPin (1, 2, 0, "DABD1R");
    deliverAll();
    EXPECT_EQ (bus().getLabels()[0]->buildMenu().getNumItems(), 0);
}

TEST_F (BusEditorTest, LabelNumbersFollowTheirPrefix)
{
    const std::pair<const char*, uint32_t> cases[] = {
        { "DSPOUT5", 5 }, { "IBUSB", 11 }, { "dspout3", 3 }, { "DSPIN7", 7 },
        { "ibusf", 15 },  { "DSPIN", 0 },  { "AB", 0xAB },   { "DAAD0L", 0xDAAD0 }
    };

    for (auto& [name, number] : cases)
        EXPECT_EQ (BUSPin::parseNumber (name), number) << name;

    EXPECT_EQ (BUSPin::placeFor ({ 100.0f, 50.0f }, true), juce::Point<int> (44, 42));
    EXPECT_EQ (BUSPin::placeFor ({ 100.0f, 50.0f }, false), juce::Point<int> (108, 42));
}

TEST_F (BusEditorTest, SynchronisingTwiceMakesNothingNew)
{
    addBusDsp (1, core8, 0.2, 0.2);
    addBusDsp (2, core8, 0.5, 0.2);
    busGraph().addConnection (1, 0, 2, 0);
    busGraph().addBusPin (1, 0, 1, "DAAD0L");
    busGraph().addBusPin (2, 0, 0, "DABD0L");
    deliverAll();

    auto snapshot = [this]
    {
        juce::Array<juce::Component*> children;

        for (auto* child : bus().getChildren())
            children.add (child);

        return children;
    };

    const auto before = snapshot();
    EXPECT_EQ (bus().getBoxes().size(), 2);
    EXPECT_EQ (bus().getConnectors().size(), 1);
    EXPECT_EQ (bus().getLabels().size(), 2);
    bus().synchronise();
    bus().synchronise();
    EXPECT_EQ (snapshot(), before);
}

TEST_F (BusEditorTest, RemovingADspTakesItsWiresNamesPageAndHistory)
{
    addBusDsp (1, core8, 0.2, 0.2);
    addBusDsp (2, core8, 0.5, 0.2);
    busGraph().addConnection (1, 0, 2, 0);
    busGraph().addConnection (2, 1, 1, 1);
    busGraph().addBusPin (2, 0, 0, "DABD0L");
    place (1, "Compressor");
    ASSERT_TRUE (host.history.canUndo());
    deliverAll();

    dialogs.buttonChoices.push_back (0);
    bus().findBoxByNodeId (2)->handleMenuResult (Zorvex::removeItem);
    deliverAll();

    EXPECT_EQ (busGraph().getNumNodes(), 1);
    EXPECT_EQ (busGraph().getNumConnections(), 0);
    EXPECT_EQ (busGraph().getNumBusPins(), 0);
    EXPECT_EQ (design.findDsp (2), nullptr);
    EXPECT_EQ (container->getTabNames(), juce::StringArray ({ "DSP#1" }));
    EXPECT_FALSE (host.history.canUndo());
    EXPECT_EQ (bus().getBoxes().size(), 1);
    EXPECT_TRUE (bus().getConnectors().isEmpty());
    EXPECT_TRUE (bus().getLabels().isEmpty());

    // "No" keeps it all.
    dialogs.buttonChoices.push_back (1);
    bus().findBoxByNodeId (1)->handleMenuResult (Zorvex::removeItem);
    EXPECT_EQ (busGraph().getNumNodes(), 1);
}

TEST_F (BusEditorTest, ADspBoxHasThePinsOfItsModuleAndADoubleClickShowsItsPage)
{
    addBusDsp (1, 0, 0.2, 0.2);
    addBusDsp (2, 0, 0.5, 0.2);
    auto& box = *bus().findBoxByNodeId (1);
    EXPECT_EQ (box.getNumPins (true), 0) << "no module, no pins";

    // The module chosen on the DSP's page.
    library().findModuleById (coreLite)->dspOutputCount = 2;
    library().findModuleById (core8)->dspInputCount = 255;
    design.setDspModule (1, coreLite);
    deliverAll();
    EXPECT_EQ (box.getNumPins (false), 2);
    design.setDspModule (1, core8);
    deliverAll();
    EXPECT_EQ (box.getNumPins (true), 8) << "a DSP has eight inputs at most";

    container->showDspTab (1);
    bus().findBoxByNodeId (2)->mouseUp (makeMouseEvent (box, { 60, 40 }, juce::ModifierKeys::leftButtonModifier, 2));
    EXPECT_EQ (container->getCurrentTabName(), "DSP#2");
}

// What the bus editor and the DSP pages made is saved and opened again
// unchanged, with no window.
TEST_F (BusEditorTest, TheEditedBusAndProcessNamesSaveAndReopenUnchanged)
{
    design.getSettings().setChipIndex (2);
    ASSERT_TRUE (bus().addDspAt ({ 200, 200 }));
    ASSERT_TRUE (bus().addDspAt ({ 700, 200 }));
    deliverAll();
    design.setDspModule (1, core8);
    design.setDspModule (2, coreLite);
    deliverAll();

    dragFrom (1, 3, centreOf (2, 1, true));
    ASSERT_TRUE (bus().assignBusPin (pin (1, 0, true), "DAAD0L"));
    ASSERT_TRUE (bus().assignBusPin (pin (2, 0, false), "DABD3R"));
    ASSERT_TRUE (bus().assignBusPin (pin (1, 3, false), "IBUS5"));
    const auto comp = place (1, "Compressor");
    ASSERT_TRUE (editor (1).assignBusPin (*editor (1).findBoxByNodeId (comp)->findPin (comp, 0, true), "DSPIN0"));
    ASSERT_TRUE (editor (1).assignBusPin (*editor (1).findBoxByNodeId (comp)->findPin (comp, 0, false), "DSPOUT3"));
    deliverAll();

    ScopedWorkingDirectory workingDirectory;
    TemporaryFolder folder;
    const auto file = folder.getChildFile ("bus.zqp");
    design.getSettings().setProjectFile (file.getFullPathName());
    design.getSettings().setProjectFolder (folder.get().getFullPathName());
    design.getSettings().setOutputDirectory (folder.get().getFullPathName());
    const ProjectFileWriter::Options options{ 1280, 800 };
    ASSERT_TRUE (ProjectFile::save (design, file, options).wasOk());
    const auto saved = file.loadFileAsString();

    ModulesDefReader otherReader;
    otherReader.open (juce::File::getSpecialLocation (juce::File::currentExecutableFile).getSiblingFile ("Modules.def"));
    ASSERT_GT (otherReader.parse(), 0);
    Design reopened;
    reopened.setLibrary (&otherReader.getLibrary());
    auto loaded = ProjectFile::load (file, otherReader.getLibrary());
    ASSERT_NE (loaded.content, nullptr) << loaded.result.getErrorMessage();
    ProjectFile::install (*loaded.content, file, reopened);

    auto describeBus = [] (const GraphData& g)
    {
        juce::StringArray lines;

        for (int i = 0; i < g.getNumNodes(); ++i)
            lines.add ("node " + juce::String (g.getNodeId (i)));

        for (int i = 0; i < g.getNumConnections(); ++i)
        {
            auto* c = g.getConnection (i);
            lines.add (juce::String::formatted ("wire %u.%u-%u.%u", c->sourceNode, c->sourcePin, c->destNode, c->destPin));
        }

        for (int i = 0; i < g.getNumBusPins(); ++i)
        {
            auto* p = g.getBusPin (i);
            lines.add ("name " + juce::String (p->nodeId) + "." + juce::String (p->pinIndex) + "." + juce::String (p->direction) +
                       " " + p->name);
        }

        return lines.joinIntoString ("\n");
    };

    EXPECT_EQ (describeBus (reopened.getBusGraph()), describeBus (busGraph()));
    EXPECT_EQ (describeBus (reopened.findDsp (1)->getGraph()), describeBus (graph (1)));
    EXPECT_EQ (reopened.findDsp (1)->getGraph().getNumBusPins(), 2);
    EXPECT_EQ (busGraph().getNumBusPins(), 3);
    EXPECT_EQ (ProjectFile::createXml (reopened, options)->toString (XmlFileAccess::getTextFormat()), saved);
}
} // namespace
