#include "editors/BusPanelTool.h"

const char* const BusPanelTool::audioOutputNames[numNames] = { "DABD0L", "DABD0R", "DABD1L", "DABD1R", "DABD2L", "DABD2R",
                                                               "DABD3L", "DABD3R", "DABD4L", "DABD4R", "DABD5L", "DABD5R",
                                                               "DABD6L", "DABD6R", "DABD7L", "DABD7R" };

const char* const BusPanelTool::audioInputNames[numNames] = { "DAAD0L", "DAAD0R", "DAAD1L", "DAAD1R", "DAAD2L", "DAAD2R",
                                                              "DAAD3L", "DAAD3R", "DAAD4L", "DAAD4R", "DAAD5L", "DAAD5R",
                                                              "DAAD6L", "DAAD6R", "DAAD7L", "DAAD7R" };

const char* const BusPanelTool::internalBusNames[numNames] = { "IBUS0", "IBUS1", "IBUS2", "IBUS3", "IBUS4", "IBUS5",
                                                               "IBUS6", "IBUS7", "IBUS8", "IBUS9", "IBUSA", "IBUSB",
                                                               "IBUSC", "IBUSD", "IBUSE", "IBUSF" };

BusPanelTool::BusPanelTool()
{
    setName ("BusPanelTool");

    const juce::Colour on (onColour);
    addModeButton ("Connector", { 60, 20, 150, 20 }, on);
    addModeButton ("Audio Input", { 60, 53, 150, 20 }, on);
    addModeButton ("Audio Output", { 60, 74, 150, 20 }, on);
    addModeButton ("Internal Bus", { 60, 109, 150, 20 }, on);
    addGrid (4, 4, { 34, 155 }, on, audioOutputNames);
}

BusPanelTool::~BusPanelTool() = default;

void BusPanelTool::modeChosen (int newMode)
{
    enableGrid (true, getNumGridButtons());
    chooseFirstName();

    switch (newMode)
    {
        case audioInput:
            relabelGrid (audioInputNames);
            direction = 1;
            break;
        case audioOutput:
            relabelGrid (audioOutputNames);
            direction = 0;
            break;
        case internalBus: relabelGrid (internalBusNames); break;
        default: enableGrid (false, getNumGridButtons()); break;
    }
}

void BusPanelTool::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour (0xFF232321));
    g.fillRoundedRectangle (23.0f, 9.0f, 222.0f, 238.0f, 6.0f);
    g.setColour (juce::Colour (0xFF404040));
    g.drawRoundedRectangle (27.0f, 13.0f, 214.0f, 230.0f, 6.0f, 1.5f);

    drawSeparator (g, 46.0f, 40.0f, 226.0f);
    drawSeparator (g, 102.0f, 40.0f, 226.0f);
    drawSeparator (g, 138.0f, 90.0f, 176.0f);
    drawSeparator (g, 144.0f, 90.0f, 176.0f);
}
