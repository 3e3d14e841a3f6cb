#include "generator/IdeProjectFile.h"

#include "generator/SourceStream.h"
#include "generator/SourceWriter.h"

namespace
{
void writeLines (SourceStream& stream, std::initializer_list<const char*> lines)
{
    for (auto* line : lines)
        stream.writeLine (line, true);
}
} // namespace

juce::File IdeProjectFile::getIdeProjectFileName (const juce::File& projectFile)
{
    auto name = juce::File::createLegalFileName (projectFile.getFileNameWithoutExtension().removeCharacters (" \t"));

    // A name of dots alone would make a hidden file or none at all.
    if (name.trimCharactersAtStart (".").isEmpty())
        name = "project";

    return projectFile.getParentDirectory().getChildFile (name + extension);
}

juce::StringArray IdeProjectFile::readListedFiles (const juce::String& text)
{
    juce::StringArray names;
    bool inFiles = false;

    for (auto line : juce::StringArray::fromLines (text))
    {
        line = line.trim();

        if (line.startsWithChar ('['))
        {
            if (inFiles)
                break;

            inFiles = line == "[FILES]";
        }
        else if (inFiles && line.isNotEmpty())
        {
            names.add (line);
        }
    }

    return names;
}

const juce::StringArray& IdeProjectFile::getLibraries()
{
    static const juce::StringArray libraries{ "libUSB.a", "libKTL7000.a", "libOstraneBoards.a", "libmidi.a" };
    return libraries;
}

juce::String IdeProjectFile::makeText (const juce::File& ideFile, const juce::StringArray& fileList, const juce::String& chipText,
                                       const juce::StringArray& userVariables)
{
    SourceWriter writer;
    auto& stream = writer.getStream();
    writeIdeProjectHead (stream, ideFile);
    writeIdeProjectFiles (stream, fileList);
    writeIdeProjectTarget (stream, ideFile, chipText);
    writeIdeProjectTail (stream, getLibraries(), userVariables, ideFile);
    return writer.getText();
}

void IdeProjectFile::writeIdeProjectHead (SourceStream& stream, const juce::File& ideFile)
{
    writeLines (stream, { "[CURRENTCONFIG]", "<default>", "[NAME]" });
    stream.writeLine (ideFile.getFileNameWithoutExtension(), true);
}

void IdeProjectFile::writeIdeProjectFiles (SourceStream& stream, const juce::StringArray& fileList)
{
    stream.writeLine ("[FILES]", true);
    stream.writeLine (fileList.joinIntoString ("\r\n"), true);
    writeLines (stream, { "[WINDOWS]", "main.c;4306;4306;1184" });
}

void IdeProjectFile::writeIdeProjectTarget (SourceStream& stream, const juce::File& ideFile, const juce::String& chipText)
{
    writeLines (stream, { "[BREAKPOINTS]", "[WATCH]", "[CONFIG]", "<default>", "[TARGETDIR]", "build\\", "[TARGET]" });

    // The target line stands twice, each time on a line of its own, so that
    // the next section begins its own line.
    const auto target = "TRX" + chipText + " INTRAM";
    stream.writeLine (target, true);
    stream.writeLine (target, true);

    writeLines (stream, { "[OS]", "\"\"", "[IGNORED]", "[MAP]", "FFFFFFFF", "8E80000", "8E80800", "0", "1", "400", "9000", "34",
                          "8E80400", "[HEX]" });
    stream.writeLine (ideFile.getFileNameWithoutExtension() + ".hex", true);
}

void IdeProjectFile::writeIdeProjectTail (SourceStream& stream, const juce::StringArray& libraries,
                                          const juce::StringArray& userVariables, const juce::File& ideFile)
{
    writeLines (stream, { "[PATH]", "$(LibDir)", "$(IncDir)", "[LIBRARIES]" });
    stream.writeLine (libraries.joinIntoString ("\r\n"), true);
    writeLines (stream, { "[OPTIMIZE]", "0;2;0;0", "[USERVARS]" });
    stream.writeLine (userVariables.joinIntoString ("\r\n"), true);
    writeLines (stream, { "[EMBED]", "1;-1;-1;1;3", "[TRACE]", "0", "[CREATELIB]", "0", "Lib.a", "1000", "[BINARY]" });
    stream.writeLine (ideFile.getFileNameWithoutExtension() + ".bin", true);
    writeLines (stream, { "17490;1;0;0;1;65535;0;65535", "", "[CONFIGEND]", "[END]", "" });
}
