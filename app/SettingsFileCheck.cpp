#include "app/SettingsFileCheck.h"

#include "model/XmlShapeCheck.h"

namespace
{
juce::String findProblem (const juce::XmlElement& root)
{
    // JUCE finds the values by their tag in any case, and stops a debug
    // build at one that differs in case only.
    for (auto* child : root.getChildIterator())
        if (child->getTagName() != SettingsFileCheck::valueTag &&
            child->getTagName().equalsIgnoreCase (SettingsFileCheck::valueTag))
            return "it holds an element \"" + child->getTagName() + "\"";

    // The writer tries each value as an XML document: one that starts an
    // element is parsed at every save.
    const auto values = SettingsFileCheck::readValues (root);

    for (int i = 0; i < values.size(); ++i)
    {
        const auto& value = values.getAllValues()[i];

        if (XmlShapeCheck::findFirstTag (value).started)
            if (const auto problem = XmlFileAccess::findProblem (value); problem.isNotEmpty())
                return "the value \"" + values.getAllKeys()[i] + "\" reads as XML, and " + problem;
    }

    return {};
}
} // namespace

XmlFileAccess::Loaded SettingsFileCheck::check (const juce::File& file, juce::int64 largestFile)
{
    auto loaded = XmlFileAccess::loadForJuceReader (file, rootTag, largestFile);

    if (loaded.root != nullptr)
    {
        if (const auto problem = findProblem (*loaded.root); problem.isNotEmpty())
        {
            loaded.root.reset();
            loaded.result = juce::Result::fail (problem);
        }
    }

    return loaded;
}

juce::StringPairArray SettingsFileCheck::readValues (const juce::XmlElement& root)
{
    // Keys in their case, as juce::PropertiesFile keeps them.
    juce::StringPairArray values (false);

    for (auto* element : root.getChildIterator())
    {
        const auto name = element->getStringAttribute ("name");

        if (element->getTagName() != valueTag || name.isEmpty())
            continue;

        const auto* first = element->getFirstChildElement();
        values.set (name, first != nullptr ? first->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader())
                                           : element->getStringAttribute ("val"));
    }

    return values;
}
