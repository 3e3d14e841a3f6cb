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
   and the name of the firmware's MIDI output function); a static process's
   pins have names of their own. */
enum TestPinNames
{
    In, Out, Key, OutL, OutR, In1, In2, In3, In4, Sum, Mix,
    SDelayIn, SDelayOut, LDelayIn, LDelayOut, BankOutL, BankOutR, MeterIn, GainIn, GainOut
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

/* StudioCore8: the first function claims a DSP and returns its id, the
   first set-up function of a process returns the process's handle. */
WORD Sc8_InitDsp (DWORD scratch);
WORD Sc8_StartDsp (WORD dspId);
void Sc8_SetInputRoute (WORD dspId, WORD pin, WORD value);
void Sc8_SetOutputRoute (WORD dspId, WORD pin, WORD value);
WORD BiquadBank_Init (WORD dspId, WORD options);
WORD ShelfBank_Init (WORD dspId, WORD options);
WORD Comp_Init (WORD dspId);
WORD Cpd_Init (WORD dspId);
WORD Lim_Init (WORD dspId);
WORD SDelay_AttachLine (WORD dspId, WORD high, WORD low);
WORD LDelay_AllocLine (WORD dspId, DWORD line);
WORD Bank_Init (WORD dspId);
void Bank_AttachMemory (WORD dspId, WORD processId, WORD low, DWORD table);
#define TABLE_Q31 0x001F
void Bank_LoadTable (WORD dspId, WORD processId, WORD format);
WORD Meter_Configure (WORD dspId, WORD options);
void Add2_Init (WORD dspId, WORD processId);
void MixN_Init (WORD dspId, WORD processId);
void SsDelay_AllocLine (WORD dspId, WORD processId, DWORD line);
void Probe_Int24 (WORD dspId, WORD processId, WORD low);
void Probe_Int16 (WORD dspId, WORD processId, WORD low);
void Probe_ExtWhole (WORD dspId, WORD processId, DWORD address);
void Probe_ExtSplit (WORD dspId, WORD processId, WORD high, WORD low);

/* StudioCoreLite */
WORD ScL_InitDsp (void);
void ScL_SetInputRoute (WORD dspId, WORD pin, WORD value);
void ScL_SetOutputRoute (WORD dspId, WORD pin, WORD value);
WORD Mix_Init (WORD dspId);
WORD Send_Init (WORD dspId);
WORD Gain_Init (WORD dspId);
enum TestDistortionQualities
{
    DIST_Q0, DIST_Q1
};
WORD Dist_Init (WORD dspId, WORD quality);

/* MixPA */
WORD MixPA_InitDsp (void);
WORD MixPA_StartDsp (WORD dspId);
void MixPA_SetInputRoute (WORD dspId, WORD pin, WORD value);
void MixPA_SetOutputRoute (WORD dspId, WORD pin, WORD value);
WORD PaMix_Init (WORD dspId, WORD inputs);
WORD PaGain_Init (WORD dspId, WORD channels);
WORD PaLim_Init (WORD dspId, WORD channels);

/* PitchFx */
WORD Pfx_InitDsp (WORD dspId);
void Pfx_SetInputRoute (WORD dspId, WORD pin, WORD value);
void Pfx_SetOutputRoute (WORD dspId, WORD pin, WORD value);
WORD Chorus_Init (WORD dspId, WORD processId);

#include "libKTL7000_runtime.h"
#include "libKTL7000_controls.h"

#endif
