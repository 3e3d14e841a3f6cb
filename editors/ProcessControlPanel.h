#pragma once

#include "generator/VuMeterIdPool.h"
#include "hvif/HalvixInterface.h"

#include <juce_events/juce_events.h>

#include <array>
#include <cstdint>
#include <vector>

class GraphNode;
class ProcessPresetStore;

// The control panel of one process box: the box's panel object of the
// MIDI-control library, the panel it loaded, the windows it opened, the
// box's meter id and the 100 ms meter poll. It writes the process's
// control-panel description from the node's store (which the description
// also registers the controls in), hands it to the library, and opens the
// panel's window.
//
// The node's store is the one home of the process's values: every value the
// user sets on the panel is taken into it at once, as its "(Last-Saved)"
// values, and a panel built again shows the store's values. The box is its
// Owner: it lends the node and what the description is written from.
// Everything runs on the message thread.
class ProcessControlPanel : private juce::Timer
{
public:
    class Owner
    {
    public:
        virtual ~Owner() = default;

        // The node shown, whose store holds the process's values; none once
        // it is gone.
        virtual GraphNode* getControlPanelNode() = 0;

        // The id of the box's DSP; 0 while the box's DSP editor is unknown.
        virtual uint32_t getControlPanelDspId() = 0;

        virtual double getSamplingRateKhz() = 0;

        // The value of the box's count slider (a delay's length).
        virtual double getCountSliderValue() = 0;

        // The native window the panel windows belong to; none is allowed.
        virtual void* getPanelParentHandle() = 0;

        // The user changed a value on the panel. Message thread.
        virtual void controlPanelValueChanged() {}

        // The description had to leave controls out: the text for the user.
        virtual void controlPanelProblem (const juce::String& text) { juce::ignoreUnused (text); }
    };

    static constexpr int meterPollIntervalMs = 100;

    explicit ProcessControlPanel (Owner& owner, VuMeterIdPool& meterIds = VuMeterIdPool::getProgramPool());

    // Closes the windows, releases the panel and the panel object and gives
    // the meter id back.
    ~ProcessControlPanel() override;

    //==============================================================================
    // The library's interface, refreshed by the box (none without the
    // library). The panel object is made from it the first time it is needed.
    void setLibraryInterface (HvIfInterface* libraryInterface);
    HvIfInterface* getLibraryInterface() const noexcept { return library; }
    HvIfPanelObject* getPanelObject();

    // Releases the panel and the panel object and makes a new object (a
    // change of the process's channel count).
    void renewPanelObject();

    //==============================================================================
    // The description of the process; empty for a process without control
    // functions. Written (and the controls registered) with or without the
    // library. With `replace` set the box's panels are released first; with
    // `replace` or `asReplacement` set the lines show the values of the
    // store's current preset.
    juce::String generatePanelScript (bool replace, bool asReplacement);

    // Writes the description and, when it is not empty, loads it into the
    // library and keeps the panel, opening a window with `show`.
    void buildControlPanel (bool show, bool replace, bool asReplacement);

    // Opens the panel, or brings it to the front when it is shown: the panel
    // the user closed, with what was set on it, or else a new one with the
    // current preset's values.
    void openControlPanel();

    // Builds the panel, not shown, when the current store holds none, so that
    // its values can be read: it shows the current preset's values.
    void ensureControlPanel();

    // Builds the panel again with the current preset's values (a preset
    // loaded, the controls reset), keeping it on screen when it was.
    void rebuildControlPanel();

    // The node changed what its panel lists or shows (its name, which the
    // library titles a panel with, its count, memory or command words, or
    // the values in its store): a panel built, on screen or closed by the
    // user, is built again with the store's values, on screen when it was.
    void followNode();

    // The values the panel shows become the process's: the store's
    // "(Last-Saved)" takes them. Nothing without a panel.
    void takeShownValues();

    // Hands the text to the panel object; false without one, or when the text
    // gave no panel.
    bool loadPanelScript (const juce::String& text);

    // Keeps the panel just loaded and, with `show`, opens its window.
    void createPanelWindow (bool show);

    // Closes every window and releases the panel, whose values the store has.
    void releaseControlPanels();

    // Closes the window when it is one of the box's; false otherwise.
    bool removePanel (HvIfPanelWindow* window);

    // Empties the window list, closing each window unless `keep` is set.
    void clearPanels (bool keep);

    // A panel is built and the store holds a built list of controls.
    bool hasControlPanel() const;

    bool isPanelShown() const noexcept { return panelShown; }
    int getPanelWindowCount() const noexcept { return (int) windows.size(); }
    HvIfPanelWindow* getPanelWindow (int index) const noexcept;
    // The panel built; none before a build or after a release.
    HvIfPanel* getPanel() const noexcept { return livePanel; }

    int getMeterId() const noexcept { return meterId; }
    bool isPollingMeter() const noexcept { return isTimerRunning(); }

    // One tick of the meter poll: the NRPN request for the meter's value,
    // handed to the panel object; nothing without a DSP, a panel object or a
    // meter id.
    void pollMeter();

    // The three USB-MIDI event words of a meter request: NRPN number MSB (the
    // process's nrpn), LSB 0, and data entry with the meter id, as control
    // changes on the DSP's MIDI channel.
    static std::array<uint32_t, 3> makeMeterRequest (uint32_t dspId, uint32_t nrpn, int meterId);

    //==============================================================================
    // Removes a window the user closed in the library from every panel that
    // lists it (each closes it once). Message thread only.
    static void removePanelEverywhere (HvIfPanelWindow* window);

    // Tells the owner of the panel the library reported a changed value for
    // (a panel no box holds any more is ignored). Message thread only.
    static void reportValueChangedEverywhere (HvIfPanel* panel);

private:
    void timerCallback() override { pollMeter(); }
    juce::String writeDescription (const GraphNode& node, ProcessPresetStore& store, bool withValues);

    Owner& owner;
    VuMeterIdPool& meterIds;
    HvIfInterface* library = nullptr;
    HvIfPanelObject* panelObject = nullptr;
    HvIfPanel* livePanel = nullptr; // owned: released here, whatever the stores hold
    std::vector<HvIfPanelWindow*> windows;
    bool panelShown = false;
    int meterId = VuMeterIdPool::noId;

    JUCE_DECLARE_NON_COPYABLE (ProcessControlPanel)
};
