/* The biquad control source names the library header in lower case, as the
   firmware's (case-blind) build finds it. */
#include "libKTL7000.h"
