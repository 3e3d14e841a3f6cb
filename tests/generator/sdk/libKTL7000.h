/* Stand-in for the firmware SDK's library header, for syntax checks of the
   generated sources on the host: the routing words, the pin names and the
   set-up and routing functions of the test library, with prototypes so that
   a wrong argument count fails the check. */
#ifndef TEST_SDK_LIBKTL7000_H
#define TEST_SDK_LIBKTL7000_H

#include <system.h>

#define PCS_NODE 0x0000
#define PCS_DSP_IN 0x4000
#define PCS_DSP_OUT 0x8000

/* The routed pins of the test library ("Send" is a virtual pin, never routed,
   and the name of the firmware's MIDI output function). */
enum TestPinNames
{
    In, Out, Key, OutL, OutR, In1, In2, In3, In4, Sum, Mix
};

typedef struct
{
    WORD type;
    FLOAT f;
    FLOAT g;
    FLOAT q;
    FLOAT fs;
    DWORD coefficients[5];
} _FILTER_PARAM;

void _MultiFX_HQPitchShifter_Remove (WORD dspId);

/* StudioCore8 */
void Sc8_InitDsp (WORD dspId, DWORD scratch);
void Sc8_StartDsp (WORD dspId);
void Sc8_SetInputRoute (WORD dspId, WORD pin, WORD value);
void Sc8_SetOutputRoute (WORD dspId, WORD pin, WORD value);
void BiquadBank_Init (WORD dspId, WORD processId, WORD options);
void ShelfBank_Init (WORD dspId, WORD processId, WORD options);
void Comp_Init (WORD dspId, WORD processId);
void SDelay_AttachLine (WORD dspId, WORD processId, WORD high, WORD low);
void LDelay_AllocLine (WORD dspId, WORD processId, DWORD line);
void Bank_Init (WORD dspId, WORD processId);
void Bank_AttachMemory (WORD dspId, WORD processId, WORD low, DWORD table);
void Meter_Configure (WORD dspId, WORD processId, WORD mode);
void Add2_Init (WORD dspId, WORD processId);
void MixN_Init (WORD dspId, WORD processId);
void SsDelay_AllocLine (WORD dspId, WORD processId, DWORD line);
void Probe_Int24 (WORD dspId, WORD processId, WORD low);
void Probe_Int16 (WORD dspId, WORD processId, WORD low);
void Probe_ExtWhole (WORD dspId, WORD processId, DWORD address);
void Probe_ExtSplit (WORD dspId, WORD processId, WORD high, WORD low);

/* StudioCoreLite */
void ScL_InitDsp (WORD dspId);
void ScL_SetInputRoute (WORD dspId, WORD pin, WORD value);
void ScL_SetOutputRoute (WORD dspId, WORD pin, WORD value);

/* PitchFx */
WORD Pfx_InitDsp (WORD dspId);
void Pfx_SetInputRoute (WORD dspId, WORD pin, WORD value);
void Pfx_SetOutputRoute (WORD dspId, WORD pin, WORD value);
WORD Chorus_Init (WORD dspId, WORD processId);

#include "libKTL7000_runtime.h"
#include "libKTL7000_controls.h"

#endif
