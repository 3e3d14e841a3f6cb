#pragma once

#include <juce_core/juce_core.h>

#include <functional>

// Opens pages of the help that ships beside the executable, in the folder
// "OstraneQuellionHelp", with the desktop's own viewer. A page that is not
// there is no error: nothing opens, and the user is told why. Tests install
// a viewer that records instead of opening.
class HelpViewer
{
public:
    explicit HelpViewer (juce::File helpFolder = getDefaultHelpFolder());
    virtual ~HelpViewer() = default;

    static juce::File getDefaultHelpFolder();

    // The page's file (a topic such as "/Quellion_Guide.pdf"); none for a
    // name that leads out of the help folder.
    juce::File getPageFile (const juce::String& page) const;

    // The help's first page ("index.html"), or the help folder itself when
    // it has none.
    static constexpr const char* startPageName = "index.html";
    juce::File getStartPage() const;

    // True when the page exists and was handed to the viewer. No page shows
    // the help from its first page.
    bool showPage (const juce::String& page);

    // Shows the page or, when nothing opened, hands `say` the reason, for
    // the place the user asked from (the help folder or the page is
    // missing, or the desktop has no viewer).
    bool showPageOrSay (const juce::String& page, const std::function<void (const juce::String&)>& say);
    juce::String explainNotShown (const juce::String& page) const;

    // The viewer in use: the installed one, or the desktop's.
    static HelpViewer& getCurrent();
    // None goes back to the desktop's. The installed object is not owned.
    static void setCurrent (HelpViewer* viewer) noexcept;

protected:
    virtual bool openDocument (const juce::File& document);

private:
    juce::File helpFolder;
};
