#pragma once

#include <juce_core/juce_core.h>

// The arithmetic of the panel texts: scale formulas such as
// "0.3+((x/16383.0)^2*119.7)" or "(x>=0.3)?sqrt(4.459717e-7*(x-0.3))/4.459717e-7:1",
// and numeric attributes such as "16383*(100*(48/65535))". Numbers, x, the
// operators + - * / ^, comparisons, ?: and the functions sqrt, abs, exp,
// log, log10, pow, min, max, floor, ceil and round. A text that is not such
// an expression gives no result, never an exception.
class PanelExpression
{
public:
    // False, with the result untouched, when the text does not evaluate.
    static bool evaluate (const juce::String& text, double x, double& result);

    // The value of a text that needs no x, or the fallback.
    static double evaluateOr (const juce::String& text, double fallback);
};
