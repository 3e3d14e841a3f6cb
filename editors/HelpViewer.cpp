#include "editors/HelpViewer.h"

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
    return helpFolder.getChildFile (page.trimCharactersAtStart ("/"));
}

bool HelpViewer::showPage (const juce::String& page)
{
    const auto document = getPageFile (page);

    if (page.trimCharactersAtStart ("/").isEmpty() || ! document.existsAsFile())
        return false;

    return openDocument (document);
}

bool HelpViewer::openDocument (const juce::File& document)
{
    // The desktop's opener for the file's type (xdg-open on Linux).
    return document.startAsProcess();
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
