// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <type_traits>

#include <gtest/gtest.h>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "bit_patterns.h"
#include "ieee_bits.h"
#include "printed_cases.h"
#include "rates.h"

namespace {

float read_rate(const char* text)
{
    return static_cast<float>(std::strtod(text, nullptr));
}

// Figures stated as exact decimals: every value below is a single or a
// double exactly, so strtod/strtof reproduce the bits.
struct ExactCase {
    const char* nominal;
    const char* inflation;
    const char* difference;
    const char* real_rate;
    const char* deviation;
};

const ExactCase exact_cases[] = {
    {"5", "2", "3", "2.94117641448974609375", "0.05882358551025390625"},
    {"3", "5", "-2", "-1.90476191043853759765625", "-0.09523808956146240234375"},
    {"0", "3", "-3", "-2.9126212596893310546875", "-0.0873787403106689453125"},
    {"7", "3", "4", "3.8834950923919677734375", "0.1165049076080322265625"},
    // 0.045 reads as 0.04500000178813934326171875; the chain gives it back.
    {"0.045", "0", "0.04500000178813934326171875", "0.04500000178813934326171875", "0"},
    // Equal rates: q is exactly 1, so everything after it is exactly 0.
    {"4.5", "4.5", "0", "0", "0"},
    {"-37.25", "-37.25", "0", "0", "0"},
    {"1e30", "1e30", "0", "0", "0"},
};

TEST(ComputeFigures, ExactFiguresOfKnownCases)
{
    for (const ExactCase& c : exact_cases) {
        SCOPED_TRACE(std::string(c.nominal) + " " + c.inflation);
        const RateFigures figures = compute_figures(read_rate(c.nominal), read_rate(c.inflation));
        EXPECT_EQ(figures.nominal, read_rate(c.nominal));
        EXPECT_EQ(figures.inflation, read_rate(c.inflation));
        EXPECT_EQ(figures.difference, std::strtof(c.difference, nullptr));
        EXPECT_EQ(figures.real_rate, std::strtof(c.real_rate, nullptr));
        EXPECT_EQ(figures.deviation, std::strtod(c.deviation, nullptr));
    }
}

// Where the digits come from: the same figures without the rounding of the
// real rate to single would print another last digit of the deviation.
TEST(ComputeFigures, DeviationIsFormedFromTheStoredSingles)
{
    const RateFigures figures = compute_figures(5.0f, 2.0f);
    EXPECT_EQ(printed("%10.7f", figures.deviation), " 0.0588236");
    EXPECT_EQ(printed("%10.7f", 3.0 - (1.05 / 1.02 - 1.0) * 100.0), " 0.0588235");
}

// The digits that only the extended chain prints, as this platform's C
// library writes them: the same on every platform.
TEST(ComputeFigures, RatesWhereOnlyTheExtendedChainPrintsTheseDigits)
{
    for (const PrintedCase& c : printed_cases) {
        const RateFigures figures = compute_figures(read_rate(c.nominal), read_rate(c.inflation));
        EXPECT_EQ(printed("%7.3f", static_cast<double>(figures.real_rate)), c.real_rate)
            << c.nominal << " " << c.inflation;
        EXPECT_EQ(printed("%10.7f", figures.deviation), c.deviation)
            << c.nominal << " " << c.inflation;
    }
}

struct NonFiniteCase {
    float nominal;
    float inflation;
    float real_rate;   // NaN: any NaN
    double deviation;  // NaN: any NaN
};

const float inf = std::numeric_limits<float>::infinity();
const float nan = std::numeric_limits<float>::quiet_NaN();

const NonFiniteCase non_finite_cases[] = {
    {5.0f, -100.0f, inf, -static_cast<double>(inf)},     // 1.05 / 0
    {-200.0f, -100.0f, -inf, static_cast<double>(inf)},  // -1 / 0
    {-100.0f, -100.0f, nan, static_cast<double>(nan)},   // 0 / 0
    {inf, 5.0f, inf, static_cast<double>(nan)},          // inf - inf in the deviation
    {5.0f, inf, -100.0f, -static_cast<double>(inf)},     // (x / inf) - 1
    // A finite quotient beyond single range becomes an infinity when stored.
    {3e38f, 0.0f, 3e38f, 0.0},
    {3e38f, -90.0f, inf, -static_cast<double>(inf)},
};

TEST(ComputeFigures, NonFiniteResultsNeverStopTheRun)
{
    for (const NonFiniteCase& c : non_finite_cases) {
        SCOPED_TRACE(std::to_string(c.nominal) + " " + std::to_string(c.inflation));
        const RateFigures figures = compute_figures(c.nominal, c.inflation);
        if (std::isnan(c.real_rate))
            EXPECT_TRUE(std::isnan(figures.real_rate));
        else
            EXPECT_EQ(figures.real_rate, c.real_rate);
        if (std::isnan(c.deviation))
            EXPECT_TRUE(std::isnan(figures.deviation));
        else
            EXPECT_EQ(figures.deviation, c.deviation);
    }
}

// A zero keeps its sign where IEEE arithmetic keeps it.
TEST(ComputeFigures, SignedZeros)
{
    const RateFigures negative = compute_figures(-0.0f, 0.0f);
    EXPECT_TRUE(std::signbit(negative.difference));
    EXPECT_FALSE(std::signbit(negative.real_rate));  // q - 1 with q == 1 is +0
    EXPECT_TRUE(std::signbit(negative.deviation));   // -0 - +0

    const RateFigures positive = compute_figures(0.0f, -0.0f);
    EXPECT_FALSE(std::signbit(positive.difference));
    EXPECT_FALSE(std::signbit(positive.deviation));
}

// Reading a rate (double to single) and widening a figure for printf (single
// to double) keep a NaN's sign and the top of its payload, quieted, as an x86
// converts: the sign is what the report shows. Where the processor is an x86
// or an Arm one with a floating-point unit (whose default-NaN mode Linux leaves
// off), its own conversion must agree; an Arm without one (armel) converts in
// GCC's library, which narrows every NaN to its default NaN.
#if defined(__i386__) || defined(__x86_64__) || defined(__aarch64__)
#define TARVELIN_PROCESSOR_CONVERTS_NANS_AS_X86 1
#elif defined(__arm__) && defined(__ARM_FP)
#define TARVELIN_PROCESSOR_CONVERTS_NANS_AS_X86 1
#endif
struct NanConversionCase {
    std::uint64_t double_bits;
    std::uint32_t single_bits;
};

const NanConversionCase narrowing_cases[] = {
    {0xFFF8000000000000u, 0xFFC00000u},  // negative quiet
    {0x7FF4000000000000u, 0x7FE00000u},  // positive signaling, payload's top bit
    {0xFFF0000000000001u, 0xFFC00000u},  // negative signaling, payload below single's
    {0x7FFFFFFFFFFFFFFFu, 0x7FFFFFFFu}, {0xFFF123456789ABCDu, 0xFFC91A2Bu},
};

const NanConversionCase widening_cases[] = {
    {0x7FFC000020000000u, 0x7FA00001u},  // positive signaling, lowest payload bit
    {0xFFF8000000000000u, 0xFFC00000u},  // negative quiet
    {0xFFF8000020000000u, 0xFF800001u},  // negative signaling
    {0x7FFFFFFFE0000000u, 0x7FFFFFFFu}, {0x7FF82468A0000000u, 0x7F812345u},
};

TEST(Conversions, NaNsKeepSignAndPayloadOnEveryProcessor)
{
    for (const NanConversionCase& c : narrowing_cases) {
        const double x = double_from_bits(c.double_bits);
        EXPECT_EQ(bits_of(narrow_to_float(x)), c.single_bits) << std::hex << c.double_bits;
#ifdef TARVELIN_PROCESSOR_CONVERTS_NANS_AS_X86
        volatile double processor = x;
        EXPECT_EQ(bits_of(static_cast<float>(processor)), c.single_bits) << "(processor)";
#endif
    }
    for (const NanConversionCase& c : widening_cases) {
        const float x = float_from_bits(c.single_bits);
        EXPECT_EQ(bits_of(widen_to_double(x)), c.double_bits) << std::hex << c.single_bits;
#ifdef TARVELIN_PROCESSOR_CONVERTS_NANS_AS_X86
        volatile float processor = x;
        EXPECT_EQ(bits_of(static_cast<double>(processor)), c.double_bits) << "(processor)";
#endif
    }
}

// The significand bits of long double as its arithmetic shows them at run
// time: 64 on an x87, 53 where it is double, 113 for binary128 (more for a
// double-double, which holds 1 + 2^-k far down).
int long_double_significand_bits()
{
    int bits = 1;
    volatile long double half_ulp = 0.5L;
    while (1.0L + half_ulp != 1.0L) {
        half_ulp = half_ulp / 2;
        ++bits;
    }
    return bits;
}

// The processor computes the chain where its long double is the x87 format,
// unless the software arithmetic was asked for; the software does elsewhere.
TEST(Build, ComputesWithTheArithmeticItWasConfiguredFor)
{
#if defined(TARVELIN_SOFT_EXTENDED)
    const bool software_asked_for = true;
#else
    const bool software_asked_for = false;
#endif
    const bool in_processor =
        std::is_same<decltype(compute_real_rate(1.0f, 1.0f)), long double>::value;
    EXPECT_EQ(in_processor, !software_asked_for && long_double_significand_bits() == 64);
}

#if defined(__i386__) || defined(__x86_64__)
// The figures assume the floating-point environment that the start-up code
// sets before main: x87 at 64-bit precision, nearest, all exceptions masked;
// SSE nearest with all exceptions masked. A start-up or link option that
// changes it (an x87 at 53 bits, as some C runtimes set) shows here first.
TEST(StartUp, FloatingPointEnvironmentWhenMainRuns)
{
    unsigned short x87_control = 0;
    __asm__ volatile("fnstcw %0" : "=m"(x87_control));
    EXPECT_EQ(x87_control & 0x0F3F, 0x033F) << std::hex << x87_control;
#if defined(__SSE__)
    EXPECT_EQ(_mm_getcsr() & 0xFFC0, 0x1F80u) << std::hex << _mm_getcsr();
#endif
}
#endif

}  // namespace
