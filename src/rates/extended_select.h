// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_EXTENDED_SELECT_H
#define TARVELIN_EXTENDED_SELECT_H

#include <cfloat>

// Where long double is the x87 extended format (64-bit significand, 15-bit
// exponent), the processor computes the chain itself; everywhere else
// (binary128, or long double as double) the software arithmetic does.
// TARVELIN_SOFT_EXTENDED makes the software arithmetic serve on any host.
#if LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384
#define TARVELIN_HAS_X87_EXTENDED 1
#else
#define TARVELIN_HAS_X87_EXTENDED 0
#endif

// The extended format of this build is chosen here and nowhere else. Only
// the name of the software arithmetic's type is declared: its definition and
// operations stay inside src/rates.
#if TARVELIN_HAS_X87_EXTENDED && !defined(TARVELIN_SOFT_EXTENDED)
#define TARVELIN_EXTENDED_IN_SOFTWARE 0
using ExtendedReal = long double;
#else
#define TARVELIN_EXTENDED_IN_SOFTWARE 1
struct SoftExtended;
using ExtendedReal = SoftExtended;
#endif

#endif
