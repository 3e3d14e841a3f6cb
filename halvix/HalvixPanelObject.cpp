#include "HalvixPanelObject.h"

#include "HalvixPanel.h"
#include "hvif/HvIfCallback.h"
#include "hvif/HvIfInput.h"
#include "hvif/HvIfMessageOutput.h"

#include <string>

namespace
{
std::string readAll (HvIfInput& input)
{
    std::string text;
    char buffer[512];

    while (const auto count = input.read (buffer, sizeof (buffer)))
        text.append (buffer, count);

    return text;
}

// The first line that holds more than white space, trimmed.
std::string findTitle (const std::string& text)
{
    size_t start = 0;

    while (start < text.size())
    {
        auto end = text.find ('\n', start);

        if (end == std::string::npos)
            end = text.size();

        const auto line = text.substr (start, end - start);
        const auto first = line.find_first_not_of (" \t\r");

        if (first != std::string::npos)
            return line.substr (first, line.find_last_not_of (" \t\r") - first + 1);

        start = end + 1;
    }

    return {};
}
} // namespace

HalvixPanelObject::HalvixPanelObject (HvIfCallback* cb) noexcept : callback (cb) {}

HalvixPanelObject::~HalvixPanelObject() = default;

void HalvixPanelObject::release()
{
    delete this;
}

bool HalvixPanelObject::loadPanelScript (HvIfStringInput& input, HvIfMessageOutput& messages)
{
    loadedPanel.reset();
    const auto title = findTitle (readAll (input));

    if (title.empty())
    {
        messages.firstMessage (u"The control-panel text is empty.");
        return false;
    }

    loadedPanel = std::make_unique<HalvixPanel> (title);
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
