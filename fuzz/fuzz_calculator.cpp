// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

// Feeds arbitrary argument vectors to run_calculator. The input is split at
// NUL bytes into arguments, so an empty input is an empty vector (argc 0) and
// every byte value can appear inside an argument.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "calculator.h"

namespace {

const std::size_t max_arguments = 16;
const std::size_t max_text = 4096;

// Fixed storage: arguments are copied so that each ends in its own NUL and
// the vector ends in a null pointer, as the start-up code would deliver it.
char text[max_text + 1];
char* arguments[max_arguments + 1];

int split_arguments(const std::uint8_t* data, std::size_t size)
{
    if (size > max_text)
        size = max_text;
    if (size != 0)
        std::memcpy(text, data, size);
    text[size] = '\0';

    int count = 0;
    std::size_t start = 0;
    while (start < size && static_cast<std::size_t>(count) < max_arguments) {
        arguments[count++] = text + start;
        start += std::strlen(text + start) + 1;
    }
    arguments[count] = nullptr;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The report and the usage screen are of no interest here; a sink keeps
    // the fuzzer's own output readable. Opened once, not per input.
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        return 1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int argc = split_arguments(data, size);
    const int status = run_calculator(argc, arguments);
    // The entry logic knows two outcomes; anything else is a fault.
    if (status != status_usage && status != status_report)
        __builtin_trap();
    if ((argc <= 2) != (status == status_usage))
        __builtin_trap();
    return 0;
}
