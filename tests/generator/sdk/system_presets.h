/* Stand-in for the firmware SDK's far-memory services that the generated
   preset sources use besides those of system_runtime.h, for syntax checks
   on the host: tables of far pointers and word reads. */
#ifndef TEST_SDK_SYSTEM_PRESETS_H
#define TEST_SDK_SYSTEM_PRESETS_H

typedef const WORD* WORD_FAR_P;
#define FARPTR(pointer) ((WORD_FAR_P)(pointer))

WORD _rdxtmemEx (PTR32 address);

#endif
