#include "model/GraphData.h"

#include <algorithm>

namespace
{
// Compares two records field by field in their sort order, each field taking
// part only when its bit is in the mask: <0, 0 or >0.
int compareFields (const GraphConnection& a, const GraphConnection& b, int mask) noexcept
{
    const uint32_t left[] = { a.sourceNode, a.sourcePin, a.destNode, a.destPin };
    const uint32_t right[] = { b.sourceNode, b.sourcePin, b.destNode, b.destPin };

    for (int field = 0; field < 4; ++field)
        if ((mask & (1 << field)) != 0 && left[field] != right[field])
            return left[field] < right[field] ? -1 : 1;

    return 0;
}

int compareFields (const GraphBusPin& a, const GraphBusPin& b, int mask) noexcept
{
    const uint32_t left[] = { a.nodeId, a.pinIndex, a.direction };
    const uint32_t right[] = { b.nodeId, b.pinIndex, b.direction };

    for (int field = 0; field < 3; ++field)
        if ((mask & (1 << field)) != 0 && left[field] != right[field])
            return left[field] < right[field] ? -1 : 1;

    if ((mask & GraphData::matchBusPinName) != 0)
        return a.name.compare (b.name);

    return 0;
}

uint32_t firstField (const GraphConnection& c) noexcept
{
    return c.sourceNode;
}

uint32_t firstField (const GraphBusPin& p) noexcept
{
    return p.nodeId;
}

// The masked search both record arrays share. With the first field in the
// mask, bisection finds the run of records holding it and only that run is
// scanned; without it nothing is ordered, so the scan is linear.
template <typename Record>
int searchRecords (const std::vector<std::unique_ptr<Record>>& records, const Record& key, int start, bool& found,
                   int mask) noexcept
{
    found = false;
    const int count = (int) records.size();
    start = juce::jlimit (0, count, start);

    if ((mask & 1) == 0)
    {
        for (int i = start; i < count; ++i)
        {
            if (compareFields (*records[(size_t) i], key, mask) == 0)
            {
                found = true;
                return i;
            }
        }

        return count;
    }

    const auto value = firstField (key);
    const auto runBegin = std::lower_bound (records.begin(), records.end(), value,
                                            [] (const std::unique_ptr<Record>& r, uint32_t v) { return firstField (*r) < v; });
    const auto runEnd = std::upper_bound (runBegin, records.end(), value,
                                          [] (uint32_t v, const std::unique_ptr<Record>& r) { return v < firstField (*r); });
    const int low = (int) (runBegin - records.begin());
    const int high = (int) (runEnd - records.begin());

    for (int i = std::max (low, start); i < high; ++i)
    {
        if (compareFields (*records[(size_t) i], key, mask) == 0)
        {
            found = true;
            return i;
        }
    }

    for (int i = low; i < high; ++i)
        if (compareFields (*records[(size_t) i], key, mask) > 0)
            return i;

    return high;
}

template <typename Record>
void sortRecords (std::vector<std::unique_ptr<Record>>& records)
{
    std::stable_sort (records.begin(), records.end(),
                      [] (const std::unique_ptr<Record>& a, const std::unique_ptr<Record>& b)
                      { return compareFields (*a, *b, 15) < 0; });
}

GraphConnection makeConnection (uint32_t sourceNode, uint32_t sourcePin, uint32_t destNode, uint32_t destPin) noexcept
{
    GraphConnection c;
    c.sourceNode = sourceNode;
    c.sourcePin = sourcePin;
    c.destNode = destNode;
    c.destPin = destPin;
    return c;
}

GraphBusPin makeBusPin (uint32_t nodeId, uint32_t pinIndex, uint8_t direction, const juce::String& name)
{
    GraphBusPin p;
    p.nodeId = nodeId;
    p.pinIndex = pinIndex;
    p.direction = direction;
    p.name = name;
    return p;
}
} // namespace

GraphData::GraphData() = default;

GraphData::~GraphData()
{
    // The editors are going too: no component is deleted and nobody is told.
    nodes.clear();
    connections.clear();
    busPins.clear();
}

void GraphData::changed()
{
    modified = true;
    sendChangeMessage();
}

void GraphData::dropComponent (juce::Component* component)
{
    if (component != nullptr && viewHook != nullptr)
        viewHook->deleteComponent (*component);
}

//==============================================================================
int GraphData::addNode (const juce::String& nodeName, bool renumber, const ProcessDefinition* definition, double x, double y)
{
    const int counterBefore = getNumNodes() + 1;

    if (getNumNodes() >= maxNodes)
    {
        // A caller that goes on to the node added last must not find another one.
        lastAddedNode = nullptr;
        return counterBefore;
    }

    int position = 0;
    const auto id = findFreeNodeId (&position);
    auto node = std::make_unique<GraphNode> (id, findFreeNrpn(), nodeName, renumber, definition, x, y);
    lastAddedNode = node.get();
    nodes.insert (nodes.begin() + position, std::move (node));
    fresh = false;
    changed();
    return counterBefore;
}

bool GraphData::removeNode (uint32_t id)
{
    auto* node = findNodeById (id);

    if (node == nullptr)
        return false;

    while (removeBusPin (id, 0, 0, matchBusPinNode))
    {
    }

    // Connections that still named the node would be re-targeted to the next
    // node by the renumbering below, so they go with it.
    while (removeConnection (id, 0, 0, 0, matchSourceNode, true))
    {
    }

    while (removeConnection (0, 0, id, 0, matchDestNode, true))
    {
    }

    // Looked up again: the editors deleted components meanwhile.
    node = findNodeById (id);

    if (node == nullptr)
        return true;

    if (auto* box = node->box)
    {
        node->box = nullptr;
        dropComponent (box);
    }

    // Found again by address: deleting the box may have changed the array.
    const auto it =
        std::find_if (nodes.begin(), nodes.end(), [node] (const std::unique_ptr<GraphNode>& n) { return n.get() == node; });

    if (it == nodes.end())
        return true;

    const int position = (int) (it - nodes.begin());

    if (lastAddedNode == node)
        lastAddedNode = nullptr;

    nodes.erase (it);

    if (nodes.empty())
        fresh = true;

    if (position < getNumNodes() && nodes[(size_t) position]->renumber)
        moveNodeIds (position, -1);

    changed();
    return true;
}

void GraphData::moveNodeIds (int position, int delta)
{
    // Every node from the position on moves its id by delta (one down after
    // a removal, one up to make room for a node put back), and so does every
    // connection end and bus pin that named one of them. The old ids ascend
    // and each record field is moved once, so the records can follow in one
    // pass.
    std::vector<uint32_t> oldIds;

    for (int i = position; i < getNumNodes(); ++i)
    {
        auto& id = nodes[(size_t) i]->id;
        oldIds.push_back (id);
        id = (uint32_t) ((int64_t) id + delta);
    }

    auto move = [&oldIds, delta] (uint32_t& id)
    {
        if (std::binary_search (oldIds.begin(), oldIds.end(), id))
            id = (uint32_t) ((int64_t) id + delta);
    };

    for (auto& c : connections)
    {
        move (c->sourceNode);
        move (c->destNode);
    }

    for (auto& p : busPins)
        move (p->nodeId);

    sortRecords (connections);
    sortRecords (busPins);

    if (viewHook == nullptr)
        return;

    for (int i = position; i < getNumNodes(); ++i)
        if (auto* box = nodes[(size_t) i]->box)
            viewHook->nodeIdChanged (*box, nodes[(size_t) i]->id);

    viewHook->recordsRenumbered();
}

GraphNode* GraphData::restoreNode (uint32_t id, uint32_t nrpn, const juce::String& nodeName, bool renumber,
                                   const ProcessDefinition* definition, double x, double y)
{
    if (getNumNodes() >= maxNodes || id == 0 || nrpn == 0 || findNodeByNrpn (nrpn) != nullptr)
        return nullptr;

    const auto it = std::lower_bound (nodes.begin(), nodes.end(), id,
                                      [] (const std::unique_ptr<GraphNode>& n, uint32_t v) { return n->id < v; });
    const int position = (int) (it - nodes.begin());

    if (it != nodes.end() && (*it)->id == id)
    {
        if (! (*it)->renumber)
            return nullptr;

        moveNodeIds (position, 1);
    }

    auto node = std::make_unique<GraphNode> (id, nrpn, nodeName, renumber, definition, x, y);
    lastAddedNode = node.get();
    nodes.insert (nodes.begin() + position, std::move (node));
    fresh = false;
    changed();
    return lastAddedNode;
}

bool GraphData::setNodeId (uint32_t id, uint32_t newId)
{
    auto* node = findNodeById (id);

    if (node == nullptr || newId == 0)
        return false;

    if (newId == id)
        return true;

    if (findNodeById (newId) != nullptr)
        return false;

    node->id = newId;
    std::stable_sort (nodes.begin(), nodes.end(),
                      [] (const std::unique_ptr<GraphNode>& a, const std::unique_ptr<GraphNode>& b) { return a->id < b->id; });
    changed();
    return true;
}

GraphNode* GraphData::findNodeById (uint32_t id) const noexcept
{
    const int index = findNodeIndex (id);
    return index < getNumNodes() ? nodes[(size_t) index].get() : nullptr;
}

GraphNode* GraphData::findNodeByNrpn (uint32_t nrpn) const noexcept
{
    if (nrpn != 0)
        for (auto& node : nodes)
            if (node->nrpn == nrpn)
                return node.get();

    return nullptr;
}

GraphNode* GraphData::findNodeByLinkId (uint32_t linkId) const noexcept
{
    if (linkId != 0)
        for (auto& node : nodes)
            if (node->linkFlag && node->linkId == linkId)
                return node.get();

    return nullptr;
}

GraphNode* GraphData::findNodeByProcessId (uint32_t processId) const noexcept
{
    if (processId != 0)
        for (auto& node : nodes)
            if (node->definition != nullptr && node->definition->processId == processId)
                return node.get();

    return nullptr;
}

int GraphData::findNodeIndex (uint32_t id) const noexcept
{
    // No node has id 0, so it is absent like any other unknown id.
    if (id == 0)
        return getNumNodes();

    const auto it = std::lower_bound (nodes.begin(), nodes.end(), id,
                                      [] (const std::unique_ptr<GraphNode>& n, uint32_t v) { return n->id < v; });

    return it != nodes.end() && (*it)->id == id ? (int) (it - nodes.begin()) : getNumNodes();
}

GraphNode* GraphData::getNode (int i) const noexcept
{
    return i >= 0 && i < getNumNodes() ? nodes[(size_t) i].get() : nullptr;
}

uint32_t GraphData::getNodeId (int i) const noexcept
{
    auto* node = getNode (i);
    return node != nullptr ? node->id : 0;
}

uint32_t GraphData::getNodeLinkId (int i) const noexcept
{
    auto* node = getNode (i);
    return node != nullptr && node->linkFlag ? node->linkId : 0;
}

juce::Component* GraphData::getNodeBoxAt (int i) const noexcept
{
    auto* node = getNode (i);
    return node != nullptr ? node->box : nullptr;
}

NodePosition GraphData::getNodePositionAt (int i) const noexcept
{
    auto* node = getNode (i);
    return node != nullptr ? node->position : NodePosition();
}

uint32_t GraphData::getMaxNodeId() const noexcept
{
    return nodes.empty() ? 0 : nodes.back()->id;
}

uint32_t GraphData::getMaxNrpn() const noexcept
{
    uint32_t largest = 0;

    for (auto& node : nodes)
        largest = std::max (largest, node->nrpn);

    return largest;
}

std::vector<uint32_t> GraphData::collectNrpns() const
{
    std::vector<uint32_t> nrpns;
    nrpns.reserve (nodes.size());

    for (auto& node : nodes)
        nrpns.push_back (node->nrpn);

    std::sort (nrpns.begin(), nrpns.end());
    return nrpns;
}

uint32_t GraphData::findFreeNodeId (int* insertPosition) const noexcept
{
    uint32_t id = 1;
    int position = 0;

    if (! nodes.empty() && nodes.front()->id == 1)
    {
        position = getNumNodes();
        id = nodes.back()->id + 1;

        for (int i = 0; i + 1 < getNumNodes(); ++i)
        {
            if (nodes[(size_t) i + 1]->id > nodes[(size_t) i]->id + 1)
            {
                id = nodes[(size_t) i]->id + 1;
                position = i + 1;
                break;
            }
        }
    }

    if (insertPosition != nullptr)
        *insertPosition = position;

    return id;
}

uint32_t GraphData::findFreeNrpn() const
{
    // A node without a number (0) holds none.
    auto nrpns = collectNrpns();
    nrpns.erase (std::remove (nrpns.begin(), nrpns.end(), 0u), nrpns.end());

    if (nrpns.empty() || nrpns.front() >= 2)
        return 1;

    for (size_t i = 0; i + 1 < nrpns.size(); ++i)
        if (nrpns[i + 1] > nrpns[i] + 1)
            return nrpns[i] + 1;

    return nrpns.back() + 1;
}

void GraphData::setNodePosition (uint32_t id, double x, double y)
{
    // The box already stands where it was dragged: no resynchronisation is
    // asked for, but the project has changed.
    if (auto* node = findNodeById (id))
    {
        node->setPosition (x, y);
        modified = true;
    }
}

NodePosition GraphData::getNodePosition (uint32_t id) const noexcept
{
    return getNodePosition (findNodeById (id));
}

NodePosition GraphData::getNodePosition (const GraphNode* node) const noexcept
{
    return node != nullptr ? node->position : NodePosition();
}

juce::Component* GraphData::getNodeBox (uint32_t id) const noexcept
{
    auto* node = findNodeById (id);
    return node != nullptr ? node->box : nullptr;
}

void GraphData::setNodeBox (uint32_t id, juce::Component* box) noexcept
{
    setNodeBox (findNodeById (id), box);
}

void GraphData::setNodeBox (GraphNode* node, juce::Component* box) noexcept
{
    if (node != nullptr)
        node->box = box;
}

bool GraphData::isVirtualOutput (uint32_t id, int n) const noexcept
{
    auto* node = findNodeById (id);
    auto* pin = node != nullptr ? node->getOutputPin (n) : nullptr;
    return pin != nullptr && pin->isVirtualPin();
}

//==============================================================================
int GraphData::addConnection (uint32_t sourceNode, uint32_t sourcePin, uint32_t destNode, uint32_t destPin)
{
    const int countBefore = getNumConnections();
    bool found = false;
    const int place = findConnection (sourceNode, sourcePin, destNode, destPin, found, matchAllConnectionFields);

    if (found)
    {
        // The caller goes on to the connection it asked for: the one stored.
        lastAddedConnection = connections[(size_t) place].get();
        return countBefore;
    }

    if (countBefore >= maxConnections)
    {
        lastAddedConnection = nullptr;
        return countBefore;
    }

    auto connection = std::make_unique<GraphConnection> (makeConnection (sourceNode, sourcePin, destNode, destPin));
    lastAddedConnection = connection.get();
    connections.insert (connections.begin() + place, std::move (connection));
    changed();
    return countBefore;
}

bool GraphData::removeConnection (uint32_t sourceNode, uint32_t sourcePin, uint32_t destNode, uint32_t destPin, int mask,
                                  bool deleteComponent)
{
    bool found = false;
    const int index = findConnection (sourceNode, sourcePin, destNode, destPin, found, mask);

    if (found)
        removeConnectionAt (index, deleteComponent);

    return found;
}

void GraphData::removeConnectionAt (int index, bool deleteComponent)
{
    const std::unique_ptr<GraphConnection> connection = std::move (connections[(size_t) index]);
    connections.erase (connections.begin() + index);

    if (lastAddedConnection == connection.get())
        lastAddedConnection = nullptr;

    changed();

    if (deleteComponent)
        dropComponent (connection->connector);
}

bool GraphData::replaceConnectionNode (uint32_t oldId, uint32_t newId, int mask)
{
    const bool bySource = (mask & matchSourceNode) != 0;

    if (! bySource && (mask & matchDestNode) == 0)
        return false;

    bool found = false;
    const int index = bySource ? findConnection (oldId, 0, 0, 0, found, matchSourceNode)
                               : findConnection (0, 0, oldId, 0, found, matchDestNode);

    if (! found)
        return false;

    // Taken out and put back at its new sorted place, so that the searches
    // can still bisect on the source node.
    std::unique_ptr<GraphConnection> connection = std::move (connections[(size_t) index]);
    connections.erase (connections.begin() + index);
    (bySource ? connection->sourceNode : connection->destNode) = newId;
    insertConnection (std::move (connection));
    changed();
    return true;
}

int GraphData::insertConnection (std::unique_ptr<GraphConnection> connection)
{
    bool found = false;
    const int place = searchRecords (connections, *connection, 0, found, matchAllConnectionFields);
    connections.insert (connections.begin() + place, std::move (connection));
    return place;
}

int GraphData::findConnection (uint32_t sourceNode, uint32_t sourcePin, uint32_t destNode, uint32_t destPin, bool& found,
                               int mask) const noexcept
{
    return searchConnections (sourceNode, sourcePin, destNode, destPin, 0, found, mask);
}

int GraphData::searchConnections (uint32_t sourceNode, uint32_t sourcePin, uint32_t destNode, uint32_t destPin, int start,
                                  bool& found, int mask) const noexcept
{
    return searchRecords (connections, makeConnection (sourceNode, sourcePin, destNode, destPin), start, found, mask);
}

GraphConnection* GraphData::getConnection (int i) const noexcept
{
    return i >= 0 && i < getNumConnections() ? connections[(size_t) i].get() : nullptr;
}

//==============================================================================
int GraphData::addBusPin (uint32_t nodeId, uint32_t pinIndex, uint8_t direction, const juce::String& pinName)
{
    const int countBefore = getNumBusPins();
    bool found = false;
    const int place = findBusPin (nodeId, pinIndex, direction, found, matchAllBusPinFields, pinName);

    if (found || countBefore >= maxBusPins)
        return countBefore;

    busPins.insert (busPins.begin() + place, std::make_unique<GraphBusPin> (makeBusPin (nodeId, pinIndex, direction, pinName)));
    changed();
    return countBefore;
}

bool GraphData::removeBusPin (uint32_t nodeId, uint32_t pinIndex, uint8_t direction, int mask, const juce::String& pinName)
{
    bool found = false;
    const int index = findBusPin (nodeId, pinIndex, direction, found, mask, pinName);

    if (found)
        removeBusPinAt (index);

    return found;
}

void GraphData::removeBusPinAt (int index)
{
    const std::unique_ptr<GraphBusPin> busPin = std::move (busPins[(size_t) index]);
    busPins.erase (busPins.begin() + index);
    changed();
    dropComponent (busPin->label);
}

int GraphData::findBusPin (uint32_t nodeId, uint32_t pinIndex, uint8_t direction, bool& found, int mask,
                           const juce::String& pinName) const noexcept
{
    return findBusPinFrom (nodeId, pinIndex, direction, 0, found, mask, pinName);
}

int GraphData::findBusPinFrom (uint32_t nodeId, uint32_t pinIndex, uint8_t direction, int start, bool& found, int mask,
                               const juce::String& pinName) const noexcept
{
    return searchRecords (busPins, makeBusPin (nodeId, pinIndex, direction, pinName), start, found, mask);
}

GraphBusPin* GraphData::getBusPin (int i) const noexcept
{
    return i >= 0 && i < getNumBusPins() ? busPins[(size_t) i].get() : nullptr;
}

bool GraphData::setBusPinValue (const GraphBusPin& busPin, juce::Component* label) noexcept
{
    bool found = false;
    const int index = findBusPin (busPin.nodeId, busPin.pinIndex, busPin.direction, found, matchAllBusPinFields, busPin.name);

    if (found)
        busPins[(size_t) index]->label = label;

    return found;
}

//==============================================================================
void GraphData::clear()
{
    nodes.clear();
    connections.clear();
    busPins.clear();
    lastAddedNode = nullptr;
    lastAddedConnection = nullptr;
    fresh = true;
    sendChangeMessage();
}
