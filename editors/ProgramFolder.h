#pragma once

#include <juce_core/juce_core.h>

// The folder of the running program, where "Modules.def", "Halvix.dll" and the
// help stand beside it. It is the executable's own folder, read from the
// system: JUCE's notion of the executable names the shared library that holds
// JUCE, which can lie elsewhere than the program.
class ProgramFolder
{
public:
    static juce::File get();

    // A file of the given name beside the program.
    static juce::File getFile (const juce::String& name);

private:
    ProgramFolder() = delete;
};
