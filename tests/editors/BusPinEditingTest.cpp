#include "editors/BUSPin.h"
#include "editors/GraphCommandProperties.h"
#include "editors/ProcessPanelTool.h"
#include "editors/TextPropertyComponentWithFocus.h"
#include "editors/ZorvexBus.h"
#include "model/ModuleDefinition.h"

#include "DspPagesFixture.h"

using namespace vxtest;

namespace
{
// A DSP page running "StudioCore8", its tool strip, its process editor and
// its command properties.
class BusPinEditingTest : public DspPagesFixture
{
protected:
    BusPinEditingTest() : page (addDsp (1, core8)) {}

    ProcessPanelTool& tool() { return page.getProcessPanelTool(); }
    ProcessEditor& e() { return page.getProcessEditor(); }
    GraphData& g() { return graph (1); }
    ModuleDefinition& module() { return *library().findModuleById (core8); }

    void click (juce::Button& button)
    {
        button.triggerClick();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }

    std::vector<bool> enabledGrid()
    {
        std::vector<bool> enabled;

        for (int i = 0; i < tool().getNumGridButtons(); ++i)
            enabled.push_back (tool().getGridButton (i).isEnabled());

        return enabled;
    }

    ZorvexBus& pin (uint32_t node, uint32_t index, bool input)
    {
        auto* found = e().findBoxByNodeId (node)->findPin (node, index, input);

        if (found == nullptr)
            throw std::runtime_error ("no such pin");

        return *found;
    }

    // A left release on a pin, as the tool's naming modes use it.
    void releaseOn (uint32_t node, uint32_t index, bool input)
    {
        const auto centre = e().findBoxByNodeId (node)->getPinCentre ((int) index, input);
        pin (node, index, input).mouseUp (makeMouseEvent (e(), centre, juce::ModifierKeys::leftButtonModifier));
        deliver();
    }

    juce::StringArray busPinNames()
    {
        juce::StringArray names;

        for (int i = 0; i < g().getNumBusPins(); ++i)
            names.add (juce::String (g().getBusPin (i)->nodeId) + ":" + g().getBusPin (i)->name);

        names.sort (false);
        return names;
    }

    DspEditor& page;
};

const std::vector<bool> none (8, false);

TEST_F (BusPinEditingTest, TheGridOffersTheModulesInputsAndOutputsUpToEight)
{
    EXPECT_EQ (tool().getName(), "ProcessPanelTool");
    EXPECT_EQ (enabledGrid(), none);
    EXPECT_EQ (tool().getModeButton (ProcessPanelTool::dspOutput).getTooltip(), ProcessPanelTool::outputTooltip);

    module().dspOutputCount = 2;
    click (tool().getModeButton (ProcessPanelTool::dspOutput));
    EXPECT_EQ (enabledGrid(), (std::vector<bool>{ true, true, false, false, false, false, false, false }));
    EXPECT_EQ (tool().getSelectedName(), "DSPOUT0");
    EXPECT_EQ (tool().getDirection(), 0);
    EXPECT_EQ (tool().getGridButton (7).getButtonText(), "DSPOUT7");
    EXPECT_EQ (tool().getGridButton (5).getTooltip(), ProcessPanelTool::outputTooltip);

    click (tool().getModeButton (ProcessPanelTool::dspInput));
    EXPECT_EQ (enabledGrid(), std::vector<bool> (8, true));
    EXPECT_TRUE (tool().getGridButton (5).getTooltip().isEmpty()) << "the output tooltips go";
    EXPECT_EQ (tool().getSelectedName(), "DSPIN0");
    EXPECT_EQ (tool().getDirection(), 1);
    click (tool().getGridButton (3));
    EXPECT_EQ (tool().getSelectedName(), "DSPIN3");

    // A count of up to 255 in the module: the eight buttons there are.
    module().dspInputCount = 255;
    tool().refreshGrid();
    EXPECT_EQ (enabledGrid(), std::vector<bool> (8, true));
    module().dspInputCount = 0;
    tool().refreshGrid();
    EXPECT_EQ (enabledGrid(), none);
    tool().enableGridButtons (true, 300);
    tool().enableGridButtons (false, -4);
    EXPECT_EQ (enabledGrid(), std::vector<bool> (8, true));

    click (tool().getModeButton (ProcessPanelTool::connector));
    EXPECT_EQ (enabledGrid(), none);
    EXPECT_EQ (tool().getMode(), ProcessPanelTool::connector);
}

TEST_F (BusPinEditingTest, TheToolGivesADspInputAsAnUndoStep)
{
    const auto comp = place (1, "Compressor", { 400, 300 });
    ASSERT_NE (comp, 0u);
    host.history.clearUndoHistory();

    click (tool().getModeButton (ProcessPanelTool::dspInput));
    releaseOn (comp, 0, false);
    EXPECT_EQ (g().getNumBusPins(), 0) << "an input name on an output pin";
    releaseOn (comp, 0, true);
    ASSERT_EQ (busPinNames(), juce::StringArray ({ "1:DSPIN0" }));

    ASSERT_EQ (e().getLabels().size(), 1);
    auto& label = *e().getLabels()[0];
    EXPECT_TRUE (label.isInProcessEditor());
    EXPECT_LE (label.getRight(), e().getLocalArea (&pin (comp, 0, true), pin (comp, 0, true).getLocalBounds()).getX());

    EXPECT_TRUE (e().keyPressed (juce::KeyPress ('z', juce::ModifierKeys::ctrlModifier, 0)));
    deliver();
    EXPECT_EQ (g().getNumBusPins(), 0);
    EXPECT_TRUE (e().getLabels().isEmpty());
    EXPECT_TRUE (e().keyPressed (juce::KeyPress ('y', juce::ModifierKeys::ctrlModifier, 0)));
    deliver();
    EXPECT_EQ (busPinNames(), juce::StringArray ({ "1:DSPIN0" }));
    EXPECT_EQ (e().getLabels().size(), 1);

    // Rule B's refusal goes to the page's bar: one DSP output, one process.
    const auto other = place (1, "Compressor", { 800, 300 });
    click (tool().getModeButton (ProcessPanelTool::dspOutput));
    releaseOn (comp, 0, false);
    releaseOn (other, 0, false);
    EXPECT_EQ (busPinNames(), juce::StringArray ({ "1:DSPIN0", "1:DSPOUT0" }));
    EXPECT_EQ (page.getTooltipBar().getText(), ConnectionRules::outputUsedMessage);
}

TEST_F (BusPinEditingTest, AnAddedNameThatWasThereAlreadyIsNoStepAndTheUndosNeverFail)
{
    const auto comp = place (1, "Compressor");
    host.history.clearUndoHistory();
    g().addBusPin (comp, 0, 1, "DSPIN2");

    // The same name again: nothing done, nothing kept, the name stays.
    EXPECT_FALSE (host.history.perform (new ProcessEditor::AddBusPinAction (g(), comp, 0, 1, "DSPIN2")));
    EXPECT_FALSE (host.history.canUndo());
    EXPECT_EQ (busPinNames(), juce::StringArray ({ "1:DSPIN2" }));

    EXPECT_FALSE (host.history.perform (new ProcessEditor::RemoveBusPinAction (g(), comp, 1, 1, "DSPIN2")))
        << "no such name on that pin";
    EXPECT_FALSE (host.history.canUndo());

    // Added, undone, redone, and undone again after the name went another way.
    host.history.beginNewTransaction();
    EXPECT_TRUE (host.history.perform (new ProcessEditor::AddBusPinAction (g(), comp, 1, 1, "DSPIN3")));
    EXPECT_TRUE (host.history.undo());
    EXPECT_EQ (busPinNames(), juce::StringArray ({ "1:DSPIN2" }));
    EXPECT_TRUE (host.history.redo());
    EXPECT_EQ (busPinNames(), juce::StringArray ({ "1:DSPIN2", "1:DSPIN3" }));
    g().removeBusPin (comp, 1, 1, GraphData::matchAllBusPinFields, "DSPIN3");
    EXPECT_TRUE (host.history.undo());
    EXPECT_TRUE (host.history.canRedo()) << "a failed undo would have emptied the history";
    EXPECT_EQ (busPinNames(), juce::StringArray ({ "1:DSPIN2" }));
}

TEST_F (BusPinEditingTest, LabelsFollowTheRenumberingAndComeBackOnUndo)
{
    const auto first = place (1, "Compressor", { 200, 200 });
    place (1, "Compressor", { 500, 200 });
    const auto last = place (1, "Compressor", { 800, 200 });
    ASSERT_EQ (last, 3u);
    g().addBusPin (last, 0, 1, "DSPIN4");
    deliver();
    ASSERT_EQ (e().getLabels().size(), 1);
    auto* label = e().getLabels()[0];
    EXPECT_EQ (label->getNumber(), 4u);

    // The first process goes: the last becomes node 2, and its label with it.
    host.history.clearUndoHistory();
    e().selectAll (false);
    e().findBoxByNodeId (first)->setSelected (true);
    e().removeSelection();
    deliver();
    ASSERT_EQ (e().getLabels().size(), 1);
    ASSERT_EQ (e().getLabels()[0], label) << "the same label, set up again";
    EXPECT_EQ (label->getNodeId(), 2u);
    EXPECT_EQ (label->getBounds().getCentreY(), juce::roundToInt (e().findBoxByNodeId (2)->getPinCentre (0, true).y));

    // Deleted from its menu: an undo step, which brings it back.
    label->handleMenuResult (BUSPin::deleteItem);
    deliver();
    EXPECT_EQ (g().getNumBusPins(), 0);
    EXPECT_TRUE (e().getLabels().isEmpty());
    ASSERT_TRUE (host.history.undo());
    deliver();
    EXPECT_EQ (busPinNames(), juce::StringArray ({ "2:DSPIN4" }));
    EXPECT_EQ (e().getLabels().size(), 1);

    // Undoing the removal puts the first process back, and the name on node 3.
    ASSERT_TRUE (host.history.undo());
    deliver();
    EXPECT_EQ (busPinNames(), juce::StringArray ({ "3:DSPIN4" }));
    EXPECT_EQ (e().getLabels()[0]->getNodeId(), 3u);
}

TEST (CommandWordRules, TheLowBitsAreReplacedAndAFullWordIsNeverTouched)
{
    std::vector<uint32_t> words{ 0x12340000, 0xFFFFFFFF, 0xABCD5678 };
    TextPropertyComponentWithFocus::setLowWord (words, 0, 0xFFFF);
    TextPropertyComponentWithFocus::setLowWord (words, 1, 0x0001);
    TextPropertyComponentWithFocus::setLowWord (words, 2, 0x12345);
    TextPropertyComponentWithFocus::setLowWord (words, 3, 0x1);
    TextPropertyComponentWithFocus::setLowWord (words, -1, 0x1);
    EXPECT_EQ (words, (std::vector<uint32_t>{ 0x1234FFFF, 0xFFFFFFFF, 0xABCD2345 }));

    GraphNode node (1, 1, "P", true, nullptr, 0.0, 0.0);
    node.commandWords = { 0x00420000, 0x00420000, 0xFFFFFFFF, 0x00420000 };
    node.secondCommandWords = { 7, 0xFFFFFFFF, 7, 7 };
    TextPropertyComponentWithFocus::applyText (node, 0, "12AB");
    TextPropertyComponentWithFocus::applyText (node, 1, "0x3_0005");
    TextPropertyComponentWithFocus::applyText (node, 2, "1");
    TextPropertyComponentWithFocus::applyText (node, 3, "zz");
    EXPECT_EQ (node.commandWords, (std::vector<uint32_t>{ 0x004212AB, 0x00420005, 0xFFFFFFFF, 0x00420000 }));
    EXPECT_EQ (node.secondCommandWords, (std::vector<uint32_t>{ 0, 0xFFFFFFFF, 0, 0 }));

    EXPECT_EQ (TextPropertyComponentWithFocus::formatWord (0x1234ABCD), "ABCD");
    EXPECT_EQ (TextPropertyComponentWithFocus::formatWord (0x0000000A), "000A");
}

TEST_F (BusPinEditingTest, CommandFieldsShowEveryWordAndWriteTypedTextBack)
{
    const auto eq = place (1, "ParamEq8");
    auto& node = *g().findNodeById (eq);
    auto& properties = page.getCommandProperties();
    ASSERT_GT (node.commandWords.size(), 1u);
    ASSERT_LT (node.commandWordCount, (int) node.commandWords.size()) << "the equaliser has a function with no control";

    // A left press on the box shows its words, one field each.
    auto& box = *e().findBoxByNodeId (eq);
    box.mouseDown (makeMouseEvent (box, { 60, 40 }, juce::ModifierKeys::leftButtonModifier));
    ASSERT_EQ (properties.getNumFields(), (int) node.commandWords.size());
    auto* definition = node.getProcessDefinition();

    for (int i = 0; i < properties.getNumFields(); ++i)
    {
        EXPECT_EQ (properties.getField (i)->getName(), juce::String (definition->secondFunctions[i]->name));
        EXPECT_EQ (properties.getField (i)->getText(),
                   TextPropertyComponentWithFocus::formatWord (node.commandWords[(size_t) i]));
    }

    // Typed and confirmed: the last word takes it, its high bits kept.
    const int last = properties.getNumFields() - 1;
    const auto high = node.commandWords[(size_t) last] & 0xFFFF0000u;
    properties.getField (last)->setText ("01C7");
    EXPECT_EQ (node.commandWords[(size_t) last], high | 0x01C7);
    EXPECT_TRUE (g().isModified());

    // The process goes: the field writes nowhere, and the page empties.
    auto* field = properties.getField (last);
    e().selectAll (true);
    e().removeSelection();
    field->setText ("0002");
    deliver();
    EXPECT_EQ (properties.getNumFields(), 0);
    EXPECT_EQ (properties.getShownNode(), nullptr);
}
} // namespace
