#pragma once

#include "editors/ActionManager.h"
#include "model/Design.h"
#include "model/GlobalPresetCollector.h"
#include "model/GraphData.h"
#include "model/ModuleLibrary.h"
#include "model/ModulesDefReader.h"
#include "model/PresetDocument.h"
#include "model/ProjectSettings.h"

#include <juce_data_structures/juce_data_structures.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <juce_gui_extra/juce_gui_extra.h>

#include <memory>

class MainContainer;

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

    void refreshAllDspViews();
    void refreshAllEditors();
    void applyDesignLock();
    void warnDesignLocked();
    void clearProject();
    void newProject();
    void updateCommandPanels();

    void setProjectFile (const juce::String& path);
    void setOutputDirectory (const juce::String& path);
    juce::File getSaveAsStartFolder() const { return projectSettings.getSaveAsStartFolder(); }
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
    // The project file: writing and reading it. True when the project was
    // saved or opened.
    bool saveProject (bool saveAs);
    bool openProject (const juce::File& file);
    void reloadCommandLists();
    // Writes the design's firmware sources into the output directory.
    void generateSourceFiles (bool commandHandlers);

    //==============================================================================
    // Global presets. The collection of a global preset's keys reaches each
    // process through its box when it has one (see GlobalPresetCollector).
    std::unique_ptr<GlobalPresetCollector> makeGlobalPresetCollector();
    GlobalPreset* collectGlobalPreset (const juce::String& name);
    GlobalPreset* collectDspGlobalPreset (const juce::String& name, uint32_t dspId, int dspCount, bool first);

    //==============================================================================
    static juce::PopupMenu createHelpMenu();
    void handleHelpMenuResult (int itemId);

    ChipComboBox& getChipComboBox() noexcept { return chipCombo; }
    juce::ComboBox& getSamplingComboBox() noexcept { return samplingCombo; }
    juce::ComboBox& getMemoryComboBox() noexcept { return memoryCombo; }
    juce::TextEditor& getOutputDirectoryEditor() noexcept { return outputDirectoryEditor; }
    juce::TextButton& getChooserButton() noexcept { return chooserButton; }

    void mouseDown (const juce::MouseEvent& event) override;
    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;
    void comboBoxChanged (juce::ComboBox* comboBox) override;
    void textEditorTextChanged (juce::TextEditor& editor) override;

private:
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
    juce::String titleText;
    GraphData* busGraph = nullptr;

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
