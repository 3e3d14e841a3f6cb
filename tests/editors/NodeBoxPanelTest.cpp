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
} // namespace

// A process box of the sample library on a surface with our MIDI-control
// library: a double click opens its panel, a count change builds it again,
// and removing the process closes it.
TEST (NodeBoxPanelTest, ABoxOpensItsPanelOnOurLibraryAndClosesItWhenItGoes)
{
    VX_REQUIRE_DISPLAY();

    ModulesDefReader reader;
    reader.open (juce::File::getSpecialLocation (juce::File::currentExecutableFile).getSiblingFile ("Modules.def"));
    reader.parse();
    auto& library = reader.getLibrary();
    ASSERT_NE (library.addDsp (2, 0x21, 0), nullptr);
    const auto* module = library.findModuleById (0x21);
    ASSERT_NE (module, nullptr);
    const ProcessDefinition* eq = nullptr;

    for (auto& p : module->getProcesses())
        if (p->name == "ParamEq8")
            eq = p.get();

    ASSERT_NE (eq, nullptr);

    vxtest::ScriptedDialogs dialogs;
    BoardMidiCallback callback;
    MidiControlLibrary midiControl;
    auto* libraryInterface = midiControl.openInterface (MidiControlLibrary::getDefaultFile(), callback, dialogs);
    ASSERT_NE (libraryInterface, nullptr);

    {
        LibraryHost host (libraryInterface);
        GraphData graph;
        ActionManager history;
        GraphEditorView view (graph, true);
        view.setLibrary (&library, 2);
        view.setEditHistory (&history);
        view.setPanelHost (&host);
        view.setBounds (0, 0, 800, 600);

        graph.addNode ("ParamEq8", true, eq, 0.5, 0.5);
        graph.getLastAddedNode()->nrpn = 5;
        library.findDsp (2)->addProcessInstance (1, eq->processId);
        graph.dispatchPendingMessages();
        auto* box = view.findBoxByNodeId (1);
        ASSERT_NE (box, nullptr);

        box->mouseUp (vxtest::makeMouseEvent (*box, { 60, 40 }, {}, 2, false, { 60, 40 }));
        ASSERT_TRUE (box->isPanelShown());
        EXPECT_TRUE (box->getControlPanel().hasControlPanel());
        EXPECT_NE (findWindowTitled ("ParamEq8  { ParamEq8 }  DSP2 - #5"), nullptr);

        // Menu items of a process with controls reach the host.
        box->handleMenuResult (Zorvex::sendControlsItem);
        EXPECT_EQ (host.sentFrom, std::vector<uint32_t>{ 1 });
        box->handleMenuResult (Zorvex::resetControlsItem);
        EXPECT_TRUE (box->isPanelShown()) << "reset builds it again where it was";

        // A count change starts the panel afresh and keeps it on screen.
        box->getCountSlider()->setValue (4.0, juce::sendNotificationSync);
        graph.dispatchPendingMessages();
        EXPECT_EQ (graph.getNode (0)->getChannelCount(), 4u);
        EXPECT_TRUE (box->isPanelShown());

        // Removing the process takes its panel window with it.
        box->setSelected (true);
        view.removeSelection();
        graph.dispatchPendingMessages();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
        EXPECT_EQ (findWindowTitled ("ParamEq8  { ParamEq8 }  DSP2 - #5"), nullptr);
        EXPECT_EQ (view.getBoxes().size(), 0);
    }

    libraryInterface->release();
}
