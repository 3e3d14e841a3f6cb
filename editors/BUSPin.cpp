#include "editors/BUSPin.h"

#include "editors/Dialogs.h"
#include "editors/GraphEditorView.h"
#include "editors/Zorvex.h"
#include "model/DesignLog.h"

namespace
{
constexpr int pinGap = 8;
} // namespace

BUSPin::BUSPin (GraphEditorView& owner) : editor (owner)
{
    setName ("BUSPin");
    setSize (width, height);
}

BUSPin::~BUSPin() = default;

bool BUSPin::isInProcessEditor() const noexcept
{
    return editor.isProcessEditor();
}

uint32_t BUSPin::parseNumber (const juce::String& name)
{
    for (auto* prefix : { "DSPIN", "DSPOUT", "IBUS" })
    {
        const int at = name.indexOfIgnoreCase (prefix);

        if (at >= 0)
            return (uint32_t) name.substring (at + juce::String (prefix).length()).getHexValue32();
    }

    return (uint32_t) name.getHexValue32();
}

juce::Point<int> BUSPin::placeFor (juce::Point<float> anchor, bool input)
{
    const auto x = input ? anchor.x - (float) (width + pinGap) : anchor.x + (float) pinGap;
    return { juce::roundToInt (x), juce::roundToInt (anchor.y - (float) height / 2.0f) };
}

void BUSPin::setup (uint32_t node, uint32_t pin, uint8_t pinDirection, const juce::String& pinName)
{
    nodeId = node;
    pinIndex = pin;
    direction = pinDirection;

    if (name != pinName)
    {
        name = pinName;
        number = parseNumber (name);
        setTooltip (name);
        repaint();
    }

    // Placed afresh: the anchor may be the same while the side changed.
    resized();
}

bool BUSPin::shows (const GraphBusPin& busPin) const noexcept
{
    return busPin.nodeId == nodeId && busPin.pinIndex == pinIndex && busPin.direction == direction && busPin.name == name;
}

juce::Point<float> BUSPin::getAnchor() const
{
    if (auto* box = editor.findBoxByNodeId (nodeId))
        return box->getPinCentre ((int) pinIndex, isInput());

    return defaultAnchor;
}

void BUSPin::updatePosition()
{
    if (getAnchor() == lastAnchor)
        return;

    resized();
    repaint();
}

void BUSPin::resized()
{
    lastAnchor = getAnchor();
    setTopLeftPosition (placeFor (lastAnchor, isInput()));
}

void BUSPin::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour (fillColour));
    g.fillRoundedRectangle (0.0f, 0.0f, (float) getWidth() - 2.0f, (float) getHeight() - 2.0f, 3.0f);
    g.setColour (juce::Colours::black);
    g.setFont (font);
    g.drawFittedText (name, getLocalBounds().reduced (4, 2), juce::Justification::centred, 2, 0.0f);
}

//==============================================================================
juce::PopupMenu BUSPin::buildMenu() const
{
    juce::PopupMenu menu;

    if (! isDesignLocked())
        menu.addItem (deleteItem, "Delete BusPin");

    return menu;
}

void BUSPin::handleMenuResult (int itemId)
{
    if (itemId == deleteItem && ! isDesignLocked())
        editor.deleteBusPin (nodeId, pinIndex, direction, name);
}

void BUSPin::mouseUp (const juce::MouseEvent& e)
{
    if (e.mods.isRightButtonDown())
        showMenu();
    else if (! isDesignLocked() && e.mods.isLeftButtonDown())
        editor.dropBusName (e);
}

void BUSPin::showMenu()
{
    // Opened at the release of the right button, which therefore cannot
    // choose one of its items.
    if (isDesignLocked())
        return;

    // The menu runs its own loop, and the choice may take this label away:
    // it is deleted by its editor later, and nothing here touches it after.
    juce::Component::SafePointer<BUSPin> self (this);
    const int result = Dialogs::getCurrent().showMenu (buildMenu(), Dialogs::editorMenuItemHeight);

    if (self != nullptr)
        handleMenuResult (result);
}
