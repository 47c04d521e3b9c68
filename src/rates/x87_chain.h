// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_X87_CHAIN_H
#define TARVELIN_X87_CHAIN_H

#include "extended_select.h"
#include "rates.h"

// The chain in the processor's own extended format, where it has one. Built
// whichever chain compute_figures uses, so that the two can be compared.
#if TARVELIN_HAS_X87_EXTENDED
long double x87_real_rate(float nominal, float inflation);

// The record of a run whose extended real rate is real_rate.
RateFigures x87_figures(float nominal, float inflation, long double real_rate);
#endif

#endif
