#pragma once

// The fixed pieces of C that a DSP's initialisation-and-routing source
// ("dsp" + N + ".c") is built around, exactly as they are emitted. The
// generator fills in the DSP's names and numbers between them.
namespace DspSourceBlocks
{
// The head of every DSP source.
constexpr const char* includes = "#include <system.h>\n"
                                 "#include <libKTL7000.h>\n"
                                 "#include \"quellion.h\"\n"
                                 "#include \"custom.h\"\n";

// What only the NRPN control needs stands between these two lines, so that
// a firmware built with _SKIP_ZQV_NRPN_CTRL defined goes without it.
constexpr const char* nrpnControlGuardOpen = "#ifndef\t_SKIP_ZQV_NRPN_CTRL\n";
constexpr const char* nrpnControlGuardClose = "#endif\t// _SKIP_ZQV_NRPN_CTRL\n";

// Added to the head in the NRPN variant.
constexpr const char* nrpnControlInclude = "#ifndef\t_SKIP_ZQV_NRPN_CTRL\n"
                                           "#include \"midictrl.h\"\n"
                                           "#endif\t// _SKIP_ZQV_NRPN_CTRL\n";

// Added to the head by the first biquad process of the DSP.
constexpr const char* biquadControlInclude = "#include \"BiquadCtrl.h\"\n";

// Ends the head when the DSP placed memory in the memory map.
constexpr const char* memoryMapInclude = "#include \"memorymap.h\"\n\n";

// The header of a DSP's section of the memory map: before and after the DSP id.
constexpr const char* memoryHeaderStart = "\n//Dsp#";
constexpr const char* memoryHeaderEnd = " memory processes define\n";

// The biquad block, put in front of the DSP's function.
constexpr const char* biquadBlockTitle = "// Biquad(s) - define, variable, ... \n";
constexpr const char* biquadItemCountDefine = "#define BIQUAD_ITEMCOUNT ";
constexpr const char* biquadExtraFunctionDefine = "\n#define NUMBER_OF_BIQUAD_EXTRAFUNCTION 4\n\n";
constexpr const char* biquadVariablesStart = "\n\n#ifndef\t_SKIP_ZQV_NRPN_CTRL\n"
                                             "\n\n_FILTER_PARAM ";
constexpr const char* biquadVariablesEnd = "#endif\t// _SKIP_ZQV_NRPN_CTRL\n"
                                           "\n";

// Written when the pitch-shifter module runs without its pitch shifter; the
// module's DSP-id variable goes between the two pieces.
constexpr const char* pitchShifterRemovalStart = "\n\t// Remove HQPitchShifter variables.\n"
                                                 "\t_MultiFX_HQPitchShifter_Remove( ";
constexpr const char* pitchShifterRemovalEnd = " );\n\n";

// The user's hooks, by index, and the comments of the two set-up hooks.
constexpr const char* hookNames[] = { "customPreInitFunction", "customPostInitFunction", "customPreNrpnFunction",
                                      "customPostNrpnFunction" };
constexpr const char* preInitHookComment = "// Do all your custom pre initialization code into this function";
constexpr const char* postInitHookComment = "// Do all your custom post initialization code into this function";
} // namespace DspSourceBlocks
