// libFuzzer target: any bytes as a control-panel description, loaded through
// a panel object of the MIDI-control library as the program loads it. Every
// control the panel gives is worked as a user and the board work it: each
// value shown, moved to its ends and sent; the bytes themselves are also
// handed to the panel as an answer of the board. Nothing of it may read past
// an end or convert a number beyond its type, and a value stays in its range.

#include "FuzzSupport.h"

#include "halvix/HalvixPanel.h"
#include "halvix/HalvixPanelObject.h"
#include "hvif/HvIfCallback.h"
#include "hvif/HvIfInput.h"
#include "hvif/HvIfMessageOutput.h"

namespace
{
void workControl (HalvixPanel& panel, PanelControl& control)
{
    for (const auto value : { 0u, control.getMinimum(), control.getDefault(), control.getMaximum(), 0xFFFFFFFFu })
    {
        control.getValueText (value);
        panel.changeValue (control, value);

        if (control.getValue() < control.getMinimum() || control.getValue() > control.getMaximum())
            FuzzSupport::fail ("the control \"" + control.getControlName() + "\" took a value outside its range");
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    HvIfCallback board;
    HalvixPanelObject object (&board);
    HvIfStringInput input (reinterpret_cast<const char*> (data), size);
    MyErrorHandler messages;

    if (! object.loadPanelScript (input, messages))
        return 0;

    HvIfPanel* loaded = nullptr;

    if (! object.getPanel (&loaded))
        FuzzSupport::fail ("a panel was loaded, but none is handed out");

    auto& panel = *static_cast<HalvixPanel*> (loaded);

    for (const auto& item : panel.getModel().getItems())
    {
        item->getValueText (item->getDefault());
        item->getMeterBuffer();
        item->getEnableSource();

        if (item->hasValue())
            workControl (panel, *item);
    }

    HalvixPanel::receiveSysExInEveryPanel (data, (int) size);
    panel.release();
    return 0;
}
