#include "app/VARENTIXApplication.h"

#include <cstdio>
#include <cstdlib>

// Without a display JUCE's window system cannot start at all, so the program
// says so before handing over to JUCE.
int main (int argc, char* argv[])
{
    const char* display = std::getenv ("DISPLAY");

    if (display == nullptr || *display == '\0')
    {
        std::fprintf (stderr, "OSTRANE Quellion needs a graphical display; DISPLAY is not set.\n");
        return 1;
    }

    juce::JUCEApplicationBase::createInstance = []() -> juce::JUCEApplicationBase* { return new VARENTIXApplication(); };
    return juce::JUCEApplicationBase::main (argc, (const char**) argv);
}
