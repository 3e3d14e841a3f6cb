#pragma once

#include "model/DspResourceEstimator.h"
#include "model/DspSlot.h"
#include "model/GlobalPresetList.h"
#include "model/GraphData.h"
#include "model/ProjectPresetStores.h"
#include "model/ProjectSettings.h"

#include <juce_events/juce_events.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class DspDefinitionEntry;
class ModuleDefinition;
class ModuleLibrary;

// Everything one open design is, with no window: the project settings, the
// bus graph whose nodes are the DSPs, one slot per DSP (sorted by id) with
// the DSP's process graph, the project's stored presets and its global
// presets. The project file, the generator and the board messages work on it;
// the pages of the main window show and edit it.
//
// The module library is read from "Modules.def" by its owner and lent here;
// its DSP registry (module and processes of every DSP) is kept in step with
// the slots by addDsp, removeDsp and clearDsps.
//
// A change message follows every change of the slots (a DSP added or removed,
// a module changed), so that the DSP pages can follow; each graph sends its
// own. Change messages come later; a slot's removal is also told at once,
// before the slot and its graph go, so that nothing is left pointing at them.
class Design : public juce::ChangeBroadcaster
{
public:
    static constexpr int maxDsps = 16;

    class Listener
    {
    public:
        virtual ~Listener() = default;

        // The slot and its graph are about to be deleted.
        virtual void dspAboutToBeRemoved (DspSlot& slot) = 0;
    };

    void addListener (Listener* listener) { listeners.add (listener); }
    void removeListener (Listener* listener) { listeners.remove (listener); }

    Design() = default;
    ~Design() override = default;
    Design (const Design&) = delete;
    Design& operator= (const Design&) = delete;

    ProjectSettings& getSettings() noexcept { return settings; }
    const ProjectSettings& getSettings() const noexcept { return settings; }

    // Not owned; none until "Modules.def" was read.
    void setLibrary (ModuleLibrary* newLibrary) noexcept { library = newLibrary; }
    ModuleLibrary* getLibrary() const noexcept { return library; }

    GraphData& getBusGraph() noexcept { return busGraph; }
    const GraphData& getBusGraph() const noexcept { return busGraph; }

    ProjectPresetStores& getPresetStores() noexcept { return presetStores; }
    const ProjectPresetStores& getPresetStores() const noexcept { return presetStores; }
    GlobalPresetList& getGlobalPresets() noexcept { return globalPresets; }
    const GlobalPresetList& getGlobalPresets() const noexcept { return globalPresets; }

    //==============================================================================
    // DSP slots

    int getNumDsps() const noexcept { return (int) slots.size(); }
    // By position in id order; none outside.
    DspSlot* getDsp (int index) const noexcept;
    DspSlot* findDsp (uint32_t dspId) const noexcept;
    // The position of the slot with that id, or -1.
    int indexOfDsp (uint32_t dspId) const noexcept;

    // Makes the slot of a DSP, in id order, and registers it with its
    // module in the library's DSP registry. Refused (none) for id 0, an id
    // above 16, an id already held, a 17th DSP or a registry that refuses it.
    DspSlot* addDsp (uint32_t dspId, uint32_t moduleId);

    // The lowest id no DSP holds and the position its slot takes (17 when
    // all 16 are held, which addDsp refuses).
    uint32_t findFreeDspId (int* position = nullptr) const noexcept;

    // Removes the slot and its registry entry; false when absent.
    bool removeDsp (uint32_t dspId);

    // Gives the DSP another module: its registry entry is emptied of
    // processes and its graph cleared; in the bus graph its box takes the
    // module's input and output counts and loses the chip pins and
    // connections on pins the module no longer has. False when the DSP is
    // absent.
    bool setDspModule (uint32_t dspId, uint32_t moduleId);

    // The DSP's box in the bus graph keeps only what fits the module's
    // input and output counts (none: no pins at all).
    void fitBusGraphToModule (uint32_t dspId, const ModuleDefinition* module);

    // The DSP's registry entry and module; none when absent.
    DspDefinitionEntry* getDspEntry (uint32_t dspId) const noexcept;
    ModuleDefinition* getDspModule (uint32_t dspId) const noexcept;

    // Every slot and registry entry gone; the bus graph is left alone.
    void clearDsps();

    //==============================================================================
    // The three loads of a DSP in percent, with the project's rate and
    // external memory size; the external RAM is shared, so its figure is
    // what every DSP together uses of it.
    DspResourceEstimator::LoadPercentages estimateDspLoad (uint32_t dspId) const;

    //==============================================================================
    // A process's controls are the ones its control panel lists, which follow
    // its definition, count, memory and command words and the DSP's rate;
    // the generator knows them. The program gives the design the function
    // that registers them in a node's store that has none yet (in the order
    // the panel lists them, as its panel would), which the saves, the global
    // presets and the saved values read again call before they read the
    // store. Without one, a store stays as it is.
    using ControlRegistrar = std::function<bool (GraphNode& node, uint32_t dspId)>;
    void setControlRegistrar (ControlRegistrar updater) { controlRegistrar = std::move (updater); }
    // True when the store changed.
    bool registerControls (GraphNode& node, uint32_t dspId) const;

    //==============================================================================
    // True when the bus graph or any DSP's graph was changed since the flags
    // were last cleared.
    bool isModified() const noexcept;
    void setModified (bool modified) noexcept;

private:
    ProjectSettings settings;
    ModuleLibrary* library = nullptr;
    GraphData busGraph;
    std::vector<std::unique_ptr<DspSlot>> slots;
    juce::ListenerList<Listener> listeners;
    ProjectPresetStores presetStores;
    GlobalPresetList globalPresets;
    ControlRegistrar controlRegistrar;
};
