#pragma once

#include "model/GraphNode.h"

#include <juce_events/juce_events.h>

#include <cstdint>
#include <memory>
#include <vector>

// A wire from an output pin of one node to an input pin of another.
struct GraphConnection
{
    uint32_t sourceNode = 0; // "SrcNodeId"
    uint32_t sourcePin = 0;  // "SrcChnIndex"
    uint32_t destNode = 0;   // "DstNodeId"
    uint32_t destPin = 0;    // "DstChnIndex"
    uint8_t flag = 0;
    juce::Component* connector = nullptr; // its on-screen connector, not owned
};

// A name given to one pin of a node: a DSP input or output on a process pin,
// or a chip input, output or internal bus on a DSP pin.
struct GraphBusPin
{
    uint32_t nodeId = 0;              // "Node"
    uint32_t pinIndex = 0;            // "Channel"
    uint8_t direction = 0;            // "IO"
    juce::String name;                // "Name"
    juce::Component* label = nullptr; // its on-screen label, not owned
    uint32_t word = 0;
};

// The graph one editor shows and the generators read: the bus graph (its nodes
// are the DSPs) or the process graph of one DSP (its nodes are the processes).
// Nodes stay sorted by id, connections and bus pins by their fields in order,
// so that searches on the first field can bisect.
//
// Every change sends a change message, on which the editors resynchronise.
// The model never needs an editor: the components it names (node boxes,
// connectors, bus-pin labels) are owned by the editors, and when a record goes
// the graph asks the installed view hook to delete its component.
class GraphData : public juce::ChangeBroadcaster
{
public:
    static constexpr int maxNodes = 63;
    static constexpr int maxConnections = 128;
    static constexpr int maxBusPins = 512;

    // Search masks: the fields that must match.
    static constexpr int matchSourceNode = 1;
    static constexpr int matchSourcePin = 2;
    static constexpr int matchDestNode = 4;
    static constexpr int matchDestPin = 8;
    static constexpr int matchAllConnectionFields = 15;

    static constexpr int matchBusPinNode = 1;
    static constexpr int matchBusPinIndex = 2;
    static constexpr int matchBusPinDirection = 4;
    static constexpr int matchBusPinName = 8;
    static constexpr int matchAllBusPinFields = 15;

    // What the editors install so that the graph can drop the components of
    // the records it removes, and keep a box's id in step when renumbering.
    class ViewHook
    {
    public:
        virtual ~ViewHook() = default;

        // The record this component showed is gone: take it from its parent
        // and delete it.
        virtual void deleteComponent (juce::Component& component) = 0;

        // Renumbering gave the node this box shows a new id.
        virtual void nodeIdChanged (juce::Component& box, uint32_t newId) { juce::ignoreUnused (box, newId); }

        // Renumbering gave connections and bus pins new node ids: the
        // components that show them follow their records.
        virtual void recordsRenumbered() {}
    };

    GraphData();
    ~GraphData() override;

    GraphData (const GraphData&) = delete;
    GraphData& operator= (const GraphData&) = delete;

    // Not owned; none (the default) leaves components alone.
    void setViewHook (ViewHook* hook) noexcept { viewHook = hook; }

    const juce::String& getName() const noexcept { return name; }

    //==============================================================================
    // Nodes

    // Adds a node with the lowest free id and NRPN number; refused when 63 are
    // held. Returns the node counter (node count + 1) as it was before.
    int addNode (const juce::String& nodeName, bool renumber, const ProcessDefinition* definition, double x, double y);

    // Puts a node back under the id and NRPN number it had before it was
    // removed (an undone removal). When the removal renumbered, the node now
    // holding that id and every later one go up by one again, with their
    // connections, bus pins and boxes. Refused (none) when 63 are held, for
    // id 0, when the NRPN number is 0 or held, or when the id is held by a
    // node that does not renumber.
    GraphNode* restoreNode (uint32_t id, uint32_t nrpn, const juce::String& nodeName, bool renumber,
                            const ProcessDefinition* definition, double x, double y);

    // Removes the node with its bus pins, its connections and its box. When the
    // node that takes its place asks for renumbering, every later node's id
    // goes down by one, and the connections and bus pins follow. Id 0 and an
    // absent id do nothing (false).
    bool removeNode (uint32_t id);

    // Gives a node another id, keeping the order; refused (false) for 0, an
    // absent id or one already taken. Its connections and bus pins stay as
    // they are: this is for building a graph, before they exist.
    bool setNodeId (uint32_t id, uint32_t newId);

    // None for 0 or when no node holds the value.
    GraphNode* findNodeById (uint32_t id) const noexcept;
    GraphNode* findNodeByNrpn (uint32_t nrpn) const noexcept;
    GraphNode* findNodeByLinkId (uint32_t linkId) const noexcept; // only while the node's link flag is set
    GraphNode* findNodeByProcessId (uint32_t processId) const noexcept;

    // The array position; the node count when absent (also for 0).
    int findNodeIndex (uint32_t id) const noexcept;

    // By array position; none (or 0) outside the array.
    GraphNode* getNode (int i) const noexcept;
    uint32_t getNodeId (int i) const noexcept;
    uint32_t getNodeLinkId (int i) const noexcept; // 0 unless the link flag is set
    juce::Component* getNodeBoxAt (int i) const noexcept;
    NodePosition getNodePositionAt (int i) const noexcept;

    int getNumNodes() const noexcept { return (int) nodes.size(); }

    // None after a refused add or once that node is removed.
    GraphNode* getLastAddedNode() const noexcept { return lastAddedNode; }

    uint32_t getMaxNodeId() const noexcept;     // 0 when empty
    uint32_t getMaxNrpn() const noexcept;       // 0 when empty
    std::vector<uint32_t> collectNrpns() const; // every node's, sorted

    // The lowest id from 1 that no node holds, and where a node with it goes.
    uint32_t findFreeNodeId (int* insertPosition = nullptr) const noexcept;

    // The lowest NRPN number from 1 that no node holds.
    uint32_t findFreeNrpn() const;

    // Each coordinate is kept within 0.0 to 1.0; id 0 or an absent id does
    // nothing. Marks the graph modified but sends no change message: the box
    // that was moved already stands there.
    void setNodePosition (uint32_t id, double x, double y);
    NodePosition getNodePosition (uint32_t id) const noexcept; // (0, 0) for 0 or an absent id
    NodePosition getNodePosition (const GraphNode* node) const noexcept;

    juce::Component* getNodeBox (uint32_t id) const noexcept;

    void setNodeBox (uint32_t id, juce::Component* box) noexcept;
    void setNodeBox (GraphNode* node, juce::Component* box) noexcept;

    // True when output pin n of that node exists and is a virtual pin.
    bool isVirtualOutput (uint32_t id, int n) const noexcept;

    //==============================================================================
    // Connections

    // Stores a connection unless an equal one exists (that one then counts as
    // the last added) or 128 are held. Returns the count as it was before.
    int addConnection (uint32_t sourceNode, uint32_t sourcePin, uint32_t destNode, uint32_t destPin);

    // Removes the first connection matching under the mask, with its connector
    // when asked. False when none matches.
    bool removeConnection (uint32_t sourceNode, uint32_t sourcePin, uint32_t destNode, uint32_t destPin, int mask,
                           bool deleteComponent);

    // Writes the new id into the first connection whose source node (mask 1)
    // or destination node (mask 4) is the old id, and moves it to its sorted
    // place. False when none is found.
    bool replaceConnectionNode (uint32_t oldId, uint32_t newId, int mask);

    // The index of the first connection matching under the mask, from the
    // start or from a start index; when none matches (found false) the place
    // where such a connection would be inserted (the count when the mask has
    // no source node, as nothing else is ordered).
    int findConnection (uint32_t sourceNode, uint32_t sourcePin, uint32_t destNode, uint32_t destPin, bool& found,
                        int mask) const noexcept;
    int searchConnections (uint32_t sourceNode, uint32_t sourcePin, uint32_t destNode, uint32_t destPin, int start, bool& found,
                           int mask) const noexcept;

    GraphConnection* getConnection (int i) const noexcept; // none outside the array
    int getNumConnections() const noexcept { return (int) connections.size(); }
    GraphConnection* getLastAddedConnection() const noexcept { return lastAddedConnection; }

    //==============================================================================
    // Bus pins (the name takes part only when the mask has bit 8)

    // Stores a bus pin unless an equal one exists or 512 are held. Returns the
    // count as it was before.
    int addBusPin (uint32_t nodeId, uint32_t pinIndex, uint8_t direction, const juce::String& pinName);

    // Removes the first bus pin matching under the mask, with its label.
    bool removeBusPin (uint32_t nodeId, uint32_t pinIndex, uint8_t direction, int mask, const juce::String& pinName = {});

    // As the connection searches, keyed on the node id.
    int findBusPin (uint32_t nodeId, uint32_t pinIndex, uint8_t direction, bool& found, int mask,
                    const juce::String& pinName = {}) const noexcept;
    int findBusPinFrom (uint32_t nodeId, uint32_t pinIndex, uint8_t direction, int start, bool& found, int mask,
                        const juce::String& pinName = {}) const noexcept;

    int getNumBusPins() const noexcept { return (int) busPins.size(); }
    GraphBusPin* getBusPin (int i) const noexcept; // none outside the array

    // Points the stored bus pin equal to the given one (all four fields) at
    // its on-screen label; false when there is none.
    bool setBusPinValue (const GraphBusPin& busPin, juce::Component* label) noexcept;

    //==============================================================================
    // Whole graph

    // Drops every node, connection and bus pin and sends a change message;
    // their components are the editors' to drop when they resynchronise, and
    // the modified flag is the owner's to reset.
    void clear();

    bool isModified() const noexcept { return modified; }
    void setModified (bool isNowModified) noexcept { modified = isNowModified; }

    // True until the first node is added, and again whenever the graph empties.
    bool isFresh() const noexcept { return fresh; }

    // Kept by the node boxes and the process editor.
    int getSelectionCount() const noexcept { return selectionCount; }
    void setSelectionCount (int count) noexcept { selectionCount = count; }

    // 1 asks the process editor to resynchronise and refresh the DSP views on
    // the next change message; the editor sets the handled marker once done.
    int getRefreshRequest() const noexcept { return refreshRequest; }
    void setRefreshRequest (int request) noexcept { refreshRequest = request; }
    bool isRefreshHandled() const noexcept { return refreshHandled; }
    void setRefreshHandled (bool handled) noexcept { refreshHandled = handled; }

private:
    void changed();
    void dropComponent (juce::Component* component);
    void moveNodeIds (int position, int delta);
    int insertConnection (std::unique_ptr<GraphConnection> connection);
    void removeConnectionAt (int index, bool deleteComponent);
    void removeBusPinAt (int index);

    std::vector<std::unique_ptr<GraphNode>> nodes;
    std::vector<std::unique_ptr<GraphBusPin>> busPins;
    std::vector<std::unique_ptr<GraphConnection>> connections;
    juce::String name{ "GraphData" };
    bool modified = false;
    bool fresh = true;
    GraphNode* lastAddedNode = nullptr;
    GraphConnection* lastAddedConnection = nullptr;
    int selectionCount = 0;
    int refreshRequest = 0;
    bool refreshHandled = false;
    ViewHook* viewHook = nullptr;
};
