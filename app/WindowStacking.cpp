#include "app/WindowStacking.h"

#include "hvif/HvIfNativeWindow.h"

bool WindowStacking::keepAboveOwner (juce::Component& window, juce::Component& owner)
{
    auto* top = owner.getTopLevelComponent();
    return top != nullptr && HvIfNativeWindow::keepAboveParent (window.getWindowHandle(), top->getWindowHandle());
}
