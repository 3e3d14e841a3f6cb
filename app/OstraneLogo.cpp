#include "app/OstraneLogo.h"

#include "OstraneLogo_png.h"

OstraneLogo::OstraneLogo()
    : image (juce::ImageCache::getFromMemory (BinaryData::OstraneLogo_png, BinaryData::OstraneLogo_pngSize))
{
    setSize (600, 400);
    setInterceptsMouseClicks (false, false);
}

OstraneLogo::~OstraneLogo() = default;

void OstraneLogo::paint (juce::Graphics& g)
{
    g.setColour (juce::Colours::black);
    const auto area = getPictureArea();
    g.drawImageWithin (image, area.getX(), area.getY(), area.getWidth(), area.getHeight(),
                       juce::RectanglePlacement::centred | juce::RectanglePlacement::onlyReduceInSize);
}
