#include "model/PresetFileAccess.h"

PresetFileAccess::Loaded PresetFileAccess::load (const juce::File& file)
{
    // Preset files hold a few hundred kilobytes at most; a far larger one is
    // not one of them and is not read into memory.
    constexpr juce::int64 largestFile = 64 * 1024 * 1024;
    return XmlFileAccess::load (file, rootTag, largestFile);
}

juce::Result PresetFileAccess::save (const juce::XmlElement& root, const juce::File& file)
{
    return XmlFileAccess::save (root, file);
}

juce::XmlElement::TextFormat PresetFileAccess::getTextFormat()
{
    return XmlFileAccess::getTextFormat();
}
