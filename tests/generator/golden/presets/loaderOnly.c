#include <system.h>
#include "midictrl.h"

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

/*******************************************************************************
 * Preset loader function
 *   input : channel = DSP# -1
 *           process = Process ID
 *           presetControls = address of the preset's control table
 *           presetTable = address of the preset's value table
 *           presetNumber = the preset to load (0..PRESET_NB-1)
 ******************************************************************************/
void quellion_LoadPreset( WORD channel, WORD process, PTR32 presetControls, PTR32 presetTable, WORD presetNumber )
{
	WORD controlIndex, controlCount, control, preset_count_biquad, presetStructSize;
	DWORD value;
	PTR32 presetArrayPointer;

	preset_count_biquad = _rdxtmemEx( presetControls + 0 );
	controlCount = preset_count_biquad & 0x7FFF;
	presetStructSize= _rdxtmemEx( presetControls + 1 );
	presetArrayPointer = presetTable + presetStructSize*presetNumber;

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
	}
}
