#include "app/MainContainer.h"
#include "app/ProjectInterface.h"
#include "generator/PanelScriptWriter.h"
#include "model/ControlSysExMessage.h"
#include "model/ModuleLibrary.h"

#include "ShellTestFixture.h"
#include "model/PresetTestHelpers.h"
#include "support/EarlierDelayPresets.h"
#include "support/Watchdog.h"

#include <filesystem>
#include <functional>
#include <tuple>
#include <vector>

// Saving and opening through the project page, as the shortcuts, the File
// menu, a dropped file and the start file do: the dialogs are scripted.
namespace
{
using PresetTestHelpers::lastSaved;
using PresetTestHelpers::valueOf;

class ProjectFileCommandsTest : public ShellTestFixture
{
protected:
    // DSP 2 of "StudioCore8" with a limiter feeding a compressor, the
    // limiter's values stored, a chip pin on the DSP: a changed design.
    void buildDesign (MainContainer& target)
    {
        auto& targetDesign = target.getDesign();
        auto& library = target.getProjectInterface().getModuleDefinitions();
        auto* module = library.findModuleById (0x0021);
        ASSERT_NE (module, nullptr);
        ASSERT_NE (targetDesign.addDsp (2, 0x0021), nullptr);

        auto& bus = targetDesign.getBusGraph();
        bus.addNode ("Main", false, nullptr, 0.5, 0.5);
        bus.setNodeId (bus.getLastAddedNode()->getId(), 2);
        bus.addBusPin (2, 0, 1, "DAAD0L");

        auto& graph = targetDesign.findDsp (2)->getGraph();

        for (auto id : { 0x0205u, 0x0203u })
        {
            graph.addNode ("P" + juce::String (id), true, module->findProcessById (id), 0.25, 0.5);
            targetDesign.getDspEntry (2)->addProcessInstance ((int) graph.getLastAddedNode()->getId(), id);
        }

        graph.addConnection (1, 0, 2, 0);

        // The limiter's controls as its panel registers them, two of them set.
        auto& limiter = *graph.getNode (0);
        limiter.buildControlIds();
        ASSERT_TRUE (PanelScriptWriter::registerStoreControls (limiter, 2, 48.0));
        auto& store = limiter.presetStore;
        store.normaliseControlOrder();
        store.selectOrAddPreset ("(Last-Saved)", 0, true);

        for (auto [name, value] : { std::pair ("Ceiling1", 90u), std::pair ("Release1", 12u) })
        {
            ASSERT_TRUE (store.findControl (name));
            store.setCurrentValue (value);
        }
        target.getProjectInterface().setModified (true);
    }

    // The design saved as demo.zqp through the chooser.
    juce::File saveDemo()
    {
        dialogs.chosenFiles.push_back (folder.getChildFile ("demo"));
        EXPECT_TRUE (page.saveProject (false));
        return folder.getChildFile ("demo.zqp");
    }

    MainContainer container{ *settings };
    ProjectInterface& page = container.getProjectInterface();
    Design& design = container.getDesign();
};
} // namespace

TEST_F (ProjectFileCommandsTest, TheFirstSaveAsksForAFileAndLaterSavesWriteThere)
{
    buildDesign (container);
    const auto file = saveDemo();

    ASSERT_EQ (dialogs.chooserRequests.size(), 1u);
    EXPECT_EQ (dialogs.chooserRequests[0].title, "Save Ostrane Quellion project");
    EXPECT_TRUE (file.existsAsFile()) << "a name typed without extension gets \".zqp\"";
    EXPECT_EQ (page.getStatusText(), "Project successfully saved!");
    EXPECT_FALSE (page.isModified());
    EXPECT_EQ (page.getProjectSettings().getProjectName(), "demo");
    EXPECT_EQ (page.getTitleText(), "demo");
    EXPECT_EQ (page.getRecentFiles().getFile (0), file);
    EXPECT_EQ (page.getOutputDirectoryEditor().getText(), ".");
    EXPECT_EQ (page.getPresetFile(), folder.getChildFile ("demo.presets"));

    design.getBusGraph().getNode (0)->setName ("Renamed");
    page.setModified (true);
    EXPECT_TRUE (container.keyPressed (juce::KeyPress ('s', juce::ModifierKeys::ctrlModifier, 0)));
    EXPECT_EQ (dialogs.chooserRequests.size(), 1u) << "the project has its file";
    EXPECT_TRUE (file.loadFileAsString().contains ("Name=\"Renamed\""));
    EXPECT_FALSE (page.isModified());
}

TEST_F (ProjectFileCommandsTest, TheSaveChooserStartsBesideTheProjectNotInTheOutputDirectory)
{
    buildDesign (container);
    const auto file = saveDemo();
    // A new project is offered under a name of its own in the user's
    // documents (or home folder), never under the folder's name.
    auto documents = juce::File::getSpecialLocation (juce::File::userDocumentsDirectory);
    documents = documents.isDirectory() ? documents : juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    EXPECT_EQ (dialogs.chooserRequests[0].text, documents.getChildFile ("Untitled.zqp").getFullPathName());

    const auto out = folder.getChildFile ("out");
    ASSERT_TRUE (out.createDirectory().wasOk());
    page.setOutputDirectory (out.getFullPathName());
    ASSERT_EQ (juce::File::getCurrentWorkingDirectory(), out);

    // Save as: the chooser shows the project's file, in its own folder.
    page.saveProject (true);
    ASSERT_EQ (dialogs.chooserRequests.size(), 2u);
    EXPECT_EQ (dialogs.chooserRequests[1].text, file.getFullPathName());
}

TEST_F (ProjectFileCommandsTest, ACancelledOrFailedSaveKeepsTheDesignAsItWasAndModified)
{
    buildDesign (container);
    EXPECT_FALSE (page.saveProject (false));
    EXPECT_TRUE (page.isModified());
    EXPECT_EQ (page.getProjectSettings().getProjectFile(), juce::File());
    EXPECT_TRUE (dialogs.messages.empty());

    dialogs.chosenFiles.push_back (folder.getChildFile ("gone/demo.zqp"));
    EXPECT_FALSE (page.saveProject (false));
    ASSERT_EQ (dialogs.messages.size(), 1u);
    EXPECT_EQ (dialogs.messages[0].title, "Save project");
    EXPECT_TRUE (dialogs.messages[0].text.contains ("gone/demo.zqp"));
    EXPECT_TRUE (page.isModified());
    EXPECT_EQ (page.getProjectSettings().getProjectName(), "");
    EXPECT_EQ (page.getStatusText(), "") << "never reported as saved";

    const auto file = saveDemo();
    page.setModified (true);
    dialogs.chosenFiles.push_back (folder.getChildFile ("gone/other.zqp"));
    EXPECT_FALSE (page.saveProject (true));
    EXPECT_EQ (page.getProjectSettings().getProjectName(), "demo");
    EXPECT_EQ (page.getProjectSettings().getProjectFile(), file);
    EXPECT_EQ (page.getOutputDirectoryEditor().getText(), ".");
    EXPECT_EQ (juce::File::getCurrentWorkingDirectory(), folder.get());
    EXPECT_TRUE (page.isModified());
}

TEST_F (ProjectFileCommandsTest, OpeningReplacesTheDesignWithTheSavedOne)
{
    buildDesign (container);
    container.flipCommandViewFlag();
    const auto file = saveDemo();

    struct Step : juce::UndoableAction
    {
        bool perform() override { return true; }
        bool undo() override { return true; }
    };

    MainContainer second (*settings);
    auto& other = second.getProjectInterface();
    second.getEditHistory().perform (new Step());
    EXPECT_TRUE (other.openProject (file));
    EXPECT_FALSE (second.getEditHistory().canUndo());

    auto& opened = second.getDesign();
    ASSERT_EQ (opened.getNumDsps(), 1);
    EXPECT_EQ (opened.getBusGraph().getNode (0)->getName(), "Main");
    EXPECT_EQ (opened.getBusGraph().getNumBusPins(), 1);
    auto& graph = opened.findDsp (2)->getGraph();
    ASSERT_EQ (graph.getNumNodes(), 2);
    EXPECT_EQ (graph.getNode (1)->getName(), "P515");
    EXPECT_EQ (graph.getNumConnections(), 1);
    EXPECT_EQ (opened.getDspEntry (2)->getProcessCount(), 2);
    EXPECT_EQ (valueOf (graph.getNode (0)->presetStore, lastSaved, "Ceiling1"), 90u);
    EXPECT_EQ (valueOf (graph.getNode (0)->presetStore, lastSaved, "Release1"), 12u);

    EXPECT_EQ (other.getStatusText(), "Project loaded!");
    EXPECT_EQ (other.getTitleText(), "demo");
    EXPECT_EQ (other.getRecentFiles().getFile (0), file);
    EXPECT_FALSE (other.isModified());
    EXPECT_FALSE (isDesignLocked());
    EXPECT_TRUE (second.isCommandViewOn());
    EXPECT_TRUE (other.getProjectSettings().isCommandViewOn());
    EXPECT_EQ (other.getLoadedProcessCount(), 2);
    EXPECT_TRUE (dialogs.messages.empty());
}

// A missing file is said to be missing; a file refused says why. Either way
// the open design, its name and its lock stay.
TEST_F (ProjectFileCommandsTest, AFileThatCannotBeReadLeavesTheOpenDesignNameAndLock)
{
    buildDesign (container);
    const auto file = saveDemo();
    setDesignLocked (true);

    const auto project = [this] (const char* name) { return folder.getChildFile (name); };
    const auto text = file.loadFileAsString();
    const auto large = project ("large.zqp");
    ASSERT_TRUE (large.replaceWithText (text));
    std::filesystem::resize_file (large.getFullPathName().toStdString(), 65 * 1024 * 1024);

    const std::pair<juce::File, juce::String> refusals[] = {
        { project ("moved.zqp"), {} },
        { project ("cut.zqp"), "unmatched tags" },
        { large, "far too large" },
        { project ("pipe.zqp"), "a pipe" },
        { project ("device.zqp"), "a device" },
        { project ("deep.zqp"), "nest more than" },
        { project ("typed.zqp"), "document type" },
    };
    ASSERT_TRUE (project ("cut.zqp").replaceWithText (text.substring (0, 500)));
    ASSERT_TRUE (Watchdog::makePipe (project ("pipe.zqp")));
    ASSERT_TRUE (juce::File ("/dev/zero").createSymbolicLink (project ("device.zqp"), true));
    ASSERT_TRUE (project ("deep.zqp").replaceWithText (text.replace ("<DSPs>", juce::String::repeatedString ("<DSPs>", 5000))));
    ASSERT_TRUE (project ("typed.zqp").replaceWithText (text.replace ("<OSTRANE", "<!DOCTYPE x [<!ENTITY e \"e\">]><OSTRANE")));

    for (const auto& [unreadable, reason] : refusals)
    {
        SCOPED_TRACE (unreadable.getFileName());
        dialogs.messages.clear();
        EXPECT_TRUE (page.openProject (unreadable));
        ASSERT_EQ (dialogs.messages.size(), 1u);
        EXPECT_EQ (dialogs.messages[0].title, "Open project");
        EXPECT_EQ (dialogs.messages[0].icon, juce::MessageBoxIconType::NoIcon);

        if (reason.isEmpty())
        {
            EXPECT_EQ (dialogs.messages[0].text, "Unable to find project file:\n May have been moved?");
        }
        else
        {
            EXPECT_TRUE (dialogs.messages[0].text.contains (unreadable.getFullPathName())) << dialogs.messages[0].text;
            EXPECT_TRUE (dialogs.messages[0].text.contains (reason)) << dialogs.messages[0].text;
        }

        EXPECT_EQ (design.getNumDsps(), 1);
        EXPECT_EQ (design.findDsp (2)->getGraph().getNumNodes(), 2);
        EXPECT_EQ (page.getProjectSettings().getProjectName(), "demo");
        EXPECT_EQ (page.getProjectSettings().getProjectFile(), file);
        EXPECT_EQ (page.getTitleText(), "demo");
        EXPECT_TRUE (isDesignLocked()) << "the lock of the open design stays";
        EXPECT_EQ (page.getRecentFiles().getNumFiles(), 1);
    }
}

TEST_F (ProjectFileCommandsTest, AChangedDesignIsOfferedForSavingBeforeAnOpen)
{
    const auto other = folder.getChildFile ("other.zqp");
    other.replaceWithText ("<OSTRANE_QUELLION_Configuration Version=\"1.01\"><DSPs/></OSTRANE_QUELLION_Configuration>");
    buildDesign (container);

    // Cancel; then Yes, with the save's chooser cancelled: the design stays.
    for (auto answer : { Dialogs::Answer::cancel, Dialogs::Answer::yes })
    {
        dialogs.answers = { answer };
        EXPECT_TRUE (page.openProject (other));
        EXPECT_EQ (dialogs.questions.back().text, "Do you want to save before opening another project?");
        EXPECT_EQ (design.getNumDsps(), 1);
        EXPECT_TRUE (page.isModified());
    }

    dialogs.answers = { Dialogs::Answer::no };
    EXPECT_TRUE (page.openProject (other));
    EXPECT_EQ (design.getNumDsps(), 0);
    EXPECT_EQ (page.getProjectSettings().getProjectName(), "other");
}

TEST_F (ProjectFileCommandsTest, ACancelledChooserOpensNothingAndKeepsTheDesignModified)
{
    buildDesign (container);
    dialogs.answers = { Dialogs::Answer::no };
    EXPECT_TRUE (container.keyPressed (juce::KeyPress ('o', juce::ModifierKeys::ctrlModifier, 0)));
    ASSERT_EQ (dialogs.chooserRequests.size(), 1u);
    EXPECT_EQ (dialogs.chooserRequests[0].title, "Open Ostrane Quellion project");
    EXPECT_TRUE (page.isModified()) << "the changes are still offered at quit";
    EXPECT_EQ (design.getNumDsps(), 1);
}

TEST_F (ProjectFileCommandsTest, WithoutModuleDefinitionsNothingOpens)
{
    const auto file = folder.getChildFile ("any.zqp");
    file.replaceWithText ("<OSTRANE_QUELLION_Configuration Version=\"1.01\"/>");
    page.getModuleDefinitions().formatVersion = 0;

    EXPECT_TRUE (page.openProject (file));
    ASSERT_EQ (dialogs.messages.size(), 1u);
    EXPECT_EQ (dialogs.messages[0].title, "Open project");
    EXPECT_EQ (dialogs.messages[0].text, "Modules.def missing please update.\n  - Expected version: 68");
    EXPECT_EQ (page.getProjectSettings().getProjectFile(), juce::File());
}

TEST_F (ProjectFileCommandsTest, AProcessMissingFromTheDefinitionsIsLoggedAndReported)
{
    const auto file = folder.getChildFile ("old.zqp");
    file.replaceWithText ("<OSTRANE_QUELLION_Configuration Version=\"1.01\"><DSPs><DSP Index=\"1\" ModuleId=\"33\"><Processes>"
                          "<Process Name=\"Gone\" ProcessId=\"999\"/></Processes></DSP></DSPs></OSTRANE_QUELLION_Configuration>");

    EXPECT_FALSE (page.openProject (file));
    EXPECT_TRUE (getLogText().contains ("Compatibility issue, [DSP#1 - process#999: Gone] not found"));
    EXPECT_EQ (design.findDsp (1)->getGraph().getNode (0)->getName(), "Gone(Removed).");
    EXPECT_FALSE (page.isModified());
}

TEST_F (ProjectFileCommandsTest, GlobalPresetsBesideTheFileLockTheOpenedDesign)
{
    buildDesign (container);
    const auto file = saveDemo();

    GlobalPreset preset ("Live");
    GlobalPresetTable table (2);
    ASSERT_TRUE (page.getPresetDocument().writeGlobalPresetDocument (page.getGlobalPresetFile(), preset, table, false).wasOk());

    MainContainer second (*settings);
    second.getProjectInterface().openProject (file);
    EXPECT_TRUE (isDesignLocked());
    EXPECT_EQ (second.getProjectInterface().getTitleText(), "demo - (locked)");
    ASSERT_EQ (dialogs.messages.size(), 1u);
    EXPECT_EQ (dialogs.messages[0].title, "Warning - global preset");

    // Saved under a new name, the design has no global presets and unlocks.
    dialogs.chosenFiles.push_back (folder.getChildFile ("copy.zqp"));
    EXPECT_TRUE (second.getProjectInterface().saveProject (true));
    EXPECT_FALSE (isDesignLocked());
    EXPECT_EQ (second.getProjectInterface().getTitleText(), "copy");
}

// A global preset file that would crash, hang or fill the memory of every
// open of its project (nested too deep for the parser's stack, a pipe that
// waits for a writer, a device without end), or that is only damaged, is
// reported to the user as a damaged preset file is, and kept as it is; the
// design opens without global presets.
TEST_F (ProjectFileCommandsTest, AHostileGlobalPresetFileBesideTheProjectIsReportedAndTheDesignOpens)
{
    buildDesign (container);
    const auto file = saveDemo();
    const auto globals = page.getGlobalPresetFile();

    const std::function<bool()> makeHostile[] = {
        [&]
        {
            return globals.replaceWithText ("<PRESETS>" + juce::String::repeatedString ("<GLOBAL_PRESETS>", 20000) +
                                            juce::String::repeatedString ("</GLOBAL_PRESETS>", 20000) + "</PRESETS>");
        },
        [&] { return Watchdog::makePipe (globals); },
        [&] { return juce::File ("/dev/zero").createSymbolicLink (globals, true); },
        [&] { return globals.replaceWithText ("<PRESETS Version=\"1.01\"><GLOBAL_PRESETS><List name=\"Live\""); },
    };

    for (auto& make : makeHostile)
    {
        ASSERT_TRUE (globals.deleteFile());
        ASSERT_TRUE (make());
        // Only the damaged file is read back: a pipe would wait for ever.
        const auto damaged = &make == std::end (makeHostile) - 1 ? globals.loadFileAsString() : juce::String();
        dialogs.messages.clear();

        MainContainer second (*settings);
        second.getProjectInterface().openProject (file);
        EXPECT_EQ (second.getDesign().getNumDsps(), 1);
        EXPECT_EQ (second.getProjectInterface().getStatusText(), "Project loaded!");
        EXPECT_FALSE (isDesignLocked());
        ASSERT_EQ (dialogs.messages.size(), 1u);
        EXPECT_EQ (dialogs.messages[0].title, "Loading preset");
        EXPECT_EQ (dialogs.messages[0].icon, juce::MessageBoxIconType::WarningIcon);
        EXPECT_TRUE (dialogs.messages[0].text.contains ("\"" + globals.getFullPathName() + "\" cannot be read"))
            << dialogs.messages[0].text;

        if (damaged.isNotEmpty())
        {
            EXPECT_TRUE (second.getProjectInterface().saveProject (false));
            EXPECT_EQ (globals.loadFileAsString(), damaged);
        }
    }
}

TEST_F (ProjectFileCommandsTest, SavedValuesGoBackOnceEveryProcessHasItsBox)
{
    buildDesign (container);
    const auto file = saveDemo();

    MainContainer second (*settings);
    auto& other = second.getProjectInterface();
    std::vector<std::vector<uint8_t>> sent;
    other.getBoardControl().setOutput ([&] (const uint8_t* message, int size) { sent.emplace_back (message, message + size); });
    other.openProject (file);

    // The boxes are made; the saved values are read again once all are.
    auto& graph = second.getDesign().findDsp (2)->getGraph();
    graph.getNode (0)->presetStore.clear (true);
    other.countCreatedProcessBox();
    EXPECT_FALSE (other.sendSavedValuesOnceAllBoxesExist());
    other.countCreatedProcessBox();
    EXPECT_TRUE (other.sendSavedValuesOnceAllBoxesExist());
    EXPECT_FALSE (other.sendSavedValuesOnceAllBoxesExist()) << "once per open";

    // First every control of the limiter with its saved value (Ceiling2 and
    // Release2 at their defaults), then the compressor's 12.
    auto& limiter = *graph.getNode (0);
    ASSERT_EQ (sent.size(), 16u);
    size_t i = 0;

    for (auto [number, value] : { std::pair (0x4000u, 90u), { 0x4001u, 94u }, { 0x4002u, 12u }, { 0x4003u, 100u } })
    {
        const auto message = ControlSysExMessage::encode (1, (limiter.nrpn << 8) | number, value);
        EXPECT_EQ (sent[i++], std::vector<uint8_t> (message.begin(), message.end())) << number;
    }
    EXPECT_EQ (limiter.presetStore.getPresetCount(), 1);
}

// A delay saved while its length counted as channels, in its project file
// and in its stored presets: the project opens without a word, its values
// go to the board, the stored presets keep their values and lengths, and
// the next global-preset save writes them in the form of today.
TEST_F (ProjectFileCommandsTest, ADelayOfEarlierFilesOpensSilentlyAndItsGlobalPresetsAreWrittenAnew)
{
    const auto file = folder.getChildFile ("old.zqp");
    const auto globals = folder.getChildFile ("old_global.presets");

    for (const auto& form : earlierdelay::forms)
    {
        // A stored store always carried its lists' delay counts.
        if (! form.delayCount)
            continue;

        SCOPED_TRACE (form.name);
        ASSERT_TRUE (file.replaceWithText ("<OSTRANE_QUELLION_Configuration Version=\"1.01\"><DSPs><DSP Index=\"2\" "
                                           "ModuleId=\"33\" Name=\"DSP\" nrpn=\"1\"><Processes>" +
                                           earlierdelay::makeProcess (form) +
                                           "</Processes></DSP></DSPs></OSTRANE_QUELLION_Configuration>"));
        ASSERT_TRUE (globals.replaceWithText (
            "<PRESETS Version=\"1.01\" NumberOfTableId=\"1\"><PresetList><Class name=\"LongDelay\"><CountGroup count=\"1\" "
            "TableId=\"0\">" +
            earlierdelay::makePreset (form, { "Hall", "Room" }) +
            "</CountGroup></Class></PresetList><GLOBAL_PRESETS NumberOfGlobalPreset=\"1\"><List name=\"Live\" "
            "NumberOfDsp=\"1\"><DSPDefinition dspId=\"2\" numberOfProcess=\"1\" processPreset1=\"1\"/></List>"
            "</GLOBAL_PRESETS></PRESETS>"));
        dialogs.messages.clear();
        clearLog();

        MainContainer opened (*settings);
        auto& other = opened.getProjectInterface();
        other.openProject (file);
        other.countCreatedProcessBox();
        EXPECT_TRUE (other.sendSavedValuesOnceAllBoxesExist());
        EXPECT_FALSE (getLogText().contains ("mismatch")) << getLogText();

        // Only the lock that the global preset puts on the design is told.
        ASSERT_EQ (dialogs.messages.size(), 1u);
        EXPECT_EQ (dialogs.messages[0].title, "Warning - global preset");
        EXPECT_EQ (dialogs.messages[0].text,
                   "Global preset has been created, design is locked!\n - Save as new project to unlock.");

        auto* stored = opened.getPresetStores().findStore ("LongDelay", 1);
        ASSERT_NE (stored, nullptr);
        EXPECT_EQ (stored->getControlCount(), 3);
        ASSERT_TRUE (stored->findPreset ("Room"));
        earlierdelay::expectTodaysValues (*stored, form);

        ASSERT_TRUE (other.getGlobalPresetManager().save ("Live", false).wasOk());
        const auto written = globals.loadFileAsString();
        EXPECT_TRUE (written.contains ("NumberOfControls=\"3\" NumberOfFixedControls=\"1\"")) << written;
        EXPECT_TRUE (written.contains ("delayCount=\"" + juce::String (form.ms) + "\""));
        EXPECT_FALSE (written.contains ("delayCount=\"0\""));
        EXPECT_FALSE (written.contains ("Time2"));
    }
}

TEST (ProjectFileChooser, ANameTypedWithoutExtensionGetsThePatternsFirst)
{
    const juce::File folder ("/tmp/x");
    EXPECT_EQ (Dialogs::withPatternExtension (folder.getChildFile ("demo"), "*.zqp;*.ZQP"), folder.getChildFile ("demo.zqp"));
    EXPECT_EQ (Dialogs::withPatternExtension (folder.getChildFile ("demo"), "*.ZQP"), folder.getChildFile ("demo.zqp"));
    EXPECT_EQ (Dialogs::withPatternExtension (folder.getChildFile ("demo.ZQP"), "*.zqp"), folder.getChildFile ("demo.ZQP"));
    EXPECT_EQ (Dialogs::withPatternExtension (folder.getChildFile ("demo.txt"), "*.zqp"), folder.getChildFile ("demo.txt"));
    EXPECT_EQ (Dialogs::withPatternExtension (folder.getChildFile ("demo"), "*"), folder.getChildFile ("demo"));
    EXPECT_EQ (Dialogs::withPatternExtension (folder.getChildFile ("demo"), "*.*"), folder.getChildFile ("demo"));
    EXPECT_EQ (Dialogs::withPatternExtension ({}, "*.zqp"), juce::File());
}

// Saved as another project, the design takes along what the user set for
// it: its output directory where it lies in the project's folder, and the
// presets its processes keep in the preset file.
TEST_F (ProjectFileCommandsTest, SaveAsTakesTheOutputDirectoryAndTheProcessPresetsAlong)
{
    buildDesign (container);
    const auto file = saveDemo();
    ASSERT_TRUE (folder.getChildFile ("fw").createDirectory().wasOk());
    page.setOutputDirectory (folder.getChildFile ("fw").getFullPathName());
    ASSERT_EQ (page.getOutputDirectoryEditor().getText(), "fw");

    // A preset of the limiter, as its box's menu saves it.
    auto& limiter = *design.findDsp (2)->getGraph().getNode (0);
    auto named = limiter.presetStore;
    named.selectOrAddPreset ("Warm", 0, true);
    named.getCurrentPresetRecord()->values = { 70, 5, 71, 6 };
    PresetDocument boxDocument;
    ASSERT_TRUE (boxDocument.writeProcessPresetDocument (page.getPresetFile(), "Limiter", 1, named, {}).wasOk());

    const auto elsewhere = folder.getChildFile ("elsewhere");
    ASSERT_TRUE (elsewhere.createDirectory().wasOk());
    dialogs.chosenFiles.push_back (elsewhere.getChildFile ("copy.zqp"));
    ASSERT_TRUE (page.saveProject (true));

    EXPECT_EQ (page.getOutputDirectoryEditor().getText(), "fw");
    EXPECT_EQ (page.getProjectSettings().getOutputDirectory(), elsewhere.getChildFile ("fw"));
    EXPECT_TRUE (elsewhere.getChildFile ("copy.zqp").loadFileAsString().contains ("Directory=\"fw\""));

    ASSERT_EQ (page.getPresetFile(), elsewhere.getChildFile ("copy.presets"));
    ProcessPresetStore loaded = limiter.presetStore;
    ASSERT_TRUE (boxDocument.loadProcessPresetsFromFile (page.getPresetFile(), "Limiter", 1, loaded).wasOk());
    ASSERT_TRUE (loaded.findPreset ("Warm"));
    EXPECT_EQ (loaded.getCurrentPresetRecord()->values, (std::vector<uint32_t>{ 70, 5, 71, 6 }));
    EXPECT_TRUE (folder.getChildFile ("demo.presets").existsAsFile()) << "the first project keeps its own";

    // An output directory outside the project's folder stays where it is.
    const auto shared = folder.getChildFile ("shared");
    ASSERT_TRUE (shared.createDirectory().wasOk());
    page.setOutputDirectory (shared.getFullPathName());
    dialogs.chosenFiles.push_back (folder.getChildFile ("third.zqp"));
    ASSERT_TRUE (page.saveProject (true));
    EXPECT_EQ (page.getProjectSettings().getOutputDirectory(), shared);
    EXPECT_EQ (page.getOutputDirectoryEditor().getText(), "shared");
}

// Saved over another project of the same name, the design finds beside it
// no global presets of the project it replaced, which would lock it and be
// taken for its own; its process presets go along, and without any of its
// own it offers the presets of the process classes that were there. What
// the other project leaves is set aside, not removed, and the user told.
TEST_F (ProjectFileCommandsTest, SaveAsOverAnotherProjectLeavesNoneOfItsGlobalPresetsBeside)
{
    const auto other = folder.getChildFile ("other");
    ASSERT_TRUE (other.createDirectory().wasOk());
    const auto target = other.getChildFile ("live.zqp");
    buildDesign (container);
    saveDemo();
    auto& limiter = *design.findDsp (2)->getGraph().getNode (0);

    auto presetNamesIn = [&limiter] (const juce::File& file)
    {
        auto store = limiter.presetStore;
        PresetDocument().loadProcessPresetsFromFile (file, "Limiter", 1, store);
        return PresetTestHelpers::presetNames (store);
    };

    for (const bool designHasPresets : { true, false })
    {
        SCOPED_TRACE (designHasPresets ? "with presets" : "without presets");
        PresetDocument document;
        auto named = limiter.presetStore;
        const auto designPresets = page.getPresetFile();
        designPresets.deleteFile();

        if (designHasPresets)
        {
            named.selectOrAddPreset ("Warm", 0, true);
            ASSERT_TRUE (document.writeProcessPresetDocument (designPresets, "Limiter", 1, named, {}).wasOk());
        }

        // The project about to be replaced, with a preset and a global preset.
        ASSERT_TRUE (target.replaceWithText ("<OSTRANE_QUELLION_Configuration/>"));
        other.getChildFile ("live.presets").deleteFile();
        named.selectOrAddPreset ("Foreign", 0, true);
        ASSERT_TRUE (document.writeProcessPresetDocument (other.getChildFile ("live.presets"), "Limiter", 1, named, {}).wasOk());
        GlobalPresetTable table (2);
        ASSERT_TRUE (
            document.writeGlobalPresetDocument (other.getChildFile ("live_global.presets"), GlobalPreset ("Stage"), table, false)
                .wasOk());

        const auto foreignPresets = other.getChildFile ("live.presets").loadFileAsString();
        const auto foreignGlobals = other.getChildFile ("live_global.presets").loadFileAsString();

        dialogs.chosenFiles.push_back (target);
        dialogs.messages.clear();
        ASSERT_TRUE (page.saveProject (true));
        EXPECT_EQ (page.getPresetFile(), other.getChildFile ("live.presets"));
        EXPECT_EQ (presetNamesIn (page.getPresetFile()),
                   (std::vector<juce::String>{ lastSaved, designHasPresets ? "Warm" : "Foreign" }));
        EXPECT_EQ (container.getGlobalPresets().getCount(), 0);
        EXPECT_FALSE (isDesignLocked());
        EXPECT_FALSE (page.getGlobalPresetFile().exists());

        EXPECT_EQ (other.getChildFile ("live_global.presets.replaced").loadFileAsString(), foreignGlobals);
        EXPECT_EQ (other.getChildFile ("live.presets.replaced").loadFileAsString(),
                   designHasPresets ? foreignPresets : juce::String());
        ASSERT_EQ (dialogs.messages.size(), 1u);
        EXPECT_EQ (dialogs.messages[0].title, "Save project");
        EXPECT_TRUE (dialogs.messages[0].text.contains ("live_global.presets.replaced")) << dialogs.messages[0].text;
        EXPECT_EQ (dialogs.messages[0].text.contains ("live.presets.replaced"), designHasPresets);

        for (auto* name : { "live_global.presets.replaced", "live.presets.replaced" })
            other.getChildFile (name).deleteFile();

        // Back to the first project for the next round.
        dialogs.chosenFiles.push_back (folder.getChildFile ("demo.zqp"));
        ASSERT_TRUE (page.saveProject (true));
    }
}

// Saved as onto its own file under another name of it (through a link to
// its folder), the design keeps its global presets and its presets: no file
// of its own is removed or set aside.
TEST_F (ProjectFileCommandsTest, SaveAsOntoItsOwnFileByAnotherNameKeepsEveryFileOfIt)
{
    buildDesign (container);
    saveDemo();
    GlobalPresetTable table (2);
    ASSERT_TRUE (page.getPresetDocument()
                     .writeGlobalPresetDocument (page.getGlobalPresetFile(), GlobalPreset ("Live"), table, false)
                     .wasOk());
    auto named = design.findDsp (2)->getGraph().getNode (0)->presetStore;
    named.selectOrAddPreset ("Warm", 0, true);
    ASSERT_TRUE (PresetDocument().writeProcessPresetDocument (page.getPresetFile(), "Limiter", 1, named, {}).wasOk());

    const auto globals = page.getGlobalPresetFile().loadFileAsString();
    const auto presets = page.getPresetFile().loadFileAsString();
    const auto link = folder.getChildFile ("link");
    ASSERT_TRUE (folder.get().createSymbolicLink (link, true));

    dialogs.chosenFiles.push_back (link.getChildFile ("demo.zqp"));
    ASSERT_TRUE (page.saveProject (true));
    EXPECT_EQ (folder.getChildFile ("demo_global.presets").loadFileAsString(), globals);
    EXPECT_EQ (folder.getChildFile ("demo.presets").loadFileAsString(), presets);
    EXPECT_EQ (folder.get().findChildFiles (juce::File::findFiles, false, "*.replaced*").size(), 0);
    EXPECT_TRUE (dialogs.messages.empty());
    EXPECT_EQ (container.getGlobalPresets().getCount(), 1);
    EXPECT_TRUE (isDesignLocked());
}

TEST_F (ProjectFileCommandsTest, ANewProjectIsCreatedByThisVersionWhateverWasOpenBefore)
{
    buildDesign (container);
    const auto file = saveDemo();
    ASSERT_TRUE (file.replaceWithText (file.loadFileAsString().replace ("CreatedWith=\"1.3.3.6\"", "CreatedWith=\"1.2.0.0\"")));
    page.openProject (file);
    page.saveProject (false);
    ASSERT_TRUE (file.loadFileAsString().contains ("CreatedWith=\"1.2.0.0\""));

    ASSERT_TRUE (page.newProject());
    buildDesign (container);
    dialogs.chosenFiles.push_back (folder.getChildFile ("fresh.zqp"));
    ASSERT_TRUE (page.saveProject (false));
    EXPECT_TRUE (folder.getChildFile ("fresh.zqp").loadFileAsString().contains ("CreatedWith=\"1.3.3.6\""));
}
