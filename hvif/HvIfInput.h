#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <cstring>

// A byte source the MIDI-control library pulls a text through.
class HvIfInput
{
public:
    virtual ~HvIfInput() = default;

    // Copies up to size bytes into the buffer; returns how many, 0 at the end.
    virtual size_t read (char* buffer, size_t size) = 0;
};

// Reads a text held in memory, piece by piece.
class HvIfStringInput : public HvIfInput
{
public:
    // Reads the given bytes, which must outlive this reader.
    HvIfStringInput (const char* data, size_t size) noexcept
        : start (data), position (data), end (data != nullptr ? data + size : data)
    {
    }

    // Reads the UTF-8 form of a text, keeping its own copy of it.
    explicit HvIfStringInput (juce::String text) : ownText (std::move (text))
    {
        start = position = ownText.toRawUTF8();
        end = start + ownText.getNumBytesAsUTF8();
    }

    HvIfStringInput (const HvIfStringInput&) = delete;
    HvIfStringInput& operator= (const HvIfStringInput&) = delete;

    size_t read (char* buffer, size_t size) override
    {
        const auto count = juce::jmin (size, getBytesLeft());

        if (count > 0 && buffer != nullptr)
        {
            std::memcpy (buffer, position, count);
            position += count;
            return count;
        }

        return 0;
    }

    size_t getBytesRead() const noexcept { return (size_t) (position - start); }
    size_t getBytesLeft() const noexcept { return (size_t) (end - position); }

private:
    juce::String ownText;
    const char* start = nullptr;
    const char* position = nullptr;
    const char* end = nullptr;
};
