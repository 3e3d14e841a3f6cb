#include "app/LookAndFeel_V3_DocumentWindowButton.h"

LookAndFeel_V3_DocumentWindowButton::LookAndFeel_V3_DocumentWindowButton (const juce::String& name, juce::Colour c,
                                                                          const juce::Path& normal,
                                                                          const juce::Path& toggled) noexcept
    : juce::Button (name), colour (c), normalShape (normal), toggledShape (toggled)
{
}

void LookAndFeel_V3_DocumentWindowButton::paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted,
                                                       bool shouldDrawButtonAsDown)
{
    auto fill = colour;

    if (! isEnabled())
        fill = colour.withAlpha (0.35f);
    else if (shouldDrawButtonAsHighlighted)
        fill = juce::Colour (0xd0ffffff);

    const auto r = (float) juce::jmin (getWidth(), getHeight()) * 0.5f * (shouldDrawButtonAsDown ? 0.6f : 0.65f);
    const auto side = 1.4f * r;
    const juce::Rectangle<float> area ((float) getWidth() * 0.5f - side * 0.5f, (float) getHeight() * 0.5f - side * 0.5f, side,
                                       side);

    auto shape = getToggleState() ? toggledShape : normalShape;
    shape.applyTransform (shape.getTransformToScaleToFit (area, true));

    // The shade lies one pixel below and to the right of the shape.
    g.setColour (juce::Colour (0xd0707080));
    g.fillPath (shape, juce::AffineTransform::translation (1.0f, 1.0f));
    g.setColour (fill);
    g.fillPath (shape);
}
