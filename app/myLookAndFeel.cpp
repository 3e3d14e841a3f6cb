#include "app/myLookAndFeel.h"

#include "app/LookAndFeel_V3_DocumentWindowButton.h"

namespace
{
constexpr float strokeWidth = 0.15f;

// Every shape spans the unit square, so that each is placed within the
// button as drawn here (the minimise bar stays at the bottom).
juce::Path inUnitSquare (juce::Path shape)
{
    juce::Path framed;
    framed.startNewSubPath (0.0f, 0.0f);
    framed.startNewSubPath (1.0f, 1.0f);
    framed.addPath (shape);
    return framed;
}

juce::Path makeCross()
{
    juce::Path shape;
    shape.addLineSegment ({ 0.0f, 0.0f, 1.0f, 1.0f }, strokeWidth);
    shape.addLineSegment ({ 1.0f, 0.0f, 0.0f, 1.0f }, strokeWidth);
    return inUnitSquare (shape);
}

juce::Path makeBottomBar()
{
    juce::Path shape;
    shape.addLineSegment ({ 0.0f, 1.0f - strokeWidth * 0.5f, 1.0f, 1.0f - strokeWidth * 0.5f }, strokeWidth);
    return inUnitSquare (shape);
}

juce::Path makeSquareOutline()
{
    juce::Path outline;
    outline.addRectangle (strokeWidth * 0.5f, strokeWidth * 0.5f, 1.0f - strokeWidth, 1.0f - strokeWidth);

    juce::Path shape;
    juce::PathStrokeType (strokeWidth).createStrokedPath (shape, outline);
    return inUnitSquare (shape);
}
} // namespace

juce::Button* myLookAndFeel::createDocumentWindowButton (int buttonType)
{
    const juce::Colour colour (buttonColour);

    if (buttonType == juce::DocumentWindow::closeButton)
    {
        const auto shape = makeCross();
        return new LookAndFeel_V3_DocumentWindowButton ("close", colour, shape, shape);
    }

    if (buttonType == juce::DocumentWindow::minimiseButton)
    {
        const auto shape = makeBottomBar();
        return new LookAndFeel_V3_DocumentWindowButton ("minimise", colour, shape, shape);
    }

    if (buttonType == juce::DocumentWindow::maximiseButton)
    {
        const auto shape = makeSquareOutline();
        return new LookAndFeel_V3_DocumentWindowButton ("maximize", colour, shape, shape);
    }

    jassertfalse;
    return nullptr;
}
