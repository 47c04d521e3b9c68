// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "paths_compare.h"

#if TARVELIN_HAS_X87_EXTENDED

#include <cstdio>
#include <cstring>
#include <ios>
#include <random>

#include "rate_inputs.h"
#include "soft_chain.h"
#include "x87_chain.h"

::testing::AssertionResult same_records(float nominal, float inflation)
{
    const RateFigures soft = soft_figures(nominal, inflation, soft_real_rate(nominal, inflation));
    const RateFigures x87 = x87_figures(nominal, inflation, x87_real_rate(nominal, inflation));
    std::uint32_t softBits[4];
    std::uint32_t x87Bits[4];
    const float* softSingles[] = {&soft.nominal, &soft.inflation, &soft.difference,
                                  &soft.real_rate};
    const float* x87Singles[] = {&x87.nominal, &x87.inflation, &x87.difference, &x87.real_rate};
    for (int k = 0; k < 4; ++k) {
        std::memcpy(&softBits[k], softSingles[k], 4);
        std::memcpy(&x87Bits[k], x87Singles[k], 4);
    }
    std::uint64_t softDeviation;
    std::uint64_t x87Deviation;
    std::memcpy(&softDeviation, &soft.deviation, 8);
    std::memcpy(&x87Deviation, &x87.deviation, 8);
    if (std::memcmp(softBits, x87Bits, sizeof softBits) == 0 && softDeviation == x87Deviation)
        return ::testing::AssertionSuccess();
    char message[256];
    std::snprintf(message, sizeof message,
                  "rates %08x %08x: software %08x %08x %016llx, processor %08x %08x %016llx",
                  x87Bits[0], x87Bits[1], softBits[2], softBits[3],
                  static_cast<unsigned long long>(softDeviation), x87Bits[2], x87Bits[3],
                  static_cast<unsigned long long>(x87Deviation));
    return ::testing::AssertionFailure() << message;
}

long long compare_random_records(std::uint32_t seed, long long cases)
{
    std::mt19937 generator(seed);
    long long failures = 0;
    for (long long k = 0; k < 2 * cases; ++k) {
        const RatePair rates = random_rates(generator, k);
        const ::testing::AssertionResult same = same_records(rates.nominal, rates.inflation);
        if (!same && ++failures <= 10)
            std::fprintf(stderr, "%s\n", same.message());
    }
    return failures;
}

::testing::AssertionResult same_single_steps(float rate)
{
    static const SoftExtended hundred = soft_from_float(100.0f);
    static const SoftExtended one = soft_from_float(1.0f);
    SoftExtended soft[3];
    soft[0] = soft_from_float(rate);
    soft[1] = soft_div(soft[0], hundred);
    soft[2] = soft_add(soft[1], one);
    volatile long double x87[3];
    x87[0] = static_cast<long double>(rate);
    x87[1] = x87[0] / 100.0L;
    x87[2] = x87[1] + 1.0L;
    for (int step = 0; step < 3; ++step) {
        const long double x = x87[step];
        SoftExtended bits{0, 0};
        std::memcpy(&bits.signif, &x, 8);
        std::memcpy(&bits.signExp, reinterpret_cast<const unsigned char*>(&x) + 8, 2);
        if (bits.signif != soft[step].signif || bits.signExp != soft[step].signExp)
            return ::testing::AssertionFailure()
                   << std::hex << "rate " << std::hexfloat << rate << ", step " << step
                   << ": software " << soft[step].signExp << ":" << soft[step].signif
                   << ", processor " << bits.signExp << ":" << bits.signif;
    }
    return ::testing::AssertionSuccess();
}

#endif
