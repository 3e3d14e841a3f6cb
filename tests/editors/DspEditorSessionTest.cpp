#include "app/ApplicationSettings.h"
#include "app/ControlPanelCallback.h"
#include "app/MainAppWindow.h"
#include "app/MainContainer.h"
#include "app/MidiControlLibrary.h"
#include "editors/ConnectorComponent.h"
#include "editors/DspEditor.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessControlPanel.h"
#include "editors/ProcessEditor.h"
#include "editors/Zorvex.h"
#include "editors/ZorvexBus.h"
#include "model/DesignLog.h"

#include "support/FakeMidiDevices.h"
#include "support/UiTestSupport.h"
#include "support/XSession.h"

#include <functional>

// A user's session on the DSP editor, driven through the X server as a user
// drives it: pick the DSP's module, drag two processes from the list into the
// graph, wire them with the mouse, undo and redo with the keys, then open a
// process's panel with a double click and move a slider, which sends its
// message to the board. It needs an X server of its own, as it moves the
// pointer: the test "editors.DspEditorSession" starts one and runs it there.
namespace
{
using namespace vxtest;
using Bytes = std::vector<uint8_t>;

bool isGraphBackground (juce::Colour c)
{
    return c == juce::Colour (GraphEditorView::backgroundColour);
}
} // namespace

TEST (DspEditorSession, AGraphIsBuiltWithTheMouseUndoneWithTheKeysAndAPanelSendsToTheBoard)
{
    if (std::getenv ("VX_DSP_EDITOR_SESSION") == nullptr)
        GTEST_SKIP() << "runs as editors.DspEditorSession, on an X server of its own";

    VX_REQUIRE_DISPLAY();
    clearDesignFlags();

    vxtest::TemporaryFolder folder;
    vxtest::ScopedWorkingDirectory workingDirectory;
    vxtest::ScriptedDialogs dialogs;
    RecordingPort port;
    ControlPanelCallback callback (&port);
    MidiControlLibrary midiLibrary;
    auto* libraryInterface = midiLibrary.openInterface (MidiControlLibrary::getDefaultFile(), callback, dialogs);
    ASSERT_NE (libraryInterface, nullptr);

    {
        MainAppWindow window (juce::File(), libraryInterface, ApplicationSettings::open (folder.getChildFile ("settings.cfg")));
        window.setBounds (0, 0, 1200, 860);
        pump (500);

        auto& main = window.getMainContainer();
        auto& design = main.getDesign();
        xdo ("windowfocus " + juce::String ((juce::pointer_sized_int) window.getWindowHandle()));

        // A DSP, as "Add DSP" of the bus editor makes it; the page shows it.
        auto* page = main.getProcessContainer().addDsp (-1);
        ASSERT_NE (page, nullptr);
        design.getBusGraph().restoreNode (page->getDspId(), 1, "DSP", false, nullptr, 0.2, 0.2);
        ASSERT_TRUE (clickUntilShowing (*main.getTabbedButtonBar().getTabButton (MainContainer::dspEditorTab), *page));
        ASSERT_EQ (main.getCurrentTabIndex(), MainContainer::dspEditorTab);

        // The module: its choice opens, the first module is taken.
        chooseWithKeys (page->getModuleChoice(), "Down Return");
        ASSERT_EQ (design.getDspModule (1)->name, "StudioCore8");
        auto& list = page->getProcessList();
        ASSERT_EQ (page->getProcessListContents().getRowName (0), "ParamEq8");
        ASSERT_EQ (page->getProcessListContents().getRowName (2), "Compressor");

        // Two processes dragged from the list into the graph.
        auto& editor = page->getProcessEditor();
        auto& graph = design.findDsp (1)->getGraph();
        auto rowOnScreen = [&list] (int row) { return list.localPointToGlobal (list.getRowPosition (row, true).getCentre()); };
        drag (rowOnScreen (0), editor.localPointToGlobal (juce::Point<int> (250, 220)));
        waitFor ([&] { return graph.getNumNodes() > 0; });
        drag (rowOnScreen (2), editor.localPointToGlobal (juce::Point<int> (650, 220)));
        waitFor ([&] { return graph.getNumNodes() > 1; });
        ASSERT_EQ (graph.getNumNodes(), 2);
        EXPECT_EQ (graph.getNode (0)->getName(), "ParamEq8");
        EXPECT_EQ (graph.getNode (1)->getName(), "Compressor");
        ASSERT_EQ (editor.getBoxes().size(), 2);
        EXPECT_LE (editor.findBoxByNodeId (1)->getBounds().getCentre().getDistanceFrom ({ 250, 220 }), 8);

        // Wired from the equaliser's output to the compressor's input.
        auto* output = editor.findBoxByNodeId (1)->findPin (1, 0, false);
        auto* input = editor.findBoxByNodeId (2)->findPin (2, 0, true);
        ASSERT_NE (output, nullptr);
        ASSERT_NE (input, nullptr);
        drag (centreOnScreen (*output), centreOnScreen (*input));
        waitFor ([&] { return graph.getNumConnections() > 0; });
        ASSERT_EQ (graph.getNumConnections(), 1);
        EXPECT_EQ (editor.getConnectors().size(), 1);

        // Each drop and the wire are a step of their own: the keys take them
        // back one by one and bring them again.
        xdo ("key ctrl+z");
        waitFor ([&] { return graph.getNumConnections() == 0; });
        EXPECT_EQ (graph.getNumConnections(), 0);
        EXPECT_EQ (graph.getNumNodes(), 2) << "only the wire goes";
        xdo ("key ctrl+z ctrl+z");
        waitFor ([&] { return graph.getNumNodes() == 0; });
        EXPECT_EQ (graph.getNumNodes(), 0);
        EXPECT_EQ (editor.getBoxes().size(), 0);
        xdo ("key ctrl+shift+z ctrl+y ctrl+shift+z");
        waitFor ([&] { return graph.getNumNodes() == 2 && graph.getNumConnections() == 1; });
        ASSERT_EQ (graph.getNumNodes(), 2);
        EXPECT_EQ (graph.getNumConnections(), 1);
        ASSERT_EQ (editor.getBoxes().size(), 2);
        ASSERT_EQ (editor.getConnectors().size(), 1);

        // The page as it stands, kept beside the tests.
        const auto shot = saveSnapshot (*page, "dsp-editor-session.png");

        auto pixel = [&] (juce::Component& c, juce::Point<int> p)
        { return shot.getPixelAt (page->getLocalPoint (&c, p).x, page->getLocalPoint (&c, p).y); };
        EXPECT_TRUE (isGraphBackground (pixel (editor, { 450, 600 }))) << "empty graph background";
        auto& box = *editor.findBoxByNodeId (1);
        EXPECT_FALSE (isGraphBackground (pixel (box, { box.getWidth() / 2, box.getHeight() / 2 }))) << "a box is drawn";
        auto& wire = *editor.getConnectors()[0];
        int wirePixels = 0;

        for (int x = 0; x < wire.getWidth(); ++x)
            for (int y = 0; y < wire.getHeight(); ++y)
                if (auto c = pixel (wire, { x, y }); c.getRed() > 200 && c.getGreen() > 100 && c.getBlue() < 80)
                    ++wirePixels;

        EXPECT_GT (wirePixels, 20) << "the wire is drawn in orange";
        EXPECT_NE (page->getLoadText (DspEditor::cyclesLoad), " 0.00% cycles");

        // The equaliser's panel, opened by a double click on its box.
        xdo ("mousemove " + at (box.localPointToGlobal (juce::Point<int> (box.getWidth() / 2, box.getHeight() - 20))) +
             " click --repeat 2 --delay 80 1");
        waitFor ([&] { return findWindowStartingWith ("ParamEq8") != nullptr; });
        auto* panel = findWindowStartingWith ("ParamEq8");
        ASSERT_NE (panel, nullptr) << "the panel window opens";
        auto* level = findSlider (*panel, "Level");
        ASSERT_NE (level, nullptr);
        const auto before = level->getValue();

        port.sent.clear();
        const auto track = level->getScreenBounds();
        xdo ("mousemove " + at ({ track.getX() + track.getWidth() / 5, track.getCentreY() }) + " click 1");
        // A loaded machine may handle the click late.
        waitFor ([&] { return level->getValue() != before; });
        pump (250);
        const auto value = (uint32_t) level->getValue();
        ASSERT_NE ((double) value, before) << "the slider moved";
        ASSERT_LT (value, 16384u);
        ASSERT_GE (port.sent.size(), 4u);

        // Channel 1 of DSP 1; NRPN number 1 (the process) and index 1 (its
        // level, the second control of the whole process; the bands follow
        // from index 3); the value raw.
        const std::vector<Bytes> last (port.sent.end() - 4, port.sent.end());
        EXPECT_EQ (last, (std::vector<Bytes>{ { 0xB0, 0x63, 0x01 },
                                              { 0xB0, 0x62, 0x01 },
                                              { 0xB0, 0x26, (uint8_t) (value & 0x7F) },
                                              { 0xB0, 0x06, (uint8_t) (value >> 7) } }));

        panel->closeButtonPressed();
        pump (100);
    }

    midiLibrary.close();
    clearDesignFlags();
}
