#include "generator/ArrayTable.h"
#include "generator/SourceStream.h"
#include "generator/StructTypedef.h"
#include "model/DesignLog.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
juce::String bodyOf (const ArrayTable& table, bool withLabels)
{
    SourceStream stream;
    table.writeBody (stream, withLabels);
    return stream.getText();
}

juce::String declarationOf (const ArrayTable& table, bool useNames, const juce::StringArray& names = {})
{
    SourceStream stream;
    table.writeDeclaration (stream, useNames, names);
    return stream.getText();
}

juce::String recordOf (const StructTypedef& record)
{
    SourceStream stream;
    record.write (stream);
    return stream.getText();
}

class TableBuildersTest : public ::testing::Test
{
protected:
    void SetUp() override { clearLog(); }
    void TearDown() override { clearLog(); }
};
} // namespace

TEST_F (TableBuildersTest, ARecordWritesOneLinePerMemberAndItsInstanceAfterTheBrace)
{
    StructTypedef record ("PresetGain", "PresetGain");
    record.addMember ("", 1, "Gain");
    record.addMember ("", 2, "Frequency");

    EXPECT_EQ (recordOf (record),
               "typedef struct PresetGain\n{\n\tWORD parameter1; // Gain\n\tDWORD parameter2; // Frequency\n} PresetGain;\n");
}

TEST_F (TableBuildersTest, ARecordOfOneMemberClosesOnTheNextLine)
{
    StructTypedef record ("T", "t");
    record.addMember ("numberOfControls", 0, "number of controls");

    EXPECT_EQ (recordOf (record), "typedef struct T\n{\n\tWORD numberOfControls; // number of controls\n} t;\n");
}

TEST_F (TableBuildersTest, AnUnnamedMemberIsNamedAfterItsPlace)
{
    StructTypedef record ("T", "t");
    record.addMember ("a", 0, "");
    record.addMember ("b", 0, "");
    record.addMember ("", 0, "");

    EXPECT_TRUE (recordOf (record).contains ("\tWORD parameter3; // \n"));
}

TEST_F (TableBuildersTest, OneDimensionJoinsItsCells)
{
    ArrayTable table ("const WORD", "list");
    table.addNumber (3);
    table.addText ("a");
    table.addText ("b");
    table.addText ("c");

    EXPECT_EQ (bodyOf (table, false), "a, b, c");
    EXPECT_EQ (declarationOf (table, false), "const WORD list[3]");
    EXPECT_EQ (getLogErrorCount(), 0);
}

TEST_F (TableBuildersTest, TwoDimensionsWriteARowPerLineWithoutTheRowEnds)
{
    ArrayTable table ("const WORD", "grid");
    table.addNumber (2);
    table.addNumber (2);

    for (auto* cell : { "a", "b", "|", "c", "d", "|" })
    {
        if (juce::String (cell) == "|")
            table.endRow();
        else
            table.addText (cell);
    }

    EXPECT_EQ (bodyOf (table, false), "{ a, b },\n{ c, d }");
    EXPECT_EQ (declarationOf (table, false), "const WORD grid[2][2]");
    EXPECT_EQ (getLogErrorCount(), 0);
}

TEST_F (TableBuildersTest, LabelsHeadTheirRowsAndNamesStandForTheDimensions)
{
    ArrayTable table ("const PresetGain", "gain_presets");
    table.setRecordRows();
    table.addNumber (2);
    table.addNumber (3);

    for (const auto& row :
         { juce::StringArray{ "/* Soft */ ", "1", "2", "3" }, juce::StringArray{ "/* Loud */ ", "4", "5", "6" } })
    {
        for (auto& cell : row)
            table.addText (cell);

        table.endRow();
    }

    EXPECT_EQ (bodyOf (table, true), "/* Soft */ { 1, 2, 3 },\n/* Loud */ { 4, 5, 6 }");
    EXPECT_EQ (declarationOf (table, true, { "GAIN_PRESET_NB" }), "const PresetGain gain_presets[GAIN_PRESET_NB]");
    EXPECT_EQ (declarationOf (table, false), "const PresetGain gain_presets[2]");
}

TEST_F (TableBuildersTest, ATableWithoutRowsWritesNothing)
{
    ArrayTable table ("const DWORD", "globalPreset");
    table.addNumber (0);
    table.addNumber (4);
    table.addText ("stray");

    EXPECT_EQ (table.getRowCount(), 0);
    EXPECT_EQ (bodyOf (table, true), "");
    EXPECT_EQ (declarationOf (table, false), "const DWORD globalPreset[4]");

    ArrayTable none ("const WORD", "none");
    EXPECT_EQ (none.getRowCount(), 0);
    EXPECT_EQ (bodyOf (none, false), "");
}

TEST_F (TableBuildersTest, MissingCellsAreWrittenAsZeroAndLoggedWithoutShiftingLaterRows)
{
    ArrayTable table ("const WORD", "short_rows");
    table.addNumber (3);
    table.addNumber (3);

    table.addText ("1");
    table.endRow(); // two cells short
    table.addText ("4");
    table.addText ("5");
    table.addText ("6");
    table.addText ("7"); // one too many
    table.endRow();
    // the third row is missing altogether

    EXPECT_EQ (bodyOf (table, false), "{ 1, 0, 0 },\n{ 4, 5, 6 },\n{ 0, 0, 0 }");
    EXPECT_EQ (getLogErrorCount(), 2);
    EXPECT_TRUE (getLogText().contains ("Table short_rows: 5 value(s) missing, written as 0."));
    EXPECT_TRUE (getLogText().contains ("Table short_rows: 1 value(s) beyond its rows left out."));
}

TEST_F (TableBuildersTest, InsertedAndHexCells)
{
    ArrayTable table ("const WORD", "controls");
    table.addNumber (4);
    table.addText ("3");
    table.addHex (0x4011);
    table.addHex (0xF00D);
    table.insertText ("2");

    EXPECT_EQ (bodyOf (table, false), "2, 3, 0x4011, 0xf00d");
    EXPECT_EQ (table.getCellCount(), 1);
    EXPECT_EQ (table.getLastValue(), 4);
}

TEST_F (TableBuildersTest, EveryRowHasItsLengthWhateverTheCellsSupplied)
{
    // Random shapes, and rows that fall short, overflow or are missing: the
    // body keeps the declared shape, and every cell it writes is one given or
    // a "0" it reported.
    std::mt19937 random (18);

    for (int round = 0; round < 300; ++round)
    {
        clearLog();
        const int rows = (int) (random() % 5), length = 1 + (int) (random() % 6);
        ArrayTable table ("const WORD", "t");
        table.addNumber (rows);
        table.addNumber (length);

        const int suppliedRows = (int) (random() % 7);
        int supplied = 0, expectedMissing = 0;

        for (int r = 0; r < suppliedRows; ++r)
        {
            const int cells = (int) (random() % (length + 3));

            for (int c = 0; c < cells; ++c)
                table.addText ("v" + juce::String (supplied++));

            table.endRow();

            if (r < rows)
                expectedMissing += juce::jmax (0, length - cells);
        }

        expectedMissing += juce::jmax (0, rows - suppliedRows) * length;

        const auto body = bodyOf (table, false);
        auto lines = juce::StringArray::fromLines (body);
        lines.removeEmptyStrings();
        ASSERT_EQ (lines.size(), rows) << body;

        int zeros = 0;

        for (auto& line : lines)
        {
            ASSERT_TRUE (line.startsWith ("{ ") && line.trimCharactersAtEnd (",").endsWith (" }")) << line;
            const auto inner = line.fromFirstOccurrenceOf ("{ ", false, false).upToFirstOccurrenceOf (" }", false, false);
            auto cells = juce::StringArray::fromTokens (inner, ", ", "");
            cells.removeEmptyStrings();
            ASSERT_EQ (cells.size(), length) << line;

            for (auto& cell : cells)
                zeros += cell == "0" ? 1 : 0;
        }

        EXPECT_EQ (zeros, expectedMissing) << body;
        EXPECT_EQ (getLogText().contains ("t: " + juce::String (expectedMissing) + " value(s) missing"), expectedMissing > 0)
            << body;
    }
}
