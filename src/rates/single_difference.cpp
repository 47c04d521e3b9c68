// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "single_difference.h"

#include <cstdint>
#include <cstring>

namespace {

// By the bits, so that no floating-point operation touches the NaN.
NanOperand quieted_if_nan(float x)
{
    std::uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    if ((bits & 0x7FFFFFFFu) <= 0x7F800000u)
        return NanOperand{false, 0.0f};
    bits |= 0x400000u;
    NanOperand operand{true, 0.0f};
    std::memcpy(&operand.nan, &bits, sizeof bits);
    return operand;
}

}  // namespace

NanOperand difference_nan_operand(float nominal, float inflation)
{
    const NanOperand first = quieted_if_nan(nominal);
    return first.found ? first : quieted_if_nan(inflation);
}
