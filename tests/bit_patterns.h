// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_TESTS_BIT_PATTERNS_H
#define TARVELIN_TESTS_BIT_PATTERNS_H

#include <cstdint>
#include <cstring>

#include "extended_select.h"
#include "soft_extended.h"

// Singles and doubles as the bit patterns the tests state them in.

inline std::uint32_t bits_of(float x)
{
    std::uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

inline std::uint64_t bits_of(double x)
{
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

inline float float_from_bits(std::uint32_t bits)
{
    float x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

inline double double_from_bits(std::uint64_t bits)
{
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

#if TARVELIN_HAS_X87_EXTENDED
// The processor's extended number with the software arithmetic's bits, and
// back: the same ten bytes, significand first (little-endian x86).
inline long double native_from_soft(SoftExtended a)
{
    long double x = 0.0L;
    std::memcpy(&x, &a.signif, 8);
    std::memcpy(reinterpret_cast<unsigned char*>(&x) + 8, &a.signExp, 2);
    return x;
}

inline SoftExtended soft_from_native(long double x)
{
    SoftExtended a;
    std::memcpy(&a.signif, &x, 8);
    std::memcpy(&a.signExp, reinterpret_cast<const unsigned char*>(&x) + 8, 2);
    return a;
}
#endif

#endif
