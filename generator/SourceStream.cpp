#include "generator/SourceStream.h"

#include "generator/SourceWriter.h"

SourceStream::SourceStream()
{
    attach (nullptr);
}

SourceStream::SourceStream (SourceWriter& writerToUse, const juce::String& initialText)
{
    attach (&writerToUse, initialText);
}

SourceStream::~SourceStream() = default;

void SourceStream::attach (SourceWriter* writerToUse, const juce::String& initialText)
{
    if (writerToUse == nullptr)
    {
        ownedWriter = std::make_unique<SourceWriter>();
        writer = ownedWriter.get();
    }
    else
    {
        writer = writerToUse;

        if (ownedWriter.get() != writerToUse)
            ownedWriter.reset();
    }

    if (initialText.isNotEmpty())
        write (initialText);
}

void SourceStream::write (const juce::String& text)
{
    writer->write (text);
}

void SourceStream::write (const char* utf8Text)
{
    writer->write (utf8Text);
}

void SourceStream::newLine()
{
    writer->write ("\n");
}

void SourceStream::writeLine (const juce::String& text, bool crlf)
{
    writer->write (text);
    writer->write (crlf ? "\r\n" : "\n");
}

void SourceStream::writeLine (const char* utf8Text, bool crlf)
{
    writer->write (utf8Text);
    writer->write (crlf ? "\r\n" : "\n");
}

void SourceStream::clear()
{
    writer->clearText();
}

void SourceStream::writeAndOpenBlock (const juce::String& text, bool writeBrace)
{
    writer->write (text);

    if (! writeBrace)
        writer->write ("\n");

    writer->openBlock (0, writeBrace);
}

void SourceStream::closeBlock (bool writeBrace)
{
    writer->closeBlock (0, writeBrace, false, true);
}

juce::String SourceStream::getText() const
{
    return writer->getText();
}
