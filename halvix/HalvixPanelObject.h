#pragma once

#include "hvif/HalvixInterface.h"

#include <memory>

class HalvixPanel;

// One per process box: reads a control-panel text and yields its panel. The
// panel handed out by getPanel belongs to the program until it releases it;
// one loaded but never fetched goes with the next load or with this object.
class HalvixPanelObject : public HvIfPanelObject
{
public:
    explicit HalvixPanelObject (HvIfCallback* callback) noexcept;
    ~HalvixPanelObject() override;

    void release() override;
    bool loadPanelScript (HvIfStringInput& input, HvIfMessageOutput& messages) override;
    bool getPanel (HvIfPanel** panel) override;

    // Channel messages of the meter poll go back to the program to be sent.
    void handleMidiEvent (uint32_t eventWord) override;

private:
    HvIfCallback* callback = nullptr;
    std::unique_ptr<HalvixPanel> loadedPanel;
};
