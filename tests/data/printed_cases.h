// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_TESTS_PRINTED_CASES_H
#define TARVELIN_TESTS_PRINTED_CASES_H

#include <cstdio>
#include <string>

// Two-decimal rates in [-10, 30] where the extended chain prints another
// real rate or deviation than the chain carried in double or in binary128
// would, with the figures the report prints (%7.3f, %10.7f). Listed by the
// oracle's own search (find_hard_cases).
struct PrintedCase {
    const char* nominal;
    const char* inflation;
    const char* real_rate;
    const char* deviation;
};

const PrintedCase printed_cases[] = {
#include "hard_cases.inc"
};

// A figure as printf writes it with the report's format.
inline std::string printed(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

#endif
