#include "editors/GraphCommandProperties.h"

#include "editors/TextPropertyComponentWithFocus.h"
#include "editors/Zorvex.h"
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

void GraphCommandProperties::showProcess (GraphData* graph, uint32_t nrpn)
{
    // What is being typed belongs to the process shown until now.
    for (auto* field : fields)
        field->finishTyping();

    const juce::ScopedValueSetter<bool> setting (building, true);
    shownGraph = graph;
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
    if (shownNrpn != 0 && getShownNode() == nullptr)
        showProcess (nullptr, 0);
}

void GraphCommandProperties::writeBack (const TextPropertyComponentWithFocus& field)
{
    auto* node = getShownNode();

    if (building || node == nullptr || ! fields.contains (const_cast<TextPropertyComponentWithFocus*> (&field)))
        return;

    const auto before = node->commandWords;
    TextPropertyComponentWithFocus::applyText (*node, field.getWordIndex(), field.getText());
    shownGraph->setModified (true);

    // The number is the control's at once: its box's panel and stores follow.
    if (node->commandWords != before)
        if (auto* box = dynamic_cast<Zorvex*> (node->getBox()))
            box->getControlPanel().followCommandWords();
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
