#include "editors/ProcessControlPanel.h"

#include "generator/PanelScriptWriter.h"
#include "hvif/HvIfInput.h"
#include "hvif/HvIfMessageOutput.h"
#include "model/GraphNode.h"
#include "model/ProcessPresetStore.h"

#include <algorithm>

namespace
{
// Every panel of the program, so that a window the user closed in the library
// is taken out of whichever box lists it.
std::vector<ProcessControlPanel*>& getAllPanels()
{
    static std::vector<ProcessControlPanel*> panels;
    return panels;
}

constexpr uint32_t controlChangeEvent = 0x0B000000; // USB-MIDI code index 0xB
} // namespace

ProcessControlPanel::ProcessControlPanel (Owner& panelOwner, VuMeterIdPool& pool) : owner (panelOwner), meterIds (pool)
{
    getAllPanels().push_back (this);
}

ProcessControlPanel::~ProcessControlPanel()
{
    auto& all = getAllPanels();
    all.erase (std::remove (all.begin(), all.end(), this), all.end());

    stopTimer();
    releaseControlPanels();

    if (panelObject != nullptr)
        std::exchange (panelObject, nullptr)->release();

    meterIds.giveBack (meterId);
}

//==============================================================================
void ProcessControlPanel::setLibraryInterface (HvIfInterface* libraryInterface)
{
    if (libraryInterface == library)
        return;

    // What the old interface made goes with it.
    releaseControlPanels();

    if (panelObject != nullptr)
        std::exchange (panelObject, nullptr)->release();

    library = libraryInterface;
}

HvIfPanelObject* ProcessControlPanel::getPanelObject()
{
    if (panelObject == nullptr && library != nullptr)
        panelObject = library->createPanelObject();

    return panelObject;
}

void ProcessControlPanel::renewPanelObject()
{
    releaseControlPanels();

    if (panelObject != nullptr)
        std::exchange (panelObject, nullptr)->release();

    getPanelObject();
}

//==============================================================================
juce::String ProcessControlPanel::generatePanelScript (bool replace, bool asReplacement)
{
    auto* node = owner.getControlPanelNode();
    const auto* definition = node != nullptr ? node->getProcessDefinition() : nullptr;

    if (definition == nullptr || definition->getSecondFunctionCount() == 0)
        return {};

    auto& store = node->presetStore;

    if (replace)
        releaseControlPanels();
    else
        store.markBuilding();

    const auto text = writeDescription (*node, store, replace || asReplacement);
    store.markBuilt();
    return text;
}

juce::String ProcessControlPanel::writeDescription (const GraphNode& node, ProcessPresetStore& store, bool withValues)
{
    PanelScriptWriter writer (*node.getProcessDefinition(), node, owner.getControlPanelDspId(), owner.getSamplingRateKhz(),
                              owner.getCountSliderValue());
    const auto text = writer.write (store, withValues, meterId, meterIds);

    if (writer.hasMeter() && ! isTimerRunning())
        startTimer (meterPollIntervalMs);

    if (const auto problem = writer.getProblem(); problem.isNotEmpty())
        owner.controlPanelProblem (problem);

    return text;
}

void ProcessControlPanel::followNode()
{
    // Without a panel the next one is built from the node as it is.
    if (livePanel == nullptr)
        return;

    auto* node = owner.getControlPanelNode();

    if (node == nullptr || node->getProcessDefinition() == nullptr)
        return;

    const auto text = writeDescription (*node, node->presetStore, true);
    const auto wasShown = panelShown;
    releaseControlPanels();

    if (loadPanelScript (text))
        createPanelWindow (wasShown);
}

void ProcessControlPanel::takeShownValues()
{
    if (auto* node = owner.getControlPanelNode(); node != nullptr && livePanel != nullptr && node->presetStore.isBuilt())
        node->presetStore.takePanelValuesAsLastSaved (*livePanel);
}

void ProcessControlPanel::buildControlPanel (bool show, bool replace, bool asReplacement)
{
    const auto text = generatePanelScript (replace, asReplacement);

    if (text.isEmpty())
        return;

    if (replace)
        releaseControlPanels();

    loadPanelScript (text);
    createPanelWindow (show);
}

void ProcessControlPanel::openControlPanel()
{
    // A panel on screen may stand behind the main window since a click
    // there: asked for again, it comes to the front.
    if (panelShown)
    {
        for (auto* window : windows)
            window->bringToFront();

        return;
    }

    // A panel the user closed comes back as it was.
    if (livePanel != nullptr)
    {
        if (auto* window = livePanel->createWindow (owner.getPanelParentHandle()))
        {
            windows.push_back (window);
            panelShown = true;
            return;
        }
    }

    buildControlPanel (true, true, false);
}

void ProcessControlPanel::ensureControlPanel()
{
    if (! hasControlPanel())
        buildControlPanel (false, false, true);
}

void ProcessControlPanel::rebuildControlPanel()
{
    const auto wasShown = panelShown;
    buildControlPanel (wasShown, true, false);
}

bool ProcessControlPanel::loadPanelScript (const juce::String& text)
{
    auto* object = getPanelObject();

    if (object == nullptr)
        return false;

    HvIfStringInput input (text);
    MyErrorHandler messages;
    const auto loaded = object->loadPanelScript (input, messages);

    // The library's remarks are for the developer; the user sees the panel.
    if (messages.getFirstText().isNotEmpty() || messages.getSecondText().isNotEmpty())
        DBG ("Control panel of \"" << text.upToFirstOccurrenceOf ("\n", false, false) << "\":\n"
                                   << messages.getFirstText() << messages.getSecondText());

    return loaded;
}

void ProcessControlPanel::createPanelWindow (bool show)
{
    if (panelObject == nullptr)
        return;

    HvIfPanel* panel = nullptr;
    panelObject->getPanel (&panel);

    // A text the library could not read gives no panel: the old one stays.
    if (panel == nullptr)
        return;

    // A panel built again without replacing takes the old one's place, and
    // its window when the old one was on screen.
    auto reopen = false;

    if (livePanel != nullptr && livePanel != panel)
    {
        reopen = ! windows.empty();
        releaseControlPanels();
    }

    livePanel = panel;

    // The store holds what the panel shows from the start.
    takeShownValues();

    if (show || reopen)
    {
        if (auto* window = panel->createWindow (owner.getPanelParentHandle()))
        {
            windows.push_back (window);
            panelShown = true;
        }
    }
}

void ProcessControlPanel::releaseControlPanels()
{
    // Every window goes, not only the first: the others would stay on
    // screen with nothing behind them.
    clearPanels (false);

    // The store has what it showed: every value set on it was taken at once.
    if (livePanel != nullptr)
        std::exchange (livePanel, nullptr)->release();
}

bool ProcessControlPanel::removePanel (HvIfPanelWindow* window)
{
    const auto found = std::find (windows.begin(), windows.end(), window);

    if (window == nullptr || found == windows.end())
        return false;

    windows.erase (found);
    window->close();
    panelShown = false;
    return true;
}

void ProcessControlPanel::clearPanels (bool keep)
{
    const auto closing = std::move (windows);
    windows.clear();

    if (! keep)
        for (auto* window : closing)
            window->close();

    panelShown = false;
}

bool ProcessControlPanel::hasControlPanel() const
{
    auto* node = owner.getControlPanelNode();
    return livePanel != nullptr && node != nullptr && node->presetStore.hasBuiltControls();
}

HvIfPanelWindow* ProcessControlPanel::getPanelWindow (int index) const noexcept
{
    return index >= 0 && index < getPanelWindowCount() ? windows[(size_t) index] : nullptr;
}

//==============================================================================
void ProcessControlPanel::pollMeter()
{
    const auto dspId = owner.getControlPanelDspId();
    const auto* node = owner.getControlPanelNode();

    if (dspId == 0 || node == nullptr || panelObject == nullptr || meterId < 0)
        return;

    for (const auto word : makeMeterRequest (dspId, node->nrpn, meterId))
        panelObject->handleMidiEvent (word);
}

std::array<uint32_t, 3> ProcessControlPanel::makeMeterRequest (uint32_t dspId, uint32_t nrpn, int id)
{
    // The control-change status of the DSP's channel; the data bytes keep 7 bits.
    const auto status = (uint32_t) (0xB0 | ((dspId - 1) & 0x0F)) << 16;

    return { controlChangeEvent | status | 0x6300 | (nrpn & 0x7F), controlChangeEvent | status | 0x6200,
             controlChangeEvent | status | 0x0600 | ((uint32_t) id & 0x7F) };
}

void ProcessControlPanel::reportValueChangedEverywhere (HvIfPanel* panel)
{
    // A copy: the owner's answer may rebuild panels.
    const auto panels = getAllPanels();

    for (auto* each : panels)
    {
        if (panel != nullptr && each->livePanel == panel)
        {
            each->takeShownValues();
            each->owner.controlPanelValueChanged();
        }
    }
}

void ProcessControlPanel::removePanelEverywhere (HvIfPanelWindow* window)
{
    // A copy: closing a window may end a box's panel.
    const auto panels = getAllPanels();

    for (auto* panel : panels)
        panel->removePanel (window);
}
