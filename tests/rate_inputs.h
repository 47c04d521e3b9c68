// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_TESTS_RATE_INPUTS_H
#define TARVELIN_TESTS_RATE_INPUTS_H

#include <cstdint>
#include <random>
#include <vector>

// Inputs for comparing the chain between builds and between arithmetics.

struct RatePair {
    float nominal;
    float inflation;
};

// Every kind of single: zeros, infinities, NaNs of both signs, quiet and
// signaling, with several payloads, denormals, the ends of the range, the
// pole at -100 and its neighbours, and ordinary rates.
std::vector<float> special_values();

// The rate pairs whose printed digits only the extended chain gives.
std::vector<RatePair> hard_case_rates();

// Every rate with at most two decimals from -100.00 to 100.00, as the
// command line reads its text: 20,001 of them, in ascending order.
std::vector<float> two_decimal_rates();

// Pair number k of a random run: two random single bit patterns when k is
// even, two random decimal rates (as the command line reads them) when odd.
RatePair random_rates(std::mt19937& generator, long long k);

#endif
