#include "generator/NrpnListRows.h"

#include "generator/ControlHandlerWriter.h"
#include "generator/EqualiserLists.h"
#include "generator/SourceIdentifiers.h"
#include "model/GenerationContext.h"
#include "model/GraphData.h"
#include "model/MemoryParameters.h"
#include "model/ParameterDescriptor.h"

#include <string>

namespace
{
// The band parameters of a biquad node, by filter parameter.
const char* const filterParameterNames[] = { "Type", "Q", "Frequency", "Gain" };

// The encoder option text of each band parameter; the type has none.
const char* getFilterOptions (int parameter)
{
    switch (parameter)
    {
        case 1: return EqualiserListTexts::qEncoderOptions;
        case 2: return EqualiserListTexts::frequencyEncoderOptions;
        case 3: return EqualiserListTexts::gainEncoderOptions;
        default: return "";
    }
}

juce::String getFilterDefault (int parameter, int band)
{
    switch (parameter)
    {
        case 0: return "1";
        case 1: return "955";
        case 2: return juce::String (81920 + 12 * band);
        default: return "64";
    }
}

// The process editor marks every biquad node when it shows it; a design read
// without an editor has its nodes unmarked, and the kind tells the same.
bool isBiquadNode (const GraphNode& node, const ProcessDefinition& definition)
{
    return node.biquadMark || (definition.hasKind && isBiquadProcessKind (definition.processKind));
}

juce::String orDefault (const juce::String& value, const char* fallback)
{
    return value.isNotEmpty() ? value : juce::String (fallback);
}

// A decimal number with or without a sign: a value to a spreadsheet.
bool isPlainNumber (const juce::String& cell)
{
    const auto digits = cell.startsWithChar ('+') || cell.startsWithChar ('-') ? cell.substring (1) : cell;
    return digits.containsAnyOf ("0123456789") && digits.containsOnly ("0123456789.") &&
           digits.indexOfChar ('.') == digits.lastIndexOfChar ('.');
}

// The formula with an operation on its whole value: in parentheses unless
// it is a product or quotient as it stands ("(2*x+64)*2", "x/1000/2"). A
// missing formula stays missing.
juce::String applyToWhole (const juce::String& formula, const char* operation)
{
    if (formula.isEmpty() || *operation == 0)
        return formula;

    int depth = 0;
    bool sum = false;

    for (auto p = formula.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = *p;

        if (c == '(')
            ++depth;
        else if (c == ')')
            --depth;
        else if (depth == 0 && ! (juce::CharacterFunctions::isLetterOrDigit (c) || juce::String ("._*/^").containsChar (c)))
            sum = true;
    }

    return (sum ? "(" + formula + ")" : formula) + operation;
}

// The text without blanks and tabs, as it is and in lower case: every row
// looks up several keys, so this is one pass over the text, not a String
// made anew for each step.
using Characters = std::basic_string<juce::juce_wchar>;

juce::String findValue (const juce::String& text, const juce::String& key)
{
    Characters kept, lowered;
    kept.reserve (text.getNumBytesAsUTF8());
    lowered.reserve (kept.capacity());

    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = *p;

        if (c == ' ' || c == '\t')
            continue;

        kept += c;
        lowered += c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : (c < 0x80 ? c : juce::CharacterFunctions::toLowerCase (c));
    }

    const auto name = (key.isEmpty() ? juce::String ("valscale=") : key).toLowerCase();
    const auto at = lowered.find (Characters (name.toUTF32().getAddress()));

    if (at == Characters::npos)
        return {};

    const auto start = at + (size_t) name.length();
    const juce::juce_wchar valueEnds[] = { ',', ']', '\r', '\n', 0 };
    const auto end = kept.find_first_of (valueEnds, start);
    const auto value = kept.substr (start, end == Characters::npos ? Characters::npos : end - start);
    return juce::String (juce::CharPointer_UTF32 (value.c_str()));
}
} // namespace

NrpnListRows::NrpnListRows (const GraphData& dspGraph, const GenerationContext& generationContext, uint32_t dspNumber)
    : graph (dspGraph), context (generationContext), dspId (dspNumber)
{
}

juce::String NrpnListRows::getKeyValue (const juce::String& text, const juce::String& key)
{
    return findValue ("valscale=" + text, key);
}

juce::String NrpnListRows::getOptionValue (const juce::String& optionText, const juce::String& key)
{
    return findValue (optionText.fromFirstOccurrenceOf ("]", false, false), key);
}

juce::String NrpnListRows::getAnnotationValue (const LibraryFunctionDefinition& function, const juce::String& key)
{
    const auto& annotation = getLastParameterAnnotation (function);

    if (key.equalsIgnoreCase ("DataLength=") && annotation.count >= 1 && annotation.count <= 3)
        return juce::String (7 << (annotation.count - 1));

    const auto value = getKeyValue (juce::String (annotation.text), key);
    return value.isNotEmpty() ? value : getKeyValue (juce::String (function.secondText), key);
}

juce::String NrpnListRows::getDataLength (juce::int64 max)
{
    return max > 16383 ? "28" : (max > 127 ? "14" : "7");
}

int NrpnListRows::getFilterParameter (uint32_t controlNumber) noexcept
{
    const auto offset = (controlNumber - 3) & 0xFF;
    return offset % 31 == 0 && offset / 31 < 4 ? (int) (offset / 31) : -1;
}

void NrpnListRows::write (juce::MemoryOutputStream& rows) const
{
    for (auto nrpn : graph.collectNrpns())
        if (const auto* node = graph.findNodeByNrpn (nrpn))
            if (const auto* definition = node->getProcessDefinition())
                writeNodeRows (*node, *definition, rows);
}

void NrpnListRows::writeNodeRows (const GraphNode& node, const ProcessDefinition& definition,
                                  juce::MemoryOutputStream& rows) const
{
    const auto title = context.getNodeTitle (node);
    const juce::String className (definition.name);
    const juce::String channel (dspId);
    const auto wordCount = juce::jmin ((int) node.commandWords.size(), definition.getSecondFunctionCount());

    // The process's name and class stand on its first row.
    auto rowsWritten = 0;

    for (int j = 0; j < wordCount; ++j)
    {
        const auto number = node.commandWords[(size_t) j] & ControlHandlerWriter::controlNumberMask;
        const auto& function = *definition.secondFunctions[j];

        // A coefficient callback is no control, whatever its word holds: a
        // row would offer the user a number that reaches nothing.
        if (number == ControlHandlerWriter::controlNumberMask || ! function.isControl())
            continue;

        const juce::String label (function.firstText);

        if (! function.hasIndexParameter())
        {
            const bool first = rowsWritten++ == 0;
            juce::StringArray cells{ first ? title : juce::String(),
                                     first ? className : juce::String(),
                                     channel,
                                     "0x" + ControlHandlerWriter::toHex (number),
                                     juce::String(),
                                     label };
            cells.addArray (getControlCells (function, node));
            addRow (cells, rows);
            continue;
        }

        const bool biquad = isBiquadNode (node, definition);
        const auto filterParameter = biquad ? getFilterParameter (number) : -1;
        const auto channels = node.getControlChannelCount();

        // A channel past the last NRPN number could not be reached.
        for (uint32_t i = 0; i < channels && number + i <= ControlHandlerWriter::controlNumberMask; ++i)
        {
            const bool first = rowsWritten++ == 0;
            const auto ordinal = juce::String (i + 1);
            juce::StringArray cells{ first ? title : juce::String(), first ? className : juce::String(), channel,
                                     "0x" + ControlHandlerWriter::toHex (number + i),
                                     juce::String (biquad ? "Band#" : "Index#") + ordinal };

            if (filterParameter >= 0)
            {
                cells.add (filterParameterNames[filterParameter] + ordinal);
                cells.addArray (getFilterCells (filterParameter, (int) i, (int) channels, definition.processKind));
            }
            else
            {
                cells.add (label + ordinal);
                cells.addArray (getControlCells (function, node));
            }

            addRow (cells, rows);
        }
    }
}

juce::StringArray NrpnListRows::getControlCells (const LibraryFunctionDefinition& function, const GraphNode& node) const
{
    ParameterDescriptor last;
    getFunctionParameter (function, ParameterNumbering::parametersOnly, function.parameterCount - 1, last);

    const bool delayNode = (node.channelWord & GraphNode::delayCountFlag) != 0;
    const bool delayTime = delayNode && isTimeMsParamType (last.type);
    // Only the time counts two words per sample in external RAM: its
    // maximum is doubled, and its formulas say so. Every other control of
    // the delay keeps its own.
    const bool doubledTime = delayTime && MemoryParameters::getSelection (node) == GraphNode::memoryChoiceExternalRam;

    juce::String max;

    // A delay's time runs up to its length, in samples.
    if (delayTime)
        max = juce::String ((juce::int64) MemoryParameters::delaySamples (node, context.getSamplingRateKhz()) *
                            (doubledTime ? 2 : 1));
    else
        max = orDefault (getAnnotationValue (function, "max="), "127");

    const auto maxValue = max.getLargeIntValue();
    const auto onOff = isOnOffParamType (last.type) || isParamTypeCode_4_0_16 (last.type);

    return { orDefault (getAnnotationValue (function, "min="), "0"),
             max,
             orDefault (getAnnotationValue (function, "def="), "0"),
             maxValue != 0 ? getDataLength (maxValue) : getAnnotationValue (function, "DataLength="),
             onOff ? juce::String ("0=deactivated, else activated")
                   : applyToWhole (getAnnotationValue (function, "valscale="), doubledTime ? "/2" : ""),
             applyToWhole (getKeyValue (juce::String (function.secondText), "descale="), doubledTime ? "*2" : ""),
             getAnnotationValue (function, "valunit=") };
}

juce::StringArray NrpnListRows::getFilterCells (int parameter, int band, int bandCount, uint32_t processKind)
{
    const juce::String options (getFilterOptions (parameter));
    const auto max = orDefault (getOptionValue (options, "max="), "127");

    return { orDefault (getOptionValue (options, "min="), "0"),
             max,
             getFilterDefault (parameter, band),
             getDataLength (max.getLargeIntValue()),
             options.isEmpty() ? getFilterTypeList (processKind, band, bandCount) : getOptionValue (options, "valscale="),
             getOptionValue (options, "descale="),
             getOptionValue (options, "valunit=") };
}

void NrpnListRows::addRow (const juce::StringArray& cells, juce::MemoryOutputStream& rows)
{
    for (int i = 0; i < cells.size(); ++i)
        rows << makeCell (cells[i]) << (i + 1 < cells.size() ? ";" : "\n");
}

juce::String NrpnListRows::makeCell (const juce::String& text)
{
    // A line break in a cell (a title taken from dropped text) would start a
    // new row in the middle of this one, and a separator ("L;R") would shift
    // every later cell of the row.
    // A text-direction control would show the row otherwise than it reads.
    auto cell = withoutDirectionControls (text).replaceCharacters ("\r\n;", "  ,");

    // A spreadsheet takes a cell that starts so as a formula ("=HYPERLINK(...)"
    // in a process name): a quote in front keeps it text. A plain number is
    // no formula and stays a number.
    if (juce::String ("=+-@\t").containsChar (cell[0]) && ! isPlainNumber (cell))
        cell = "'" + cell;

    // A double quote would open a quoted cell that runs on over the next
    // cells and lines: the cell is quoted, its quotes doubled.
    if (cell.containsChar ('"'))
        cell = "\"" + cell.replace ("\"", "\"\"") + "\"";

    return cell;
}
