#include "app/ApplicationSettings.h"
#include "app/ControlPanelCallback.h"
#include "app/MainAppWindow.h"
#include "app/MainContainer.h"
#include "app/MidiControlLibrary.h"
#include "app/ProjectInterface.h"
#include "app/SavePresetThread.h"
#include "app/WindowContainer.h"
#include "editors/Dialogs.h"
#include "editors/DspEditor.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessEditor.h"
#include "editors/SourceItemListboxContents.h"
#include "editors/Zorvex.h"
#include "model/DesignLog.h"
#include "model/GlobalPresetList.h"

#include "support/FakeMidiDevices.h"
#include "support/UiTestSupport.h"
#include "support/XSession.h"

#include <optional>
#include <utility>

// A design made, kept and found again by a user, through the X server and
// JUCE's own dialogs, every question answered with the pointer and the keys:
// the program starts on a project; the output directory is chosen on the
// settings page; a LongDelay goes into internal 24-bit RAM; an equaliser's
// band Q and its Level slider are set apart; the equaliser's values become a
// named preset; the project is saved, then saved as a copy in another
// folder, where a global preset is made; a last change, Ctrl+Q and "Yes" to
// the question. Started again on the copy, everything is back and the log
// is empty. The test "app.DesignSession" runs it on an X server of its own
// with a window manager.
namespace
{
using namespace vxtest;

// The project the session starts on: one DSP with its module and nothing in
// it (tests/app/shell_session.sh starts on it too).
juce::File getStartProject()
{
    return juce::File (VX_SOURCE_DIR).getChildFile ("tests/app/oneDsp.zqp");
}

// What the user set, read back from the program.
struct Equaliser
{
    double bandQ = -1.0, level = -1.0;

    bool operator== (const Equaliser& other) const { return bandQ == other.bandQ && level == other.level; }
    bool operator!= (const Equaliser& other) const { return ! operator== (other); }

    friend void PrintTo (const Equaliser& e, std::ostream* out) { *out << "band Q " << e.bandQ << ", Level " << e.level; }
};

// Values set at one step differ from another's in both parameters, so that
// bringing either back is seen.
bool differsInEach (const Equaliser& a, const Equaliser& b)
{
    return a.bandQ != b.bandQ && a.level != b.level;
}

// A click at a fraction of a panel slider's track (its value box stands at
// its right), which moves the slider there.
void clickSliderAt (juce::Slider& slider, float fraction)
{
    // The place is taken anew at each attempt: a window manager under load
    // may move the panel after it was shown.
    const auto spot = [&]
    {
        const auto track = slider.getScreenBounds().withTrimmedRight (slider.getTextBoxWidth()).reduced (10, 0);
        return juce::Point<int> (track.getX() + juce::roundToInt ((float) track.getWidth() * fraction), track.getCentreY());
    };
    const auto before = slider.getValue();
    EXPECT_TRUE (repeatUntil (
        [&]
        {
            bringToFront (slider);
            clickAt (spot());
        },
        [&] { return slider.getValue() != before; }))
        << slider.getName() << " moved\n"
        << describeScreen();
}

class Session
{
public:
    // A run of the program: the MIDI-control library opened, the window
    // made with the project named on the command line.
    Session (const juce::File& project, const juce::File& settings)
    {
        auto* library = midiLibrary.openInterface (MidiControlLibrary::getDefaultFile(), callback, Dialogs::getCurrent());
        EXPECT_NE (library, nullptr);
        window = std::make_unique<MainAppWindow> (project, library, ApplicationSettings::open (settings));

        // Ctrl+Q reaches the application, which asks the window first and
        // then ends; here the session ends in its place.
        getMain().onQuitRequested = [this]
        {
            if (window->prepareToQuit())
            {
                window->setVisible (false);
                quitting = true;
            }
        };
    }

    MainAppWindow& getWindow() { return *window; }
    MainContainer& getMain() { return window->getMainContainer(); }
    ProjectInterface& getProject() { return getMain().getProjectInterface(); }
    DspEditor& getPage() { return *getMain().getProcessContainer().getDsp (0); }
    ProcessEditor& getEditor() { return getPage().getProcessEditor(); }

    void activate() { bringToFront (*window); }

    bool showTab (int tab)
    {
        auto* button = getMain().getTabbedButtonBar().getTabButton (tab);
        return repeatUntil ([&] { clickOn (*button); }, [&] { return getMain().getCurrentTabIndex() == tab; });
    }

    Zorvex* findBox (const juce::String& process)
    {
        for (auto* box : getEditor().getBoxes())
            if (auto* node = box->getNode(); node != nullptr && node->getName() == process)
                return box;

        return nullptr;
    }

    juce::Point<int> spotOf (Zorvex& box) { return box.localPointToGlobal (bareSpotOf (box)); }

    // The process's panel, opened with a double click on its box, in front
    // with the keyboard: a window manager under load may map it behind the
    // main window, from where the next double click brings it.
    juce::DocumentWindow* openPanel (const juce::String& process)
    {
        auto* box = findBox (process);

        if (box == nullptr)
            return nullptr;

        const auto spot = spotOf (*box);
        EXPECT_TRUE (repeatUntil ([&] { doubleClickAt (spot); },
                                  [&]
                                  {
                                      auto* panel = findWindowStartingWith (process);
                                      return panel != nullptr && panel->isActiveWindow();
                                  }))
            << "the panel of " << process << " came to the front";
        return findWindowStartingWith (process);
    }

    // The panel's own close button; the program may delete the window then.
    void closePanel (juce::DocumentWindow& panel)
    {
        juce::Component::SafePointer<juce::DocumentWindow> shown (&panel);
        EXPECT_TRUE (repeatUntil (
            [&]
            {
                if (shown != nullptr)
                {
                    bringToFront (*shown);
                    clickOn (*shown->getCloseButton());
                }
            },
            [&] { return shown == nullptr || ! shown->isVisible(); }))
            << "the panel's close button was reached";
    }

    // The first band's Q and the Level slider as the equaliser's panel
    // shows them; with fractions given, each is first moved there with a
    // click on its track.
    Equaliser showEqualiser (std::optional<std::pair<float, float>> fractions = {})
    {
        Equaliser values;
        auto* panel = openPanel ("ParamEq8");
        auto* band = panel != nullptr ? findSlider (*panel, "Q1") : nullptr;
        auto* level = panel != nullptr ? findSlider (*panel, "Level") : nullptr;

        if (band == nullptr || level == nullptr)
        {
            ADD_FAILURE() << "no equaliser panel with its band Q and Level slider";
            return values;
        }

        if (fractions.has_value())
        {
            clickSliderAt (*band, fractions->first);
            clickSliderAt (*level, fractions->second);
        }

        values = { band->getValue(), level->getValue() };
        closePanel (*panel);
        return values;
    }

    // Opens the box's menu with a right click and answers it with keys.
    bool chooseFromBoxMenu (Zorvex& box, const juce::String& keys)
    {
        return answerMenu ("mousemove " + at (spotOf (box)) + " sleep 0.1 click 3",
                           [keys] (juce::Rectangle<int>) { return "key " + keys; });
    }

    bool quitWithKeys()
    {
        activate();
        xdo ("key ctrl+q");
        return waitFor ([this] { return quitting; }, 10000);
    }

private:
    RecordingPort port;
    ControlPanelCallback callback{ &port };
    MidiControlLibrary midiLibrary;
    std::unique_ptr<MainAppWindow> window;
    bool quitting = false;
};

// Drags a process from the page's list into its graph.
void dropProcess (DspEditor& page, const juce::String& process, juce::Point<int> where)
{
    auto& list = page.getProcessList();
    auto& rows = page.getProcessListContents();
    auto& graph = page.getSlot().getGraph();
    const auto before = graph.getNumNodes();

    for (int row = 0; row < rows.getNumRows(); ++row)
        if (rows.getRowName (row) == process)
            drag (list.localPointToGlobal (list.getRowPosition (row, true).getCentre()),
                  page.getProcessEditor().localPointToGlobal (where));

    EXPECT_TRUE (waitFor ([&] { return graph.getNumNodes() > before; })) << process << " was not dropped";
}

// The keys that open a menu's item from the top: a Down for each item the
// keyboard stops at (it steps over separators and disabled items) up to it,
// then `then`; nothing when the item is not there or disabled.
juce::String keysToMenuItem (const juce::PopupMenu& menu, const juce::String& name, const juce::String& then)
{
    juce::StringArray keys;

    for (juce::PopupMenu::MenuItemIterator items (menu); items.next();)
    {
        const auto& item = items.getItem();
        const auto stops = item.isEnabled && ((item.itemID != 0 && ! item.isSectionHeader) ||
                                              (item.subMenu != nullptr && item.subMenu->getNumItems() > 0));

        if (stops)
            keys.add ("Down");

        if (item.text == name)
            return stops ? keys.joinIntoString (" ") + " " + then : juce::String();
    }

    return {};
}
} // namespace

TEST (DesignSession, EverythingSetComesBackAfterSaveAsQuitAndANewStart)
{
    if (std::getenv ("VX_DESIGN_SESSION") == nullptr)
        GTEST_SKIP() << "runs as app.DesignSession, on an X server of its own with a window manager";

    VX_REQUIRE_DISPLAY();
    clearDesignFlags();
    clearLog();

    TemporaryFolder folder;
    ScopedWorkingDirectory workingDirectory;
    const auto studio = folder.getChildFile ("Studio");
    const auto copies = folder.getChildFile ("Copies");
    ASSERT_TRUE (studio.getChildFile ("fw").createDirectory());
    ASSERT_TRUE (copies.createDirectory());
    const auto projectFile = studio.getChildFile ("Studio.zqp");
    const auto copyFile = copies.getChildFile ("StudioCopy.zqp");
    ASSERT_TRUE (getStartProject().copyFileTo (projectFile));
    const auto settingsFile = folder.getChildFile ("settings.cfg");

    // Every question comes in a window of JUCE's, answered below.
    WindowAnswers answers;

    Equaliser named, global, last;
    juce::String delayChoice;

    {
        Session session (projectFile, settingsFile);
        auto& project = session.getProject();
        ASSERT_TRUE (waitFor ([&] { return session.getWindow().isShowing(); }));
        session.getWindow().setBounds (0, 0, 1200, 860);
        pump (800);
        session.activate();

        // The output directory: "..." on the settings page, the folder typed.
        ASSERT_TRUE (session.showTab (MainContainer::projectSettingsTab));
        answers.expect ("Choose your directory", typePathIntoChooser (studio.getChildFile ("fw")));
        clickOn (project.getChooserButton());
        ASSERT_TRUE (answers.waitUntilAnswered());
        ASSERT_EQ (project.getProjectSettings().getOutputDirectory(), studio.getChildFile ("fw"));
        EXPECT_EQ (project.getOutputDirectoryEditor().getText(), "fw");

        // A LongDelay into internal 24-bit RAM, and an equaliser.
        ASSERT_TRUE (session.showTab (MainContainer::dspEditorTab));
        auto& page = session.getPage();
        dropProcess (page, "LongDelay", { 220, 200 });
        dropProcess (page, "ParamEq8", { 560, 200 });
        auto* delay = session.findBox ("LongDelay");
        auto* equaliser = session.findBox ("ParamEq8");
        ASSERT_NE (delay, nullptr);
        ASSERT_NE (equaliser, nullptr);
        ASSERT_NE (delay->getMemoryCombo(), nullptr);
        answers.expectKeys ("Internal RAM Selected", "Return");
        chooseWithKeys (*delay->getMemoryCombo(), "Down Down Return");
        ASSERT_TRUE (answers.waitUntilAnswered());
        delayChoice = delay->getMemoryCombo()->getText();
        ASSERT_EQ (delayChoice, "24-bit Int. RAM ");
        EXPECT_EQ (delay->getNode()->memoryChoice, GraphNode::memoryChoiceInternal24BitRam);

        // The band's Q and the Level slider, two parameters, each moved from
        // where it starts; the equaliser's values become the preset "Warm".
        named = session.showEqualiser (std::pair (0.7f, 0.25f));
        answers.expectTyping ("New Preset", "Warm");
        const auto toSave = keysToMenuItem (equaliser->buildMenu(), "Save preset", "Right Return");
        ASSERT_TRUE (toSave.isNotEmpty());
        ASSERT_TRUE (session.chooseFromBoxMenu (*equaliser, toSave));
        ASSERT_TRUE (answers.waitUntilAnswered());
        ASSERT_EQ (equaliser->getPresetList().getPresetName (0), "Warm");

        // Saved in place, then saved as a copy in another folder.
        session.activate();
        xdo ("key ctrl+s");
        ASSERT_TRUE (waitFor ([&] { return ! project.isModified(); }));
        EXPECT_TRUE (projectFile.loadFileAsString().contains ("MemoryDelay=\"3\""));
        EXPECT_TRUE (studio.getChildFile ("Studio.presets").loadFileAsString().contains ("Warm"));

        answers.expect ("Save Ostrane Quellion project", typePathIntoChooser (copyFile));
        session.activate();
        xdo ("key ctrl+shift+s");
        ASSERT_TRUE (answers.waitUntilAnswered());
        ASSERT_TRUE (waitFor ([&] { return project.getProjectSettings().getProjectFile() == copyFile; }));
        EXPECT_TRUE (copies.getChildFile ("StudioCopy.presets").loadFileAsString().contains ("Warm"));
        EXPECT_EQ (project.getProjectSettings().getOutputDirectory(), copies.getChildFile ("fw"));
        EXPECT_EQ (project.getOutputDirectoryEditor().getText(), "fw");

        // Other values make a global preset of the copy, which locks it. (A
        // Save As unlocks a design: global presets stay with the name they
        // were made under, so the copy's are made after it.)
        global = session.showEqualiser (std::pair (0.4f, 0.8f));
        EXPECT_TRUE (differsInEach (global, named));
        auto& container = session.getWindow().getWindowContainer();
        answers.expectTyping ("New Global preset", "Stage");
        answers.allow (SavePresetThread::windowTitle);
        answers.expectKeys ("Saving global preset", "Return");
        answers.expectKeys ("Warning - global preset", "Return");
        clickOn (container.getSavePresetButton());
        ASSERT_TRUE (answers.waitUntilAnswered());
        ASSERT_EQ (session.getMain().getGlobalPresets().getCount(), 1);
        EXPECT_TRUE (isDesignLocked());
        EXPECT_TRUE (copies.getChildFile ("StudioCopy_global.presets").existsAsFile());

        // A last change, then Ctrl+Q: "Yes", save it.
        last = session.showEqualiser (std::pair (0.15f, 0.55f));
        EXPECT_TRUE (differsInEach (last, global) && differsInEach (last, named));
        EXPECT_TRUE (project.isModified());
        answers.expectKeys ("OSTRANE Quellion", "Return");
        ASSERT_TRUE (session.quitWithKeys());
        ASSERT_TRUE (answers.waitUntilAnswered());
        EXPECT_EQ (getLogText(), "");
    }

    EXPECT_TRUE (copyFile.loadFileAsString().contains ("MemoryDelay=\"3\""));

    // Started again on the copy, as from its command line: locked by its
    // global preset, which the program says.
    clearDesignFlags();
    answers.expectKeys ("Warning - global preset", "Return");
    Session session (copyFile, settingsFile);
    ASSERT_TRUE (answers.waitUntilAnswered());
    ASSERT_TRUE (waitFor ([&] { return session.getWindow().isShowing(); }));
    pump (800);
    session.activate();
    auto& project = session.getProject();
    ASSERT_TRUE (session.showTab (MainContainer::dspEditorTab));
    auto* delay = session.findBox ("LongDelay");
    auto* equaliser = session.findBox ("ParamEq8");
    ASSERT_NE (delay, nullptr);
    ASSERT_NE (equaliser, nullptr);

    EXPECT_TRUE (session.getWindow().getName().contains ("(locked)")) << session.getWindow().getName();
    EXPECT_EQ (delay->getNode()->memoryChoice, GraphNode::memoryChoiceInternal24BitRam);
    EXPECT_EQ (delay->getMemoryCombo()->getText(), delayChoice);
    EXPECT_EQ (project.getProjectSettings().getOutputDirectory(), copies.getChildFile ("fw"));
    EXPECT_EQ (project.getOutputDirectoryEditor().getText(), "fw");
    EXPECT_EQ (session.showEqualiser(), last);

    // The named preset loads from the box's menu.
    const auto toLoad = keysToMenuItem (equaliser->buildMenu(), "Load preset", "Right Return");
    ASSERT_TRUE (toLoad.isNotEmpty()) << "\"Load preset\" is offered";
    ASSERT_TRUE (session.chooseFromBoxMenu (*equaliser, toLoad));
    EXPECT_EQ (session.showEqualiser(), named);

    // The global preset is listed and applies its values.
    auto& presets = session.getWindow().getWindowContainer().getGlobalPresetCombo();
    ASSERT_EQ (presets.getNumItems(), 2);
    EXPECT_EQ (presets.getItemText (1), "Stage");
    chooseWithKeys (presets, "Down Return");
    EXPECT_EQ (presets.getText(), "Stage");
    EXPECT_EQ (session.showEqualiser(), global);

    EXPECT_EQ (getLogText(), "");
    EXPECT_TRUE (answers.unexpected.isEmpty()) << "unexpected: " << answers.unexpected.joinIntoString (", ");
    EXPECT_TRUE (answers.unanswered.isEmpty()) << "not answered: " << answers.unanswered.joinIntoString (", ");
}
