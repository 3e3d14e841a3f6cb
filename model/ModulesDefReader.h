#pragma once

#include "model/ModuleLibrary.h"

#include <juce_core/juce_core.h>

#include <memory>
#include <string>
#include <vector>

// Reads "Modules.def", the binary description of the SDK's firmware modules,
// into a ModuleLibrary. The content stands between the opening marker
// "$ZOVOZ" and the closing marker "ZOVOZ$" (the last one in the file); the
// word after the closing marker counts the words of the frame, and the word
// after the opening marker is the chip's DSP capacity. Keyword sections
// ("@VER", "@MOD", "@SPS", ...) follow, and anything between them is skipped.
//
// Nothing in the file is trusted: a damaged or truncated file makes parse()
// return -1, never read outside the file's bytes.
class ModulesDefReader
{
public:
    static constexpr int minimumVersion = 68;
    static constexpr int maxKeywords = 32;
    // The frame holds at most 65,535 words; a file far larger is no such file.
    static constexpr juce::int64 largestFile = 16 * 1024 * 1024;

    // Positions of the keywords, in their registration order.
    enum Keyword
    {
        closingMarker = 0,
        versionSection,
        spsSection,
        pcsSection,
        pSection,
        moduleSection,
        dspSection,
        dictionarySection,
        cdsSection,
        busSection,
        openingMarker,
        noKeyword = -1
    };

    ModulesDefReader();
    ~ModulesDefReader();

    // Closes a file already open and reads the file at the path; true when
    // it is a regular file no larger than largestFile.
    bool open (const juce::File& file);
    // Reads from a stream of our own choosing (tests hand in memory).
    void open (std::unique_ptr<juce::InputStream> stream);
    void close();
    bool isOpen() const noexcept { return input != nullptr; }

    // Reads the frame and the sections into the library: the frame word (0 or
    // more) on success, -1 when the file is missing, damaged, truncated or
    // older than the minimum version. What was read before a failure stays.
    int parse();

    ModuleLibrary& getLibrary() noexcept { return *library; }
    const ModuleLibrary& getLibrary() const noexcept { return *library; }

    // The text shown when parse() fails, naming the version that was read.
    static juce::String getFailureMessage (int foundVersion);

    // A 33rd keyword is refused (false).
    bool addKeyword (const std::string& keyword);
    int getLongestKeywordLength() const noexcept { return longestKeyword; }

    // The primitive reads of the section fields; false when the data ends first.
    bool readWord (uint16_t& value);
    bool readByte (uint8_t& value);
    bool readName (std::string& value);

private:
    struct EndOfData
    {
    };

    std::unique_ptr<juce::InputStream> input;
    std::unique_ptr<ModuleLibrary> library;
    std::vector<std::string> keywords;
    int longestKeyword = 0;

    // The bytes between the DSP capacity word and the end of the closing marker.
    std::vector<uint8_t> content;
    size_t readPosition = 0;

    // The module that "@SPS", "@PCS" and function records attach to; none
    // before the first "@MOD" and after a module the full table refused.
    ModuleDefinition* currentModule = nullptr;

    bool findFrame();
    int64_t findLastClosingMarker();
    bool readAt (int64_t position, void* dest, size_t bytes);

    Keyword findNextKeyword();
    Keyword keywordAt (size_t position) const;
    bool nextBytesAre (const std::string& keyword) const;

    uint16_t word();
    uint8_t byte();
    std::string text();
    std::vector<uint8_t> bytes (size_t count);
    ParameterWordList wordList();

    void readSection (Keyword keyword);
    void readModule();
    void readProcesses (bool fromSps);
    std::unique_ptr<ProcessDefinition> readProcess (bool fromSps, int& functionNumber);
    std::unique_ptr<LibraryFunctionDefinition> readFunction (int kind);
    void readDsp();
    void readDictionary();
    void readBusMasks();
};
