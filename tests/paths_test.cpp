#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "paths_compare.h"

// The software chain against the processor's, record by record, bit for bit.
// Only where the processor has the x87 format; elsewhere the end-to-end
// cases and the rules in soft_extended_test stand for it.

#if TARVELIN_HAS_X87_EXTENDED

namespace {

float float_from_bits(std::uint32_t bits)
{
    float x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

// Every kind of single: zeros, infinities, NaNs of both signs, quiet and
// signaling, with several payloads, denormals, the ends of the range, the
// pole at -100 and its neighbours, and ordinary rates.
std::vector<float> special_values()
{
    const std::uint32_t patterns[] = {
        0x00000000u, 0x80000000u, 0x7F800000u, 0xFF800000u,                // zeros, infinities
        0x7FC00000u, 0xFFC00000u, 0x7FC00001u, 0xFFC12345u, 0x7FFFFFFFu,  // quiet NaNs
        0xFFFFFFFFu, 0x7F800001u, 0xFF800001u, 0x7FA00000u, 0xFFBFFFFFu,  // and signaling
        0x00000001u, 0x80000001u, 0x007FFFFFu, 0x807FFFFFu, 0x00400000u,  // denormals
        0x00800000u, 0x80800000u, 0x7F7FFFFFu, 0xFF7FFFFFu,                // range ends
    };
    std::vector<float> values;
    for (std::uint32_t bits : patterns)
        values.push_back(float_from_bits(bits));
    const float ordinary[] = {-100.0f, -99.9999f, -100.0001f, -99.0f, -101.0f, 100.0f, 1.0f,
                              -1.0f,   0.01f,     5.0f,       2.0f,   1e-10f,  16777216.0f,
                              1e30f,   -1e30f,    0.045f};
    for (float x : ordinary)
        values.push_back(x);
    float up = -100.0f;
    float down = -100.0f;
    for (int step = 0; step < 3; ++step) {
        up = std::nextafter(up, 0.0f);
        down = std::nextafter(down, -200.0f);
        values.push_back(up);
        values.push_back(down);
    }
    return values;
}

TEST(Paths, EveryPairOfSpecialValues)
{
    const std::vector<float> values = special_values();
    for (float nominal : values)
        for (float inflation : values)
            EXPECT_TRUE(same_records(nominal, inflation));
}

struct PrintedCase {
    const char* nominal;
    const char* inflation;
    const char* real_rate;
    const char* deviation;
};

const PrintedCase printed_cases[] = {
#include "hard_cases.inc"
};

TEST(Paths, RatesWhoseDigitsOnlyTheExtendedChainPrints)
{
    for (const PrintedCase& c : printed_cases) {
        const float nominal = static_cast<float>(std::strtod(c.nominal, nullptr));
        const float inflation = static_cast<float>(std::strtod(c.inflation, nullptr));
        EXPECT_TRUE(same_records(nominal, inflation)) << c.nominal << " " << c.inflation;
    }
}

TEST(Paths, RandomSingleBitPatternsAndDecimalRates)
{
    EXPECT_EQ(compare_random_records(20261208u, 100000), 0);
}

}  // namespace

#endif
