#pragma once

#include "editors/PinToolPanel.h"

// The tool palette at the right of the bus editor: what a click on a DSP pin
// does ("Connector" draws a connection; "Audio Input", "Audio Output" and
// "Internal Bus" give the pin the chip pin name chosen in the grid below).
class BusPanelTool : public PinToolPanel
{
public:
    enum Mode
    {
        connector = 0,
        audioInput,
        audioOutput,
        internalBus
    };

    static constexpr int numNames = 16;
    static constexpr juce::uint32 onColour = 0xFFFFA500;
    static constexpr int panelWidth = 262;

    // The chip pin names of each naming mode, in grid order.
    static const char* const audioOutputNames[numNames];
    static const char* const audioInputNames[numNames];
    static const char* const internalBusNames[numNames];

    BusPanelTool();
    ~BusPanelTool() override;

    void paint (juce::Graphics& g) override;

private:
    void modeChosen (int newMode) override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BusPanelTool)
};
