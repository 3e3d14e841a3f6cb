// libFuzzer target: any bytes as "Modules.def". The reader must refuse them
// (-1) or read them, and whatever it read must be safe to walk: every item of
// every word list decoded, every lookup tried; and the one walk that tells
// whether a function has an index parameter must agree with the lookups one
// by one.

#include "FuzzSupport.h"

#include "model/ModulesDefReader.h"
#include "support/ModuleLibraryWalk.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    ModulesDefReader reader;
    reader.open (std::make_unique<juce::MemoryInputStream> (data, size, false));
    const int result = reader.parse();
    const auto& library = reader.getLibrary();

    // A success is the frame word; a failure is -1 and nothing else.
    if (result < -1 || (result >= 0 && result != library.frameWord))
        FuzzSupport::fail ("the reader returned " + juce::String (result) + " with the frame word " +
                           juce::String (library.frameWord));

    volatile int seen = ModuleLibraryWalk::walkLibrary (library);
    (void) seen;

    ModuleLibraryWalk::forEachFunction (library,
                                        [] (const LibraryFunctionDefinition& f)
                                        {
                                            if (f.hasIndexParameter() != ModuleLibraryWalk::findsIndexParameterOneByOne (f))
                                                FuzzSupport::fail ("the function " + juce::String (f.name) +
                                                                   " has an index parameter by one walk, not by the other");
                                        });
    return 0;
}
