#pragma once

#include <juce_core/juce_core.h>

class SourceStream;

// The project file of the maker's firmware IDE (Vantix), written beside the
// design's project file at the end of a generation so that the generated
// sources open and build there at once. Every line ends in CR LF.
class IdeProjectFile
{
public:
    static constexpr const char* extension = ".vtc";

    // The project file's name without its extension and without blanks,
    // made a legal file name, with ".vtc", in the project file's own folder
    // (taken as it is: only the name is made legal). A name that comes out
    // empty becomes "project".
    static juce::File getIdeProjectFileName (const juce::File& projectFile);

    // The names an IDE project's text lists in its "[FILES]" section.
    static juce::StringArray readListedFiles (const juce::String& text);

    // The libraries the firmware links with.
    static const juce::StringArray& getLibraries();

    // The whole file: the run's file list, the target chip's text (for
    // "TRX" + chip + " INTRAM") and the user variables.
    static juce::String makeText (const juce::File& ideFile, const juce::StringArray& fileList, const juce::String& chipText,
                                  const juce::StringArray& userVariables);

    static void writeIdeProjectHead (SourceStream& stream, const juce::File& ideFile);
    static void writeIdeProjectFiles (SourceStream& stream, const juce::StringArray& fileList);
    static void writeIdeProjectTarget (SourceStream& stream, const juce::File& ideFile, const juce::String& chipText);
    static void writeIdeProjectTail (SourceStream& stream, const juce::StringArray& libraries,
                                     const juce::StringArray& userVariables, const juce::File& ideFile);
};
