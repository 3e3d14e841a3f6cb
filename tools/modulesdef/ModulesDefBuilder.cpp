#include "ModulesDefBuilder.h"

#include <cstdio>
#include <stdexcept>

namespace modulesdef
{
namespace
{
constexpr size_t maxTextLength = 255;
constexpr size_t maxCount = 0xFFFF;

// A name as it can stand in an error message: printable ASCII as it is,
// every other byte as \xHH.
std::string quoted (const std::string& name)
{
    std::string result = "\"";

    for (const char c : name)
    {
        const auto byte = static_cast<uint8_t> (c);

        if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\')
        {
            result += c;
        }
        else
        {
            char escape[8];
            std::snprintf (escape, sizeof (escape), "\\x%02X", byte);
            result += escape;
        }
    }

    return result + "\"";
}

// Runs a writer and, when it throws, names the record it was writing in
// front of the message, so that a nested failure reads as a path
// ("module "A": process "B": control function "C": ...").
template <typename Writer>
void withContext (const std::string& context, Writer&& writer)
{
    try
    {
        writer();
    }
    catch (const std::runtime_error& e)
    {
        throw std::runtime_error (context + ": " + e.what());
    }
}

uint16_t checkedCount (size_t count, const char* what)
{
    if (count > maxCount)
        throw std::runtime_error (std::string ("too many ") + what + " (" + std::to_string (count)
                                  + ", at most 65535)");

    return static_cast<uint16_t> (count);
}

int countMaskBits (uint16_t mask)
{
    int bits = 0;

    for (int bit = 0; bit < 15; ++bit)
        if ((mask & (1u << bit)) != 0)
            ++bits;

    return bits;
}

const char* functionKindName (int kind)
{
    switch (kind)
    {
        case 0: return "module function";
        case 1: return "set-up function";
        case 3: return "control function";
        case 5: return "second module function";
        default: return "function";
    }
}

void append (std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes)
{
    out.insert (out.end(), bytes.begin(), bytes.end());
}

void appendKeyword (std::vector<uint8_t>& out, const char* keyword,
                    size_t frameOffset, std::vector<ModulesDefBuilder::SectionMark>* marks)
{
    if (marks != nullptr)
        marks->push_back ({ keyword, frameOffset + out.size() });

    ModulesDefBuilder::appendBytes (out, keyword);
}

void appendFunctionList (std::vector<uint8_t>& out, const std::vector<FunctionDescription>& functions, int kind)
{
    for (const auto& function : functions)
        append (out, ModulesDefBuilder::buildFunctionRecord (function, kind));
}

// The sections of a library; offsets in marks are counted from the start of
// the frame, which is frameOffset bytes before the first section byte.
std::vector<uint8_t> writeSections (const LibraryDescription& library,
                                    std::vector<ModulesDefBuilder::SectionMark>* marks,
                                    size_t frameOffset)
{
    std::vector<uint8_t> out;

    if (library.version.has_value())
    {
        appendKeyword (out, "@VER", frameOffset, marks);
        ModulesDefBuilder::appendWord (out, *library.version);
    }

    // The dictionary goes first so that every escape in the function word
    // lists refers to an entry that is already read.
    if (! library.dictionary.empty())
    {
        withContext ("dictionary", [&]
        {
            appendKeyword (out, "@DIC", frameOffset, marks);
            ModulesDefBuilder::appendWord (out, 0);
            ModulesDefBuilder::appendWord (out, checkedCount (library.dictionary.size(), "dictionary entries"));

            for (size_t i = 0; i < library.dictionary.size(); ++i)
                withContext ("entry " + std::to_string (i), [&]
                {
                    ModulesDefBuilder::appendWordList (out, library.dictionary[i]);
                });
        });
    }

    for (const auto& module : library.modules)
    {
        auto moduleBytes = ModulesDefBuilder::buildModuleSection (module);

        if (marks != nullptr)
            marks->push_back ({ "@MOD", frameOffset + out.size() });

        append (out, moduleBytes);

        withContext ("module " + quoted (module.name), [&]
        {
            const auto& processes = module.processes;

            for (size_t first = 0; first < processes.size();)
            {
                auto end = first + 1;

                while (end < processes.size() && processes[end].fromSps == processes[first].fromSps)
                    ++end;

                const std::vector<ProcessDescription> run (processes.begin() + static_cast<std::ptrdiff_t> (first),
                                                           processes.begin() + static_cast<std::ptrdiff_t> (end));
                const auto section = ModulesDefBuilder::buildProcessSection (processes[first].fromSps, run);

                if (marks != nullptr)
                    marks->push_back ({ processes[first].fromSps ? "@SPS" : "@PCS", frameOffset + out.size() });

                append (out, section);
                first = end;
            }
        });
    }

    for (const auto& dsp : library.dsps)
    {
        if (marks != nullptr)
        {
            marks->push_back ({ "@DSP", frameOffset + out.size() });

            if (dsp.followedByCds)
                marks->push_back ({ "@CDS", frameOffset + out.size() + 8 });
        }

        append (out, ModulesDefBuilder::buildDspSection (dsp));
    }

    if (library.busMasks.has_value())
    {
        appendKeyword (out, "@BUS", frameOffset, marks);
        ModulesDefBuilder::appendWord (out, 0);

        for (const auto& mask : *library.busMasks)
            out.insert (out.end(), mask.begin(), mask.end());
    }

    return out;
}
} // namespace

//==============================================================================
std::vector<uint8_t> ModulesDefBuilder::build (const LibraryDescription& library)
{
    return build (library, FileOptions());
}

std::vector<uint8_t> ModulesDefBuilder::build (const LibraryDescription& library, const FileOptions& options)
{
    return wrapFile (buildFrame (library), options);
}

std::vector<uint8_t> ModulesDefBuilder::buildFrame (const LibraryDescription& library, std::vector<SectionMark>* marks)
{
    // The sections start after the opening marker and the capacity word.
    const auto sections = writeSections (library, marks, 8);
    auto frame = wrapFrame (library.dspCapacity, sections);

    if (frame.size() / 2 > maxCount)
        throw std::runtime_error ("the frame holds " + std::to_string (frame.size()) + " bytes; the frame word can count at most 65535 words (131070 bytes)");

    return frame;
}

std::vector<uint8_t> ModulesDefBuilder::buildSections (const LibraryDescription& library, std::vector<SectionMark>* marks)
{
    return writeSections (library, marks, 0);
}

std::vector<uint8_t> ModulesDefBuilder::wrapFrame (uint16_t dspCapacity, const std::vector<uint8_t>& sectionBytes)
{
    std::vector<uint8_t> frame;
    frame.reserve (sectionBytes.size() + 16);

    appendBytes (frame, openingMarker);
    appendWord (frame, dspCapacity);
    append (frame, sectionBytes);

    // The frame word counts words, so the frame must hold a whole number of them.
    if ((frame.size() + 6) % 2 != 0)
        appendByte (frame, 0);

    appendBytes (frame, closingMarker);
    return frame;
}

std::vector<uint8_t> ModulesDefBuilder::wrapFile (const std::vector<uint8_t>& frame, const FileOptions& options)
{
    if (frame.size() % 2 != 0)
        throw std::runtime_error ("the frame has an odd length (" + std::to_string (frame.size()) + " bytes)");

    if (frame.size() / 2 > maxCount)
        throw std::runtime_error ("the frame holds " + std::to_string (frame.size()) + " bytes; the frame word can count at most 65535 words (131070 bytes)");

    std::vector<uint8_t> file;
    file.reserve (options.preamble.size() + frame.size() + 2 + options.trailer.size());

    append (file, options.preamble);
    append (file, frame);
    appendWord (file, options.frameWord.value_or (static_cast<uint16_t> (frame.size() / 2)));
    append (file, options.trailer);
    return file;
}

std::vector<uint8_t> ModulesDefBuilder::buildModuleSection (const ModuleDescription& module)
{
    std::vector<uint8_t> out;

    withContext ("module " + quoted (module.name), [&]
    {
        appendBytes (out, "@MOD");
        appendWord (out, 0);
        appendWord (out, static_cast<uint16_t> (module.id | (module.kind.has_value() ? 0x4000 : 0)));

        if (module.kind.has_value())
            appendWord (out, *module.kind);

        appendWord (out, module.firstFigure);
        appendWord (out, static_cast<uint16_t> (module.dspInputCount | (module.dspOutputCount << 8)));
        appendWord (out, module.thirdFigure);
        appendWord (out, module.ownCycles);
        appendWord (out, module.dspRamBudget);
        appendWord (out, module.rateClassLimit);
        appendText (out, module.name);

        appendWord (out, checkedCount (module.functions.size(), "module functions"));
        appendFunctionList (out, module.functions, 0);
        appendWord (out, checkedCount (module.secondFunctions.size(), "second module functions"));
        appendFunctionList (out, module.secondFunctions, 5);
    });

    return out;
}

std::vector<uint8_t> ModulesDefBuilder::buildProcessSection (bool fromSps, const std::vector<ProcessDescription>& processes)
{
    std::vector<uint8_t> out;
    appendBytes (out, fromSps ? "@SPS" : "@PCS");
    appendWord (out, checkedCount (processes.size(), "processes in one section"));

    for (const auto& process : processes)
        append (out, buildProcessRecord (process));

    return out;
}

std::vector<uint8_t> ModulesDefBuilder::buildProcessRecord (const ProcessDescription& process)
{
    std::vector<uint8_t> out;

    withContext ("process " + quoted (process.name), [&]
    {
        appendText (out, process.name);

        uint16_t idWord = process.id;

        if (process.kind.has_value())
            idWord |= 0x4000;

        if (process.hasMemoryClass)
            idWord |= 0x8000;

        appendWord (out, idWord);
        appendWord (out, process.cyclesPerChannel);
        appendWord (out, process.baseCycles);
        appendWord (out, process.ramPerChannel);
        appendWord (out, process.baseRam);
        appendByte (out, process.inputCount);
        appendByte (out, process.outputCount);

        if ((process.id & 0x200) != 0)
            appendWord (out, process.channelWord);

        if (process.kind.has_value())
            appendWord (out, *process.kind);

        if (process.hasMemoryClass && memoryClassOf (process) == 243)
        {
            appendWord (out, process.memoryClassWord243);
            appendWord (out, process.channelWord243);
        }

        appendWord (out, checkedCount (process.setupFunctions.size(), "set-up functions"));
        appendWord (out, checkedCount (process.controlFunctions.size(), "control functions"));
        appendFunctionList (out, process.setupFunctions, 1);
        appendFunctionList (out, process.controlFunctions, 3);
        appendText (out, process.helpPage);

        appendWord (out, checkedCount (process.pins.size(), "pins"));

        for (const auto& pin : process.pins)
        {
            withContext ("pin " + quoted (pin.name), [&]
            {
                appendText (out, pin.name);
                appendByte (out, pin.direction);
                appendByte (out, pin.kind);
            });
        }
    });

    return out;
}

std::vector<uint8_t> ModulesDefBuilder::buildFunctionRecord (const FunctionDescription& function, int kind)
{
    std::vector<uint8_t> out;

    withContext (std::string (functionKindName (kind)) + " " + quoted (function.name), [&]
    {
        appendWord (out, function.form);
        appendText (out, function.name);
        appendByte (out, function.returnValueCount);
        appendByte (out, function.parameterCount);

        if (function.form == 1 || function.form == 2)
        {
            const auto expected = static_cast<size_t> (countMaskBits (function.entryMask));

            if (function.maskEntries.size() != expected)
            {
                char mask[8];
                std::snprintf (mask, sizeof (mask), "0x%04X", function.entryMask);
                throw std::runtime_error (std::to_string (function.maskEntries.size()) + " mask entries given, but the entry mask "
                                          + mask + " has " + std::to_string (expected) + " bits set among bits 0-14");
            }

            appendWord (out, function.entryMask);

            for (const auto entry : function.maskEntries)
            {
                appendWord (out, static_cast<uint16_t> (entry & 0xFFFF));
                appendWord (out, static_cast<uint16_t> (entry >> 16));
            }

            appendWord (out, function.parameterFlagMask);
        }

        if (kind == 3)
        {
            appendText (out, function.label);
            appendText (out, function.annotation);
        }

        if (function.returnValueCount + function.parameterCount != 0)
            appendWordList (out, function.words);
    });

    return out;
}

std::vector<uint8_t> ModulesDefBuilder::buildDspSection (const DspDescription& dsp)
{
    std::vector<uint8_t> out;
    appendBytes (out, "@DSP");
    appendWord (out, 0);
    appendWord (out, dsp.id);

    if (dsp.followedByCds)
    {
        appendBytes (out, "@CDS");
        appendWord (out, 0);
    }
    else
    {
        appendWord (out, dsp.moduleId);
        appendWord (out, dsp.third);
    }

    return out;
}

uint32_t ModulesDefBuilder::memoryClassOf (const ProcessDescription& process)
{
    return (process.id & 0x200) != 0 ? foldChannelWord (process.channelWord) : 1u;
}

uint32_t ModulesDefBuilder::foldChannelWord (uint16_t channelWord)
{
    return (static_cast<uint32_t> (channelWord & 0xF000) << 16) | (channelWord & 0x0FFFu);
}

//==============================================================================
void ModulesDefBuilder::appendByte (std::vector<uint8_t>& out, uint8_t value)
{
    out.push_back (value);
}

void ModulesDefBuilder::appendWord (std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back (static_cast<uint8_t> (value & 0xFF));
    out.push_back (static_cast<uint8_t> (value >> 8));
}

void ModulesDefBuilder::appendBytes (std::vector<uint8_t>& out, const std::string& bytes)
{
    out.insert (out.end(), bytes.begin(), bytes.end());
}

void ModulesDefBuilder::appendText (std::vector<uint8_t>& out, const std::string& text)
{
    if (text.size() > maxTextLength)
        throw std::runtime_error ("the text " + quoted (text.substr (0, 24)) + "... is "
                                  + std::to_string (text.size()) + " bytes long; a text holds at most 255");

    appendByte (out, static_cast<uint8_t> (text.size()));
    appendBytes (out, text);
}

void ModulesDefBuilder::appendWordList (std::vector<uint8_t>& out, const std::vector<uint16_t>& words)
{
    appendWord (out, checkedCount (words.size(), "words in a word list"));

    for (const auto word : words)
        appendWord (out, word);
}
} // namespace modulesdef
