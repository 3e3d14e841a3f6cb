#pragma once

#include <juce_core/juce_core.h>

// Reads a whole file that the program takes from outside (a project, a
// preset file, "Modules.def", the settings), refusing what is no such file
// before a byte of it is read: a folder, a FIFO or a device (which block for
// ever or never end) and a file larger than the caller's limit. The limit
// also holds for a file that grows while it is read.
class RegularFileReader
{
public:
    struct Read
    {
        juce::MemoryBlock data;
        // False when nothing stands under the name (a missing file is no failure).
        bool exists = false;
        juce::Result result = juce::Result::ok();
    };

    static Read read (const juce::File& file, juce::int64 largestFile);

    // The bytes as text, UTF-8 or as JUCE reads other files.
    static juce::String asText (const juce::MemoryBlock& data);

    // Whether the bytes, after a UTF-8 byte-order mark if any, are whole
    // UTF-8 characters with no zero byte among them. Only such bytes are read
    // as the same text by asText and by JUCE's own readers, which take a
    // file's bytes as UTF-8 whatever they are.
    static bool isUtf8 (const juce::MemoryBlock& data);

    // The length of the UTF-8 byte-order mark the bytes start with, or 0.
    static int getByteOrderMarkLength (const juce::MemoryBlock& data);
};
