#pragma once

#include <juce_core/juce_core.h>

#include <memory>

// Reading and writing of whole XML files: the preset files, the project file
// and the settings. Every XML text the program reads goes through here. A
// file is parsed into a new tree, so that a damaged one changes nothing; what
// would make JUCE's parser crash, hang or take far too long is refused before
// it is parsed. A file is written whole or not at all (FileReplacement).
class XmlFileAccess
{
public:
    struct Loaded
    {
        // None when the file does not exist or could not be read.
        std::unique_ptr<juce::XmlElement> root;

        // Fails for a file that exists but is not the document asked for; a
        // missing file is no failure.
        juce::Result result = juce::Result::ok();
    };

    // Reads the file (refusing a folder, a pipe, a device and a file larger
    // than largestFile bytes) and checks its root element's tag.
    static Loaded load (const juce::File& file, const juce::String& rootTag, juce::int64 largestFile);

    // The same for a text already in memory.
    static Loaded parse (const juce::String& text, const juce::String& rootTag);

    // For a file that JUCE reads again itself after the check (the settings,
    // which juce::PropertiesFile reads): a file that JUCE's reader would read
    // otherwise than the check does is refused as well. That reader takes the
    // bytes as UTF-8 whatever they are, and reads the root's start tag first
    // from the file's first 8192 bytes alone.
    static Loaded loadForJuceReader (const juce::File& file, const juce::String& rootTag, juce::int64 largestFile);

    // Why JUCE's parser must not be given the text, or an empty text when it
    // may: what parse checks before it parses.
    static juce::String findProblem (const juce::String& text);

    // JUCE's parser never returns from some texts that hold a processing
    // instruction inside an element, or one it reads as such after a comment
    // or an instruction it took differently. None of our files holds any
    // instruction but the XML declaration at its very start, so every other
    // one is refused before the text is parsed.
    static bool holdsStrayInstruction (const juce::String& text);

    // JUCE's parser takes tag and attribute names that XML does not allow
    // (one that starts with a digit, "-" or ".") and then fails its own
    // checks on them: such a text is refused before it is parsed as well.
    static bool holdsInvalidName (const juce::String& text);

    // The file as UTF-8 XML with "\n" line ends, the given line width and no DTD.
    static juce::Result save (const juce::XmlElement& root, const juce::File& file, int lineWrapLength = 1024);

    static juce::XmlElement::TextFormat getTextFormat (int lineWrapLength = 1024);
};
