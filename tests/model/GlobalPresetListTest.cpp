#include "model/GlobalPresetList.h"
#include "model/DesignLog.h"
#include "model/GlobalPresetKey.h"

#include <gtest/gtest.h>

//==============================================================================
TEST (GlobalPresetKeyTest, PacksProcessPresetAndTable)
{
    GlobalPresetTable table (1);

    ASSERT_TRUE (table.addKey (5, 3, 2));
    ASSERT_TRUE (table.addKey (5, 0xFFF, 1));

    EXPECT_EQ (table.getKey (0), 0x00200305u);
    EXPECT_EQ (table.getKey (1), 0x001FFF05u);

    constexpr auto key = GlobalPresetKey::make (0x1F, 7, 0x123);
    static_assert (GlobalPresetKey::getProcessId (key) == 0x1F);
    static_assert (GlobalPresetKey::getPresetIndex (key) == 7);
    static_assert (GlobalPresetKey::getTableId (key) == 0x123);
    static_assert (GlobalPresetKey::getPresetReference (key) == 0x123007);
    static_assert (GlobalPresetKey::withPresetIndex (key, 2) == GlobalPresetKey::make (0x1F, 2, 0x123));
}

TEST (GlobalPresetKeyTest, HighTableIdsUseTheTopBit)
{
    // Table ids from 2048 set bit 31: the key is a full unsigned word.
    const auto key = GlobalPresetKey::make (1, 0, 0xFFF);
    EXPECT_EQ (key, 0xFFF00001u);
    EXPECT_EQ (GlobalPresetKey::getTableId (key), 0xFFF);
}

TEST (GlobalPresetKeyTest, TableIdsThatDoNotFitAreRefusedAndLogged)
{
    clearLog();
    GlobalPresetTable table (2);

    EXPECT_FALSE (table.addKey (3, 0, 0x1000));
    EXPECT_FALSE (table.addKey (3, -1, 0));
    EXPECT_FALSE (table.addKey (3, 0, -1));

    EXPECT_EQ (table.getKeyCount(), 0);
    EXPECT_EQ (table.getLastKeyIndex(), -1);
    EXPECT_EQ (getLogErrorCount(), 3);
    EXPECT_TRUE (getLogText().contains ("4096")) << getLogText();
    clearLog();
}

//==============================================================================
TEST (GlobalPresetTableTest, KeysOutOfRangeAnswerNoKey)
{
    GlobalPresetTable table (0);

    EXPECT_EQ (table.getKey (0), GlobalPresetKey::noKey);
    EXPECT_EQ (table.getKeyPointer (0), nullptr);

    table.appendRawKey (0xDEADBEEF);
    table.appendRawKey (42);

    EXPECT_EQ (table.getLastKeyIndex(), 1);
    EXPECT_EQ (table.getKey (-1), 0xFFFFFFFFu);
    EXPECT_EQ (table.getKey (2), 0xFFFFFFFFu);
    EXPECT_EQ (table.getKey (0), 0xDEADBEEFu);
    EXPECT_EQ (table.getKeyPointer (-1), nullptr);
    ASSERT_NE (table.getKeyPointer (1), nullptr);
    EXPECT_EQ (*table.getKeyPointer (1), 42u);

    table.clearKeys();
    EXPECT_EQ (table.getKeyCount(), 0);
    EXPECT_EQ (table.getLastKeyIndex(), -1);
}

//==============================================================================
TEST (GlobalPresetTest, AddTableDoesNotDuplicateADsp)
{
    GlobalPreset preset ("Live");

    preset.addTable (3);
    preset.addTable (5);
    EXPECT_EQ (preset.getCurrentTable(), 1);

    preset.addTable (3);
    EXPECT_EQ (preset.getHeldTableCount(), 2);
    EXPECT_EQ (preset.getTableCount(), 2);
    EXPECT_EQ (preset.getCurrentTable(), 0);

    ASSERT_NE (preset.findTableByDsp (5), nullptr);
    EXPECT_EQ (preset.findTableByDsp (5)->getDspId(), 5u);
    EXPECT_EQ (preset.getCurrentTable(), 1);
    EXPECT_EQ (preset.findTableByDsp (9), nullptr);
    EXPECT_EQ (preset.findTableIndex (9), -1);
}

TEST (GlobalPresetTest, GetTableFetchesTheTablesHeldWhateverTheAnnouncedCount)
{
    GlobalPreset preset ("Live");
    EXPECT_EQ (preset.getTable (0), nullptr);

    preset.addTable (1);
    preset.setTableCount (4); // the DSP count, more than the tables held

    EXPECT_NE (preset.getTable (0), nullptr);
    EXPECT_EQ (preset.getTable (-1), nullptr);
    EXPECT_EQ (preset.getTable (1), nullptr);
    EXPECT_EQ (preset.getTable (3), nullptr);

    // Fewer DSPs than tables held (a DSP removed since): every table held is
    // still fetched, as the loops over the tables walk every one.
    preset.addTable (2);
    preset.addTable (3);
    preset.setTableCount (1);

    for (int n = 0; n < preset.getHeldTableCount(); ++n)
        ASSERT_NE (preset.getTable (n), nullptr) << n;

    EXPECT_EQ (preset.getTable (2)->getDspId(), 3u);
    EXPECT_EQ (preset.getTable (3), nullptr);
}

TEST (GlobalPresetTest, WordCountIsTablesPlusKeys)
{
    GlobalPreset preset ("Live");
    EXPECT_EQ (preset.getWordCount(), 0);

    preset.addTable (1);
    preset.findTableByDsp (1)->addKey (1, 0, 0);
    preset.findTableByDsp (1)->addKey (2, 1, 0);
    preset.addTable (2);
    preset.findTableByDsp (2)->addKey (1, 0, 1);

    EXPECT_EQ (preset.getWordCount(), 2 + 3);

    preset.clearTables();
    EXPECT_EQ (preset.getWordCount(), 0);
    EXPECT_EQ (preset.getTableCount(), 0);
    EXPECT_EQ (preset.getCurrentTable(), -1);
}

//==============================================================================
TEST (GlobalPresetListTest, AddFindAndRemoveByName)
{
    GlobalPresetList list;
    EXPECT_EQ (list.getCurrent(), nullptr);

    list.addIfMissing ("A");
    list.addIfMissing ("B");
    list.addIfMissing ("A");

    ASSERT_EQ (list.getCount(), 2);
    EXPECT_EQ (list.getCurrentIndex(), 0);
    EXPECT_EQ (list.getCurrent()->getName(), "A");
    EXPECT_EQ (list.findByName ("B"), 1);
    EXPECT_EQ (list.findByName ("b"), -1);
    EXPECT_EQ (list.getPreset (-1), nullptr);
    EXPECT_EQ (list.getPreset (2), nullptr);

    // Removing the current preset leaves none current; removing one before
    // the current one keeps the current one.
    list.findByName ("A");
    list.removeByName ("A");
    ASSERT_EQ (list.getCount(), 1);
    EXPECT_EQ (list.getCurrent(), nullptr);

    list.addIfMissing ("C");
    list.addIfMissing ("D");
    list.removeByName ("B");
    ASSERT_NE (list.getCurrent(), nullptr);
    EXPECT_EQ (list.getCurrent()->getName(), "D");
    list.removeByName ("C");

    list.removeByName ("missing");
    EXPECT_EQ (list.getCount(), 1);

    list.removeByName ("D");
    EXPECT_EQ (list.getCount(), 0);
    EXPECT_EQ (list.getCurrent(), nullptr);
}

TEST (GlobalPresetListTest, FirstPresetSizesAndClear)
{
    GlobalPresetList list;
    EXPECT_EQ (list.firstPresetWordCount(), 0);
    EXPECT_EQ (list.firstPresetTableCount(), 0);

    list.addIfMissing ("A");
    list.getCurrent()->addTable (1);
    list.getCurrent()->findTableByDsp (1)->addKey (1, 2, 3);
    list.addIfMissing ("B");

    EXPECT_EQ (list.firstPresetWordCount(), 2);
    EXPECT_EQ (list.firstPresetTableCount(), 1);

    list.removeFirst();
    EXPECT_EQ (list.getPreset (0)->getName(), "B");

    list.clear();
    EXPECT_EQ (list.getCount(), 0);
    EXPECT_EQ (list.getCurrentIndex(), -1);
    list.removeFirst();
    EXPECT_EQ (list.getCount(), 0);
}
