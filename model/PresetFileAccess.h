#pragma once

#include "model/XmlFileAccess.h"

#include <juce_core/juce_core.h>

// Reading and writing of whole preset files. A file is parsed into a new
// tree, so that a damaged one changes nothing; it is written to a temporary
// file beside the target and then renamed over it, so that a failed write
// leaves the old file as it was.
class PresetFileAccess
{
public:
    // The root of every preset file.
    static constexpr const char* rootTag = "PRESETS";

    using Loaded = XmlFileAccess::Loaded;

    static Loaded load (const juce::File& file);

    // The file as UTF-8 XML with "\n" line ends, a line width of 1024 and no DTD.
    static juce::Result save (const juce::XmlElement& root, const juce::File& file);

    static juce::XmlElement::TextFormat getTextFormat();
};
