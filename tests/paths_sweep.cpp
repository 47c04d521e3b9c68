// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "paths_compare.h"

// The long comparison of the software chain with the processor's:
//   paths_sweep CASES [SEED]
// compares CASES random single bit patterns and CASES random decimal rates.
// Exits 0 when all records agree, 1 when some differ, 77 (skipped) where the
// processor has no x87 extended format to compare with.
int main(int argc, char** argv)
{
#if TARVELIN_HAS_X87_EXTENDED
    const long long cases = argc > 1 ? std::strtoll(argv[1], nullptr, 10) : 100000;
    const unsigned long seed = argc > 2 ? std::strtoul(argv[2], nullptr, 0) : 19u;
    const auto start = std::chrono::steady_clock::now();
    const long long failures = compare_random_records(static_cast<std::uint32_t>(seed), cases);
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::printf(
        "%lld random bit patterns and %lld random decimal rates: %lld records differ "
        "(%.1f s)\n",
        cases, cases, failures, seconds.count());
    return failures == 0 ? 0 : 1;
#else
    (void)argc;
    (void)argv;
    std::printf("no x87 extended format on this processor: nothing to compare with\n");
    return 77;
#endif
}
