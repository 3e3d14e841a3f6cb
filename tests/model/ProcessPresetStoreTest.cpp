#include "model/ProcessPresetStore.h"

#include "PresetTestHelpers.h"

#include <gtest/gtest.h>

namespace
{
using PresetTestHelpers::controlNames;
using PresetTestHelpers::FakePanel;
using PresetTestHelpers::secondary;

// Value of the named control in the current preset, read the way callers do.
uint32_t valueOf (ProcessPresetStore& store, const juce::String& controlName)
{
    EXPECT_TRUE (store.findControl (controlName)) << controlName;
    return store.getCurrentValue();
}

void setValueOf (ProcessPresetStore& store, const juce::String& controlName, uint32_t value)
{
    ASSERT_TRUE (store.findControl (controlName)) << controlName;
    store.setCurrentValue (value);
}
} // namespace

//==============================================================================
TEST (ProcessPresetStoreTest, OnlyTheDelayControlKeepsAllBitsOfItsNumber)
{
    ProcessPresetStore store;

    store.addOrUpdateControl (0x12345678, ProcessPresetStore::fixedDelayControlName, true);
    EXPECT_EQ (store.getCurrentControlNrpn(), 0x12345678u);

    store.addOrUpdateControl (0x12345678, "Gain", true);
    EXPECT_EQ (store.getCurrentControlNrpn(), 0x5678u);

    store.addOrUpdateControl (ProcessPresetStore::fixedDelayControlNrpn, "Delay marker", true);
    EXPECT_EQ (store.getCurrentControlNrpn(), 0x5EAF00Du);
}

TEST (ProcessPresetStoreTest, NumberAllOnesStoresZeroAndIsNotListed)
{
    ProcessPresetStore store;

    ASSERT_TRUE (store.addOrUpdateControl (0xFFFFFFFF, "Bypass", true));

    EXPECT_EQ (store.getControlCount(), 1);
    EXPECT_EQ (store.getCurrentControlNrpn(), 0u);
    EXPECT_TRUE (store.getFixedIndex().empty());
    EXPECT_TRUE (store.getSecondaryIndex().empty());
}

TEST (ProcessPresetStoreTest, BitThirtyOneChoosesTheSecondaryList)
{
    ProcessPresetStore store;

    store.addOrUpdateControl (0x0010, "Fixed", true);
    store.addOrUpdateControl (secondary | 0x0011, "Secondary", true);

    EXPECT_EQ (store.getFixedIndex(), std::vector<int> ({ 0 }));
    EXPECT_EQ (store.getSecondaryIndex(), std::vector<int> ({ 1 }));
    EXPECT_EQ (store.getFixedControlCount(), 1);
    EXPECT_EQ (store.getControl (1)->nrpn, 0x0011u);
}

TEST (ProcessPresetStoreTest, RegisteringAControlAgainUpdatesItWithoutListingItTwice)
{
    ProcessPresetStore store;

    store.addOrUpdateControl (0x0010, "Gain", true);
    store.addOrUpdateControl (0x0020, "Gain", true);
    store.addOrUpdateControl (secondary | 0x0030, "Gain", true);

    EXPECT_EQ (store.getControlCount(), 1);
    EXPECT_EQ (store.getControl (0)->nrpn, 0x0030u);
    EXPECT_EQ (store.getFixedIndex(), std::vector<int> ({ 0 }));
    EXPECT_TRUE (store.getSecondaryIndex().empty());

    store.normaliseControlOrder();
    EXPECT_EQ (controlNames (store), std::vector<juce::String> ({ "Gain" }));
}

TEST (ProcessPresetStoreTest, ControlBeyondTwoHundredFiftyFiveIsRefused)
{
    ProcessPresetStore store;

    for (int i = 0; i < ProcessPresetStore::maxControls; ++i)
        ASSERT_TRUE (store.addOrUpdateControl ((uint32_t) i, "C" + juce::String (i), true));

    EXPECT_FALSE (store.addOrUpdateControl (300, "One too many", true));
    EXPECT_EQ (store.getControlCount(), 255);
    EXPECT_EQ (store.getFixedIndex().size(), 255u);
    EXPECT_FALSE (store.findControl ("One too many"));

    // An existing control can still be updated.
    EXPECT_TRUE (store.addOrUpdateControl (7, "C0", true));
    EXPECT_EQ (store.getControl (0)->nrpn, 7u);
}

TEST (ProcessPresetStoreTest, PresetBeyondTwoHundredFiftyFiveIsRefused)
{
    ProcessPresetStore store;

    for (int i = 0; i < ProcessPresetStore::maxPresets; ++i)
        ASSERT_TRUE (store.selectOrAddPreset ("P" + juce::String (i), 1, false));

    store.setCurrentPreset (3);
    EXPECT_FALSE (store.addPreset());
    EXPECT_FALSE (store.selectOrAddPreset ("Extra", 1, true));
    EXPECT_EQ (store.getPresetCount(), 255);
    EXPECT_EQ (store.getCurrentPreset(), 3);

    PresetRecord source{ "Extra", false, { 42 } };
    EXPECT_FALSE (store.copyPresetFrom (&source, true));
    EXPECT_EQ (store.getPresetRecord (3)->values, std::vector<uint32_t> ({ 0 }));
}

TEST (ProcessPresetStoreTest, FindControlGoesRoundFromTheCurrentControl)
{
    ProcessPresetStore store;

    for (auto* controlName : { "A", "B", "C", "D", "E" })
        store.addOrUpdateControl (1, controlName, false);

    // From position 3 the search reaches 3, 4, then 0, 1, 2.
    for (auto [controlName, position] : { std::pair ("D", 3), std::pair ("E", 4), std::pair ("A", 0), std::pair ("C", 2) })
    {
        store.setCurrentControl (3);
        ASSERT_TRUE (store.findControl (controlName));
        EXPECT_EQ (store.getCurrentControl(), position);
    }

    store.setCurrentControl (3);
    EXPECT_FALSE (store.findControl ("Missing"));
    EXPECT_EQ (store.getCurrentControl(), 3);
}

TEST (ProcessPresetStoreTest, FindControlFromPastTheEndWrapsInsteadOfReadingBeyond)
{
    ProcessPresetStore store;

    for (auto* controlName : { "A", "B", "C" })
        store.addOrUpdateControl (1, controlName, false);

    store.setCurrentControl (7);
    ASSERT_TRUE (store.findControl ("A"));
    EXPECT_EQ (store.getCurrentControl(), 0);

    store.setCurrentControl (-5);
    ASSERT_TRUE (store.findControl ("C"));
    EXPECT_EQ (store.getCurrentControl(), 2);

    ProcessPresetStore empty;
    EXPECT_FALSE (empty.findControl ("A"));
}

TEST (ProcessPresetStoreTest, ValuesNeedACurrentPresetAndControl)
{
    ProcessPresetStore store;
    store.addOrUpdateControl (1, "A", true);

    EXPECT_EQ (store.getCurrentValue(), 0u);
    store.setCurrentValue (9);
    EXPECT_EQ (store.getPresetCount(), 0);

    store.selectOrAddPreset ("P", 0, false);
    store.setCurrentValue (9);
    EXPECT_EQ (store.getCurrentValue(), 9u);

    // A current preset index left beyond the presets reads and writes nothing.
    store.setCurrentPreset (4);
    EXPECT_EQ (store.getCurrentValue(), 0u);
    store.setCurrentValue (5);
    EXPECT_EQ (store.getPresetRecord (0)->values, std::vector<uint32_t> ({ 9 }));

    // So does a control beyond the preset's values.
    store.setCurrentPreset (0);
    store.addOrUpdateControl (2, "B", true);
    EXPECT_FALSE (store.isCurrentControlInPreset());
    store.setCurrentValue (5);
    EXPECT_EQ (store.getPresetRecord (0)->values.size(), 1u);
}

TEST (ProcessPresetStoreTest, PresetLookupsOutOfRangeGiveNothing)
{
    ProcessPresetStore store;
    EXPECT_EQ (store.getPresetRecord (0), nullptr);
    EXPECT_EQ (store.getCurrentPresetRecord(), nullptr);

    store.selectOrAddPreset ("Only", 0, false);
    EXPECT_EQ (store.getPresetRecord (-1), nullptr);
    EXPECT_EQ (store.getPresetRecord (1), nullptr);
    EXPECT_EQ (store.getPresetName (1), juce::String());
    EXPECT_EQ (store.getPresetName (0), "Only");

    store.removePreset (1);
    store.removePreset (-1);
    store.removePresetByName ("Absent");
    EXPECT_EQ (store.getPresetCount(), 1);
}

TEST (ProcessPresetStoreTest, FindPresetNeedsANameAndKeepsTheCurrentPresetOnAMiss)
{
    ProcessPresetStore store;
    store.addPreset(); // unnamed
    store.selectOrAddPreset ("A", 0, false);
    store.selectOrAddPreset ("B", 0, false);

    EXPECT_FALSE (store.findPreset (""));
    EXPECT_FALSE (store.findPreset ("a"));
    EXPECT_EQ (store.getCurrentPreset(), 2);

    ASSERT_TRUE (store.findPreset ("A"));
    EXPECT_EQ (store.getCurrentPreset(), 1);
}

TEST (ProcessPresetStoreTest, RemovingTheOnlyPresetLeavesNoCurrentOrSelectedPreset)
{
    ProcessPresetStore store;
    store.selectOrAddPreset ("Only", 0, false);
    store.setSelectedPreset (0);

    store.removePreset (0);

    EXPECT_EQ (store.getPresetCount(), 0);
    EXPECT_EQ (store.getCurrentPreset(), -1);
    EXPECT_EQ (store.getSelectedPreset(), -1);
}

TEST (ProcessPresetStoreTest, AddingAndRemovingLowerTheSelectedPresetToTheLast)
{
    ProcessPresetStore store;
    store.setSelectedPreset (6);
    store.addPreset();
    EXPECT_EQ (store.getSelectedPreset(), 0);

    store.selectOrAddPreset ("B", 0, false);
    store.selectOrAddPreset ("C", 0, false);
    store.setSelectedPreset (2);
    store.removePresetByName ("B");

    EXPECT_EQ (store.getPresetCount(), 2);
    EXPECT_EQ (store.getPresetName (1), "C");
    EXPECT_EQ (store.getCurrentPreset(), 1);
    EXPECT_EQ (store.getSelectedPreset(), 1);

    // A selection below the last stays.
    store.setSelectedPreset (0);
    store.removePreset (1);
    EXPECT_EQ (store.getSelectedPreset(), 0);
}

TEST (ProcessPresetStoreTest, ExistingPresetRefusedWhenNotAllowedKeepsItsValues)
{
    ProcessPresetStore store;
    store.addOrUpdateControl (1, "A", true);
    store.selectOrAddPreset ("P", 3, false);
    store.getCurrentPresetRecord()->values = { 1, 2, 3 };
    store.selectOrAddPreset ("Q", 0, false);

    EXPECT_FALSE (store.selectOrAddPreset ("P", 5, false));

    EXPECT_EQ (store.getCurrentPreset(), 0);
    EXPECT_EQ (store.getPresetRecord (0)->values, std::vector<uint32_t> ({ 1, 2, 3 }));
    EXPECT_EQ (store.getPresetCount(), 2);
}

TEST (ProcessPresetStoreTest, ValueCountSizesThePresetAndZeroOnlyPads)
{
    ProcessPresetStore store;

    for (auto* controlName : { "A", "B", "C" })
        store.addOrUpdateControl (1, controlName, true);

    store.selectOrAddPreset (ProcessPresetStore::lastSavedPresetName, 0, true);
    EXPECT_EQ (store.getCurrentPresetRecord()->values, std::vector<uint32_t> ({ 0, 0, 0 }));

    store.getCurrentPresetRecord()->values = { 1, 2, 3, 4, 5 };
    store.selectOrAddPreset (ProcessPresetStore::lastSavedPresetName, 0, true);
    EXPECT_EQ (store.getCurrentPresetRecord()->values.size(), 5u);

    store.selectOrAddPreset (ProcessPresetStore::lastSavedPresetName, 2, true);
    EXPECT_EQ (store.getCurrentPresetRecord()->values, std::vector<uint32_t> ({ 1, 2 }));

    store.padValuesToControlCount();
    EXPECT_EQ (store.getCurrentPresetRecord()->values, std::vector<uint32_t> ({ 1, 2, 0 }));
}

TEST (ProcessPresetStoreTest, CopyPresetFromTakesTheValuesEvenOfARefusedExistingPreset)
{
    ProcessPresetStore store;
    store.selectOrAddPreset ("P", 2, false);

    PresetRecord source{ "P", true, { 7, 8, 9 } };
    EXPECT_TRUE (store.copyPresetFrom (&source, false));
    EXPECT_EQ (store.getPresetCount(), 1);
    EXPECT_EQ (store.getPresetRecord (0)->values, std::vector<uint32_t> ({ 7, 8, 9 }));

    EXPECT_FALSE (store.copyPresetFrom (nullptr, true));
}

TEST (ProcessPresetStoreTest, DelayControlIsRecognisedByItsLowBitsOnceTheStoreHasIt)
{
    ProcessPresetStore store;
    store.addOrUpdateControl (ProcessPresetStore::fixedDelayControlNrpn, ProcessPresetStore::fixedDelayControlName, true);
    EXPECT_FALSE (store.isFixedDelayControl());

    store.setHasFixedDelayControl();
    EXPECT_TRUE (store.isFixedDelayControl());

    store.addOrUpdateControl (0xF00D, "Looks like it", true);
    EXPECT_TRUE (store.isFixedDelayControl());

    store.addOrUpdateControl (0xF00E, "Other", true);
    EXPECT_FALSE (store.isFixedDelayControl());

    // Clearing keeps the knowledge that the process has the delay control.
    store.clear (true);
    EXPECT_TRUE (store.hasFixedDelayControl());
}

TEST (ProcessPresetStoreTest, ControlsCountOnlyOnceBuilt)
{
    ProcessPresetStore store;

    store.markBuilding();
    store.addOrUpdateControl (1, "A", true);
    EXPECT_TRUE (store.isBuilding());
    EXPECT_FALSE (store.hasBuiltControls());

    store.markBuilt();
    EXPECT_FALSE (store.isBuilding());
    EXPECT_TRUE (store.hasBuiltControls());
}

//==============================================================================
TEST (ProcessPresetStoreTest, NormalisingMovesValuesWithTheirControls)
{
    ProcessPresetStore store;

    // Registered interleaved, as a panel description lists them; "Unlisted"
    // was added without registration and must not be lost.
    store.addOrUpdateControl (0x01, "F1", true);
    store.addOrUpdateControl (secondary | 0x02, "S1", true);
    store.addOrUpdateControl (0x03, "Unlisted", false);
    store.addOrUpdateControl (0x04, "F2", true);
    store.addOrUpdateControl (secondary | 0x05, "S2", true);
    store.addOrUpdateControl (0x06, "F3", true);

    store.selectOrAddPreset (ProcessPresetStore::lastSavedPresetName, 0, true);
    const std::pair<const char*, uint32_t> expected[] = { { "F1", 11 }, { "S1", 21 }, { "Unlisted", 99 },
                                                          { "F2", 12 }, { "S2", 22 }, { "F3", 13 } };

    for (auto& [controlName, value] : expected)
        setValueOf (store, controlName, value);

    // A preset already in normalised order (as read from a file) is left as it is.
    store.selectOrAddPreset ("Loaded", 0, false);
    store.getCurrentPresetRecord()->values = { 1, 2, 3, 4, 5, 6 };
    store.getCurrentPresetRecord()->orderDone = true;

    // A preset shorter than the controls is padded with zeros where it had none.
    store.selectOrAddPreset ("Short", 2, false);
    store.getCurrentPresetRecord()->values = { 31, 32 };

    store.findControl ("S2");
    store.normaliseControlOrder();

    EXPECT_EQ (controlNames (store), std::vector<juce::String> ({ "F1", "F2", "F3", "S1", "S2", "Unlisted" }));
    EXPECT_EQ (store.getFixedIndex(), std::vector<int> ({ 0, 1, 2 }));
    EXPECT_EQ (store.getSecondaryIndex(), std::vector<int> ({ 3, 4 }));
    EXPECT_EQ (store.getCurrentControlName(), "S2");
    EXPECT_TRUE (store.isOrderNormalised());

    ASSERT_TRUE (store.findPreset (ProcessPresetStore::lastSavedPresetName));
    EXPECT_EQ (store.getCurrentPresetRecord()->values, std::vector<uint32_t> ({ 11, 12, 13, 21, 22, 99 }));

    for (auto& [controlName, value] : expected)
        EXPECT_EQ (valueOf (store, controlName), value) << controlName;

    EXPECT_EQ (store.getPresetRecord (1)->values, std::vector<uint32_t> ({ 1, 2, 3, 4, 5, 6 }));
    EXPECT_EQ (store.getPresetRecord (2)->values, std::vector<uint32_t> ({ 31, 0, 0, 32, 0, 0 }));

    // It runs once per store.
    store.getPresetRecord (0)->orderDone = false;
    store.normaliseControlOrder();
    EXPECT_EQ (store.getPresetRecord (0)->values, std::vector<uint32_t> ({ 11, 12, 13, 21, 22, 99 }));
}

TEST (ProcessPresetStoreTest, NormalisingWithoutListsKeepsTheOrderAndMarksThePresets)
{
    ProcessPresetStore store;
    store.addOrUpdateControl (1, "B", false);
    store.addOrUpdateControl (2, "A", false);
    store.selectOrAddPreset ("P", 1, false);
    store.getCurrentPresetRecord()->values = { 5 };

    store.normaliseControlOrder();

    EXPECT_EQ (controlNames (store), std::vector<juce::String> ({ "B", "A" }));
    EXPECT_EQ (store.getPresetRecord (0)->values, std::vector<uint32_t> ({ 5 }));
    EXPECT_TRUE (store.getPresetRecord (0)->orderDone);
}

//==============================================================================
TEST (ProcessPresetStoreTest, CopyFromMakesAnIndependentEqualStore)
{
    ProcessPresetStore source;
    source.setName ("Delay");
    source.addOrUpdateControl (secondary | 0x10, "S", true);
    source.addOrUpdateControl (0x11, "F", true);
    source.addOrUpdateControl (ProcessPresetStore::fixedDelayControlNrpn, ProcessPresetStore::fixedDelayControlName, true);
    source.setHasFixedDelayControl();
    source.markBuilt();
    source.setDelayCount (480);
    source.setTableId (3);
    source.setExtraFlag (1);

    // Two presets of one name stay two.
    source.selectOrAddPreset ("Twin", 3, false);
    source.getCurrentPresetRecord()->values = { 1, 2, 3 };
    source.addPreset();
    source.setCurrentPresetName ("Twin");
    source.getCurrentPresetRecord()->values = { 4, 5, 6 };
    source.getCurrentPresetRecord()->orderDone = true;
    source.setCurrentPreset (0);
    source.setSelectedPreset (1);

    ProcessPresetStore copy;
    copy.addOrUpdateControl (1, "Old", true);
    copy.selectOrAddPreset ("Old", 0, false);
    copy.copyFrom (source);

    EXPECT_EQ (controlNames (copy), controlNames (source));
    EXPECT_EQ (copy.getControl (2)->nrpn, ProcessPresetStore::fixedDelayControlNrpn);
    EXPECT_EQ (copy.getFixedIndex(), std::vector<int> ({ 1, 2 }));
    EXPECT_EQ (copy.getSecondaryIndex(), std::vector<int> ({ 0 }));
    EXPECT_EQ (copy.getFixedControlCount(), 2);
    EXPECT_EQ (copy.getPresetCount(), 2);
    EXPECT_EQ (copy.getPresetRecord (0)->values, std::vector<uint32_t> ({ 1, 2, 3 }));
    EXPECT_EQ (copy.getPresetRecord (1)->values, std::vector<uint32_t> ({ 4, 5, 6 }));
    EXPECT_TRUE (copy.getPresetRecord (1)->orderDone);
    EXPECT_EQ (copy.getCurrentPreset(), 0);
    EXPECT_EQ (copy.getSelectedPreset(), 1);
    EXPECT_EQ (copy.getName(), "Delay");
    EXPECT_EQ (copy.getDelayCount(), 480u);
    EXPECT_EQ (copy.getTableId(), 3);
    EXPECT_EQ (copy.getExtraFlag(), 1);
    EXPECT_TRUE (copy.isBuilt());
    EXPECT_TRUE (copy.hasFixedDelayControl());

    copy.getPresetRecord (0)->values[0] = 100;
    copy.addOrUpdateControl (0x20, "New", true);
    EXPECT_EQ (source.getPresetRecord (0)->values[0], 1u);
    EXPECT_EQ (source.getControlCount(), 3);

    const ProcessPresetStore constructed (source);
    EXPECT_EQ (controlNames (constructed), controlNames (source));
    EXPECT_EQ (constructed.getPresetCount(), 2);
}

TEST (ProcessPresetStoreTest, CopyFromItselfKeepsEverything)
{
    ProcessPresetStore store;
    store.setName ("Gain");
    store.addOrUpdateControl (1, "A", true);
    store.selectOrAddPreset ("P", 0, false);
    store.setCurrentValue (17);

    store.copyFrom (store);
    auto& alias = store;
    store = alias;

    EXPECT_EQ (store.getName(), "Gain");
    EXPECT_EQ (store.getControlCount(), 1);
    EXPECT_EQ (store.getFixedIndex(), std::vector<int> ({ 0 }));
    ASSERT_EQ (store.getPresetCount(), 1);
    EXPECT_EQ (valueOf (store, "A"), 17u);
}

TEST (ProcessPresetStoreTest, CopyControlsFromSortsFixedAndSecondaryByTheSourceLists)
{
    ProcessPresetStore source;
    source.addOrUpdateControl (secondary | 0x10, "S", true);
    source.addOrUpdateControl (0x11, "F", true);

    ProcessPresetStore store;
    store.addOrUpdateControl (1, "Old", true);
    store.copyControlsFrom (source);

    EXPECT_EQ (controlNames (store), std::vector<juce::String> ({ "S", "F" }));
    EXPECT_EQ (store.getFixedIndex(), std::vector<int> ({ 1 }));
    EXPECT_EQ (store.getSecondaryIndex(), std::vector<int> ({ 0 }));
    EXPECT_EQ (store.getControl (0)->nrpn, 0x10u);

    store.copyControlsFrom (store);
    EXPECT_EQ (store.getControlCount(), 2);
}

TEST (ProcessPresetStoreTest, CopyControlsFromKeepsEachControlsKindWhateverItsNumber)
{
    // The delay control keeps every bit of its number, so its stored number
    // may have bit 31 set, or become all ones once that bit is added.
    struct Case
    {
        uint32_t number;
        bool fixed;
    };

    for (const auto& c : { Case{ 0x80000005u, true }, Case{ 0x7FFFFFFFu, false }, Case{ 0x7FFFFFFFu, true },
                           Case{ 0x5EAF00Du, true }, Case{ 0x5EAF00Du, false } })
    {
        // Listed by kind first, then given its number.
        ProcessPresetStore listed;
        listed.addOrUpdateControl (0x10, "A", true);
        listed.addOrUpdateControl (c.fixed ? 0u : secondary, ProcessPresetStore::fixedDelayControlName, true);
        listed.addOrUpdateControl (c.number, ProcessPresetStore::fixedDelayControlName, false);
        listed.addOrUpdateControl (0x11 | secondary, "B", true);

        ProcessPresetStore copy;
        copy.copyControlsFrom (listed);

        EXPECT_EQ (controlNames (copy), controlNames (listed)) << std::hex << c.number;
        EXPECT_EQ (copy.getFixedIndex(), listed.getFixedIndex()) << std::hex << c.number;
        EXPECT_EQ (copy.getSecondaryIndex(), listed.getSecondaryIndex()) << std::hex << c.number;
        EXPECT_EQ (copy.getControl (1)->nrpn, c.number) << std::hex << c.number;
        EXPECT_EQ (copy.getFixedControlCount(), listed.getFixedControlCount());
    }
}

TEST (ProcessPresetStoreTest, ValuesStopAtTheLastControl)
{
    // A preset may hold more values than the store has controls (sized by a
    // value count); the position just past the last control is none of them.
    ProcessPresetStore store;
    store.addOrUpdateControl (1, "A", true);
    store.addOrUpdateControl (2, "B", true);
    store.selectOrAddPreset ("P", 4, false);
    store.getCurrentPresetRecord()->values = { 1, 2, 3, 4 };

    store.setCurrentControl (2);
    EXPECT_EQ (store.getCurrentValue(), 0u);
    store.setCurrentValue (9);
    EXPECT_EQ (store.getCurrentPresetRecord()->values, std::vector<uint32_t> ({ 1, 2, 3, 4 }));
    store.markCurrentPresetOrderDone();
    EXPECT_FALSE (store.getCurrentPresetRecord()->orderDone);

    store.setCurrentControl (1);
    EXPECT_EQ (store.getCurrentValue(), 2u);
    store.setCurrentValue (9);
    EXPECT_EQ (store.getCurrentPresetRecord()->values, std::vector<uint32_t> ({ 1, 9, 3, 4 }));
    store.markCurrentPresetOrderDone();
    EXPECT_TRUE (store.getCurrentPresetRecord()->orderDone);
}

TEST (ProcessPresetStoreTest, ClearAndResetKeepWhatTheyAreAskedToKeep)
{
    ProcessPresetStore store;
    store.setName ("Gain");
    store.addOrUpdateControl (1, "A", true);
    store.markBuilt();
    store.selectOrAddPreset ("P", 0, false);
    store.setTableId (4);

    store.clear (false);
    EXPECT_EQ (store.getPresetCount(), 0);
    EXPECT_EQ (store.getName(), juce::String());
    EXPECT_EQ (store.getTableId(), -1);
    EXPECT_EQ (store.getControlCount(), 1);
    EXPECT_TRUE (store.isBuilt());

    store.setName ("");
    EXPECT_EQ (store.getName(), juce::String());

    store.clear (true);
    EXPECT_EQ (store.getControlCount(), 0);
    EXPECT_TRUE (store.getFixedIndex().empty());
    EXPECT_FALSE (store.isBuilt());
}

//==============================================================================
TEST (ProcessPresetStoreTest, TakesTheValuesThePanelShows)
{
    FakePanel panel;
    panel.addItem ("Gain", 0x80000005);
    panel.addItem ("Not a control", 77);
    panel.addItem ("Mute", 1);

    ProcessPresetStore store;
    store.addOrUpdateControl (1, "Mute", true);
    store.addOrUpdateControl (2, "Gain", true);
    store.addOrUpdateControl (3, "Untouched", true);
    store.selectOrAddPreset (ProcessPresetStore::lastSavedPresetName, 0, true);
    setValueOf (store, "Untouched", 9);
    store.selectOrAddPreset ("Other", 0, true);

    store.takeValuesFromPanel (panel, ProcessPresetStore::lastSavedPresetName);

    EXPECT_EQ (panel.askedPresetName, ProcessPresetStore::lastSavedPresetName);
    EXPECT_EQ (store.getCurrentPreset(), 0);
    EXPECT_EQ (store.getPresetRecord (0)->values, std::vector<uint32_t> ({ 1, 5, 9 }));
    EXPECT_EQ (store.getPresetRecord (1)->values, std::vector<uint32_t> ({ 0, 0, 0 }));
}

TEST (ProcessPresetStoreTest, TakesNoValuesWithoutThePreset)
{
    FakePanel panel;
    panel.addItem ("Gain", 5);

    ProcessPresetStore store;
    store.addOrUpdateControl (1, "Gain", true);
    store.selectOrAddPreset ("P", 0, true);

    store.takeValuesFromPanel (panel, "Absent");
    EXPECT_EQ (panel.askedPresetName, juce::String());
    EXPECT_EQ (valueOf (store, "Gain"), 0u);
}

// A store finds its controls through an index of their names: after any mix
// of registering, normalising, copying, moving and clearing, each name must
// still lead to the control a search through them all finds, and a missing
// one to nothing, with the current control where such a search leaves it.
TEST (ProcessPresetStoreTest, FindControlAgreesWithASearchThroughAllControlsWhateverTheStoreWentThrough)
{
    juce::Random random (2024);
    ProcessPresetStore store;

    for (int step = 0; step < 3000; ++step)
    {
        const auto name = "C" + juce::String (random.nextInt (300));

        switch (random.nextInt (20))
        {
            case 0: store.normaliseControlOrder(); break;
            case 1: store = ProcessPresetStore (store); break;
            case 2:
            {
                ProcessPresetStore moved (store);
                store = std::move (moved);
                break;
            }
            case 3: store.clear (random.nextInt (4) == 0); break;
            case 4:
            {
                ProcessPresetStore source;
                source.addOrUpdateControl (1, name, true);
                store.copyControlsFrom (random.nextBool() ? source : ProcessPresetStore (store));
                break;
            }
            default:
                store.addOrUpdateControl ((uint32_t) random.nextInt (1000) | (random.nextBool() ? secondary : 0u), name,
                                          random.nextBool());
        }

        const auto lookedFor = "C" + juce::String (random.nextInt (300));
        const auto before = random.nextInt ({ -3, store.getControlCount() + 3 });
        store.setCurrentControl (before);
        const auto names = controlNames (store);
        const auto at = std::find (names.begin(), names.end(), lookedFor);

        ASSERT_EQ (store.findControl (lookedFor), at != names.end()) << step;

        if (at != names.end())
        {
            EXPECT_EQ (store.getCurrentControl(), (int) (at - names.begin())) << step;
        }
        else if (! names.empty())
        {
            EXPECT_EQ (store.getCurrentControl(), before < 0 ? 0 : before % (int) names.size()) << step;
        }
    }
}
