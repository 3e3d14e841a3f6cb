#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <vector>

class SourceStream;

// A constant array of a generated source, of one or two dimensions: its
// declaration ("const WORD name[3]") and the text of its elements, which the
// caller puts between braces.
//
// The dimensions are given apart from the cells, outer first. The cells are
// the element texts in order, row by row: with labels, each row starts with
// its label cell (a comment), and endRow closes a row. A row that falls short
// of the row length is filled with "0" and a row that holds more cells than
// it has room for loses the rest, each reported in the log, so a table never
// reads past its cells and a short row never shifts the rows after it.
class ArrayTable
{
public:
    ArrayTable (const juce::String& typeWords, const juce::String& name);

    const juce::String& getName() const noexcept { return name; }

    // Appends a dimension (outer first).
    void addNumber (int value);

    // Ends the row of the cells added since the last row end.
    void endRow();

    void addText (const juce::String& text);
    // Puts a cell in front of all others.
    void insertText (const juce::String& text);
    // "0x" and the value in lower-case hexadecimal, without padding.
    void addHex (uint32_t value);

    // The number of dimensions, and the last one added.
    int getCellCount() const noexcept { return (int) dimensions.size(); }
    int getLastValue() const noexcept { return dimensions.empty() ? 0 : dimensions.back(); }

    // The number of rows the body writes: the first dimension of a table of
    // two, 1 for a table of one; 0 for a table that writes nothing.
    int getRowCount() const noexcept;

    // The elements are records whose members a row fills: only the outer
    // dimension is declared.
    void setRecordRows() noexcept { recordRows = true; }

    // Type words, " ", the name and "[d]" for each declared dimension above
    // 0, with the next given name in place of the number when useNames is
    // set. No newline: the caller goes on with the line.
    void writeDeclaration (SourceStream& stream, bool useNames, const juce::StringArray& names = {}) const;

    // One dimension: the cells joined with ", ". Two dimensions: each row as
    // "{ a, b }" (after its label cell with labels), rows joined by ",\n".
    // Nothing for a first dimension of 0.
    void writeBody (SourceStream& stream, bool withLabels) const;

private:
    struct Cell
    {
        juce::String text;
        bool rowEnd = false;
    };

    juce::String typeWords, name;
    std::vector<int> dimensions;
    std::vector<Cell> cells;
    bool recordRows = false;
};
