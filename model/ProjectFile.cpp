#include "model/ProjectFile.h"

#include "model/Design.h"
#include "model/PresetDocument.h"
#include "model/PresetNumberReader.h"
#include "model/ProjectCommandList.h"
#include "model/ProjectFileReader.h"
#include "model/XmlFileAccess.h"

namespace
{
ProjectFile::Loaded readContent (XmlFileAccess::Loaded xml, const ModuleLibrary& library)
{
    ProjectFile::Loaded loaded;
    loaded.result = xml.result;

    if (xml.result.wasOk() && xml.root != nullptr)
        loaded.content = std::make_unique<ProjectFileContent> (ProjectFileReader (library).read (*xml.root));

    return loaded;
}

// Calls the function for every "Process" element of the file whose DSP the
// design holds, with the DSP's index, the DSP's slot and the element's
// position in the DSP's list.
template <typename Function>
void forEachSavedProcess (const juce::XmlElement& root, Design& design, Function&& function)
{
    auto* dsps = root.getChildByName ("DSPs");

    if (dsps == nullptr)
        return;

    for (auto* dsp : dsps->getChildWithTagNameIterator ("DSP"))
    {
        int index = 0;
        auto* slot = PresetNumberReader::parseInt (dsp->getStringAttribute ("Index"), index) && index > 0
                         ? design.findDsp ((uint32_t) index)
                         : nullptr;
        auto* processes = dsp->getChildByName ("Processes");

        if (slot == nullptr || processes == nullptr)
            continue;

        int position = 0;

        for (auto* process : processes->getChildWithTagNameIterator ("Process"))
            function (index, *slot, *process, position++);
    }
}

uint32_t readNrpn (const juce::XmlElement& process)
{
    uint32_t nrpn = 0;
    return PresetNumberReader::parseUnsigned (process.getStringAttribute ("nrpn"), nrpn) ? nrpn : 0;
}
} // namespace

ProjectFile::Loaded ProjectFile::load (const juce::File& file, const ModuleLibrary& library)
{
    if (! file.exists())
    {
        Loaded loaded;
        loaded.missing = true;
        loaded.result = juce::Result::fail ("the file " + file.getFullPathName() + " does not exist");
        return loaded;
    }

    // What stands under the name but is no file (a folder, a pipe, a
    // device) is refused by the reader, which says what it is.
    return readContent (XmlFileAccess::load (file, ProjectFileFormat::rootTag, ProjectFileFormat::largestFile), library);
}

ProjectFile::Loaded ProjectFile::parse (const juce::String& text, const ModuleLibrary& library)
{
    return readContent (XmlFileAccess::parse (text, ProjectFileFormat::rootTag), library);
}

void ProjectFile::install (const ProjectFileContent& content, const juce::File& file, Design& design)
{
    auto& settings = design.getSettings();
    const auto folder = file.getParentDirectory();

    settings.setProjectName (file.getFileNameWithoutExtension());
    settings.setProjectFolder (folder.getFullPathName());
    settings.setProjectFile (file.getFullPathName());
    settings.setOutputDirectory (file.getFullPathName());
    settings.setCreatedWithVersion (content.createdWith);

    content.logMessages();
    content.installInto (design);

    if (content.settings.has_value() && content.settings->directory.has_value())
        settings.setOutputDirectory (folder.getChildFile (*content.settings->directory).getFullPathName());
}

std::unique_ptr<juce::XmlElement> ProjectFile::createXml (Design& design, const ProjectFileWriter::Options& options)
{
    return ProjectFileWriter (design, options).createXml();
}

juce::Result ProjectFile::save (Design& design, const juce::File& file, const ProjectFileWriter::Options& options)
{
    return XmlFileAccess::save (*createXml (design, options), file);
}

juce::File ProjectFile::withProjectExtension (const juce::File& file)
{
    if (file == juce::File() || file.getFileExtension().isNotEmpty())
        return file;

    return file.withFileExtension (ProjectFileFormat::fileExtension);
}

void ProjectFile::reloadCommandLists (const juce::XmlElement& root, Design& design)
{
    forEachSavedProcess (root, design,
                         [] (int, DspSlot& slot, const juce::XmlElement& process, int position)
                         {
                             const auto nrpn = readNrpn (process);
                             auto& graph = slot.getGraph();
                             auto* node = nrpn != 0 ? graph.findNodeByNrpn (nrpn) : graph.getNode (position);
                             auto* definition = node != nullptr ? node->getProcessDefinition() : nullptr;
                             uint32_t processId = 0;

                             // Another process under the same number has other commands.
                             if (definition == nullptr ||
                                 ! PresetNumberReader::parseUnsigned (process.getStringAttribute ("ProcessId"), processId) ||
                                 (processId | ProcessDefinition::channelWordPresentBit) !=
                                     (definition->processId | ProcessDefinition::channelWordPresentBit))
                                 return;

                             if (auto* list = process.getChildByName ("CommandList"))
                                 for (auto* commands : list->getChildWithTagNameIterator ("Commands"))
                                     ProjectCommandList::applyToBuiltWords (*commands, *node);
                         });
}

void ProjectFile::sendSavedControls (const juce::XmlElement& root, Design& design, const ControlSender& send)
{
    forEachSavedProcess (
        root, design,
        [&] (int index, DspSlot& slot, const juce::XmlElement& process, int)
        {
            const auto nrpn = readNrpn (process);
            auto* node = nrpn != 0 ? slot.getGraph().findNodeByNrpn (nrpn) : nullptr;
            auto* definition = node != nullptr ? node->getProcessDefinition() : nullptr;

            if (definition == nullptr)
                return;

            auto& store = node->presetStore;
            auto prepare = [&]
            {
                const auto extraFlag = store.getExtraFlag();
                store.clear (true);
                store.setExtraFlag (extraFlag);
                store.setName (node->getName());

                // The controls registered in their order before the values are
                // read in, and a panel built shows them.
                design.registerControls (*node, slot.getDspId());
                store.normaliseControlOrder();
                ++node->valueReplacements;
                slot.getGraph().sendChangeMessage();
            };

            if (! ProjectFileReader::loadLastSaved (process, *definition, node->getChannelCount(), store, prepare, {}))
                return;

            for (int i = 0; i < store.getControlCount(); ++i)
            {
                store.setCurrentControl (i);

                if (! store.isFixedDelayControl() && send)
                    send (index - 1, (node->nrpn << 8) | store.getCurrentControlNrpn(), store.getCurrentValue());
            }
        });
}
