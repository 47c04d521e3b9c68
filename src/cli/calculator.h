// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_CALCULATOR_H
#define TARVELIN_CALCULATOR_H

// Exit statuses of the program.
const int status_report = 0;
const int status_usage = 1;
const int status_write_error = 2;

// One run of the calculator on an argument vector: the usage screen when
// fewer than two arguments follow the program name, else the report.
// Returns status_usage or status_report; output goes to standard output.
int run_calculator(int argc, char* argv[]);

// Closes standard output and reports a failed write on standard error.
// Returns status unchanged, or status_write_error if anything was lost.
int finish_output(int status);

#endif
