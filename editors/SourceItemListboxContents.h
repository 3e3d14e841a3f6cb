#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>

class ModuleLibrary;

// The model of a DSP page's process list: one row per process of the
// module chosen for the DSP, in the module's order. Dragging rows out hands
// the number of the first selected row to the process editor, which places
// that process.
class SourceItemListboxContents : public juce::ListBoxModel
{
public:
    static constexpr juce::uint32 selectedRowColour = 0xFFADD8E6;

    void setModuleLibrary (const ModuleLibrary* newLibrary) noexcept { library = newLibrary; }
    void setModule (int index, uint32_t id) noexcept;
    int getModuleIndex() const noexcept { return moduleIndex; }
    uint32_t getModuleId() const noexcept { return moduleId; }

    // The name row r shows; empty past the last row.
    juce::String getRowName (int row) const;

    int getNumRows() override;
    void paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool rowIsSelected) override;
    juce::var getDragSourceDescription (const juce::SparseSet<int>& selectedRows) override;

private:
    int moduleIndex = -1;
    uint32_t moduleId = 0;
    const ModuleLibrary* library = nullptr;
};
