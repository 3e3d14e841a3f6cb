#include "model/ModulesDefReader.h"

#include "model/RegularFileReader.h"

#include <algorithm>
#include <cstring>

namespace
{
const char* const closingMarkerText = "ZOVOZ$";
const char* const openingMarkerText = "$ZOVOZ";
constexpr int markerLength = 6;

// The backward search for the closing marker reads blocks of this size,
// overlapping by the marker's length so that a marker across two blocks is found.
constexpr int64_t searchBlockSize = 4096;

uint32_t foldChannelWord (uint16_t v)
{
    // Bits 12-15 of a file's channel word are the flags of bits 28-31.
    return (uint32_t) (v & 0xF000) << 16 | (uint32_t) (v & 0x0FFF);
}

bool containsText (const std::string& s, const char* part)
{
    return s.find (part) != std::string::npos;
}
} // namespace

ModulesDefReader::ModulesDefReader() : library (std::make_unique<ModuleLibrary>())
{
    for (auto* k : { closingMarkerText, "@VER", "@SPS", "@PCS", "@P", "@MOD", "@DSP", "@DIC", "@CDS", "@BUS", openingMarkerText })
        addKeyword (k);
}

ModulesDefReader::~ModulesDefReader()
{
    library->freeAll();
}

bool ModulesDefReader::addKeyword (const std::string& keyword)
{
    if ((int) keywords.size() >= maxKeywords || keyword.empty())
        return false;

    keywords.push_back (keyword);
    longestKeyword = std::max (longestKeyword, (int) keyword.size() + 1);
    return true;
}

bool ModulesDefReader::open (const juce::File& file)
{
    close();

    // Read whole: a pipe or a device under the name would block or never end.
    auto read = RegularFileReader::read (file, largestFile);

    if (! read.exists || read.result.failed())
        return false;

    input = std::make_unique<juce::MemoryInputStream> (std::move (read.data));
    return true;
}

void ModulesDefReader::open (std::unique_ptr<juce::InputStream> stream)
{
    close();
    input = std::move (stream);
}

void ModulesDefReader::close()
{
    input.reset();
}

juce::String ModulesDefReader::getFailureMessage (int foundVersion)
{
    return "Modules.def missing or version mismatch please update.\n  - Expected version: " + juce::String (minimumVersion) +
           "\n  - Found: version " + juce::String (foundVersion);
}

//==============================================================================
bool ModulesDefReader::readAt (int64_t position, void* dest, size_t count)
{
    return position >= 0 && input->setPosition (position) && input->read (dest, (int) count) == (int) count;
}

int64_t ModulesDefReader::findLastClosingMarker()
{
    const int64_t total = input->getTotalLength();
    std::vector<char> block;
    int64_t end = total;

    while (end > 0)
    {
        const int64_t start = std::max<int64_t> (0, end - searchBlockSize);
        block.resize ((size_t) (end - start));

        if (! readAt (start, block.data(), block.size()))
            return -1;

        for (int64_t i = (int64_t) block.size() - markerLength; i >= 0; --i)
            if (std::memcmp (block.data() + i, closingMarkerText, markerLength) == 0)
                return start + i;

        if (start == 0)
            break;

        end = start + markerLength - 1;
    }

    return -1;
}

bool ModulesDefReader::findFrame()
{
    const int64_t total = input->getTotalLength();
    const int64_t closing = findLastClosingMarker();
    uint8_t frameWord[2];

    // The frame word must follow the closing marker.
    if (closing < 0 || closing + markerLength + 2 > total || ! readAt (closing + markerLength, frameWord, 2))
        return false;

    const int n = frameWord[0] | (frameWord[1] << 8);
    const int64_t start = closing + markerLength - 2 * (int64_t) n;

    // The opening marker and the capacity word stand exactly where the frame
    // word says, inside the file and before the closing marker.
    uint8_t head[markerLength + 2];

    if (start < 0 || start + markerLength + 2 > closing || ! readAt (start, head, sizeof (head)) ||
        std::memcmp (head, openingMarkerText, markerLength) != 0)
        return false;

    library->frameWord = n;
    library->framePosition = (int) (start - total);
    library->allocateBusMasks (head[markerLength] | (head[markerLength + 1] << 8));

    content.resize ((size_t) (closing + markerLength - (start + markerLength + 2)));
    readPosition = 0;
    return readAt (start + markerLength + 2, content.data(), content.size());
}

int ModulesDefReader::parse()
{
    library->frameWord = -1;
    content.clear();
    readPosition = 0;
    currentModule = nullptr;

    // Without a frame the capacity stays the default one and no mask table is
    // made, so that the chip chosen later can still size it.
    if (input == nullptr || ! findFrame())
    {
        library->frameWord = -1;
        return -1;
    }

    try
    {
        for (auto keyword = findNextKeyword(); keyword != noKeyword && keyword != closingMarker; keyword = findNextKeyword())
            readSection (keyword);
    }
    catch (const EndOfData&)
    {
        return -1;
    }

    return library->formatVersion < minimumVersion ? -1 : library->frameWord;
}

//==============================================================================
ModulesDefReader::Keyword ModulesDefReader::keywordAt (size_t position) const
{
    const size_t available = content.size() - position;

    for (size_t k = 0; k < keywords.size(); ++k)
    {
        const auto& keyword = keywords[k];
        const size_t compared = std::min (keyword.size(), available);
        const int order = std::memcmp (content.data() + position, keyword.data(), compared);

        // The keywords stand in descending byte order: bytes above this one
        // can match none of the later ones either.
        if (order > 0)
            return noKeyword;

        if (order == 0 && compared == keyword.size())
            return (Keyword) k;
    }

    return noKeyword;
}

ModulesDefReader::Keyword ModulesDefReader::findNextKeyword()
{
    for (; readPosition < content.size(); ++readPosition)
    {
        const auto keyword = keywordAt (readPosition);

        if (keyword != noKeyword)
        {
            readPosition += keywords[(size_t) keyword].size();
            return keyword;
        }
    }

    return noKeyword;
}

bool ModulesDefReader::nextBytesAre (const std::string& keyword) const
{
    return content.size() - readPosition >= keyword.size() &&
           std::memcmp (content.data() + readPosition, keyword.data(), keyword.size()) == 0;
}

//==============================================================================
uint8_t ModulesDefReader::byte()
{
    if (readPosition >= content.size())
        throw EndOfData();

    return content[readPosition++];
}

uint16_t ModulesDefReader::word()
{
    const uint8_t low = byte();
    return (uint16_t) (low | (byte() << 8));
}

std::vector<uint8_t> ModulesDefReader::bytes (size_t count)
{
    if (content.size() - readPosition < count)
        throw EndOfData();

    std::vector<uint8_t> result (content.begin() + (std::ptrdiff_t) readPosition,
                                 content.begin() + (std::ptrdiff_t) (readPosition + count));
    readPosition += count;
    return result;
}

std::string ModulesDefReader::text()
{
    const auto data = bytes (byte());
    return std::string (data.begin(), data.end());
}

ParameterWordList ModulesDefReader::wordList()
{
    return ParameterWordList (bytes ((size_t) word() * 2));
}

bool ModulesDefReader::readWord (uint16_t& value)
{
    try
    {
        value = word();
    }
    catch (const EndOfData&)
    {
        return false;
    }
    return true;
}

bool ModulesDefReader::readByte (uint8_t& value)
{
    try
    {
        value = byte();
    }
    catch (const EndOfData&)
    {
        return false;
    }
    return true;
}

bool ModulesDefReader::readName (std::string& value)
{
    try
    {
        value = text();
    }
    catch (const EndOfData&)
    {
        return false;
    }
    return true;
}

//==============================================================================
void ModulesDefReader::readSection (Keyword keyword)
{
    switch (keyword)
    {
        case versionSection: library->formatVersion = word(); break;
        case spsSection: readProcesses (true); break;
        case pcsSection: readProcesses (false); break;
        case moduleSection: readModule(); break;
        case dspSection: readDsp(); break;
        case dictionarySection: readDictionary(); break;
        case cdsSection: word(); break;
        case busSection: readBusMasks(); break;
        case pSection:
        case openingMarker:
        case closingMarker:
        case noKeyword: break;
    }
}

void ModulesDefReader::readModule()
{
    auto module = std::make_unique<ModuleDefinition>();
    word(); // not used

    uint16_t id = word();

    if ((id & 0x4000) != 0)
    {
        id &= (uint16_t) ~0x4000;
        module->kindWord = word();
        module->hasKindWord = true;
    }

    module->moduleId = id;
    module->firstFigure = word();
    const uint16_t inputsAndOutputs = word();
    module->dspInputCount = inputsAndOutputs & 0xFF;
    module->dspOutputCount = inputsAndOutputs >> 8;
    module->thirdFigure = word();
    module->ownCycles = word();
    module->dspRamBudget = word();
    module->rateClassLimit = word();
    module->name = text();

    module->moduleFunctions.setCapacity (word());

    for (int i = module->moduleFunctions.getCapacity(); --i >= 0;)
        module->addFunction (readFunction (0));

    module->secondModuleFunctions.setCapacity (word());

    for (int i = module->secondModuleFunctions.getCapacity(); --i >= 0;)
        module->addSecondFunction (readFunction (5));

    // Processes after a module the full table refused are read and dropped
    // rather than attached to another module.
    currentModule = library->addModule (std::move (module));
}

void ModulesDefReader::readProcesses (bool fromSps)
{
    for (int count = word(); --count >= 0;)
    {
        int functionNumber = currentModule != nullptr ? currentModule->countedFunctionTotal : 0;
        auto process = readProcess (fromSps, functionNumber);

        if (currentModule != nullptr && currentModule->addProcess (std::move (process), fromSps) != nullptr)
            currentModule->countedFunctionTotal = functionNumber;
    }
}

std::unique_ptr<ProcessDefinition> ModulesDefReader::readProcess (bool fromSps, int& functionNumber)
{
    auto process = std::make_unique<ProcessDefinition>();
    process->fromSps = fromSps;
    process->name = text();

    uint16_t id = word();
    const bool hasMemoryClass = (id & 0x8000) != 0;
    id &= (uint16_t) ~0x8000;

    process->cyclesPerChannel = word();
    process->baseCycles = word();
    process->ramPerChannel = word();
    process->baseRam = word();
    process->inputCount = byte();
    process->outputCount = byte();
    process->defaultChannelWord = (id & ProcessDefinition::channelWordPresentBit) != 0 ? foldChannelWord (word()) : 1;

    if ((id & 0x4000) != 0)
    {
        id &= (uint16_t) ~0x4000;
        process->processKind = word();
        process->hasKind = true;
    }

    if (hasMemoryClass)
    {
        process->hasMemoryClass = true;
        const uint32_t memoryClass = process->defaultChannelWord;

        if (memoryClass >= 11 && memoryClass <= 13)
        {
            process->memoryClassWord = (memoryClass - 10) | 0x80000000u;
            process->memoryClass11to13 = true;
            process->defaultChannelWord = 1;
        }
        else if (memoryClass >= 101 && memoryClass <= 241)
        {
            process->memorySelector = memoryClass;
            process->defaultChannelWord = 1;
        }
        else if (memoryClass == 243)
        {
            process->memoryClass243 = true;
            process->memoryClassWord = word();
            process->defaultChannelWord = foldChannelWord (word());
        }
    }

    process->processId = id;
    process->hasChannelWord = (id & ProcessDefinition::channelWordPresentBit) != 0;

    process->firstFunctions.setCapacity (word());
    process->secondFunctions.setCapacity (word());

    for (int i = process->firstFunctions.getCapacity(); --i >= 0;)
    {
        auto function = readFunction (1);
        function->functionNumber = -1;

        if ((function->entryMask & 0x8000) != 0)
            process->memoryClass11to13 = true;

        process->addFunction (0, std::move (function));
    }

    for (int i = process->secondFunctions.getCapacity(); --i >= 0;)
    {
        auto function = readFunction (3);
        function->valid = function->hasIndexParameter();

        if (! function->valid)
            ++process->invalidFunctionCount;

        // Coefficient updates are called by the biquad code, not by a control.
        if (containsText (function->name, "Biquad_UpdateCoeff") || containsText (function->name, "Biquad_Flat"))
        {
            function->functionNumber = -1;
            ++process->coefficientFunctionCount;
        }
        else
        {
            function->functionNumber = functionNumber++;
        }

        process->addFunction (1, std::move (function));
    }

    if (isBiquadProcessKind (process->processKind))
        process->invalidFunctionCount = 3;

    process->helpPage = text();
    process->pins.setCapacity (word());

    for (int i = process->pins.getCapacity(); --i >= 0;)
    {
        auto pinName = text();
        const uint8_t direction = byte();
        const uint8_t kind = byte();
        process->addPin (pinName, direction == 0 ? 1 : 0, kind);
    }

    return process;
}

std::unique_ptr<LibraryFunctionDefinition> ModulesDefReader::readFunction (int kind)
{
    auto function = std::make_unique<LibraryFunctionDefinition>();
    function->dictionary = &library->getDictionary();

    const uint16_t form = word();
    function->recordForm = form;
    function->name = text();
    function->returnValueCount = byte();
    function->parameterCount = byte();

    if (form == 1 || form == 2)
    {
        function->entryMask = word();
        function->maskUsable = (function->entryMask & ~0x7FFFu) == 0;

        for (int bit = 0; bit < 15; ++bit)
        {
            if ((function->entryMask & (1u << bit)) != 0)
            {
                const uint32_t first = word();
                const uint32_t second = word();
                function->maskEntries.push_back (first | second << 16);
            }
        }

        function->maskEntryCount = (int) function->maskEntries.size();
        function->parameterFlagMask = word();
        function->secondFormRecord = form == 2;
    }

    if (kind == 3)
    {
        function->firstText = text();
        function->secondText = text();
    }

    if (function->returnValueCount + function->parameterCount != 0)
        function->parameterWords = wordList();

    return function;
}

void ModulesDefReader::readDsp()
{
    word(); // not used
    const uint16_t dspId = word();

    // A DSP id followed directly by "@CDS" names no module.
    if (nextBytesAre (keywords[cdsSection]))
        return;

    const uint16_t moduleId = word();
    const uint16_t third = word();
    library->addDsp (dspId, moduleId, third);
}

void ModulesDefReader::readDictionary()
{
    word(); // not used
    auto& dictionary = library->getDictionary();
    dictionary.reserve (word());

    for (int i = dictionary.getCapacity(); --i >= 0;)
        dictionary.add (wordList());
}

void ModulesDefReader::readBusMasks()
{
    word(); // not used

    for (int i = 0; i < library->getDspCapacity(); ++i)
    {
        const auto inputMask = bytes (8);
        const auto outputMask = bytes (8);
        library->setBusInputMask (i, inputMask.data());
        library->setBusOutputMask (i, outputMask.data());
    }
}
