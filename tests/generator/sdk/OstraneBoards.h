/* Stand-in for the board library's header, for syntax checks of the
   generated main program on the host. */
#ifndef TEST_SDK_OSTRANEBOARDS_H
#define TEST_SDK_OSTRANEBOARDS_H

#include <system.h>

#define _BOARD_MIDI_BAUDRATE 31250

void _Board_SetLed (WORD on);
void _Board_AudioInit (void);
void _Board_CodecInit (void);

#endif
