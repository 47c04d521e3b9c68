// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "rate_inputs.h"
#include "rates.h"

// Not a test by itself: prints one hash of the records compute_figures gives
// for every pair of special values, the hard cases and CASES random pairs of
// each kind, so that builds for different processors (or with the software
// arithmetic forced) can be compared by their output:
//   records_digest CASES [SEED]

namespace {

// FNV-1a over the bytes of each field, in a fixed order and byte order.
struct Digest {
    std::uint64_t hash;
};

void add_bits(Digest& digest, std::uint64_t bits, int bytes)
{
    for (int k = 0; k < bytes; ++k) {
        digest.hash ^= (bits >> (8 * k)) & 0xFFu;
        digest.hash *= 0x100000001B3u;
    }
}

void add_record(Digest& digest, float nominal, float inflation)
{
    const RateFigures figures = compute_figures(nominal, inflation);
    // Not the two copied inputs: a 32-bit x86 build passes singles through
    // x87 registers, which quiet a signaling NaN argument on the way (one the
    // command line never gives, as strtod and the conversion quiet NaNs).
    const float* singles[] = {&figures.difference, &figures.real_rate};
    for (const float* single : singles) {
        std::uint32_t bits;
        std::memcpy(&bits, single, sizeof bits);
        add_bits(digest, bits, 4);
    }
    std::uint64_t bits;
    std::memcpy(&bits, &figures.deviation, sizeof bits);
    add_bits(digest, bits, 8);
}

}  // namespace

int main(int argc, char** argv)
{
    const long long cases = argc > 1 ? std::strtoll(argv[1], nullptr, 10) : 100000;
    const unsigned long seed = argc > 2 ? std::strtoul(argv[2], nullptr, 0) : 23u;
    Digest digest{0xCBF29CE484222325u};
    long long records = 0;
    const std::vector<float> values = special_values();
    for (float nominal : values)
        for (float inflation : values) {
            add_record(digest, nominal, inflation);
            ++records;
        }
    for (const RatePair& rates : hard_case_rates()) {
        add_record(digest, rates.nominal, rates.inflation);
        ++records;
    }
    std::mt19937 generator(static_cast<std::uint32_t>(seed));
    for (long long k = 0; k < 2 * cases; ++k) {
        const RatePair rates = random_rates(generator, k);
        add_record(digest, rates.nominal, rates.inflation);
        ++records;
    }
    std::printf("%lld records, digest %016llx\n", records,
                static_cast<unsigned long long>(digest.hash));
    return 0;
}
