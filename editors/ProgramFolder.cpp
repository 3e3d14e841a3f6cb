#include "editors/ProgramFolder.h"

juce::File ProgramFolder::get()
{
    // On Linux this reads /proc/self/exe, the running executable itself.
    return juce::File::getSpecialLocation (juce::File::hostApplicationPath).getParentDirectory();
}

juce::File ProgramFolder::getFile (const juce::String& name)
{
    return get().getChildFile (name);
}
