// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_TESTS_BIT_PATTERNS_H
#define TARVELIN_TESTS_BIT_PATTERNS_H

#include <cstdint>
#include <cstring>

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

#endif
