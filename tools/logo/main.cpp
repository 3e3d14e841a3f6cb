// Draws the program's logo, the picture on the project settings page, and
// writes it as a PNG with a transparent ground:
//   make_logo resources/OstraneLogo.png
// The picture is ours: a chip with a waveform across it beside the name.

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdio>

namespace
{
const juce::Colour orange (0xffff8c00);
const juce::Colour ivory (0xfffffff0);
const juce::Colour chipBody (0xff1c1c1c);

constexpr int width = 440;
constexpr int height = 240;

void drawChip (juce::Graphics& g, juce::Rectangle<float> body)
{
    constexpr int pinsPerSide = 5;
    const auto pitch = body.getWidth() / (float) (pinsPerSide + 1);
    const auto pinLength = 14.0f, pinWidth = 7.0f;

    g.setColour (orange);

    for (int i = 1; i <= pinsPerSide; ++i)
    {
        const auto along = (float) i * pitch;
        g.fillRect (body.getX() + along - pinWidth / 2, body.getY() - pinLength, pinWidth, pinLength);
        g.fillRect (body.getX() + along - pinWidth / 2, body.getBottom(), pinWidth, pinLength);
        g.fillRect (body.getX() - pinLength, body.getY() + along - pinWidth / 2, pinLength, pinWidth);
        g.fillRect (body.getRight(), body.getY() + along - pinWidth / 2, pinLength, pinWidth);
    }

    g.setColour (chipBody);
    g.fillRoundedRectangle (body, 10.0f);
    g.setColour (orange);
    g.drawRoundedRectangle (body.reduced (2.0f), 9.0f, 4.0f);

    // A signal passing through: a sine that grows and fades.
    juce::Path wave;
    const auto inner = body.reduced (16.0f);

    for (int x = 0; x <= (int) inner.getWidth(); ++x)
    {
        const auto t = (float) x / inner.getWidth();
        const auto envelope = std::sin (juce::MathConstants<float>::pi * t);
        const auto y =
            inner.getCentreY() - envelope * inner.getHeight() * 0.4f * std::sin (t * 6.0f * juce::MathConstants<float>::pi);

        if (x == 0)
            wave.startNewSubPath (inner.getX(), y);
        else
            wave.lineTo (inner.getX() + (float) x, y);
    }

    g.setColour (ivory);
    g.strokePath (wave, juce::PathStrokeType (3.5f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void drawName (juce::Graphics& g, juce::Rectangle<float> area)
{
    g.setColour (ivory);
    g.setFont (juce::Font ("DejaVu Sans", 58.0f, juce::Font::bold));
    g.drawFittedText ("OSTRANE", area.removeFromTop (70.0f).toNearestInt(), juce::Justification::bottomLeft, 1);

    g.setColour (orange);
    g.fillRect (area.removeFromTop (12.0f).withTrimmedTop (5.0f).withHeight (3.0f));

    g.setFont (juce::Font ("DejaVu Sans", 40.0f, juce::Font::plain));
    g.drawFittedText ("Quellion", area.removeFromTop (52.0f).toNearestInt(), juce::Justification::topLeft, 1);
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: make_logo <file.png>\n");
        return 2;
    }

    // Fonts and their caches live within JUCE's lifetime.
    const juce::ScopedJuceInitialiser_GUI juceRunning;
    juce::Image logo (juce::Image::ARGB, width, height, true);
    {
        juce::Graphics g (logo);
        drawChip (g, { 34.0f, 60.0f, 120.0f, 120.0f });
        drawName (g, { 190.0f, 58.0f, 240.0f, 140.0f });
    }

    const juce::File target = juce::File::getCurrentWorkingDirectory().getChildFile (juce::String::fromUTF8 (argv[1]));
    target.deleteFile();
    juce::FileOutputStream out (target);
    juce::PNGImageFormat png;

    if (! out.openedOk() || ! png.writeImageToStream (logo, out))
    {
        std::fprintf (stderr, "could not write %s\n", argv[1]);
        return 1;
    }

    return 0;
}
