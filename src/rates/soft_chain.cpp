#include "soft_chain.h"

#include <cstdint>
#include <cstring>

namespace {

// The constants of the chain, exact, as bit patterns: 100 = 1.5625 * 2^6.
constexpr SoftExtended one{0x8000000000000000u, 0x3FFF};
constexpr SoftExtended hundred{0xC800000000000000u, 0x3FFF + 6};

std::uint32_t bits_of(float x)
{
    std::uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

float float_from_bits(std::uint32_t bits)
{
    float x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

bool is_nan(std::uint32_t bits) { return (bits & 0x7FFFFFFFu) > 0x7F800000u; }

// nominal - inflation as one SSE subtraction gives it: a NaN operand comes
// back quieted, the first one if both are NaNs. Otherwise the extended
// difference rounded to single is the correctly rounded single difference
// (64 >= 2 * 24 + 2), and infinity - infinity is the same default NaN.
float soft_difference(float nominal, float inflation)
{
    const std::uint32_t nominalBits = bits_of(nominal);
    const std::uint32_t inflationBits = bits_of(inflation);
    if (is_nan(nominalBits))
        return float_from_bits(nominalBits | 0x400000u);
    if (is_nan(inflationBits))
        return float_from_bits(inflationBits | 0x400000u);
    return soft_to_float(soft_sub(soft_from_float(nominal), soft_from_float(inflation)));
}

}  // namespace

SoftExtended soft_real_rate(float nominal, float inflation)
{
    SoftExtended a = soft_div(soft_from_float(nominal), hundred);
    a = soft_add(a, one);
    SoftExtended b = soft_div(soft_from_float(inflation), hundred);
    b = soft_add(b, one);
    SoftExtended q = soft_div(a, b);
    q = soft_sub(q, one);
    return soft_mul(q, hundred);
}

RateFigures soft_figures(float nominal, float inflation)
{
    RateFigures figures;
    figures.nominal = nominal;
    figures.inflation = inflation;
    figures.difference = soft_difference(nominal, inflation);
    figures.real_rate = soft_to_float(soft_real_rate(nominal, inflation));
    // Formed from the two stored singles, not from the extended real rate.
    figures.deviation = soft_to_double(
        soft_sub(soft_from_float(figures.difference), soft_from_float(figures.real_rate)));
    return figures;
}
