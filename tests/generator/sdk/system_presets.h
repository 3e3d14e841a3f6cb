/* Stand-in for the firmware SDK's far-memory services that the generated
   preset sources use, for syntax checks on the host: far pointers, their
   tables and word reads. */
#ifndef TEST_SDK_SYSTEM_PRESETS_H
#define TEST_SDK_SYSTEM_PRESETS_H

#ifndef TEST_SDK_SYSTEM_RUNTIME_H
typedef unsigned long PTR32;
#define _cptr32(object) ((PTR32)(object))
DWORD _rdxtmem32Ex (PTR32 address);
#endif

typedef const WORD* WORD_FAR_P;
#define FARPTR(pointer) ((WORD_FAR_P)(pointer))

WORD _rdxtmemEx (PTR32 address);

#endif
