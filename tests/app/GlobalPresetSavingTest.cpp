// Saving global presets from the window container, as the user does it with
// the global-preset group: the design's processes shown in boxes on our
// MIDI-control library, their panels built and read on the message thread
// while the saving's progress window is up, the global preset found in the
// global preset file and in the generated firmware sources.

#include "app/BoardMidiCallback.h"
#include "app/MidiControlLibrary.h"
#include "app/ProjectInterface.h"
#include "app/WindowContainer.h"
#include "editors/ControlPanelHost.h"
#include "editors/GraphEditorView.h"
#include "editors/Zorvex.h"
#include "model/GlobalPresetCollector.h"

#include "ShellTestFixture.h"

namespace
{
// The DSP page's panel host as far as the boxes see it: our library.
class SilentLibraryHost : public ControlPanelHost
{
public:
    explicit SilentLibraryHost (HvIfInterface* i) : libraryInterface (i) {}
    HvIfInterface* getLibraryInterface() override { return libraryInterface; }
    void sendControlsToBoard (Zorvex&) override {}

    HvIfInterface* libraryInterface;
};

class GlobalPresetSavingTest : public ShellTestFixture
{
protected:
    void SetUp() override
    {
        VX_REQUIRE_DISPLAY();

        libraryInterface = midiControl.openInterface (MidiControlLibrary::getDefaultFile(), callback, dialogs);
        ASSERT_NE (libraryInterface, nullptr);

        container = std::make_unique<WindowContainer> (*settings, libraryInterface);
        container->setBounds (0, 0, 1000, 800);
        // The project as saved to "Design.zqp".
        auto& settingsOfProject = project().getProjectSettings();
        settingsOfProject.setProjectFile (folder.getChildFile ("Design.zqp").getFullPathName());
        settingsOfProject.setProjectName ("Design");
        settingsOfProject.setProjectFolder (folder.get().getFullPathName());
        host = std::make_unique<SilentLibraryHost> (libraryInterface);
    }

    // The container releases the library's interface it was given.
    void TearDown() override
    {
        views.clear();
        container.reset();
        host.reset();
    }

    ProjectInterface& project() { return container->getMainContainer().getProjectInterface(); }
    Design& design() { return container->getMainContainer().getDesign(); }

    // A process of the sample library on the DSP, as the process editor places it.
    GraphNode& place (uint32_t dspId, const char* processName, uint32_t nrpn)
    {
        if (design().findDsp (dspId) == nullptr)
            design().addDsp (dspId, 0x21);

        const ProcessDefinition* definition = nullptr;

        for (auto& p : design().getLibrary()->findModuleById (0x21)->getProcesses())
            if (p->name == processName)
                definition = p.get();

        auto& graph = design().findDsp (dspId)->getGraph();
        graph.addNode (processName, true, definition, 0.3, 0.3);
        auto& node = *graph.getLastAddedNode();
        node.nrpn = nrpn;
        design().getDspEntry (dspId)->addProcessInstance ((int) node.getId(), definition->processId);
        return node;
    }

    // The DSP's process editor, with a box for every process.
    void showDsp (uint32_t dspId)
    {
        auto& view = *views.emplace_back (std::make_unique<GraphEditorView> (design().findDsp (dspId)->getGraph(), true));
        view.setLibrary (design().getLibrary(), dspId);
        view.setPanelHost (host.get());
        view.setBounds (0, 0, 800, 600);
        view.synchronise();
    }

    juce::File globalPresetFile() { return project().getGlobalPresetFile(); }

    bool saidSaved() const
    {
        for (auto& message : dialogs.messages)
            if (message.title == "Saving global preset" && message.text == "Global preset has been saved successfully.")
                return true;

        return false;
    }

    BoardMidiCallback callback;
    MidiControlLibrary midiControl;
    HvIfInterface* libraryInterface = nullptr;
    std::unique_ptr<WindowContainer> container;
    std::unique_ptr<SilentLibraryHost> host;
    std::vector<std::unique_ptr<GraphEditorView>> views;
};

// The values a box's panel shows, by control name.
std::map<juce::String, uint32_t> panelValues (Zorvex& box)
{
    std::map<juce::String, uint32_t> values;
    auto* panel = box.getControlPanel().getPanel();

    for (auto* item = panel != nullptr ? panel->getFirstControlItem ("") : nullptr; item != nullptr; item = item->getNext())
        values[juce::String::fromUTF8 (item->getName())] = item->getValue() & 0x7FFFFFFFu;

    return values;
}
} // namespace

TEST_F (GlobalPresetSavingTest, ACreatedGlobalPresetIsSavedAndReachesTheFirmware)
{
    auto& compressor = place (1, "Compressor", 2);
    place (1, "Limiter", 31);
    showDsp (1);

    // A process whose definition offers no control has no panel to save.
    auto silent = std::make_unique<ProcessDefinition>();
    silent->name = "Silent";
    silent->processId = 0x2FE;
    const auto* silentDefinition = design().getLibrary()->findModuleById (0x21)->addProcess (std::move (silent), false);
    design().findDsp (1)->getGraph().addNode ("Silent", true, silentDefinition, 0.6, 0.6);
    design().findDsp (1)->getGraph().getLastAddedNode()->nrpn = 3;
    design().getDspEntry (1)->addProcessInstance (3, silentDefinition->processId);
    views.back()->synchronise();
    ASSERT_EQ (views.back()->getBoxes().size(), 3);

    dialogs.names.push_back ("GlobalPresetA");
    EXPECT_TRUE (container->createGlobalPreset());

    ASSERT_EQ (dialogs.nameRequests.size(), 1u);
    EXPECT_EQ (dialogs.nameRequests[0].title, "New Global preset");
    EXPECT_EQ (dialogs.nameRequests[0].text, "GlobalPresetA");
    EXPECT_TRUE (saidSaved());
    EXPECT_TRUE (isDesignLocked());
    EXPECT_TRUE (isLockWarningShown());

    // Each process's controls were registered, with no panel needed, and
    // its store dropped its temporary preset again; its panel, opened now,
    // shows what was stored.
    auto* box = views.back()->findBoxByNodeId (compressor.getId());
    ASSERT_NE (box, nullptr);
    ASSERT_TRUE (compressor.presetStore.hasBuiltControls());
    box->getControlPanel().ensureControlPanel();
    ASSERT_TRUE (box->getControlPanel().hasControlPanel());
    for (int i = 0; i < compressor.presetStore.getPresetCount(); ++i)
        EXPECT_FALSE (compressor.presetStore.getPresetName (i).startsWith ("GlobalPresetA_"));

    auto* stored = design().getPresetStores().findStore ("Compressor", (int) compressor.getChannelCount());
    ASSERT_NE (stored, nullptr);
    ASSERT_EQ (stored->getPresetCount(), 1);
    EXPECT_EQ (stored->getPresetName (0), "GlobalPresetA_DSP01-PCS02");
    const auto shown = panelValues (*box);
    ASSERT_FALSE (shown.empty());

    for (const auto& [name, value] : shown)
    {
        stored->setCurrentPreset (0);
        ASSERT_TRUE (stored->findControl (name)) << name;
        EXPECT_EQ (stored->getCurrentValue(), value) << name;
    }

    // The file: both processes with controls, the silent one left out.
    const auto root = juce::parseXML (globalPresetFile());
    ASSERT_NE (root, nullptr);
    auto* list = root->getChildByName ("GLOBAL_PRESETS")->getChildByName ("List");
    EXPECT_EQ (list->getStringAttribute ("name"), "GlobalPresetA");
    EXPECT_EQ (list->getChildByName ("DSPDefinition")->getIntAttribute ("numberOfProcess"), 2);
    EXPECT_TRUE (globalPresetFile().loadFileAsString().contains ("name=\"GlobalPresetA_DSP01-PCS1F\""));

    // And the firmware sources.
    ASSERT_TRUE (folder.getChildFile ("out").createDirectory().wasOk());
    project().setOutputDirectory (folder.getChildFile ("out").getFullPathName());
    project().generateSourceFiles (false);
    const auto source = folder.getChildFile ("out/GlobalPresets.c").loadFileAsString();
    EXPECT_TRUE (source.contains ("/* GlobalPresetA */ { /* DSP#1 */ 0x10002, ")) << source;
    EXPECT_TRUE (getLogText().contains ("GlobalPresets.c/.h...generated\n")) << getLogText();
}

TEST_F (GlobalPresetSavingTest, SavingAgainNamesTheStoredPresetsAgainAndANameIsNotTakenTwice)
{
    place (1, "Compressor", 2);
    showDsp (1);

    dialogs.names.push_back ("GlobalPresetA");
    ASSERT_TRUE (container->createGlobalPreset());
    const auto before = globalPresetFile().loadFileAsString();

    // Into the chosen preset, with the values unchanged.
    EXPECT_TRUE (container->saveGlobalPreset ("GlobalPresetA"));
    EXPECT_EQ (design().getPresetStores().findStore ("Compressor", 2)->getPresetCount(), 1);
    EXPECT_EQ (globalPresetFile().loadFileAsString(), before);

    // A second one of equal values names the same stored preset.
    dialogs.names.push_back ("GlobalPresetB");
    EXPECT_TRUE (container->createGlobalPreset());
    auto& list = design().getGlobalPresets();
    ASSERT_EQ (list.getCount(), 2);
    EXPECT_EQ (list.getPreset (0)->getTable (0)->getKeys(), list.getPreset (1)->getTable (0)->getKeys());

    // A name in use is refused, and nothing is saved.
    dialogs.messages.clear();
    dialogs.names.push_back ("GlobalPresetA");
    EXPECT_FALSE (container->createGlobalPreset());
    ASSERT_EQ (dialogs.messages.size(), 1u);
    EXPECT_EQ (dialogs.messages[0].title, "Create new global preset");
    EXPECT_EQ (dialogs.messages[0].text, "\"GlobalPresetA\" global preset name already used, please choose another preset name");

    // A cancelled name, and no choice, do nothing.
    dialogs.names.push_back ("");
    EXPECT_FALSE (container->createGlobalPreset());
    EXPECT_FALSE (container->saveGlobalPreset ({}));
    EXPECT_EQ (list.getCount(), 2);
}

TEST_F (GlobalPresetSavingTest, ADesignWithoutDspsStillWritesTheFile)
{
    dialogs.names.push_back ("Empty");
    EXPECT_TRUE (container->createGlobalPreset());
    EXPECT_TRUE (saidSaved());
    EXPECT_TRUE (globalPresetFile().existsAsFile());
}

TEST_F (GlobalPresetSavingTest, WithoutAProjectFileNothingIsSavedAndTheUserIsTold)
{
    project().getProjectSettings().setProjectFolder ({});
    place (1, "Compressor", 2);

    dialogs.names.push_back ("GlobalPresetA");
    EXPECT_FALSE (container->createGlobalPreset());
    ASSERT_FALSE (dialogs.messages.empty());
    EXPECT_EQ (dialogs.messages.back().title, "Global preset");
    EXPECT_TRUE (dialogs.messages.back().text.startsWith ("Global preset has not been saved!\n"));
    EXPECT_EQ (design().getGlobalPresets().getCount(), 0);
    EXPECT_FALSE (isDesignLocked());
}

TEST_F (GlobalPresetSavingTest, AFailedCreateListsNothingAndLeavesTheDesignUnlocked)
{
    place (1, "Compressor", 2);
    showDsp (1);
    ASSERT_TRUE (globalPresetFile().replaceWithText ("<PRESETS><Broken"));

    dialogs.names.push_back ("GlobalPresetA");
    EXPECT_FALSE (container->createGlobalPreset());

    ASSERT_FALSE (dialogs.messages.empty());
    EXPECT_TRUE (dialogs.messages.back().text.startsWith ("Global preset has not been saved!"));
    for (auto& message : dialogs.messages)
        EXPECT_NE (message.title, "Warning - global preset") << "nothing was created to lock the design";

    EXPECT_EQ (design().getGlobalPresets().getCount(), 0);
    EXPECT_EQ (container->getGlobalPresetCombo().getNumItems(), 1);
    EXPECT_FALSE (isDesignLocked());
    EXPECT_EQ (globalPresetFile().loadFileAsString(), "<PRESETS><Broken");
}

// The choice between creating and saving goes by the entry chosen, not by
// its text: a global preset may be named as the entry that creates one.
TEST_F (GlobalPresetSavingTest, AGlobalPresetNamedLikeTheNewEntryIsSavedIntoAgain)
{
    place (1, "Compressor", 2);
    showDsp (1);

    dialogs.names.push_back (WindowContainer::newGlobalPresetItem);
    ASSERT_TRUE (container->createGlobalPreset());
    ASSERT_EQ (container->getGlobalPresetCombo().getSelectedId(), WindowContainer::newGlobalPresetId + 1);

    dialogs.messages.clear();
    container->buttonClicked (&container->getSavePresetButton());

    EXPECT_EQ (dialogs.nameRequests.size(), 1u) << "no second name is asked for";
    EXPECT_TRUE (saidSaved());
    EXPECT_EQ (design().getGlobalPresets().getCount(), 1);
}
