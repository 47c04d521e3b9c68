// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_SINGLE_DIFFERENCE_H
#define TARVELIN_SINGLE_DIFFERENCE_H

// The single difference of two rates when one of them is a NaN, chosen as an
// SSE subtraction chooses it (the first NaN operand, quieted), so that every
// build prints the NaN of an x86-64 build: 32-bit x87 code would take the NaN
// with the larger significand, and other processors have rules of their own.
struct NanOperand {
    bool found;
    float nan;  // when found: the NaN the difference is
};

NanOperand difference_nan_operand(float nominal, float inflation);

#endif
