/* Stand-in for the parts of the firmware SDK's library that the generated
   project-wide sources use, for syntax checks on the host: the biquad
   filters, DSP routing and start, S/PDIF, the feedback canceller, the chip's
   pin names and the functions of the test library's feedback-canceller
   module. */
#ifndef TEST_SDK_LIBKTL7000_RUNTIME_H
#define TEST_SDK_LIBKTL7000_RUNTIME_H

enum TestIirTypes
{
    _IIR_FLAT, _IIR_PEAK, _IIR_HP1, _IIR_LP1, _IIR_HP2, _IIR_LP2, _IIR_HS1, _IIR_LS1, _IIR_HS2, _IIR_LS2, _IIR_AP1, _IIR_AP2
};

void _IIR_ComputeCoefficients (_FILTER_PARAM* iirFP);
void _IIR_UpdateCoefficients (WORD dspId, WORD band, _FILTER_PARAM* iirFP);

void _DSPresetAll (void);
void _DSProutInEx (WORD dspId, WORD* routing);
void _DSProutEx (WORD dspId, WORD* routing);
void _StartDSP (WORD dspId);

#define _SPDIF_CONSUMER 0x0000
#define _SPDIF_COPY_PERMITTED 0x0004
void _SPDIF_SetOutputRate (DWORD rate);
void _SPDIF_SetChannelStatus (WORD status);

WORD _FBCancel_GetDetection (WORD dspId, WORD* band, DWORD* frequency);

/* Chip pins: audio inputs, audio outputs, internal buses either way. */
enum TestChipPins
{
    DAAD0L = 0x00, DAAD0R, DAAD1L, DAAD1R, DAAD2L, DAAD2R, DAAD3L, DAAD3R,
    DAAD4L, DAAD4R, DAAD5L, DAAD5R, DAAD6L, DAAD6R, DAAD7L, DAAD7R,
    DABD0L = 0x10, DABD0R, DABD1L, DABD1R, DABD2L, DABD2R, DABD3L, DABD3R,
    DABD4L, DABD4R, DABD5L, DABD5R, DABD6L, DABD6R, DABD7L, DABD7R,
    IBUS0IN = 0x20, IBUS1IN, IBUS2IN, IBUS3IN, IBUS4IN, IBUS5IN, IBUS6IN, IBUS7IN,
    IBUS8IN, IBUS9IN, IBUSAIN, IBUSBIN, IBUSCIN, IBUSDIN, IBUSEIN, IBUSFIN,
    IBUS0OUT = 0x30, IBUS1OUT, IBUS2OUT, IBUS3OUT, IBUS4OUT, IBUS5OUT, IBUS6OUT, IBUS7OUT,
    IBUS8OUT, IBUS9OUT, IBUSAOUT, IBUSBOUT, IBUSCOUT, IBUSDOUT, IBUSEOUT, IBUSFOUT
};

/* FeedbackFx */
void Fbx_InitDsp (WORD dspId);
void Fbx_SetInputRoute (WORD dspId, WORD pin, WORD value);
void Fbx_SetOutputRoute (WORD dspId, WORD pin, WORD value);
void Fbc_Init (WORD dspId, WORD processId);

#endif
