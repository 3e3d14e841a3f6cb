// The generated control handlers at work: a handler is compiled by the host's
// C compiler with a harness that stands for the firmware around it (the
// table search of the control source, the DSP's process table and library
// functions that report their call), then run with received controls.

#include "HandlerTestDesigns.h"

#include "generator/templates/MainProgramTemplates.h"

#include <gtest/gtest.h>

using namespace generatortest;

namespace
{
// The firmware's 16-bit words: a search result of -1 and "i == -1" meet as
// they do on the DSP. Tables are read through word pointers, and the table
// search is the control source's own.
const char* const harnessHead = R"(#include <stdio.h>
#include <stdlib.h>

typedef short WORD;
typedef unsigned int DWORD;
typedef const WORD* PTR32;
#define _cptr32(object) ((PTR32)(object))
#define _rdxtmem16Ex(address) (*(address))
#define FORMAT_14BIT_PRECISION 0

WORD dsp1pcs[8] = { 100, 101, 102, 103, 104, 105, 106, 107 };
)";

// The library functions of the design: each reports its call.
const char* const harnessControls = R"(
static void report (const char* name, WORD processId, WORD index, DWORD value)
{
    printf ("%s process=%d index=%d value=%u\n", name, processId, index, value);
}

#define CONTROL(name) \
    void name (WORD dspId, WORD processId, WORD index, DWORD value) { report (#name, processId, index, value); }

CONTROL (Comp_SetThreshold) CONTROL (Comp_SetRatio) CONTROL (Comp_SetAttack) CONTROL (Comp_SetRelease)
CONTROL (Comp_SetBoost) CONTROL (Comp_SetEnable) CONTROL (Lim_SetCeiling) CONTROL (Lim_SetRelease)

void Lim_ResetState (WORD dspId, WORD processId) { report ("Lim_ResetState", processId, 0, 0); }
)";

// Calls the handler once per argument pair (control number, value) and
// prints "none" for a control nothing serves.
const char* const nrpnHarnessMain = R"(
int main (int argc, char** argv)
{
    int a;

    for (a = 1; a + 1 < argc; a += 2)
    {
        WORD nrpn = (WORD) strtol (argv[a], 0, 16);

        if (! dsp1NrpnHandler (nrpn, 1, nrpn >> 8, (DWORD) atoi (argv[a + 1]), 1))
            printf ("none\n");
    }

    return 0;
}
)";

const char* const commandHarnessMain = R"(
int main (int argc, char** argv)
{
    int a;

    for (a = 1; a + 1 < argc; a += 2)
        if (! dsp1CommandHandler ((WORD) strtol (argv[a], 0, 16), 1, 3, (DWORD) atoi (argv[a + 1])))
            printf ("none\n");

    return 0;
}
)";

void buildCompressorAndLimiter (DspPlace& dsp)
{
    auto& compressor = dsp.add ("Compressor", 2);
    auto& limiter = dsp.add ("Limiter", 2);
    dsp.dspInput (compressor, 0, 0);
    dsp.connect (compressor, 0, limiter, 0);
    dsp.dspOutput (limiter, 0, 0);
    assignCommandWords (compressor);
    assignCommandWords (limiter);
}

class HandlerRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (! hasHostCompiler())
            GTEST_SKIP() << "no host C compiler (cc)";

        ASSERT_TRUE (folder.getFile().createDirectory());
    }

    void TearDown() override { folder.getFile().deleteRecursively(); }

    // The lines the handler prints for each control (a number in
    // hexadecimal, a value).
    juce::StringArray run (bool commandVariant, const juce::StringArray& controls)
    {
        const HandlerDesign design{ "compressorAndLimiter", fullCoreModule, buildCompressorAndLimiter };
        const auto generated = generateHandler (design, commandVariant);
        const auto source = folder.getFile().getChildFile (commandVariant ? "command.c" : "nrpn.c");
        const auto program = source.withFileExtension ("");

        source.replaceWithText (juce::String (harnessHead) + MainProgramTemplates::dichotomicSearchFunction + harnessControls +
                                generated.handler.declarations + generated.handler.body +
                                (commandVariant ? commandHarnessMain : nrpnHarnessMain));

        // A read outside a table stops the program.
        if (const auto problem = buildHostProgram (program, { "-fsanitize=address,bounds" }, { source.getFullPathName() });
            problem.isNotEmpty())
        {
            ADD_FAILURE() << problem;
            return {};
        }

        juce::StringArray command{ program.getFullPathName() };
        command.addArray (controls);
        juce::String output;
        EXPECT_EQ (runTool (command, &output), juce::String());
        return juce::StringArray::fromLines (output.trimEnd());
    }

    juce::TemporaryFile folder;
};
} // namespace

TEST_F (HandlerRunTest, AnNrpnReachesTheRowAtOrBelowItsNumber)
{
    // The compressor (nrpn 1, two channels) has its controls at 0x0100,
    // 0x0102 ...; the limiter (nrpn 2) at 0x0200, 0x0202 and its reset, which
    // takes no index, at 0x0204.
    const auto lines = run (false, { "0100", "7", "0101", "8", "0103", "9",   "010A", "1", "0204", "2", "0205", "3",
                                     "00FF", "4", "0010", "5", "0203", "300", "0300", "6", "3F7F", "7", "0000", "8" });

    EXPECT_EQ (lines.joinIntoString ("\n"),
               juce::StringArray ({
                                      "Comp_SetThreshold process=101 index=0 value=7",
                                      "Comp_SetThreshold process=101 index=1 value=8",
                                      "Comp_SetRatio process=101 index=1 value=9",
                                      "Comp_SetEnable process=101 index=0 value=0", // on/off takes the value's high byte
                                      "Lim_ResetState process=102 index=0 value=0",
                                      "none", // past the reset: a control without an index serves its own number only
                                      "none", // below the first row: no row, and none read
                                      "none",
                                      "Lim_SetRelease process=102 index=1 value=300",
                                      "none", // above the last row's process: no row, and none read
                                      "none",
                                      "none",
                                  })
                   .joinIntoString ("\n"));
}

TEST_F (HandlerRunTest, ACommandReachesOnlyTheRowOfItsOwnNumber)
{
    const auto lines =
        run (true, { "0100", "7", "0101", "8", "0204", "1", "0205", "2", "00FF", "3", "0102", "300", "0300", "4", "0000", "5" });

    EXPECT_EQ (lines.joinIntoString ("\n"), juce::StringArray ({
                                                                   "Comp_SetThreshold process=101 index=3 value=7",
                                                                   "none", // between two rows
                                                                   "Lim_ResetState process=102 index=0 value=0",
                                                                   "none",
                                                                   "none",
                                                                   "Comp_SetRatio process=101 index=3 value=300",
                                                                   "none",
                                                                   "none",
                                                               })
                                                .joinIntoString ("\n"));
}
