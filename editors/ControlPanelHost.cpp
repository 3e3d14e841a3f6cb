#include "editors/ControlPanelHost.h"

#include <juce_core/juce_core.h>

HvIfInterface* ControlPanelHost::getLibraryInterface()
{
    return nullptr;
}

void ControlPanelHost::sendControlsToBoard (Zorvex& box)
{
    juce::ignoreUnused (box);
}

ControlPanelHost& ControlPanelHost::getNone()
{
    static ControlPanelHost none;
    return none;
}
