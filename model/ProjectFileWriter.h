#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <map>
#include <memory>

class Design;
class DspSlot;
class GraphData;
class GraphNode;
class ProjectSettings;

// Writes a design as the XML of a project file: the root with its versions,
// every DSP of the bus graph with its process connections, processes (each
// with its command words and "(Last-Saved)" values) and pin labels, then the
// bus connections, the bus pin labels and the project settings, every element
// and attribute in the file's order.
//
// Every process of a DSP is written, one the module definitions lack
// included, in the order of the DSP's process list; the node ids that
// connections and pin labels name are the positions in that order, counted
// from 1, which are the ids the nodes get when the file is read again.
class ProjectFileWriter
{
public:
    struct Options
    {
        // The main window's size ("ProjectWitdh", "ProjectHeight").
        int windowWidth = 0;
        int windowHeight = 0;
    };

    ProjectFileWriter (Design& design, Options options);

    std::unique_ptr<juce::XmlElement> createXml();

    // "Directory": "." for the project's folder, the page's text when it
    // climbs out of it (".."), the path inside the folder, or the full path.
    static juce::String makeDirectoryText (const ProjectSettings& settings);

private:
    using IdMap = std::map<uint32_t, uint32_t>;

    void writeDsp (juce::XmlElement& parent, const GraphNode& box);
    void writeProcesses (juce::XmlElement& dspElement, const DspSlot& slot, uint32_t dspId, IdMap& ids);
    void writeProcess (juce::XmlElement& parent, GraphNode& node, int position, uint32_t processId, uint32_t dspId);
    void writeLastSaved (juce::XmlElement& processElement, GraphNode& node, uint32_t dspId);
    void writeSettings (juce::XmlElement& root);
    static juce::String makeSavedName (const GraphNode& node);

    static void writeConnections (juce::XmlElement& parent, const GraphData& graph, const IdMap* ids, const char* tag);
    static void writePinLabels (juce::XmlElement& parent, const GraphData& graph, const IdMap* ids, const char* tag);

    Design& design;
    Options options;
};
