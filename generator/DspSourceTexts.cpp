#include "generator/DspSourceTexts.h"

void DspSourceTexts::clear()
{
    *this = DspSourceTexts();
}
