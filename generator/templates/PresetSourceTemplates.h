#pragma once

// The fixed texts of the generated preset sources: the loader of process
// presets ("presets.c"), its prototype ("presets.h") and the loader of global
// presets ("GlobalPresets.c"). Lines are indented with tabs.
namespace PresetSourceTemplates
{
inline constexpr const char* loaderComment = R"QT(/*******************************************************************************
 * Preset loader function
 *   input : channel = DSP# -1
 *           process = Process ID
 *           presetControls = address of the preset's control table
 *           presetTable = address of the preset's value table
 *           presetNumber = the preset to load (0..PRESET_NB-1)
 ******************************************************************************/
)QT";

inline constexpr const char* loaderPrototype =
    "void quellion_LoadPreset( WORD channel, WORD process, PTR32 presetControls, PTR32 presetTable, WORD presetNumber )";

inline constexpr const char* biquadIncludes = R"QT(// Include files needed for handling biquad functions
#include <math.h>
#include "quellion.h"
#include "BiquadCtrl.h"
)QT";

inline constexpr const char* rescaleFunction = R"QT(
// A control's value as its process takes it: 15-bit values are scaled up
// by 8 bits (format 0) or 1 bit (format 1), 32-bit values pass unchanged.
DWORD rescaleMidiData ( WORD control, DWORD data )
{
	switch ( control >> 14 )
	{
		case 0:
			data &= 0x7FFF;
			data <<= 8;
			break;
		case 1:
			data &= 0x7FFF;
			data <<= 1;
			break;
		default:
			break;
	}

	return data;
}

)QT";

inline constexpr const char* loaderHead = R"QT(
{
	WORD controlIndex, controlCount, control, preset_count_biquad, presetStructSize;
	DWORD value;
	PTR32 presetArrayPointer;

	preset_count_biquad = _rdxtmemEx( presetControls + 0 );
	controlCount = preset_count_biquad & 0x7FFF;
	presetStructSize= _rdxtmemEx( presetControls + 1 );
	presetArrayPointer = presetTable + presetStructSize*presetNumber;
)QT";

inline constexpr const char* biquadLoadingStart = "\tbiquadSetLoadingPreset( preset_count_biquad >> 15 );\n";

// The delay word of a row holds the delay's count, which is no control
// value: it is passed over, one word like every 16-bit value.
inline constexpr const char* loaderLoop = R"QT(
	for ( controlIndex = 2; controlIndex < controlCount + 2; controlIndex++ )
	{
		control = _rdxtmemEx( presetControls + controlIndex );

		if ( control == 0xF00D )
		{
			// Delay preset extra data
			presetArrayPointer++;
			continue;
		}

		if ( (control >> 14) > 1 )
		{
			value = readExtMemDword( presetArrayPointer );
			presetArrayPointer += sizeof(DWORD);
		}
		else
		{
			value = _rdxtmemEx( presetArrayPointer );
			presetArrayPointer++;
		}

		quellion_HandleNRPN( channel, control&0xFF | (process&0x3F)<<8, rescaleMidiData( control, value ), FORMAT_28BIT_PRECISION );
)QT";

inline constexpr const char* loaderEndWithBiquad = "\t}\n\tbiquadSetLoadingPreset( 0 );\n}\n";
inline constexpr const char* loaderEnd = "\t}\n}\n";

inline constexpr const char* globalLoader = R"QT(
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
)QT";
// "GlobalPresets.h" and "GlobalPresets.c" of a design that has no global
// preset (any more): they replace an earlier generation's, whose tables would
// otherwise still be loaded at start.
inline constexpr const char* noGlobalPresetHeader = R"QT(#include <system.h>

/* Global preset header file */
/* The design has no global preset: no table and no loader. */
#if _USE_GLOBAL_PRESET
#error "The design has no global preset: save one and generate again, or build without _USE_GLOBAL_PRESET"
#endif
)QT";

inline constexpr const char* noGlobalPresetSource = R"QT(/* The design has no global preset: no table and no loader. */
#include "GlobalPresets.h"
)QT";
} // namespace PresetSourceTemplates
