#include "HalvixPanelObject.h"

#include "HalvixPanel.h"
#include "PanelScriptParser.h"
#include "hvif/HvIfCallback.h"
#include "hvif/HvIfInput.h"
#include "hvif/HvIfMessageOutput.h"

#include <algorithm>
#include <string>

namespace
{
// False when the text is longer than the limit (it is then read no further).
bool readAll (HvIfInput& input, std::string& text, size_t limit)
{
    char buffer[4096];

    while (const auto count = input.read (buffer, sizeof (buffer)))
    {
        if (text.size() + count > limit)
            return false;

        text.append (buffer, std::min (count, sizeof (buffer)));
    }

    return true;
}

void report (HvIfMessageOutput& messages, const juce::StringArray& lines, bool first)
{
    for (const auto& line : lines)
    {
        const auto utf16 = line.toUTF16();
        const auto* text = reinterpret_cast<const char16_t*> (utf16.getAddress());

        if (first)
            messages.firstMessage (text);
        else
            messages.secondMessage (text);
    }
}
} // namespace

juce::String HalvixPanelObject::decodeText (std::string text)
{
    // A zero byte would end the text early.
    std::replace (text.begin(), text.end(), '\0', ' ');

    if (juce::CharPointer_UTF8::isValidString (text.data(), (int) text.size()))
        return juce::String::fromUTF8 (text.data(), (int) text.size());

    // Not UTF-8: each byte is a character of its own.
    juce::String decoded;
    decoded.preallocateBytes (text.size() * 2);

    for (const auto byte : text)
        decoded += (juce::juce_wchar) (uint8_t) byte;

    return decoded;
}

HalvixPanelObject::HalvixPanelObject (HvIfCallback* cb) noexcept : callback (cb) {}

HalvixPanelObject::~HalvixPanelObject() = default;

void HalvixPanelObject::release()
{
    delete this;
}

bool HalvixPanelObject::loadPanelScript (HvIfStringInput& input, HvIfMessageOutput& messages)
{
    loadedPanel.reset();
    std::string text;

    if (! readAll (input, text, maxTextSize))
    {
        report (messages, { "The control-panel text is too long." }, true);
        return false;
    }

    auto result = PanelScriptParser::parse (decodeText (text));
    report (messages, result.errors, true);
    report (messages, result.warnings, false);

    if (result.model == nullptr)
        return false;

    loadedPanel = std::make_unique<HalvixPanel> (std::move (result.model), callback, windowPlace);
    return true;
}

bool HalvixPanelObject::getPanel (HvIfPanel** panel)
{
    if (panel == nullptr)
        return false;

    *panel = loadedPanel.release();
    return *panel != nullptr;
}

void HalvixPanelObject::handleMidiEvent (uint32_t eventWord)
{
    // The code index (bits 24-27) of a channel message is 0x8 to 0xE.
    const auto codeIndex = (eventWord >> 24) & 0x0F;

    if (callback != nullptr && codeIndex >= 0x8 && codeIndex <= 0xE)
        callback->sendShortMessage (eventWord & 0xFFFFFF);
}
