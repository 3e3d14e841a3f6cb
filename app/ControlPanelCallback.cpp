#include "app/ControlPanelCallback.h"

#include "editors/ProcessControlPanel.h"

#include <juce_events/juce_events.h>

namespace
{
// A window stays valid until a box closes it, so it may wait; a panel is only
// compared with the boxes' panels, never used, so a released one does no harm.
template <typename Pointer>
void onMessageThread (Pointer* pointer, void (*answer) (Pointer*))
{
    if (juce::MessageManager::existsAndIsCurrentThread())
        answer (pointer);
    else
        juce::MessageManager::callAsync ([pointer, answer] { answer (pointer); });
}
} // namespace

bool ControlPanelCallback::onPanelClosed (HvIfPanelWindow* window)
{
    onMessageThread (window, &ProcessControlPanel::removePanelEverywhere);
    return false;
}

bool ControlPanelCallback::onValueChanged (HvIfPanel* panel)
{
    onMessageThread (panel, &ProcessControlPanel::reportValueChangedEverywhere);
    return true;
}
