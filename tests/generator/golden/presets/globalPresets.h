#ifndef __GLOBALPRESETS_H__
#define __GLOBALPRESETS_H__
#include <system.h>

/* Global preset header file */
#include "presets.h"
void quellion_LoadGlobalPreset( PTR32 global_preset_table );

// Compressor preset structure.
typedef struct PresetGlobal_Compressor
{
	WORD parameter1; // Threshold
	WORD parameter2; // Ratio
} PresetGlobal_Compressor;

// Gain preset structure.
typedef struct PresetGlobal_Gain
{
	WORD parameter1; // Level
} PresetGlobal_Gain;

// Compressor preset control structure.
typedef struct ControlGlobal_Compressor
{
	WORD numberOfControls; // number of controls
	WORD sizeOfStruct; // size of this Structure
	WORD control[2]; // controls array
} ControlGlobal_Compressor;

// Gain preset control structure.
typedef struct ControlGlobal_Gain
{
	WORD numberOfControls; // number of controls
	WORD sizeOfStruct; // size of this Structure
	WORD control[1]; // controls array
} ControlGlobal_Gain;

#define	GLOBAL_COMPRESSOR_PRESET_NB	2
extern const PresetGlobal_Compressor global_compressor_presets[GLOBAL_COMPRESSOR_PRESET_NB];
#define	GLOBAL_GAIN_PRESET_NB	1
extern const PresetGlobal_Gain global_gain_presets[GLOBAL_GAIN_PRESET_NB];
#define	NUMBER_OF_PRESET_TABLE	3
extern const WORD_FAR_P global_preset_table_address[NUMBER_OF_PRESET_TABLE];
extern const WORD global_compressor_controls[4];
extern const WORD global_gain_controls[3];
extern const WORD_FAR_P global_preset_control_table_address[NUMBER_OF_PRESET_TABLE];
extern const DWORD globalPreset[2][4];

#endif //__GLOBALPRESETS_H__