#include "generator/NrpnListFile.h"

#include "generator/BuildProjectFile.h"
#include "generator/SourceFiles.h"
#include "model/Design.h"

juce::String NrpnListFile::makeText (Design& design)
{
    juce::String text (header);
    const auto* library = design.getLibrary();

    if (library == nullptr)
        return text;

    for (int i = 0; i < design.getNumDsps(); ++i)
    {
        auto& slot = *design.getDsp (i);
        BuildProjectFile generator (slot.getGraph(), design.getSettings());
        generator.writeNrpnListRows (*library, slot.getDspId(), text);
    }

    return text;
}

bool NrpnListFile::write (Design& design, const juce::File& file)
{
    return writeTextToFile (makeText (design), file, false);
}
