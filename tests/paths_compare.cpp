// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "paths_compare.h"

#if TARVELIN_HAS_X87_EXTENDED

#include <cstdio>
#include <ios>
#include <random>

#include "bit_patterns.h"
#include "rate_inputs.h"
#include "soft_chain.h"
#include "x87_chain.h"

::testing::AssertionResult same_records(float nominal, float inflation)
{
    const RateFigures soft = soft_figures(nominal, inflation, soft_real_rate(nominal, inflation));
    const RateFigures x87 = x87_figures(nominal, inflation, x87_real_rate(nominal, inflation));
    if (bits_of(soft.nominal) == bits_of(x87.nominal) &&
        bits_of(soft.inflation) == bits_of(x87.inflation) &&
        bits_of(soft.difference) == bits_of(x87.difference) &&
        bits_of(soft.real_rate) == bits_of(x87.real_rate) &&
        bits_of(soft.deviation) == bits_of(x87.deviation))
        return ::testing::AssertionSuccess();
    char message[256];
    std::snprintf(message, sizeof message,
                  "rates %08x %08x: software %08x %08x %016llx, processor %08x %08x %016llx",
                  bits_of(x87.nominal), bits_of(x87.inflation), bits_of(soft.difference),
                  bits_of(soft.real_rate), static_cast<unsigned long long>(bits_of(soft.deviation)),
                  bits_of(x87.difference), bits_of(x87.real_rate),
                  static_cast<unsigned long long>(bits_of(x87.deviation)));
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
        const SoftExtended bits = soft_from_native(x87[step]);
        if (bits.signif != soft[step].signif || bits.signExp != soft[step].signExp)
            return ::testing::AssertionFailure()
                   << std::hex << "rate " << std::hexfloat << rate << ", step " << step
                   << ": software " << soft[step].signExp << ":" << soft[step].signif
                   << ", processor " << bits.signExp << ":" << bits.signif;
    }
    return ::testing::AssertionSuccess();
}

#endif
