// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_TESTS_ORACLE_H
#define TARVELIN_TESTS_ORACLE_H

// The figures of the precision chain, computed exactly with MPFR and rounded
// where the chain rounds: a 64-bit significand with the x87 exponent range
// (subnormals included) for every extended step, IEEE single and double for
// the stored results. It shares no code with the calculator.
struct OracleFigures {
    float difference;
    float real_rate;
    double deviation;
};

// The same chain carried in double precision throughout (rounded to single
// only where a figure is stored) and in binary128 (113-bit significand):
// what the program would print if it did not use the extended format.
enum class ChainPrecision { extended, binary64, binary128 };

OracleFigures oracle_figures(float nominal, float inflation,
                             ChainPrecision precision = ChainPrecision::extended);

#endif
