/* Stand-in for the firmware SDK's system services used by the generated
   project-wide sources, for syntax checks on the host: far pointers, the
   software float, the clock, the timers and far-memory reads. */
#ifndef TEST_SDK_SYSTEM_RUNTIME_H
#define TEST_SDK_SYSTEM_RUNTIME_H

typedef unsigned long PTR32;
#define _cptr32(object) ((PTR32)(object))

typedef float FLOAT;
FLOAT _float (DWORD value);

DWORD _Sys_GetSamplingRate (void);
void _Sys_ClockInit (DWORD quarterRate, PTR32 oscillatorSwitch);
#define _SYS_OSCSWITCH(function) _cptr32 (function)
void _Sys_SwitchPll7xxx (WORD format, WORD option);

WORD _rdxtmem16Ex (PTR32 address);
DWORD _rdxtmem32Ex (PTR32 address);

void _Timer_Init (WORD timer, WORD milliseconds);
WORD _Timer_Elapsed (WORD timer);

#endif
