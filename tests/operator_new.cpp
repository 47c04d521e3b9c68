// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include <cstddef>
#include <cstdlib>
#include <new>

// Where no compiled C++ library is linked (the musl build), the vectors of
// the test inputs get their memory from the C library; a failure ends the
// run, as the exception would.
void* operator new(std::size_t size)
{
    void* memory = std::malloc(size != 0 ? size : 1);
    if (memory == nullptr) {
        std::abort();
    }
    return memory;
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
