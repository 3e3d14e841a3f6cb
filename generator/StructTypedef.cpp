#include "generator/StructTypedef.h"

#include "generator/SourceStream.h"
#include "generator/SourceWriter.h"

StructTypedef::StructTypedef (const juce::String& type, const juce::String& instance) : typeName (type), instanceName (instance)
{
}

void StructTypedef::addMember (const juce::String& name, int widthCode, const juce::String& comment)
{
    members.push_back ({ name.isEmpty() ? "parameter" + juce::String (memberCounter) : name, widthCode == 2 ? "DWORD" : "WORD",
                         "// " + comment });
    ++memberCounter;
}

void StructTypedef::write (SourceStream& stream) const
{
    auto& writer = stream.getWriter();

    stream.write ("typedef struct " + typeName);
    writer.openBlock (0, true);

    for (size_t i = 0; i < members.size(); ++i)
    {
        const auto& member = members[i];
        stream.write (member.type + " " + member.name + "; " + member.comment);

        if (i + 1 < members.size())
            stream.newLine();
    }

    writer.closeBlock (0, true, false, false);
    stream.write (" " + instanceName + ";");
    stream.newLine();
}
