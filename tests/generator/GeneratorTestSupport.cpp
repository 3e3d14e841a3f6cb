#include "GeneratorTestSupport.h"

#include "generator/MainBusFile.h"
#include "generator/SourceFiles.h"

#include "modulesdef/ModulesDefBuilder.h"
#include "modulesdef/ModulesDefText.h"

#include <map>
#include <optional>
#include <set>
#include <stdexcept>

namespace generatortest
{
namespace
{
// Processes of our own beside the sample's, in the text form of the sample.
const char* const extraModules = R"(
capacity 16
version 68

module "GeneratorExtras"
    id 0x0070

    # Two ordinary inputs summed into one ordinary output.
    process "Add2" pcs
        id 0x0030
        inputs 2
        outputs 1
        cycles per-channel 4 base 2
        ram per-channel 1 base 1
        setup "Add2_Init"
            form 0
            returns 0
            params 2
            words dict 0
        end
        pin "In1" in 1
        pin "In2" in 1
        pin "Sum" out 1
    end

    # A mixer whose vector input follows the channel count (bit 30).
    process "MixN" pcs
        id 0x0231
        inputs 2
        outputs 1
        cycles per-channel 4 base 2
        ram per-channel 1 base 1
        channel-word 0x4002
        setup "MixN_Init"
            form 0
            returns 0
            params 2
            words dict 0
        end
        pin "In" in vector
        pin "Mix" out 1
    end

    # Four vector inputs that make one run of four channels, without
    # following the channel count.
    process "VectorMixer" pcs
        id 0x0234
        inputs 4
        outputs 2
        cycles per-channel 8 base 12
        ram per-channel 2 base 8
        channel-word 0x0004
        pin "In1" in vector
        pin "In2" in vector
        pin "In3" in vector
        pin "In4" in vector
        pin "OutL" out vector
        pin "OutR" out vector
    end

    # A delay counted in ms whose memory is never doubled.
    process "(s)Delay" sps
        id 0x0232
        inputs 1
        outputs 1
        cycles per-channel 10 base 4
        ram per-channel 2 base 2
        channel-word 0x1001
        setup "SsDelay_AllocLine"
            form 1
            returns 0
            params 3
            mask 0x0001
            mask-entry 0x0010 0x0000
            param-flags 0x0001
            words dict 0 (12,0,0)
        end
        pin "In" in vector
        pin "Out" out vector
    end

    # One set-up function per fixed memory kind; bit 15 of their masks makes
    # the type decide the region.
    process "MemoryProbe" sps
        id 0x0033
        inputs 1
        outputs 1
        cycles per-channel 10 base 4
        ram per-channel 2 base 2
        setup "Probe_Int24"
            form 1
            returns 0
            params 3
            mask 0x8001
            mask-entry 0x0100 0x0000
            param-flags 0x0001
            words dict 0 (4,0,22)
        end
        setup "Probe_Int16"
            form 1
            returns 0
            params 3
            mask 0x8001
            mask-entry 0x0040 0x0000
            param-flags 0x0001
            words dict 0 (4,0,20)
        end
        setup "Probe_ExtWhole"
            form 1
            returns 0
            params 3
            mask 0x8001
            mask-entry 0x0200 0x0000
            param-flags 0x0001
            words dict 0 (12,0,0)
        end
        setup "Probe_ExtSplit"
            form 2
            returns 0
            params 4
            mask 0x8001
            mask-entry 0x0300 0x0000
            param-flags 0x0002
            words dict 0 (4,0,1) (4,0,2)
        end
        pin "In" in vector
        pin "Out" out vector
    end
end

module "PitchFx"
    id 0x0005
    kind 0x8005
    dsp-inputs 2
    dsp-outputs 2
    function "Pfx_InitDsp"
        form 0
        returns 1
        params 1
        words (4,2,0) (4,2,0)
    end
    second-function "Pfx_SetInputRoute"
        form 0
        returns 0
        params 3
        words (4,2,0) (4,0,1) (4,0,2)
    end
    second-function "Pfx_SetOutputRoute"
        form 0
        returns 0
        params 3
        words (4,2,0) (4,0,1) (4,0,2)
    end
    process "Chorus" pcs
        id 0x0041
        kind 0x4002
        inputs 1
        outputs 1
        cycles per-channel 10 base 4
        ram per-channel 2 base 2
        setup "Chorus_Init"
            form 0
            returns 1
            params 2
            words (4,2,1) dict 0
        end
        pin "In" in vector
        pin "Out" out vector
    end
end
)";
} // namespace

juce::File getSourceDirectory()
{
    return juce::File (VX_SOURCE_DIR);
}

juce::String joinLines (std::initializer_list<const char*> items, const char* ending)
{
    juce::String text;

    for (auto* item : items)
        text << item << ending;

    return text;
}

bool hasHostCompiler()
{
    juce::ChildProcess probe;
    return probe.start (juce::StringArray{ "cc", "--version" }) && probe.waitForProcessToFinish (30000) &&
           probe.getExitCode() == 0;
}

juce::File getSdkFolder()
{
    return getSourceDirectory().getChildFile ("tests/generator/sdk");
}

juce::String runTool (const juce::StringArray& arguments, juce::String* output)
{
    juce::ChildProcess tool;

    if (! tool.start (arguments))
        return arguments[0] + " did not start";

    const auto printed = tool.readAllProcessOutput();
    tool.waitForProcessToFinish (60000);

    if (output != nullptr)
        *output = printed;

    return tool.getExitCode() == 0 ? juce::String() : arguments[0] + ": " + printed;
}

juce::String buildHostProgram (const juce::File& program, const juce::StringArray& arguments, const juce::StringArray& sources)
{
    juce::StringArray command{ "cc", "-std=gnu99", "-Werror=implicit-function-declaration", "-fno-sanitize-recover=all" };
    command.addArray (arguments);
    command.addArray ({ "-o", program.getFullPathName() });
    command.addArray (sources);
    return runTool (command);
}

namespace
{

juce::StringArray getCompilerArguments (const juce::File& includeFolder, const juce::StringArray& extraArguments)
{
    juce::StringArray arguments{ "cc",
                                 "-std=gnu99",
                                 "-Werror=implicit-function-declaration",
                                 "-Werror=implicit-int",
                                 "-Werror=incompatible-pointer-types",
                                 "-Werror=int-conversion",
                                 "-Werror=overflow",
                                 "-Werror=discarded-qualifiers",
                                 "-Werror=type-limits",
                                 "-I",
                                 includeFolder.getFullPathName(),
                                 "-I",
                                 getSdkFolder().getFullPathName() };
    arguments.addArray (extraArguments);
    return arguments;
}

// Every name our SDK headers declare, and the routines of the wrappers.
std::set<juce::String> getSdkNames()
{
    std::set<juce::String> names;
    auto addWords = [&names] (const juce::String& text)
    {
        for (auto& word : juce::StringArray::fromTokens (text, " \t\n\r(),;*[]{}#", ""))
            names.insert (word);
    };

    for (const auto& entry : juce::RangedDirectoryIterator (getSdkFolder(), false, "*.h"))
        addWords (entry.getFile().loadFileAsString());

    for (auto& line : juce::StringArray::fromLines (MainBusFile::getWrappersText()))
        if (line.trim().startsWith ("global _"))
            names.insert (line.fromFirstOccurrenceOf ("global _", false, false).trim());

    return names;
}
} // namespace

juce::String compileWithSdk (const juce::File& source, const juce::File& includeFolder, const juce::StringArray& extraArguments)
{
    auto arguments = getCompilerArguments (includeFolder, extraArguments);
    arguments.addArray ({ "-fsyntax-only", source.getFullPathName() });
    return runTool (arguments);
}

juce::String linkWithSdk (const juce::File& folder, const juce::StringArray& extraArguments)
{
    const auto objects = folder.getChildFile ("objects");
    objects.deleteRecursively();
    objects.createDirectory();
    juce::StringArray link{ "cc", "-r", "-nostdlib", "-o", objects.getChildFile ("firmware.o").getFullPathName() };

    for (const auto& entry : juce::RangedDirectoryIterator (folder, false, "*.c"))
    {
        const auto object = objects.getChildFile (entry.getFile().getFileNameWithoutExtension() + ".o");
        auto arguments = getCompilerArguments (folder, extraArguments);
        arguments.addArray ({ "-fno-pic", "-c", "-o", object.getFullPathName(), entry.getFile().getFullPathName() });

        if (auto problem = runTool (arguments); problem.isNotEmpty())
            return problem;

        link.add (object.getFullPathName());
    }

    if (auto problem = runTool (link); problem.isNotEmpty())
        return problem;

    juce::String undefined;

    if (auto problem = runTool ({ "nm", "-u", objects.getChildFile ("firmware.o").getFullPathName() }, &undefined);
        problem.isNotEmpty())
        return problem;

    const auto sdkNames = getSdkNames();
    juce::StringArray missing;

    for (auto& line : juce::StringArray::fromLines (undefined))
        if (const auto name = line.fromFirstOccurrenceOf (" U ", false, false).trim();
            name.isNotEmpty() && sdkNames.count (name) == 0)
            missing.add (name);

    return missing.isEmpty() ? juce::String() : "undefined: " + missing.joinIntoString (", ");
}

modulesdef::LibraryDescription sampleDescription()
{
    const auto text = getSourceDirectory().getChildFile ("resources/SampleModules.txt").loadFileAsString();
    return modulesdef::ModulesDefText::parse (text.toStdString());
}

modulesdef::LibraryDescription generatorDescription()
{
    auto description = sampleDescription();
    const auto extras = modulesdef::ModulesDefText::parse (extraModules);

    for (auto& module : description.modules)
        if (module.id == 0x0021)
            for (auto& process : extras.modules[0].processes)
                module.processes.push_back (process);

    description.modules.push_back (extras.modules[1]);
    return description;
}

std::unique_ptr<ModulesDefReader> readLibrary (const modulesdef::LibraryDescription& description)
{
    const auto bytes = modulesdef::ModulesDefBuilder::build (description);
    auto reader = std::make_unique<ModulesDefReader>();
    reader->open (std::make_unique<juce::MemoryInputStream> (bytes.data(), bytes.size(), true));

    if (reader->parse() < 0)
        throw std::runtime_error ("the test library does not read back");

    reader->getLibrary().clearDsps();
    return reader;
}

TestDsp::TestDsp (ModuleLibrary& libraryToUse, uint32_t id, uint32_t module, GenerationContext& context)
    : DspPlace{ libraryToUse, id, module, ownGraph }, generator (ownGraph, context)
{
    library.addDsp (dspId, moduleId, 0);
}

GraphNode& placeProcess (ModuleLibrary& library, uint32_t dspId, uint32_t moduleId, GraphData& graph,
                         const juce::String& processName, uint32_t channelCount, const juce::String& title)
{
    const auto* module = library.findModuleById (moduleId);
    const ProcessDefinition* definition = nullptr;

    for (auto& process : module->getProcesses())
        if (juce::String (process->name) == processName)
            definition = process.get();

    if (definition == nullptr)
        throw std::runtime_error ("no process " + processName.toStdString() + " in the module");

    graph.addNode (title.isEmpty() ? processName : title, true, definition, 0.5, 0.5);
    auto& node = *graph.getLastAddedNode();

    if (channelCount > 0)
    {
        node.channelWord = (node.channelWord & ~GraphNode::channelCountMask) | channelCount;

        if ((node.channelWord & GraphNode::inputsFollowCountFlag) != 0)
            node.inputCount = channelCount;

        if ((node.channelWord & GraphNode::outputsFollowCountFlag) != 0)
            node.outputCount = channelCount;
    }

    library.findDsp (dspId)->addProcessInstance ((int) node.getId(), definition->processId);
    return node;
}

GraphNode& DspPlace::add (const juce::String& processName, uint32_t channelCount, const juce::String& title)
{
    return placeProcess (library, dspId, moduleId, graph, processName, channelCount, title);
}

void DspPlace::connect (const GraphNode& source, uint32_t sourcePin, const GraphNode& destination, uint32_t destinationPin)
{
    graph.addConnection (source.getId(), sourcePin, destination.getId(), destinationPin);
}

void DspPlace::dspInput (const GraphNode& node, uint32_t pin, int number)
{
    graph.addBusPin (node.getId(), pin, 1, "DSPIN" + juce::String (number));
}

void DspPlace::dspOutput (const GraphNode& node, uint32_t pin, int number)
{
    graph.addBusPin (node.getId(), pin, 0, "DSPOUT" + juce::String (number));
}

int TestDsp::routing (const GraphNode& node, int pin) const
{
    return node.getPin (pin)->bus;
}

namespace
{
bool isMarker (int value)
{
    return value == BuildProjectFile::notConnected || value == BuildProjectFile::conflictDetected;
}

bool isRoutingNode (int value)
{
    return value >= 0 && ((uint32_t) value & BuildProjectFile::dspInputBit) == 0;
}

int offset (int value, uint32_t channel)
{
    return isMarker (value) ? value : (int) ((uint32_t) value + channel);
}

// The value an output channel writes, or none when the channel carries no signal.
std::optional<int> outputChannelValue (const GraphNode& node, uint32_t channel)
{
    const auto* pin = node.getOutputPin ((int) channel);

    if (pin == nullptr || pin->isInput() || pin->isVirtualPin())
        return std::nullopt;

    if (isVectorSide (node, false))
        return channel < channelsOf (node, false)
                   ? std::optional<int> (offset (node.getPin (firstOutputIndex (node))->bus, channel))
                   : std::nullopt;

    return pin->bus;
}

// The value an input channel reads, or none when the channel carries no signal.
std::optional<int> inputChannelValue (const GraphNode& node, uint32_t channel)
{
    if (isVectorSide (node, true))
        return channel < channelsOf (node, true) ? std::optional<int> (offset (node.getPin (0)->bus, channel)) : std::nullopt;

    const auto* pin = node.getPin ((int) channel);

    if (pin == nullptr || ! pin->isInput() || pin->isVirtualPin())
        return std::nullopt;

    return pin->bus;
}

juce::String describe (const GraphNode& node, uint32_t channel)
{
    return node.getName() + "#" + juce::String (node.getId()) + ":" + juce::String (channel);
}
} // namespace

int firstOutputIndex (const GraphNode& node)
{
    int i = 0;

    while (i < node.getPinCount() && node.getPin (i)->isInput())
        ++i;

    return i;
}

bool isVectorSide (const GraphNode& node, bool inputs)
{
    const auto* first = node.getPin (inputs ? 0 : firstOutputIndex (node));
    return first != nullptr && first->isInput() == inputs && first->isVectorPin();
}

uint32_t channelsOf (const GraphNode& node, bool inputs)
{
    const int inputPins = firstOutputIndex (node);

    if ((inputs ? inputPins : node.getPinCount() - inputPins) == 0)
        return 0;

    if (! isVectorSide (node, inputs))
        return (uint32_t) (inputs ? inputPins : node.getPinCount() - inputPins);

    return RoutingNodeAttribution::getSideWidth (node, inputs);
}

juce::StringArray findRoutingBreaches (const GraphData& graph)
{
    juce::StringArray breaches;

    for (int i = 0; i < graph.getNumConnections(); ++i)
    {
        const auto* c = graph.getConnection (i);
        const auto* source = graph.findNodeById (c->sourceNode);
        const auto* destination = graph.findNodeById (c->destNode);

        if (c->flag != 0 || source == nullptr || destination == nullptr)
            continue;

        const auto written = outputChannelValue (*source, c->sourcePin);
        const auto read = inputChannelValue (*destination, c->destPin);

        if (! written.has_value() || ! read.has_value())
            continue;

        if (isMarker (*written) || *written != *read)
            breaches.add (describe (*source, c->sourcePin) + " writes " + juce::String (*written) + ", " +
                          describe (*destination, c->destPin) + " reads " + juce::String (*read));
    }

    std::map<int, juce::String> writers;

    for (int n = 0; n < graph.getNumNodes(); ++n)
    {
        const auto& node = *graph.getNode (n);
        for (uint32_t channel = 0; channel < channelsOf (node, false); ++channel)
        {
            const auto value = outputChannelValue (node, channel);

            if (! value.has_value() || ! isRoutingNode (*value))
                continue;

            const auto writer = describe (node, channel);
            const auto [it, added] = writers.emplace (*value, writer);

            if (! added)
                breaches.add (writer + " and " + it->second + " both write node " + juce::String (*value));
        }
    }

    return breaches;
}

juce::StringArray findUnwrittenReads (const GraphData& graph)
{
    std::set<int> written;

    for (int n = 0; n < graph.getNumNodes(); ++n)
        for (uint32_t channel = 0; channel < channelsOf (*graph.getNode (n), false); ++channel)
            if (const auto value = outputChannelValue (*graph.getNode (n), channel))
                written.insert (*value);

    juce::StringArray reads;

    for (int n = 0; n < graph.getNumNodes(); ++n)
    {
        const auto& node = *graph.getNode (n);

        for (uint32_t channel = 0; channel < channelsOf (node, true); ++channel)
        {
            const auto value = inputChannelValue (node, channel);

            if (value.has_value() && isRoutingNode (*value) && written.count (*value) == 0)
                reads.addIfNotAlreadyThere ("of " + node.getPin (isVectorSide (node, true) ? 0 : (int) channel)->name + " of " +
                                            node.getName() + " #" + juce::String (node.nrpn));
        }
    }

    return reads;
}

std::map<uint32_t, int64_t> findReservedMemory (const juce::String& memoryText, const juce::String& startSymbol)
{
    std::set<juce::String> chain{ startSymbol };
    std::map<juce::String, int64_t> sizes; // by name: the plain alternative, written last, wins

    for (const auto& line : juce::StringArray::fromLines (memoryText))
    {
        if (! line.startsWith ("#define\t") || ! line.contains ("_NEXTBASE\t"))
            continue;

        const auto name =
            line.fromFirstOccurrenceOf ("#define\t", false, false).upToFirstOccurrenceOf ("_NEXTBASE", false, false);
        const auto value = line.fromFirstOccurrenceOf ("((", false, false).upToFirstOccurrenceOf ("))", false, false);
        const auto base = value.upToFirstOccurrenceOf ("+0x", false, false);

        if (chain.count (base) == 0)
            continue;

        chain.insert (name + "_NEXTBASE");
        sizes[name] = value.contains ("+0x") ? value.fromFirstOccurrenceOf ("+0x", false, false).getHexValue64() : 0;
    }

    std::map<uint32_t, int64_t> reserved;

    // "MEMADDR_DSP" or "MEMADDR_DSPINIT", then the DSP id in two hexadecimal digits.
    for (const auto& [name, size] : sizes)
    {
        const auto dsp = name.fromFirstOccurrenceOf ("MEMADDR_DSP", false, false).trimCharactersAtStart ("INIT");
        reserved[(uint32_t) dsp.substring (0, 2).getHexValue32()] += size;
    }

    return reserved;
}

juce::String goldenText (const juce::String& name, const juce::String& actual)
{
    const auto file = getSourceDirectory().getChildFile ("tests/generator/golden").getChildFile (name);

    if (juce::SystemStats::getEnvironmentVariable ("VX_UPDATE_GOLDEN", {}).isNotEmpty())
        writeTextToFile (actual, file, false);

    return file.loadFileAsString();
}
} // namespace generatortest
