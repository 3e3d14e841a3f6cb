#include "app/WindowPlacement.h"

#include <algorithm>

namespace
{
// Far beyond any screen, and small enough that no sum of two overflows.
constexpr juce::int64 coordinateLimit = 1000000;

int readCoordinate (const juce::String& token)
{
    return (int) juce::jlimit (-coordinateLimit, coordinateLimit, token.getLargeIntValue());
}

// Wider than any window manager's frame.
constexpr int maxFrameSide = 256;

juce::int64 overlap (juce::Rectangle<int> a, juce::Rectangle<int> b)
{
    const auto common = a.getIntersection (b);
    return (juce::int64) common.getWidth() * common.getHeight();
}

juce::int64 distanceSquared (juce::Point<int> a, juce::Point<int> b)
{
    const auto dx = (juce::int64) a.x - b.x, dy = (juce::int64) a.y - b.y;
    return dx * dx + dy * dy;
}
} // namespace

juce::Rectangle<int> WindowPlacement::fitToScreens (juce::Rectangle<int> wanted, const juce::Array<juce::Rectangle<int>>& screens)
{
    juce::RectangleList<int> area;

    for (const auto& screen : screens)
        area.add (screen);

    // A place on the screens stays, across two of them included.
    if (screens.isEmpty() || area.containsRectangle (wanted))
        return wanted;

    // The screen sharing the most with the place, or else the nearest.
    const auto isBetter = [wanted] (juce::Rectangle<int> a, juce::Rectangle<int> b)
    {
        if (overlap (wanted, a) != overlap (wanted, b))
            return overlap (wanted, a) > overlap (wanted, b);

        return distanceSquared (wanted.getCentre(), a.getCentre()) < distanceSquared (wanted.getCentre(), b.getCentre());
    };
    return wanted.constrainedWithin (*std::min_element (screens.begin(), screens.end(), isBetter));
}

juce::String WindowPlacement::fitWindowState (const juce::String& state, const juce::Array<juce::Rectangle<int>>& screens)
{
    juce::StringArray tokens;
    tokens.addTokens (state, false);
    tokens.removeEmptyStrings();

    const auto maximised = tokens[0].startsWithIgnoreCase ("fs");

    if (maximised)
        tokens.remove (0);

    // On X the window manager's frame around the window follows the place
    // ("frame" and its four sides), for the next start to allow for it.
    const auto framed = tokens.size() == 9 && tokens[4] == "frame";

    if (tokens.size() != 4 && ! framed)
        return {};

    const juce::Rectangle<int> wanted (readCoordinate (tokens[0]), readCoordinate (tokens[1]), readCoordinate (tokens[2]),
                                       readCoordinate (tokens[3]));

    if (wanted.isEmpty())
        return {};

    auto fitted = (maximised ? "fs " : "") + fitToScreens (wanted, screens).toString();

    if (framed)
        for (int side = 5; side < 9; ++side)
            fitted << (side == 5 ? " frame " : " ") << juce::jlimit (0, maxFrameSide, readCoordinate (tokens[side]));

    return fitted;
}

bool WindowPlacement::restore (juce::ResizableWindow& window, const juce::String& state)
{
    juce::Array<juce::Rectangle<int>> screens;

    for (const auto& display : juce::Desktop::getInstance().getDisplays().displays)
        screens.add (display.userArea);

    const auto fitted = fitWindowState (state, screens);
    return fitted.isNotEmpty() && window.restoreWindowStateFromString (fitted);
}
