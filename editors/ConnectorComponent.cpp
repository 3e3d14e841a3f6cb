#include "editors/ConnectorComponent.h"

#include "editors/ActionManager.h"
#include "editors/Dialogs.h"
#include "editors/GraphEditorView.h"
#include "editors/PasteTarget.h"
#include "editors/ProcessEditor.h"
#include "editors/Zorvex.h"
#include "model/DesignLog.h"
#include "model/GraphData.h"

#include <cmath>

namespace
{
constexpr float hitWidth = 8.0f;
constexpr float lineWidth = 2.5f;
constexpr int deleteItem = 1;
} // namespace

ConnectorComponent::ConnectorComponent (GraphData& owningGraph, GraphEditorView& owningEditor)
    : graph (owningGraph), editor (owningEditor)
{
}

ConnectorComponent::~ConnectorComponent() = default;

void ConnectorComponent::setSource (uint32_t nodeId, uint32_t pin)
{
    if (sourceNode != nodeId || sourcePin != pin)
    {
        sourceNode = nodeId;
        sourcePin = pin;
        updateGeometry();
    }
}

void ConnectorComponent::setDestination (uint32_t nodeId, uint32_t pin)
{
    if (destNode != nodeId || destPin != pin)
    {
        destNode = nodeId;
        destPin = pin;
        updateGeometry();
    }
}

void ConnectorComponent::setStartPoint (float x, float y)
{
    startPoint = { x, y };
    updateBounds();
}

void ConnectorComponent::setEndPoint (float x, float y)
{
    endPoint = { x, y };
    updateBounds();
}

void ConnectorComponent::updateGeometry()
{
    auto start = startPoint, end = endPoint;

    if (auto* box = editor.findBoxByNodeId (sourceNode))
        start = box->getPinCentre ((int) sourcePin, false);

    if (auto* box = editor.findBoxByNodeId (destNode))
        end = box->getPinCentre ((int) destPin, true);

    if (start != startPoint || end != endPoint || getBounds().isEmpty())
    {
        startPoint = start;
        endPoint = end;
        updateBounds();
    }
}

juce::Rectangle<int> ConnectorComponent::boundsFor (juce::Point<float> a, juce::Point<float> b) noexcept
{
    return { (int) (juce::jmin (a.x, b.x) - 4.0f), (int) (juce::jmin (a.y, b.y) - 4.0f), (int) (std::abs (a.x - b.x) + 8.0f),
             (int) (std::abs (a.y - b.y) + 8.0f) };
}

float ConnectorComponent::arrowAngle (juce::Point<float> from, juce::Point<float> to) noexcept
{
    return juce::MathConstants<float>::halfPi - std::atan2 (to.x - from.x, to.y - from.y);
}

void ConnectorComponent::updateBounds()
{
    const auto bounds = boundsFor (startPoint, endPoint);

    if (bounds != getBounds())
        setBounds (bounds);
    else
        buildPaths();

    repaint();
}

void ConnectorComponent::resized()
{
    buildPaths();
}

void ConnectorComponent::buildPaths()
{
    const auto origin = getPosition().toFloat();
    const auto a = startPoint - origin, b = endPoint - origin;

    juce::Path curve;
    curve.startNewSubPath (a);
    curve.cubicTo (a.x + (b.x - a.x) / 3.0f, a.y, a.x + 2.0f * (b.x - a.x) / 3.0f, b.y, b.x, b.y);

    hitPath.clear();
    juce::PathStrokeType (hitWidth).createStrokedPath (hitPath, curve);
    linePath.clear();
    juce::PathStrokeType (lineWidth, juce::PathStrokeType::curved, juce::PathStrokeType::rounded)
        .createStrokedPath (linePath, curve);

    juce::Path arrow;
    arrow.addTriangle (-4.0f, 5.0f, -4.0f, -5.0f, 4.0f, 0.0f);
    arrow.applyTransform (juce::AffineTransform::rotation (arrowAngle (a, b)).translated ((a + b) / 2.0f));
    linePath.addPath (arrow);
    linePath.setUsingNonZeroWinding (true);
}

juce::Colour ConnectorComponent::getDrawnColour() const noexcept
{
    if (selected)
        return juce::Colour (selectedColour);

    return mustConnectFlag ? juce::Colour (mustConnectColour) : colour;
}

void ConnectorComponent::paint (juce::Graphics& g)
{
    g.setColour (getDrawnColour());
    g.fillPath (linePath);
}

bool ConnectorComponent::hitTest (int x, int y)
{
    // Presses near an end belong to the pin under it.
    const juce::Point<float> p ((float) x, (float) y);
    const auto origin = getPosition().toFloat();
    return hitPath.contains (p) && p.getDistanceFrom (startPoint - origin) > endClearance &&
           p.getDistanceFrom (endPoint - origin) > endClearance;
}

void ConnectorComponent::setMustConnect (bool must)
{
    mustConnectFlag = must;
    repaint();
}

void ConnectorComponent::setSelected (bool shouldBeSelected)
{
    if (selected != shouldBeSelected)
    {
        selected = shouldBeSelected;
        repaint();
    }
}

void ConnectorComponent::updateDescription()
{
    if (! inProcessEditor)
    {
        setTooltip ("Connecting DSP#" + juce::String (sourceNode) + "-Output#" + juce::String (sourcePin) + " to DSP#" +
                    juce::String (destNode) + "-Input#" + juce::String (destPin));
        return;
    }

    auto describe = [this] (uint32_t id)
    {
        auto* node = graph.findNodeById (id);
        return node != nullptr ? node->getName() + "#" + juce::String (node->nrpn) : juce::String ("#");
    };

    setTooltip (describe (sourceNode) + "-Output[" + juce::String (sourcePin) + "] - to - " + describe (destNode) + "-Input[" +
                juce::String (destPin) + "]");
}

//==============================================================================
juce::PopupMenu ConnectorComponent::buildMenu() const
{
    juce::PopupMenu menu;
    menu.addItem (deleteItem, "Delete connector");
    return menu;
}

void ConnectorComponent::handleMenuResult (int itemId)
{
    // The connector leaves the editor here; nothing of it is touched after.
    if (itemId == deleteItem && ! isDesignLocked())
        editor.deleteConnection (*this);
}

void ConnectorComponent::mouseDown (const juce::MouseEvent& e)
{
    if (isDesignLocked())
        return;

    juce::ignoreUnused (e);
    toFront (false);
    dragging = false;
}

void ConnectorComponent::mouseDrag (const juce::MouseEvent& e)
{
    if (isDesignLocked() || e.mods.isRightButtonDown())
        return;

    if (! dragging)
    {
        if (e.mouseWasDraggedSinceMouseDown())
        {
            dragging = true;
            editor.beginReroute (*this, e.getEventRelativeTo (&editor).mouseDownPosition);
        }

        return;
    }

    editor.dragConnection (e);
}

void ConnectorComponent::mouseUp (const juce::MouseEvent& e)
{
    if (dragging && editor.isDraggingConnection())
    {
        // The editor may now retire this connector: return at once.
        editor.finishConnectionDrag (e);
        return;
    }

    // The menu opens at the release of the right button, which therefore
    // cannot choose one of its items.
    if (e.mods.isRightButtonDown())
    {
        if (! isDesignLocked())
        {
            juce::Component::SafePointer<ConnectorComponent> self (this);
            const int result = Dialogs::getCurrent().showMenu (buildMenu(), 18);

            if (self != nullptr)
                handleMenuResult (result);
        }

        return;
    }

    if (! isDesignLocked() && e.mods.isCtrlDown() && ! e.mouseWasDraggedSinceMouseDown())
        setSelected (! selected);
}

//==============================================================================
ConnectorComponent::CopyAction::CopyAction (GraphData& g, const GraphConnection& connection)
    : source (&g), sourceNode (connection.sourceNode), sourcePin (connection.sourcePin), destNode (connection.destNode),
      destPin (connection.destPin), flag (connection.flag)
{
}

bool ConnectorComponent::CopyAction::perform()
{
    if (recorded)
        return true;

    GraphConnection connection;
    connection.sourceNode = sourceNode;
    connection.sourcePin = sourcePin;
    connection.destNode = destNode;
    connection.destPin = destPin;
    connection.flag = flag;

    if (source == nullptr || ! ProcessGraphEdits::keepConnection (*source, connection, kept))
        return false;

    recorded = true;
    source = nullptr;
    return true;
}

bool ConnectorComponent::CopyAction::undo()
{
    auto* target = PasteTarget::getCurrent();
    auto* history = target != nullptr ? target->getPasteHistory() : nullptr;

    if (! recorded || history == nullptr)
        return true;

    auto& graph = target->getPasteGraph();
    auto* from = graph.findNodeByLinkId (kept.sourceNrpn);
    auto* to = graph.findNodeByLinkId (kept.destNrpn);

    if (from != nullptr && to != nullptr)
        history->perform (new ProcessEditor::InsertConnectionAction (
            graph, { from->getId(), kept.sourcePin, to->getId(), kept.destPin }, kept.flag != 0));

    return true;
}
