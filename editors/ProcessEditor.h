#pragma once

#include "editors/DspEditorHost.h"
#include "editors/GraphEditorView.h"
#include "editors/PasteTarget.h"
#include "editors/SelectorComponent.h"
#include "model/ProcessGraphEdits.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class Design;
class DspEditor;
class PinToolPanel;
class TooltipBar;

// The drawing surface of one DSP's process graph, on the DSP's page. Besides
// what every graph view does (boxes and connectors kept in step with the
// graph, connection drags through the rules, removal), it places processes
// dropped from the page's process list, selects with the lasso, offers the
// background menu and the edit keys, copies and pastes through the
// clipboard, and keeps the page's load bars in step with the graph. Every
// edit is an undoable action on the edit history.
class ProcessEditor : public GraphEditorView,
                      public juce::DragAndDropTarget,
                      public juce::SettableTooltipClient,
                      public SelectorComponent::Owner,
                      public PasteTarget
{
public:
    // The background menu's item ids.
    enum MenuItem
    {
        copyItem = 1,
        pasteItem,
        removeItem,
        undoItem,
        redoItem,
        selectAllItem,
        unselectAllItem
    };

    static constexpr int menuItemHeight = 18;
    static constexpr int tooltipCountdownStart = 25;
    static constexpr const char* designLockedText = "Design locked";
    static constexpr const char* undoElsewhereMessage = "Undo/Redo only available in DSP Editor.";
    // What the page's process list hands over when one of its rows is dragged.
    static constexpr const char* processListName = "ProcessList";

    ProcessEditor (GraphData& graph, Design& design, DspEditorHost& host, uint32_t dspId);
    ~ProcessEditor() override;

    Design& getDesign() const noexcept { return design; }
    DspEditorHost& getHost() const noexcept { return host; }
    ActionManager& getCopyBuffer() const noexcept { return host.getClipboard(); }

    // The page the editor is shown on; none in a bare editor.
    void setDspEditor (DspEditor* page) noexcept { dspEditor = page; }
    DspEditor* getDspEditor() const noexcept { return dspEditor; }

    // The project settings the boxes read (rate) were changed.
    void refreshFromSettings();
    // Each process's load text again, for the project's sampling rate.
    void refreshLoadTexts();

    // Boxes made since the editor was built (a project open builds new ones).
    int getCreatedBoxCount() const noexcept { return createdBoxCount; }

    //==============================================================================
    // Copy and paste. A copy records the selected processes that are not
    // static and the selected connectors between two selected processes in
    // one clipboard transaction named "COPY" and the copy's number; a paste
    // inserts that transaction here, so that the same copy can be pasted any
    // number of times, into this DSP or another running the same module.
    void copySelection() override;
    void pasteSelection();
    static juce::String makeCopyName (int number);

    //==============================================================================
    // The background menu and the keys.
    juce::PopupMenu buildMenu() const;
    void handleMenuResult (int itemId);
    bool keyPressed (const juce::KeyPress& key) override;

    //==============================================================================
    // The drop of a process from the page's process list. True when placed.
    bool placeProcess (int processIndex, juce::Point<int> position);

    bool isInterestedInDragSource (const SourceDetails& details) override;
    void itemDropped (const SourceDetails& details) override;

    //==============================================================================
    // The lasso (its own events come here too).
    void beginLasso (const juce::MouseEvent& e) override;
    void dragLasso (const juce::MouseEvent& e) override;
    void endLasso (const juce::MouseEvent& e) override;
    SelectorComponent* getLasso() const noexcept { return lasso.get(); }

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseMove (const juce::MouseEvent& e) override;
    void setTooltip (const juce::String& newTooltip) override;

    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    //==============================================================================
    // GraphEditorView
    void makeConnection (const ConnectionRules::Ends& ends, bool isVirtual) override;

    // The page's process tool panel and bar; none in a bare editor.
    PinToolPanel* getPinTool() const override;
    TooltipBar* getTooltipBar() const override;

    // A DSP input or output given to a process pin under the connection
    // rules, as an undo step of its own; a refusal's message goes to the
    // page's bar.
    bool assignBusPin (const ZorvexBus& pin, const juce::String& name) override;

    // "Delete BusPin", as an undo step of its own.
    void deleteBusPin (uint32_t nodeId, uint32_t pinIndex, uint8_t direction, const juce::String& name) override;

    void showProcessCommands (uint32_t nodeId) override;
    juce::File getPresetFile() const override;

    // PasteTarget
    GraphData& getPasteGraph() override { return getGraph(); }
    ModuleLibrary* getPasteLibrary() const override { return getLibrary(); }
    uint32_t getPasteDspId() const override { return getDspId(); }
    ActionManager* getPasteHistory() const override { return getEditHistory(); }
    void showPasteMessage (const juce::String& text) override { showMessage (text); }

    //==============================================================================
    // A process placed by a drop or a paste. Undone, it goes with what was
    // made on it since; redone, it stands again under the same id and NRPN
    // number. The first perform refuses (false) when the graph is full;
    // later ones never do, as a refused redo would empty the history.
    class InsertAction : public juce::UndoableAction
    {
    public:
        InsertAction (GraphData& graph, ModuleLibrary* library, uint32_t dspId, const ProcessGraphEdits::NewProcess& process);
        bool perform() override;
        bool undo() override;

        // 0 until performed.
        uint32_t getNrpn() const noexcept { return nrpn; }

    private:
        DspDefinitionEntry* findEntry() const;

        GraphData& graph;
        ModuleLibrary* library;
        uint32_t dspId;
        ProcessGraphEdits::NewProcess process;
        uint32_t nrpn = 0;
        bool performed = false, inGraph = false;
        ProcessGraphEdits::RemovedProcess removed;
    };

    // A connection drawn between two processes, kept by their NRPN numbers.
    // The first perform refuses when nothing was added (an equal connection
    // was there, a node is gone, the graph is full); undoing removes only
    // what this action added.
    class InsertConnectionAction : public juce::UndoableAction
    {
    public:
        InsertConnectionAction (GraphData& graph, const ConnectionRules::Ends& ends, bool isVirtual);
        bool perform() override;
        bool undo() override;

    private:
        GraphData& graph;
        ConnectionRules::Ends ends;
        uint8_t flag;
        bool performed = false, valid = false, added = false;
        ProcessGraphEdits::KeptConnection kept;
    };

    // A DSP input or output given to a process pin, or taken from it. The
    // pin is kept by its process's NRPN number, as ids close up when a
    // process before it is removed. The two actions share both operations
    // with their roles exchanged.
    class BusPinAction : public juce::UndoableAction
    {
    public:
        BusPinAction (GraphData& graph, uint32_t nodeId, uint32_t pinIndex, uint8_t direction, const juce::String& name);

    protected:
        // True when the bus pin was added (it was not there) or removed (it was).
        bool add();
        bool remove();

        GraphData& graph;
        uint32_t nrpn = 0, pinIndex;
        uint8_t direction;
        juce::String name;
        bool performed = false;
    };

    // The first perform refuses (false) when the same name was there already,
    // so that no undo takes away what this action did not add; undoing
    // removes only what it added.
    class AddBusPinAction : public BusPinAction
    {
    public:
        using BusPinAction::BusPinAction;
        bool perform() override;
        bool undo() override;

    private:
        bool added = false;
    };

    // The first perform refuses when there is no such bus pin; undoing puts
    // back only what it removed.
    class RemoveBusPinAction : public BusPinAction
    {
    public:
        using BusPinAction::BusPinAction;
        bool perform() override;
        bool undo() override;

    private:
        bool removed = false;
    };

protected:
    std::unique_ptr<Zorvex> createBox (GraphNode& node) override;
    void afterSynchronise() override;

private:
    void setUpNewBox (Zorvex& box, const GraphNode& node);
    void refreshUsage();
    void applyLasso (bool adding);
    void ensureBusGraphNode();
    // The keys' undo and redo: on the DSP editor's tab only.
    bool undoOrRedo (bool redo);
    // The page of the DSP whose edit goes shown first.
    bool undoOrRedoShowingPage (bool redo);

    Design& design;
    DspEditorHost& host;
    DspEditor* dspEditor = nullptr;
    std::unique_ptr<SelectorComponent> lasso;
    bool lassoStarting = false;
    bool tooltipClearPending = false;
    int tooltipCountdown = tooltipCountdownStart; // mouse moves on this page until the clear
    int createdBoxCount = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProcessEditor)
};
