#include "app/MainContainer.h"
#include "app/ProjectInterface.h"
#include "editors/DspEditor.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessEditor.h"
#include "editors/Zorvex.h"
#include "generator/PanelScriptWriter.h"
#include "generator/VuMeterIdPool.h"
#include "model/ControlSysExMessage.h"
#include "model/DspDefinitionEntry.h"

#include "ShellTestFixture.h"

#include <map>
#include <vector>

// The board messages as the project page sends them, with a process shown in
// a box: the box's store goes to the node first, and a global preset shows
// up in the node's store, which the box then shows.
namespace
{
using Bytes = std::vector<uint8_t>;

void setLastSaved (ProcessPresetStore& store, std::vector<uint32_t> values)
{
    store.selectOrAddPreset (ProcessPresetStore::lastSavedPresetName, 0, true);
    store.getCurrentPresetRecord()->values = std::move (values);
}

void registerControls (ProcessPresetStore& store)
{
    store.markBuilding();
    store.addOrUpdateControl (1, "Gain", true);
    store.addOrUpdateControl (0x8002, "Mute", true);
    store.markBuilt();
}

class BoardControlTest : public ShellTestFixture
{
protected:
    BoardControlTest()
    {
        design.addDsp (3, 0x0021);
        auto& graph = design.findDsp (3)->getGraph();
        graph.addNode ("Gain", true, nullptr, 0.5, 0.5);
        node = graph.getLastAddedNode();
        node->nrpn = 4;
        nodeId = node->getId();
        design.getDspEntry (3)->addProcessInstance ((int) node->getId(), 0x0203);

        // The box shows the node's store, which holds what its panel shows.
        box = std::make_unique<Zorvex> (graph, node->getId());
        graph.setNodeBox (node->getId(), box.get());
        registerControls (node->presetStore);
        setLastSaved (node->presetStore, { 33, 1 });

        page.getBoardControl().setOutput ([this] (const uint8_t* m, int size) { sent.emplace_back (m, m + size); });
    }

    ~BoardControlTest() override
    {
        if (auto* dsp = design.findDsp (3))
            dsp->getGraph().setNodeBox (nodeId, nullptr);
    }

    MainContainer container{ *settings };
    ProjectInterface& page = container.getProjectInterface();
    Design& design = container.getDesign();
    GraphNode* node = nullptr;
    uint32_t nodeId = 0;
    std::unique_ptr<Zorvex> box;
    std::vector<Bytes> sent;
};
} // namespace

TEST_F (BoardControlTest, AProcessSendsTheValuesItsBoxShows)
{
    page.getBoardControl().sendProcessControls (2, *node);

    EXPECT_EQ (sent, (std::vector<Bytes>{ controlSysEx (2, 0x0401, 33), controlSysEx (2, 0x8402, 1) }));
    EXPECT_EQ (box->getPresetStore(), &node->presetStore);

    sent.clear();
    page.getBoardControl().sendDspControls (3);
    page.getBoardControl().sendAllControls();
    EXPECT_EQ (sent.size(), 4u);
}

TEST_F (BoardControlTest, AGlobalPresetEndsUpInTheStoreTheBoxShows)
{
    auto stored = std::make_unique<ProcessPresetStore>();
    registerControls (*stored);
    stored->selectOrAddPreset ("Loud", 0, true);
    stored->getCurrentPresetRecord()->values = { 900, 0 };
    stored->setTableId (0);
    design.getPresetStores().addStoredStore ("Gain", 1, std::move (stored));

    design.getGlobalPresets().addIfMissing ("Live");
    design.getGlobalPresets().getCurrent()->addTable (3);
    design.getGlobalPresets().getCurrent()->findTableByDsp (3)->addKey (4, 0, 0);

    ASSERT_TRUE (page.getBoardControl().applyGlobalPreset ("Live"));

    EXPECT_EQ (sent, (std::vector<Bytes>{ controlSysEx (2, 0x0401, 900), controlSysEx (2, 0x8402, 0) }));
    ASSERT_TRUE (node->presetStore.findPreset (ProcessPresetStore::lastSavedPresetName));
    EXPECT_EQ (node->presetStore.getCurrentPresetRecord()->values, (std::vector<uint32_t>{ 900, 0 }));
    EXPECT_EQ (node->valueReplacements, 1u) << "the box is told to show them";
    EXPECT_FALSE (page.getBoardControl().applyGlobalPreset ("Studio"));
}

TEST_F (BoardControlTest, ABoxWhoseNodeWentHasNoStore)
{
    // A cleared graph drops its nodes before their boxes go.
    design.findDsp (3)->getGraph().clear();
    EXPECT_EQ (box->getPresetStore(), nullptr);
    box->getControlPanel().ensureControlPanel();
    box->synchroniseFromNode();
    box.reset();
}

//==============================================================================
namespace
{
// DSP 1 of the sample's first module on its page, with one process placed.
class BoardControlPageTest : public ShellTestFixture
{
protected:
    BoardControlPageTest()
    {
        container.setBounds (0, 0, 1200, 800);
        page = container.getProcessContainer().addDsp (-1);
        EXPECT_TRUE (container.getDesign().setDspModule (1, 0x21));
        EXPECT_TRUE (page->getProcessEditor().placeProcess (2, { 300, 200 }));
        container.getDesign().dispatchPendingMessages();
        container.getDesign().findDsp (1)->getGraph().dispatchPendingMessages();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);

        container.getProjectInterface().getBoardControl().setOutput ([this] (const uint8_t* m, int size)
                                                                     { sent.emplace_back (m, m + size); });
    }

    ~BoardControlPageTest() override { container.closeAllControlPanels(); }

    MainContainer container{ *settings };
    DspEditor* page = nullptr;
    std::vector<Bytes> sent;
};
} // namespace

TEST_F (BoardControlPageTest, SendControlsToBoardSendsTheBoxsValuesOnItsDspsChannel)
{
    ASSERT_EQ (page->getProcessEditor().getBoxes().size(), 1);
    auto& box = *page->getProcessEditor().getBoxes().getFirst();
    auto& store = *box.getPresetStore();
    store.clear (true);
    registerControls (store);
    setLastSaved (store, { 70, 1 });
    const auto nrpn = box.getNode()->nrpn;

    box.handleMenuResult (Zorvex::sendControlsItem);

    EXPECT_EQ (sent, (std::vector<Bytes>{ controlSysEx (0, (nrpn << 8) | 1, 70), controlSysEx (0, (nrpn << 8) | 0x8002, 1) }));
}

TEST_F (BoardControlPageTest, AnOpenedProjectsSavedValuesAreWhatAnOutputSends)
{
    // A process with saved values, written with no box of its own.
    auto& graph = container.getDesign().findDsp (1)->getGraph();
    graph.addNode ("Gain", true,
                   container.getProjectInterface().getModuleDefinitions().findModuleById (0x21)->findProcessById (2), 0.5, 0.5);
    auto& node = *graph.getLastAddedNode();
    container.getDesign().getDspEntry (1)->addProcessInstance ((int) node.getId(), 2);

    // The controls its panel registers (the box of the reopened design
    // registers them again before the saved values are read in), each
    // saved with a value of its own.
    VuMeterIdPool meterIds;
    int meterId = VuMeterIdPool::noId;
    PanelScriptWriter (*node.getProcessDefinition(), node, 1, 48.0, (double) node.getChannelCount())
        .write (node.presetStore, false, meterId, meterIds);
    node.presetStore.normaliseControlOrder();
    ASSERT_GT (node.presetStore.getControlCount(), 1);
    std::vector<uint32_t> values;

    for (int i = 0; i < node.presetStore.getControlCount(); ++i)
        values.push_back (50 + (uint32_t) i);

    setLastSaved (node.presetStore, values);
    std::map<juce::String, uint32_t> savedValues;

    for (int i = 0; i < node.presetStore.getControlCount(); ++i)
        savedValues[node.presetStore.getControl (i)->name] = values[(size_t) i];

    dialogs.chosenFiles.push_back (folder.getChildFile ("saved.zqp"));
    ASSERT_TRUE (container.getProjectInterface().saveProject (false));

    MainContainer other (*settings);
    other.setBounds (0, 0, 1200, 800);
    auto& project = other.getProjectInterface();
    std::vector<Bytes> otherSent;
    project.getBoardControl().setOutput ([&] (const uint8_t* m, int size) { otherSent.emplace_back (m, m + size); });
    project.openProject (folder.getChildFile ("saved.zqp"));

    // The pages make the boxes; once all stand the saved values are sent.
    for (int i = 0; i < 3; ++i)
    {
        other.getDesign().dispatchPendingMessages();
        other.getDesign().findDsp (1)->getGraph().dispatchPendingMessages();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    }

    auto* saved = other.getDesign().findDsp (1)->getGraph().getNode (1);
    ASSERT_NE (saved, nullptr);
    ASSERT_NE (saved->getBox(), nullptr);
    // Each control the reopened box registered, with the value saved under
    // its name.
    auto& store = saved->presetStore;
    std::vector<Bytes> expected;

    for (int i = 0; i < store.getControlCount(); ++i)
    {
        store.setCurrentControl (i);

        if (! store.isFixedDelayControl())
            expected.push_back (controlSysEx (0, (saved->nrpn << 8) | store.getCurrentControlNrpn(),
                                              savedValues.at (store.getControl (i)->name)));
    }

    ASSERT_EQ (expected.size(), savedValues.size());
    ASSERT_GE (otherSent.size(), expected.size());
    EXPECT_EQ (std::vector<Bytes> (otherSent.end() - (long) expected.size(), otherSent.end()), expected);

    // A MIDI output chosen now sends them again, not the box's empty store.
    otherSent.clear();
    project.getBoardControl().sendAllControls();
    for (auto& message : expected)
        EXPECT_NE (std::find (otherSent.begin(), otherSent.end(), message), otherSent.end());
    other.closeAllControlPanels();
}

TEST_F (BoardControlPageTest, ASaveWritesTheValuesTheBoxShows)
{
    // Its panel, opened once, registered the process's controls.
    auto& box = *page->getProcessEditor().getBoxes().getFirst();
    box.getControlPanel().buildControlPanel (false, false, false);
    const auto controls = box.getPresetStore()->getControlCount();
    ASSERT_GT (controls, 0);

    std::vector<uint32_t> values;

    for (int i = 0; i < controls; ++i)
        values.push_back (100u + (uint32_t) i);

    setLastSaved (*box.getPresetStore(), values);
    dialogs.chosenFiles.push_back (folder.getChildFile ("shown.zqp"));
    ASSERT_TRUE (container.getProjectInterface().saveProject (false));

    const auto text = folder.getChildFile ("shown.zqp").loadFileAsString();
    EXPECT_TRUE (text.contains ("<List name=\"(Last-Saved)\" Value1=\"100\" Value2=\"101\"")) << text;
}
