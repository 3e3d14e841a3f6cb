#pragma once

#include "GeneratorTestSupport.h"

#include <functional>
#include <memory>

// Designs for the control handlers and the NRPN list: processes of every kind
// of control, their command words given as the process editor gives them.
namespace generatortest
{
constexpr uint32_t fullCoreModule = 0x0021;
constexpr uint32_t liteCoreModule = 0x0022;

// The generator's test library with control-rich processes added to its full
// core: a four-band biquad named after the biquads (its band type, Q,
// frequency and gain at control indexes 3, 34, 65 and 96), a pitch shifter
// with a shift amount and a literal standing for two arguments, a level
// reader answered by System Exclusive, and a delay whose set-up and control
// functions take its size.
modulesdef::LibraryDescription handlerDescription();

// Adds those processes to the full core of a description.
void addControlProcesses (modulesdef::LibraryDescription& description);

// The node's command words as the process editor builds them: per control
// function, (function id << 8 | nrpn) << 8 | running index; a function with
// an index parameter gets the valid-function bit 0x4000 in its id, bit 31
// when the library flags it, and takes 31 indexes on a biquad (else one per
// channel); any other function takes one.
void assignCommandWords (GraphNode& node);

struct HandlerDesign
{
    const char* name;
    uint32_t moduleId;
    std::function<void (DspPlace&)> build;
};

// mixedControls, liteControls, biquadOnly, emptyBiquadTable, noControls
const std::vector<HandlerDesign>& getHandlerDesigns();
const HandlerDesign& getHandlerDesign (const juce::String& name);

struct GeneratedHandler
{
    DspSourceTexts source; // the DSP's source as written before the handler
    DspSourceTexts handler;
    juce::StringArray handlerNames;
    juce::String log;
};

// Builds the design on a fresh library (the given one, or handlerDescription)
// at 48 kHz, writes the DSP's source and then its handler, as the
// generation driver does.
GeneratedHandler generateHandler (const HandlerDesign& design, bool commandVariant, uint32_t dspId = 1,
                                  const modulesdef::LibraryDescription& description = handlerDescription());

class TestProject;

// A project of four DSPs, each of one of the designs above (mixedControls,
// liteControls, biquadOnly and emptyBiquadTable, in that order); the
// project's library holds the control processes.
void buildControlProject (TestProject& project);

// The golden form: the handler, its declarations and the log, each under a heading.
juce::String renderHandler (const GeneratedHandler& generated);
} // namespace generatortest
