#include "model/PresetControlsLayout.h"

#include <algorithm>
#include <set>

namespace
{
// The number after a prefix, when the attribute name is exactly the prefix
// followed by decimal digits.
int numberAfter (const juce::String& attributeName, const char* prefix)
{
    if (! attributeName.startsWith (prefix))
        return 0;

    const auto digits = attributeName.substring ((int) strlen (prefix));

    if (digits.isEmpty() || digits.length() > 9 || ! digits.containsOnly ("0123456789"))
        return 0;

    return digits.getIntValue();
}
} // namespace

PresetControlsLayout PresetControlsLayout::fromStore (const ProcessPresetStore& store)
{
    PresetControlsLayout layout;
    std::set<int> placed;

    auto addListed = [&] (const std::vector<int>& list, bool fixed)
    {
        for (size_t i = 0; i < list.size(); ++i)
        {
            const auto position = list[i];
            auto* control = store.getControl (position);

            if (control == nullptr || ! placed.insert (position).second)
                continue;

            layout.addSlot ({ control->name, control->nrpn, fixed, (int) i + 1, position });
        }
    };

    addListed (store.getFixedIndex(), true);
    addListed (store.getSecondaryIndex(), false);

    auto number = (int) store.getSecondaryIndex().size();

    for (int position = 0; position < store.getControlCount(); ++position)
        if (placed.insert (position).second)
            layout.addSlot ({ store.getControl (position)->name, store.getControl (position)->nrpn, false, ++number, position });

    layout.delay = store.hasFixedDelayControl();
    layout.delayCount = store.getDelayCount();
    return layout;
}

PresetControlsLayout PresetControlsLayout::fromElement (const juce::XmlElement& controls, PresetNumberReader& reader)
{
    PresetControlsLayout layout;

    for (int i = 0; i < controls.getNumAttributes(); ++i)
    {
        const auto attributeName = controls.getAttributeName (i);

        for (const auto fixed : { true, false })
        {
            const auto number = numberAfter (attributeName, fixed ? "fixedName" : "Name");

            if (number > 0)
                layout.addSlot ({ controls.getAttributeValue (i), reader.getUnsigned (controls, nrpnAttribute (fixed, number)),
                                  fixed, number, -1 });
        }
    }

    // Fixed controls first, each kind in number order, whatever the order of
    // the attributes was.
    std::stable_sort (layout.slots.begin(), layout.slots.end(),
                      [] (const Slot& a, const Slot& b) { return a.fixed != b.fixed ? a.fixed : a.number < b.number; });

    layout.slotByName.clear();

    for (size_t i = 0; i < layout.slots.size(); ++i)
        layout.slotByName.emplace (layout.slots[i].name, i);

    layout.delay = controls.hasAttribute (delayAttribute);
    return layout;
}

void PresetControlsLayout::addSlot (Slot slot)
{
    auto& highest = slot.fixed ? fixedNumbers : secondaryNumbers;
    highest = std::max (highest, slot.number);

    slotByName.emplace (slot.name, slots.size());
    slots.push_back (std::move (slot));
}

const PresetControlsLayout::Slot* PresetControlsLayout::findByName (const juce::String& name) const
{
    const auto found = slotByName.find (name);
    return found != slotByName.end() ? &slots[found->second] : nullptr;
}

const PresetControlsLayout::Slot* PresetControlsLayout::find (bool fixed, int number) const
{
    for (const auto& slot : slots)
        if (slot.fixed == fixed && slot.number == number)
            return &slot;

    return nullptr;
}

void PresetControlsLayout::writeControls (juce::XmlElement& controls) const
{
    for (const auto& slot : slots)
    {
        controls.setAttribute (nameAttribute (slot.fixed, slot.number), slot.name);
        controls.setAttribute (nrpnAttribute (slot.fixed, slot.number), juce::String (slot.nrpn));
    }

    if (delay)
        controls.setAttribute (delayAttribute, 1);
}

std::unique_ptr<juce::XmlElement> PresetControlsLayout::makeList (const PresetRecord& preset) const
{
    auto list = std::make_unique<juce::XmlElement> ("List");
    list->setAttribute ("name", preset.name);

    auto writeValues = [&] (bool fixed)
    {
        for (const auto& slot : slots)
        {
            if (slot.fixed != fixed)
                continue;

            const auto inPreset = slot.position >= 0 && (size_t) slot.position < preset.values.size();
            const auto value = inPreset ? preset.values[(size_t) slot.position] : 0u;
            list->setAttribute (valueAttribute (fixed, slot.number), juce::String (value));
        }
    };

    writeValues (true);

    if (delay)
        list->setAttribute (delayCountAttribute, juce::String (delayCount));

    writeValues (false);
    return list;
}

std::unique_ptr<juce::XmlElement> PresetControlsLayout::renumberList (const juce::XmlElement& list,
                                                                      const PresetControlsLayout& oldLayout) const
{
    auto renumbered = std::make_unique<juce::XmlElement> ("List");
    renumbered->setAttribute ("name", list.getStringAttribute ("name"));

    auto copyValues = [&] (bool fixed)
    {
        for (const auto& slot : slots)
        {
            if (slot.fixed != fixed)
                continue;

            if (auto* old = oldLayout.findByName (slot.name))
            {
                const auto oldAttribute = valueAttribute (old->fixed, old->number);

                if (list.hasAttribute (oldAttribute))
                    renumbered->setAttribute (valueAttribute (fixed, slot.number), list.getStringAttribute (oldAttribute));
            }
        }
    };

    copyValues (true);

    if (delay && list.hasAttribute (delayCountAttribute))
        renumbered->setAttribute (delayCountAttribute, list.getStringAttribute (delayCountAttribute));

    copyValues (false);
    return renumbered;
}

juce::String PresetControlsLayout::nameAttribute (bool fixed, int number)
{
    return (fixed ? "fixedName" : "Name") + juce::String (number);
}

juce::String PresetControlsLayout::nrpnAttribute (bool fixed, int number)
{
    return (fixed ? "fixedNrpn" : "Nrpn") + juce::String (number);
}

juce::String PresetControlsLayout::valueAttribute (bool fixed, int number)
{
    return (fixed ? "fixedValue" : "Value") + juce::String (number);
}
