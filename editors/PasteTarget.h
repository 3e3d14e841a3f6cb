#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>

class ActionManager;
class GraphData;
class ModuleLibrary;

// Where a paste puts its copies: a DSP's process graph with the registry
// the DSP is kept in, the edit history the insertions are performed on, and
// the bar that tells why a copy was refused. The process editor that pastes
// is the target for the length of its paste; the clipboard's copy actions,
// which the paste undoes, insert into whichever target is current, and into
// none outside a paste.
class PasteTarget
{
public:
    virtual ~PasteTarget() = default;

    virtual GraphData& getPasteGraph() = 0;
    virtual ModuleLibrary* getPasteLibrary() const = 0;
    virtual uint32_t getPasteDspId() const = 0;
    virtual ActionManager* getPasteHistory() const = 0;
    virtual void showPasteMessage (const juce::String& text) = 0;

    // None outside a paste.
    static PasteTarget* getCurrent() noexcept;

    // Makes a target current for its lifetime.
    class Scope
    {
    public:
        explicit Scope (PasteTarget& target) noexcept;
        ~Scope();

        Scope (const Scope&) = delete;
        Scope& operator= (const Scope&) = delete;

    private:
        PasteTarget* previous;
    };
};
