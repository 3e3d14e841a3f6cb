#pragma once

#include "hvif/HalvixInterface.h"

// A window of a panel. For now it shows nothing on screen; it keeps its
// parent and whether the program has closed it. Its panel owns it, so it
// stays valid, and closing it again does nothing, until the panel goes.
class HalvixPanelWindow : public HvIfPanelWindow
{
public:
    explicit HalvixPanelWindow (void* nativeParent) noexcept : parent (nativeParent) {}

    void close() override { closed = true; }

    bool isClosed() const noexcept { return closed; }
    void* getNativeParent() const noexcept { return parent; }

private:
    void* parent = nullptr;
    bool closed = false;
};
