// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "rates.h"

#include "soft_chain.h"
#include "x87_chain.h"

namespace {

// The chain of the extended format extended_select.h chose.
#if TARVELIN_EXTENDED_IN_SOFTWARE
constexpr auto chain_real_rate = soft_real_rate;
constexpr auto chain_figures = soft_figures;
#else
constexpr auto chain_real_rate = x87_real_rate;
constexpr auto chain_figures = x87_figures;
#endif

}  // namespace

ExtendedReal compute_real_rate(float nominal, float inflation)
{
    return chain_real_rate(nominal, inflation);
}

RateFigures compute_figures(float nominal, float inflation)
{
    return chain_figures(nominal, inflation, compute_real_rate(nominal, inflation));
}
