#pragma once

// The programs of the three graphic controls of a control panel, in the
// panel library's scripting language. Each follows its header line in the
// description; no line of a program starts with "[", so the next bracketed
// line (the panel title) ends it.
namespace CustomControlPrograms
{
// The parametric equaliser curve: one handle per band, dragged to set the
// band's frequency (across) and gain (up and down).
constexpr const char* polyEq = R"([CustomControl:PolyEQV2]
var Bands = 1;
var Width = 700, Height = 80;
var GridColour = 0xFF606060, CurveColour = 0xFFFFB000, HandleColour = 0xFFFFFFFF;
var Filter = BIQUAD[32];

function DoFilter (band, freq)
{
    return Filter[band].Response (freq, Ctl.SampleRate);
}

function FilterRecalc (band)
{
    Filter[band].Design (Filter[band].Type, Filter[band].Freq / 4096.0, Filter[band].Gain, Filter[band].QFactor);
}

function FilterUpdate (band)
{
    FilterRecalc (band);
    Ctl.Invalidate();
}

function HandleHandler (band, x, y)
{
    Filter[band].Freq = Ctl.XToFreq (x) * 4096.0;
    Filter[band].Gain = Ctl.YToGain (y) * 2 + 64;
    Ctl.Send (Filter[band]);
    FilterUpdate (band);
}

function Ctl_GlobalInit()
{
    Bands = Ctl.Def;
}

function Ctl_InstanceInit()
{
    for (var b = 0; b < Bands; b++)
        Ctl.AddHandle (b, HandleHandler);
}

function Ctl_VisibleInit()
{
    for (var b = 0; b < Bands; b++)
        FilterRecalc (b);
}

function FreqGrid()
{
    for (var f = 20; f <= 20000; f *= 10)
        Ctl.VLine (Ctl.FreqToX (f), GridColour);
}

function HandleUpdate (band)
{
    Ctl.MoveHandle (band, Ctl.FreqToX (Filter[band].Freq / 4096.0), Ctl.GainToY ((Filter[band].Gain - 64) / 2));
}

function Ctl_RepaintBackground()
{
    Ctl.Fill (0xFF202020);
    FreqGrid();
    Ctl.HLine (Ctl.GainToY (0), GridColour);
}

function Ctl_Repaint()
{
    for (var x = 0; x < Width; x++)
    {
        var level = 0;
        for (var b = 0; b < Bands; b++)
            level += DoFilter (b, Ctl.XToFreq (x));
        Ctl.Plot (x, Ctl.GainToY (level), CurveColour);
    }
    for (var b = 0; b < Bands; b++)
        HandleUpdate (b);
}
)";

// The compander's transfer curve: expansion below the second threshold,
// compression above the first, both ratios dragged on the curve.
constexpr const char* compander = R"([CustomControl:Compander]
var GridStep = 12, DbRange = 96;
var Threshold1 = -24, Threshold2 = -60, Ratio1 = 3, Ratio2 = 0.5, Boost = 0;
var CurveColour = 0xFF40C0FF, GridColour = 0xFF505050;

function CompUpdate()
{
    Threshold1 = Ctl.Ref ("Comp1.Param.Threshold1");
    Threshold2 = Ctl.Ref ("Comp1.Param.Threshold2");
    Ratio1 = Ctl.Ref ("Comp1.Param.Ratio1");
    Ratio2 = Ctl.Ref ("Comp1.Param.Ratio2");
    Boost = Ctl.Ref ("Comp1.Param.Boost");
    Ctl.Invalidate();
}

function IntersectUpper (input)
{
    return Threshold1 + (input - Threshold1) / Ratio1;
}

function IntersectLower (input)
{
    return Threshold2 + (input - Threshold2) / Ratio2;
}

function Ctl_Repaint()
{
    Ctl.Fill (0xFF202020);
    for (var db = -DbRange; db <= 0; db += GridStep)
    {
        Ctl.VLine (Ctl.DbToX (db), GridColour);
        Ctl.HLine (Ctl.DbToY (db), GridColour);
    }
    for (var x = 0; x < Ctl.Width; x++)
    {
        var input = Ctl.XToDb (x), output = input;
        if (input > Threshold1)
            output = IntersectUpper (input);
        else if (input < Threshold2)
            output = IntersectLower (input);
        Ctl.Plot (x, Ctl.DbToY (output + Boost), CurveColour);
    }
}

function Ctl_MouseMove (x, y, buttons)
{
    if (buttons == 0)
        return;
    var input = Ctl.XToDb (x);
    if (input > Threshold1)
        Ctl.SetRef ("Comp1.Param.Ratio1", (input - Threshold1) / (Ctl.YToDb (y) - Threshold1));
    else if (input < Threshold2)
        Ctl.SetRef ("Comp1.Param.Ratio2", (input - Threshold2) / (Ctl.YToDb (y) - Threshold2));
    CompUpdate();
}
)";

// The compressor's (and the limiter's) transfer curve with a handle on the
// threshold.
constexpr const char* compressor = R"([CustomControl:CompressorUI]
var Threshold = -20, Ratio = 4, Boost = 0;
var CurveColour = 0xFF40FF80, GridColour = 0xFF505050;

function compRecalc (input)
{
    if (input <= Threshold)
        return input + Boost;
    return Threshold + (input - Threshold) / Ratio + Boost;
}

function comprUpdate()
{
    Threshold = Ctl.Ref ("Compressor.Param[0].threshold");
    Ratio = Ctl.Ref ("Compressor.Param[1].ratio");
    Boost = Ctl.Ref ("Compressor.Param[0].Boost");
    Ctl.MoveHandle (0, Ctl.DbToX (Threshold), Ctl.DbToY (compRecalc (Threshold)));
    Ctl.Invalidate();
}

function HandleHandler (handle, x, y)
{
    Ctl.SetRef ("Compressor.Param[0].threshold", Ctl.XToDb (x));
    comprUpdate();
}

function Ctl_GlobalInit()
{
    Ctl.AddHandle (0, HandleHandler);
}

function Ctl_VisibleInit()
{
    comprUpdate();
}

function Ctl_Repaint()
{
    Ctl.Fill (0xFF202020);
    for (var db = -96; db <= 0; db += 12)
        Ctl.VLine (Ctl.DbToX (db), GridColour);
    for (var x = 0; x < Ctl.Width; x++)
        Ctl.Plot (x, Ctl.DbToY (compRecalc (Ctl.XToDb (x))), CurveColour);
}
)";
} // namespace CustomControlPrograms
