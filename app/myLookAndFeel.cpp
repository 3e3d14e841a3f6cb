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

//==============================================================================
myLookAndFeel::Default::Default()
{
    juce::LookAndFeel::setDefaultLookAndFeel (&look.get());
}

myLookAndFeel::Default::~Default()
{
    // The last holder hands JUCE its own look back before ours goes.
    if (look.getReferenceCount() == 1)
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}

//==============================================================================
juce::Rectangle<int> myLookAndFeel::getAlertIconArea (juce::Rectangle<int> textArea)
{
    // An alert box keeps 80 pixels left of its text for the icon.
    constexpr int margin = 6;
    const auto side = juce::jmin (56, textArea.getHeight() - 2 * margin);
    return { textArea.getX() + margin, textArea.getY() + margin, juce::jmax (0, side), juce::jmax (0, side) };
}

void myLookAndFeel::drawAlertBox (juce::Graphics& g, juce::AlertWindow& alert, const juce::Rectangle<int>& textArea,
                                  juce::TextLayout& textLayout)
{
    constexpr int iconRoom = 80;
    g.fillAll (alert.findColour (juce::AlertWindow::backgroundColourId));

    int iconSpaceUsed = 0;

    if (alert.getAlertType() != juce::MessageBoxIconType::NoIcon)
    {
        const auto iconArea = getAlertIconArea (textArea).toFloat();
        const auto warning = alert.getAlertType() == juce::MessageBoxIconType::WarningIcon;
        const auto info = alert.getAlertType() == juce::MessageBoxIconType::InfoIcon;

        juce::Path icon;

        if (warning)
            icon.addTriangle (iconArea.getCentreX(), iconArea.getY(), iconArea.getRight(), iconArea.getBottom(), iconArea.getX(),
                              iconArea.getBottom());
        else
            icon.addEllipse (iconArea);

        icon = icon.createPathWithRoundedCorners (4.0f);

        // The sign is cut out of the shape.
        juce::GlyphArrangement sign;
        sign.addFittedText (juce::Font (iconArea.getHeight() * 0.6f, juce::Font::bold), warning ? "!" : (info ? "i" : "?"),
                            iconArea.getX(), iconArea.getY() + iconArea.getHeight() * (warning ? 0.15f : 0.0f),
                            iconArea.getWidth(), iconArea.getHeight() * (warning ? 0.85f : 1.0f), juce::Justification::centred,
                            1);
        sign.createPath (icon);
        icon.setUsingNonZeroWinding (false);

        g.setColour (juce::Colour (warning ? 0xc0ff5555 : (info ? 0xc05555ff : 0xc0b69900)));
        g.fillPath (icon);
        iconSpaceUsed = iconRoom;
    }

    g.setColour (alert.findColour (juce::AlertWindow::textColourId));
    textLayout.draw (g, textArea.withTrimmedLeft (iconSpaceUsed).toFloat());

    g.setColour (alert.findColour (juce::AlertWindow::outlineColourId));
    g.drawRect (0, 0, alert.getWidth(), alert.getHeight());
}
