#pragma once

#include "editors/ProcessControlPanel.h"
#include "model/GraphData.h"
#include "model/PresetDocument.h"
#include "model/ProcessGraphEdits.h"
#include "model/ProcessPresetStore.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class ActionManager;
class GraphEditorView;
class ModuleLibrary;
class ZorvexBus;

// The box of one graph node: a DSP box (mode 0) on the bus editor or a
// process box (mode 1) in a DSP's process editor. It draws the node's name
// and load, carries its pins, offers its context menu, the process's count
// slider and memory choice, renaming, selection and dragging, and its
// control panel and preset menus.
//
// The box is a view of its node: everything the design keeps (name, count,
// memory type, position, the values of its controls in the node's store)
// lives on the node, and every edit of it goes through the editor's edit
// history as one of the actions below. The editor creates and deletes boxes
// in its synchronisation and calls synchroniseFromNode on the others; a box
// never deletes itself.
class Zorvex : public juce::Component,
               public juce::DragAndDropTarget,
               public juce::FileDragAndDropTarget,
               public juce::TextDragAndDropTarget,
               public juce::Slider::Listener,
               public juce::ComboBox::Listener,
               public juce::TextEditor::Listener,
               public juce::SettableTooltipClient,
               private ProcessControlPanel::Owner
{
public:
    enum Mode : uint8_t
    {
        dspMode = 0,
        processMode = 1
    };

    // The menus' item ids.
    enum MenuItem
    {
        removeItem = 1,
        copyItem = 2,
        setNameItem = 3,
        setLegacyNameItem = 4,
        resetControlsItem = 18,
        sendControlsItem = 19,
        helpItem = 20,
        createPresetItem = 1008,
        savePresetItem = 1009,
        loadPresetBase = 2008,
        removeAllPresetsItem = 3008,
        removePresetBase = 3009
    };

    static constexpr int pinSize = 12;
    // Pixels the mouse may move between a press and its release of a click.
    static constexpr int dragThreshold = 4;
    // A memory word with this bit keeps its memory type.
    static constexpr uint32_t fixedMemoryFlag = 0x80000000u;
    static constexpr uint32_t maxDspPins = 8;
    static constexpr int width = 140;
    static constexpr int smallHeight = 83;
    static constexpr juce::uint32 outlineColour = 0xFFFFA500;
    static constexpr juce::uint32 selectedColour = 0xFFFFFF00;

    Zorvex (GraphData& graph, uint32_t nodeId);
    ~Zorvex() override;

    //==============================================================================
    void setOwnerEditor (GraphEditorView* editor) noexcept { ownerEditor = editor; }
    GraphEditorView* getOwnerEditor() const noexcept { return ownerEditor; }

    uint32_t getNodeId() const noexcept { return nodeId; }
    GraphNode* getNode() const;
    GraphData& getGraph() const noexcept { return graph; }

    void setMode (Mode newMode);
    Mode getMode() const noexcept { return mode; }

    const juce::String& getTitle() const noexcept { return title; }
    void setTitle (const juce::String& newTitle);
    const juce::String& getLoadText() const noexcept { return loadText; }
    void setLoadText (const juce::String& newText);

    bool isSelected() const noexcept { return selected; }
    void setSelected (bool shouldBeSelected);

    juce::Slider* getCountSlider() const noexcept { return countSlider.get(); }
    juce::ComboBox* getMemoryCombo() const noexcept { return memoryCombo.get(); }
    juce::TextEditor* getNameEditor() const noexcept { return nameEditor.get(); }

    // The node's store, which holds the values the panel shows; none once
    // the node is gone.
    ProcessPresetStore* getPresetStore() const;

    // The presets of the process's class and count that the preset file
    // holds, as the preset menus offer them (read from the file before each
    // menu), with the one chosen last.
    ProcessPresetStore& getPresetList() noexcept { return presetList; }
    PresetDocument& getPresetDocument() noexcept { return presetDocument; }

    // The process's control panel (its panel object, windows and meter
    // poll), built from the library that the editor's panel host lends.
    ProcessControlPanel& getControlPanel() noexcept { return controlPanel; }
    bool isPanelShown() const noexcept { return controlPanel.isPanelShown(); }

    //==============================================================================
    // Size rule: the height of a process box for its count; a growth keeps
    // no small floor (a growth to 2 gives 156, a shrink to 2 gives 83).
    static int computeHeight (uint32_t pinFlags, uint32_t newWord, uint32_t oldWord, int currentHeight, bool growing);

    // Pins: DSP box counts as given; process box counts from its node.
    void createPins (int inputs, int outputs);
    void layoutPins();
    // True when it built the panel again (the count changed).
    bool rebuildPinsForNCount (uint32_t newWord, uint32_t oldWord);
    int getNumPins (bool inputs) const;

    // Searched from the last child; none when absent.
    ZorvexBus* findPin (uint32_t pinNodeId, uint32_t pinIndex, bool input) const;

    // The centre of a pin in the owner's coordinates.
    juce::Point<float> getPinCentre (int index, bool input) const;

    // The graph renumbered the node.
    void setPinsNodeId (uint32_t newId);

    // Brings the box in step with its node: place, title, load, count and
    // memory choice (no notification), pins, and a panel built with what it
    // lists and the values of the node's store.
    void synchroniseFromNode();

    // The owner editor synchronises with the graph again.
    void refreshOwnerEditor();

    //==============================================================================
    // Selection and moves
    void deselectAll();
    void moveBy (int dx, int dy);

    //==============================================================================
    // Menus
    juce::PopupMenu buildMenu();
    void handleMenuResult (int itemId);

    // The inline name editor ("Set name").
    void showNameEditor();

    //==============================================================================
    void paint (juce::Graphics& g) override;
    void resized() override;
    bool hitTest (int x, int y) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

    void sliderValueChanged (juce::Slider* slider) override;
    void comboBoxChanged (juce::ComboBox* combo) override;
    void textEditorReturnKeyPressed (juce::TextEditor& editor) override;
    void textEditorEscapeKeyPressed (juce::TextEditor& editor) override;
    void textEditorFocusLost (juce::TextEditor& editor) override;

    bool isInterestedInDragSource (const SourceDetails& details) override;
    void itemDragEnter (const SourceDetails& details) override;
    void itemDragExit (const SourceDetails& details) override;
    void itemDropped (const SourceDetails& details) override;
    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;
    bool isInterestedInTextDrag (const juce::String& text) override;
    void textDragEnter (const juce::String& text, int x, int y) override;
    void textDragExit (const juce::String& text) override;
    void textDropped (const juce::String& text, int x, int y) override;

    // ProcessControlPanel::Owner
    GraphNode* getControlPanelNode() override { return getNode(); }
    uint32_t getControlPanelDspId() override;
    double getSamplingRateKhz() override;
    double getCountSliderValue() override;
    void* getPanelParentHandle() override { return getWindowHandle(); }
    // A value set on the panel is an edit of the design: it is saved with it.
    void controlPanelValueChanged() override { graph.setModified (true); }
    void controlPanelProblem (const juce::String& text) override;

    //==============================================================================
    // The edits that start at a box. Each finds its node by NRPN number, as
    // node ids close up when a process is removed; each refuses (false) only
    // at its first perform, when its node is already gone, and otherwise
    // returns true, as the undo history drops every step when an undo fails.

    // A process with its connections, DSP inputs and outputs and registry
    // entry; undone, it stands again under the id it had.
    class RemoveAction : public juce::UndoableAction
    {
    public:
        RemoveAction (GraphData& graph, ModuleLibrary* library, uint32_t dspId, uint32_t nrpn);
        bool perform() override;
        bool undo() override;

    private:
        GraphData& graph;
        ModuleLibrary* library;
        uint32_t dspId, nrpn;
        bool performed = false;
        ProcessGraphEdits::RemovedProcess removed;
    };

    // One connection, found by the NRPN numbers of its nodes.
    class RemoveConnectionAction : public juce::UndoableAction
    {
    public:
        RemoveConnectionAction (GraphData& graph, const GraphConnection& connection);
        bool perform() override;
        bool undo() override;

    private:
        GraphData& graph;
        bool valid = false, performed = false, removed = false;
        ProcessGraphEdits::KeptConnection kept;
    };

    // A process's count: the pins it drops lose their connections and DSP
    // inputs and outputs, and undoing brings back the count, the node's pin
    // counts, the connections, the names and the values.
    class ChangeNCountAction : public juce::UndoableAction
    {
    public:
        // As the editor makes it (GraphEditorView::makeCountChange): the
        // load text (for the DSP's module and rate) and the command words
        // follow the count too, and so do the controls of the process's
        // store (listed for the DSP and rate given), each control that stays
        // keeping its values.
        ChangeNCountAction (GraphData& graph, const ProcessGraphEdits::CountChange& change, uint32_t dspId,
                            double samplingRateKhz);

        // On a bare graph: the load text is taken for no module, and the
        // command words and the store's controls stay.
        ChangeNCountAction (GraphData& graph, uint32_t nrpn, uint32_t newWord, uint32_t oldWord);
        bool perform() override;
        bool undo() override;

    private:
        GraphData& graph;
        bool performed = false;
        ProcessGraphEdits::CountChange change;
        uint32_t dspId = 0;
        double samplingRateKhz = 0.0;
    };

    // A process's memory type (1 external, 2 internal 16-bit, 3 internal
    // 24-bit). Given the DSP and rate the controls are listed for, the
    // values follow what the memory sets (a delay's time range and units),
    // and undoing gives them back as they were.
    class ChangeMemDelayAction : public juce::UndoableAction
    {
    public:
        ChangeMemDelayAction (GraphData& graph, uint32_t nrpn, int newType, uint32_t dspId = 0, double samplingRateKhz = 0.0);
        bool perform() override;
        bool undo() override;

    private:
        GraphData& graph;
        uint32_t nrpn;
        uint32_t newWord, oldWord = 1;
        int newChoice, oldChoice = GraphNode::memoryChoiceNone;
        bool performed = false;
        uint32_t dspId = 0;
        double samplingRateKhz = 0.0;
        ProcessGraphEdits::KeptValues values;
    };

    // The copy of one process on the clipboard. It records at its first
    // perform; later performs (the redo of every paste) keep that record, as
    // the process, its DSP or its module may be gone by then. Its undo
    // inserts the copy into the paste target, when that DSP runs the
    // module the copy came from and has room, as an insertion on the
    // target's edit history; refusals return true all the same, as the
    // clipboard drops every copy when an undo fails.
    class CopyAction : public juce::UndoableAction
    {
    public:
        // A pasted process stands this far from its source, within the view.
        static constexpr double pasteOffset = 0.01;

        struct Copy
        {
            juce::String name, loadText, moduleName;
            const ProcessDefinition* definition = nullptr;
            double x = 0.0, y = 0.0;
            uint32_t channelWord = 1, memoryWord = 1;
            uint32_t nrpn = 0, moduleId = 0;
            std::vector<uint32_t> commandWords, secondCommandWords;
            int commandWordCount = 0;
            // Its controls and the values its box showed.
            ProcessPresetStore savedValues;
        };

        CopyAction (GraphData& graph, uint32_t nrpn, const ModuleLibrary* library, uint32_t dspId);
        bool perform() override;
        bool undo() override;

        bool hasCopy() const noexcept { return recorded; }
        const Copy& getCopy() const noexcept { return copy; }

        static juce::String makeNoModuleMessage (const juce::String& moduleName);
        static juce::String makeMismatchMessage (const juce::String& moduleName);

    private:
        GraphData* source;
        const ModuleLibrary* sourceLibrary;
        uint32_t dspId, nrpn;
        bool recorded = false;
        Copy copy;
    };

private:
    // The preset list empty, named and marked after the node's process.
    void startPresetList (const GraphNode& node);
    void createControls (const GraphNode& node);
    void configureSlider (const GraphNode& node);
    // Before the preset menus: the preset list with the process's controls,
    // in order, and the presets the preset file holds for the process.
    void syncPresetStore();
    // The values the panel shows: those of the node store's current preset.
    std::vector<std::pair<juce::String, uint32_t>> getShownValues();
    // The preset of the list at that position becomes the process's values.
    void loadPreset (int index);
    void addPresetMenus (juce::PopupMenu& menu);
    void handlePresetResult (int itemId);
    void removePresets (int k);
    void createOrSavePreset (bool create);
    void renameNode (const juce::String& newName);
    void closeNameEditor();
    void applySize (int newHeight);
    int getPinFlags() const;
    bool isLocked() const;
    ActionManager* getEditHistory() const;
    void moveSelectedGroup (juce::Point<int> offset);
    void clickWithoutDrag (const juce::MouseEvent& e);

    uint32_t nodeId;
    juce::OwnedArray<ZorvexBus> pins;
    std::unique_ptr<juce::Slider> countSlider;
    std::unique_ptr<juce::ComboBox> memoryCombo;
    std::unique_ptr<juce::Label> sliderLabel;
    std::unique_ptr<juce::TextEditor> nameEditor;
    juce::String title{ "Process" };
    juce::String loadText;
    bool selected = false;
    bool pinsPending = true;
    Mode mode = processMode;
    bool moving = false;
    int inputPinCount = 0, outputPinCount = 0;
    juce::Point<int> dragStart;
    juce::DropShadowEffect dropShadow;
    GraphData& graph;
    uint32_t shownWord = 0;
    uint32_t shownMemoryWord = 0;
    uint32_t shownReplacements = 0;
    bool dragHighlight = false;
    ProcessPresetStore presetList;
    PresetDocument presetDocument;
    GraphEditorView* ownerEditor = nullptr;

    ProcessControlPanel controlPanel{ *this };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Zorvex)
};
