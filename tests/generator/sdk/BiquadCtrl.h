/* Stand-in for the biquad control header, for syntax checks on the host. */
#ifndef TEST_BIQUADCTRL_H
#define TEST_BIQUADCTRL_H

void initBiquadExType (WORD* types, WORD bandCount);
void biquadSetLoadingPreset (WORD loading);

#endif
