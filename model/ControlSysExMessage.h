#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The System Exclusive message that sets one process control on the
// development board: F0, a 12-byte body, F7. Body:
//   0-2   manufacturer id 00 3A 7E
//   3     3D
//   4     the DSP's MIDI channel (DSP id - 1), 7 bits
//   5     the process's NRPN number, (param >> 8) & 0x3F
//   6     the control's number within the process, param & 0x7F
//   7     04
//   8-11  the value in 7-bit groups, most significant first
// The board's firmware reads the value as follows, so the form must not
// change: with param bits 14 and 15 clear, the value doubled in three groups
// and byte 11 zero; otherwise four groups, of the value doubled unless param
// bit 15 is set (the doubling keeps the value's lowest bit clear).
struct ControlSysExMessage
{
    static constexpr int bodySize = 12;
    static constexpr int messageSize = bodySize + 2;

    using Body = std::array<uint8_t, bodySize>;
    using Message = std::array<uint8_t, messageSize>;

    // dsp: the DSP id - 1; param: (process NRPN << 8) | control NRPN.
    static Body encodeBody (int dsp, uint32_t param, uint32_t value) noexcept;

    // The body framed by F0 and F7, as it goes out on the MIDI output.
    static Message encode (int dsp, uint32_t param, uint32_t value) noexcept;
};
