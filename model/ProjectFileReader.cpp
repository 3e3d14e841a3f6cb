#include "model/ProjectFileReader.h"

#include "model/BusConnectionRules.h"
#include "model/ModuleLibrary.h"
#include "model/NodeChannelRules.h"
#include "model/PresetDocument.h"
#include "model/PresetNumberReader.h"
#include "model/ProcessGraphEdits.h"
#include "model/ProjectCommandList.h"
#include "model/ProjectFileFormat.h"
#include "model/ProjectSettings.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace
{
constexpr int maxProcesses = 63; // a DSP's graph
constexpr int maxConnections = 128;
constexpr int maxPinLabels = 512;

juce::StringArray makeDspPinNames()
{
    juce::StringArray names;

    for (auto* prefix : { "DSPIN", "DSPOUT" })
        for (int i = 0; i < 8; ++i)
            names.add (prefix + juce::String (i));

    return names;
}

// The lowest number from 1 that is not taken.
uint32_t lowestFree (const std::set<uint32_t>& taken)
{
    uint32_t n = 1;

    while (taken.count (n) != 0)
        ++n;

    return n;
}

bool parseDouble (const juce::String& text, double& value)
{
    const auto trimmed = text.trim();

    if (trimmed.isEmpty())
        return false;

    auto cursor = trimmed.getCharPointer();
    value = juce::CharacterFunctions::readDoubleValue (cursor);
    return cursor.isEmpty() && std::isfinite (value);
}

juce::String quoted (const juce::String& text)
{
    return "\"" + text + "\"";
}
} // namespace

bool ProjectFileReader::isChipPinName (const juce::String& name)
{
    return BusConnectionRules::isChipPinNameFor (name, true) || BusConnectionRules::isChipPinNameFor (name, false);
}

bool ProjectFileReader::isDspPinName (const juce::String& name)
{
    static const auto names = makeDspPinNames();
    return names.contains (name);
}

std::optional<juce::String> ProjectFileReader::normaliseDirectory (const juce::String& text)
{
    const auto path = text.replaceCharacter ('\\', '/');

    if (path.isEmpty())
        return std::nullopt;

    // "C:/..." from a Windows machine: no such place exists here.
    if (path.length() >= 2 && juce::CharacterFunctions::isLetter (path[0]) && path[1] == ':')
        return std::nullopt;

    return path;
}

//==============================================================================
void ProjectFileReader::problem (const juce::String& text, const juce::String& kind)
{
    auto& seen = problemKinds[kind.isNotEmpty() ? kind : text];

    if (++seen.count > maxProblemsOfAKind)
        return;

    content.problems.add ("Project file" + (where.isNotEmpty() ? ", " + where : juce::String()) + ": " + text);
    seen.lastListed = content.problems.size() - 1;
}

void ProjectFileReader::listUnlistedProblems()
{
    // Each count goes right after the last problem listed of its kind; the
    // later ones first, so that the earlier places stay where they are.
    std::vector<ProblemKind> cut;

    for (auto& [kind, seen] : problemKinds)
        if (seen.count > maxProblemsOfAKind)
            cut.push_back (seen);

    std::sort (cut.begin(), cut.end(), [] (const ProblemKind& a, const ProblemKind& b) { return a.lastListed > b.lastListed; });

    for (auto& seen : cut)
        content.problems.insert (seen.lastListed + 1, "Project file: " + juce::String (seen.count - maxProblemsOfAKind) +
                                                          " more problems of the kind above are not listed");
}

void ProjectFileReader::badNumber (const juce::XmlElement& element, const char* attribute)
{
    problem (quoted (attribute) + " of " + quoted (element.getTagName()) +
                 " is no number: " + quoted (element.getStringAttribute (attribute).substring (0, 40)),
             "number " + element.getTagName() + " " + attribute);
}

bool ProjectFileReader::readUnsigned (const juce::XmlElement& element, const char* attribute, uint32_t& value, uint32_t fallback)
{
    value = fallback;

    if (! element.hasAttribute (attribute))
        return true;

    if (PresetNumberReader::parseUnsigned (element.getStringAttribute (attribute), value))
        return true;

    value = fallback;
    badNumber (element, attribute);
    return false;
}

bool ProjectFileReader::readInt (const juce::XmlElement& element, const char* attribute, int& value, int fallback)
{
    value = fallback;

    if (! element.hasAttribute (attribute))
        return true;

    if (PresetNumberReader::parseInt (element.getStringAttribute (attribute), value))
        return true;

    value = fallback;
    badNumber (element, attribute);
    return false;
}

double ProjectFileReader::readPosition (const juce::XmlElement& element, const char* attribute)
{
    double value = 0.0;

    if (! element.hasAttribute (attribute))
        return value;

    if (! parseDouble (element.getStringAttribute (attribute), value))
    {
        badNumber (element, attribute);
        return 0.0;
    }

    if (value < 0.0 || value > 1.0)
        problem (quoted (attribute) + " " + juce::String (value) + " lies outside the view; the box is moved to its edge",
                 "position");

    return juce::jlimit (0.0, 1.0, value);
}

//==============================================================================
ProjectFileContent ProjectFileReader::read (const juce::XmlElement& root)
{
    content = {};
    where = {};
    problemKinds.clear();

    if (root.hasAttribute ("Version") && ! parseDouble (root.getStringAttribute ("Version"), content.fileVersion))
        badNumber (root, "Version");

    content.createdWith = root.getStringAttribute ("CreatedWith");
    // Its presence counts, whatever its value.
    content.commandView = root.hasAttribute ("cmd");

    if (auto* settings = root.getChildByName ("ProjectSettings"))
        readSettings (*settings);

    if (content.settings.has_value() && content.settings->samplingIndex.has_value())
        samplingRateKhz = ProjectSettings::getSamplingRateNames()[*content.settings->samplingIndex].getDoubleValue();

    readDsps (root.getChildByName ("DSPs"));

    where = "bus editor";
    const std::map<uint32_t, uint32_t> noMapping;
    content.busConnections = readConnections (root.getChildByName ("DSPConnections"), "DSPConnection", noMapping, nullptr);
    content.busPinLabels = readPinLabels (root.getChildByName ("PinLabels"), "PinLabel", noMapping, nullptr);

    listUnlistedProblems();
    return std::move (content);
}

void ProjectFileReader::readSettings (const juce::XmlElement& element)
{
    where = "project settings";
    ProjectFileContent::Settings settings;
    const auto chips = ProjectSettings::getChipNames().size();

    int chip = 0;

    if (readInt (element, "Chip", chip) && juce::isPositiveAndBelow (chip, chips))
    {
        settings.chipIndex = chip;
        settings.dspCapacity = ProjectSettings::getChipCapacity (chip);
    }
    else
    {
        // An unknown chip holds 16 DSPs, as the largest chip does.
        settings.chipIndex = chips - 1;
        settings.dspCapacity = ProjectSettings::getChipCapacity (settings.chipIndex);
        problem ("the target chip " + quoted (element.getStringAttribute ("Chip")) + " is unknown; " +
                 quoted (ProjectSettings::getChipNames()[settings.chipIndex]) + " is taken");
    }

    int sampling = 0;

    if (readInt (element, "Sampling", sampling))
    {
        if (juce::isPositiveAndBelow (sampling, ProjectSettings::getSamplingRateNames().size()))
            settings.samplingIndex = sampling;
        else
            problem ("the sampling rate " + juce::String (sampling) + " is unknown; the rate is left as it was");
    }

    if (element.hasAttribute ("MemorySize"))
    {
        const auto size = element.getStringAttribute ("MemorySize");
        const auto index = ProjectSettings::getMemorySizeNames().indexOf (size);

        if (index >= 0)
            settings.memorySizeIndex = index;
        else
            problem ("the memory size " + quoted (size.substring (0, 40)) + " is unknown; the size is left as it was");
    }

    const auto directory = element.getStringAttribute ("Directory");
    settings.directory = normaliseDirectory (directory);

    if (! settings.directory.has_value() && directory.isNotEmpty())
        problem ("the output directory " + quoted (directory) +
                 " is on a drive of another system; the project's folder is taken");

    content.settings = settings;
}

void ProjectFileReader::readDsps (const juce::XmlElement* dspsElement)
{
    if (dspsElement == nullptr)
        return;

    for (auto* element : dspsElement->getChildWithTagNameIterator ("DSP"))
    {
        if ((int) content.dsps.size() >= ProjectFileFormat::maxDspIndex)
        {
            where = {};
            problem ("the design holds more than 16 DSPs; the DSPs after the 16th are left out");
            break;
        }

        ProjectFileContent::Dsp dsp;

        if (readDsp (*element, dsp))
            content.dsps.push_back (std::move (dsp));
    }

    assignDspNrpns();
}

bool ProjectFileReader::readDsp (const juce::XmlElement& element, ProjectFileContent::Dsp& dsp)
{
    where = "DSP element " + juce::String ((int) content.dsps.size() + 1);
    int index = 0;

    if (! readInt (element, "Index", index))
        return false;

    if (index < 1 || index > ProjectFileFormat::maxDspIndex)
    {
        problem ("the DSP index " + juce::String (index) + " is not one of 1 to 16; the DSP is left out with its processes",
                 "DSP index");
        return false;
    }

    where = "DSP#" + juce::String (index);

    for (auto& other : content.dsps)
    {
        if (other.id == (uint32_t) index)
        {
            problem ("a second DSP with this index is left out with its processes", "second DSP");
            return false;
        }
    }

    dsp.id = (uint32_t) index;
    dsp.x = readPosition (element, "PositionX");
    dsp.y = readPosition (element, "PositionY");
    readUnsigned (element, "ModuleId", dsp.moduleId);
    dsp.module = library.findModuleById (dsp.moduleId);
    dsp.name = element.getStringAttribute ("Name");
    readUnsigned (element, "nrpn", dsp.nrpn);

    std::map<uint32_t, uint32_t> ids;
    readProcesses (element.getChildByName ("Processes"), dsp, ids);

    where = "DSP#" + juce::String (index);
    dsp.connections = readConnections (element.getChildByName ("ProcessConnections"), "ProcessConnection", ids, &dsp);
    dsp.pinLabels = readPinLabels (element.getChildByName ("ProcessPinLabels"), "ProcessPinLabel", ids, &dsp);
    return true;
}

void ProjectFileReader::readProcesses (const juce::XmlElement* processesElement, ProjectFileContent::Dsp& dsp,
                                       std::map<uint32_t, uint32_t>& ids)
{
    if (processesElement == nullptr)
        return;

    int position = 0;

    for (auto* element : processesElement->getChildWithTagNameIterator ("Process"))
    {
        if ((int) dsp.processes.size() >= maxProcesses)
        {
            where = "DSP#" + juce::String (dsp.id);
            problem ("the DSP holds more than 63 processes; the processes after the 63rd are left out");
            break;
        }

        // The id the node had when the file was written: its position in
        // the DSP's process list, which "Index" keeps even where a writer
        // left a process out.
        int index = -1;
        const auto hasIndex = element->hasAttribute ("Index") &&
                              PresetNumberReader::parseInt (element->getStringAttribute ("Index"), index) &&
                              juce::isPositiveAndBelow (index, 256) && ids.count ((uint32_t) index + 1) == 0;
        const auto fileId = (uint32_t) (hasIndex ? index : position) + 1;
        ++position;

        ProjectFileContent::Process process;
        readProcess (*element, dsp, (int) dsp.processes.size(), process);

        // A static process runs once per DSP: a second instance would route
        // through the same names and override the first. The editor never
        // makes one; the first stays, and wires to the rest are left out
        // with it.
        if (isSecondStaticInstance (dsp, process))
        {
            problem ("a second instance of the static process " + quoted (process.name) + " is left out",
                     "second static process");
            continue;
        }

        dsp.processes.push_back (std::move (process));

        if (ids.count (fileId) == 0)
            ids[fileId] = (uint32_t) dsp.processes.size();
    }

    assignProcessNrpns (dsp);
}

bool ProjectFileReader::isSecondStaticInstance (const ProjectFileContent::Dsp& dsp, const ProjectFileContent::Process& process)
{
    return std::any_of (dsp.processes.begin(), dsp.processes.end(),
                        [&process] (const ProjectFileContent::Process& other)
                        { return ProcessGraphEdits::isSameStaticProcess (other.definition, process.definition); });
}

void ProjectFileReader::readProcess (const juce::XmlElement& element, const ProjectFileContent::Dsp& dsp, int position,
                                     ProjectFileContent::Process& process)
{
    process.name = element.getStringAttribute ("Name");
    where = "DSP#" + juce::String (dsp.id) + ", process " + juce::String (position + 1) + " " + quoted (process.name);

    process.x = readPosition (element, "PositionX");
    process.y = readPosition (element, "PositionY");
    readUnsigned (element, "ProcessId", process.processId);
    readUnsigned (element, "nrpn", process.nrpn);

    auto* definition = dsp.module != nullptr ? dsp.module->findProcessById (process.processId) : nullptr;
    process.definition = definition;

    if (definition != nullptr)
    {
        process.processId = definition->processId;

        if (content.fileVersion < ProjectFileFormat::formatVersionNumber)
            process.name = juce::String (definition->name);

        // Saved while its module was missing by a version that kept the
        // mark in the name: the process is whole again.
        if (process.name.endsWith (ProjectFileFormat::removedSuffix))
            process.name = process.name.dropLastCharacters (juce::String (ProjectFileFormat::removedSuffix).length());
    }
    else
    {
        content.compatibilityIssues.add ("Compatibility issue, [DSP#" + juce::String (dsp.id) + " - process#" +
                                         juce::String (process.processId) + ": " + process.name +
                                         "] not found in modules definition file.\n"
                                         "Please remove this process and select a new one in the process list.");

        // A file saved with the process still missing has the mark already.
        if (! process.name.endsWith (ProjectFileFormat::removedSuffix))
            process.name += ProjectFileFormat::removedSuffix;

        for (auto [attribute, count] : { std::pair{ "InNb", &process.inputCount }, std::pair{ "OutNb", &process.outputCount } })
        {
            readUnsigned (element, attribute, *count);

            if (*count > ProjectFileFormat::maxUncheckedPins)
            {
                problem (quoted (attribute) + " " + juce::String (*count) + " is out of range; " +
                             juce::String (ProjectFileFormat::maxUncheckedPins) + " is taken",
                         "pin count");
                *count = ProjectFileFormat::maxUncheckedPins;
            }
        }
    }

    readChannelWord (element, process);
    readMemoryWord (element, process);
    readCommands (element, process);
    readLastSaved (element, process);
}

void ProjectFileReader::readMemoryWord (const juce::XmlElement& element, ProjectFileContent::Process& process)
{
    // A missing word takes the process's own, as a new node has it.
    const auto* definition = process.definition;
    const auto ownWord = definition != nullptr ? definition->getDefaultMemoryWord() : 1u;
    readUnsigned (element, "MemoryDelay", process.memoryWord, ownWord);

    if (definition == nullptr || ! definition->offersMemoryChoice() || process.memoryWord == ownWord)
        return;

    // The word decides where the generator places the process's memory: a
    // memory class that fixes it (bit 31) is the process's own, and any
    // other choice is one of the three memories the box offers.
    constexpr uint32_t fixedMemoryBit = 0x80000000u;
    const auto fixed = (ownWord & fixedMemoryBit) != 0;

    if (! fixed && process.memoryWord >= GraphNode::memoryChoiceExternalRam &&
        process.memoryWord <= GraphNode::memoryChoiceInternal24BitRam)
        return;

    problem ("the memory word " + juce::String (process.memoryWord) +
             (fixed ? " is not the one its memory class fixes" : " names no memory") + "; " + juce::String (ownWord) +
             " is taken");
    process.memoryWord = ownWord;
}

void ProjectFileReader::readChannelWord (const juce::XmlElement& element, ProjectFileContent::Process& process)
{
    const auto mask = GraphNode::channelCountMask;
    const auto defaultWord = process.definition != nullptr ? process.definition->defaultChannelWord : 1u;
    uint32_t word = defaultWord;

    if (! readUnsigned (element, "NCount", word, defaultWord))
        word = defaultWord;

    // The flags are the process's own: they decide the pins of its box.
    auto flags = word & ~mask;

    if (process.definition != nullptr && flags != (defaultWord & ~mask))
    {
        problem ("the channel word's flags " + juce::String::toHexString ((int) flags) +
                     " are not the process's; its own are taken",
                 "channel flags");
        flags = defaultWord & ~mask;
    }

    // A count drives pins, loads and preset groups: it must be one the box's
    // slider offers (or the process's own). A process the definitions lack
    // has no slider and shows one pin per side.
    GraphNode node (1, 1, process.name, true, process.definition, 0.0, 0.0);
    auto range = NodeChannelRules::getSliderRange (node, samplingRateKhz);

    if (process.definition == nullptr)
        range = { 1, (int) ProjectFileFormat::maxDelayCount };

    const auto count = word & mask;
    auto kept = count;

    if (count != (defaultWord & mask) && (count < (uint32_t) range.minimum || count > (uint32_t) range.maximum))
    {
        kept = (uint32_t) juce::jlimit (range.minimum, range.maximum, (int) std::min (count, 0x7FFFFFFFu));
        problem ("the channel count " + juce::String (count) + " is out of range (" + juce::String (range.minimum) + " to " +
                     juce::String (range.maximum) + "); " + juce::String (kept) + " is taken",
                 "channel count");
    }

    process.channelWord = flags | kept;

    // The pins its box shows; a vector pin, which carries one channel per
    // pin number, reaches as far as the count.
    NodeChannelRules::followCount (node, process.channelWord);
    const auto pins = NodeChannelRules::getPinCounts (node, process.channelWord);
    bool vectorInput = false, vectorOutput = false;

    for (int i = 0; i < node.getPinCount(); ++i)
        if (auto* pin = node.getPin (i); pin->isVectorPin())
            (pin->isInput() ? vectorInput : vectorOutput) = true;

    const auto channels = vectorInput || vectorOutput ? kept : 0u;
    process.inputPins = std::max ({ 1u, (uint32_t) pins.inputs, node.inputCount, vectorInput ? channels : 0u });
    process.outputPins = std::max ({ 1u, (uint32_t) pins.outputs, node.outputCount, vectorOutput ? channels : 0u });

    if (process.definition == nullptr)
    {
        // Its pins are unknown: a side whose pins may follow the count, or
        // a vector pin with a wire per channel, may carry as many wires as
        // the count, which the file's wires then keep.
        const auto reach = std::min (kept, ProjectFileFormat::maxUncheckedPins);
        const bool vector = (flags & GraphNode::onePinPerSideFlag) != 0;
        const bool inputsReach = vector || (flags & GraphNode::inputsFollowCountFlag) != 0;
        const bool outputsReach = vector || (flags & GraphNode::outputsFollowCountFlag) != 0;
        process.inputPins = std::max ({ 1u, process.inputCount, inputsReach ? reach : 0u });
        process.outputPins = std::max ({ 1u, process.outputCount, outputsReach ? reach : 0u });
    }
}

void ProjectFileReader::readCommands (const juce::XmlElement& element, ProjectFileContent::Process& process)
{
    auto* list = element.getChildByName ("CommandList");
    auto* commands = list != nullptr ? list->getChildByName ("Commands") : nullptr;

    if (commands == nullptr)
        return;

    if (process.definition == nullptr)
    {
        process.keptCommands = std::make_shared<const juce::XmlElement> (*commands);
        return;
    }

    GraphNode node (1, 1, process.name, true, process.definition, 0.0, 0.0);

    for (auto& name : ProjectCommandList::readIntoNewNode (*commands, node))
        problem ("the command " + quoted (name) + " holds no hexadecimal number; 0 is taken", "command");

    process.commandWords = std::move (node.commandWords);
    process.secondCommandWords = std::move (node.secondCommandWords);
    process.commandWordCount = node.commandWordCount;
}

// Whether the count group names the delay control. One walk over each
// "Controls" element's attributes: JUCE reaches an attribute by its index
// only by walking to it.
bool ProjectFileReader::namesDelayControl (const juce::XmlElement& group)
{
    for (auto* preset : group.getChildWithTagNameIterator ("Preset"))
        for (auto* controls : preset->getChildWithTagNameIterator ("Controls"))
            for (const auto& attribute : PresetNumberReader::getAttributes (*controls))
                if (attribute.name == PresetControlsLayout::delayAttribute ||
                    attribute.value == ProcessPresetStore::fixedDelayControlName)
                    return true;

    return false;
}

PresetDocument::ClassRule ProjectFileReader::classRuleOf (const ModuleLibrary& library)
{
    return [&library] (const juce::String& className)
    {
        std::vector<const ProcessDefinition*> delays;

        for (int m = 0; m < library.getModuleCount(); ++m)
            for (int p = 0; p < library.getModule (m)->getProcessCount(); ++p)
                if (auto* definition = library.getModule (m)->getProcess (p);
                    definition != nullptr && definition->isDelayType() && juce::String (definition->name) == className)
                    delays.push_back (definition);

        return readingOfDelays (std::move (delays));
    };
}

PresetDocument::ClassReading ProjectFileReader::readingOfProcess (const ProcessDefinition& definition)
{
    return definition.isDelayType() ? readingOfDelays ({ &definition }) : PresetDocument::ClassReading();
}

PresetDocument::ClassReading ProjectFileReader::readingOfDelays (std::vector<const ProcessDefinition*> delays)
{
    if (delays.empty())
        return {};

    return { [delays] (const juce::String& name)
             {
                 return std::none_of (delays.begin(), delays.end(),
                                      [&name] (const ProcessDefinition* definition)
                                      { return definition->isCopyPerMillisecond (name); });
             } };
}

void ProjectFileReader::readLastSaved (const juce::XmlElement& element, ProjectFileContent::Process& process)
{
    if (process.definition == nullptr)
    {
        if (auto* classElement = element.getChildByName ("Class"))
            process.keptSavedValues = std::make_shared<const juce::XmlElement> (*classElement);

        return;
    }

    process.store.setName (process.name);
    loadLastSaved (element, *process.definition, process.channelWord & GraphNode::channelCountMask, process.store, {},
                   [this] (const juce::String& text) { problem (text); });
}

bool ProjectFileReader::loadLastSaved (const juce::XmlElement& element, const ProcessDefinition& definition, uint32_t count,
                                       ProcessPresetStore& store, const std::function<void()>& prepare,
                                       const ProblemHandler& problem)
{
    // As the process's box marks it: a delay-type process carries its count
    // in its presets, under the count group 1, and of the controls files
    // saved while its length counted as channels name, takes its own.
    const auto reading = readingOfProcess (definition);
    PresetDocument document;
    document.setStore (store, reading);
    const auto groupCount = reading.isDelay() ? 1 : (int) count;
    auto* classElement = PresetDocument::findPresetClassElement (element, juce::String (definition.name));
    auto* group = classElement != nullptr ? PresetDocument::findCountGroupElement (*classElement, groupCount) : nullptr;

    if (group == nullptr)
        return false;

    if (prepare)
        prepare();

    if (problem)
        document.setMessageHandler ([&problem] (const juce::String&, const juce::String& text, const juce::String&)
                                    { problem ("the saved control values: " + text); });

    if (! reading.isDelay() && namesDelayControl (*group))
    {
        // Only a delay-type process has the delay control; a damaged file that
        // gives one to another process would have it change value at every save.
        if (problem)
            problem ("the saved control values of " + store.getName() + " held a delay control, which it has not");

        document.setControlFilter ([] (const juce::String& name) { return name != ProcessPresetStore::fixedDelayControlName; });
    }

    if (! document.loadProcessPresets (*group, groupCount, nullptr) ||
        ! store.findPreset (ProcessPresetStore::lastSavedPresetName))
        return false;

    // A delay's length is its count, which is what the next save writes; a
    // file cut short of the delay control may not hold it in the list.
    if (reading.isDelay() && store.findControl (ProcessPresetStore::fixedDelayControlName))
    {
        store.setCurrentValue (count);
        store.setDelayCount (count);
    }

    return true;
}

// A number in range that no earlier item took is kept; every other item
// gets the lowest free one, as a new box does.
template <typename Item, typename Describe>
void ProjectFileReader::assignNrpns (std::vector<Item>& items, uint32_t maximum, Describe&& describe)
{
    std::set<uint32_t> taken;
    std::vector<size_t> without;

    for (size_t i = 0; i < items.size(); ++i)
    {
        const auto nrpn = items[i].nrpn;

        if (nrpn >= 1 && nrpn <= maximum && taken.insert (nrpn).second)
            continue;

        without.push_back (i);
    }

    for (auto i : without)
    {
        auto& item = items[i];
        const auto given = lowestFree (taken);
        taken.insert (given);

        if (item.nrpn != 0)
        {
            where = describe (i, item);
            problem ("the NRPN number " + juce::String (item.nrpn) + " is out of range or taken; " + juce::String (given) +
                         " is given",
                     "NRPN");
        }

        item.nrpn = given;
    }
}

void ProjectFileReader::assignProcessNrpns (ProjectFileContent::Dsp& dsp)
{
    assignNrpns (
        dsp.processes, (uint32_t) ProjectFileFormat::maxProcessNrpn,
        [&dsp] (size_t i, const ProjectFileContent::Process& process)
        { return "DSP#" + juce::String (dsp.id) + ", process " + juce::String ((int) i + 1) + " " + quoted (process.name); });
}

void ProjectFileReader::assignDspNrpns()
{
    assignNrpns (content.dsps, (uint32_t) ProjectFileFormat::maxDspIndex,
                 [] (size_t, const ProjectFileContent::Dsp& dsp) { return "DSP#" + juce::String (dsp.id); });
}

//==============================================================================
uint32_t ProjectFileReader::getPinLimit (const ProjectFileContent::Dsp* dsp, uint32_t nodeId, bool input) const
{
    if (dsp == nullptr)
    {
        for (auto& candidate : content.dsps)
            if (candidate.id == nodeId)
                return candidate.module == nullptr ? ProjectFileFormat::dspPinsWithoutModule
                                                   : (input ? candidate.module->dspInputCount : candidate.module->dspOutputCount);

        return 0;
    }

    if (nodeId < 1 || nodeId > dsp->processes.size())
        return 0;

    auto& process = dsp->processes[nodeId - 1];
    return input ? process.inputPins : process.outputPins;
}

std::vector<ProjectFileContent::Connection> ProjectFileReader::readConnections (const juce::XmlElement* list,
                                                                                const juce::String& tag,
                                                                                const std::map<uint32_t, uint32_t>& ids,
                                                                                const ProjectFileContent::Dsp* dsp)
{
    std::vector<ProjectFileContent::Connection> connections;

    if (list == nullptr)
        return connections;

    int position = 0;
    std::set<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>> seen;

    for (auto* element : list->getChildWithTagNameIterator (tag))
    {
        ++position;
        ProjectFileContent::Connection c;

        if (! (readUnsigned (*element, "SrcNodeId", c.sourceNode) && readUnsigned (*element, "SrcChnIndex", c.sourcePin) &&
               readUnsigned (*element, "DstNodeId", c.destNode) && readUnsigned (*element, "DstChnIndex", c.destPin)))
            continue;

        const auto text = "the connection " + juce::String (position) + " (node " + juce::String (c.sourceNode) + " pin " +
                          juce::String (c.sourcePin) + " to node " + juce::String (c.destNode) + " pin " +
                          juce::String (c.destPin) + ")";

        if (dsp != nullptr)
        {
            const auto source = ids.find (c.sourceNode);
            const auto destination = ids.find (c.destNode);
            c.sourceNode = source != ids.end() ? source->second : 0;
            c.destNode = destination != ids.end() ? destination->second : 0;
        }

        const auto sourcePins = getPinLimit (dsp, c.sourceNode, false);
        const auto destinationPins = getPinLimit (dsp, c.destNode, true);

        if (sourcePins == 0 || destinationPins == 0)
        {
            problem (text + " names a node that is not there; it is left out", "connection node");
            continue;
        }

        if (c.sourcePin >= sourcePins || c.destPin >= destinationPins)
        {
            problem (text + " names a pin that is not there; it is left out", "connection pin");
            continue;
        }

        // A connection written twice is one connection.
        if (! seen.insert ({ c.sourceNode, c.sourcePin, c.destNode, c.destPin }).second)
            continue;

        if ((int) connections.size() >= maxConnections)
        {
            problem ("more than 128 connections; the connections after the 128th are left out");
            break;
        }

        connections.push_back (c);
    }

    return connections;
}

std::vector<ProjectFileContent::PinLabel> ProjectFileReader::readPinLabels (const juce::XmlElement* list, const juce::String& tag,
                                                                            const std::map<uint32_t, uint32_t>& ids,
                                                                            const ProjectFileContent::Dsp* dsp)
{
    std::vector<ProjectFileContent::PinLabel> labels;
    std::set<std::tuple<uint32_t, uint32_t, uint8_t, juce::String>> seen;

    if (list == nullptr)
        return labels;

    for (auto* element : list->getChildWithTagNameIterator (tag))
    {
        ProjectFileContent::PinLabel p;
        p.name = element->getStringAttribute ("Name");
        p.direction = element->getBoolAttribute ("IO") ? 1 : 0;

        if (! (readUnsigned (*element, "Node", p.nodeId) && readUnsigned (*element, "Channel", p.channel)))
            continue;

        const auto text = "the pin label " + quoted (p.name.substring (0, 40)) + " on node " + juce::String (p.nodeId) + " pin " +
                          juce::String (p.channel);

        if (! (dsp != nullptr ? isDspPinName (p.name) : isChipPinName (p.name)))
        {
            problem (text + " is no name of a pin; it is left out", "pin label name");
            continue;
        }

        if (dsp != nullptr)
        {
            const auto node = ids.find (p.nodeId);
            p.nodeId = node != ids.end() ? node->second : 0;
        }

        const auto pins = getPinLimit (dsp, p.nodeId, p.direction != 0);

        if (pins == 0 || p.channel >= pins)
        {
            problem (text + " names a node or pin that is not there; it is left out", "pin label place");
            continue;
        }

        if (! seen.insert ({ p.nodeId, p.channel, p.direction, p.name }).second)
            continue;

        if ((int) labels.size() >= maxPinLabels)
        {
            problem ("more than 512 pin labels; the labels after the 512th are left out");
            break;
        }

        labels.push_back (p);
    }

    return labels;
}
