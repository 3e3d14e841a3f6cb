#pragma once

#include "hvif/HalvixInterface.h"

#include <memory>
#include <string>
#include <vector>

class HalvixPanelWindow;

// A loaded control panel: for now its title and the windows it opened; its
// controls come with the panel-text parser.
class HalvixPanel : public HvIfPanel
{
public:
    explicit HalvixPanel (std::string panelTitle);
    ~HalvixPanel() override;

    HvIfPanelWindow* createWindow (void* nativeParent) override;

    // Deletes the panel with its windows.
    void release() override;

    // No controls are known yet: always none.
    HvIfControlItem* getFirstControlItem (const char* presetName) override;

    const std::string& getTitle() const noexcept { return title; }

private:
    std::string title;
    std::vector<std::unique_ptr<HalvixPanelWindow>> windows;
};
