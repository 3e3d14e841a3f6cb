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

#endif //__PRESETS_H__