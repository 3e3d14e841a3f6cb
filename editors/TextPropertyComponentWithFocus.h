#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>
#include <vector>

class GraphCommandProperties;
class GraphNode;

// One field of the "Command Properties" page: the control number (the low
// 16 bits) of one command word of a process, in hexadecimal. Text typed and
// confirmed (Return or leaving the field; the panel listens) and a release
// on the field write it back into the process's word.
class TextPropertyComponentWithFocus : public juce::TextPropertyComponent
{
public:
    static constexpr uint32_t noWord = 0xFFFFFFFF;

    TextPropertyComponentWithFocus (const juce::String& label, GraphCommandProperties& panel, int wordIndex);
    ~TextPropertyComponentWithFocus() override;

    int getWordIndex() const noexcept { return wordIndex; }

    // Shows a word's control number without writing anything back.
    void showWord (uint32_t word);

    void setText (const juce::String& newText) override;
    void mouseUp (const juce::MouseEvent& e) override;

    // Ends the typing in the field, if any, taking what was typed as the
    // user confirming it would.
    void finishTyping();

    // Replaces the low 16 bits of word n unless the word is 0xFFFFFFFF;
    // nothing for a word that is not there.
    static void setLowWord (std::vector<uint32_t>& words, int n, uint32_t value);

    // A field's text (hexadecimal, other characters skipped) written into
    // word n: its low 16 bits into the word, and the bits above into the
    // second table's entry n when the node has one and that entry is not
    // 0xFFFFFFFF.
    static void applyText (GraphNode& node, int n, const juce::String& text);
    static void applyText (std::vector<uint32_t>& words, std::vector<uint32_t>& secondWords, int n, const juce::String& text);

    // Whether the user is typing into the field.
    bool isBeingTyped() const;

    // The text a word shows.
    static juce::String formatWord (uint32_t word);

private:
    GraphCommandProperties& panel;
    int wordIndex;
    bool showing = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextPropertyComponentWithFocus)
};
