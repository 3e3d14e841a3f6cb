#include "app/ProjectInterface.h"

#include "app/ApplicationSettings.h"
#include "app/MainContainer.h"
#include "app/WindowContainer.h"
#include "editors/Dialogs.h"
#include "editors/DspEditor.h"
#include "editors/HelpViewer.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessEditor.h"
#include "editors/ProgramFolder.h"
#include "generator/GenerationDriver.h"
#include "generator/IdeProjectFile.h"
#include "generator/NrpnListFile.h"
#include "generator/PanelScriptWriter.h"
#include "model/DesignLog.h"
#include "model/FileReplacement.h"
#include "model/PresetFileAccess.h"
#include "model/ProjectFileReader.h"
#include "model/XmlFileAccess.h"

namespace
{
const char* const productTitle = "OSTRANE Quellion";
const char* const savedText = "Project successfully saved!";
const char* const loadingText = "Loading...";

const juce::Colour pageColour (0xFF383838);
const juce::Colour panelColour (0xFE282828);
const juce::Colour comboButtonColour (0xFFFF8C00);
const juce::Colour ivory (0xFFFFFFF0);
const juce::Colour groupOutlineColour (0xFF404040);

void fillCombo (juce::ComboBox& combo, const juce::StringArray& items)
{
    for (int i = 0; i < items.size(); ++i)
        combo.addItem (items[i], i + 1);

    combo.setEditableText (false);
    combo.setJustificationType (juce::Justification::centredLeft);
    combo.setColour (juce::ComboBox::buttonColourId, comboButtonColour);
}

void setUpLabel (juce::Label& label, juce::Colour textColour)
{
    label.setFont (juce::Font (14.0f));
    label.setJustificationType (juce::Justification::centredLeft);
    label.setEditable (false, false, false);
    label.setColour (juce::Label::textColourId, textColour);
    label.setColour (juce::TextEditor::textColourId, juce::Colours::black);
    label.setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));
}

void setUpGroup (juce::GroupComponent& group, juce::Colour textColour)
{
    group.setColour (juce::GroupComponent::outlineColourId, groupOutlineColour);
    group.setColour (juce::GroupComponent::textColourId, textColour);
}

} // namespace

juce::File ProjectInterface::getDefaultModulesDefFile()
{
    return ProgramFolder::getFile ("Modules.def");
}

ProjectInterface::ProjectInterface (MainContainer& ownerContainer, const juce::File& modulesDefFile)
    : owner (ownerContainer), settings (ownerContainer.getSettings()), design (ownerContainer.getDesign()),
      projectSettings (design.getSettings())
{
    // The logo lies under every widget of the page.
    addAndMakeVisible (logo);

    checkForUpdate = settings.getValue (ApplicationSettings::checkForUpdateKey, "1").getIntValue();
    recentFiles.restoreFromString (settings.getValue (ApplicationSettings::recentFileListKey));
    recentFiles.setMaxNumberOfItems (maxRecentFiles);

    setName ("ProjectInterface");
    readModuleDefinitions (modulesDefFile);
    setUpWidgets();

    resetMemoryBases();
    setProjectFile ({});
    setOutputDirectory ({});

    // The project's own preset document reads and writes through the
    // container's collections and keeps the stored copies in the preset list.
    presetDocument.setPresetStores (&owner.getPresetStores());
    presetDocument.setGlobalPresets (&owner.getGlobalPresets());
    presetDocument.setUsePresetList();

    // The controls of a process are those its panel lists, for the rate set here.
    design.setControlRegistrar (
        [this] (GraphNode& node, uint32_t dspId)
        { return PanelScriptWriter::registerStoreControls (node, dspId, projectSettings.getSamplingRateKhz()); });
}

ProjectInterface::~ProjectInterface()
{
    // The library and the rate go with this page; the design outlives it.
    design.setLibrary (nullptr);
    design.setControlRegistrar (nullptr);
    settings.setValue (ApplicationSettings::checkForUpdateKey, checkForUpdate);
    settings.setValue (ApplicationSettings::recentFileListKey, recentFiles.toString());
}

void ProjectInterface::readModuleDefinitions (const juce::File& modulesDefFile)
{
    moduleReader = std::make_unique<ModulesDefReader>();
    moduleReader->open (modulesDefFile);

    if (moduleReader->parse() < 0)
        Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::WarningIcon, productTitle,
                                           ModulesDefReader::getFailureMessage (moduleReader->getLibrary().formatVersion));

    // The program goes on with whatever was read.
    moduleReader->close();
    moduleDefinitions = &moduleReader->getLibrary();
    design.setLibrary (moduleDefinitions);

    // Stored presets of delays saved in earlier forms are read as today's.
    presetDocument.setClassRule (ProjectFileReader::classRuleOf (*moduleDefinitions));
}

void ProjectInterface::setUpWidgets()
{
    chooserButton.setColour (juce::TextButton::textColourOffId, juce::Colours::black);
    chooserButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xFF555555));
    chooserButton.addListener (this);
    addAndMakeVisible (chooserButton);

    setUpGroup (generalGroup, ivory);
    addAndMakeVisible (generalGroup);
    setUpGroup (externalMemGroup, ivory);
    addAndMakeVisible (externalMemGroup);

    fillCombo (chipCombo, ProjectSettings::getChipNames());
    chipCombo.setTextWhenNothingSelected ("7304");
    chipCombo.setSelectedItemIndex (ProjectSettings::defaultChipIndex, juce::dontSendNotification);
    chipCombo.previousIndex = ProjectSettings::defaultChipIndex;
    chipCombo.addListener (this);
    addAndMakeVisible (chipCombo);

    fillCombo (samplingCombo, ProjectSettings::getSamplingRateNames());
    samplingCombo.setSelectedItemIndex (ProjectSettings::defaultSamplingIndex, juce::dontSendNotification);
    samplingCombo.addListener (this);
    addAndMakeVisible (samplingCombo);

    setUpLabel (targetChipLabel, ivory);
    addAndMakeVisible (targetChipLabel);
    setUpLabel (samplingRateLabel, ivory);
    addAndMakeVisible (samplingRateLabel);
    setUpLabel (memSizeLabel, juce::Colours::white);
    addAndMakeVisible (memSizeLabel);

    fillCombo (memoryCombo, ProjectSettings::getMemorySizeNames());
    memoryCombo.setTextWhenNothingSelected ("128");
    memoryCombo.setSelectedItemIndex (ProjectSettings::defaultMemoryIndex, juce::dontSendNotification);
    memoryCombo.addListener (this);
    addAndMakeVisible (memoryCombo);

    outputDirectoryEditor.setMultiLine (false);
    // Text takes the colour current when it is set: the page's look is not
    // reachable yet, so the colours are the editor's own.
    outputDirectoryEditor.setColour (juce::TextEditor::textColourId, juce::Colours::black);
    outputDirectoryEditor.setColour (juce::TextEditor::backgroundColourId, juce::Colours::white);
    outputDirectoryEditor.setText (ProjectSettings::noOutputDirectoryText, false);
    outputDirectoryEditor.setEnabled (false);
    outputDirectoryEditor.addMouseListener (this, false);
    outputDirectoryEditor.addListener (this);
    addAndMakeVisible (outputDirectoryEditor);

    setUpGroup (outputDirGroup, juce::Colours::white);
    addAndMakeVisible (outputDirGroup);
}

ActionManager& ProjectInterface::getEditHistory()
{
    return owner.getEditHistory();
}

//==============================================================================
bool ProjectInterface::isModified() const
{
    return design.isModified();
}

void ProjectInterface::setModified (bool modified)
{
    design.setModified (modified);
}

void ProjectInterface::updateWindowTitle (const juce::String& name)
{
    titleText = name;

    auto* window = owner.getMainWindow();

    if (window == nullptr)
        window = dynamic_cast<juce::DocumentWindow*> (owner.getTopLevelComponent());

    if (window != nullptr)
        window->setName (ProjectSettings::makeWindowTitle (name));
}

void ProjectInterface::showLockedTitle()
{
    updateWindowTitle (projectSettings.getProjectName() + " - (locked)");
}

void ProjectInterface::refreshAllDspViews()
{
    auto& pages = owner.getProcessContainer();

    for (int i = 0; i < pages.getNumDsps(); ++i)
        pages.getDsp (i)->updateUsageLabels();
}

void ProjectInterface::refreshAllEditors()
{
    auto& pages = owner.getProcessContainer();

    for (int i = 0; i < pages.getNumDsps(); ++i)
        pages.getDsp (i)->getProcessEditor().refreshFromSettings();

    applyDesignLock();
}

void ProjectInterface::applyDesignLock()
{
    auto& pages = owner.getProcessContainer();

    for (int i = 0; i < pages.getNumDsps(); ++i)
        pages.getDsp (i)->applyDesignLock();
}

void ProjectInterface::warnDesignLocked()
{
    if (! isDesignLocked() || isLockWarningShown())
        return;

    Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::NoIcon, "Warning - global preset",
                                       "Global preset has been created, design is locked!\n - Save as new project to unlock.",
                                       "Ok");
    setLockWarningShown (true);
}

void ProjectInterface::clearProject()
{
    design.getBusGraph().clear();
    moduleDefinitions->clearAllProcessInstances();
    design.clearDsps();

    // The bus editor and the DSP pages follow the design and its graphs.
}

void ProjectInterface::updateCommandPanels()
{
    auto& pages = owner.getProcessContainer();

    for (int i = 0; i < pages.getNumDsps(); ++i)
    {
        auto& page = *pages.getDsp (i);

        // Only a DSP whose graph has ever held a process has commands to show.
        if (page.getSlot().getGraph().isFresh())
            continue;

        if (design.getSettings().isCommandViewOn())
            page.getCommandPanelTab().addCommandPropertiesTab();
        else
            page.getCommandPanelTab().removeCommandPropertiesTab();
    }
}

bool ProjectInterface::askToSaveChanges (const juce::String& question)
{
    if (! isModified())
        return true;

    switch (Dialogs::getCurrent().askYesNoCancel (productTitle, question))
    {
        case Dialogs::Answer::no: return true;
        case Dialogs::Answer::cancel: return false;
        case Dialogs::Answer::yes: break;
    }

    // Going on after a save that did not happen would lose the design.
    return saveProject (false) && ! isModified();
}

bool ProjectInterface::newProject()
{
    if (! askToSaveChanges ("Do you want to save before creating a new projet?"))
        return false;

    clearProject();
    owner.clearCommandView();

    projectSettings.setProjectFolder ({});
    projectSettings.setProjectName ({});
    setProjectFile ({});
    setOutputDirectory ({});
    updateWindowTitle ({});

    getEditHistory().clearUndoHistory();

    owner.setCurrentTabIndex (MainContainer::busEditorTab);
    owner.showBusEditorMessage (newProjectHint);

    owner.getPresetStores().clear();
    owner.getGlobalPresets().clear();

    projectSettings.setChipIndex (ProjectSettings::defaultChipIndex);
    chipCombo.setSelectedItemIndex (ProjectSettings::defaultChipIndex, juce::dontSendNotification);
    chipCombo.previousIndex = ProjectSettings::defaultChipIndex;

    clearDesignFlags();
    projectSettings.setCommandView (false);
    // This version creates the new project, whatever file was open before.
    projectSettings.setCreatedWithVersion (std::nullopt);
    refreshGlobalPresetGroup();
    disableGlobalPresetButtons();
    applyDesignLock();

    // An empty design has nothing to save.
    setModified (false);
    return true;
}

void ProjectInterface::setProjectFile (const juce::String& path)
{
    projectSettings.setProjectFile (path);
}

void ProjectInterface::setOutputDirectory (const juce::String& path)
{
    outputDirectoryEditor.setText (projectSettings.setOutputDirectory (path), false);
}

void ProjectInterface::refreshFromSettings()
{
    chipCombo.setSelectedItemIndex (projectSettings.getChipIndex(), juce::dontSendNotification);
    chipCombo.previousIndex = projectSettings.getChipIndex();
    samplingCombo.setSelectedItemIndex (projectSettings.getSamplingIndex(), juce::dontSendNotification);
    memoryCombo.setSelectedItemIndex (projectSettings.getMemorySizeIndex(), juce::dontSendNotification);
    outputDirectoryEditor.setText (projectSettings.getOutputDirectoryText(), false);
}

//==============================================================================
bool ProjectInterface::saveProject (bool saveAs)
{
    if (saveAs || projectSettings.getProjectFile() == juce::File())
    {
        const auto chosen = Dialogs::getCurrent().chooseFileToSave ("Save Ostrane Quellion project", getSaveChooserStart(),
                                                                    ProjectFileFormat::filePatterns);

        // Cancelled: nothing is written and nothing of the project changes.
        if (chosen == juce::File())
            return false;

        return saveToChosenFile (ProjectFile::withProjectExtension (chosen));
    }

    const auto target = projectSettings.getProjectFile();

    // A folder deleted while the program runs is made again: the project's,
    // to save into, and the output directory, where the program works.
    target.getParentDirectory().createDirectory();

    if (! writeProjectFile (target))
        return false;

    if (const auto& output = projectSettings.getOutputDirectory();
        juce::File::getCurrentWorkingDirectory() == juce::File() && output != juce::File() && output.createDirectory().wasOk())
        output.setAsCurrentWorkingDirectory();

    projectSettings.setProjectFolder (target.getParentDirectory().getFullPathName());
    enableGlobalPresetButtons();
    showStatus (savedText);
    finishSave();
    return true;
}

juce::File ProjectInterface::getSaveChooserStart() const
{
    // The chooser would otherwise open where the program works: the output
    // directory. A project is saved again beside its file; a new one starts
    // in the user's documents (the home folder without them), under the
    // design's name: given a folder alone, the chooser would offer the
    // folder's own name ("Documents") as the file's.
    const auto& file = projectSettings.getProjectFile();

    if (file != juce::File() && file.getParentDirectory().isDirectory())
        return file;

    auto folder = juce::File::getSpecialLocation (juce::File::userDocumentsDirectory);

    if (! folder.isDirectory())
        folder = juce::File::getSpecialLocation (juce::File::userHomeDirectory);

    if (file != juce::File())
        return folder.getChildFile (file.getFileName());

    const auto& name = projectSettings.getProjectName();
    return ProjectFile::withProjectExtension (folder.getChildFile (name.isNotEmpty() ? name : juce::String (untitledName)));
}

bool ProjectInterface::saveToChosenFile (const juce::File& target)
{
    // The project moves to the new place only once its file is written
    // there; a failed write leaves name, folder and output directory as
    // they were.
    const auto previousSettings = projectSettings;
    const auto previousWorkingDirectory = juce::File::getCurrentWorkingDirectory();

    projectSettings.setProjectName (target.getFileNameWithoutExtension());
    setProjectFile (target.getFullPathName());
    projectSettings.setProjectFolder (target.getParentDirectory().getFullPathName());
    setOutputDirectory (previousSettings.getOutputDirectoryMovedTo (target.getParentDirectory()).getFullPathName());

    if (! writeProjectFile (target))
    {
        projectSettings = previousSettings;
        previousWorkingDirectory.setAsCurrentWorkingDirectory();
        outputDirectoryEditor.setText (projectSettings.getOutputDirectoryText(), false);
        return false;
    }

    updateWindowTitle (projectSettings.getProjectName());
    recentFiles.addFile (target);
    takePresetFilesAlong (previousSettings);

    // The global presets of the new place: those of the design's own file
    // where the new name reaches it; else none, as what another project left
    // there was set aside, which unlocks a design whose global presets were
    // made under the old name.
    readGlobalPresetFile();
    refreshGlobalPresetGroup();
    const auto hasGlobalPresets = owner.getGlobalPresets().getCount() > 0;
    setDesignLocked (hasGlobalPresets);
    setLockWarningShown (hasGlobalPresets);
    refreshAllEditors();
    enableGlobalPresetButtons();
    showStatus (savedText);
    finishSave();
    return true;
}

void ProjectInterface::takePresetFilesAlong (const ProjectSettings& previous)
{
    // The processes' presets are the design's own and go along with it. What
    // another project saved here before left beside its file (the user chose
    // to replace the project file) is set aside, never removed, and the user
    // told where: a global preset file names the DSPs and processes of that
    // design and, read as this one's, would lock it; a preset file is
    // replaced by the design's own. Presets of a process class fit any
    // design, so a preset file the design has nothing to put in place of
    // stays. A file that is the design's own under another name (a link, a
    // name in another case) is its own: it stays as it is.
    juce::StringArray failures, setAside;

    auto moveAside = [&] (const juce::File& file)
    {
        if (! file.exists() && ! file.isSymbolicLink())
            return true;

        if (const auto aside = FileReplacement::setAside (file); aside != juce::File())
        {
            setAside.add (file.getFullPathName() + "\n  is now " + aside.getFileName());
            return true;
        }

        failures.add ("The file left beside the project by the project it replaced could not be set aside:\n" +
                      file.getFullPathName());
        return false;
    };

    const auto presetFile = getPresetFile();

    if (const auto previousFile = previous.getPresetFile();
        previousFile.existsAsFile() && ! FileReplacement::isSameFile (previousFile, presetFile))
    {
        auto loaded = PresetFileAccess::load (previousFile);

        if (loaded.root == nullptr)
            failures.add ("The presets of the processes could not be read from\n" + previousFile.getFullPathName() + ":\n" +
                          loaded.result.getErrorMessage() + ".");
        else if (moveAside (presetFile))
        {
            if (auto result = PresetFileAccess::save (*loaded.root, presetFile); result.failed())
                failures.add ("The presets of the processes could not be copied from\n" + previousFile.getFullPathName() +
                              " to\n" + presetFile.getFullPathName() + ":\n" + result.getErrorMessage() + ".");
        }
    }

    if (const auto globalFile = getGlobalPresetFile(); ! FileReplacement::isSameFile (globalFile, previous.getGlobalPresetFile()))
        moveAside (globalFile);

    if (! setAside.isEmpty())
        Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::InfoIcon, "Save project",
                                           "The preset files left beside the project by the project it replaced were set "
                                           "aside; the project does not read them:\n" +
                                               setAside.joinIntoString ("\n"));

    if (! failures.isEmpty())
        Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::WarningIcon, "Save project",
                                           failures.joinIntoString ("\n\n"));
}

bool ProjectInterface::writeProjectFile (const juce::File& target)
{
    ProjectFileWriter::Options options;

    if (auto* window = owner.getMainWindow())
    {
        options.windowWidth = window->getWidth();
        options.windowHeight = window->getHeight();
    }

    const auto result = ProjectFile::save (design, target, options);

    if (result.wasOk())
        return true;

    Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::WarningIcon, "Save project",
                                       "The project could not be saved to\n" + target.getFullPathName() + ":\n" +
                                           result.getErrorMessage() + ".\nThe design is still open and not saved.");
    return false;
}

void ProjectInterface::finishSave()
{
    applyDesignLock();

    if (isDesignLocked())
        showLockedTitle();

    setModified (false);
}

bool ProjectInterface::openProject (const juce::File& file)
{
    if (! askToSaveChanges ("Do you want to save before opening another project?"))
        return true;

    auto chosen = file;

    if (chosen == juce::File())
        chosen = Dialogs::getCurrent().chooseFileToOpen ("Open Ostrane Quellion project", {}, ProjectFileFormat::filePatterns);

    if (moduleDefinitions->formatVersion == 0)
    {
        Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::NoIcon, "Open project",
                                           "Modules.def missing please update.\n  - Expected version: " +
                                               juce::String (ModulesDefReader::minimumVersion));
        return true;
    }

    // A cancelled chooser opens nothing and changes nothing.
    if (chosen == juce::File())
        return true;

    // The whole file is read and checked before anything of the open design
    // changes: a file that cannot be read leaves it, its name and its lock
    // exactly as they were.
    auto loaded = ProjectFile::load (chosen, *moduleDefinitions);

    if (loaded.content == nullptr)
    {
        DBG ("XML error (ProjectInterface): " + loaded.result.getErrorMessage());
        Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::NoIcon, "Open project",
                                           loaded.missing
                                               ? juce::String ("Unable to find project file:\n May have been moved?")
                                               : "Unable to open project file:\n " + chosen.getFullPathName() +
                                                     "\n The file was refused: " + loaded.result.getErrorMessage() + ".");
        return true;
    }

    installProject (*loaded.content, chosen);
    return loaded.content->compatibilityIssues.isEmpty();
}

void ProjectInterface::installProject (const ProjectFileContent& content, const juce::File& file)
{
    clearDesignFlags();
    owner.clearCommandView();
    // Locked while it is rebuilt.
    setDesignLocked (true);

    showStatus (loadingText);
    getEditHistory().clearUndoHistory();
    recentFiles.addFile (file);
    updateWindowTitle (file.getFileNameWithoutExtension());
    clearProject();

    // The log window empties the log when it opens, so it opens once,
    // before the messages of this file are written.
    if (content.hasMessages())
        showLogWindow();

    ProjectFile::install (content, file, design);

    if (content.commandView)
        owner.flipCommandViewFlag();

    refreshFromSettings();
    refreshAllDspViews();
    showStatus ("Project loaded!");

    loadedProcessCount = content.getProcessCount();
    createdProcessCount = 0;
    savedValuesSent = false;

    readGlobalPresetFile();
    refreshGlobalPresetGroup();
    setModified (false);
    enableGlobalPresetButtons();
    setDesignLocked (owner.getGlobalPresets().getCount() > 0);
    warnDesignLocked();
    applyDesignLock();

    if (isDesignLocked())
        showLockedTitle();
}

void ProjectInterface::readGlobalPresetFile()
{
    // What cannot be read of the file is shown as the preset menu shows a
    // damaged preset file: the log may be closed, and opening it empties it.
    presetDocument.setMessageHandler (Dialogs::makeWarningHandler());
    presetDocument.readPresetsFile (getGlobalPresetFile());
    presetDocument.setMessageHandler ({});
}

std::unique_ptr<juce::XmlElement> ProjectInterface::readSavedProject() const
{
    const auto& file = projectSettings.getProjectFile();

    if (! file.existsAsFile())
        return {};

    return XmlFileAccess::load (file, ProjectFileFormat::rootTag, ProjectFileFormat::largestFile).root;
}

void ProjectInterface::reloadCommandLists()
{
    auto root = readSavedProject();

    if (root == nullptr)
        return;

    ProjectFile::reloadCommandLists (*root, design);

    // The numbers read are the controls' at once, as typed ones are: a panel
    // built shows them.
    for (int i = 0; i < design.getNumDsps(); ++i)
    {
        if (auto* dsp = design.getDsp (i))
        {
            auto& graph = dsp->getGraph();

            for (int n = 0; n < graph.getNumNodes(); ++n)
            {
                if (auto* node = graph.getNode (n);
                    node != nullptr && node->getProcessDefinition() != nullptr &&
                    PanelScriptWriter::updateStoreControls (*node, dsp->getDspId(), projectSettings.getSamplingRateKhz()))
                {
                    ++node->valueReplacements;
                    graph.sendChangeMessage();
                }
            }
        }
    }
}

void ProjectInterface::sendAllSavedControls()
{
    if (auto root = readSavedProject())
        ProjectFile::sendSavedControls (*root, design,
                                        [this] (int dspIndex, uint32_t number, uint32_t value)
                                        { boardControl.sendControlSysEx (dspIndex, number, value); });
}

bool ProjectInterface::sendSavedValuesOnceAllBoxesExist()
{
    if (savedValuesSent || createdProcessCount == 0 || createdProcessCount != loadedProcessCount)
        return false;

    savedValuesSent = true;

    // The command words need nothing here: the open gave each process those
    // of the file, and making its box leaves them as they are.
    sendAllSavedControls();
    return true;
}

//==============================================================================
WindowContainer* ProjectInterface::findWindowContainer() const
{
    // None while the pages are shown without the program's window.
    return owner.findParentComponentOfClass<WindowContainer>();
}

void ProjectInterface::showStatus (const juce::String& text)
{
    statusText = text;

    if (auto* windowContainer = findWindowContainer())
    {
        if (text == loadingText)
            windowContainer->showLoading();
        else
            windowContainer->showStatus (text);
    }
}

void ProjectInterface::showLogWindow()
{
    if (auto* windowContainer = findWindowContainer())
        windowContainer->showLogWindow();
}

void ProjectInterface::refreshGlobalPresetGroup()
{
    if (auto* windowContainer = findWindowContainer())
        windowContainer->refreshGlobalPresetList();
}

void ProjectInterface::enableGlobalPresetButtons()
{
    if (auto* windowContainer = findWindowContainer())
        windowContainer->enableGlobalPresetButtons();
}

void ProjectInterface::disableGlobalPresetButtons()
{
    if (auto* windowContainer = findWindowContainer())
        windowContainer->disableGlobalPresetButtons();
}

void ProjectInterface::generateSourceFiles (bool commandHandlers)
{
    GenerationDriver driver (design, mainBusFile);
    driver.generateSourceFiles (commandHandlers);
}

juce::File ProjectInterface::getIdeProjectFileName (const juce::File& projectFile) const
{
    return IdeProjectFile::getIdeProjectFileName (projectFile);
}

//==============================================================================
juce::PopupMenu ProjectInterface::createHelpMenu()
{
    juce::PopupMenu menu;
    menu.addItem (1, "Help");
    return menu;
}

void ProjectInterface::handleHelpMenuResult (int itemId)
{
    // The page has no bar of messages: help that is not there is said in a box.
    if (itemId == 1)
        HelpViewer::getCurrent().showPageOrSay (
            helpPage, [] (const juce::String& text)
            { Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::InfoIcon, productTitle, text); });
}

void ProjectInterface::mouseUp (const juce::MouseEvent& event)
{
    // Opened at the release, which therefore cannot choose its item.
    if (event.mods.isPopupMenu())
        handleHelpMenuResult (Dialogs::getCurrent().showMenu (createHelpMenu(), 18));
}

void ProjectInterface::paint (juce::Graphics& g)
{
    g.fillAll (pageColour);
    g.setColour (panelColour);
    g.fillRoundedRectangle (16.0f, 17.0f, 318.0f, 94.0f, 10.0f);
    g.fillRoundedRectangle (16.0f, 117.0f, 318.0f, 100.0f, 10.0f);
    g.fillRoundedRectangle (16.0f, 223.0f, 318.0f, 75.0f, 10.0f);
}

void ProjectInterface::resized()
{
    logo.setBounds (getWidth() - 480, getHeight() - 256, getWidth(), getHeight());
    generalGroup.setBounds (23, 23, 304, 81);
    targetChipLabel.setBounds (37, 48, 120, 16);
    chipCombo.setBounds (42, 66, 100, 20);
    samplingRateLabel.setBounds (181, 48, 139, 16);
    samplingCombo.setBounds (187, 66, 100, 20);
    externalMemGroup.setBounds (23, 124, 304, 84);
    memSizeLabel.setBounds (36, 151, 154, 16);
    memoryCombo.setBounds (42, 172, 120, 20);
    outputDirGroup.setBounds (24, 228, 304, 63);
    outputDirectoryEditor.setBounds (42, 255, 255, 20);
    chooserButton.setBounds (293, 255, 25, 20);
}

void ProjectInterface::buttonClicked (juce::Button* button)
{
    if (button != &chooserButton)
        return;

    const auto start =
        projectSettings.getProjectFile().getParentDirectory().exists() ? juce::File::getCurrentWorkingDirectory() : juce::File();
    const auto chosen = Dialogs::getCurrent().chooseDirectory ("Choose your directory", start);

    if (chosen == juce::File())
        return;

    setOutputDirectory (chosen.getFullPathName());
    // The page writes the editor's text quietly, so the choice itself marks
    // the project modified: otherwise quitting would not offer to keep it.
    setModified (true);
}

void ProjectInterface::comboBoxChanged (juce::ComboBox* comboBox)
{
    if (comboBox == &chipCombo)
    {
        chipChanged();
    }
    else if (comboBox == &samplingCombo)
    {
        projectSettings.setSamplingIndex (samplingCombo.getSelectedItemIndex());
        owner.getProcessContainer().pushModuleLibraryToAll();
        // The boxes' loads are shares of the cycles the new rate leaves; each
        // page's usage labels are computed again with them.
        owner.getProcessContainer().refreshAllDspViews();
        setModified (true);
    }
    else if (comboBox == &memoryCombo)
    {
        projectSettings.setMemorySizeIndex (memoryCombo.getSelectedItemIndex());
        setExternalMemorySize (memoryCombo.getText().getIntValue());
        refreshAllDspViews();
        setModified (true);
    }
}

void ProjectInterface::chipChanged()
{
    const auto newIndex = chipCombo.getSelectedItemIndex();

    if (owner.getDspCount() > ProjectSettings::getChipCapacity (newIndex))
    {
        Dialogs::getCurrent().showMessage (
            juce::MessageBoxIconType::NoIcon, "Target Chip Change",
            "The selected chip cannot contain enough DSPs : Please make a new project or remove DSPs.");
        chipCombo.setSelectedItemIndex (chipCombo.previousIndex, juce::dontSendNotification);
    }
    else
    {
        chipCombo.previousIndex = newIndex;
        projectSettings.setChipIndex (newIndex);
    }

    setModified (true);
}

void ProjectInterface::textEditorTextChanged (juce::TextEditor& editor)
{
    // The page writes the editor's text quietly, its own first text included,
    // and the editor takes no typing; any change that is announced comes from
    // elsewhere and is a change to the project.
    if (&editor == &outputDirectoryEditor)
        setModified (true);
}

//==============================================================================
void ProjectInterface::writeNrpnListFile()
{
    const auto file = Dialogs::getCurrent().chooseFileToSave ("Save NRPN List file", {}, "*.csv");

    if (file == juce::File())
        return;

    if (! NrpnListFile::write (design, file))
        Dialogs::getCurrent().showMessage (juce::MessageBoxIconType::WarningIcon, productTitle,
                                           "The NRPN list file could not be written:\n" + file.getFullPathName());
}
