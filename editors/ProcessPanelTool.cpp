#include "editors/ProcessPanelTool.h"

#include "editors/GraphEditorView.h"
#include "model/ModuleDefinition.h"

const char* const ProcessPanelTool::dspInputNames[numNames] = { "DSPIN0", "DSPIN1", "DSPIN2", "DSPIN3",
                                                                "DSPIN4", "DSPIN5", "DSPIN6", "DSPIN7" };

const char* const ProcessPanelTool::dspOutputNames[numNames] = { "DSPOUT0", "DSPOUT1", "DSPOUT2", "DSPOUT3",
                                                                 "DSPOUT4", "DSPOUT5", "DSPOUT6", "DSPOUT7" };

ProcessPanelTool::ProcessPanelTool()
{
    setName ("ProcessPanelTool");

    const juce::Colour on (onColour);
    addModeButton ("Connector", { 42, 23, 150, 20 }, on);
    addModeButton ("DSP Input", { 42, 60, 150, 20 }, on);
    addModeButton ("DSP Output", { 42, 83, 150, 20 }, on);
    getModeButton (dspOutput).setTooltip (outputTooltip);
    addGrid (4, 2, { 18, 128 }, on, dspInputNames);
}

ProcessPanelTool::~ProcessPanelTool() = default;

int ProcessPanelTool::getModuleIoCount (bool inputs) const
{
    auto* module = processEditor != nullptr ? processEditor->getDspModule() : nullptr;

    if (module == nullptr)
        return 0;

    // The module's count is a byte; a DSP has eight inputs and outputs.
    return (int) juce::jmin<uint32_t> (inputs ? module->dspInputCount : module->dspOutputCount, numNames);
}

void ProcessPanelTool::enableGridButtons (bool enable, int count)
{
    enableGrid (enable, juce::jlimit (0, numNames, count));
}

void ProcessPanelTool::modeChosen (int newMode)
{
    enableGridButtons (false, numNames);
    chooseFirstName();

    if (newMode == dspInput || newMode == dspOutput)
    {
        const bool inputs = newMode == dspInput;
        relabelGrid (inputs ? dspInputNames : dspOutputNames);

        for (int i = 0; i < getNumGridButtons(); ++i)
            getGridButton (i).setTooltip (inputs ? juce::String() : juce::String (outputTooltip));

        enableGridButtons (true, getModuleIoCount (inputs));
        direction = inputs ? 1 : 0;
    }
}

void ProcessPanelTool::refreshGrid()
{
    if (mode == connector)
        return;

    enableGridButtons (false, numNames);
    enableGridButtons (true, getModuleIoCount (mode == dspInput));
}

void ProcessPanelTool::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour (0xFF232321));
    g.fillRoundedRectangle (7.0f, 11.0f, 222.0f, 168.0f, 5.0f);
    g.setColour (juce::Colour (0xFF404040));
    g.drawRoundedRectangle (11.0f, 15.0f, 214.0f, 160.0f, 3.0f, 1.2f);

    drawSeparator (g, 51.0f, 26.0f, 209.0f);
    drawSeparator (g, 113.0f, 54.0f, 176.0f);
    drawSeparator (g, 119.0f, 54.0f, 176.0f);
}
