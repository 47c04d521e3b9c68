// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "calculator.h"

#ifdef __MINGW32__
// The Windows start-up code splits the command line into words and expands
// wildcards in them, as a shell would; MinGW-w64 does the latter on request.
extern "C" {
int _dowildcard = -1;
}
#endif

int main(int argc, char* argv[])
{
    return finish_output(run_calculator(argc, argv));
}
