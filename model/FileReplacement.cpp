#include "model/FileReplacement.h"

juce::File FileReplacement::getTemporaryFile (const juce::File& target)
{
    return target.getSiblingFile ("." + target.getFileName() + ".tmp");
}

bool FileReplacement::clearTemporaryFile (const juce::File& target)
{
    return getTemporaryFile (target).deleteFile();
}

juce::Result FileReplacement::write (const juce::File& target, const Content& content)
{
    // Cleared before it is owned: what cannot be removed (a folder that
    // holds files) is never the program's to remove recursively.
    if (! clearTemporaryFile (target))
        return juce::Result::fail ("the file " + getTemporaryFile (target).getFullPathName() + " could not be replaced");

    const juce::TemporaryFile temporary (target, getTemporaryFile (target));

    {
        juce::FileOutputStream out (temporary.getFile());

        if (! out.openedOk())
            return juce::Result::fail (out.getStatus().getErrorMessage());

        const auto written = content (out);
        out.flush();

        if (out.getStatus().failed())
            return juce::Result::fail (out.getStatus().getErrorMessage());

        if (! written)
            return juce::Result::fail ("the file could not be written");
    }

    if (! temporary.overwriteTargetFileWithTemporary())
        return juce::Result::fail ("the file could not be replaced");

    return juce::Result::ok();
}
