// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "x87_chain.h"

#include "single_difference.h"

#if TARVELIN_HAS_X87_EXTENDED

namespace {

// A store through volatile is a rounding no compiler may skip, even where
// float and double arithmetic is carried in 80-bit registers (x87).
float round_to_float(long double x)
{
    volatile float stored = static_cast<float>(x);
    return stored;
}

double round_to_double(long double x)
{
    volatile double stored = static_cast<double>(x);
    return stored;
}

}  // namespace

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

RateFigures x87_figures(float nominal, float inflation, long double realRate)
{
    RateFigures figures;
    figures.nominal = nominal;
    figures.inflation = inflation;

    // One single-precision subtraction. Where it is evaluated in extended
    // registers the result is still the same, since 64 >= 2*24 + 2 makes the
    // double rounding harmless; the store makes the rounding to single real.
    // Not so for the choice between two NaNs: that goes by the SSE rule.
    const NanOperand nan = difference_nan_operand(nominal, inflation);
    volatile float difference = nominal - inflation;
    figures.difference = nan.found ? nan.nan : difference;
    figures.real_rate = round_to_float(realRate);

    // Formed from the two stored singles, not from the extended real rate.
    const long double deviation = static_cast<long double>(figures.difference) -
                                  static_cast<long double>(figures.real_rate);
    figures.deviation = round_to_double(deviation);
    return figures;
}

#endif
