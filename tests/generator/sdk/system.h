/* Stand-in for the firmware SDK's system header, for syntax checks of the
   generated sources on the host: only the names they use. */
#ifndef TEST_SDK_SYSTEM_H
#define TEST_SDK_SYSTEM_H

/* The DSP's word is as wide as its int, and a double word as its long: a
   WORD that holds -1 compares equal to -1, as the generated sources expect
   ("if ( dspId == -1 )", "if ( i == -1 )"). On the host an unsigned short
   would be promoted to int and never equal -1. */
typedef unsigned int WORD;
typedef unsigned long DWORD;

#include "system_runtime.h"
#include "system_presets.h"

#endif
