#include "model/XmlShapeCheck.h"

#include <cstring>
#include <string_view>
#include <unordered_set>

namespace
{
using Cursor = juce::String::CharPointerType;
using juce::juce_wchar;

Cursor findEndOfName (Cursor p) noexcept
{
    while (XmlShapeCheck::isParserNameCharacter (*p))
        ++p;

    return p;
}

bool startsWith (Cursor p, const char* text) noexcept
{
    return p.compareUpTo (juce::CharPointer_ASCII (text), (int) std::strlen (text)) == 0;
}

// Each step below does what the parser's step of the same purpose does to
// its read position, so that both reach the same places in the text; where
// the parser would misbehave, the walk stops with the reason instead.
class ShapeWalk
{
public:
    ShapeWalk (const juce::String& text, XmlShapeCheck::Limits limitsToUse)
        : input (text.getCharPointer()), textStart (text.toRawUTF8()), limits (limitsToUse),
          copyingAllowed (limits.valueCopyingPerByte * (juce::int64) text.getNumBytesAsUTF8() + limits.valueCopyingAllowance)
    {
    }

    juce::String run()
    {
        if (readFirstTag() != Tag::openedContent)
            return problem;

        // The depth of the element whose content is being read; the parser
        // recurses once per level.
        for (int depth = 1; depth > 0 && problem.isEmpty();)
        {
            const auto step = readContentItem();

            if ((step == Tag::openedContent || step == Tag::element) && depth + 1 > limits.nesting)
                return "its elements nest more than " + juce::String (limits.nesting) + " levels deep";

            if (step == Tag::openedContent)
                ++depth;
            else if (step == Tag::endedContent)
                --depth;
        }

        return problem;
    }

    // Reads up to the end of the first element's start tag, noting where it
    // stands.
    XmlShapeCheck::FirstTag findFirstTag()
    {
        const auto tag = readFirstTag();
        firstTag.end = tag == Tag::element || tag == Tag::openedContent ? offsetOf (input) : -1;
        return firstTag;
    }

private:
    enum class Tag
    {
        none,          // no element here
        element,       // an element without content, or one the parser gave up on
        openedContent, // a start tag whose content follows
        endedContent,  // the content being read ends here
        other          // text or a CDATA section
    };

    int offsetOf (Cursor p) const noexcept { return (int) (p.getAddress() - textStart); }

    Tag readFirstTag()
    {
        if (input.isEmpty())
            return Tag::none;

        skipSpaceCommentsAndInstructions();

        if (startsWith (input, "<?xml"))
        {
            const auto end = juce::CharacterFunctions::find (input, juce::CharPointer_ASCII ("?>"));

            if (end.isEmpty())
                return Tag::none;

            input = end + 2;
            skipSpaceCommentsAndInstructions();
        }

        if (! outOfData && *input == '<')
            firstTag.started = true;

        if (startsWith (input, "<!DOCTYPE"))
        {
            refuse ("it holds a document type declaration");
            return Tag::none;
        }

        const auto tag = readStartTag();

        // A tag the parser gave up on ends where it stopped reading.
        if (tag == Tag::element && ! startsWith (input - 1, ">"))
            return Tag::none;

        return tag;
    }

    juce_wchar readNextCharacter() noexcept
    {
        const auto c = input.getAndAdvance();

        if (c == 0)
        {
            outOfData = true;
            --input;
        }

        return c;
    }

    bool skipPast (const char* end) noexcept
    {
        const auto found = input.indexOf (juce::CharPointer_ASCII (end));

        if (found < 0)
            return false;

        input += found + (int) std::strlen (end);
        return true;
    }

    void skipSpaceCommentsAndInstructions() noexcept
    {
        for (;;)
        {
            input.incrementToEndOfWhitespace();

            if (input.isEmpty())
            {
                outOfData = true;
                return;
            }

            if (*input != '<' || ! (input[1] == '?' || (input[1] == '!' && input[2] == '-' && input[3] == '-')))
                return;

            const bool comment = input[1] == '!';
            input += comment ? 4 : 2;

            if (! skipPast (comment ? "-->" : "?>"))
            {
                outOfData = true;
                return;
            }
        }
    }

    // A reference after "&": the five of XML (in any case, as the parser
    // takes them) and well-formed numeric ones pass; the parser expands any
    // other from the text itself, and reads past the text's end after a
    // numeric one that is cut short.
    bool readEntity()
    {
        ++input;

        for (auto* name : { "amp;", "quot;", "apos;", "lt;", "gt;" })
        {
            const auto length = (int) std::strlen (name);

            if (input.compareIgnoreCaseUpTo (juce::CharPointer_ASCII (name), length) == 0)
            {
                input += length;
                return true;
            }
        }

        if (*input == '#')
        {
            ++input;
            const bool hex = *input == 'x' || *input == 'X';

            if (hex)
                ++input;

            int digits = 0;

            for (; *input != ';'; ++input, ++digits)
            {
                const auto value = juce::CharacterFunctions::getHexDigitValue (*input);

                if (value < 0 || (! hex && value > 9) || digits >= (hex ? 8 : 12))
                    return refuse ("it holds a character reference that is cut short or too long");
            }

            if (digits > 0)
            {
                ++input;
                return true;
            }

            return refuse ("it holds a character reference without digits");
        }

        return refuse ("it holds an entity reference other than those of XML");
    }

    // The parser appends each reference and each run of text to the value,
    // which copies the value so far.
    bool append (juce::int64 bytes, juce::int64& valueBytes)
    {
        valueBytes += bytes;
        copied += valueBytes;

        if (copied > copyingAllowed)
            return refuse ("it holds attribute values of too many references to be read in time");

        return true;
    }

    bool readQuotedString()
    {
        const auto quote = readNextCharacter();
        juce::int64 valueBytes = 0;

        while (! outOfData)
        {
            const auto c = readNextCharacter();

            if (c == quote)
                break;

            --input;

            if (c == '&')
            {
                // A reference gives one character, of at most four bytes.
                if (! readEntity() || ! append (4, valueBytes))
                    return false;

                continue;
            }

            const auto start = input;

            for (;;)
            {
                const auto character = *input;

                if (character == quote)
                {
                    const auto appended = append (offsetOf (input) - offsetOf (start), valueBytes);
                    ++input;
                    return appended;
                }

                if (character == '&')
                    break;

                if (character == 0)
                {
                    outOfData = true;
                    break;
                }

                ++input;
            }

            if (! append (offsetOf (input) - offsetOf (start), valueBytes))
                return false;
        }

        return true;
    }

    bool addAttributeName (Cursor start, Cursor end)
    {
        names.insert (std::string_view (start.getAddress(), (size_t) (end.getAddress() - start.getAddress())));

        if ((int) names.size() > limits.attributeNames)
            return refuse ("it holds more than " + juce::String (limits.attributeNames) + " different attribute names");

        return true;
    }

    Tag readStartTag()
    {
        skipSpaceCommentsAndInstructions();

        if (outOfData || *input != '<')
            return Tag::none;

        ++input;
        auto end = findEndOfName (input);

        if (end == input)
        {
            skipSpaceCommentsAndInstructions();
            end = findEndOfName (input);

            if (end == input)
                return Tag::none;
        }

        input = end;

        for (;;)
        {
            skipSpaceCommentsAndInstructions();
            const auto c = *input;

            if (c == '/' && input[1] == '>')
            {
                input += 2;
                return Tag::element;
            }

            if (c == '>')
            {
                ++input;
                return Tag::openedContent;
            }

            if (! XmlShapeCheck::isParserNameCharacter (c))
                return Tag::element;

            const auto nameStart = input;
            const auto nameEnd = findEndOfName (input);
            input = nameEnd;
            skipSpaceCommentsAndInstructions();

            if (readNextCharacter() != '=')
                return Tag::element;

            skipSpaceCommentsAndInstructions();

            if (*input != '"' && *input != '\'')
                return Tag::element;

            if (! addAttributeName (nameStart, nameEnd) || ! readQuotedString())
                return Tag::none;
        }
    }

    // One step of an element's content: its end tag, a CDATA section, a
    // child element or a run of text.
    Tag readContentItem()
    {
        const auto beforeSpace = input;
        skipSpaceCommentsAndInstructions();

        if (outOfData)
            return Tag::endedContent;

        if (*input == '<')
        {
            // A file cut short inside an end tag: the parser takes it for
            // whole, every element still open ending there.
            if (input[1] == '/')
            {
                if (! skipPast (">"))
                    refuse ("it ends inside an end tag");

                return Tag::endedContent;
            }

            if (input[1] == '!' && startsWith (input + 2, "[CDATA["))
            {
                input += 9;

                if (! skipPast ("]]>"))
                    outOfData = true;

                return Tag::other;
            }

            const auto tag = readStartTag();
            return tag == Tag::none ? Tag::endedContent : tag;
        }

        // The parser reads text from before the space it skipped: when the
        // text stops short of where the skip reached, it skips and goes back
        // to the same place for ever.
        const auto skipped = input;
        input = beforeSpace;

        if (! readText())
            return Tag::endedContent;

        if (input.getAddress() < skipped.getAddress())
            refuse ("it holds text after an instruction");

        return Tag::other;
    }

    // False when the content ends (the text runs out) or the text is refused.
    bool readText()
    {
        for (;;)
        {
            const auto c = *input;

            if (c == 0)
            {
                outOfData = true;
                return false;
            }

            if (c == '<')
            {
                if (! (input[1] == '!' && input[2] == '-' && input[3] == '-'))
                    return true;

                input += 4;

                if (! skipPast ("-->"))
                {
                    outOfData = true;
                    return false;
                }

                continue;
            }

            if (c == '&')
            {
                if (! readEntity())
                    return false;

                continue;
            }

            ++input;
        }
    }

    bool refuse (const juce::String& reason)
    {
        if (problem.isEmpty())
            problem = reason;

        return false;
    }

    Cursor input;
    const char* const textStart;
    const XmlShapeCheck::Limits limits;
    const juce::int64 copyingAllowed;
    juce::int64 copied = 0;
    XmlShapeCheck::FirstTag firstTag;
    bool outOfData = false;
    std::unordered_set<std::string_view> names;
    juce::String problem;
};
} // namespace

bool XmlShapeCheck::isParserNameCharacter (juce::juce_wchar c) noexcept
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == ':' ||
               c == '.';

    return c >= 0xA0 && juce::CharacterFunctions::isLetterOrDigit (c);
}

juce::String XmlShapeCheck::findProblem (const juce::String& text)
{
    return findProblem (text, Limits());
}

juce::String XmlShapeCheck::findProblem (const juce::String& text, Limits limits)
{
    return ShapeWalk (text, limits).run();
}

XmlShapeCheck::FirstTag XmlShapeCheck::findFirstTag (const juce::String& text)
{
    return ShapeWalk (text, Limits()).findFirstTag();
}
