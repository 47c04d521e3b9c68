// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_SOFT_CHAIN_H
#define TARVELIN_SOFT_CHAIN_H

#include "rates.h"
#include "soft_extended.h"

// The chain in the software extended arithmetic, built on every host. Its
// figures are bit for bit those of an x86-64 processor: the extended steps
// as the x87 computes them, the difference as one SSE subtraction.
SoftExtended soft_real_rate(float nominal, float inflation);

// The record of a run whose extended real rate is real_rate.
RateFigures soft_figures(float nominal, float inflation, SoftExtended real_rate);

#endif
