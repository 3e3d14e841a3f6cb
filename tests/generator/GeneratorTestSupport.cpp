#include "GeneratorTestSupport.h"

#include "generator/SourceFiles.h"

#include "modulesdef/ModulesDefBuilder.h"
#include "modulesdef/ModulesDefText.h"

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
    : library (libraryToUse), dspId (id), moduleId (module), generator (graph, context)
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

GraphNode& TestDsp::add (const juce::String& processName, uint32_t channelCount, const juce::String& title)
{
    return placeProcess (library, dspId, moduleId, graph, processName, channelCount, title);
}

void TestDsp::connect (const GraphNode& source, uint32_t sourcePin, const GraphNode& destination, uint32_t destinationPin)
{
    graph.addConnection (source.getId(), sourcePin, destination.getId(), destinationPin);
}

void TestDsp::dspInput (const GraphNode& node, uint32_t pin, int number)
{
    graph.addBusPin (node.getId(), pin, 1, "DSPIN" + juce::String (number));
}

void TestDsp::dspOutput (const GraphNode& node, uint32_t pin, int number)
{
    graph.addBusPin (node.getId(), pin, 0, "DSPOUT" + juce::String (number));
}

int TestDsp::routing (const GraphNode& node, int pin) const
{
    return node.getPin (pin)->bus;
}

juce::String goldenText (const juce::String& name, const juce::String& actual)
{
    const auto file = getSourceDirectory().getChildFile ("tests/generator/golden").getChildFile (name);

    if (juce::SystemStats::getEnvironmentVariable ("VX_UPDATE_GOLDEN", {}).isNotEmpty())
        writeTextToFile (actual, file, false);

    return file.loadFileAsString();
}
} // namespace generatortest
