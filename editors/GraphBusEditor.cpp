#include "editors/GraphBusEditor.h"

#include "editors/BusEditor.h"
#include "model/Design.h"

GraphBusEditor::GraphBusEditor (Design& design, DspEditorHost& host, BusPanelTool* panelTool)
    : busEditor (std::make_unique<BusEditor> (design, host, panelTool))
{
    setName ("GraphBusEditor");
    addAndMakeVisible (*busEditor);
    busEditor->synchronise();
}

GraphBusEditor::~GraphBusEditor() = default;

void GraphBusEditor::resized()
{
    busEditor->setBounds (0, 0, getWidth(), juce::jmax (0, getHeight() - footHeight));
}
