/* Stand-in for the shared part of the project header, for syntax checks on
   the host. */
#ifndef TEST_QUELLION_SHARED_H
#define TEST_QUELLION_SHARED_H

#include <libKTL7000.h>

typedef struct
{
    _FILTER_PARAM* parameters;
    WORD* types;
    WORD* crossoverTypes;
    DWORD* rawFrequencies;
    WORD bandCount;
} BiquadParameters;

#endif
