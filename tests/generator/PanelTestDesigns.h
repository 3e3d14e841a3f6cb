#pragma once

#include "model/GraphNode.h"
#include "model/ModulesDefReader.h"

#include <juce_core/juce_core.h>

#include <memory>
#include <vector>

// Process boxes whose control-panel descriptions the tests write: every line
// kind, message form and process kind, on the sample library and a module of
// panel processes of our own (id 0x0072).
namespace paneltest
{
constexpr uint32_t sampleModuleId = 0x0021;
constexpr uint32_t liteModuleId = 0x0022;
constexpr uint32_t panelModuleId = 0x0072;

struct PanelDesign
{
    const char* name;
    uint32_t moduleId;
    const char* processName;
    uint32_t channels = 0; // 0 keeps the definition's count
    uint32_t dspId = 1;
    uint32_t nrpn = 1;
    double rateKhz = 48.0;
    double sliderValue = 1.0;
    uint32_t memoryWord = 1;
};

const std::vector<PanelDesign>& getPanelDesigns();

// The sample library with the panel module, read by the program's reader.
ModuleLibrary& getPanelLibrary();

const ProcessDefinition& findProcess (uint32_t moduleId, const juce::String& name);

// The node of a design, with its command words built as the process editor
// builds them: the process's nrpn in the high byte and a running control
// index in the low byte, none for a function without a number.
std::unique_ptr<GraphNode> makeNode (const PanelDesign& design);
} // namespace paneltest
