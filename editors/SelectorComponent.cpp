#include "editors/SelectorComponent.h"

#include "editors/ConnectorComponent.h"
#include "model/DesignLog.h"

SelectorComponent::SelectorComponent (Owner* lassoOwner) : owner (lassoOwner) {}

SelectorComponent::~SelectorComponent() = default;

void SelectorComponent::begin (float x, float y)
{
    anchorCorner = movingCorner = { x, y };
    updateBounds();
}

void SelectorComponent::moveTo (float x, float y)
{
    movingCorner = { x, y };
    updateBounds();
}

juce::Rectangle<float> SelectorComponent::getArea() const noexcept
{
    return { anchorCorner, movingCorner };
}

bool SelectorComponent::intersects (const juce::Component& component) const
{
    return getBounds().intersects (component.getBounds());
}

void SelectorComponent::updateBounds()
{
    const auto bounds = ConnectorComponent::boundsFor (anchorCorner, movingCorner);

    if (bounds != getBounds())
        setBounds (bounds);
    else
        buildPaths();

    repaint();
}

void SelectorComponent::resized()
{
    buildPaths();
}

void SelectorComponent::buildPaths()
{
    juce::Path rectangle;
    rectangle.addRectangle (getArea() - getPosition().toFloat());

    hitPath.clear();
    juce::PathStrokeType (6.0f).createStrokedPath (hitPath, rectangle);

    const float dashes[] = { 8.0f, 3.0f, 2.0f, 2.0f };
    drawnPath.clear();
    juce::PathStrokeType (2.5f).createDashedStroke (drawnPath, rectangle, dashes, 4);
}

void SelectorComponent::paint (juce::Graphics& g)
{
    g.setColour (juce::Colours::white.withAlpha (0.7f));
    g.fillPath (drawnPath);
}

bool SelectorComponent::hitTest (int x, int y)
{
    const juce::Point<float> p ((float) x, (float) y);
    const auto origin = getPosition().toFloat();
    return hitPath.contains (p) && p.getDistanceFrom (anchorCorner - origin) > ConnectorComponent::endClearance &&
           p.getDistanceFrom (movingCorner - origin) > ConnectorComponent::endClearance;
}

void SelectorComponent::mouseDown (const juce::MouseEvent&)
{
    if (isDesignLocked() || ! inProcessEditor)
        return;

    toFront (false);
    dragging = false;
}

void SelectorComponent::mouseDrag (const juce::MouseEvent& e)
{
    if (isDesignLocked() || ! inProcessEditor || owner == nullptr)
        return;

    if (! dragging)
    {
        if (e.mouseWasDraggedSinceMouseDown())
        {
            dragging = true;
            owner->beginLasso (e);
        }

        return;
    }

    owner->dragLasso (e);
}

void SelectorComponent::mouseUp (const juce::MouseEvent& e)
{
    if (! isDesignLocked() && inProcessEditor && dragging && owner != nullptr)
        owner->endLasso (e);
}
