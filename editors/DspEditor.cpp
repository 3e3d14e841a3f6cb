#include "editors/DspEditor.h"

#include "editors/ActionManager.h"
#include "editors/Dialogs.h"
#include "editors/DspEditorHost.h"
#include "editors/GraphProcessEditor.h"
#include "editors/ProcessContainer.h"
#include "editors/ProcessEditor.h"
#include "model/Design.h"
#include "model/DesignLog.h"
#include "model/ModuleLibrary.h"

namespace
{
const char* const loadFormats[] = { " %03.2f%% cycles", " %03.2f%% DSP RAM", " %03.2f%% EXTRAM" };

double toFraction (double percent) noexcept
{
    return juce::jmax (0.0, percent / 100.0);
}
} // namespace

DspEditor::DspEditor (Design& designToShow, DspEditorHost& editorHost, uint32_t id, ProcessContainer* owner)
    : design (designToShow), host (editorHost), slot (*designToShow.findDsp (id)), container (owner), dspId (id)
{
    setName ("DspEditor");

    setUpModuleChoice();
    setUpProcessList();

    addAndMakeVisible (commandPanelTab);

    graphProcessEditor = new GraphProcessEditor (slot.getGraph(), design, host, dspId, this);
    processPanelTool.setProcessEditor (&getProcessEditor());
    viewport.setViewedComponent (graphProcessEditor, true);
    viewport.getVerticalScrollBar().setColour (juce::ScrollBar::thumbColourId, juce::Colour (0xFFE7E3DA));
    viewport.getHorizontalScrollBar().setColour (juce::ScrollBar::thumbColourId, juce::Colour (0xFFE7E3DA));
    addAndMakeVisible (viewport);

    addAndMakeVisible (tooltipBar);
    setUpLoadBars();

    fillModuleList();
    showModuleOfSlot();
    refreshFromSettings();
}

DspEditor::~DspEditor()
{
    moduleChoice.removeListener (this);
    processList.setModel (nullptr);
}

ProcessEditor& DspEditor::getProcessEditor() const
{
    return graphProcessEditor->getProcessEditor();
}

void DspEditor::setUpModuleChoice()
{
    moduleChoice.setTextWhenNothingSelected (moduleListText);
    moduleChoice.setColour (juce::ComboBox::backgroundColourId, juce::Colour (listBackgroundColour));
    moduleChoice.setColour (juce::ComboBox::buttonColourId, juce::Colour (comboButtonColour));
    moduleChoice.addListener (this);
    addAndMakeVisible (moduleChoice);
}

void DspEditor::setUpProcessList()
{
    listContents.setModuleLibrary (design.getLibrary());
    processList.setColour (juce::ListBox::backgroundColourId, juce::Colour (listBackgroundColour));
    processList.getVerticalScrollBar().setColour (juce::ScrollBar::thumbColourId, juce::Colour (0xFF808080).withAlpha (0.9f));
    addAndMakeVisible (processList);
}

void DspEditor::setUpLoadBars()
{
    for (size_t i = 0; i < loadBars.size(); ++i)
    {
        auto bar = std::make_unique<juce::ProgressBar> (loads[i]);
        bar->setColour (juce::ProgressBar::backgroundColourId, juce::Colour (loadBackgroundColour));
        bar->setColour (juce::ProgressBar::foregroundColourId, juce::Colour (loadBarColour));
        bar->setPercentageDisplay (false);
        addAndMakeVisible (*bar);
        loadBars[i] = std::move (bar);
    }

    updateUsageLabels();
}

//==============================================================================
void DspEditor::fillModuleList()
{
    auto* library = design.getLibrary();
    moduleChoice.clear (juce::dontSendNotification);

    if (library == nullptr)
        return;

    for (auto& module : library->getModules())
    {
        // The choice tells modules apart by id: 0 is "nothing chosen", and a
        // second module under an id already listed could never be chosen.
        const auto id = (int) module->moduleId;

        if (id == 0 || moduleChoice.indexOfItemId (id) >= 0)
            continue;

        moduleChoice.addItem (juce::String (module->name), id);
        moduleChoice.setItemEnabled (id, isSelectionWithinLimit (*module));
    }

    moduleChoice.setSelectedId ((int) selectedModuleId, juce::dontSendNotification);
}

bool DspEditor::isSelectionWithinLimit (const ModuleDefinition& module) const
{
    if (design.getLibrary() == nullptr)
        return false;

    // 0 for 44.1 and 48 kHz, 1 for 88.2 and 96 kHz, 2 for 176.4 and 192 kHz.
    const auto rateClass = (uint32_t) juce::jmax (0, design.getSettings().getSamplingIndex()) / 2;
    return rateClass <= module.rateClassLimit;
}

const ModuleDefinition* DspEditor::getChosenModule() const
{
    auto* library = design.getLibrary();
    return library != nullptr && selectedModuleId != 0 ? library->findModuleById (selectedModuleId) : nullptr;
}

void DspEditor::showModuleOfSlot()
{
    auto* library = design.getLibrary();
    auto* entry = design.getDspEntry (dspId);
    auto* module = design.getDspModule (dspId);

    selectedModuleId = entry != nullptr && module != nullptr ? entry->moduleId : 0;
    selectedModuleIndex = library != nullptr && module != nullptr ? library->getModules().indexOf (module) : 0;
    listContents.setModule (module != nullptr ? selectedModuleIndex : -1, selectedModuleId);
    moduleChoice.setSelectedId ((int) selectedModuleId, juce::dontSendNotification);
    processList.updateContent();
    processList.repaint();
    processPanelTool.refreshGrid();
}

void DspEditor::comboBoxChanged (juce::ComboBox* combo)
{
    if (combo == &moduleChoice)
        changeModule (moduleChoice.getSelectedId());
}

void DspEditor::changeModule (int itemId)
{
    auto* library = design.getLibrary();

    if (itemId == 0 || library == nullptr)
        return;

    const auto newId = (uint32_t) itemId;

    if (selectedModuleId != 0 && newId != selectedModuleId &&
        ! Dialogs::getCurrent().askYesNo (moduleQuestionTitle, moduleQuestion))
    {
        // The handler runs again for the previous module, which asks nothing.
        moduleChoice.setSelectedId ((int) selectedModuleId, juce::sendNotificationAsync);
        return;
    }

    auto* module = library->findModuleById (newId);
    selectedModuleIndex = library->getModules().indexOf (module);
    selectedModuleId = newId;
    listContents.setModule (selectedModuleIndex, selectedModuleId);

    design.fitBusGraphToModule (dspId, module);

    // The same module again keeps the DSP as it is.
    auto* entry = library->findDsp (dspId);

    if (entry == nullptr || entry->moduleId != newId)
    {
        design.setDspModule (dspId, newId);
        updateUsageLabels();
    }

    processList.updateContent();
    processList.repaint();
    processPanelTool.refreshGrid();
    host.getEditHistory().clearUndoHistory();
    repaint();
}

//==============================================================================
void DspEditor::refreshUsage()
{
    const auto percent = design.estimateDspLoad (dspId);
    loads[cyclesLoad] = toFraction (percent.cycles);
    loads[dspRamLoad] = toFraction (percent.dspRam);
    loads[externalRamLoad] = toFraction (percent.externalRam);
}

void DspEditor::updateUsageLabels()
{
    refreshUsage();

    for (int i = 0; i < (int) loads.size(); ++i)
        setLoadText ((Load) i, juce::String::formatted (loadFormats[i], loads[(size_t) i] * 100.0));

    if (container != nullptr)
        container->shareExternalLoad (*this, loads[externalRamLoad]);
}

void DspEditor::showSharedExternalLoad (double load)
{
    // In the bar's own form, whichever page computed it.
    loads[externalRamLoad] = load;
    setLoadText (externalRamLoad, juce::String::formatted (loadFormats[externalRamLoad], load * 100.0));
}

void DspEditor::setLoadText (Load which, const juce::String& text)
{
    loadTexts[(size_t) which] = text;
    loadBars[(size_t) which]->setTextToDisplay (text);
    loadBars[(size_t) which]->repaint();
}

juce::String DspEditor::getLoadText (Load which) const
{
    return loadTexts[(size_t) which];
}

double DspEditor::getCyclesLoad()
{
    refreshUsage();
    return loads[cyclesLoad];
}

double DspEditor::getRamLoad()
{
    refreshUsage();
    return loads[dspRamLoad];
}

double DspEditor::getExternalLoad()
{
    refreshUsage();
    return loads[externalRamLoad];
}

void DspEditor::applyDesignLock()
{
    const bool unlocked = ! isDesignLocked();
    moduleChoice.setEnabled (unlocked);
    processPanelTool.setEnabled (unlocked);
    commandProperties.setFieldsEnabled (unlocked);

    // The list stays enabled, to scroll; its rows are drawn greyed and are
    // not dragged while locked.
    processList.repaint();
}

void DspEditor::refreshFromSettings()
{
    applyDesignLock();

    if (design.getSettings().isCommandViewOn())
        commandPanelTab.addCommandPropertiesTab();
    else
        commandPanelTab.removeCommandPropertiesTab();

    getProcessEditor().refreshFromSettings();
    updateUsageLabels();
}

//==============================================================================
void DspEditor::resized()
{
    const int w = getWidth();
    const int h = getHeight();

    processList.setBounds (w - 238, 281, 220, h - 330);
    moduleChoice.setBounds (w - 238, 261, 220, 20);
    commandPanelTab.setBounds (w - 254, 41, 245, 220);
    viewport.setBounds (21, 21, w - 280, h - 42);
    tooltipBar.setBounds (0, h - 20, w, 20);

    const double lefts[] = { 0.6, 0.735, 0.87 };

    for (size_t i = 0; i < loadBars.size(); ++i)
        loadBars[i]->setBounds ((int) (lefts[i] * w), h - 19, (int) (0.13 * w), 18);
}
