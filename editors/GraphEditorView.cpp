#include "editors/GraphEditorView.h"

#include "editors/ActionManager.h"
#include "editors/BUSPin.h"
#include "editors/ConnectorComponent.h"
#include "editors/PinToolPanel.h"
#include "editors/TooltipBar.h"
#include "editors/Zorvex.h"
#include "editors/ZorvexBus.h"
#include "model/DesignLog.h"
#include "model/ModuleLibrary.h"
#include "model/ProjectSettings.h"

#include <algorithm>

GraphEditorView::GraphEditorView (GraphData& graphToShow, bool isProcessEditor)
    : graph (graphToShow), processEditor (isProcessEditor)
{
    setName (isProcessEditor ? "ProcessEditor" : "BusEditor");
    setOpaque (false);
    graph.addChangeListener (this);
    graph.setViewHook (this);
}

GraphEditorView::~GraphEditorView()
{
    graph.removeChangeListener (this);
    graph.setViewHook (nullptr);

    // The graph outlives its editor: it must not point at boxes or
    // connectors that are about to go.
    for (int i = 0; i < graph.getNumNodes(); ++i)
        if (graph.getNodeBoxAt (i) != nullptr)
            graph.setNodeBox (graph.getNode (i), nullptr);

    for (int i = 0; i < graph.getNumConnections(); ++i)
        graph.getConnection (i)->connector = nullptr;

    for (int i = 0; i < graph.getNumBusPins(); ++i)
        graph.getBusPin (i)->label = nullptr;

    cancelPendingUpdate();
    rubberBand.reset();
    labels.clear();
    connectors.clear();
    boxes.clear();
}

void GraphEditorView::setLibrary (ModuleLibrary* newLibrary, uint32_t newDspId) noexcept
{
    library = newLibrary;
    dspId = newDspId;
}

DspDefinitionEntry* GraphEditorView::getDspEntry() const
{
    return library != nullptr ? library->findDsp (dspId) : nullptr;
}

const ModuleDefinition* GraphEditorView::getDspModule() const
{
    return getModuleOfDsp (dspId);
}

const ModuleDefinition* GraphEditorView::getModuleOfDsp (uint32_t id) const
{
    return library != nullptr ? library->getModuleOfDsp (id) : nullptr;
}

double GraphEditorView::getSamplingRateKhz() const
{
    const auto& names = ProjectSettings::getSamplingRateNames();
    return juce::isPositiveAndBelow (samplingIndex, names.size()) ? names[samplingIndex].getDoubleValue() : 0.0;
}

double GraphEditorView::getDspLoad (uint32_t id) const
{
    juce::ignoreUnused (id);
    return 0.0;
}

ProcessGraphEdits::CountChange GraphEditorView::makeCountChange (const GraphNode& node, uint32_t newWord) const
{
    ProcessGraphEdits::CountChange change;
    change.nrpn = node.nrpn;
    change.oldWord = node.channelWord;
    change.newWord = newWord;
    change.module = getDspModule();
    change.ratePosition = samplingIndex;
    change.rebuildCommandWords = true;
    return change;
}

int GraphEditorView::getToolMode() const
{
    auto* tool = getPinTool();
    return tool != nullptr ? tool->getMode() : PinToolPanel::connectorMode;
}

bool GraphEditorView::getToolDirectionIsInput() const
{
    auto* tool = getPinTool();
    return tool != nullptr && tool->getDirection() != 0;
}

void GraphEditorView::showMessage (const juce::String& text)
{
    lastMessage = text;

    if (auto* bar = getTooltipBar())
        bar->setText (text, true);
}

//==============================================================================
void GraphEditorView::synchronise()
{
    synchroniseBoxes();
    synchroniseConnectors();
    synchroniseLabels();
    afterSynchronise();
}

std::unique_ptr<Zorvex> GraphEditorView::createBox (GraphNode& node)
{
    auto box = std::make_unique<Zorvex> (graph, node.getId());
    box->setOwnerEditor (this);
    box->setMode (node.shouldRenumber() ? Zorvex::processMode : Zorvex::dspMode);
    box->setTitle (node.getName());
    box->setLoadText (node.loadText);

    if (auto* definition = node.getProcessDefinition())
        box->setTooltip (juce::String (definition->name));
    else
        box->setTooltip ("DSP#" + juce::String (node.nrpn));

    return box;
}

void GraphEditorView::synchroniseBoxes()
{
    for (int i = boxes.size(); --i >= 0;)
    {
        auto* box = boxes[i];
        auto* node = graph.findNodeById (box->getNodeId());

        if (node == nullptr || (node->getBox() != nullptr && node->getBox() != box))
            retire (std::unique_ptr<juce::Component> (boxes.removeAndReturn (i)));
    }

    for (int i = graph.getNumNodes(); --i >= 0;)
    {
        auto* node = graph.getNode (i);

        if (findBoxByNodeId (node->getId()) != nullptr)
            continue;

        auto* box = boxes.add (createBox (*node).release());
        graph.setNodeBox (node, box);
        addAndMakeVisible (box);

        // A process just pasted comes selected.
        if (std::find (pastedNrpns.begin(), pastedNrpns.end(), node->nrpn) != pastedNrpns.end())
            box->setSelected (true);
    }

    // Every node has its box now: what was pasted and is gone since selects nothing later.
    pastedNrpns.clear();

    for (auto* box : boxes)
        box->synchroniseFromNode();
}

void GraphEditorView::synchroniseConnectors()
{
    // A connector shows the record that points at it, as a label does: it
    // takes that record's ends again, so that it follows the renumbering of
    // the nodes with its selection, and goes when no record points at it. A
    // connector found by its ends could be another connection's, whose new
    // ends are this one's old ones.
    auto findRecordOf = [this] (const ConnectorComponent* connector) -> GraphConnection*
    {
        for (int i = 0; i < graph.getNumConnections(); ++i)
            if (graph.getConnection (i)->connector == connector)
                return graph.getConnection (i);

        return nullptr;
    };

    for (int i = connectors.size(); --i >= 0;)
    {
        auto* connector = connectors[i];

        if (auto* record = findRecordOf (connector))
            showConnection (*connector, *record);
        else
            retire (std::unique_ptr<juce::Component> (connectors.removeAndReturn (i)));
    }

    for (int i = graph.getNumConnections(); --i >= 0;)
    {
        auto* connection = graph.getConnection (i);

        if (findConnectorFor (*connection) != nullptr)
            continue;

        auto* connector = connectors.add (new ConnectorComponent (graph, *this));
        connector->setInProcessEditor (processEditor);
        addAndMakeVisible (connector);
        connector->toBack();
        connection->connector = connector;
        showConnection (*connector, *connection);
    }
}

void GraphEditorView::showConnection (ConnectorComponent& connector, const GraphConnection& connection)
{
    connector.setSource (connection.sourceNode, connection.sourcePin);
    connector.setDestination (connection.destNode, connection.destPin);
    connector.setMustConnect (processEditor && graph.isVirtualOutput (connection.sourceNode, (int) connection.sourcePin));
    connector.updateGeometry();
    connector.updateDescription();
}

void GraphEditorView::synchroniseLabels()
{
    // A label shows the record that points at it. It takes that record's
    // fields again, so that it follows the renumbering of the nodes; a
    // label no record points at any more goes.
    auto findRecordOf = [this] (const BUSPin* label) -> GraphBusPin*
    {
        for (int i = 0; i < graph.getNumBusPins(); ++i)
            if (graph.getBusPin (i)->label == label)
                return graph.getBusPin (i);

        return nullptr;
    };

    for (int i = labels.size(); --i >= 0;)
    {
        auto* label = labels[i];

        if (auto* record = findRecordOf (label))
        {
            if (label->shows (*record))
                label->updatePosition();
            else
                label->setup (record->nodeId, record->pinIndex, record->direction, record->name);
        }
        else
        {
            retire (std::unique_ptr<juce::Component> (labels.removeAndReturn (i)));
        }
    }

    for (int i = graph.getNumBusPins(); --i >= 0;)
    {
        auto* record = graph.getBusPin (i);

        if (findBusPinComponent (*record) != nullptr)
            continue;

        auto* label = labels.add (new BUSPin (*this));
        addAndMakeVisible (label);
        record->label = label;
        label->setup (record->nodeId, record->pinIndex, record->direction, record->name);
    }
}

void GraphEditorView::updateNodeAttachments (uint32_t nodeId)
{
    for (auto* connector : connectors)
        if (connector->getSourceNode() == nodeId || connector->getDestNode() == nodeId)
            connector->updateGeometry();

    for (auto* label : labels)
        if (label->getNodeId() == nodeId)
            label->updatePosition();
}

Zorvex* GraphEditorView::findBoxByNodeId (uint32_t id) const
{
    for (int i = boxes.size(); --i >= 0;)
        if (boxes[i]->getNodeId() == id)
            return boxes[i];

    return nullptr;
}

ConnectorComponent* GraphEditorView::findConnectorFor (const GraphConnection& c) const
{
    // Compared by address only: a record may still name a connector that went.
    for (auto* connector : connectors)
        if (connector == c.connector)
            return connector;

    return nullptr;
}

BUSPin* GraphEditorView::findBusPinComponent (const GraphBusPin& busPin) const
{
    // Compared by address only, as connectors are: a record may still name a
    // label that went, and two labels may stand on one pin.
    for (auto* label : labels)
        if (label == busPin.label)
            return label;

    return nullptr;
}

ZorvexBus* GraphEditorView::findPinAt (juce::Point<float> position) const
{
    for (auto* box : boxes)
    {
        const auto local = box->getLocalPoint (this, position).roundToInt();

        if (auto* pin = dynamic_cast<ZorvexBus*> (box->getComponentAt (local)))
            return pin;
    }

    return nullptr;
}

//==============================================================================
void GraphEditorView::takePastedProcesses()
{
    for (int i = 0; i < graph.getNumNodes(); ++i)
    {
        auto* node = graph.getNode (i);

        if (node->linkFlag)
        {
            node->linkFlag = false;
            pastedNrpns.push_back (node->nrpn);
        }
    }
}

void GraphEditorView::selectAll (bool select)
{
    if (! select)
        graph.setSelectionCount (0);

    for (auto* box : boxes)
        box->setSelected (select);

    for (auto* connector : connectors)
        connector->setSelected (select);

    if (select)
        graph.setSelectionCount (boxes.size());
}

int GraphEditorView::getNumSelected() const
{
    return (int) std::count_if (boxes.begin(), boxes.end(), [] (const Zorvex* box) { return box->isSelected(); });
}

//==============================================================================
void GraphEditorView::startConnectionDrag (const ConnectionRules::DragStart& start, std::unique_ptr<ConnectorComponent> dragged,
                                           juce::Point<float> pressPosition)
{
    if (isDesignLocked())
        return;

    if (rubberBand != nullptr)
        retire (std::move (rubberBand));

    rubberBand = dragged != nullptr ? std::move (dragged) : std::make_unique<ConnectorComponent> (graph, *this);
    dragStart = start;

    auto& band = *rubberBand;
    band.setInProcessEditor (processEditor);

    if (band.getParentComponent() != this)
        addAndMakeVisible (band);

    band.toFront (false);

    // The fixed end sits on its pin, the loose one at the press.
    auto pinCentre = [this] (uint32_t node, uint32_t pin, bool input, juce::Point<float> fallback)
    {
        auto* box = findBoxByNodeId (node);
        return box != nullptr ? box->getPinCentre ((int) pin, input) : fallback;
    };

    const auto from = start.beganAtOutput() ? pinCentre (start.sourceNode, start.sourcePin, false, pressPosition) : pressPosition;
    const auto to = start.beganAtOutput() ? pressPosition : pinCentre (start.destNode, start.destPin, true, pressPosition);
    band.setStartPoint (from.x, from.y);
    band.setEndPoint (to.x, to.y);
}

void GraphEditorView::dragConnection (const juce::MouseEvent& e)
{
    if (isDesignLocked() || rubberBand == nullptr)
        return;

    auto position = e.getEventRelativeTo (this).position;
    rubberBand->setTooltip ({});

    if (auto* pin = findPinAt (position))
    {
        position = pin->getBox().getPinCentre ((int) pin->getPinIndex(), pin->isInput());
        rubberBand->setTooltip (pin->getTooltip());
    }

    if (dragStart.beganAtOutput())
        rubberBand->setEndPoint (position.x, position.y);
    else
        rubberBand->setStartPoint (position.x, position.y);
}

ConnectionRules::Verdict GraphEditorView::finishConnectionDrag (const juce::MouseEvent& e)
{
    if (rubberBand == nullptr)
        return ConnectionRules::Verdict::refuse();

    // The rubber band goes whatever the outcome; when it is the connector
    // being dragged, its handler is still running, so it is deleted later.
    retire (std::move (rubberBand));

    if (isDesignLocked())
        return ConnectionRules::Verdict::refuse();

    auto* pin = findPinAt (e.getEventRelativeTo (this).position);

    if (pin == nullptr)
        return ConnectionRules::Verdict::refuse();

    ConnectionRules::Ends ends;
    const auto verdict = checkConnectionDrop (dragStart, { pin->getNodeId(), pin->getPinIndex(), pin->isInput() }, ends);

    if (verdict.accepted)
        makeConnection (ends, verdict.isVirtual);

    return verdict;
}

ConnectionRules::Verdict GraphEditorView::checkConnectionDrop (const ConnectionRules::DragStart& start,
                                                               const ConnectionRules::Pin& dropped,
                                                               ConnectionRules::Ends& ends) const
{
    return ConnectionRules (graph, getDspModule()).checkConnectionDrop (start, dropped, &ends);
}

void GraphEditorView::makeConnection (const ConnectionRules::Ends& ends, bool isVirtual)
{
    graph.addConnection (ends.sourceNode, ends.sourcePin, ends.destNode, ends.destPin);

    if (auto* added = graph.getLastAddedConnection())
        added->flag = isVirtual ? 1 : 0;
}

bool GraphEditorView::assignBusPin (const ZorvexBus& pin, const juce::String& name)
{
    juce::ignoreUnused (pin, name);
    return false;
}

void GraphEditorView::dropBusName (const juce::MouseEvent& e)
{
    auto* tool = getPinTool();

    if (tool == nullptr || ! tool->isNamingMode() || isDesignLocked())
        return;

    auto* pin = findPinAt (e.getEventRelativeTo (this).position);

    if (pin != nullptr && pin->acceptsToolName())
        assignBusPin (*pin, tool->getSelectedName());
}

void GraphEditorView::deleteBusPin (uint32_t nodeId, uint32_t pinIndex, uint8_t direction, const juce::String& name)
{
    if (! isDesignLocked())
        graph.removeBusPin (nodeId, pinIndex, direction, GraphData::matchAllBusPinFields, name);
}

void GraphEditorView::beginReroute (ConnectorComponent& connector, juce::Point<float> pressPosition)
{
    if (isDesignLocked() || ! connectors.contains (&connector))
        return;

    // The end nearer the press comes loose; the other stays on its pin.
    const bool startLoose =
        pressPosition.getDistanceFrom (connector.getStartPoint()) < pressPosition.getDistanceFrom (connector.getEndPoint());
    const ConnectionRules::DragStart start =
        startLoose
            ? ConnectionRules::DragStart{ 0, connector.getDestPin(), connector.getDestNode(), connector.getDestPin() }
            : ConnectionRules::DragStart{ connector.getSourceNode(), connector.getSourcePin(), 0, connector.getSourcePin() };

    // The connector becomes the rubber band: its record lets go of it first,
    // so that removing the connection does not delete it.
    std::unique_ptr<ConnectorComponent> dragged (connectors.removeAndReturn (connectors.indexOf (&connector)));
    deleteConnection (connector);
    dragged->setSource (startLoose ? 0 : connector.getSourceNode(), connector.getSourcePin());
    dragged->setDestination (startLoose ? connector.getDestNode() : 0, connector.getDestPin());
    startConnectionDrag (start, std::move (dragged), pressPosition);
}

void GraphEditorView::deleteConnection (ConnectorComponent& connector)
{
    bool found = false;
    const int index = graph.findConnection (connector.getSourceNode(), connector.getSourcePin(), connector.getDestNode(),
                                            connector.getDestPin(), found, GraphData::matchAllConnectionFields);

    if (! found || isDesignLocked())
        return;

    auto* connection = graph.getConnection (index);

    // In a DSP editor the removal is an undo step, so that a connection
    // taken away by mistake or by a re-route that found no pin comes back.
    if (processEditor && editHistory != nullptr)
    {
        editHistory->beginEdit (dspId);
        editHistory->perform (new Zorvex::RemoveConnectionAction (graph, *connection));
    }
    else
    {
        graph.removeConnection (connection->sourceNode, connection->sourcePin, connection->destNode, connection->destPin,
                                GraphData::matchAllConnectionFields, true);
    }
}

//==============================================================================
void GraphEditorView::removeSelection()
{
    if (editHistory == nullptr || isDesignLocked())
        return;

    // By NRPN number: every removal renumbers the processes after it.
    std::vector<uint32_t> nrpns;

    for (auto* box : boxes)
        if (box->isSelected())
            if (auto* node = box->getNode())
                nrpns.push_back (node->nrpn);

    if (nrpns.empty())
        return;

    editHistory->beginEdit (dspId);

    for (auto nrpn : nrpns)
    {
        auto* node = graph.findNodeByNrpn (nrpn);

        if (node == nullptr)
            continue;

        // Each box removed is an undo step of its own, its wires with it.
        removeNodeConnections (node->getId());
        editHistory->perform (new Zorvex::RemoveAction (graph, library, dspId, nrpn));
    }

    graph.setSelectionCount (0);
}

void GraphEditorView::removeNodeConnections (uint32_t nodeId)
{
    if (processEditor && editHistory == nullptr)
        return;

    if (processEditor)
        editHistory->beginEdit (dspId);

    removeConnectionsAt (nodeId, true, false, 0);
    removeConnectionsAt (nodeId, false, false, 0);
}

void GraphEditorView::removePinConnections (uint32_t nodeId, uint32_t pin, bool leaving)
{
    if (processEditor && editHistory == nullptr)
        return;

    if (processEditor)
        editHistory->beginEdit (dspId);

    removeConnectionsAt (nodeId, leaving, true, pin);
}

void GraphEditorView::removeConnectionsAt (uint32_t nodeId, bool leaving, bool onePin, uint32_t pin)
{
    const int mask = leaving ? GraphData::matchSourceNode | (onePin ? GraphData::matchSourcePin : 0)
                             : GraphData::matchDestNode | (onePin ? GraphData::matchDestPin : 0);

    for (;;)
    {
        bool found = false;
        const int index = leaving ? graph.findConnection (nodeId, pin, 0, 0, found, mask)
                                  : graph.findConnection (0, 0, nodeId, pin, found, mask);

        if (! found)
            return;

        auto& c = *graph.getConnection (index);

        // The bus editor's edits are not undo steps.
        if (! processEditor)
            graph.removeConnection (c.sourceNode, c.sourcePin, c.destNode, c.destPin, GraphData::matchAllConnectionFields, true);
        else if (! editHistory->perform (new Zorvex::RemoveConnectionAction (graph, c)))
            return;
    }
}

//==============================================================================
void GraphEditorView::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour (backgroundColour));
    g.fillRect (getBackgroundArea());
}

juce::Rectangle<int> GraphEditorView::getBackgroundArea() const
{
    // A DSP's process graph leaves a margin at its right and bottom only; the
    // bus editor one all round.
    if (processEditor)
        return { 0, 0, juce::jmax (0, getWidth() - 10), juce::jmax (0, getHeight() - 10) };

    return { 10, 10, juce::jmax (0, getWidth() - 20), juce::jmax (0, getHeight() - 20) };
}

void GraphEditorView::resized()
{
    synchronise();
}

void GraphEditorView::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == &graph)
        synchronise();
}

void GraphEditorView::deleteComponent (juce::Component& component)
{
    if (auto* box = dynamic_cast<Zorvex*> (&component); box != nullptr && boxes.contains (box))
        retire (std::unique_ptr<juce::Component> (boxes.removeAndReturn (boxes.indexOf (box))));
    else if (auto* connector = dynamic_cast<ConnectorComponent*> (&component);
             connector != nullptr && connectors.contains (connector))
        retire (std::unique_ptr<juce::Component> (connectors.removeAndReturn (connectors.indexOf (connector))));
    else if (auto* label = dynamic_cast<BUSPin*> (&component); label != nullptr && labels.contains (label))
        retire (std::unique_ptr<juce::Component> (labels.removeAndReturn (labels.indexOf (label))));
}

void GraphEditorView::nodeIdChanged (juce::Component& component, uint32_t newId)
{
    if (auto* box = dynamic_cast<Zorvex*> (&component))
        box->setPinsNodeId (newId);
}

void GraphEditorView::recordsRenumbered()
{
    // At once, before the change message: an edit made meanwhile (the next
    // removal of a selection, a copy) acts on the connection or bus pin that
    // the user sees.
    for (int i = 0; i < graph.getNumConnections(); ++i)
        if (auto* connector = findConnectorFor (*graph.getConnection (i)))
            showConnection (*connector, *graph.getConnection (i));

    for (int i = 0; i < graph.getNumBusPins(); ++i)
    {
        auto* record = graph.getBusPin (i);

        if (auto* label = findBusPinComponent (*record); label != nullptr && ! label->shows (*record))
            label->setup (record->nodeId, record->pinIndex, record->direction, record->name);
    }
}

void GraphEditorView::retire (std::unique_ptr<juce::Component> component)
{
    if (component == nullptr)
        return;

    component->setVisible (false);
    removeChildComponent (component.get());
    retired.push_back (std::move (component));
    triggerAsyncUpdate();
}

void GraphEditorView::handleAsyncUpdate()
{
    retired.clear();
}
