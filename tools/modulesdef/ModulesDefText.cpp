#include "ModulesDefText.h"

#include "ModulesDefBuilder.h"

#include <cstdio>
#include <set>
#include <sstream>
#include <stdexcept>

namespace modulesdef
{
namespace
{
constexpr uint16_t escapeWord = 0xFFFF;
constexpr size_t wrapColumn = 100;

//==============================================================================
// Formatting

std::string hex (uint32_t value, int digits)
{
    char buffer[16];
    std::snprintf (buffer, sizeof (buffer), "0x%0*X", digits, value);
    return buffer;
}

std::string hex16 (uint16_t value)
{
    return hex (value, 4);
}

std::string hex8 (uint8_t value)
{
    return hex (value, 2);
}

// Small values of a fixed item read best in decimal (4,1,128); anything
// larger is more likely a bit pattern, so it goes in hexadecimal.
std::string itemNumber (uint16_t value)
{
    return value < 256 ? std::to_string (value) : hex16 (value);
}

bool isVariableClass (uint16_t word, bool inDictionary)
{
    return word == 21 || word == 22 || (inDictionary && word == 15);
}

//==============================================================================
// Word lists as items

struct WordItem
{
    enum class Type
    {
        fixed,
        variable,
        escape,
        raw
    };

    Type type = Type::raw;
    std::vector<uint16_t> words; // fixed: class, group, kind; escape: the index; raw: the words
    uint16_t variableClass = 0;
    std::string bytes;           // variable items
};

// Splits a list into items the way the reader walks it. Whatever does not
// decode cleanly (a list cut short inside an item, a variable item whose pad
// byte is not 0) becomes raw words, which the parser writes back as they are.
std::vector<WordItem> decodeWordList (const std::vector<uint16_t>& words, bool inDictionary)
{
    std::vector<WordItem> items;
    const size_t count = words.size();

    auto addRaw = [&items, &words] (size_t first, size_t end)
    {
        if (items.empty() || items.back().type != WordItem::Type::raw)
            items.push_back (WordItem());

        items.back().words.insert (items.back().words.end(),
                                   words.begin() + static_cast<std::ptrdiff_t> (first),
                                   words.begin() + static_cast<std::ptrdiff_t> (end));
    };

    for (size_t i = 0; i < count;)
    {
        const auto word = words[i];

        if (word == escapeWord)
        {
            if (i + 2 > count)
            {
                addRaw (i, count);
                break;
            }

            WordItem item;
            item.type = WordItem::Type::escape;
            item.words.push_back (words[i + 1]);
            items.push_back (item);
            i += 2;
        }
        else if (isVariableClass (word, inDictionary))
        {
            if (i + 2 > count)
            {
                addRaw (i, count);
                break;
            }

            const size_t length = words[i + 1] & 0xFF;
            const size_t span = length / 2 + 2;

            if (i + span > count)
            {
                addRaw (i, count);
                break;
            }

            // The bytes after the class word: the length, the data, one pad byte when needed.
            std::string bytes;

            for (size_t w = i + 1; w < i + span; ++w)
            {
                bytes += static_cast<char> (words[w] & 0xFF);
                bytes += static_cast<char> (words[w] >> 8);
            }

            const bool padClean = (length % 2 != 0) || bytes.back() == 0;

            if (! padClean)
            {
                addRaw (i, i + span);
            }
            else
            {
                WordItem item;
                item.type = WordItem::Type::variable;
                item.variableClass = word;
                item.bytes = bytes.substr (1, length);
                items.push_back (item);
            }

            i += span;
        }
        else
        {
            if (i + 3 > count)
            {
                addRaw (i, count);
                break;
            }

            WordItem item;
            item.type = WordItem::Type::fixed;
            item.words.assign (words.begin() + static_cast<std::ptrdiff_t> (i),
                               words.begin() + static_cast<std::ptrdiff_t> (i + 3));
            items.push_back (item);
            i += 3;
        }
    }

    return items;
}

void appendVariableItem (std::vector<uint16_t>& words, uint16_t variableClass, const std::string& bytes)
{
    words.push_back (variableClass);

    std::string tail;
    tail += static_cast<char> (bytes.size());
    tail += bytes;

    if (tail.size() % 2 != 0)
        tail += '\0';

    for (size_t b = 0; b < tail.size(); b += 2)
        words.push_back (static_cast<uint16_t> (static_cast<uint8_t> (tail[b])
                                                | (static_cast<uint8_t> (tail[b + 1]) << 8)));
}

// The texts of the items, each one whole; long raw runs are cut into pieces
// of eight words so that lines can be wrapped between them.
std::vector<std::string> itemTexts (const std::vector<uint16_t>& words, bool inDictionary)
{
    std::vector<std::string> texts;

    for (const auto& item : decodeWordList (words, inDictionary))
    {
        switch (item.type)
        {
            case WordItem::Type::fixed:
                texts.push_back ("(" + itemNumber (item.words[0]) + "," + itemNumber (item.words[1]) + ","
                                 + itemNumber (item.words[2]) + ")");
                break;

            case WordItem::Type::variable:
                texts.push_back ("var" + std::to_string (item.variableClass) + " " + ModulesDefText::quote (item.bytes));
                break;

            case WordItem::Type::escape:
                texts.push_back ("dict " + std::to_string (item.words[0]));
                break;

            case WordItem::Type::raw:
                for (size_t first = 0; first < item.words.size(); first += 8)
                {
                    std::string text = "raw";

                    for (size_t w = first; w < item.words.size() && w < first + 8; ++w)
                        text += " " + hex16 (item.words[w]);

                    texts.push_back (text);
                }
                break;
        }
    }

    return texts;
}

//==============================================================================
// Tokens

struct Token
{
    enum class Type
    {
        word,
        number,
        string,
        open,
        comma,
        close
    };

    Type type = Type::word;
    std::string text;   // the word, the string's bytes, or the number as written
    uint64_t value = 0; // numbers
};

[[noreturn]] void failAt (int line, const std::string& message)
{
    throw std::runtime_error ("line " + std::to_string (line) + ": " + message);
}

bool isWordStart (char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool isWordChar (char c)
{
    return isWordStart (c) || (c >= '0' && c <= '9') || c == '-';
}

int hexDigit (char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string describeChar (char c)
{
    const auto byte = static_cast<uint8_t> (c);

    if (byte >= 0x21 && byte < 0x7F)
        return std::string ("'") + c + "'";

    return "byte " + hex8 (byte);
}

std::vector<Token> tokenize (const std::string& line, int lineNumber)
{
    std::vector<Token> tokens;
    size_t i = 0;

    while (i < line.size())
    {
        const char c = line[i];

        if (c == ' ' || c == '\t' || c == '\r')
        {
            ++i;
        }
        else if (c == '#')
        {
            break;
        }
        else if (c == '(' || c == ',' || c == ')')
        {
            Token token;
            token.type = c == '(' ? Token::Type::open : (c == ',' ? Token::Type::comma : Token::Type::close);
            token.text = std::string (1, c);
            tokens.push_back (token);
            ++i;
        }
        else if (c == '"')
        {
            Token token;
            token.type = Token::Type::string;
            ++i;

            for (;;)
            {
                if (i >= line.size())
                    failAt (lineNumber, "the string is not closed (a '\"' is missing)");

                const char s = line[i];

                if (s == '"')
                {
                    ++i;
                    break;
                }

                if (s != '\\')
                {
                    token.text += s;
                    ++i;
                    continue;
                }

                if (i + 1 >= line.size())
                    failAt (lineNumber, "the string ends in a lone '\\'");

                const char e = line[i + 1];
                i += 2;

                switch (e)
                {
                    case '\\': token.text += '\\'; break;
                    case '"':  token.text += '"'; break;
                    case 'n':  token.text += '\n'; break;
                    case 't':  token.text += '\t'; break;
                    case 'r':  token.text += '\r'; break;
                    case '0':  token.text += '\0'; break;
                    case 'x':
                    {
                        const int high = i < line.size() ? hexDigit (line[i]) : -1;
                        const int low = i + 1 < line.size() ? hexDigit (line[i + 1]) : -1;

                        if (high < 0 || low < 0)
                            failAt (lineNumber, "'\\x' in a string needs two hexadecimal digits");

                        token.text += static_cast<char> (high * 16 + low);
                        i += 2;
                        break;
                    }
                    default:
                        failAt (lineNumber, "unknown escape '\\" + std::string (1, e)
                                                + "' in a string (use \\\\, \\\", \\n, \\t, \\r, \\0 or \\xHH)");
                }
            }

            tokens.push_back (token);
        }
        else if (c >= '0' && c <= '9')
        {
            const size_t start = i;

            while (i < line.size() && isWordChar (line[i]))
                ++i;

            Token token;
            token.type = Token::Type::number;
            token.text = line.substr (start, i - start);

            const bool isHex = token.text.size() > 2 && token.text[0] == '0' && (token.text[1] == 'x' || token.text[1] == 'X');
            const size_t firstDigit = isHex ? 2 : 0;
            uint64_t value = 0;

            for (size_t d = firstDigit; d < token.text.size(); ++d)
            {
                const int digit = isHex ? hexDigit (token.text[d]) : (token.text[d] >= '0' && token.text[d] <= '9' ? token.text[d] - '0' : -1);

                if (digit < 0)
                    failAt (lineNumber, "'" + token.text + "' is not a number (write decimal digits, or 0x and hexadecimal digits)");

                value = value * (isHex ? 16 : 10) + static_cast<uint64_t> (digit);

                if (value > 0xFFFFFFFFull)
                    failAt (lineNumber, "the number " + token.text + " is too large");
            }

            token.value = value;
            tokens.push_back (token);
        }
        else if (isWordStart (c))
        {
            const size_t start = i;

            while (i < line.size() && isWordChar (line[i]))
                ++i;

            Token token;
            token.type = Token::Type::word;
            token.text = line.substr (start, i - start);
            tokens.push_back (token);
        }
        else
        {
            failAt (lineNumber, "unexpected " + describeChar (c));
        }
    }

    return tokens;
}

std::string describeToken (const Token& token)
{
    switch (token.type)
    {
        case Token::Type::word:   return "'" + token.text + "'";
        case Token::Type::number: return "number " + token.text;
        case Token::Type::string: return "string " + ModulesDefText::quote (token.text);
        case Token::Type::open:
        case Token::Type::comma:
        case Token::Type::close:  return "'" + token.text + "'";
    }

    return "'" + token.text + "'";
}

// Reads the tokens of one line from left to right.
class LineCursor
{
public:
    LineCursor (std::vector<Token> lineTokens, int lineNumber)
        : tokens (std::move (lineTokens)), line (lineNumber)
    {
    }

    bool atEnd() const { return position >= tokens.size(); }
    const Token& peek() const { return tokens[position]; }
    int getLine() const { return line; }

    [[noreturn]] void fail (const std::string& message) const { failAt (line, message); }

    const Token& next (const std::string& expected)
    {
        if (atEnd())
            fail ("expected " + expected + " at the end of the line");

        return tokens[position++];
    }

    uint32_t number (const std::string& what, uint32_t maximum)
    {
        const auto& token = next (what);

        if (token.type != Token::Type::number)
            fail ("expected " + what + ", found " + describeToken (token));

        if (token.value > maximum)
            fail (what + " " + token.text + " is out of range (at most " + std::to_string (maximum) + ")");

        return static_cast<uint32_t> (token.value);
    }

    uint16_t word16 (const std::string& what) { return static_cast<uint16_t> (number (what, 0xFFFF)); }
    uint8_t byte8 (const std::string& what) { return static_cast<uint8_t> (number (what, 0xFF)); }

    std::string string (const std::string& what)
    {
        const auto& token = next (what);

        if (token.type != Token::Type::string)
            fail ("expected " + what + " (a quoted string), found " + describeToken (token));

        return token.text;
    }

    std::string word (const std::string& what)
    {
        const auto& token = next (what);

        if (token.type != Token::Type::word)
            fail ("expected " + what + ", found " + describeToken (token));

        return token.text;
    }

    void punctuation (Token::Type type, const char* text)
    {
        const auto& token = next (std::string ("'") + text + "'");

        if (token.type != type)
            fail (std::string ("expected '") + text + "', found " + describeToken (token));
    }

    bool peekWord (const char* text) const
    {
        return ! atEnd() && peek().type == Token::Type::word && peek().text == text;
    }

    void expectEnd (const std::string& after)
    {
        if (! atEnd())
            fail ("unexpected " + describeToken (peek()) + " after " + after);
    }

private:
    std::vector<Token> tokens;
    size_t position = 0;
    int line = 0;
};

// Reads items up to the end of the line and appends their words.
void readWordItems (LineCursor& cursor, std::vector<uint16_t>& words, bool inDictionary)
{
    const char* expected = "a word-list item: (class,group,kind), var21 \"...\", var22 \"...\", dict N or raw W...";

    while (! cursor.atEnd())
    {
        const auto& token = cursor.peek();

        if (token.type == Token::Type::open)
        {
            cursor.punctuation (Token::Type::open, "(");
            const auto itemClass = cursor.word16 ("the item class");
            cursor.punctuation (Token::Type::comma, ",");
            const auto group = cursor.word16 ("the item group");
            cursor.punctuation (Token::Type::comma, ",");
            const auto kind = cursor.word16 ("the item kind");
            cursor.punctuation (Token::Type::close, ")");

            if (itemClass == escapeWord)
                cursor.fail ("a fixed item cannot have class 0xFFFF, which is the escape word (write dict N, or raw words)");

            if (isVariableClass (itemClass, inDictionary))
                cursor.fail ("a fixed item of class " + std::to_string (itemClass) + " would read as a variable item"
                             + (inDictionary ? " in a dictionary entry" : "") + " (write var"
                             + std::to_string (itemClass) + " \"...\", or raw words)");

            words.push_back (itemClass);
            words.push_back (group);
            words.push_back (kind);
            continue;
        }

        if (token.type != Token::Type::word)
            cursor.fail (std::string ("expected ") + expected + ", found " + describeToken (token));

        const auto keyword = token.text;
        cursor.next (expected);

        if (keyword == "var21" || keyword == "var22" || keyword == "var15")
        {
            const auto variableClass = static_cast<uint16_t> (std::stoi (keyword.substr (3)));

            if (variableClass == 15 && ! inDictionary)
                cursor.fail ("var15 is a variable item only inside a dictionary entry; in a function's own list class 15 is a fixed item (write (15,group,kind))");

            const auto bytes = cursor.string ("the bytes of the " + keyword + " item");

            if (bytes.size() > 255)
                cursor.fail ("a variable item holds at most 255 bytes, this one has " + std::to_string (bytes.size()));

            appendVariableItem (words, variableClass, bytes);
        }
        else if (keyword == "dict")
        {
            words.push_back (escapeWord);
            words.push_back (cursor.word16 ("the dictionary entry number"));
        }
        else if (keyword == "raw")
        {
            if (cursor.atEnd() || cursor.peek().type != Token::Type::number)
                cursor.fail ("'raw' needs at least one word");

            while (! cursor.atEnd() && cursor.peek().type == Token::Type::number)
                words.push_back (cursor.word16 ("a raw word"));
        }
        else
        {
            cursor.fail (std::string ("expected ") + expected + ", found '" + keyword + "'");
        }
    }
}

//==============================================================================
// Parsing

enum class BlockKind
{
    top,
    dictionary,
    module,
    process,
    function,
    bus
};

struct Block
{
    BlockKind kind = BlockKind::top;
    std::string keyword;     // the keyword that opened it
    int line = 0;
    std::set<std::string> seen;
    ModuleDescription* module = nullptr;
    ProcessDescription* process = nullptr;
    FunctionDescription* function = nullptr;
};

const std::set<std::string>& keywordsOf (BlockKind kind)
{
    static const std::set<std::string> top { "capacity", "version", "dictionary", "module", "dsp", "bus" };
    static const std::set<std::string> dictionary { "entry", "words", "end" };
    static const std::set<std::string> module { "id", "kind", "first-figure", "dsp-inputs", "dsp-outputs", "third-figure",
                                                "own-cycles", "ram-budget", "rate-class", "function", "second-function",
                                                "process", "end" };
    static const std::set<std::string> process { "id", "kind", "inputs", "outputs", "cycles", "ram", "channel-word",
                                                 "memory-class", "memory-class-word", "channel-word-243", "setup",
                                                 "control", "help", "pin", "end" };
    static const std::set<std::string> function { "form", "returns", "params", "mask", "mask-entry", "param-flags",
                                                  "label", "annotation", "words", "end" };
    static const std::set<std::string> bus { "mask", "end" };

    switch (kind)
    {
        case BlockKind::top:        return top;
        case BlockKind::dictionary: return dictionary;
        case BlockKind::module:     return module;
        case BlockKind::process:    return process;
        case BlockKind::function:   return function;
        case BlockKind::bus:        return bus;
    }

    return top;
}

bool isKnownKeyword (const std::string& keyword)
{
    for (const auto kind : { BlockKind::top, BlockKind::dictionary, BlockKind::module,
                             BlockKind::process, BlockKind::function, BlockKind::bus })
        if (keywordsOf (kind).count (keyword) != 0)
            return true;

    return false;
}

std::string blockName (const Block& block)
{
    return block.kind == BlockKind::top ? std::string ("the top level") : "a '" + block.keyword + "' block";
}

class TextParser
{
public:
    LibraryDescription parse (const std::string& text)
    {
        stack.push_back (Block());
        int lineNumber = 0;
        std::istringstream lines (text);
        std::string line;

        while (std::getline (lines, line))
        {
            ++lineNumber;
            auto tokens = tokenize (line, lineNumber);

            if (tokens.empty())
                continue;

            LineCursor cursor (std::move (tokens), lineNumber);
            readLine (cursor);
        }

        if (stack.size() > 1)
        {
            const auto& open = stack.back();
            failAt (open.line, "the '" + open.keyword + "' block opened here is never closed (an 'end' is missing)");
        }

        return library;
    }

private:
    LibraryDescription library;
    std::vector<Block> stack;

    void readLine (LineCursor& cursor)
    {
        const auto keyword = cursor.word ("a keyword");
        auto& block = stack.back();

        if (keywordsOf (block.kind).count (keyword) == 0)
        {
            if (! isKnownKeyword (keyword))
                cursor.fail ("unknown keyword '" + keyword + "'");

            if (keyword == "end")
                cursor.fail ("'end' with no open block");

            cursor.fail ("'" + keyword + "' does not belong in " + blockName (block)
                         + (stack.size() > 1 ? " (is an 'end' missing?)" : ""));
        }

        if (keyword == "end")
        {
            cursor.expectEnd ("'end'");
            stack.pop_back();
            return;
        }

        // Repeatable lines: items of lists and continuations of word lists.
        static const std::set<std::string> repeatable { "module", "dsp", "entry", "words", "function", "second-function",
                                                        "process", "setup", "control", "pin", "mask-entry" };

        // "mask" repeats in a bus block (one line per DSP) but not in a function.
        const bool repeats = repeatable.count (keyword) != 0 || (keyword == "mask" && block.kind == BlockKind::bus);

        if (! repeats && ! block.seen.insert (keyword).second)
            cursor.fail ("'" + keyword + "' is given twice in " + blockName (block));

        switch (block.kind)
        {
            case BlockKind::top:        readTopLine (keyword, cursor); break;
            case BlockKind::dictionary: readDictionaryLine (keyword, cursor); break;
            case BlockKind::module:     readModuleLine (keyword, cursor, *block.module); break;
            case BlockKind::process:    readProcessLine (keyword, cursor, *block.process); break;
            case BlockKind::function:   readFunctionLine (keyword, cursor, *block.function); break;
            case BlockKind::bus:        readBusLine (cursor); break;
        }
    }

    Block& open (BlockKind kind, const std::string& keyword, int line)
    {
        Block block;
        block.kind = kind;
        block.keyword = keyword;
        block.line = line;
        stack.push_back (block);
        return stack.back();
    }

    void readTopLine (const std::string& keyword, LineCursor& cursor)
    {
        if (keyword == "capacity")
        {
            library.dspCapacity = cursor.word16 ("the DSP capacity");
        }
        else if (keyword == "version")
        {
            if (cursor.peekWord ("none"))
            {
                cursor.next ("'none'");
                library.version.reset();
            }
            else
            {
                library.version = cursor.word16 ("the format version (or 'none')");
            }
        }
        else if (keyword == "dictionary")
        {
            open (BlockKind::dictionary, keyword, cursor.getLine());
        }
        else if (keyword == "module")
        {
            library.modules.push_back (ModuleDescription());
            library.modules.back().name = cursor.string ("the module name");
            open (BlockKind::module, keyword, cursor.getLine()).module = &library.modules.back();
        }
        else if (keyword == "dsp")
        {
            readDsp (cursor);
            return;
        }
        else if (keyword == "bus")
        {
            library.busMasks = std::vector<BusMask>();
            open (BlockKind::bus, keyword, cursor.getLine());
        }

        cursor.expectEnd ("'" + keyword + "'");
    }

    void readDsp (LineCursor& cursor)
    {
        DspDescription dsp;
        dsp.id = cursor.word16 ("the DSP id");
        std::set<std::string> seen;

        while (! cursor.atEnd())
        {
            const auto field = cursor.word ("'module', 'third' or 'cds'");

            if (! seen.insert (field).second)
                cursor.fail ("'" + field + "' is given twice for one DSP");

            if (field == "module")
                dsp.moduleId = cursor.word16 ("the module id");
            else if (field == "third")
                dsp.third = cursor.word16 ("the third word");
            else if (field == "cds")
                dsp.followedByCds = true;
            else
                cursor.fail ("expected 'module', 'third' or 'cds', found '" + field + "'");
        }

        library.dsps.push_back (dsp);
    }

    void readDictionaryLine (const std::string& keyword, LineCursor& cursor)
    {
        auto& dictionary = library.dictionary;

        if (keyword == "entry")
        {
            const auto number = cursor.number ("the entry number", 0xFFFFFFFFu);

            if (number != dictionary.size())
                cursor.fail ("this is dictionary entry " + std::to_string (dictionary.size()) + ", but it is numbered "
                             + std::to_string (number) + " (entries are numbered from 0, in order)");

            dictionary.emplace_back();
        }
        else if (dictionary.empty())
        {
            cursor.fail ("'words' before the first 'entry' of the dictionary");
        }

        readWordItems (cursor, dictionary.back(), true);
    }

    void readModuleLine (const std::string& keyword, LineCursor& cursor, ModuleDescription& module)
    {
        if (keyword == "id")                  module.id = cursor.word16 ("the module id");
        else if (keyword == "kind")           module.kind = cursor.word16 ("the module kind");
        else if (keyword == "first-figure")   module.firstFigure = cursor.word16 ("the first figure");
        else if (keyword == "dsp-inputs")     module.dspInputCount = cursor.byte8 ("the DSP input count");
        else if (keyword == "dsp-outputs")    module.dspOutputCount = cursor.byte8 ("the DSP output count");
        else if (keyword == "third-figure")   module.thirdFigure = cursor.word16 ("the third figure");
        else if (keyword == "own-cycles")     module.ownCycles = cursor.word16 ("the module's own cycles");
        else if (keyword == "ram-budget")     module.dspRamBudget = cursor.word16 ("the DSP RAM budget");
        else if (keyword == "rate-class")     module.rateClassLimit = cursor.word16 ("the rate class limit");
        else if (keyword == "function")       openFunction (keyword, cursor, module.functions);
        else if (keyword == "second-function") openFunction (keyword, cursor, module.secondFunctions);
        else if (keyword == "process")
        {
            module.processes.push_back (ProcessDescription());
            auto& process = module.processes.back();
            process.name = cursor.string ("the process name");

            if (! cursor.atEnd())
            {
                const auto section = cursor.word ("'pcs' or 'sps'");

                if (section != "pcs" && section != "sps")
                    cursor.fail ("expected 'pcs' or 'sps' after the process name, found '" + section + "'");

                process.fromSps = section == "sps";
            }

            open (BlockKind::process, keyword, cursor.getLine()).process = &process;
        }

        cursor.expectEnd ("'" + keyword + "'");
    }

    void readProcessLine (const std::string& keyword, LineCursor& cursor, ProcessDescription& process)
    {
        if (keyword == "id")                     process.id = cursor.word16 ("the process id");
        else if (keyword == "kind")              process.kind = cursor.word16 ("the process kind");
        else if (keyword == "inputs")            process.inputCount = cursor.byte8 ("the input count");
        else if (keyword == "outputs")           process.outputCount = cursor.byte8 ("the output count");
        else if (keyword == "channel-word")      process.channelWord = cursor.word16 ("the channel word");
        else if (keyword == "memory-class")      process.hasMemoryClass = true;
        else if (keyword == "memory-class-word") process.memoryClassWord243 = cursor.word16 ("the memory class word");
        else if (keyword == "channel-word-243")  process.channelWord243 = cursor.word16 ("the second channel word");
        else if (keyword == "help")              process.helpPage = cursor.string ("the help page");
        else if (keyword == "setup")             openFunction (keyword, cursor, process.setupFunctions);
        else if (keyword == "control")           openFunction (keyword, cursor, process.controlFunctions);
        else if (keyword == "cycles" || keyword == "ram")
        {
            const auto perChannelName = keyword == "cycles" ? "cycles per channel" : "RAM per channel";
            const auto baseName = keyword == "cycles" ? "base cycles" : "base RAM";

            if (cursor.word ("'per-channel'") != "per-channel")
                cursor.fail ("expected '" + keyword + " per-channel N base N'");

            const auto perChannel = cursor.word16 (perChannelName);

            if (cursor.word ("'base'") != "base")
                cursor.fail ("expected '" + keyword + " per-channel N base N'");

            const auto base = cursor.word16 (baseName);

            if (keyword == "cycles")
            {
                process.cyclesPerChannel = perChannel;
                process.baseCycles = base;
            }
            else
            {
                process.ramPerChannel = perChannel;
                process.baseRam = base;
            }
        }
        else if (keyword == "pin")
        {
            PinDescription pin;
            pin.name = cursor.string ("the pin name");

            if (cursor.peekWord ("in") || cursor.peekWord ("out"))
                pin.direction = cursor.word ("the direction") == "in" ? 0 : 1;
            else if (! cursor.atEnd() && cursor.peek().type == Token::Type::number)
                pin.direction = cursor.byte8 ("the pin direction");
            else
                cursor.fail ("expected the pin direction ('in', 'out' or a number) after the pin name");

            if (cursor.peekWord ("vector") || cursor.peekWord ("virtual"))
                pin.kind = cursor.word ("the pin kind") == "vector" ? 2 : 3;
            else if (! cursor.atEnd() && cursor.peek().type == Token::Type::number)
                pin.kind = cursor.byte8 ("the pin kind");
            else
                cursor.fail ("expected the pin kind ('vector', 'virtual' or a number) after the direction");

            process.pins.push_back (pin);
        }

        cursor.expectEnd ("'" + keyword + "'");
    }

    void openFunction (const std::string& keyword, LineCursor& cursor, std::vector<FunctionDescription>& list)
    {
        list.push_back (FunctionDescription());
        list.back().name = cursor.string ("the function name");
        open (BlockKind::function, keyword, cursor.getLine()).function = &list.back();
    }

    void readFunctionLine (const std::string& keyword, LineCursor& cursor, FunctionDescription& function)
    {
        if (keyword == "form")             function.form = cursor.word16 ("the form word");
        else if (keyword == "returns")     function.returnValueCount = cursor.byte8 ("the return-value count");
        else if (keyword == "params")      function.parameterCount = cursor.byte8 ("the parameter count");
        else if (keyword == "mask")        function.entryMask = cursor.word16 ("the entry mask");
        else if (keyword == "param-flags") function.parameterFlagMask = cursor.word16 ("the parameter flag mask");
        else if (keyword == "label")       function.label = cursor.string ("the label");
        else if (keyword == "annotation")  function.annotation = cursor.string ("the annotation");
        else if (keyword == "mask-entry")
        {
            const uint32_t a = cursor.word16 ("the first word of the mask entry");
            const uint32_t b = cursor.word16 ("the second word of the mask entry");
            function.maskEntries.push_back (a | (b << 16));
        }
        else if (keyword == "words")
        {
            readWordItems (cursor, function.words, false);
        }

        cursor.expectEnd ("'" + keyword + "'");
    }

    void readBusLine (LineCursor& cursor)
    {
        BusMask mask {};

        if (cursor.word ("'in'") != "in")
            cursor.fail ("expected 'mask in B B B B B B B B out B B B B B B B B'");

        for (size_t i = 0; i < 8; ++i)
            mask[i] = cursor.byte8 ("input mask byte " + std::to_string (i + 1) + " of 8");

        if (cursor.word ("'out'") != "out")
            cursor.fail ("expected 'out' after the 8 bytes of the input mask");

        for (size_t i = 0; i < 8; ++i)
            mask[8 + i] = cursor.byte8 ("output mask byte " + std::to_string (i + 1) + " of 8");

        cursor.expectEnd ("the 8 bytes of the output mask");
        library.busMasks->push_back (mask);
    }
};

//==============================================================================
// Printing

class TextPrinter
{
public:
    std::string print (const LibraryDescription& library)
    {
        line (0, "capacity " + std::to_string (library.dspCapacity));
        line (0, "version " + (library.version.has_value() ? std::to_string (*library.version) : std::string ("none")));

        if (! library.dictionary.empty())
        {
            blank();
            line (0, "dictionary");

            for (size_t i = 0; i < library.dictionary.size(); ++i)
                wordLines (1, "entry " + std::to_string (i), library.dictionary[i], true);

            line (0, "end");
        }

        for (const auto& module : library.modules)
            printModule (module);

        if (! library.dsps.empty())
            blank();

        for (const auto& dsp : library.dsps)
            printDsp (dsp);

        if (library.busMasks.has_value())
        {
            blank();
            line (0, "bus");

            for (const auto& mask : *library.busMasks)
            {
                std::string text = "mask in";

                for (size_t i = 0; i < 8; ++i)
                    text += " " + hex8 (mask[i]);

                text += " out";

                for (size_t i = 8; i < 16; ++i)
                    text += " " + hex8 (mask[i]);

                line (1, text);
            }

            line (0, "end");
        }

        return out;
    }

private:
    std::string out;

    void line (int depth, const std::string& text)
    {
        out.append (static_cast<size_t> (depth) * 4, ' ');
        out += text;
        out += '\n';
    }

    void blank()
    {
        out += '\n';
    }

    // The first line starts with the given head; further lines continue the
    // same list with "words".
    void wordLines (int depth, const std::string& head, const std::vector<uint16_t>& words, bool inDictionary)
    {
        std::string current = head;
        bool currentHasItems = false;

        for (const auto& item : itemTexts (words, inDictionary))
        {
            if (currentHasItems && static_cast<size_t> (depth) * 4 + current.size() + 1 + item.size() > wrapColumn)
            {
                line (depth, current);
                current = "words";
                currentHasItems = false;
            }

            current += " " + item;
            currentHasItems = true;
        }

        line (depth, current);
    }

    void printModule (const ModuleDescription& module)
    {
        blank();
        line (0, "module " + ModulesDefText::quote (module.name));
        line (1, "id " + hex16 (module.id));

        if (module.kind.has_value())
            line (1, "kind " + hex16 (*module.kind));

        line (1, "first-figure " + std::to_string (module.firstFigure));
        line (1, "dsp-inputs " + std::to_string (module.dspInputCount));
        line (1, "dsp-outputs " + std::to_string (module.dspOutputCount));
        line (1, "third-figure " + std::to_string (module.thirdFigure));
        line (1, "own-cycles " + std::to_string (module.ownCycles));
        line (1, "ram-budget " + std::to_string (module.dspRamBudget));
        line (1, "rate-class " + std::to_string (module.rateClassLimit));

        if (! module.functions.empty() || ! module.secondFunctions.empty())
            blank();

        for (const auto& function : module.functions)
            printFunction (1, "function", function);

        for (const auto& function : module.secondFunctions)
            printFunction (1, "second-function", function);

        for (const auto& process : module.processes)
            printProcess (process);

        line (0, "end");
    }

    void printProcess (const ProcessDescription& process)
    {
        blank();
        line (1, "process " + ModulesDefText::quote (process.name) + (process.fromSps ? " sps" : " pcs"));
        line (2, "id " + hex16 (process.id));

        if (process.kind.has_value())
            line (2, "kind " + hex16 (*process.kind));

        line (2, "inputs " + std::to_string (process.inputCount));
        line (2, "outputs " + std::to_string (process.outputCount));
        line (2, "cycles per-channel " + std::to_string (process.cyclesPerChannel) + " base " + std::to_string (process.baseCycles));
        line (2, "ram per-channel " + std::to_string (process.ramPerChannel) + " base " + std::to_string (process.baseRam));

        if ((process.id & 0x200) != 0 || process.channelWord != 1)
            line (2, "channel-word " + hex16 (process.channelWord));

        // The class is what the reader makes of the channel word; shown for the eye only.
        if (process.hasMemoryClass)
            line (2, "memory-class  # class " + std::to_string (ModulesDefBuilder::memoryClassOf (process)));

        if (process.memoryClassWord243 != 0)
            line (2, "memory-class-word " + hex16 (process.memoryClassWord243));

        if (process.channelWord243 != 0)
            line (2, "channel-word-243 " + hex16 (process.channelWord243));

        for (const auto& function : process.setupFunctions)
            printFunction (2, "setup", function);

        for (const auto& function : process.controlFunctions)
            printFunction (2, "control", function);

        line (2, "help " + ModulesDefText::quote (process.helpPage));

        for (const auto& pin : process.pins)
        {
            const auto direction = pin.direction == 0 ? std::string ("in")
                                                      : (pin.direction == 1 ? std::string ("out") : std::to_string (pin.direction));
            const auto kind = pin.kind == 2 ? std::string ("vector")
                                            : (pin.kind == 3 ? std::string ("virtual") : std::to_string (pin.kind));
            line (2, "pin " + ModulesDefText::quote (pin.name) + " " + direction + " " + kind);
        }

        line (1, "end");
    }

    void printFunction (int depth, const std::string& keyword, const FunctionDescription& function)
    {
        line (depth, keyword + " " + ModulesDefText::quote (function.name));
        const int inner = depth + 1;

        line (inner, "form " + std::to_string (function.form));
        line (inner, "returns " + std::to_string (function.returnValueCount));
        line (inner, "params " + std::to_string (function.parameterCount));

        const bool hasMask = function.form == 1 || function.form == 2;

        if (hasMask || function.entryMask != 0)
            line (inner, "mask " + hex16 (function.entryMask));

        for (const auto entry : function.maskEntries)
            line (inner, "mask-entry " + hex16 (static_cast<uint16_t> (entry & 0xFFFF)) + " "
                             + hex16 (static_cast<uint16_t> (entry >> 16)));

        if (hasMask || function.parameterFlagMask != 0)
            line (inner, "param-flags " + hex16 (function.parameterFlagMask));

        const bool isControl = keyword == "control";

        if (isControl || ! function.label.empty())
            line (inner, "label " + ModulesDefText::quote (function.label));

        if (isControl || ! function.annotation.empty())
            line (inner, "annotation " + ModulesDefText::quote (function.annotation));

        if (! function.words.empty())
            wordLines (inner, "words", function.words, false);

        line (depth, "end");
    }

    void printDsp (const DspDescription& dsp)
    {
        std::string text = "dsp " + std::to_string (dsp.id);

        if (dsp.followedByCds)
        {
            text += " cds";

            if (dsp.moduleId != 0)
                text += " module " + hex16 (dsp.moduleId);

            if (dsp.third != 0)
                text += " third " + std::to_string (dsp.third);
        }
        else
        {
            text += " module " + hex16 (dsp.moduleId) + " third " + std::to_string (dsp.third);
        }

        line (0, text);
    }
};
} // namespace

//==============================================================================
LibraryDescription ModulesDefText::parse (const std::string& text)
{
    TextParser parser;
    return parser.parse (text);
}

std::string ModulesDefText::print (const LibraryDescription& library)
{
    TextPrinter printer;
    return printer.print (library);
}

std::string ModulesDefText::printWordList (const std::vector<uint16_t>& words, bool inDictionary)
{
    std::string text;

    for (const auto& item : itemTexts (words, inDictionary))
    {
        if (! text.empty())
            text += ' ';

        text += item;
    }

    return text;
}

std::vector<uint16_t> ModulesDefText::parseWordList (const std::string& items, bool inDictionary)
{
    std::vector<uint16_t> words;
    std::istringstream lines (items);
    std::string line;
    int lineNumber = 0;

    while (std::getline (lines, line))
    {
        ++lineNumber;
        LineCursor cursor (tokenize (line, lineNumber), lineNumber);
        readWordItems (cursor, words, inDictionary);
    }

    return words;
}

std::string ModulesDefText::quote (const std::string& bytes)
{
    std::string result = "\"";

    for (const char c : bytes)
    {
        const auto byte = static_cast<uint8_t> (c);

        if (c == '"' || c == '\\')
        {
            result += '\\';
            result += c;
        }
        else if (byte >= 0x20 && byte < 0x7F)
        {
            result += c;
        }
        else
        {
            char escape[8];
            std::snprintf (escape, sizeof (escape), "\\x%02X", byte);
            result += escape;
        }
    }

    return result + "\"";
}
} // namespace modulesdef
