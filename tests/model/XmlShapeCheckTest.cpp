#include "model/XmlShapeCheck.h"
#include "model/XmlFileAccess.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace
{
juce::String nested (int depth)
{
    return juce::String::repeatedString ("<a>", depth) + juce::String::repeatedString ("</a>", depth);
}

juce::String withAttributeNames (int count)
{
    juce::String text ("<R");

    for (int i = 0; i < count; ++i)
        text << " n" << i << "=\"\"";

    return text + "/>";
}

// The depth of the deepest element and the attribute names of a tree.
void measure (const juce::XmlElement& element, int depth, int& deepest, std::set<juce::String>& names)
{
    deepest = std::max (deepest, depth);

    for (int i = 0; i < element.getNumAttributes(); ++i)
        names.insert (element.getAttributeName (i));

    for (auto* child : element.getChildIterator())
        if (! child->isTextElement())
            measure (*child, depth + 1, deepest, names);
}

// Texts as a damaged or hand-made file may hold them: elements closed by any
// end tag, markup inside values, comments and CDATA, references, stray
// brackets and quotes in text.
class TextMaker
{
public:
    explicit TextMaker (unsigned seed) : random (seed) {}

    juce::String element (int depth)
    {
        juce::String text = "<" + pick ({ "a", "b", "c" });

        for (int i = pickNumber (3); --i >= 0;)
            text << " " << pick ({ "x", "y", "z", "w", "v" }) << "=" << value();

        if (depth > 5 || pickNumber (4) == 0)
            return text + pick ({ "/>", " />" });

        text << ">";

        for (int i = pickNumber (4); --i >= 0;)
            text << (pickNumber (2) == 0 ? element (depth + 1) : content());

        return text + "</" + pick ({ "a", "b", "c", "other", "" }) + ">";
    }

private:
    juce::String value()
    {
        const auto quote = pick ({ "\"", "'" });
        return quote + pick ({ "1", "<a><b>", "/>", "&amp;&#65;", "a > b", quote == "\"" ? "'" : "\"", "&lt;c&gt;" }) + quote;
    }

    juce::String content()
    {
        return pick ({ "text", " a > b ", "/>", "&lt;d&gt;", "<!-- <e><e> -->", "<![CDATA[<f><f>]]>", "\"'", "&#x41;", " " });
    }

    juce::String pick (std::initializer_list<const char*> choices)
    {
        return *(choices.begin() + pickNumber ((int) choices.size()));
    }

    int pickNumber (int count) { return std::uniform_int_distribution<int> (0, count - 1) (random); }

    std::mt19937 random;
};
} // namespace

TEST (XmlShapeCheckTest, WhatWouldCrashHangOrSlowTheParserIsRefusedBeforeParsing)
{
    struct Case
    {
        juce::String text;
        const char* reason;
    };

    const Case refused[] = {
        { "<R>" + nested (64) + "</R>", "nest more than 64 levels" },
        { "<R>" + nested (2000) + "</R>", "nest more than 64 levels" },
        { withAttributeNames (8193), "more than 8192 different attribute names" },
        { "<!DOCTYPE R [<!ENTITY e \"<a><a>&e;</a></a>\">]><R>&e;</R>", "document type declaration" },
        { "<R>&e;</R>", "entity reference other than" },
        { "<R x=\"&<a><a>;\"/>", "entity reference other than" },
        { "<R>" + juce::String::repeatedString ("& ", 1000) + "</R>", "entity reference other than" },
        { "<R>&#x", "cut short" },
        { "<R>&#12a;</R>", "cut short" },
        { "<R>&#x123456789;</R>", "too long" },
        { "<R>&#;</R>", "without digits" },
        { "<R><?x?>y</R>", "text after an instruction" },
        { "<R><a>text</a", "ends inside an end tag" },
        // The parser appends each reference to the value so far.
        { "<R a=\"" + juce::String::repeatedString ("&amp;", 200000) + "\"/>", "too many references" },
        { "<R a=\"" + juce::String::repeatedString ("x&#10;", 2000000) + "\"/>", "too many references" },
    };

    for (auto& c : refused)
    {
        EXPECT_TRUE (XmlShapeCheck::findProblem (c.text).contains (c.reason)) << c.text.substring (0, 80);

        auto loaded = XmlFileAccess::parse (c.text, "R");
        EXPECT_EQ (loaded.root, nullptr);
        EXPECT_TRUE (loaded.result.failed());
    }

    const juce::String accepted[] = {
        juce::File (VX_SOURCE_DIR).getChildFile ("tests/model/golden/sample.zqp").loadFileAsString(),
        "<R>" + nested (63) + "</R>",
        withAttributeNames (8192),
        "<R a=\"&amp;&LT;&#65;&#x41;\" b='<c/>'>x &gt; y<!-- & <d> --><![CDATA[& <e>]]></R>",
        // Characters beyond ASCII are written as references: a path of them,
        // and many values of them.
        "<R a=\"" + juce::String::repeatedString ("&#12354;", 4096) + "\"/>",
        "<R>" + juce::String::repeatedString ("<a b=\"" + juce::String::repeatedString ("&#1046;", 40) + "\"/>", 3000) + "</R>",
    };

    for (auto& text : accepted)
    {
        EXPECT_EQ (XmlShapeCheck::findProblem (text), juce::String()) << text.substring (0, 80);
        EXPECT_NE (XmlFileAccess::parse (text, "R").result.getErrorMessage(), "its elements nest more than 64 levels deep");
    }
}

// The check follows the parser: over texts the parser reads, it refuses
// exactly those whose tree is deeper, or holds more names, than the limits.
TEST (XmlShapeCheckTest, RefusesExactlyWhatTheParserWouldReadTooDeepOrWithTooManyNames)
{
    TextMaker maker (20240611);
    const XmlShapeCheck::Limits limits{ 3, 3 };
    int parsed = 0, refusedForDepth = 0, refusedForNames = 0;

    for (int i = 0; i < 3000; ++i)
    {
        const auto text = maker.element (1);
        auto tree = juce::parseXML (text);

        if (tree == nullptr)
            continue;

        ++parsed;
        int deepest = 0;
        std::set<juce::String> names;
        measure (*tree, 1, deepest, names);

        const auto problem = XmlShapeCheck::findProblem (text, limits);
        const bool tooDeep = problem.contains ("nest");
        const bool tooManyNames = problem.contains ("attribute names");
        refusedForDepth += tooDeep ? 1 : 0;
        refusedForNames += tooManyNames ? 1 : 0;

        // Names are counted up to the first element too deep, and the other
        // way round, so one reason may stand for both.
        EXPECT_EQ (problem.isNotEmpty(), deepest > limits.nesting || (int) names.size() > limits.attributeNames) << text;
        EXPECT_TRUE (! tooDeep || deepest > limits.nesting) << text;
        EXPECT_TRUE (! tooManyNames || (int) names.size() > limits.attributeNames) << text;
    }

    // The texts reach both limits often and stay within them often.
    EXPECT_GT (parsed, 1000);
    EXPECT_GT (refusedForDepth, 100);
    EXPECT_GT (refusedForNames, 100);
    EXPECT_GT (parsed - refusedForDepth - refusedForNames, 100);
}
