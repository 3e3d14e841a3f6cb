#include "model/PresetFileAccess.h"

PresetFileAccess::Loaded PresetFileAccess::load (const juce::File& file)
{
    Loaded loaded;

    if (! file.exists())
        return loaded;

    if (file.isDirectory())
    {
        loaded.result = juce::Result::fail ("it is a folder");
        return loaded;
    }

    // Preset files hold a few hundred kilobytes at most; a far larger one is
    // not one of them and is not read into memory.
    constexpr juce::int64 largestFile = 64 * 1024 * 1024;

    if (file.getSize() > largestFile)
    {
        loaded.result = juce::Result::fail ("it is far too large for a preset file");
        return loaded;
    }

    // Parsed from its text, so that no file named inside it is ever opened.
    juce::XmlDocument document (file.loadFileAsString());
    auto root = document.getDocumentElement();

    if (root == nullptr)
    {
        const auto error = document.getLastParseError();
        loaded.result = juce::Result::fail (error.isNotEmpty() ? error : juce::String ("it holds no XML"));
        return loaded;
    }

    if (! root->hasTagName (rootTag))
    {
        loaded.result =
            juce::Result::fail ("its root element is \"" + root->getTagName() + "\", not \"" + juce::String (rootTag) + "\"");
        return loaded;
    }

    loaded.root = std::move (root);
    return loaded;
}

juce::Result PresetFileAccess::save (const juce::XmlElement& root, const juce::File& file)
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

        root.writeTo (out, getTextFormat());
        out.flush();

        if (out.getStatus().failed())
            return juce::Result::fail (out.getStatus().getErrorMessage());
    }

    if (! temporary.overwriteTargetFileWithTemporary())
        return juce::Result::fail ("the file could not be replaced");

    return juce::Result::ok();
}

juce::XmlElement::TextFormat PresetFileAccess::getTextFormat()
{
    juce::XmlElement::TextFormat format;
    format.lineWrapLength = 1024;
    format.newLineChars = "\n";
    return format;
}
