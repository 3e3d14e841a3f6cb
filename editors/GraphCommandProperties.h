#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "model/ProcessGraphEdits.h"

#include <cstdint>
#include <vector>

class GraphData;
class GraphEditorView;
class GraphNode;
class TextPropertyComponentWithFocus;

// The "Command Properties" page of a DSP page's tool tabs: a panel holding
// the section "Process properties", with one field per command word of the
// process last pressed, labelled with the name of its control function and
// showing the word's control number (its low 16 bits) in hexadecimal. An
// edited field writes the number back into the word.
//
// The panel keeps the process by its graph and NRPN number, never by a
// pointer: once the process is gone (removed, its DSP's module changed, a
// project opened) the fields write nowhere, and the editor empties the panel
// at its next synchronisation.
//
// A field's text is written back when the user confirms it (Return, or the
// field losing the focus), through the panel's listener on each field, and
// before the panel turns to another process while a field is still being
// typed into. Shown for a process editor, a changed word is an undo step of
// its own on the editor's edit history, and the process's controls take
// their new numbers (the store follows, keeping every value it can).
class GraphCommandProperties : public juce::PropertyPanel, private juce::TextPropertyComponent::Listener
{
public:
    static constexpr juce::uint32 backgroundColour = 0xFFCCCCCC;
    static constexpr const char* sectionName = "Process properties";

    GraphCommandProperties();
    ~GraphCommandProperties() override;

    juce::PropertyPanel& getInnerPanel() noexcept { return inner; }

    // One field per command word of the process (none for none); the
    // caller owns them.
    juce::Array<juce::PropertyComponent*> buildCommandProperties (GraphData* graph, uint32_t nrpn);

    // Shows the fields of a process under "Process properties"; none (or 0)
    // shows an empty section. The editor (none: the words are written at
    // once) makes an edit an undo step of its page.
    void showProcess (GraphData* graph, uint32_t nrpn, GraphEditorView* editor = nullptr);

    // The process shown, or none when there is none or it is gone.
    GraphNode* getShownNode() const;
    uint32_t getShownNrpn() const noexcept { return shownNrpn; }
    int getNumFields() const noexcept { return fields.size(); }
    TextPropertyComponentWithFocus* getField (int index) const noexcept { return fields[index]; }

    // The fields take edits or only show their words (the design locked).
    void setFieldsEnabled (bool enabled);

    // Empties the section when the process shown is gone; otherwise every
    // field not being typed into shows its word as the process now has it
    // (an undo gave it back).
    void forgetMissingProcess();

    // A field's text back into its command word. Only the field that was
    // edited writes: another may still show a number its word no longer
    // has (the command lists read again from the project file).
    void writeBack (const TextPropertyComponentWithFocus& field);

    void paint (juce::Graphics& g) override;
    void resized() override;

    // A process's command words as typed, with the controls following them.
    class SetCommandWordAction : public juce::UndoableAction
    {
    public:
        SetCommandWordAction (GraphData& graph, uint32_t nrpn, std::vector<uint32_t> words, std::vector<uint32_t> secondWords,
                              uint32_t dspId, double samplingRateKhz);
        bool perform() override;
        bool undo() override;

    private:
        void changed();

        GraphData& graph;
        uint32_t nrpn;
        std::vector<uint32_t> newWords, newSecondWords;
        uint32_t dspId;
        double samplingRateKhz;
        bool performed = false;
        ProcessGraphEdits::KeptValues values;
    };

private:
    void textPropertyComponentChanged (juce::TextPropertyComponent* field) override;

    juce::PropertyPanel inner;
    GraphData* shownGraph = nullptr;
    GraphEditorView* shownEditor = nullptr;
    uint32_t shownNrpn = 0;
    juce::Array<TextPropertyComponentWithFocus*> fields; // owned by the inner panel
    bool building = false;
    bool fieldsEnabled = true;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GraphCommandProperties)
};
