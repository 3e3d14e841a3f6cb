#include "model/XmlFileAccess.h"

#include "model/FileReplacement.h"
#include "model/RegularFileReader.h"
#include "model/XmlShapeCheck.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

namespace
{
// The characters of XML names (XML 1.0, "NameStartChar" and "NameChar").
bool isNameStartCharacter (juce::juce_wchar c) noexcept
{
    return c == ':' || c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
           (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) ||
           (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameCharacter (juce::juce_wchar c) noexcept
{
    return isNameStartCharacter (c) || c == '-' || c == '.' || c == 0xB7 || (c >= '0' && c <= '9') ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// The element names of the project and preset files. Names are
// case-sensitive in them, while JUCE finds an element by its name in any
// case (and stops a debug build at one that differs in case only). An
// element named as one of these in another case is none of them: it is
// given a name that no reader asks for.
const char* const elementNames[] = { "OSTRANE_QUELLION_Configuration",
                                     "DSPs",
                                     "DSP",
                                     "ProcessConnections",
                                     "ProcessConnection",
                                     "Processes",
                                     "Process",
                                     "CommandList",
                                     "Commands",
                                     "ProcessPinLabels",
                                     "ProcessPinLabel",
                                     "DSPConnections",
                                     "DSPConnection",
                                     "PinLabels",
                                     "PinLabel",
                                     "ProjectSettings",
                                     "PRESETS",
                                     "PresetList",
                                     "Class",
                                     "CountGroup",
                                     "Preset",
                                     "Count",
                                     "Controls",
                                     "Lists",
                                     "List",
                                     "GLOBAL_PRESETS",
                                     "DSPDefinition" };

// A name told apart from others cheaply: two names that differ in case only
// have as many characters and the same first one in capitals. A file may
// hold millions of elements, each compared with every name.
struct KnownName
{
    explicit KnownName (const juce::String& text)
        : name (text), length (text.length()), first (juce::CharacterFunctions::toUpperCase (text[0]))
    {
    }

    juce::String name;
    int length;
    juce::juce_wchar first;
};

const std::vector<KnownName>& getElementNames()
{
    static const std::vector<KnownName> names (std::begin (elementNames), std::end (elementNames));
    return names;
}

// The shape check has bounded the depth.
void setMiscasedNamesApart (juce::XmlElement& element, const KnownName& root, const std::vector<KnownName>& names)
{
    const auto& name = element.getTagName();
    const auto length = name.length();
    const auto first = juce::CharacterFunctions::toUpperCase (name[0]);

    auto differsInCaseOnly = [&] (const KnownName& known)
    { return known.length == length && known.first == first && name != known.name && name.equalsIgnoreCase (known.name); };

    if (differsInCaseOnly (root) || std::any_of (names.begin(), names.end(), differsInCaseOnly))
        element.setTagName (name + "-");

    for (auto* child : element.getChildIterator())
        setMiscasedNamesApart (*child, root, names);
}

const char* const notUtf8 = "it is not UTF-8 text";

// JUCE's reader of the settings reads the root's start tag first from this
// many bytes alone.
constexpr int juceFirstReadBytes = 8192;

XmlFileAccess::Loaded failure (const juce::String& reason)
{
    XmlFileAccess::Loaded loaded;
    loaded.result = juce::Result::fail (reason);
    return loaded;
}

// The file's bytes; none when nothing stands under its name or it could not
// be read, which the result then tells.
std::optional<juce::MemoryBlock> readFile (const juce::File& file, juce::int64 largestFile, juce::Result& result)
{
    auto read = RegularFileReader::read (file, largestFile);
    result = read.result;

    if (! read.exists || read.result.failed())
        return std::nullopt;

    return std::move (read.data);
}

using Cursor = juce::String::CharPointerType;

void skipPast (Cursor& p, const char* end)
{
    const auto length = (int) std::strlen (end);

    while (! p.isEmpty() && p.compareUpTo (juce::CharPointer_ASCII (end), length) != 0)
        ++p;

    for (int i = 0; i < length && ! p.isEmpty(); ++i)
        ++p;
}

// Reads the name the parser would read at p; false when XML does not allow it.
bool readName (Cursor& p)
{
    bool valid = isNameStartCharacter (*p);

    while (XmlShapeCheck::isParserNameCharacter (*p))
    {
        valid = valid && isNameCharacter (*p);
        ++p;
    }

    return valid;
}
} // namespace

bool XmlFileAccess::holdsInvalidName (const juce::String& text)
{
    auto p = text.getCharPointer();

    while (! p.isEmpty())
    {
        if (*p != '<')
        {
            ++p;
            continue;
        }

        ++p;

        if (p.compareUpTo (juce::CharPointer_ASCII ("!--"), 3) == 0)
            skipPast (p, "-->");
        else if (p.compareUpTo (juce::CharPointer_ASCII ("![CDATA["), 8) == 0)
            skipPast (p, "]]>");
        else if (*p == '?')
            skipPast (p, "?>");
        else if (*p == '!' || *p == '/')
            skipPast (p, ">");
        else
        {
            // A start tag: its name, then its attributes' names, their
            // values skipped whole.
            p = p.findEndOfWhitespace();

            if (XmlShapeCheck::isParserNameCharacter (*p) && ! readName (p))
                return true;

            while (! p.isEmpty() && *p != '>' && *p != '<')
            {
                const auto c = *p;

                if (c == '"' || c == '\'')
                {
                    ++p;

                    while (! p.isEmpty() && *p != c)
                        ++p;

                    if (! p.isEmpty())
                        ++p;
                }
                else if (XmlShapeCheck::isParserNameCharacter (c))
                {
                    if (! readName (p))
                        return true;
                }
                else
                {
                    ++p;
                }
            }
        }
    }

    return false;
}

bool XmlFileAccess::holdsStrayInstruction (const juce::String& text)
{
    // The one instruction our files hold is the declaration at the very
    // start. Searched in the bytes: "<" and "?" are never part of a longer
    // character.
    const std::string_view bytes (text.toRawUTF8());
    const auto start = (size_t) (text.getCharPointer().findEndOfWhitespace().getAddress() - text.toRawUTF8());
    size_t from = 0;

    if (bytes.compare (start, 5, "<?xml") == 0)
    {
        const auto end = bytes.find ("?>", start);

        if (end == std::string_view::npos || bytes.substr (start + 1, end - start - 1).find ('<') != std::string_view::npos)
            return true;

        from = end + 2;
    }

    return bytes.find ("<?", from) != std::string_view::npos;
}

juce::String XmlFileAccess::findProblem (const juce::String& text)
{
    // JUCE's parser steps over the end of a text whose multi-byte characters
    // are cut short: only whole UTF-8 is parsed.
    if (! juce::CharPointer_UTF8::isValidString (text.toRawUTF8(), (int) text.getNumBytesAsUTF8()))
        return notUtf8;

    if (holdsStrayInstruction (text))
        return "it holds a processing instruction other than its XML declaration";

    if (holdsInvalidName (text))
        return "it holds a name that no XML file may hold";

    return XmlShapeCheck::findProblem (text);
}

XmlFileAccess::Loaded XmlFileAccess::parse (const juce::String& text, const juce::String& rootTag)
{
    if (const auto problem = findProblem (text); problem.isNotEmpty())
        return failure (problem);

    // Parsed from its text, so that no file named inside it is ever opened.
    juce::XmlDocument document (text);
    auto root = document.getDocumentElement();

    if (root == nullptr)
    {
        const auto error = document.getLastParseError();
        return failure (error.isNotEmpty() ? error : juce::String ("it holds no XML"));
    }

    setMiscasedNamesApart (*root, KnownName (rootTag), getElementNames());

    if (! root->hasTagName (rootTag))
        return failure ("its root element is \"" + root->getTagName() + "\", not \"" + rootTag + "\"");

    Loaded loaded;
    loaded.root = std::move (root);
    return loaded;
}

XmlFileAccess::Loaded XmlFileAccess::load (const juce::File& file, const juce::String& rootTag, juce::int64 largestFile)
{
    Loaded loaded;

    if (const auto data = readFile (file, largestFile, loaded.result))
        return parse (RegularFileReader::asText (*data), rootTag);

    return loaded;
}

XmlFileAccess::Loaded XmlFileAccess::loadForJuceReader (const juce::File& file, const juce::String& rootTag,
                                                        juce::int64 largestFile)
{
    Loaded loaded;
    const auto data = readFile (file, largestFile, loaded.result);

    if (! data.has_value())
        return loaded;

    // Other bytes JUCE's reader takes into characters otherwise than the
    // check (a byte that starts a longer character swallows what follows it,
    // markup and the end of the text included).
    if (! RegularFileReader::isUtf8 (*data))
        return failure (notUtf8);

    const auto text = RegularFileReader::asText (*data);

    // The first reading of a longer file stops at a byte count, perhaps
    // inside a character or a reference, where that reader reads past its
    // end; a root read whole there is never read up to the cut.
    if (data->getSize() > (size_t) juceFirstReadBytes)
    {
        const auto end = XmlShapeCheck::findFirstTag (text).end;

        if (end < 0 || RegularFileReader::getByteOrderMarkLength (*data) + end > juceFirstReadBytes)
            return failure ("its first tag does not end within its first " + juce::String (juceFirstReadBytes) + " bytes");
    }

    return parse (text, rootTag);
}

juce::Result XmlFileAccess::save (const juce::XmlElement& root, const juce::File& file, int lineWrapLength)
{
    if (! file.getParentDirectory().isDirectory())
        return juce::Result::fail ("the folder " + file.getParentDirectory().getFullPathName() + " does not exist");

    return FileReplacement::write (file,
                                   [&] (juce::OutputStream& out)
                                   {
                                       root.writeTo (out, getTextFormat (lineWrapLength));
                                       return true;
                                   });
}

juce::XmlElement::TextFormat XmlFileAccess::getTextFormat (int lineWrapLength)
{
    juce::XmlElement::TextFormat format;
    format.lineWrapLength = lineWrapLength;
    format.newLineChars = "\n";
    return format;
}
