#pragma once

struct GraphBusPin;

// The DSP inputs and outputs of a process graph are bus pins named "DSPIN0"
// to "DSPIN7" (direction set) and "DSPOUT0" to "DSPOUT7" (direction clear).
constexpr int maxDspBusPinNumber = 7;

// The number after "DSPIN" or "DSPOUT" (the prefix in any case) when the name
// matches the bus pin's direction and the number is 0 to 7; otherwise -1.
int getDspBusPinNumber (const GraphBusPin& busPin);

bool isDspInputBusPin (const GraphBusPin& busPin) noexcept;
