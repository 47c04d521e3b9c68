// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_USAGE_H
#define TARVELIN_USAGE_H

// Writes the banner, version, description, syntax and options to standard
// output; the syntax line names the program as program_name.
void print_usage(const char* program_name);

#endif
