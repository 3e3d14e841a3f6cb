#pragma once

#include <juce_core/juce_core.h>

// Follows a text the way JUCE's XML parser will read it, building nothing,
// and finds what would make that parser crash, hang or take far longer than
// the text's size warrants. Our files hold none of it:
// - elements nested deeper than a few levels (the parser recurses once per
//   level, and a text of some hundred kilobytes overflows the stack);
// - more distinct attribute names than any of our files holds (the parser
//   keeps every name in one sorted list, each new name costing the whole
//   list);
// - a document type declaration, and entity references other than the five
//   of XML and numeric character references (the parser expands entities
//   into elements of their own, and searches the rest of the text for a ";"
//   at every "&" without one);
// - text after an instruction, on which the parser never returns;
// - an end tag without its ">": a file cut short there, which the parser
//   takes for whole;
// - attribute values of more references than can be read in time: the
//   parser builds a value by appending each reference and each run of text
//   between them, copying the value so far at each.
// The walk takes time in proportion to the text and stops at the first such
// thing.
class XmlShapeCheck
{
public:
    struct Limits
    {
        // Our deepest file nests ten levels.
        int nesting = 64;
        // Our files use some hundred names (numbered control attributes, one
        // per command name of the module library); thousands more cost the
        // parser little, but each further thousand more than the last.
        int attributeNames = 8192;
        // The bytes the parser may copy while it builds attribute values,
        // per byte of text, beyond a fixed allowance (copying a gigabyte
        // takes it well under a second). Our writer writes every character
        // beyond ASCII as a reference: the allowance holds a value of twenty
        // thousand such characters, or many shorter ones.
        juce::int64 valueCopyingPerByte = 16;
        juce::int64 valueCopyingAllowance = juce::int64 (1) << 30;
    };

    // Where the parser reads the first element's start tag: whether it finds
    // its "<" (or a document type declaration's), and the byte offset into
    // the text's UTF-8 form of the byte after its ">", -1 when the parser
    // does not get there: there is no element, or the tag does not end whole.
    struct FirstTag
    {
        bool started = false;
        int end = -1;
    };

    // Why the parser must not be given the text, or an empty text when it may.
    static juce::String findProblem (const juce::String& text);
    static juce::String findProblem (const juce::String& text, Limits limits);

    static FirstTag findFirstTag (const juce::String& text);

    // The characters the parser takes into a tag or attribute name.
    static bool isParserNameCharacter (juce::juce_wchar c) noexcept;

private:
    XmlShapeCheck() = delete;
};
