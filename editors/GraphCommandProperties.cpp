#include "editors/GraphCommandProperties.h"

#include "editors/ActionManager.h"
#include "editors/GraphEditorView.h"
#include "editors/TextPropertyComponentWithFocus.h"
#include "generator/PanelScriptWriter.h"
#include "model/GraphData.h"

GraphCommandProperties::GraphCommandProperties()
{
    setName ("GraphCommandProperties");
    inner.setName (sectionName);
    addAndMakeVisible (inner);
    showProcess (nullptr, 0);
}

GraphCommandProperties::~GraphCommandProperties() = default;

GraphNode* GraphCommandProperties::getShownNode() const
{
    return shownGraph != nullptr && shownNrpn != 0 ? shownGraph->findNodeByNrpn (shownNrpn) : nullptr;
}

juce::Array<juce::PropertyComponent*> GraphCommandProperties::buildCommandProperties (GraphData* graph, uint32_t nrpn)
{
    fields.clear();
    juce::Array<juce::PropertyComponent*> list;
    auto* node = graph != nullptr && nrpn != 0 ? graph->findNodeByNrpn (nrpn) : nullptr;

    if (node == nullptr)
        return list;

    // One field per word: a function that has no control keeps its word (0)
    // and its field, so that field i always edits word i.
    const auto* definition = node->getProcessDefinition();
    const int count = (int) node->commandWords.size();

    for (int i = 0; i < count; ++i)
    {
        auto* function = definition != nullptr ? definition->secondFunctions[i] : nullptr;
        const auto label = function != nullptr ? juce::String (function->name) : "Word " + juce::String (i);
        auto* field = new TextPropertyComponentWithFocus (label, *this, i);
        field->showWord (node->commandWords[(size_t) i]);
        field->setEnabled (fieldsEnabled);
        field->addListener (this);
        fields.add (field);
        list.add (field);
    }

    return list;
}

void GraphCommandProperties::showProcess (GraphData* graph, uint32_t nrpn, GraphEditorView* editor)
{
    // What is being typed belongs to the process shown until now.
    for (auto* field : fields)
        field->finishTyping();

    const juce::ScopedValueSetter<bool> setting (building, true);
    shownGraph = graph;
    shownEditor = editor;
    shownNrpn = nrpn;
    inner.clear();
    inner.addSection (sectionName, buildCommandProperties (graph, nrpn));
}

void GraphCommandProperties::setFieldsEnabled (bool enabled)
{
    fieldsEnabled = enabled;

    for (auto* field : fields)
        field->setEnabled (enabled);
}

void GraphCommandProperties::forgetMissingProcess()
{
    auto* node = getShownNode();

    if (shownNrpn != 0 && node == nullptr)
    {
        showProcess (nullptr, 0);
        return;
    }

    const juce::ScopedValueSetter<bool> setting (building, true);

    for (auto* field : fields)
        if (const auto n = (size_t) field->getWordIndex();
            node != nullptr && n < node->commandWords.size() && ! field->isBeingTyped())
            field->showWord (node->commandWords[n]);
}

void GraphCommandProperties::writeBack (const TextPropertyComponentWithFocus& field)
{
    auto* node = getShownNode();

    if (building || node == nullptr || ! fields.contains (const_cast<TextPropertyComponentWithFocus*> (&field)))
        return;

    auto words = node->commandWords;
    auto secondWords = node->secondCommandWords;
    TextPropertyComponentWithFocus::applyText (words, secondWords, field.getWordIndex(), field.getText());

    if (words == node->commandWords && secondWords == node->secondCommandWords)
        return;

    // The number is the control's at once: the store, the panel and the
    // registered controls follow, as one undo step.
    auto* history = shownEditor != nullptr ? shownEditor->getEditHistory() : nullptr;

    if (history != nullptr)
    {
        history->beginEdit (shownEditor->getDspId());
        history->perform (new SetCommandWordAction (*shownGraph, node->nrpn, words, secondWords, shownEditor->getDspId(),
                                                    shownEditor->getSamplingRateKhz()));
        return;
    }

    node->commandWords = words;
    node->secondCommandWords = secondWords;
    shownGraph->setModified (true);
}

//==============================================================================
GraphCommandProperties::SetCommandWordAction::SetCommandWordAction (GraphData& g, uint32_t nodeNrpn, std::vector<uint32_t> words,
                                                                    std::vector<uint32_t> secondWords, uint32_t dsp,
                                                                    double rateKhz)
    : graph (g), nrpn (nodeNrpn), newWords (std::move (words)), newSecondWords (std::move (secondWords)), dspId (dsp),
      samplingRateKhz (rateKhz)
{
}

void GraphCommandProperties::SetCommandWordAction::changed()
{
    graph.setModified (true);
    graph.sendChangeMessage();
}

bool GraphCommandProperties::SetCommandWordAction::perform()
{
    auto* node = graph.findNodeByNrpn (nrpn);

    if (node == nullptr)
        return ActionManager::answerPerform (false, performed);

    if (values.undone)
    {
        values.redo (*node);
    }
    else
    {
        values.keep (*node);
        node->commandWords = newWords;
        node->secondCommandWords = newSecondWords;

        if (samplingRateKhz > 0.0)
            PanelScriptWriter::updateStoreControls (*node, dspId, samplingRateKhz);

        ++node->valueReplacements;
    }

    changed();
    return ActionManager::answerPerform (true, performed);
}

bool GraphCommandProperties::SetCommandWordAction::undo()
{
    if (auto* node = graph.findNodeByNrpn (nrpn))
    {
        values.undo (*node);
        changed();
    }

    return true;
}

void GraphCommandProperties::textPropertyComponentChanged (juce::TextPropertyComponent* field)
{
    for (auto* own : fields)
        if (own == field)
            writeBack (*own);
}

void GraphCommandProperties::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (backgroundColour));
}

void GraphCommandProperties::resized()
{
    juce::PropertyPanel::resized();
    inner.setBounds (getLocalBounds().reduced (4));
}
