// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "single_difference.h"

#include "ieee_bits.h"

namespace {

// By the bits, so that no floating-point operation touches the NaN.
NanOperand quieted_if_nan(float x)
{
    if (!is_nan(x))
        return NanOperand{false, 0.0f};
    return NanOperand{true, quiet_nan_float(float_fields(x).sign, nan_payload(x))};
}

}  // namespace

NanOperand difference_nan_operand(float nominal, float inflation)
{
    const NanOperand first = quieted_if_nan(nominal);
    return first.found ? first : quieted_if_nan(inflation);
}
