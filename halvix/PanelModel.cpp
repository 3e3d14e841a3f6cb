#include "PanelModel.h"

#include "PanelExpression.h"
#include "hvif/HvIfCallback.h"

#include <algorithm>
#include <cmath>

namespace
{
// "4|10(-48)|16" into positions with their labels.
std::vector<PanelControl::Tick> parseTicks (const juce::String& text)
{
    std::vector<PanelControl::Tick> ticks;

    for (const auto& entry : juce::StringArray::fromTokens (text, "|", ""))
    {
        const auto open = entry.indexOfChar ('(');
        PanelControl::Tick tick;
        tick.position = (open < 0 ? entry : entry.substring (0, open)).trim().getIntValue();

        if (open >= 0)
            tick.label = entry.substring (open + 1).upToFirstOccurrenceOf (")", false, false);

        ticks.push_back (tick);
    }

    return ticks;
}
} // namespace

//==============================================================================
PanelControl::PanelControl (Kind itemKind, const juce::String& itemKeyword, const juce::String& itemName)
    : kind (itemKind), keyword (itemKeyword), name (itemName), utf8Name (itemName.toStdString())
{
}

void PanelControl::setAttribute (const juce::String& key, const juce::String& text)
{
    attributes[key.trim().toLowerCase()] = text.trim();
}

juce::String PanelControl::getAttribute (const juce::String& key) const
{
    const auto found = attributes.find (key.toLowerCase());
    return found != attributes.end() ? found->second : juce::String();
}

bool PanelControl::hasAttribute (const juce::String& key) const
{
    return attributes.count (key.toLowerCase()) != 0;
}

double PanelControl::getNumber (const juce::String& key, double fallback) const
{
    return hasAttribute (key) ? PanelExpression::evaluateOr (getAttribute (key), fallback) : fallback;
}

int PanelControl::getWholeNumber (const juce::String& key, int fallback, int lowest, int highest) const
{
    const auto number = getNumber (key, fallback);

    if (! std::isfinite (number))
        return juce::jlimit (lowest, highest, fallback);

    return (int) juce::jlimit ((double) lowest, (double) highest, number);
}

uint32_t PanelControl::toRawValue (double value) noexcept
{
    if (! std::isfinite (value) || value <= 0)
        return 0;

    return value >= 4294967295.0 ? 0xFFFFFFFFu : (uint32_t) std::llround (value);
}

juce::String PanelControl::getValueText (uint32_t rawValue) const
{
    if (kind == Kind::dropDown)
    {
        const auto index = indexOfOption (rawValue);
        return index >= 0 ? options[(size_t) index].text : juce::String (rawValue);
    }

    auto shown = (double) rawValue;
    const auto scale = getAttribute ("valscale");

    if (scale.isNotEmpty() && ! PanelExpression::evaluate (scale, (double) rawValue, shown))
        shown = (double) rawValue;

    const auto precision = getWholeNumber ("valprec", 0, 0, 6);
    auto text = precision > 0 ? juce::String (shown, precision) : juce::String (juce::roundToInt (shown));
    const auto unit = getAttribute ("valunit");

    if (unit.isNotEmpty())
        text << (unit.startsWithChar (':') ? "" : " ") << unit;

    return text;
}

void PanelControl::settle()
{
    if (kind == Kind::dropDown && ! options.empty())
    {
        const auto byValue = [] (const Option& a, const Option& b) { return a.value < b.value; };
        minimum = std::min_element (options.begin(), options.end(), byValue)->value;
        maximum = std::max_element (options.begin(), options.end(), byValue)->value;
    }
    else
    {
        const auto defaultMaximum = kind == Kind::checkBox ? 1.0 : 127.0;
        minimum = toRawValue (getNumber ("min", 0));
        maximum = std::max (minimum, toRawValue (getNumber ("max", defaultMaximum)));
    }

    defaultValue = limit (toRawValue (getNumber ("def", (double) minimum)));

    // A list's start value must be one of its options.
    if (kind == Kind::dropDown && ! options.empty() && indexOfOption (defaultValue) < 0)
        defaultValue = options.front().value;

    value = defaultValue;
    ticks = parseTicks (getAttribute ("ticks"));
}

uint32_t PanelControl::limit (uint32_t newValue) const noexcept
{
    return std::clamp (newValue, minimum, maximum);
}

int PanelControl::indexOfOption (uint32_t optionValue) const
{
    for (size_t i = 0; i < options.size(); ++i)
        if (options[i].value == optionValue)
            return (int) i;

    return -1;
}

juce::String PanelControl::getMeterBuffer() const
{
    return getAttribute ("sysex").upToFirstOccurrenceOf (".", false, false).trim();
}

juce::String PanelControl::getMeterField() const
{
    return getAttribute ("sysex").fromFirstOccurrenceOf (".", false, false).trim();
}

juce::String PanelControl::getEnableSource() const
{
    return getAttribute ("enable").upToFirstOccurrenceOf ("(", false, false).trim();
}

juce::String PanelControl::getEnableLetters() const
{
    return getAttribute ("enable").fromFirstOccurrenceOf ("(", false, false).upToFirstOccurrenceOf (")", false, false);
}

//==============================================================================
PanelBuffer::PanelBuffer (const juce::String& bufferName, const juce::StringArray& fieldNames, const std::vector<int>& initial)
    : name (bufferName), fields (fieldNames)
{
    for (int i = 0; i < fields.size(); ++i)
        values.push_back (std::make_unique<std::atomic<int>> (i < (int) initial.size() ? initial[(size_t) i] : 0));
}

int PanelBuffer::indexOfField (const juce::String& field) const
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].equalsIgnoreCase (field))
            return i;

    return -1;
}

int PanelBuffer::getField (int index) const
{
    return index >= 0 && index < (int) values.size() ? values[(size_t) index]->load() : 0;
}

void PanelBuffer::store (const uint8_t* data, int length)
{
    for (size_t i = 0; i < values.size() && (int) i < length; ++i)
    {
        auto field = (int) (data[i] & 0x7F);

        // The last field takes what is left, most significant group first.
        if (i + 1 == values.size())
            for (auto j = (int) i + 1; j < length && j < (int) i + 4; ++j)
                field = (field << 7) | (data[j] & 0x7F);

        values[i]->store (field);
    }
}

//==============================================================================
bool PanelReceivePattern::parse (const juce::String& text, juce::String& problem)
{
    head.clear();
    tail.clear();
    bufferName.clear();

    for (const auto& word : juce::StringArray::fromTokens (text, " \t", ""))
    {
        if (word.startsWithIgnoreCase ("BLOCK[") && word.endsWithChar (']'))
        {
            if (bufferName.isNotEmpty())
                return (problem = "a receive pattern holds one BLOCK only"), false;

            bufferName = word.substring (6, word.length() - 1).trim();
            continue;
        }

        uint8_t byte = 0;

        if (! PanelMessage::parseByte (word, byte))
            return (problem = "\"" + word + "\" is no byte of a receive pattern"), false;

        (bufferName.isEmpty() ? head : tail).push_back (byte);
    }

    if (head.empty() || head.front() != 0xF0 || tail.empty() || tail.back() != 0xF7)
        return (problem = "a receive pattern is a System Exclusive message from F0h to F7h"), false;

    return true;
}

bool PanelReceivePattern::match (const uint8_t* data, int length, const uint8_t*& block, int& blockLength) const
{
    const auto fixed = (int) (head.size() + tail.size());

    if (data == nullptr || length < fixed || (bufferName.isEmpty() && length != fixed))
        return false;

    if (! std::equal (head.begin(), head.end(), data) || ! std::equal (tail.begin(), tail.end(), data + length - tail.size()))
        return false;

    block = data + head.size();
    blockLength = length - fixed;
    return true;
}

//==============================================================================
PanelControl* PanelModel::getFirstValueControl() const noexcept
{
    for (const auto& item : items)
        if (item->hasValue())
            return item.get();

    return nullptr;
}

PanelControl* PanelModel::findControl (const juce::String& controlName) const
{
    for (const auto& item : items)
        if (item->hasValue() && item->getControlName() == controlName)
            return item.get();

    return nullptr;
}

void PanelModel::finish()
{
    PanelControl* previous = nullptr;

    for (const auto& item : items)
    {
        item->settle();

        if (! item->hasValue())
            continue;

        if (previous != nullptr)
            previous->setNext (item.get());

        previous = item.get();
    }
}

void PanelModel::changeValue (PanelControl& control, uint32_t newValue, HvIfCallback* callback)
{
    control.storeValue (newValue);

    // Controls that send the same message are one parameter of the board:
    // they show one value, and the message goes once.
    for (const auto& item : items)
        if (sharesValue (control, *item))
            item->storeValue (control.getValue());

    if (callback != nullptr)
        control.getMessage().send (control.getValue(), *callback);
}

bool PanelModel::sharesValue (const PanelControl& changed, const PanelControl& other)
{
    return &other != &changed && other.hasValue() && ! changed.getMessage().isEmpty() &&
           other.getMessage() == changed.getMessage();
}

void PanelModel::addBuffer (std::unique_ptr<PanelBuffer> buffer)
{
    buffers.push_back (std::move (buffer));
}

PanelBuffer* PanelModel::findBuffer (const juce::String& bufferName) const
{
    for (const auto& buffer : buffers)
        if (buffer->getName().equalsIgnoreCase (bufferName))
            return buffer.get();

    return nullptr;
}

bool PanelModel::receiveSysEx (const uint8_t* data, int length)
{
    auto matched = false;

    for (const auto& pattern : patterns)
    {
        const uint8_t* block = nullptr;
        int blockLength = 0;

        if (pattern.match (data, length, block, blockLength))
        {
            if (auto* buffer = findBuffer (pattern.getBufferName()))
                buffer->store (block, blockLength);

            matched = true;
        }
    }

    return matched;
}
