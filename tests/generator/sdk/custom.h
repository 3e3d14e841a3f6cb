/* Stand-in for the user's hook header, for syntax checks on the host: DSP 1
   has its set-up hooks, the other DSPs have none. */
#ifndef TEST_CUSTOM_H
#define TEST_CUSTOM_H

#define _customPreInitFunction1
#define _customPostInitFunction1
void customPreInitFunction1 (WORD dspId);
void customPostInitFunction1 (WORD dspId);

#endif
