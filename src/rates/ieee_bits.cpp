// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "ieee_bits.h"

#include <cstring>

namespace {

constexpr std::uint32_t float_frac_mask = (1u << float_frac_bits) - 1u;
constexpr std::uint64_t double_frac_mask = (std::uint64_t{1} << double_frac_bits) - 1u;

// Shifts that move a fraction's top bit to bit 63 of an aligned payload.
constexpr int float_payload_shift = 64 - float_frac_bits;
constexpr int double_payload_shift = 64 - double_frac_bits;

}  // namespace

FloatFields float_fields(float x)
{
    std::uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return FloatFields{(bits >> 31) != 0,
                       static_cast<std::int32_t>((bits >> float_frac_bits) & 0xFFu),
                       bits & float_frac_mask};
}

float float_from_fields(bool sign, std::int32_t exp, std::uint32_t frac)
{
    const std::uint32_t bits = (sign ? 0x80000000u : 0u) |
                               (static_cast<std::uint32_t>(exp) << float_frac_bits) |
                               (frac & float_frac_mask);
    float x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

DoubleFields double_fields(double x)
{
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return DoubleFields{(bits >> 63) != 0,
                        static_cast<std::int32_t>((bits >> double_frac_bits) & 0x7FFu),
                        bits & double_frac_mask};
}

double double_from_fields(bool sign, std::int32_t exp, std::uint64_t frac)
{
    const std::uint64_t bits = (sign ? 0x8000000000000000u : 0u) |
                               (static_cast<std::uint64_t>(exp) << double_frac_bits) |
                               (frac & double_frac_mask);
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

bool is_nan(float x)
{
    const FloatFields f = float_fields(x);
    return f.exp == float_exp_max && f.frac != 0;
}

bool is_nan(double x)
{
    const DoubleFields d = double_fields(x);
    return d.exp == double_exp_max && d.frac != 0;
}

std::uint64_t nan_payload(float x)
{
    return std::uint64_t{float_fields(x).frac} << float_payload_shift;
}

std::uint64_t nan_payload(double x)
{
    return double_fields(x).frac << double_payload_shift;
}

float quiet_nan_float(bool sign, std::uint64_t payload)
{
    const std::uint32_t quiet = 1u << (float_frac_bits - 1);
    return float_from_fields(sign, float_exp_max,
                             static_cast<std::uint32_t>(payload >> float_payload_shift) | quiet);
}

double quiet_nan_double(bool sign, std::uint64_t payload)
{
    const std::uint64_t quiet = std::uint64_t{1} << (double_frac_bits - 1);
    return double_from_fields(sign, double_exp_max, (payload >> double_payload_shift) | quiet);
}

float narrow_to_float(double x)
{
    if (is_nan(x))
        return quiet_nan_float(double_fields(x).sign, nan_payload(x));
    return rounded_to<float>(x);
}

double widen_to_double(float x)
{
    if (is_nan(x))
        return quiet_nan_double(float_fields(x).sign, nan_payload(x));
    return static_cast<double>(x);
}

double with_sign(double x, bool negative)
{
    const DoubleFields d = double_fields(x);
    return double_from_fields(negative, d.exp, d.frac);
}
