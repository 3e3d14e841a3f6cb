#pragma once

#include "PanelModel.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

class HalvixPanel;

// What a panel window shows: the panel's boxes one under the other, each a
// titled group of columns, each column its controls one under the other: a
// slider (or a knob for an encoder) with its name and the value in the
// control's unit, a check box, a drop-down list, a level meter with its
// scale, or a labelled frame where a graphic control stands. Every change
// goes to the panel, which sends the control's message.
class PanelComponent : public juce::Component
{
public:
    explicit PanelComponent (HalvixPanel& panel);
    ~PanelComponent() override;

    // The size that shows every control.
    juce::Rectangle<int> getPreferredBounds() const;

    void paint (juce::Graphics& g) override;
    void resized() override;

    // One control on screen.
    class ItemView : public juce::Component
    {
    public:
        explicit ItemView (PanelControl& control) : item (control) {}

        PanelControl& getControl() const noexcept { return item; }

        virtual int getPreferredWidth() const { return columnWidth; }
        virtual int getPreferredHeight() const = 0;

        // Shows the control's value again (after a change elsewhere).
        virtual void refresh() {}

        static constexpr int columnWidth = 240;

    protected:
        PanelControl& item;
    };

private:
    struct BoxView
    {
        std::unique_ptr<juce::GroupComponent> group;
        std::vector<std::vector<ItemView*>> columns;
        int width = 0;
    };

    std::unique_ptr<ItemView> makeView (PanelControl& control);
    void valueChanged (PanelControl& control, uint32_t value);
    void updateEnabledControls();
    static juce::Rectangle<int> layoutBox (const BoxView& box, juce::Point<int> origin, bool apply);

    HalvixPanel& panel;
    std::vector<std::unique_ptr<ItemView>> views;
    std::vector<BoxView> boxes;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PanelComponent)
};
