#pragma once

#include <juce_core/juce_core.h>

class Design;

// The NRPN list file: a semicolon-separated text for a spreadsheet that
// tells the firmware's user which NRPN controls the generated firmware
// understands, a header line and then the rows of every DSP, DSP by DSP
// (NrpnListRows). It reads the design only.
class NrpnListFile
{
public:
    static constexpr const char* header = "Name; Class; MIDI channel; NRPN; index; Functions; MIDI min; MIDI max; "
                                          "MIDI default; Data length(bit); MIDI -> physical; Physical -> MIDI; unit\n";

    // The whole text: the header alone when the design has no library.
    static juce::String makeText (Design& design);

    // Writes the text to the file as it is named, whole or not at all;
    // false when it could not be written.
    static bool write (Design& design, const juce::File& file);
};
