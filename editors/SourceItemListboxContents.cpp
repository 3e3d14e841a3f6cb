#include "editors/SourceItemListboxContents.h"

#include "model/DesignLog.h"
#include "model/ModuleLibrary.h"

void SourceItemListboxContents::setModule (int index, uint32_t id) noexcept
{
    moduleIndex = index;
    moduleId = id;
}

juce::String SourceItemListboxContents::getRowName (int row) const
{
    auto* module = library != nullptr ? library->getModule (moduleIndex) : nullptr;
    auto* process = module != nullptr ? module->getProcess (row) : nullptr;
    return process != nullptr ? juce::String (process->name) : juce::String();
}

int SourceItemListboxContents::getNumRows()
{
    auto* module = library != nullptr ? library->getModule (moduleIndex) : nullptr;
    return module != nullptr ? module->getProcessCount() : 0;
}

void SourceItemListboxContents::paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool rowIsSelected)
{
    if (rowIsSelected)
        g.fillAll (juce::Colour (selectedRowColour));

    // Greyed while the design is locked, when no process can be placed.
    g.setColour (isDesignLocked() ? juce::Colours::grey : juce::Colours::black);
    g.setFont ((float) height * 0.7f);
    g.drawText (getRowName (row), 5, 0, width, height, juce::Justification::centredLeft, true);
}

juce::var SourceItemListboxContents::getDragSourceDescription (const juce::SparseSet<int>& selectedRows)
{
    // Nothing to drag while the design is locked.
    if (isDesignLocked())
        return {};

    return selectedRows.isEmpty() ? 0 : selectedRows[0];
}
