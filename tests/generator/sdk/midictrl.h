/* Stand-in for the control header, for syntax checks on the host: what the
   generated preset loader calls. */
#ifndef TEST_MIDICTRL_H
#define TEST_MIDICTRL_H

#include <system.h>

#define FORMAT_14BIT_PRECISION 0
#define FORMAT_28BIT_PRECISION 1

WORD quellion_HandleNRPN (WORD channel, WORD nrpn, DWORD value, WORD format);
DWORD swapDword (DWORD value);
#define readExtMemDword(address) swapDword (_rdxtmem32Ex (address))

#endif
