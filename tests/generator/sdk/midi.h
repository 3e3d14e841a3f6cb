/* Stand-in for the MIDI library's header, for syntax checks of the generated
   main program on the host. */
#ifndef TEST_SDK_MIDI_H
#define TEST_SDK_MIDI_H

#include <system.h>

void _USB_RegisterMidiClass (PTR32 inQueue, WORD inSize, PTR32 outQueue, WORD outSize);
WORD _USB_MidiReceive (WORD* data);
void _USB_MidiSend (WORD data);

void _MIDI_SerialInit (DWORD baudRate);
WORD _MIDI_SerialReceive (WORD* data);
void _MIDI_SerialSend (WORD data);

#endif
