#include "generator/NrpnListFile.h"

#include "generator/BuildProjectFile.h"
#include "generator/SourceFiles.h"
#include "model/Design.h"

juce::String NrpnListFile::makeText (Design& design)
{
    // Rows go to a stream, which grows in proportion: a String would be
    // copied whole for every cell added.
    juce::MemoryOutputStream text;
    text << header;

    if (const auto* library = design.getLibrary())
    {
        for (int i = 0; i < design.getNumDsps(); ++i)
        {
            auto& slot = *design.getDsp (i);
            BuildProjectFile generator (slot.getGraph(), design.getSettings());
            generator.writeNrpnListRows (*library, slot.getDspId(), text);
        }
    }

    return text.toUTF8();
}

bool NrpnListFile::write (Design& design, const juce::File& file)
{
    return writeTextToFile (makeText (design), file, false);
}
