#include "PanelTestDesigns.h"

#include "GeneratorTestSupport.h"

#include "model/ModuleLibrary.h"
#include "model/ParameterDescriptor.h"

#include "modulesdef/ModulesDefText.h"

#include <stdexcept>

namespace paneltest
{
namespace
{
// Processes for the panel descriptions beside the sample's: a four-band
// equaliser whose bands are set through the equaliser block only, a
// compressor with a meter and every reference, a delay counted in ms, a
// meter read through a level function, a pitch shifter and a console with
// twelve controls. Dictionary entries 0 (DSP and process) and 1 (and the
// channel index) are the sample's.
const char* const panelModule = R"(
capacity 16
version 68

module "PanelExtras"
    id 0x0072

    process "EqBand4" pcs
        id 0x0240
        kind 0x4001
        inputs 1
        outputs 1
        channel-word 0x2004
        control "Eq4_Biquad_UpdateCoeff"
            form 0
            returns 0
            params 4
            label "Update"
            annotation "x"
            words dict 0 (4,2,6) (4,2,7)
        end
        control "Eq4_Biquad_Flat"
            form 0
            returns 0
            params 3
            label ""
            annotation ""
            words dict 0 (4,2,7)
        end
        control "Eq4_SetType"
            form 0
            returns 0
            params 4
            label ""
            annotation ""
            words dict 1 (4,0,25)
        end
        control "Eq4_SetQ"
            form 0
            returns 0
            params 4
            label ""
            annotation ""
            words dict 1 (4,1,129)
        end
        control "Eq4_SetFrequency"
            form 0
            returns 0
            params 4
            label ""
            annotation ""
            words dict 1 (4,1,64)
        end
        control "Eq4_SetGain"
            form 0
            returns 0
            params 4
            label ""
            annotation ""
            words dict 1 (4,1,128)
        end
        control "Eq4_SetBypass"
            form 0
            returns 0
            params 3
            label "Bypass"
            annotation ""
            words dict 0 (4,0,18)
        end
        pin "In" in vector
        pin "Out" out vector
    end

    process "Comp2" pcs
        id 0x0241
        kind 0x4002
        inputs 1
        outputs 1
        control "Comp2_GetReduction"
            form 0
            returns 1
            params 2
            label "Reduction"
            annotation "x"
            words (4,0,4) dict 0
        end
        control "Comp2_SetThreshold"
            form 0
            returns 0
            params 3
            label "Threshold"
            annotation "(x-64)/2,min=0,max=127,def=100,descale=2*x+64"
            words dict 0 (4,1,128)
        end
        control "Comp2_SetBoost"
            form 0
            returns 0
            params 3
            label "Boost"
            annotation "x/2,min=0,max=48,def=0"
            words dict 0 (4,1,128)
        end
        control "Comp2_SetRatio"
            form 0
            returns 0
            params 3
            label "Ratio"
            annotation "x/10,min=10,max=200,def=40"
            words dict 0 (4,1,131)
        end
        control "Comp2_SetAttack"
            form 0
            returns 0
            params 3
            label "Attack"
            annotation "x/fs,min=1,max=500"
            words dict 0 (4,1,3)
        end
        control "Comp2_SetEnable"
            form 0
            returns 0
            params 3
            label "Enable"
            annotation ""
            words dict 0 (4,0,16)
        end
        pin "In" in vector
        pin "Out" out vector
    end

    process "DelayLine" sps
        id 0x0242
        inputs 1
        outputs 1
        channel-word 0x1001
        control "Delay_SetLength"
            form 0
            returns 0
            params 3
            label "TimeDelay"
            annotation "x"
            words dict 0 (4,0,5)
        end
        control "Delay_SetTime"
            form 0
            returns 0
            params 3
            label "Time"
            annotation "x"
            words dict 0 (4,1,3)
        end
        control "Delay_SetMix"
            form 0
            returns 0
            params 3
            label "Mix"
            annotation "x/1.27,min=0,max=127,def=64"
            words dict 0 (4,0,5)
        end
        pin "In" in vector
        pin "Out" out vector
    end

    process "Analyser" sps
        id 0x0243
        inputs 1
        outputs 1
        control "Analyser_GetLevel"
            form 0
            returns 1
            params 2
            label "Level"
            annotation "x"
            words (4,0,28) dict 0
        end
        pin "In" in vector
        pin "Out" out vector
    end

    process "PitchShift" sps
        id 0x0244
        inputs 1
        outputs 1
        control "Pitch_SetShiftAmount"
            form 0
            returns 0
            params 3
            label "ShiftAmount"
            annotation "x-64,min=40,max=88,def=64"
            words dict 0 (4,0,6)
        end
        control "Pitch_SetBias"
            form 0
            returns 0
            params 3
            label "PitchBias"
            annotation "x,min=0,max=127,def=0"
            words dict 0 (4,0,5)
        end
        pin "In" in vector
        pin "Out" out vector
    end
)";

// Twelve level controls: a column break in the middle.
std::string makeConsole()
{
    std::string text = "    process \"Console12\" sps\n        id 0x0245\n        inputs 1\n        outputs 1\n";

    for (int i = 1; i <= 12; ++i)
        text += "        control \"Console_SetLevel" + std::to_string (i) +
                "\"\n            form 0\n            returns 0\n"
                "            params 3\n            label \"Level " +
                std::to_string (i) +
                "\"\n"
                "            annotation \"x-96,min=0,max=96,def=90\"\n            words dict 0 (4,1,130)\n        end\n";

    return text + "        pin \"In\" in vector\n        pin \"Out\" out vector\n    end\nend\n";
}
} // namespace

const std::vector<PanelDesign>& getPanelDesigns()
{
    static const std::vector<PanelDesign> designs = {
        { "eqBand4", panelModuleId, "EqBand4", 4, 2, 3 },
        { "shelfEq2", sampleModuleId, "ShelfEq2", 2, 1, 1 },
        { "paramEq8", sampleModuleId, "ParamEq8", 2, 3, 7 },
        { "compressor", panelModuleId, "Comp2", 0, 1, 2 },
        { "sampleCompressor", sampleModuleId, "Compressor", 2, 1, 4 },
        { "limiter", sampleModuleId, "Limiter", 2, 4, 9 },
        { "compander", sampleModuleId, "Compander", 2, 2, 5 },
        { "delayLine", panelModuleId, "DelayLine", 0, 1, 6, 44.1, 500.0, 1 },
        { "delayLineSingleMemory", panelModuleId, "DelayLine", 0, 1, 6, 96.0, 250.0, 3 },
        { "mixer", liteModuleId, "Mixer4x2", 4, 1, 8 },
        { "hqDistortion", liteModuleId, "HQDistortion_Q0", 2, 1, 10 },
        { "levelMeter", sampleModuleId, "LevelMeter", 2, 16, 11 },
        { "analyser", panelModuleId, "Analyser", 0, 1, 12 },
        { "pitchShift", panelModuleId, "PitchShift", 0, 1, 13 },
        { "console12", panelModuleId, "Console12", 0, 1, 14 },
        { "sampleBank", sampleModuleId, "SampleBank", 0, 1, 15, 192.0 },
        { "busSend", liteModuleId, "BusSend", 0, 1, 16 },
        { "gainWithLaw", liteModuleId, "Gain", 1, 1, 17 },
    };
    return designs;
}

ModuleLibrary& getPanelLibrary()
{
    static const auto reader = []
    {
        auto description = generatortest::sampleDescription();
        const auto extras = modulesdef::ModulesDefText::parse (std::string (panelModule) + makeConsole());
        const auto& module = extras.modules[0];
        description.modules.push_back (module);
        return generatortest::readLibrary (description);
    }();

    return reader->getLibrary();
}

const ProcessDefinition& findProcess (uint32_t moduleId, const juce::String& name)
{
    const auto* module = getPanelLibrary().findModuleById (moduleId);

    if (module != nullptr)
        for (const auto& process : module->getProcesses())
            if (juce::String (process->name) == name)
                return *process;

    throw std::runtime_error ("no process " + name.toStdString());
}

std::unique_ptr<GraphNode> makeNode (const PanelDesign& design)
{
    const auto& definition = findProcess (design.moduleId, design.processName);
    auto node = std::make_unique<GraphNode> (1, design.nrpn, design.processName, true, &definition, 0.5, 0.5);

    if (design.channels > 0)
        node->channelWord = (node->channelWord & ~GraphNode::channelCountMask) | design.channels;

    node->memoryWord = design.memoryWord;
    node->buildControlIds();
    return node;
}
} // namespace paneltest
