#pragma once

#include "editors/CommandPanelTab.h"
#include "editors/GraphCommandProperties.h"
#include "editors/ProcessPanelTool.h"
#include "editors/SourceItemListboxContents.h"
#include "editors/TooltipBar.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <cstdint>
#include <memory>

class Design;
class DspEditorHost;
class DspSlot;
class GraphProcessEditor;
class ModuleDefinition;
class ProcessContainer;
class ProcessEditor;

// The page of one DSP on the "DSP editor" tab: the choice of the module the
// DSP runs, the list of that module's processes to drag into the DSP, the
// scrolling process editor of the DSP's graph, the tool tabs, the bar of
// messages and the three load bars (cycles, DSP RAM, external RAM).
//
// The page shows the DSP's slot of the design: its graph and its entry in
// the library's registry (the module). Choosing another module changes the
// slot, after a question; everything else is edited in the process editor.
class DspEditor : public juce::Component,
                  public juce::ComboBox::Listener,
                  public juce::DragAndDropContainer,
                  public juce::Button::Listener
{
public:
    enum Load
    {
        cyclesLoad = 0,
        dspRamLoad,
        externalRamLoad
    };

    static constexpr const char* moduleListText = "Module list";
    static constexpr const char* moduleQuestionTitle = "OSTRANE Quellion";
    static constexpr const char* moduleQuestion =
        "Do you really want to change the module for this DSP?\nPrevious changes will be irreversible.";
    static constexpr juce::uint32 listBackgroundColour = 0xFFEDEDED;
    static constexpr juce::uint32 comboButtonColour = 0xFFFF8C00;
    static constexpr juce::uint32 loadBackgroundColour = 0xFFD3D3D3;
    static constexpr juce::uint32 loadBarColour = 0xFFFFA500;

    // The DSP's slot must exist; the page lives no longer than it.
    DspEditor (Design& design, DspEditorHost& host, uint32_t dspId, ProcessContainer* container);
    ~DspEditor() override;

    uint32_t getDspId() const noexcept { return dspId; }
    DspSlot& getSlot() const noexcept { return slot; }
    ProcessContainer* getProcessContainer() const noexcept { return container; }

    GraphProcessEditor& getGraphProcessEditor() const noexcept { return *graphProcessEditor; }
    ProcessEditor& getProcessEditor() const;
    juce::ComboBox& getModuleChoice() noexcept { return moduleChoice; }
    juce::ListBox& getProcessList() noexcept { return processList; }
    SourceItemListboxContents& getProcessListContents() noexcept { return listContents; }
    juce::Viewport& getViewport() noexcept { return viewport; }
    TooltipBar& getTooltipBar() noexcept { return tooltipBar; }
    CommandPanelTab& getCommandPanelTab() noexcept { return commandPanelTab; }
    GraphCommandProperties& getCommandProperties() noexcept { return commandProperties; }
    ProcessPanelTool& getProcessPanelTool() noexcept { return processPanelTool; }

    //==============================================================================
    // The module choice: every module of the library, the ones whose rate
    // class the project's sampling rate exceeds disabled; the DSP's module
    // chosen.
    void fillModuleList();
    bool isSelectionWithinLimit (const ModuleDefinition& module) const;

    // The chosen module's position in the list and id (0: none chosen).
    int getModuleValue() const noexcept { return selectedModuleIndex; }
    uint32_t getModuleId() const noexcept { return selectedModuleId; }
    const ModuleDefinition* getChosenModule() const;

    // Shows the module the registry holds for the DSP (a project opened,
    // the module changed elsewhere), asking nothing.
    void showModuleOfSlot();

    //==============================================================================
    // Loads as fractions (1.0 full), refreshed first; never below 0.
    double getCyclesLoad();
    double getRamLoad();
    double getExternalLoad();

    // Recomputes the three loads and the bars' texts, and gives every other
    // page the shared external load.
    void refreshUsage();
    void updateUsageLabels();
    void showSharedExternalLoad (double load);
    juce::String getLoadText (Load which) const;
    juce::ProgressBar& getLoadBar (Load which) noexcept { return *loadBars[(size_t) which]; }

    // The design lock, the command view and the rate as they now stand.
    void refreshFromSettings();

    // While the design is locked the page's edits are disabled: the module
    // choice, the dragging of processes out of the list, the "Edit" tool
    // strip and the command fields. Scrolling, the tool tabs and the graph
    // (whose edits refuse by themselves) stay usable.
    void applyDesignLock();

    //==============================================================================
    void comboBoxChanged (juce::ComboBox* combo) override;
    void buttonClicked (juce::Button*) override {}
    void resized() override;

private:
    void setUpModuleChoice();
    void setUpProcessList();
    void setUpLoadBars();
    void changeModule (int itemId);
    void setLoadText (Load which, const juce::String& text);

    Design& design;
    DspEditorHost& host;
    DspSlot& slot;
    ProcessContainer* container;
    uint32_t dspId;

    // The tool tabs' pages come before the tabs that show them.
    ProcessPanelTool processPanelTool;
    GraphCommandProperties commandProperties;
    CommandPanelTab commandPanelTab{ processPanelTool, commandProperties };
    juce::Viewport viewport;

    // The list's model outlives the list.
    SourceItemListboxContents listContents;
    juce::ListBox processList{ "ProcessList", &listContents };
    juce::ComboBox moduleChoice;
    GraphProcessEditor* graphProcessEditor = nullptr; // owned by the viewport

    int selectedModuleIndex = 0;
    uint32_t selectedModuleId = 0;

    // The bars show these.
    std::array<double, 3> loads{};
    std::array<juce::String, 3> loadTexts;
    std::array<std::unique_ptr<juce::ProgressBar>, 3> loadBars;
    TooltipBar tooltipBar;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DspEditor)
};
