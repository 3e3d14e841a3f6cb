#include "HalvixLibrary.h"
#include "HalvixPanel.h"
#include "PanelWindow.h"

// The library's one entry, looked up by name: the interface for the
// program's callback. Panels made from it open real windows.
extern "C" __attribute__ ((visibility ("default"))) HvIfInterface* getInterface (HvIfCallback* callback)
{
    HalvixPanel::setViewFactory (&PanelWindow::create);
    return new HalvixLibrary (callback);
}
