// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "rates.h"

#if TARVELIN_EXTENDED_IN_SOFTWARE
#include "soft_chain.h"
#else
#include "x87_chain.h"
#endif

ExtendedReal compute_real_rate(float nominal, float inflation)
{
#if TARVELIN_EXTENDED_IN_SOFTWARE
    return soft_real_rate(nominal, inflation);
#else
    return x87_real_rate(nominal, inflation);
#endif
}

RateFigures compute_figures(float nominal, float inflation)
{
    const ExtendedReal realRate = compute_real_rate(nominal, inflation);
#if TARVELIN_EXTENDED_IN_SOFTWARE
    return soft_figures(nominal, inflation, realRate);
#else
    return x87_figures(nominal, inflation, realRate);
#endif
}
