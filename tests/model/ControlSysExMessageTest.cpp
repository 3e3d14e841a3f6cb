#include "model/ControlSysExMessage.h"

#include "generator/PanelScriptWriter.h"
#include "halvix/PanelMessage.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;

Bytes bodyOf (int dsp, uint32_t param, uint32_t value)
{
    const auto body = ControlSysExMessage::encodeBody (dsp, param, value);
    return Bytes (body.begin(), body.end());
}

struct EncoderCase
{
    const char* what;
    int dsp;
    uint32_t param;
    uint32_t value;
    Bytes body;
};

const EncoderCase encoderCases[] = {
    { "three groups, doubled", 0, 0x0305, 100, { 0x00, 0x3A, 0x7E, 0x3D, 0x00, 0x03, 0x05, 0x04, 0x00, 0x01, 0x48, 0x00 } },
    { "bit 14: four groups, doubled",
      0,
      0x4305,
      100,
      { 0x00, 0x3A, 0x7E, 0x3D, 0x00, 0x03, 0x05, 0x04, 0x00, 0x00, 0x01, 0x48 } },
    { "bit 15: four groups as they are",
      0,
      0x8305,
      100,
      { 0x00, 0x3A, 0x7E, 0x3D, 0x00, 0x03, 0x05, 0x04, 0x00, 0x00, 0x00, 0x64 } },
    { "2^21 with bit 15", 0, 0x8305, 1u << 21, { 0x00, 0x3A, 0x7E, 0x3D, 0x00, 0x03, 0x05, 0x04, 0x01, 0x00, 0x00, 0x00 } },
    { "DSP 16", 15, 0x0101, 1, { 0x00, 0x3A, 0x7E, 0x3D, 0x0F, 0x01, 0x01, 0x04, 0x00, 0x00, 0x02, 0x00 } },
    { "dsp -1 keeps 7 bits", -1, 0x0101, 0, { 0x00, 0x3A, 0x7E, 0x3D, 0x7F, 0x01, 0x01, 0x04, 0x00, 0x00, 0x00, 0x00 } },
    { "process NRPN keeps 6 bits", 2, 0x7F05, 0, { 0x00, 0x3A, 0x7E, 0x3D, 0x02, 0x3F, 0x05, 0x04, 0x00, 0x00, 0x00, 0x00 } },
    { "control keeps 7 bits", 2, 0x03FF, 0, { 0x00, 0x3A, 0x7E, 0x3D, 0x02, 0x03, 0x7F, 0x04, 0x00, 0x00, 0x00, 0x00 } },
    { "three groups drop bits above 20",
      0,
      0x0305,
      0x00123456,
      { 0x00, 0x3A, 0x7E, 0x3D, 0x00, 0x03, 0x05, 0x04, 0x11, 0x51, 0x2C, 0x00 } },
    { "doubling overflows in 32 bits",
      0,
      0x4305,
      0x7FFFFFFF,
      { 0x00, 0x3A, 0x7E, 0x3D, 0x00, 0x03, 0x05, 0x04, 0x7F, 0x7F, 0x7F, 0x7E } },
    { "both flags: bit 15 decides",
      1,
      0xC305,
      0x0FFFFFFF,
      { 0x00, 0x3A, 0x7E, 0x3D, 0x01, 0x03, 0x05, 0x04, 0x7F, 0x7F, 0x7F, 0x7F } },
};
} // namespace

TEST (ControlSysExMessageTest, EncodesEachCaseExactly)
{
    for (const auto& c : encoderCases)
        EXPECT_EQ (bodyOf (c.dsp, c.param, c.value), c.body) << c.what;
}

TEST (ControlSysExMessageTest, FramesTheBodyAndClearsTheValueBetweenMessages)
{
    const auto big = ControlSysExMessage::encode (3, 0x8101, 0x0FFFFFFF);
    const auto small = ControlSysExMessage::encode (3, 0x0101, 0);

    EXPECT_EQ (big.front(), 0xF0);
    EXPECT_EQ (big.back(), 0xF7);
    EXPECT_EQ (Bytes (small.begin(), small.end()),
               (Bytes{ 0xF0, 0x00, 0x3A, 0x7E, 0x3D, 0x03, 0x01, 0x01, 0x04, 0x00, 0x00, 0x00, 0x00, 0xF7 }));
}

// Over random arguments: every body byte is a MIDI data byte, the fixed bytes
// stay, and the groups give back the value as the board reads it.
TEST (ControlSysExMessageTest, GroupsGiveBackTheValueOverRandomArguments)
{
    std::mt19937 random (14);

    for (int i = 0; i < 20000; ++i)
    {
        const auto dsp = (int) (random() % 300) - 20;
        const auto param = (uint32_t) random();
        const auto value = (uint32_t) random();
        const auto body = ControlSysExMessage::encodeBody (dsp, param, value);

        for (auto byte : body)
            ASSERT_LT (byte, 0x80);

        ASSERT_EQ (body[0], 0x00);
        ASSERT_EQ (body[3], 0x3D);
        ASSERT_EQ (body[7], 0x04);
        ASSERT_EQ (body[4], dsp & 0x7F);

        const auto groups = ((uint32_t) body[8] << 21) | ((uint32_t) body[9] << 14) | ((uint32_t) body[10] << 7) | body[11];

        if ((param & 0xC000) == 0)
        {
            ASSERT_EQ (body[11], 0);
            ASSERT_EQ (groups >> 7, (value * 2u) & 0x1FFFFF);
        }
        else
        {
            const auto sent = (param & 0x8000) != 0 ? value : value * 2u;
            ASSERT_EQ (groups, sent & 0x0FFFFFFF);
        }
    }
}

// A control panel's System Exclusive control sends, for any value it can
// hold, the message the board receives from the project for the same control
// with bit 15 set.
TEST (ControlSysExMessageTest, AgreesWithThePanelsSysExForm)
{
    std::mt19937 random (41);

    for (int i = 0; i < 2000; ++i)
    {
        const auto channel = (int) (random() % 16);
        const auto number = ((uint32_t) (random() % 64) << 8) | (uint32_t) (random() % 128);
        const auto value = (uint32_t) random() & 0x0FFFFFFF;

        PanelMessage message;
        juce::String problem;
        ASSERT_TRUE (message.parse (PanelScriptWriter::makeSysExMessage (number, channel).trim(), problem)) << problem;

        const auto filled = message.fill (value);
        ASSERT_EQ (filled.size(), 1u);

        const auto expected = ControlSysExMessage::encode (channel, number | 0x8000, value);
        ASSERT_EQ (filled.front().sysEx, Bytes (expected.begin(), expected.end())) << "number " << number << " value " << value;
    }
}
