#pragma once

#include "editors/ControlPanelHost.h"

#include <juce_core/juce_core.h>

class ActionManager;

// What the DSP pages need of the program around them: the two undo
// histories (the edit history and the clipboard), the panel host the
// process boxes build their control panels with, whether the DSP editor tab
// is the one shown, the bus editor page's bar, and the project's count of
// the process boxes made since a project was opened (its saved control
// values go to the board once every process has its box).
class DspEditorHost
{
public:
    virtual ~DspEditorHost() = default;

    virtual ActionManager& getEditHistory() = 0;
    virtual ActionManager& getClipboard() = 0;

    virtual ControlPanelHost& getPanelHost() { return ControlPanelHost::getNone(); }

    // Undo and redo work only on the page the user sees.
    virtual bool isDspEditorShown() const { return true; }

    // A message for the bar of the bus editor's page, kept until cleared.
    virtual void showBusEditorMessage (const juce::String& text) { juce::ignoreUnused (text); }

    // A process box was made; after each synchronisation the project may
    // then send the saved values of a project just opened.
    virtual void countCreatedProcessBox() {}
    virtual void sendSavedValuesOnceAllBoxesExist() {}
};
