#include "PanelScriptParser.h"

#include "PanelExpression.h"

#include <cmath>

namespace
{
constexpr const char* programStart = "[CustomControl:";
constexpr int maxReferenceDepth = 4;

struct KindName
{
    const char* keyword;
    PanelControl::Kind kind;
};

constexpr KindName valueKinds[] = {
    { "SLIDER", PanelControl::Kind::slider },     { "SLIMFADER", PanelControl::Kind::slimFader },
    { "ENCODER", PanelControl::Kind::encoder },   { "CHECKBOX", PanelControl::Kind::checkBox },
    { "DROPDOWN", PanelControl::Kind::dropDown }, { "METER", PanelControl::Kind::meter },
};

constexpr const char* graphicKinds[] = { "PolyEQV2", "CompressorUI", "Compander" };

// "Flat(F)=0" as an option of a drop-down list; an entry without a value
// takes its position.
PanelControl::Option makeOption (const juce::String& entry, size_t position)
{
    const auto equals = entry.lastIndexOfChar ('=');
    PanelControl::Option option;
    option.text = (equals < 0 ? entry : entry.substring (0, equals)).trim();
    option.value = (uint32_t) position;

    // Whole values: a fraction is dropped.
    if (equals >= 0)
        option.value =
            PanelControl::toRawValue (std::floor (PanelExpression::evaluateOr (entry.substring (equals + 1), (double) position)));

    return option;
}
} // namespace

PanelScriptParser::Result PanelScriptParser::parse (const juce::String& text)
{
    Result result;
    result.model = std::make_unique<PanelModel>();
    PanelScriptParser parser (result);

    const auto lines = joinLines (text);
    parser.collectOptions (lines);

    for (const auto& line : lines)
        parser.readLine (line);

    if (result.model->getTitle().isEmpty())
    {
        result.errors.add ("The text names no panel: it has no title line \"[...]\".");
        result.model.reset();
        return result;
    }

    result.model->finish();
    return result;
}

std::vector<PanelScriptParser::Line> PanelScriptParser::joinLines (const juce::String& text)
{
    std::vector<Line> lines;
    juce::StringArray rawLines;
    rawLines.addLines (text);
    auto continuing = false;

    for (int i = 0; i < rawLines.size(); ++i)
    {
        auto piece = rawLines[i].trimEnd();
        const auto continues = piece.endsWithChar ('\\');

        if (continues)
            piece = piece.dropLastCharacters (1);

        if (continuing && ! lines.empty())
            lines.back().text << piece.trimStart();
        else
            lines.push_back ({ i + 1, piece.trim() });

        continuing = continues;
    }

    return lines;
}

void PanelScriptParser::collectOptions (const std::vector<Line>& lines)
{
    // Options may be named before they are defined, so they are read first.
    for (const auto& line : lines)
    {
        if (! line.text.startsWithIgnoreCase ("OPTIONS["))
            continue;

        const auto close = findClosingBracket (line.text, 7);

        if (close > 0)
            options[line.text.substring (8, close).trim().toLowerCase()] =
                line.text.substring (close + 1).trim().trimCharactersAtStart ("=").trim();
    }
}

void PanelScriptParser::readLine (const Line& line)
{
    const auto& text = line.text;

    if (text.isEmpty())
        return;

    if (text.startsWith (programStart))
    {
        inProgram = true;
        return;
    }

    if (text.startsWithChar ('['))
    {
        inProgram = false;
        const auto close = text.lastIndexOfChar (']');

        if (close < 0)
            warning (line, "the title has no closing bracket");

        if (result.model->getTitle().isNotEmpty())
            warning (line, "a second title is ignored");
        else
            result.model->setTitle (text.substring (1, close < 0 ? text.length() : close).trim());

        return;
    }

    if (inProgram)
        return;

    const auto open = text.indexOfChar ('[');

    if (open < 0)
    {
        if (text.equalsIgnoreCase ("BoxEnd"))
            openBox = -1;
        else if (text.equalsIgnoreCase ("BREAK"))
            getOpenBox().columns.emplace_back();
        else
            warning (line, "\"" + text + "\" is not understood");

        return;
    }

    const auto close = findClosingBracket (text, open);

    if (close < 0)
        return error (line, "the bracket is not closed");

    auto rest = text.substring (close + 1).trim();

    if (rest.startsWithChar ('='))
        rest = rest.substring (1).trim();

    readBracketLine (line, text.substring (0, open).trim(), text.substring (open + 1, close), rest);
}

void PanelScriptParser::readBracketLine (const Line& line, const juce::String& keyword, const juce::String& content,
                                         const juce::String& rest)
{
    for (const auto& kind : valueKinds)
        if (keyword.equalsIgnoreCase (kind.keyword))
            return readControl (line, kind.kind, keyword, content, rest);

    for (const auto* graphic : graphicKinds)
    {
        if (keyword.equalsIgnoreCase (graphic))
        {
            const auto items = splitItems (content);
            auto item = std::make_unique<PanelControl> (PanelControl::Kind::graphic, keyword, items[0].trim());
            applyItems (*item, items, 1, line, 0);
            return addItem (std::move (item), line);
        }
    }

    if (keyword.equalsIgnoreCase ("BoxStart"))
    {
        const auto items = splitItems (content);
        PanelBox box;
        box.title = items[0].trim();

        for (int i = 1; i < items.size(); ++i)
            if (items[i].trim().startsWithIgnoreCase ("width="))
                box.width = juce::jlimit (0, 4000, items[i].fromFirstOccurrenceOf ("=", false, false).getIntValue());

        result.model->getBoxes().push_back (box);
        openBox = (int) result.model->getBoxes().size() - 1;
    }
    else if (keyword.equalsIgnoreCase ("SYSEXBUF"))
    {
        readBuffer (line, content, rest);
    }
    else if (keyword.equalsIgnoreCase ("SYSEX"))
    {
        readReceivePattern (line, rest);
    }
    else if (! keyword.equalsIgnoreCase ("OPTIONS") && ! keyword.equalsIgnoreCase ("Layout"))
    {
        warning (line, "\"" + keyword + "\" is not understood");
    }
}

void PanelScriptParser::readControl (const Line& line, PanelControl::Kind kind, const juce::String& keyword,
                                     const juce::String& content, const juce::String& rest)
{
    const auto items = splitItems (content);
    const auto first = items[0];
    auto name = first.upToFirstOccurrenceOf ("|", false, false).trim();

    // A "Name=" attribute names the control instead of its first word.
    for (int i = 1; i < items.size(); ++i)
        if (items[i].trim().startsWithIgnoreCase ("Name="))
            name = items[i].fromFirstOccurrenceOf ("=", false, false).trim();

    auto control = std::make_unique<PanelControl> (kind, keyword, name);

    if (first.containsChar ('|'))
        applyItems (*control, juce::StringArray (first.fromFirstOccurrenceOf ("|", true, false)), 0, line, 0);

    applyItems (*control, items, 1, line, 0);

    if (control->hasValue())
    {
        juce::String problem;

        if (rest.isEmpty())
            warning (line, "the control \"" + name + "\" sends no message");
        else if (! control->getMessage().parse (rest, problem))
            error (line, "the control \"" + name + "\" sends nothing: " + problem);
    }

    addItem (std::move (control), line);
}

void PanelScriptParser::readBuffer (const Line& line, const juce::String& content, const juce::String& rest)
{
    juce::StringArray fields;
    std::vector<int> values;

    for (const auto& item : splitItems (rest))
    {
        if (item.trim().isEmpty())
            continue;

        fields.add (item.upToFirstOccurrenceOf ("=", false, false).trim());
        values.push_back (item.fromFirstOccurrenceOf ("=", false, false).getIntValue());
    }

    if (content.trim().isEmpty() || fields.isEmpty())
        return error (line, "a buffer needs a name and at least one field");

    result.model->addBuffer (std::make_unique<PanelBuffer> (content.trim(), fields, values));
}

void PanelScriptParser::readReceivePattern (const Line& line, const juce::String& rest)
{
    PanelReceivePattern pattern;
    juce::String problem;

    if (! pattern.parse (rest, problem))
        return error (line, problem);

    result.model->addReceivePattern (pattern);
}

void PanelScriptParser::applyItems (PanelControl& control, const juce::StringArray& items, int firstItem, const Line& line,
                                    int depth)
{
    for (int i = firstItem; i < items.size(); ++i)
    {
        const auto item = items[i].trim();

        if (item.isEmpty())
            continue;

        if (item.startsWithChar ('|'))
        {
            for (const auto& entry : juce::StringArray::fromTokens (item, "|", ""))
                if (entry.trim().isNotEmpty())
                    control.getOptions().push_back (makeOption (entry, control.getOptions().size()));
        }
        else if (item.startsWithChar ('@'))
        {
            const auto found = options.find (item.substring (1).trim().toLowerCase());

            if (found == options.end() || depth >= maxReferenceDepth)
                warning (line, "the options \"" + item.substring (1) + "\" are not defined");
            else
                applyItems (control, splitItems (found->second), 0, line, depth + 1);
        }
        else
        {
            control.setAttribute (item.upToFirstOccurrenceOf ("=", false, false), item.fromFirstOccurrenceOf ("=", false, false));
        }
    }
}

void PanelScriptParser::addItem (std::unique_ptr<PanelControl> item, const Line& line)
{
    if ((int) result.model->getItems().size() >= PanelModel::maxItems)
    {
        if (! std::exchange (full, true))
            error (line, "a panel holds at most " + juce::String (PanelModel::maxItems) + " items; the rest are left out");

        return;
    }

    getOpenBox().columns.back().push_back (item.get());
    result.model->getItems().push_back (std::move (item));
}

PanelBox& PanelScriptParser::getOpenBox()
{
    auto& boxes = result.model->getBoxes();

    // Items outside any box stand in a box of their own.
    if (openBox < 0)
    {
        boxes.emplace_back();
        openBox = (int) boxes.size() - 1;
    }

    return boxes[(size_t) openBox];
}

void PanelScriptParser::error (const Line& line, const juce::String& text)
{
    result.errors.add ("line " + juce::String (line.number) + ": " + text);
}

void PanelScriptParser::warning (const Line& line, const juce::String& text)
{
    result.warnings.add ("line " + juce::String (line.number) + ": " + text);
}

juce::StringArray PanelScriptParser::splitItems (const juce::String& content)
{
    juce::StringArray items;
    int depth = 0, start = 0;
    // Indexing a string counts its characters from the start each time: one
    // pointer walks it instead.
    const auto length = content.length();
    auto character = content.getCharPointer();

    for (int i = 0; i < length; ++i, ++character)
    {
        const auto c = *character;

        if (c == '[' || c == '(')
            ++depth;
        else if ((c == ']' || c == ')') && depth > 0)
            --depth;
        else if (c == ',' && depth == 0)
        {
            items.add (content.substring (start, i));
            start = i + 1;
        }
    }

    items.add (content.substring (start));
    return items;
}

int PanelScriptParser::findClosingBracket (const juce::String& line, int open)
{
    int depth = 0;
    const auto length = line.length();

    if (open >= length)
        return -1;

    auto character = line.getCharPointer() + open;

    for (int i = open; i < length; ++i, ++character)
    {
        if (*character == '[')
            ++depth;
        else if (*character == ']' && --depth == 0)
            return i;
    }

    return -1;
}
