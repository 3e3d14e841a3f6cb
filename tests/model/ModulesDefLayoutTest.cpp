// A "Modules.def" written out byte by byte, field by field, from the file's
// layout alone (not through the tool that builds our test files), read by the
// program's reader and checked field by field: a misreading that the builder
// and the reader shared would pass every other reader test.

#include "model/ModulesDefReader.h"
#include "model/ParameterDescriptor.h"

#include <gtest/gtest.h>

#include <chrono>

namespace
{
// clang-format off
const std::vector<uint8_t> handWrittenFile {
        0x68, 0x64, 0x72, 0x21,                                      // bytes before the frame
        0x24, 0x5A, 0x4F, 0x56, 0x4F, 0x5A,                          // "$ZOVOZ"
        0x02, 0x00,                                                  // DSP capacity 2
        0x40, 0x56, 0x45, 0x52,                                      // "@VER"
        0x44, 0x00,                                                  // version 68
        0x40, 0x44, 0x49, 0x43,                                      // "@DIC"
        0x00, 0x00,                                                  // not used
        0x02, 0x00,                                                  // 2 entries
        0x03, 0x00,                                                  // entry 0: 3 words
        0x04, 0x00,                                                  // class 4
        0x00, 0x00,                                                  // group 0
        0x0A, 0x00,                                                  // kind 10 (index)
        0x05, 0x00,                                                  // entry 1: 5 words
        0x15, 0x00,                                                  // class 21 (variable)
        0x03, 0x61,                                                  // L = 3, 'a'
        0x62, 0x63,                                                  // 'b', 'c'
        0xFF, 0xFF,                                                  // escape
        0x00, 0x00,                                                  // to entry 0
        0x40, 0x4D, 0x4F, 0x44,                                      // "@MOD"
        0x00, 0x00,                                                  // not used
        0x03, 0x40,                                                  // id 3 with the kind flag 0x4000
        0x07, 0x00,                                                  // module kind 7
        0x11, 0x00,                                                  // w1 first figure 0x11
        0x08, 0x04,                                                  // w2: 8 DSP inputs, 4 DSP outputs
        0x33, 0x00,                                                  // w3 third figure 0x33
        0x18, 0x00,                                                  // w4 own cycles 24
        0x00, 0x04,                                                  // w5 DSP RAM budget 1024
        0x02, 0x00,                                                  // w6 rate class limit 2
        0x04, 0x4D, 0x61, 0x69, 0x6E,                                // module name (text "Main")
        0x01, 0x00,                                                  // 1 module function
        0x00, 0x00,                                                  // form 0
        0x06, 0x4D, 0x5F, 0x49, 0x6E, 0x69, 0x74,                    // name (text "M_Init")
        0x00, 0x01,                                                  // 0 return values, 1 parameter
        0x03, 0x00,                                                  // word list: 3 words
        0x04, 0x00,                                                  // 4
        0x02, 0x00,                                                  // 2
        0x00, 0x00,                                                  // 0 (DSP id)
        0x00, 0x00,                                                  // 0 second module functions
        0x40, 0x50, 0x43, 0x53,                                      // "@PCS"
        0x01, 0x00,                                                  // 1 process
        0x03, 0x45, 0x51, 0x31,                                      // name (text "EQ1")
        0x05, 0xC2,                                                  // id 0x205, memory class 0x8000, kind 0x4000
        0x0A, 0x00,                                                  // cycles per channel 10
        0x14, 0x00,                                                  // base cycles 20
        0x03, 0x00,                                                  // RAM per channel 3
        0x07, 0x00,                                                  // base RAM 7
        0x02, 0x02,                                                  // 2 inputs, 2 outputs
        0x0C, 0x00,                                                  // channel word 12 (the memory class)
        0x01, 0x40,                                                  // process kind 0x4001 (biquad)
        0x01, 0x00,                                                  // 1 set-up function
        0x02, 0x00,                                                  // 2 control functions
        0x01, 0x00,                                                  // form 1
        0x07, 0x45, 0x51, 0x5F, 0x49, 0x6E, 0x69, 0x74,              // name (text "EQ_Init")
        0x01, 0x02,                                                  // 1 return value, 2 parameters
        0x03, 0x80,                                                  // entry mask: bits 0, 1 and 15
        0x10, 0x00,                                                  // mask entry 0: a
        0x01, 0x00,                                                  // b
        0x20, 0x00,                                                  // mask entry 1: a
        0x00, 0x00,                                                  // b
        0x02, 0x00,                                                  // parameter flag mask
        0x09, 0x00,                                                  // word list: 9 words
        0x04, 0x00,                                                  // 4
        0x02, 0x00,                                                  // 2
        0x00, 0x00,                                                  // 0 (DSP id)
        0x04, 0x00,                                                  // 4
        0x02, 0x00,                                                  // 2
        0x01, 0x00,                                                  // 1 (process id)
        0x0C, 0x00,                                                  // 12
        0x00, 0x00,                                                  // 0
        0x00, 0x00,                                                  // 0
        0x02, 0x00,                                                  // form 2
        0x0A, 0x45, 0x51, 0x5F, 0x53, 0x65, 0x74, 0x47, 0x61, 0x69, 0x6E, // name (text "EQ_SetGain")
        0x00, 0x02,                                                  // 0 return values, 2 parameters
        0x00, 0x00,                                                  // entry mask 0
        0x01, 0x00,                                                  // parameter flag mask 1
        0x04, 0x47, 0x61, 0x69, 0x6E,                                // first text (text "Gain")
        0x07, 0x75, 0x6E, 0x69, 0x74, 0x3D, 0x64, 0x42,              // second text (text "unit=dB")
        0x02, 0x00,                                                  // word list: 2 words
        0xFF, 0xFF,                                                  // escape
        0x01, 0x00,                                                  // to entry 1
        0x00, 0x00,                                                  // form 0
        0x13, 0x42, 0x69, 0x71, 0x75, 0x61, 0x64, 0x5F, 0x55, 0x70, 0x64, 0x61, 0x74, 0x65, 0x43, 0x6F, 0x65, 0x66, 0x66, 0x73, // name (text "Biquad_UpdateCoeffs")
        0x00, 0x01,                                                  // 0 return values, 1 parameter
        0x00,                                                        // first text (text "")
        0x00,                                                        // second text (text "")
        0x03, 0x00,                                                  // word list: 3 words
        0x04, 0x00,                                                  // 4
        0x01, 0x00,                                                  // 1
        0x40, 0x00,                                                  // 64 (Hz)
        0x07, 0x65, 0x71, 0x31, 0x2E, 0x68, 0x74, 0x6D,              // help page (text "eq1.htm")
        0x02, 0x00,                                                  // 2 pins
        0x02, 0x49, 0x4E,                                            // pin name (text "IN")
        0x00, 0x02,                                                  // input, vector pin
        0x03, 0x4F, 0x55, 0x54,                                      // pin name (text "OUT")
        0x01, 0x03,                                                  // output, virtual pin
        0x40, 0x53, 0x50, 0x53,                                      // "@SPS"
        0x01, 0x00,                                                  // 1 process
        0x03, 0x4D, 0x69, 0x78,                                      // name (text "Mix")
        0x09, 0x00,                                                  // id 9
        0x01, 0x00,                                                  // cycles per channel 1
        0x02, 0x00,                                                  // base cycles 2
        0x03, 0x00,                                                  // RAM per channel 3
        0x04, 0x00,                                                  // base RAM 4
        0x01, 0x01,                                                  // 1 input, 1 output
        0x00, 0x00,                                                  // no set-up functions
        0x00, 0x00,                                                  // no control functions
        0x00,                                                        // help page (text "")
        0x00, 0x00,                                                  // no pins
        0x40, 0x44, 0x53, 0x50,                                      // "@DSP"
        0x00, 0x00,                                                  // not used
        0x01, 0x01,                                                  // DSP id 0x101
        0x03, 0x00,                                                  // module 3
        0x07, 0x00,                                                  // third word 7
        0x40, 0x44, 0x53, 0x50,                                      // "@DSP"
        0x00, 0x00,                                                  // not used
        0x02, 0x01,                                                  // DSP id 0x102, then "@CDS": no entry
        0x40, 0x43, 0x44, 0x53,                                      // "@CDS"
        0x00, 0x00,                                                  // not used
        0x40, 0x42, 0x55, 0x53,                                      // "@BUS"
        0x00, 0x00,                                                  // not used
        0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,              // DSP 0 input mask
        0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18,              // DSP 0 output mask
        0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28,              // DSP 1 input mask
        0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38,              // DSP 1 output mask
        0x5A, 0x4F, 0x56, 0x4F, 0x5A, 0x24,                          // "ZOVOZ$"
        0xB3, 0x00,                                                  // frame word N = 179 words
        0xEE, 0xEE,                                                  // bytes after the frame word
};
// clang-format on

constexpr int frameWords = 179;
constexpr int frameStart = 4;

class ModulesDefLayoutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        reader.open (std::make_unique<juce::MemoryInputStream> (handWrittenFile.data(), handWrittenFile.size(), false));
        result = reader.parse();
        ASSERT_EQ (library.getModuleCount(), 1);
    }

    ParameterDescriptor item (const LibraryFunctionDefinition& f, int n,
                              ParameterNumbering numbering = ParameterNumbering::parametersOnly) const
    {
        ParameterDescriptor d;
        getFunctionParameter (f, numbering, n, d);
        return d;
    }

    const ProcessDefinition& process (int index) const { return *library.getModule (0)->getProcess (index); }

    ModulesDefReader reader;
    const ModuleLibrary& library = reader.getLibrary();
    int result = -2;
};
} // namespace

TEST_F (ModulesDefLayoutTest, TheFrame)
{
    ASSERT_EQ (handWrittenFile.size(), 366u);
    EXPECT_EQ (result, frameWords);
    EXPECT_EQ (library.frameWord, frameWords);
    EXPECT_EQ (library.framePosition, frameStart - (int) handWrittenFile.size());
    EXPECT_EQ (library.formatVersion, 68);
    EXPECT_EQ (library.getDspCapacity(), 2);
}

TEST_F (ModulesDefLayoutTest, TheDictionary)
{
    const auto& dictionary = library.getDictionary();
    ASSERT_EQ (dictionary.size(), 2);
    EXPECT_EQ (dictionary.getEntry (0)->words(), (std::vector<uint16_t>{ 4, 0, 10 }));
    EXPECT_EQ (dictionary.getEntry (1)->words(), (std::vector<uint16_t>{ 21, 0x6103, 0x6362, 0xFFFF, 0 }));
}

TEST_F (ModulesDefLayoutTest, TheModule)
{
    const auto& m = *library.getModule (0);
    EXPECT_EQ (m.moduleId, 3u);
    EXPECT_TRUE (m.hasKindWord);
    EXPECT_EQ (m.kindWord, 7u);
    EXPECT_EQ (m.firstFigure, 0x11u);
    EXPECT_EQ (m.dspInputCount, 8u);
    EXPECT_EQ (m.dspOutputCount, 4u);
    EXPECT_EQ (m.thirdFigure, 0x33u);
    EXPECT_EQ (m.ownCycles, 24u);
    EXPECT_EQ (m.dspRamBudget, 1024u);
    EXPECT_EQ (m.rateClassLimit, 2u);
    EXPECT_EQ (m.name, "Main");
    EXPECT_EQ (m.getSecondModuleFunctionCount(), 0);
    EXPECT_EQ (m.getProcessCount(), 2);
    EXPECT_TRUE (m.hasFlaggedProcess);
    // One numbered control function: the coefficient update takes no number.
    EXPECT_EQ (m.countedFunctionTotal, 1);
    EXPECT_EQ (library.findModuleById (3), &m);

    ASSERT_EQ (m.getModuleFunctionCount(), 1);
    const auto& init = *m.moduleFunctions[0];
    EXPECT_EQ (init.name, "M_Init");
    EXPECT_EQ (init.recordForm, 0);
    EXPECT_EQ (init.returnValueCount, 0);
    EXPECT_EQ (init.parameterCount, 1);
    EXPECT_EQ (init.functionNumber, 0);
    EXPECT_EQ (init.maskEntryCount, 0);
    EXPECT_TRUE (isDspIdArgType (item (init, 0).type));
}

TEST_F (ModulesDefLayoutTest, AProcessWithAMemoryClassAKindAndAllThreeFunctionKinds)
{
    const auto& p = process (0);
    EXPECT_EQ (p.name, "EQ1");
    EXPECT_EQ (p.processId, 0x205u);
    EXPECT_EQ (p.cyclesPerChannel, 10u);
    EXPECT_EQ (p.baseCycles, 20u);
    EXPECT_EQ (p.ramPerChannel, 3u);
    EXPECT_EQ (p.baseRam, 7u);
    EXPECT_EQ (p.inputCount, 2u);
    EXPECT_EQ (p.outputCount, 2u);
    EXPECT_TRUE (p.hasChannelWord);
    EXPECT_TRUE (p.hasKind);
    EXPECT_EQ (p.processKind, 0x4001u);
    EXPECT_TRUE (p.hasMemoryClass);
    EXPECT_TRUE (p.memoryClass11to13);
    EXPECT_EQ (p.memoryClassWord, 0x80000002u);
    EXPECT_EQ (p.memorySelector, 0u);
    EXPECT_FALSE (p.memoryClass243);
    EXPECT_EQ (p.defaultChannelWord, 1u);
    EXPECT_FALSE (p.fromSps);
    EXPECT_EQ (p.helpPage, "eq1.htm");
    // A biquad process counts three invalid functions whatever its list holds.
    EXPECT_EQ (p.invalidFunctionCount, 3);
    EXPECT_EQ (p.coefficientFunctionCount, 1);

    ASSERT_EQ (p.getPinCount(), 2);
    EXPECT_EQ (p.pins[0]->name, "IN");
    EXPECT_EQ (p.pins[0]->direction, 1); // an input pin
    EXPECT_EQ (p.pins[0]->kind, ProcessPinEntry::vectorPin);
    EXPECT_EQ (p.pins[1]->name, "OUT");
    EXPECT_EQ (p.pins[1]->direction, 0);
    EXPECT_EQ (p.pins[1]->kind, ProcessPinEntry::virtualPin);

    ASSERT_EQ (p.getFirstFunctionCount(), 1);
    const auto& setup = *p.firstFunctions[0];
    EXPECT_EQ (setup.name, "EQ_Init");
    EXPECT_EQ (setup.recordForm, 1);
    EXPECT_FALSE (setup.secondFormRecord);
    EXPECT_EQ (setup.functionNumber, -1);
    EXPECT_EQ (setup.returnValueCount, 1);
    EXPECT_EQ (setup.parameterCount, 2);
    EXPECT_EQ (setup.entryMask, 0x8003u);
    EXPECT_FALSE (setup.maskUsable);
    EXPECT_EQ (setup.maskEntries, (std::vector<uint32_t>{ 0x00010010, 0x00000020 }));
    EXPECT_EQ (setup.maskEntryCount, 2);
    EXPECT_EQ (setup.parameterFlagMask, 2u);
    EXPECT_TRUE (isFunctionParameterFlagged (setup, 0));
    EXPECT_FALSE (isFunctionParameterFlagged (setup, 1));
    EXPECT_TRUE (isDspIdArgType (item (setup, 0, ParameterNumbering::returnValuesFirst).type));
    EXPECT_TRUE (isProcessIdArgType (item (setup, 0).type));
    EXPECT_TRUE (isParamTypeCode_12_0_0 (item (setup, 1).type));
    EXPECT_FALSE (item (setup, 2).reached);

    ASSERT_EQ (p.getSecondFunctionCount(), 2);
    const auto& gain = *p.secondFunctions[0];
    EXPECT_EQ (gain.name, "EQ_SetGain");
    EXPECT_EQ (gain.recordForm, 2);
    EXPECT_TRUE (gain.secondFormRecord);
    EXPECT_TRUE (gain.maskUsable);
    EXPECT_EQ (gain.maskEntryCount, 0);
    EXPECT_EQ (gain.parameterFlagMask, 1u);
    EXPECT_EQ (gain.firstText, "Gain");
    EXPECT_EQ (gain.secondText, "unit=dB");
    EXPECT_EQ (gain.functionNumber, 0);
    EXPECT_TRUE (gain.valid); // its index parameter comes through two escapes

    const auto text = item (gain, 0);
    ASSERT_TRUE (text.reached);
    EXPECT_TRUE (isParamClass21 (text.type));
    EXPECT_EQ (std::string ((const char*) text.data, text.length), "abc");
    EXPECT_TRUE (isIndexParamType (item (gain, 1).type));

    const auto& coefficients = *p.secondFunctions[1];
    EXPECT_EQ (coefficients.name, "Biquad_UpdateCoeffs");
    EXPECT_EQ (coefficients.functionNumber, -1);
    EXPECT_FALSE (coefficients.valid);
    EXPECT_EQ (coefficients.firstText, "");
    EXPECT_TRUE (isFrequencyHzParamType (item (coefficients, 0).type));
}

TEST_F (ModulesDefLayoutTest, AProcessFromTheFlaggedSection)
{
    const auto& p = process (1);
    EXPECT_EQ (p.name, "Mix");
    EXPECT_EQ (p.processId, 9u);
    EXPECT_TRUE (p.fromSps);
    EXPECT_EQ (p.cyclesPerChannel, 1u);
    EXPECT_EQ (p.baseCycles, 2u);
    EXPECT_EQ (p.ramPerChannel, 3u);
    EXPECT_EQ (p.baseRam, 4u);
    EXPECT_EQ (p.inputCount, 1u);
    EXPECT_EQ (p.outputCount, 1u);
    EXPECT_FALSE (p.hasChannelWord);
    EXPECT_FALSE (p.hasKind);
    EXPECT_FALSE (p.hasMemoryClass);
    EXPECT_EQ (p.defaultChannelWord, 1u);
    EXPECT_EQ (p.getFirstFunctionCount(), 0);
    EXPECT_EQ (p.getSecondFunctionCount(), 0);
    EXPECT_EQ (p.getPinCount(), 0);
    EXPECT_EQ (p.helpPage, "");
}

TEST_F (ModulesDefLayoutTest, TheDspsAndTheBusMasks)
{
    ASSERT_EQ (library.getDspCount(), 1);
    const auto& dsp = *library.getDsp (0);
    EXPECT_EQ (dsp.dspId, 0x101u);
    EXPECT_EQ (dsp.moduleId, 3u);
    EXPECT_EQ (dsp.third, 7u);
    EXPECT_EQ (library.getModuleOfDsp (0x101), library.getModule (0));
    EXPECT_EQ (library.findDsp (0x102), nullptr); // its id was followed by "@CDS"

    ASSERT_EQ (library.getBusMaskCount(), 2);
    const ModuleLibrary::BusMaskEntry first{ 1, 2, 3, 4, 5, 6, 7, 8, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18 };
    const ModuleLibrary::BusMaskEntry second{ 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28,
                                              0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38 };
    EXPECT_EQ (*library.getBusMask (0), first);
    EXPECT_EQ (*library.getBusMask (1), second);
}
