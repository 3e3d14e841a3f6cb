#ifndef __PRESETS_H__
#define __PRESETS_H__
#include <system.h>

/* Preset header file */
/*******************************************************************************
 * Preset loader function
 *   input : channel = DSP# -1
 *           process = Process ID
 *           presetControls = address of the preset's control table
 *           presetTable = address of the preset's value table
 *           presetNumber = the preset to load (0..PRESET_NB-1)
 ******************************************************************************/
void quellion_LoadPreset( WORD channel, WORD process, PTR32 presetControls, PTR32 presetTable, WORD presetNumber );

// Compressor preset structure.
typedef struct PresetCompressor
{
	WORD parameter1; // Threshold
	WORD parameter2; // Ratio
	DWORD parameter3; // Attack
} PresetCompressor;

// ShortDelay preset structure.
typedef struct PresetShortDelay
{
	WORD parameter1; // Time
	WORD parameter2; // -/-delay-/-
	DWORD parameter3; // Feedback
} PresetShortDelay;

// Biquad[4] preset structure.
typedef struct PresetBiquad_c4
{
	WORD parameter1; // Gain
	WORD parameter2; // Frequency
	WORD parameter3; // Q
} PresetBiquad_c4;

// Compressor preset control structure.
typedef struct ControlCompressor
{
	WORD numberOfControls; // number of controls
	WORD sizeOfStruct; // size of this Structure
	WORD control[3]; // controls array
} ControlCompressor;

// ShortDelay preset control structure.
typedef struct ControlShortDelay
{
	WORD numberOfControls; // number of controls
	WORD sizeOfStruct; // size of this Structure
	WORD control[3]; // controls array
} ControlShortDelay;

// Biquad[4] preset control structure.
typedef struct ControlBiquad_c4
{
	WORD numberOfControls; // number of controls
	WORD sizeOfStruct; // size of this Structure
	WORD control[3]; // controls array
} ControlBiquad_c4;

#define	COMPRESSOR_PRESET_NB	2
extern const PresetCompressor compressor_presets[COMPRESSOR_PRESET_NB];
#define	SHORTDELAY_PRESET_NB	1
extern const PresetShortDelay shortdelay_presets[SHORTDELAY_PRESET_NB];
#define	BIQUAD_C4_PRESET_NB	1
extern const PresetBiquad_c4 biquad_c4_presets[BIQUAD_C4_PRESET_NB];
extern const WORD compressor_controls[5];
extern const WORD shortdelay_controls[5];
extern const WORD biquad_c4_controls[5];

#endif //__PRESETS_H__