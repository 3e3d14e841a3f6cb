#pragma once

#include <juce_core/juce_core.h>

// Where the MIDI-control library reports its messages, one UTF-16 text each.
class HvIfMessageOutput
{
public:
    virtual ~HvIfMessageOutput() = default;

    virtual void firstMessage (const char16_t* text) = 0;
    virtual void secondMessage (const char16_t* text) = 0;

    // The text of a message; empty for none.
    static juce::String toString (const char16_t* text)
    {
        if (text == nullptr)
            return {};

        // char16_t and JUCE's UTF-16 unit have the same size and layout.
        static_assert (sizeof (char16_t) == sizeof (juce::CharPointer_UTF16::CharType), "UTF-16 units differ in size");
        return juce::String (juce::CharPointer_UTF16 (reinterpret_cast<const juce::CharPointer_UTF16::CharType*> (text)));
    }
};

// Collects the library's messages: each first message, then a line break, in
// one text, and each second message likewise in another.
class MyErrorHandler : public HvIfMessageOutput
{
public:
    void firstMessage (const char16_t* text) override { firstText << toString (text) << "\n"; }
    void secondMessage (const char16_t* text) override { secondText << toString (text) << "\n"; }

    const juce::String& getFirstText() const noexcept { return firstText; }
    const juce::String& getSecondText() const noexcept { return secondText; }

private:
    juce::String firstText, secondText;
};
