#include "app/ApplicationSettings.h"
#include "app/MainAppWindow.h"
#include "app/MainContainer.h"
#include "app/OutputLogWindow.h"
#include "app/ProjectInterface.h"
#include "app/WindowContainer.h"
#include "editors/DspEditor.h"
#include "editors/GraphEditorView.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessEditor.h"
#include "editors/Zorvex.h"
#include "model/DesignLog.h"

#include "support/UiTestSupport.h"
#include "support/XSession.h"

// A user's day with a project, driven through the X server: the program is
// given a project file as its start file and shows the project's DSP pages;
// a process is removed with the keys, the project saved with Ctrl+S and its
// firmware generated with Ctrl+G, which shows the log window and writes the
// files into the output folder; the program is left, started again on the
// same file, and the change is there. It needs an X server of its own: the
// test "app.ProjectSession" starts one and runs it there.
namespace
{
using namespace vxtest;

// The sample project of the project file's tests, on the modules the
// program ships: its DSPs 1 and 3 (DSP 5 runs a module of the tests' own).
juce::String shippedProject()
{
    auto root = juce::parseXML (juce::File (VX_SOURCE_DIR).getChildFile ("tests/model/golden/sample.zqp"));
    auto* dsps = root->getChildByName ("DSPs");
    dsps->removeChildElement (dsps->getChildByAttribute ("Index", "5"), true);

    for (auto* list : { root->getChildByName ("DSPConnections"), root->getChildByName ("PinLabels") })
        for (int i = list->getNumChildElements(); --i >= 0;)
            if (list->getChildElement (i)->getStringAttribute ("Node") == "5" ||
                list->getChildElement (i)->getStringAttribute ("DstNodeId") == "5")
                list->removeChildElement (list->getChildElement (i), true);

    return root->toString();
}

int countNonBackgroundPixels (const juce::Image& shot)
{
    int count = 0;

    for (int y = 0; y < shot.getHeight(); y += 2)
        for (int x = 0; x < shot.getWidth(); x += 2)
            if (shot.getPixelAt (x, y) != juce::Colour (GraphEditorView::backgroundColour))
                ++count;

    return count;
}

} // namespace

TEST (ProjectSession, AProjectIsOpenedEditedSavedGeneratedAndFoundAgain)
{
    if (std::getenv ("VX_PROJECT_SESSION") == nullptr)
        GTEST_SKIP() << "runs as app.ProjectSession, on an X server of its own";

    VX_REQUIRE_DISPLAY();
    clearDesignFlags();

    vxtest::TemporaryFolder folder;
    vxtest::ScopedWorkingDirectory workingDirectory;
    const auto projectFile = folder.getChildFile ("Studio.zqp");
    ASSERT_TRUE (projectFile.replaceWithText (shippedProject()));
    const auto settingsFile = folder.getChildFile ("settings.cfg");

    {
        MainAppWindow window (projectFile, nullptr, ApplicationSettings::open (settingsFile));
        window.setBounds (0, 0, 1200, 860);
        pump (800);

        auto& main = window.getMainContainer();
        auto& pages = main.getProcessContainer();
        xdo ("windowfocus " + juce::String ((juce::pointer_sized_int) window.getWindowHandle()));

        // The project's DSPs have their pages, with a box per process.
        ASSERT_TRUE (clickUntilShowing (*main.getTabbedButtonBar().getTabButton (MainContainer::dspEditorTab), pages));
        ASSERT_EQ (pages.getTabNames(), juce::StringArray ({ "DSP#1", "DSP#3" }));
        auto& editor = pages.getDsp (0)->getProcessEditor();
        ASSERT_EQ (editor.getBoxes().size(), 3);
        EXPECT_EQ (editor.getConnectors().size(), 3);
        const auto shot = saveSnapshot (pages, "project-session-dsp.png");
        EXPECT_GT (countNonBackgroundPixels (shot), 2000) << "the page draws its boxes";

        // The delay is removed with the keys and the project saved.
        auto* delay = editor.findBoxByNodeId (3);
        ASSERT_NE (delay, nullptr);
        ASSERT_EQ (delay->getNode()->getName(), "LongDelay");
        // It stands to the right of the view: the view is scrolled to it.
        pages.getDsp (0)->getViewport().setViewPosition (delay->getX() - 200, 0);
        pump (200);
        xdo ("mousemove " + at (delay->localPointToGlobal (bareSpotOf (*delay))) + " click 1");
        waitFor ([&] { return editor.getNumSelected() == 1; });
        ASSERT_EQ (editor.getNumSelected(), 1);
        xdo ("key Delete");
        waitFor ([&] { return pages.getDsp (0)->getSlot().getGraph().getNumNodes() == 2; });
        ASSERT_EQ (pages.getDsp (0)->getSlot().getGraph().getNumNodes(), 2);
        xdo ("key ctrl+s");
        waitFor ([&] { return ! main.getProjectInterface().isModified(); });
        EXPECT_FALSE (main.getProjectInterface().isModified());
        EXPECT_FALSE (projectFile.loadFileAsString().contains ("LongDelay"));

        // Ctrl+G: the log window shows the generation, the files are there.
        xdo ("key ctrl+g");
        waitFor ([&] { return window.getWindowContainer().getLogWindow() != nullptr && getLogText().contains (">>> "); }, 8000);
        auto* log = window.getWindowContainer().getLogWindow();
        ASSERT_NE (log, nullptr);
        EXPECT_TRUE (log->isVisible());
        waitFor ([&] { return log->getOutputLog().getTextEditor().getText().contains (">>> "); }, 5000);
        const auto shown = log->getOutputLog().getTextEditor().getText();
        EXPECT_TRUE (shown.startsWith ("Compilation result on ")) << shown;
        EXPECT_TRUE (shown.contains ("dsp1.c")) << shown;

        const auto output = folder.getChildFile ("out");
        for (auto* name : { "dsp1.c", "dsp3.c", "mainbus.c", "midictrl.c", "midictrl.h", "quellion.h", "memorymap.h",
                            "MainAppConfig.h", "custom.h", "main.c", "quellionWrappers.s" })
            EXPECT_TRUE (output.getChildFile (name).existsAsFile()) << name;

        EXPECT_TRUE (folder.getChildFile ("Studio.vtc").existsAsFile());
        EXPECT_FALSE (output.getChildFile ("dsp1.c").loadFileAsString().contains ("LongDelay"));
    }

    // Started again on the same file: the change is there.
    clearDesignFlags();
    {
        MainAppWindow window (projectFile, nullptr, ApplicationSettings::open (settingsFile));
        pump (800);
        auto& design = window.getMainContainer().getDesign();
        ASSERT_NE (design.findDsp (1), nullptr);
        EXPECT_EQ (design.findDsp (1)->getGraph().getNumNodes(), 2);
        EXPECT_EQ (window.getMainContainer().getProcessContainer().getDsp (0)->getProcessEditor().getBoxes().size(), 2);
        EXPECT_FALSE (window.getMainContainer().getProjectInterface().isModified());
    }
}
