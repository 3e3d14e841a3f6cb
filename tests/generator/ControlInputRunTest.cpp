// A control value reaches the firmware three ways: from a control panel (the
// message its description text gives it), from the project as a System
// Exclusive message ("Send controls to BOARD"), and from a preset table
// through the preset loader. The generated control source and loader are
// compiled by the host's C compiler with a harness that stands for the rest
// of the firmware, and run: the three ways must hand the handlers the same
// control and the same value.

#include "GenerationTestProject.h"

#include "generator/PanelScriptWriter.h"
#include "generator/PresetSourceGenerator.h"
#include "generator/SourceFiles.h"
#include "model/ControlSysExMessage.h"

#include "halvix/PanelMessage.h"

#include <gtest/gtest.h>

#include <random>

using namespace generatortest;

namespace
{
// The firmware's 16-bit words, and far memory read through word pointers.
const char* const harnessSystemHeader = R"(#ifndef HARNESS_SYSTEM_H
#define HARNESS_SYSTEM_H
typedef unsigned short WORD;
typedef unsigned int DWORD;
typedef const WORD* PTR32;
typedef float FLOAT;
#define _cptr32(object) ((PTR32)(object))
WORD _rdxtmemEx( PTR32 address );
WORD _rdxtmem16Ex( PTR32 address );
DWORD _rdxtmem32Ex( PTR32 address );
#endif
)";

// Reads its input file line by line: "midi" and bytes in hexadecimal, or
// "load" with the DSP channel, the process, the preset table's control word
// and the value. Prints what reaches the DSP's handler, then "end".
const char* const controlInputHarnessSource = R"(#include <stdio.h>
#include <string.h>
#include <system.h>
#include "quellion.h"
#include "CONTROL_HEADER"
#include "presets.h"

WORD dsp[NBDSPINITIALIZED];
void Send( WORD data ) { (void) data; }

WORD _rdxtmemEx( PTR32 address ) { return *address; }
WORD _rdxtmem16Ex( PTR32 address ) { return *address; }
DWORD _rdxtmem32Ex( PTR32 address ) { return (DWORD)(unsigned short)address[0] | (DWORD)(unsigned short)address[1] << 16; }
DWORD swapDword( DWORD value ) { return value << 16 | value >> 16; }

#ifdef NRPN_VARIANT
WORD dsp1NrpnHandler( WORD nrpn, WORD dspId, WORD processId, DWORD value, WORD format ) { return 0; }

/* The handler's own view of the value: its locals val8bit and dvalue. */
WORD dspNrpnHandlerCallback( PTR32 handler, WORD nrpn, WORD dspId, WORD processId, DWORD value, WORD format )
{
    printf( "dsp=%u nrpn=%04X process=%u value=%u format=%u val8bit=%u dvalue=%u\n", (unsigned short)dspId,
            (unsigned short)nrpn, (unsigned short)processId, value, (unsigned short)format, (unsigned short)(WORD)(value>>8),
            format == FORMAT_14BIT_PRECISION ? value<<13 : value );
    return 1;
}
#else
/* A process whose controls start at every eighth number, each of eight channels. */
WORD dsp1CommandHandler( WORD command, WORD dspId, WORD index, DWORD value )
{
    if ( (command & 7) != 0 || index >= 8 )
        return 0;

    printf( "dsp=%u command=%04X index=%u value=%u\n", (unsigned short)dspId, (unsigned short)command, (unsigned short)index, value );
    return 1;
}
#endif

static WORD memory[32];

static void load( unsigned channel, unsigned process, unsigned control, unsigned value )
{
    memory[0] = 1;
    memory[2] = (WORD)control;

    if ( (control >> 14) > 1 )
    {
        memory[1] = 2;
        memory[16] = (WORD)(value >> 16);
        memory[17] = (WORD)(value & 0xFFFF);
    }
    else
    {
        memory[1] = 1;
        memory[16] = (WORD)value;
    }

    quellion_LoadPreset( channel, process, memory, memory + 16, 0 );
}

int main( int argc, char** argv )
{
    char line[512];
    FILE* input = argc > 1 ? fopen( argv[1], "r" ) : 0;
    WORD i;

    if ( input == 0 )
        return 2;

    for ( i = 0; i < NBDSPINITIALIZED; i++ )
        dsp[i] = 0x30 + i;

#ifdef NRPN_VARIANT
    quellion_InitNrpnFunction();
#else
    quellion_InitCommandFunction();
#endif

    while ( fgets( line, sizeof line, input ) )
    {
        unsigned a, b, c, d;
        int offset = 4, used;

        if ( strncmp( line, "midi", 4 ) == 0 )
            while ( sscanf( line + offset, "%x%n", &a, &used ) == 1 )
            {
                quellion_HandleMidiEvent( (WORD)a );
                offset += used;
            }
        else if ( sscanf( line, "load %u %u %x %u", &a, &b, &c, &d ) == 4 )
            load( a, b, c, d );

        printf( "end\n" );
    }

    return 0;
}
)";

// One control of a process: how a panel sends it, and how a preset table
// and a board message mark its value's form.
enum class Form
{
    sevenBit,    // the bracket NRPN form with a 7-bit value; format 0
    fourteenBit, // the raw NRPN form with a 14-bit value; format 1
    sysEx        // the System Exclusive form with a 28-bit value; format 2
};

uint32_t getFormatBits (Form form)
{
    return form == Form::sevenBit      ? 0u
           : form == Form::fourteenBit ? (uint32_t) PanelScriptWriter::rawNrpnFlag
                                       : (uint32_t) PanelScriptWriter::sysExFlag;
}

juce::String toHexBytes (const std::vector<uint8_t>& bytes)
{
    juce::String text ("midi");

    for (auto byte : bytes)
        text << " " << juce::String::toHexString ((int) byte);

    return text;
}

// The bytes a control panel sends for the value.
juce::String panelInput (uint32_t number, Form form, uint32_t value)
{
    const auto text = form == Form::sysEx
                          ? PanelScriptWriter::makeSysExMessage (number, 0)
                          : PanelScriptWriter::makeNrpnMessage (number, 0,
                                                                form == Form::sevenBit ? PanelScriptWriter::NrpnForm::bracket7Bit
                                                                                       : PanelScriptWriter::NrpnForm::raw);
    PanelMessage message;
    juce::String problem;
    EXPECT_TRUE (message.parse (text, problem)) << problem;
    std::vector<uint8_t> bytes;

    for (const auto& filled : message.fill (value))
    {
        if (filled.isSysEx)
            bytes.insert (bytes.end(), filled.sysEx.begin(), filled.sysEx.end());
        else
            for (int shift : { 16, 8, 0 })
                bytes.push_back ((uint8_t) (filled.shortMessage >> shift));
    }

    return toHexBytes (bytes);
}

// The message "Send controls to BOARD" sends for the value.
juce::String boardInput (uint32_t number, Form form, uint32_t value)
{
    const auto message = ControlSysExMessage::encode (0, number | getFormatBits (form), value);
    return toHexBytes (std::vector<uint8_t> (message.begin(), message.end()));
}

// The preset loader with a table of one control holding the value.
juce::String loaderInput (uint32_t number, Form form, uint32_t value)
{
    return "load 0 " + juce::String (number >> 8) + " " +
           juce::String::toHexString ((int) ((number & 0xFF) | getFormatBits (form))) + " " + juce::String (value);
}

class ControlInputRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (! hasHostCompiler())
            GTEST_SKIP() << "no host C compiler (cc)";
    }

    // Generates a design of one DSP in the variant and builds the harness
    // around its control source and a preset loader.
    void build (bool commandVariant)
    {
        project.addDelayDsp (1);
        project.generate (commandVariant);

        const auto controlHeader = MainBusFile::getControlHeaderName (! commandVariant);
        const auto presets = PresetSourceGenerator::makeLoaderOnlyFiles (false, controlHeader);
        const auto out = project.outputDirectory;
        ASSERT_TRUE (writeTextToFile (presets.header, out.getChildFile ("presets.h"), false));
        ASSERT_TRUE (writeTextToFile (presets.source, out.getChildFile ("presets.c"), false));

        const auto harness = project.folder.getChildFile ("harness");
        ASSERT_TRUE (writeTextToFile (harnessSystemHeader, harness.getChildFile ("system.h"), false));
        ASSERT_TRUE (writeTextToFile (juce::String (controlInputHarnessSource).replace ("CONTROL_HEADER", controlHeader),
                                      harness.getChildFile ("harness.c"), false));

        program = harness.getChildFile ("harness");
        const auto problem =
            buildHostProgram (program,
                              { "-fsanitize=address,undefined", commandVariant ? "-DCOMMAND_VARIANT" : "-DNRPN_VARIANT", "-I",
                                harness.getFullPathName(), "-I", out.getFullPathName(), "-I", getSdkFolder().getFullPathName() },
                              { harness.getChildFile ("harness.c").getFullPathName(),
                                out.getChildFile (MainBusFile::getControlSourceName (! commandVariant)).getFullPathName(),
                                out.getChildFile ("presets.c").getFullPathName() });
        ASSERT_TRUE (problem.isEmpty()) << problem;
    }

    // What reaches the handler for each input line.
    juce::StringArray run (const juce::StringArray& inputs)
    {
        const auto input = project.folder.getChildFile ("input.txt");
        EXPECT_TRUE (input.replaceWithText (inputs.joinIntoString ("\n") + "\n"));

        juce::String output;
        EXPECT_EQ (runTool ({ program.getFullPathName(), input.getFullPathName() }, &output), juce::String());

        juce::StringArray results;
        juce::String current;

        for (auto& line : juce::StringArray::fromLines (output.trimEnd()))
        {
            if (line == "end")
            {
                results.add (current.isEmpty() ? "none" : current.trimEnd());
                current.clear();
            }
            else
            {
                current << line << "\n";
            }
        }

        EXPECT_EQ (results.size(), inputs.size()) << output;
        return results;
    }

    TestProject project;
    juce::File program;
};
} // namespace

TEST_F (ControlInputRunTest, EachFormReachesTheHandlerAsThePresetLoaderHandsItOn)
{
    build (false);

    struct Case
    {
        Form form;
        uint32_t value;
        const char* reached;
    };

    // Process 4, control 5: a 7-bit value arrives scaled up by 8 bits, a
    // 14-bit one by 1 bit, a 28-bit one as it is; always as 28 bits.
    const Case cases[] = {
        { Form::sevenBit, 100, "dsp=48 nrpn=0405 process=4 value=25600 format=1 val8bit=100 dvalue=25600" },
        { Form::fourteenBit, 64, "dsp=48 nrpn=0405 process=4 value=128 format=1 val8bit=0 dvalue=128" },
        { Form::fourteenBit, 12345, "dsp=48 nrpn=0405 process=4 value=24690 format=1 val8bit=96 dvalue=24690" },
        { Form::sysEx, 4096000, "dsp=48 nrpn=0405 process=4 value=4096000 format=1 val8bit=16000 dvalue=4096000" },
    };

    for (const auto& c : cases)
    {
        const auto results = run ({ panelInput (0x0405, c.form, c.value), boardInput (0x0405, c.form, c.value),
                                    loaderInput (0x0405, c.form, c.value) });
        EXPECT_EQ (results.joinIntoString ("\n"), juce::StringArray ({ c.reached, c.reached, c.reached }).joinIntoString ("\n"))
            << c.value;
    }
}

TEST_F (ControlInputRunTest, PanelsBoardMessagesAndPresetsAgreeOverRandomControls)
{
    build (false);
    std::mt19937 random (20250612);
    juce::StringArray inputs;

    for (int i = 0; i < 300; ++i)
    {
        const auto form = (Form) (random() % 3);
        const auto number = (uint32_t) ((random() % 0x3F + 1) << 8 | (random() % 0x80));
        // What a panel can send, and beyond it what a preset or board message can carry.
        const uint32_t panelRange = form == Form::sevenBit ? 0x80 : form == Form::fourteenBit ? 0x4000 : 0x10000000;
        const uint32_t storedRange = form == Form::sysEx ? 0x10000000 : 0x8000;
        const auto panelValue = (uint32_t) (random() % panelRange);
        const auto storedValue = (uint32_t) (random() % storedRange);

        inputs.addArray ({ panelInput (number, form, panelValue), boardInput (number, form, panelValue),
                           loaderInput (number, form, panelValue), boardInput (number, form, storedValue),
                           loaderInput (number, form, storedValue) });
    }

    const auto results = run (inputs);
    ASSERT_EQ (results.size(), inputs.size());

    for (int i = 0; i < results.size(); i += 5)
    {
        EXPECT_NE (results[i], "none") << inputs[i];
        EXPECT_EQ (results[i + 1], results[i]) << inputs[i + 1];
        EXPECT_EQ (results[i + 2], results[i]) << inputs[i + 2];
        EXPECT_EQ (results[i + 4], results[i + 3]) << inputs[i + 3];
    }
}

TEST_F (ControlInputRunTest, TheCommandVariantTakesTheSameInputForItsCommands)
{
    build (true);

    // A number between two commands is one channel of the command below it.
    const auto results =
        run ({ panelInput (0x0403, Form::sevenBit, 100), boardInput (0x0403, Form::sevenBit, 100),
               loaderInput (0x0403, Form::sevenBit, 100), panelInput (0x0410, Form::fourteenBit, 64),
               loaderInput (0x0410, Form::fourteenBit, 64), boardInput (0x0417, Form::sysEx, 4096000), "midi f0 00 3a f7" });

    EXPECT_EQ (
        results.joinIntoString ("\n"),
        juce::StringArray ({ "dsp=48 command=0400 index=3 value=25600", "dsp=48 command=0400 index=3 value=25600",
                             "dsp=48 command=0400 index=3 value=25600", "dsp=48 command=0410 index=0 value=128",
                             "dsp=48 command=0410 index=0 value=128", "dsp=48 command=0410 index=7 value=4096000", "none" })
            .joinIntoString ("\n"));
}
