#include "app/MainContainer.h"

#include "app/ProjectInterface.h"
#include "app/WindowContainer.h"
#include "editors/BusContainer.h"
#include "editors/BusEditor.h"
#include "editors/DspEditor.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessEditor.h"
#include "editors/TooltipBar.h"
#include "editors/Zorvex.h"
#include "model/DesignLog.h"

namespace
{
const juce::Colour tabColour (0xff383838);

struct ShortcutKey
{
    int keyCode;
    int modifiers;
    MainContainer::Shortcut shortcut;
};

constexpr int ctrlKeys = juce::ModifierKeys::ctrlModifier;
constexpr int ctrlShiftKeys = juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier;

// In the order in which they are tested: the edit keys first.
const ShortcutKey shortcutKeys[] = {
    { 'c', ctrlKeys, MainContainer::Shortcut::copy },
    { 'v', ctrlKeys, MainContainer::Shortcut::paste },
    { juce::KeyPress::deleteKey, 0, MainContainer::Shortcut::deleteSelection },
    { juce::KeyPress::escapeKey, 0, MainContainer::Shortcut::escape },
    { 'z', ctrlShiftKeys, MainContainer::Shortcut::redo },
    { 'y', ctrlKeys, MainContainer::Shortcut::redo },
    { 'z', ctrlKeys, MainContainer::Shortcut::undo },
    { 'a', ctrlShiftKeys, MainContainer::Shortcut::unselectAll },
    { 'a', ctrlKeys, MainContainer::Shortcut::selectAll },
    { 'l', ctrlKeys, MainContainer::Shortcut::toggleCommandView },
    { 'n', ctrlKeys, MainContainer::Shortcut::newProject },
    { 's', ctrlKeys, MainContainer::Shortcut::save },
    { 's', ctrlShiftKeys, MainContainer::Shortcut::saveAs },
    { 'o', ctrlKeys, MainContainer::Shortcut::open },
    { 'g', ctrlKeys, MainContainer::Shortcut::generateNrpnHandlers },
    { 'g', ctrlShiftKeys, MainContainer::Shortcut::generateCommandHandlers },
    { 'q', ctrlKeys, MainContainer::Shortcut::quit },
};
} // namespace

MainContainer::Shortcut MainContainer::findShortcut (const juce::KeyPress& key)
{
    for (const auto& entry : shortcutKeys)
        if (key == juce::KeyPress (entry.keyCode, juce::ModifierKeys (entry.modifiers), 0))
            return entry.shortcut;

    return Shortcut::none;
}

bool MainContainer::isEditShortcut (Shortcut shortcut) noexcept
{
    return shortcut >= Shortcut::copy && shortcut <= Shortcut::selectAll;
}

MainContainer::MainContainer (juce::PropertiesFile& settingsFile)
    : juce::TabbedComponent (juce::TabbedButtonBar::TabsAtTop), settings (settingsFile)
{
    onQuitRequested = []
    {
        if (auto* application = juce::JUCEApplicationBase::getInstance())
            application->systemRequestedQuit();
    };

    auto page = std::make_unique<ProjectInterface> (*this);
    projectInterface = page.get();
    addTab ("Project settings", tabColour, page.release(), true);

    auto busPage = std::make_unique<BusContainer> (design, *this);
    busContainer = busPage.get();
    addTab ("Bus editor", tabColour, busPage.release(), true);

    auto dspPages = std::make_unique<ProcessContainer> (design, *this);
    processContainer = dspPages.get();
    addTab ("DSP editor", tabColour, dspPages.release(), true);

    // Adding a DSP on the bus makes its page, removing one takes it away.
    busContainer->getBusEditor().setProcessContainer (processContainer);

    projectInterface->setBusGraph (&design.getBusGraph());

    auto& bar = getTabbedButtonBar();
    bar.getTabButton (dspEditorTab)
        ->setTooltip ("Choose a module and Drag&Drop process from the right list to the DSP editor view.");
    bar.getTabButton (busEditorTab)
        ->setTooltip ("To start double-click on a DSP or right click on Bus editor view and \"Add DSP\".");

    hiddenEditor.setVisible (false);
}

MainContainer::~MainContainer()
{
    // Everything the library gave is handed back while the library's
    // interface still stands, and the pages go while the undo managers, the
    // bus graph and the settings they point to are still here.
    if (startPanelObject != nullptr)
        std::exchange (startPanelObject, nullptr)->release();

    closing = true;
    closeAllControlPanels();
    clearTabs();
    projectInterface = nullptr;
    busContainer = nullptr;
    processContainer = nullptr;

    if (midiControl != nullptr)
        std::exchange (midiControl, nullptr)->release();
}

void MainContainer::setMidiControl (HvIfInterface* libraryInterface, HvIfPanelObject* panelObject) noexcept
{
    midiControl = libraryInterface;
    startPanelObject = panelObject;
}

void MainContainer::clearCommandView()
{
    commandViewFlag = false;
    projectInterface->getProjectSettings().setCommandView (false);
}

bool MainContainer::flipCommandViewFlag()
{
    commandViewFlag = ! commandViewFlag;
    projectInterface->getProjectSettings().setCommandView (commandViewFlag);
    return commandViewFlag;
}

void MainContainer::toggleCommandView()
{
    if (flipCommandViewFlag())
        projectInterface->reloadCommandLists();

    projectInterface->updateCommandPanels();
    projectInterface->refreshAllEditors();
}

void MainContainer::closeDspControlPanels (uint32_t dspId)
{
    auto* page = processContainer != nullptr ? processContainer->findDspById (dspId) : nullptr;

    if (page == nullptr)
        return;

    for (auto* box : page->getProcessEditor().getBoxes())
        box->getControlPanel().releaseControlPanels();
}

void MainContainer::closeAllControlPanels()
{
    for (int i = 0; i < getDspCount(); ++i)
        if (auto* dsp = design.getBusGraph().getNode (i))
            closeDspControlPanels (dsp->getId());
}

void MainContainer::sendControlsToBoard (Zorvex& box)
{
    // The channel is the box's DSP id - 1, as its control panel's messages use.
    const auto dspId = box.getControlPanelDspId();

    if (auto* node = box.getNode(); node != nullptr && dspId != 0)
        projectInterface->getBoardControl().sendProcessControls ((int) dspId - 1, *node);
}

bool MainContainer::saveBeforeGenerate()
{
    // After a save that did not happen (cancelled or failed) the project may
    // still name the file of an earlier save, which does not hold the design
    // that would be generated.
    if (projectInterface->saveProject (false))
        return true;

    if (auto* windowContainer = findParentComponentOfClass<WindowContainer>())
        windowContainer->showLogWindow();

    appendToLog (abortedGenerationText, 0);
    return false;
}

void MainContainer::generate (bool commandHandlers)
{
    if (! saveBeforeGenerate())
        return;

    juce::MouseCursor::showWaitCursor();

    if (auto* windowContainer = findParentComponentOfClass<WindowContainer>())
        windowContainer->showLogWindow();

    projectInterface->generateSourceFiles (commandHandlers);
    juce::MouseCursor::hideWaitCursor();
    repaint();
}

bool MainContainer::sendEditKeyToShownEditor (const juce::KeyPress& key, Shortcut shortcut)
{
    // The process editor of the DSP page shown takes the edit keys; with no
    // DSP there is nobody to take them, and the key stays unused. While
    // another tab is shown only undo and redo reach it, to say where they
    // work: the others would change a page nobody sees.
    auto* page = processContainer != nullptr ? processContainer->getShownDsp() : nullptr;

    if (page == nullptr)
        return false;

    if (getCurrentTabIndex() == dspEditorTab || shortcut == Shortcut::undo || shortcut == Shortcut::redo)
        page->getProcessEditor().keyPressed (key);

    return true;
}

void MainContainer::countCreatedProcessBox()
{
    if (projectInterface != nullptr)
        projectInterface->countCreatedProcessBox();
}

void MainContainer::sendSavedValuesOnceAllBoxesExist()
{
    if (projectInterface != nullptr)
        projectInterface->sendSavedValuesOnceAllBoxesExist();
}

void MainContainer::showBusEditorMessage (const juce::String& text)
{
    if (busContainer != nullptr)
        busContainer->getTooltipBar().setText (text, true);
}

bool MainContainer::keyPressed (const juce::KeyPress& key)
{
    const auto shortcut = findShortcut (key);

    if (isEditShortcut (shortcut))
        return sendEditKeyToShownEditor (key, shortcut);

    switch (shortcut)
    {
        case Shortcut::toggleCommandView: toggleCommandView(); break;
        case Shortcut::newProject: projectInterface->newProject(); break;
        case Shortcut::save: projectInterface->saveProject (false); break;
        case Shortcut::saveAs: projectInterface->saveProject (true); break;
        case Shortcut::open: projectInterface->openProject (juce::File()); break;
        case Shortcut::generateNrpnHandlers: generate (false); break;
        case Shortcut::generateCommandHandlers: generate (true); break;
        case Shortcut::quit:
            if (onQuitRequested)
                onQuitRequested();
            break;
        default: return false;
    }

    return true;
}
