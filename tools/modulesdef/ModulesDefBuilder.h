#pragma once

#include "ModulesDefDescription.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace modulesdef
{
/**
    Writes a LibraryDescription as the bytes of a "Modules.def".

    The file is [preamble] frame N [trailer], where the frame runs from the
    opening marker "$ZOVOZ" to the closing marker "ZOVOZ$" and N counts its
    16-bit words. Inside the frame the DSP capacity word is followed by the
    sections, written back to back in a fixed order: "@VER", "@DIC", then per
    module "@MOD" and one "@SPS" or "@PCS" section for each run of its
    processes, then the "@DSP" entries and "@BUS".

    Everything is little-endian. The description's fields are written exactly
    as given, so a test can make a file that the reader should refuse; only
    what cannot be written at all (a text over 255 bytes, a count over 65535,
    mask entries that do not match the mask, a frame over 65535 words) throws
    std::runtime_error, naming the record at fault.

    The lower-level pieces are public so that tests can assemble damaged or
    unusual files: a frame around arbitrary section bytes, a single record, a
    wrong frame word, bytes before or after the frame.
*/
class ModulesDefBuilder
{
public:
    /** Bytes around the frame, and an optional stand-in for the frame word. */
    struct FileOptions
    {
        std::vector<uint8_t> preamble;         // written before "$ZOVOZ"
        std::vector<uint8_t> trailer;          // written after the frame word
        std::optional<uint16_t> frameWord;     // written instead of the true N
    };

    /** Where one section of a built frame starts, counted from "$ZOVOZ". */
    struct SectionMark
    {
        std::string keyword;
        size_t offset = 0;
    };

    /** The whole file for a description: the frame and its frame word. */
    static std::vector<uint8_t> build (const LibraryDescription& library);

    /** The whole file, with bytes before and after the frame. */
    static std::vector<uint8_t> build (const LibraryDescription& library, const FileOptions& options);

    /** The frame alone, from "$ZOVOZ" to "ZOVOZ$" (padded to an even length).
        When marks is given, it receives the start of every section written. */
    static std::vector<uint8_t> buildFrame (const LibraryDescription& library,
                                            std::vector<SectionMark>* marks = nullptr);

    /** The section bytes of a description, without the frame around them. */
    static std::vector<uint8_t> buildSections (const LibraryDescription& library,
                                               std::vector<SectionMark>* marks = nullptr);

    /** A frame around arbitrary section bytes: "$ZOVOZ", the capacity word,
        the bytes, a pad byte when the length is odd, "ZOVOZ$". */
    static std::vector<uint8_t> wrapFrame (uint16_t dspCapacity, const std::vector<uint8_t>& sectionBytes);

    /** A file around a finished frame: preamble, frame, frame word, trailer.
        Throws when the frame is not a whole number of words or is too long
        for the frame word. */
    static std::vector<uint8_t> wrapFile (const std::vector<uint8_t>& frame, const FileOptions& options = {});

    /** One "@MOD" section with the module's two function lists (its processes
        are not included). */
    static std::vector<uint8_t> buildModuleSection (const ModuleDescription& module);

    /** One "@SPS" or "@PCS" section holding the given processes. */
    static std::vector<uint8_t> buildProcessSection (bool fromSps, const std::vector<ProcessDescription>& processes);

    /** One process record, as it stands inside an "@SPS" or "@PCS" section. */
    static std::vector<uint8_t> buildProcessRecord (const ProcessDescription& process);

    /** One function record of the given kind (0 and 5 module functions,
        1 set-up, 3 control), with its word list when it has one. */
    static std::vector<uint8_t> buildFunctionRecord (const FunctionDescription& function, int kind);

    /** One "@DSP" section; one followed by "@CDS" includes that "@CDS" section. */
    static std::vector<uint8_t> buildDspSection (const DspDescription& dsp);

    /** The memory class the reader derives from a process record: the folded
        channel word when the id has bit 0x200, else 1. */
    static uint32_t memoryClassOf (const ProcessDescription& process);

    /** A channel word as the reader widens it: bits 12-15 move to bits 28-31. */
    static uint32_t foldChannelWord (uint16_t channelWord);

    // Primitive writers, little-endian, for assembling raw bytes in tests.
    static void appendByte (std::vector<uint8_t>& out, uint8_t value);
    static void appendWord (std::vector<uint8_t>& out, uint16_t value);
    static void appendBytes (std::vector<uint8_t>& out, const std::string& bytes);
    static void appendText (std::vector<uint8_t>& out, const std::string& text);         // throws over 255 bytes
    static void appendWordList (std::vector<uint8_t>& out, const std::vector<uint16_t>& words); // throws over 65535 words

    static constexpr const char* openingMarker = "$ZOVOZ";
    static constexpr const char* closingMarker = "ZOVOZ$";
};
} // namespace modulesdef
