#include "model/PresetControlsLayout.h"

#include <algorithm>
#include <set>

namespace
{
// The attribute names of one kind for the numbers 1 to the most controls.
class LayoutAttributeNames
{
public:
    LayoutAttributeNames (const char* fixedPrefix, const char* secondaryPrefix) : prefixes{ fixedPrefix, secondaryPrefix }
    {
        for (int kind = 0; kind < 2; ++kind)
            for (int number = 1; number <= ProcessPresetStore::maxControls; ++number)
                names[kind].push_back (make (kind, number));
    }

    juce::Identifier get (bool fixed, int number) const
    {
        const auto kind = fixed ? 0 : 1;
        return number >= 1 && number <= (int) names[kind].size() ? names[kind][(size_t) number - 1] : make (kind, number);
    }

private:
    juce::Identifier make (int kind, int number) const { return prefixes[kind] + juce::String (number); }

    const char* prefixes[2];
    std::vector<juce::Identifier> names[2];
};
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
    // One walk over the attributes, so that the work follows the size of the
    // element, never the numbers it holds. Keyed fixed controls first, each
    // kind in number order, whatever the order of the attributes; the first
    // of a repeated attribute counts.
    using Key = std::pair<bool, int>; // (secondary, number)
    std::map<Key, size_t> nameAt, nrpnAt;
    const auto attributes = PresetNumberReader::getAttributes (controls);

    for (size_t i = 0; i < attributes.size(); ++i)
    {
        for (const auto fixed : { true, false })
        {
            if (const auto number = PresetNumberReader::numberAfterPrefix (attributes[i].name, fixed ? "fixedName" : "Name");
                number > 0)
                nameAt.emplace (Key (! fixed, number), i);
            else if (const auto nrpnNumber =
                         PresetNumberReader::numberAfterPrefix (attributes[i].name, fixed ? "fixedNrpn" : "Nrpn");
                     nrpnNumber > 0)
                nrpnAt.emplace (Key (! fixed, nrpnNumber), i);
        }
    }

    PresetControlsLayout layout;

    for (const auto& [key, index] : nameAt)
    {
        const auto nrpn = nrpnAt.find (key);
        layout.addSlot ({ attributes[index].value,
                          nrpn != nrpnAt.end() ? reader.getUnsigned (controls, attributes[nrpn->second]) : 0u, ! key.first,
                          key.second, -1 });
    }

    layout.delay = controls.hasAttribute (delayAttribute);
    return layout;
}

void PresetControlsLayout::addSlot (Slot slot)
{
    auto& highest = slot.fixed ? fixedNumbers : secondaryNumbers;
    highest = std::max (highest, slot.number);

    slotByName.emplace (slot.name, slots.size());
    slotByNumber.emplace (std::pair (slot.fixed, slot.number), slots.size());
    slots.push_back (std::move (slot));
}

const PresetControlsLayout::Slot* PresetControlsLayout::findByName (const juce::String& name) const
{
    const auto found = slotByName.find (name);
    return found != slotByName.end() ? &slots[found->second] : nullptr;
}

int PresetControlsLayout::findValueSlot (const juce::String& attributeName) const
{
    for (const auto fixed : { true, false })
    {
        if (const auto number = PresetNumberReader::numberAfterPrefix (attributeName, fixed ? "fixedValue" : "Value"); number > 0)
        {
            const auto found = slotByNumber.find (std::pair (fixed, number));
            return found != slotByNumber.end() ? (int) found->second : -1;
        }
    }

    return -1;
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

    // Each preset's own length: presets of delays of other lengths share a
    // store, and a reader takes the length from here. A preset made before
    // the store had the delay control holds none (0) and takes the store's.
    if (delay)
    {
        auto* slot = findByName (ProcessPresetStore::fixedDelayControlName);
        const auto inPreset = slot != nullptr && slot->position >= 0 && (size_t) slot->position < preset.values.size();
        const auto own = inPreset ? preset.values[(size_t) slot->position] : 0u;
        list->setAttribute (delayCountAttribute, juce::String (own != 0 ? own : delayCount));
    }

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

juce::Identifier PresetControlsLayout::nameAttribute (bool fixed, int number)
{
    static const LayoutAttributeNames names ("fixedName", "Name");
    return names.get (fixed, number);
}

juce::Identifier PresetControlsLayout::nrpnAttribute (bool fixed, int number)
{
    static const LayoutAttributeNames names ("fixedNrpn", "Nrpn");
    return names.get (fixed, number);
}

juce::Identifier PresetControlsLayout::valueAttribute (bool fixed, int number)
{
    static const LayoutAttributeNames names ("fixedValue", "Value");
    return names.get (fixed, number);
}
