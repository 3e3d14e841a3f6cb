#pragma once

#include "hvif/HalvixInterface.h"

// Our own MIDI-control library, loaded by the program as "Halvix.dll": the
// interface that "getInterface" returns. This first form creates and
// releases every object the program calls and hands the meter poll's
// messages back to be sent; the panel-text parser and the panel windows
// grow on it.
class HalvixLibrary : public HvIfInterface
{
public:
    explicit HalvixLibrary (HvIfCallback* callback) noexcept;
    ~HalvixLibrary() override;

    void release() override;

    // Nothing of the board's data is used yet.
    void handleSysEx (const uint8_t* data, int length) override;

    HvIfPanelObject* createPanelObject() override;

private:
    HvIfCallback* callback = nullptr;
};

// The library's entry, looked up by name.
extern "C" HvIfInterface* getInterface (HvIfCallback* callback);
