// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "x87_chain.h"

#include "ieee_bits.h"
#include "single_difference.h"

#if TARVELIN_HAS_X87_EXTENDED

long double x87_real_rate(float nominal, float inflation)
{
    const long double hundred = 100.0L;
    const long double one = 1.0L;

    // One statement per rounding: each step is one extended operation.
    long double a = static_cast<long double>(nominal) / hundred;
    a = a + one;
    long double b = static_cast<long double>(inflation) / hundred;
    b = b + one;
    long double q = a / b;
    q = q - one;
    const long double result = q * hundred;
    return result;
}

RateFigures x87_figures(float nominal, float inflation, long double real_rate)
{
    RateFigures figures;
    figures.nominal = nominal;
    figures.inflation = inflation;

    // One single-precision subtraction. Where it is evaluated in extended
    // registers the result is still the same, since 64 >= 2*24 + 2 makes the
    // double rounding harmless; the store makes the rounding to single real.
    // Not so for the choice between two NaNs: that goes by the SSE rule.
    const NanOperand nan = difference_nan_operand(nominal, inflation);
    const float difference = rounded_to<float>(nominal - inflation);
    figures.difference = nan.found ? nan.nan : difference;
    figures.real_rate = rounded_to<float>(real_rate);

    // Formed from the two stored singles, not from the extended real rate.
    const long double deviation = static_cast<long double>(figures.difference) -
                                  static_cast<long double>(figures.real_rate);
    figures.deviation = rounded_to<double>(deviation);
    return figures;
}

#endif
