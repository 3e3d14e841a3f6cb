#include "DspPagesFixture.h"

#include "editors/TextPropertyComponentWithFocus.h"
#include "model/ModuleLibrary.h"
#include "model/NodeChannelRules.h"

using vxtest::DspPagesFixture;

namespace
{
class DspPagesTest : public DspPagesFixture
{
protected:
    juce::StringArray tabNames() const
    {
        juce::StringArray result;

        for (int i = 0; i < container->getNumTabs(); ++i)
            result.add (container->getTabNames()[i]);

        return result;
    }

    // The module choice as a user sees it: (name, enabled) per item.
    std::vector<std::pair<juce::String, bool>> moduleItems (DspEditor& page)
    {
        std::vector<std::pair<juce::String, bool>> items;
        auto& choice = page.getModuleChoice();

        for (int i = 0; i < choice.getNumItems(); ++i)
            items.emplace_back (choice.getItemText (i), choice.isItemEnabled (choice.getItemId (i)));

        return items;
    }

    // The user picks a module in the page's choice.
    void choose (DspEditor& page, uint32_t moduleId)
    {
        page.getModuleChoice().setSelectedId ((int) moduleId, juce::sendNotificationSync);
        deliver();
    }
};
} // namespace

TEST_F (DspPagesTest, PagesStandInIdOrderAndTheFreeIdFillsTheFirstGap)
{
    for (auto id : { 1, 2, 4 })
        ASSERT_NE (container->addDsp (id), nullptr);

    ASSERT_NE (container->addDsp (-1), nullptr);
    EXPECT_EQ (tabNames(), juce::StringArray ({ "DSP#1", "DSP#2", "DSP#3", "DSP#4" }));

    EXPECT_EQ (container->addDsp (3), nullptr) << "an id held";
    EXPECT_EQ (container->addDsp (17), nullptr) << "an id above 16";

    container->removeDsp (1);
    container->removeDsp (4);
    EXPECT_EQ (tabNames(), juce::StringArray ({ "DSP#2", "DSP#3" }));
    ASSERT_NE (container->addDsp (-1), nullptr);
    EXPECT_EQ (tabNames(), juce::StringArray ({ "DSP#1", "DSP#2", "DSP#3" }));

    // Slots made elsewhere (a project opened) get their pages with the next message.
    design.addDsp (9, core8);
    EXPECT_EQ (container->getNumDsps(), 3);
    deliver();
    EXPECT_EQ (tabNames(), juce::StringArray ({ "DSP#1", "DSP#2", "DSP#3", "DSP#9" }));
    EXPECT_EQ (container->findDspById (9)->getModuleId(), core8);
    EXPECT_EQ (container->findDspById (9)->getModuleChoice().getSelectedId(), (int) core8);
    EXPECT_EQ (container->getDsp (3)->findColour (juce::TabbedButtonBar::tabTextColourId), juce::Colours::yellow);

    container->showDspTab (2);
    EXPECT_EQ (container->getShownDsp()->getDspId(), 2u);

    container->resetDsps();
    EXPECT_EQ (tabNames(), juce::StringArray ({ "DSP#1", "DSP#2", "DSP#3", "DSP#9" }));
}

TEST_F (DspPagesTest, RemovingTheDspShownShowsAnotherPage)
{
    for (auto id : { 1, 2, 3 })
        ASSERT_NE (container->addDsp (id), nullptr);

    // The page shown goes: the one that took its place shows, then the last.
    for (auto [shown, next] : { std::pair<uint32_t, uint32_t> (2, 3), { 3, 1 } })
    {
        container->showDspTab (shown);
        container->removeDsp (shown);
        deliver();
        ASSERT_NE (container->getShownDsp(), nullptr) << "no page shown after removing DSP " << shown;
        EXPECT_EQ (container->getShownDsp()->getDspId(), next);
        EXPECT_TRUE (container->getShownDsp()->isVisible());
    }

    // A page not shown goes without changing what is shown.
    ASSERT_NE (container->addDsp (2), nullptr);
    container->showDspTab (1);
    container->removeDsp (2);
    EXPECT_EQ (container->getShownDsp()->getDspId(), 1u);
}

TEST_F (DspPagesTest, ChoosingAModuleFillsTheProcessListAndTheRateDisablesModules)
{
    auto& page = addDsp (1, 0);
    EXPECT_EQ (page.getProcessList().getModel()->getNumRows(), 0);
    EXPECT_EQ (page.getModuleChoice().getTextWhenNothingSelected(), "Module list");
    EXPECT_EQ (moduleItems (page), (std::vector<std::pair<juce::String, bool>>{
                                       { "StudioCore8", true }, { "StudioCoreLite", true }, { "MixPA", true } }));

    choose (page, coreLite);
    EXPECT_TRUE (dialogs.buttonQuestions.empty()) << "the first choice asks nothing";
    EXPECT_EQ (design.getDspEntry (1)->moduleId, coreLite);
    EXPECT_EQ (page.getModuleValue(), 1);
    ASSERT_EQ (page.getProcessList().getModel()->getNumRows(), library().findModuleById (coreLite)->getProcessCount());
    EXPECT_EQ (page.getProcessListContents().getRowName (0), "Mixer4x2");
    juce::SparseSet<int> rows;
    rows.addRange ({ 2, 3 });
    EXPECT_EQ ((int) page.getProcessListContents().getDragSourceDescription (rows), 2);
    EXPECT_EQ ((int) page.getProcessListContents().getDragSourceDescription ({}), 0);

    // At 192 kHz the modules of rate classes 0 and 1 are listed but cannot be chosen.
    design.getSettings().setSamplingIndex (5);
    container->pushModuleLibraryToAll();
    EXPECT_EQ (moduleItems (page), (std::vector<std::pair<juce::String, bool>>{
                                       { "StudioCore8", true }, { "StudioCoreLite", false }, { "MixPA", false } }));
    EXPECT_FALSE (page.isSelectionWithinLimit (*library().findModuleById (coreLite)));
}

TEST_F (DspPagesTest, ANewModuleAfterAYesClearsTheDspAndTheBusGraphBeyondItsCounts)
{
    auto& page = addDsp (1, core8);
    addDsp (2, core8);
    place (1, "Compressor");

    auto& bus = design.getBusGraph();
    bus.addConnection (1, 5, 2, 0);
    bus.addConnection (1, 1, 2, 1);
    bus.addBusPin (1, 6, 0, "DABD3L");
    bus.addBusPin (1, 2, 0, "DABD1L");

    // "No" keeps the module and the processes, and empties the history.
    dialogs.buttonChoices = { 1 };
    choose (page, coreLite);
    ASSERT_EQ (dialogs.buttonQuestions.size(), 1u);
    EXPECT_EQ (dialogs.buttonQuestions[0].title, "OSTRANE Quellion");
    EXPECT_EQ (dialogs.buttonQuestions[0].text, DspEditor::moduleQuestion);
    EXPECT_EQ (dialogs.buttonQuestions[0].buttonText, "Yes|No");
    EXPECT_EQ (page.getModuleChoice().getSelectedId(), (int) core8);
    EXPECT_EQ (design.getDspEntry (1)->moduleId, core8);
    EXPECT_EQ (graph (1).getNumNodes(), 1);
    EXPECT_FALSE (host.history.canUndo());
    EXPECT_EQ (bus.getNumConnections(), 2);

    // "Yes": a module with four outputs.
    place (1, "Limiter");
    dialogs.buttonChoices = { 0 };
    choose (page, coreLite);
    EXPECT_EQ (design.getDspEntry (1)->moduleId, coreLite);
    EXPECT_EQ (design.getDspEntry (1)->getProcessCount(), 0);
    EXPECT_EQ (graph (1).getNumNodes(), 0);
    EXPECT_EQ (page.getProcessEditor().getBoxes().size(), 0);
    EXPECT_FALSE (host.history.canUndo());
    ASSERT_EQ (bus.getNumConnections(), 1);
    EXPECT_EQ (bus.getConnection (0)->sourcePin, 1u);
    ASSERT_EQ (bus.getNumBusPins(), 1);
    EXPECT_EQ (bus.getBusPin (0)->name, "DABD1L");
    EXPECT_EQ (bus.findNodeById (1)->outputCount, 4u);

    // The same module again changes nothing.
    place (1, "Mixer4x2");
    choose (page, coreLite);
    EXPECT_EQ (graph (1).getNumNodes(), 1);
}

TEST_F (DspPagesTest, LoadBarsShowTheEstimateAndTheExternalMemoryIsShared)
{
    auto& first = addDsp (1, core8);
    auto& second = addDsp (2, core8);
    EXPECT_EQ (second.getLoadText (DspEditor::cyclesLoad), " 0.00% cycles");
    EXPECT_EQ (second.getLoadText (DspEditor::dspRamLoad), " 0.00% DSP RAM");
    EXPECT_EQ (second.getLoadText (DspEditor::externalRamLoad), " 0.00% EXTRAM");
    EXPECT_EQ (first.getLoadText (DspEditor::externalRamLoad), " 0.00% EXTRAM") << "as the second page gave it, in one form";

    place (1, "Compressor");
    const auto expected = design.estimateDspLoad (1);
    EXPECT_EQ (first.getLoadText (DspEditor::cyclesLoad), juce::String::formatted (" %03.2f%% cycles", expected.cycles));
    EXPECT_DOUBLE_EQ (first.getCyclesLoad(), expected.cycles / 100.0);
    EXPECT_DOUBLE_EQ (first.getRamLoad(), expected.dspRam / 100.0);
    EXPECT_FALSE (container->isAnyDspFull());

    // No external memory: a delay line in it fills it, for every DSP.
    design.getSettings().setExternalMemorySize (0);
    place (2, "ShortDelay");
    EXPECT_EQ (second.getExternalLoad(), 1.0);
    EXPECT_EQ (first.getLoadText (DspEditor::externalRamLoad), " 100.00% EXTRAM") << "the other pages take the shared figure";
    second.updateUsageLabels();
    EXPECT_EQ (second.getLoadText (DspEditor::externalRamLoad), " 100.00% EXTRAM");
    EXPECT_FALSE (std::isinf (first.getRamLoad()) || std::isnan (first.getRamLoad()));
}

TEST_F (DspPagesTest, ADspWhoseCyclesAreExactlyUsedUpIsFull)
{
    auto module = std::make_unique<ModuleDefinition>();
    module->moduleId = 0x70;
    module->name = "Tight";
    module->ownCycles = 1024 - 30; // 48 kHz leaves 30 cycles
    module->dspRamBudget = 100;
    module->rateClassLimit = 2;
    auto process = std::make_unique<ProcessDefinition>();
    process->name = "Gain";
    process->processId = 0x40;
    process->baseCycles = 10;
    process->cyclesPerChannel = 20;
    module->addProcess (std::move (process), false);
    library().addModule (std::move (module));
    design.getSettings().setSamplingIndex (2);

    auto& page = addDsp (1, 0x70);
    EXPECT_NE (place (1, "Gain"), 0u);
    EXPECT_EQ (page.getCyclesLoad(), 1.0);
    EXPECT_TRUE (container->isAnyDspFull());
}

TEST_F (DspPagesTest, TheLockAndTheCommandViewReachEveryPage)
{
    auto& page = addDsp (1, core8);
    EXPECT_TRUE (page.getModuleChoice().isEnabled());
    EXPECT_FALSE (page.getCommandPanelTab().hasCommandPropertiesTab());
    EXPECT_EQ (page.getCommandPanelTab().getTabNames(), juce::StringArray ({ "Edit" }));

    const auto delay = place (1, "ShortDelay");
    ASSERT_NE (delay, 0u);
    auto* memory = editor (1).findBoxByNodeId (delay)->getMemoryCombo();
    ASSERT_NE (memory, nullptr);
    // A memory the module leaves free to choose (its class fixes it here).
    graph (1).findNodeById (delay)->memoryWord &= ~Zorvex::fixedMemoryFlag;
    editor (1).synchronise();
    EXPECT_TRUE (memory->isEnabled());
    page.getCommandProperties().showProcess (&graph (1), graph (1).findNodeById (delay)->nrpn);
    ASSERT_GT (page.getCommandProperties().getNumFields(), 0);
    juce::SparseSet<int> firstRow;
    firstRow.addRange ({ 0, 1 });
    EXPECT_EQ (page.getProcessListContents().getDragSourceDescription (firstRow), juce::var (0));

    setDesignLocked (true);
    design.getSettings().setCommandView (true);
    container->refreshAllDspViews();
    EXPECT_FALSE (page.getModuleChoice().isEnabled());
    EXPECT_EQ (page.getCommandPanelTab().getTabNames(), juce::StringArray ({ "Edit", "Command Properties" }));

    // Every edit of the page is disabled; what shows the design stays usable.
    EXPECT_FALSE (page.getProcessPanelTool().isEnabled());
    EXPECT_FALSE (page.getCommandProperties().getField (0)->isEnabled());
    EXPECT_TRUE (page.getCommandProperties().isEnabled()) << "its fields still scroll";
    EXPECT_FALSE (memory->isEnabled());
    EXPECT_TRUE (page.getProcessListContents().getDragSourceDescription (firstRow).isVoid()) << "no process is dragged";
    EXPECT_TRUE (page.getProcessList().isEnabled()) << "the list still scrolls";
    EXPECT_TRUE (page.getViewport().isEnabled());
    EXPECT_TRUE (page.getCommandPanelTab().isEnabled());

    setDesignLocked (false);
    design.getSettings().setCommandView (false);
    container->setVisible (false);
    container->setVisible (true);
    EXPECT_TRUE (page.getModuleChoice().isEnabled()) << "shown again, the pages take up the settings";
    EXPECT_TRUE (page.getProcessPanelTool().isEnabled());
    EXPECT_TRUE (memory->isEnabled());
    EXPECT_FALSE (page.getCommandPanelTab().hasCommandPropertiesTab());
}

TEST_F (DspPagesTest, ThePageLaysItsPartsOutByItsSize)
{
    auto& page = addDsp (1, core8);
    page.setBounds (0, 0, 1000, 700);

    EXPECT_EQ (page.getProcessList().getBounds(), juce::Rectangle<int> (762, 281, 220, 370));
    EXPECT_EQ (page.getModuleChoice().getBounds(), juce::Rectangle<int> (762, 261, 220, 20));
    EXPECT_EQ (page.getCommandPanelTab().getBounds(), juce::Rectangle<int> (746, 41, 245, 220));
    EXPECT_EQ (page.getViewport().getBounds(), juce::Rectangle<int> (21, 21, 720, 658));
    EXPECT_EQ (page.getTooltipBar().getBounds(), juce::Rectangle<int> (0, 680, 1000, 20));
    EXPECT_EQ (page.getLoadBar (DspEditor::cyclesLoad).getBounds(), juce::Rectangle<int> (600, 681, 130, 18));
    EXPECT_EQ (page.getLoadBar (DspEditor::externalRamLoad).getBounds(), juce::Rectangle<int> (870, 681, 130, 18));
    EXPECT_EQ (page.getProcessEditor().getBounds(), juce::Rectangle<int> (0, 0, 2000, 1980));
    EXPECT_GE (page.getProcessPanelTool().getWidth(), CommandPanelTab::toolStripWidth) << "the tool strip is shown whole";
}

TEST_F (DspPagesTest, TheBoxesLoadsFollowTheSamplingRate)
{
    auto& page = addDsp (1, core8);
    const auto id = place (1, "Compressor");
    ASSERT_NE (id, 0u);
    auto& box = *editor (1).findBoxByNodeId (id);
    const auto at48 = box.getLoadText();

    auto expectedAt = [&] (int ratePosition)
    {
        auto& node = *graph (1).findNodeById (id);
        return NodeChannelRules::makeLoadText (design.getDspModule (1), node.getProcessDefinition(), node.channelWord,
                                               ratePosition);
    };
    EXPECT_EQ (at48, expectedAt (1));

    // 192 kHz leaves a quarter of the cycles: the figure of every box changes.
    ASSERT_TRUE (design.getSettings().setSamplingIndex (5));
    container->refreshAllDspViews();
    EXPECT_EQ (box.getLoadText(), expectedAt (5));
    EXPECT_NE (box.getLoadText(), at48);
    EXPECT_EQ (graph (1).findNodeById (id)->loadText, expectedAt (5)) << "kept on the node too";
    juce::ignoreUnused (page);
}

// A control number typed into "Command Properties" is stored when the user
// presses Return, when the field loses the focus, and when another process
// is pressed while it is still being typed: the process pressed again shows
// what was typed.
TEST_F (DspPagesTest, ATypedControlNumberIsStoredOnReturnAndWhenTheFieldIsLeft)
{
    VX_REQUIRE_DISPLAY();
    auto& page = addDsp (1, core8);
    design.getSettings().setCommandView (true);
    container->refreshAllDspViews();
    container->addToDesktop (0);
    container->setVisible (true);
    page.getCommandPanelTab().setCurrentTabIndex (1);
    const auto eq = place (1, "ParamEq8");
    const auto limiter = place (1, "Limiter");
    auto& properties = page.getCommandProperties();

    auto press = [this] (uint32_t id)
    {
        auto* box = editor (1).findBoxByNodeId (id);
        const juce::ModifierKeys left (juce::ModifierKeys::leftButtonModifier);
        box->mouseDown (vxtest::makeMouseEvent (*box, { 60, 40 }, left));
        box->mouseUp (vxtest::makeMouseEvent (*box, { 60, 40 }, left, 1, false, { 60, 40 }));
    };

    // The field's value, edited as the user types over it.
    auto type = [&properties] (int field, const juce::String& text)
    {
        auto* label = dynamic_cast<juce::Label*> (properties.getField (field)->getChildComponent (0));
        EXPECT_NE (label, nullptr);
        label->showEditor();
        auto* typing = label->getCurrentTextEditor();
        EXPECT_NE (typing, nullptr);
        typing->selectAll();

        for (auto c : text)
            typing->keyPressed (juce::KeyPress (c, 0, c));

        return typing;
    };

    auto shownAndStored = [&] (int field)
    {
        const auto stored = graph (1).findNodeById (eq)->commandWords[(size_t) field] & 0xFFFF;
        return std::pair{ properties.getField (field)->getText(), juce::String::toHexString ((int) stored).toUpperCase() };
    };

    press (eq);
    ASSERT_EQ (properties.getShownNrpn(), graph (1).findNodeById (eq)->nrpn);
    ASSERT_GE (properties.getNumFields(), 3);

    type (0, "01C7")->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    deliver();
    // The focus goes elsewhere (whether this display gave it to the field or not).
    auto* left = type (1, "2A");

    if (left->hasKeyboardFocus (false))
        left->giveAwayKeyboardFocus();
    else
        left->focusLost (juce::Component::focusChangedByMouseClick);

    deliver();
    type (2, "3B");
    press (limiter);
    deliver();
    EXPECT_EQ (properties.getShownNrpn(), graph (1).findNodeById (limiter)->nrpn);

    press (eq);
    EXPECT_EQ (shownAndStored (0), std::pair (juce::String ("01C7"), juce::String ("1C7"))) << "Return";
    EXPECT_EQ (shownAndStored (1), std::pair (juce::String ("002A"), juce::String ("2A"))) << "focus lost";
    EXPECT_EQ (shownAndStored (2), std::pair (juce::String ("003B"), juce::String ("3B"))) << "another process pressed";
    EXPECT_TRUE (graph (1).isModified());
}
