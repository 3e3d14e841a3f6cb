#pragma once

#include "editors/ActionManager.h"
#include "editors/ControlPanelHost.h"
#include "editors/DspEditorHost.h"
#include "hvif/HalvixInterface.h"
#include "model/Design.h"

#include <juce_data_structures/juce_data_structures.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

class BusContainer;
class ProcessContainer;
class ProjectInterface;

// The tabbed area of the main window: "Project settings", "Bus editor" and
// "DSP editor". It owns the two undo managers (the edit history and the
// clipboard) and carries the keyboard shortcuts of the whole design window;
// the rest of the program reaches the project page, the bus graph and the DSP slots
// through it.
class MainContainer : public juce::TabbedComponent,
                      public juce::SettableTooltipClient,
                      public DspEditorHost,
                      private ControlPanelHost
{
public:
    enum class Shortcut
    {
        none,
        // The edit keys, which belong to the DSP editor shown.
        copy,
        paste,
        deleteSelection,
        escape,
        redo,
        undo,
        unselectAll,
        selectAll,
        // The design window's own.
        toggleCommandView,
        newProject,
        save,
        saveAs,
        open,
        generateNrpnHandlers,
        generateCommandHandlers,
        quit
    };

    static constexpr int projectSettingsTab = 0;
    static constexpr int busEditorTab = 1;
    static constexpr int dspEditorTab = 2;

    static constexpr const char* abortedGenerationText = "No files were generated! Aborted when saving project.";

    // Which shortcut a key is, modifiers exactly as given.
    static Shortcut findShortcut (const juce::KeyPress& key);
    static bool isEditShortcut (Shortcut shortcut) noexcept;

    // The settings file is shared with the main window and must outlive this.
    explicit MainContainer (juce::PropertiesFile& settings);
    ~MainContainer() override;

    juce::PropertiesFile& getSettings() noexcept { return settings; }
    ProjectInterface& getProjectInterface() noexcept { return *projectInterface; }
    ActionManager& getEditHistory() noexcept override { return editHistory; }
    ActionManager& getClipboard() noexcept override { return clipboard; }

    // The "Bus editor" tab: the DSPs of the design and their wiring.
    BusContainer& getBusContainer() noexcept { return *busContainer; }

    // The "DSP editor" tab: one page per DSP of the design.
    ProcessContainer& getProcessContainer() noexcept { return *processContainer; }

    // The open design, which every page shows and edits.
    Design& getDesign() noexcept { return design; }

    // The graph of the design's DSPs, shown by the bus editor.
    GraphData& getBusGraph() noexcept { return design.getBusGraph(); }

    // The project's stored preset stores and its global presets.
    ProjectPresetStores& getPresetStores() noexcept { return design.getPresetStores(); }
    GlobalPresetList& getGlobalPresets() noexcept { return design.getGlobalPresets(); }
    int getDspCount() const noexcept { return design.getBusGraph().getNumNodes(); }

    //==============================================================================
    bool isCommandViewOn() const noexcept { return commandViewFlag; }
    void clearCommandView();
    // Inverts the flag, keeps the project's copy of it in step and returns it.
    bool flipCommandViewFlag();
    void toggleCommandView();

    void closeDspControlPanels (uint32_t dspId);
    void closeAllControlPanels();

    // Saves the project (asking for a file the first time). When the save did
    // not happen, nothing can be generated: the log says so and false is
    // returned.
    bool saveBeforeGenerate();
    // Ctrl+G (NRPN handlers) and Ctrl+Shift+G (command handlers).
    void generate (bool commandHandlers);

    //==============================================================================
    // The MIDI-control library's interface and the panel object made from it
    // at start (both none without the library); released with this container.
    void setMidiControl (HvIfInterface* libraryInterface, HvIfPanelObject* panelObject) noexcept;
    HvIfInterface* getMidiControlInterface() const noexcept { return midiControl; }
    bool isClosing() const noexcept { return closing; }

    void setMainWindow (juce::DocumentWindow* window) noexcept { mainWindow = window; }
    juce::DocumentWindow* getMainWindow() const noexcept { return mainWindow; }

    // Carries out the shortcut the key is. Edit keys count as used when an
    // editor took them; the others when they were carried out, so that a key
    // that reaches the main window after this does not act twice.
    bool keyPressed (const juce::KeyPress& key) override;

    // Ctrl+Q: the application's quit request (tests listen here instead).
    std::function<void()> onQuitRequested;

    // DspEditorHost
    ControlPanelHost& getPanelHost() override { return *this; }
    bool isDspEditorShown() const override { return getCurrentTabIndex() == dspEditorTab; }
    void showBusEditorMessage (const juce::String& text) override;
    void showDspEditorTab() override { setCurrentTabIndex (dspEditorTab); }
    void countCreatedProcessBox() override;
    void sendSavedValuesOnceAllBoxesExist() override;

private:
    bool sendEditKeyToShownEditor (const juce::KeyPress& key, Shortcut shortcut);

    // ControlPanelHost: the process boxes build their panels on the library,
    // and "Send controls to BOARD" sends through the project.
    HvIfInterface* getLibraryInterface() override { return midiControl; }
    void sendControlsToBoard (Zorvex& box) override;

    juce::PropertiesFile& settings;

    ActionManager editHistory;
    ActionManager clipboard;

    // Held here so that it outlives every page that shows it.
    Design design;

    bool commandViewFlag = false;
    bool closing = false;
    juce::DocumentWindow* mainWindow = nullptr;
    HvIfInterface* midiControl = nullptr;
    HvIfPanelObject* startPanelObject = nullptr;

    // Made at construction and never shown; the node boxes borrow it to
    // rename their processes.
    juce::TextEditor hiddenEditor;

    // The pages belong to their tabs.
    ProjectInterface* projectInterface = nullptr;
    BusContainer* busContainer = nullptr;
    ProcessContainer* processContainer = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainContainer)
};
