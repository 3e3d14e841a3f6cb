#include "editors/ControlPanelHost.h"

#include <juce_core/juce_core.h>

void ControlPanelHost::buildControlPanel (Zorvex& box, bool show, bool replace)
{
    juce::ignoreUnused (box, show, replace);
}

bool ControlPanelHost::hasControlPanel (const Zorvex& box) const
{
    juce::ignoreUnused (box);
    return false;
}

void ControlPanelHost::releaseControlPanels (Zorvex& box)
{
    juce::ignoreUnused (box);
}

void ControlPanelHost::clearPanels (Zorvex& box, bool keep)
{
    juce::ignoreUnused (box, keep);
}

void ControlPanelHost::sendControlsToBoard (Zorvex& box)
{
    juce::ignoreUnused (box);
}

void ControlPanelHost::pollMeter (Zorvex& box)
{
    juce::ignoreUnused (box);
}

ControlPanelHost& ControlPanelHost::getNone()
{
    static ControlPanelHost none;
    return none;
}
