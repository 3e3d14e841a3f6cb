#include "app/ApplicationSettings.h"
#include "app/MainAppWindow.h"
#include "app/MainContainer.h"
#include "app/ProjectInterface.h"
#include "editors/BUSPin.h"
#include "editors/BusContainer.h"
#include "editors/BusEditor.h"
#include "editors/ConnectorComponent.h"
#include "editors/DspEditor.h"
#include "editors/JuceDialogs.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessEditor.h"
#include "editors/Zorvex.h"
#include "editors/ZorvexBus.h"
#include "model/DesignLog.h"

#include "support/UiTestSupport.h"
#include "support/XSession.h"

// Every context menu of the program, asked for with the right button through
// the X server as a user does: held down a while, or clicked quickly over
// and over. The release of the button that asked for a menu chooses none of
// its items, whatever stands under the pointer; Escape then closes it. The
// test "editors.ContextMenuSession" runs it on an X server of its own.
namespace
{
using namespace vxtest;

// The questions scripted, the menus real, and what each menu gave.
class RealMenus : public ScriptedDialogs
{
public:
    int showMenu (const juce::PopupMenu& menu, int standardItemHeight) override
    {
        ScriptedDialogs::showMenu (menu, standardItemHeight);
        const auto result = JuceDialogs().showMenu (menu, standardItemHeight);
        results.push_back (result);
        return result;
    }

    std::vector<int> results;
};

// The right button held at a point, released, and the menu closed.
void holdRightButton (juce::Point<int> onScreen)
{
    EXPECT_TRUE (answerMenu ("mousemove " + at (onScreen) + " sleep 0.2 mousedown 3 sleep 0.4 mouseup 3",
                             [] (juce::Rectangle<int>) { return juce::String ("key Escape"); }))
        << "no menu at " << at (onScreen);
}

void quickRightClicks (juce::Point<int> onScreen, int count)
{
    xdo ("mousemove " + at (onScreen));

    for (int i = 0; i < count; ++i)
        EXPECT_TRUE (answerMenu ("click 3", [] (juce::Rectangle<int>) { return juce::String ("key Escape"); }))
            << "no menu at " << at (onScreen);
}
} // namespace

TEST (ContextMenuSession, TheReleaseThatOpensAMenuChoosesNothing)
{
    if (std::getenv ("VX_CONTEXT_MENU_SESSION") == nullptr)
        GTEST_SKIP() << "runs as editors.ContextMenuSession, on an X server of its own";

    VX_REQUIRE_DISPLAY();
    clearDesignFlags();

    TemporaryFolder folder;
    ScopedWorkingDirectory workingDirectory;
    RealMenus dialogs;
    TemporaryFolder help;
    RecordingHelpViewer viewer (help.get());
    ASSERT_TRUE (help.getChildFile ("Quellion_Guide.pdf").replaceWithText ("guide"));

    {
        MainAppWindow window (juce::File(), nullptr, ApplicationSettings::open (folder.getChildFile ("settings.cfg")));
        window.setBounds (0, 0, 1200, 860);
        pump (500);

        auto& main = window.getMainContainer();
        auto& design = main.getDesign();
        xdo ("windowfocus " + juce::String ((juce::pointer_sized_int) window.getWindowHandle()));

        // DSP 1 runs the first module; two processes wired, a DSP input on the first.
        ASSERT_NE (design.addDsp (1, 0x21), nullptr);
        design.getBusGraph().restoreNode (1, 1, "DSP", false, nullptr, 0.3, 0.3);
        design.fitBusGraphToModule (1, design.getDspModule (1));
        pump (200);
        auto* page = main.getProcessContainer().findDspById (1);
        ASSERT_NE (page, nullptr);
        ASSERT_TRUE (clickUntilShowing (*main.getTabbedButtonBar().getTabButton (MainContainer::dspEditorTab), *page));

        auto& editor = page->getProcessEditor();
        auto& graph = design.findDsp (1)->getGraph();
        ASSERT_TRUE (editor.placeProcess (2, { 250, 200 }));
        ASSERT_TRUE (editor.placeProcess (2, { 550, 200 }));
        editor.makeConnection ({ 1, 0, 2, 0 }, false);
        graph.addBusPin (1, 0, 1, "DSPIN0");
        pump (300);
        ASSERT_EQ (graph.getNumNodes(), 2);
        ASSERT_EQ (graph.getNumConnections(), 1);
        ASSERT_EQ (editor.getConnectors().size(), 1);
        ASSERT_EQ (editor.getLabels().size(), 1);

        auto& first = *editor.findBoxByNodeId (1);
        auto& second = *editor.findBoxByNodeId (2);
        clickOn (first);
        ASSERT_TRUE (waitFor ([&] { return first.isSelected(); }));

        // Held on the second box: "Remove selected" stands under the pointer
        // and would remove the first. The release selects the second box.
        holdRightButton (second.localPointToGlobal (juce::Point<int> (second.getWidth() / 2, second.getHeight() / 2)));
        ASSERT_EQ (dialogs.results.size(), 1u) << "the menu opened";
        EXPECT_EQ (dialogs.results.back(), 0);
        EXPECT_EQ (graph.getNumNodes(), 2);
        EXPECT_TRUE (second.isSelected());
        EXPECT_FALSE (first.isSelected());

        quickRightClicks (second.localPointToGlobal (juce::Point<int> (second.getWidth() / 2, 30)), 6);
        EXPECT_EQ (dialogs.results.size(), 7u);
        EXPECT_EQ (graph.getNumNodes(), 2);

        // A pin, the connector, the DSP input's label and the background.
        const auto connectorMiddle =
            (centreOnScreen (*first.findPin (1, 0, false)) + centreOnScreen (*second.findPin (2, 0, true))) / 2;
        const juce::Point<int> targets[] = { centreOnScreen (*second.findPin (2, 0, false)), connectorMiddle,
                                             centreOnScreen (*editor.getLabels()[0]),
                                             editor.localPointToGlobal (juce::Point<int> (400, 600)) };

        for (auto target : targets)
        {
            const auto before = dialogs.results.size();
            holdRightButton (target);
            ASSERT_EQ (dialogs.results.size(), before + 1) << "no menu at " << at (target);
            EXPECT_EQ (dialogs.results.back(), 0) << at (target);
        }

        EXPECT_EQ (graph.getNumNodes(), 2);
        EXPECT_EQ (graph.getNumConnections(), 1);
        EXPECT_EQ (graph.getNumBusPins(), 1);

        // The bus editor: the DSP's box ("Remove DSP" asks nothing) and the
        // background ("Add DSP" adds nothing).
        auto& bus = main.getBusContainer().getBusEditor();
        ASSERT_TRUE (clickUntilShowing (*main.getTabbedButtonBar().getTabButton (MainContainer::busEditorTab), bus));
        auto* dspBox = bus.findBoxByNodeId (1);
        ASSERT_NE (dspBox, nullptr);
        holdRightButton (dspBox->localPointToGlobal (dspBox->getLocalBounds().getCentre()));
        EXPECT_EQ (dialogs.results.back(), 0);
        quickRightClicks (bus.localPointToGlobal (juce::Point<int> (600, 500)), 3);
        EXPECT_EQ (dialogs.results.back(), 0);
        EXPECT_EQ (design.getBusGraph().getNumNodes(), 1);
        EXPECT_TRUE (dialogs.buttonQuestions.empty()) << "nothing asked";

        // The project page's "Help".
        ASSERT_TRUE (clickUntilShowing (*main.getTabbedButtonBar().getTabButton (MainContainer::projectSettingsTab),
                                        main.getProjectInterface()));
        holdRightButton (main.getProjectInterface().localPointToGlobal (juce::Point<int> (500, 400)));
        EXPECT_EQ (dialogs.results.back(), 0);
        EXPECT_TRUE (viewer.opened.empty());

        EXPECT_EQ (dialogs.results.size(), 7u + 4u + 1u + 3u + 1u);
    }

    clearDesignFlags();
}
