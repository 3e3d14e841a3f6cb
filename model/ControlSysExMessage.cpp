#include "model/ControlSysExMessage.h"

namespace
{
constexpr uint32_t fourGroupsMask = 0xC000;
constexpr uint32_t undoubledFlag = 0x8000;

uint8_t group (uint32_t value, int shift) noexcept
{
    return (uint8_t) ((value >> shift) & 0x7F);
}
} // namespace

ControlSysExMessage::Body ControlSysExMessage::encodeBody (int dsp, uint32_t param, uint32_t value) noexcept
{
    Body body{ 0x00, 0x3A, 0x7E, 0x3D, (uint8_t) (dsp & 0x7F), (uint8_t) ((param >> 8) & 0x3F), (uint8_t) (param & 0x7F), 0x04,
               0,    0,    0,    0 };

    // Unsigned arithmetic: a value of 2^31 or more loses its top bit when
    // doubled, as the board expects.
    if ((param & fourGroupsMask) == 0)
    {
        const auto v = value * 2u;
        body[8] = group (v, 14);
        body[9] = group (v, 7);
        body[10] = group (v, 0);
        return body;
    }

    const auto v = (param & undoubledFlag) != 0 ? value : value * 2u;
    body[8] = group (v, 21);
    body[9] = group (v, 14);
    body[10] = group (v, 7);
    body[11] = group (v, 0);
    return body;
}

ControlSysExMessage::Message ControlSysExMessage::encode (int dsp, uint32_t param, uint32_t value) noexcept
{
    const auto body = encodeBody (dsp, param, value);
    Message message{};
    message[0] = 0xF0;

    for (int i = 0; i < bodySize; ++i)
        message[(std::size_t) i + 1] = body[(std::size_t) i];

    message[messageSize - 1] = 0xF7;
    return message;
}
