#pragma once

#include "app/BoardMidiCallback.h"

// The MIDI-control library's callback as the program answers it: the
// library's messages go to the board, and a window the user closed or a value
// the user changed goes to the boxes, on the message thread. The library may
// call from any thread; a call on the message thread is answered at once.
class ControlPanelCallback : public BoardMidiCallback
{
public:
    using BoardMidiCallback::BoardMidiCallback;

    // The box that lists the window closes it; false (the program closes it).
    bool onPanelClosed (HvIfPanelWindow* window) override;

    // The box whose panel it is marks the design modified.
    bool onValueChanged (HvIfPanel* panel) override;
};
