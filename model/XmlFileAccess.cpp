#include "model/XmlFileAccess.h"

namespace
{
// Where the root element's start tag begins: the first "<" that opens
// neither a declaration, a processing instruction nor a comment; -1 for none.
int findRootStart (const juce::String& text)
{
    int i = 0;

    for (;;)
    {
        i = text.indexOfChar (i, '<');

        if (i < 0)
            return -1;

        if (text.substring (i, i + 4) == "<!--")
        {
            const auto end = text.indexOf (i + 4, "-->");
            if (end < 0)
                return -1;
            i = end + 3;
        }
        else if (text[i + 1] == '?' || text[i + 1] == '!')
        {
            const auto end = text.indexOfChar (i + 1, '>');
            if (end < 0)
                return -1;
            i = end + 1;
        }
        else
        {
            return i;
        }
    }
}
} // namespace

bool XmlFileAccess::holdsInstructionInsideRoot (const juce::String& text)
{
    const auto rootStart = findRootStart (text);
    return rootStart >= 0 && text.indexOf (rootStart, "<?") >= 0;
}

XmlFileAccess::Loaded XmlFileAccess::parse (const juce::String& text, const juce::String& rootTag)
{
    Loaded loaded;

    if (holdsInstructionInsideRoot (text))
    {
        loaded.result = juce::Result::fail ("it holds a processing instruction inside its root element");
        return loaded;
    }

    // Parsed from its text, so that no file named inside it is ever opened.
    juce::XmlDocument document (text);
    auto root = document.getDocumentElement();

    if (root == nullptr)
    {
        const auto error = document.getLastParseError();
        loaded.result = juce::Result::fail (error.isNotEmpty() ? error : juce::String ("it holds no XML"));
        return loaded;
    }

    if (! root->hasTagName (rootTag))
    {
        loaded.result = juce::Result::fail ("its root element is \"" + root->getTagName() + "\", not \"" + rootTag + "\"");
        return loaded;
    }

    loaded.root = std::move (root);
    return loaded;
}

XmlFileAccess::Loaded XmlFileAccess::load (const juce::File& file, const juce::String& rootTag, juce::int64 largestFile)
{
    Loaded loaded;

    if (! file.exists())
        return loaded;

    if (file.isDirectory())
    {
        loaded.result = juce::Result::fail ("it is a folder");
        return loaded;
    }

    if (file.getSize() > largestFile)
    {
        loaded.result = juce::Result::fail ("it is far too large for this kind of file");
        return loaded;
    }

    return parse (file.loadFileAsString(), rootTag);
}

juce::Result XmlFileAccess::save (const juce::XmlElement& root, const juce::File& file, int lineWrapLength)
{
    if (! file.getParentDirectory().isDirectory())
        return juce::Result::fail ("the folder " + file.getParentDirectory().getFullPathName() + " does not exist");

    // The new text goes to a file of its own beside the target and replaces
    // it by a rename, so the target is never half written.
    const juce::TemporaryFile temporary (file, file.getSiblingFile (file.getFileName() + ".tmp").getNonexistentSibling (false));

    {
        juce::FileOutputStream out (temporary.getFile());

        if (! out.openedOk())
            return juce::Result::fail (out.getStatus().getErrorMessage());

        root.writeTo (out, getTextFormat (lineWrapLength));
        out.flush();

        if (out.getStatus().failed())
            return juce::Result::fail (out.getStatus().getErrorMessage());
    }

    if (! temporary.overwriteTargetFileWithTemporary())
        return juce::Result::fail ("the file could not be replaced");

    return juce::Result::ok();
}

juce::XmlElement::TextFormat XmlFileAccess::getTextFormat (int lineWrapLength)
{
    juce::XmlElement::TextFormat format;
    format.lineWrapLength = lineWrapLength;
    format.newLineChars = "\n";
    return format;
}
