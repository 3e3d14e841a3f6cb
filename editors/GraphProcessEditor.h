#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>
#include <memory>

class Design;
class DspEditor;
class DspEditorHost;
class GraphData;
class ProcessEditor;

// The large surface a DSP page scrolls over: it holds the process editor of
// the DSP's graph, leaving a strip of 20 pixels at its foot.
class GraphProcessEditor : public juce::Component
{
public:
    static constexpr int size = 2000;
    static constexpr int footHeight = 20;

    GraphProcessEditor (GraphData& graph, Design& design, DspEditorHost& host, uint32_t dspId, DspEditor* page);
    ~GraphProcessEditor() override;

    ProcessEditor& getProcessEditor() const noexcept { return *processEditor; }

    void resized() override;

private:
    std::unique_ptr<ProcessEditor> processEditor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GraphProcessEditor)
};
