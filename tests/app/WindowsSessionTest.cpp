#include "app/ApplicationSettings.h"
#include "app/ControlPanelCallback.h"
#include "app/MainAppWindow.h"
#include "app/MainContainer.h"
#include "app/MidiControlLibrary.h"
#include "app/OutputLogWindow.h"
#include "app/WindowContainer.h"
#include "editors/DspEditor.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessEditor.h"
#include "editors/Zorvex.h"
#include "model/DesignLog.h"

#include "support/FakeMidiDevices.h"
#include "support/UiTestSupport.h"
#include "support/XSession.h"

// A user's session with the windows beside the main window, driven through
// the X server under a window manager: the main window covers the screen
// (its maximise button), a process's control panel is opened with a double
// click and stays in front of the main window at a click there, and where
// it was put when it is built again; the log window that Ctrl+G shows stays
// in front of the main window, closes with its close button, and leaves
// its area to the main window. The test "app.WindowsSession" runs it on an
// X server of its own with openbox.
namespace
{
using namespace vxtest;

const char* project = R"(<?xml version="1.0" encoding="UTF-8"?>
<OSTRANE_QUELLION_Configuration Version="1.01" SoftwareVersion="1.3.3.6" CreatedWith="1.3.3.6">
  <DSPs>
    <DSP Index="1" PositionX="0.25" PositionY="0.5" ModuleId="33" Name="DSP" nrpn="1">
      <Processes>
        <Process PositionX="0.1" PositionY="0.05" Index="0" Name="ParamEq8" InNb="1" OutNb="1" ProcessId="513" NCount="3221225474" MemoryDelay="1" nrpn="1"/>
      </Processes>
    </DSP>
  </DSPs>
  <ProjectSettings Chip="1" Sampling="1" MemorySize="128" ProjectWitdh="1000" ProjectHeight="700" Directory="out"/>
</OSTRANE_QUELLION_Configuration>
)";

// A point of the graph that nothing covers, at the given height of the
// screen, outside the area given (a window in front).
juce::Point<int> backgroundAt (ProcessEditor& editor, float screenHeightFraction, juce::Rectangle<int> besides = {})
{
    const auto screen = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->userArea;
    const auto y = screen.getY() + juce::roundToInt ((float) screen.getHeight() * screenHeightFraction);

    // From the middle rightwards, then leftwards.
    for (int step = 0; step < screen.getWidth() / 5; ++step)
        if (const auto x = screen.getCentreX() + (step % 2 == 0 ? 1 : -1) * (step / 2) * 10; ! besides.contains (x, y))
            if (auto local = editor.getLocalPoint (nullptr, juce::Point<int> (x, y));
                editor.getLocalBounds().contains (local) && editor.getComponentAt (local) == &editor)
                return { x, y };

    ADD_FAILURE() << "no bare graph at " << screenHeightFraction << " of the screen";
    return {};
}
} // namespace

TEST (WindowsSession, PanelsAndTheLogStayReachableBesideAMainWindowCoveringTheScreen)
{
    if (std::getenv ("VX_WINDOWS_SESSION") == nullptr)
        GTEST_SKIP() << "runs as app.WindowsSession, on an X server of its own with a window manager";

    VX_REQUIRE_DISPLAY();
    clearDesignFlags();

    vxtest::TemporaryFolder folder;
    vxtest::ScopedWorkingDirectory workingDirectory;
    vxtest::ScriptedDialogs dialogs;
    const auto projectFile = folder.getChildFile ("Windows.zqp");
    ASSERT_TRUE (projectFile.replaceWithText (project));

    RecordingPort port;
    ControlPanelCallback callback (&port);
    MidiControlLibrary midiLibrary;
    auto* libraryInterface = midiLibrary.openInterface (MidiControlLibrary::getDefaultFile(), callback, dialogs);
    ASSERT_NE (libraryInterface, nullptr);

    {
        MainAppWindow window (projectFile, libraryInterface, ApplicationSettings::open (folder.getChildFile ("settings.cfg")));
        ASSERT_TRUE (waitFor ([&] { return window.isShowing(); }));
        pump (800);
        xdo ("windowactivate --sync " + juce::String ((juce::pointer_sized_int) window.getWindowHandle()));
        auto& main = window.getMainContainer();
        auto& pages = main.getProcessContainer();

        // The main window covers the screen, from its own maximise button.
        ASSERT_NE (window.getMaximiseButton(), nullptr);
        ASSERT_TRUE (repeatUntil ([&] { clickOn (*window.getMaximiseButton()); }, [&] { return window.isFullScreen(); }));
        pump (500);
        ASSERT_TRUE (clickUntilShowing (*main.getTabbedButtonBar().getTabButton (MainContainer::dspEditorTab), pages));
        auto& editor = pages.getDsp (0)->getProcessEditor();
        auto* box = editor.findBoxByNodeId (1);
        ASSERT_NE (box, nullptr);
        const auto boxSpot = box->localPointToGlobal (bareSpotOf (*box));

        // The equaliser's panel opens with a double click on its box.
        ASSERT_TRUE (
            repeatUntil ([&] { doubleClickAt (boxSpot); }, [] { return findWindowStartingWith ("ParamEq8") != nullptr; }));
        auto* panel = findWindowStartingWith ("ParamEq8");
        auto* level = findSlider (*panel, "Level");
        ASSERT_NE (level, nullptr);
        pump (500);

        // A click on the main window beside the panel leaves the panel in
        // front, where a click moves its slider.
        const auto track = level->getScreenBounds();
        clickAt (backgroundAt (editor, 0.25f, panel->getScreenBounds()));
        pump (300);
        const auto before = level->getValue();
        EXPECT_TRUE (repeatUntil (
            [&] {
                clickAt ({ track.getX() + track.getWidth() / 5, track.getCentreY() });
            },
            [&] { return level->getValue() != before; }))
            << "the panel stayed in front\n"
            << describeScreen();

        // Moved, and built again as a preset loaded builds it, the panel
        // stands where it was put.
        panel->setTopLeftPosition (panel->getX() + 40, panel->getY() + 30);
        const auto placed = panel->getBounds();
        box->getControlPanel().rebuildControlPanel();
        ASSERT_TRUE (waitFor ([] { return findWindowStartingWith ("ParamEq8") != nullptr; }));
        panel = findWindowStartingWith ("ParamEq8");
        EXPECT_EQ (panel->getBounds(), placed);
        panel->closeButtonPressed();
        pump (300);

        // Ctrl+G shows the log window along the bottom.
        clickAt (backgroundAt (editor, 0.25f));
        xdo ("key ctrl+g");
        ASSERT_TRUE (waitFor ([&] { return window.getWindowContainer().getLogWindow() != nullptr; }, 8000));
        auto* log = window.getWindowContainer().getLogWindow();
        ASSERT_TRUE (waitFor ([&] { return log->isShowing(); }));
        pump (500);

        // A click on the main window leaves the log in front: its close
        // button closes it.
        clickAt (backgroundAt (editor, 0.25f));
        pump (300);
        EXPECT_TRUE (repeatUntil ([&] { clickOn (*log->getCloseButton()); }, [&] { return ! log->isVisible(); }))
            << "the log's close button was reached";

        // Where the log stood, the main window takes the clicks: a box
        // selected above is deselected by a click on the graph there.
        ASSERT_TRUE (repeatUntil ([&] { clickAt (boxSpot); }, [&] { return editor.getNumSelected() == 1; }));
        EXPECT_TRUE (repeatUntil ([&] { clickAt (backgroundAt (editor, 0.85f)); }, [&] { return editor.getNumSelected() == 0; }))
            << "the click reached the graph";
    }

    midiLibrary.close();
    clearDesignFlags();
}
