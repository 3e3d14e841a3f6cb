#include "model/ProjectPresetStores.h"

#include "PresetTestHelpers.h"

#include <gtest/gtest.h>

#include <random>

using namespace PresetTestHelpers;

namespace
{
ProcessPresetStore makeBiquadStore()
{
    auto store = makeStore ({ { "Gain", 0x10 }, { "Freq", 0x11 | secondary }, { "Q", 0x12 | secondary } });
    putPreset (store, "Warm", { 5, 1000, 7 });
    putPreset (store, "Bright", { 6, 4000, 9 });
    return store;
}
} // namespace

//==============================================================================
TEST (ProjectPresetStoresTest, TableIdsCountUpInCreationOrderAcrossClasses)
{
    ProjectPresetStores stores;
    const auto source = makeBiquadStore();

    auto* first = stores.createOrMergeStore (nullptr, "Biquad", 2, source, false);
    auto* second = stores.createOrMergeStore (nullptr, "Compressor", 1, source, false);
    auto* third = stores.createOrMergeStore (stores.findClass ("Biquad"), "Biquad", 4, source, false);

    EXPECT_EQ (first->getTableId(), 0);
    EXPECT_EQ (second->getTableId(), 1);
    EXPECT_EQ (third->getTableId(), 2);
    EXPECT_EQ (stores.getTableCounter(), 2);

    ASSERT_EQ (stores.getClassCount(), 2);
    EXPECT_EQ (stores.getClass (0)->getName(), "Biquad");
    EXPECT_EQ (stores.getClass (0)->getEntryCount(), 2);
    EXPECT_EQ (stores.getClass (0)->getEntry (1)->tableId, 2);
    EXPECT_EQ (stores.getClass (2), nullptr);
    EXPECT_EQ (stores.findStore ("Biquad", 4), third);
    EXPECT_EQ (stores.findStore ("Biquad", 3), nullptr);
    EXPECT_EQ (stores.findStore ("biquad", 2), nullptr);
    EXPECT_EQ (stores.findEntryByTableId (1)->store.get(), second);

    stores.clear();
    EXPECT_EQ (stores.getClassCount(), 0);
    EXPECT_EQ (stores.getTableCounter(), -1);
    EXPECT_EQ (stores.getLastTableId(), -1);
}

TEST (ProjectPresetStoresTest, ANewEntryDropsLastSavedAndHasNoCurrentPresetOfThatName)
{
    ProjectPresetStores stores;
    auto source = makeBiquadStore();
    putPreset (source, ProcessPresetStore::lastSavedPresetName, { 1, 2, 3 });
    putPreset (source, "After", { 4, 5, 6 });
    source.findPreset (ProcessPresetStore::lastSavedPresetName);

    auto* stored = stores.createOrMergeStore (nullptr, "Biquad", 2, source, false);

    EXPECT_EQ (presetNames (*stored), (std::vector<juce::String>{ "Warm", "Bright", "After" }));
    EXPECT_EQ (stored->getCurrentPreset(), -1);
    EXPECT_EQ (controlNames (*stored), controlNames (source));
}

TEST (ProjectPresetStoresTest, ANewEntryKeepsTheSourcesCurrentPresetAcrossTheDrop)
{
    ProjectPresetStores stores;
    auto source = makeBiquadStore();
    putPreset (source, ProcessPresetStore::lastSavedPresetName, { 1, 2, 3 });
    putPreset (source, "After", { 4, 5, 6 });

    auto* stored = stores.createOrMergeStore (nullptr, "Biquad", 2, source, false);

    ASSERT_NE (stored->getCurrentPresetRecord(), nullptr);
    EXPECT_EQ (stored->getCurrentPresetRecord()->name, "After");
    EXPECT_EQ (stored->getCurrentPreset(), 2);
}

TEST (ProjectPresetStoresTest, StoringIntoAnExistingEntryReplacesAPresetOfTheSameName)
{
    ProjectPresetStores stores;
    auto source = makeBiquadStore();
    auto* stored = stores.createOrMergeStore (nullptr, "Biquad", 2, source, false);

    putPreset (source, "Warm", { 50, 500, 70 });
    EXPECT_EQ (stores.createOrMergeStore (nullptr, "Biquad", 2, source, false), stored);

    EXPECT_EQ (presetNames (*stored), (std::vector<juce::String>{ "Warm", "Bright" }));
    EXPECT_EQ (stored->getPresetRecord (0)->values, (std::vector<uint32_t>{ 50, 500, 70 }));
    EXPECT_EQ (stores.getTableCounter(), 0);

    putPreset (source, "New", { 1, 1, 1 });
    stores.createOrMergeStore (nullptr, "Biquad", 2, source, false);
    EXPECT_EQ (presetNames (*stored), (std::vector<juce::String>{ "Warm", "Bright", "New" }));
}

TEST (ProjectPresetStoresTest, KeptTableIdsAreNeverGivenTwice)
{
    ProjectPresetStores stores;
    auto source = makeBiquadStore();

    source.setTableId (7);
    EXPECT_EQ (stores.createOrMergeStore (nullptr, "Biquad", 2, source, true)->getTableId(), 7);
    EXPECT_EQ (stores.getTableCounter(), 7);

    // The same id again, or none, gets a fresh one.
    EXPECT_EQ (stores.createOrMergeStore (nullptr, "Biquad", 4, source, true)->getTableId(), 8);
    source.setTableId (-1);
    EXPECT_EQ (stores.createOrMergeStore (nullptr, "Biquad", 8, source, true)->getTableId(), 9);
    EXPECT_EQ (stores.createOrMergeStore (nullptr, "Mixer", 1, source, false)->getTableId(), 10);
}

TEST (ProjectPresetStoresTest, AddStoredStoreRefusesRepeatedClassCountOrTableId)
{
    ProjectPresetStores stores;

    auto make = [] (int id)
    {
        auto store = std::make_unique<ProcessPresetStore>();
        store->setTableId (id);
        return store;
    };

    EXPECT_TRUE (stores.addStoredStore ("Biquad", 2, make (4)));
    EXPECT_FALSE (stores.addStoredStore ("Biquad", 2, make (5)));
    EXPECT_FALSE (stores.addStoredStore ("Mixer", 1, make (4)));
    EXPECT_FALSE (stores.addStoredStore ("Mixer", 1, make (-1)));
    EXPECT_FALSE (stores.addStoredStore ("Mixer", 1, nullptr));
    EXPECT_TRUE (stores.addStoredStore ("Mixer", 1, make (1)));

    EXPECT_EQ (stores.getTableCounter(), 4);
    EXPECT_EQ (stores.getClassCount(), 2);
}

//==============================================================================
TEST (ProjectPresetStoresTest, MatchingComparesOverTheSourcesValues)
{
    ProjectPresetStores stores;
    auto source = makeBiquadStore();
    auto* stored = stores.createOrMergeStore (nullptr, "Biquad", 2, source, false);
    putPreset (*stored, "Short", { 7, 7 });
    putPreset (*stored, "Long", { 8, 8, 8, 99 });
    auto* cls = stores.findClass ("Biquad");

    auto matchOf = [&] (std::vector<uint32_t> values)
    {
        putPreset (source, "Probe", std::move (values));
        return stores.findMatchingPreset (cls, 2, source);
    };

    EXPECT_EQ (matchOf ({ 6, 4000, 9 }), 1);
    EXPECT_EQ (matchOf ({ 6, 4000, 8 }), -1);
    EXPECT_EQ (matchOf ({ 7, 7, 0 }), -1) << "a shorter stored preset does not match";
    EXPECT_EQ (matchOf ({ 8, 8, 8 }), 3) << "a longer stored preset matches over the source's length";
    EXPECT_EQ (matchOf ({}), -1) << "an empty source matches no preset that holds values";
    EXPECT_EQ (stores.getLastTableId(), 0);

    putPreset (*stored, "Empty", {});
    EXPECT_EQ (matchOf ({}), 4);

    EXPECT_EQ (stores.findMatchingPreset (cls, 3, source), -1);
    EXPECT_EQ (stores.findMatchingPreset (nullptr, 2, source), -1);
}

TEST (ProjectPresetStoresTest, ASourceWithoutCurrentPresetMatchesAndStoresNothing)
{
    ProjectPresetStores stores;
    auto source = makeBiquadStore();
    auto* stored = stores.createOrMergeStore (nullptr, "Biquad", 2, source, false);

    source.setCurrentPreset (-1);

    EXPECT_EQ (stores.findMatchingPreset (stores.findClass ("Biquad"), 2, source), -1);
    EXPECT_EQ (stores.storeOrFindPreset ("Biquad", 2, source, true, true, false), -1);
    EXPECT_EQ (stored->getPresetCount(), 2);
}

//==============================================================================
TEST (ProjectPresetStoresTest, StoreOrFindPresetOnlyWhenEnabled)
{
    ProjectPresetStores stores;
    const auto source = makeBiquadStore();

    EXPECT_EQ (stores.storeOrFindPreset ("Biquad", 2, source, false, true, false), -1);
    EXPECT_EQ (stores.getClassCount(), 0);

    // Without matching: stored, and -1.
    EXPECT_EQ (stores.storeOrFindPreset ("Biquad", 2, source, true, false, false), -1);
    EXPECT_EQ (stores.findStore ("Biquad", 2)->getPresetCount(), 2);
    EXPECT_EQ (stores.getLastTableId(), 0);
}

TEST (ProjectPresetStoresTest, StoreOrFindPresetFindsEqualValuesOrStoresTheCurrentPreset)
{
    ProjectPresetStores stores;
    auto source = makeBiquadStore();

    // A new entry copies the whole source; the current preset is the last one.
    EXPECT_EQ (stores.storeOrFindPreset ("Biquad", 2, source, true, true, false), 1);

    putPreset (source, "Temp", { 5, 1000, 7 });
    EXPECT_EQ (stores.storeOrFindPreset ("Biquad", 2, source, true, true, false), 0) << "equal to Warm";

    putPreset (source, "Temp", { 1, 2, 3 });
    EXPECT_EQ (stores.storeOrFindPreset ("Biquad", 2, source, true, true, false), 2);
    EXPECT_EQ (presetNames (*stores.findStore ("Biquad", 2)), (std::vector<juce::String>{ "Warm", "Bright", "Temp" }));
    EXPECT_EQ (stores.getLastTableId(), 0);

    auto other = makeBiquadStore();
    putPreset (other, ProcessPresetStore::lastSavedPresetName, { 9, 9, 9 });
    EXPECT_EQ (stores.storeOrFindPreset ("Biquad", 4, other, true, true, false), -1) << "a dropped (Last-Saved) is not stored";
    EXPECT_EQ (stores.getLastTableId(), 1);
}

TEST (ProjectPresetStoresTest, AFullStoredStoreReportsNothingStored)
{
    ProjectPresetStores stores;
    auto source = makeBiquadStore();
    auto* stored = stores.createOrMergeStore (nullptr, "Biquad", 2, source, false);

    for (auto i = stored->getPresetCount(); i < ProcessPresetStore::maxPresets; ++i)
        putPreset (*stored, "P" + juce::String (i), { 0, 0, (uint32_t) i });

    putPreset (source, "OneTooMany", { 3, 3, 3 });
    EXPECT_EQ (stores.storeOrFindPreset ("Biquad", 2, source, true, true, false), -1);
    EXPECT_EQ (stored->getPresetCount(), ProcessPresetStore::maxPresets);
}

//==============================================================================
namespace
{
// The order in which a stored copy read back from the preset file lists a
// delay process's controls: the delay control among the fixed ones.
ProcessPresetStore makeStoredDelayStore()
{
    auto stored = makeStore ({ { "Gain", 0x10 },
                               { ProcessPresetStore::fixedDelayControlName, ProcessPresetStore::fixedDelayControlNrpn },
                               { "Freq", 0x11 | secondary } });
    stored.setHasFixedDelayControl();
    putPreset (stored, "One", { 1, 5, 2 });
    return stored;
}

// The node's own store lists the delay control after its other controls.
ProcessPresetStore makeNodeDelayStore()
{
    auto node = makeStore ({ { "Gain", 0x10 },
                             { "Freq", 0x11 | secondary },
                             { ProcessPresetStore::fixedDelayControlName, ProcessPresetStore::fixedDelayControlNrpn } });
    node.setHasFixedDelayControl();
    return node;
}
} // namespace

TEST (ProjectPresetStoresTest, StoringIntoAnEntryOfAnotherControlOrderGoesByName)
{
    ProjectPresetStores stores;
    auto* stored = stores.createOrMergeStore (nullptr, "Delay", 1, makeStoredDelayStore(), false);
    auto node = makeNodeDelayStore();

    putPreset (node, "Two", { 7, 8, 5 });
    stores.createOrMergeStore (nullptr, "Delay", 1, node, false);
    putPreset (node, "One", { 3, 4, 6 });
    stores.createOrMergeStore (nullptr, "Delay", 1, node, false);

    EXPECT_EQ (presetNames (*stored), (std::vector<juce::String>{ "One", "Two" }));
    EXPECT_EQ (controlNames (*stored), (std::vector<juce::String>{ "Gain", ProcessPresetStore::fixedDelayControlName, "Freq" }));
    EXPECT_EQ (valueOf (*stored, "Two", "Gain"), 7u);
    EXPECT_EQ (valueOf (*stored, "Two", "Freq"), 8u);
    EXPECT_EQ (valueOf (*stored, "Two", ProcessPresetStore::fixedDelayControlName), 5u);
    EXPECT_EQ (valueOf (*stored, "One", "Gain"), 3u);
    EXPECT_EQ (valueOf (*stored, "One", "Freq"), 4u);
    EXPECT_EQ (valueOf (*stored, "One", ProcessPresetStore::fixedDelayControlName), 6u);
}

TEST (ProjectPresetStoresTest, MatchingAnEntryOfAnotherControlOrderGoesByName)
{
    ProjectPresetStores stores;
    stores.createOrMergeStore (nullptr, "Delay", 1, makeStoredDelayStore(), false);
    auto* cls = stores.findClass ("Delay");
    auto node = makeNodeDelayStore();

    putPreset (node, "Probe", { 1, 2, 5 });
    EXPECT_EQ (stores.findMatchingPreset (cls, 1, node), 0);

    putPreset (node, "Probe", { 1, 5, 2 });
    EXPECT_EQ (stores.findMatchingPreset (cls, 1, node), -1) << "equal by position only";

    EXPECT_EQ (stores.storeOrFindPreset ("Delay", 1, node, true, true, false), 1);
    EXPECT_EQ (valueOf (*stores.findStore ("Delay", 1), "Probe", "Freq"), 5u);
}

TEST (ProjectPresetStoresTest, AControlTheEntryLacksIsAddedWithItsValue)
{
    ProjectPresetStores stores;
    auto* stored = stores.createOrMergeStore (nullptr, "Eq", 2, makeBiquadStore(), false);

    // A module update added "Shape" before "Q" in the node's store.
    auto node =
        makeStore ({ { "Gain", 0x10 }, { "Freq", 0x11 | secondary }, { "Shape", 0x13 | secondary }, { "Q", 0x12 | secondary } });
    putPreset (node, "Warm", { 1, 2, 3, 4 });
    stores.createOrMergeStore (nullptr, "Eq", 2, node, false);

    EXPECT_EQ (controlNames (*stored), (std::vector<juce::String>{ "Gain", "Freq", "Q", "Shape" }));
    EXPECT_EQ (stored->getSecondaryIndex().size(), 3u);
    EXPECT_EQ (valueOf (*stored, "Warm", "Q"), 4u);
    EXPECT_EQ (valueOf (*stored, "Warm", "Shape"), 3u);
    EXPECT_EQ (valueOf (*stored, "Bright", "Shape"), 0u);
    EXPECT_EQ (valueOf (*stored, "Bright", "Q"), 9u);

    // Found again once stored.
    EXPECT_EQ (stores.findMatchingPreset (stores.findClass ("Eq"), 2, node), 0);
}

TEST (ProjectPresetStoresTest, ValuesMapByControlNameBetweenStores)
{
    const auto node = makeNodeDelayStore();
    const auto stored = makeStoredDelayStore();
    const auto noControls = ProcessPresetStore();

    EXPECT_EQ (ProjectPresetStores::mapValuePositions (node, stored, 3), (std::vector<int>{ 0, 2, 1 }));
    EXPECT_EQ (ProjectPresetStores::mapValuePositions (node, stored, 4), (std::vector<int>{ 0, 2, 1, -1 }))
        << "a value beyond the source's controls goes nowhere";
    EXPECT_EQ (ProjectPresetStores::mapValuePositions (node, makeBiquadStore(), 3), (std::vector<int>{ 0, 1, -1 }));
    EXPECT_EQ (ProjectPresetStores::mapValuePositions (noControls, stored, 2), (std::vector<int>{ 0, 1 }))
        << "without controls there are only positions to go by";
}

// Random classes, counts and kept or given table ids: every look-up finds
// what a walk over the classes in order finds, in the collections, in a copy
// (its own stores, never the original's) and after a move.
TEST (ProjectPresetStoresTest, LookUpsFindWhatAWalkFindsInCopiesAndMoves)
{
    std::mt19937 random (24);
    ProjectPresetStores stores;
    auto source = makeBiquadStore();

    for (int i = 0; i < 300; ++i)
    {
        const auto className = "C" + juce::String ((int) (random() % 40));
        const auto count = (int) (random() % 6) + 1;

        if (random() % 2 == 0)
        {
            auto store = std::make_unique<ProcessPresetStore>();
            store->setTableId ((int) (random() % 500));
            stores.addStoredStore (className, count, std::move (store));
        }
        else
        {
            source.setTableId ((int) (random() % 500));
            stores.createOrMergeStore (nullptr, className, count, source, random() % 2 == 0);
        }
    }

    auto expectFoundAsByWalk = [] (const ProjectPresetStores& s, const char* which)
    {
        for (int c = 0; c < s.getClassCount(); ++c)
        {
            auto* cls = s.getClass (c);
            EXPECT_EQ (s.findClass (cls->getName()), cls) << which;

            for (int e = 0; e < cls->getEntryCount(); ++e)
            {
                auto* entry = cls->getEntry (e);
                ClassPresetStores* owner = nullptr;
                EXPECT_EQ (s.findStore (cls->getName(), entry->count), entry->store.get()) << which;
                EXPECT_EQ (s.findEntryByTableId (entry->tableId, &owner), entry) << which;
                EXPECT_EQ (owner, cls) << which;
            }
        }

        EXPECT_EQ (s.findClass ("C40"), nullptr) << which;
        EXPECT_EQ (s.findEntryByTableId (s.getTableCounter() + 1), nullptr) << which;
    };

    ASSERT_GT (stores.getClassCount(), 30);
    expectFoundAsByWalk (stores, "collections");

    const ProjectPresetStores copy (stores);
    expectFoundAsByWalk (copy, "copy");
    const auto firstId = stores.getClass (0)->getEntry (0)->tableId;
    EXPECT_NE (copy.findEntryByTableId (firstId), stores.findEntryByTableId (firstId));

    const auto moved = std::move (stores);
    expectFoundAsByWalk (moved, "moved");

    stores = ProjectPresetStores (moved);
    stores.clear();
    EXPECT_EQ (stores.findClass ("C0"), nullptr);
    EXPECT_EQ (stores.findEntryByTableId (firstId), nullptr);
}
