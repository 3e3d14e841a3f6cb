#include "model/ModuleLibrary.h"

#include <gtest/gtest.h>

namespace
{
std::unique_ptr<ProcessDefinition> makeProcess (uint32_t id)
{
    auto p = std::make_unique<ProcessDefinition>();
    p->processId = id;
    return p;
}

std::vector<int> nodeNumbers (const DspDefinitionEntry& dsp)
{
    std::vector<int> numbers;

    for (int i = 0; i < dsp.getProcessCount(); ++i)
        numbers.push_back (dsp.getProcessInstance (i)->nodeNumber);

    return numbers;
}
} // namespace

TEST (ModuleLibraryTest, DspTableHoldsSixteenAndStaysPackedAfterRemoval)
{
    ModuleLibrary library;

    for (uint32_t id = 1; id <= 16; ++id)
        ASSERT_NE (library.addDsp (id, 100 + id, 0), nullptr);

    EXPECT_EQ (library.addDsp (17, 117, 0), nullptr);
    EXPECT_EQ (library.getDspCount(), 16);
    EXPECT_EQ (library.getLastDsp()->dspId, 16u);

    library.clearDsps();
    library.addDsp (1, 11, 0)->addProcessInstance (1, 0x30);
    library.addDsp (2, 12, 0);
    library.addDsp (3, 13, 0);

    library.removeDsp (1);
    EXPECT_EQ (library.getDspCount(), 2);
    EXPECT_EQ (library.getDsp (0)->dspId, 2u);
    EXPECT_EQ (library.getDsp (1)->dspId, 3u);
    EXPECT_EQ (library.findDspSlot (3), 1);
    EXPECT_EQ (library.findDspSlot (1), ModuleLibrary::maxDsps);

    library.addDsp (4, 14, 0);
    EXPECT_EQ (library.getDsp (0)->moduleId, 12u);
    EXPECT_EQ (library.getDsp (1)->moduleId, 13u);
    EXPECT_EQ (library.getDsp (2)->dspId, 4u);
}

TEST (ModuleLibraryTest, EmptyDspTableIsSafeToSearch)
{
    ModuleLibrary library;
    EXPECT_EQ (library.getLastDsp(), nullptr);
    EXPECT_EQ (library.findDsp (1), nullptr);

    library.addDsp (1, 5, 0);
    library.removeDsp (1);
    EXPECT_EQ (library.getDspCount(), 0);
    EXPECT_EQ (library.findDsp (1), nullptr);
    EXPECT_EQ (library.getLastDsp(), nullptr);
    EXPECT_EQ (library.getDsp (-1), nullptr);

    library.removeDsp (1); // absent: nothing happens
    EXPECT_EQ (library.getDspCount(), 0);
}

TEST (ModuleLibraryTest, ResetDspEmptiesItsProcessesAndChangesItsModule)
{
    ModuleLibrary library;
    library.addModule (std::make_unique<ModuleDefinition>())->moduleId = 7;
    auto* dsp = library.addDsp (3, 9, 42);
    dsp->addProcessInstance (1, 0x10);

    EXPECT_EQ (library.getModuleOfDsp (3), nullptr);
    EXPECT_EQ (library.resetDsp (3, 7), dsp);
    EXPECT_EQ (dsp->getProcessCount(), 0);
    EXPECT_EQ (dsp->third, 0u);
    EXPECT_EQ (library.getModuleOfDsp (3)->moduleId, 7u);
    EXPECT_EQ (library.resetDsp (99, 7), nullptr);
}

TEST (ModuleLibraryTest, RemovingAProcessInstanceLowersTheNumbersAboveIt)
{
    DspDefinitionEntry dsp;

    for (int n = 1; n <= 5; ++n)
        dsp.addProcessInstance (n, 0x20);

    dsp.removeProcessInstance (3);
    EXPECT_EQ (nodeNumbers (dsp), (std::vector<int>{ 1, 2, 3, 4 }));

    dsp.removeProcessInstance (42); // absent
    EXPECT_EQ (dsp.getProcessCount(), 4);
}

TEST (ModuleLibraryTest, RemovingAProcessInstanceStoredOutOfOrderLowersOnlyTheHigherNumbers)
{
    // Undo, redo and project loading add entries in any order: the numbers
    // to lower are those above the removed one, wherever they stand.
    struct Case
    {
        std::vector<int> stored;
        int removed;
        std::vector<int> expected;
    };

    const Case cases[] = {
        { { 5, 2, 7, 1, 4 }, 4, { 4, 2, 6, 1 } },
        { { 5, 2, 7, 1, 4 }, 7, { 5, 2, 1, 4 } },
        { { 5, 2, 7, 1, 4 }, 1, { 4, 1, 6, 3 } },
        { { 9, 3 }, 3, { 8 } },
        { { 9, 3 }, 9, { 3 } },
        { { 3, 9, 6 }, 6, { 3, 8 } },
    };

    for (const auto& c : cases)
    {
        DspDefinitionEntry dsp;

        for (auto n : c.stored)
            dsp.addProcessInstance (n, (uint32_t) (0x100 + n));

        dsp.removeProcessInstance (c.removed);
        EXPECT_EQ (nodeNumbers (dsp), c.expected) << "removing " << c.removed;

        // Each entry keeps its own process.
        for (int i = 0; i < dsp.getProcessCount(); ++i)
        {
            const auto* entry = dsp.getProcessInstance (i);
            const auto oldNumber = entry->nodeNumber >= c.removed ? entry->nodeNumber + 1 : entry->nodeNumber;
            EXPECT_EQ (entry->processId, (uint32_t) (0x100 + oldNumber));
        }
    }
}

TEST (ModuleLibraryTest, ProcessInstancesAreCappedAtSixtyFourAndAllFindable)
{
    DspDefinitionEntry dsp;

    for (int n = 1; n <= 64; ++n)
        ASSERT_NE (dsp.addProcessInstance (n, (uint32_t) n), nullptr);

    EXPECT_EQ (dsp.addProcessInstance (65, 65), nullptr);
    EXPECT_EQ (dsp.getProcessCount(), 64);
    EXPECT_EQ (dsp.findProcessInstanceIndex (64), 63);
    EXPECT_EQ (dsp.findProcessInstanceIndex (65), -1);

    dsp.removeProcessInstance (64);
    EXPECT_EQ (dsp.getProcessCount(), 63);

    const auto* entry = dsp.getProcessInstance (0);
    EXPECT_EQ (entry->presetWords, (std::array<int32_t, 11>{ 0, 1, -1, 0, 0, 0, 1, -1, 0, 0, 0 }));
}

TEST (ModuleLibraryTest, ProcessLookupRetriesWithTheChannelWordBitOneWayOnly)
{
    ModuleDefinition withFlagged;
    withFlagged.addProcess (makeProcess (0x205), false);
    ASSERT_NE (withFlagged.findProcessById (5), nullptr);
    EXPECT_EQ (withFlagged.findProcessById (5)->processId, 0x205u);

    ModuleDefinition withPlain;
    withPlain.addProcess (makeProcess (5), false);
    EXPECT_EQ (withPlain.findProcessById (0x205), nullptr);
    EXPECT_EQ (withPlain.findProcessById (5)->processId, 5u);
}

TEST (ModuleLibraryTest, FullTablesRefuseSilently)
{
    ModuleLibrary library;

    for (int i = 0; i < ModuleLibrary::maxModules; ++i)
        ASSERT_NE (library.addModule (std::make_unique<ModuleDefinition>()), nullptr);

    EXPECT_EQ (library.addModule (std::make_unique<ModuleDefinition>()), nullptr);
    EXPECT_EQ (library.getModuleCount(), 256);
    EXPECT_EQ (library.getModule (256), nullptr);
    EXPECT_EQ (library.getModule (-1), nullptr);

    ModuleDefinition module;

    for (uint32_t i = 0; i < 256; ++i)
        ASSERT_NE (module.addProcess (makeProcess (i), i == 7), nullptr);

    EXPECT_EQ (module.addProcess (makeProcess (999), false), nullptr);
    EXPECT_TRUE (module.hasFlaggedProcess);
    EXPECT_EQ (module.findProcessById (999), nullptr);
}

TEST (ModuleLibraryTest, DeclaredListsRefuseSurplusEntriesInsteadOfOverwriting)
{
    ProcessDefinition process;
    process.pins.setCapacity (1);
    ASSERT_NE (process.addPin ("IN0", 1, ProcessPinEntry::vectorPin), nullptr);
    EXPECT_EQ (process.addPin ("IN1", 1, ProcessPinEntry::virtualPin), nullptr);
    EXPECT_EQ (process.pins[0]->name, "IN0");

    // A declared count of 0 takes nothing at all.
    EXPECT_EQ (process.addFunction (0, std::make_unique<LibraryFunctionDefinition>()), nullptr);

    ModuleDictionary dictionary;
    dictionary.reserve (1);
    EXPECT_NE (dictionary.add (ParameterWordList::fromWords ({ 4, 0, 10 })), nullptr);
    EXPECT_EQ (dictionary.add (ParameterWordList::fromWords ({ 4, 1, 64 })), nullptr);
    EXPECT_EQ (dictionary.getEntry (0)->word (2), 10);
    EXPECT_EQ (dictionary.getEntry (1), nullptr);
}

TEST (ModuleLibraryTest, BusMaskTableKeepsItsFirstSize)
{
    ModuleLibrary library;
    library.allocateBusMasks (2);
    library.allocateBusMasks (16); // a chip with more DSPs chosen later

    EXPECT_EQ (library.getDspCapacity(), 16);
    EXPECT_EQ (library.getBusMaskCount(), 2);

    const uint8_t mask[8] = { 1, 2, 3, 4, 5, 6, 7, 8 };
    library.setBusInputMask (1, mask);
    library.setBusOutputMask (1, mask);
    library.setBusInputMask (5, mask); // beyond the table: ignored

    EXPECT_EQ ((*library.getBusMask (1))[0], 1);
    EXPECT_EQ ((*library.getBusMask (1))[15], 8);
    EXPECT_EQ (library.getBusMask (5), nullptr);

    library.allocateBusMasks (300);
    EXPECT_EQ (library.getUsableDspCapacity(), ModuleLibrary::maxDsps);
}

TEST (ModuleLibraryTest, ProcessKindsAndLevelMeters)
{
    EXPECT_TRUE (isBiquadProcessKind (0x4001));
    EXPECT_TRUE (isBiquadProcessKind (0x4006));
    EXPECT_TRUE (isSecondBiquadProcessKind (0x4006));
    EXPECT_FALSE (isSecondBiquadProcessKind (0x4001));
    EXPECT_TRUE (isCompressorProcessKind (0x4002));
    EXPECT_TRUE (isCompanderProcessKind (0x4005));
    EXPECT_TRUE (isLimiterProcessKind (0x4007));
    EXPECT_FALSE (isBiquadProcessKind (0));

    ProcessDefinition meter;
    EXPECT_FALSE (meter.hasGetPeakFunction());

    meter.firstFunctions.setCapacity (1);
    meter.secondFunctions.setCapacity (1);
    auto setup = std::make_unique<LibraryFunctionDefinition>();
    setup->name = "Meter_Init";
    meter.addFunction (0, std::move (setup));
    auto control = std::make_unique<LibraryFunctionDefinition>();
    control->name = "Meter_GetPeakLevel";
    meter.addFunction (1, std::move (control));
    EXPECT_TRUE (meter.hasGetPeakFunction());

    meter.firstFunctions[0]->name = "Short";
    EXPECT_FALSE (meter.hasGetPeakFunction());
}

TEST (ModuleLibraryTest, PointerArraySearchAndWordSwap)
{
    ProcessInstanceEntry a, b;
    a.nodeNumber = 4;
    b.nodeNumber = 9;
    std::vector<ProcessInstanceEntry*> entries{ &a, &b };

    EXPECT_EQ (findInPointerArray (entries, 9), 1);
    EXPECT_EQ (findInPointerArray (entries, 5), -1);
    EXPECT_EQ (findInPointerArray ({}, 4), -1);

    uint32_t x = 1, y = 2;
    swapWords (x, y);
    EXPECT_EQ (x, 2u);
    EXPECT_EQ (y, 1u);
}
