#pragma once

#include <juce_core/juce_core.h>

#include <vector>

class SourceStream;

// A record type of a generated source, written as
//   typedef struct Type
//   {
//   	WORD name1; // comment
//   	DWORD name2; // comment
//   } Instance;
class StructTypedef
{
public:
    StructTypedef (const juce::String& typeName, const juce::String& instanceName);

    // An empty name becomes "parameter" and the member's number (counted from
    // 1); a width code of 2 makes a DWORD member, every other code a WORD.
    void addMember (const juce::String& name, int widthCode, const juce::String& comment);

    int getMemberCount() const noexcept { return (int) members.size(); }

    void write (SourceStream& stream) const;

private:
    struct Member
    {
        juce::String name, type, comment;
    };

    juce::String typeName, instanceName;
    int memberCounter = 1;
    std::vector<Member> members;
};
