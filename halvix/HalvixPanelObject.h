#pragma once

#include "HalvixPanelWindow.h"
#include "hvif/HalvixInterface.h"

#include <juce_core/juce_core.h>

#include <memory>
#include <string>

class HalvixPanel;

// One per process box: reads a control-panel text and yields its panel. The
// panel handed out by getPanel belongs to the program until it releases it;
// one loaded but never fetched goes with the next load or with this object.
class HalvixPanelObject : public HvIfPanelObject
{
public:
    // Texts longer than this are refused unread.
    static constexpr size_t maxTextSize = 4 * 1024 * 1024;

    explicit HalvixPanelObject (HvIfCallback* callback) noexcept;
    ~HalvixPanelObject() override;

    void release() override;

    // Reads the whole text. Lines it cannot read are reported through the
    // first message, lines read in part or not understood through the second;
    // false, with no panel, for a text that names no panel.
    bool loadPanelScript (HvIfStringInput& input, HvIfMessageOutput& messages) override;
    bool getPanel (HvIfPanel** panel) override;

    // Channel messages of the meter poll go back to the program to be sent.
    void handleMidiEvent (uint32_t eventWord) override;

    // The text as read: UTF-8 when it is, else one character a byte.
    static juce::String decodeText (std::string text);

private:
    HvIfCallback* callback = nullptr;
    std::unique_ptr<HalvixPanel> loadedPanel;
    // Shared by the panels it loads, which may outlive it.
    std::shared_ptr<HalvixWindowPlace> windowPlace = std::make_shared<HalvixWindowPlace>();
};
