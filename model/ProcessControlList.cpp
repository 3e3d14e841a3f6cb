#include "model/ProcessControlList.h"

ProcessControlList::ProcessControlList (bool keepsDelayControl) : capacity (maxControls - (keepsDelayControl ? 1 : 0)) {}

namespace
{
// The number without the mark of a secondary control: what the board message carries.
uint32_t parameterOf (uint32_t number)
{
    return number & 0xFFFFu;
}
} // namespace

ProcessControlList::Entry ProcessControlList::add (const juce::String& name, uint32_t number, uint32_t defaultValue)
{
    return add (name, number, defaultValue, Range());
}

ProcessControlList::Entry ProcessControlList::add (const juce::String& name, uint32_t number, uint32_t defaultValue,
                                                   const Range& range)
{
    const auto known = byNumber.find (parameterOf (number));

    if (known == byNumber.end() && size() >= capacity)
    {
        refused.add (name);
        return {};
    }

    const auto named = byName.find (name);
    const auto index = known != byNumber.end() ? known->second : controls.size();
    const auto lineName = named == byName.end() || named->second == index ? name : makeFreeName (name);

    if (known == byNumber.end())
    {
        controls.push_back ({ lineName, number, defaultValue, range });
        byNumber.emplace (parameterOf (number), index);
    }

    byName.emplace (lineName, index);
    return { (int) index, known == byNumber.end(), lineName };
}

int ProcessControlList::indexOf (const juce::String& name) const
{
    const auto found = byName.find (name);
    return found != byName.end() ? (int) found->second : -1;
}

juce::String ProcessControlList::makeFreeName (const juce::String& name) const
{
    for (int k = 2;; ++k)
        if (const auto candidate = name + " (" + juce::String (k) + ")"; byName.count (candidate) == 0)
            return candidate;
}

juce::String ProcessControlList::getNameItReplaces (const juce::String& name)
{
    // "<name> (k)" with k from 2.
    if (! name.endsWithChar (')'))
        return {};

    const auto open = name.lastIndexOf (" (");
    const auto k = name.substring (open + 2, name.length() - 1);

    if (open <= 0 || k.isEmpty() || ! k.containsOnly ("0123456789") || k.getIntValue() < 2)
        return {};

    return name.substring (0, open);
}

juce::String ProcessControlList::makeSafeName (const juce::String& name)
{
    return name.replaceCharacters ("[],|\r\n", "();/  ");
}

juce::String ProcessControlList::describeRefused (const juce::String& processName) const
{
    if (refused.isEmpty())
        return {};

    return juce::String (refused.size()) + " control" + (refused.size() == 1 ? "" : "s") + " of " + processName + " left out (" +
           refused[0] + (refused.size() > 1 ? " ... " + refused[refused.size() - 1] : juce::String()) +
           "): a process holds at most " + juce::String (maxControls) + " controls.";
}
