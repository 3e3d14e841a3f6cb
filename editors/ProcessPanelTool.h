#pragma once

#include "editors/PinToolPanel.h"

class GraphEditorView;

// The tool strip of a DSP page's "Edit" tab: what a click on a process pin
// does in the DSP's process editor ("Connector" draws a connection; "DSP
// Input" and "DSP Output" give the pin the DSP input or output chosen in the
// grid). The grid offers as many inputs or outputs as the DSP's module has,
// eight at most.
class ProcessPanelTool : public PinToolPanel
{
public:
    enum Mode
    {
        connector = 0,
        dspInput,
        dspOutput
    };

    static constexpr int numNames = 8;
    static constexpr juce::uint32 onColour = 0xFFFF8C00;
    static constexpr const char* outputTooltip = "Each DSP Output can be assign at most once except when using BusSendN.";

    static const char* const dspInputNames[numNames];
    static const char* const dspOutputNames[numNames];

    ProcessPanelTool();
    ~ProcessPanelTool() override;

    // The DSP's process editor, whose module limits the grid; none leaves
    // the grid disabled.
    void setProcessEditor (GraphEditorView* editor) noexcept { processEditor = editor; }

    // Enables or disables the first `count` grid buttons (at most the eight
    // there are) and leaves the others.
    void enableGridButtons (bool enable, int count);

    // The DSP inputs or outputs of the module that the grid offers.
    int getModuleIoCount (bool inputs) const;

    // The module changed: the grid offers what the new one has.
    void refreshGrid();

    void paint (juce::Graphics& g) override;

private:
    void modeChosen (int newMode) override;

    GraphEditorView* processEditor = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProcessPanelTool)
};
