#include "model/BoardControlSender.h"
#include "model/ControlSysExMessage.h"
#include "model/Design.h"
#include "model/DspDefinitionEntry.h"
#include "model/ModuleLibrary.h"

#include "PresetTestHelpers.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace PresetTestHelpers;

namespace
{
using Bytes = std::vector<uint8_t>;
constexpr uint32_t fixedDelayNrpn = ProcessPresetStore::fixedDelayControlNrpn;

// (dsp, param, value) of each message sent, in order.
using Sent = std::vector<std::tuple<int, uint32_t, uint32_t>>;

// A design built in code, its messages caught as the MIDI output gets them.
class BoardControlSenderTest : public ::testing::Test
{
protected:
    BoardControlSenderTest()
    {
        design.setLibrary (&library);
        sender.setOutput ([this] (const uint8_t* data, int size) { messages.emplace_back (data, data + size); });
    }

    // A process on the DSP (made when missing) under that NRPN, holding the store.
    GraphNode& addProcess (uint32_t dspId, uint32_t nrpn, ProcessPresetStore store)
    {
        auto* slot = design.findDsp (dspId);

        if (slot == nullptr)
            slot = design.addDsp (dspId, 0x21);

        slot->getGraph().addNode ("Process", true, nullptr, 0.5, 0.5);
        auto& node = *slot->getGraph().getLastAddedNode();
        node.nrpn = nrpn;
        node.presetStore = std::move (store);
        design.getDspEntry (dspId)->addProcessInstance ((int) node.getId(), 0x30);
        return node;
    }

    static Bytes encoded (int dsp, uint32_t param, uint32_t value)
    {
        const auto message = ControlSysExMessage::encode (dsp, param, value);
        return Bytes (message.begin(), message.end());
    }

    std::vector<Bytes> expected (const Sent& sent) const
    {
        std::vector<Bytes> result;

        for (const auto& [dsp, param, value] : sent)
            result.push_back (encoded (dsp, param, value));

        return result;
    }

    ModuleLibrary library;
    Design design;
    BoardControlSender sender{ design };
    std::vector<Bytes> messages;
};

ProcessPresetStore gainStore (uint32_t gain, uint32_t mute)
{
    auto store = makeStore ({ { "Gain", 0x01 }, { "Mute", 0x8002 } });
    putPreset (store, "Loud", { 900, 1 });
    putPreset (store, lastSaved, { gain, mute });
    store.findPreset ("Loud");
    return store;
}

ProcessPresetStore delayStore (uint32_t time, uint32_t count)
{
    auto store = makeStore ({ { "Time", 0x03 }, { delayName, fixedDelayNrpn } });
    store.setHasFixedDelayControl();
    putPreset (store, lastSaved, { time, count });
    return store;
}
} // namespace

//==============================================================================
TEST_F (BoardControlSenderTest, SendsTheLastSavedValuesOfAProcessExactly)
{
    auto& node = addProcess (2, 5, gainStore (100, 1));

    sender.sendProcessControls (1, node);

    ASSERT_EQ (messages.size(), 2u);
    EXPECT_EQ (messages[0], (Bytes{ 0xF0, 0x00, 0x3A, 0x7E, 0x3D, 0x01, 0x05, 0x01, 0x04, 0x00, 0x01, 0x48, 0x00, 0xF7 }));
    EXPECT_EQ (messages[1], (Bytes{ 0xF0, 0x00, 0x3A, 0x7E, 0x3D, 0x01, 0x05, 0x02, 0x04, 0x00, 0x00, 0x00, 0x01, 0xF7 }));
}

TEST_F (BoardControlSenderTest, NeverSendsTheFixedDelayControl)
{
    auto& delay = addProcess (1, 3, delayStore (480, 2));
    auto onlyDelay = makeStore ({ { delayName, fixedDelayNrpn } });
    onlyDelay.setHasFixedDelayControl();
    putPreset (onlyDelay, lastSaved, { 7 });
    auto& bare = addProcess (1, 4, std::move (onlyDelay));

    sender.sendProcessControls (0, delay);
    EXPECT_EQ (messages, expected ({ { 0, 0x0303, 480 } }));

    messages.clear();
    sender.sendProcessControls (0, bare);
    EXPECT_TRUE (messages.empty());
}

TEST_F (BoardControlSenderTest, SendsNothingWithoutLastSavedOrWithoutAnOutput)
{
    auto store = makeStore ({ { "Gain", 0x01 } });
    putPreset (store, "Other", { 5 });
    auto& unsaved = addProcess (1, 1, std::move (store));

    sender.sendProcessControls (0, unsaved);
    EXPECT_TRUE (messages.empty());
    EXPECT_EQ (unsaved.presetStore.getPresetCount(), 1) << "no \"(Last-Saved)\" made up without a panel";

    auto& saved = addProcess (1, 2, gainStore (1, 0));
    sender.setOutput ({});
    sender.sendProcessControls (0, saved);
    sender.sendAllControls();
    EXPECT_TRUE (messages.empty());
}

TEST_F (BoardControlSenderTest, ThePanelsValuesTakenIntoTheStoreAreSent)
{
    auto store = makeStore ({ { "Gain", 0x01 }, { "Mute", 0x8002 } });
    FakePanel panel;
    panel.addItem ("Mute", 0x80000001); // the library's own bit goes
    panel.addItem ("Unknown", 9);
    panel.addItem ("Gain", 250);
    auto& node = addProcess (3, 9, std::move (store));

    // As the panel's owner hands the store every change made on it.
    node.presetStore.takePanelValuesAsLastSaved (panel);
    sender.sendProcessControls (2, node);

    EXPECT_EQ (messages, expected ({ { 2, 0x0901, 250 }, { 2, 0x8902, 1 } }));
    EXPECT_EQ (valueOf (node.presetStore, lastSaved, "Gain"), 250u);
    EXPECT_EQ (panel.askedPresetName, lastSaved);
}

TEST_F (BoardControlSenderTest, TheLastSavedValuesAreSentWhateverPresetIsCurrent)
{
    auto& node = addProcess (1, 6, gainStore (77, 1));
    putPreset (node.presetStore, "Other", { 5, 0 });

    sender.sendProcessControls (0, node);
    EXPECT_EQ (messages, expected ({ { 0, 0x0601, 77 }, { 0, 0x8602, 1 } }));
}

//==============================================================================
TEST_F (BoardControlSenderTest, ADspSendsItsProcessesOnTheChannelOfItsId)
{
    addProcess (3, 1, gainStore (10, 0));
    addProcess (3, 2, delayStore (20, 1));
    addProcess (5, 1, gainStore (30, 1));
    // The DSP's box in the bus graph may carry another NRPN than its id:
    // the channel follows the id, as the control panels' messages do.
    design.getBusGraph().addNode ("DSP3", false, nullptr, 0.2, 0.2);
    design.getBusGraph().getLastAddedNode()->nrpn = 9;

    sender.sendDspControls (3);
    EXPECT_EQ (messages, expected ({ { 2, 0x0101, 10 }, { 2, 0x8102, 0 }, { 2, 0x0203, 20 } }));

    messages.clear();
    sender.sendDspControls (7);
    EXPECT_TRUE (messages.empty()) << "no such DSP";
}

TEST_F (BoardControlSenderTest, ARegistryListingMoreProcessesThanTheGraphSendsWhatIsThere)
{
    addProcess (1, 1, gainStore (4, 0));
    design.getDspEntry (1)->addProcessInstance (2, 0x30);

    sender.sendDspControls (1);
    EXPECT_EQ (messages, expected ({ { 0, 0x0101, 4 }, { 0, 0x8102, 0 } }));
}

TEST_F (BoardControlSenderTest, AllDspsWithProcessesAreSent)
{
    design.addDsp (1, 0x21);
    addProcess (2, 1, gainStore (8, 1));
    addProcess (4, 3, delayStore (16, 1));

    sender.sendAllControls();
    EXPECT_EQ (messages, expected ({ { 1, 0x0101, 8 }, { 1, 0x8102, 1 }, { 3, 0x0303, 16 } }));
}

//==============================================================================
namespace
{
// Two stored stores of a gain process (table ids 4 and 7) and a global preset
// "Live" with one table for DSP 2.
class GlobalPresetApplyTest : public BoardControlSenderTest
{
protected:
    GlobalPresetApplyTest()
    {
        // The stored copy lists its controls in another order than the node.
        auto stored = std::make_unique<ProcessPresetStore> (makeStore ({ { "Mute", 0x8002 }, { "Gain", 0x01 } }));
        putPreset (*stored, "Quiet", { 0, 10 });
        putPreset (*stored, "Loud", { 1, 900 });
        stored->setTableId (4);
        design.getPresetStores().addStoredStore ("Gain", 1, std::move (stored));

        auto delayed = std::make_unique<ProcessPresetStore> (delayStore (0, 1));
        putPreset (*delayed, "Short", { 12, 1 });
        delayed->setTableId (7);
        design.getPresetStores().addStoredStore ("Delay", 1, std::move (delayed));

        design.getGlobalPresets().addIfMissing ("Live");
        live().addTable (2);
    }

    GlobalPreset& live() { return *design.getGlobalPresets().getPreset (design.getGlobalPresets().findByName ("Live")); }
    GlobalPresetTable& table() { return *live().findTableByDsp (2); }
};
} // namespace

TEST_F (GlobalPresetApplyTest, StoredPresetsBecomeLastSavedAndAreSent)
{
    auto& gain = addProcess (2, 5, gainStore (3, 0));
    auto& delay = addProcess (2, 6, delayStore (99, 1));
    table().addKey (5, 1, 4); // "Loud" of table 4
    table().addKey (6, 1, 7); // "Short" of table 7

    EXPECT_TRUE (sender.applyGlobalPreset ("Live"));

    EXPECT_EQ (messages, expected ({ { 1, 0x8502, 1 }, { 1, 0x0501, 900 }, { 1, 0x0603, 12 } }));
    EXPECT_EQ (valueOf (gain.presetStore, lastSaved, "Gain"), 900u);
    EXPECT_EQ (valueOf (gain.presetStore, lastSaved, "Mute"), 1u);
    EXPECT_EQ (valueOf (gain.presetStore, "Loud", "Gain"), 900u) << "other presets keep their values";
    EXPECT_EQ (valueOf (delay.presetStore, lastSaved, "Time"), 12u);
    EXPECT_EQ (gain.valueReplacements, 1u) << "its panel is told to show them";
    EXPECT_EQ (delay.valueReplacements, 1u);
}

TEST_F (GlobalPresetApplyTest, AKeyNamingNoStoredStoreIsLeftOut)
{
    auto& gain = addProcess (2, 5, gainStore (3, 0));
    table().addKey (5, 0, 11); // no table 11
    table().addKey (5, 9, 4);  // table 4 holds two presets
    table().addKey (5, 0, 4);  // "Quiet"

    EXPECT_TRUE (sender.applyGlobalPreset ("Live"));

    EXPECT_EQ (messages, expected ({ { 1, 0x8502, 0 }, { 1, 0x0501, 10 } }));
    EXPECT_EQ (valueOf (gain.presetStore, lastSaved, "Gain"), 10u);
}

TEST_F (GlobalPresetApplyTest, AProcessMissingFromItsDspIsStillSent)
{
    auto& other = addProcess (2, 5, gainStore (3, 0));
    table().addKey (8, 0, 4);

    EXPECT_TRUE (sender.applyGlobalPreset ("Live"));
    EXPECT_EQ (messages, expected ({ { 1, 0x8802, 0 }, { 1, 0x0801, 10 } }));
    EXPECT_EQ (other.valueReplacements, 0u);
}

TEST_F (GlobalPresetApplyTest, NothingHappensForAnUnknownNameOrAPresetWithoutTables)
{
    addProcess (2, 5, gainStore (3, 0));
    table().addKey (5, 0, 4);
    design.getGlobalPresets().addIfMissing ("Empty");

    EXPECT_FALSE (sender.applyGlobalPreset ("Studio"));
    EXPECT_FALSE (sender.applyGlobalPreset ("Empty"));
    EXPECT_FALSE (sender.applyGlobalPreset ({}));
    EXPECT_TRUE (messages.empty());
}
