#include "editors/GraphCommandProperties.h"

GraphCommandProperties::GraphCommandProperties()
{
    setName ("GraphCommandProperties");
    inner.setName (sectionName);
    addAndMakeVisible (inner);
}

GraphCommandProperties::~GraphCommandProperties() = default;

void GraphCommandProperties::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (backgroundColour));
}

void GraphCommandProperties::resized()
{
    juce::PropertyPanel::resized();
    inner.setBounds (getLocalBounds().reduced (4));
}
