#include "HandlerTestDesigns.h"

#include "GenerationTestProject.h"

#include "model/DesignLog.h"

#include "modulesdef/ModulesDefText.h"

#include <stdexcept>

namespace generatortest
{
namespace
{
const char* const controlProcesses = R"(
capacity 16
version 68

module "ControlExtras"
    id 0x0072

    process "BiquadEq4" pcs
        id 0x0240
        kind 0x4001
        inputs 1
        outputs 1
        cycles per-channel 96 base 12
        ram per-channel 40 base 8
        channel-word 0xC004
        setup "BiquadBank_Init"
            form 0
            returns 1
            params 2
            words (4,2,1) (4,2,0) (4,0,4)
        end
        control "Beq_Biquad_UpdateCoeff"
            form 0
            returns 0
            params 4
            label ""
            annotation ""
            words dict 0 dict 4
        end
        control "Beq_Biquad_Flat"
            form 0
            returns 0
            params 3
            label ""
            annotation ""
            words dict 0 (4,2,7)
        end
        control "Beq_SetBandCount"
            form 0
            returns 0
            params 3
            label "Bands"
            annotation "x,min=1,max=4,def=4,descale=x"
            words dict 0 (4,0,13)
        end
        control "Beq_SetBypass"
            form 0
            returns 0
            params 3
            label "Bypass"
            annotation ""
            words dict 0 dict 6
        end
        control "Beq_SetMasterGain"
            form 0
            returns 0
            params 3
            label "Master"
            annotation "(x-64)/2,min=16,max=94,def=64,descale=2*x+64"
            words dict 0 dict 2
        end
        control "Beq_SetType"
            form 0
            returns 0
            params 4
            label "Type"
            annotation ""
            words dict 1 (4,0,16)
        end
        control "Beq_SetQ"
            form 0
            returns 0
            params 4
            label "Q"
            annotation ""
            words dict 1 (4,1,129)
        end
        control "Beq_SetFrequency"
            form 0
            returns 0
            params 4
            label "Frequency"
            annotation ""
            words dict 1 (12,1,64)
        end
        control "Beq_SetGain"
            form 0
            returns 0
            params 4
            label "Gain"
            annotation ""
            words dict 1 dict 2
        end
        pin "In" in vector
        pin "Out" out vector
    end

    process "PitchShift" pcs
        id 0x0241
        inputs 1
        outputs 1
        cycles per-channel 30 base 10
        ram per-channel 4 base 4
        channel-word 0xC001
        control "Pitch_ShiftAmount"
            form 0
            returns 0
            params 4
            label "Shift"
            annotation "x-64,min=40,max=88,def=64,descale=x+64"
            words dict 1 (4,0,5)
        end
        control "Pitch_SetRatio"
            form 0
            returns 0
            params 6
            label "Ratio"
            annotation "x,min=0,max=24,def=12,descale=x"
            words dict 1 var22 "RATIO_TABLE, 12," (4,0,4) (4,0,16)
        end
        control "Pitch_Freeze"
            form 0
            returns 0
            params 0
            label "Freeze"
            annotation ""
        end
        pin "In" in vector
        pin "Out" out vector
    end

    process "LevelReader" sps
        id 0x0042
        inputs 1
        outputs 0
        cycles per-channel 4 base 2
        ram per-channel 1 base 1
        control "Level_GetCurrentLevel"
            form 0
            returns 1
            params 3
            label "Level"
            annotation "x,min=0,max=127,def=0"
            words (4,0,4) dict 1
        end
        pin "In" in vector
    end

    process "TapDelay" pcs
        id 0x0244
        inputs 1
        outputs 1
        cycles per-channel 4 base 2
        ram per-channel 1 base 1
        channel-word 0x1001
        setup "Tap_Init"
            form 0
            returns 1
            params 2
            words (4,2,1) (4,2,0) (4,0,13)
        end
        control "Tap_SetTime"
            form 0
            returns 0
            params 5
            label "Time"
            annotation "x,min=0,max=1000,def=0,descale=x"
            words dict 1 (4,0,13) (4,1,3)
        end
        pin "In" in vector
        pin "Out" out vector
    end
end
)";

void buildMixedControls (DspPlace& dsp)
{
    auto& pitch = dsp.add ("PitchShift");
    auto& eq4 = dsp.add ("BiquadEq4");
    auto& eq8 = dsp.add ("ParamEq8", 2);
    auto& compressor = dsp.add ("Compressor", 1);
    auto& delay = dsp.add ("LongDelay", 2);
    auto& meter = dsp.add ("LevelReader", 0, "Input level");
    dsp.dspInput (eq4, 0, 0);
    dsp.connect (eq4, 0, eq8, 0);
    dsp.connect (eq8, 0, compressor, 0);
    dsp.connect (compressor, 0, delay, 0);
    dsp.connect (delay, 0, pitch, 0);
    dsp.dspOutput (pitch, 0, 0);
    dsp.dspInput (meter, 0, 1);

    for (auto* node : { &pitch, &eq4, &eq8, &compressor, &delay, &meter })
        assignCommandWords (*node);
}

// A delay placed first, fed by a stereo equaliser: the mono delay feeding the
// equaliser would leave its second channel unwritten.
GraphNode& addEqualiserAndDelay (DspPlace& dsp)
{
    auto& delay = dsp.add ("ShortDelay");
    auto& eq = dsp.add ("ParamEq8", 2);
    dsp.dspInput (eq, 0, 0);
    dsp.connect (eq, 0, delay, 0);
    dsp.dspOutput (delay, 0, 0);
    assignCommandWords (delay);
    assignCommandWords (eq);
    delay.commandWords[0] |= 0xFFFF;
    return eq;
}

void buildLiteControls (DspPlace& dsp)
{
    auto& gain = dsp.add ("Gain");
    auto& distortion = dsp.add ("HQDistortion_Q0");
    auto& send = dsp.add ("BusSend");
    dsp.dspInput (gain, 0, 0);
    dsp.connect (gain, 0, distortion, 0);
    dsp.connect (distortion, 0, send, 0);
    dsp.dspOutput (send, 0, 0);

    for (auto* node : { &gain, &distortion, &send })
        assignCommandWords (*node);
}

// An equaliser and a delay whose time is no control: every control of
// the DSP is a band parameter of the equaliser.
void buildBiquadOnly (DspPlace& dsp)
{
    auto& eq = addEqualiserAndDelay (dsp);

    for (auto& word : eq.commandWords)
        if (word != 0 && (word & 0x80000000u) == 0)
            word |= 0xFFFF;
}

// An equaliser whose band parameters are served like any other control.
void buildEmptyBiquadTable (DspPlace& dsp)
{
    auto& eq = addEqualiserAndDelay (dsp);

    for (auto& word : eq.commandWords)
        word &= ~0x80000000u;
}

// Processes whose command words carry no control.
void buildNoControls (DspPlace& dsp)
{
    auto& compressor = dsp.add ("Compressor", 1);
    auto& delay = dsp.add ("LongDelay");
    dsp.dspInput (compressor, 0, 0);
    dsp.connect (compressor, 0, delay, 0);
    dsp.dspOutput (delay, 0, 0);
    assignCommandWords (compressor);
    assignCommandWords (delay);

    for (auto& word : compressor.commandWords)
        word &= 0xFFFF0000u;

    for (auto& word : delay.commandWords)
        word |= 0xFFFF;
}
} // namespace

void addControlProcesses (modulesdef::LibraryDescription& description)
{
    const auto extras = modulesdef::ModulesDefText::parse (controlProcesses);

    for (auto& module : description.modules)
        if (module.id == fullCoreModule)
            for (auto& process : extras.modules[0].processes)
                module.processes.push_back (process);
}

modulesdef::LibraryDescription handlerDescription()
{
    auto description = generatorDescription();
    addControlProcesses (description);
    return description;
}

void assignCommandWords (GraphNode& node)
{
    const auto& definition = *node.getProcessDefinition();
    const auto kind = definition.hasKind ? definition.processKind : 0u;
    const bool bandSpaced = isBiquadProcessKind (kind) || kind == 0x4004;
    uint32_t runningIndex = 0;

    node.commandWords.assign ((size_t) definition.getSecondFunctionCount(), 0);
    node.commandWordCount = 0;

    for (int i = 0; i < definition.getSecondFunctionCount(); ++i)
    {
        const auto& function = *definition.secondFunctions[i];

        if (function.functionNumber < 0)
            continue;

        const bool indexed = function.hasIndexParameter();
        const auto id = (uint32_t) function.functionNumber | (indexed ? 0x4000u : 0u);
        auto word = (((id << 8) | node.nrpn) << 8) | runningIndex;

        if (indexed && function.valid)
            word |= 0x80000000u;

        node.commandWords[(size_t) i] = word;
        ++node.commandWordCount;
        runningIndex += indexed ? (bandSpaced ? 31 : node.getChannelCount()) : 1;
    }
}

const std::vector<HandlerDesign>& getHandlerDesigns()
{
    static const std::vector<HandlerDesign> designs{
        { "mixedControls", fullCoreModule, buildMixedControls }, { "liteControls", liteCoreModule, buildLiteControls },
        { "biquadOnly", fullCoreModule, buildBiquadOnly },       { "emptyBiquadTable", fullCoreModule, buildEmptyBiquadTable },
        { "noControls", fullCoreModule, buildNoControls },
    };

    return designs;
}

const HandlerDesign& getHandlerDesign (const juce::String& name)
{
    for (auto& design : getHandlerDesigns())
        if (name == design.name)
            return design;

    throw std::runtime_error ("no handler design " + name.toStdString());
}

GeneratedHandler generateHandler (const HandlerDesign& design, bool commandVariant, uint32_t dspId,
                                  const modulesdef::LibraryDescription& description)
{
    clearLog();
    auto reader = readLibrary (description);
    auto& library = reader->getLibrary();
    GenerationContext context;
    context.setSamplingRateKhz (48.0);
    TestDsp dsp (library, dspId, design.moduleId, context);
    design.build (dsp);

    GeneratedHandler generated;
    uint8_t features = 0;
    dsp.generator.writeDspSource (library, dspId, generated.source, features, commandVariant);
    generated.handler = generated.source;

    if (commandVariant)
        dsp.generator.writeCommandHandler (library, dspId, generated.handler, generated.handlerNames);
    else
        dsp.generator.writeNrpnHandler (library, dspId, generated.handler, generated.handlerNames);

    generated.log = getLogText();
    clearLog();
    return generated;
}

void buildControlProject (TestProject& project)
{
    const char* const designs[] = { "mixedControls", "liteControls", "biquadOnly", "emptyBiquadTable" };
    uint32_t dspId = 0;

    for (auto* name : designs)
    {
        const auto& design = getHandlerDesign (name);
        project.addDsp (++dspId, design.moduleId);
        DspPlace place{ project.library, dspId, design.moduleId, project.graph (dspId) };
        design.build (place);
    }
}

juce::String renderHandler (const GeneratedHandler& generated)
{
    return "=== handler\n" + generated.handler.body + "=== declarations\n" + generated.handler.declarations + "=== log\n" +
           generated.log;
}
} // namespace generatortest
