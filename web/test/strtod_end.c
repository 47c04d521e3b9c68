/* SPDX-FileCopyrightText: 2026 the tarvelin authors */
/* SPDX-License-Identifier: MIT */
/* For each argument, how many bytes the C library's strtod reads of it in the
   "C" locale: the page's grammar is held to it. */
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        char* end = argv[i];
        (void)strtod(argv[i], &end);
        printf("%ld\n", (long)(end - argv[i]));
    }
    return 0;
}
