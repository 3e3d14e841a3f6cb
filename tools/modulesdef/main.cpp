// modulesdef: builds a "Modules.def" from its readable description, and
// prints what the program's own reader makes of any "Modules.def".
//
//   modulesdef build <description.txt> <Modules.def>
//   modulesdef print <Modules.def>
//   modulesdef describe <description.txt>

#include "LibraryDescriber.h"
#include "ModulesDefBuilder.h"
#include "ModulesDefText.h"
#include "model/ModulesDefReader.h"

#include <juce_core/juce_core.h>

#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>

namespace
{
constexpr int exitFailure = 1;
constexpr int exitReadFailure = 2;

void printUsage (std::ostream& stream)
{
    stream << "usage:\n"
              "  modulesdef build <description.txt> <Modules.def>   write the file a description describes\n"
              "  modulesdef print <Modules.def>                     print what the program reads from a file\n"
              "  modulesdef describe <description.txt>              print a description in canonical form\n";
}

juce::File fileFromArgument (const char* path)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile (juce::String::fromUTF8 (path));
}

std::string readDescription (const juce::File& file)
{
    if (! file.existsAsFile())
        throw std::runtime_error ("cannot find " + file.getFullPathName().toStdString());

    juce::MemoryBlock bytes;

    if (! file.loadFileAsData (bytes))
        throw std::runtime_error ("cannot read " + file.getFullPathName().toStdString());

    return std::string (static_cast<const char*> (bytes.getData()), bytes.getSize());
}

// Writes beside the target and renames, so that the target is either the
// whole new file or left as it was.
void writeWhole (const juce::File& target, const std::vector<uint8_t>& bytes)
{
    juce::TemporaryFile temporary (target);

    {
        juce::FileOutputStream stream (temporary.getFile());

        if (stream.failedToOpen())
            throw std::runtime_error ("cannot write " + temporary.getFile().getFullPathName().toStdString());

        const bool written = stream.write (bytes.data(), bytes.size());
        stream.flush();

        if (! written || stream.getStatus().failed())
            throw std::runtime_error ("cannot write " + temporary.getFile().getFullPathName().toStdString()
                                      + ": " + stream.getStatus().getErrorMessage().toStdString());
    }

    if (! temporary.overwriteTargetFileWithTemporary())
        throw std::runtime_error ("cannot replace " + target.getFullPathName().toStdString());
}

int runBuild (const char* descriptionPath, const char* outputPath)
{
    const auto source = fileFromArgument (descriptionPath);
    const auto target = fileFromArgument (outputPath);

    std::string text;
    modulesdef::LibraryDescription library;

    try
    {
        text = readDescription (source);
        library = modulesdef::ModulesDefText::parse (text);
    }
    catch (const std::exception& e)
    {
        std::cerr << descriptionPath << ": " << e.what() << "\n";
        return exitFailure;
    }

    try
    {
        writeWhole (target, modulesdef::ModulesDefBuilder::build (library));
    }
    catch (const std::exception& e)
    {
        std::cerr << "modulesdef: " << e.what() << "\n";
        return exitFailure;
    }

    return 0;
}

int runDescribe (const char* descriptionPath)
{
    try
    {
        const auto library = modulesdef::ModulesDefText::parse (readDescription (fileFromArgument (descriptionPath)));
        std::cout << modulesdef::ModulesDefText::print (library);
    }
    catch (const std::exception& e)
    {
        std::cerr << descriptionPath << ": " << e.what() << "\n";
        return exitFailure;
    }

    return 0;
}

int runPrint (const char* filePath)
{
    const auto file = fileFromArgument (filePath);

    if (! file.existsAsFile())
    {
        std::cerr << "modulesdef: cannot find " << file.getFullPathName() << "\n";
        return exitFailure;
    }

    ModulesDefReader reader;

    if (! reader.open (file))
    {
        std::cerr << "modulesdef: cannot open " << file.getFullPathName() << "\n";
        return exitFailure;
    }

    const int result = reader.parse();
    reader.close();

    // What was read is printed even when the reading failed: it shows how far
    // the reader got.
    try
    {
        std::cout << modulesdef::ModulesDefText::print (modulesdef::describeLibrary (reader.getLibrary()));
    }
    catch (const std::exception& e)
    {
        std::cerr << "modulesdef: " << e.what() << "\n";
        return exitFailure;
    }

    if (result < 0)
    {
        std::cerr << filePath << ": the reader refused the file\n"
                  << ModulesDefReader::getFailureMessage (reader.getLibrary().formatVersion) << "\n";
        return exitReadFailure;
    }

    return 0;
}
} // namespace

int main (int argc, char* argv[])
{
    const std::string command = argc > 1 ? argv[1] : "";

    if (command == "build" && argc == 4)
        return runBuild (argv[2], argv[3]);

    if (command == "print" && argc == 3)
        return runPrint (argv[2]);

    if (command == "describe" && argc == 3)
        return runDescribe (argv[2]);

    if (command == "help" || command == "--help" || command == "-h")
    {
        printUsage (std::cout);
        return 0;
    }

    printUsage (std::cerr);
    return exitFailure;
}
