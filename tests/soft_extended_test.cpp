// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include <cstdint>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "bit_patterns.h"
#include "extended_select.h"
#include "soft_extended.h"

namespace {

SoftExtended make(bool sign, unsigned exp, std::uint64_t sig)
{
    return SoftExtended{sig, static_cast<std::uint16_t>((sign ? 0x8000u : 0u) | exp)};
}

::testing::AssertionResult same_bits(SoftExtended got, SoftExtended expected)
{
    if (got.signExp == expected.signExp && got.signif == expected.signif)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << std::hex << "got " << got.signExp << ":" << got.signif << ", expected "
           << expected.signExp << ":" << expected.signif;
}

const SoftExtended one = make(false, 0x3FFF, 0x8000000000000000u);
const SoftExtended two = make(false, 0x4000, 0x8000000000000000u);
const SoftExtended zero = make(false, 0, 0);
const SoftExtended minus_zero = make(true, 0, 0);
const SoftExtended inf = make(false, 0x7FFF, 0x8000000000000000u);
const SoftExtended minus_inf = make(true, 0x7FFF, 0x8000000000000000u);
const SoftExtended largest = make(false, 0x7FFE, 0xFFFFFFFFFFFFFFFFu);
const SoftExtended smallest_denormal = make(false, 0, 1);
const SoftExtended default_nan = make(true, 0x7FFF, 0xC000000000000000u);
const SoftExtended quiet_nan = make(false, 0x7FFF, 0xC000000000001234u);
const SoftExtended minus_quiet_nan = make(true, 0x7FFF, 0xC000000000001234u);
const SoftExtended quiet_nan_larger = make(true, 0x7FFF, 0xC000000000005678u);
const SoftExtended signaling_nan = make(true, 0x7FFF, 0xA000000000000001u);
const SoftExtended signaling_nan_quieted = make(true, 0x7FFF, 0xE000000000000001u);

enum class Op { add, sub, mul, div };

SoftExtended soft_op(Op op, SoftExtended a, SoftExtended b)
{
    switch (op) {
    case Op::add:
        return soft_add(a, b);
    case Op::sub:
        return soft_sub(a, b);
    case Op::mul:
        return soft_mul(a, b);
    case Op::div:
        return soft_div(a, b);
    }
    return zero;
}

#if TARVELIN_HAS_X87_EXTENDED
// The processor's own result, forced to be computed at run time.
SoftExtended native_op(Op op, SoftExtended a, SoftExtended b)
{
    volatile long double x = native_from_soft(a);
    volatile long double y = native_from_soft(b);
    volatile long double z = 0.0L;
    switch (op) {
    case Op::add:
        z = x + y;
        break;
    case Op::sub:
        z = x - y;
        break;
    case Op::mul:
        z = x * y;
        break;
    case Op::div:
        z = x / y;
        break;
    }
    return soft_from_native(z);
}
#endif

// The rules of the x87 for special values, as bit patterns. Each holds for
// the software arithmetic, and where the processor has the format, for the
// processor too: the rules were taken from it.
struct OpCase {
    const char* what;
    Op op;
    SoftExtended a;
    SoftExtended b;
    SoftExtended expected;
};

const OpCase special_cases[] = {
    {"0/0", Op::div, zero, zero, default_nan},
    {"-0/0", Op::div, minus_zero, zero, default_nan},
    {"inf/inf", Op::div, minus_inf, inf, default_nan},
    {"0*inf", Op::mul, zero, minus_inf, default_nan},
    {"inf-inf", Op::sub, inf, inf, default_nan},
    {"inf+(-inf)", Op::add, minus_inf, inf, default_nan},
    {"inf+inf", Op::add, inf, inf, inf},
    {"1/0", Op::div, one, zero, inf},
    {"1/-0", Op::div, one, minus_zero, minus_inf},
    {"-1/inf", Op::div, make(true, 0x3FFF, 0x8000000000000000u), inf, minus_zero},
    {"1-1", Op::sub, one, one, zero},
    {"-0+-0", Op::add, minus_zero, minus_zero, minus_zero},
    {"-0-0", Op::sub, minus_zero, zero, minus_zero},
    {"0-0", Op::sub, zero, zero, zero},
    {"-0+0", Op::add, minus_zero, zero, zero},
    {"0*-2", Op::mul, zero, make(true, 0x4000, 0x8000000000000000u), minus_zero},
    {"largest*2", Op::mul, largest, two, inf},
    {"largest+largest", Op::add, largest, largest, inf},
    {"smallest denormal/2", Op::div, smallest_denormal, two, zero},
    {"smallest denormal*1.5", Op::mul, smallest_denormal, make(false, 0x3FFF, 0xC000000000000000u),
     make(false, 0, 2)},
    {"NaN+1", Op::add, quiet_nan, one, quiet_nan},
    {"1-NaN keeps the NaN's sign", Op::sub, one, quiet_nan, quiet_nan},
    {"1*-NaN", Op::mul, one, minus_quiet_nan, minus_quiet_nan},
    {"signaling NaN quieted", Op::div, signaling_nan, one, signaling_nan_quieted},
    {"NaN/0", Op::div, quiet_nan, zero, quiet_nan},
    {"inf*NaN", Op::mul, inf, minus_quiet_nan, minus_quiet_nan},
    {"larger significand wins, first", Op::add, quiet_nan_larger, quiet_nan, quiet_nan_larger},
    {"larger significand wins, second", Op::sub, quiet_nan, quiet_nan_larger, quiet_nan_larger},
    {"equal significands: the positive", Op::add, minus_quiet_nan, quiet_nan, quiet_nan},
    {"equal significands: the positive, second", Op::mul, quiet_nan, minus_quiet_nan, quiet_nan},
    {"quiet beats signaling", Op::div, signaling_nan, quiet_nan, quiet_nan},
    {"two signaling: larger significand", Op::add, make(false, 0x7FFF, 0x8000000000000001u),
     signaling_nan, signaling_nan_quieted},
    // 1 - 2^-65 - 2^-128: the lowest bit, 128 places down, decides that this
    // lies below the halfway point 1 - 2^-65.
    {"a bit 64 places past the sum stays sticky", Op::sub, one,
     make(false, 0x3FFF - 65, 0x8000000000000001u), make(false, 0x3FFE, 0xFFFFFFFFFFFFFFFFu)},
};

TEST(SoftExtended, SpecialValuesFollowTheX87Rules)
{
    for (const OpCase& c : special_cases) {
        EXPECT_TRUE(same_bits(soft_op(c.op, c.a, c.b), c.expected)) << c.what;
#if TARVELIN_HAS_X87_EXTENDED
        EXPECT_TRUE(same_bits(native_op(c.op, c.a, c.b), c.expected)) << c.what << " (processor)";
#endif
    }
}

// Narrowing: NaNs keep sign and the top of the payload, quieted; beyond the
// range an infinity; below it gradual underflow.
struct NarrowCase {
    const char* what;
    SoftExtended a;
    std::uint32_t single_bits;
    std::uint64_t double_bits;
};

const NarrowCase narrow_cases[] = {
    {"default NaN", default_nan, 0xFFC00000u, 0xFFF8000000000000u},
    {"payload kept from the top", make(false, 0x7FFF, 0xC123456789ABCDEFu), 0x7FC12345u,
     0x7FF82468ACF13579u},
    {"signaling NaN quieted", make(true, 0x7FFF, 0x8000000000000800u), 0xFFC00000u,
     0xFFF8000000000001u},
    {"-inf", minus_inf, 0xFF800000u, 0xFFF0000000000000u},
    {"-0", minus_zero, 0x80000000u, 0x8000000000000000u},
    {"largest extended", largest, 0x7F800000u, 0x7FF0000000000000u},
    {"one", one, 0x3F800000u, 0x3FF0000000000000u},
    {"1 + 2^-24: tie to even", make(false, 0x3FFF, 0x8000008000000000u), 0x3F800000u,
     0x3FF0000010000000u},
    {"1 + 3*2^-24: tie to even, up", make(false, 0x3FFF, 0x8000018000000000u), 0x3F800002u,
     0x3FF0000030000000u},
    {"2^128 - 2^103: to infinity in single", make(false, 0x3FFF + 127, 0xFFFFFF8000000000u),
     0x7F800000u, 0x47EFFFFFF0000000u},
    {"2^-149: smallest single denormal", make(true, 0x3FFF - 149, 0x8000000000000000u), 0x80000001u,
     0xB6A0000000000000u},
    {"2^-150: ties to zero in single", make(false, 0x3FFF - 150, 0x8000000000000000u), 0u,
     0x3690000000000000u},
    {"2^-1075: ties to zero in double", make(false, 0x3FFF - 1075, 0x8000000000000000u), 0u, 0u},
    {"3*2^-1076: rounds up in double", make(false, 0x3FFF - 1075, 0xC000000000000000u), 0u, 1u},
};

TEST(SoftExtended, NarrowingToSingleAndDouble)
{
    for (const NarrowCase& c : narrow_cases) {
        EXPECT_EQ(bits_of(soft_to_float(c.a)), c.single_bits) << c.what;
        EXPECT_EQ(bits_of(soft_to_double(c.a)), c.double_bits) << c.what;
#if TARVELIN_HAS_X87_EXTENDED
        volatile long double x = native_from_soft(c.a);
        volatile float f = static_cast<float>(x);
        volatile double d = static_cast<double>(x);
        EXPECT_EQ(bits_of(f), c.single_bits) << c.what << " (processor)";
        EXPECT_EQ(bits_of(d), c.double_bits) << c.what << " (processor)";
#endif
    }
}

struct WidenCase {
    std::uint32_t single_bits;
    SoftExtended expected;
};

const WidenCase widen_cases[] = {
    {0x00000001u, make(false, 0x3FFF - 149, 0x8000000000000000u)},  // smallest denormal
    {0x80400000u, make(true, 0x3FFF - 127, 0x8000000000000000u)},   // a denormal, negative
    {0x7F7FFFFFu, make(false, 0x3FFF + 127, 0xFFFFFF0000000000u)},  // largest single
    {0xFF800000u, minus_inf},
    {0x80000000u, minus_zero},
    {0x7FA00001u, make(false, 0x7FFF, 0xE000010000000000u)},  // signaling, quieted
    {0xFFC00000u, default_nan},
};

TEST(SoftExtended, WideningFromSingleIsExact)
{
    for (const WidenCase& c : widen_cases) {
        EXPECT_TRUE(same_bits(soft_from_float(float_from_bits(c.single_bits)), c.expected))
            << std::hex << c.single_bits;
#if TARVELIN_HAS_X87_EXTENDED
        volatile float f = float_from_bits(c.single_bits);
        volatile long double x = static_cast<long double>(f);
        EXPECT_TRUE(same_bits(soft_from_native(x), c.expected))
            << std::hex << c.single_bits << " (processor)";
#endif
    }
}

#if TARVELIN_HAS_X87_EXTENDED

// Significands as TestFloat builds them, where rounding is hardest: a run of
// ones from the top and one from the bottom with zeros between, or the
// reverse, or random bits.
std::uint64_t structured_significand(std::mt19937_64& generator)
{
    const auto top = static_cast<unsigned>(generator() % 64);
    const auto bottom = static_cast<unsigned>(generator() % 64);
    const std::uint64_t ones = ~std::uint64_t{0};
    const std::uint64_t runs = (top == 0 ? 0 : ones << (64 - top)) |
                               (bottom == 0 ? 0 : ones >> (64 - bottom));
    switch (generator() % 3) {
    case 0:
        return runs;
    case 1:
        return ~runs;
    default:
        return generator();
    }
}

// How far the second operand's exponent lies from the first's: neighbours,
// and around 64 and 128 places, where aligning a significand moves it out of
// its 64 bits and then out of the 64 below them.
int exponent_distance(std::mt19937_64& generator)
{
    const int around[] = {0, 64, 128};
    const int distance = around[generator() % 3] + static_cast<int>(generator() % 5) - 2;
    return (generator() & 1u) != 0 ? distance : -distance;
}

// Random canonical extended numbers of every kind, weighted towards what
// makes rounding hard: structured significands at nearby exponents and at
// distances around 64 and 128, the edges of the range, denormals, and
// special values.
SoftExtended random_extended(std::mt19937_64& generator, const SoftExtended* near)
{
    const bool sign = (generator() & 1u) != 0;
    const std::uint64_t sig = structured_significand(generator) | 0x8000000000000000u;
    const unsigned kind = static_cast<unsigned>(generator() % 32);
    if (near != nullptr && kind < 16) {
        const int exp = (near->signExp & 0x7FFF) + exponent_distance(generator);
        if (exp >= 1 && exp <= 0x7FFE)
            return make(sign, static_cast<unsigned>(exp), sig);
    }
    switch (kind) {
    case 0:
        return make(sign, 0, 0);
    case 1:
        return make(sign, 0, sig >> (1 + generator() % 63));  // denormal
    case 2:
        return make(sign, 0x7FFF, 0x8000000000000000u);
    case 3:
        return make(sign, 0x7FFF, sig | 0x4000000000000000u);  // quiet NaN
    case 4: {
        const std::uint64_t payload = (sig & 0x3FFFFFFFFFFFFFFFu) | 1u;
        return make(sign, 0x7FFF, 0x8000000000000000u | payload);  // signaling NaN
    }
    case 5:
        return make(sign, static_cast<unsigned>(1 + generator() % 64), sig);
    case 6:
        return make(sign, static_cast<unsigned>(0x7FFE - generator() % 64), sig);
    case 7:
        return make(sign, static_cast<unsigned>(1 + generator() % 0x7FFE), sig);
    default:
        return make(sign, static_cast<unsigned>(0x3FFF - 40 + generator() % 80), sig);
    }
}

long long random_cases()
{
    return 2000000;
}

TEST(SoftExtended, EachOperationMatchesTheProcessorOnRandomOperands)
{
    std::mt19937_64 generator(0x7A2E1u);
    const Op ops[] = {Op::add, Op::sub, Op::mul, Op::div};
    const char* names[] = {"+", "-", "*", "/"};
    int failures = 0;
    for (long long k = 0; k < random_cases() && failures < 10; ++k) {
        const SoftExtended a = random_extended(generator, nullptr);
        const SoftExtended b = random_extended(generator, &a);
        const int which = static_cast<int>(k % 4);
        const SoftExtended got = soft_op(ops[which], a, b);
        const SoftExtended expected = native_op(ops[which], a, b);
        if (got.signExp != expected.signExp || got.signif != expected.signif) {
            ++failures;
            ADD_FAILURE() << std::hex << a.signExp << ":" << a.signif << " " << names[which] << " "
                          << b.signExp << ":" << b.signif << " = " << expected.signExp << ":"
                          << expected.signif << ", got " << got.signExp << ":" << got.signif;
        }
    }
}

TEST(SoftExtended, ConversionsMatchTheProcessorOnRandomOperands)
{
    std::mt19937_64 generator(0x5EED5u);
    int failures = 0;
    for (int k = 0; k < 1000000 && failures < 10; ++k) {
        // Extended numbers anywhere, and near the ends of the single and
        // double ranges, where rounding meets underflow and overflow.
        SoftExtended a = random_extended(generator, nullptr);
        const int edges[] = {0x3FFF - 126, 0x3FFF + 127, 0x3FFF - 1022, 0x3FFF + 1023};
        const int exp = a.signExp & 0x7FFF;
        if (k % 5 != 0 && exp != 0 && exp != 0x7FFF) {
            const int near = edges[k % 5 - 1] + static_cast<int>(generator() % 160) - 80;
            a.signExp = static_cast<std::uint16_t>((a.signExp & 0x8000) | near);
        }
        volatile long double x = native_from_soft(a);
        volatile float f = static_cast<float>(x);
        volatile double d = static_cast<double>(x);
        const bool single_ok = bits_of(soft_to_float(a)) == bits_of(f);
        const bool double_ok = bits_of(soft_to_double(a)) == bits_of(d);
        if (!single_ok || !double_ok) {
            ++failures;
            ADD_FAILURE() << std::hex << a.signExp << ":" << a.signif;
        }

        const std::uint32_t single_bits = static_cast<std::uint32_t>(generator());
        volatile float g = float_from_bits(single_bits);
        volatile long double widened = static_cast<long double>(g);
        if (!same_bits(soft_from_float(float_from_bits(single_bits)), soft_from_native(widened))) {
            ++failures;
            ADD_FAILURE() << std::hex << "from single " << single_bits;
        }
    }
}

#endif

}  // namespace
