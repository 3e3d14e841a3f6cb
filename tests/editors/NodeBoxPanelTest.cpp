#include "editors/ActionManager.h"
#include "editors/GraphEditorView.h"
#include "editors/Zorvex.h"

#include "app/ControlPanelCallback.h"
#include "app/MidiControlLibrary.h"
#include "model/ModulesDefReader.h"

#include "support/UiTestSupport.h"

namespace
{
// The program's panel host as far as the boxes see it: our library's interface.
class LibraryHost : public ControlPanelHost
{
public:
    explicit LibraryHost (HvIfInterface* i) : libraryInterface (i) {}
    HvIfInterface* getLibraryInterface() override { return libraryInterface; }
    void sendControlsToBoard (Zorvex& box) override { sentFrom.push_back (box.getNodeId()); }

    HvIfInterface* libraryInterface;
    std::vector<uint32_t> sentFrom;
};

juce::DocumentWindow* findWindowTitled (const juce::String& title)
{
    for (int i = 0; i < juce::Desktop::getInstance().getNumComponents(); ++i)
        if (auto* w = dynamic_cast<juce::DocumentWindow*> (juce::Desktop::getInstance().getComponent (i)))
            if (w->getName() == title && w->isVisible())
                return w;

    return nullptr;
}

// Process boxes of the sample library on a surface, with our MIDI-control
// library lending their panels.
class NodeBoxPanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        VX_REQUIRE_DISPLAY();

        reader.open (juce::File::getSpecialLocation (juce::File::currentExecutableFile).getSiblingFile ("Modules.def"));
        reader.parse();
        ASSERT_NE (getLibrary().addDsp (2, 0x21, 0), nullptr);
        libraryInterface = midiControl.openInterface (MidiControlLibrary::getDefaultFile(), callback, dialogs);
        ASSERT_NE (libraryInterface, nullptr);

        host = std::make_unique<LibraryHost> (libraryInterface);
        view = std::make_unique<GraphEditorView> (graph, true);
        view->setLibrary (&getLibrary(), 2);
        view->setEditHistory (&history);
        view->setPanelHost (host.get());
        view->setBounds (0, 0, 800, 600);
    }

    void TearDown() override
    {
        // The boxes release their panels before the library goes.
        view.reset();

        if (libraryInterface != nullptr)
            libraryInterface->release();
    }

    ModuleLibrary& getLibrary() { return reader.getLibrary(); }

    // The equaliser placed as process #5, its box made.
    Zorvex* placeEqualiser() { return placeProcess ("ParamEq8"); }

    Zorvex* placeProcess (const char* name)
    {
        const ProcessDefinition* definition = nullptr;

        for (auto& p : getLibrary().findModuleById (0x21)->getProcesses())
            if (p->name == name)
                definition = p.get();

        graph.addNode (name, true, definition, 0.5, 0.5);
        graph.getLastAddedNode()->nrpn = 5;
        getLibrary().findDsp (2)->addProcessInstance (1, definition->processId);
        graph.dispatchPendingMessages();
        return view->findBoxByNodeId (1);
    }

    // A control of the panel window of that title on screen; none without.
    static juce::Slider* findPanelSlider (const juce::String& title, const juce::String& name)
    {
        auto* window = findWindowTitled (title);
        return window != nullptr ? vxtest::findSlider (*window, name) : nullptr;
    }

    // The value the process keeps for the control, as a save takes it.
    uint32_t keptValue (const juce::String& control)
    {
        auto store = graph.getNode (0)->presetStore;
        store.takeShownValuesAsLastSaved();
        return store.findControl (control) ? store.getCurrentValue() : 0xFFFFFFFFu;
    }

    // A double click, as the user opens the panel.
    static void openPanel (Zorvex& box) { box.mouseUp (vxtest::makeMouseEvent (box, { 60, 40 }, {}, 2, false, { 60, 40 })); }

    ModulesDefReader reader;
    vxtest::ScriptedDialogs dialogs;
    ControlPanelCallback callback; // as the program answers the library
    MidiControlLibrary midiControl;
    HvIfInterface* libraryInterface = nullptr;
    std::unique_ptr<LibraryHost> host;
    GraphData graph;
    ActionManager history;
    std::unique_ptr<GraphEditorView> view;
};
} // namespace

// A double click opens the panel, a count change builds it again, and
// removing the process closes it.
TEST_F (NodeBoxPanelTest, ABoxOpensItsPanelOnOurLibraryAndClosesItWhenItGoes)
{
    auto* box = placeEqualiser();
    ASSERT_NE (box, nullptr);

    openPanel (*box);
    ASSERT_TRUE (box->isPanelShown());
    EXPECT_TRUE (box->getControlPanel().hasControlPanel());
    EXPECT_NE (findWindowTitled ("ParamEq8  { ParamEq8 }  DSP2 - #5"), nullptr);

    // Menu items of a process with controls reach the host.
    box->handleMenuResult (Zorvex::sendControlsItem);
    EXPECT_EQ (host->sentFrom, std::vector<uint32_t>{ 1 });
    graph.setModified (false);
    box->handleMenuResult (Zorvex::resetControlsItem);
    EXPECT_TRUE (box->isPanelShown()) << "reset builds it again where it was";
    EXPECT_TRUE (graph.isModified()) << "the values reset are saved with the design";

    // A count change starts the panel afresh and keeps it on screen, with
    // the value set on it: up and down again, the level stays.
    auto* level = findPanelSlider ("ParamEq8  { ParamEq8 }  DSP2 - #5", "Level");
    ASSERT_NE (level, nullptr);
    level->setValue (30.0, juce::sendNotificationSync);

    for (auto count : { 3.0, 4.0, 2.0, 4.0 })
    {
        box->getCountSlider()->setValue (count, juce::sendNotificationSync);
        graph.dispatchPendingMessages();
        EXPECT_EQ (graph.getNode (0)->getChannelCount(), (uint32_t) count);
        EXPECT_TRUE (box->isPanelShown());
        EXPECT_EQ (keptValue ("Level"), 30u) << "at count " << count;
        level = findPanelSlider ("ParamEq8  { ParamEq8 }  DSP2 - #5", "Level");
        ASSERT_NE (level, nullptr);
        EXPECT_NEAR (level->getValue(), 30.0, 0.5);
    }

    // Removing the process takes its panel window with it.
    box->setSelected (true);
    view->removeSelection();
    graph.dispatchPendingMessages();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_EQ (findWindowTitled ("ParamEq8  { ParamEq8 }  DSP2 - #5"), nullptr);
    EXPECT_EQ (view->getBoxes().size(), 0);
}

// A renamed process's panel is titled with its new name at once, on screen
// or closed by the user, and shows what was set on it.
TEST_F (NodeBoxPanelTest, APanelTakesTheNewNameOfItsProcessAndKeepsItsValues)
{
    auto* box = placeEqualiser();
    ASSERT_NE (box, nullptr);
    openPanel (*box);
    auto* level = findPanelSlider ("ParamEq8  { ParamEq8 }  DSP2 - #5", "Level");
    ASSERT_NE (level, nullptr);
    level->setValue (80.0, juce::sendNotificationSync);

    auto rename = [box] (const juce::String& name)
    {
        box->handleMenuResult (Zorvex::setNameItem);
        box->getNameEditor()->setText (name);
        box->textEditorReturnKeyPressed (*box->getNameEditor());
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    };

    rename ("Main EQ");
    EXPECT_EQ (findWindowTitled ("ParamEq8  { ParamEq8 }  DSP2 - #5"), nullptr);
    auto* window = findWindowTitled ("Main EQ  { ParamEq8 }  DSP2 - #5");
    ASSERT_NE (window, nullptr) << "renamed on screen";
    ASSERT_NE (vxtest::findSlider (*window, "Level"), nullptr);
    EXPECT_NEAR (vxtest::findSlider (*window, "Level")->getValue(), 80.0, 0.5);

    // Closed by the user, renamed, opened again.
    box->getControlPanel().removePanel (box->getControlPanel().getPanelWindow (0));
    rename ("Vocal EQ");
    EXPECT_EQ (findWindowTitled ("Main EQ  { ParamEq8 }  DSP2 - #5"), nullptr);
    openPanel (*box);
    window = findWindowTitled ("Vocal EQ  { ParamEq8 }  DSP2 - #5");
    ASSERT_NE (window, nullptr) << "renamed while closed";
    EXPECT_NEAR (vxtest::findSlider (*window, "Level")->getValue(), 80.0, 0.5);
}

// A delay's memory sets the range and units of its time: a change keeps the
// time it stands for, within the new range, on the panel and in what a save
// takes; its undo gives the value back.
TEST_F (NodeBoxPanelTest, AMemoryChangeKeepsADelaysTimeWithinItsNewRange)
{
    auto* box = placeProcess ("LongDelay");
    ASSERT_NE (box, nullptr);
    openPanel (*box);
    const juce::String title ("LongDelay  { LongDelay }  DSP2 - #5");
    auto* time = findPanelSlider (title, "Time1");
    ASSERT_NE (time, nullptr);
    time->setValue (time->getMaximum(), juce::sendNotificationSync);
    const auto longest = keptValue ("Time1");
    ASSERT_GT (longest, 2u);

    box->getMemoryCombo()->setSelectedId (GraphNode::memoryChoiceInternal24BitRam, juce::sendNotificationSync);
    graph.dispatchPendingMessages();
    EXPECT_EQ (keptValue ("Time1"), longest / 2) << "a word a sample in 24-bit RAM: the same time";
    time = findPanelSlider (title, "Time1");
    ASSERT_NE (time, nullptr);
    EXPECT_NEAR (time->getValue(), longest / 2, 0.5);
    EXPECT_NEAR (time->getMaximum(), longest / 2, 0.5);

    EXPECT_TRUE (history.undo());
    graph.dispatchPendingMessages();
    EXPECT_EQ (keptValue ("Time1"), longest);
    EXPECT_NE (graph.getNode (0)->memoryChoice, GraphNode::memoryChoiceInternal24BitRam);
}
