#include "app/ProjectInterface.h"
#include "app/MainContainer.h"
#include "editors/DspEditor.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessEditor.h"
#include "editors/Zorvex.h"
#include "model/NodeChannelRules.h"

#include "ShellTestFixture.h"

namespace
{
class TestAction : public juce::UndoableAction
{
public:
    bool perform() override { return true; }
    bool undo() override { return true; }
};

class ProjectInterfaceTest : public ShellTestFixture
{
protected:
    ProjectInterfaceTest() { page.setBounds (0, 0, 800, 600); }

    void addDsps (int count)
    {
        for (int i = 0; i < count; ++i)
            container.getBusGraph().addNode ("DSP", false, nullptr, 0.5, 0.5);
    }

    void choose (juce::ComboBox& combo, int index) { combo.setSelectedItemIndex (index, juce::sendNotificationSync); }

    // DSP 1 of the sample library's full core, on the bus, with the named
    // process of that core as the only node of its graph: the graph, or none
    // when the design or the library refuses.
    GraphData* addDspWithSampleProcess (const juce::String& processName)
    {
        constexpr uint32_t fullCore = 0x0021;
        auto& design = container.getDesign();
        design.getBusGraph().addNode ("DSP", false, nullptr, 0.5, 0.5);

        if (design.addDsp (1, fullCore) == nullptr)
            return nullptr;

        for (auto& process : page.getModuleDefinitions().findModuleById (fullCore)->getProcesses())
        {
            if (juce::String (process->name) != processName)
                continue;

            auto& graph = design.findDsp (1)->getGraph();
            graph.addNode (processName, true, process.get(), 0.5, 0.5);
            design.getDspEntry (1)->addProcessInstance (1, process->processId);
            return &graph;
        }

        return nullptr;
    }

    MainContainer container{ *settings };
    ProjectInterface& page = container.getProjectInterface();
};
} // namespace

TEST_F (ProjectInterfaceTest, PageShowsTheSettingsWidgets)
{
    EXPECT_EQ (page.getName(), "ProjectInterface");
    EXPECT_EQ (&page.getOwner(), &container);

    auto& chip = page.getChipComboBox();
    EXPECT_EQ (chip.getName(), "comboBoxChip");
    EXPECT_EQ (chip.getNumItems(), 6);
    EXPECT_EQ (chip.getItemText (0), "7104");
    EXPECT_EQ (chip.getItemId (5), 6);
    EXPECT_EQ (chip.getText(), "7304");
    EXPECT_EQ (chip.previousIndex, 1);
    EXPECT_EQ (chip.getTextWhenNothingSelected(), "7304");
    EXPECT_FALSE (chip.isTextEditable());
    EXPECT_EQ (chip.findColour (juce::ComboBox::buttonColourId), juce::Colour (0xFFFF8C00));

    EXPECT_EQ (page.getSamplingComboBox().getName(), "comboBoxSampling");
    EXPECT_EQ (page.getSamplingComboBox().getText(), "48");
    EXPECT_EQ (page.getSamplingComboBox().getNumItems(), 6);

    EXPECT_EQ (page.getMemoryComboBox().getName(), "comboBoxMem");
    EXPECT_EQ (page.getMemoryComboBox().getText(), "128");
    EXPECT_EQ (page.getMemoryComboBox().getNumItems(), 11);
    EXPECT_EQ (page.getMemoryComboBox().getItemText (10), "32768");

    auto& editor = page.getOutputDirectoryEditor();
    EXPECT_EQ (editor.getName(), "Output directory");
    EXPECT_EQ (editor.getText(), "Please specify a directory ->");
    EXPECT_FALSE (editor.isEnabled()) << "the directory is chosen, never typed";
    EXPECT_FALSE (editor.isMultiLine());
    EXPECT_EQ (page.getChooserButton().getButtonText(), "...");

    EXPECT_EQ (chip.getBounds(), juce::Rectangle<int> (42, 66, 100, 20));
    EXPECT_EQ (page.getSamplingComboBox().getBounds(), juce::Rectangle<int> (187, 66, 100, 20));
    EXPECT_EQ (page.getMemoryComboBox().getBounds(), juce::Rectangle<int> (42, 172, 120, 20));
    EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (42, 255, 255, 20));
    EXPECT_EQ (page.getChooserButton().getBounds(), juce::Rectangle<int> (293, 255, 25, 20));

    for (const auto& [name, text] :
         { std::pair{ "targetChipLabel", "Target chip" }, std::pair{ "samplingRateLabel", "Sampling rate (kHz)" },
           std::pair{ "memSizeLabel", "Memory size (kx16bits)" } })
    {
        juce::String shown;

        for (auto* child : page.getChildren())
            if (auto* label = dynamic_cast<juce::Label*> (child); label != nullptr && label->getName() == name)
                shown = label->getText();

        EXPECT_EQ (shown, text) << name;
    }

    juce::StringArray groupTexts;

    for (auto* child : page.getChildren())
        if (auto* group = dynamic_cast<juce::GroupComponent*> (child))
            groupTexts.add (group->getName() + ":" + group->getText());

    EXPECT_EQ (groupTexts, juce::StringArray ({ "generalGroup:General", "externalMemGroup:External memory (RAM)",
                                                "outputDirGroup:Output directory" }));
}

TEST_F (ProjectInterfaceTest, ReadsTheModuleLibraryBesideTheExecutable)
{
    EXPECT_TRUE (dialogs.messages.empty());
    EXPECT_GT (page.getModuleDefinitions().getModuleCount(), 0);
    EXPECT_GE (page.getModuleDefinitions().formatVersion, 68);
}

TEST_F (ProjectInterfaceTest, AMissingModuleLibraryIsReportedAndThePageGoesOn)
{
    ProjectInterface other (container, folder.getChildFile ("Modules.def"));

    ASSERT_EQ (dialogs.messages.size(), 1u);
    EXPECT_EQ (dialogs.messages[0].title, "OSTRANE Quellion");
    EXPECT_EQ (dialogs.messages[0].text,
               "Modules.def missing or version mismatch please update.\n  - Expected version: 68\n  - Found: version 0");
    EXPECT_EQ (other.getModuleDefinitions().getModuleCount(), 0);
    EXPECT_EQ (other.getChipComboBox().getText(), "7304");
}

TEST_F (ProjectInterfaceTest, StartsAt48000HzWith128kWords)
{
    EXPECT_EQ (page.getSamplingRateHz(), 48000);
    EXPECT_DOUBLE_EQ (page.getSamplingRateKhz(), 48.0);
    EXPECT_EQ (page.getExternalMemorySize(), 128);
    EXPECT_FALSE (page.isModified());
    EXPECT_EQ (page.getProjectSettings().getProjectFile(), juce::File());
}

TEST_F (ProjectInterfaceTest, AChipTooSmallForTheDspsIsRefused)
{
    addDsps (5);
    choose (page.getChipComboBox(), 2); // 7308
    EXPECT_TRUE (dialogs.messages.empty());
    EXPECT_EQ (page.getChipComboBox().previousIndex, 2);
    page.setModified (false);

    choose (page.getChipComboBox(), 1); // 7304 holds 4

    ASSERT_EQ (dialogs.messages.size(), 1u);
    EXPECT_EQ (dialogs.messages[0].icon, juce::MessageBoxIconType::NoIcon);
    EXPECT_EQ (dialogs.messages[0].title, "Target Chip Change");
    EXPECT_EQ (dialogs.messages[0].text,
               "The selected chip cannot contain enough DSPs : Please make a new project or remove DSPs.");
    EXPECT_EQ (page.getChipComboBox().getText(), "7308");
    EXPECT_EQ (page.getProjectSettings().getChipIndex(), 2);
    EXPECT_TRUE (page.isModified());

    choose (page.getChipComboBox(), 5); // 7516
    EXPECT_EQ (dialogs.messages.size(), 1u);
    EXPECT_EQ (page.getChipComboBox().previousIndex, 5);
    EXPECT_EQ (page.getProjectSettings().getChipCapacity(), 16);
}

TEST_F (ProjectInterfaceTest, RateAndMemoryChoicesReachTheModelAndMarkTheProject)
{
    choose (page.getSamplingComboBox(), 3);
    EXPECT_EQ (page.getSamplingRateHz(), 96000);
    EXPECT_TRUE (page.isModified());

    page.setModified (false);
    choose (page.getMemoryComboBox(), 4);
    EXPECT_EQ (page.getExternalMemorySize(), 512);
    EXPECT_TRUE (page.isModified());

    auto& externalRam = page.getProjectSettings().getMemoryRegion (GenerationContext::Region::externalRam);
    externalRam.pendingSize = 77;
    page.resetMemoryBases();
    EXPECT_EQ (externalRam.pendingSize, 0u);
    EXPECT_EQ (page.getExternalMemorySize(), 512);
}

TEST_F (ProjectInterfaceTest, ANewSamplingRateGivesEveryBoxItsNewLoad)
{
    auto& design = container.getDesign();
    design.getBusGraph().addNode ("DSP", false, nullptr, 0.5, 0.5);
    ASSERT_NE (design.addDsp (1, 0x0021), nullptr);
    // The pages follow the design's change message.
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    auto* dspPage = container.getProcessContainer().findDspById (1);
    ASSERT_NE (dspPage, nullptr);
    auto& editor = dspPage->getProcessEditor();
    ASSERT_TRUE (editor.placeProcess (2, { 200, 200 }));
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    auto* box = editor.findBoxByNodeId (1);
    ASSERT_NE (box, nullptr);
    const auto at48 = box->getLoadText();
    const auto pageAt48 = dspPage->getLoadText (DspEditor::cyclesLoad);

    // 192 kHz: a quarter of the cycles are left for each sample.
    choose (page.getSamplingComboBox(), 5);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    const auto* node = design.findDsp (1)->getGraph().findNodeById (1);
    ASSERT_NE (node, nullptr);
    const auto expected =
        NodeChannelRules::makeLoadText (design.getDspModule (1), node->getProcessDefinition(), node->channelWord, 5);
    EXPECT_NE (expected, at48);
    EXPECT_EQ (box->getLoadText(), expected);
    EXPECT_EQ (node->loadText, expected);

    // The page's cycles load is the new rate's, as computing it again gives.
    const auto pageAt192 = dspPage->getLoadText (DspEditor::cyclesLoad);
    EXPECT_NE (pageAt192, pageAt48);
    dspPage->updateUsageLabels();
    EXPECT_EQ (dspPage->getLoadText (DspEditor::cyclesLoad), pageAt192);
}

TEST_F (ProjectInterfaceTest, TheChosenOutputDirectoryIsShownAndKept)
{
    const auto projectFolder = folder.getChildFile ("project");
    const auto out = projectFolder.getChildFile ("out");
    ASSERT_TRUE (out.createDirectory().wasOk());
    const auto projectFile = projectFolder.getChildFile ("demo.zqp");
    ASSERT_TRUE (projectFile.replaceWithText ("<x/>"));
    page.setProjectFile (projectFile.getFullPathName());
    page.getProjectSettings().setProjectFolder (projectFolder.getFullPathName());

    dialogs.chosenFiles.push_back (out);
    page.getChooserButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

    ASSERT_EQ (dialogs.chooserRequests.size(), 1u);
    EXPECT_EQ (dialogs.chooserRequests[0].title, "Choose your directory");
    EXPECT_EQ (dialogs.chooserRequests[0].text, projectFolder.getFullPathName()) << "starts in the working directory";
    EXPECT_EQ (page.getOutputDirectoryEditor().getText(), "out");
    EXPECT_EQ (juce::File::getCurrentWorkingDirectory(), out);
    EXPECT_TRUE (page.isModified()) << "the choice is part of the project";
}

TEST_F (ProjectInterfaceTest, ChoosingTheProjectsOwnFolderShowsADot)
{
    const auto projectFolder = folder.getChildFile ("project");
    const auto out = projectFolder.getChildFile ("out");
    ASSERT_TRUE (out.createDirectory().wasOk());
    const auto projectFile = projectFolder.getChildFile ("demo.zqp");
    ASSERT_TRUE (projectFile.replaceWithText ("<x/>"));
    page.setProjectFile (projectFile.getFullPathName());
    page.getProjectSettings().setProjectFolder (projectFolder.getFullPathName());
    page.setOutputDirectory (out.getFullPathName());
    ASSERT_EQ (page.getOutputDirectoryEditor().getText(), "out");

    dialogs.chosenFiles.push_back (projectFolder);
    page.getChooserButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

    ASSERT_EQ (dialogs.chooserRequests.size(), 1u);
    EXPECT_EQ (page.getOutputDirectoryEditor().getText(), ".");
    EXPECT_EQ (page.getProjectSettings().getOutputDirectory(), projectFolder);
    EXPECT_EQ (juce::File::getCurrentWorkingDirectory(), projectFolder);
    EXPECT_TRUE (page.isModified());
}

TEST_F (ProjectInterfaceTest, TheOutputDirectoryTakesNoTypingAndAnyOtherChangeMarksTheProject)
{
    // The editor announces its changes through the message loop.
    const auto settle = [] { juce::MessageManager::getInstance()->runDispatchLoopUntil (20); };

    auto& editor = page.getOutputDirectoryEditor();
    EXPECT_TRUE (editor.isReadOnly());
    settle();
    EXPECT_FALSE (page.isModified()) << "the page's own text is no change";

    page.setOutputDirectory (folder.get().getFullPathName());
    settle();
    EXPECT_FALSE (page.isModified()) << "nor is the text it writes itself";

    editor.setText ("elsewhere", true);
    settle();
    EXPECT_TRUE (page.isModified());
}

TEST_F (ProjectInterfaceTest, ACancelledChooserChangesNothing)
{
    page.getChooserButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

    ASSERT_EQ (dialogs.chooserRequests.size(), 1u);
    EXPECT_TRUE (dialogs.chooserRequests[0].text.isEmpty()) << "no project file: the chooser starts nowhere in particular";
    EXPECT_EQ (page.getOutputDirectoryEditor().getText(), "Please specify a directory ->");
    EXPECT_FALSE (page.isModified());
}

TEST_F (ProjectInterfaceTest, ModifiedFollowsTheBusGraph)
{
    container.getBusGraph().setModified (true);
    EXPECT_TRUE (page.isModified());

    page.setModified (false);
    EXPECT_FALSE (container.getBusGraph().isModified());
}

TEST_F (ProjectInterfaceTest, TheTitleNamesTheProject)
{
    juce::DocumentWindow window ("OSTRANE Quellion", juce::Colours::black, 0, false);
    container.setMainWindow (&window);

    page.updateWindowTitle ("demo");
    EXPECT_EQ (window.getName(), "demo - OSTRANE Quellion");
    EXPECT_EQ (page.getTitleText(), "demo");

    page.updateWindowTitle ({});
    EXPECT_EQ (window.getName(), "OSTRANE Quellion");
    container.setMainWindow (nullptr);
}

TEST_F (ProjectInterfaceTest, ANewProjectOnAnUnchangedDesignAsksNothing)
{
    choose (page.getChipComboBox(), 4);
    page.setModified (false);
    container.getEditHistory().perform (new TestAction());
    setDesignLocked (true);

    page.newProject();

    EXPECT_TRUE (dialogs.questions.empty());
    EXPECT_EQ (container.getCurrentTabIndex(), MainContainer::busEditorTab);
    EXPECT_FALSE (container.getEditHistory().canUndo());
    EXPECT_EQ (page.getChipComboBox().getText(), "7304");
    EXPECT_EQ (page.getChipComboBox().previousIndex, 1);
    EXPECT_EQ (page.getProjectSettings().getChipIndex(), 1);
    EXPECT_FALSE (isDesignLocked());
    EXPECT_EQ (page.getOutputDirectoryEditor().getText(), "Please specify a directory ->");
    EXPECT_FALSE (page.isModified());
}

TEST_F (ProjectInterfaceTest, ANewProjectAsksToSaveAModifiedDesign)
{
    addDsps (2);
    page.setModified (true);

    dialogs.answers.push_back (Dialogs::Answer::cancel);
    page.newProject();
    ASSERT_EQ (dialogs.questions.size(), 1u);
    EXPECT_EQ (dialogs.questions[0].title, "OSTRANE Quellion");
    EXPECT_EQ (dialogs.questions[0].text, "Do you want to save before creating a new projet?");
    EXPECT_EQ (container.getDspCount(), 2);
    EXPECT_TRUE (page.isModified());

    dialogs.answers.push_back (Dialogs::Answer::no);
    page.newProject();
    EXPECT_EQ (container.getDspCount(), 0);
    EXPECT_FALSE (page.isModified());
}

TEST_F (ProjectInterfaceTest, ANewProjectKeepsTheDesignWhenItsSaveDidNotHappen)
{
    addDsps (3);
    page.setModified (true);

    dialogs.answers.push_back (Dialogs::Answer::yes);
    page.newProject();

    EXPECT_EQ (dialogs.questions.size(), 1u);
    EXPECT_EQ (container.getDspCount(), 3);
    EXPECT_TRUE (page.isModified());
}

TEST_F (ProjectInterfaceTest, TheLockWarningIsShownOnceWhileLocked)
{
    page.warnDesignLocked();
    EXPECT_TRUE (dialogs.messages.empty());

    setDesignLocked (true);
    page.warnDesignLocked();
    page.warnDesignLocked();

    ASSERT_EQ (dialogs.messages.size(), 1u);
    EXPECT_EQ (dialogs.messages[0].title, "Warning - global preset");
    EXPECT_EQ (dialogs.messages[0].text, "Global preset has been created, design is locked!\n - Save as new project to unlock.");
    EXPECT_EQ (dialogs.messages[0].buttonText, "Ok");
    EXPECT_TRUE (isLockWarningShown());
}

TEST_F (ProjectInterfaceTest, ClearingEmptiesTheBusGraph)
{
    addDsps (4);
    page.clearProject();
    EXPECT_EQ (container.getDspCount(), 0);
    EXPECT_EQ (page.getModuleDefinitions().getDspCount(), 0);
}

TEST_F (ProjectInterfaceTest, ARightClickOffersHelpWhichOpensTheGuideWhenItIsThere)
{
    vxtest::RecordingHelpViewer viewer (folder.getChildFile ("help"));

    const auto menu = ProjectInterface::createHelpMenu();
    juce::PopupMenu::MenuItemIterator items (menu);
    ASSERT_TRUE (items.next());
    EXPECT_EQ (items.getItem().itemID, 1);
    EXPECT_EQ (items.getItem().text, "Help");
    EXPECT_FALSE (items.next());

    // Without the help nothing opens, and the user is told why.
    dialogs.menuChoices.push_back (1);
    vxtest::rightClick (dialogs, page, { 400.0f, 400.0f });

    ASSERT_EQ (dialogs.menuItemHeights.size(), 1u);
    EXPECT_EQ (dialogs.menuItemHeights[0], 18);
    EXPECT_TRUE (viewer.opened.empty());
    ASSERT_EQ (dialogs.messages.size(), 1u);
    EXPECT_EQ (dialogs.messages[0].text, "No help: the folder \"help\" is not beside the program.");

    const auto guide = folder.getChildFile ("help/Quellion_Guide.pdf");
    ASSERT_TRUE (guide.create().wasOk());
    page.handleHelpMenuResult (1);
    ASSERT_EQ (viewer.opened.size(), 1u);
    EXPECT_EQ (viewer.opened[0], guide);

    page.handleHelpMenuResult (0);
    EXPECT_EQ (viewer.opened.size(), 1u);
}

TEST_F (ProjectInterfaceTest, RecentFilesAndTheUpdateChoiceAreReadAndWrittenBack)
{
    auto prepared = readSettingsBack();
    juce::RecentlyOpenedFilesList list;

    for (int i = 0; i < 7; ++i)
        list.addFile (folder.getChildFile ("p" + juce::String (i) + ".zqp"));

    list.setMaxNumberOfItems (7);
    prepared->setValue ("RecentFileList", list.toString());
    prepared->setValue ("checkForUpdate", 0);
    prepared->saveIfNeeded();
    prepared.reset();

    {
        auto reopened = ApplicationSettings::open (getSettingsFile());
        MainContainer other (*reopened);
        auto& recent = other.getProjectInterface().getRecentFiles();
        EXPECT_EQ (recent.getNumFiles(), 5);
        EXPECT_EQ (recent.getFile (0), folder.getChildFile ("p6.zqp"));
    }

    auto written = readSettingsBack();
    EXPECT_EQ (written->getValue ("checkForUpdate"), "0") << "written back as read";
    juce::RecentlyOpenedFilesList back;
    back.restoreFromString (written->getValue ("RecentFileList"));
    EXPECT_EQ (back.getNumFiles(), 5);
}

TEST_F (ProjectInterfaceTest, ANewProjectEmptiesThePresetCollections)
{
    auto& document = page.getPresetDocument();
    EXPECT_EQ (document.getPresetStores(), &container.getPresetStores());
    EXPECT_EQ (document.getGlobalPresets(), &container.getGlobalPresets());

    ProcessPresetStore source;
    source.addOrUpdateControl (0x10, "Gain", true);
    source.selectOrAddPreset ("Warm", 0, true);
    container.getPresetStores().createOrMergeStore (nullptr, "Eq", 1, source, false);
    container.getGlobalPresets().addIfMissing ("Live");
    ASSERT_EQ (container.getPresetStores().getClassCount(), 1);
    page.setModified (false);

    page.newProject();

    EXPECT_EQ (container.getPresetStores().getClassCount(), 0);
    EXPECT_EQ (container.getPresetStores().getTableCounter(), ProjectPresetStores().getTableCounter());
    EXPECT_EQ (container.getGlobalPresets().getCount(), 0);
}

TEST_F (ProjectInterfaceTest, GenerationWritesTheDesignsSourcesIntoTheOutputDirectory)
{
    const auto root = folder.getChildFile ("generation");
    const auto output = root.getChildFile ("firmware");
    ASSERT_TRUE (output.createDirectory());
    const auto projectFile = root.getChildFile ("Stage Rack.zqp");
    ASSERT_TRUE (projectFile.create());

    // One DSP of the sample library's full core with one delay from its
    // input 0 to its output 0.
    auto* delayGraph = addDspWithSampleProcess ("ShortDelay");
    ASSERT_NE (delayGraph, nullptr);
    auto& graph = *delayGraph;
    graph.addBusPin (1, 0, 1, "DSPIN0");
    graph.addBusPin (1, 0, 0, "DSPOUT0");

    page.setProjectFile (projectFile.getFullPathName());
    page.setOutputDirectory (output.getFullPathName());
    clearLog();
    page.generateSourceFiles (false);

    EXPECT_TRUE (getLogText().startsWith ("Files generated in directory : " + output.getFullPathName() + "\n"));
    EXPECT_TRUE (getLogText().endsWith (">>> All the files have been successfully generated from your design.\n"))
        << getLogText();

    for (auto* name : { "dsp1.c", "mainbus.c", "main.c", "midictrl.c", "quellion.h", "quellionWrappers.s" })
        EXPECT_TRUE (output.getChildFile (name).existsAsFile()) << name;

    EXPECT_EQ (page.getIdeProjectFileName (projectFile), root.getChildFile ("StageRack.vtc"));
    EXPECT_TRUE (root.getChildFile ("StageRack.vtc").existsAsFile());
}

TEST_F (ProjectInterfaceTest, TheNrpnListGoesIntoTheChosenFileAndAFailureIsShown)
{
    // One limiter of the sample library's full core with two controls.
    auto* limiterGraph = addDspWithSampleProcess ("Limiter");
    ASSERT_NE (limiterGraph, nullptr);
    auto& graph = *limiterGraph;
    graph.getNode (0)->commandWords = { 0x40100100, 0x40110102, 0x0000FFFF };
    graph.getNode (0)->setName ("Main limiter");

    // Cancelled: nothing is written.
    page.writeNrpnListFile();
    ASSERT_EQ (dialogs.chooserRequests.size(), 1u);
    EXPECT_EQ (dialogs.chooserRequests[0].title, "Save NRPN List file");

    // Chosen: the file as it is named, with the header and the limiter's rows.
    const auto list = folder.getChildFile ("controls");
    dialogs.chosenFiles.push_back (list);
    page.writeNrpnListFile();

    EXPECT_EQ (list.loadFileAsString(),
               "Name; Class; MIDI channel; NRPN; index; Functions; MIDI min; MIDI max; MIDI default; Data length(bit); "
               "MIDI -> physical; Physical -> MIDI; unit\n"
               "Main limiter;Limiter;1;0x0100;Index#1;Ceiling1;0;96;94;7;x-96;x+96;dB\n"
               ";;1;0x0101;Index#2;Ceiling2;0;96;94;7;x-96;x+96;dB\n"
               ";;1;0x0102;Index#1;Release1;10;1000;100;14;x/1000;x*1000;ms\n"
               ";;1;0x0103;Index#2;Release2;10;1000;100;14;x/1000;x*1000;ms\n");
    EXPECT_TRUE (dialogs.messages.empty());

    // A file that cannot be written is said so.
    dialogs.chosenFiles.push_back (list.getChildFile ("inside.csv"));
    page.writeNrpnListFile();

    ASSERT_EQ (dialogs.messages.size(), 1u);
    EXPECT_EQ (dialogs.messages[0].title, "OSTRANE Quellion");
    EXPECT_EQ (dialogs.messages[0].text,
               "The NRPN list file could not be written:\n" + list.getChildFile ("inside.csv").getFullPathName());
}
