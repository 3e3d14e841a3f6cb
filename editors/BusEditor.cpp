#include "editors/BusEditor.h"

#include "editors/BusPanelTool.h"
#include "editors/Dialogs.h"
#include "editors/DspEditorHost.h"
#include "editors/ProcessContainer.h"
#include "editors/TooltipBar.h"
#include "editors/Zorvex.h"
#include "editors/ZorvexBus.h"
#include "model/BusConnectionRules.h"
#include "model/Design.h"
#include "model/DesignLog.h"

BusEditor::BusEditor (Design& designToEdit, DspEditorHost& editorHost, BusPanelTool* tool)
    : GraphEditorView (designToEdit.getBusGraph(), false), design (designToEdit), host (editorHost), panelTool (tool)
{
    setLibrary (design.getLibrary(), 0);
    setEditHistory (&host.getEditHistory());
    setPanelHost (&host.getPanelHost());
    design.addChangeListener (this);
}

BusEditor::~BusEditor()
{
    design.removeChangeListener (this);
}

//==============================================================================
int BusEditor::getChipCapacity() const
{
    const auto& chips = ProjectSettings::getChipNames();
    const int index = design.getSettings().getChipIndex();
    return juce::isPositiveAndBelow (index, chips.size()) ? BusConnectionRules::getChipCapacity (chips[index]) : 0;
}

juce::PopupMenu BusEditor::buildMenu() const
{
    juce::PopupMenu menu;

    if (isDesignLocked())
    {
        menu.addItem (lockedItem, designLockedText, false);
        return menu;
    }

    const int capacity = getChipCapacity();

    if (capacity == BusConnectionRules::smallChipCapacity || capacity == BusConnectionRules::mediumChipCapacity ||
        capacity == BusConnectionRules::largeChipCapacity)
        menu.addItem (addDspItem, "Add DSP (" + juce::String (capacity) + " max.)", getGraph().getNumNodes() < capacity);

    return menu;
}

void BusEditor::handleMenuResult (int itemId, juce::Point<int> position)
{
    if (itemId == addDspItem)
        addDspAt (position);
}

uint32_t BusEditor::findFreeDspId() const
{
    uint32_t id = 1;

    while (design.findDsp (id) != nullptr || getGraph().findNodeById (id) != nullptr)
        ++id;

    return id;
}

bool BusEditor::addDspAt (juce::Point<int> position)
{
    auto& bus = getGraph();

    if (isDesignLocked() || bus.getNumNodes() >= juce::jmin (getChipCapacity(), Design::maxDsps))
        return false;

    // One id for the DSP's slot (its page) and its box.
    const auto id = findFreeDspId();
    const bool added =
        processContainer != nullptr ? processContainer->addDsp ((int) id) != nullptr : design.addDsp (id, 0) != nullptr;

    if (! added)
        return false;

    const auto nrpn = bus.findNodeByNrpn (id) == nullptr ? id : bus.findFreeNrpn();
    const double x = getWidth() > 0 ? position.x / (double) getWidth() : 0.0;
    const double y = getHeight() > 0 ? position.y / (double) getHeight() : 0.0;

    if (bus.restoreNode (id, nrpn, "DSP", false, nullptr, x, y) == nullptr)
    {
        design.removeDsp (id);
        return false;
    }

    return true;
}

//==============================================================================
PinToolPanel* BusEditor::getPinTool() const
{
    return panelTool;
}

const ModuleDefinition* BusEditor::getModuleOfDsp (uint32_t id) const
{
    return design.getDspModule (id);
}

double BusEditor::getDspLoad (uint32_t id) const
{
    return design.findDsp (id) != nullptr ? juce::jmax (0.0, design.estimateDspLoad (id).cycles / 100.0) : 0.0;
}

ConnectionRules::Verdict BusEditor::checkConnectionDrop (const ConnectionRules::DragStart& start,
                                                         const ConnectionRules::Pin& dropped, ConnectionRules::Ends& ends) const
{
    return BusConnectionRules (getGraph()).checkConnectionDrop (start, dropped, &ends);
}

bool BusEditor::assignBusPin (const ZorvexBus& pin, const juce::String& name)
{
    const ConnectionRules::Pin target{ pin.getNodeId(), pin.getPinIndex(), pin.isInput() };
    const auto verdict = BusConnectionRules (getGraph()).checkChipPinName (target, name);

    if (! verdict.accepted)
    {
        if (verdict.message.isNotEmpty())
            showMessage (verdict.message);

        return false;
    }

    getGraph().addBusPin (target.nodeId, target.index, (uint8_t) (target.isInput ? 1 : 0), name);
    return true;
}

void BusEditor::removeDsp (uint32_t id)
{
    if (isDesignLocked())
        return;

    // Its wires first, then its page and slot (which also empty the undo
    // histories, as they may name the DSP's graph), then its box.
    removeNodeConnections (id);

    if (processContainer != nullptr)
        processContainer->removeDsp (id);
    else
        design.removeDsp (id);

    getGraph().removeNode (id);
}

void BusEditor::showDspTab (uint32_t id)
{
    if (processContainer == nullptr)
        return;

    processContainer->showDspTab (id);
    host.showDspEditorTab();
}

//==============================================================================
void BusEditor::showMenuAt (juce::Point<int> position)
{
    juce::Component::SafePointer<BusEditor> self (this);
    const int result = Dialogs::getCurrent().showMenu (buildMenu(), menuItemHeight);

    if (self != nullptr)
        handleMenuResult (result, position);
}

void BusEditor::mouseDown (const juce::MouseEvent& e)
{
    if (! e.mods.isRightButtonDown())
        selectAll (false);
}

void BusEditor::mouseUp (const juce::MouseEvent& e)
{
    // The menu opens at a release, which therefore cannot choose one of its
    // items: the right button's, or the second click of a double click. A
    // DSP is added where the menu was asked for.
    if (e.mods.isRightButtonDown())
        showMenuAt (e.getMouseDownPosition());
    else if (e.mods.isLeftButtonDown() && e.getNumberOfClicks() == 2 && ! e.mouseWasDraggedSinceMouseDown())
        showMenuAt (e.getPosition());
}

void BusEditor::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    // A DSP's module shapes its box (pins, name, load).
    if (source == &design)
    {
        synchronise();
        repaint();
        return;
    }

    GraphEditorView::changeListenerCallback (source);
}
