#include "GenerationTestProject.h"

#include "HandlerTestDesigns.h"

#include "generator/IdeProjectFile.h"
#include "model/DesignLog.h"

#include "modulesdef/ModulesDefText.h"

namespace generatortest
{
namespace
{
const char* const feedbackModule = R"(
capacity 16
version 68

module "FeedbackFx"
    id 0x0071
    kind 0x8003
    dsp-inputs 2
    dsp-outputs 2
    own-cycles 200
    ram-budget 4096
    rate-class 2
    function "Fbx_InitDsp"
        form 0
        returns 0
        params 1
        words (4,2,0)
    end
    second-function "Fbx_SetInputRoute"
        form 0
        returns 0
        params 3
        words (4,2,0) (4,0,1) (4,0,2)
    end
    second-function "Fbx_SetOutputRoute"
        form 0
        returns 0
        params 3
        words (4,2,0) (4,0,1) (4,0,2)
    end
    process "Canceller" pcs
        id 0x0051
        inputs 1
        outputs 1
        cycles per-channel 40 base 10
        ram per-channel 8 base 8
        setup "Fbc_Init"
            form 0
            returns 0
            params 2
            words dict 0
        end
        pin "In" in vector
        pin "Out" out vector
    end
end
)";
} // namespace

modulesdef::LibraryDescription projectDescription()
{
    auto description = generatorDescription();
    addControlProcesses (description);
    description.modules.push_back (modulesdef::ModulesDefText::parse (feedbackModule).modules[0]);

    // The pitch-shifter module takes the S/PDIF designs; it must not overload.
    for (auto& module : description.modules)
        if (module.id == pitchFxModule)
            module.dspRamBudget = 4096;

    return description;
}

TestProject::TestProject() : TestProject (projectDescription()) {}

TestProject::TestProject (const modulesdef::LibraryDescription& description)
    : folder (root.getFile().getChildFile ("Proj Folder")), outputDirectory (folder.getChildFile ("out")),
      projectFile (folder.getChildFile ("My Design.zqp")), reader (readLibrary (description)), library (reader->getLibrary())
{
    folder.createDirectory();
    projectFile.create();
    design.setLibrary (&library);
    design.getSettings().setProjectFile (projectFile.getFullPathName());
    design.getSettings().setProjectFolder (folder.getFullPathName());
    outputDirectory.createDirectory();
    design.getSettings().setOutputDirectory (outputDirectory.getFullPathName());
}

TestProject::~TestProject()
{
    design.setLibrary (nullptr);
    root.getFile().deleteRecursively();
}

DspSlot& TestProject::addDsp (uint32_t dspId, uint32_t moduleId)
{
    auto& bus = design.getBusGraph();
    bus.addNode ("DSP", false, nullptr, 0.1, 0.1);
    bus.setNodeId (bus.getLastAddedNode()->getId(), dspId);
    return *design.addDsp (dspId, moduleId);
}

GraphData& TestProject::graph (uint32_t dspId)
{
    return design.findDsp (dspId)->getGraph();
}

GraphNode& TestProject::add (uint32_t dspId, const juce::String& processName, uint32_t channelCount)
{
    return placeProcess (library, dspId, library.findDsp (dspId)->moduleId, graph (dspId), processName, channelCount);
}

void TestProject::connect (uint32_t dspId, const GraphNode& source, uint32_t sourcePin, const GraphNode& destination,
                           uint32_t destinationPin)
{
    graph (dspId).addConnection (source.getId(), sourcePin, destination.getId(), destinationPin);
}

void TestProject::dspInput (uint32_t dspId, const GraphNode& node, uint32_t pin, int number)
{
    graph (dspId).addBusPin (node.getId(), pin, 1, "DSPIN" + juce::String (number));
}

void TestProject::dspOutput (uint32_t dspId, const GraphNode& node, uint32_t pin, int number)
{
    graph (dspId).addBusPin (node.getId(), pin, 0, "DSPOUT" + juce::String (number));
}

GraphNode& TestProject::addChainDsp (uint32_t dspId, const juce::StringArray& processNames,
                                     const std::vector<uint32_t>& channelCounts)
{
    jassert (! processNames.isEmpty());
    addDsp (dspId);
    GraphNode* previous = nullptr;

    for (int i = 0; i < processNames.size(); ++i)
    {
        auto& node = add (dspId, processNames[i], (size_t) i < channelCounts.size() ? channelCounts[(size_t) i] : 0);

        if (previous == nullptr)
            dspInput (dspId, node, 0, 0);
        else
            connect (dspId, *previous, 0, node, 0);

        previous = &node;
    }

    dspOutput (dspId, *previous, 0, 0);
    return *previous;
}

GraphNode& TestProject::addDelayDsp (uint32_t dspId)
{
    return addChainDsp (dspId, { "ShortDelay" });
}

void TestProject::busConnect (uint32_t sourceDsp, uint32_t sourceChannel, uint32_t destinationDsp, uint32_t destinationChannel)
{
    design.getBusGraph().addConnection (sourceDsp, sourceChannel, destinationDsp, destinationChannel);
}

void TestProject::chipPin (uint32_t dspId, uint32_t channel, bool input, const juce::String& name)
{
    design.getBusGraph().addBusPin (dspId, channel, input ? 1 : 0, name);
}

juce::String TestProject::generate (bool commandVariant)
{
    GenerationDriver driver (design, mainBus);
    return generate (driver, commandVariant);
}

juce::String TestProject::generate (GenerationDriver& driver, bool commandVariant)
{
    clearLog();
    driver.generateSourceFiles (commandVariant);
    return withPlaceholder (getLogText(), outputDirectory);
}

juce::StringArray TestProject::listOutput() const
{
    juce::StringArray names;

    for (const auto& entry : juce::RangedDirectoryIterator (outputDirectory, false, "*", juce::File::findFilesAndDirectories))
        names.add (entry.getFile().getFileName());

    names.sort (true);
    return names;
}

juce::String TestProject::read (const juce::String& name) const
{
    return outputDirectory.getChildFile (name).loadFileAsString();
}

juce::StringArray TestProject::findFilesMissingFromIdeProject() const
{
    juce::StringArray missing;

    for (const auto& name : IdeProjectFile::readListedFiles (folder.getChildFile ("MyDesign.vtc").loadFileAsString()))
        if (! outputDirectory.getChildFile (name).existsAsFile())
            missing.add (name);

    return missing;
}

void buildFeatureDesign (TestProject& project)
{
    project.addDsp (1);
    auto& eq = project.add (1, "ParamEq8", 4);
    auto& shelf = project.add (1, "ShelfEq2", 2);
    auto& delay = project.add (1, "ShortDelay");
    project.dspInput (1, eq, 0, 0);
    project.connect (1, eq, 0, shelf, 0);
    project.connect (1, shelf, 0, delay, 0);
    project.dspOutput (1, delay, 0, 0);

    project.addDsp (2, feedbackFxModule);
    auto& canceller = project.add (2, "Canceller");
    project.dspInput (2, canceller, 0, 0);
    project.dspOutput (2, canceller, 0, 0);

    project.addDsp (3, pitchFxModule);
    auto& chorus = project.add (3, "Chorus");
    project.dspInput (3, chorus, 0, 0);
    project.dspOutput (3, chorus, 0, 1);

    project.busConnect (1, 0, 2, 0);
    project.busConnect (2, 0, 3, 0);
    project.chipPin (1, 0, true, "DAAD0L");
    project.chipPin (3, 1, false, "DABD3R");
    project.chipPin (2, 1, false, "IBUS5");
    project.chipPin (3, 1, true, "IBUS5");
}

juce::String withPlaceholder (const juce::String& log, const juce::File& outputDirectory)
{
    return log.replace (outputDirectory.getFullPathName(), "<out>");
}
} // namespace generatortest
