// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "usage.h"

#include <cstdio>

#include "version.h"

namespace {

const char banner[] =
    "\n"
    " ************************\n"
    " ***     Tarvelin     ***\n"
    " *** Zins - Inflation ***\n"
    " ************************\n";

// The one letter beyond ASCII, a with diaeresis, as the terminal shows it:
// the Windows console shows code page 850, where it is the byte 0x84; every
// other terminal, and WASI's strings, are UTF-8.
#ifdef _WIN32
#define A_UMLAUT "\x84"
#else
#define A_UMLAUT "\xC3\xA4"
#endif

const char description[] =
    " Berechnet aus dem Nominalzins und der Inflationsrate den Tarvelin. N" A_UMLAUT
    "herungsweise ist das die Differenz aus beiden Werten.\n"
    " Dieses Programm gibt jedoch den genauen Wert aus.";

const char options[] =
    " Optionen (durch Leerzeichen getrennt):\n"
    "  -m\tMehrzeiliger Ausdruck\n"
    "  ";

}  // namespace

void print_usage(const char* program_name)
{
    // Write failures are caught once, when standard output is closed.
    (void)std::puts(banner);
    (void)std::printf(" Version %s, %s\n\n", tarvelin_version, tarvelin_release_date);
    (void)std::puts(description);
    (void)std::printf("\n Syntax: %s <Zinssatz in %%> <Inflationsrate in %%> [Optionen]\n\n",
                      program_name);
    (void)std::puts(options);
}
