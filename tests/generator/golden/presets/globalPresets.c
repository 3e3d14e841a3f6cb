#include "GlobalPresets.h"
#include "midictrl.h"

// Compressor preset list. Table ID: 0x0
const PresetGlobal_Compressor global_compressor_presets[GLOBAL_COMPRESSOR_PRESET_NB] =
{
	/* GlobalPresetA_DSP01-PCS02 */ { 10, 3 },
	/* GlobalPresetB_DSP01-PCS02 */ { 20, 7 }
};

// Gain preset list. Table ID: 0x2
const PresetGlobal_Gain global_gain_presets[GLOBAL_GAIN_PRESET_NB] =
{
	/* GlobalPresetA_DSP02-PCS01 */ { 99 }
};

const WORD_FAR_P global_preset_table_address[NUMBER_OF_PRESET_TABLE] =
{
	FARPTR((const WORD*)&global_compressor_presets),
	FARPTR((const WORD*)0), FARPTR((const WORD*)&global_gain_presets)
};

// Compressor preset control list.
const WORD global_compressor_controls[4] = { 2, 2, 0x10, 0x4011 };

// Gain preset control list.
const WORD global_gain_controls[3] = { 1, 1, 0x11 };

const WORD_FAR_P global_preset_control_table_address[NUMBER_OF_PRESET_TABLE] =
{
	FARPTR((const WORD*)&global_compressor_controls),
	FARPTR((const WORD*)0), FARPTR((const WORD*)&global_gain_controls)
};

#define	GLOBAL_NUMBER_OF_DSP	2

// Global presets: per DSP the DSP id and number of processes, then each process's preset key.
const DWORD globalPreset[2][4] =
{
	/* GlobalPresetA */ { /* DSP#1 */ 0x10001, 0x2, /* DSP#2 */ 0x20001, 0x200001 },
	/* GlobalPresetB */ { /* DSP#1 */ 0x10001, 0x102, /* DSP#2 */ 0x20001, 0x200001 }
};

#define GLOBAL_PROCESS_ID_NBIT 8
#define GLOBAL_PRESET_ID_NBIT 12
#define GLOBAL_TABLE_ID_NBIT 12

/*******************************************************************************
 * Global preset loader function
 *   input : *global_preset_table = the global preset's row of globalPreset
 ******************************************************************************/
void quellion_LoadGlobalPreset( PTR32 global_preset_table )
{
	WORD dspIndex, processIndex, numberOfProcess, dspId, processId, presetNumber, tableId;
	DWORD data;
	PTR32 control_table_address, preset_table_address;

	control_table_address = _cptr32( &global_preset_control_table_address );
	preset_table_address = _cptr32( &global_preset_table_address );

	for ( dspIndex = 0; dspIndex < GLOBAL_NUMBER_OF_DSP; dspIndex++ )
	{
		data = readExtMemDword( global_preset_table );
		global_preset_table += sizeof(DWORD);
		numberOfProcess = data & 0xFFFF;
		dspId = (data >> 16) & 0xFFFF;

		for ( processIndex = 0; processIndex < numberOfProcess; processIndex++ )
		{
			data = readExtMemDword( global_preset_table );
			global_preset_table += sizeof(DWORD);
			processId = data & ((1<<GLOBAL_PROCESS_ID_NBIT)-1);
			data >>= GLOBAL_PROCESS_ID_NBIT;
			presetNumber = data & ((1<<GLOBAL_PRESET_ID_NBIT)-1);
			data >>= GLOBAL_PRESET_ID_NBIT;
			tableId = data & ((1<<GLOBAL_TABLE_ID_NBIT)-1);

			quellion_LoadPreset( dspId-1, processId, _rdxtmem32Ex( control_table_address + (tableId<<1) ),
				_rdxtmem32Ex( preset_table_address + (tableId<<1) ), presetNumber );
		}
	}
}
