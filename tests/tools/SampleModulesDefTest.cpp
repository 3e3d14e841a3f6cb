// The sample module library, end to end: its readable description is built
// into a "Modules.def", read back by the program's own reader, and must come
// out as the same description.

#include "model/ModulesDefReader.h"

#include "modulesdef/LibraryDescriber.h"
#include "modulesdef/ModulesDefBuilder.h"
#include "modulesdef/ModulesDefText.h"

#include <gtest/gtest.h>

using modulesdef::ModulesDefText;

namespace
{
const juce::File sourceDir (VX_SOURCE_DIR);
const juce::File tool (VX_MODULESDEF_TOOL);

std::string sampleText()
{
    return sourceDir.getChildFile ("resources/SampleModules.txt").loadFileAsString().toStdString();
}

// What the reader can give back: a DSP id followed by "@CDS" makes no entry.
modulesdef::LibraryDescription asReadBack (modulesdef::LibraryDescription d)
{
    auto& dsps = d.dsps;
    dsps.erase (std::remove_if (dsps.begin(), dsps.end(), [] (auto& dsp) { return dsp.followedByCds; }), dsps.end());
    return d;
}

juce::String run (const juce::StringArray& args, int expectedExitCode = 0, bool withErrors = false)
{
    juce::ChildProcess process;
    EXPECT_TRUE (process.start (args, juce::ChildProcess::wantStdOut | (withErrors ? juce::ChildProcess::wantStdErr : 0)));
    auto output = process.readAllProcessOutput();
    EXPECT_TRUE (process.waitForProcessToFinish (30000));
    EXPECT_EQ ((int) process.getExitCode(), expectedExitCode) << output;
    return output;
}
} // namespace

TEST (SampleModulesDefTest, IsReadBackEqualToItsDescription)
{
    const auto description = ModulesDefText::parse (sampleText());
    const auto bytes = modulesdef::ModulesDefBuilder::build (description);

    ModulesDefReader reader;
    reader.open (std::make_unique<juce::MemoryInputStream> (bytes.data(), bytes.size(), false));
    ASSERT_EQ (reader.parse(), (int) (bytes.size() - 2) / 2);

    const auto readBack = ModulesDefText::print (modulesdef::describeLibrary (reader.getLibrary()));
    const auto expected = ModulesDefText::print (asReadBack (description));
    EXPECT_TRUE (readBack == expected) << readBack.substr (0, 400);
}

TEST (SampleModulesDefTest, CoversTheProcessKindsAndMemoryClassesTheProgramTests)
{
    const auto description = ModulesDefText::parse (sampleText());
    const auto bytes = modulesdef::ModulesDefBuilder::build (description);
    ModulesDefReader reader;
    reader.open (std::make_unique<juce::MemoryInputStream> (bytes.data(), bytes.size(), false));
    ASSERT_GT (reader.parse(), 0);

    std::set<uint32_t> kinds;
    bool class11to13 = false, selector = false, class243 = false, meter = false, coefficients = false;

    for (auto& m : reader.getLibrary().getModules())
    {
        for (auto& p : m->getProcesses())
        {
            kinds.insert (p->processKind);
            class11to13 = class11to13 || (p->memoryClassWord & 0x80000000u) != 0;
            selector = selector || p->memorySelector != 0;
            class243 = class243 || p->memoryClass243;
            meter = meter || p->hasGetPeakFunction();
            coefficients = coefficients || p->coefficientFunctionCount > 0;
        }
    }

    for (uint32_t kind : { 0x4001u, 0x4006u, 0x4002u, 0x4005u, 0x4007u })
        EXPECT_EQ (kinds.count (kind), 1u) << std::hex << kind;

    EXPECT_TRUE (class11to13);
    EXPECT_TRUE (selector);
    EXPECT_TRUE (class243);
    EXPECT_TRUE (meter);
    EXPECT_TRUE (coefficients);
    EXPECT_GT (reader.getLibrary().getDictionary().size(), 0);
    EXPECT_GT (reader.getLibrary().getDspCount(), 0);
}

TEST (SampleModulesDefTest, TheToolBuildsAFileAndPrintsWhatTheReaderReads)
{
    juce::TemporaryFile target ("Modules.def");
    const auto sample = sourceDir.getChildFile ("resources/SampleModules.txt").getFullPathName();

    run ({ tool.getFullPathName(), "build", sample, target.getFile().getFullPathName() });
    ASSERT_TRUE (target.getFile().existsAsFile());

    const auto printed = run ({ tool.getFullPathName(), "print", target.getFile().getFullPathName() });
    EXPECT_TRUE (printed.toStdString() == ModulesDefText::print (asReadBack (ModulesDefText::parse (sampleText()))))
        << printed.substring (0, 400);

    // The build installed the same library beside the executables.
    const auto installed = tool.getSiblingFile ("Modules.def");
    ASSERT_TRUE (installed.existsAsFile());
    juce::MemoryBlock built, shipped;
    target.getFile().loadFileAsData (built);
    installed.loadFileAsData (shipped);
    EXPECT_EQ (built, shipped);
}

TEST (SampleModulesDefTest, TheToolReportsADamagedFile)
{
    juce::TemporaryFile damaged ("Modules.def");
    damaged.getFile().replaceWithText ("not a module library");

    const auto output = run ({ tool.getFullPathName(), "print", damaged.getFile().getFullPathName() }, 2, true);
    EXPECT_TRUE (output.contains ("Modules.def missing or version mismatch")) << output;

    run ({ tool.getFullPathName(), "build", "/no/such/description.txt", damaged.getFile().getFullPathName() }, 1);
    EXPECT_EQ (damaged.getFile().loadFileAsString(), "not a module library");
}
