// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bit_patterns.h"
#include "oracle.h"
#include "printed_cases.h"
#include "rate_inputs.h"
#include "rates.h"

namespace {

// Bit-for-bit equality, so that signed zeros count; NaNs are compared only
// as NaNs, since the oracle knows nothing of the processor's NaN signs.
::testing::AssertionResult same_figures(float nominal, float inflation)
{
    const RateFigures figures = compute_figures(nominal, inflation);
    const OracleFigures expected = oracle_figures(nominal, inflation);
    const auto same = [](auto x, auto y) {
        return (std::isnan(x) && std::isnan(y)) || bits_of(x) == bits_of(y);
    };
    if (same(figures.difference, expected.difference) &&
        same(figures.real_rate, expected.real_rate) && same(figures.deviation, expected.deviation))
        return ::testing::AssertionSuccess();
    char message[256];
    std::snprintf(message, sizeof message, "nominal %a inflation %a: got %a %a %a, oracle %a %a %a",
                  static_cast<double>(nominal), static_cast<double>(inflation),
                  static_cast<double>(figures.difference), static_cast<double>(figures.real_rate),
                  figures.deviation, static_cast<double>(expected.difference),
                  static_cast<double>(expected.real_rate), expected.deviation);
    return ::testing::AssertionFailure() << message;
}

TEST(Oracle, RandomSingleBitPatterns)
{
    std::mt19937 generator(20190925);
    int compared = 0;
    while (compared < 200000) {
        const float nominal = float_from_bits(static_cast<std::uint32_t>(generator()));
        const float inflation = float_from_bits(static_cast<std::uint32_t>(generator()));
        if (!std::isfinite(nominal) || !std::isfinite(inflation))
            continue;
        ASSERT_TRUE(same_figures(nominal, inflation));
        ++compared;
    }
}

// Rates as people type them: up to four decimals, mostly small, some large.
TEST(Oracle, RandomDecimalRates)
{
    std::mt19937 generator(25092019);
    std::uniform_int_distribution<int> small(-10000, 300000);       // -1 to 30, 4 decimals
    std::uniform_int_distribution<int> large(-1000000, 100000000);  // -100 to 1e6, 2 decimals
    for (int k = 0; k < 100000; ++k) {
        char nominal_text[32];
        char inflation_text[32];
        if (k % 2 == 0) {
            std::snprintf(nominal_text, sizeof nominal_text, "%.4f", small(generator) / 1e4);
            std::snprintf(inflation_text, sizeof inflation_text, "%.4f", small(generator) / 1e4);
        } else {
            std::snprintf(nominal_text, sizeof nominal_text, "%.2f", large(generator) / 1e2);
            std::snprintf(inflation_text, sizeof inflation_text, "%.2f", large(generator) / 1e2);
        }
        const float nominal = std::strtof(nominal_text, nullptr);
        const float inflation = std::strtof(inflation_text, nullptr);
        ASSERT_TRUE(same_figures(nominal, inflation)) << nominal_text << " " << inflation_text;
    }
}

// Inputs at the edges of the single format and near the pole at -100.
TEST(Oracle, HardInputs)
{
    const float values[] = {0.0f,
                            -0.0f,
                            1e-45f,
                            -1e-45f,
                            1.17549421e-38f,
                            1.17549435e-38f,
                            3.40282347e38f,
                            -3.40282347e38f,
                            1e-10f,
                            100.0f,
                            -100.0f,
                            std::nextafter(-100.0f, 0.0f),
                            std::nextafter(-100.0f, -200.0f),
                            -99.9999f,
                            -100.0001f,
                            16777216.0f,
                            0.01f,
                            -0.01f,
                            1.0f,
                            0.5f,
                            12345.678f};
    for (float nominal : values)
        for (float inflation : values)
            EXPECT_TRUE(same_figures(nominal, inflation));
}

TEST(Oracle, RatesWhereOnlyTheExtendedChainPrintsTheseDigits)
{
    for (const RatePair& rates : hard_case_rates())
        EXPECT_TRUE(same_figures(rates.nominal, rates.inflation));
}

TEST(Oracle, TheHardCasesReallyDependOnTheExtendedChain)
{
    const std::vector<RatePair> rates = hard_case_rates();
    for (std::size_t k = 0; k < rates.size(); ++k) {
        const PrintedCase& c = printed_cases[k];
        const auto differs = [&c](const OracleFigures& figures) {
            return printed("%7.3f", static_cast<double>(figures.real_rate)) != c.real_rate ||
                   printed("%10.7f", figures.deviation) != c.deviation;
        };
        const float nominal = rates[k].nominal;
        const float inflation = rates[k].inflation;
        EXPECT_TRUE(differs(oracle_figures(nominal, inflation, ChainPrecision::binary64)) ||
                    differs(oracle_figures(nominal, inflation, ChainPrecision::binary128)))
            << c.nominal << " " << c.inflation;
    }
}

}  // namespace
