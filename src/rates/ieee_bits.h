// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_IEEE_BITS_H
#define TARVELIN_IEEE_BITS_H

#include <cfloat>
#include <cstdint>

// Everything here copies the bits of IEEE binary32 and binary64.
#if FLT_RADIX != 2 || FLT_MANT_DIG != 24 || FLT_MAX_EXP != 128 || FLT_MIN_EXP != -125
#error "float is not IEEE binary32: FLT_RADIX, FLT_MANT_DIG, FLT_MAX_EXP or FLT_MIN_EXP differs"
#endif
#if DBL_MANT_DIG != 53 || DBL_MAX_EXP != 1024 || DBL_MIN_EXP != -1021
#error "double is not IEEE binary64: DBL_MANT_DIG, DBL_MAX_EXP or DBL_MIN_EXP differs"
#endif

// x rounded to T by a store through volatile, which no compiler may skip or
// put off, even where it carries float and double arithmetic on in wider
// registers (x87).
template <typename T, typename From> T rounded_to(From x)
{
    volatile T stored = static_cast<T>(x);
    return stored;
}

// Single and double precision by their bits: the encodings the software
// arithmetic reads and writes, and the NaN conversions that no processor
// instruction may do, since processors disagree on them. An x86 keeps a NaN's
// sign and the top of its payload and sets the quiet bit, and so does Arm (32
// and 64 bits) with the default-NaN mode off, as Linux leaves it; RISC-V
// returns its canonical positive NaN, a legacy MIPS its default NaN (where the
// quiet bit even means signaling), and GCC's library on an Arm without a
// floating-point unit narrows to the default NaN too. Here every processor does what an x86
// does.

// The fields of an encoding: biased exponent and fraction as stored.
struct FloatFields {
    bool sign;
    std::int32_t exp;  // 0 for zeros and denormals, float_exp_max for infinities and NaNs
    std::uint32_t frac;
};

struct DoubleFields {
    bool sign;
    std::int32_t exp;  // 0 for zeros and denormals, double_exp_max for infinities and NaNs
    std::uint64_t frac;
};

constexpr int float_frac_bits = 23;
constexpr std::int32_t float_exp_bias = 127;
constexpr std::int32_t float_exp_max = 0xFF;
constexpr int double_frac_bits = 52;
constexpr std::int32_t double_exp_bias = 1023;
constexpr std::int32_t double_exp_max = 0x7FF;

FloatFields float_fields(float x);
float float_from_fields(bool sign, std::int32_t exp, std::uint32_t frac);
DoubleFields double_fields(double x);
double double_from_fields(bool sign, std::int32_t exp, std::uint64_t frac);

bool is_nan(float x);
bool is_nan(double x);

// A NaN's payload as a 64-bit fraction aligned at the top: its highest bit is
// the quiet bit, whatever the format. Converting a NaN keeps as much of this
// as the target format holds, from the top.
std::uint64_t nan_payload(float x);
std::uint64_t nan_payload(double x);

// The quiet NaN of the given sign with the top bits of an aligned payload.
float quiet_nan_float(bool sign, std::uint64_t payload);
double quiet_nan_double(bool sign, std::uint64_t payload);

// Rounded to single (nearest, ties to even) by the processor; a NaN by its bits.
float narrow_to_float(double x);

// Exactly, by the processor; a NaN by its bits.
double widen_to_double(float x);

// x with its sign bit set as given, by the bits: negation is an arithmetic
// operation on some processors, which would replace a NaN.
double with_sign(double x, bool negative);

#endif
