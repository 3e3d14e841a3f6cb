#pragma once

#include <juce_core/juce_core.h>

#include <functional>

// Puts a generated text on disk: the whole file or nothing. Unless append is
// set, an existing file is replaced; with append the text goes after what the
// file holds. Missing parent folders are created. The text is written as its
// UTF-8 bytes, with no byte-order mark and no change to its line ends.
// Returns false, and leaves the file as it was, when anything fails; a write
// cut short leaves one temporary file beside it at most (FileReplacement).
bool writeTextToFile (const juce::String& text, const juce::File& file, bool append);

// Lets a test make writes fail as a full disk would, half-way through the
// file: the check sees every file about to be written and fails the write
// by returning true. An empty check (the default) fails nothing. Returns the
// check it replaces.
using WriteFaultCheck = std::function<bool (const juce::File& file)>;
WriteFaultCheck setWriteFaultCheck (WriteFaultCheck check);

// "__" + the file's name (with its extension) in upper case + "__", with every
// character that cannot stand in a C identifier made "_".
juce::String makeHeaderGuardName (const juce::File& file);

// The opening and closing lines of a header's guard, as text.
juce::String makeHeaderGuardOpen (const juce::File& file);
juce::String makeHeaderGuardClose (const juce::File& file);

// A file standing for a generated header of that name, for the guard
// functions above (a guard depends on the file's name alone).
juce::File headerFileNamed (const juce::String& fileName);

// A whole header of that file name: the text between its guard lines.
juce::String makeGuardedHeader (const juce::String& fileName, const juce::String& text);

// Starts a header ("#ifndef GUARD\n#define GUARD\n"), a new file unless append.
bool writeHeaderGuardOpen (bool append, const juce::File& file);

// Ends a header ("\n#endif //GUARD", no newline after it).
bool writeHeaderGuardClose (bool append, const juce::File& file);
