// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "soft_chain.h"

#include "single_difference.h"

namespace {

// The constants of the chain, exact, as bit patterns: 100 = 1.5625 * 2^6.
constexpr SoftExtended one{0x8000000000000000u, 0x3FFF};
constexpr SoftExtended hundred{0xC800000000000000u, 0x3FFF + 6};

// nominal - inflation: the extended difference rounded to single is the
// correctly rounded single difference (64 >= 2 * 24 + 2), and infinity -
// infinity gives the same default NaN as SSE; NaN operands go by its rule.
float soft_difference(float nominal, float inflation)
{
    const NanOperand nan = difference_nan_operand(nominal, inflation);
    if (nan.found)
        return nan.nan;
    return soft_to_float(soft_sub(soft_from_float(nominal), soft_from_float(inflation)));
}

}  // namespace

SoftExtended soft_real_rate(float nominal, float inflation)
{
    SoftExtended a = soft_div(soft_from_float(nominal), hundred);
    a = soft_add(a, one);
    SoftExtended b = soft_div(soft_from_float(inflation), hundred);
    b = soft_add(b, one);
    SoftExtended q = soft_div(a, b);
    q = soft_sub(q, one);
    return soft_mul(q, hundred);
}

RateFigures soft_figures(float nominal, float inflation, SoftExtended real_rate)
{
    RateFigures figures;
    figures.nominal = nominal;
    figures.inflation = inflation;
    figures.difference = soft_difference(nominal, inflation);
    figures.real_rate = soft_to_float(real_rate);
    // Formed from the two stored singles, not from the extended real rate.
    figures.deviation = soft_to_double(
        soft_sub(soft_from_float(figures.difference), soft_from_float(figures.real_rate)));
    return figures;
}
