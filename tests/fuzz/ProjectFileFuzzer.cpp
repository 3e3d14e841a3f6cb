// libFuzzer target: any bytes as a project file (".zqp"), read against the
// sample module library. The reader refuses it or gives a checked content;
// that content, made the open design, writes a file that reads back into the
// same design and writes the same text again.

#include "FuzzSupport.h"

#include "model/Design.h"
#include "model/ModulesDefReader.h"
#include "model/ProjectFile.h"
#include "modulesdef/ModulesDefBuilder.h"
#include "modulesdef/ModulesDefText.h"

namespace
{
const ModuleLibrary& sampleLibrary()
{
    static const auto reader = []
    {
        const auto text = juce::File (VX_SOURCE_DIR).getChildFile ("resources/SampleModules.txt").loadFileAsString();
        const auto bytes = modulesdef::ModulesDefBuilder::build (modulesdef::ModulesDefText::parse (text.toStdString()));
        auto r = std::make_unique<ModulesDefReader>();
        r->open (std::make_unique<juce::MemoryInputStream> (bytes.data(), bytes.size(), true));

        if (r->parse() < 0)
            FuzzSupport::fail ("the sample library does not read");

        r->getLibrary().clearDsps();
        return r;
    }();

    return reader->getLibrary();
}

// The text a design writes, installed into a design of its own first.
juce::String installAndWrite (const ProjectFileContent& content, ModuleLibrary& library)
{
    library.clearDsps();
    Design design;
    design.setLibrary (&library);
    content.installInto (design);

    const ProjectFileWriter::Options options{ 800, 600 };
    return ProjectFile::createXml (design, options)->toString();
}

juce::String firstDifference (const juce::String& a, const juce::String& b)
{
    const auto linesA = juce::StringArray::fromLines (a);
    const auto linesB = juce::StringArray::fromLines (b);

    for (int i = 0; i < std::max (linesA.size(), linesB.size()); ++i)
        if (linesA[i] != linesB[i])
            return "line " + juce::String (i + 1) + "\n" + linesA.joinIntoString ("\n", i - 3, 14) + "\n----\n" +
                   linesB.joinIntoString ("\n", i - 3, 6);

    return {};
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& library = const_cast<ModuleLibrary&> (sampleLibrary());
    // As a file's bytes become text when it is opened; the reader's own
    // guard against text that is no UTF-8 is fuzzed through the preset files.
    const auto text = juce::String::createStringFromData (data, (int) size);

    auto loaded = ProjectFile::parse (text, library);

    if (loaded.content == nullptr)
        return 0;

    const auto written = installAndWrite (*loaded.content, library);
    auto reread = ProjectFile::parse (written, library);

    if (reread.content == nullptr)
        FuzzSupport::fail ("the design read could not be read again once written: " + reread.result.getErrorMessage());

    const auto again = installAndWrite (*reread.content, library);

    if (again != written)
        FuzzSupport::fail ("the design read changed between two writes, first at:\n" + firstDifference (written, again));

    return 0;
}
