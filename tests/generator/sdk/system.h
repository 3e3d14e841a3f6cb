/* Stand-in for the firmware SDK's system header, for syntax checks of the
   generated sources on the host: only the names they use. */
#ifndef TEST_SDK_SYSTEM_H
#define TEST_SDK_SYSTEM_H

typedef unsigned short WORD;
typedef unsigned int DWORD;

#include "system_runtime.h"
#include "system_presets.h"

#endif
