#include "generator/SourceWriter.h"

#include "generator/SourceStream.h"

#include <cstring>

namespace
{
bool isBlankOrTab (char c) noexcept
{
    return c == ' ' || c == '\t';
}

// A line made only of at least this much white space comes out as its newline
// alone; a single blank or tab is kept as the line's own text.
constexpr size_t minimumDroppedWhiteSpace = 2;
} // namespace

SourceWriter::SourceWriter() : stream (std::make_unique<SourceStream> (*this))
{
    reset();
}

SourceWriter::~SourceWriter()
{
    // The stream points back at this writer: it goes first.
    stream.reset();
}

void SourceWriter::reset()
{
    indentLevel = 0;
    atLineStart = true;
    heldWhiteSpace.clear();
    heldIndentString.clear();
    rebuildIndentString();
}

void SourceWriter::rebuildIndentString()
{
    indentString.assign ((size_t) juce::jmax (0, indentLevel), '\t');
}

void SourceWriter::write (const juce::String& text, int start, int length, bool whole)
{
    // A String holds no null character: its UTF-8 bytes end at the first one,
    // which strlen finds faster than the String counts them.
    const auto part = whole ? text : text.substring (start, start + juce::jmax (0, length));
    const auto* bytes = part.toRawUTF8();
    appendBytes (bytes, std::strlen (bytes));
}

void SourceWriter::write (const char* utf8Text)
{
    if (utf8Text != nullptr)
        appendBytes (utf8Text, std::strlen (utf8Text));
}

void SourceWriter::openBlock (int extra, bool writeBrace)
{
    if (writeBrace)
        write ("\n{\n");

    indentLevel = juce::jmax (0, indentLevel + extra + 1);
    rebuildIndentString();
}

void SourceWriter::closeBlock (int delta, bool writeBrace, bool withSemicolon, bool trailingNewline)
{
    indentLevel = juce::jmax (0, indentLevel + delta - 1);
    rebuildIndentString();

    if (writeBrace)
    {
        const char* closer = withSemicolon ? "\n};\n" : "\n}\n";
        const size_t length = std::strlen (closer) - (trailingNewline ? 0 : 1);
        appendBytes (closer, length);
    }

    atLineStart = true;
}

juce::String SourceWriter::getText() const
{
    // White space held back is only ever the possible start of a line: until
    // the line goes on, the text does not show it.
    return juce::String::fromUTF8 (output.data(), (int) output.size());
}

void SourceWriter::appendBytes (const char* bytes, size_t length)
{
    if (indentLevel > 0)
    {
        appendIndented (bytes, length);
        return;
    }

    // Level 0 copies the text as it is and leaves the line-start flag alone;
    // white space held back at a deeper level is settled by what follows it.
    size_t start = 0;

    if (! heldWhiteSpace.empty())
    {
        while (start < length && isBlankOrTab (bytes[start]))
            heldWhiteSpace += bytes[start++];

        if (start == length)
            return;

        settleHeldWhiteSpace (bytes[start]);
    }

    output.append (bytes + start, length - start);
}

void SourceWriter::settleHeldWhiteSpace (char next)
{
    // A line made only of white space goes, unless it is a single character.
    if (next != '\n' || heldWhiteSpace.size() < minimumDroppedWhiteSpace)
    {
        output += heldIndentString;
        output += heldWhiteSpace;
    }

    heldWhiteSpace.clear();
}

void SourceWriter::appendIndented (const char* bytes, size_t length)
{
    for (size_t i = 0; i < length; ++i)
    {
        const char c = bytes[i];

        // White space at the start of a line is held back until the line
        // shows whether it is made of nothing else; a later write may still be
        // the one that brings the newline. White space after text on a line
        // is that line's own and goes out as it is.
        if (atLineStart && isBlankOrTab (c))
        {
            if (heldWhiteSpace.empty())
                heldIndentString = indentString;

            heldWhiteSpace += c;
            continue;
        }

        if (! heldWhiteSpace.empty())
            settleHeldWhiteSpace (c);
        else if (atLineStart)
            output += indentString;

        output += c;
        atLineStart = (c == '\n');
    }
}
