// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

// The software extended arithmetic against the processor's x87, bit for bit.
// The first input byte chooses what is compared:
//   0 to 3: a + b, a - b, a * b, a / b of two extended operands (the next 20
//     bytes, 10 each, as they lie in memory), the result and its rounding to
//     single and double;
//   4: the whole chain, the record of two single rates (the next 8 bytes).
// Its top bit set, b's exponent lies within 128 of a's, by the low byte of
// its field: where aligning a significand shifts it out of its 64 bits and
// the 64 below them, which few random exponents reach. Missing bytes are zero. The first result
// whose bits differ stops the run.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "bit_patterns.h"
#include "soft_chain.h"
#include "soft_extended.h"
#include "x87_chain.h"

#if !TARVELIN_HAS_X87_EXTENDED
#error "the differential fuzzer needs long double in the x87 extended format"
#endif

namespace {

SoftExtended extended_from_bytes(const std::uint8_t* bytes)
{
    SoftExtended a;
    std::memcpy(&a.signif, bytes, 8);
    std::memcpy(&a.signExp, bytes + 8, 2);
    return a;
}

// The integer bit set exactly when the exponent is not zero: other encodings
// are ones the x87 rejects as invalid, and the software arithmetic never makes.
SoftExtended canonical(SoftExtended a)
{
    const std::uint64_t integer_bit = 0x8000000000000000u;
    a.signif = (a.signExp & 0x7FFFu) != 0 ? a.signif | integer_bit : a.signif & ~integer_bit;
    return a;
}

bool same_extended(SoftExtended soft, long double x87)
{
    const long double expected = native_from_soft(soft);
    return std::memcmp(&expected, &x87, 10) == 0;
}

// Whether the operation, and its result rounded to single and double, gives
// the processor's bits.
bool same_operation(unsigned op, SoftExtended a, SoftExtended b)
{
    volatile long double x = native_from_soft(a);
    volatile long double y = native_from_soft(b);
    volatile long double z = 0.0L;
    SoftExtended soft{0, 0};
    switch (op) {
    case 0:
        z = x + y;
        soft = soft_add(a, b);
        break;
    case 1:
        z = x - y;
        soft = soft_sub(a, b);
        break;
    case 2:
        z = x * y;
        soft = soft_mul(a, b);
        break;
    default:
        z = x / y;
        soft = soft_div(a, b);
        break;
    }
    const volatile float single = static_cast<float>(z);
    const volatile double twice = static_cast<double>(z);
    return same_extended(soft, z) && bits_of(soft_to_float(soft)) == bits_of(single) &&
           bits_of(soft_to_double(soft)) == bits_of(twice);
}

// Whether the two chains give the same record (the rates are copied as given).
bool same_record(float nominal, float inflation)
{
    const RateFigures soft = soft_figures(nominal, inflation, soft_real_rate(nominal, inflation));
    const RateFigures x87 = x87_figures(nominal, inflation, x87_real_rate(nominal, inflation));
    return bits_of(soft.difference) == bits_of(x87.difference) &&
           bits_of(soft.real_rate) == bits_of(x87.real_rate) &&
           bits_of(soft.deviation) == bits_of(x87.deviation);
}

void show_bytes(const std::uint8_t* bytes, std::size_t size)
{
    for (std::size_t k = 0; k < size; ++k)
        (void)std::fprintf(stderr, "%02x", bytes[k]);
    (void)std::fprintf(stderr, "\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t input[21] = {};
    if (size != 0)
        std::memcpy(input, data, size < sizeof input ? size : sizeof input);
    const unsigned op = (input[0] & 0x7Fu) % 5u;
    bool same;
    if (op < 4) {
        const SoftExtended a = extended_from_bytes(input + 1);
        SoftExtended b = extended_from_bytes(input + 11);
        const int near = (a.signExp & 0x7FFF) + static_cast<std::int8_t>(input[19]);
        if ((input[0] & 0x80u) != 0 && near > 0 && near < 0x7FFF)
            b.signExp = static_cast<std::uint16_t>((b.signExp & 0x8000) | near);
        same = same_operation(op, canonical(a), canonical(b));
    } else {
        float rates[2];
        std::memcpy(rates, input + 1, sizeof rates);
        same = same_record(rates[0], rates[1]);
    }
    if (!same) {
        (void)std::fprintf(stderr, "software and x87 differ for ");
        show_bytes(input, op < 4 ? 21 : 9);
        __builtin_trap();
    }
    return 0;
}
