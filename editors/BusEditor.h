#pragma once

#include "editors/GraphEditorView.h"

class BusPanelTool;
class Design;
class DspEditorHost;
class ProcessContainer;
class TooltipBar;

// The drawing surface of the bus graph: a box per DSP, the connections
// between DSP outputs and DSP inputs, and the chip pin names given to DSP
// pins. Its edits change the bus graph at once and are no undo steps.
//
// A DSP is one id for its box's node in the bus graph and its slot in the
// design (its page on the "DSP editor" tab): adding one here makes both,
// removing one takes both away.
class BusEditor : public GraphEditorView
{
public:
    enum MenuItem
    {
        addDspItem = 1,
        lockedItem = 100
    };

    static constexpr int menuItemHeight = 18;
    static constexpr const char* designLockedText = "Design locked.";

    BusEditor (Design& design, DspEditorHost& host, BusPanelTool* tool);
    ~BusEditor() override;

    Design& getDesign() const noexcept { return design; }

    // The "DSP editor" tab, whose pages follow the design's DSPs; none in a
    // bare editor.
    void setProcessContainer (ProcessContainer* container) noexcept { processContainer = container; }
    ProcessContainer* getProcessContainer() const noexcept { return processContainer; }

    // The bar of the bus page, which shows the refusals; none in a bare editor.
    void setTooltipBar (TooltipBar* bar) noexcept { tooltipBar = bar; }
    BusPanelTool* getPanelTool() const noexcept { return panelTool; }

    //==============================================================================
    // The background menu: "Add DSP (4 max.)", "(8 max.)" or "(16 max.)" by
    // the project's chip, enabled while the chip has room; "Design locked."
    // (disabled) while the design is locked; empty for a chip of no known
    // capacity.
    juce::PopupMenu buildMenu() const;
    void handleMenuResult (int itemId, juce::Point<int> position);

    // The DSPs the project's chip holds.
    int getChipCapacity() const;

    // Adds a DSP whose box stands at the position (its fractions of this
    // view are kept); false when the design is locked, the chip is full or
    // the design refuses it.
    bool addDspAt (juce::Point<int> position);

    // The lowest id that neither a DSP nor a box holds.
    uint32_t findFreeDspId() const;

    //==============================================================================
    // GraphEditorView
    PinToolPanel* getPinTool() const override;
    TooltipBar* getTooltipBar() const override { return tooltipBar; }
    const ModuleDefinition* getModuleOfDsp (uint32_t id) const override;
    double getDspLoad (uint32_t id) const override;
    ConnectionRules::Verdict checkConnectionDrop (const ConnectionRules::DragStart& start, const ConnectionRules::Pin& dropped,
                                                  ConnectionRules::Ends& ends) const override;
    bool assignBusPin (const ZorvexBus& pin, const juce::String& name) override;
    void removeDsp (uint32_t id) override;
    void showDspTab (uint32_t id) override;

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    void showMenuAt (juce::Point<int> position);

    Design& design;
    DspEditorHost& host;
    BusPanelTool* panelTool;
    ProcessContainer* processContainer = nullptr;
    TooltipBar* tooltipBar = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BusEditor)
};
