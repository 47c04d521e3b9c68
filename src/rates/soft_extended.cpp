// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "soft_extended.h"

#include "ieee_bits.h"

// The x87 extended format in integers. Inside an operation a finite nonzero
// operand is an exponent (biased by 0x3FFF, below 1 for a denormal) and a
// significand with bit 63 set; the bits below it travel in sigExtra, whose
// top bit is worth half a unit in the last place and whose lowest bit
// collects ("jams") everything shifted further out.

namespace {

constexpr std::int32_t exp_bias = 0x3FFF;
constexpr std::int32_t exp_max = 0x7FFF;  // infinities and NaNs
constexpr std::uint64_t integer_bit = 0x8000000000000000u;
constexpr std::uint64_t quiet_bit = 0x4000000000000000u;
constexpr std::uint64_t half_ulp = 0x8000000000000000u;  // in sigExtra

// A format a result is rounded to: its precision in bits (the integer bit
// included), its exponent bias, and the exponent field of its infinities.
struct RoundingFormat {
    int precision;
    std::int32_t bias;
    std::int32_t exp_max;
};

constexpr RoundingFormat extended_format{64, exp_bias, exp_max};
constexpr RoundingFormat double_format{53, double_exp_bias, double_exp_max};
constexpr RoundingFormat single_format{24, float_exp_bias, float_exp_max};

// A rounded result as its format encodes it: the exponent field (0 for zeros
// and denormals, exp_max for infinities) and the significand at the top of
// 64 bits, a denormal's shifted down to its place.
struct Rounded {
    bool sign;
    std::int32_t exp;
    std::uint64_t sig;
};

// A significand with the bits below it.
struct SigExtra {
    std::uint64_t sig;
    std::uint64_t extra;
};

// The fields of an encoding, and its class. The integer bit does not count
// in telling a NaN from an infinity.
bool sign_of(SoftExtended a)
{
    return (a.signExp & 0x8000u) != 0;
}

std::int32_t exp_of(SoftExtended a)
{
    return a.signExp & 0x7FFF;
}

bool is_nan(SoftExtended a)
{
    return exp_of(a) == exp_max && (a.signif << 1) != 0;
}

bool is_inf(SoftExtended a)
{
    return exp_of(a) == exp_max && (a.signif << 1) == 0;
}

bool is_zero(SoftExtended a)
{
    return exp_of(a) == 0 && a.signif == 0;
}

// The encoding of sign, biased exponent field and significand, as they are.
SoftExtended pack(bool sign, std::int32_t exp, std::uint64_t sig)
{
    const unsigned sign_bit = sign ? 0x8000u : 0u;
    return SoftExtended{sig, static_cast<std::uint16_t>(sign_bit | static_cast<unsigned>(exp))};
}

// An infinity of the given sign.
SoftExtended infinity(bool sign)
{
    return pack(sign, exp_max, integer_bit);
}

// The NaN the x87 makes for an invalid operation ("real indefinite").
SoftExtended default_nan()
{
    return pack(true, exp_max, integer_bit | quiet_bit);
}

// The number of zero bits above the highest set bit; 64 for zero.
int count_leading_zeros(std::uint64_t a)
{
    int count = 0;
    for (int step = 32; step > 0; step /= 2) {
        if ((a >> (64 - step)) == 0) {
            count += step;
            a <<= step;
        }
    }
    return a == 0 ? 64 : count;
}

// Shifts sig (with extra below it) right by dist >= 0; whatever leaves the
// 64 bits of extra is jammed into its lowest bit.
SigExtra shift_right_jam_extra(std::uint64_t sig, std::uint64_t extra, std::int32_t dist)
{
    if (dist == 0)
        return SigExtra{sig, extra};
    SigExtra z;
    if (dist < 64) {
        z.sig = sig >> dist;
        z.extra = sig << (64 - dist);
    } else if (dist < 128) {
        // All of sig moves into extra; a subtraction may still need its top
        // bits once it has normalised its result.
        z.sig = 0;
        const std::int32_t in_extra = dist - 64;
        z.extra = sig >> in_extra;
        if (in_extra != 0 && (sig << (64 - in_extra)) != 0)
            z.extra |= 1u;
    } else {
        z.sig = 0;
        z.extra = sig != 0 ? 1u : 0u;
    }
    z.extra |= extra != 0 ? 1u : 0u;
    return z;
}

// The full 128-bit product of two significands, high half in sig.
SigExtra multiply_64_to_128(std::uint64_t a, std::uint64_t b)
{
    const std::uint64_t mask = 0xFFFFFFFFu;
    const std::uint64_t low = (a & mask) * (b & mask);
    const std::uint64_t cross1 = (a & mask) * (b >> 32);
    const std::uint64_t cross2 = (a >> 32) * (b & mask);
    const std::uint64_t high = (a >> 32) * (b >> 32);
    const std::uint64_t middle = (low >> 32) + (cross1 & mask) + (cross2 & mask);
    return SigExtra{high + (cross1 >> 32) + (cross2 >> 32) + (middle >> 32),
                    (low & mask) | (middle << 32)};
}

// A number that is not a NaN as an exponent and a significand.
struct Unpacked {
    std::int32_t exp;
    std::uint64_t sig;
};

// The significand normalised (bit 63 set), a denormal's exponent going below
// 1 by the shift; a zero's significand is zero, an infinity's exponent exp_max.
Unpacked unpack(SoftExtended a)
{
    if (exp_of(a) != 0 || a.signif == 0)
        return Unpacked{exp_of(a), a.signif};
    const int shift = count_leading_zeros(a.signif);
    return Unpacked{1 - shift, a.signif << shift};
}

// The single rounding of every operation and narrowing: rounds the exact
// value sigZ.sigExtra * 2^(expZ - 0x3FFF - 63), sigZ normalised or the whole
// value zero, to the format's precision and range, nearest with ties to
// even. Below the format's normal range fewer bits are kept (gradual
// underflow); beyond its largest finite number it is an infinity.
Rounded round_to_format(const RoundingFormat& format, bool signZ, std::int32_t expZ,
                        std::uint64_t sigZ, std::uint64_t sigExtra)
{
    if (sigZ == 0 && sigExtra == 0)
        return Rounded{signZ, 0, 0};
    expZ += format.bias - exp_bias;  // from here on the format's own exponent
    std::int32_t drop = 64 - format.precision;
    if (expZ < 1)
        drop += 1 - expZ;
    const SigExtra shifted = shift_right_jam_extra(sigZ, sigExtra, drop);
    std::uint64_t kept = shifted.sig;
    if (shifted.extra > half_ulp || (shifted.extra == half_ulp && (kept & 1u) != 0)) {
        ++kept;
        // Unsigned wrap-around is the point here, which cppcheck misses.
        // cppcheck-suppress knownConditionTrueFalse
        if (kept == 0) {  // carried out of all 64 bits: the next power of two
            kept = integer_bit;
            ++expZ;
        }
    }
    if (kept == 0)
        return Rounded{signZ, 0, 0};
    const int shift = count_leading_zeros(kept);
    std::int32_t exp = expZ + drop - shift;
    std::uint64_t sig = kept << shift;
    if (exp >= format.exp_max)
        return Rounded{signZ, format.exp_max, integer_bit};
    if (exp < 1) {  // a denormal: the bits shifted out are zero
        sig >>= 1 - exp;
        exp = 0;
    }
    return Rounded{signZ, exp, sig};
}

// The encodings of a rounded result, one per format.
SoftExtended pack_extended(Rounded z)
{
    return pack(z.sign, z.exp, z.sig);
}

float pack_float(Rounded z)
{
    return float_from_fields(z.sign, z.exp,
                             static_cast<std::uint32_t>(z.sig >> (63 - float_frac_bits)));
}

double pack_double(Rounded z)
{
    return double_from_fields(z.sign, z.exp, z.sig >> (63 - double_frac_bits));
}

// The NaN of an operation with NaN operands, as the x87 chooses it: the only
// NaN, or of two the one with the larger significand and, when those are
// equal, the positive one; quieted, sign and payload kept.
SoftExtended propagate_nan(SoftExtended a, SoftExtended b)
{
    SoftExtended z;
    if (!is_nan(b))
        z = a;
    else if (!is_nan(a))
        z = b;
    else if (a.signif != b.signif)
        z = a.signif > b.signif ? a : b;
    else
        z = sign_of(a) ? b : a;
    z.signif |= quiet_bit;
    return z;
}

// a + b or a - b where the magnitudes add: |a| + |b| with the sign signZ,
// a's sign.
SoftExtended add_mags(SoftExtended a, SoftExtended b, bool signZ)
{
    if (is_nan(a) || is_nan(b))
        return propagate_nan(a, b);
    if (is_inf(a))
        return a;
    if (is_inf(b))
        return infinity(signZ);
    if (is_zero(b))
        return is_zero(a) ? pack(signZ, 0, 0) : a;
    if (is_zero(a))
        return pack(signZ, exp_of(b), b.signif);

    Unpacked big = unpack(a);
    Unpacked small = unpack(b);
    if (big.exp < small.exp) {
        big = unpack(b);
        small = unpack(a);
    }
    const SigExtra aligned = shift_right_jam_extra(small.sig, 0, big.exp - small.exp);
    std::int32_t expZ = big.exp;
    std::uint64_t sigZ = big.sig + aligned.sig;
    std::uint64_t sigExtra = aligned.extra;
    if (sigZ < big.sig) {  // carry: one more bit on top
        sigExtra = (sigZ << 63) | (sigExtra >> 1) | (sigExtra & 1u);
        sigZ = integer_bit | (sigZ >> 1);
        ++expZ;
    }
    return pack_extended(round_to_format(extended_format, signZ, expZ, sigZ, sigExtra));
}

// a + b or a - b where the magnitudes subtract: |a| - |b| with the sign
// signZ, a's sign, which flips when |b| is the larger.
SoftExtended sub_mags(SoftExtended a, SoftExtended b, bool signZ)
{
    if (is_nan(a) || is_nan(b))
        return propagate_nan(a, b);
    if (is_inf(a))
        return is_inf(b) ? default_nan() : a;
    if (is_inf(b))
        return infinity(!signZ);
    if (is_zero(b))
        return is_zero(a) ? pack(false, 0, 0) : a;  // x - x is +0 when rounding to nearest
    if (is_zero(a))
        return pack(!signZ, exp_of(b), b.signif);

    Unpacked big = unpack(a);
    Unpacked small = unpack(b);
    if (big.exp < small.exp || (big.exp == small.exp && big.sig < small.sig)) {
        big = unpack(b);
        small = unpack(a);
        signZ = !signZ;
    }
    const SigExtra aligned = shift_right_jam_extra(small.sig, 0, big.exp - small.exp);
    // (big.sig, 0) - (aligned.sig, aligned.extra) over 128 bits.
    std::int32_t expZ = big.exp;
    std::uint64_t sigExtra = ~aligned.extra + 1u;
    std::uint64_t sigZ = big.sig - aligned.sig - (aligned.extra != 0 ? 1u : 0u);
    // sigExtra wraps to 0 when aligned.extra is 0, which cppcheck misses.
    // cppcheck-suppress knownConditionTrueFalse
    if (sigZ == 0 && sigExtra == 0)
        return pack(false, 0, 0);  // exact cancellation gives +0
    if (sigZ == 0) {
        sigZ = sigExtra;
        sigExtra = 0;
        expZ -= 64;
    }
    const int shift = count_leading_zeros(sigZ);
    if (shift != 0) {
        sigZ = (sigZ << shift) | (sigExtra >> (64 - shift));
        sigExtra <<= shift;
        expZ -= shift;
    }
    return pack_extended(round_to_format(extended_format, signZ, expZ, sigZ, sigExtra));
}

}  // namespace

SoftExtended soft_from_float(float a)
{
    const FloatFields f = float_fields(a);
    if (f.exp == float_exp_max)
        return f.frac != 0 ? pack(f.sign, exp_max, integer_bit | quiet_bit | (nan_payload(a) >> 1))
                           : infinity(f.sign);
    if (f.exp == 0 && f.frac == 0)
        return pack(f.sign, 0, 0);

    // The significand at the top of 64 bits; a float denormal is a normal
    // extended number, so the value is packed as it is, without rounding.
    std::uint64_t sigZ = std::uint64_t{f.frac} << (63 - float_frac_bits);
    std::int32_t expZ;
    if (f.exp == 0) {
        const int shift = count_leading_zeros(sigZ);
        sigZ <<= shift;
        expZ = exp_bias - float_exp_bias + 1 - shift;
    } else {
        sigZ |= integer_bit;
        expZ = f.exp - float_exp_bias + exp_bias;
    }
    return pack(f.sign, expZ, sigZ);
}

SoftExtended soft_add(SoftExtended a, SoftExtended b)
{
    const bool signA = sign_of(a);
    return signA == sign_of(b) ? add_mags(a, b, signA) : sub_mags(a, b, signA);
}

SoftExtended soft_sub(SoftExtended a, SoftExtended b)
{
    const bool signA = sign_of(a);
    return signA == sign_of(b) ? sub_mags(a, b, signA) : add_mags(a, b, signA);
}

SoftExtended soft_mul(SoftExtended a, SoftExtended b)
{
    const bool signZ = sign_of(a) != sign_of(b);
    if (is_nan(a) || is_nan(b))
        return propagate_nan(a, b);
    if (is_inf(a) || is_inf(b))
        return is_zero(a) || is_zero(b) ? default_nan() : infinity(signZ);
    if (is_zero(a) || is_zero(b))
        return pack(signZ, 0, 0);

    const Unpacked ua = unpack(a);
    const Unpacked ub = unpack(b);
    SigExtra product = multiply_64_to_128(ua.sig, ub.sig);
    std::int32_t expZ = ua.exp + ub.exp - exp_bias + 1;
    if ((product.sig & integer_bit) == 0) {  // a product in [1, 2): one bit less
        product.sig = (product.sig << 1) | (product.extra >> 63);
        product.extra <<= 1;
        --expZ;
    }
    return pack_extended(round_to_format(extended_format, signZ, expZ, product.sig, product.extra));
}

SoftExtended soft_div(SoftExtended a, SoftExtended b)
{
    const bool signZ = sign_of(a) != sign_of(b);
    if (is_nan(a) || is_nan(b))
        return propagate_nan(a, b);
    if (is_inf(a))
        return is_inf(b) ? default_nan() : infinity(signZ);
    if (is_inf(b))
        return pack(signZ, 0, 0);
    if (is_zero(b))
        return is_zero(a) ? default_nan() : infinity(signZ);
    if (is_zero(a))
        return pack(signZ, 0, 0);

    const Unpacked ua = unpack(a);
    const Unpacked ub = unpack(b);
    std::int32_t expZ = ua.exp - ub.exp + exp_bias;
    // Long division, one quotient bit a step. The remainder stays below
    // ub.sig; doubled it needs a 65th bit, kept in rem_top.
    std::uint64_t rem = ua.sig;
    bool rem_top = false;
    if (ua.sig < ub.sig) {  // a quotient below 1: start one bit lower
        rem_top = (rem >> 63) != 0;
        rem <<= 1;
        --expZ;
    }
    std::uint64_t sigZ = 0;
    for (int bit = 0; bit < 64; ++bit) {
        sigZ <<= 1;
        if (rem_top || rem >= ub.sig) {
            rem -= ub.sig;
            sigZ |= 1u;
        }
        rem_top = (rem >> 63) != 0;
        rem <<= 1;
    }
    const bool round_bit = rem_top || rem >= ub.sig;
    if (round_bit)
        rem -= ub.sig;
    const std::uint64_t sigExtra = (round_bit ? half_ulp : 0u) | (rem != 0 ? 1u : 0u);
    return pack_extended(round_to_format(extended_format, signZ, expZ, sigZ, sigExtra));
}

// An infinity lies beyond every format's range and rounds to the infinity.
float soft_to_float(SoftExtended a)
{
    if (is_nan(a))
        return quiet_nan_float(sign_of(a), a.signif << 1);
    const Unpacked ua = unpack(a);
    return pack_float(round_to_format(single_format, sign_of(a), ua.exp, ua.sig, 0));
}

double soft_to_double(SoftExtended a)
{
    if (is_nan(a))
        return quiet_nan_double(sign_of(a), a.signif << 1);
    const Unpacked ua = unpack(a);
    return pack_double(round_to_format(double_format, sign_of(a), ua.exp, ua.sig, 0));
}
