#include "editors/HelpViewer.h"

#include "editors/DesktopOpener.h"
#include "editors/ProgramFolder.h"

namespace
{
HelpViewer* installedViewer = nullptr;
}

HelpViewer::HelpViewer (juce::File folder) : helpFolder (std::move (folder)) {}

juce::File HelpViewer::getDefaultHelpFolder()
{
    return ProgramFolder::getFile ("OstraneQuellionHelp");
}

juce::File HelpViewer::getPageFile (const juce::String& page) const
{
    // The page is named by a module's definition, a file from outside: a
    // name that leads out of the help folder ("../", "~/") names no page,
    // or any file of the user's could be handed to the desktop's opener.
    const auto file = helpFolder.getChildFile (page.trimCharactersAtStart ("/"));
    return file.isAChildOf (helpFolder) ? file : juce::File();
}

juce::File HelpViewer::getStartPage() const
{
    const auto index = helpFolder.getChildFile (startPageName);
    return index.existsAsFile() ? index : helpFolder;
}

bool HelpViewer::showPage (const juce::String& page)
{
    // No page: the help as a whole, from its first page.
    if (page.trimCharactersAtStart ("/").isEmpty())
    {
        const auto start = getStartPage();
        return start.exists() && openDocument (start);
    }

    const auto document = getPageFile (page);
    return document.existsAsFile() && openDocument (document);
}

bool HelpViewer::showPageOrSay (const juce::String& page, const std::function<void (const juce::String&)>& say)
{
    if (showPage (page))
        return true;

    if (say != nullptr)
        say (explainNotShown (page));

    return false;
}

juce::String HelpViewer::explainNotShown (const juce::String& page) const
{
    const auto folderName = "\"" + helpFolder.getFileName() + "\"";

    if (! helpFolder.isDirectory())
        return "No help: the folder " + folderName + " is not beside the program.";

    const auto document = page.trimCharactersAtStart ("/").isEmpty() ? getStartPage() : getPageFile (page);

    if (! document.exists())
    {
        const auto name = document != juce::File() ? document.getFileName() : page.fromLastOccurrenceOf ("/", false, false);
        return "No help page \"" + name + "\" in the folder " + folderName + ".";
    }

    return "The help could not be opened: the desktop has no viewer (\"" + juce::String (DesktopOpener::openerName) +
           "\") for \"" + document.getFileName() + "\".";
}

bool HelpViewer::openDocument (const juce::File& document)
{
    // The desktop's opener for the file's type, given the path as an
    // argument: the path is never read by a shell, whatever it holds.
    return DesktopOpener::openFile (document);
}

HelpViewer& HelpViewer::getCurrent()
{
    if (installedViewer != nullptr)
        return *installedViewer;

    static HelpViewer desktopViewer;
    return desktopViewer;
}

void HelpViewer::setCurrent (HelpViewer* viewer) noexcept
{
    installedViewer = viewer;
}
