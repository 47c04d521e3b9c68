// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

// Lists the pairs of two-decimal rates in [-10, 30] whose printed real rate or
// deviation differs between the extended chain and the same chain carried in
// double or in binary128, with the extended chain's printed figures. The
// figures come from the MPFR oracle alone, never from the calculator.
//
// Output: one C++ initialiser a line, {"nominal", "inflation", "real rate",
// "deviation"}, the two figures as the report prints them (%7.3f, %10.7f).

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "oracle.h"

namespace {

struct Printed {
    char real_rate[64];
    char deviation[64];
};

Printed print(const OracleFigures& figures)
{
    Printed printed{};
    std::snprintf(printed.real_rate, sizeof printed.real_rate, "%7.3f",
                  static_cast<double>(figures.real_rate));
    std::snprintf(printed.deviation, sizeof printed.deviation, "%10.7f", figures.deviation);
    return printed;
}

bool same(const Printed& x, const Printed& y)
{
    return std::strcmp(x.real_rate, y.real_rate) == 0 && std::strcmp(x.deviation, y.deviation) == 0;
}

}  // namespace

int main()
{
    const int lowest = -1000;  // hundredths
    const int highest = 3000;
    long found = 0;
    for (int n = lowest; n <= highest; ++n) {
        char nominal_text[16];
        std::snprintf(nominal_text, sizeof nominal_text, "%.2f", n / 100.0);
        const float nominal = static_cast<float>(std::strtod(nominal_text, nullptr));
        for (int i = lowest; i <= highest; ++i) {
            char inflation_text[16];
            std::snprintf(inflation_text, sizeof inflation_text, "%.2f", i / 100.0);
            const float inflation = static_cast<float>(std::strtod(inflation_text, nullptr));

            const OracleFigures extended = oracle_figures(nominal, inflation);
            const OracleFigures binary64 = oracle_figures(nominal, inflation,
                                                          ChainPrecision::binary64);
            const OracleFigures binary128 = oracle_figures(nominal, inflation,
                                                           ChainPrecision::binary128);
            const bool same_bits =
                [&](const OracleFigures& other) {
                    return other.real_rate == extended.real_rate &&
                           other.deviation == extended.deviation;
                }(binary64) &&
                binary128.real_rate == extended.real_rate &&
                binary128.deviation == extended.deviation;
            if (same_bits)
                continue;
            const Printed printed = print(extended);
            if (same(printed, print(binary64)) && same(printed, print(binary128)))
                continue;
            std::printf("{\"%s\", \"%s\", \"%s\", \"%s\"},\n", nominal_text, inflation_text,
                        printed.real_rate, printed.deviation);
            ++found;
        }
    }
    std::fprintf(stderr, "%ld pairs\n", found);
    return 0;
}
