#pragma once

// The equaliser texts that the control-panel descriptions and the NRPN list
// file both carry, exactly as they are written: the filter types a biquad
// band offers, the crossover filters, and the option texts of the three
// band encoders.
namespace EqualiserListTexts
{
// Every biquad kind offers these filter types.
constexpr const char* filterTypes = "|Flat(F)=0|Peak (P)=1|1st order High Pass 1-band (H)=2|1st order Low Pass 1-band (L)=3"
                                    "|2nd order High Pass 1-band (I)=4|2nd order Low Pass 1-band (O)=5"
                                    "|1st order High Shelf 1-band (W)=6|1st order Low Shelf 1-band (X)=7"
                                    "|1st order AllPass filter 1-band (T)=10|2nd order AllPass filter 1-band (I)=11";

// The second biquad kind adds its two second-order shelves.
constexpr const char* secondOrderShelfTypes = "|2nd order High Shelf 1-band(W)=8|2nd order Low Shelf 1-band (X)=9";

// One entry of the crossover list: offered when at least `bands` bands,
// this one included, remain to the last band.
struct CrossoverEntry
{
    int bands;
    const char* text;
};

// In the order they are offered, family by family.
constexpr CrossoverEntry crossoverEntries[] = {
    { 1, "|Butterworth Lowpass 6dB/Oct 1-band(L)=65|Butterworth Lowpass 12dB/Oct 1-band(L)=66" },
    { 2, "|Butterworth Lowpass 18dB/Oct 2-band(L)=67|Butterworth Lowpass 24dB/Oct 2-band(L)=68" },
    { 3, "|Butterworth Lowpass 36dB/Oct 3-band(L)=69" },
    { 4, "|Butterworth Lowpass 48dB/Oct 4-band(L)=70" },
    { 1, "|Bessel Lowpass 12dB/Oct 1-band(L)=73" },
    { 2, "|Bessel Lowpass 18dB/Oct 2-band(L)=74|Bessel Lowpass 24dB/Oct 2-band(L)=75" },
    { 3, "|Bessel Lowpass 36dB/Oct 3-band(L)=76" },
    { 4, "|Bessel Lowpass 48dB/Oct 4-band(L)=77" },
    { 1, "|Linkwitz-Riley Lowpass 12dB/Oct 1-band(L)=81" },
    { 2, "|Linkwitz-Riley Lowpass 24dB/Oct 2-band(L)=82" },
    { 3, "|Linkwitz-Riley Lowpass 36dB/Oct 3-band(L)=83" },
    { 4, "|Linkwitz-Riley Lowpass 48dB/Oct 4-band(L)=84" },
    { 1, "|Butterworth Highpass 6dB/Oct 1-band (H)=105|Butterworth Highpass 12dB/Oct 1-band(H)=106" },
    { 2, "|Butterworth Highpass 18dB/Oct 2-band(H)=107|Butterworth Highpass 24dB/Oct 2-band(H)=108" },
    { 3, "|Butterworth Highpass 36dB/Oct 3-band(H)=109" },
    { 4, "|Butterworth Highpass 48dB/Oct 4-band(H)=110" },
    { 1, "|Bessel Highpass 12dB/Oct 1-band(H)=113" },
    { 2, "|Bessel Highpass 18dB/Oct 2-bands(H)=114|Bessel Highpass 24dB/Oct 2-bands(H)=115" },
    { 3, "|Bessel Highpass 36dB/Oct 3-band(H)=116" },
    { 4, "|Bessel Highpass 48dB/Oct 4-band(H)=117" },
    { 1, "|Linkwitz-Riley Highpass 12dB/Oct 1-band(H)=121" },
    { 2, "|Linkwitz-Riley Highpass 24dB/Oct 2-band(H)=122" },
    { 3, "|Linkwitz-Riley Highpass 36dB/Oct 3-band(H)=123" },
    { 4, "|Linkwitz-Riley Highpass 48dB/Oct 4-band(H)=124" },
};

// The option texts of the band encoders, each a whole line.
constexpr const char* qEncoderOptions =
    "Options[EqQEncoder] = ValScale=0.3+((x/16383.0)^2*119.7),TXTCOL=0xFFFFFF,BARCOL=0x0090E0,"
    "ValPrec=3,min=0,max=16383,descale=(x>=0.3)?sqrt(4.459717e-7*(x-0.3))/4.459717e-7:1\n";
constexpr const char* frequencyEncoderOptions = "Options[EqFreqEncoder] = ValScale=x/4096.0,ValUnit=Hz,min=81920,max=88473600,"
                                                "ValPrec=1,width=80,height=70,descale=x*4096.0\n";
constexpr const char* gainEncoderOptions = "Options[EqGainEncoder] = ValScale=(x-64)/2,ValUnit=dB,ValPrec=1,width=80,height=70,"
                                           "min=16,max=94,descale=2*x+64\n";
} // namespace EqualiserListTexts
