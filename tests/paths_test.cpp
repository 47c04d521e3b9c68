// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include <ios>

#include <gtest/gtest.h>

#include "bit_patterns.h"
#include "paths_compare.h"
#include "rate_inputs.h"
#include "soft_chain.h"

// The software chain against the processor's, record by record, bit for bit.
// Only where the processor has the x87 format; elsewhere the end-to-end
// cases and the rules in soft_extended_test stand for it.

#if TARVELIN_HAS_X87_EXTENDED

namespace {

TEST(Paths, EveryPairOfSpecialValues)
{
    const std::vector<float> values = special_values();
    for (float nominal : values)
        for (float inflation : values)
            EXPECT_TRUE(same_records(nominal, inflation));
}

#if defined(__SSE_MATH__)
// Both chains choose the NaN of a difference by the SSE rule instead of
// subtracting; here the processor subtracts with SSE and must agree.
TEST(Paths, DifferenceNaNsAreThoseOfTheSseSubtraction)
{
    const std::vector<float> values = special_values();
    for (float nominal : values)
        for (float inflation : values) {
            volatile float x = nominal;
            volatile float y = inflation;
            const float subtracted = x - y;
            const float chosen =
                soft_figures(nominal, inflation, soft_real_rate(nominal, inflation)).difference;
            EXPECT_EQ(bits_of(subtracted), bits_of(chosen))
                << std::hexfloat << nominal << " - " << inflation;
        }
}
#endif

TEST(Paths, RatesWhoseDigitsOnlyTheExtendedChainPrints)
{
    for (const RatePair& rates : hard_case_rates())
        EXPECT_TRUE(same_records(rates.nominal, rates.inflation));
}

TEST(Paths, RandomSingleBitPatternsAndDecimalRates)
{
    EXPECT_EQ(compare_random_records(20261208u, 100000), 0);
}

}  // namespace

#endif
