// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_RATES_H
#define TARVELIN_RATES_H

#include "extended_select.h"

// The figures of one run, all in percent.
struct RateFigures {
    float nominal;
    float inflation;
    float difference;  // nominal - inflation, rounded once to single
    float real_rate;   // Fisher relation in extended precision, rounded once to single
    double deviation;  // difference - real_rate in extended precision, stored as double
};

// The real rate ((1 + nominal/100) / (1 + inflation/100) - 1) * 100, every step
// rounded to the extended format (64-bit significand), nearest, ties to even.
// The same bits whichever arithmetic computes it.
ExtendedReal compute_real_rate(float nominal, float inflation);

RateFigures compute_figures(float nominal, float inflation);

#endif
