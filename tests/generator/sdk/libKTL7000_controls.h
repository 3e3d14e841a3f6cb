/* Stand-in for the control functions of the test library's processes, for
   syntax checks of the generated control handlers on the host: every
   function a handler calls or hands to the biquad update, with the literal
   arguments some of them take. The biquad update functions take the
   callback record and the biquad by address. */
#ifndef TEST_SDK_LIBKTL7000_CONTROLS_H
#define TEST_SDK_LIBKTL7000_CONTROLS_H

/* Literal arguments of the test library's word lists. */
#define RATIO_TABLE 0x0100
enum TestLiteralArguments
{
    dB20, SoftClip, Tube
};

/* StudioCore8 */
void Eq8_Biquad_UpdateCoeff (WORD dspId, WORD processId, void* callback, void* biquad);
void Eq8_Biquad_Flat (WORD dspId, WORD processId, void* biquad);
void Eq8_Bypass (WORD dspId, WORD processId, WORD on);
void Eq8_Level (WORD dspId, WORD processId, DWORD value);
void Eq8_Invert (WORD dspId, WORD processId, WORD on);
void Eq8_BandType (WORD dspId, WORD processId, WORD band, WORD type);
void Eq8_BandQ (WORD dspId, WORD processId, WORD band, DWORD value);
void Eq8_BandFreq (WORD dspId, WORD processId, WORD band, DWORD value);
void Eq8_BandGain (WORD dspId, WORD processId, WORD band, DWORD value);
void Shelf_Biquad_UpdateCoeff (WORD dspId, WORD processId, void* callback, void* biquad);
void Shelf_Biquad_Flat (WORD dspId, WORD processId, void* biquad);
void Shelf_Bypass (WORD dspId, WORD processId, WORD on);
void Shelf_Level (WORD dspId, WORD processId, DWORD value);
void Shelf_Invert (WORD dspId, WORD processId, WORD on);
void Shelf_BandType (WORD dspId, WORD processId, WORD band, WORD type);
void Shelf_BandQ (WORD dspId, WORD processId, WORD band, DWORD value);
void Shelf_BandFreq (WORD dspId, WORD processId, WORD band, DWORD value);
void Shelf_BandGain (WORD dspId, WORD processId, WORD band, DWORD value);
void Comp_SetThreshold (WORD dspId, WORD processId, WORD index, DWORD value);
void Comp_SetRatio (WORD dspId, WORD processId, WORD index, DWORD value);
void Comp_SetAttack (WORD dspId, WORD processId, WORD index, DWORD value);
void Comp_SetRelease (WORD dspId, WORD processId, WORD index, DWORD value);
void Comp_SetBoost (WORD dspId, WORD processId, WORD index, DWORD value);
void Comp_SetEnable (WORD dspId, WORD processId, WORD index, WORD on);
void Cpd_SetThreshold (WORD dspId, WORD processId, WORD index, DWORD value);
void Cpd_SetThreshold2 (WORD dspId, WORD processId, WORD index, DWORD value);
void Cpd_SetRatio (WORD dspId, WORD processId, WORD index, DWORD value);
void Cpd_SetRatio2 (WORD dspId, WORD processId, WORD index, DWORD value);
void Lim_SetCeiling (WORD dspId, WORD processId, WORD index, DWORD value);
void Lim_SetRelease (WORD dspId, WORD processId, WORD index, DWORD value);
void Lim_ResetState (WORD dspId, WORD processId);
void SDelay_SetTime (WORD dspId, WORD processId, WORD index, DWORD value);
void LDelay_SetTime (WORD dspId, WORD processId, WORD index, DWORD value);
void LDelay_SetFeedback (WORD dspId, WORD processId, WORD index, DWORD value);
void Bank_SelectSlot (WORD dspId, WORD processId, WORD index, WORD slot);
void Bank_SetLevel (WORD dspId, WORD processId, WORD index, DWORD value);
WORD Meter_GetPeak (WORD dspId, WORD processId, WORD index);
void Meter_SetDecay (WORD dspId, WORD processId, WORD index, DWORD value);

/* The control processes the handler tests add to StudioCore8 */
void Beq_Biquad_UpdateCoeff (WORD dspId, WORD processId, void* callback, void* biquad);
void Beq_Biquad_Flat (WORD dspId, WORD processId, void* biquad);
void Beq_SetBandCount (WORD dspId, WORD processId, WORD bands);
void Beq_SetBypass (WORD dspId, WORD processId, WORD on);
void Beq_SetMasterGain (WORD dspId, WORD processId, DWORD value);
void Beq_SetType (WORD dspId, WORD processId, WORD band, WORD type);
void Beq_SetQ (WORD dspId, WORD processId, WORD band, DWORD value);
void Beq_SetFrequency (WORD dspId, WORD processId, WORD band, DWORD value);
void Beq_SetGain (WORD dspId, WORD processId, WORD band, DWORD value);
void Pitch_ShiftAmount (WORD dspId, WORD processId, WORD index, WORD shift);
void Pitch_SetRatio (WORD dspId, WORD processId, WORD index, WORD table, WORD steps, WORD ratio);
void Pitch_Freeze (void);
WORD Level_GetCurrentLevel (WORD dspId, WORD processId, WORD index);

/* StudioCoreLite */
void Mix_SetInputGain (WORD dspId, WORD processId, WORD index, WORD input, DWORD value);
void Mix_SetMute (WORD dspId, WORD processId, WORD index, WORD on);
void Send_SetLevel (WORD dspId, WORD processId, WORD index, DWORD value);
void Send_SetTarget (WORD dspId, WORD processId, WORD index, WORD target);
void Gain_SetLevel (WORD dspId, WORD processId, WORD index, DWORD value);
void Gain_SetLaw (WORD dspId, WORD processId, WORD index, WORD law);
void Dist_SetDrive (WORD dspId, WORD processId, WORD index, DWORD value);
void Dist_SetTone (WORD dspId, WORD processId, WORD index, DWORD value);
void Dist_LoadCurve (WORD dspId, WORD processId, WORD index, WORD curve);

/* MixPA */
void PaMix_SetGain (WORD dspId, WORD processId, WORD index, DWORD value);
void PaMix_SetMute (WORD dspId, WORD processId, WORD index, WORD on);
void PaGain_SetLevel (WORD dspId, WORD processId, WORD index, DWORD value);
void PaGain_SetMute (WORD dspId, WORD processId, WORD index, WORD on);
void PaLim_SetCeiling (WORD dspId, WORD processId, WORD index, DWORD value);
void PaLim_SetRelease (WORD dspId, WORD processId, WORD index, DWORD value);

#endif
