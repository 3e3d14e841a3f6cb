#include "editors/TextPropertyComponentWithFocus.h"

#include "editors/GraphCommandProperties.h"
#include "model/GraphNode.h"

namespace
{
constexpr int maxFieldLength = 16;
} // namespace

TextPropertyComponentWithFocus::TextPropertyComponentWithFocus (const juce::String& label, GraphCommandProperties& owner,
                                                                int index)
    : juce::TextPropertyComponent (label, maxFieldLength, false, true), panel (owner), wordIndex (index)
{
}

TextPropertyComponentWithFocus::~TextPropertyComponentWithFocus() = default;

juce::String TextPropertyComponentWithFocus::formatWord (uint32_t word)
{
    return juce::String::toHexString ((int) (word & 0xFFFF)).toUpperCase().paddedLeft ('0', 4);
}

void TextPropertyComponentWithFocus::showWord (uint32_t word)
{
    const juce::ScopedValueSetter<bool> setting (showing, true);
    juce::TextPropertyComponent::setText (formatWord (word));
}

void TextPropertyComponentWithFocus::setText (const juce::String& newText)
{
    juce::TextPropertyComponent::setText (newText);

    if (! showing)
        panel.writeBack (*this);
}

void TextPropertyComponentWithFocus::mouseUp (const juce::MouseEvent& e)
{
    juce::TextPropertyComponent::mouseUp (e);
    panel.writeBack (*this);
}

void TextPropertyComponentWithFocus::finishTyping()
{
    for (auto* child : getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child); label != nullptr && label->isBeingEdited())
            label->hideEditor (false);
}

void TextPropertyComponentWithFocus::setLowWord (std::vector<uint32_t>& words, int n, uint32_t value)
{
    if (! juce::isPositiveAndBelow (n, (int) words.size()))
        return;

    auto& word = words[(size_t) n];

    if (word != noWord)
        word = (word & 0xFFFF0000u) | (value & 0xFFFFu);
}

void TextPropertyComponentWithFocus::applyText (GraphNode& node, int n, const juce::String& text)
{
    applyText (node.commandWords, node.secondCommandWords, n, text);
}

void TextPropertyComponentWithFocus::applyText (std::vector<uint32_t>& words, std::vector<uint32_t>& secondWords, int n,
                                                const juce::String& text)
{
    const auto value = (uint32_t) text.getHexValue32();
    setLowWord (words, n, value);

    if (juce::isPositiveAndBelow (n, (int) secondWords.size()) && secondWords[(size_t) n] < noWord)
        secondWords[(size_t) n] = value >> 16;
}

bool TextPropertyComponentWithFocus::isBeingTyped() const
{
    for (auto* child : getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child); label != nullptr && label->isBeingEdited())
            return true;

    return false;
}
