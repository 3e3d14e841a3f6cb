#include "editors/ZorvexBus.h"

#include "editors/ConnectorComponent.h"
#include "editors/Dialogs.h"
#include "editors/GraphEditorView.h"
#include "editors/Zorvex.h"
#include "model/DesignLog.h"
#include "model/ModuleDefinition.h"

namespace
{
constexpr int maxDspIo = 8;
constexpr int chipPinsPerSide = 16;
} // namespace

ZorvexBus::ZorvexBus (uint32_t node, uint32_t index, bool isInputPin, bool processEditorPin, Zorvex& owner)
    : pinIndex (index), input (isInputPin), nodeId (node), box (owner), inProcessEditor (processEditorPin)
{
    setName ("ZorvexBus");
    setSize (size, size);
    updateTooltip();
}

ZorvexBus::~ZorvexBus() = default;

GraphEditorView* ZorvexBus::getEditor() const
{
    return box.getOwnerEditor();
}

const GraphNode* ZorvexBus::getNode() const
{
    return box.getNode();
}

void ZorvexBus::setNodeId (uint32_t newId)
{
    nodeId = newId;
    updateTooltip();
}

void ZorvexBus::markMustConnect()
{
    mustConnectFlag = true;
    updateTooltip();
}

void ZorvexBus::updateTooltip()
{
    auto* node = getNode();
    juce::String text (inProcessEditor ? "Process#" : "DSP#");
    text << juce::String (node != nullptr ? node->nrpn : nodeId) << (input ? " Input" : " Output") << juce::String (pinIndex);

    if (inProcessEditor)
    {
        auto* first = node != nullptr ? node->getOutputPin (0) : nullptr;

        if (! input && first != nullptr && first->isVectorPin())
            text << " - [Warning! 1st output index MUST be even]";

        if (mustConnectFlag)
            text << " - [Warning! Must be connected to another GREEN pin]";
    }

    setTooltip (text);
}

int ZorvexBus::getToolMode() const
{
    auto* editor = getEditor();
    return editor != nullptr ? editor->getToolMode() : 0;
}

bool ZorvexBus::acceptsToolName() const
{
    const int mode = getToolMode();
    auto* editor = getEditor();
    return mode == 3 || ((mode == 1 || mode == 2) && editor != nullptr && editor->getToolDirectionIsInput() == input);
}

//==============================================================================
juce::String ZorvexBus::getChipPinName (int itemId, bool forInput)
{
    if (itemId >= 1 && itemId <= chipPinsPerSide)
    {
        const int i = itemId - 1;
        return juce::String ("DA") + (forInput ? "AD" : "BD") + juce::String (i / 2) + ((i % 2) == 0 ? "L" : "R");
    }

    if (itemId > chipPinsPerSide && itemId <= 2 * chipPinsPerSide)
        return "IBUS" + juce::String::toHexString (itemId - chipPinsPerSide - 1).toUpperCase();

    return {};
}

int ZorvexBus::getDspIoCount() const
{
    auto* editor = getEditor();
    auto* module = editor != nullptr ? editor->getDspModule() : nullptr;

    if (module == nullptr)
        return 0;

    return (int) juce::jmin<uint32_t> (input ? module->dspInputCount : module->dspOutputCount, maxDspIo);
}

juce::PopupMenu ZorvexBus::buildMenu() const
{
    juce::PopupMenu menu;

    if (isDesignLocked())
        return menu;

    if (! inProcessEditor)
    {
        juce::PopupMenu audio, internalBus;

        for (int id = 1; id <= chipPinsPerSide; ++id)
            audio.addItem (id, getChipPinName (id, input));

        for (int id = chipPinsPerSide + 1; id <= 2 * chipPinsPerSide; ++id)
            internalBus.addItem (id, getChipPinName (id, input));

        menu.addSubMenu (input ? "Audio Input" : "Audio Output", audio);
        menu.addSubMenu ("Internal Bus", internalBus);
        return menu;
    }

    auto* editor = getEditor();
    const ConnectionRules rules (editor->getGraph(), editor->getDspModule());
    const ConnectionRules::Pin pin{ nodeId, pinIndex, input };

    for (int i = 0; i < getDspIoCount(); ++i)
    {
        const auto name = juce::String (input ? "DSPIN" : "DSPOUT") + juce::String (i);
        menu.addItem (i + 1, name, rules.checkBusPinAssignment (pin, name).accepted);
    }

    return menu;
}

void ZorvexBus::handleMenuResult (int itemId)
{
    auto* editor = getEditor();

    if (itemId <= 0 || editor == nullptr || isDesignLocked())
        return;

    const auto name =
        inProcessEditor ? juce::String (input ? "DSPIN" : "DSPOUT") + juce::String (itemId - 1) : getChipPinName (itemId, input);

    if (name.isNotEmpty())
        editor->assignBusPin (*this, name);
}

//==============================================================================
void ZorvexBus::paint (juce::Graphics& g)
{
    juce::Colour fill (pinColour);

    if (mustConnectFlag)
        fill = juce::Colour (mustConnectColour);
    else if (hovered)
        fill = juce::Colours::black.withAlpha (0.7f);
    else if (input)
        fill = fill.withAlpha (0.5f);

    g.fillAll (fill);

    const auto w = (float) getWidth(), h = (float) getHeight();
    g.setColour (fill.withAlpha (0.9f));
    g.fillRect (0.0f, 0.0f, w, 1.0f);
    g.fillRect (0.0f, 0.0f, 1.0f, h);
    g.setColour (fill.darker (0.7f));
    g.fillRect (0.0f, h - 1.0f, w, 1.0f);
    g.fillRect (w - 1.0f, 0.0f, 1.0f, h);
}

void ZorvexBus::mouseEnter (const juce::MouseEvent&)
{
    hovered = acceptsToolName();
    repaint();
}

void ZorvexBus::mouseExit (const juce::MouseEvent&)
{
    hovered = false;
    repaint();
}

void ZorvexBus::mouseDown (const juce::MouseEvent& e)
{
    auto* editor = getEditor();

    if (isDesignLocked() || editor == nullptr)
        return;

    // The right button's menu opens at its release (showMenuOnRelease),
    // so that the release cannot choose one of its items.
    if (! e.mods.isRightButtonDown() && getToolMode() == 0)
    {
        const ConnectionRules::DragStart start = input ? ConnectionRules::DragStart{ 0, pinIndex, nodeId, pinIndex }
                                                       : ConnectionRules::DragStart{ nodeId, pinIndex, 0, pinIndex };
        editor->startConnectionDrag (start, nullptr, e.getEventRelativeTo (editor).position);
    }
}

void ZorvexBus::showMenuOnRelease()
{
    auto* editor = getEditor();

    if (isDesignLocked() || editor == nullptr)
        return;

    const auto menu = buildMenu();

    if (inProcessEditor)
    {
        bool anyEnabled = false;

        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            anyEnabled = anyEnabled || it.getItem().isEnabled;

        if (! anyEnabled)
            editor->showMessage (noDspOutputsMessage);
    }

    // The menu runs its own loop: this pin may be gone afterwards.
    juce::Component::SafePointer<ZorvexBus> self (this);
    const int result = Dialogs::getCurrent().showMenu (menu, Dialogs::editorMenuItemHeight);

    if (self != nullptr)
        handleMenuResult (result);
}

void ZorvexBus::mouseDrag (const juce::MouseEvent& e)
{
    if (auto* editor = getEditor())
        if (editor->isDraggingConnection())
            editor->dragConnection (e);
}

void ZorvexBus::mouseUp (const juce::MouseEvent& e)
{
    auto* editor = getEditor();

    if (editor == nullptr)
        return;

    // Any release ends a drag, whatever button began it.
    if (editor->isDraggingConnection())
    {
        const auto verdict = editor->finishConnectionDrag (e);

        if (! verdict.accepted && verdict.message.isNotEmpty())
            editor->showMessage (verdict.message);

        return;
    }

    if (e.mods.isRightButtonDown())
        showMenuOnRelease();
    else if (! isDesignLocked() && e.mods.isLeftButtonDown() && getToolMode() != 0)
        editor->dropBusName (e);
}
