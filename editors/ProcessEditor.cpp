#include "editors/ProcessEditor.h"

#include "editors/ActionManager.h"
#include "editors/ConnectorComponent.h"
#include "editors/Dialogs.h"
#include "editors/DspEditor.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessPanelTool.h"
#include "editors/TooltipBar.h"
#include "editors/Zorvex.h"
#include "editors/ZorvexBus.h"
#include "model/Design.h"
#include "model/DesignLog.h"
#include "model/ModuleLibrary.h"
#include "model/NodeChannelRules.h"

namespace
{
// The running number of the copies made in this program.
int nextCopyNumber = 0;

constexpr int lockedItem = 100;
constexpr int autoScrollBorder = 8;
constexpr int autoScrollSpeed = 8;

bool isKey (const juce::KeyPress& key, int keyCode, int modifiers)
{
    return key == juce::KeyPress (keyCode, juce::ModifierKeys (modifiers), 0);
}

constexpr int ctrl = juce::ModifierKeys::ctrlModifier;
constexpr int ctrlShift = juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier;
} // namespace

ProcessEditor::ProcessEditor (GraphData& graphToShow, Design& designToEdit, DspEditorHost& editorHost, uint32_t dsp)
    : GraphEditorView (graphToShow, true), design (designToEdit), host (editorHost)
{
    setLibrary (design.getLibrary(), dsp);
    setEditHistory (&host.getEditHistory());
    setPanelHost (&host.getPanelHost());
    setSamplingIndex (design.getSettings().getSamplingIndex());
    setWantsKeyboardFocus (true);
}

ProcessEditor::~ProcessEditor()
{
    lasso.reset();
}

void ProcessEditor::refreshFromSettings()
{
    setLibrary (design.getLibrary(), getDspId());
    setSamplingIndex (design.getSettings().getSamplingIndex());
    refreshLoadTexts();
    synchronise();
}

void ProcessEditor::refreshLoadTexts()
{
    // A process's load is its share of the cycles of one sample, which the
    // sampling rate sets.
    auto& shown = getGraph();
    auto* module = getDspModule();

    for (int i = 0; i < shown.getNumNodes(); ++i)
        if (auto* node = shown.getNode (i); node != nullptr && node->getProcessDefinition() != nullptr)
            node->loadText =
                NodeChannelRules::makeLoadText (module, node->getProcessDefinition(), node->channelWord, getSamplingIndex());
}

TooltipBar* ProcessEditor::getTooltipBar() const
{
    return dspEditor != nullptr ? &dspEditor->getTooltipBar() : nullptr;
}

//==============================================================================
std::unique_ptr<Zorvex> ProcessEditor::createBox (GraphNode& node)
{
    auto box = GraphEditorView::createBox (node);

    if (node.shouldRenumber())
        setUpNewBox (*box, node);

    ++createdBoxCount;
    host.countCreatedProcessBox();
    return box;
}

void ProcessEditor::setUpNewBox (Zorvex& box, const GraphNode& node)
{
    // The box shows what the node holds (its memory type, its command
    // words): they were set when the process was placed, pasted or read,
    // and a box made again for it (an undone removal, a reopened project)
    // must not take them back to the definition's.
    auto* definition = node.getProcessDefinition();

    if (definition != nullptr && definition->memoryClass243)
        if (auto* slider = box.getCountSlider())
            slider->setVisible (false);
}

void ProcessEditor::afterSynchronise()
{
    if (dspEditor != nullptr)
        dspEditor->getCommandProperties().forgetMissingProcess();

    host.sendSavedValuesOnceAllBoxesExist();
}

void ProcessEditor::refreshUsage()
{
    if (dspEditor != nullptr)
        dspEditor->updateUsageLabels();
}

void ProcessEditor::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    auto& shown = getGraph();

    if (source != &shown)
        return;

    shown.setRefreshHandled (false);
    synchronise();
    refreshUsage();

    if (shown.getRefreshRequest() != 1)
        return;

    if (dspEditor != nullptr && dspEditor->getProcessContainer() != nullptr)
        dspEditor->getProcessContainer()->refreshAllDspViews();

    if (! shown.isRefreshHandled())
    {
        shown.setRefreshRequest (0);
        shown.setRefreshHandled (true);
    }
}

//==============================================================================
void ProcessEditor::makeConnection (const ConnectionRules::Ends& ends, bool isVirtual)
{
    if (auto* history = getEditHistory())
    {
        history->beginEdit (getDspId());
        history->perform (new InsertConnectionAction (getGraph(), ends, isVirtual));
    }
}

juce::File ProcessEditor::getPresetFile() const
{
    return design.getSettings().getPresetFile();
}

//==============================================================================
PinToolPanel* ProcessEditor::getPinTool() const
{
    return dspEditor != nullptr ? &dspEditor->getProcessPanelTool() : nullptr;
}

bool ProcessEditor::assignBusPin (const ZorvexBus& pin, const juce::String& name)
{
    auto* history = getEditHistory();

    if (history == nullptr || isDesignLocked())
        return false;

    const ConnectionRules::Pin target{ pin.getNodeId(), pin.getPinIndex(), pin.isInput() };
    const auto verdict = ConnectionRules (getGraph(), getDspModule()).checkBusPinAssignment (target, name);

    if (! verdict.accepted)
    {
        if (verdict.message.isNotEmpty())
            showMessage (verdict.message);

        return false;
    }

    history->beginEdit (getDspId());
    return history->perform (
        new AddBusPinAction (getGraph(), target.nodeId, target.index, (uint8_t) (target.isInput ? 1 : 0), name));
}

void ProcessEditor::deleteBusPin (uint32_t nodeId, uint32_t pinIndex, uint8_t direction, const juce::String& name)
{
    auto* history = getEditHistory();

    if (history == nullptr || isDesignLocked())
        return;

    history->beginEdit (getDspId());
    history->perform (new RemoveBusPinAction (getGraph(), nodeId, pinIndex, direction, name));
}

void ProcessEditor::showProcessCommands (uint32_t nodeId)
{
    if (dspEditor == nullptr)
        return;

    auto* node = getGraph().findNodeById (nodeId);
    dspEditor->getCommandProperties().showProcess (&getGraph(), node != nullptr ? node->nrpn : 0, this);
}

//==============================================================================
juce::String ProcessEditor::makeCopyName (int number)
{
    return "COPY" + juce::String::toHexString ((juce::uint32) number).paddedLeft ('0', 8);
}

void ProcessEditor::copySelection()
{
    auto* history = getEditHistory();

    if (history == nullptr || isDesignLocked())
        return;

    auto& shown = getGraph();
    auto& buffer = getCopyBuffer();
    const auto name = makeCopyName (nextCopyNumber++);
    buffer.beginNewTransaction (name);
    history->beginNewTransaction (name);

    auto isBoxSelected = [this] (uint32_t id)
    {
        auto* box = findBoxByNodeId (id);
        return box != nullptr && box->isSelected();
    };

    for (int i = 0; i < shown.getNumConnections(); ++i)
    {
        auto* connection = shown.getConnection (i);
        auto* connector = findConnectorFor (*connection);

        if (connector != nullptr && connector->isSelected() && isBoxSelected (connection->sourceNode) &&
            isBoxSelected (connection->destNode))
            buffer.perform (new ConnectorComponent::CopyAction (shown, *connection));
    }

    for (int i = shown.getNumNodes(); --i >= 0;)
    {
        auto* node = shown.getNode (i);
        auto* definition = node->getProcessDefinition();

        if (definition != nullptr && ! definition->fromSps && isBoxSelected (node->getId()))
            buffer.perform (new Zorvex::CopyAction (shown, node->nrpn, getLibrary(), getDspId()));
    }
}

void ProcessEditor::pasteSelection()
{
    if (isDesignLocked())
        return;

    PasteTarget::Scope scope (*this);
    auto& buffer = getCopyBuffer();

    // Whatever the paste inserts is one undo step.
    if (auto* history = getEditHistory())
        history->beginEdit (getDspId());

    if (buffer.undo())
        buffer.redo();

    takePastedProcesses();
}

//==============================================================================
juce::PopupMenu ProcessEditor::buildMenu() const
{
    juce::PopupMenu menu;

    if (isDesignLocked())
    {
        menu.addItem (lockedItem, designLockedText, false);
        return menu;
    }

    const bool anySelected = getNumSelected() > 0;
    const bool hasNodes = getGraph().getNumNodes() > 0;
    auto* history = getEditHistory();

    menu.addItem (copyItem, "Copy selected <CTRL+C>", anySelected);
    menu.addItem (pasteItem, "Paste  <CTRL+V>", getCopyBuffer().canUndo());
    menu.addItem (removeItem, "Remove selected  <DEL>", anySelected);
    menu.addSeparator();
    menu.addItem (undoItem, "Undo  <CTRL+Z>", history != nullptr && history->canUndo());
    menu.addItem (redoItem, "Redo  <CTRL+SHIFT+Z>", history != nullptr && history->canRedo());
    menu.addSeparator();
    menu.addItem (selectAllItem, "Select All  <CTRL+A>", hasNodes);
    menu.addItem (unselectAllItem, "Unselect All  <CTRL+SHIFT+A>", hasNodes);
    return menu;
}

void ProcessEditor::handleMenuResult (int itemId)
{
    auto* history = getEditHistory();

    switch (itemId)
    {
        case copyItem: copySelection(); break;
        case pasteItem: pasteSelection(); break;
        case removeItem: removeSelection(); break;
        case undoItem:
            if (history != nullptr)
                undoOrRedoShowingPage (false);
            break;
        case redoItem:
            if (history != nullptr)
                undoOrRedoShowingPage (true);
            break;
        case selectAllItem: selectAll (true); break;
        case unselectAllItem: selectAll (false); break;
        default: break;
    }
}

bool ProcessEditor::keyPressed (const juce::KeyPress& key)
{
    if (isKey (key, juce::KeyPress::deleteKey, 0))
        removeSelection();
    else if (isKey (key, 'a', ctrl))
        selectAll (true);
    else if (isKey (key, 'a', ctrlShift) || isKey (key, juce::KeyPress::escapeKey, 0))
        selectAll (false);
    else if (isKey (key, 'c', ctrl))
        copySelection();
    else if (isKey (key, 'v', ctrl))
    {
        selectAll (false);
        pasteSelection();
    }
    else if (isKey (key, 'z', ctrl))
        undoOrRedo (false);
    else if (isKey (key, 'z', ctrlShift) || isKey (key, 'y', ctrl))
        undoOrRedo (true);
    else
        return false;

    return true;
}

bool ProcessEditor::undoOrRedo (bool redo)
{
    if (! host.isDspEditorShown())
    {
        host.showBusEditorMessage (undoElsewhereMessage);
        return false;
    }

    return undoOrRedoShowingPage (redo);
}

bool ProcessEditor::undoOrRedoShowingPage (bool redo)
{
    auto* history = getEditHistory();

    if (history == nullptr)
        return false;

    // An edit made on another DSP's page is taken back (or made again) where
    // the user sees it.
    const auto dsp = redo ? history->getDspOfRedo() : history->getDspOfUndo();
    auto* container = dspEditor != nullptr ? dspEditor->getProcessContainer() : nullptr;

    if (dsp != 0 && dsp != getDspId() && container != nullptr && ! isDesignLocked())
        container->showDspTab (dsp);

    return redo ? history->redo() : history->undo();
}

//==============================================================================
bool ProcessEditor::isInterestedInDragSource (const SourceDetails& details)
{
    return details.description.isInt() && details.sourceComponent != nullptr &&
           details.sourceComponent->getName() == processListName;
}

void ProcessEditor::itemDropped (const SourceDetails& details)
{
    if (isInterestedInDragSource (details))
        placeProcess ((int) details.description, details.localPosition.roundToInt());
}

bool ProcessEditor::placeProcess (int processIndex, juce::Point<int> position)
{
    auto* history = getEditHistory();
    auto* moduleLibrary = getLibrary();

    if (isDesignLocked() || history == nullptr || moduleLibrary == nullptr)
        return false;

    auto* module = getDspModule();

    if (module == nullptr && dspEditor != nullptr)
        module = dspEditor->getChosenModule();

    auto* definition = module != nullptr ? module->getProcess (processIndex) : nullptr;

    if (definition == nullptr)
        return false;

    // A DSP that the registry lost is registered again with the chosen module.
    if (getDspEntry() == nullptr && moduleLibrary->addDsp (getDspId(), module->moduleId, 0) == nullptr)
        return false;

    ensureBusGraphNode();

    if (! ProcessGraphEdits::canPlaceProcess (getGraph(), getDspEntry(), module, *definition))
        return false;

    ProcessGraphEdits::NewProcess process;
    process.name = juce::String (definition->name);
    process.loadText = NodeChannelRules::makeLoadText (module, definition, definition->defaultChannelWord, getSamplingIndex());
    process.definition = definition;
    process.x = getWidth() > 0 ? position.x / (double) getWidth() : 0.0;
    process.y = getHeight() > 0 ? position.y / (double) getHeight() : 0.0;
    // The definition's words, once: from here on they are the process's.
    process.channelWord = definition->defaultChannelWord;
    process.memoryWord = definition->getDefaultMemoryWord();

    history->beginEdit (getDspId());
    return history->perform (new InsertAction (getGraph(), moduleLibrary, getDspId(), process));
}

void ProcessEditor::ensureBusGraphNode()
{
    auto& bus = design.getBusGraph();
    const auto id = getDspId();

    if (bus.findNodeById (id) != nullptr)
        return;

    // Under the DSP's own id, in id order, as the bus editor would have made it.
    if (bus.restoreNode (id, bus.findFreeNrpn(), "DSP", false, nullptr, (double) 0.2f, (double) 0.2f) != nullptr)
        design.fitBusGraphToModule (id, getDspModule());
}

//==============================================================================
void ProcessEditor::mouseDown (const juce::MouseEvent& e)
{
    if (isShowing())
        grabKeyboardFocus();

    // The right button's menu opens at its release.
    if (e.mods.isRightButtonDown())
        return;

    if (! e.mods.isCtrlDown())
        selectAll (false);

    beginLasso (e);
}

void ProcessEditor::mouseDrag (const juce::MouseEvent& e)
{
    if (lasso != nullptr)
        dragLasso (e);
}

void ProcessEditor::mouseUp (const juce::MouseEvent& e)
{
    if (lasso != nullptr)
        endLasso (e);

    // Opened at the release, which therefore cannot choose one of its items.
    if (e.mods.isRightButtonDown())
    {
        juce::Component::SafePointer<ProcessEditor> self (this);
        const int result = Dialogs::getCurrent().showMenu (buildMenu(), menuItemHeight);

        if (self != nullptr)
            handleMenuResult (result);
    }
}

void ProcessEditor::mouseMove (const juce::MouseEvent&)
{
    if (! tooltipClearPending || --tooltipCountdown > 0)
        return;

    tooltipCountdown = tooltipCountdownStart;
    juce::SettableTooltipClient::setTooltip ({});
    tooltipClearPending = false;
}

void ProcessEditor::setTooltip (const juce::String& newTooltip)
{
    juce::SettableTooltipClient::setTooltip (newTooltip);
    tooltipClearPending = newTooltip.isNotEmpty();
}

//==============================================================================
void ProcessEditor::beginLasso (const juce::MouseEvent&)
{
    if (isDesignLocked())
        return;

    if (lasso == nullptr)
    {
        lasso = std::make_unique<SelectorComponent> (this);
        lasso->setInProcessEditor (true);
        addAndMakeVisible (*lasso);
    }

    lasso->toFront (false);
    lassoStarting = true;
}

void ProcessEditor::dragLasso (const juce::MouseEvent& e)
{
    if (isDesignLocked() || lasso == nullptr)
        return;

    lasso->setTooltip ({});

    if (auto* viewport = findParentComponentOfClass<juce::Viewport>())
    {
        const auto inViewport = e.getEventRelativeTo (viewport).getPosition();
        viewport->autoScroll (inViewport.x, inViewport.y, autoScrollBorder, autoScrollSpeed);
    }

    const auto local = e.getEventRelativeTo (this);

    if (lassoStarting)
    {
        lasso->begin (local.mouseDownPosition.x, local.mouseDownPosition.y);
        lassoStarting = false;
    }

    lasso->moveTo (local.position.x, local.position.y);
    applyLasso (e.mods.isCtrlDown());
}

void ProcessEditor::applyLasso (bool adding)
{
    auto& shown = getGraph();

    if (! adding)
        shown.setSelectionCount (0);

    for (auto* box : getBoxes())
        if (! (adding && box->isSelected()))
            box->setSelected (lasso->intersects (*box));

    for (auto* connector : getConnectors())
        if (! (adding && connector->isSelected()))
            connector->setSelected (lasso->intersects (*connector));

    shown.setSelectionCount (getNumSelected());
}

void ProcessEditor::endLasso (const juce::MouseEvent&)
{
    // Taking the lasso away edits nothing: it goes even when the design was
    // locked during the drag.
    if (lasso == nullptr)
        return;

    // The lasso's own release may be what ends it.
    retire (std::move (lasso));
}
