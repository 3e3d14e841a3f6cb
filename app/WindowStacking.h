#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// What the program asks of the desktop's window manager about the order of
// its windows. JUCE keeps an order of its own to decide which window a click
// falls into: a window it holds in front while the window manager shows it
// behind another would swallow the clicks meant for the one shown. A window
// that must stay in front of the main window is therefore told to the window
// manager as belonging to it, which keeps it there whatever the main window
// does (a main window covering the whole screen included).
class WindowStacking
{
public:
    // Asks the window manager to keep `window` above `owner` (both on the
    // desktop). False when there is no window manager to ask.
    static bool keepAboveOwner (juce::Component& window, juce::Component& owner);

private:
    WindowStacking() = delete;
};
