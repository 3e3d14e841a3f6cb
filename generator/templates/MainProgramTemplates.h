#pragma once

// The fixed texts of the sources that tie the DSPs together: "mainbus.c",
// "main.c", the control sources and headers, the feedback canceller and the
// assembly wrappers. "${NAME}" marks where the generator puts a value.

namespace MainProgramTemplates
{
// The head of "mainbus.c", before its routing tables.
inline constexpr const char* mainBusHead = R"QT(/* This file contains all dsp routing and initialization */
#include <system.h>
#include "quellion.h"

WORD OutBusOf( WORD DSPid, WORD out ){ return( 0x80+((DSPid-0x30)<<3)+out ); }

WORD dsp[NBDSPINITIALIZED];


)QT";

// After the routing tables: the bus lookup and the head of the routing function.
inline constexpr const char* mainBusGetBus = R"QT(
// A routing cell: -1 (not connected), an output bus of another DSP (bit 15:
// that DSP's index in bits 4-7, its output in bits 0-2) or a chip bus.
WORD getBus( WORD bus )
{
	if ( bus == (WORD)-1 )
		return( (WORD)-1 );

	if ( bus & 0x8000 )
		return( OutBusOf( dsp[(bus>>4)&0xF], bus&0x7 ) );

	return( bus );
}

void quellion_InitAndRoute( void )
{
)QT";

// The end of the DSP start loop, after its DSP count; ${DSP} names the DSP
// of the loop's turn.
inline constexpr const char* mainBusStartLoop = R"QT(; i++)
	{
		for (j = 0; j<8; j++)
			rout[j] = getBus( dspRouting_In[i][j] );
		_DSProutInEx( ${DSP}, rout );

		for (j = 0; j<8; j++)
			rout[j] = getBus( dspRouting_Out[i][j] );
		_DSProutEx( ${DSP}, rout );

		_StartDSP( ${DSP} );
	}
}
)QT";

// The head of "main.c"; ${CONTROL_HEADER} is the variant's control header.
inline constexpr const char* mainBanner = R"QT(/*
 *   ___   ____  _____  ____      _     _   _  _____
 *  / _ \ / ___||_   _||  _ \    / \   | \ | || ____|
 * | | | |\___ \  | |  | |_) |  / _ \  |  \| ||  _|
 * | |_| | ___) | | |  |  _ <  / ___ \ | |\  || |___
 *  \___/ |____/  |_|  |_| \_\/_/   \_\|_| \_||_____|
 *                                              Quellion
 * ______________________________________________________________________
 *
 * The main program of the firmware, first written by OSTRANE Quellion.
 * This file can be modified by user and will not be overwritten by Ostrane Quellion.
 * It starts the board, initialises and routes the DSPs of the design,
 * and hands the MIDI data received over USB (or the serial port when
 * _USE_SERIAL_MIDI is defined) to the generated control sources.
 */
#include <system.h>
#include <OstraneBoards.h>
#include <usb.h>
#include <midi.h>
#include "MainAppConfig.h"
#include "quellion.h"
#include "${CONTROL_HEADER}"
#if _USE_GLOBAL_PRESET
#include "GlobalPresets.h"
#endif
)QT";

// The MIDI transport of "main.c".
inline constexpr const char* mainTransport = R"QT(
#ifndef _USE_SERIAL_MIDI
// MIDI over USB: one MIDI IN and one MIDI OUT port on the on-chip USB device.
#define USB_PORT_SELECT	_USB_PORT0
#define USB_SPEED_SELECT	_USB_HIGH_SPEED	// _USB_FULL_SPEED for a full-speed host
#define _SUPPORT_USB_AUDIO	0

WORD midiInQueue[64];
WORD midiOutQueue[348];

// Device, configuration (audio control and MIDI streaming interfaces, two
// jacks each way, one bulk endpoint each way) and string descriptors, one
// byte per word.
const WORD usbDescriptor[140] =
{
	0x12, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x40, 0x3A, 0x0E, 0x01, 0x70,
	0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x09, 0x02, 0x65, 0x00, 0x02, 0x01,
	0x00, 0x80, 0x32, 0x09, 0x04, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00,
	0x09, 0x24, 0x01, 0x00, 0x01, 0x09, 0x00, 0x01, 0x01, 0x09, 0x04, 0x01,
	0x00, 0x02, 0x01, 0x03, 0x00, 0x00, 0x07, 0x24, 0x01, 0x00, 0x01, 0x41,
	0x00, 0x06, 0x24, 0x02, 0x01, 0x01, 0x00, 0x06, 0x24, 0x02, 0x02, 0x02,
	0x00, 0x09, 0x24, 0x03, 0x01, 0x03, 0x01, 0x02, 0x01, 0x00, 0x09, 0x24,
	0x03, 0x02, 0x04, 0x01, 0x01, 0x01, 0x00, 0x09, 0x05, 0x01, 0x02, 0x40,
	0x00, 0x00, 0x00, 0x00, 0x05, 0x25, 0x01, 0x01, 0x01, 0x09, 0x05, 0x81,
	0x02, 0x40, 0x00, 0x00, 0x00, 0x00, 0x05, 0x25, 0x01, 0x01, 0x03, 0x04,
	0x03, 0x09, 0x04, 0x10, 0x03, 0x4F, 0x00, 0x53, 0x00, 0x54, 0x00, 0x52,
	0x00, 0x41, 0x00, 0x4E, 0x00, 0x45, 0x00, 0x00
};

void InitUSB( void )
{
	_USB_Init( USB_PORT_SELECT, USB_SPEED_SELECT, _cptr32( usbDescriptor ), 140, _SUPPORT_USB_AUDIO );
	_USB_RegisterMidiClass( _cptr32( midiInQueue ), 64, _cptr32( midiOutQueue ), 348 );
	_USB_Start();
}
#endif
)QT";

// The S/PDIF output's rate, with the S/PDIF feature.
inline constexpr const char* mainSpdif = R"QT(
// The S/PDIF output follows the system rate; the channel status says
// consumer use, copying allowed.
void SetupSpdifOutSamplingRate( DWORD rate )
{
	_SPDIF_SetOutputRate( rate / 4 );
	_SPDIF_SetChannelStatus( _SPDIF_CONSUMER | _SPDIF_COPY_PERMITTED );
}

// Called by the system clock when the oscillator switches, with the new rate / 4.
WORD changeSytemSamplingRate( DWORD rate )
{
	if ( rate < 32000/4 )
		return 0;

	SetupSpdifOutSamplingRate( rate * 4 );
	return 1;
}
)QT";

// The head of the main function; ${INIT_CONTROL} is the variant's control
// set-up.
inline constexpr const char* mainHead = R"QT(
void main (void)
{
	WORD midiData, activity = 0;

	_Board_SetLed( 1 ); // the activity LED
	_Board_AudioInit();
	_Board_CodecInit();
	_DSPresetAll();
	quellion_InitAndRoute();
	${INIT_CONTROL}();
#if _USE_GLOBAL_PRESET
	quellion_LoadGlobalPreset( _cptr32( globalPreset[0] ) ); // the first global preset
#endif

)QT";

// After the clock: the MIDI transport and the base-level tick.
inline constexpr const char* mainTransportInit = R"QT(#ifdef _USE_SERIAL_MIDI
	_MIDI_SerialInit( _BOARD_MIDI_BAUDRATE );
#else
	InitUSB();
	_Timer_Init( 2, 1 ); // USB service
#endif
	_Timer_Init( 0, 10 ); // 10 ms base-level tick
)QT";

// The main loop after its feedback-canceller call: every MIDI byte received
// goes to the control source.
inline constexpr const char* mainLoopTail = R"QT(#ifdef _USE_SERIAL_MIDI
		while ( _MIDI_SerialReceive( &midiData ) )
#else
		while ( _USB_MidiReceive( &midiData ) )
#endif
		{
			quellion_HandleMidiEvent( midiData );
			activity = 20;
		}

		if ( _Timer_Elapsed( 0 ) )
		{
			if ( activity > 0 )
				activity--;

			_Board_SetLed( activity > 10 ? 0 : 1 );
		}
	}
}

// Sends one byte of MIDI data to the host.
void Send( WORD data )
{
#ifdef _USE_SERIAL_MIDI
	_MIDI_SerialSend( data );
#else
	_USB_MidiSend( data );
#endif
}
)QT";

// After the includes of a control source.
inline constexpr const char* controlSendDeclaration = R"QT(
extern void Send( WORD data ); // provided by the application firmware (main.c)
)QT";

// The NRPN control part up to its free-channel word (${FREE_CHANNELS}).
inline constexpr const char* nrpnControlHead = R"QT(
// The shape of a DSP's NRPN handler, reached through dspNrpnHandlerCallback.
typedef WORD (*NrpnHandlerFunction)( WORD nrpn, WORD dspId, WORD processId, DWORD value, WORD format );

// One NRPN for the DSP on the MIDI channel: the process's NRPN number in the
// high byte, the control's number in the low byte.
WORD quellion_HandleNRPN( WORD channel, WORD nrpn, DWORD value, WORD format )
{
	WORD freeChannel = ${FREE_CHANNELS}; // the channels without a DSP
)QT";

// The rest of the NRPN dispatch.
inline constexpr const char* nrpnControlRest = R"QT(
	if ( channel >= NBDSPINITIALIZED || (freeChannel & (1<<channel)) )
		return 0;

	if ( nrpnFunctionPtrTable[channel] == 0 )
		return 0;

	return dspNrpnHandlerCallback( nrpnFunctionPtrTable[channel], nrpn, dsp[channel], (nrpn>>8)&0x7F, value, format );
}
)QT";

// The MIDI input of both control sources: NRPN control changes and the
// control System Exclusive message, each turned into one quellion_HandleNRPN.
inline constexpr const char* midiInputPart = R"QT(
// The System Exclusive message being received.
SYSEXBUFFER sysExData;

// Controllers of the NRPN protocol. After the NRPN number, a 7-bit value
// comes on the data entry MSB alone; a 14-bit value sends its low 7 bits on
// the data entry LSB first, then its high 7 bits on the MSB. The MSB
// completes the value; an LSB after it refines the value once more. A 28-bit
// value sends its high 14 bits first, on the two undefined controllers below.
#define MIDI_CC_DATA_MSB	0x06
#define MIDI_CC_DATA_LSB	0x26
#define MIDI_CC_HIGH_DATA_MSB	0x09
#define MIDI_CC_HIGH_DATA_LSB	0x29
#define MIDI_CC_NRPN_LSB	0x62
#define MIDI_CC_NRPN_MSB	0x63

#define MIDI_MANUFACTURER_ID1	0x00
#define MIDI_MANUFACTURER_ID2	0x3A
#define MIDI_MANUFACTURER_ID3	0x7E
#define SYSEX_CONTROL_COMMAND	0x3D
#define SYSEX_MAX_GROUPS	4

static WORD runningStatus = 0, dataCount = 0, firstData = 0;
static WORD nrpnNumber[16];
static WORD nrpnDataMsb[16];
static WORD nrpnDataLsb[16];
static WORD nrpnMsbReceived[16];
static DWORD nrpnHighData[16];
static WORD nrpnHighDataValid[16];

static void startNrpn( WORD channel )
{
	nrpnDataLsb[channel] = 0;
	nrpnMsbReceived[channel] = 0;
	nrpnHighDataValid[channel] = 0;
}

// Values reach the handlers as the preset loader hands them on: a 7- or
// 14-bit value as a 15-bit one (its 7-bit halves at bits 8 and 1, so that
// its high half is the handler's val8bit), a 28-bit value as it is.
static void sendNrpnValue( WORD channel )
{
	DWORD value;

	if ( nrpnHighDataValid[channel] )
		value = (nrpnHighData[channel]<<14) | ((DWORD)nrpnDataMsb[channel]<<7) | nrpnDataLsb[channel];
	else
		value = ((DWORD)nrpnDataMsb[channel]<<8) | ((DWORD)nrpnDataLsb[channel]<<1);

	quellion_HandleNRPN( channel, nrpnNumber[channel], value, FORMAT_28BIT_PRECISION );
}

static void handleControlChange( WORD channel, WORD controller, WORD data )
{
	switch ( controller )
	{
		case MIDI_CC_NRPN_MSB:
			nrpnNumber[channel] = (data<<8) | (nrpnNumber[channel]&0xFF);
			startNrpn( channel );
			break;

		case MIDI_CC_NRPN_LSB:
			nrpnNumber[channel] = (nrpnNumber[channel]&0xFF00) | data;
			startNrpn( channel );
			break;

		case MIDI_CC_HIGH_DATA_MSB:
			nrpnHighData[channel] = (DWORD)data<<7;
			break;

		case MIDI_CC_HIGH_DATA_LSB:
			nrpnHighData[channel] |= data;
			nrpnHighDataValid[channel] = 1;
			break;

		case MIDI_CC_DATA_LSB:
			nrpnDataLsb[channel] = data;

			if ( nrpnMsbReceived[channel] )
				sendNrpnValue( channel );
			break;

		case MIDI_CC_DATA_MSB:
			nrpnDataMsb[channel] = data;
			nrpnMsbReceived[channel] = 1;
			sendNrpnValue( channel );
			break;

		default:
			break;
	}
}

// A control value sent by OSTRANE Quellion: the DSP, the process's and the
// control's numbers, the number of 7-bit groups (4), then the groups, most
// significant first. Read as one number, the groups are the value as the
// preset loader hands it on: a 15-bit value of a control sent in three groups
// of its double arrives scaled up by 8 bits, one sent in four groups of its
// double scaled up by 1 bit, a 28-bit value as it is.
static void handleSysEx( void )
{
	WORD *nrpnBase = &sysExData.Buffer[SYSEX_NRPN_BASE];
	WORD count, i;
	DWORD value = 0;

	if ( sysExData.pnt < SYSEX_NRPN_BASE + DATA || sysExData.Buffer[1] != MIDI_MANUFACTURER_ID1 ||
		 sysExData.Buffer[2] != MIDI_MANUFACTURER_ID2 || sysExData.Buffer[3] != MIDI_MANUFACTURER_ID3 ||
		 sysExData.Buffer[SYSEX_CMD] != SYSEX_CONTROL_COMMAND )
		return;

	count = nrpnBase[COUNT];

	if ( count == 0 || count > SYSEX_MAX_GROUPS || sysExData.pnt != SYSEX_NRPN_BASE + DATA + count )
		return;

	for ( i = 0; i < count; i++ )
		value = (value<<7) | nrpnBase[DATA+i];

	quellion_HandleNRPN( nrpnBase[CHANNEL], (nrpnBase[HI]<<8) | nrpnBase[LO], value, FORMAT_28BIT_PRECISION );
}

// Every byte of MIDI data received: control changes and System Exclusive
// messages are taken, everything else is passed over.
void quellion_HandleMidiEvent( WORD data )
{
	data &= 0xFF;

	if ( data >= 0xF8 ) // real time
		return;

	if ( data == 0xF0 )
	{
		runningStatus = data;
		sysExData.pnt = 0;
		sysExData.Buffer[sysExData.pnt++] = data;
		return;
	}

	if ( data == 0xF7 )
	{
		if ( runningStatus == 0xF0 )
			handleSysEx();

		runningStatus = 0;
		return;
	}

	if ( data & 0x80 )
	{
		runningStatus = data;
		dataCount = 0;
		return;
	}

	if ( runningStatus == 0xF0 )
	{
		if ( sysExData.pnt < SYSEX_SIZE )
			sysExData.Buffer[sysExData.pnt++] = data;

		return;
	}

	if ( (runningStatus & 0xF0) != 0xB0 )
		return;

	if ( dataCount == 0 )
	{
		firstData = data;
		dataCount = 1;
		return;
	}

	dataCount = 0;
	handleControlChange( runningStatus & 0x0F, firstData, data );
}
)QT";

// The command dispatch.
inline constexpr const char* commandControlPart = R"QT(
// The shape of a DSP's command handler.
typedef WORD (*CommandHandlerFunction)( WORD command, WORD dspId, WORD index, DWORD value );

// One command for the DSP at the index (its DSP number - 1).
WORD quellion_HandleCommand( WORD command, WORD dspIndex, WORD index, DWORD value )
{
	CommandHandlerFunction handler;

	if ( dspIndex >= NBDSPINITIALIZED || commandFunctionPtrTable[dspIndex] == 0 )
		return 0;

	handler = (CommandHandlerFunction)commandFunctionPtrTable[dspIndex];
	return handler( command, dsp[dspIndex], index, value );
}

// A control numbered as the control panels, the board messages and the
// preset loader number it (the process's NRPN number in the high byte, the
// control's number in the low byte), for the DSP on the MIDI channel: the
// command of that number, or the nearest command below it within the
// process, with the distance as its index (one channel of a control of
// several channels). The command handlers take the value as it is.
WORD quellion_HandleNRPN( WORD channel, WORD nrpn, DWORD value, WORD format )
{
	WORD index;

	(void) format;

	for ( index = 0; index <= (nrpn & 0xFF); index++ )
		if ( quellion_HandleCommand( nrpn - index, channel, index, value ) )
			return 1;

	return 0;
}
)QT";

// The table search of both control sources.
inline constexpr const char* dichotomicSearchFunction = R"QT(
// Finds the row whose item equals the value in a table of rows sorted by
// that item: its index, or (1<<15) with the row where the value would stand,
// or -1 when the table is empty or the value lies beyond its last row.
WORD dichotomicSearch( PTR32 table, WORD rowSize, WORD itemIndex, WORD tableLen, WORD valueToSearch )
{
	WORD min, max, mid, lastMid, key;

	if ( tableLen == 0 )
		return (WORD)-1;

	key = _rdxtmem16Ex( table + (DWORD)(tableLen-1)*rowSize + itemIndex );

	if ( valueToSearch == key )
		return tableLen - 1;

	if ( (valueToSearch>>8) > (key>>8) )
		return (WORD)-1;

	if ( valueToSearch == _rdxtmem16Ex( table + itemIndex ) )
		return 0;

	min = 0;
	max = tableLen - 1;
	mid = (min+max)/2;
	lastMid = (WORD)-1;

	while ( mid != lastMid )
	{
		key = _rdxtmem16Ex( table + (DWORD)mid*rowSize + itemIndex );

		if ( key == valueToSearch )
			return mid;

		lastMid = mid;

		if ( valueToSearch > key )
			min = mid;
		else
			max = mid;

		mid = (min+max)/2;
	}

	return (1<<15) | ( valueToSearch > key ? mid + 1 : mid );
}
)QT";

// The end of both control sources.
inline constexpr const char* sendSysExFunction = R"QT(
// Answers a request with one System Exclusive message.
void sendSysExMessage( DWORD id, WORD msg )
{
	Send( 0xF0 );
	Send( 0x00 );
	Send( 0x3A );
	Send( 0x7E );
	Send( (id >> 8) & 0x7F );
	Send( msg & 0x7F );
	Send( 0xF7 );
}
)QT";

// The MIDI input part of both control headers.
inline constexpr const char* midiInputHeader = R"QT(
void quellion_HandleMidiEvent( WORD data );
WORD quellion_HandleNRPN( WORD channel, WORD nrpn, DWORD value, WORD format );

#define FORMAT_14BIT_PRECISION	0
#define FORMAT_28BIT_PRECISION	1

// System Exclusive layout: F0, the manufacturer id, the command, then the NRPN part
#define SYSEX_SIZE	20
#define SYSEX_CMD	4
#define SYSEX_NRPN_BASE	5

// Relative to SYSEX_NRPN_BASE
#define CHANNEL	0
#define HI	1
#define LO	2
#define COUNT	3
#define DATA	4

typedef struct
{
	WORD pnt;
	WORD Buffer[SYSEX_SIZE];
} SYSEXBUFFER;

void sendSysExMessage( DWORD id, WORD msg );
DWORD swapDword( DWORD value );
#define readExtMemDword(address)	swapDword( _rdxtmem32Ex( address ) )
)QT";

// The head of "midictrl.h" between its guard lines, before the MIDI input part.
inline constexpr const char* nrpnControlHeader = R"QT(#include <system.h>
)QT";

// The head of "commandctrl.h" between its guard lines, before the MIDI input part.
inline constexpr const char* commandControlHeader = R"QT(#include <system.h>
#include <trace.h>
#include "quellion.h"

void quellion_InitCommandFunction( void );
WORD quellion_HandleCommand( WORD command, WORD dspIndex, WORD index, DWORD value );
WORD dichotomicSearch( PTR32 table, WORD rowSize, WORD itemIndex, WORD tableLen, WORD valueToSearch );
)QT";

// The head of "fbcHandler.c", before the canceller records.
inline constexpr const char* fbcSourceHead = R"QT(#include "fbcHandler.h"

// The feedback canceller's notch filters are loaded like any biquad band.
#define _FBCancel_UpdateFBCFilters(a, b, c)	_IIR_UpdateCoefficients( a, b, c )

)QT";

// The feedback-canceller routines, after the records.
inline constexpr const char* fbcRoutines = R"QT(
// Q of the notch filters in 1/10, from the widest to the narrowest.
const WORD fbcQTable[16] = { 57, 54, 51, 48, 45, 42, 39, 36, 33, 30, 27, 24, 21, 18, 14, 7 };

// Each detection of the same band deepens its notch by one step of 3 dB.
#define FBCATTENUATION_ITEMNB	14
#define FBCATTENUATION_STEP	3.0f

void FBC_InitStatus( FBCStatus *status, WORD fbcdsp, WORD q, WORD attenuation )
{
	WORD band;

	status->fbcdsp = fbcdsp;
	status->currentQ = q < 16 ? q : 15;
	status->currentAttenuation = attenuation < FBCATTENUATION_ITEMNB ? attenuation : FBCATTENUATION_ITEMNB - 1;

	for ( band = 0; band < FBC_BANDNB; band++ )
	{
		status->q[band] = status->currentQ;
		status->attenuation[band] = 0;
	}
}

// Puts a notch at the frequency (20.12 fixed point Hz) found in the band.
void FBC_LoadFrequency( FBCStatus *status, WORD band, DWORD frequency )
{
	_FILTER_PARAM iirFP;

	if ( band >= FBC_BANDNB )
		return;

	if ( status->attenuation[band] < status->currentAttenuation + 1 && status->attenuation[band] < FBCATTENUATION_ITEMNB )
		status->attenuation[band]++;

	status->q[band] = status->currentQ;
	iirFP.type = _IIR_PEAK;
	iirFP.f = (FLOAT)frequency / 4096.0f;
	iirFP.q = (FLOAT)fbcQTable[status->q[band]] / 10.0f;
	iirFP.g = -FBCATTENUATION_STEP * (FLOAT)status->attenuation[band];
	iirFP.fs = (FLOAT)_float( _Sys_GetSamplingRate() );
	_IIR_ComputeCoefficients( &iirFP );
	_FBCancel_UpdateFBCFilters( status->fbcdsp, band, &iirFP );
}

// The base-level work of one canceller: a new detection gets its notch.
void FBC_BaseLevel( FBCStatus *status )
{
	WORD band;
	DWORD frequency;

	if ( _FBCancel_GetDetection( status->fbcdsp, &band, &frequency ) )
		FBC_LoadFrequency( status, band, frequency );
}

WORD FBC_GetCurrentQ( FBCStatus *status )
{
	return status->currentQ;
}

void FBC_SetCurrentQ( FBCStatus *status, WORD q )
{
	status->currentQ = q < 16 ? q : 15;
}

WORD FBC_GetCurrentAttenuation( FBCStatus *status )
{
	return status->currentAttenuation;
}

void FBC_SetCurrentAttenuation( FBCStatus *status, WORD attenuation )
{
	status->currentAttenuation = attenuation < FBCATTENUATION_ITEMNB ? attenuation : FBCATTENUATION_ITEMNB - 1;
}

)QT";

// The text of "fbcHandler.h" before the externs of the canceller records.
inline constexpr const char* fbcHeader = R"QT(#include <system.h>
#include <libKTL7000.h>
#include <math.h>

extern WORD dsp[];

#define FBC_BANDNB	8

// One feedback canceller: its DSP, the Q and attenuation of each notch band
// and the settings new notches take.
typedef struct
{
	WORD fbcdsp;
	WORD q[FBC_BANDNB];
	WORD attenuation[FBC_BANDNB];
	WORD currentQ;
	WORD currentAttenuation;
} FBCStatus;

void FBC_InitStatus( FBCStatus *status, WORD fbcdsp, WORD q, WORD attenuation );
void FBC_LoadFrequency( FBCStatus *status, WORD band, DWORD frequency );
void FBC_BaseLevel( FBCStatus *status );
WORD FBC_GetCurrentQ( FBCStatus *status );
void FBC_SetCurrentQ( FBCStatus *status, WORD q );
WORD FBC_GetCurrentAttenuation( FBCStatus *status );
void FBC_SetCurrentAttenuation( FBCStatus *status, WORD attenuation );
void FBCStatus_Init( void );
void FBC_BaseLevels( void );

)QT";

// The feedback-canceller pair when the design has none but an earlier
// generation wrote one: a kept "main.c" still calls these, and they start
// and poll nothing.
inline constexpr const char* noFbcHeader = R"QT(#include <system.h>

/* The design has no feedback canceller: nothing to start, nothing to poll. */
void FBCStatus_Init( void );
void FBC_BaseLevels( void );
)QT";

inline constexpr const char* noFbcSource = R"QT(/* The design has no feedback canceller: nothing to start, nothing to poll. */
#include "fbcHandler.h"

void FBCStatus_Init( void )
{
}

void FBC_BaseLevels( void )
{
}
)QT";

// "quellionWrappers.s".
inline constexpr const char* wrappers = R"QT(; Wrappers between the generated C sources and the library functions they
; reach through 32-bit pointers. Every routine keeps the C compiler's
; convention:
; - the caller pushes the arguments from the last to the first, a DWORD or
;   PTR32 as its high word, then its low word, and calls;
; - after "push fp" and "mov fp, sp" the callee finds the return address at
;   [fp-1] and its parameter words from [fp-2] on, the first parameter's low
;   word first;
; - the callee removes its parameters as it returns, "ret" with their size
;   in words, so the caller leaves the stack as the call found it;
; - a WORD result comes back in r0, a DWORD result in r0 (low word) and r1
;   (high word).
; A far function is called with its code page loaded into cp.

	segment code

	global _updateBiquadCallback
	global _dspNrpnHandlerCallback
	global _swapDword

; void updateBiquadCallback( PTR32 function, WORD dspId, WORD procId, _FILTER_PARAM *iirFP, WORD band )
_updateBiquadCallback:
	push    fp
	mov     fp, sp
	push    [fp-7]          ; band
	push    [fp-6]          ; pointer to the filter
	push    [fp-5]          ; process
	push    [fp-4]          ; DSP
	mov     r1, [fp-3]      ; page of the far function
	mov     r0, [fp-2]      ; its offset
	mov     cp, r1
	callf   r0              ; the function removes its 4 parameter words
	pop     fp
	ret     6               ; the parameter size

; WORD dspNrpnHandlerCallback( PTR32 handler, WORD nrpn, WORD dspId, WORD processId, DWORD value, WORD format )
_dspNrpnHandlerCallback:
	push    fp
	mov     fp, sp
	push    [fp-9]          ; format
	push    [fp-8]          ; value, high word
	push    [fp-7]          ; value, low word
	push    [fp-6]          ; processId
	push    [fp-5]          ; dspId
	push    [fp-4]          ; nrpn
	mov     r1, [fp-3]      ; page of the handler
	mov     r0, [fp-2]      ; its offset
	mov     cp, r1
	callf   r0              ; the handler removes its 6 parameter words; its result stays in r0
	pop     fp
	ret     8               ; the parameter size

; DWORD swapDword( DWORD value )
_swapDword:
	push    fp
	mov     fp, sp
	mov     r1, [fp-2]      ; the low word becomes the high word
	mov     r0, [fp-3]      ; the high word becomes the low word
	pop     fp
	ret     2               ; the parameter size
)QT";
} // namespace MainProgramTemplates
