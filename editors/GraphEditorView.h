#pragma once

#include "editors/ControlPanelHost.h"
#include "model/ConnectionRules.h"
#include "model/GraphData.h"
#include "model/ProcessGraphEdits.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

class ActionManager;
class BUSPin;
class ConnectorComponent;
class DspDefinitionEntry;
class ModuleDefinition;
class ModuleLibrary;
class PinToolPanel;
class TooltipBar;
class Zorvex;
class ZorvexBus;

// The drawing surface of one graph, the part the bus editor and a DSP's
// process editor share: one node box per node, one connector per
// connection, one label per bus pin, kept in step with the graph by
// synchronise, which is the only place that creates boxes, connectors and
// labels. The graph deletes the components
// of the records it removes through this view (its view hook); they are
// taken off the screen at once and deleted after the event that removed
// them, so a box or connector whose own handler caused the removal is never
// deleted under it.
//
// Boxes, pins and connectors reach their editor only through this class.
// The editors derive from it and fill in what is theirs (the tools, the
// tooltip bar, the DSP's module and registry entry, the rules of the bus
// editor, the process editor's undoable insertions, bus-pin labels,
// copying); each of those has a plain default here.
class GraphEditorView : public juce::Component,
                        public juce::ChangeListener,
                        public GraphData::ViewHook,
                        private juce::AsyncUpdater
{
public:
    static constexpr juce::uint32 backgroundColour = 0xFF282828;

    GraphEditorView (GraphData& graph, bool isProcessEditor);
    ~GraphEditorView() override;

    GraphData& getGraph() const noexcept { return graph; }
    bool isProcessEditor() const noexcept { return processEditor; }

    //==============================================================================
    // What the editor works with; none of them is owned.

    void setEditHistory (ActionManager* history) noexcept { editHistory = history; }
    ActionManager* getEditHistory() const noexcept { return editHistory; }

    void setPanelHost (ControlPanelHost* host) noexcept { panelHost = host; }
    ControlPanelHost& getPanelHost() const noexcept { return panelHost != nullptr ? *panelHost : ControlPanelHost::getNone(); }

    // The module library and, in a process editor, the DSP the graph belongs to.
    void setLibrary (ModuleLibrary* newLibrary, uint32_t newDspId) noexcept;
    ModuleLibrary* getLibrary() const noexcept { return library; }
    uint32_t getDspId() const noexcept { return dspId; }
    DspDefinitionEntry* getDspEntry() const;
    const ModuleDefinition* getDspModule() const;
    virtual const ModuleDefinition* getModuleOfDsp (uint32_t id) const;

    // The project's sampling-rate position (0 to 5) and rate in kHz.
    void setSamplingIndex (int index) noexcept { samplingIndex = index; }
    int getSamplingIndex() const noexcept { return samplingIndex; }
    double getSamplingRateKhz() const;

    // The load (1.0 = full) a DSP box shows; the DSP pages know it.
    virtual double getDspLoad (uint32_t id) const;

    // The page's tool panel, whose mode (0 connector, 1 audio input, 2 audio
    // output, 3 internal bus), pin side and chosen name a click on a pin
    // follows; none in a bare view, which only draws connections.
    virtual PinToolPanel* getPinTool() const { return nullptr; }
    int getToolMode() const;
    bool getToolDirectionIsInput() const;

    // The page's bar, which shows the refusals; none in a bare view.
    virtual TooltipBar* getTooltipBar() const { return nullptr; }

    // A message for the page's tooltip bar, kept until the bar clears it.
    void showMessage (const juce::String& text);
    const juce::String& getLastMessage() const noexcept { return lastMessage; }

    //==============================================================================
    // Synchronisation and lookups

    // Boxes for every node, connectors for every connection, labels for
    // every bus pin, none for records that are gone, every box where its
    // node says and every label beside its pin. Calling it twice changes
    // nothing the second time.
    void synchronise();

    Zorvex* findBoxByNodeId (uint32_t id) const;
    // The connector showing the connection; none before the view showed it.
    ConnectorComponent* findConnectorFor (const GraphConnection& connection) const;
    // The label showing the bus pin; none before the view showed it.
    BUSPin* findBusPinComponent (const GraphBusPin& busPin) const;
    ZorvexBus* findPinAt (juce::Point<float> position) const;
    const juce::OwnedArray<Zorvex>& getBoxes() const noexcept { return boxes; }
    const juce::OwnedArray<ConnectorComponent>& getConnectors() const noexcept { return connectors; }
    const juce::OwnedArray<BUSPin>& getLabels() const noexcept { return labels; }

    // The connectors and labels of the node follow its pins.
    void updateNodeAttachments (uint32_t nodeId);

    //==============================================================================
    // Selection and group moves

    void selectAll (bool select);
    int getNumSelected() const;
    juce::Point<int> dragOffset;

    // The processes a paste has just placed (their link flag set, so that
    // the paste could wire them) answer to their copies' numbers no more,
    // and their boxes come selected once made.
    void takePastedProcesses();

    //==============================================================================
    // Connection drags, started by a pin or by a connector whose end is dragged.

    // Refused while the design is locked. The dragged connector is one being
    // re-routed (taken over, its connection already gone) or none (a new one).
    void startConnectionDrag (const ConnectionRules::DragStart& start, std::unique_ptr<ConnectorComponent> dragged,
                              juce::Point<float> pressPosition);
    void dragConnection (const juce::MouseEvent& e);

    // Ends the drag on whatever release: the rubber band goes in every case;
    // the connection is made when the rules allow it. The verdict's message
    // is the caller's to show.
    ConnectionRules::Verdict finishConnectionDrag (const juce::MouseEvent& e);
    bool isDraggingConnection() const noexcept { return rubberBand != nullptr; }
    ConnectorComponent* getRubberBand() const noexcept { return rubberBand.get(); }

    // Takes a connector's connection away so that its end can be dragged to
    // another pin: the connection is removed (an undo step in a process
    // editor) and the drag begins with the loose end at the press.
    void beginReroute (ConnectorComponent& connector, juce::Point<float> pressPosition);

    // "Delete connector".
    void deleteConnection (ConnectorComponent& connector);

    // The rules a drop is judged by: in a process editor the DSP's connection
    // rules, in the bus editor its own.
    virtual ConnectionRules::Verdict checkConnectionDrop (const ConnectionRules::DragStart& start,
                                                          const ConnectionRules::Pin& dropped, ConnectionRules::Ends& ends) const;

    // Makes an accepted connection. Here directly; the process editor makes
    // it an undoable insertion.
    virtual void makeConnection (const ConnectionRules::Ends& ends, bool isVirtual);

    // The DSP input or output `name` given to a process pin (the process
    // editor records it as an undoable assignment), or a chip pin name to a
    // DSP pin (the bus editor). False when nothing was given.
    virtual bool assignBusPin (const ZorvexBus& pin, const juce::String& name);

    // A release in a naming mode gives the tool's chosen name to the pin
    // under it, when the pin is of the side the name fits.
    void dropBusName (const juce::MouseEvent& e);

    // "Delete BusPin" of a label: here the bus pin goes at once; the process
    // editor makes it an undo step.
    virtual void deleteBusPin (uint32_t nodeId, uint32_t pinIndex, uint8_t direction, const juce::String& name);

    // A left press on a process box: the page shows its command words.
    virtual void showProcessCommands (uint32_t nodeId) { juce::ignoreUnused (nodeId); }

    //==============================================================================
    // Edits started at a box

    // Removes the selected processes, one undo step each: first their
    // connections, then the process. The nodes are found by NRPN number, as
    // each removal renumbers the ones after it.
    virtual void removeSelection();

    // Removes every connection leaving (leaving set) or entering the node,
    // or only those of one pin: in a process editor each as an undoable
    // action, in one new transaction; in the bus editor at once.
    void removeNodeConnections (uint32_t nodeId);
    void removePinConnections (uint32_t nodeId, uint32_t pin, bool leaving);

    virtual void copySelection() {}

    // "Remove DSP", once confirmed; "DSP editor" tab of a DSP box.
    virtual void removeDsp (uint32_t id) { juce::ignoreUnused (id); }
    virtual void showDspTab (uint32_t id) { juce::ignoreUnused (id); }

    // The count change of a process to a new channel word, with what follows
    // the count here: the load text for this DSP's module and rate, and the
    // command words but for those the user typed.
    ProcessGraphEdits::CountChange makeCountChange (const GraphNode& node, uint32_t newWord) const;

    // The project's process preset file, none while the project has no file.
    virtual juce::File getPresetFile() const { return {}; }

    //==============================================================================
    // The rectangle painted in the background colour.
    juce::Rectangle<int> getBackgroundArea() const;
    void paint (juce::Graphics& g) override;
    void resized() override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    // GraphData::ViewHook
    void deleteComponent (juce::Component& component) override;
    void nodeIdChanged (juce::Component& box, uint32_t newId) override;
    void recordsRenumbered() override;

protected:
    // A new box for a node; the editors may set it up further.
    virtual std::unique_ptr<Zorvex> createBox (GraphNode& node);

    // The end of every synchronisation, once boxes and connectors stand.
    virtual void afterSynchronise() {}

    // Takes a child off the screen at once and deletes it after the event
    // that is running, which may be its own.
    void retire (std::unique_ptr<juce::Component> component);

private:
    void synchroniseBoxes();
    void synchroniseConnectors();
    void synchroniseLabels();
    void showConnection (ConnectorComponent& connector, const GraphConnection& connection);
    void handleAsyncUpdate() override;
    void removeConnectionsAt (uint32_t nodeId, bool leaving, bool onePin, uint32_t pin);

    GraphData& graph;
    bool processEditor;
    ActionManager* editHistory = nullptr;
    ControlPanelHost* panelHost = nullptr;
    ModuleLibrary* library = nullptr;
    uint32_t dspId = 0;
    int samplingIndex = 1;
    juce::String lastMessage;

    juce::OwnedArray<Zorvex> boxes;
    juce::OwnedArray<ConnectorComponent> connectors;
    juce::OwnedArray<BUSPin> labels;
    std::unique_ptr<ConnectorComponent> rubberBand;
    ConnectionRules::DragStart dragStart;

    // The NRPN numbers of processes pasted and not shown yet.
    std::vector<uint32_t> pastedNrpns;

    // Components whose records went during an event, deleted after it.
    std::vector<std::unique_ptr<juce::Component>> retired;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GraphEditorView)
};
