#include "generator/ArrayTable.h"

#include "generator/SourceStream.h"
#include "model/DesignLog.h"

ArrayTable::ArrayTable (const juce::String& type, const juce::String& tableName) : typeWords (type), name (tableName) {}

void ArrayTable::addNumber (int value)
{
    dimensions.push_back (value);
}

void ArrayTable::endRow()
{
    cells.push_back ({ {}, true });
}

void ArrayTable::addText (const juce::String& text)
{
    cells.push_back ({ text, false });
}

void ArrayTable::insertText (const juce::String& text)
{
    cells.insert (cells.begin(), { text, false });
}

void ArrayTable::addHex (uint32_t value)
{
    addText ("0x" + juce::String::toHexString ((juce::int64) value));
}

int ArrayTable::getRowCount() const noexcept
{
    if (dimensions.empty() || dimensions.front() <= 0)
        return 0;

    return dimensions.size() == 1 ? 1 : dimensions.front();
}

void ArrayTable::writeDeclaration (SourceStream& stream, bool useNames, const juce::StringArray& names) const
{
    stream.write (typeWords + " " + name);

    const auto declared = recordRows ? juce::jmin ((size_t) 1, dimensions.size()) : dimensions.size();

    for (size_t i = 0; i < declared; ++i)
        if (dimensions[i] > 0)
            stream.write ("[" + (useNames && (int) i < names.size() ? names[(int) i] : juce::String (dimensions[i])) + "]");
}

void ArrayTable::writeBody (SourceStream& stream, bool withLabels) const
{
    const auto rows = getRowCount();

    if (rows == 0)
        return;

    // The row length: the last dimension, or what the inner dimensions hold.
    int rowLength = 1;

    for (size_t i = dimensions.size() == 1 ? 0 : 1; i < dimensions.size(); ++i)
        rowLength *= juce::jmax (0, dimensions[i]);

    size_t next = 0;
    int missing = 0, surplus = 0;
    auto atCell = [&] { return next < cells.size() && ! cells[next].rowEnd; };

    for (int row = 0; row < rows; ++row)
    {
        juce::String text;

        if (withLabels && atCell())
            text << cells[next++].text;

        juce::StringArray elements;

        for (int k = 0; k < rowLength; ++k)
        {
            if (atCell())
            {
                elements.add (cells[next++].text);
            }
            else
            {
                elements.add ("0");
                ++missing;
            }
        }

        for (; atCell(); ++next)
            ++surplus;

        if (next < cells.size())
            ++next; // the row end

        if (dimensions.size() == 1)
            text << elements.joinIntoString (", ");
        else
            text << "{ " << elements.joinIntoString (", ") << " }" << (row + 1 < rows ? ",\n" : "");

        stream.write (text);
    }

    for (; next < cells.size(); ++next)
        if (! cells[next].rowEnd)
            ++surplus;

    if (missing > 0)
        logError ("Table " + name + ": " + juce::String (missing) + " value(s) missing, written as 0.\n", -1);

    if (surplus > 0)
        logError ("Table " + name + ": " + juce::String (surplus) + " value(s) beyond its rows left out.\n", -1);
}
