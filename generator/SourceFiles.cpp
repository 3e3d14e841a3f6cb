#include "generator/SourceFiles.h"

#include "generator/SourceIdentifiers.h"
#include "generator/SourceStream.h"
#include "model/FileReplacement.h"

namespace
{
WriteFaultCheck& getWriteFaultCheck()
{
    static WriteFaultCheck check;
    return check;
}
} // namespace

WriteFaultCheck setWriteFaultCheck (WriteFaultCheck check)
{
    std::swap (check, getWriteFaultCheck());
    return check;
}

bool writeTextToFile (const juce::String& text, const juce::File& file, bool append)
{
    if (file == juce::File() || file.isDirectory())
        return false;

    if (file.getParentDirectory().createDirectory().failed())
        return false;

    juce::MemoryBlock existing;

    if (append && file.existsAsFile() && ! file.loadFileAsData (existing))
        return false;

    return FileReplacement::write (file,
                                   [&] (juce::OutputStream& out)
                                   {
                                       if (! existing.isEmpty() && ! out.write (existing.getData(), existing.getSize()))
                                           return false;

                                       if (text.isNotEmpty() && ! out.write (text.toRawUTF8(), text.getNumBytesAsUTF8()))
                                           return false;

                                       out.flush();
                                       return getWriteFaultCheck() == nullptr || ! getWriteFaultCheck() (file);
                                   })
        .wasOk();
}

juce::String makeHeaderGuardName (const juce::File& file)
{
    return sanitiseIdentifier ("__" + file.getFileName().toUpperCase() + "__");
}

juce::String makeHeaderGuardOpen (const juce::File& file)
{
    const auto guard = makeHeaderGuardName (file);

    SourceStream stream;
    stream.write ("#ifndef " + guard + "\n" + "#define " + guard + "\n");
    return stream.getText();
}

juce::String makeHeaderGuardClose (const juce::File& file)
{
    SourceStream stream;
    stream.write ("\n#endif //" + makeHeaderGuardName (file));
    return stream.getText();
}

juce::File headerFileNamed (const juce::String& fileName)
{
    return juce::File ("/" + fileName);
}

juce::String makeGuardedHeader (const juce::String& fileName, const juce::String& text)
{
    const auto file = headerFileNamed (fileName);
    return makeHeaderGuardOpen (file) + text + makeHeaderGuardClose (file);
}

bool writeHeaderGuardOpen (bool append, const juce::File& file)
{
    return writeTextToFile (makeHeaderGuardOpen (file), file, append);
}

bool writeHeaderGuardClose (bool append, const juce::File& file)
{
    return writeTextToFile (makeHeaderGuardClose (file), file, append);
}
