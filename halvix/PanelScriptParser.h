#pragma once

#include "PanelModel.h"

#include <juce_core/juce_core.h>

#include <memory>
#include <vector>

// Reads a control-panel description into a PanelModel. The text is line
// based: a line ending in "\" continues on the next; "[title]" names the
// panel; "[CustomControl:name]" starts a program of a graphic control, which
// runs up to the title line and is not read here; every other line is a
// keyword, a bracket (matched by depth, so "Ref=EQ.Filter[0].Type" stays
// inside) and, after "=", a message or a definition. Keywords and attribute
// keys are read without regard to letter case; "@Name" takes the attributes
// of the options "Name".
//
// Problems never stop the reading: a line that cannot be read is reported
// and left out. Only a text without a title gives no panel.
class PanelScriptParser
{
public:
    struct Result
    {
        std::unique_ptr<PanelModel> model; // none when the text gives no panel
        juce::StringArray errors;          // lines left out
        juce::StringArray warnings;        // lines read in part, or not understood
    };

    static Result parse (const juce::String& text);

    // The items of a bracket's content, split at the commas outside brackets
    // and parentheses.
    static juce::StringArray splitItems (const juce::String& content);

    // The position of the bracket closing the one at `open`, or -1.
    static int findClosingBracket (const juce::String& line, int open);

private:
    struct Line
    {
        int number = 0;
        juce::String text;
    };

    explicit PanelScriptParser (Result& target) : result (target) {}

    static std::vector<Line> joinLines (const juce::String& text);
    void collectOptions (const std::vector<Line>& lines);
    void readLine (const Line& line);
    void readBracketLine (const Line& line, const juce::String& keyword, const juce::String& content, const juce::String& rest);
    void readControl (const Line& line, PanelControl::Kind kind, const juce::String& keyword, const juce::String& content,
                      const juce::String& rest);
    void readBuffer (const Line& line, const juce::String& content, const juce::String& rest);
    void readReceivePattern (const Line& line, const juce::String& rest);
    void applyItems (PanelControl& control, const juce::StringArray& items, int firstItem, const Line& line, int depth);
    void addItem (std::unique_ptr<PanelControl> item, const Line& line);
    PanelBox& getOpenBox();
    void error (const Line& line, const juce::String& text);
    void warning (const Line& line, const juce::String& text);

    Result& result;
    std::map<juce::String, juce::String> options;
    int openBox = -1;
    bool inProgram = false;
    bool full = false;
};
