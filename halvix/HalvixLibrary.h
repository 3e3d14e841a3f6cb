#pragma once

#include "hvif/HalvixInterface.h"

// Our own MIDI-control library, loaded by the program as "Halvix.dll": the
// interface that "getInterface" returns. It makes the panel objects, which
// read control-panel texts into panels, and hands the board's System
// Exclusive answers to every panel alive. Tests make it in-process; the
// windows come with the library's window side.
class HalvixLibrary : public HvIfInterface
{
public:
    explicit HalvixLibrary (HvIfCallback* callback) noexcept;
    ~HalvixLibrary() override;

    void release() override;

    // Safe on the MIDI-input thread.
    void handleSysEx (const uint8_t* data, int length) override;

    HvIfPanelObject* createPanelObject() override;

private:
    HvIfCallback* callback = nullptr;
};
