#pragma once

#include "app/OstraneLogo.h"
#include "editors/ActionManager.h"
#include "generator/MainBusFile.h"
#include "model/BoardControlSender.h"
#include "model/Design.h"
#include "model/GlobalPresetManager.h"
#include "model/GraphData.h"
#include "model/ModuleLibrary.h"
#include "model/ModulesDefReader.h"
#include "model/PresetDocument.h"
#include "model/ProjectFile.h"
#include "model/ProjectSettings.h"

#include <juce_data_structures/juce_data_structures.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <juce_gui_extra/juce_gui_extra.h>

#include <memory>

class MainContainer;
class WindowContainer;

// The project object and the "Project settings" page, the first tab of the
// main container. It shows and edits the project's settings (target chip,
// sampling rate, external memory, output directory), keeps the project's
// file, the recent files and the module library read from "Modules.def"
// beside the executable, and carries the project operations of the shell:
// every project operation and every generator reaches the design through it.
class ProjectInterface : public juce::Component,
                         public juce::Button::Listener,
                         public juce::ComboBox::Listener,
                         public juce::TextEditor::Listener
{
public:
    // The chip choice remembers the chip last accepted, to go back to it
    // when a chip cannot hold the design's DSPs.
    class ChipComboBox : public juce::ComboBox
    {
    public:
        using juce::ComboBox::ComboBox;

        int previousIndex = -1;
    };

    static constexpr int maxRecentFiles = 5;
    static constexpr const char* helpPage = "/Quellion_Guide.pdf";
    // The name the save chooser offers a design that has none yet.
    static constexpr const char* untitledName = "Untitled";
    static constexpr const char* newProjectHint =
        "To start double-click on a DSP or right click on Bus editor view and \"Add DSP\".";

    static juce::File getDefaultModulesDefFile();

    explicit ProjectInterface (MainContainer& owner, const juce::File& modulesDefFile = getDefaultModulesDefFile());
    ~ProjectInterface() override;

    //==============================================================================
    MainContainer& getOwner() noexcept { return owner; }
    ActionManager& getEditHistory();
    ModuleLibrary& getModuleDefinitions() noexcept { return *moduleDefinitions; }
    ProjectSettings& getProjectSettings() noexcept { return projectSettings; }
    Design& getDesign() noexcept { return design; }

    // The context through which the preset files and global presets are reached.
    PresetDocument& getPresetDocument() noexcept { return presetDocument; }
    juce::RecentlyOpenedFilesList& getRecentFiles() noexcept { return recentFiles; }

    // The bus editor's graph, whose modified mark is the project's own.
    void setBusGraph (GraphData* graph) noexcept { busGraph = graph; }

    double getSamplingRateKhz() const { return projectSettings.getSamplingRateKhz(); }
    int getSamplingRateHz() const { return projectSettings.getSamplingRateHz(); }
    int getExternalMemorySize() const noexcept { return projectSettings.getExternalMemorySize(); }
    void setExternalMemorySize (int size) noexcept { projectSettings.setExternalMemorySize (size); }
    void resetMemoryBases() { projectSettings.resetMemoryBases(); }

    //==============================================================================
    bool isModified() const;
    void setModified (bool modified);

    // Names the main window after the project ("OSTRANE Quellion" alone for none).
    void updateWindowTitle (const juce::String& name);
    const juce::String& getTitleText() const noexcept { return titleText; }
    // The project's name marked "(locked)": its design holds global presets.
    void showLockedTitle();

    void refreshAllDspViews();
    void refreshAllEditors();
    void applyDesignLock();
    void warnDesignLocked();
    void clearProject();
    // True when the new project was made (not cancelled).
    bool newProject();
    void updateCommandPanels();

    void setProjectFile (const juce::String& path);
    void setOutputDirectory (const juce::String& path);
    juce::File getGlobalPresetFile() const { return projectSettings.getGlobalPresetFile(); }
    juce::File getPresetFile() const { return projectSettings.getPresetFile(); }

    // Shows the settings as they stand in the model (after a project was read).
    void refreshFromSettings();

    // When the design is modified, asks the question (Yes, No, Cancel) and
    // saves on Yes. True when the caller may go on: nothing to save, No, or a
    // save that happened. Cancel, or a save that was cancelled or failed,
    // keeps the design as it is.
    bool askToSaveChanges (const juce::String& question);

    //==============================================================================
    // The project file (".zqp").

    // Writes the project, asking for a file with saveAs or while it has none.
    // True when it was written; a cancelled chooser or a failed write (which
    // is reported) leaves the project as it was, still modified.
    bool saveProject (bool saveAs);

    // Opens the file, or asks for one when none is given. A file that cannot
    // be read leaves the open design as it was. False when a process of the
    // file was missing from the module definitions, else true (also when
    // nothing was opened).
    bool openProject (const juce::File& file);

    // Gives every process the command words of the saved file again.
    void reloadCommandLists();

    // Loads every process's "(Last-Saved)" values from the saved file into
    // its node's store and sends them to the board.
    void sendAllSavedControls();

    // The process editors count every process box they make, and after each
    // synchronise ask for the saved values: once every process of the last
    // open has its box, its saved control values go back to it and to the
    // board, once per open. True when that happened now.
    void countCreatedProcessBox() noexcept { ++createdProcessCount; }
    bool sendSavedValuesOnceAllBoxesExist();
    int getLoadedProcessCount() const noexcept { return loadedProcessCount; }

    //==============================================================================
    // Control values to the development board, on the MIDI output the window
    // container opened (nothing without one): "Send controls to BOARD", every
    // DSP's when an output is opened, and a global preset as it is applied.
    BoardControlSender& getBoardControl() noexcept { return boardControl; }

    // What the window container's status label is to show ("Loading...",
    // "Project loaded!", "Project successfully saved!").
    const juce::String& getStatusText() const noexcept { return statusText; }

    // Writes the design's firmware sources into the output directory and the
    // firmware IDE's project beside the project file, reporting in the log.
    // The caller saves the project and shows the log window first.
    void generateSourceFiles (bool commandHandlers);
    // Where the generation puts the firmware IDE's project.
    juce::File getIdeProjectFileName (const juce::File& projectFile) const;

    //==============================================================================
    // Global presets: created, saved and removed. Saving reaches each
    // process through its box when it has one (see GlobalPresetCollector).
    GlobalPresetManager& getGlobalPresetManager() noexcept { return globalPresetManager; }

    //==============================================================================
    static juce::PopupMenu createHelpMenu();
    void handleHelpMenuResult (int itemId);

    //==============================================================================
    // Asks for a file and writes the design's NRPN list into it, as the
    // file's name is chosen; a file that cannot be written is reported.
    void writeNrpnListFile();

    ChipComboBox& getChipComboBox() noexcept { return chipCombo; }
    juce::ComboBox& getSamplingComboBox() noexcept { return samplingCombo; }
    juce::ComboBox& getMemoryComboBox() noexcept { return memoryCombo; }
    juce::TextEditor& getOutputDirectoryEditor() noexcept { return outputDirectoryEditor; }
    juce::TextButton& getChooserButton() noexcept { return chooserButton; }
    OstraneLogo& getLogo() noexcept { return logo; }

    void mouseUp (const juce::MouseEvent& event) override;
    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;
    void comboBoxChanged (juce::ComboBox* comboBox) override;
    void textEditorTextChanged (juce::TextEditor& editor) override;

private:
    juce::File getSaveChooserStart() const;
    bool saveToChosenFile (const juce::File& target);
    bool writeProjectFile (const juce::File& target);
    void takePresetFilesAlong (const ProjectSettings& previous);
    void finishSave();
    void installProject (const ProjectFileContent& content, const juce::File& file);
    void readGlobalPresetFile();
    std::unique_ptr<juce::XmlElement> readSavedProject() const;

    // Where the project operations reach the pages and the window container.
    WindowContainer* findWindowContainer() const;
    void showStatus (const juce::String& text);
    void showLogWindow();
    void refreshGlobalPresetGroup();
    void enableGlobalPresetButtons();
    void disableGlobalPresetButtons();

    void chipChanged();
    void setUpWidgets();
    void readModuleDefinitions (const juce::File& modulesDefFile);

    MainContainer& owner;
    juce::PropertiesFile& settings;
    juce::RecentlyOpenedFilesList recentFiles;
    int checkForUpdate = 1;

    std::unique_ptr<ModulesDefReader> moduleReader;
    ModuleLibrary* moduleDefinitions = nullptr;

    Design& design;
    ProjectSettings& projectSettings;
    PresetDocument presetDocument;
    GlobalPresetManager globalPresetManager{ design, presetDocument };
    MainBusFile mainBusFile;
    juce::String titleText;
    juce::String statusText;
    GraphData* busGraph = nullptr;

    int loadedProcessCount = 0;
    int createdProcessCount = 0;
    bool savedValuesSent = false;
    BoardControlSender boardControl{ design };

    OstraneLogo logo;
    juce::TextButton chooserButton{ "..." };
    juce::GroupComponent generalGroup{ "generalGroup", "General" };
    juce::GroupComponent externalMemGroup{ "externalMemGroup", "External memory (RAM)" };
    juce::GroupComponent outputDirGroup{ "outputDirGroup", "Output directory" };
    ChipComboBox chipCombo{ "comboBoxChip" };
    juce::ComboBox samplingCombo{ "comboBoxSampling" };
    juce::ComboBox memoryCombo{ "comboBoxMem" };
    juce::Label targetChipLabel{ "targetChipLabel", "Target chip" };
    juce::Label samplingRateLabel{ "samplingRateLabel", "Sampling rate (kHz)" };
    juce::Label memSizeLabel{ "memSizeLabel", "Memory size (kx16bits)" };
    juce::TextEditor outputDirectoryEditor{ "Output directory" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProjectInterface)
};
