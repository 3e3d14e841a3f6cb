#include "HalvixPanel.h"

#include "HalvixPanelWindow.h"

HalvixPanel::HalvixPanel (std::string panelTitle) : title (std::move (panelTitle)) {}

HalvixPanel::~HalvixPanel() = default;

HvIfPanelWindow* HalvixPanel::createWindow (void* nativeParent)
{
    windows.push_back (std::make_unique<HalvixPanelWindow> (nativeParent));
    return windows.back().get();
}

void HalvixPanel::release()
{
    delete this;
}

HvIfControlItem* HalvixPanel::getFirstControlItem (const char*)
{
    return nullptr;
}
