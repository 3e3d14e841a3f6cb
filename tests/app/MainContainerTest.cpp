#include "app/MainContainer.h"
#include "app/ProjectInterface.h"
#include "hvif/HalvixInterface.h"

#include "ShellTestFixture.h"

#include <functional>
#include <string>
#include <vector>

namespace
{
using Shortcut = MainContainer::Shortcut;

juce::KeyPress ctrl (int key)
{
    return juce::KeyPress (key, juce::ModifierKeys::ctrlModifier, 0);
}

juce::KeyPress ctrlShift (int key)
{
    return juce::KeyPress (key, juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier, 0);
}

// Records in which order the library's objects were handed back.
struct ReleaseLog
{
    std::vector<std::string> entries;
};

class FakePanelObject : public HvIfPanelObject
{
public:
    explicit FakePanelObject (ReleaseLog& l) : log (l) {}
    void release() override
    {
        log.entries.push_back ("panel object");
        delete this;
    }
    bool loadPanelScript (HvIfStringInput&, HvIfMessageOutput&) override { return false; }
    bool getPanel (HvIfPanel** panel) override
    {
        *panel = nullptr;
        return false;
    }
    void handleMidiEvent (uint32_t) override {}

private:
    ReleaseLog& log;
};

class FakeInterface : public HvIfInterface
{
public:
    explicit FakeInterface (ReleaseLog& l) : log (l) {}
    void release() override
    {
        log.entries.push_back ("interface");
        delete this;
    }
    void handleSysEx (const uint8_t*, int) override {}
    HvIfPanelObject* createPanelObject() override { return new FakePanelObject (log); }

private:
    ReleaseLog& log;
};

class MainContainerTest : public ShellTestFixture
{
protected:
    MainContainerTest()
    {
        container.setBounds (0, 0, 1000, 700);
        container.onQuitRequested = [this] { ++quitRequests; };
    }

    MainContainer container{ *settings };
    int quitRequests = 0;
};
} // namespace

TEST (MainContainerShortcuts, EachKeyIsOneShortcutWithExactlyItsModifiers)
{
    EXPECT_EQ (MainContainer::findShortcut (ctrl ('c')), Shortcut::copy);
    EXPECT_EQ (MainContainer::findShortcut (ctrl ('v')), Shortcut::paste);
    EXPECT_EQ (MainContainer::findShortcut (juce::KeyPress (juce::KeyPress::deleteKey)), Shortcut::deleteSelection);
    EXPECT_EQ (MainContainer::findShortcut (juce::KeyPress (juce::KeyPress::escapeKey)), Shortcut::escape);
    EXPECT_EQ (MainContainer::findShortcut (ctrlShift ('z')), Shortcut::redo);
    EXPECT_EQ (MainContainer::findShortcut (ctrl ('y')), Shortcut::redo) << "on every tab, as Ctrl+Shift+Z";
    EXPECT_EQ (MainContainer::findShortcut (ctrl ('z')), Shortcut::undo);
    EXPECT_EQ (MainContainer::findShortcut (ctrlShift ('a')), Shortcut::unselectAll);
    EXPECT_EQ (MainContainer::findShortcut (ctrl ('a')), Shortcut::selectAll);
    EXPECT_EQ (MainContainer::findShortcut (ctrl ('l')), Shortcut::toggleCommandView);
    EXPECT_EQ (MainContainer::findShortcut (ctrl ('n')), Shortcut::newProject);
    EXPECT_EQ (MainContainer::findShortcut (ctrl ('s')), Shortcut::save);
    EXPECT_EQ (MainContainer::findShortcut (ctrlShift ('s')), Shortcut::saveAs);
    EXPECT_EQ (MainContainer::findShortcut (ctrl ('o')), Shortcut::open);
    EXPECT_EQ (MainContainer::findShortcut (ctrl ('g')), Shortcut::generateNrpnHandlers);
    EXPECT_EQ (MainContainer::findShortcut (ctrlShift ('g')), Shortcut::generateCommandHandlers);
    EXPECT_EQ (MainContainer::findShortcut (ctrl ('q')), Shortcut::quit);

    // Upper-case key codes, as JUCE may report them, are the same keys.
    EXPECT_EQ (MainContainer::findShortcut (ctrl ('Q')), Shortcut::quit);
}

TEST (MainContainerShortcuts, OtherModifiersMakeOtherKeys)
{
    EXPECT_EQ (MainContainer::findShortcut (juce::KeyPress ('s')), Shortcut::none);
    EXPECT_EQ (MainContainer::findShortcut (juce::KeyPress ('s', juce::ModifierKeys::altModifier, 0)), Shortcut::none);
    EXPECT_EQ (
        MainContainer::findShortcut (juce::KeyPress ('q', juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::altModifier, 0)),
        Shortcut::none);
    EXPECT_EQ (MainContainer::findShortcut (juce::KeyPress (juce::KeyPress::deleteKey, juce::ModifierKeys::ctrlModifier, 0)),
               Shortcut::none);
    EXPECT_EQ (MainContainer::findShortcut (ctrlShift ('q')), Shortcut::none);
    EXPECT_EQ (MainContainer::findShortcut (ctrl ('x')), Shortcut::none);
}

TEST_F (MainContainerTest, HasItsThreeTabsInOrder)
{
    EXPECT_EQ (container.getTabNames(), juce::StringArray ({ "Project settings", "Bus editor", "DSP editor" }));
    EXPECT_EQ (container.getOrientation(), juce::TabbedButtonBar::TabsAtTop);
    EXPECT_EQ (container.getTabContentComponent (0), &container.getProjectInterface());
    EXPECT_EQ (container.getTabContentComponent (1)->getName(), "BusContainer");
    EXPECT_EQ (container.getTabContentComponent (2)->getName(), "ProcessContainer");

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (container.getTabBackgroundColour (i), juce::Colour (0xff383838));

    auto& bar = container.getTabbedButtonBar();
    EXPECT_EQ (bar.getTabButton (2)->getTooltip(),
               "Choose a module and Drag&Drop process from the right list to the DSP editor view.");
    EXPECT_EQ (bar.getTabButton (1)->getTooltip(),
               "To start double-click on a DSP or right click on Bus editor view and \"Add DSP\".");
    EXPECT_EQ (container.getCurrentTabIndex(), 0);
}

TEST_F (MainContainerTest, EditKeysWithoutADspEditorAreLeftUnused)
{
    for (auto key : { ctrl ('c'), ctrl ('v'), juce::KeyPress (juce::KeyPress::deleteKey),
                      juce::KeyPress (juce::KeyPress::escapeKey), ctrlShift ('z'), ctrl ('z'), ctrlShift ('a'), ctrl ('a') })
        EXPECT_FALSE (container.keyPressed (key)) << key.getTextDescription();

    EXPECT_EQ (quitRequests, 0);
}

TEST_F (MainContainerTest, CtrlQAsksTheApplicationToQuit)
{
    EXPECT_TRUE (container.keyPressed (ctrl ('q')));
    EXPECT_EQ (quitRequests, 1);
}

TEST_F (MainContainerTest, CtrlLFlipsTheCommandViewIntoTheProject)
{
    EXPECT_TRUE (container.keyPressed (ctrl ('l')));
    EXPECT_TRUE (container.isCommandViewOn());
    EXPECT_TRUE (container.getProjectInterface().getProjectSettings().isCommandViewOn());

    container.keyPressed (ctrl ('l'));
    EXPECT_FALSE (container.isCommandViewOn());
    EXPECT_FALSE (container.getProjectInterface().getProjectSettings().isCommandViewOn());

    container.flipCommandViewFlag();
    container.clearCommandView();
    EXPECT_FALSE (container.isCommandViewOn());
    EXPECT_FALSE (container.getProjectInterface().getProjectSettings().isCommandViewOn());
}

TEST_F (MainContainerTest, CtrlNStartsANewProject)
{
    EXPECT_TRUE (container.keyPressed (ctrl ('n')));
    EXPECT_TRUE (dialogs.questions.empty());
    EXPECT_EQ (container.getCurrentTabIndex(), MainContainer::busEditorTab);
}

TEST_F (MainContainerTest, GeneratingAnUnsavedProjectStopsWithALogLine)
{
    // How the project stands before the keys: generation follows only a
    // save that happened, and a deleted output folder is made again.
    const struct
    {
        const char* name;
        bool saved;
        std::function<void (const juce::File& projectFile, const juce::File& output)> change;
        bool generates;
    } cases[] = {
        { "never saved: the chooser is cancelled", false, {}, false },
        { "its output folder deleted", true,
          [] (const juce::File&, const juce::File& output) { ASSERT_TRUE (output.deleteRecursively()); }, true },
        { "its file no longer writable", true,
          [] (const juce::File& projectFile, const juce::File&)
          { ASSERT_TRUE (projectFile.deleteFile() && projectFile.getChildFile ("held").create().wasOk()); },
          false },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        MainContainer project{ *settings };
        auto& page = project.getProjectInterface();
        const auto projectFile = folder.getChildFile (c.name).getChildFile ("demo.zqp");
        const auto output = projectFile.getSiblingFile ("firmware");

        if (c.saved)
        {
            ASSERT_TRUE (output.createDirectory().wasOk());
            dialogs.chosenFiles.push_back (projectFile);
            ASSERT_TRUE (page.saveProject (false));
            page.setOutputDirectory (output.getFullPathName());
            ASSERT_TRUE (page.saveProject (false));
            c.change (projectFile, output);
        }

        const auto requests = dialogs.chooserRequests.size();

        for (auto key : { ctrl ('s'), ctrl ('g'), ctrlShift ('g') })
        {
            clearLog();
            EXPECT_TRUE (project.keyPressed (key));
        }

        EXPECT_EQ (dialogs.chooserRequests.size(), requests + (c.saved ? 0 : 3)) << "only an unsaved project asks";

        if (c.generates)
        {
            EXPECT_TRUE (getLogText().startsWith ("Files generated in directory : " + output.getFullPathName() + "\n"))
                << getLogText();
            EXPECT_TRUE (output.getChildFile ("quellion.h").existsAsFile());
            EXPECT_EQ (juce::File::getCurrentWorkingDirectory(), output);
            EXPECT_TRUE (projectFile.existsAsFile());

            // The command handlers after the NRPN ones, into the same folder:
            // the kept main.c and IDE project build the other variant. Both
            // runs find no DSP with processes.
            EXPECT_TRUE (getLogText().contains ("Error#2: The kept \"main.c\" and \"demo.vtc\" of a generation with NRPN "
                                                "handlers still build \"midictrl.c\""));
            EXPECT_TRUE (getLogText().endsWith (">>> Your design contains a total number of 2 error(s).\n"));
        }
        else
        {
            EXPECT_EQ (getLogText(), "No files were generated! Aborted when saving project.");
        }

        EXPECT_EQ (getLogErrorCount(), c.generates ? 2 : 0) << getLogText();
    }
}

TEST_F (MainContainerTest, SavingAndOpeningKeysLeaveTheDesignAsItIsWhenCancelled)
{
    container.getBusGraph().addNode ("DSP", false, nullptr, 0.5, 0.5);
    container.getProjectInterface().setModified (true);
    dialogs.answers = { Dialogs::Answer::cancel };

    for (auto key : { ctrl ('s'), ctrlShift ('s'), ctrl ('o') })
        EXPECT_TRUE (container.keyPressed (key));

    EXPECT_EQ (container.getDspCount(), 1);
    EXPECT_TRUE (container.getProjectInterface().isModified());
    ASSERT_EQ (dialogs.chooserRequests.size(), 2u);
    EXPECT_EQ (dialogs.chooserRequests[1].title, "Save Ostrane Quellion project");
    ASSERT_EQ (dialogs.questions.size(), 1u);
    EXPECT_EQ (dialogs.questions[0].text, "Do you want to save before opening another project?");
}

TEST_F (MainContainerTest, OtherKeysAreLeftUnused)
{
    EXPECT_FALSE (container.keyPressed (juce::KeyPress ('x')));
    EXPECT_FALSE (container.keyPressed (ctrl ('x')));
    EXPECT_EQ (quitRequests, 0);
}

TEST (MainContainerLifetime, HandsTheLibrarysObjectsBackBeforeItsInterface)
{
    vxtest::TemporaryFolder folder;
    vxtest::ScriptedDialogs dialogs;
    auto settings = ApplicationSettings::open (folder.getChildFile ("a.cfg"));
    ReleaseLog log;

    {
        MainContainer container (*settings);
        auto* libraryInterface = new FakeInterface (log);
        container.setMidiControl (libraryInterface, libraryInterface->createPanelObject());
        EXPECT_EQ (container.getMidiControlInterface(), libraryInterface);
    }

    EXPECT_EQ (log.entries, (std::vector<std::string>{ "panel object", "interface" }));
}

TEST (MainContainerLifetime, ThePagesWriteTheirSettingsBeforeTheContainerGoes)
{
    vxtest::TemporaryFolder folder;
    vxtest::ScriptedDialogs dialogs;
    auto settings = ApplicationSettings::open (folder.getChildFile ("a.cfg"));

    {
        MainContainer container (*settings);
        container.getProjectInterface().getRecentFiles().addFile (folder.getChildFile ("x.zqp"));
    }

    EXPECT_TRUE (settings->getValue ("RecentFileList").contains ("x.zqp"));
    EXPECT_EQ (settings->getValue ("checkForUpdate"), "1");
}
