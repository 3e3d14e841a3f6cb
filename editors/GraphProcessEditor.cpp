#include "editors/GraphProcessEditor.h"

#include "editors/ProcessEditor.h"

GraphProcessEditor::GraphProcessEditor (GraphData& graph, Design& design, DspEditorHost& host, uint32_t dspId, DspEditor* page)
{
    setName ("GraphProcessEditor");
    processEditor = std::make_unique<ProcessEditor> (graph, design, host, dspId);
    processEditor->setDspEditor (page);
    addAndMakeVisible (*processEditor);
    setSize (size, size);
}

GraphProcessEditor::~GraphProcessEditor() = default;

void GraphProcessEditor::resized()
{
    processEditor->setBounds (0, 0, getWidth(), juce::jmax (0, getHeight() - footHeight));
}
