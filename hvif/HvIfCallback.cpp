#include "hvif/HvIfCallback.h"

HvIfCallback::~HvIfCallback() = default;

bool HvIfCallback::onPanelClosed (HvIfPanelWindow*)
{
    return true;
}

bool HvIfCallback::onValueChanged (HvIfPanel*)
{
    return true;
}

bool HvIfCallback::sendShortMessage (uint32_t)
{
    return true;
}

bool HvIfCallback::sendSysEx (const uint8_t*, int)
{
    return true;
}
