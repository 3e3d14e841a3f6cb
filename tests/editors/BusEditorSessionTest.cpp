#include "app/ApplicationSettings.h"
#include "app/MainAppWindow.h"
#include "app/MainContainer.h"
#include "editors/BUSPin.h"
#include "editors/BusContainer.h"
#include "editors/BusEditor.h"
#include "editors/ConnectorComponent.h"
#include "editors/DspEditor.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessEditor.h"
#include "editors/ProcessPanelTool.h"
#include "editors/Zorvex.h"
#include "editors/ZorvexBus.h"
#include "model/DesignLog.h"

#include "support/UiTestSupport.h"
#include "support/XSession.h"

// A user's session on the bus editor, driven through the X server as a user
// drives it: two DSPs added from the bus editor's menu, their modules chosen
// on their pages, an output of one wired to an input of the other, a chip
// input named with the tool; then, on the first DSP's page, a process
// dragged in and a DSP input given to its pin with the process tool, taken
// back and brought again with the keys. Pictures of both pages are kept and
// sampled. It needs an X server of its own: the test
// "editors.BusEditorSession" starts one and runs it there.
namespace
{
using namespace vxtest;

bool isBackground (juce::Colour c)
{
    return c == juce::Colour (GraphEditorView::backgroundColour);
}

// Pixels of a picture of `root` inside a child's area that pass the test.
int countPixels (const juce::Image& shot, juce::Component& root, juce::Component& child,
                 const std::function<bool (juce::Colour)>& test)
{
    const auto area = root.getLocalArea (&child, child.getLocalBounds()).getIntersection (shot.getBounds());
    int count = 0;

    for (int x = area.getX(); x < area.getRight(); ++x)
        for (int y = area.getY(); y < area.getBottom(); ++y)
            if (test (shot.getPixelAt (x, y)))
                ++count;

    return count;
}

bool isIvory (juce::Colour c)
{
    return c.getRed() > 240 && c.getGreen() > 240 && c.getBlue() > 220;
}

bool isOrange (juce::Colour c)
{
    return c.getRed() > 200 && c.getGreen() > 100 && c.getGreen() < 200 && c.getBlue() < 80;
}

// Opens the background menu at a point of the bus editor and takes its
// first item, "Add DSP".
void addDspFromMenu (BusEditor& bus, juce::Point<int> where)
{
    const auto before = bus.getBoxes().size();
    ASSERT_TRUE (
        answerMenu ("mousemove " + at (bus.localPointToGlobal (where)) + " sleep 0.2 click 3", [] (juce::Rectangle<int> menu)
                    { return "mousemove " + at (menu.getPosition() + juce::Point<int> (30, 11)) + " sleep 0.2 click 1"; }));
    ASSERT_TRUE (waitFor ([&] { return bus.getBoxes().size() > before; }));
}

// Chooses the first module of the page's choice.
void chooseFirstModule (DspEditor& page)
{
    chooseWithKeys (page.getModuleChoice(), "Down Return");
}
} // namespace

TEST (BusEditorSession, DspsAreAddedWiredAndNamedAndTheirPagesTakeDspInputs)
{
    if (std::getenv ("VX_BUS_EDITOR_SESSION") == nullptr)
        GTEST_SKIP() << "runs as editors.BusEditorSession, on an X server of its own";

    VX_REQUIRE_DISPLAY();
    clearDesignFlags();

    vxtest::TemporaryFolder folder;
    vxtest::ScopedWorkingDirectory workingDirectory;

    {
        MainAppWindow window (juce::File(), nullptr, ApplicationSettings::open (folder.getChildFile ("settings.cfg")));
        window.setBounds (0, 0, 1200, 860);
        pump (500);

        auto& main = window.getMainContainer();
        auto& design = main.getDesign();
        auto& busGraph = design.getBusGraph();
        auto& busPage = main.getBusContainer();
        auto& bus = busPage.getBusEditor();
        auto& pages = main.getProcessContainer();
        xdo ("windowfocus " + juce::String ((juce::pointer_sized_int) window.getWindowHandle()));

        // The bus editor, and two DSPs from its menu.
        ASSERT_TRUE (clickUntilShowing (*main.getTabbedButtonBar().getTabButton (MainContainer::busEditorTab), busPage));
        addDspFromMenu (bus, { 200, 200 });
        addDspFromMenu (bus, { 600, 260 });
        ASSERT_EQ (busGraph.getNumNodes(), 2);
        EXPECT_EQ (busGraph.getNodeId (0), 1u);
        EXPECT_EQ (busGraph.getNodeId (1), 2u);
        ASSERT_EQ (bus.getBoxes().size(), 2);
        EXPECT_LE (bus.findBoxByNodeId (1)->getBounds().getCentre().getDistanceFrom ({ 200, 200 }), 2);

        // Their pages: each gets its module there.
        ASSERT_TRUE (clickUntilShowing (*main.getTabbedButtonBar().getTabButton (MainContainer::dspEditorTab), pages));
        ASSERT_EQ (pages.getTabNames(), juce::StringArray ({ "DSP#1", "DSP#2" }));

        for (int i = 0; i < 2; ++i)
        {
            ASSERT_TRUE (clickUntilShowing (*pages.getTabbedButtonBar().getTabButton (i), *pages.getDsp (i)));
            chooseFirstModule (*pages.getDsp (i));
        }

        ASSERT_NE (design.getDspModule (1), nullptr);
        ASSERT_NE (design.getDspModule (2), nullptr);

        // Back on the bus: the boxes have their pins; an output of DSP 1
        // wired to an input of DSP 2.
        ASSERT_TRUE (clickUntilShowing (*main.getTabbedButtonBar().getTabButton (MainContainer::busEditorTab), busPage));
        auto* output = bus.findBoxByNodeId (1)->findPin (1, 0, false);
        auto* input = bus.findBoxByNodeId (2)->findPin (2, 0, true);
        ASSERT_NE (output, nullptr);
        ASSERT_NE (input, nullptr);
        drag (centreOnScreen (*output), centreOnScreen (*input));
        waitFor ([&] { return busGraph.getNumConnections() > 0; });
        ASSERT_EQ (busGraph.getNumConnections(), 1)
            << "log: " << getLogText()
            << ", modal windows: " << juce::ModalComponentManager::getInstance()->getNumModalComponents();
        EXPECT_EQ (busGraph.getConnection (0)->sourceNode, 1u);
        EXPECT_EQ (busGraph.getConnection (0)->destNode, 2u);
        ASSERT_EQ (bus.getConnectors().size(), 1);

        // "Audio Input" chosen on the tool; a click on DSP 1's first input names it.
        clickOn (busPage.getPanelTool().getModeButton (BusPanelTool::audioInput));
        waitFor ([&] { return busPage.getPanelTool().getSelectedName() == "DAAD0L"; });
        EXPECT_EQ (busPage.getPanelTool().getSelectedName(), "DAAD0L");
        clickOn (*bus.findBoxByNodeId (1)->findPin (1, 0, true));
        waitFor ([&] { return busGraph.getNumBusPins() > 0; });
        ASSERT_EQ (busGraph.getNumBusPins(), 1);
        EXPECT_EQ (busGraph.getBusPin (0)->name, "DAAD0L");
        ASSERT_EQ (bus.getLabels().size(), 1);

        // The bus page as it stands.
        const auto busShot = saveSnapshot (busPage, "bus-editor-session-bus.png");
        auto& label = *bus.getLabels()[0];
        EXPECT_GT (countPixels (busShot, busPage, label, isIvory), 150) << "the label is drawn in ivory";
        EXPECT_GT (countPixels (busShot, busPage, *bus.getConnectors()[0], isOrange), 20) << "the wire is drawn in orange";
        auto& box = *bus.findBoxByNodeId (2);
        EXPECT_GT (countPixels (busShot, busPage, box, [] (juce::Colour c) { return c.getBrightness() < 0.1f; }), 1000)
            << "a box is drawn";
        EXPECT_TRUE (
            isBackground (busShot.getPixelAt (busPage.getLocalArea (&bus, juce::Rectangle<int> (400, 600, 1, 1)).getX(),
                                              busPage.getLocalArea (&bus, juce::Rectangle<int> (400, 600, 1, 1)).getY())));

        // A double click on DSP 1's box shows its page; there, a compressor
        // is dragged in and its first input given "DSPIN0" by the tool.
        ASSERT_EQ (pages.getCurrentTabIndex(), 1) << "DSP 2's page was the last one shown";
        auto& firstBox = *bus.findBoxByNodeId (1);
        xdo ("mousemove " + at (firstBox.localPointToGlobal (juce::Point<int> (firstBox.getWidth() / 2, 40))) +
             " click --repeat 2 --delay 80 1");
        waitFor ([&] { return main.getCurrentTabIndex() == MainContainer::dspEditorTab; });
        ASSERT_EQ (main.getCurrentTabIndex(), MainContainer::dspEditorTab);
        ASSERT_EQ (pages.getCurrentTabIndex(), 0);
        auto& page = *pages.getDsp (0);
        auto& editor = page.getProcessEditor();
        auto& graph = design.findDsp (1)->getGraph();
        auto& list = page.getProcessList();
        ASSERT_EQ (page.getProcessListContents().getRowName (2), "Compressor");
        drag (list.localPointToGlobal (list.getRowPosition (2, true).getCentre()),
              editor.localPointToGlobal (juce::Point<int> (400, 250)));
        waitFor ([&] { return graph.getNumNodes() > 0; });
        ASSERT_EQ (graph.getNumNodes(), 1);
        pump (200);

        auto& tool = page.getProcessPanelTool();
        clickOn (tool.getModeButton (ProcessPanelTool::dspInput));
        waitFor ([&] { return tool.getSelectedName() == "DSPIN0"; });
        EXPECT_EQ (tool.getSelectedName(), "DSPIN0");
        auto* processInput = editor.findBoxByNodeId (1)->findPin (1, 0, true);
        ASSERT_NE (processInput, nullptr);
        clickOn (*processInput);
        waitFor ([&] { return graph.getNumBusPins() > 0; });
        ASSERT_EQ (graph.getNumBusPins(), 1);
        EXPECT_EQ (graph.getBusPin (0)->name, "DSPIN0");
        ASSERT_EQ (editor.getLabels().size(), 1);

        // An undo step of its own: taken back and brought again with the keys.
        xdo ("key ctrl+z");
        waitFor ([&] { return graph.getNumBusPins() == 0; });
        EXPECT_EQ (graph.getNumBusPins(), 0);
        EXPECT_EQ (graph.getNumNodes(), 1) << "only the name went";
        xdo ("key ctrl+shift+z");
        waitFor ([&] { return graph.getNumBusPins() > 0; });
        ASSERT_EQ (graph.getNumBusPins(), 1);
        ASSERT_EQ (editor.getLabels().size(), 1);

        const auto dspShot = saveSnapshot (page, "bus-editor-session-dsp.png");
        EXPECT_GT (countPixels (dspShot, page, *editor.getLabels()[0], isIvory), 150) << "the DSP input's label is drawn";
        EXPECT_GT (countPixels (dspShot, page, tool.getModeButton (ProcessPanelTool::dspInput), isOrange), 100)
            << "the chosen mode is lit in orange";
    }

    clearDesignFlags();
}
