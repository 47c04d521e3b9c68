// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "rate_inputs.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "bit_patterns.h"
#include "ieee_bits.h"
#include "printed_cases.h"

namespace {

// A rate as strtod reads "k/10^d" and the program rounds it to single: the
// quotient of two exact doubles is the double nearest the decimal.
float decimal_rate(std::int64_t k, double scale)
{
    return static_cast<float>(rounded_to<double>(static_cast<double>(k) / scale));
}

// A whole number from low to high, drawn from the engine's raw output alone:
// the engine's numbers are fixed by the C++ standard, a distribution's are
// not (libstdc++ and libc++ make different numbers of the same draws), and
// every build must get the same inputs. Draws in the incomplete last block of
// the 2^32 raw values are rejected, so that every number is equally likely.
std::int64_t uniform_integer(std::mt19937& generator, std::int64_t low, std::int64_t high)
{
    const std::uint64_t span = static_cast<std::uint64_t>(high - low) + 1u;
    const std::uint64_t raw_values = std::uint64_t{1} << 32;
    const std::uint64_t accepted = raw_values - raw_values % span;
    std::uint64_t raw = generator();
    while (raw >= accepted)
        raw = generator();
    return low + static_cast<std::int64_t>(raw % span);
}

}  // namespace

std::vector<float> special_values()
{
    const std::uint32_t patterns[] = {
        0x00000000u, 0x80000000u, 0x7F800000u, 0xFF800000u,               // zeros, infinities
        0x7FC00000u, 0xFFC00000u, 0x7FC00001u, 0xFFC12345u, 0x7FFFFFFFu,  // quiet NaNs
        0xFFFFFFFFu, 0x7F800001u, 0xFF800001u, 0x7FA00000u, 0xFFBFFFFFu,  // and signaling
        0x00000001u, 0x80000001u, 0x007FFFFFu, 0x807FFFFFu, 0x00400000u,  // denormals
        0x00800000u, 0x80800000u, 0x7F7FFFFFu, 0xFF7FFFFFu,               // range ends
    };
    std::vector<float> values;
    for (std::uint32_t bits : patterns)
        values.push_back(float_from_bits(bits));
    const float ordinary[] = {-100.0f,     -99.9999f, -100.0001f, -99.0f, -101.0f, 100.0f,
                              1.0f,        -1.0f,     0.01f,      5.0f,   2.0f,    1e-10f,
                              16777216.0f, 1e30f,     -1e30f,     0.045f};
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

std::vector<RatePair> hard_case_rates()
{
    std::vector<RatePair> rates;
    for (const PrintedCase& c : printed_cases)
        rates.push_back(RatePair{static_cast<float>(std::strtod(c.nominal, nullptr)),
                                 static_cast<float>(std::strtod(c.inflation, nullptr))});
    return rates;
}

std::vector<float> two_decimal_rates()
{
    // The text is written from integers, so that no binary rounding comes
    // between the decimal and strtod.
    std::vector<float> rates;
    for (int hundredths = -10000; hundredths <= 10000; ++hundredths) {
        const int whole = std::abs(hundredths) / 100;
        char text[16];
        std::snprintf(text, sizeof text, "%s%d.%02d", hundredths < 0 ? "-" : "", whole,
                      std::abs(hundredths) % 100);
        rates.push_back(static_cast<float>(std::strtod(text, nullptr)));
    }
    return rates;
}

RatePair random_rates(std::mt19937& generator, long long k)
{
    if (k % 2 == 0) {
        const float nominal = float_from_bits(static_cast<std::uint32_t>(generator()));
        return {nominal, float_from_bits(static_cast<std::uint32_t>(generator()))};
    }
    // Alternately two decimals from -100 to 1000 (the pole and the usual
    // rates) and four decimals from -10 to 30.
    if (k % 4 == 1) {
        const float nominal = decimal_rate(uniform_integer(generator, -10000, 100000), 100.0);
        return {nominal, decimal_rate(uniform_integer(generator, -10000, 100000), 100.0)};
    }
    const float nominal = decimal_rate(uniform_integer(generator, -100000, 300000), 10000.0);
    return {nominal, decimal_rate(uniform_integer(generator, -100000, 300000), 10000.0)};
}
