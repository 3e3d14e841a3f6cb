#include "model/BusConnectionRules.h"

#include "model/DesignLog.h"

BusConnectionRules::BusConnectionRules (const GraphData& busGraph) noexcept : graph (busGraph) {}

juce::String BusConnectionRules::describePin (const Pin& pin)
{
    return "DSP#" + juce::String (pin.nodeId) + (pin.isInput ? " Input" : " Output") + juce::String (pin.index);
}

int BusConnectionRules::getChipCapacity (const juce::String& chipText)
{
    const auto digits = chipText.getLastCharacters (2);
    return digits.containsOnly ("0123456789") ? digits.getIntValue() : 0;
}

bool BusConnectionRules::isChipPinNameFor (const juce::String& name, bool input)
{
    if (name.length() == 5 && name.startsWith ("IBUS"))
        return juce::String ("0123456789ABCDEF").containsChar (name[4]);

    return name.length() == 6 && name.startsWith (input ? "DAAD" : "DABD") && name[4] >= '0' && name[4] <= '7' &&
           (name[5] == 'L' || name[5] == 'R');
}

const GraphBusPin* BusConnectionRules::findNameOn (const Pin& pin) const
{
    bool found = false;
    const int index =
        graph.findBusPin (pin.nodeId, pin.index, pin.isInput ? 1 : 0, found,
                          GraphData::matchBusPinNode | GraphData::matchBusPinIndex | GraphData::matchBusPinDirection);
    return found ? graph.getBusPin (index) : nullptr;
}

const GraphConnection* BusConnectionRules::findFeed (uint32_t nodeId, uint32_t pin) const
{
    bool found = false;
    const int index = graph.findConnection (0, 0, nodeId, pin, found, GraphData::matchDestNode | GraphData::matchDestPin);
    return found ? graph.getConnection (index) : nullptr;
}

//==============================================================================
BusConnectionRules::Verdict BusConnectionRules::checkConnectionDrop (const DragStart& start, const Pin& dropped, Ends* ends) const
{
    if (isDesignLocked() || dropped.isInput == ! start.beganAtOutput())
        return Verdict::refuse();

    const Ends resolved = start.beganAtOutput() ? Ends{ start.sourceNode, start.sourcePin, dropped.nodeId, dropped.index }
                                                : Ends{ dropped.nodeId, dropped.index, start.destNode, start.destPin };

    if (ends != nullptr)
        *ends = resolved;

    if (findFeed (resolved.destNode, resolved.destPin) != nullptr)
        return Verdict::refuse (inputFedMessage);

    if (resolved.sourceNode == resolved.destNode)
        return Verdict::refuse();

    const Pin dest{ resolved.destNode, resolved.destPin, true };

    if (auto* name = findNameOn (dest))
        return Verdict::refuse ("Connection conflict: " + describePin (dest) + " is already fed by " + name->name + ".");

    return Verdict::accept();
}

BusConnectionRules::Verdict BusConnectionRules::checkChipPinName (const Pin& pin, const juce::String& name) const
{
    if (isDesignLocked() || graph.findNodeById (pin.nodeId) == nullptr || ! isChipPinNameFor (name, pin.isInput))
        return Verdict::refuse();

    if (auto* existing = findNameOn (pin))
    {
        // The same name again changes nothing.
        if (existing->name == name)
            return Verdict::refuse();

        return Verdict::refuse ("Connection conflict: " + describePin (pin) +
                                (pin.isInput ? " is already fed by " : " already feeds ") + existing->name + ".");
    }

    if (pin.isInput)
    {
        if (auto* feed = findFeed (pin.nodeId, pin.index))
            return Verdict::refuse ("Connection conflict: " + describePin (pin) + " is already fed by " +
                                    describePin ({ feed->sourceNode, feed->sourcePin, false }) + ".");

        return Verdict::accept();
    }

    // A chip output or internal bus is fed by one DSP output.
    for (int i = 0; i < graph.getNumBusPins(); ++i)
    {
        auto* other = graph.getBusPin (i);

        if (other->direction == 0 && other->name == name)
            return Verdict::refuse ("Connection conflict: " + name + " is already fed by " +
                                    describePin ({ other->nodeId, other->pinIndex, false }) + ".");
    }

    return Verdict::accept();
}
