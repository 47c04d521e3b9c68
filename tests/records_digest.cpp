// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "bit_patterns.h"
#include "rate_inputs.h"
#include "rates.h"
#include "report.h"

// Not a test by itself: prints one hash of the records compute_figures gives
// for every pair of special values, the hard cases and CASES random pairs of
// each kind, so that builds for different processors (or with the software
// arithmetic forced) can be compared by their output:
//   records_digest CASES [SEED]
// With --reports it writes instead what a user reads of the same records:
// each one's report through print_report, in both layouts, for a hash of
// standard output. The bits can agree while a conversion for printing or the
// C library's printf turns them into other text.
//   records_digest --reports CASES [SEED] | sha256sum

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

void add_record(Digest& digest, const RateFigures& figures)
{
    // Not the two copied inputs: a 32-bit x86 build passes singles through
    // x87 registers, which quiet a signaling NaN argument on the way (one the
    // command line never gives, as strtod and the conversion quiet NaNs).
    add_bits(digest, bits_of(figures.difference), 4);
    add_bits(digest, bits_of(figures.real_rate), 4);
    add_bits(digest, bits_of(figures.deviation), 8);
}

// What becomes of each record: its bits hashed, or its reports printed.
struct RecordSink {
    bool print_reports;
    Digest digest;
};

void take_record(RecordSink& sink, const RateFigures& figures)
{
    if (sink.print_reports) {
        print_report(ReportLayout::single_line, figures);
        print_report(ReportLayout::multi_line, figures);
    } else {
        add_record(sink.digest, figures);
    }
}

// Gives the sink every record, in a fixed order; returns their number.
long long visit_records(long long cases, std::uint32_t seed, RecordSink& sink)
{
    long long records = 0;
    const std::vector<float> values = special_values();
    for (float nominal : values)
        for (float inflation : values) {
            take_record(sink, compute_figures(nominal, inflation));
            ++records;
        }
    for (const RatePair& rates : hard_case_rates()) {
        take_record(sink, compute_figures(rates.nominal, rates.inflation));
        ++records;
    }
    std::mt19937 generator(seed);
    for (long long k = 0; k < 2 * cases; ++k) {
        const RatePair rates = random_rates(generator, k);
        take_record(sink, compute_figures(rates.nominal, rates.inflation));
        ++records;
    }
    return records;
}

// Hundreds of megabytes of reports, in large writes: each write costs far
// more under an emulator or through Wine than natively.
char report_buffer[1 << 20];

}  // namespace

int main(int argc, char** argv)
{
    const bool reports = argc > 1 && std::strcmp(argv[1], "--reports") == 0;
    const int first = reports ? 2 : 1;
    const long long cases = argc > first ? std::strtoll(argv[first], nullptr, 10) : 100000;
    const unsigned long seed = argc > first + 1 ? std::strtoul(argv[first + 1], nullptr, 0) : 23u;
    RecordSink sink{reports, Digest{0xCBF29CE484222325u}};
    if (reports)
        (void)std::setvbuf(stdout, report_buffer, _IOFBF, sizeof report_buffer);
    const long long records = visit_records(cases, static_cast<std::uint32_t>(seed), sink);
    if (reports)
        return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? 0 : 1;
    std::printf("%lld records, digest %016llx\n", records,
                static_cast<unsigned long long>(sink.digest.hash));
    return 0;
}
