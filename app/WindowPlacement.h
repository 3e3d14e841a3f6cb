#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Where a window whose place the program keeps comes back: the stored
// place and size are fitted to the screens there are now, so that a
// screen taken away, or a damaged settings file, never puts a window out of
// reach or makes it larger than any screen.
class WindowPlacement
{
public:
    // The rectangle as it is when it lies on the screens' working areas;
    // else moved onto the screen it overlaps most (the nearest when it
    // overlaps none), no larger than that screen's working area. Unchanged
    // without screens.
    static juce::Rectangle<int> fitToScreens (juce::Rectangle<int> wanted, const juce::Array<juce::Rectangle<int>>& screens);

    // A window state as JUCE writes it ("x y w h", "fs x y w h" when
    // maximised, either followed by "frame" and the window manager's frame)
    // with its rectangle fitted to the screens; empty when the text is no
    // window state or its rectangle is empty.
    static juce::String fitWindowState (const juce::String& state, const juce::Array<juce::Rectangle<int>>& screens);

    // Restores the window from the state, fitted to the desktop's screens.
    // False when the state gives no place.
    static bool restore (juce::ResizableWindow& window, const juce::String& state);

private:
    WindowPlacement() = delete;
};
