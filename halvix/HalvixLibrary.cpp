#include "HalvixLibrary.h"

#include "HalvixPanel.h"
#include "HalvixPanelObject.h"

HalvixLibrary::HalvixLibrary (HvIfCallback* cb) noexcept : callback (cb) {}

HalvixLibrary::~HalvixLibrary() = default;

void HalvixLibrary::release()
{
    // The panel objects live on their own: they may still be released after this.
    delete this;
}

void HalvixLibrary::handleSysEx (const uint8_t* data, int length)
{
    HalvixPanel::receiveSysExInEveryPanel (data, length);
}

HvIfPanelObject* HalvixLibrary::createPanelObject()
{
    return new HalvixPanelObject (callback);
}
