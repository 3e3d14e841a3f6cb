#include "model/FileReplacement.h"

#include <sys/stat.h>

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
    juce::int64 expectedSize = 0;

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

        expectedSize = out.getPosition();
    }

    // A full disk can take part of the last write and report no error (the
    // stream's flush does not tell): only a file of the full size replaces
    // the old one.
    if (temporary.getFile().getSize() != expectedSize)
        return juce::Result::fail ("the disk took only part of the file");

    if (! temporary.overwriteTargetFileWithTemporary())
        return juce::Result::fail ("the file could not be replaced");

    return juce::Result::ok();
}

bool FileReplacement::isSameFile (const juce::File& a, const juce::File& b)
{
    if (a == b)
        return true;

    struct stat first, second;

    if (::stat (a.getFullPathName().toRawUTF8(), &first) != 0 || ::stat (b.getFullPathName().toRawUTF8(), &second) != 0)
        return false;

    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

juce::File FileReplacement::setAside (const juce::File& file, const juce::String& suffix)
{
    for (int n = 1; n < 1000; ++n)
    {
        const auto aside = file.getSiblingFile (file.getFileName() + suffix + (n > 1 ? "-" + juce::String (n) : ""));

        // A name taken by anything, a dangling link too, is left alone.
        if (aside.exists() || aside.isSymbolicLink())
            continue;

        return file.moveFileTo (aside) ? aside : juce::File();
    }

    return {};
}
