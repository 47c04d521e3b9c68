// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_TESTS_PATHS_COMPARE_H
#define TARVELIN_TESTS_PATHS_COMPARE_H

#include <cstdint>

#include <gtest/gtest.h>

#include "extended_select.h"

#if TARVELIN_HAS_X87_EXTENDED
// Whether the software chain and the processor's give the same record, bit
// for bit, NaN signs and payloads included; the message shows both.
::testing::AssertionResult same_records(float nominal, float inflation);

// Compares the two chains on `cases` random single bit patterns and as many
// random decimal rates; returns the number of records that differ (reporting
// the first few).
long long compare_random_records(std::uint32_t seed, long long cases);

// Whether the steps that take one rate (widened to extended, divided by 100,
// plus 1) give the same bits in software and on the processor, each step.
::testing::AssertionResult same_single_steps(float rate);
#endif

#endif
