#pragma once

#include <juce_core/juce_core.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

// What the fuzz targets share: a scratch folder of their own process for the
// files the readers take, and a way to stop with a message that libFuzzer
// keeps with the input that caused it.
namespace FuzzSupport
{
// A folder in the system's temporary folder, made on first use and removed
// when the process ends normally.
inline const juce::File& scratchFolder()
{
    struct Folder
    {
        juce::File file = juce::File::getSpecialLocation (juce::File::tempDirectory)
                              .getChildFile ("vx-fuzz-" + juce::String ((int) ::getpid()));

        Folder()
        {
            file.deleteRecursively();
            file.createDirectory();
        }

        ~Folder() { file.deleteRecursively(); }
    };

    static const Folder folder;
    return folder.file;
}

inline juce::File writeScratchFile (const char* name, const uint8_t* data, size_t size)
{
    const auto file = scratchFolder().getChildFile (name);

    if (! file.replaceWithData (data, size))
    {
        std::fprintf (stderr, "cannot write the scratch file %s\n", file.getFullPathName().toRawUTF8());
        std::abort();
    }

    return file;
}

// JUCE reports a failed assertion as a log line. One in JUCE's own sources
// (its XML parser accepts attribute names that its own check refuses, for
// one) is JUCE's business and is dropped; one in our sources is a finding.
class AssertionLogger : public juce::Logger
{
public:
    AssertionLogger() { juce::Logger::setCurrentLogger (this); }
    ~AssertionLogger() override { juce::Logger::setCurrentLogger (nullptr); }

    void logMessage (const juce::String& message) override
    {
        const juce::String prefix ("JUCE Assertion failure in ");

        if (message.startsWith (prefix) && ! message.substring (prefix.length()).startsWith ("juce_"))
        {
            std::fprintf (stderr, "\n*** %s\n", message.toRawUTF8());
            std::abort();
        }
    }
};

inline AssertionLogger assertionLogger;

// A broken promise of the code under test: said, then a crash, so that
// libFuzzer keeps the input.
[[noreturn]] inline void fail (const juce::String& what)
{
    std::fprintf (stderr, "\n*** %s\n", what.toRawUTF8());
    std::abort();
}
} // namespace FuzzSupport
