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

// Where a result is rounded: its precision in bits, and the biased extended
// exponents of the format's smallest normal and largest finite numbers.
struct RoundingFormat {
    int precision;
    std::int32_t expMin;
    std::int32_t expMax;
};

constexpr RoundingFormat extended_format{64, 1, 0x7FFE};
constexpr RoundingFormat double_format{53, exp_bias - 1022, exp_bias + 1023};
constexpr RoundingFormat single_format{24, exp_bias - 126, exp_bias + 127};

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
    const unsigned signBit = sign ? 0x8000u : 0u;
    return SoftExtended{sig, static_cast<std::uint16_t>(signBit | static_cast<unsigned>(exp))};
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
        const std::int32_t inExtra = dist - 64;
        z.extra = sig >> inExtra;
        if (inExtra != 0 && (sig << (64 - inExtra)) != 0)
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

// A finite nonzero operand with its significand normalised (bit 63 set).
struct Unpacked {
    std::int32_t exp;
    std::uint64_t sig;
};

// The operand normalised; a denormal's exponent goes below 1 by the shift.
Unpacked unpack_finite(SoftExtended a)
{
    if (exp_of(a) != 0)
        return Unpacked{exp_of(a), a.signif};
    const int shift = count_leading_zeros(a.signif);
    return Unpacked{1 - shift, a.signif << shift};
}

// The single rounding of every operation: rounds the exact value
// sigZ.sigExtra * 2^(expZ - 0x3FFF - 63), sigZ normalised or the whole value
// zero, to the format's precision and range, nearest with ties to even, and
// packs it as an extended number. Below the format's normal range fewer bits
// are kept (gradual underflow); beyond its largest finite number it is an
// infinity.
SoftExtended round_pack(const RoundingFormat& format, bool signZ, std::int32_t expZ,
                        std::uint64_t sigZ, std::uint64_t sigExtra)
{
    if (sigZ == 0 && sigExtra == 0)
        return pack(signZ, 0, 0);
    std::int32_t drop = 64 - format.precision;
    if (expZ < format.expMin)
        drop += format.expMin - expZ;
    if (drop > 128)
        drop = 128;  // nothing is kept and the rest is only sticky
    const SigExtra shifted = shift_right_jam_extra(sigZ, sigExtra, drop);
    std::uint64_t kept = shifted.sig;
    if (shifted.extra > half_ulp || (shifted.extra == half_ulp && (kept & 1u) != 0)) {
        ++kept;
        // Unsigned wrap-around is the point here, which cppcheck misses.
        // cppcheck-suppress knownConditionTrueFalse
        if (kept == 0)  // carried out of all 64 bits: the next power of two
            return expZ + 1 > format.expMax ? infinity(signZ) : pack(signZ, expZ + 1, integer_bit);
    }
    if (kept == 0)
        return pack(signZ, 0, 0);
    const int shift = count_leading_zeros(kept);
    std::int32_t exp = expZ + drop - shift;
    std::uint64_t sig = kept << shift;
    if (exp > format.expMax)
        return infinity(signZ);
    if (exp < 1) {  // an extended denormal: the bits shifted out are zero
        sig >>= 1 - exp;
        exp = 0;
    }
    return pack(signZ, exp, sig);
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

// a + b where b's sign is taken as signB (flipped for a subtraction).
SoftExtended add_signed(SoftExtended a, SoftExtended b, bool signB)
{
    const bool signA = sign_of(a);
    if (is_nan(a) || is_nan(b))
        return propagate_nan(a, b);
    if (is_inf(a))
        return is_inf(b) && signA != signB ? default_nan() : a;
    if (is_inf(b))
        return infinity(signB);
    if (is_zero(a) && is_zero(b))
        return pack(signA && signB, 0, 0);  // x + (-x) is +0 when rounding to nearest
    if (is_zero(b))
        return a;
    if (is_zero(a))
        return pack(signB, exp_of(b), b.signif);

    Unpacked big = unpack_finite(a);
    Unpacked small = unpack_finite(b);
    bool signZ = signA;
    if (big.exp < small.exp || (big.exp == small.exp && big.sig < small.sig)) {
        big = unpack_finite(b);
        small = unpack_finite(a);
        signZ = signB;
    }
    const SigExtra aligned = shift_right_jam_extra(small.sig, 0, big.exp - small.exp);
    std::int32_t expZ = big.exp;
    std::uint64_t sigZ;
    std::uint64_t sigExtra;
    if (signA == signB) {
        sigZ = big.sig + aligned.sig;
        sigExtra = aligned.extra;
        if (sigZ < big.sig) {  // carry: one more bit on top
            sigExtra = (sigZ << 63) | (sigExtra >> 1) | (sigExtra & 1u);
            sigZ = integer_bit | (sigZ >> 1);
            ++expZ;
        }
    } else {
        // (big.sig, 0) - (aligned.sig, aligned.extra) over 128 bits.
        sigExtra = ~aligned.extra + 1u;
        sigZ = big.sig - aligned.sig - (aligned.extra != 0 ? 1u : 0u);
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
    }
    return round_pack(extended_format, signZ, expZ, sigZ, sigExtra);
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
    // extended number.
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
    return round_pack(extended_format, f.sign, expZ, sigZ, 0);
}

SoftExtended soft_add(SoftExtended a, SoftExtended b)
{
    return add_signed(a, b, sign_of(b));
}

SoftExtended soft_sub(SoftExtended a, SoftExtended b)
{
    return add_signed(a, b, !sign_of(b));
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

    const Unpacked ua = unpack_finite(a);
    const Unpacked ub = unpack_finite(b);
    SigExtra product = multiply_64_to_128(ua.sig, ub.sig);
    std::int32_t expZ = ua.exp + ub.exp - exp_bias + 1;
    if ((product.sig & integer_bit) == 0) {  // a product in [1, 2): one bit less
        product.sig = (product.sig << 1) | (product.extra >> 63);
        product.extra <<= 1;
        --expZ;
    }
    return round_pack(extended_format, signZ, expZ, product.sig, product.extra);
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

    const Unpacked ua = unpack_finite(a);
    const Unpacked ub = unpack_finite(b);
    std::int32_t expZ = ua.exp - ub.exp + exp_bias;
    // Long division, one quotient bit a step. The remainder stays below
    // sigB; doubled it needs a 65th bit, kept in remTop.
    std::uint64_t rem = ua.sig;
    bool remTop = false;
    if (ua.sig < ub.sig) {  // a quotient below 1: start one bit lower
        remTop = (rem >> 63) != 0;
        rem <<= 1;
        --expZ;
    }
    std::uint64_t sigZ = 0;
    for (int bit = 0; bit < 64; ++bit) {
        sigZ <<= 1;
        if (remTop || rem >= ub.sig) {
            rem -= ub.sig;
            sigZ |= 1u;
        }
        remTop = (rem >> 63) != 0;
        rem <<= 1;
    }
    const bool roundBit = remTop || rem >= ub.sig;
    if (roundBit)
        rem -= ub.sig;
    const std::uint64_t sigExtra = (roundBit ? half_ulp : 0u) | (rem != 0 ? 1u : 0u);
    return round_pack(extended_format, signZ, expZ, sigZ, sigExtra);
}

float soft_to_float(SoftExtended a)
{
    const bool signA = sign_of(a);
    if (is_nan(a))
        return quiet_nan_float(signA, a.signif << 1);
    if (is_inf(a))
        return float_from_fields(signA, float_exp_max, 0);
    if (is_zero(a))
        return float_from_fields(signA, 0, 0);
    const Unpacked ua = unpack_finite(a);
    const SoftExtended z = round_pack(single_format, signA, ua.exp, ua.sig, 0);
    // z is now exactly a float (or an infinity or zero): re-encode it.
    const std::int32_t expZ = exp_of(z) - exp_bias + float_exp_bias;
    if (is_inf(z))
        return float_from_fields(signA, float_exp_max, 0);
    if (is_zero(z))
        return float_from_fields(signA, 0, 0);
    // Rounded to single, a finite z has 1 <= expZ <= 254, or -22 <= expZ <= 0
    // as a single denormal: both shifts stay in range, which the static
    // analyser cannot follow through round_pack.
    const int dropped = 63 - float_frac_bits;
    if (expZ >= 1)
        return float_from_fields(signA, expZ, static_cast<std::uint32_t>(z.signif >> dropped));
    const int denormalShift = dropped + 1 - expZ;
    // NOLINTNEXTLINE(clang-analyzer-core.UndefinedBinaryOperatorResult)
    return float_from_fields(signA, 0, static_cast<std::uint32_t>(z.signif >> denormalShift));
}

double soft_to_double(SoftExtended a)
{
    const bool signA = sign_of(a);
    if (is_nan(a))
        return quiet_nan_double(signA, a.signif << 1);
    if (is_inf(a))
        return double_from_fields(signA, double_exp_max, 0);
    if (is_zero(a))
        return double_from_fields(signA, 0, 0);
    const Unpacked ua = unpack_finite(a);
    const SoftExtended z = round_pack(double_format, signA, ua.exp, ua.sig, 0);
    // z is now exactly a double (or an infinity or zero): re-encode it.
    const std::int32_t expZ = exp_of(z) - exp_bias + double_exp_bias;
    if (is_inf(z))
        return double_from_fields(signA, double_exp_max, 0);
    if (is_zero(z))
        return double_from_fields(signA, 0, 0);
    // As for single: 1 <= expZ <= 2046, or -51 <= expZ <= 0 as a denormal.
    const int dropped = 63 - double_frac_bits;
    if (expZ >= 1)
        return double_from_fields(signA, expZ, z.signif >> dropped);
    const int denormalShift = dropped + 1 - expZ;
    // NOLINTNEXTLINE(clang-analyzer-core.UndefinedBinaryOperatorResult)
    return double_from_fields(signA, 0, z.signif >> denormalShift);
}
