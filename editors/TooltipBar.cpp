#include "editors/TooltipBar.h"

TooltipBar::TooltipBar()
{
    setName ("TooltipBar");
    startTimer (tickIntervalMs);
}

TooltipBar::~TooltipBar()
{
    stopTimer();
}

void TooltipBar::setText (const juce::String& newText, bool isSticky)
{
    text = newText;
    sticky = isSticky;
    countdown = (newText.isEmpty() && isSticky) ? 0 : ticksShown;
    repaint();
}

void TooltipBar::tick (juce::Component* underMouse, bool blockedByModal, bool mouseButtonDown)
{
    if (! sticky)
    {
        if (auto* client = dynamic_cast<juce::TooltipClient*> (underMouse))
        {
            if (! blockedByModal && ! mouseButtonDown && underMouse != lastComponent.getComponent())
            {
                setText (client->getTooltip(), false);
                lastComponent = underMouse;
            }
        }
        else
        {
            lastComponent = nullptr;
        }
    }

    if (countdown == 0)
        setText ({}, false);
    else
        --countdown;
}

void TooltipBar::timerCallback()
{
    auto mouse = juce::Desktop::getInstance().getMainMouseSource();
    auto* underMouse = mouse.getComponentUnderMouse();
    const bool blocked = underMouse != nullptr && underMouse->isCurrentlyBlockedByAnotherModalComponent();

    tick (underMouse, blocked, mouse.getCurrentModifiers().isAnyMouseButtonDown());
}

void TooltipBar::paint (juce::Graphics& g)
{
    const auto width = getWidth();
    const auto height = getHeight();

    g.setColour (juce::Colour (0xFF383838));
    g.fillRect (1, 1, width - 1, height - 1);
    g.setColour (juce::Colours::black);
    g.drawRect (getLocalBounds(), 1);

    g.setColour (juce::Colour (0xFFFF8C00));
    g.setFont (juce::Font ((float) height * 0.6f, juce::Font::bold));
    g.drawText (text, 9, 0, width - 12, height, juce::Justification::centredLeft, true);
}
