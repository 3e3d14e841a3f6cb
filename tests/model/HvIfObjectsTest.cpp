#include "app/BoardMidiCallback.h"
#include "hvif/HvIfInput.h"
#include "hvif/HvIfMessageOutput.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
using Bytes = std::vector<uint8_t>;

class RecordingPort : public MidiOutputPort
{
public:
    bool isOpen() const override { return open; }
    juce::String getIdentifier() const override { return "fake-1"; }
    void sendBytes (const uint8_t* data, size_t size) override { sent.emplace_back (data, data + size); }

    bool open = true;
    std::vector<Bytes> sent;
};

juce::String readAll (HvIfInput& input, size_t pieceSize, int& reads)
{
    juce::MemoryOutputStream text;
    std::vector<char> buffer (pieceSize);
    reads = 0;

    while (auto count = input.read (buffer.data(), pieceSize))
    {
        EXPECT_LE (count, pieceSize);
        text.write (buffer.data(), count);
        ++reads;
    }

    return text.toUTF8();
}
} // namespace

//==============================================================================
TEST (HvIfObjectsTest, StringInputDeliversTheTextInPiecesThenNothing)
{
    const juce::String text ("BoxStart[Gain]\nSLIDER[Level]\nBoxEnd\n");
    HvIfStringInput input (text);
    int reads = 0;

    EXPECT_EQ (readAll (input, 8, reads), text);
    EXPECT_EQ (reads, 5); // 36 bytes: four full pieces and one of 4

    char buffer[4];
    EXPECT_EQ (input.read (buffer, sizeof (buffer)), 0u);
}

TEST (HvIfObjectsTest, StringInputCopiesAtMostWhatIsLeft)
{
    const char bytes[] = { 'a', 'b', 'c', 'd', 'e' };
    HvIfStringInput input (bytes, sizeof (bytes));
    char buffer[16] = {};

    EXPECT_EQ (input.read (buffer, 0), 0u);
    EXPECT_EQ (input.read (buffer, 2), 2u);
    EXPECT_EQ (input.read (buffer + 2, sizeof (buffer)), 3u);
    EXPECT_STREQ (buffer, "abcde");
    EXPECT_EQ (input.read (buffer, sizeof (buffer)), 0u);
    EXPECT_EQ (input.getBytesRead(), 5u);
}

TEST (HvIfObjectsTest, StringInputReadsTheUtf8FormOfItsOwnCopy)
{
    auto text = juce::String::fromUTF8 (u8"Gr\u00f6\u00dfe");
    HvIfStringInput input (text);
    text = "changed";

    int reads = 0;
    EXPECT_EQ (readAll (input, 3, reads), juce::String::fromUTF8 (u8"Gr\u00f6\u00dfe"));

    HvIfStringInput empty (nullptr, 0);
    char buffer[2];
    EXPECT_EQ (empty.read (buffer, 2), 0u);
}

//==============================================================================
TEST (HvIfObjectsTest, ErrorHandlerCollectsEachKindOfMessageOnItsOwnLines)
{
    MyErrorHandler handler;
    EXPECT_TRUE (handler.getFirstText().isEmpty());
    EXPECT_TRUE (handler.getSecondText().isEmpty());

    handler.firstMessage (u"Line 3: unknown control");
    handler.secondMessage (u"Panel \u00abGain\u00bb loaded");
    handler.firstMessage (u"Line 9: \U0001F600 not allowed");
    handler.secondMessage (nullptr);

    EXPECT_EQ (handler.getFirstText(), juce::String::fromUTF8 (u8"Line 3: unknown control\nLine 9: \U0001F600 not allowed\n"));
    EXPECT_EQ (handler.getSecondText(), juce::String::fromUTF8 (u8"Panel \u00abGain\u00bb loaded\n\n"));
}

//==============================================================================
TEST (HvIfObjectsTest, BaseCallbackAcceptsEverything)
{
    HvIfCallback callback;
    const uint8_t sysEx[] = { 0xF0, 0x7D, 0xF7 };

    EXPECT_TRUE (callback.onPanelClosed (nullptr));
    EXPECT_TRUE (callback.sendShortMessage (0x00904064));
    EXPECT_TRUE (callback.sendSysEx (sysEx, 3));
}

TEST (HvIfObjectsTest, ShortMessagesSendAsManyBytesAsTheirStatusImplies)
{
    RecordingPort port;
    BoardMidiCallback callback (&port);

    EXPECT_TRUE (callback.sendShortMessage (0x00904064));
    EXPECT_TRUE (callback.sendShortMessage (0x00C00512));
    EXPECT_TRUE (callback.sendShortMessage (0x00F81234));
    EXPECT_TRUE (callback.sendShortMessage (0x00E0007F));
    EXPECT_TRUE (callback.sendShortMessage (0x00F30300));
    EXPECT_TRUE (callback.sendShortMessage (0x0BB16305)); // bits above the status are not part of it

    EXPECT_EQ (port.sent,
               (std::vector<Bytes>{
                   { 0x90, 0x40, 0x64 }, { 0xC0, 0x05 }, { 0xF8 }, { 0xE0, 0x00, 0x7F }, { 0xF3, 0x03 }, { 0xB1, 0x63, 0x05 } }));
}

TEST (HvIfObjectsTest, ShortMessagesWithoutAValidStatusOrWithBadDataAreDropped)
{
    RecordingPort port;
    BoardMidiCallback callback (&port);

    EXPECT_FALSE (callback.sendShortMessage (0x00454040)); // a data byte in the status place
    EXPECT_FALSE (callback.sendShortMessage (0x00F00000)); // System Exclusive frame bytes
    EXPECT_FALSE (callback.sendShortMessage (0x00F70000));
    EXPECT_FALSE (callback.sendShortMessage (0x00908040)); // a status byte in the data place
    EXPECT_TRUE (port.sent.empty());

    // A data byte beyond the status's length is not looked at.
    EXPECT_TRUE (callback.sendShortMessage (0x00C005FF));
    EXPECT_EQ (port.sent, (std::vector<Bytes>{ { 0xC0, 0x05 } }));
}

TEST (HvIfObjectsTest, SysExIsSentWholeOnlyWhenFramed)
{
    RecordingPort port;
    BoardMidiCallback callback (&port);
    const uint8_t message[] = { 0xF0, 0x00, 0x21, 0x7F, 0x05, 0xF7 };

    EXPECT_TRUE (callback.sendSysEx (message, (int) sizeof (message)));
    EXPECT_EQ (port.sent, (std::vector<Bytes>{ Bytes (std::begin (message), std::end (message)) }));
}

TEST (HvIfObjectsTest, SysExThatIsTooShortOrUnframedIsRefused)
{
    RecordingPort port;
    BoardMidiCallback callback (&port);
    const uint8_t frameOnly[] = { 0xF0, 0xF7 };
    const uint8_t oneByte[] = { 0xF0, 0x01, 0xF7 };
    const uint8_t noStart[] = { 0x01, 0x02, 0xF7 };
    const uint8_t noEnd[] = { 0xF0, 0x01, 0x02 };
    const uint8_t statusInside[] = { 0xF0, 0x01, 0x90, 0xF7 };

    EXPECT_FALSE (callback.sendSysEx (nullptr, 3));
    EXPECT_FALSE (callback.sendSysEx (frameOnly, 0));
    EXPECT_FALSE (callback.sendSysEx (frameOnly, 1));
    EXPECT_FALSE (callback.sendSysEx (noStart, 3));
    EXPECT_FALSE (callback.sendSysEx (noEnd, 3));
    EXPECT_FALSE (callback.sendSysEx (statusInside, 4));
    EXPECT_TRUE (port.sent.empty());

    // An empty message is accepted but carries nothing to send.
    EXPECT_TRUE (callback.sendSysEx (frameOnly, 2));
    EXPECT_TRUE (port.sent.empty());

    EXPECT_TRUE (callback.sendSysEx (oneByte, 3));
    EXPECT_EQ (port.sent.size(), 1u);
}

TEST (HvIfObjectsTest, NothingIsSentWithoutAnOpenOutput)
{
    RecordingPort port;
    BoardMidiCallback callback;
    const uint8_t message[] = { 0xF0, 0x01, 0xF7 };

    EXPECT_TRUE (callback.sendSysEx (message, 3));
    EXPECT_TRUE (callback.sendShortMessage (0x00904064));

    port.open = false;
    callback.setOutput (&port);
    EXPECT_TRUE (callback.sendSysEx (message, 3));
    EXPECT_TRUE (port.sent.empty());

    port.open = true;
    EXPECT_TRUE (callback.sendShortMessage (0x00904064));
    callback.setOutput (nullptr);
    EXPECT_TRUE (callback.sendShortMessage (0x00904064));
    EXPECT_EQ (port.sent.size(), 1u);
}

TEST (HvIfObjectsTest, ChangingTheOutputWaitsForASendInProgress)
{
    // A port that holds its send until the test lets it go.
    struct SlowPort : public RecordingPort
    {
        void sendBytes (const uint8_t* data, size_t size) override
        {
            sending = true;
            while (! release)
                std::this_thread::yield();

            RecordingPort::sendBytes (data, size);
            sending = false;
        }

        std::atomic<bool> sending{ false }, release{ false };
    };

    SlowPort port;
    BoardMidiCallback callback (&port);
    std::thread sender ([&] { callback.sendShortMessage (0x00904064); });

    while (! port.sending)
        std::this_thread::yield();

    std::atomic<bool> outputChanged{ false };
    std::thread closer (
        [&]
        {
            callback.setOutput (nullptr);
            outputChanged = true;
        });

    std::this_thread::sleep_for (std::chrono::milliseconds (50));
    EXPECT_FALSE (outputChanged);

    port.release = true;
    sender.join();
    closer.join();

    EXPECT_TRUE (outputChanged);
    EXPECT_EQ (port.sent.size(), 1u);
    EXPECT_EQ (callback.getOutput(), nullptr);
}
