#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <string>

class SourceStream;

// The indenting text writer that every generated source, header and project
// file is composed with. At level 0 text goes out unchanged; at a positive
// level every line starts with one tab per level, and a line made only of two
// or more tabs or blanks comes out as its newline alone; white space after
// text on a line is kept as it is.
//
// Whether a line is white space only is decided for the whole line, whatever
// the writes it was made of: the output of a text never depends on how the
// generators split it into writes. White space at the start of a line is held
// back until the line shows what follows it.
class SourceWriter
{
public:
    SourceWriter();
    ~SourceWriter();

    SourceWriter (const SourceWriter&) = delete;
    SourceWriter& operator= (const SourceWriter&) = delete;

    // Level 0, at line start, nothing held back; the text written so far stays.
    void reset();

    // Appends the whole text when whole is set, else the characters from start
    // (length of them).
    void write (const juce::String& text, int start, int length, bool whole);
    void write (const juce::String& text) { write (text, 0, 0, true); }
    void write (const char* utf8Text);

    // Writes "\n{\n" when asked (at the old level), then goes extra + 1 levels in.
    void openBlock (int extra, bool writeBrace);

    // Goes delta - 1 levels (never below 0), then writes "\n};\n" or "\n}\n"
    // when asked, without its last newline when trailingNewline is clear.
    void closeBlock (int delta, bool writeBrace, bool withSemicolon, bool trailingNewline);

    int getIndentLevel() const noexcept { return indentLevel; }
    bool isAtLineStart() const noexcept { return atLineStart; }

    juce::String getText() const;
    void clearText() noexcept { output.clear(); }

    // The handle through which generators write into this writer.
    SourceStream& getStream() noexcept { return *stream; }

private:
    void rebuildIndentString();
    void appendBytes (const char* bytes, size_t length);
    void appendIndented (const char* bytes, size_t length);
    void settleHeldWhiteSpace (char next);

    std::string output;
    std::string indentString;
    std::string heldWhiteSpace;   // blanks and tabs that began a line not yet known to be only them
    std::string heldIndentString; // the tabs of the level the held white space began at
    int indentLevel = 0;
    bool atLineStart = true;
    std::unique_ptr<SourceStream> stream;
};
