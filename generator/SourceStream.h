#pragma once

#include <juce_core/juce_core.h>

#include <memory>

class SourceWriter;

// The handle every generator writes through. It adds nothing but the text it
// is given; the writer behind it does the indenting. A stream made without a
// writer makes and owns its own.
class SourceStream
{
public:
    SourceStream();
    explicit SourceStream (SourceWriter& writerToUse, const juce::String& initialText = {});
    ~SourceStream();

    SourceStream (const SourceStream&) = delete;
    SourceStream& operator= (const SourceStream&) = delete;

    // Uses the given writer, or makes and owns a new one when none is given,
    // then writes the initial text.
    void attach (SourceWriter* writerToUse, const juce::String& initialText = {});

    void write (const juce::String& text);
    void write (const char* utf8Text);
    void newLine();

    // The text, "\r" when asked, then "\n".
    void writeLine (const juce::String& text, bool crlf = false);
    void writeLine (const char* utf8Text, bool crlf = false);

    // Empties the writer's text.
    void clear();

    // The text, then "\n{\n" (or "\n" alone without the brace), one level in.
    void writeAndOpenBlock (const juce::String& text, bool writeBrace);

    // One level out, then "\n}\n" when asked.
    void closeBlock (bool writeBrace);

    juce::String getText() const;
    SourceWriter& getWriter() noexcept { return *writer; }

private:
    SourceWriter* writer = nullptr;
    std::unique_ptr<SourceWriter> ownedWriter;
};
