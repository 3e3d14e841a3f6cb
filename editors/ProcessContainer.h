#pragma once

#include "model/Design.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>

class DspEditor;
class DspEditorHost;

// The "DSP editor" tab: one page (DspEditor) per DSP of the design, tabs at
// the bottom named "DSP#" and the id, in the order of the design's slots
// (sorted by id). The pages follow the design: a slot added anywhere (the
// bus editor, a project opened) gets its page on the design's next change
// message, and a slot's page goes at once when the slot is about to be
// removed, with the edit history and the clipboard, which may name its
// graph.
class ProcessContainer : public juce::TabbedComponent, private juce::ChangeListener, private Design::Listener
{
public:
    static constexpr juce::uint32 tabColour = 0xFF383838;

    ProcessContainer (Design& design, DspEditorHost& host);
    ~ProcessContainer() override;

    Design& getDesign() const noexcept { return design; }

    // Adds a DSP with the given id, or with the lowest free one for -1, and
    // its page. None when the design refuses it (an id held, 0 or above 16,
    // a 17th DSP).
    DspEditor* addDsp (int id);

    // Removes the DSP and its page.
    void removeDsp (uint32_t id);

    // Shows the page "DSP#" + id.
    void showDspTab (uint32_t id);

    // Every page made afresh from the design's slots.
    void resetDsps();

    // Pages in slot order; none when absent.
    int getNumDsps() const;
    DspEditor* getDsp (int index) const;
    DspEditor* findDspById (uint32_t id) const;
    DspEditor* getShownDsp() const;

    // True when a DSP's cycles or DSP RAM load is full (1.0 or more).
    bool isAnyDspFull() const;

    // After a change of the project's settings (rate, memory size, lock,
    // command view): every page's module choice, loads and editor.
    void pushModuleLibraryToAll();
    void refreshAllDspViews();

    // A page's external RAM load holds for every DSP: the others show it.
    void shareExternalLoad (DspEditor& from, double load);

    // Pages for new slots, none for slots gone, every module as the
    // registry has it.
    void synchronisePages();

    void visibilityChanged() override;

private:
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void dspAboutToBeRemoved (DspSlot& slot) override;
    int indexOfPage (uint32_t id) const;
    void removePage (int index);

    Design& design;
    DspEditorHost& host;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProcessContainer)
};
