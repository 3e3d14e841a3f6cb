#include "generator/DspBusPin.h"

#include "model/GraphData.h"

bool isDspInputBusPin (const GraphBusPin& busPin) noexcept
{
    return busPin.direction != 0;
}

int getDspBusPinNumber (const GraphBusPin& busPin)
{
    const juce::String prefix (isDspInputBusPin (busPin) ? "DSPIN" : "DSPOUT");

    if (! busPin.name.startsWithIgnoreCase (prefix))
        return -1;

    const auto digits = busPin.name.substring (prefix.length());

    if (digits.isEmpty() || ! digits.containsOnly ("0123456789") || digits.length() > 2)
        return -1;

    const int number = digits.getIntValue();
    return number <= maxDspBusPinNumber ? number : -1;
}
