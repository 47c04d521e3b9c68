// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "paths_compare.h"
#include "rate_inputs.h"

// The long comparisons of the software chain with the processor's:
//   paths_sweep CASES [SEED]
//     CASES random single bit patterns and CASES random decimal rates;
//   paths_sweep --two-decimals STRIDE
//     every STRIDE-th rate with two decimals from -100.00 to 100.00 against
//     every such rate (STRIDE 1: all 20,001 x 20,001 pairs), on two threads;
//   paths_sweep --single-steps STRIDE
//     every STRIDE-th single bit pattern through the steps that take one
//     rate (STRIDE 1: all 2^32), on two threads.
// Exits 0 when all records agree, 1 when some differ, 77 (skipped) where the
// processor has no x87 extended format to compare with.

#if TARVELIN_HAS_X87_EXTENDED
namespace {

// Runs check(k) for k from 0 to count - 1, half of them on a second thread;
// returns how many fail, showing the first few.
template <typename Check> long long count_failures(long long count, Check check)
{
    long long failures[2] = {0, 0};
    auto share = [&](int half) {
        for (long long k = half; k < count; k += 2) {
            const ::testing::AssertionResult same = check(k);
            if (!same && ++failures[half] <= 5)
                std::fprintf(stderr, "%s\n", same.message());
        }
    };
    std::thread second(share, 1);
    share(0);
    second.join();
    return failures[0] + failures[1];
}

}  // namespace
#endif

int main(int argc, char** argv)
{
#if TARVELIN_HAS_X87_EXTENDED
    const auto start = std::chrono::steady_clock::now();
    const bool two_decimals = argc > 2 && std::strcmp(argv[1], "--two-decimals") == 0;
    const bool single_steps = argc > 2 && std::strcmp(argv[1], "--single-steps") == 0;
    long long count = argc > 1 ? std::strtoll(argv[1], nullptr, 10) : 100000;
    long long failures = 0;
    if (two_decimals) {
        const long long stride = std::strtoll(argv[2], nullptr, 10);
        const std::vector<float> rates = two_decimal_rates();
        const auto size = static_cast<long long>(rates.size());
        count = ((size - 1) / stride + 1) * size;
        failures = count_failures(count, [&](long long k) {
            const auto nominal = static_cast<std::size_t>(k / size * stride);
            return same_records(rates[nominal], rates[static_cast<std::size_t>(k % size)]);
        });
        std::printf("%lld pairs of two-decimal rates", count);
    } else if (single_steps) {
        const long long stride = std::strtoll(argv[2], nullptr, 10);
        count = (0xFFFFFFFFLL / stride) + 1;
        failures = count_failures(count, [&](long long k) {
            const auto bits = static_cast<std::uint32_t>(k * stride);
            float rate;
            std::memcpy(&rate, &bits, sizeof rate);
            return same_single_steps(rate);
        });
        std::printf("%lld single bit patterns through the steps of one rate", count);
    } else {
        const unsigned long seed = argc > 2 ? std::strtoul(argv[2], nullptr, 0) : 19u;
        failures = compare_random_records(static_cast<std::uint32_t>(seed), count);
        std::printf("%lld random bit patterns and %lld random decimal rates", count, count);
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::printf(": %lld records differ (%.1f s)\n", failures, seconds.count());
    return failures == 0 ? 0 : 1;
#else
    (void)argc;
    (void)argv;
    std::printf("no x87 extended format on this processor: nothing to compare with\n");
    return 77;
#endif
}
