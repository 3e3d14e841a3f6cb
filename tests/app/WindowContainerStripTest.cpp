#include "app/ProjectInterface.h"
#include "app/WindowContainer.h"
#include "editors/Zorvex.h"
#include "hvif/HalvixInterface.h"
#include "model/ControlSysExMessage.h"
#include "model/DspDefinitionEntry.h"

#include "ShellTestFixture.h"
#include "support/FakeMidiDevices.h"

#include <thread>
#include <tuple>
#include <vector>

// The strip above the tabs: its widgets, the status label, the File menu,
// the MIDI devices (fake ones) and the global presets.
namespace
{
using Bytes = std::vector<uint8_t>;
using vxtest::FakeMidiDevices;

// What the combo shows: its choice, or its text for none.
juce::String shownText (const juce::ComboBox& combo)
{
    return combo.getSelectedId() == 0 ? combo.getTextWhenNothingSelected() : combo.getText();
}

// The library's interface as far as the container uses it: the System
// Exclusive messages it is handed, and on which thread.
class SysExLibrary : public HvIfInterface
{
public:
    void release() override { released = true; }
    void handleSysEx (const uint8_t* data, int length) override
    {
        received.emplace_back (data, data + length);
        onMessageThread.push_back (juce::MessageManager::getInstance()->isThisTheMessageThread());
    }
    HvIfPanelObject* createPanelObject() override { return nullptr; }

    std::vector<Bytes> received;
    std::vector<bool> onMessageThread;
    bool released = false;
};

class WindowContainerStripTest : public ShellTestFixture
{
protected:
    WindowContainerStripTest()
    {
        devices.inputs = { FakeMidiDevices::device ("Board In", "in-1"), FakeMidiDevices::device ("Keys", "in-2") };
        devices.outputs = { FakeMidiDevices::device ("Synth", "out-1"), FakeMidiDevices::device ("Board", "out-2") };
        makeContainer();
    }

    void makeContainer()
    {
        container = std::make_unique<WindowContainer> (*settings, &library);
        container->setBounds (0, 0, 1000, 800);
        container->getMainContainer().onQuitRequested = [this] { ++quitRequests; };
    }

    ProjectInterface& project() { return container->getProjectInterface(); }
    Design& design() { return container->getMainContainer().getDesign(); }

    // A process on DSP 2 with its "(Last-Saved)" values.
    GraphNode& addProcess (uint32_t nrpn, uint32_t gain, uint32_t mute)
    {
        if (design().findDsp (2) == nullptr)
            design().addDsp (2, 0x0021);

        auto& graph = design().findDsp (2)->getGraph();
        graph.addNode ("Gain", true, nullptr, 0.5, 0.5);
        auto& node = *graph.getLastAddedNode();
        node.nrpn = nrpn;
        design().getDspEntry (2)->addProcessInstance ((int) node.getId(), 0x0203);

        // The DSP's page makes the process's box, whose panel shows the
        // node's store, which is what is sent.
        design().dispatchPendingMessages();
        graph.dispatchPendingMessages();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        auto* box = dynamic_cast<Zorvex*> (node.getBox());
        EXPECT_NE (box, nullptr);

        auto& store = node.presetStore;
        store.addOrUpdateControl (1, "Gain", true);
        store.addOrUpdateControl (0x8002, "Mute", true);
        store.selectOrAddPreset ("(Last-Saved)", 0, true);
        store.getCurrentPresetRecord()->values = { gain, mute };
        return node;
    }

    std::vector<Bytes> sentTo (const juce::String& device) const
    {
        std::vector<Bytes> result;

        for (const auto& s : devices.sent)
            if (s.device == device)
                result.push_back (s.bytes);

        return result;
    }

    static void chooseItem (juce::ComboBox& combo, int index) { combo.setSelectedItemIndex (index, juce::sendNotificationSync); }

    FakeMidiDevices devices;
    SysExLibrary library;
    std::unique_ptr<WindowContainer> container;
    int quitRequests = 0;
};

struct MenuEntry
{
    int id;
    juce::String text;

    bool operator== (const MenuEntry& other) const { return id == other.id && text == other.text; }
};

std::vector<MenuEntry> entriesOf (const juce::PopupMenu& menu)
{
    std::vector<MenuEntry> entries;

    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        entries.push_back ({ item.isSeparator ? 0 : item.itemID, item.isSeparator ? "--" : item.text });
        EXPECT_TRUE (item.isSeparator || item.isEnabled) << item.text;
    }

    return entries;
}

std::ostream& operator<< (std::ostream& out, const MenuEntry& entry)
{
    return out << entry.id << " " << entry.text;
}
} // namespace

//==============================================================================
TEST_F (WindowContainerStripTest, EveryWidgetTakesItsPlace)
{
    auto& c = *container;
    EXPECT_EQ (c.getPosition(), juce::Point<int> (4, 30));
    EXPECT_EQ (c.getMainContainer().getBounds(), juce::Rectangle<int> (0, 40, 1000, 760));

    struct Place
    {
        juce::Component* component;
        juce::Rectangle<int> bounds;
    };

    for (const auto& [component, bounds] :
         { Place{ &c.getProjectButton(), { 13, 12, 112, 22 } }, Place{ &c.getAboutButton(), { 973, 12, 24, 22 } },
           Place{ &c.getStatusLabel(), { 130, 13, 200, 20 } }, Place{ &c.getMidiInputCombo(), { 732, 13, 85, 20 } },
           Place{ &c.getMidiOutputCombo(), { 822, 13, 90, 20 } }, Place{ &c.getRefreshButton(), { 918, 12, 50, 22 } },
           Place{ &c.getGlobalPresetCombo(), { 732, 41, 115, 20 } }, Place{ &c.getSavePresetButton(), { 918, 40, 50, 22 } },
           Place{ &c.getRemovePresetButton(), { 852, 40, 60, 22 } } })
    {
        EXPECT_EQ (component->getBounds(), bounds) << component->getName();
        EXPECT_EQ (component->getParentComponent(), &c) << component->getName();
    }

    for (auto* child : c.getChildren())
    {
        if (child->getName() == "midiInLabel")
        {
            EXPECT_EQ (child->getBounds(), juce::Rectangle<int> (673, 15, 60, 16));
            EXPECT_EQ (dynamic_cast<juce::Label&> (*child).getText(), "MIDI I/O");
        }
        else if (child->getName() == "Global preset")
        {
            EXPECT_EQ (child->getBounds(), juce::Rectangle<int> (645, 43, 95, 16));
        }
        else if (child->getName() == "midiDeviceGroup")
        {
            EXPECT_TRUE (child->getBounds().isEmpty()) << "the group keeps no place";
            EXPECT_EQ (dynamic_cast<juce::GroupComponent&> (*child).getText(), "MIDI device");
        }
    }

    EXPECT_EQ (c.getProjectButton().getButtonText(), "Project");
    EXPECT_EQ (c.getProjectButton().findColour (juce::TextButton::buttonColourId), juce::Colour (0xff484848));
    EXPECT_EQ (c.getStatusLabel().getName(), "new label");
    EXPECT_EQ (c.getStatusLabel().findColour (juce::Label::textColourId), juce::Colour (0xffff8c00));
    EXPECT_FALSE (c.getStatusLabel().isVisible());
    EXPECT_EQ (c.getMidiInputCombo().getName(), "comboBoxMidiIn");
    EXPECT_EQ (c.getMidiOutputCombo().findColour (juce::ComboBox::backgroundColourId), juce::Colour (0xfe282828));
    EXPECT_EQ (c.getGlobalPresetCombo().getName(), "GlobalPresets");
    EXPECT_EQ (shownText (c.getGlobalPresetCombo()), "(New)");
    EXPECT_EQ (c.getGlobalPresetCombo().getNumItems(), 1);
    EXPECT_FALSE (c.getSavePresetButton().isEnabled());
    EXPECT_EQ (c.getSavePresetButton().getButtonText(), "Save");
    EXPECT_EQ (c.getRemovePresetButton().getButtonText(), "Remove");
    EXPECT_FALSE (c.getRemovePresetButton().isEnabled());
}

TEST_F (WindowContainerStripTest, TheStatusLabelShowsEachStatusUntilItsTimeIsUp)
{
    auto& label = container->getStatusLabel();

    container->showProjectLoaded();
    EXPECT_TRUE (label.isVisible());
    EXPECT_EQ (label.getText(), "Project loaded!");
    EXPECT_TRUE (container->isTimerRunning());
    EXPECT_EQ (container->getTimerInterval(), 2000);

    container->showLoading();
    EXPECT_EQ (label.getText(), "Loading...");
    EXPECT_TRUE (label.isVisible()) << "only the text changes";

    container->timerCallback();
    EXPECT_FALSE (label.isVisible());
    EXPECT_FALSE (container->isTimerRunning());

    container->showLoading();
    EXPECT_FALSE (label.isVisible());
    EXPECT_FALSE (container->isTimerRunning());

    container->showGlobalPresetLoaded();
    EXPECT_EQ (label.getText(), "Global preset loaded!");
    container->showProjectSaved();
    EXPECT_EQ (label.getText(), "Project successfully saved!");
    EXPECT_TRUE (label.isVisible());
}

TEST_F (WindowContainerStripTest, ASaveShowsItsStatusAndEnablesTheGlobalPresetButtons)
{
    addProcess (1, 10, 0);
    dialogs.chosenFiles.push_back (folder.getChildFile ("strip.zqp"));

    ASSERT_TRUE (project().saveProject (false));

    EXPECT_TRUE (container->getStatusLabel().isVisible());
    EXPECT_EQ (container->getStatusLabel().getText(), "Project successfully saved!");
    EXPECT_TRUE (container->getSavePresetButton().isEnabled());
    EXPECT_FALSE (container->getRemovePresetButton().isEnabled()) << "no global preset to remove";
}

//==============================================================================
TEST (WindowContainerFileMenu, HoldsItsItemsAndTheRecentFilesInOrder)
{
    juce::RecentlyOpenedFilesList recent;
    recent.setMaxNumberOfItems (5);
    recent.addFile (juce::File ("/work/b.zqp"));
    recent.addFile (juce::File ("/work/a.zqp"));

    const std::vector<MenuEntry> expected{ { 1, "New empty project <CTRL+N>" },
                                           { 0, "--" },
                                           { 2, "Open project <CTRL+O>" },
                                           { 3, "Save <CTRL+S>" },
                                           { 4, "Save project as... <CTRL+SHIFT+S>" },
                                           { 0, "--" },
                                           { 100, "/work/a.zqp" },
                                           { 101, "/work/b.zqp" },
                                           { 5, "Clear recent file list" },
                                           { 0, "--" },
                                           { 6, "Generate source files <CTRL+G>" },
                                           { 8, "Generate NRPN list file" },
                                           { 0, "--" },
                                           { 7, "Exit <CTRL+Q>" } };

    EXPECT_EQ (entriesOf (WindowContainer::createFileMenu (recent)), expected);

    recent.clear();
    const auto withoutFiles = entriesOf (WindowContainer::createFileMenu (recent));
    ASSERT_EQ (withoutFiles.size(), expected.size() - 2);
    EXPECT_EQ (withoutFiles[6], (MenuEntry{ 5, "Clear recent file list" }));
}

TEST_F (WindowContainerStripTest, TheProjectButtonShowsTheMenuAndCarriesOutTheChoice)
{
    dialogs.menuChoices.push_back (WindowContainer::exitItem);
    container->getProjectButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

    ASSERT_EQ (dialogs.shownMenus.size(), 1u);
    EXPECT_EQ (dialogs.menuItemHeights, std::vector<int>{ 19 });
    EXPECT_EQ (quitRequests, 1);
}

TEST_F (WindowContainerStripTest, CancelledNewOrOpenKeepsTheDesignModified)
{
    VX_REQUIRE_DISPLAY();
    addProcess (1, 10, 0);
    project().setModified (true);
    container->showLogWindow();

    dialogs.answers.push_back (Dialogs::Answer::cancel);
    container->handleFileMenu (WindowContainer::newProjectItem);
    EXPECT_TRUE (project().isModified());
    EXPECT_NE (design().findDsp (2), nullptr);
    EXPECT_TRUE (container->getLogWindow()->isVisible()) << "nothing happened";

    // "No" to saving, then the chooser is cancelled: nothing was opened.
    dialogs.answers.push_back (Dialogs::Answer::no);
    container->handleFileMenu (WindowContainer::openProjectItem);
    EXPECT_TRUE (project().isModified());
    EXPECT_NE (design().findDsp (2), nullptr);

    dialogs.answers.push_back (Dialogs::Answer::no);
    container->handleFileMenu (WindowContainer::newProjectItem);
    EXPECT_FALSE (project().isModified());
    EXPECT_EQ (design().findDsp (2), nullptr);
    EXPECT_FALSE (container->getLogWindow()->isVisible());
}

TEST_F (WindowContainerStripTest, RecentFileItemsOpenTheirFileAndNoOther)
{
    addProcess (1, 10, 0);
    dialogs.chosenFiles.push_back (folder.getChildFile ("demo.zqp"));
    ASSERT_TRUE (project().saveProject (false));

    auto& recent = project().getRecentFiles();
    recent.clear();

    // The list holds its newest first: r0 ... r4.
    for (int i = 4; i >= 0; --i)
    {
        const auto copy = folder.getChildFile ("r" + juce::String (i) + ".zqp");
        ASSERT_TRUE (folder.getChildFile ("demo.zqp").copyFileTo (copy));
        recent.addFile (copy);
    }

    container->handleFileMenu (WindowContainer::recentFileBaseId + 4);
    EXPECT_EQ (project().getTitleText(), "r4");
    EXPECT_EQ (container->getStatusLabel().getText(), "Project loaded!");

    container->handleFileMenu (WindowContainer::recentFileBaseId + 5);
    container->handleFileMenu (WindowContainer::recentFileBaseId - 1);
    EXPECT_EQ (project().getTitleText(), "r4") << "no sixth recent file";
    EXPECT_TRUE (dialogs.messages.empty());

    container->handleFileMenu (WindowContainer::clearRecentFilesItem);
    EXPECT_EQ (recent.getNumFiles(), 0);
    container->handleFileMenu (WindowContainer::recentFileBaseId);
    EXPECT_EQ (project().getTitleText(), "r4");
}

TEST_F (WindowContainerStripTest, GeneratingFromTheMenuWithoutAProjectWritesTheAbortLine)
{
    VX_REQUIRE_DISPLAY();
    container->handleFileMenu (WindowContainer::generateItem);

    ASSERT_EQ (dialogs.chooserRequests.size(), 1u) << "the save asks for a file first";
    EXPECT_TRUE (getLogText().endsWith ("\nNo files were generated! Aborted when saving project."));
    EXPECT_EQ (getLogErrorCount(), 0);
}

TEST_F (WindowContainerStripTest, ExitClosesTheLogWindowAndAsksToQuit)
{
    VX_REQUIRE_DISPLAY();
    container->showLogWindow();
    container->handleFileMenu (WindowContainer::exitItem);

    EXPECT_FALSE (container->getLogWindow()->isVisible());
    EXPECT_EQ (quitRequests, 1);
}

//==============================================================================
TEST (WindowContainerSystemMidi, WithoutDevicesTheCombosSayNoMidiAndNothingFails)
{
    vxtest::TemporaryFolder folder;
    vxtest::ScriptedDialogs dialogs;
    auto settings = ApplicationSettings::open (folder.getChildFile ("OstraneQuellion.cfg"));
    WindowContainer container (*settings, nullptr);

    EXPECT_EQ (shownText (container.getMidiInputCombo()), "No MIDI IN");
    EXPECT_EQ (shownText (container.getMidiOutputCombo()), "No MIDI OUT");

    container.getRefreshButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

    EXPECT_EQ (container.getMidiInput(), nullptr);
    EXPECT_EQ (container.getMidiOutput(), nullptr);
    EXPECT_EQ (shownText (container.getMidiOutputCombo()), "No MIDI OUT");
    EXPECT_TRUE (dialogs.messages.empty());
}

TEST_F (WindowContainerStripTest, TheCombosListTheDevicesInTheSystemsOrder)
{
    auto& in = container->getMidiInputCombo();
    auto& out = container->getMidiOutputCombo();

    ASSERT_EQ (in.getNumItems(), 2);
    EXPECT_EQ (in.getItemText (0), "Board In");
    EXPECT_EQ (in.getItemText (1), "Keys");
    ASSERT_EQ (out.getNumItems(), 2);
    EXPECT_EQ (out.getItemText (1), "Board");
    EXPECT_EQ (shownText (in), "No MIDI IN") << "nothing opened at start";
    EXPECT_EQ (shownText (out), "No MIDI OUT");
    EXPECT_TRUE (devices.events.empty());
}

TEST_F (WindowContainerStripTest, ChoosingAnOutputOpensItAndSendsEveryProcesssSavedValues)
{
    addProcess (5, 100, 1);

    chooseItem (container->getMidiOutputCombo(), 1);

    ASSERT_NE (container->getMidiOutput(), nullptr);
    EXPECT_EQ (container->getMidiOutput()->getIdentifier(), "out-2");
    EXPECT_EQ (container->getBoardCallback().getOutput(), container->getMidiOutput());
    EXPECT_EQ (sentTo ("out-2"), (std::vector<Bytes>{ controlSysEx (1, 0x0501, 100), controlSysEx (1, 0x8502, 1) }));

    // Another choice closes the first device before the second opens.
    chooseItem (container->getMidiOutputCombo(), 0);
    EXPECT_EQ (devices.events, (std::vector<std::string>{ "open out out-2", "close out out-2", "open out out-1" }));
    EXPECT_EQ (sentTo ("out-1").size(), 2u);
}

TEST_F (WindowContainerStripTest, RefreshOpensTheSameOutputAgainOnceWhereverItNowStands)
{
    addProcess (5, 100, 1);
    chooseItem (container->getMidiOutputCombo(), 1);
    devices.sent.clear();

    // Another device came first in the system's list.
    devices.outputs.insert (0, FakeMidiDevices::device ("New", "out-9"));
    container->getRefreshButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);

    EXPECT_EQ (devices.countOpens ("out out-2"), 2);
    EXPECT_EQ (devices.countOpens ("out out-1"), 0);
    EXPECT_EQ (devices.countOpens ("out out-9"), 0);
    EXPECT_EQ (shownText (container->getMidiOutputCombo()), "Board");
    EXPECT_EQ (container->getMidiOutput()->getIdentifier(), "out-2");
    EXPECT_EQ (sentTo ("out-2"), (std::vector<Bytes>{ controlSysEx (1, 0x0501, 100), controlSysEx (1, 0x8502, 1) }))
        << "every control sent once";
}

TEST_F (WindowContainerStripTest, AnOutputThatFailsToOpenLeavesNothingOpenOrRemembered)
{
    addProcess (5, 100, 1);
    devices.failing.add ("out-2");

    chooseItem (container->getMidiOutputCombo(), 1);

    EXPECT_EQ (container->getMidiOutput(), nullptr);
    EXPECT_EQ (container->getBoardCallback().getOutput(), nullptr);
    EXPECT_EQ (shownText (container->getMidiOutputCombo()), "No MIDI OUT");
    EXPECT_TRUE (devices.sent.empty());

    container->refreshMidiDevices();
    EXPECT_EQ (devices.countOpens ("out out-2"), 1) << "not tried again";
}

TEST_F (WindowContainerStripTest, InputsAreOpenedStartedReopenedAndStoppedBeforeTheyGo)
{
    chooseItem (container->getMidiInputCombo(), 1);
    EXPECT_EQ (devices.inputCallback, container.get());
    EXPECT_EQ (container->getMidiInput()->getIdentifier(), "in-2");

    devices.inputs.remove (0);
    container->refreshMidiDevices();
    EXPECT_EQ (shownText (container->getMidiInputCombo()), "Keys");

    devices.failing.add ("in-1");
    devices.inputs.add (FakeMidiDevices::device ("Board In", "in-1"));
    container->refreshMidiDevices();
    chooseItem (container->getMidiInputCombo(), 1);
    EXPECT_EQ (container->getMidiInput(), nullptr);
    EXPECT_EQ (shownText (container->getMidiInputCombo()), "No MIDI IN");

    chooseItem (container->getMidiInputCombo(), 0);
    container.reset();

    EXPECT_EQ (devices.events, (std::vector<std::string>{ "open in in-2", "start in-2", "stop in-2", "open in in-2", "start in-2",
                                                          "stop in-2", "open in in-2", "start in-2", "stop in-2", "open in in-1",
                                                          "open in in-2", "start in-2", "stop in-2" }));
}

TEST_F (WindowContainerStripTest, IncomingSysExReachesTheLibraryOnTheMessageThread)
{
    const Bytes sysEx{ 0xF0, 0x00, 0x3A, 0x7E, 0x3D, 0x01, 0x05, 0x7F, 0xF7 };

    std::thread inputThread (
        [&]
        {
            container->handleIncomingMidiMessage (nullptr, juce::MidiMessage::noteOn (1, 60, (juce::uint8) 100));
            container->handleIncomingMidiMessage (nullptr, juce::MidiMessage (sysEx.data(), (int) sysEx.size()));
        });
    inputThread.join();
    EXPECT_TRUE (library.received.empty()) << "not on the input's thread";

    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);

    EXPECT_EQ (library.received, std::vector<Bytes>{ sysEx });
    EXPECT_EQ (library.onMessageThread, std::vector<bool>{ true });
}

TEST_F (WindowContainerStripTest, IncomingSysExIsDroppedWithoutTheLibraryOrTheContainer)
{
    const Bytes sysEx{ 0xF0, 0x7D, 0x01, 0xF7 };

    container->handleIncomingMidiMessage (nullptr, juce::MidiMessage (sysEx.data(), (int) sysEx.size()));
    container.reset();
    EXPECT_TRUE (library.released);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    EXPECT_TRUE (library.received.empty());

    WindowContainer withoutLibrary (*settings, nullptr);
    withoutLibrary.handleIncomingMidiMessage (nullptr, juce::MidiMessage (sysEx.data(), (int) sysEx.size()));
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
}

//==============================================================================
namespace
{
// Global presets "Live" (its key names a stored preset of the process on
// DSP 2) and "Empty" (no table), the output "Board" open.
class GlobalPresetStripTest : public WindowContainerStripTest
{
protected:
    GlobalPresetStripTest()
    {
        addProcess (5, 100, 0);

        auto stored = std::make_unique<ProcessPresetStore>();
        stored->markBuilding();
        stored->addOrUpdateControl (1, "Gain", true);
        stored->addOrUpdateControl (0x8002, "Mute", true);
        stored->markBuilt();
        stored->selectOrAddPreset ("Loud", 0, true);
        stored->getCurrentPresetRecord()->values = { 900, 1 };
        stored->setTableId (0);
        design().getPresetStores().addStoredStore ("Gain", 1, std::move (stored));

        auto& presets = design().getGlobalPresets();
        presets.addIfMissing ("Live");
        presets.getCurrent()->addTable (2);
        presets.getCurrent()->findTableByDsp (2)->addKey (5, 0, 0);
        presets.addIfMissing ("Empty");

        chooseItem (container->getMidiOutputCombo(), 1);
        devices.sent.clear();
        container->refreshGlobalPresetList();
    }

    juce::ComboBox& combo() { return container->getGlobalPresetCombo(); }
    juce::File globalPresetFile() { return project().getGlobalPresetFile(); }
};
} // namespace

TEST_F (GlobalPresetStripTest, TheListShowsTheDesignsPresetsAndLocksIt)
{
    ASSERT_EQ (combo().getNumItems(), 3);
    EXPECT_EQ (combo().getItemText (0), "(New)");
    EXPECT_EQ (combo().getItemId (1), 2);
    EXPECT_EQ (combo().getItemText (1), "Live");
    EXPECT_EQ (combo().getItemText (2), "Empty");
    EXPECT_EQ (combo().getSelectedId(), 1);
    EXPECT_TRUE (devices.sent.empty()) << "nothing applied";
    EXPECT_TRUE (isDesignLocked());
    EXPECT_EQ (project().getTitleText(), " - (locked)");

    design().getGlobalPresets().clear();
    setLockWarningShown (true);
    container->refreshGlobalPresetList();
    EXPECT_EQ (combo().getNumItems(), 1);
    EXPECT_FALSE (isDesignLocked());
    EXPECT_FALSE (isLockWarningShown());
}

TEST_F (GlobalPresetStripTest, ChoosingAPresetAppliesItAndNewAsksForCreate)
{
    chooseItem (combo(), 1);

    EXPECT_EQ (sentTo ("out-2"), (std::vector<Bytes>{ controlSysEx (1, 0x0501, 900), controlSysEx (1, 0x8502, 1) }));
    EXPECT_EQ (container->getStatusLabel().getText(), "Global preset loaded!");
    EXPECT_TRUE (container->getStatusLabel().isVisible());
    EXPECT_EQ (container->getSavePresetButton().getButtonText(), "Save");
    EXPECT_TRUE (container->getRemovePresetButton().isEnabled());

    auto& store = design().findDsp (2)->getGraph().getNode (0)->presetStore;
    ASSERT_TRUE (store.findPreset ("(Last-Saved)"));
    EXPECT_EQ (store.getCurrentPresetRecord()->values, (std::vector<uint32_t>{ 900, 1 }));

    chooseItem (combo(), 0);
    EXPECT_EQ (container->getSavePresetButton().getButtonText(), "Create");
    EXPECT_FALSE (container->getRemovePresetButton().isEnabled());
}

TEST_F (GlobalPresetStripTest, APresetThatAppliesNothingIsNotReportedLoaded)
{
    chooseItem (combo(), 2);

    EXPECT_TRUE (devices.sent.empty());
    EXPECT_FALSE (container->getStatusLabel().isVisible());
    EXPECT_NE (container->getStatusLabel().getText(), "Global preset loaded!");
}

TEST_F (GlobalPresetStripTest, ANameInUseOrBlankCreatesNothing)
{
    container->enableGlobalPresetButtons();
    dialogs.names.push_back ("Live");
    container->getSavePresetButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

    ASSERT_EQ (dialogs.nameRequests.size(), 1u);
    EXPECT_EQ (dialogs.nameRequests[0].title, "New Global preset");
    EXPECT_EQ (dialogs.nameRequests[0].text, "GlobalPresetA");
    ASSERT_EQ (dialogs.messages.size(), 1u);
    EXPECT_EQ (dialogs.messages[0].title, "Create new global preset");
    EXPECT_EQ (dialogs.messages[0].text, "\"Live\" global preset name already used, please choose another preset name");
    EXPECT_EQ (dialogs.messages[0].buttonText, "Ok");

    dialogs.names.push_back ("   ");
    EXPECT_FALSE (container->createGlobalPreset());
    EXPECT_FALSE (container->saveGlobalPreset ({}));
    EXPECT_FALSE (container->saveGlobalPreset ("Studio")) << "no such global preset";
    EXPECT_EQ (dialogs.messages.size(), 1u);
    EXPECT_EQ (design().getGlobalPresets().getCount(), 2);
    EXPECT_EQ (combo().getNumItems(), 3);
}

TEST_F (GlobalPresetStripTest, RemoveAsksAndOnlyYesRemoves)
{
    chooseItem (combo(), 1);

    for (auto answer : { Dialogs::Answer::no, Dialogs::Answer::cancel })
    {
        dialogs.answers.push_back (answer);
        container->getRemovePresetButton().triggerClick();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
        EXPECT_EQ (design().getGlobalPresets().getCount(), 2);
    }

    ASSERT_EQ (dialogs.questions.size(), 2u);
    EXPECT_EQ (dialogs.questions[0].title, "Global preset");
    EXPECT_EQ (dialogs.questions[0].text, "Do you really want to remove: Live?");

    dialogs.answers.push_back (Dialogs::Answer::yes);
    container->getRemovePresetButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

    EXPECT_EQ (design().getGlobalPresets().findByName ("Live"), -1);
    ASSERT_EQ (combo().getNumItems(), 2);
    EXPECT_EQ (combo().getItemText (1), "Empty");
    EXPECT_EQ (combo().getSelectedId(), 1);
}

TEST_F (GlobalPresetStripTest, RemoveIsOfferedForAStoredPresetOnlyAndNamesTheOneChosenLast)
{
    container->enableGlobalPresetButtons();
    EXPECT_EQ (combo().getSelectedId(), 1);
    EXPECT_TRUE (container->getSavePresetButton().isEnabled());
    EXPECT_EQ (container->getSavePresetButton().getButtonText(), "Create");
    EXPECT_FALSE (container->getRemovePresetButton().isEnabled()) << "\"(New)\" is nothing to remove";

    chooseItem (combo(), 1);
    EXPECT_TRUE (container->getRemovePresetButton().isEnabled());

    // The click is handled before the combo box's choice of "Empty" reaches
    // it, as with a quick hand: the question names "Empty" all the same.
    juce::MessageManager::callAsync ([this] { combo().setSelectedItemIndex (2, juce::sendNotificationSync); });
    dialogs.answers.push_back (Dialogs::Answer::yes);
    container->buttonClicked (&container->getRemovePresetButton());
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

    ASSERT_EQ (dialogs.questions.size(), 1u);
    EXPECT_EQ (dialogs.questions[0].text, "Do you really want to remove: Empty?");
    EXPECT_EQ (design().getGlobalPresets().findByName ("Empty"), -1);
    EXPECT_GE (design().getGlobalPresets().findByName ("Live"), 0);

    // "(New)" is chosen again: the buttons say what they would do for it.
    EXPECT_EQ (combo().getSelectedId(), 1);
    EXPECT_FALSE (container->getRemovePresetButton().isEnabled());
    EXPECT_EQ (container->getSavePresetButton().getButtonText(), "Create");
    EXPECT_TRUE (container->getSavePresetButton().isEnabled());

    container->buttonClicked (&container->getRemovePresetButton());
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_EQ (dialogs.questions.size(), 1u) << "nothing asks to remove \"(New)\"";
}

TEST_F (GlobalPresetStripTest, ANewProjectDisablesBothButtons)
{
    container->enableGlobalPresetButtons();
    chooseItem (combo(), 1);
    ASSERT_TRUE (container->getSavePresetButton().isEnabled());
    ASSERT_TRUE (container->getRemovePresetButton().isEnabled());

    project().setModified (false);
    ASSERT_TRUE (project().newProject());

    EXPECT_EQ (combo().getNumItems(), 1);
    EXPECT_FALSE (container->getSavePresetButton().isEnabled()) << "a new project has no file to keep presets beside";
    EXPECT_FALSE (container->getRemovePresetButton().isEnabled());

    // Its first save makes them usable again.
    dialogs.chosenFiles.push_back (folder.getChildFile ("again.zqp"));
    ASSERT_TRUE (project().saveProject (false));
    EXPECT_TRUE (container->getSavePresetButton().isEnabled());
    EXPECT_FALSE (container->getRemovePresetButton().isEnabled());
}

TEST_F (WindowContainerStripTest, TheNrpnListItemWritesTheListIntoTheChosenFile)
{
    const auto file = folder.getChildFile ("controls.csv");
    dialogs.chosenFiles.push_back (file);

    container->handleFileMenu (WindowContainer::nrpnListItem);

    ASSERT_EQ (dialogs.chooserRequests.size(), 1u);
    EXPECT_EQ (dialogs.chooserRequests[0].title, "Save NRPN List file");
    EXPECT_TRUE (file.loadFileAsString().startsWith ("Name; Class; MIDI channel; NRPN;"));

    container->handleFileMenu (WindowContainer::nrpnListItem);
    EXPECT_EQ (dialogs.chooserRequests.size(), 2u) << "cancelled: nothing";
}

TEST_F (GlobalPresetStripTest, ACreatedPresetIsChosenWithoutBeingAppliedAgain)
{
    VX_REQUIRE_DISPLAY();
    auto& settingsOfProject = project().getProjectSettings();
    settingsOfProject.setProjectFile (folder.getChildFile ("Strip.zqp").getFullPathName());
    settingsOfProject.setProjectName ("Strip");
    settingsOfProject.setProjectFolder (folder.get().getFullPathName());
    setDesignLocked (false);
    setLockWarningShown (false);

    chooseItem (combo(), 0);
    container->enableGlobalPresetButtons();
    devices.sent.clear();
    dialogs.names.push_back ("Stage");

    EXPECT_TRUE (container->saveChosenGlobalPreset());

    ASSERT_EQ (combo().getNumItems(), 4);
    EXPECT_EQ (combo().getText(), "Stage");
    EXPECT_TRUE (devices.sent.empty()) << "the design holds these values already";
    EXPECT_EQ (container->getSavePresetButton().getButtonText(), "Save");
    EXPECT_TRUE (container->getRemovePresetButton().isEnabled());
    EXPECT_TRUE (isDesignLocked());
    EXPECT_EQ (project().getTitleText(), "Strip - (locked)");
    EXPECT_TRUE (globalPresetFile().existsAsFile());
}
