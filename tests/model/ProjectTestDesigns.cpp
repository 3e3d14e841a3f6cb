#include "ProjectTestDesigns.h"

#include "model/ModuleLibrary.h"
#include "model/NodeChannelRules.h"

#include "support/DesignDescription.h"

#include "modulesdef/ModulesDefBuilder.h"
#include "modulesdef/ModulesDefText.h"

#include <stdexcept>

namespace projecttest
{
namespace
{
const char* const commandTestModule = R"(
capacity 16
version 68

module "CommandTest"
    id 0x0077
    dsp-inputs 2
    dsp-outputs 2
    process "Twins" pcs
        id 0x0301
        inputs 1
        outputs 1
        cycles per-channel 4 base 2
        ram per-channel 1 base 1
        setup "Twins_Init"
            form 0
            returns 0
            params 2
            words dict 0
        end
        control "Left_SetLevelGain"
            form 0
            returns 0
            params 3
            label "Left"
            annotation ""
            words dict 1
        end
        control "Right_SetLevelGain"
            form 0
            returns 0
            params 3
            label "Right"
            annotation ""
            words dict 1
        end
        control "Twin Set <Gain>"
            form 0
            returns 0
            params 3
            label "Both"
            annotation ""
            words dict 1
        end
        pin "In" in 1
        pin "Out" out 1
    end
    process "ClashingEq" pcs
        id 0x0302
        kind 0x4001
        inputs 1
        outputs 1
        cycles per-channel 4 base 2
        ram per-channel 1 base 1
        channel-word 0xC002
        control "Clash_SetGain"
            form 0
            returns 0
            params 4
            label "Gain"
            annotation "(x-64)/2,min=16,max=94,def=64,descale=2*x+64"
            words dict 1 dict 2
        end
        control "Clash_SetFrequency"
            form 0
            returns 0
            params 4
            label "Frequency"
            annotation "x,min=20,max=20000,def=1000,descale=x"
            words dict 1 dict 3
        end
        control "Clash_SetQ"
            form 0
            returns 0
            params 4
            label "Q"
            annotation "x/100,min=30,max=1200,def=71,descale=x*100"
            words dict 1 (4,1,129)
        end
        control "Clash_SetBypass"
            form 0
            returns 0
            params 4
            label "Bypass"
            annotation ""
            words dict 1 dict 6
        end
        pin "In" in vector
        pin "Out" out vector
    end
end
)";

const ProcessDefinition& findProcess (const ModuleLibrary& library, uint32_t moduleId, const juce::String& name)
{
    if (auto* module = library.findModuleById (moduleId))
        for (auto& process : module->getProcesses())
            if (juce::String (process->name) == name)
                return *process;

    throw std::runtime_error ("no process " + name.toStdString());
}
} // namespace

namespace
{
modulesdef::LibraryDescription sampleDescription()
{
    const auto text = juce::File (VX_SOURCE_DIR).getChildFile ("resources/SampleModules.txt").loadFileAsString();
    return modulesdef::ModulesDefText::parse (text.toStdString());
}

std::unique_ptr<ModulesDefReader> readDescription (const modulesdef::LibraryDescription& description)
{
    const auto bytes = modulesdef::ModulesDefBuilder::build (description);
    auto reader = std::make_unique<ModulesDefReader>();
    reader->open (std::make_unique<juce::MemoryInputStream> (bytes.data(), bytes.size(), true));

    if (reader->parse() < 0)
        throw std::runtime_error ("the test library does not read back");

    return reader;
}
} // namespace

std::unique_ptr<ModulesDefReader> readSampleLibrary()
{
    return readDescription (sampleDescription());
}

std::unique_ptr<ModulesDefReader> readLibrary()
{
    auto description = sampleDescription();
    description.modules.push_back (modulesdef::ModulesDefText::parse (commandTestModule).modules[0]);

    auto reader = readDescription (description);
    reader->getLibrary().clearDsps();
    return reader;
}

juce::String goldenText (const juce::String& name, const juce::String& actual)
{
    const auto file = juce::File (VX_SOURCE_DIR).getChildFile ("tests/model/golden").getChildFile (name);

    if (std::getenv ("VX_UPDATE_GOLDEN") != nullptr)
    {
        file.getParentDirectory().createDirectory();
        file.replaceWithText (actual, false, false, "\n");
    }

    return file.loadFileAsString();
}

juce::String compareDesigns (const Design& expected, const Design& actual)
{
    return designdescription::findFirstDifference (designdescription::describe (expected), designdescription::describe (actual));
}

void DesignBuilder::addDsp (uint32_t id, uint32_t moduleId, double x, double y, const juce::String& name)
{
    if (design.addDsp (id, moduleId) == nullptr)
        throw std::runtime_error ("DSP refused");

    auto& bus = design.getBusGraph();
    bus.addNode (name, false, nullptr, x, y);
    auto* box = bus.getLastAddedNode();
    bus.setNodeId (box->getId(), id);

    if (auto* module = design.getDspModule (id))
    {
        box->inputCount = module->dspInputCount;
        box->outputCount = module->dspOutputCount;
    }
}

GraphNode& DesignBuilder::addProcess (uint32_t dspId, const juce::String& processName, double x, double y, uint32_t channelCount)
{
    auto& definition = findProcess (*design.getLibrary(), design.getDspEntry (dspId)->moduleId, processName);
    auto& graph = design.findDsp (dspId)->getGraph();
    graph.addNode (processName, true, &definition, x, y);
    auto& node = *graph.getLastAddedNode();

    if (channelCount > 0)
        node.channelWord = (node.channelWord & ~GraphNode::channelCountMask) | channelCount;

    NodeChannelRules::followCount (node, node.channelWord);
    node.setMemoryWord (node.memoryWord);

    // As placing the process builds them.
    node.buildControlIds();

    design.getDspEntry (dspId)->addProcessInstance ((int) node.getId(), definition.processId);
    return node;
}

void DesignBuilder::connect (uint32_t dspId, const GraphNode& source, uint32_t sourcePin, const GraphNode& destination,
                             uint32_t destinationPin)
{
    design.findDsp (dspId)->getGraph().addConnection (source.getId(), sourcePin, destination.getId(), destinationPin);
}

void DesignBuilder::setLastSaved (GraphNode& node, std::initializer_list<std::pair<const char*, uint32_t>> controls)
{
    auto& store = node.presetStore;
    store.markBuilding();
    uint32_t number = 1;

    for (auto& control : controls)
        store.addOrUpdateControl (number++, control.first, true);

    store.markBuilt();
    store.selectOrAddPreset (ProcessPresetStore::lastSavedPresetName, 0, true);
    auto& values = store.getCurrentPresetRecord()->values;
    size_t i = 0;

    for (auto& control : controls)
        values[i++] = control.second;
}

// Control numbers of the user's own over the words the box built.
void DesignBuilder::setCommandWords (GraphNode& node, uint32_t seed)
{
    node.buildControlIds();

    for (int j = 0; j < node.commandWordCount; ++j)
    {
        auto& word = node.commandWords[(size_t) j];
        word = (word & 0xFFFF0000u) | ((node.nrpn & 0xFF) << 8) | (seed + (uint32_t) j);
        node.secondCommandWords[(size_t) j] = seed * 3 + (uint32_t) j;
    }
}

void buildSampleDesign (Design& design)
{
    auto& settings = design.getSettings();
    settings.setChipIndex (2);
    settings.setSamplingIndex (3);
    settings.setMemorySizeIndex (3);
    settings.setCommandView (true);

    DesignBuilder b (design);
    b.addDsp (1, studioCore8, 0.25, 0.5);
    b.addDsp (3, studioCoreLite, 0.75, 0.125, "Lite");
    b.addDsp (5, commandTest, 0.5, 0.875, "Commands");

    auto& eq = b.addProcess (1, "ParamEq8", 0.125, 0.25, 2);
    auto& compressor = b.addProcess (1, "Compressor", 0.375, 0.25);
    auto& delay = b.addProcess (1, "LongDelay", 0.625, 0.25, 250);
    b.connect (1, eq, 0, compressor, 0);
    b.connect (1, eq, 1, compressor, 1);
    b.connect (1, compressor, 0, delay, 0);

    auto& dsp1 = design.findDsp (1)->getGraph();
    dsp1.addBusPin (eq.getId(), 0, 1, "DSPIN0");
    dsp1.addBusPin (eq.getId(), 1, 1, "DSPIN1");
    dsp1.addBusPin (delay.getId(), 0, 0, "DSPOUT0");

    DesignBuilder::setLastSaved (eq, { { "Gain", 70 }, { "Frequency", 1000 }, { "Q", 7 } });
    DesignBuilder::setLastSaved (delay, { { "Time", 250 }, { "Feedback", 20 } });
    DesignBuilder::setCommandWords (eq, 0x10);
    DesignBuilder::setCommandWords (compressor, 0x20);

    auto& mixer = b.addProcess (3, "Mixer4x2", 0.25, 0.5);
    auto& gain = b.addProcess (3, "Gain", 0.75, 0.5);
    b.connect (3, mixer, 0, gain, 0);
    DesignBuilder::setLastSaved (gain, { { "Level", 100 } });

    auto& twins = b.addProcess (5, "Twins", 0.5, 0.5);
    DesignBuilder::setCommandWords (twins, 0x30);

    auto& bus = design.getBusGraph();
    bus.addConnection (1, 0, 3, 1);
    bus.addConnection (3, 1, 5, 0);
    bus.addBusPin (1, 0, 1, "DAAD0L");
    bus.addBusPin (3, 1, 0, "DABD0R");
    bus.addBusPin (5, 1, 0, "IBUS3");
}

void buildLargestDesign (Design& design, uint32_t dspCount)
{
    design.getSettings().setChipIndex (5);
    DesignBuilder b (design);
    const char* const processes[] = { "ParamEq8", "Compressor", "Limiter", "ShortDelay", "ShelfEq2", "Compander" };

    for (uint32_t dsp = 1; dsp <= dspCount; ++dsp)
    {
        b.addDsp (dsp, studioCore8, dsp / 17.0, 0.5);
        GraphNode* previous = nullptr;

        for (int i = 0; i < 63; ++i)
        {
            // A static process (the delay) runs once in a DSP: its later
            // places take a limiter.
            const auto* name = i % 6 == 3 && i > 3 ? "Limiter" : processes[i % 6];
            auto& node = b.addProcess (dsp, name, (i % 8) / 8.0, (i / 8) / 8.0);
            DesignBuilder::setLastSaved (node, { { "A", (uint32_t) i }, { "B", 2 }, { "C", 3 }, { "D", 4 } });
            DesignBuilder::setCommandWords (node, (uint32_t) i);

            if (previous != nullptr)
                b.connect (dsp, *previous, 0, node, 0);

            previous = &node;
        }

        if (dsp > 1)
            design.getBusGraph().addConnection (dsp - 1, 0, dsp, 0);
    }
}

void giveEveryProcessTheMostControls (Design& design)
{
    for (int d = 0; d < design.getNumDsps(); ++d)
    {
        auto& graph = design.getDsp (d)->getGraph();

        for (int n = 0; n < graph.getNumNodes(); ++n)
        {
            auto& store = graph.getNode (n)->presetStore;
            store.markBuilding();

            // Fixed controls and secondary ones, as a multi-channel process has.
            for (uint32_t c = (uint32_t) store.getControlCount(); c < (uint32_t) ProcessPresetStore::maxControls; ++c)
                store.addOrUpdateControl (
                    (c + 1) | (c % 2 == 0 ? 0u : ProcessPresetStore::secondaryControlFlag),
                    "Band " + juce::String (c) + " centre frequency of the left and right channels of the filter, in Hz", true);

            store.markBuilt();
            store.selectOrAddPreset (ProcessPresetStore::lastSavedPresetName, 0, true);
            store.padValuesToControlCount();
            auto& values = store.getCurrentPresetRecord()->values;

            for (size_t v = 0; v < values.size(); ++v)
                values[v] = (uint32_t) (v * 7919 + (size_t) n);
        }
    }
}
} // namespace projecttest
