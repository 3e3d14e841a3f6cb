#include "app/MidiDevices.h"

#include "app/JuceMidiDevices.h"

namespace
{
MidiDevices* installedDevices = nullptr;
}

MidiDevices& MidiDevices::getCurrent()
{
    if (installedDevices != nullptr)
        return *installedDevices;

    static JuceMidiDevices juceDevices;
    return juceDevices;
}

void MidiDevices::setCurrent (MidiDevices* devices) noexcept
{
    installedDevices = devices;
}
