#include "editors/ProcessContainer.h"

#include "editors/ActionManager.h"
#include "editors/DspEditor.h"
#include "editors/DspEditorHost.h"

namespace
{
juce::String makeTabName (uint32_t id)
{
    return "DSP#" + juce::String (id);
}
} // namespace

ProcessContainer::ProcessContainer (Design& designToShow, DspEditorHost& editorHost)
    : juce::TabbedComponent (juce::TabbedButtonBar::TabsAtBottom), design (designToShow), host (editorHost)
{
    setName ("ProcessContainer");
    design.addChangeListener (this);
    design.addListener (this);
    synchronisePages();
}

ProcessContainer::~ProcessContainer()
{
    design.removeListener (this);
    design.removeChangeListener (this);
    clearTabs();
}

DspEditor* ProcessContainer::addDsp (int id)
{
    const auto dspId = id < 0 ? design.findFreeDspId() : (uint32_t) id;

    if (design.addDsp (dspId, 0) == nullptr)
        return nullptr;

    synchronisePages();
    return findDspById (dspId);
}

void ProcessContainer::removeDsp (uint32_t id)
{
    design.removeDsp (id);
}

void ProcessContainer::showDspTab (uint32_t id)
{
    const auto index = indexOfPage (id);

    if (index >= 0)
        setCurrentTabIndex (index);
}

void ProcessContainer::resetDsps()
{
    while (getNumTabs() > 0)
        removePage (getNumTabs() - 1);

    synchronisePages();
}

int ProcessContainer::getNumDsps() const
{
    return getNumTabs();
}

DspEditor* ProcessContainer::getDsp (int index) const
{
    return dynamic_cast<DspEditor*> (getTabContentComponent (index));
}

DspEditor* ProcessContainer::findDspById (uint32_t id) const
{
    return getDsp (indexOfPage (id));
}

DspEditor* ProcessContainer::getShownDsp() const
{
    return getDsp (getCurrentTabIndex());
}

int ProcessContainer::indexOfPage (uint32_t id) const
{
    for (int i = 0; i < getNumTabs(); ++i)
        if (auto* page = getDsp (i); page != nullptr && page->getDspId() == id)
            return i;

    return -1;
}

bool ProcessContainer::isAnyDspFull() const
{
    for (int i = 0; i < getNumDsps(); ++i)
        if (auto* page = getDsp (i); page != nullptr && (page->getCyclesLoad() >= 1.0 || page->getRamLoad() >= 1.0))
            return true;

    return false;
}

void ProcessContainer::pushModuleLibraryToAll()
{
    for (int i = 0; i < getNumDsps(); ++i)
    {
        getDsp (i)->getProcessListContents().setModuleLibrary (design.getLibrary());
        getDsp (i)->fillModuleList();
    }
}

void ProcessContainer::refreshAllDspViews()
{
    for (int i = 0; i < getNumDsps(); ++i)
        getDsp (i)->refreshFromSettings();
}

void ProcessContainer::shareExternalLoad (DspEditor& from, double load)
{
    for (int i = 0; i < getNumDsps(); ++i)
        if (auto* page = getDsp (i); page != &from)
            page->showSharedExternalLoad (load);
}

//==============================================================================
void ProcessContainer::synchronisePages()
{
    for (int i = getNumTabs(); --i >= 0;)
        if (design.findDsp (getDsp (i)->getDspId()) == nullptr)
            removePage (i);

    for (int i = 0; i < design.getNumDsps(); ++i)
    {
        const auto id = design.getDsp (i)->getDspId();

        if (indexOfPage (id) >= 0)
            continue;

        auto* page = new DspEditor (design, host, id, this);
        addTab (makeTabName (id), juce::Colour (tabColour), page, true, i);
        page->setColour (juce::TabbedButtonBar::tabTextColourId, juce::Colours::yellow);
    }

    for (int i = 0; i < getNumDsps(); ++i)
        getDsp (i)->showModuleOfSlot();
}

void ProcessContainer::removePage (int index)
{
    const auto wasShown = index == getCurrentTabIndex();
    removeTab (index);

    // The page shown went: the one that took its place shows, or the last,
    // rather than none at all.
    if (wasShown && getNumTabs() > 0)
        setCurrentTabIndex (juce::jmin (index, getNumTabs() - 1));
}

void ProcessContainer::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == &design)
        synchronisePages();
}

void ProcessContainer::dspAboutToBeRemoved (DspSlot& slot)
{
    // What the histories hold may name the DSP's graph, which goes now.
    host.getEditHistory().clearUndoHistory();
    host.getClipboard().clearUndoHistory();

    const auto index = indexOfPage (slot.getDspId());

    if (index >= 0)
        removePage (index);
}

void ProcessContainer::visibilityChanged()
{
    // The project's settings are changed on another tab: the pages take
    // them up when they are shown again.
    if (isVisible())
    {
        pushModuleLibraryToAll();
        refreshAllDspViews();
    }
}
