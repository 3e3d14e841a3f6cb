#pragma once

#include <juce_core/juce_core.h>

#include <functional>

// Writes a file whole or not at all: the bytes go to a temporary file beside
// the target, which then replaces the target in one rename, so that a write
// that fails or is cut short leaves the old file as it was. The temporary
// file's name is the same at every write of a target ("." + its name +
// ".tmp"), so that writes killed any number of times leave one such file at
// most, which the next write replaces. Every file the program writes goes
// through here.
class FileReplacement
{
public:
    static juce::File getTemporaryFile (const juce::File& target);

    // Removes whatever stands under the temporary file's name (a file left
    // by a write cut short, a pipe, a link); false when something stays.
    static bool clearTemporaryFile (const juce::File& target);

    // Puts the bytes into the stream; false when it fails on its own.
    using Content = std::function<bool (juce::OutputStream&)>;

    // The target's folder must exist.
    static juce::Result write (const juce::File& target, const Content& content);

    // Whether the two names stand for one file: the same name, whatever
    // stands under it, or two names of one existing file, however they are
    // written (through links, or in another case on a file system blind to
    // case); false for two names of which either names nothing.
    static bool isSameFile (const juce::File& a, const juce::File& b);

    // Moves the file out of the way under a name beside it that no reader
    // asks for: its name and the suffix (then the suffix and "-2" ...), so
    // that a file set aside before stays. Returns the new name, or none when
    // the file could not be moved.
    static juce::File setAside (const juce::File& file, const juce::String& suffix = ".replaced");

private:
    FileReplacement() = delete;
};
