#pragma once

// The fixed texts of the project-wide headers: the shared part of
// "quellion.h" and the biquad control pair "BiquadCtrl.c" / "BiquadCtrl.h".
// The generator puts the design's numbers between them.

namespace ProjectHeaderTemplates
{
// The shared definitions of "quellion.h", after its DSP count: the biquad records
// the DSP sources and handlers fill, and the entry points of the control sources.
inline constexpr const char* quellionSharedDefinitions = R"QT(

#include <system.h>
#include <libKTL7000.h>

// The parameters of one biquad process: its filters, their types and
// frequencies, and the MIDI channel of the last command that reached it.
typedef struct
{
	_FILTER_PARAM *filterParam;
	WORD *type;
	WORD *xoverType;
	DWORD *frequency; // 20.12 fixedpoint format
	WORD numberOfBand;
	WORD channel;
} BiquadParameters;

// One biquad control of the NRPN handlers: its NRPN, the library function
// that serves it and the biquad it changes.
typedef struct
{
	WORD nrpn;
	WORD functionId;
	BiquadParameters *parametersTable;
} BiquadParamsTable;

// One biquad control of the command handlers.
typedef struct
{
	WORD command;
	BiquadParameters *parametersTable;
} BiquadCommandParamsTable;

// The library functions that load a biquad's coefficients into its DSP.
typedef struct
{
	PTR32 BIQUAD_FlatFuncPtr;
	PTR32 BIQUAD_UpdateCoeffFuncPtr;
} UpdateCoeffCallback;

void quellion_InitAndRoute( void );
void quellion_InitNrpnFunction( void );
WORD dichotomicSearch( PTR32 table, WORD rowSize, WORD itemIndex, WORD tableLen, WORD valueToSearch );
void sendSysExMessage( DWORD id, WORD msg );
WORD dspNrpnHandlerCallback( PTR32 handler, WORD nrpn, WORD dspId, WORD processId, DWORD value, WORD format );
extern WORD dsp[NBDSPINITIALIZED];
)QT";

// "BiquadCtrl.c" up to the coefficient update: includes, slope tables, the
// preset-loading switch and the crossover routines.
inline constexpr const char* biquadControlBody = R"QT(#include <system.h>
#include <libktl7000.h>
#include "quellion.h"
#include "BiquadCtrl.h"
#include "custom.h"

// Biquad control: the filter types, crossover slopes and parameters of the
// biquad processes, turned into coefficients and loaded into their DSPs.
// Each setter takes the value of a band control as the control panels and
// the NRPN list publish it: the type as its code in the band's type list
// (a filter type 0 to 11, a crossover 65 and above), the gain x as (x-64)/2
// dB, the frequency x as x/4096 Hz (20.12 fixed point) and the Q x as
// 0.3+((x/16383)^2*119.7).

#define XOVER_READ_BANDNB	255

// Q of each second-order section of the Butterworth slopes of order 2, 3, 4, 6 and 8
const DWORD TAB_BUTTERWORTH[5][4] =
{
	{ 0x3F3504F3, 0x00000000, 0x00000000, 0x00000000 },
	{ 0x3F800000, 0x00000000, 0x00000000, 0x00000000 },
	{ 0x3F0A8BD4, 0x3FA73D74, 0x00000000, 0x00000000 },
	{ 0x3F0483EE, 0x3F3504F3, 0x3FF746EA, 0x00000000 },
	{ 0x3F0281F7, 0x3F19F1BD, 0x3F6664D7, 0x402406CF }
};

// Q and frequency factor of each section of the Bessel slopes of order 2, 3, 4, 6 and 8
const DWORD TAB_BESSEL[5][8] =
{
	{ 0x3F13CD3A, 0x3FA2D18A, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000 },
	{ 0x3F30E867, 0x3FB96579, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000 },
	{ 0x3F059DB9, 0x3FB7595F, 0x3F4E379E, 0x3FCD8F72, 0x00000000, 0x00000000, 0x00000000, 0x00000000 },
	{ 0x3F02A496, 0x3FCDA2ED, 0x3F1C7753, 0x3FD88EE0, 0x3F82FBF4, 0x3FF4338D, 0x00000000, 0x00000000 },
	{ 0x3F01886A, 0x3FE405F1, 0x3F0F42E2, 0x3FEAE5F7, 0x3F35FA53, 0x3FFA6D16, 0x3F9CE2BC, 0x400C4FD9 }
};

// Q of each section of the Linkwitz-Riley slopes of order 2, 4, 6 and 8
const DWORD TAB_LINKRILEY[4][4] =
{
	{ 0x3F000000, 0x00000000, 0x00000000, 0x00000000 },
	{ 0x3F3504F3, 0x3F3504F3, 0x00000000, 0x00000000 },
	{ 0x3F000000, 0x3F800000, 0x3F800000, 0x00000000 },
	{ 0x3F0A8BD4, 0x3FA73D74, 0x3F0A8BD4, 0x3FA73D74 }
};

// Frequency factor of the first-order section of the third-order Bessel slope
#define BESSEL_3RD_POLE	0x3FA94D71

// While a preset is loading, parameters are only stored: the coefficients
// follow once every parameter of the preset is in place.
static WORD isLoadingPreset = 0;

void biquadSetLoadingPreset( WORD loading )
{
	isLoadingPreset = loading;
}

void biquadSetNumberOfBandUsed( BiquadParameters *biquadParam, WORD count )
{
	biquadParam->numberOfBand = count;
}

static FLOAT tableValue( DWORD bits )
{
	union
	{
		DWORD bits;
		FLOAT value;
	} word;

	word.bits = bits;
	return word.value;
}

// One section of a crossover slope: the band is locked to the crossover that
// begins at or before it.
static void SetSection( BiquadParameters *biquadParam, WORD band, WORD type, FLOAT f, FLOAT q )
{
	_FILTER_PARAM *iirFP = &biquadParam->filterParam[band];

	iirFP->f = f;
	iirFP->q = q;
	iirFP->g = 0.0f;
	biquadParam->type[band] = (biquadParam->type[band] & BIQUAD_EX_FLAG) | BIQUAD_MSB_USED | type;
}

static WORD SetSections( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f, const DWORD *qTable, WORD count )
{
	WORD i;

	for ( i = 0; i < count && band + i < biquadParam->numberOfBand; i++ )
		SetSection( biquadParam, band + i, direction == XOVER_HP ? UPDATE_HP2_FILTER : UPDATE_LP2_FILTER, f, tableValue( qTable[i] ) );

	return i;
}

static WORD SetBesselSections( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f, const DWORD *table, WORD count )
{
	WORD i;

	for ( i = 0; i < count && band + i < biquadParam->numberOfBand; i++ )
		SetSection( biquadParam, band + i, direction == XOVER_HP ? UPDATE_HP2_FILTER : UPDATE_LP2_FILTER,
					GetBesselFrequency( f, table[2*i+1], direction ), tableValue( table[2*i] ) );

	return i;
}

// A Bessel section stands above the crossover frequency in a low-pass slope
// and below it in a high-pass slope.
FLOAT GetBesselFrequency( FLOAT f, DWORD factor, WORD direction )
{
	if ( direction == XOVER_HP )
		return f / tableValue( factor );

	return f * tableValue( factor );
}

WORD Set1stOrder( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	if ( band >= biquadParam->numberOfBand )
		return 0;

	SetSection( biquadParam, band, direction == XOVER_HP ? UPDATE_HP1_FILTER : UPDATE_LP1_FILTER, f, 0.0f );
	return 1;
}

void SetFlat( BiquadParameters *biquadParam, WORD band )
{
	if ( band >= biquadParam->numberOfBand )
		return;

	biquadParam->type[band] = (biquadParam->type[band] & BIQUAD_EX_FLAG) | FILTER_FLAT;
	biquadParam->xoverType[band] = XOVER_FLAT;
	biquadParam->filterParam[band].g = 0.0f;
}

WORD Butterworth1st( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	return Set1stOrder( biquadParam, band, direction, f );
}

WORD Butterworth2nd( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	return SetSections( biquadParam, band, direction, f, TAB_BUTTERWORTH[0], 1 );
}

WORD Butterworth3rd( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	WORD count = Set1stOrder( biquadParam, band, direction, f );

	return count + SetSections( biquadParam, band + count, direction, f, TAB_BUTTERWORTH[1], 1 );
}

WORD Butterworth4th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	return SetSections( biquadParam, band, direction, f, TAB_BUTTERWORTH[2], 2 );
}

WORD Butterworth6th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	return SetSections( biquadParam, band, direction, f, TAB_BUTTERWORTH[3], 3 );
}

WORD Butterworth8th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	return SetSections( biquadParam, band, direction, f, TAB_BUTTERWORTH[4], 4 );
}

WORD Bessel2nd( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	return SetBesselSections( biquadParam, band, direction, f, TAB_BESSEL[0], 1 );
}

WORD Bessel3rd( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	WORD count = Set1stOrder( biquadParam, band, direction, GetBesselFrequency( f, BESSEL_3RD_POLE, direction ) );

	return count + SetBesselSections( biquadParam, band + count, direction, f, TAB_BESSEL[1], 1 );
}

WORD Bessel4th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	return SetBesselSections( biquadParam, band, direction, f, TAB_BESSEL[2], 2 );
}

WORD Bessel6th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	return SetBesselSections( biquadParam, band, direction, f, TAB_BESSEL[3], 3 );
}

WORD Bessel8th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	return SetBesselSections( biquadParam, band, direction, f, TAB_BESSEL[4], 4 );
}

WORD LinkRiley2nd( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	return SetSections( biquadParam, band, direction, f, TAB_LINKRILEY[0], 1 );
}

WORD LinkRiley4th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	return SetSections( biquadParam, band, direction, f, TAB_LINKRILEY[1], 2 );
}

WORD LinkRiley6th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	return SetSections( biquadParam, band, direction, f, TAB_LINKRILEY[2], 3 );
}

WORD LinkRiley8th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f )
{
	return SetSections( biquadParam, band, direction, f, TAB_LINKRILEY[3], 4 );
}

// Lays out the crossover slope from the band on; returns the number of bands it takes.
WORD SetXOverFilterType( BiquadParameters *biquadParam, WORD band, WORD xoverType )
{
	WORD direction = XOVER_DIRECTION( xoverType );
	FLOAT f;

	if ( band >= biquadParam->numberOfBand )
		return 0;

	f = (FLOAT)biquadParam->frequency[band] / 4096.0f;
	biquadParam->xoverType[band] = xoverType;

	switch ( XOVER_SLOPE( xoverType ) )
	{
		case BUTTERWORTH_1ST: return Butterworth1st( biquadParam, band, direction, f );
		case BUTTERWORTH_2ND: return Butterworth2nd( biquadParam, band, direction, f );
		case BUTTERWORTH_3RD: return Butterworth3rd( biquadParam, band, direction, f );
		case BUTTERWORTH_4TH: return Butterworth4th( biquadParam, band, direction, f );
		case BUTTERWORTH_6TH: return Butterworth6th( biquadParam, band, direction, f );
		case BUTTERWORTH_8TH: return Butterworth8th( biquadParam, band, direction, f );
		case BESSEL_2ND: return Bessel2nd( biquadParam, band, direction, f );
		case BESSEL_3RD: return Bessel3rd( biquadParam, band, direction, f );
		case BESSEL_4TH: return Bessel4th( biquadParam, band, direction, f );
		case BESSEL_6TH: return Bessel6th( biquadParam, band, direction, f );
		case BESSEL_8TH: return Bessel8th( biquadParam, band, direction, f );
		case LINKRILEY_2ND: return LinkRiley2nd( biquadParam, band, direction, f );
		case LINKRILEY_4TH: return LinkRiley4th( biquadParam, band, direction, f );
		case LINKRILEY_6TH: return LinkRiley6th( biquadParam, band, direction, f );
		case LINKRILEY_8TH: return LinkRiley8th( biquadParam, band, direction, f );
		default: break;
	}

	SetFlat( biquadParam, band );
	return 1;
}

)QT";

// The head of the coefficient update, with the filter types of every biquad.
inline constexpr const char* biquadSwitchHead = R"QT(// Computes the coefficients of one band and loads them into its DSP through
// the library's update function (its flat function for a flat band).
void FilterCoefficientsUpdate( _FILTER_PARAM *iirFP, WORD type, WORD dspId, WORD procId, WORD band, UpdateCoeffCallback *callback )
{
	switch ( type & 0x3F )
	{
		case FILTER_FLAT: iirFP->type = _IIR_FLAT; break;
		case FILTER_PEQ: iirFP->type = _IIR_PEAK; break;
		case FILTER_HP1: iirFP->type = _IIR_HP1; break;
		case FILTER_LP1: iirFP->type = _IIR_LP1; break;
		case FILTER_HP2: iirFP->type = _IIR_HP2; break;
		case FILTER_LP2: iirFP->type = _IIR_LP2; break;
		case FILTER_HS1: iirFP->type = _IIR_HS1; break;
		case FILTER_LS1: iirFP->type = _IIR_LS1; break;
)QT";

// The second-order shelving types, only with biquads of the extended kind.
inline constexpr const char* biquadExtendedCases = R"QT(		case FILTER_HS2: iirFP->type = _IIR_HS2; break;
		case FILTER_LS2: iirFP->type = _IIR_LS2; break;
)QT";

// The all-pass types and the end of the type switch.
inline constexpr const char* biquadSwitchEnd = R"QT(		case FILTER_AP1: iirFP->type = _IIR_AP1; break;
		case FILTER_AP2: iirFP->type = _IIR_AP2; break;
		default: iirFP->type = _IIR_FLAT; break;
	}

)QT";

// After the sampling-rate line: the rest of the coefficient update and the
// parameter setters.
inline constexpr const char* biquadControlRest = R"QT(	_IIR_ComputeCoefficients( iirFP );

	if ( (type & 0x3F) == FILTER_FLAT )
		updateBiquadCallback( callback->BIQUAD_FlatFuncPtr, dspId, procId, iirFP, band );
	else
		updateBiquadCallback( callback->BIQUAD_UpdateCoeffFuncPtr, dspId, procId, iirFP, band );
}

static void biquadBandUpdate( BiquadParameters *biquadParam, WORD dspId, WORD procId, WORD band, UpdateCoeffCallback *callback )
{
	if ( isLoadingPreset || band >= biquadParam->numberOfBand )
		return;

	FilterCoefficientsUpdate( &biquadParam->filterParam[band], biquadParam->type[band], dspId, procId, band, callback );
}

// A band that holds a crossover takes its whole slope along when a parameter changes.
static void biquadUpdateFrom( BiquadParameters *biquadParam, WORD dspId, WORD procId, WORD band, UpdateCoeffCallback *callback )
{
	WORD count = 1, i;

	if ( biquadParam->type[band] & BIQUAD_XOVER_TYPE_BAND )
	{
		count = SetXOverFilterType( biquadParam, band, biquadParam->xoverType[band] );
		biquadParam->type[band] |= BIQUAD_XOVER_TYPE_BAND;
	}

	for ( i = 0; i < count; i++ )
		biquadBandUpdate( biquadParam, dspId, procId, band + i, callback );
}

WORD SetFilterGain( BiquadParameters *biquadParam, WORD dspId, WORD procId, WORD band, DWORD v, UpdateCoeffCallback *callback )
{
	_FILTER_PARAM *iirFP;

	if ( band >= biquadParam->numberOfBand )
		return 0;

	iirFP = &biquadParam->filterParam[band];
	iirFP->g = ((FLOAT)v - 64.0f) / 2.0f;
#ifdef _customFilterGain
	customFilterGain( iirFP, biquadParam, dspId, procId, band, v );
#endif
	biquadUpdateFrom( biquadParam, dspId, procId, band, callback );
	return 1;
}

WORD SetFilterFreq( BiquadParameters *biquadParam, WORD dspId, WORD procId, WORD band, DWORD v, UpdateCoeffCallback *callback )
{
	_FILTER_PARAM *iirFP;

	if ( band >= biquadParam->numberOfBand )
		return 0;

	iirFP = &biquadParam->filterParam[band];
	biquadParam->frequency[band] = v;
	iirFP->f = (FLOAT)v / 4096.0f;
#ifdef _customFilterFreq
	customFilterFreq( iirFP, biquadParam, dspId, procId, band, v );
#endif
	biquadUpdateFrom( biquadParam, dspId, procId, band, callback );
	return 1;
}

WORD SetFilterQ( BiquadParameters *biquadParam, WORD dspId, WORD procId, WORD band, DWORD v, UpdateCoeffCallback *callback )
{
	_FILTER_PARAM *iirFP;
	FLOAT x;

	if ( band >= biquadParam->numberOfBand )
		return 0;

	iirFP = &biquadParam->filterParam[band];
	x = (FLOAT)v / 16383.0f;
	iirFP->q = 0.3f + x * x * 119.7f;
#ifdef _customFilterQ
	customFilterQ( iirFP, biquadParam, dspId, procId, band, v );
#endif
	biquadUpdateFrom( biquadParam, dspId, procId, band, callback );
	return 1;
}

// The number of bands a crossover slope takes.
WORD getNumberOfXoverBands( WORD xoverType )
{
	switch ( XOVER_SLOPE( xoverType ) )
	{
		case BUTTERWORTH_3RD:
		case BUTTERWORTH_4TH:
		case BESSEL_3RD:
		case BESSEL_4TH:
		case LINKRILEY_4TH: return 2;
		case BUTTERWORTH_6TH:
		case BESSEL_6TH:
		case LINKRILEY_6TH: return 3;
		case BUTTERWORTH_8TH:
		case BESSEL_8TH:
		case LINKRILEY_8TH: return 4;
		default: return 1;
	}
}

// Frees the bands that the crossover beginning at the band had locked.
void clearLockedBands( BiquadParameters *biquadParam, WORD band )
{
	WORD i;

	if ( band >= biquadParam->numberOfBand || ! (biquadParam->type[band] & BIQUAD_XOVER_TYPE_BAND) )
		return;

	for ( i = band + 1; i < biquadParam->numberOfBand; i++ )
	{
		if ( ! (biquadParam->type[i] & BIQUAD_MSB_USED) || (biquadParam->type[i] & BIQUAD_XOVER_TYPE_BAND) )
			break;

		SetFlat( biquadParam, i );
	}

	biquadParam->type[band] &= ~(BIQUAD_XOVER_TYPE_BAND | BIQUAD_MSB_USED);
}

// A code of the band type list: a filter type, or a crossover slope that
// takes this band and the next ones. The band XOVER_READ_BANDNB asks how many
// bands the code's slope would take. An unknown code makes the band flat.
WORD SetFilterType( BiquadParameters *biquadParam, WORD dspId, WORD procId, WORD band, DWORD v, UpdateCoeffCallback *callback )
{
	WORD xoverType = v <= 0xFFFF ? getCrossoverType( (WORD)v ) : XOVER_FLAT;

	if ( band == XOVER_READ_BANDNB )
		return getNumberOfXoverBands( xoverType );

	if ( band >= biquadParam->numberOfBand )
		return 0;

	clearLockedBands( biquadParam, band );

	if ( xoverType != XOVER_FLAT )
	{
		biquadParam->type[band] |= BIQUAD_XOVER_TYPE_BAND;
		biquadParam->xoverType[band] = xoverType;
	}
	else
		biquadParam->type[band] = (biquadParam->type[band] & BIQUAD_EX_FLAG) | (v <= FILTER_AP2 ? (WORD)v : FILTER_FLAT);

	biquadUpdateFrom( biquadParam, dspId, procId, band, callback );
	return 1;
}
)QT";

// The end of "BiquadCtrl.c" with biquads of the extended kind.
inline constexpr const char* biquadExtendedTypeInit = R"QT(
// The bands of a biquad process of the extended kind also offer the
// second-order shelving filters.
void initBiquadExType( WORD *biquadType, WORD count )
{
	WORD i;

	for ( i = 0; i < count; i++ )
		biquadType[i] |= BIQUAD_EX_FLAG;
}
)QT";

// The text of "BiquadCtrl.h" between its guard lines (with the extended-type
// prototype added after it when needed).
inline constexpr const char* biquadControlHeader = R"QT(// Biquad filter type defines & Biquad control function prototypes
#include <system.h>
#include "quellion.h"

// Filter types: the low 6 bits of a band's type word
#define FILTER_FLAT	0
#define FILTER_PEQ	1
#define FILTER_HP1	2
#define FILTER_LP1	3
#define FILTER_HP2	4
#define FILTER_LP2	5
#define FILTER_HS1	6
#define FILTER_LS1	7
#define FILTER_HS2	8
#define FILTER_LS2	9
#define FILTER_AP1	10
#define FILTER_AP2	11

// Crossover type word: the slope in the low byte, the direction in bit 8
#define XOVER_FLAT	0
#define XOVER_LP	0
#define XOVER_HP	1
#define XOVER_SLOPE(xoverType)	((xoverType) & 0xFF)
#define XOVER_DIRECTION(xoverType)	(((xoverType) >> 8) & 1)
#define XOVER_TYPE(direction, slope)	(((direction) << 8) | (slope))

enum ButterworthSlope
{
	BUTTERWORTH_1ST = 1,
	BUTTERWORTH_2ND,
	BUTTERWORTH_3RD,
	BUTTERWORTH_4TH,
	BUTTERWORTH_6TH,
	BUTTERWORTH_8TH
};

enum BesselSlope
{
	BESSEL_2ND = 7,
	BESSEL_3RD,
	BESSEL_4TH,
	BESSEL_6TH,
	BESSEL_8TH
};

enum LinkwitzRileySlope
{
	LINKRILEY_2ND = 12,
	LINKRILEY_4TH,
	LINKRILEY_6TH,
	LINKRILEY_8TH
};

// A section set by a crossover slope
#define UPDATE_HP1_FILTER	((1<<6) | FILTER_HP1)
#define UPDATE_LP1_FILTER	((1<<6) | FILTER_LP1)
#define UPDATE_HP2_FILTER	((1<<6) | FILTER_HP2)
#define UPDATE_LP2_FILTER	((1<<6) | FILTER_LP2)

#define BIQUAD_EX_FLAG	(1<<15)
#define BIQUAD_XOVER_TYPE_BAND	(1<<14)
#define BIQUAD_MSB_USED	(1<<13)

void biquadSetLoadingPreset( WORD loading );
void biquadSetNumberOfBandUsed( BiquadParameters *biquadParam, WORD count );
FLOAT GetBesselFrequency( FLOAT f, DWORD factor, WORD direction );
WORD Set1stOrder( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
void SetFlat( BiquadParameters *biquadParam, WORD band );
WORD Butterworth1st( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
WORD Butterworth2nd( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
WORD Butterworth3rd( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
WORD Butterworth4th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
WORD Butterworth6th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
WORD Butterworth8th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
WORD Bessel2nd( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
WORD Bessel3rd( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
WORD Bessel4th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
WORD Bessel6th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
WORD Bessel8th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
WORD LinkRiley2nd( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
WORD LinkRiley4th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
WORD LinkRiley6th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
WORD LinkRiley8th( BiquadParameters *biquadParam, WORD band, WORD direction, FLOAT f );
WORD SetXOverFilterType( BiquadParameters *biquadParam, WORD band, WORD xoverType );
WORD getCrossoverType( WORD code );
void FilterCoefficientsUpdate( _FILTER_PARAM *iirFP, WORD type, WORD dspId, WORD procId, WORD band, UpdateCoeffCallback *callback );
WORD SetFilterGain( BiquadParameters *biquadParam, WORD dspId, WORD procId, WORD band, DWORD v, UpdateCoeffCallback *callback );
WORD SetFilterFreq( BiquadParameters *biquadParam, WORD dspId, WORD procId, WORD band, DWORD v, UpdateCoeffCallback *callback );
WORD SetFilterQ( BiquadParameters *biquadParam, WORD dspId, WORD procId, WORD band, DWORD v, UpdateCoeffCallback *callback );
WORD getNumberOfXoverBands( WORD xoverType );
void clearLockedBands( BiquadParameters *biquadParam, WORD band );
WORD SetFilterType( BiquadParameters *biquadParam, WORD dspId, WORD procId, WORD band, DWORD v, UpdateCoeffCallback *callback );
void updateBiquadCallback( PTR32 function, WORD dspId, WORD procId, _FILTER_PARAM *iirFP, WORD band );
)QT";

// The biquad control pair when the design has no biquad but an earlier
// generation wrote one: no routine is left to be built. The header includes
// the SDK's so that the source is no empty unit.
inline constexpr const char* noBiquadControlHeader = R"QT(#include <system.h>

/* The design has no biquad control. */
)QT";

inline constexpr const char* noBiquadControlSource = R"QT(/* The design has no biquad control. */
#include "BiquadCtrl.h"
)QT";
} // namespace ProjectHeaderTemplates
