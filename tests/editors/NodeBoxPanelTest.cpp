#include "editors/ActionManager.h"
#include "editors/GraphEditorView.h"
#include "editors/Zorvex.h"

#include "app/BoardMidiCallback.h"
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
    Zorvex* placeEqualiser()
    {
        const ProcessDefinition* eq = nullptr;

        for (auto& p : getLibrary().findModuleById (0x21)->getProcesses())
            if (p->name == "ParamEq8")
                eq = p.get();

        graph.addNode ("ParamEq8", true, eq, 0.5, 0.5);
        graph.getLastAddedNode()->nrpn = 5;
        getLibrary().findDsp (2)->addProcessInstance (1, eq->processId);
        graph.dispatchPendingMessages();
        return view->findBoxByNodeId (1);
    }

    // A double click, as the user opens the panel.
    static void openPanel (Zorvex& box) { box.mouseUp (vxtest::makeMouseEvent (box, { 60, 40 }, {}, 2, false, { 60, 40 })); }

    ModulesDefReader reader;
    vxtest::ScriptedDialogs dialogs;
    BoardMidiCallback callback;
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
    box->handleMenuResult (Zorvex::resetControlsItem);
    EXPECT_TRUE (box->isPanelShown()) << "reset builds it again where it was";

    // A count change starts the panel afresh and keeps it on screen.
    box->getCountSlider()->setValue (4.0, juce::sendNotificationSync);
    graph.dispatchPendingMessages();
    EXPECT_EQ (graph.getNode (0)->getChannelCount(), 4u);
    EXPECT_TRUE (box->isPanelShown());

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
    auto* window = findWindowTitled ("ParamEq8  { ParamEq8 }  DSP2 - #5");
    ASSERT_NE (window, nullptr);
    auto* level = vxtest::findSlider (*window, "Level");
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
    window = findWindowTitled ("Main EQ  { ParamEq8 }  DSP2 - #5");
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
