#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The one-line status strip at the bottom of the editor pages. It shows the
// tooltip of whatever the mouse is over, and the editors' messages, which stay
// about six seconds; a sticky message keeps hover tooltips out until it is
// cleared.
class TooltipBar : public juce::Component, private juce::Timer
{
public:
    static constexpr int tickIntervalMs = 100;
    static constexpr int ticksShown = 60;

    TooltipBar();
    ~TooltipBar() override;

    // An empty sticky text clears the bar at the next tick.
    void setText (const juce::String& newText, bool isSticky);

    const juce::String& getText() const noexcept { return text; }
    bool isSticky() const noexcept { return sticky; }
    int getCountdown() const noexcept { return countdown; }

    // One tick of the timer, given what the mouse is over (none for nothing),
    // whether a modal component blocks it and whether a mouse button is down.
    void tick (juce::Component* underMouse, bool blockedByModal, bool mouseButtonDown);

    void paint (juce::Graphics& g) override;

private:
    void timerCallback() override;

    juce::String text;
    juce::Component::SafePointer<juce::Component> lastComponent;
    int countdown = ticksShown;
    bool sticky = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TooltipBar)
};
