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

// The texts are code page 850: 0x84 is the letter a with diaeresis.
const char description[] =
    " Berechnet aus dem Nominalzins und der Inflationsrate den Tarvelin. N\x84"
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
