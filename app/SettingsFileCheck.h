#pragma once

#include "model/XmlFileAccess.h"

// The check of the settings file before juce::PropertiesFile reads it. That
// reader parses the file itself with JUCE's parser, and parses every value
// again each time it saves (a value that reads as XML is written as an
// element). So the file must be one that reader reads exactly as it was
// checked, and no value of it one that the parser must not be given. Free of
// windows, so that it can be tried on any bytes.
class SettingsFileCheck
{
public:
    static constexpr const char* rootTag = "PROPERTIES";
    static constexpr const char* valueTag = "VALUE";

    // Reads and checks the file; a missing file is no failure.
    static XmlFileAccess::Loaded check (const juce::File& file, juce::int64 largestFile);

    // The values as juce::PropertiesFile takes them from a checked root.
    static juce::StringPairArray readValues (const juce::XmlElement& root);

private:
    SettingsFileCheck() = delete;
};
