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

myLookAndFeel::myLookAndFeel()
{
    setColour (juce::TabbedButtonBar::frontTextColourId, juce::Colour (frontTabColour));
}

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
juce::Font myLookAndFeel::getTabFont (float depth)
{
    return juce::Font (juce::jmax (depth * 0.5f, juce::jmin (minimumTabFontHeight, depth - 4.0f)));
}

int myLookAndFeel::getTabButtonBestWidth (juce::TabBarButton& button, int tabDepth)
{
    // A label drawn larger than JUCE draws it needs the room to stand whole.
    const auto jucesWidth = juce::LookAndFeel_V3::getTabButtonBestWidth (button, tabDepth);
    const auto font = getTabFont ((float) tabDepth);

    if (font.getHeight() <= (float) tabDepth * 0.5f)
        return jucesWidth;

    return juce::jmax (jucesWidth, juce::jmin (font.getStringWidth (button.getButtonText().trim()) + tabDepth, tabDepth * 12));
}

void myLookAndFeel::drawTabButton (juce::TabBarButton& button, juce::Graphics& g, bool isMouseOver, bool isMouseDown)
{
    // JUCE's third look, with a label of our size and a bar on the front tab.
    const auto area = button.getActiveArea();
    const auto orientation = button.getTabbedButtonBar().getOrientation();
    const auto background = button.getTabBackgroundColour();
    const auto front = button.isFrontTab();

    if (button.getToggleState())
    {
        g.setColour (background);
    }
    else
    {
        // Lighter at the outer edge.
        const auto outer = orientation == juce::TabbedButtonBar::TabsAtBottom  ? area.getBottomLeft()
                           : orientation == juce::TabbedButtonBar::TabsAtRight ? area.getTopRight()
                                                                               : area.getTopLeft();
        const auto inner = orientation == juce::TabbedButtonBar::TabsAtTop    ? area.getBottomLeft()
                           : orientation == juce::TabbedButtonBar::TabsAtLeft ? area.getTopRight()
                                                                              : area.getTopLeft();
        g.setGradientFill (
            juce::ColourGradient (background.brighter (0.2f), outer.toFloat(), background.darker (0.1f), inner.toFloat(), false));
    }

    g.fillRect (area);

    auto edges = area;
    g.setColour (button.findColour (juce::TabbedButtonBar::tabOutlineColourId));

    if (orientation != juce::TabbedButtonBar::TabsAtBottom)
        g.fillRect (edges.removeFromTop (1));
    if (orientation != juce::TabbedButtonBar::TabsAtTop)
        g.fillRect (edges.removeFromBottom (1));
    if (orientation != juce::TabbedButtonBar::TabsAtRight)
        g.fillRect (edges.removeFromLeft (1));
    if (orientation != juce::TabbedButtonBar::TabsAtLeft)
        g.fillRect (edges.removeFromRight (1));

    const auto alpha = button.isEnabled() ? ((isMouseOver || isMouseDown) ? 1.0f : 0.8f) : 0.3f;
    auto colour = background.contrasting().withMultipliedAlpha (alpha);
    const auto colourId = front ? juce::TabbedButtonBar::frontTextColourId : juce::TabbedButtonBar::tabTextColourId;

    if (button.getTabbedButtonBar().isColourSpecified (colourId))
        colour = button.getTabbedButtonBar().findColour (colourId);
    else if (isColourSpecified (colourId))
        colour = findColour (colourId);

    drawTabText (button, g, colour);

    if (! front)
        return;

    // A bar along the tab's outer edge, away from the page it shows.
    constexpr int thickness = 3;
    auto bar = area;

    switch (orientation)
    {
        case juce::TabbedButtonBar::TabsAtTop: bar = bar.removeFromTop (thickness); break;
        case juce::TabbedButtonBar::TabsAtBottom: bar = bar.removeFromBottom (thickness); break;
        case juce::TabbedButtonBar::TabsAtLeft: bar = bar.removeFromLeft (thickness); break;
        case juce::TabbedButtonBar::TabsAtRight: bar = bar.removeFromRight (thickness); break;
        default: break;
    }

    g.setColour (juce::Colour (frontTabColour));
    g.fillRect (bar);
}

void myLookAndFeel::drawTabText (juce::TabBarButton& button, juce::Graphics& g, juce::Colour colour)
{
    const auto area = button.getTextArea().toFloat();
    const auto vertical = button.getTabbedButtonBar().isVertical();
    const auto length = vertical ? area.getHeight() : area.getWidth();
    const auto depth = vertical ? area.getWidth() : area.getHeight();

    auto font = getTabFont (depth);
    font.setUnderline (button.hasKeyboardFocus (false));

    juce::AttributedString text;
    text.setJustification (juce::Justification::centred);
    text.append (button.getButtonText().trim(), font, colour);

    juce::TextLayout layout;
    layout.createLayout (text, length);

    juce::AffineTransform transform;

    switch (button.getTabbedButtonBar().getOrientation())
    {
        case juce::TabbedButtonBar::TabsAtLeft:
            transform = transform.rotated (juce::MathConstants<float>::pi * -0.5f).translated (area.getX(), area.getBottom());
            break;
        case juce::TabbedButtonBar::TabsAtRight:
            transform = transform.rotated (juce::MathConstants<float>::pi * 0.5f).translated (area.getRight(), area.getY());
            break;
        default: transform = transform.translated (area.getX(), area.getY()); break;
    }

    g.addTransform (transform);
    layout.draw (g, { length, depth });
}

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
