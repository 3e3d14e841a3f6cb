#include "generator/SourceWriter.h"
#include "generator/SourceStream.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
juce::String writtenAtLevel (int level, const juce::StringArray& writes)
{
    SourceWriter writer;

    for (int i = 0; i < level; ++i)
        writer.openBlock (0, false);

    for (auto& text : writes)
        writer.write (text);

    return writer.getText();
}

// Texts that mix indented lines, white-space-only lines of every length and
// lines left open.
const char* const mixedTexts[] = {
    "a\n\t\t\nb\n",
    "\t\t\n",
    "\t\n",
    " \t  x\n  \n\n",
    "if (x)\n\t\ty = 1;\n  \t \n\tz;",
    "   ",
    "\t",
    "line\n\t \t\n\t\tdeep\n \n",
    "x\t\t\ny \nz \t w\t\n",
    "end  ",
};
} // namespace

TEST (SourceWriterTest, ClosingABlockAtLevelZeroStaysAtLevelZero)
{
    SourceWriter writer;
    writer.closeBlock (0, false, false, true);
    EXPECT_EQ (writer.getIndentLevel(), 0);

    writer.write ("x\n");
    EXPECT_EQ (writer.getText(), "x\n");
}

TEST (SourceWriterTest, IndentsEachLineAtAPositiveLevel)
{
    EXPECT_EQ (writtenAtLevel (1, { "x\n" }), "\tx\n");
    EXPECT_EQ (writtenAtLevel (1, { "\tx\n" }), "\t\tx\n");
    EXPECT_EQ (writtenAtLevel (2, { "a\nb\n" }), "\t\ta\n\t\tb\n");
}

TEST (SourceWriterTest, AWhiteSpaceOnlyLineBecomesItsNewlineAlone)
{
    EXPECT_EQ (writtenAtLevel (1, { "\t\t\n" }), "\n");
    EXPECT_EQ (writtenAtLevel (3, { " \t \n" }), "\n");
}

TEST (SourceWriterTest, ASingleBlankOrTabLineKeepsItsCharacter)
{
    EXPECT_EQ (writtenAtLevel (1, { "\t\n" }), "\t\t\n");
    EXPECT_EQ (writtenAtLevel (1, { " \n" }), "\t \n");
}

TEST (SourceWriterTest, WhiteSpaceAfterTextIsKeptWhereverTheLineEnds)
{
    // Only a line made of white space alone loses it: blanks and tabs after
    // text belong to the line, before its newline as anywhere else.
    EXPECT_EQ (writtenAtLevel (1, { "x", "\t\t\n" }), "\tx\t\t\n");
    EXPECT_EQ (writtenAtLevel (1, { "x\t\t\n" }), "\tx\t\t\n");
    EXPECT_EQ (writtenAtLevel (1, { "x\t", "\t\n" }), "\tx\t\t\n");
    EXPECT_EQ (writtenAtLevel (2, { "a  \t\nb\n" }), "\t\ta  \t\n\t\tb\n");
    EXPECT_EQ (writtenAtLevel (1, { "  x  \n" }), "\t  x  \n");
}

TEST (SourceWriterTest, WhiteSpaceAfterTextStaysWhenTheLineGoesOn)
{
    EXPECT_EQ (writtenAtLevel (1, { "x", "\t\t", "y\n" }), "\tx\t\ty\n");
    EXPECT_EQ (writtenAtLevel (1, { "x", " \n" }), "\tx \n");
    EXPECT_EQ (writtenAtLevel (1, { "x  " }), "\tx  ");
    EXPECT_EQ (writtenAtLevel (0, { "x", "\t\t\n" }), "x\t\t\n");
}

TEST (SourceWriterTest, AnEmptyLineAtLineStartGetsTheTabs)
{
    EXPECT_EQ (writtenAtLevel (1, { "\n" }), "\t\n");
    EXPECT_EQ (writtenAtLevel (2, { "a\n\nb\n" }), "\t\ta\n\t\t\n\t\tb\n");
}

TEST (SourceWriterTest, LevelZeroCopiesTextUnchanged)
{
    EXPECT_EQ (writtenAtLevel (0, { "\t\t\n x\n\n" }), "\t\t\n x\n\n");
}

TEST (SourceWriterTest, BracesStandAtTheOuterLevel)
{
    SourceWriter writer;
    writer.write ("void f()");
    writer.openBlock (0, true);
    writer.write ("a;");
    writer.openBlock (0, true);
    writer.write ("b;");
    writer.closeBlock (0, true, false, true);
    writer.write ("c;");
    writer.closeBlock (0, true, true, true);

    EXPECT_EQ (writer.getText(), "void f()\n{\n\ta;\n\t{\n\t\tb;\n\t}\n\tc;\n};\n");
    EXPECT_EQ (writer.getIndentLevel(), 0);
}

TEST (SourceWriterTest, ClosingWithoutTrailingNewlineEndsAtTheBrace)
{
    SourceWriter writer;
    writer.openBlock (0, true);
    writer.write ("x;");
    writer.closeBlock (0, true, false, false);
    writer.write (" name;");

    EXPECT_EQ (writer.getText(), "\n{\n\tx;\n} name;");
}

TEST (SourceWriterTest, OpeningWithExtraLevelsIndentsDeeper)
{
    SourceWriter writer;
    writer.openBlock (1, false);
    writer.write ("x\n");
    writer.closeBlock (-1, false, false, true);
    writer.write ("y\n");

    EXPECT_EQ (writer.getText(), "\t\tx\ny\n");
}

TEST (SourceWriterTest, TextAtLevelZeroLeavesTheLineStartSet)
{
    // A line left open at level 0 still gets the indentation of the block
    // entered after it.
    SourceWriter writer;
    writer.write ("abc");
    writer.openBlock (0, false);
    writer.write ("d\n");

    EXPECT_EQ (writer.getText(), "abc\td\n");
}

TEST (SourceWriterTest, HeldWhiteSpaceComesOutOnceWhenTheLineGoesOn)
{
    EXPECT_EQ (writtenAtLevel (1, { "  ", "x\n" }), "\t  x\n");
    EXPECT_EQ (writtenAtLevel (1, { "\t", "\t", "x\n" }), "\t\t\tx\n");
    EXPECT_EQ (writtenAtLevel (1, { "  ", "\n" }), "\n");
}

TEST (SourceWriterTest, AWhiteSpaceOnlyLineSplitAcrossWritesIsStillDropped)
{
    EXPECT_EQ (writtenAtLevel (1, { "\t", "\t\n" }), "\n");
    EXPECT_EQ (writtenAtLevel (2, { "a\n ", "", "\t\nb\n" }), "\t\ta\n\n\t\tb\n");
}

TEST (SourceWriterTest, TheOutputDoesNotDependOnHowTheTextIsSplit)
{
    for (auto* text : mixedTexts)
    {
        const juce::String whole (text);

        for (int level = 0; level < 3; ++level)
        {
            const auto expected = writtenAtLevel (level, { whole });

            for (int cut = 0; cut <= whole.length(); ++cut)
                EXPECT_EQ (writtenAtLevel (level, { whole.substring (0, cut), whole.substring (cut) }), expected)
                    << "level " << level << ", cut " << cut << " of " << whole.quoted();
        }
    }
}

TEST (SourceWriterTest, TheOutputDoesNotDependOnWhereTheTextFallsInTheStaging)
{
    // A white-space-only line across byte 512 of the written text, written
    // whole, in 512-byte pieces and in random pieces.
    juce::String text;

    for (int i = 0; i < 60; ++i)
        text << "line" << juce::String (i).paddedLeft ('0', 3) << "\n"; // 8 bytes each

    text = text.substring (0, 511) + "\t\t\n" + text.substring (511) + "  \n\tend\n";
    const auto expected = writtenAtLevel (1, { text });

    EXPECT_FALSE (expected.contains ("\t\t\t\n"));
    EXPECT_EQ (writtenAtLevel (1, { text.substring (0, 512), text.substring (512) }), expected);

    std::mt19937 random (7);

    for (int round = 0; round < 50; ++round)
    {
        juce::StringArray pieces;

        for (int start = 0; start < text.length();)
        {
            const int length = std::uniform_int_distribution<int> (1, 700) (random);
            pieces.add (text.substring (start, start + length));
            start += length;
        }

        EXPECT_EQ (writtenAtLevel (1, pieces), expected) << "round " << round;
    }
}

TEST (SourceWriterTest, HeldWhiteSpaceBeforeAClosingBraceIsDropped)
{
    SourceWriter writer;
    writer.openBlock (0, true);
    writer.write ("x;\n\t\t");
    writer.closeBlock (0, true, false, true);

    EXPECT_EQ (writer.getText(), "\n{\n\tx;\n\n}\n");
}

TEST (SourceWriterTest, WritesAPartOfAText)
{
    SourceWriter writer;
    writer.write ("abcdef", 2, 3, false);
    writer.write ("xy", 5, 2, false);

    EXPECT_EQ (writer.getText(), "cde");
}

TEST (SourceWriterTest, KeepsNonAsciiNamesAsUtf8)
{
    const auto name = juce::String::fromUTF8 ("Gain \xc3\xa9t\xc3\xa9");
    SourceWriter writer;
    writer.openBlock (0, false);
    writer.write ("// " + name + "\n");

    EXPECT_EQ (writer.getText(), "\t// " + name + "\n");
}

TEST (SourceStreamTest, WriteLineEndsWithLfOrCrLf)
{
    SourceStream stream;
    stream.writeLine ("a");
    stream.writeLine ("b", true);
    stream.newLine();

    EXPECT_EQ (stream.getText(), "a\nb\r\n\n");
}

TEST (SourceStreamTest, WriteAndOpenBlockWithAndWithoutBrace)
{
    SourceStream braced;
    braced.writeAndOpenBlock ("if (x)", true);
    braced.write ("y;");
    braced.closeBlock (true);
    EXPECT_EQ (braced.getText(), "if (x)\n{\n\ty;\n}\n");

    SourceStream bare;
    bare.writeAndOpenBlock ("label:", false);
    bare.write ("y;\n");
    bare.closeBlock (false);
    bare.write ("z;\n");
    EXPECT_EQ (bare.getText(), "label:\n\ty;\nz;\n");
}

TEST (SourceStreamTest, AttachesToAWriterAndWritesTheInitialText)
{
    SourceWriter writer;
    writer.openBlock (0, false);

    SourceStream stream (writer, "x\n");
    stream.write ("y\n");

    EXPECT_EQ (writer.getText(), "\tx\n\ty\n");
    EXPECT_EQ (&stream.getWriter(), &writer);

    stream.attach (nullptr, "own\n");
    EXPECT_NE (&stream.getWriter(), &writer);
    EXPECT_EQ (stream.getText(), "own\n");
    EXPECT_EQ (writer.getText(), "\tx\n\ty\n");
}

TEST (SourceStreamTest, ClearEmptiesTheText)
{
    SourceWriter writer;
    auto& stream = writer.getStream();
    stream.write ("abc");
    stream.clear();
    stream.write ("d");

    EXPECT_EQ (writer.getText(), "d");
}
