#include "model/ProjectFileWriter.h"

#include "model/Design.h"
#include "model/ModuleLibrary.h"
#include "model/PresetDocument.h"
#include "model/ProjectCommandList.h"
#include "model/ProjectFileFormat.h"

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

namespace
{
// A node id as the file names it: its place in the order written. The bus
// graph's ids (the DSPs' indexes) are written as they are.
bool mapId (const std::map<uint32_t, uint32_t>* ids, uint32_t& id)
{
    if (ids == nullptr)
        return true;

    const auto found = ids->find (id);

    if (found == ids->end())
        return false;

    id = found->second;
    return true;
}
} // namespace

ProjectFileWriter::ProjectFileWriter (Design& designToWrite, Options writeOptions)
    : design (designToWrite), options (std::move (writeOptions))
{
}

std::unique_ptr<juce::XmlElement> ProjectFileWriter::createXml()
{
    auto root = std::make_unique<juce::XmlElement> (ProjectFileFormat::rootTag);
    const auto& settings = design.getSettings();

    root->setAttribute ("Version", ProjectFileFormat::formatVersion);
    root->setAttribute ("SoftwareVersion", ProjectFileFormat::softwareVersion);
    root->setAttribute ("CreatedWith", settings.getCreatedWithVersion().value_or (ProjectFileFormat::softwareVersion));

    if (settings.isCommandViewOn())
        root->setAttribute ("cmd", "1");

    auto& bus = design.getBusGraph();
    auto* dsps = root->createNewChildElement ("DSPs");

    for (int i = 0; i < bus.getNumNodes(); ++i)
        writeDsp (*dsps, *bus.getNode (i));

    writeConnections (*root->createNewChildElement ("DSPConnections"), bus, nullptr, "DSPConnection");
    writePinLabels (*root->createNewChildElement ("PinLabels"), bus, nullptr, "PinLabel");
    writeSettings (*root);
    return root;
}

void ProjectFileWriter::writeDsp (juce::XmlElement& parent, const GraphNode& box)
{
    const auto id = box.getId();
    auto* entry = design.getDspEntry (id);
    auto* element = parent.createNewChildElement ("DSP");

    element->setAttribute ("Index", juce::String (id));
    element->setAttribute ("PositionX", box.getPosition().x);
    element->setAttribute ("PositionY", box.getPosition().y);
    element->setAttribute ("ModuleId", juce::String (entry != nullptr ? entry->moduleId : 0u));
    element->setAttribute ("Name", box.getName());
    element->setAttribute ("nrpn", juce::String (box.nrpn));

    auto* connections = element->createNewChildElement ("ProcessConnections");
    auto* processes = element->createNewChildElement ("Processes");
    auto* pinLabels = element->createNewChildElement ("ProcessPinLabels");

    if (auto* slot = design.findDsp (id))
    {
        IdMap ids;
        writeProcesses (*processes, *slot, id, ids);
        writeConnections (*connections, slot->getGraph(), &ids, "ProcessConnection");
        writePinLabels (*pinLabels, slot->getGraph(), &ids, "ProcessPinLabel");
    }
}

void ProjectFileWriter::writeProcesses (juce::XmlElement& dspElement, const DspSlot& slot, uint32_t dspId, IdMap& ids)
{
    auto& graph = slot.getGraph();
    std::vector<std::pair<GraphNode*, uint32_t>> order;
    std::set<const GraphNode*> listed;

    auto list = [&] (GraphNode* node, uint32_t processId)
    {
        if (node != nullptr && listed.insert (node).second)
            order.emplace_back (node, processId);
    };

    // The DSP's process list first, as the generator orders it; a node the
    // list has lost is kept as well, rather than dropped from the file.
    if (auto* entry = design.getDspEntry (dspId))
        for (int i = 0; i < entry->getProcessCount(); ++i)
            if (auto* instance = entry->getProcessInstance (i))
                list (graph.findNodeById ((uint32_t) instance->nodeNumber), instance->processId);

    for (int i = 0; i < graph.getNumNodes(); ++i)
    {
        auto* node = graph.getNode (i);
        auto* definition = node->getProcessDefinition();
        list (node, definition != nullptr ? definition->processId : 0u);
    }

    for (size_t position = 0; position < order.size(); ++position)
    {
        ids[order[position].first->getId()] = (uint32_t) position + 1;
        writeProcess (dspElement, *order[position].first, (int) position, order[position].second, dspId);
    }
}

void ProjectFileWriter::writeProcess (juce::XmlElement& parent, GraphNode& node, int position, uint32_t processId, uint32_t dspId)
{
    auto* definition = node.getProcessDefinition();
    auto* element = parent.createNewChildElement ("Process");

    element->setAttribute ("PositionX", node.getPosition().x);
    element->setAttribute ("PositionY", node.getPosition().y);
    element->setAttribute ("Index", position);
    element->setAttribute ("Name", makeSavedName (node));
    element->setAttribute ("InNb", juce::String (definition != nullptr ? definition->inputCount : node.inputCount));
    element->setAttribute ("OutNb", juce::String (definition != nullptr ? definition->outputCount : node.outputCount));
    element->setAttribute ("ProcessId", juce::String (definition != nullptr ? definition->processId : processId));
    element->setAttribute ("NCount", juce::String (node.channelWord));
    element->setAttribute ("MemoryDelay", juce::String (node.memoryWord));
    element->setAttribute ("nrpn", juce::String (node.nrpn));

    auto* commands = element->createNewChildElement ("CommandList")->createNewChildElement ("Commands");

    if (definition == nullptr && node.keptCommands != nullptr)
        for (int i = 0; i < node.keptCommands->getNumAttributes(); ++i)
            commands->setAttribute (node.keptCommands->getAttributeName (i), node.keptCommands->getAttributeValue (i));
    else
        ProjectCommandList::write (node, *commands);

    writeLastSaved (*element, node, dspId);
}

void ProjectFileWriter::writeLastSaved (juce::XmlElement& processElement, GraphNode& node, uint32_t dspId)
{
    auto* definition = node.getProcessDefinition();

    if (definition == nullptr)
    {
        if (node.keptSavedValues != nullptr)
            processElement.addChildElement (new juce::XmlElement (*node.keptSavedValues));

        return;
    }

    // The controls of the process as it stands now, which its panel lists.
    design.registerControls (node, dspId);
    auto& store = node.presetStore;

    // A process whose controls are not known (none without the generator, no
    // values were ever read) has nothing to keep.
    if (store.getControlCount() > 0)
    {
        store.takeShownValuesAsLastSaved();

        // The count group is chosen as the reader chooses it, by the process:
        // a store that a damaged file gave a delay control it never had
        // keeps its values under the process's own channel count.
        const auto channels = (int) node.getChannelCount();
        const auto delayProcess = definition->isDelayType();
        const auto count = delayProcess ? PresetDocument::prepareFixedDelayControl (store, channels) : channels;
        PresetDocument document;
        document.writeClassElement (processElement, juce::String (definition->name), count, store, false);
    }
}

juce::String ProjectFileWriter::makeSavedName (const GraphNode& node)
{
    // The mark tells the user the module lacks the process; the file keeps
    // the process's own name, which it takes back when the module returns.
    const auto& name = node.getName();
    const juce::String mark (ProjectFileFormat::removedSuffix);

    if (node.getProcessDefinition() == nullptr && name.endsWith (mark))
        return name.dropLastCharacters (mark.length());

    return name;
}

void ProjectFileWriter::writeSettings (juce::XmlElement& root)
{
    const auto& settings = design.getSettings();
    auto* element = root.createNewChildElement ("ProjectSettings");

    element->setAttribute ("Chip", settings.getChipIndex());
    element->setAttribute ("Sampling", settings.getSamplingIndex());
    element->setAttribute ("MemorySize", ProjectSettings::getMemorySizeNames()[settings.getMemorySizeIndex()]);
    element->setAttribute ("ProjectWitdh", options.windowWidth);
    element->setAttribute ("ProjectHeight", options.windowHeight);
    element->setAttribute ("Directory", makeDirectoryText (settings));
}

juce::String ProjectFileWriter::makeDirectoryText (const ProjectSettings& settings)
{
    const auto& shown = settings.getOutputDirectoryText();

    if (shown == "." || shown.startsWith (".."))
        return shown;

    const auto directory = settings.getOutputDirectory();
    const auto folder = ProjectSettings::fileFromPath (settings.getProjectFolder());

    // Inside the folder only at a separator: "/a/project2" is not in "/a/project".
    if (folder != juce::File() && directory.isAChildOf (folder))
        return directory.getRelativePathFrom (folder);

    return directory.getFullPathName();
}

void ProjectFileWriter::writeConnections (juce::XmlElement& parent, const GraphData& graph, const IdMap* ids, const char* tag)
{
    std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>> connections;

    for (int i = 0; i < graph.getNumConnections(); ++i)
    {
        auto c = *graph.getConnection (i);

        if (mapId (ids, c.sourceNode) && mapId (ids, c.destNode))
            connections.emplace_back (c.sourceNode, c.sourcePin, c.destNode, c.destPin);
    }

    // In the order the graph keeps them once read back.
    std::sort (connections.begin(), connections.end());

    for (size_t i = 0; i < connections.size(); ++i)
    {
        const auto& [sourceNode, sourcePin, destNode, destPin] = connections[i];
        auto* element = parent.createNewChildElement (tag);
        element->setAttribute ("ConnectIdx", (int) i);
        element->setAttribute ("SrcNodeId", juce::String (sourceNode));
        element->setAttribute ("SrcChnIndex", juce::String (sourcePin));
        element->setAttribute ("DstNodeId", juce::String (destNode));
        element->setAttribute ("DstChnIndex", juce::String (destPin));
    }
}

void ProjectFileWriter::writePinLabels (juce::XmlElement& parent, const GraphData& graph, const IdMap* ids, const char* tag)
{
    std::vector<GraphBusPin> labels;

    for (int i = 0; i < graph.getNumBusPins(); ++i)
    {
        auto p = *graph.getBusPin (i);

        if (mapId (ids, p.nodeId))
            labels.push_back (p);
    }

    std::stable_sort (
        labels.begin(), labels.end(),
        [] (const GraphBusPin& a, const GraphBusPin& b)
        { return std::tie (a.nodeId, a.pinIndex, a.direction, a.name) < std::tie (b.nodeId, b.pinIndex, b.direction, b.name); });

    for (auto& p : labels)
    {
        auto* element = parent.createNewChildElement (tag);
        element->setAttribute ("Name", p.name);
        element->setAttribute ("IO", p.direction != 0 ? 1 : 0);
        element->setAttribute ("Channel", juce::String (p.pinIndex));
        element->setAttribute ("Node", juce::String (p.nodeId));
    }
}
