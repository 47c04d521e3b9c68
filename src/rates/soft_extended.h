// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_SOFT_EXTENDED_H
#define TARVELIN_SOFT_EXTENDED_H

#include <cstdint>

// A number in the x87 extended format, computed with integers only: sign and
// 15-bit biased exponent in signExp, the 64-bit significand with its explicit
// integer bit (bit 63) in signif. The same bits as an x87 long double in memory.
struct SoftExtended {
    std::uint64_t signif;
    std::uint16_t signExp;
};

// Each operation rounds once, to nearest with ties to even, and gives the
// result an x87 gives with all exceptions masked, NaNs and signed zeros
// included. Operands are expected in canonical encodings (the integer bit set
// exactly when the exponent is not zero), which is all these functions make.

// The float exactly; a NaN is quieted and keeps its sign and payload.
SoftExtended soft_from_float(float a);

SoftExtended soft_add(SoftExtended a, SoftExtended b);
SoftExtended soft_sub(SoftExtended a, SoftExtended b);
SoftExtended soft_mul(SoftExtended a, SoftExtended b);
SoftExtended soft_div(SoftExtended a, SoftExtended b);

// Rounded to single or double precision; beyond their range an infinity.
// A NaN keeps its sign and the top bits of its payload, quieted.
float soft_to_float(SoftExtended a);
double soft_to_double(SoftExtended a);

#endif
